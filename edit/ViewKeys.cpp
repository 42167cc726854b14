#include "edit/ViewKeys.h"

namespace ravok {

Key CanonicalKey(Key key, KeyModifiers modifiers) {
    if (modifiers.keypad) {
        switch (int(key)) {
        case '8': return Key::Up;
        case '2': return Key::Down;
        case '4': return Key::Left;
        case '6': return Key::Right;
        case '9': return Key::PageUp;
        case '3': return Key::PageDown;
        case '5': return Key::Clear;
        default: break;
        }
    }
    if (modifiers.shift) {
        // The US layout's shifted digits and brackets.
        switch (int(key)) {
        case '!': return Key('1');
        case '@': return Key('2');
        case '#': return Key('3');
        case '$': return Key('4');
        case '%': return Key('5');
        case '^': return Key('6');
        case '{': return Key::BracketLeft;
        case '}': return Key::BracketRight;
        case '<': return Key::Comma;
        case '>': return Key::Period;
        default: break;
        }
    }
    return int(key) > 0 && int(key) < 128 ? LetterKey(char(int(key))) : key;
}

bool SetFlightKey(FlightKeys& keys, Key key, bool down) {
    bool* held = nullptr;
    switch (int(key)) {
    case int(Key::Up): held = &keys.forward; break;
    case int(Key::Down): held = &keys.back; break;
    case int(Key::Left): held = &keys.turnLeft; break;
    case int(Key::Right): held = &keys.turnRight; break;
    case int(Key::PageUp): held = &keys.lookUp; break;
    case int(Key::PageDown): held = &keys.lookDown; break;
    case 'A': held = &keys.climb; break;
    case 'Z': held = &keys.descend; break;
    case int(Key::Comma): held = &keys.slideLeft; break;
    case int(Key::Period): held = &keys.slideRight; break;
    case int(Key::Shift): held = &keys.fast; break;
    default: return false;
    }
    *held = down;
    return true;
}

namespace {

ViewKeyResult act(ViewKeyAction action, bool oncePerTick = false) {
    ViewKeyResult result;
    result.action = action;
    result.oncePerTick = oncePerTick;
    return result;
}

bool raiseKey(Key key) { return key == Key('S') || key == Key::BracketRight; }
bool lowerKey(Key key) { return key == Key('X') || key == Key::BracketLeft; }

// The keys of the edit mode; None when the mode has no use for the key.
ViewKeyResult modeKey(EditMode mode, Key key, KeyModifiers m, bool singlePoint, bool sitUnits) {
    switch (mode) {
    case EditMode::Terrain:
        if (m.ctrl || m.alt) return {};
        if (key == Key::Space) return act(singlePoint ? ViewKeyAction::None : ViewKeyAction::ApplyTerrainTool);
        if (raiseKey(key)) return act(singlePoint ? ViewKeyAction::SinglePointRaise : ViewKeyAction::AltitudeUp);
        if (lowerKey(key)) return act(singlePoint ? ViewKeyAction::SinglePointLower : ViewKeyAction::AltitudeDown);
        if (key == Key::Tab) return act(ViewKeyAction::NextOrientation);
        if (key == Key::Plus) return act(ViewKeyAction::CurvatureUp);
        if (key == Key::Minus) return act(ViewKeyAction::CurvatureDown);
        return {};
    case EditMode::Textures:
        if (m.alt) return {};
        if (key == Key::Space && !m.ctrl) return act(ViewKeyAction::FillTextures);
        if (key == Key('R')) return act(m.ctrl ? ViewKeyAction::RotateTextures : ViewKeyAction::RotateTextureArea, true);
        if (key == Key('M')) return act(m.ctrl ? ViewKeyAction::MirrorTextures : ViewKeyAction::MirrorTextureArea, true);
        return {};
    case EditMode::Objects: {
        if (m.alt) return {};
        if (!m.ctrl && !m.shift) {
            if (key == Key::Tab) return act(ViewKeyAction::NextObject);
            if (key == Key::Insert) return act(ViewKeyAction::Insert);
            if (key == Key::Delete) return act(ViewKeyAction::DeleteOnRelease);
            if (key == Key::Enter) return act(ViewKeyAction::PropertiesOnRelease);
        }
        const int code = int(key);
        if (code <= 0 || code >= 128) return {};
        const auto step = ObjectKeyActionFor(char(code), m.shift, m.ctrl, sitUnits);
        if (!step) return {};
        ViewKeyResult result = act(ViewKeyAction::ObjectStep, key == Key('R') || key == Key('T'));
        result.objectStep = *step;
        return result;
    }
    case EditMode::Course:
        if (m.ctrl || m.alt || m.shift) return {};
        if (key == Key::Insert) return act(ViewKeyAction::Insert);
        if (key == Key::Delete) return act(ViewKeyAction::DeleteOnRelease);
        return {};
    case EditMode::GroundBoxes:
        if (m.ctrl || m.alt) return {};
        if (raiseKey(key)) return act(ViewKeyAction::BoxHeightUp);
        if (lowerKey(key)) return act(ViewKeyAction::BoxHeightDown);
        if (key == Key('R')) return act(ViewKeyAction::RotateBoxFace, true);
        if (key == Key('M')) return act(ViewKeyAction::MirrorBoxFace, true);
        if (key == Key::Insert) return act(ViewKeyAction::Insert);
        if (key == Key::Delete) return act(ViewKeyAction::DeleteOnRelease);
        return {};
    }
    return {};
}

} // namespace

ViewKeyResult ResolveViewKey(EditMode mode, Key key, KeyModifiers modifiers, bool singlePoint, bool sitUnits) {
    key = CanonicalKey(key, modifiers);
    if (ViewKeyResult result = modeKey(mode, key, modifiers, singlePoint, sitUnits);
        result.action != ViewKeyAction::None)
        return result;
    // Ctrl and Alt chords belong to the frame's menus (Ctrl+Z is Undo, not a descent).
    if (modifiers.ctrl || modifiers.alt) return {};
    FlightKeys probe;
    if (key != Key::Shift && SetFlightKey(probe, key, true)) return act(ViewKeyAction::Fly);
    switch (key) {
    case Key::Home: return act(ViewKeyAction::LookNorth);
    case Key::Clear: return act(ViewKeyAction::LevelView);
    case Key::F2: return act(ViewKeyAction::SaveLocation);
    case Key::F3: return act(ViewKeyAction::ReturnToLocation);
    case Key::F4: return act(ViewKeyAction::LockAltitude);
    default: break;
    }
    const struct {
        Key key;
        ViewFlag flag;
    } flags[] = {{Key::F5, ViewFlag::AlwaysShowCourse},
                 {Key::F6, ViewFlag::AlwaysShowObjects},
                 {Key::F7, ViewFlag::AlwaysShowGroundBoxes},
                 {Key::F8, ViewFlag::ShowWater},
                 {Key::F9, ViewFlag::ShowBackdrop}};
    for (const auto& entry : flags)
        if (entry.key == key) {
            ViewKeyResult result = act(ViewKeyAction::ToggleFlag);
            result.flag = entry.flag;
            return result;
        }
    return {};
}

std::optional<ObjectKeyAction> ObjectStepOfCommand(ViewCommand command, int value) {
    switch (command) {
    case ViewCommand::ObjectRaise: return ObjectKeyAction{ObjectAxis::AboveGround, value / 100.0};
    case ViewCommand::ObjectMoveX: return ObjectKeyAction{ObjectAxis::X, value / 10.0};
    case ViewCommand::ObjectMoveY: return ObjectKeyAction{ObjectAxis::Y, value / 10.0};
    case ViewCommand::ObjectHeading: return ObjectKeyAction{ObjectAxis::Heading, value / 100.0};
    case ViewCommand::ObjectTiltPhi: return ObjectKeyAction{ObjectAxis::TiltPhi, value / 100.0};
    case ViewCommand::ObjectTiltTheta: return ObjectKeyAction{ObjectAxis::TiltTheta, value / 100.0};
    case ViewCommand::ObjectWidth: return ObjectKeyAction{ObjectAxis::Width, double(value)};
    case ViewCommand::ObjectLength: return ObjectKeyAction{ObjectAxis::Length, double(value)};
    default: return std::nullopt;
    }
}

} // namespace ravok
