#include "edit/TerrainLighting.h"

#include "art/Model.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ravok {

namespace {

constexpr int kSide = 256;
constexpr int kSunSide = 46333; // horizontal and vertical parts of a sun from a side
constexpr int kSunOverhead = 64000;
constexpr int kNormalUp = 16384; // the up component of a grid point's unnormalised normal
constexpr int kRayRise = 12;     // height the shadow ray climbs per square
constexpr int kRaySteps = 16;

uint8_t clampLight(int64_t value) {
    return uint8_t(std::clamp<int64_t>(value, kLowestLight, 255));
}

// The light values, one per grid point, row-major (the shade bytes).
class LightMap {
  public:
    explicit LightMap(CTrackPOD& track) : m_cells(track.terrain.cells) {}
    uint8_t& operator()(int x, int y) { return m_cells[size_t((y & 255) * kSide + (x & 255))][0]; }
    uint8_t& operator[](size_t i) { return m_cells[i][0]; }

  private:
    std::vector<ShadeCell>& m_cells;
};

void basePass(CTrackPOD& track, const LightingParams& p, LightMap& light) {
    for (auto& cell : track.terrain.cells)
        std::fill(cell.begin() + 1, cell.end(), 0);
    if (p.dark == p.bright) {
        // Stored as it is, even below 8.
        for (auto& cell : track.terrain.cells)
            cell[0] = uint8_t(p.dark);
        return;
    }
    const auto& t = track.terrain;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            // terrain.height() wraps at the edges: column -1 is column 255.
            const double gx = (int(t.height(x + 1, y)) - int(t.height(x - 1, y))) * 128.0;
            const double gy = (int(t.height(x, y - 1)) - int(t.height(x, y + 1))) * 128.0;
            const double len = std::sqrt(gx * gx + double(kNormalUp) * kNormalUp + gy * gy);
            double f = kNormalUp / len;
            switch (p.sun) {
            case 1:
                f += gy / len;
                break;
            case 2:
                f -= gx / len;
                break;
            case 3:
                f -= gy / len;
                break;
            case 4:
                f += gx / len;
                break;
            default:
                break;
            }
            light(x, y) = clampLight(p.dark + int64_t(std::trunc((p.bright - p.dark) * f)));
        }
}

void altitudeBias(const CTrackPOD& track, const LightingParams& p, LightMap& light) {
    const int highest = *std::max_element(track.terrain.heights.begin(), track.terrain.heights.end());
    int64_t factor[256];
    for (int h = 0; h < 256; ++h)
        factor[h] = 65536 - (int64_t(highest - h) * (highest - h) * p.bias) / 100;
    for (size_t i = 0; i < size_t(kGridCells); ++i)
        light[i] = clampLight((int64_t(light[i]) * factor[track.terrain.heights[i]]) >> 16);
}

// Is (x, y) under a ground box: the box bottoms of the four cells around the
// point (off-map cells have none) tested by `hit`.
template <typename Test> bool boxAround(const GroundBoxMaps& maps, int x, int y, Test hit) {
    for (int dy = -1; dy <= 0; ++dy)
        for (int dx = -1; dx <= 0; ++dx) {
            const int cx = x + dx, cy = y + dy;
            if (cx < 0 || cy < 0 || cx >= kSide || cy >= kSide) continue;
            if (hit(int(maps.bottom[size_t(cy * kSide + cx)]))) return true;
        }
    return false;
}

