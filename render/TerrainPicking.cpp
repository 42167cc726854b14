#include "render/TerrainPicking.h"

#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <cstdlib>
#include <limits>

namespace ravok {
namespace {

constexpr int kStored = 64;      // mesh coordinates are world units times 64
constexpr int kSamePlacePx = 3;  // vertices this close on the screen compete by depth

} // namespace

bool ProjectionUsable(int screenX, int screenY, int depth, int viewWidth, int viewHeight) {
    return depth >= 11 && screenX >= 0 && screenY >= 0 && screenX < viewWidth && screenY < viewHeight;
}

int PickWindowVertex(const CTrackPOD& track, const TerrainWindow& window, const CameraMatrix& camera,
                     const FrameBuffer& frame, int mouseX, int mouseY) {
    int best = -1, bestDistance = std::numeric_limits<int>::max(), bestDepth = 0;
    for (int row = 0; row < window.size; ++row)
        for (int column = 0; column < window.size; ++column) {
            const int gx = window.x0 + column, gy = window.y0 + row;
            const auto v = ProjectPoint(camera, frame, gx * kWorldUnitsPerSquare * kStored,
                                        gy * kWorldUnitsPerSquare * kStored,
                                        track.terrain.height(gx, gy) * kWorldUnitsPerHeight * kStored);
            if (v.behindEye) continue;
            const int distance = std::abs(v.screenX - mouseX) + std::abs(v.screenY - mouseY);
            const bool samePlace = std::abs(distance - bestDistance) <= kSamePlacePx;
            if (best < 0 || (samePlace ? v.depth < bestDepth : distance < bestDistance)) {
                best = row * window.size + column;
                bestDistance = distance;
                bestDepth = v.depth;
            }
        }
    return best;
}

std::optional<std::array<int, 2>> ProjectWorldPoint(const CameraMatrix& camera, const FrameBuffer& frame, int x,
                                                    int y, int z) {
    const auto v = ProjectPoint(camera, frame, x * kStored, y * kStored, z * kStored);
    if (v.behindEye || !ProjectionUsable(v.screenX, v.screenY, v.depth, frame.width, frame.height)) return std::nullopt;
    return std::array<int, 2>{v.screenX, v.screenY};
}

} // namespace ravok
