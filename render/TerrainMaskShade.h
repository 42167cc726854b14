#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The "Detail Mask" view option: the track's painted terrain mask laid over
// the whole grid and multiplied into the terrain's light, so that the mask's
// dark parts darken the ground under them in both renderers.
namespace ravok {

class CTrackPOD;

// One grey level per cell (y * 256 + x), sampled at the cell's centre from
// the mask picture stretched over the grid; the picture's bottom row lies
// along grid row 0, as in the terrain bitmap. Empty when the track has no
// mask or its picture cannot be decoded.
std::vector<uint8_t> TerrainMaskCellLevels(const CTrackPOD& track);

// A triangle's light level (255 unshaded) darkened by a mask level: 255
// leaves it as it is, 0 keeps half of the light.
uint8_t MaskedLightLevel(uint8_t light, uint8_t mask);

// A key of the mask picture's bytes, to tell when the levels must be made
// again; 0 without a mask.
uint32_t TerrainMaskKey(const CTrackPOD& track);

} // namespace ravok
