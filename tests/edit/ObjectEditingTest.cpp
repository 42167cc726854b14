#include "edit/ObjectEditing.h"

#include "edit/ObjectProperties.h"
#include "edit/ObjectTypes.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ravok;

namespace {

constexpr double kPi = std::numbers::pi;

int addObject(CTrackPOD& track, int32_t x = 1000, int32_t y = 1000, int32_t type = kObjectDefault) {
    auto o = std::make_unique<TrackObject>();
    o->x = x;
    o->y = y;
    o->type = type;
    o->z = track.TerrainHeightAt(x, y);
    return track.AddObject(std::move(o));
}

// A track whose ground rises towards the east, so that heights depend on x.
void slope(CTrackPOD& track) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            track.terrain.heights[size_t(y * 256 + x)] = uint8_t(std::min(255, 50 + x));
}

double degreesOf(float radians) {
    return double(radians) * 180.0 / kPi;
}

} // namespace

TEST(ObjectTable, FullTableRefusesAndDeletedSlotIsReused) {
    auto track = std::make_unique<CTrackPOD>();
    for (int i = 0; i < kMaxObjects; ++i)
        ASSERT_EQ(addObject(*track), i);
    ObjectSelection selection;
    selection.selectOnly(3);
    auto refused = InsertObject(*track, selection, GroundPickAt(*track, 500, 600));
    EXPECT_EQ(refused.slot, -1);
    EXPECT_EQ(refused.refusal.text, "Max. 4096 Objects!");
    EXPECT_EQ(selection.current, -1) << "Insert clears the selection first";

    test::ScriptedPrompter prompter;
    selection.selectOnly(10);
    EXPECT_EQ(DeleteSelectedObjects(*track, selection, prompter), 1);
    EXPECT_EQ(track->objects[10], nullptr);

    slope(*track);
    auto inserted = InsertObject(*track, selection, GroundPick{640, 700, 60});
    ASSERT_EQ(inserted.slot, 10);
    EXPECT_TRUE(inserted.refusal.empty());
    EXPECT_EQ(selection.current, 10);
    const TrackObject& o = *track->objects[10];
    EXPECT_EQ(o.x, 640);
    EXPECT_EQ(o.y, 700);
    EXPECT_EQ(o.z, 60);
    EXPECT_EQ(o.aboveGround, 0);
    EXPECT_EQ(o.length, 64);
    EXPECT_EQ(o.continuousSound, "NULL.WAV");

    // No terrain under the cursor: nothing.
    selection.selectOnly(10);
    DeleteSelectedObjects(*track, selection, prompter);
    EXPECT_EQ(InsertObject(*track, selection, std::nullopt).slot, -1);
    EXPECT_EQ(track->objects[10], nullptr);
}

TEST(ObjectTable, NothingChangesWhileAPodIsViewed) {
    CTrackPOD track;
    track.podViewMode = true;
    ObjectSelection selection;
    EXPECT_EQ(InsertObject(track, selection, GroundPickAt(track, 100, 100)).slot, -1);
    EXPECT_EQ(track.counts().objects, 0);
}

