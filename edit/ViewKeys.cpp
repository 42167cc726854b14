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
    switch (key) {
    case Key::Up: keys.forward = down; break;
    case Key::Down: keys.back = down; break;
    case Key::Left: keys.turnLeft = down; break;
    case Key::Right: keys.turnRight = down; break;
    case Key::PageUp: keys.lookUp = down; break;
    case Key::PageDown: keys.lookDown = down; break;
    case Key('A'): keys.climb = down; break;
    case Key('Z'): keys.descend = down; break;
    case Key::Comma: keys.slideLeft = down; break;
    case Key::Period: keys.slideRight = down; break;
    case Key::Shift: keys.fast = down; break;
    default: return false;
    }
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
