#pragma once

#include <cstdint>
#include <vector>

// Relief shading: while a track has never been lit its light map holds one
// value everywhere and the ground looks flat whatever its shape. The view
// then shades the terrain by its slope instead, for the picture only; the
// track's light map is never touched.
namespace ravok {

class CTrackPOD;

// Whether every cell of the light map holds the same shade.
bool LightMapUniform(const CTrackPOD& track);

// One shade byte per grid point (y * 256 + x), like the light map's: ground
// facing the light (from the north-west, high up) bright, ground turned
// away from it dark, level ground as a new track's default shade.
std::vector<uint8_t> ReliefShades(const CTrackPOD& track);

} // namespace ravok