bool terrainShaded(const CTrackPOD& track, int sun, int x, int y) {
    const auto& maps = track.groundBoxMaps;
    const int h = track.terrain.height(x, y);
    if (sun == 0) return boxAround(maps, x, y, [h](int bottom) { return h < bottom; });
    static constexpr int kStep[5][2] = {{0, 0}, {0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    int px = x, py = y, r = h;
    for (int step = 0; step < kRaySteps; ++step) {
        const bool underBox =
            boxAround(maps, px, py, [r](int bottom) { return r < bottom && bottom <= r + kRayRise; });
        r += kRayRise;
        if (r > 254) return false;
        px += kStep[sun][0];
        py += kStep[sun][1];
        if (px < 0 || py < 0 || px >= kSide || py >= kSide) return false;
        if (track.terrain.height(px, py) > r || underBox) return true;
    }
    return false;
}

void terrainShadows(CTrackPOD& track, const LightingParams& p, LightMap& light) {
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (terrainShaded(track, p.sun, x, y))
                light(x, y) = clampLight(int64_t(light(x, y)) * (100 - p.shadow) / 100);
}

bool castsShadow(const TrackObject& object) {
    return object.model && object.mass < 1.0f && object.type != kObjectCheckpoint &&
           object.type != kObjectTrain && object.type != kObjectRamp;
}

void objectShadows(CTrackPOD& track, const LightingParams& p, LightMap& light) {
    const int keep = 100 - (2 * p.shadow) / 3;
    for (const auto& object : track.objects) {
        if (!object || !castsShadow(*object)) continue;
        // Model units, 64 to a world unit.
        int64_t lo[3] = {10000, 10000, 10000}, hi[3] = {-10000, -10000, -10000};
        for (const auto& v : object->model->vertices())
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min<int64_t>(lo[a], v[size_t(a)]);
                hi[a] = std::max<int64_t>(hi[a], v[size_t(a)]);
            }
        const int64_t ex = hi[0] - lo[0], ey = hi[1] - lo[1], ez = hi[2] - lo[2];
        int64_t length;
        if (object->type == kObjectNoCollideFacing || object->type == kObjectCollideFacing)
            length = std::max(ex, ey);
        else if (p.sun == 1 || p.sun == 3)
            length = ex;
        else if (p.sun == 2 || p.sun == 4)
            length = ey;
        else
            length = (ex + ey) / 2;
        if (length / 64 <= 31) continue;
        const int64_t n = (length / 64 + 15) / 64; // footprint in squares
        const int64_t k = (ez / 64) / 64;          // shadow length in squares
        const int64_t cx = ((int64_t(object->x) + 31) / 64) & 255,
                      cy = ((int64_t(object->y) + 31) / 64) & 255;
        int64_t x0 = cx - n / 2, x1 = cx + n / 2, y0 = cy - n / 2, y1 = cy + n / 2;
        switch (p.sun) {
        case 1:
            y0 = cy - k, y1 = cy;
            break;
        case 2:
            x0 = cx - k, x1 = cx;
            break;
        case 3:
            y0 = cy, y1 = cy + k;
            break;
        case 4:
            x0 = cx, x1 = cx + k;
            break;
        default:
            break;
        }
        // A rectangle wider than the map covers each square once.
        x1 = std::min(x1, x0 + kSide - 1);
        y1 = std::min(y1, y0 + kSide - 1);
        for (int64_t y = y0; y <= y1; ++y)
            for (int64_t x = x0; x <= x1; ++x) {
                uint8_t& value = light(int(x & 255), int(y & 255));
                value = clampLight(int64_t(value) * keep / 100);
            }
    }
}

} // namespace

LightingParams LightingParams::fromSettings(const LightingSettings& s) {
    return LightingParams{s.darkLevel, s.brightLevel, s.sunPosition, s.altitudeBias, s.shadow}.corrected();
}

void LightingParams::toSettings(LightingSettings& s) const {
    const LightingParams p = corrected();
    s.darkLevel = p.dark;
    s.brightLevel = p.bright;
    s.sunPosition = p.sun;
    s.altitudeBias = p.bias;
    s.shadow = p.shadow;
}

LightingParams LightingParams::corrected() const {
    return {std::clamp(dark, 0, 255), std::clamp(bright, 0, 255), std::clamp(sun, 0, 4),
            std::clamp(bias, 0, 100), std::clamp(shadow, 0, 100)};
}

int LightingPercentOfLevel(int level) {
    return (std::clamp(level, 0, 255) * 100 + 127) / 255;
}

int LightingLevelOfPercent(int percent) {
    return (std::clamp(percent, 0, 100) * 255 + 50) / 100;
}

int SunPositionOfTrack(const CTrackPOD& track) {
    const auto& v = track.levelVectors.first.v;
    const int x = v[0], z = v[2];
    if (std::abs(int64_t(x)) <= 999 && std::abs(int64_t(z)) <= 999) return 0;
    if (z < 0) return 1;
    if (x < 0) return 2;
    if (z > 0) return 3;
    return 4;
}

LevelVectors::Vector SunVectorOf(const LightingParams& given) {
    const LightingParams p = given.corrected();
    static constexpr std::array<int32_t, 3> kDirections[5] = {
        {0, -kSunOverhead, 0},    {0, -kSunSide, -kSunSide}, {-kSunSide, -kSunSide, 0},
        {0, -kSunSide, kSunSide}, {kSunSide, -kSunSide, 0},
    };
    return {kDirections[p.sun], p.bright * (100 - p.shadow) * 2};
}

bool ComputeTerrainLighting(CTrackPOD& track, const LightingParams& given) {
    if (track.podViewMode) return false;
    const LightingParams p = given.corrected();
    track.levelVectors.first = SunVectorOf(p);
    LightMap light(track);
    basePass(track, p, light);
    track.RebuildGroundBoxMaps();
    if (p.bias > 0) altitudeBias(track, p, light);
    if (p.shadow > 0) {
        terrainShadows(track, p, light);
        objectShadows(track, p, light);
    }
    return true;
}

} // namespace ravok
