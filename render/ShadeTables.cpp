#include "render/ShadeTables.h"

#include <numeric>

namespace ravok {

namespace {

// Water mixed over the ground: 55 % ground, 45 % this blue.
constexpr RgbColour kWaterColour{40, 90, 170};
constexpr int kWaterShare = 45;

int nearestFreeEntry(const PaletteColours& palette, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < kFirstFixedColour; ++i) {
        const RgbColour& c = palette[size_t(i)];
        const int dr = c.r - r, dg = c.g - g, db = c.b - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

InverseColourMap BuildInverseColourMap(const PaletteColours& palette) {
    InverseColourMap map(kInverseColourMapSize);
    for (int b = 0; b < 32; ++b)
        for (int g = 0; g < 32; ++g)
            for (int r = 0; r < 32; ++r)
                map[size_t(r | (g << 5) | (b << 10))] =
                    uint8_t(nearestFreeEntry(palette, r * 8 + 4, g * 8 + 4, b * 8 + 4));
    return map;
}

ShadeTables::ShadeTables() {
    for (auto& row : m_rows) std::iota(row.begin(), row.end(), uint8_t(0));
    std::iota(m_waterTint.begin(), m_waterTint.end(), uint8_t(0));
}

void ShadeTables::build(const PaletteColours& palette, std::span<const uint8_t> inverseMap) {
    for (auto& row : m_rows) std::iota(row.begin(), row.end(), uint8_t(0));
    std::iota(m_waterTint.begin(), m_waterTint.end(), uint8_t(0));
    if (inverseMap.size() < kInverseColourMapSize) return;
    for (int level = 0; level < 255; ++level)
        for (int c = 0; c < 256; ++c) {
            const RgbColour& colour = palette[size_t(c)];
            const int scale = level + 1;
            m_rows[size_t(level)][size_t(c)] = inverseMap[inverseColourMapIndex(
                colour.r * scale / 256, colour.g * scale / 256, colour.b * scale / 256)];
        }
    for (int c = 0; c < 256; ++c) {
        const RgbColour& colour = palette[size_t(c)];
        auto mix = [](int ground, int water) { return (ground * (100 - kWaterShare) + water * kWaterShare) / 100; };
        m_waterTint[size_t(c)] = inverseMap[inverseColourMapIndex(mix(colour.r, kWaterColour.r),
                                                                  mix(colour.g, kWaterColour.g),
                                                                  mix(colour.b, kWaterColour.b))];
    }
}

} // namespace ravok
