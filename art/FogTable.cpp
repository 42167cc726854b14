#include "art/FogTable.h"

namespace ravok {

std::vector<uint8_t> decodeFogMapPairs(std::span<const uint8_t> pairs) {
    std::vector<uint8_t> block(kFogMapBytes, 0);
    size_t pos = 0;
    for (size_t i = 0; i + 1 < pairs.size() && pos < kFogMapBytes; i += 2) {
        const uint8_t value = pairs[i];
        for (int n = 0; n < pairs[i + 1]; ++n) {
            if (pos < kFogMapBytes) block[pos] = value;
            pos = (pos + 1) % 65536;
        }
    }
    return block;
}

std::vector<uint8_t> BuildFogTable(const PaletteColours& colours, uint8_t paletteIndex) {
    std::vector<uint8_t> table(kFogMapBytes);
    size_t pos = 0;
    for (int r = 3; r <= 251; r += 8)
        for (int g = 3; g <= 251; g += 8)
            for (int b = 3; b <= 251; b += 8) {
                int best = 1 << 30, bestIndex = kFogSearchFirst;
                for (int e = kFogSearchFirst; e <= kFogSearchLast; ++e) {
                    const RgbColour& c = colours[size_t(e)];
                    int d = (c.r - r) * (c.r - r) + (c.g - g) * (c.g - g) + (c.b - b) * (c.b - b);
                    if (d <= best) {
                        best = d;
                        bestIndex = e;
                    }
                }
                table[pos++] = static_cast<uint8_t>(bestIndex);
            }
    table[0] = paletteIndex;
    return table;
}

namespace {

constexpr RgbColour kFogColour{150, 150, 160};

// Rows of 256 entries: row k holds each colour blended toward `target` by
// k / (rows - 1), or, with `target` absent, scaled by (k + 1) / rows.
std::vector<uint8_t> levelTable(const TrackPalette& palette, int rows, const RgbColour* target) {
    std::vector<uint8_t> table;
    table.reserve(size_t(rows) * 256);
    for (int k = 0; k < rows; ++k)
        for (int c = 0; c < 256; ++c) {
            const RgbColour& colour = palette[c];
            int r, g, b;
            if (target) {
                auto mix = [&](int from, int to) { return from + (to - from) * k / (rows - 1); };
                r = mix(colour.r, target->r);
                g = mix(colour.g, target->g);
                b = mix(colour.b, target->b);
            } else {
                r = colour.r * (k + 1) / rows;
                g = colour.g * (k + 1) / rows;
                b = colour.b * (k + 1) / rows;
            }
            int best = 1 << 30, bestIndex = 0;
            for (int e = 0; e < kFirstFixedColour; ++e) {
                const RgbColour& p = palette[e];
                int d = (p.r - r) * (p.r - r) + (p.g - g) * (p.g - g) + (p.b - b) * (p.b - b);
                if (d < best) {
                    best = d;
                    bestIndex = e;
                }
            }
            table.push_back(uint8_t(bestIndex));
        }
    return table;
}

} // namespace

std::vector<uint8_t> BuildFogMixTable(const TrackPalette& palette) { return levelTable(palette, 31, &kFogColour); }
std::vector<uint8_t> BuildFogLevelTable(const TrackPalette& palette) { return levelTable(palette, 16, &kFogColour); }
std::vector<uint8_t> BuildFogLightTable(const TrackPalette& palette) { return levelTable(palette, 16, nullptr); }

} // namespace ravok