TEST(ObjectDelete, OneObjectAsksNothingSeveralAsk) {
    CTrackPOD track;
    for (int i = 0; i < 3; ++i)
        addObject(track, 100 * (i + 1));
    test::ScriptedPrompter prompter;
    ObjectSelection selection;
    selection.selectOnly(0);
    EXPECT_TRUE(DeleteObjectsQuestion(track, selection).empty());
    EXPECT_EQ(DeleteSelectedObjects(track, selection, prompter), 1);
    EXPECT_TRUE(prompter.shown.empty());

    ToggleObjectInSelection(track, selection, 1);
    ToggleObjectInSelection(track, selection, 2);
    ASSERT_EQ(SelectedObjects(track, selection).size(), 2u);
    EXPECT_EQ(DeleteMenuText(2), "Delete 2 Objects");
    prompter.answers = {false};
    EXPECT_EQ(DeleteSelectedObjects(track, selection, prompter), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Delete Objects: Delete the 2 selected objects?\n\nThis cannot be undone.");
    EXPECT_EQ(track.counts().objects, 2);

    // No is the default answer; Yes deletes them all.
    prompter.answers = {true};
    EXPECT_EQ(DeleteSelectedObjects(track, selection, prompter), 2);
    EXPECT_EQ(track.counts().objects, 0);
    EXPECT_EQ(selection.current, -1);
    EXPECT_EQ(selection.flaggedCount, 0);
}

TEST(ObjectSelection, CurrentFirstAndStaleGroupsCleared) {
    CTrackPOD track;
    for (int i = 0; i < 4; ++i)
        addObject(track);
    ObjectSelection selection;
    selection.selectOnly(2);
    ToggleObjectInSelection(track, selection, 0);
    ToggleObjectInSelection(track, selection, 3);
    EXPECT_EQ(SelectedObjects(track, selection), (std::vector<int>{3, 0, 2}));
    // A group whose flags lost the current object is cleared.
    selection.setFlag(3, false);
    NormaliseSelection(track, selection);
    EXPECT_EQ(SelectedObjects(track, selection), (std::vector<int>{3}));

    // Ctrl+drag box: projected positions by slot.
    std::vector<ScreenPoint> projected{{10, 10, true}, {50, 50, true}, {55, 52, false}, {200, 200, true}};
    selection.clear();
    EXPECT_EQ(AddObjectsInRect(track, selection, projected, {60, 0, 0, 60}), 2);
    EXPECT_EQ(SelectedObjects(track, selection), (std::vector<int>{0, 1}));
}

TEST(ObjectKeys, StepColumnsFollowShiftAndCtrl) {
    auto step = [](char key, bool shift, bool ctrl, bool sit = false) {
        auto a = ObjectKeyActionFor(key, shift, ctrl, sit);
        return a ? a->step : -999.0;
    };
    EXPECT_EQ(step('d', false, false), 10);
    EXPECT_EQ(step('C', true, false), -100);
    EXPECT_DOUBLE_EQ(step('F', true, true), 0.1);
    EXPECT_DOUBLE_EQ(step('V', true, true, true), -0.2);
    EXPECT_EQ(step('S', true, false), 5);
    EXPECT_DOUBLE_EQ(step('[', true, true), -0.1);
    EXPECT_DOUBLE_EQ(step('R', false, true), 0.1);
    EXPECT_DOUBLE_EQ(step('T', true, true), -0.01);
    EXPECT_DOUBLE_EQ(step('G', true, false), 0.1);
    EXPECT_EQ(step('4', true, true), -25);
    EXPECT_EQ(step('6', true, false), -10);
    EXPECT_EQ(step('D', false, true), -999) << "Ctrl alone moves nothing (Ctrl+C copies)";
    EXPECT_EQ(step('Q', false, false), -999);
}

TEST(ObjectKeys, FineRaisesCarryIntoWholeUnitsAndStopAt500) {
    CTrackPOD track;
    slope(track);
    const int slot = addObject(track, 64 * 30 + 10, 640);
    ObjectSelection selection;
    selection.selectOnly(slot);
    TrackObject& o = *track.objects[size_t(slot)];
    const int ground = track.TerrainHeightAt(o.x, o.y);
    const auto fine = *ObjectKeyActionFor('S', true, true, false);
    for (int i = 0; i < 10; ++i)
        ApplyObjectStep(track, selection, fine);
    EXPECT_EQ(o.aboveGround, 0);
    EXPECT_EQ(o.zFraction, 250) << "each 0.1 raise adds 25/256";
    ApplyObjectStep(track, selection, fine);
    EXPECT_EQ(o.aboveGround, 1);
    EXPECT_EQ(o.zFraction, 19);
    EXPECT_EQ(o.z, ground + 1);

    const auto lower = *ObjectKeyActionFor('X', false, false, false);
    for (int i = 0; i < 3; ++i)
        ApplyObjectStep(track, selection, lower);
    EXPECT_EQ(o.aboveGround, -2) << "below the ground is allowed";
    EXPECT_EQ(o.zFraction, 19);

    const auto coarse = *ObjectKeyActionFor(']', true, false, false);
    for (int i = 0; i < 120; ++i)
        ApplyObjectStep(track, selection, coarse);
    EXPECT_EQ(o.aboveGround, 500);
    EXPECT_EQ(o.zFraction, 0);
    EXPECT_EQ(o.z, ground + 500);
}

TEST(ObjectKeys, MovesCarryFractionsAndFollowTheGround) {
    CTrackPOD track;
    slope(track);
    const int slot = addObject(track, 64 * 10, 64 * 10);
    TrackObject& o = *track.objects[size_t(slot)];
    o.aboveGround = 3;
    ObjectSelection selection;
    selection.selectOnly(slot);
    for (int i = 0; i < 11; ++i)
        ApplyObjectStep(track, selection, *ObjectKeyActionFor('D', true, true, false));
    EXPECT_EQ(o.x, 64 * 10 + 1);
    EXPECT_EQ(o.xFraction, 11 * 25 - 256);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('D', true, false, false));
    EXPECT_EQ(o.x, 64 * 10 + 101);
    EXPECT_EQ(o.z, track.TerrainHeightAt(o.x, o.y) + 3);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('F', true, true, true));
    EXPECT_EQ(o.yFraction, 51) << "0.2 with the .SIT units option";
    // Never below 0.
    o.x = 5;
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('C', false, false, false));
    EXPECT_EQ(o.x, 0);
    EXPECT_EQ(o.xFraction, 0);
}

