#include "edit/EditHistory.h"

#include "edit/TerrainAdjust.h"
#include "edit/TerrainUndo.h"

#include "model/TrackPod.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> newTrack() {
    auto track = std::make_unique<CTrackPOD>();
    track->SetUpMtm2();
    return track;
}

void raise(CTrackPOD& track, int x, int y, int by) {
    track.terrain.heights[size_t(y) * kGridSize + size_t(x)] += uint8_t(by);
}

} // namespace

TEST(EditHistory, UndoAndRedoWalkStepsAcrossEveryPart) {
    auto track = newTrack();
    EditHistory history;
    history.reset(*track);
    const std::vector<uint8_t> flat = track->terrain.heights;

    raise(*track, 10, 20, 5);
    raise(*track, 12, 22, 7);
    track->terrain.textures[size_t(21) * kGridSize + 11] = 3;
    ASSERT_TRUE(history.commit("Raise Terrain", *track));

    auto object = std::make_unique<TrackObject>();
    object->x = 1234;
    const int slot = track->AddObject(std::move(object));
    ASSERT_GE(slot, 0);
    ASSERT_TRUE(history.commit("Insert Object", *track));

    track->objects[size_t(slot)]->x = 4321;
    track->mainCourse.insertSegment(0);
    track->vehicles[1].x = 77;
    track->SetTrackName("Hills");
    ASSERT_TRUE(history.commit("Move Objects", *track));
    EXPECT_FALSE(history.commit("Nothing", *track)) << "a commit without a change makes no step";
    EXPECT_EQ(history.stepCount(), 3u);
    EXPECT_EQ(history.undoName(), "Move Objects");

    EXPECT_EQ(history.undo(*track), uint32_t(TrackPart::Objects) | uint32_t(TrackPart::Courses) |
                                        uint32_t(TrackPart::Settings));
    EXPECT_EQ(track->objects[size_t(slot)]->x, 1234);
    EXPECT_TRUE(track->mainCourse.segments.empty());
    EXPECT_NE(track->vehicles[1].x, 77);
    EXPECT_NE(track->trackName.view(), "Hills");
    EXPECT_EQ(history.redoName(), "Move Objects");

    EXPECT_EQ(history.undo(*track), uint32_t(TrackPart::Objects));
    EXPECT_FALSE(track->objects[size_t(slot)]);
    EXPECT_EQ(history.undo(*track), uint32_t(TrackPart::Terrain));
    EXPECT_EQ(track->terrain.heights, flat);
    EXPECT_EQ(track->terrain.textures[size_t(21) * kGridSize + 11], 0);
    EXPECT_EQ(history.undo(*track), 0u) << "nothing left to undo";

    // Redo all three, then a new step ends the redo branch.
    history.redo(*track);
    history.redo(*track);
    history.redo(*track);
    EXPECT_EQ(track->terrain.heights[size_t(22) * kGridSize + 12], flat[size_t(22) * kGridSize + 12] + 7);
    EXPECT_EQ(track->objects[size_t(slot)]->x, 4321);
    EXPECT_EQ(track->trackName.view(), "Hills");
    history.undo(*track);
    raise(*track, 0, 0, 1);
    ASSERT_TRUE(history.commit("Lower Terrain", *track));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoName(), "Lower Terrain");
    // The undone object move is gone for good: undoing the new step keeps the object where it was.
    history.undo(*track);
    EXPECT_EQ(track->objects[size_t(slot)]->x, 1234);
}

TEST(EditHistory, TerrainStepStoresOnlyTheChangedRectangleAndMemoryStaysBounded) {
    auto track = newTrack();
    // Room for about three steps of a 100 x 100 rectangle (10 bytes a cell, before and after).
    EditHistory history(3 * 100 * 100 * 10 * 2 + 4096);
    history.reset(*track);

    raise(*track, 5, 5, 1);
    ASSERT_TRUE(history.commit("Raise Terrain", *track));
    EXPECT_LT(history.memoryUsed(), 2048u) << "one changed cell stores one cell";

    for (int i = 0; i < 10; ++i) {
        raise(*track, 100, 100, 1);
        raise(*track, 199, 199, 1);
        ASSERT_TRUE(history.commit("Smooth Terrain", *track));
    }
    EXPECT_LE(history.memoryUsed(), 3u * 100 * 100 * 10 * 2 + 4096);
    EXPECT_EQ(history.stepCount(), 3u) << "the oldest steps went past the limit";
    while (history.canUndo()) history.undo(*track);
    // Three of the ten raises undone; the earliest stay.
    EXPECT_EQ(track->terrain.height(100, 100), kDefaultHeight + 7);
    EXPECT_EQ(track->terrain.height(5, 5), kDefaultHeight + 1);

    // The default limit keeps far more than 100 small steps.
    EditHistory roomy;
    roomy.reset(*track);
    for (int i = 0; i < 150; ++i) {
        raise(*track, i, 3, 1);
        ASSERT_TRUE(roomy.commit("Raise Terrain", *track));
    }
    EXPECT_EQ(roomy.stepCount(), 150u);
    EXPECT_LT(roomy.memoryUsed(), EditHistory::kDefaultMemoryLimit);
}

