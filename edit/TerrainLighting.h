#pragma once

#include "model/TrackRecords.h"

// Terrain lighting: the light map (the shade byte of every grid point) worked
// out from the heights, the ground boxes and the objects, and the sun
// direction and light level the game reads from the first level vector.
namespace ravok {

class CTrackPOD;
struct LightingSettings;

constexpr int kLowestLight = 8; // computed light values stay within 8..255

struct LightingParams {
    int dark = 153, bright = 237; // levels 0..255
    int sun = 0;                  // 0 overhead, 1 top, 2 right, 3 bottom, 4 left of the dialog's cross
    int bias = 0;                 // altitude bias, 0..100 %
    int shadow = 0;               // 0..100 %

    static LightingParams fromSettings(const LightingSettings& settings);
    void toSettings(LightingSettings& settings) const;
    LightingParams corrected() const;
    bool operator==(const LightingParams&) const = default;
};

// The dialog shows the dark and bright levels as percentages.
int LightingPercentOfLevel(int level); // (level * 100 + 127) / 255
// The level a percentage stands for; gives back the percentage shown.
int LightingLevelOfPercent(int percent);

// The sun position the track's sun direction stands for, as the dialog opens:
// 0 when both horizontal components are within +-999, else by the first of
// z < 0, x < 0, z > 0, x > 0 (1..4).
int SunPositionOfTrack(const CTrackPOD& track);

// The first level vector for the parameters: the sun direction (x, vertical,
// z) and the light level bright x (100 - shadow) x 2.
LevelVectors::Vector SunVectorOf(const LightingParams& params);

// OK of the dialog: sets the sun vector and recomputes the whole light map
// (base pass with wrapping neighbours, altitude bias, terrain and ground-box
// shadows, object shadows; objects cast shadows only when their models are
// loaded). Rebuilds the ground-box maps. False, with nothing changed, for a
// track shown from a pod.
bool ComputeTerrainLighting(CTrackPOD& track, const LightingParams& params);

} // namespace ravok