TEST(ObjectKeys, TurnsWrapAndTiltsRound) {
    CTrackPOD track;
    const int slot = addObject(track);
    TrackObject& o = *track.objects[size_t(slot)];
    ObjectSelection selection;
    selection.selectOnly(slot);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('T', false, false, false));
    EXPECT_NEAR(degreesOf(o.psi), 359.0, 1e-3);
    for (int i = 0; i < 2; ++i)
        ApplyObjectStep(track, selection, *ObjectKeyActionFor('R', false, false, false));
    EXPECT_NEAR(degreesOf(o.psi), 1.0, 1e-3);
    EXPECT_GE(o.psi, 0.0f);

    ApplyObjectStep(track, selection, *ObjectKeyActionFor('B', false, false, false));
    EXPECT_NEAR(degreesOf(o.phi), 359.0, 1e-3);
    // A tilt is rounded to 0.00001 degree before the step: what the float
    // conversions left over is dropped.
    o.theta = float((10.0 + 4e-6) * kPi / 180.0);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('H', true, true, false));
    EXPECT_NEAR(degreesOf(o.theta), 10.01, 2e-6);
    EXPECT_NEAR(degreesOf(TiltAngleBy(float(359.5 * kPi / 180.0), 1.0)), 0.5, 1e-4);
}

TEST(ObjectKeys, SizesStayAtTheirMinimum) {
    CTrackPOD track;
    const int slot = addObject(track);
    TrackObject& o = *track.objects[size_t(slot)];
    ObjectSelection selection;
    selection.selectOnly(slot);
    for (int i = 0; i < 5; ++i) {
        ApplyObjectStep(track, selection, *ObjectKeyActionFor('2', true, true, false));
        ApplyObjectStep(track, selection, *ObjectKeyActionFor('4', true, true, false));
        ApplyObjectStep(track, selection, *ObjectKeyActionFor('6', true, true, false));
    }
    EXPECT_EQ(o.width, 1);
    EXPECT_EQ(o.length, 1);
    EXPECT_EQ(o.height, 0);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('1', true, false, false));
    EXPECT_EQ(o.width, 11);
}

TEST(ObjectKeys, EverySelectedObjectMovesInItsOwnPlace) {
    CTrackPOD track;
    slope(track);
    const int a = addObject(track, 640, 640), b = addObject(track, 6400, 640);
    ObjectSelection selection;
    selection.selectOnly(a);
    ToggleObjectInSelection(track, selection, b);
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('S', false, false, false));
    ApplyObjectStep(track, selection, *ObjectKeyActionFor('D', false, false, false));
    for (int slot : {a, b}) {
        const TrackObject& o = *track.objects[size_t(slot)];
        EXPECT_EQ(o.aboveGround, 1);
        EXPECT_EQ(o.z, track.TerrainHeightAt(o.x, o.y) + 1);
    }
    EXPECT_EQ(track.objects[size_t(a)]->x, 650);
    EXPECT_EQ(track.objects[size_t(b)]->x, 6410);
}

