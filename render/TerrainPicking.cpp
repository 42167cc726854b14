#include "render/TerrainPicking.h"

#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace ravok {
namespace {

constexpr int kStored = 64;      // mesh coordinates are world units times 64
constexpr int kSamePlacePx = 3;  // vertices this close on the screen compete by depth

// The screen position and depth of a grid point.
SoftwareRenderer::ScreenVertex projectGridPoint(const CTrackPOD& track, const CameraMatrix& camera,
                                                const FrameBuffer& frame, int gx, int gy) {
    return ProjectPoint(camera, frame, gx * kWorldUnitsPerSquare * kStored, gy * kWorldUnitsPerSquare * kStored,
                        track.terrain.height(gx, gy) * kWorldUnitsPerHeight * kStored);
}

// The cell's triangles as the terrain mesh splits it: the diagonal alternates
// like a chequerboard. Corners: 0 (x, y), 1 (x + 1, y), 2 (x + 1, y + 1), 3 (x, y + 1).
constexpr std::array<std::array<int, 2>, 4> kCellCorners{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
constexpr std::array<std::array<int, 3>, 2> kEvenCell{{{0, 3, 2}, {2, 1, 0}}};
constexpr std::array<std::array<int, 3>, 2> kOddCell{{{3, 2, 1}, {1, 0, 3}}};

// The point under the mouse in one screen triangle, weighted by 1/depth so
// that it is the true point on the terrain, not its flat screen interpolation.
std::optional<TerrainPoint> pointInTriangle(const std::array<SoftwareRenderer::ScreenVertex, 3>& v,
                                            const std::array<std::array<int, 2>, 3>& grid, const CTrackPOD& track,
                                            int mouseX, int mouseY) {
    for (const auto& p : v)
        if (p.behindEye || p.depth <= 0) return std::nullopt;
    const double ax = v[0].screenX, ay = v[0].screenY;
    const double bx = v[1].screenX - ax, by = v[1].screenY - ay;
    const double cx = v[2].screenX - ax, cy = v[2].screenY - ay;
    const double area = bx * cy - by * cx;
    if (area == 0) return std::nullopt;
    const double px = mouseX - ax, py = mouseY - ay;
    const double l1 = (px * cy - py * cx) / area, l2 = (bx * py - by * px) / area, l0 = 1 - l1 - l2;
    if (l0 < 0 || l1 < 0 || l2 < 0) return std::nullopt;
    const double w0 = l0 / v[0].depth, w1 = l1 / v[1].depth, w2 = l2 / v[2].depth, sum = w0 + w1 + w2;
    auto mix = [&](int axis) { return (w0 * grid[0][axis] + w1 * grid[1][axis] + w2 * grid[2][axis]) / sum; };
    const int x = int(std::lround(mix(0) * kWorldUnitsPerSquare)), y = int(std::lround(mix(1) * kWorldUnitsPerSquare));
    return TerrainPoint{x, y, track.TerrainHeightAt(x, y) * kWorldUnitsPerHeight};
}

} // namespace

std::optional<TerrainPoint> PickTerrainPoint(const CTrackPOD& track, const TerrainWindow& window,
                                             const CameraMatrix& camera, const FrameBuffer& frame, int mouseX,
                                             int mouseY) {
    const int vertex = PickWindowVertex(track, window, camera, frame, mouseX, mouseY);
    return TerrainPointNearVertex(track, window, camera, frame, vertex, mouseX, mouseY);
}

std::optional<TerrainPoint> TerrainPointNearVertex(const CTrackPOD& track, const TerrainWindow& window,
                                                   const CameraMatrix& camera, const FrameBuffer& frame, int vertex,
                                                   int mouseX, int mouseY) {
    if (vertex < 0) return std::nullopt;
    const int vx = window.x0 + vertex % window.size, vy = window.y0 + vertex / window.size;
    // The four cells that share the vertex, those inside both the window and the grid.
    for (int cy = vy - 1; cy <= vy; ++cy)
        for (int cx = vx - 1; cx <= vx; ++cx) {
            if (cx < window.x0 || cy < window.y0 || cx + 1 >= window.x0 + window.size ||
                cy + 1 >= window.y0 + window.size || cx < 0 || cy < 0 || cx + 1 >= kGridSize || cy + 1 >= kGridSize)
                continue;
            const auto& split = (cx + cy) % 2 == 0 ? kEvenCell : kOddCell;
            for (const auto& triangle : split) {
                std::array<SoftwareRenderer::ScreenVertex, 3> screen;
                std::array<std::array<int, 2>, 3> grid;
                for (size_t k = 0; k < 3; ++k) {
                    const auto& corner = kCellCorners[size_t(triangle[k])];
                    grid[k] = {cx + corner[0], cy + corner[1]};
                    screen[k] = projectGridPoint(track, camera, frame, grid[k][0], grid[k][1]);
                }
                if (auto point = pointInTriangle(screen, grid, track, mouseX, mouseY)) return point;
            }
        }
    return std::nullopt;
}

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
