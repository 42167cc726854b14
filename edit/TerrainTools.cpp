#include "edit/TerrainTools.h"

#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

constexpr int kLowestBrushHeight = 2; // the brush tools never leave a height below 2

// The rectangle of a w x h extent centred the brush's way on a square,
// cut to the map; empty when it lies wholly off the map.
TerrainChange extentAround(GridSquare square, int w, int h) {
    const int left = square.x - ((w - 1) >> 1), top = square.y - ((h - 1) >> 1);
    TerrainChange change{std::max(left, 0), std::max(top, 0), std::min(left + w - 1, 255),
                         std::min(top + h - 1, 255)};
    return change.empty() ? TerrainChange::none() : change;
}

bool onMap(int x, int y) {
    return x >= 0 && x < kGridSize && y >= 0 && y < kGridSize;
}

} // namespace

std::optional<GridSquare> GridSquare::fromPacked(int packed) {
    if (packed < 0 || packed > 0xffff) return std::nullopt;
    return GridSquare{packed & 255, (packed >> 8) & 255};
}

bool CanEditTerrain(const CTrackPOD& track) {
    return !track.podViewMode;
}

TerrainChange ApplySinglePoint(CTrackPOD& track, GridSquare square, int step, TerrainUndo& undo) {
    if (!CanEditTerrain(track) || !onMap(square.x, square.y)) return TerrainChange::none();
    TakeTerrainSnapshot(track, undo);
    uint8_t& h = track.terrain.heights[size_t(square.y * kGridSize + square.x)];
    h = uint8_t(std::clamp(int(h) + step, 0, 255));
    return {square.x, square.y, square.x, square.y};
}

TerrainChange ApplyTerrainTool(CTrackPOD& track, const TerrainToolParams& given, const TerrainBrush& brush,
                               GridSquare square, TerrainUndo& undo) {
    const TerrainToolParams params = given.corrected();
    if (params.tool == TerrainTool::SinglePoint)
        return ApplySinglePoint(track, square, params.altitude, undo);
    if (!CanEditTerrain(track) || !onMap(square.x, square.y)) return TerrainChange::none();
    TakeTerrainSnapshot(track, undo);

    auto& heights = track.terrain.heights;
    const int left = square.x - ((brush.rw - 1) >> 1), top = square.y - ((brush.rh - 1) >> 1);
    const TerrainChange extent = extentAround(square, brush.rw, brush.rh);

    switch (params.tool) {
    case TerrainTool::Smooth: {
        // Only the inner cells of the extent, and never the map's border;
        // read from the snapshot so one application smooths the unchanged heights.
        const TerrainChange inner{std::max(left + 1, 1), std::max(top + 1, 1),
                                  std::min(left + brush.rw - 2, 254), std::min(top + brush.rh - 2, 254)};
        if (inner.empty()) return TerrainChange::none();
        const auto& before = undo.snapshot;
        for (int y = inner.y0; y <= inner.y1; ++y)
            for (int x = inner.x0; x <= inner.x1; ++x) {
                const size_t at = size_t(y * kGridSize + x);
                heights[at] = uint8_t(
                    (before[at - kGridSize] + before[at + kGridSize] + before[at - 1] + before[at + 1]) >> 2);
            }
        return inner;
    }
    case TerrainTool::Plane: {
        const uint8_t level = uint8_t(params.altitude >= 1 ? params.altitude : 0);
        for (int y = extent.y0; y <= extent.y1; ++y)
            for (int x = extent.x0; x <= extent.x1; ++x)
                heights[size_t(y * kGridSize + x)] = level;
        return extent;
    }
    default:
        for (int y = extent.y0; y <= extent.y1; ++y)
            for (int x = extent.x0; x <= extent.x1; ++x) {
                uint8_t& h = heights[size_t(y * kGridSize + x)];
                h = uint8_t(std::clamp(int(h) + brush.delta(y - top, x - left), kLowestBrushHeight, 255));
            }
        return extent;
    }
}

bool CopyTerrainArea(const CTrackPOD& track, int rw, int rh, std::optional<GridSquare> square,
                     TerrainArea& area) {
    if (!square || !onMap(square->x, square->y)) return false;
    rw = std::clamp(rw, 1, TerrainArea::kSide);
    rh = std::clamp(rh, 1, TerrainArea::kSide);
    area = TerrainArea{};
    area.width = rw;
    area.height = rh;
    const int left = square->x - ((rw - 1) >> 1), top = square->y - ((rh - 1) >> 1);
    for (int i = 0; i < rh; ++i)
        for (int j = 0; j < rw; ++j) {
            const int x = left + j, y = top + i;
            if (!onMap(x, y)) continue;
            area.heights[size_t(i * TerrainArea::kSide + j)] =
                track.terrain.heights[size_t(y * kGridSize + x)];
            area.copied[size_t(i * TerrainArea::kSide + j)] = true;
        }
    return true;
}

TerrainChange PasteTerrainArea(CTrackPOD& track, const TerrainArea& area, std::optional<GridSquare> square,
                               TerrainUndo& undo) {
    if (!CanEditTerrain(track) || !square || !onMap(square->x, square->y) || area.empty())
        return TerrainChange::none();
    TakeTerrainSnapshot(track, undo);
    const int w = std::min(area.width, TerrainArea::kSide), h = std::min(area.height, TerrainArea::kSide);
    const int left = square->x - ((w - 1) >> 1), top = square->y - ((h - 1) >> 1);
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j) {
            const int x = left + j, y = top + i;
            if (!onMap(x, y) || !area.copied[size_t(i * TerrainArea::kSide + j)]) continue;
            track.terrain.heights[size_t(y * kGridSize + x)] =
                area.heights[size_t(i * TerrainArea::kSide + j)];
        }
    return extentAround(*square, w, h);
}

} // namespace ravok