TEST(ObjectMouse, DragMovesTheGroupAndShiftDragTurns) {
    CTrackPOD track;
    slope(track);
    const int a = addObject(track, 1000, 1000), b = addObject(track, 1100, 50);
    track.objects[size_t(b)]->aboveGround = 2;
    ObjectSelection selection;
    selection.selectOnly(a);
    ToggleObjectInSelection(track, selection, b);
    selection.current = a;
    ASSERT_TRUE(DragSelectedObjects(track, selection, GroundPick{2000, 900, 77}));
    EXPECT_EQ(track.objects[size_t(a)]->x, 2000);
    EXPECT_EQ(track.objects[size_t(a)]->z, 77);
    const TrackObject& other = *track.objects[size_t(b)];
    EXPECT_EQ(other.x, 2100);
    EXPECT_EQ(other.y, 0) << "coordinates below 0 become 0";
    EXPECT_EQ(other.z, track.TerrainHeightAt(2100, 0) + 2);

    TurnSelectedObjects(track, selection, 100);
    EXPECT_NEAR(track.objects[size_t(a)]->psi, 0.8, 1e-5);
}

TEST(ObjectClipboard, PasteTakesEverythingButThePositionThenChecksLimits) {
    CTrackPOD track;
    slope(track);
    const int source = addObject(track, 640, 640, kObjectLight);
    TrackObject& s = *track.objects[size_t(source)];
    s.aboveGround = 7;
    s.zFraction = 40;
    s.xFraction = 9;
    s.psi = 1.5f;
    s.mass = 250;
    s.length = 90;
    s.light.rad = 300;
    s.impactSound.set("BELL3.WAV");
    s.modelName.set("LAMP.BIN");
    ObjectSelection selection;
    selection.selectOnly(source);
    auto clipboard = CopyObject(track, selection);
    ASSERT_TRUE(clipboard);

    auto pasted = PasteObject(track, selection, *clipboard, GroundPick{3200, 3300, 0});
    ASSERT_GE(pasted.slot, 0);
    EXPECT_TRUE(pasted.refusal.empty());
    const TrackObject& p = *track.objects[size_t(pasted.slot)];
    EXPECT_EQ(p.x, 3200);
    EXPECT_EQ(p.y, 3300);
    EXPECT_EQ(p.xFraction, 9);
    EXPECT_EQ(p.z, track.TerrainHeightAt(3200, 3300) + 7);
    EXPECT_EQ(p.type, kObjectLight);
    EXPECT_FLOAT_EQ(p.psi, 1.5f);
    EXPECT_EQ(p.length, 90);
    EXPECT_FLOAT_EQ(p.light.rad, 300);
    EXPECT_EQ(p.impactSound, "BELL3.WAV");
    EXPECT_EQ(p.modelName, "LAMP.BIN");
    EXPECT_EQ(selection.current, pasted.slot);

    // At 100 lights the pasted one becomes a Default object.
    while (track.counts().lights < kMaxLights)
        addObject(track, 100, 100, kObjectLight);
    auto over = PasteObject(track, selection, *clipboard, GroundPick{100, 100, 0});
    ASSERT_GE(over.slot, 0);
    EXPECT_EQ(over.refusal.text, "Max. 100 Lights!");
    EXPECT_EQ(track.objects[size_t(over.slot)]->type, kObjectDefault);
    EXPECT_EQ(track.counts().lights, kMaxLights);
}

TEST(ObjectClipboard, PastedCheckpointsKeepTheLimitAndTheOrder) {
    CTrackPOD track;
    for (int i = 0; i < 3; ++i) {
        const int slot = addObject(track, 100 + i, 100, kObjectCheckpoint);
        track.objects[size_t(slot)]->sequence = i;
    }
    ObjectSelection selection;
    selection.selectOnly(1);
    const TrackObject clipboard = *CopyObject(track, selection);
    track.objects[0].reset(); // the paste lands in slot 0, before the others
    auto pasted = PasteObject(track, selection, clipboard, GroundPick{500, 500, 100});
    ASSERT_GE(pasted.slot, 0);
    EXPECT_EQ(track.objects[size_t(pasted.slot)]->x, 500);
    std::vector<int> numbers;
    for (const auto& o : track.objects)
        if (o && o->type == kObjectCheckpoint) numbers.push_back(o->sequence);
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2}));
    while (track.counts().checkpoints < kMaxCheckpoints)
        addObject(track, 100, 100, kObjectCheckpoint);
    auto over = PasteObject(track, selection, clipboard, GroundPick{500, 500, 100});
    EXPECT_EQ(over.refusal.text, "Max. 20 Checkpoints!");
    EXPECT_EQ(track.counts().checkpoints, kMaxCheckpoints);
}

