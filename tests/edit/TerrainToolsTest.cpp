#include "edit/TerrainTools.h"

#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> flatTrack(uint8_t height) {
    auto track = std::make_unique<CTrackPOD>();
    std::fill(track->terrain.heights.begin(), track->terrain.heights.end(), height);
    return track;
}

uint8_t& h(CTrackPOD& t, int x, int y) {
    return t.terrain.heights[size_t(y * 256 + x)];
}

TerrainToolParams tool(TerrainTool which, int width, int height, int altitude, int orientation = 0) {
    TerrainToolParams p;
    p.tool = which;
    p.width = width;
    p.height = height;
    p.altitude = altitude;
    p.orientation = orientation;
    return p;
}

TerrainChange apply(CTrackPOD& t, const TerrainToolParams& p, int x, int y, TerrainUndo& undo) {
    return ApplyTerrainTool(t, p, BuildTerrainBrush(p), {x, y}, undo);
}

int changedCells(const CTrackPOD& t, uint8_t from) {
    int n = 0;
    for (uint8_t v : t.terrain.heights)
        n += v != from;
    return n;
}

} // namespace

TEST(TerrainTools, BrushToolsNeverGoBelowTwo) {
    auto t = flatTrack(10);
    TerrainUndo undo;
    auto p = tool(TerrainTool::Raise, 5, 3, -255);
    EXPECT_EQ(apply(*t, p, 100, 50, undo), (TerrainChange{98, 49, 102, 51}));
    for (int y = 49; y <= 51; ++y)
        for (int x = 98; x <= 102; ++x)
            EXPECT_EQ(h(*t, x, y), 2);
    EXPECT_EQ(changedCells(*t, 10), 15);
    EXPECT_EQ(h(*t, 97, 50), 10);
    // The upper clamp is 255.
    apply(*t, tool(TerrainTool::Raise, 1, 1, 255), 100, 50, undo);
    apply(*t, tool(TerrainTool::Raise, 1, 1, 255), 100, 50, undo);
    EXPECT_EQ(h(*t, 100, 50), 255);
    // Even a zero delta lifts a height of 0 or 1 to 2 under the brush.
    h(*t, 10, 10) = 0;
    apply(*t, tool(TerrainTool::Hill, 2, 1, 0), 10, 10, undo);
    EXPECT_EQ(h(*t, 10, 10), 2);
}

TEST(TerrainTools, PlaneSetsTheAltitudeOrZero) {
    auto t = flatTrack(50);
    TerrainUndo undo;
    apply(*t, tool(TerrainTool::Plane, 3, 3, 0), 20, 20, undo);
    EXPECT_EQ(h(*t, 19, 19), 0);
    EXPECT_EQ(h(*t, 21, 21), 0);
    EXPECT_EQ(h(*t, 22, 21), 50);
    apply(*t, tool(TerrainTool::Plane, 3, 3, -40), 40, 40, undo);
    EXPECT_EQ(h(*t, 40, 40), 0);
    apply(*t, tool(TerrainTool::Plane, 3, 3, 1), 60, 60, undo);
    EXPECT_EQ(h(*t, 61, 59), 1);
    apply(*t, tool(TerrainTool::Plane, 25, 1, 180, 2), 80, 80, undo); // turned: 1 x 25
    EXPECT_EQ(h(*t, 80, 68), 180);
    EXPECT_EQ(h(*t, 80, 92), 180);
    EXPECT_EQ(h(*t, 81, 80), 50);
}

TEST(TerrainTools, BrushAtTheCornerChangesOnlyOnMapCells) {
    auto t = flatTrack(100);
    TerrainUndo undo;
    EXPECT_EQ(apply(*t, tool(TerrainTool::Raise, 5, 5, 20), 0, 0, undo), (TerrainChange{0, 0, 2, 2}));
    EXPECT_EQ(changedCells(*t, 100), 9);
    EXPECT_EQ(h(*t, 2, 2), 120);
    // Nothing wraps to the far edges.
    EXPECT_EQ(h(*t, 255, 255), 100);
    EXPECT_EQ(h(*t, 254, 0), 100);
    EXPECT_EQ(apply(*t, tool(TerrainTool::Raise, 5, 5, 20), 255, 255, undo),
              (TerrainChange{253, 253, 255, 255}));
    EXPECT_EQ(changedCells(*t, 100), 18);
    EXPECT_EQ(h(*t, 0, 255), 100);
}

