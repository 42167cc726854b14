#include "edit/ObjectTypes.h"

#include "edit/ObjectProperties.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

// Objects are told apart by their x coordinate.
int addObject(CTrackPOD& track, int32_t x, int32_t type = kObjectDefault, int sequence = 0) {
    auto o = std::make_unique<TrackObject>();
    o->x = x;
    o->type = type;
    o->sequence = sequence;
    return track.AddObject(std::move(o));
}

// x of the checkpoints by sequence number, and their slots in slot order.
std::vector<int32_t> checkpointsInOrder(const CTrackPOD& track) {
    std::vector<std::pair<int, int32_t>> cps;
    for (const auto& o : track.objects)
        if (o && o->type == kObjectCheckpoint) cps.push_back({o->sequence, o->x});
    std::vector<int32_t> xs;
    for (size_t i = 0; i < cps.size(); ++i) {
        EXPECT_EQ(cps[i].first, int(i)) << "numbers run 0..n-1 in slot order";
        xs.push_back(cps[i].second);
    }
    return xs;
}

} // namespace

TEST(SetType, CheckpointGroupFullLeavesTheRestWithTheMessage) {
    CTrackPOD track;
    for (int i = 0; i < 5; ++i)
        addObject(track, 10 + i, kObjectCheckpoint, 4 - i);
    ObjectSelection selection;
    for (int i = 0; i < 30; ++i)
        selection.setFlag(addObject(track, 100 + i), true);
    selection.current = 5 + 7; // the object at x = 107 goes first
    const TrackObject* current = track.objects[12].get();

    const SetTypeResult r = SetObjectsType(track, selection, 6);
    EXPECT_EQ(r.selected, 30);
    EXPECT_EQ(r.changed, 15);
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.notice.caption, "Set Type");
    EXPECT_EQ(r.notice.text,
              "15 of the 30 selected objects were left as they were: a track can have at most 20 "
              "of type Checkpoint.");
    EXPECT_EQ(track.counts().checkpoints, 20);
    // The existing checkpoints keep their order, the new ones follow in selection order.
    const std::vector<int32_t> order = checkpointsInOrder(track);
    const std::vector<int32_t> expected{14,  13,  12,  11,  10,  107, 100, 101, 102, 103,
                                        104, 105, 106, 108, 109, 110, 111, 112, 113, 114};
    EXPECT_EQ(order, expected);
    // The selection followed its records to their new slots.
    ASSERT_GE(selection.current, 0);
    EXPECT_EQ(track.objects[size_t(selection.current)].get(), current);
    EXPECT_EQ(SelectedObjects(track, selection).size(), 30u);
}

TEST(SetType, MovingGroupMessageAndTheTypeRules) {
    CTrackPOD track;
    for (int i = 0; i < 99; ++i)
        addObject(track, i, i % 2 ? kObjectTrain : kObjectMoving);
    ObjectSelection selection;
    const int a = addObject(track, 500), b = addObject(track, 501);
    selection.selectOnly(a);
    selection.setFlag(a, true);
    selection.setFlag(b, true);
    const SetTypeResult r = SetObjectsType(track, selection, 10);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.notice.text,
              "1 of the 2 selected objects were left as they were: a track can have at most 100 "
              "Train and Moving objects between them.");
    EXPECT_EQ(track.objects[size_t(a)]->type, kObjectTrain);
    EXPECT_EQ(track.objects[size_t(b)]->type, kObjectDefault);

    TrackObject o;
    o.modelName.set("BASE.BIN");
    o.cabModelName.set("CAB.BIN");
    RetypeObject(o, kObjectTopCrush);
    EXPECT_EQ(o.cabModelName, "CAB.BIN");
    RetypeObject(o, kObjectTree);
    EXPECT_TRUE(o.cabModelName.empty());
    EXPECT_EQ(o.modelName, "BASE.BIN");
    RetypeObject(o, kObjectRamp);
    EXPECT_TRUE(o.modelName.empty());
    EXPECT_EQ(o.type, kObjectRamp);
    EXPECT_EQ(SetTypeMenuText(1), "Set &Type");
    EXPECT_EQ(SetTypeMenuText(3), "Set &Type of 3 Objects");
}

TEST(SetType, LeavingTheCheckpointTypeClosesTheGap) {
    CTrackPOD track;
    for (int i = 0; i < 4; ++i)
        addObject(track, i, kObjectCheckpoint, i);
    ObjectSelection selection;
    selection.selectOnly(1);
    EXPECT_EQ(SetObjectsType(track, selection, 14).changed, 1); // Ramp
    EXPECT_EQ(checkpointsInOrder(track), (std::vector<int32_t>{0, 2, 3}));
}