TEST(ObjectHeights, TerrainChangesKeepZAndDeriveHeightAboveGround) {
    CTrackPOD track;
    const int slot = addObject(track, 640, 640);
    TrackObject& o = *track.objects[size_t(slot)];
    o.aboveGround = 10;
    o.z = 110;
    o.zFraction = 300; // out of range: a whole unit moves into z
    slope(track);
    RederiveObjectHeights(track);
    EXPECT_EQ(o.z, 111);
    EXPECT_EQ(o.zFraction, 44);
    EXPECT_EQ(o.aboveGround, 111 - track.TerrainHeightAt(640, 640));
}

TEST(ObjectProperties, OkStoresTheFieldsWithTheirRules) {
    CTrackPOD track;
    slope(track);
    const int slot = addObject(track, 1000, 2000);
    ObjectSelection selection;
    selection.selectOnly(slot);
    ObjectPropertiesValues v = ObjectPropertiesOf(*track.objects[size_t(slot)], true);
    EXPECT_DOUBLE_EQ(v.x, 500) << "shown halved in .SIT units";
    v.x = 600.5;
    v.y = -3; // negative: left as it was
    v.aboveGround = 612;
    v.headingDegrees = 90;
    v.mass = 1200;
    v.priority = 2;
    v.width = 0;
    auto result = ApplyObjectProperties(track, selection, v, true, {});
    ASSERT_EQ(result.slot, slot);
    const TrackObject& o = *track.objects[size_t(slot)];
    EXPECT_EQ(o.x, 1201);
    EXPECT_EQ(o.xFraction, 0);
    EXPECT_EQ(o.y, 2000);
    EXPECT_EQ(o.aboveGround, 500);
    EXPECT_EQ(o.z, track.TerrainHeightAt(o.x, o.y) + 500);
    EXPECT_NEAR(o.psi, kPi / 2, 1e-6);
    EXPECT_FLOAT_EQ(o.mass, 1200);
    EXPECT_EQ(o.priority, 2);
    EXPECT_EQ(o.width, 1);

    // The dialog's keys step the fields as the view does; Ctrl alone does nothing.
    ObjectPropertiesValues keys = ObjectPropertiesOf(o, false);
    EXPECT_TRUE(StepPropertiesField(keys, 'T', false, false, false));
    EXPECT_NEAR(keys.headingDegrees, 89, 1e-4);
    EXPECT_FALSE(StepPropertiesField(keys, 'R', false, true, false));
    keys.x = 3;
    StepPropertiesField(keys, 'C', false, false, false);
    EXPECT_EQ(keys.x, 0);
}

TEST(ObjectProperties, LightValuesAreCorrectedOnOk) {
    LightParameters l;
    l.rad = 5000;
    l.bright = 0.1f;
    l.glow = 7;
    l.glowRad = -2;
    l.coneLen = -1;
    l.coneRim = -0.5f;
    l.coneBase = -3;
    l.hgt = -8; // no rule for the height
    const LightParameters c = CorrectLightProperties(l);
    EXPECT_FLOAT_EQ(c.rad, 4095);
    EXPECT_FLOAT_EQ(c.bright, 0.25f);
    EXPECT_EQ(c.glow, 2);
    EXPECT_FLOAT_EQ(c.glowRad, 0);
    EXPECT_FLOAT_EQ(c.coneLen, 0);
    EXPECT_FLOAT_EQ(c.coneRim, 0);
    EXPECT_FLOAT_EQ(c.coneBase, 0);
    EXPECT_FLOAT_EQ(c.hgt, -8);
    EXPECT_FLOAT_EQ(CorrectLightProperties(DefaultLightProperties()).coneBase, 3.5f);
    l.rad = -1;
    l.bright = 9;
    EXPECT_FLOAT_EQ(CorrectLightProperties(l).rad, 0);
    EXPECT_FLOAT_EQ(CorrectLightProperties(l).bright, 3.75f);
}
