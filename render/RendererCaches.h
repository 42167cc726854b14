#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The bookkeeping of the OpenGL renderer that needs no OpenGL: terrain page
// keys, software mipmaps, the model mesh cache, the swap interval and the
// frame-rate counter.
namespace ravok {

class CTrackPOD;

constexpr int kTerrainPageCells = 4;
constexpr int kTerrainPages = 64; // a side

// A page's drawing is reused while this key is unchanged: an FNV-style hash of
// the heights and texture words of its 5 x 5 vertices and the water level,
// and of what else lights them when given: point shades (one per grid point,
// which follow the slopes, so change with heights outside the page too) and
// mask levels (one per cell).
uint32_t TerrainPageKey(const CTrackPOD& track, int pageX, int pageY, std::span<const uint8_t> pointShades = {},
                        std::span<const uint8_t> maskLevels = {});

// One mipmap level of a picture as red, green, blue, alpha bytes.
struct MipLevel {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};
// Level 0 is the picture; each next level halves both sides (not below 1)
// by averaging 2 x 2 blocks, an odd last row or column used twice, down to 1 x 1.
std::vector<MipLevel> BuildMipLevels(std::vector<uint8_t> rgba, int width, int height);

// Black texels transparent, every other opaque: the alpha version of a
// texture drawn colour-keyed.
void SetAlphaFromBlack(std::vector<uint8_t>& rgba);

// The 64 compiled model meshes: a hit needs the same mesh in the same
// generation (a mesh rebuilt in place is a new generation); a miss takes the first empty entry, else the least
// recently used one.
class MeshCache {
public:
    static constexpr int kEntries = 64;
    struct Entry {
        const void* mesh = nullptr;
        uint64_t generation = 0;
        uint32_t list = 0; // the compiled list of the entry, 0 for none
        bool used = false;
        uint64_t stamp = 0;
    };
    struct Lookup {
        int index = -1;
        bool hit = false;
        uint32_t replacedList = 0; // the list the caller must delete on a miss
    };
    Lookup find(const void* mesh, uint64_t generation);
    void setList(int index, uint32_t list) { m_entries[size_t(index)].list = list; }
    const Entry& entry(int index) const { return m_entries[size_t(index)]; }
    // Every list the cache holds (to delete them), then the cache is empty.
    std::vector<uint32_t> clear();
    // Forgets a mesh that is going away (its entry becomes empty).
    std::optional<uint32_t> forget(const void* mesh);

private:
    std::array<Entry, kEntries> m_entries{};
    uint64_t m_frameStamp = 0;
};

// The swap interval to set for the v-sync option, only when it differs from
// the one last set (-1 = never set).
std::optional<int> SwapIntervalToSet(bool verticalSync, int lastSet);

// Frames counted over at least 500 ms give the rate; "FPS %d.%d" to a tenth.
class FrameRateCounter {
public:
    // One frame drawn at `nowMs`; true when the rate was recomputed.
    bool frame(int64_t nowMs);
    double rate() const { return m_rate; }
    std::string text() const;

private:
    int m_frames = 0;
    int64_t m_startMs = -1;
    double m_rate = 0;
};

class Mesh;

// The camera of the model preview: the mesh's radius (its farthest vertex
// from the origin, at least 1), the distance that shows it whole in a 40
// degree field of view (radius / sin 20 degrees x 1.15 x zoom, the zoom kept
// in 0.05..20) and the near and far planes around it. World units.
struct PreviewProjection {
    double radius = 1, distance = 0, nearPlane = 1, farPlane = 1000;
};
PreviewProjection ModelPreviewProjection(const Mesh& mesh, double zoom);

} // namespace ravok
