#include "render/ReliefShading.h"

#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <algorithm>
#include <cmath>

namespace ravok {

namespace {

// Slopes are drawn steeper than they are, so that gentle hills still read.
constexpr double kSlopeExaggeration = 6.0;
constexpr int kDarkest = 60;

} // namespace

bool LightMapUniform(const CTrackPOD& track) {
    const auto& cells = track.terrain.cells;
    return std::all_of(cells.begin(), cells.end(),
                       [&](const ShadeCell& c) { return c[0] == cells.front()[0]; });
}

std::vector<uint8_t> ReliefShades(const CTrackPOD& track) {
    const auto& grid = track.terrain;
    auto height = [&](int x, int y) {
        return double(grid.heights[size_t(std::clamp(y, 0, kGridSize - 1) * kGridSize +
                                          std::clamp(x, 0, kGridSize - 1))]);
    };
    // The light's direction, and how much of it level ground gets.
    const double lx = -1, ly = 1, lz = 2;
    const double lightLength = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double level = lz / lightLength;
    const double scale = kSlopeExaggeration * kWorldUnitsPerHeight / (2.0 * kWorldUnitsPerSquare);
    std::vector<uint8_t> shades(size_t(kGridSize) * kGridSize);
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            const double dx = (height(x + 1, y) - height(x - 1, y)) * scale;
            const double dy = (height(x, y + 1) - height(x, y - 1)) * scale;
            const double lit = (-dx * lx - dy * ly + lz) / (std::sqrt(dx * dx + dy * dy + 1) * lightLength);
            const double shade = kDefaultShade * lit / level;
            shades[size_t(y * kGridSize + x)] = uint8_t(std::clamp(int(std::lround(shade)), kDarkest, 254));
        }
    return shades;
}

} // namespace ravok
