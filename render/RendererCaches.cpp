#include "render/RendererCaches.h"

#include "model/TrackPod.h"
#include "render/Mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ravok {
namespace {

constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

} // namespace

uint32_t TerrainPageKey(const CTrackPOD& track, int pageX, int pageY, std::span<const uint8_t> pointShades,
                        std::span<const uint8_t> maskLevels) {
    uint32_t key = kFnvOffset;
    for (int row = 0; row <= kTerrainPageCells; ++row)
        for (int column = 0; column <= kTerrainPageCells; ++column) {
            const int x = pageX * kTerrainPageCells + column, y = pageY * kTerrainPageCells + row;
            if (x < 0 || y < 0 || x >= kGridSize || y >= kGridSize) continue;
            const size_t at = size_t(y * kGridSize + x);
            key = (key * kFnvPrime) ^ track.terrain.height(x, y);
            key = (key * kFnvPrime) ^ track.terrain.textures[at];
            if (at < pointShades.size()) key = (key * kFnvPrime) ^ pointShades[at];
            if (at < maskLevels.size() && row < kTerrainPageCells && column < kTerrainPageCells)
                key = (key * kFnvPrime) ^ maskLevels[at];
        }
    return (key * kFnvPrime) ^ uint32_t(track.waterLevel * 4 + track.waterLevelQuarters);
}

std::vector<MipLevel> BuildMipLevels(std::vector<uint8_t> rgba, int width, int height) {
    std::vector<MipLevel> levels;
    levels.push_back({width, height, std::move(rgba)});
    while (levels.back().width > 1 || levels.back().height > 1) {
        const MipLevel& above = levels.back();
        MipLevel next{std::max(1, above.width / 2), std::max(1, above.height / 2), {}};
        next.rgba.resize(size_t(next.width) * size_t(next.height) * 4);
        auto texel = [&](int x, int y, int channel) {
            x = std::min(x, above.width - 1), y = std::min(y, above.height - 1);
            return int(above.rgba[(size_t(y) * size_t(above.width) + size_t(x)) * 4 + size_t(channel)]);
        };
        for (int y = 0; y < next.height; ++y)
            for (int x = 0; x < next.width; ++x)
                for (int c = 0; c < 4; ++c) {
                    const int sum = texel(2 * x, 2 * y, c) + texel(2 * x + 1, 2 * y, c) + texel(2 * x, 2 * y + 1, c) +
                                    texel(2 * x + 1, 2 * y + 1, c);
                    next.rgba[(size_t(y) * size_t(next.width) + size_t(x)) * 4 + size_t(c)] = uint8_t((sum + 2) / 4);
                }
        levels.push_back(std::move(next));
    }
    return levels;
}

void SetAlphaFromBlack(std::vector<uint8_t>& rgba) {
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        rgba[i + 3] = (rgba[i] | rgba[i + 1] | rgba[i + 2]) == 0 ? 0 : 255;
}

MeshCache::Lookup MeshCache::find(const void* mesh, uint64_t generation) {
    ++m_frameStamp;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        if (e.used && e.mesh == mesh && e.generation == generation) {
            e.stamp = m_frameStamp;
            return {int(i), true, 0};
        }
    }
    auto victim = std::find_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return !e.used; });
    if (victim == m_entries.end())
        victim = std::min_element(m_entries.begin(), m_entries.end(),
                                  [](const Entry& a, const Entry& b) { return a.stamp < b.stamp; });
    Lookup result{int(victim - m_entries.begin()), false, victim->used ? victim->list : 0};
    *victim = {mesh, generation, 0, true, m_frameStamp};
    return result;
}

std::vector<uint32_t> MeshCache::clear() {
    std::vector<uint32_t> lists;
    for (Entry& e : m_entries) {
        if (e.used && e.list) lists.push_back(e.list);
        e = {};
    }
    return lists;
}

std::optional<uint32_t> MeshCache::forget(const void* mesh) {
    for (Entry& e : m_entries)
        if (e.used && e.mesh == mesh) {
            const uint32_t list = e.list;
            e = {};
            return list;
        }
    return std::nullopt;
}

std::optional<int> SwapIntervalToSet(bool verticalSync, int lastSet) {
    const int wanted = verticalSync ? 1 : 0;
    if (wanted == lastSet) return std::nullopt;
    return wanted;
}

bool FrameRateCounter::frame(int64_t nowMs) {
    if (m_startMs < 0) m_startMs = nowMs;
    ++m_frames;
    const int64_t elapsed = nowMs - m_startMs;
    if (elapsed < 500) return false;
    m_rate = double(m_frames) * 1000.0 / double(elapsed);
    m_frames = 0;
    m_startMs = nowMs;
    return true;
}

std::string FrameRateCounter::text() const {
    const int tenths = int(std::floor(m_rate * 10 + 0.5));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "FPS %d.%d", tenths / 10, tenths % 10);
    return buffer;
}

PreviewProjection ModelPreviewProjection(const Mesh& mesh, double zoom) {
    double farthest = 0;
    for (const MeshVertex& v : mesh.vertices()) {
        const double x = v.x / 64.0, y = v.y / 64.0, z = v.z / 64.0;
        farthest = std::max(farthest, std::sqrt(x * x + y * y + z * z));
    }
    PreviewProjection p;
    p.radius = std::max(1.0, farthest);
    p.distance = p.radius / std::sin(20.0 * 3.14159265358979323846 / 180.0) * 1.15 * std::clamp(zoom, 0.05, 20.0);
    p.nearPlane = p.radius * 0.01 + 1;
    p.farPlane = p.radius * 4 + p.distance + 1000;
    return p;
}

} // namespace ravok
