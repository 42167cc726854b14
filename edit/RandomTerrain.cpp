#include "edit/RandomTerrain.h"

#include "base/ProgramSettings.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ravok {

namespace {

constexpr int kSide = 256;
constexpr int kCells = kSide * kSide;

void classic(const RandomTerrainParams& p, std::span<uint8_t, 65536> h) {
    std::fill(h.begin(), h.end(), uint8_t(p.ground));
    const int count = ClassicRectangleCount(p.smoothness);
    const int maxSize = ClassicMaxSize(p.smoothness);
    for (int n = 0; n < count; ++n) {
        // The draws in this order, one statement each, so the sequence is fixed.
        const int x0 = std::rand() & 255;
        const int y0 = std::rand() & 255;
        const int w = ((std::rand() & 4095) * maxSize) / 4096;
        const int hh = ((std::rand() & 4095) * maxSize) / 4096;
        const int up = ((std::rand() & 4095) * p.second) / 4096;
        const int down = ((std::rand() & 4095) * p.third) / 4096;
        const int change = (std::rand() & 1) == 0 ? -down : up;
        for (int y = y0; y < y0 + hh; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                uint8_t& cell = h[size_t((y & 255) * kSide + (x & 255))];
                cell = uint8_t(std::clamp(int(cell) + change, 1, 255));
            }
    }
    for (int pass = ClassicSmoothingPasses(p.smoothness); pass > 0; --pass)
        SmoothRandomTerrain(h);
}

// Diamond-square midpoint displacement over a wrapping 256 x 256 float field.
class Fractal {
  public:
    explicit Fractal(std::vector<float>& field) : m_f(field) {}

    float& at(int x, int y) { return m_f[size_t((y & 255) * kSide + (x & 255))]; }

    static float jitter(float scale) { return float((std::rand() & 255) - 127) * scale; }

    // The mean of the four points at distance `half` from (x, y): left,
    // right, above, below.
    float around(int x, int y, int half) {
        return (at(x - half, y) + at(x + half, y) + at(x, y - half) + at(x, y + half)) * 0.25f;
    }

    void midpoint(int x, int y, int n, float scale) {
        const int half = n / 2;
        at(x + half, y + half) =
            jitter(scale) + (at(x + n, y) + at(x, y) + at(x + n, y + n) + at(x, y + n)) * 0.25f;
        const int edges[4][2] = {{x + half, y}, {x, y + half}, {x + n, y + half}, {x + half, y + n}};
        for (const auto& e : edges)
            at(e[0], e[1]) = jitter(scale) + around(e[0], e[1], half);
    }

  private:
    std::vector<float>& m_f;
};

void fractal(const RandomTerrainParams& p, std::span<uint8_t, 65536> h, std::vector<float>& field) {
    field.assign(size_t(kCells), 0.0f);
    Fractal f(field);
    const float r = std::pow(2.0f, -float(255 - p.second) / 255.0f);
    float scale = 1.0f;
    for (int size = kSide; size >= 2; size /= 2) {
        for (int y = 0; y < kSide; y += size)
            for (int x = 0; x < kSide; x += size)
                f.midpoint(x, y, size, scale);
        scale *= r;
    }
    for (int i = 0; i < kCells; ++i) {
        const int value = int(float(p.third) * field[size_t(i)] / 256.0f + 127.0f);
        h[size_t(i)] = uint8_t(value <= 0 ? 0 : value >= 255 ? 255 : value);
    }
    for (int pass = FractalSmoothingPasses(p.smoothness); pass > 0; --pass)
        SmoothRandomTerrain(h);
}

} // namespace

RandomTerrainParams RandomTerrainParams::fromSettings(const AutoTerrainSettings& sliders, uint32_t value) {
    RandomTerrainParams p;
    p.generator = TerrainGenerator(generatorOf(value));
    p.seed = seedOf(value);
    p.ground = sliders.sliders[0];
    p.second = sliders.sliders[1];
    p.third = sliders.sliders[2];
    p.smoothness = sliders.sliders[3];
    return p.corrected();
}

void RandomTerrainParams::toSettings(AutoTerrainSettings& sliders, uint32_t& value) const {
    const RandomTerrainParams p = corrected();
    sliders.sliders = {p.ground, p.second, p.third, p.smoothness};
    value = seedValue(p.seed, int(p.generator));
}

RandomTerrainParams RandomTerrainParams::corrected() const {
    RandomTerrainParams p = *this;
    p.generator =
        generator == TerrainGenerator::Fractal ? TerrainGenerator::Fractal : TerrainGenerator::Classic;
    p.seed = seed & 255;
    p.ground = std::clamp(ground, 0, 255);
    p.second = std::clamp(second, 0, 255);
    p.third = std::clamp(third, 0, 255);
    p.smoothness = std::clamp(smoothness, 0, 100);
    return p;
}

int ClassicRectangleCount(int s) {
    return (409600 - 4096 * s) / 100 + 40;
}
int ClassicMaxSize(int s) {
    return (32 * s) / 100 + 4;
}
int ClassicSmoothingPasses(int s) {
    return (30 * s) / 100 + 12;
}
int FractalSmoothingPasses(int s) {
    return s / 5;
}

void SmoothRandomTerrain(std::span<uint8_t, 65536> h) {
    for (int i = 0; i < kCells; ++i)
        h[size_t(i)] = uint8_t((h[size_t(i)] + h[size_t((i + 1) & 65535)] + h[size_t((i + 256) & 65535)] +
                                h[size_t((i + 257) & 65535)]) >>
                               2);
}

void GenerateRandomTerrain(const RandomTerrainParams& given, std::span<uint8_t, 65536> heights,
                           RandomTerrainWork* work) {
    const RandomTerrainParams p = given.corrected();
    std::srand(unsigned(p.seed));
    if (p.generator == TerrainGenerator::Classic) {
        classic(p, heights);
        return;
    }
    RandomTerrainWork local;
    fractal(p, heights, work ? work->field : local.field);
}

std::vector<uint8_t> GenerateRandomTerrain(const RandomTerrainParams& params) {
    std::vector<uint8_t> heights(static_cast<size_t>(kCells));
    GenerateRandomTerrain(params, std::span<uint8_t, 65536>(heights.data(), size_t(kCells)));
    return heights;
}

int RandomTerrainSeed() {
    return std::rand() & 255;
}

bool ApplyRandomTerrain(CTrackPOD& track, std::span<const uint8_t> heights, TerrainUndo& undo) {
    if (!CanEditTerrain(track) || heights.size() != size_t(kCells)) return false;
    TakeTerrainSnapshot(track, undo);
    std::copy(heights.begin(), heights.end(), track.terrain.heights.begin());
    return true;
}

} // namespace ravok