TEST(EditHistory, ModifiedMarkFollowsTheSavedState) {
    auto track = newTrack();
    EditHistory history;
    history.reset(*track);
    EXPECT_FALSE(history.isModified());

    raise(*track, 1, 1, 1);
    history.commit("Raise Terrain", *track);
    EXPECT_TRUE(history.isModified());
    history.undo(*track);
    EXPECT_FALSE(history.isModified()) << "undone back to the opened state";
    history.redo(*track);
    history.markSaved();
    EXPECT_FALSE(history.isModified());

    raise(*track, 2, 2, 1);
    history.commit("Raise Terrain", *track);
    history.undo(*track);
    EXPECT_FALSE(history.isModified());
    history.undo(*track);
    EXPECT_TRUE(history.isModified()) << "before the saved state";

    // Past the saved state a new step ends the branch it was on: never unmodified again by undo or redo.
    raise(*track, 3, 3, 1);
    history.commit("Raise Terrain", *track);
    history.undo(*track);
    EXPECT_TRUE(history.isModified());
}

TEST(EditHistory, UndoneObjectsFindTheirModelsAgain) {
    auto track = newTrack();
    auto model = std::make_unique<Model>();
    model->setName("MODELS\\BARN.BIN");
    track->models[0] = std::move(model);
    EditHistory history;
    history.reset(*track);

    auto object = std::make_unique<TrackObject>();
    object->modelName.set("MODELS\\BARN.BIN");
    object->model = track->models[0].get();
    const int slot = track->AddObject(std::move(object));
    history.commit("Insert Object", *track);
    track->objects[size_t(slot)].reset();
    history.commit("Delete Objects", *track);

    // The model is loaded again in another slot (a purge and reload) before the delete is undone.
    auto again = std::make_unique<Model>();
    again->setName("MODELS\\BARN.BIN");
    track->models[0].reset();
    track->models[7] = std::move(again);
    history.undo(*track);
    ASSERT_TRUE(track->objects[size_t(slot)]);
    EXPECT_EQ(track->objects[size_t(slot)]->model, track->models[7].get());
}

// One undo of Adjust Heights gives the track the one-level terrain undo gives:
// heights, objects, truck starts, course points and water level as they were.
TEST(EditHistory, OneUndoMatchesTheTerrainUndo) {
    auto build = [] {
        auto track = newTrack();
        for (int i = 0; i < 200; ++i) raise(*track, i % 256, i / 3, i % 40);
        auto object = std::make_unique<TrackObject>();
        object->x = 64 * 20 + 5, object->y = 64 * 30;
        track->AddObject(std::move(object));
        track->NormaliseObjectHeights();
        track->mainCourse.insertSegment(0);
        track->mainCourse.segments[0].start = {64 * 3, 64 * 4, 120};
        track->vehicles[2].z = 130;
        track->SetWaterLevelQuarters(200);
        return track;
    };
    auto withHistory = build(), withUndo = build();
    AdjustHeightsParams params;
    params.offset = 17;
    EditHistory history;
    history.reset(*withHistory);
    TerrainUndo scratch, undo;
    ASSERT_TRUE(AdjustTerrainHeights(*withHistory, params, scratch));
    ASSERT_TRUE(AdjustTerrainHeights(*withUndo, params, undo));
    ASSERT_TRUE(history.commit("Adjust Heights", *withHistory));
    ASSERT_TRUE(history.undo(*withHistory));
    ASSERT_TRUE(UndoTerrainEdit(*withUndo, undo));

    EXPECT_EQ(withHistory->terrain.heights, withUndo->terrain.heights);
    EXPECT_EQ(*withHistory->objects[0], *withUndo->objects[0]);
    EXPECT_EQ(withHistory->mainCourse, withUndo->mainCourse);
    EXPECT_EQ(withHistory->vehicles, withUndo->vehicles);
    EXPECT_EQ(withHistory->waterLevel * 4 + withHistory->waterLevelQuarters,
              withUndo->waterLevel * 4 + withUndo->waterLevelQuarters);
}
