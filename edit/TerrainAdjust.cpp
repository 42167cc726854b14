#include "edit/TerrainAdjust.h"

#include "edit/TerrainPoints.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "model/TrackLimits.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>

namespace ravok {

namespace {

// Scaled values are rounded down, a hair above so that 200 x 1.275 is 255.
constexpr double kScaleEpsilon = 1e-9;

int64_t scaledDown(int64_t value, double factor) {
    return int64_t(std::floor(double(value) * factor + kScaleEpsilon));
}

// The parameters with the "Avoid clipping" rule applied for the map's range.
AdjustHeightsParams effective(const AdjustHeightsParams& params, HeightRange now) {
    AdjustHeightsParams p = params;
    if (p.avoidClipping) {
        if (p.scale)
            p.factor = AvoidClippingScale(p.factor, now);
        else
            p.offset = AvoidClippingOffset(p.offset, now);
    }
    return p;
}

} // namespace

HeightRange TerrainHeightRange(const CTrackPOD& track) {
    const auto [lo, hi] = std::minmax_element(track.terrain.heights.begin(), track.terrain.heights.end());
    return {int(*lo), int(*hi)};
}

bool AdjustHeightsParams::valid() const {
    if (scale) return std::isfinite(factor) && factor >= kMinAdjustScale && factor <= kMaxAdjustScale;
    return offset >= kMinAdjustOffset && offset <= kMaxAdjustOffset;
}

int AvoidClippingOffset(int offset, HeightRange now) {
    if (offset + now.lowest < 0) offset = -now.lowest;
    if (offset + now.highest > 255) offset = 255 - now.highest;
    return offset;
}

double AvoidClippingScale(double factor, HeightRange now) {
    if (now.highest > 0 && scaledDown(now.highest, factor) > 255) factor = 255.0 / now.highest;
    return factor;
}

int AdjustedHeight(int h, const AdjustHeightsParams& params) {
    const int64_t value = params.scale ? scaledDown(h, params.factor) : int64_t(h) + params.offset;
    return int(std::clamp<int64_t>(value, 0, 255));
}

std::optional<HeightRange> AdjustedHeightRange(HeightRange now, const AdjustHeightsParams& params) {
    if (!params.valid()) return std::nullopt;
    const AdjustHeightsParams p = effective(params, now);
    // Both changes keep the order of heights, so the ends stay the ends.
    return HeightRange{AdjustedHeight(now.lowest, p), AdjustedHeight(now.highest, p)};
}

Outcome AdjustTerrainHeights(CTrackPOD& track, const AdjustHeightsParams& params, TerrainUndo& undo) {
    if (!CanEditTerrain(track) || !params.valid()) return Outcome::refused();
    const AdjustHeightsParams p = effective(params, TerrainHeightRange(track));

    TerrainPointList points;
    if (p.moveObjects && !points.collect(track))
        return Outcome::refused(kAdjustNoMemoryMessage, kAdjustHeightsCaption);

    TakeTerrainSnapshot(track, undo);
    for (auto& h : track.terrain.heights)
        h = uint8_t(AdjustedHeight(h, p));

    if (p.moveObjects) {
        points.moveWithTerrain(track);
        undo.objectsMoved = true;
    }
    if (p.moveWaterLevel) {
        const int64_t quarters = int64_t(track.waterLevel) * 4 + track.waterLevelQuarters;
        undo.waterLevelQuarters = int32_t(quarters);
        undo.waterLevelChanged = true;
        const int64_t moved = p.scale ? scaledDown(quarters, p.factor) : quarters + 4 * int64_t(p.offset);
        track.SetWaterLevelQuarters(int32_t(std::clamp<int64_t>(moved, 0, kMaxWaterLevelQuarters)));
    }
    track.NormaliseObjectHeights();
    return Outcome::success();
}

} // namespace ravok
