#pragma once

// The commands the frame's bars, boxes and menus send to the track view, with
// a value each. The numbers are the frame's notification codes; codes not
// listed are ignored by the view.

namespace ravok {

// The five edit modes, in the order of the frame's mode buttons.
enum class EditMode { Terrain = 0, Textures = 1, Course = 2, Objects = 3, GroundBoxes = 4 };
constexpr int kEditModeCount = 5;

enum class ViewCommand {
    LevelView = 1,            // pitch 900
    LookStraightDown = 2,     // pitch 1800
    Gamma = 3,                // value: gamma times ten (5..20)
    ResetRenderer = 4,
    GridSize = 5,             // value: squares of the terrain window
    ApplyTexture = 9,         // value: texture; fills the selection or paints the ground box
    TerrainTool = 10,         // value: tool 0..7
    ToolWidth = 11,           // value: squares
    ToolHeight = 12,          // value: squares
    DisplayMode = 13,         // value: 0 textured, 1 wire frame, 2 both
    EditMode = 14,            // value: the mode
    ToolOrientation = 16,     // value: step of 45 degrees
    ToolCurvature = 17,       // value: step
    ToolAltitude = 19,        // value: altitude (Single-point: applied once)
    PurgeModels = 21,         // value: model (handled by the Models box through the view)
    PurgeTextures = 22,       // value: texture (handled by the Textures box)
    CurrentCourse = 23,       // value: 0 main, 1..4 extended
    AlwaysShowMain = 24,      // value: 0 or 1
    TexturePaintMode = 27,    // value: 0 or 1
    GroundBoxTop = 30,        // apply the bar's top and bottom
    GroundBoxBottom = 31,
    GroundBoxPaintMode = 32,  // value: 0..4
    ObjectRaise = 38,         // value: hundredths of a height unit, signed
    AutoTransitions = 39,
    PaletteChanged = 40,
    ObjectMoveX = 41,         // value: tenths of a world unit, signed
    ObjectMoveY = 42,         // value: tenths of a world unit, signed
    ObjectHeading = 43,       // value: hundredths of a degree, signed
    ObjectTiltPhi = 44,       // value: hundredths of a degree, signed
    ObjectTiltTheta = 45,     // value: hundredths of a degree, signed
    ObjectWidth = 46,         // value: size units, signed
    ObjectLength = 47,        // value: size units, signed
};

} // namespace ravok
