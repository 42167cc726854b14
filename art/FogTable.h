#pragma once

#include "art/Palette.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace ravok {

constexpr size_t kFogMapBytes = 32768;
constexpr int kFogSearchFirst = 10; // entries searched by the nearest-colour table
constexpr int kFogSearchLast = 229;

// Expands (value, count) pairs into a 32768-byte block: each pair writes
// `count` copies of `value`; decoding stops once the block is full. Bytes no
// pair reached stay 0.
std::vector<uint8_t> decodeFogMapPairs(std::span<const uint8_t> pairs);

// The nearest-colour fog table of a palette: for red, green, blue each
// stepping 3, 11, ..., 251 (red outermost), the entry among 10..229 nearest by
// squared distance, a later entry winning ties. The first byte is then
// overwritten with the palette's index, which is how the game knows it.
std::vector<uint8_t> BuildFogTable(const PaletteColours& colours, uint8_t paletteIndex);

// The three fixed tables of an MTM1 track's fog, built for its palette: for
// each level (rows) and each palette entry (columns), the entry among 0..245
// nearest to that colour at that level.
constexpr size_t kFogMixBytes = 7936;  // 31 levels: the colour fading into the fog colour
constexpr size_t kFogLevelBytes = 4096; // 16 levels: the same in coarser steps
constexpr size_t kFogLightBytes = 4096; // 16 levels: the colour from dark to full light
std::vector<uint8_t> BuildFogMixTable(const TrackPalette& palette);
std::vector<uint8_t> BuildFogLevelTable(const TrackPalette& palette);
std::vector<uint8_t> BuildFogLightTable(const TrackPalette& palette);

} // namespace ravok
