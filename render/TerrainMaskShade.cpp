#include "render/TerrainMaskShade.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

std::vector<uint8_t> TerrainMaskCellLevels(const CTrackPOD& track) {
    const Blob& bytes = track.pictures.terrainMask;
    if (bytes.empty()) return {};
    std::string message;
    const auto picture = DecodePicture(bytes, "terrain mask", false, message);
    if (!picture || picture->width <= 0 || picture->height <= 0) return {};
    std::vector<uint8_t> levels(size_t(kGridSize) * kGridSize);
    for (int y = 0; y < kGridSize; ++y) {
        const int fromBottom = int((int64_t(y) * 2 + 1) * picture->height / (2 * kGridSize));
        const size_t row = size_t(picture->height - 1 - fromBottom) * size_t(picture->width);
        for (int x = 0; x < kGridSize; ++x) {
            const size_t column = size_t((int64_t(x) * 2 + 1) * picture->width / (2 * kGridSize));
            const uint8_t* rgb = &picture->rgb[(row + column) * 3];
            levels[size_t(y * kGridSize + x)] = uint8_t((rgb[0] * 30 + rgb[1] * 59 + rgb[2] * 11 + 50) / 100);
        }
    }
    return levels;
}

uint8_t MaskedLightLevel(uint8_t light, uint8_t mask) {
    // Levels stand for (level + 1) / 256 of full light. Black keeps half of
    // it, so that the ground stays visible under the mask.
    const int scaled = 127 + (int(mask) * 128 + 127) / 255;
    const int product = (int(light) + 1) * (scaled + 1);
    return uint8_t(std::max(product / 256, 1) - 1);
}

uint32_t TerrainMaskKey(const CTrackPOD& track) {
    const Blob& bytes = track.pictures.terrainMask;
    if (bytes.empty()) return 0;
    uint32_t key = 2166136261u;
    for (uint8_t b : bytes) key = (key ^ b) * 16777619u;
    return key | 1; // never 0 with a mask
}

} // namespace ravok
