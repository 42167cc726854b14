#include "edit/EditSession.h"

#include <algorithm>

namespace ravok {

void TerrainModeState::selectTool(TerrainTool newTool) {
    tool.tool = newTool;
    tool.altitude = altitudes[size_t(altitudeGroupOf(newTool))];
    tool = tool.corrected();
}

void TerrainModeState::setAltitude(int altitude) {
    tool.altitude = std::clamp(altitude, kMinAltitude, kMaxAltitude);
    altitudes[size_t(altitudeGroupOf(tool.tool))] = tool.altitude;
}

std::string TerrainModeState::stepName() const {
    switch (tool.tool) {
    case TerrainTool::Raise: return tool.altitude < 0 ? "Lower Terrain" : "Raise Terrain";
    case TerrainTool::Hill: return "Hill";
    case TerrainTool::Slope: return "Slope";
    case TerrainTool::Mound: return "Mound";
    case TerrainTool::Bumps: return "Bumps";
    case TerrainTool::Smooth: return "Smooth Terrain";
    case TerrainTool::Plane: return "Plane Terrain";
    case TerrainTool::SinglePoint: return "Move Point";
    }
    return "Edit Terrain";
}

void EditSession::restore(const EditState& state, int planeAltitude) {
    displayMode = std::clamp(state.displayMode, 0, 2);
    // The edit state's Altitude is the brush tools' value, whatever tool was chosen at the exit.
    terrain.altitudes = {std::clamp(state.altitude, kMinAltitude, kMaxAltitude),
                         std::clamp(planeAltitude, kMinAltitude, kMaxAltitude),
                         std::clamp(state.singlePointStep, kMinAltitude, kMaxAltitude)};
    terrain.tool.width = state.toolWidth;
    terrain.tool.height = state.toolHeight;
    terrain.tool.orientation = state.orientation;
    terrain.tool.curvature = state.curvature;
    terrain.selectTool(TerrainTool(std::clamp(state.terrainTool, 0, 7)));
    textures.paintWidth = std::clamp(state.paintWidth, 1, 16);
    textures.paintHeight = std::clamp(state.paintHeight, 1, 16);
}

void EditSession::store(EditState& state, int& planeAltitude) const {
    state.displayMode = displayMode;
    state.terrainTool = int(terrain.tool.tool);
    state.toolWidth = terrain.tool.width;
    state.toolHeight = terrain.tool.height;
    state.orientation = terrain.tool.orientation;
    state.curvature = terrain.tool.curvature;
    state.altitude = terrain.altitudes[0];
    planeAltitude = terrain.altitudes[1];
    state.singlePointStep = terrain.altitudes[2];
    state.paintWidth = textures.paintWidth;
    state.paintHeight = textures.paintHeight;
}

void EditSession::setMode(EditMode newMode) {
    mode = newMode;
    textures.selection = {};
    objects.selection.clear();
    course.anchor = course.truck = -1;
    boxes.selection = {};
}

void EditSession::trackReplaced(const CTrackPOD& track) {
    textures.selection = {};
    textures.undo = {};
    terrain.undoScratch = {};
    objects.selection.clear();
    course.anchor = course.truck = -1;
    boxes.selection = {};
    history.reset(track);
}

} // namespace ravok
