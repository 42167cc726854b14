#pragma once

#include "base/Outcome.h"

#include <optional>

// Adjust Terrain Heights: every height raised or lowered by an offset, or
// scaled by a factor (rounded down), with the things on the terrain and the
// water level moving along.
namespace ravok {

class CTrackPOD;
struct TerrainUndo;

constexpr const char* kAdjustHeightsCaption = "Adjust Terrain Heights";
constexpr const char* kAdjustNoMemoryMessage =
    "Not enough memory to move the objects with the terrain, so nothing was changed.";

constexpr int kMinAdjustOffset = -255, kMaxAdjustOffset = 255;
constexpr double kMinAdjustScale = 0.0, kMaxAdjustScale = 100.0;

struct HeightRange {
    int lowest = 0, highest = 0;
    bool operator==(const HeightRange&) const = default;
};
// The lowest and highest height of the map ("Now").
HeightRange TerrainHeightRange(const CTrackPOD& track);

struct AdjustHeightsParams {
    bool scale = false;        // false: "Raise / lower by" the offset; true: "Scale heights by" the factor
    int offset = 0;            // -255..255 steps, added to every height
    double factor = 1.0;       // 0.0..100.0 times every height, rounded down
    bool avoidClipping = true; // shrink the change so no height hits 0 or 255
    bool moveObjects = true;   // objects, truck starts and course points move with the terrain
    bool moveWaterLevel = true;

    // The selected field holds a number in its range.
    bool valid() const;
};

// The change "Avoid clipping" leaves: an offset that keeps every height
// within 0..255, a factor that keeps the highest at most 255.
int AvoidClippingOffset(int offset, HeightRange now);
double AvoidClippingScale(double factor, HeightRange now);

// Height h after the adjustment (with the effective change already applied).
int AdjustedHeight(int h, const AdjustHeightsParams& params);

// What "After" shows: the lowest and highest height that would result, or
// nullopt ("-" in both) when the input is not valid.
std::optional<HeightRange> AdjustedHeightRange(HeightRange now, const AdjustHeightsParams& params);

// OK of the dialog. Refused with kAdjustNoMemoryMessage (caption
// kAdjustHeightsCaption) when the points to move cannot be collected, and
// silently for an invalid input or a track shown from a pod; otherwise takes
// the undo snapshot, changes every height, moves the points (objects-moved)
// and the water level (water-level-changed, in quarter units within
// 0..1020) and re-derives the objects' heights above ground.
Outcome AdjustTerrainHeights(CTrackPOD& track, const AdjustHeightsParams& params, TerrainUndo& undo);

} // namespace ravok
