#include "edit/ViewKeys.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

constexpr KeyModifiers kPlain{};
constexpr KeyModifiers kShift{true, false, false, false};
constexpr KeyModifiers kCtrl{false, true, false, false};
constexpr KeyModifiers kShiftCtrl{true, true, false, false};

ViewKeyResult resolve(EditMode mode, Key key, KeyModifiers m, bool singlePoint = false) {
    return ResolveViewKey(mode, key, m, singlePoint, false);
}

} // namespace

// Keys are read by key code and modifiers: the control characters and
// shifted symbols a keyboard types never decide what a key does.
TEST(ViewKeys, ObjectStepsByKeyCodeAndModifiers) {
    // Shift+Ctrl+D: the finest x step, whatever text the key event carried.
    ViewKeyResult r = resolve(EditMode::Objects, LetterKey('D'), kShiftCtrl);
    ASSERT_EQ(r.action, ViewKeyAction::ObjectStep);
    EXPECT_EQ(r.objectStep.axis, ObjectAxis::X);
    EXPECT_DOUBLE_EQ(r.objectStep.step, 0.1);
    // Ctrl+R turns by 0.1 degree; Ctrl+T back; both once per tick.
    r = resolve(EditMode::Objects, LetterKey('R'), kCtrl);
    ASSERT_EQ(r.action, ViewKeyAction::ObjectStep);
    EXPECT_EQ(r.objectStep.axis, ObjectAxis::Heading);
    EXPECT_DOUBLE_EQ(r.objectStep.step, 0.1);
    EXPECT_TRUE(r.oncePerTick);
    r = resolve(EditMode::Objects, LetterKey('T'), kCtrl);
    EXPECT_DOUBLE_EQ(r.objectStep.step, -0.1);
    // Shift+1 arrives as "!" on a US keyboard: the width grows by 10.
    r = resolve(EditMode::Objects, Key('!'), kShift);
    ASSERT_EQ(r.action, ViewKeyAction::ObjectStep);
    EXPECT_EQ(r.objectStep.axis, ObjectAxis::Width);
    EXPECT_DOUBLE_EQ(r.objectStep.step, 10);
    r = resolve(EditMode::Objects, Key('^'), kShiftCtrl); // Shift+Ctrl+6
    EXPECT_EQ(r.objectStep.axis, ObjectAxis::BoxHeight);
    EXPECT_DOUBLE_EQ(r.objectStep.step, -25);
    // Shift+] and Shift+[ arrive as braces: raise and lower by 5.
    r = resolve(EditMode::Objects, Key('}'), kShift);
    EXPECT_EQ(r.objectStep.axis, ObjectAxis::AboveGround);
    EXPECT_DOUBLE_EQ(r.objectStep.step, 5);
    r = resolve(EditMode::Objects, Key('{'), kShift);
    EXPECT_DOUBLE_EQ(r.objectStep.step, -5);
    // Lower-case letters read as their keys.
    EXPECT_EQ(resolve(EditMode::Objects, Key('d'), kPlain).objectStep.step, 10);
    // Ctrl+C and Ctrl+V belong to the menus, Ctrl+Z is Undo and not a descent.
    EXPECT_EQ(resolve(EditMode::Objects, LetterKey('C'), kCtrl).action, ViewKeyAction::None);
    EXPECT_EQ(resolve(EditMode::Objects, LetterKey('Z'), kCtrl).action, ViewKeyAction::None);
    EXPECT_EQ(resolve(EditMode::Terrain, LetterKey('Z'), kCtrl).action, ViewKeyAction::None);
    EXPECT_EQ(resolve(EditMode::Terrain, LetterKey('Z'), kPlain).action, ViewKeyAction::Fly);
}

