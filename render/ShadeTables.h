#pragma once

#include "art/Palette.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace ravok {

// 32768 palette indices by 15-bit colour: red in the low 5 bits, then green,
// then blue.
using InverseColourMap = std::vector<uint8_t>;
constexpr size_t kInverseColourMapSize = 32768;
inline size_t inverseColourMapIndex(int r, int g, int b) { return size_t((r >> 3) | ((g >> 3) << 5) | ((b >> 3) << 10)); }

// The nearest of the free palette entries (0..245) to every 15-bit colour,
// taken at the middle of its 8 x 8 x 8 block.
InverseColourMap BuildInverseColourMap(const PaletteColours& palette);

// Light levels as table look-ups: row L (0..254) maps each palette index to
// the index of its colour scaled by (L + 1) / 256; row 255 is the identity.
class ShadeTables {
public:
    ShadeTables();
    // Without an inverse map every row is the identity.
    void build(const PaletteColours& palette, std::span<const uint8_t> inverseMap);
    const uint8_t* row(int level) const { return m_rows[size_t(level & 255)].data(); }

    // The tint of water: each index mapped to its colour mixed with the
    // water colour, so the ground under the water still shows.
    const uint8_t* waterTint() const { return m_waterTint.data(); }

private:
    std::array<std::array<uint8_t, 256>, 256> m_rows;
    std::array<uint8_t, 256> m_waterTint;
};

} // namespace ravok
