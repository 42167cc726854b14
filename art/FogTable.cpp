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

} // namespace ravok