TEST(ViewKeys, ModesTakeTheirKeysAndLeaveTheRestToFlight) {
    // Terrain: Space applies tools 0..6; with Single-point S/X move the point and Space does nothing.
    EXPECT_EQ(resolve(EditMode::Terrain, Key::Space, kPlain).action, ViewKeyAction::ApplyTerrainTool);
    EXPECT_EQ(resolve(EditMode::Terrain, Key::Space, kPlain, true).action, ViewKeyAction::None);
    EXPECT_EQ(resolve(EditMode::Terrain, LetterKey('S'), kPlain, true).action, ViewKeyAction::SinglePointRaise);
    EXPECT_EQ(resolve(EditMode::Terrain, Key::BracketLeft, kPlain, true).action, ViewKeyAction::SinglePointLower);
    EXPECT_EQ(resolve(EditMode::Terrain, LetterKey('S'), kPlain).action, ViewKeyAction::AltitudeUp);
    EXPECT_EQ(resolve(EditMode::Terrain, Key::Tab, kPlain).action, ViewKeyAction::NextOrientation);
    // Textures: R and M turn the area, with Ctrl each texture; once per tick.
    ViewKeyResult r = resolve(EditMode::Textures, LetterKey('R'), kPlain);
    EXPECT_EQ(r.action, ViewKeyAction::RotateTextureArea);
    EXPECT_TRUE(r.oncePerTick);
    EXPECT_EQ(resolve(EditMode::Textures, LetterKey('M'), kCtrl).action, ViewKeyAction::MirrorTextures);
    // Ground boxes: S/X the bar's height, R/M the face.
    EXPECT_EQ(resolve(EditMode::GroundBoxes, LetterKey('X'), kPlain).action, ViewKeyAction::BoxHeightDown);
    EXPECT_TRUE(resolve(EditMode::GroundBoxes, LetterKey('M'), kPlain).oncePerTick);
    // Delete acts on release in the three modes with things to delete; Insert at once.
    for (EditMode mode : {EditMode::Objects, EditMode::Course, EditMode::GroundBoxes}) {
        EXPECT_EQ(resolve(mode, Key::Delete, kPlain).action, ViewKeyAction::DeleteOnRelease);
        EXPECT_EQ(resolve(mode, Key::Insert, kPlain).action, ViewKeyAction::Insert);
    }
    EXPECT_EQ(resolve(EditMode::Terrain, Key::Delete, kPlain).action, ViewKeyAction::None);
    // Flight and the function keys in every mode; the pad flies too.
    EXPECT_EQ(resolve(EditMode::Course, LetterKey('A'), kPlain).action, ViewKeyAction::Fly);
    EXPECT_EQ(resolve(EditMode::Objects, Key::Up, kShift).action, ViewKeyAction::Fly);
    EXPECT_EQ(CanonicalKey(Key('8'), {false, false, false, true}), Key::Up);
    EXPECT_EQ(resolve(EditMode::Textures, Key('5'), {false, false, false, true}).action, ViewKeyAction::LevelView);
    r = resolve(EditMode::Terrain, Key::F7, kPlain);
    EXPECT_EQ(r.action, ViewKeyAction::ToggleFlag);
    EXPECT_EQ(r.flag, ViewFlag::AlwaysShowGroundBoxes);
}

TEST(ViewKeys, TickGateAllowsOneActionPerTick) {
    TickGate gate;
    EXPECT_TRUE(gate.take(1000));
    EXPECT_FALSE(gate.take(1010)) << "a key repeat within the tick";
    EXPECT_FALSE(gate.take(1054));
    EXPECT_TRUE(gate.take(1055));
    EXPECT_FALSE(gate.take(1100));
}

TEST(ViewKeys, ObjectCommandsStepInTheirUnits) {
    auto step = ObjectStepOfCommand(ViewCommand::ObjectRaise, -10);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->axis, ObjectAxis::AboveGround);
    EXPECT_DOUBLE_EQ(step->step, -0.1);
    step = ObjectStepOfCommand(ViewCommand::ObjectMoveY, 1);
    EXPECT_EQ(step->axis, ObjectAxis::Y);
    EXPECT_DOUBLE_EQ(step->step, 0.1);
    EXPECT_EQ(ObjectStepOfCommand(ViewCommand::ObjectLength, 25)->axis, ObjectAxis::Length);
    EXPECT_FALSE(ObjectStepOfCommand(ViewCommand::GridSize, 64));
}