TEST(TerrainTools, SmoothReadsTheUnchangedHeights) {
    auto t = flatTrack(100);
    h(*t, 10, 10) = 200;
    TerrainUndo undo;
    apply(*t, tool(TerrainTool::Smooth, 5, 5, 32), 10, 10, undo);
    EXPECT_EQ(h(*t, 10, 10), 100);
    // Its neighbour still sees the spike: (200 + 3 * 100) / 4.
    EXPECT_EQ(h(*t, 11, 10), 125);
    EXPECT_EQ(h(*t, 10, 9), 125);
    // Only the inner 3 x 3 of the 5 x 5 extent is smoothed.
    h(*t, 13, 10) = 200;
    apply(*t, tool(TerrainTool::Smooth, 5, 5, 32), 10, 10, undo);
    EXPECT_EQ(h(*t, 13, 10), 200);

    // Below 3 squares across there is no inner cell.
    auto narrow = flatTrack(100);
    h(*narrow, 50, 50) = 200;
    EXPECT_TRUE(apply(*narrow, tool(TerrainTool::Smooth, 2, 9, 32), 50, 50, undo).empty());
    EXPECT_TRUE(apply(*narrow, tool(TerrainTool::Smooth, 9, 2, 32), 50, 50, undo).empty());
    EXPECT_EQ(changedCells(*narrow, 100), 1);

    // The map's outer ring is never smoothed.
    auto edge = flatTrack(100);
    h(*edge, 0, 1) = 0;
    h(*edge, 1, 0) = 0;
    apply(*edge, tool(TerrainTool::Smooth, 5, 5, 32), 0, 0, undo);
    EXPECT_EQ(h(*edge, 0, 1), 0);
    EXPECT_EQ(h(*edge, 1, 1), 50);
}

TEST(TerrainTools, SinglePointStepsOncePerTick) {
    auto t = flatTrack(250);
    TerrainUndo undo;
    auto p = tool(TerrainTool::SinglePoint, 25, 25, 3);
    EXPECT_EQ(apply(*t, p, 7, 8, undo), (TerrainChange{7, 8, 7, 8}));
    EXPECT_EQ(h(*t, 7, 8), 253);
    EXPECT_EQ(changedCells(*t, 250), 1); // 1 x 1, whatever the width
    apply(*t, p, 7, 8, undo);
    EXPECT_EQ(h(*t, 7, 8), 255);
    ApplySinglePoint(*t, {7, 8}, -255, undo);
    ApplySinglePoint(*t, {7, 8}, -255, undo);
    EXPECT_EQ(h(*t, 7, 8), 0); // Single-point may reach 0

    SinglePointRepeat repeat;
    EXPECT_TRUE(repeat.take());
    EXPECT_FALSE(repeat.take()); // a held key before the next tick
    repeat.tick();
    EXPECT_TRUE(repeat.take());
}

TEST(TerrainTools, AreaCopyAndPaste) {
    auto t = flatTrack(100);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            h(*t, x, y) = uint8_t((x * 7 + y * 3) & 255);
    TerrainArea area;
    EXPECT_FALSE(CopyTerrainArea(*t, 3, 3, std::nullopt, area));
    EXPECT_TRUE(area.empty());
    TerrainUndo undo;
    EXPECT_TRUE(PasteTerrainArea(*t, area, GridSquare{5, 5}, undo).empty()); // nothing copied
    EXPECT_FALSE(undo.available);

    ASSERT_TRUE(CopyTerrainArea(*t, 4, 3, GridSquare{20, 30}, area));
    EXPECT_EQ(area.width, 4);
    EXPECT_EQ(area.height, 3);
    EXPECT_EQ(PasteTerrainArea(*t, area, GridSquare{100, 200}, undo), (TerrainChange{99, 199, 102, 201}));
    EXPECT_TRUE(undo.available);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 2; ++dx)
            EXPECT_EQ(h(*t, 100 + dx, 200 + dy), h(*t, 20 + dx, 30 + dy));
    EXPECT_NE(h(*t, 103, 200), h(*t, 23, 30));

    // Cells that were off the map when copied leave the heights under them alone.
    ASSERT_TRUE(CopyTerrainArea(*t, 5, 5, GridSquare{0, 0}, area));
    const uint8_t before = h(*t, 48, 48);
    PasteTerrainArea(*t, area, GridSquare{50, 50}, undo);
    EXPECT_EQ(h(*t, 48, 48), before);
    EXPECT_EQ(h(*t, 50, 50), h(*t, 0, 0));
    EXPECT_EQ(h(*t, 52, 52), h(*t, 2, 2));
}

TEST(TerrainTools, UndoRestoresTheLastEditOnly) {
    auto t = flatTrack(100);
    TerrainUndo undo;
    EXPECT_FALSE(UndoTerrainEdit(*t, undo));
    apply(*t, tool(TerrainTool::Raise, 3, 3, 10), 50, 50, undo);
    apply(*t, tool(TerrainTool::Raise, 3, 3, 10), 60, 60, undo);
    EXPECT_TRUE(undo.available);
    EXPECT_TRUE(UndoTerrainEdit(*t, undo));
    EXPECT_EQ(h(*t, 60, 60), 100);
    EXPECT_EQ(h(*t, 50, 50), 110); // one level only
    EXPECT_FALSE(undo.available);
    EXPECT_FALSE(UndoTerrainEdit(*t, undo));
    EXPECT_EQ(h(*t, 50, 50), 110);
}

TEST(TerrainTools, NothingChangesOnATrackShownFromAPod) {
    auto t = flatTrack(100);
    t->podViewMode = true;
    TerrainUndo undo;
    EXPECT_TRUE(apply(*t, tool(TerrainTool::Raise, 3, 3, 10), 50, 50, undo).empty());
    EXPECT_FALSE(undo.available);
    EXPECT_EQ(changedCells(*t, 100), 0);
    EXPECT_FALSE(GridSquare::fromPacked(-1));
    EXPECT_EQ(GridSquare::fromPacked(0x1234)->x, 0x34);
    EXPECT_EQ(GridSquare::fromPacked(0x1234)->y, 0x12);
}
