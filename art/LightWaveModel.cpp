#include "art/Model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace ravok {
namespace {

constexpr int kMaxSurfaces = 255;
constexpr size_t kMaxSurfaceName = 99;
// LightWave units are metres; the model keeps 64 units to a foot, doubled
// like the BIN vertices before halving.
constexpr double kPointScale = 64.0 * 3.281 * 2.0;

uint32_t tagOf(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8 |
           uint32_t(uint8_t(t[3]));
}

// A point kept within the range of a halved BIN vertex, so that the base
// height and everything that offsets or scales vertices cannot overflow.
constexpr double kMaxPointValue = double(std::numeric_limits<int32_t>::max() >> 1);

int32_t scaledPoint(float f) {
    double v = double(f) * kPointScale;
    if (!(v == v)) return 0; // NaN
    v = std::clamp(v, -kMaxPointValue - 1, kMaxPointValue);
    return int32_t(v);
}

struct Surface {
    std::string name;
    std::array<uint8_t, 3> rgb{255, 255, 255};
};

} // namespace

// Reads a LightWave object (FORM/LWOB, big-endian) into a model's vertices
// and facets; surface colours go into each facet's texture name bytes.
class LwobReader {
public:
    explicit LwobReader(Model& m) : m_model(m), m_bytes(m.m_fileBytes) {}

    void read() {
        if (tag(8) != tagOf("LWOB")) return; // another FORM: a model without facets
        int64_t budget = int64_t(u32(4)) - 4;
        size_t pos = 12;
        while (budget >= 8 && pos + 8 <= m_bytes.size()) {
            const uint32_t chunk = tag(pos);
            if (chunk == 0) break;
            const size_t length = u32(pos + 4);
            const size_t start = pos + 8;
            const size_t available = std::min(length, m_bytes.size() - start);
            readChunk(chunk, start, start + available);
            const size_t step = 8 + length + (length & 1); // chunks are padded to even length
            budget -= int64_t(step);
            if (available < length) break;
            pos += step;
        }
        applySurfaceColours();
    }

private:
    uint32_t u32(size_t at) const {
        if (at + 4 > m_bytes.size()) return 0;
        return uint32_t(m_bytes[at]) << 24 | uint32_t(m_bytes[at + 1]) << 16 | uint32_t(m_bytes[at + 2]) << 8 |
               uint32_t(m_bytes[at + 3]);
    }
    uint32_t tag(size_t at) const { return u32(at); }
    uint16_t u16(size_t at) const { return uint16_t(m_bytes[at] << 8 | m_bytes[at + 1]); }
    float f32(size_t at) const {
        const uint32_t bits = u32(at);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    void readChunk(uint32_t chunk, size_t begin, size_t end) {
        if (chunk == tagOf("PNTS")) readPoints(begin, end);
        else if (chunk == tagOf("POLS")) readPolygons(begin, end);
        else if (chunk == tagOf("SRFS")) readSurfaceNames(begin, end);
        else if (chunk == tagOf("SURF")) readSurface(begin, end);
    }

    void readPoints(size_t begin, size_t end) {
        const size_t count = std::min<size_t>((end - begin) / 12, Model::kMaxVertices);
        m_model.m_vertices.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const size_t at = begin + i * 12;
            m_model.m_vertices[i] = {scaledPoint(f32(at)), scaledPoint(f32(at + 8)), scaledPoint(f32(at + 4))};
        }
    }

    void readPolygons(size_t pos, size_t end) {
        while (end - pos >= 10) {
            const size_t n = u16(pos);
            if (pos + 2 + n * 2 + 2 > end) break;
            ModelFacet f;
            f.opcode = 24;
            f.vertexCount = int16_t(std::min<size_t>(n, 4));
            for (int k = 0; k < f.vertexCount; ++k) {
                f.vertices[size_t(k)] = u16(pos + 2 + size_t(k) * 2);
                f.uv[size_t(k)] = {uint16_t(k & 1 ? 255 : 0), uint16_t(k == 2 || k == 3 ? 255 : 0)};
            }
            int surface = int16_t(u16(pos + 2 + n * 2));
            pos += 2 + n * 2 + 2;
            if (surface < 0) {
                surface = -surface;
                pos = skipDetailPolygons(pos, end);
            }
            f.textureName.setByte(4, uint8_t(surface));
            if (f.vertexCount >= 3) m_model.m_facets.push_back(f);
        }
    }

    size_t skipDetailPolygons(size_t pos, size_t end) {
        if (pos + 2 > end) return end;
        size_t count = u16(pos);
        pos += 2;
        while (count-- > 0) {
            if (pos + 2 > end) return end;
            pos += 2 + size_t(u16(pos)) * 2;
        }
        return std::min(pos, end);
    }

    // A NUL-terminated name padded to even length; returns the position after it.
    size_t readName(size_t pos, size_t end, std::string& name) const {
        name.clear();
        const size_t start = pos;
        while (pos < end && m_bytes[pos]) {
            if (name.size() < kMaxSurfaceName) name += char(m_bytes[pos]);
            ++pos;
        }
        size_t length = pos - start + 1; // with the terminator
        length += length & 1;
        return std::min(start + length, end);
    }

    void readSurfaceNames(size_t pos, size_t end) {
        while (pos < end && int(m_surfaces.size()) < kMaxSurfaces) {
            Surface s;
            pos = readName(pos, end, s.name);
            m_surfaces.push_back(std::move(s));
        }
    }

    void readSurface(size_t pos, size_t end) {
        std::string name;
        pos = readName(pos, end, name);
        auto it = std::find_if(m_surfaces.begin(), m_surfaces.end(), [&](const Surface& s) { return s.name == name; });
        if (it == m_surfaces.end()) return;
        while (pos + 6 <= end) {
            const uint32_t sub = tag(pos);
            const size_t length = u16(pos + 4);
            const size_t data = pos + 6;
            if (sub == tagOf("COLR") && length >= 3 && data + 3 <= end)
                it->rgb = {m_bytes[data], m_bytes[data + 1], m_bytes[data + 2]};
            pos = data + length + (length & 1);
        }
    }

    // Surface numbers count from 1; a facet naming no listed surface keeps no colour.
    void applySurfaceColours() {
        for (auto& f : m_model.m_facets) {
            const int surface = uint8_t(f.textureName.raw()[4]);
            if (surface < 1 || surface > int(m_surfaces.size())) continue;
            const auto& rgb = m_surfaces[size_t(surface - 1)].rgb;
            f.textureName.setByte(3, rgb[0]);
            f.textureName.setByte(2, rgb[1]);
            f.textureName.setByte(1, rgb[2]);
        }
    }

    Model& m_model;
    std::span<const uint8_t> m_bytes;
    std::vector<Surface> m_surfaces;
};

void readLightWaveObject(Model& m) { LwobReader(m).read(); }

} // namespace ravok
