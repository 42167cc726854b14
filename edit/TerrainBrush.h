#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The terrain tools' parameters and the brush they build. Sizes are in grid
// squares, heights in terrain height units (0..255).
namespace ravok {

// The eight terrain tools, in the order of the "Terrain Tools" bar.
enum class TerrainTool : int {
    Raise = 0,
    Hill = 1,
    Slope = 2,
    Mound = 3,
    Bumps = 4,
    Smooth = 5,
    Plane = 6,
    SinglePoint = 7,
};

// Ranges of the bar's fields.
constexpr int kMinToolSize = 1, kMaxToolSize = 25;
constexpr int kMinAltitude = -255, kMaxAltitude = 255;
constexpr int kMaxOrientation = 7; // steps of 45 degrees
constexpr int kMaxCurvature = 6;   // 3 leaves the profile unchanged
constexpr int kNeutralCurvature = 3;

// The Altitude field of the bar holds one of three remembered values, by the
// group of the current tool: 0 for tools 0..5, 1 for Plane, 2 for Single-point
// (where the field is the step).
int altitudeGroupOf(TerrainTool tool);
// The value each group starts with: 32, 100 and 1.
int defaultAltitudeOfGroup(int group);

struct TerrainToolParams {
    TerrainTool tool = TerrainTool::Raise;
    int width = 5, height = 5;         // 1..25
    int altitude = 32;                 // -255..255; the step of Single-point
    int orientation = 0;               // 0..7
    int curvature = kNeutralCurvature; // 0..6

    // The parameters with every field put back into its range, as the bar
    // corrects its fields (tool 0..7, sizes 1..25, altitude -255..255,
    // orientation 0..7, curvature 0..6).
    TerrainToolParams corrected() const;
    bool operator==(const TerrainToolParams&) const = default;
};

// Exponent applied to a brush's profile for a curvature step (0.2 .. 3.0).
float curvatureExponent(int curvature);

// Rounds half away from zero the way the brush does: adds 0.499 to a positive
// value, subtracts it from a negative one, then truncates.
int brushRound(double value);

// The brush of the current parameters: a 40 x 40 table of signed height
// deltas and its extent after rotation (rw columns, rh rows, each 1..39).
// Row r, column k of the table covers the grid square at
// (x - (rw - 1) / 2 + k, y - (rh - 1) / 2 + r) around the hovered square.
struct TerrainBrush {
    static constexpr int kSide = 40;
    std::array<int16_t, kSide * kSide> deltas{};
    int rw = 1, rh = 1;

    int16_t delta(int row, int column) const { return deltas[size_t(row * kSide + column)]; }
};

// Builds the brush for the parameters. Bumps draws 400 values from the C
// library's rand(), so the caller's srand() decides them.
TerrainBrush BuildTerrainBrush(const TerrainToolParams& params);

} // namespace ravok