TEST(CheckpointSequence, MovingThreeToOneShiftsTheOthersUp) {
    CTrackPOD track;
    // Slots out of order on purpose: slot k holds checkpoint number 4 - k.
    for (int i = 0; i < 5; ++i)
        addObject(track, 4 - i, kObjectCheckpoint, 4 - i);
    ObjectSelection selection;
    selection.selectOnly(1); // x = 3: checkpoint 3
    ObjectPropertiesValues v = ObjectPropertiesOf(*track.objects[1], false);
    v.sequence = 1;
    auto result = ApplyObjectProperties(track, selection, v, false, {});
    EXPECT_TRUE(result.notices.empty());
    // Former 0, then 3, then the former 1 and 2 moved up, then 4.
    EXPECT_EQ(checkpointsInOrder(track), (std::vector<int32_t>{0, 3, 1, 2, 4}));
    ASSERT_GE(result.slot, 0);
    EXPECT_EQ(track.objects[size_t(result.slot)]->x, 3);
    EXPECT_EQ(track.objects[size_t(selection.current)]->x, 3);
}

TEST(CheckpointSequence, ATwentyFirstBecomesDefault) {
    CTrackPOD track;
    for (int i = 0; i < 20; ++i)
        addObject(track, i, kObjectCheckpoint, i);
    const int extra = addObject(track, 99);
    ObjectSelection selection;
    selection.selectOnly(extra);
    ObjectPropertiesValues v = ObjectPropertiesOf(*track.objects[size_t(extra)], false);
    v.typeIndex = 6;
    v.sequence = 5;
    auto result = ApplyObjectProperties(track, selection, v, false, {});
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0].text, "Max. 20 Checkpoints!");
    EXPECT_EQ(track.objects[size_t(extra)]->type, kObjectDefault);
    std::vector<int32_t> all(20);
    for (int i = 0; i < 20; ++i)
        all[size_t(i)] = i;
    EXPECT_EQ(checkpointsInOrder(track), all) << "the others are numbered without gaps again";
}

TEST(CheckpointSequence, ANewCheckpointWithoutANumberGoesLast) {
    CTrackPOD track;
    for (int i = 0; i < 3; ++i)
        addObject(track, 10 + i, kObjectCheckpoint, i);
    track.objects[0].reset();
    const int other = addObject(track, 99); // lands in slot 0
    ObjectSelection selection;
    selection.selectOnly(other);
    ObjectPropertiesValues v = ObjectPropertiesOf(*track.objects[size_t(other)], false);
    v.typeIndex = 6;
    ApplyObjectProperties(track, selection, v, false, {});
    EXPECT_EQ(checkpointsInOrder(track), (std::vector<int32_t>{11, 12, 99}));
    EXPECT_EQ(CheckpointLabel(7), "CP 07");
}

TEST(ObjectTypes, TheViewLabelsCheckpointsAndPlainBlocks) {
    TrackObject object;
    object.type = kObjectCheckpoint;
    object.sequence = 3;
    EXPECT_EQ(ObjectViewLabel(object, false), "CP 03"); // the renumbered sequence itself
    object.type = kObjectRamp;
    EXPECT_EQ(ObjectViewLabel(object, true), "RAMP");
    EXPECT_EQ(ObjectViewLabel(object, false), ""); // a ramp with its model shows itself
    object.type = 0;
    EXPECT_EQ(ObjectViewLabel(object, true), "BOX");
}

TEST(ObjectLimits, PropertiesTurnAnObjectOverTheLimitIntoDefault) {
    CTrackPOD track;
    for (int i = 0; i < 100; ++i)
        addObject(track, i, kObjectRamp);
    const int slot = addObject(track, 500);
    ObjectSelection selection;
    selection.selectOnly(slot);
    ObjectPropertiesValues v = ObjectPropertiesOf(*track.objects[size_t(slot)], false);
    v.typeIndex = 14;
    auto result = ApplyObjectProperties(track, selection, v, false, {});
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0].text, "Max. 100 Ramps!");
    EXPECT_EQ(track.objects[size_t(slot)]->type, kObjectDefault);

    for (int i = 0; i < 100; ++i)
        addObject(track, i, kObjectTopCrush);
    track.objects[size_t(slot)]->type = kObjectTopCrush;
    EXPECT_EQ(CheckObjectLimits(track, slot).text, "Max. 100 Top-Crush!");
    EXPECT_EQ(track.objects[size_t(slot)]->type, kObjectDefault);
    EXPECT_TRUE(CheckObjectLimits(track, slot).empty());
}
