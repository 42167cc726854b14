#include "edit/EditSession.h"

#include "edit/TerrainBrush.h"
#include "edit/TerrainTools.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

using namespace ravok;

// Each tool carries its group's remembered Altitude: Plane flattens to its
// own altitude, Single-point steps by its own step, whatever the previous tool held.
TEST(EditSession, ToolChangeCarriesItsAltitude) {
    EditSession session;
    TerrainModeState& terrain = session.terrain;
    EXPECT_EQ(terrain.tool.altitude, 32);
    terrain.setAltitude(40);
    terrain.selectTool(TerrainTool::Plane);
    EXPECT_EQ(terrain.tool.altitude, 100);
    terrain.setAltitude(70);
    terrain.selectTool(TerrainTool::SinglePoint);
    EXPECT_EQ(terrain.tool.altitude, 1);
    EXPECT_FALSE(terrain.sizeEnabled());
    terrain.selectTool(TerrainTool::Hill);
    EXPECT_EQ(terrain.tool.altitude, 40) << "tools 0..5 share one value";
    EXPECT_TRUE(terrain.sizeEnabled());
    terrain.selectTool(TerrainTool::Plane);
    EXPECT_EQ(terrain.tool.altitude, 70);
    terrain.setAltitude(999);
    EXPECT_EQ(terrain.tool.altitude, 255);

    // Plane at the hovered square uses Plane's altitude.
    auto track = std::make_unique<CTrackPOD>();
    track->SetUpMtm2();
    terrain.tool.width = terrain.tool.height = 3;
    terrain.setAltitude(70);
    ApplyTerrainTool(*track, terrain.tool, BuildTerrainBrush(terrain.tool), {50, 50}, terrain.undoScratch);
    EXPECT_EQ(track->terrain.height(50, 50), 70);
    EXPECT_EQ(terrain.stepName(), "Plane Terrain");
}

// What the settings keep at exit and give back at the next start: the three
// Altitudes (Plane's apart, so the edit state's Altitude stays the brush
// tools'), the Single-point step, the paint size and the display mode.
TEST(EditSession, StoresAndRestoresTheToolsAcrossStarts) {
    EditSession session;
    session.terrain.setAltitude(-12);
    session.terrain.selectTool(TerrainTool::SinglePoint);
    session.terrain.setAltitude(4);
    session.terrain.selectTool(TerrainTool::Plane);
    session.terrain.setAltitude(180);
    session.textures.paintWidth = 6, session.textures.paintHeight = 3;
    session.displayMode = 1;

    EditState state;
    int plane = 0;
    session.store(state, plane);
    EXPECT_EQ(state.altitude, -12) << "quitting with Plane keeps the brush tools' altitude";
    EXPECT_EQ(plane, 180);
    EXPECT_EQ(state.singlePointStep, 4);
    EXPECT_EQ(state.terrainTool, int(TerrainTool::Plane));

    const EditState again = EditState::fromBytes(state.toBytes());
    EditSession next;
    next.restore(again, plane);
    EXPECT_EQ(next.terrain.tool.tool, TerrainTool::Plane);
    EXPECT_EQ(next.terrain.tool.altitude, 180);
    next.terrain.selectTool(TerrainTool::Raise);
    EXPECT_EQ(next.terrain.tool.altitude, -12);
    next.terrain.selectTool(TerrainTool::SinglePoint);
    EXPECT_EQ(next.terrain.tool.altitude, 4);
    EXPECT_EQ(next.textures.paintWidth, 6);
    EXPECT_EQ(next.textures.paintHeight, 3);
    EXPECT_EQ(next.displayMode, 1);
}

TEST(EditSession, ModeChangeAndNewTrackClearWhatTheModesPointAt) {
    auto track = std::make_unique<CTrackPOD>();
    track->SetUpMtm2();
    EditSession session;
    session.trackReplaced(*track);
    session.objects.selection.selectOnly(3);
    session.course.anchor = 2, session.course.truck = 1, session.course.course = 2;
    session.boxes.selection.box = 5;
    session.textures.selection = TextureSelection{0, 0, 2, 2};
    session.setMode(EditMode::Course);
    EXPECT_EQ(session.objects.selection.current, -1);
    EXPECT_EQ(session.course.anchor, -1);
    EXPECT_EQ(session.course.truck, -1);
    EXPECT_EQ(session.course.course, 2) << "the course chosen on the bar stays";
    EXPECT_EQ(session.boxes.selection.box, -1);
    EXPECT_TRUE(session.textures.selection.empty());

    track->terrain.heights[0] = 9;
    session.history.commit("Raise Terrain", *track);
    EXPECT_TRUE(session.history.canUndo());
    session.trackReplaced(*track);
    EXPECT_FALSE(session.history.canUndo()) << "a new track starts a new history";
    EXPECT_FALSE(session.history.isModified());
}
