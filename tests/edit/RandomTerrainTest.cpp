#include "edit/RandomTerrain.h"

#include "base/ProgramSettings.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace ravok;

namespace {

RandomTerrainParams classic(int seed, int g, int v2, int v3, int s) {
    return {TerrainGenerator::Classic, seed, g, v2, v3, s};
}
RandomTerrainParams fractal(int seed, int v2, int v3, int s) {
    return {TerrainGenerator::Fractal, seed, 100, v2, v3, s};
}

// The value rand() gives after `draws` draws following srand(seed).
int drawAfter(int seed, long draws) {
    std::srand(unsigned(seed));
    for (long i = 0; i < draws; ++i)
        std::rand();
    return std::rand();
}

} // namespace

TEST(RandomTerrain, ClassicCountsBySmoothness) {
    EXPECT_EQ(ClassicRectangleCount(100), 40);
    EXPECT_EQ(ClassicMaxSize(100) - 1, 35); // sides are drawn below the maximum
    EXPECT_EQ(ClassicSmoothingPasses(100), 42);
    EXPECT_EQ(ClassicRectangleCount(0), 4136);
    EXPECT_EQ(ClassicMaxSize(0) - 1, 3);
    EXPECT_EQ(ClassicSmoothingPasses(0), 12);
    // Every rectangle draws seven numbers: the generator is left exactly
    // after the last of them.
    for (int s : {0, 100, 37}) {
        GenerateRandomTerrain(classic(9, 100, 50, 20, s));
        const int next = std::rand();
        EXPECT_EQ(next, drawAfter(9, 7L * ClassicRectangleCount(s))) << s;
    }
}

TEST(RandomTerrain, ClassicRectanglesAreAsLargeAsTheSmoothnessAllows) {
    // Without hills or valleys nothing but the ground level remains.
    auto flat = GenerateRandomTerrain(classic(1, 77, 0, 0, 50));
    EXPECT_TRUE(std::all_of(flat.begin(), flat.end(), [](uint8_t h) { return h == 77; }));
    // Deep valleys at ground 1 never take a height below 1, even smoothed.
    auto deep = GenerateRandomTerrain(classic(4, 1, 0, 255, 0));
    EXPECT_EQ(*std::min_element(deep.begin(), deep.end()), 1);
    // Hills only: the map rises above the ground level and never falls below it.
    auto hills = GenerateRandomTerrain(classic(4, 60, 255, 0, 100));
    EXPECT_EQ(*std::min_element(hills.begin(), hills.end()), 60);
    EXPECT_GT(*std::max_element(hills.begin(), hills.end()), 100);
}

TEST(RandomTerrain, FractalSmoothingAndRange) {
    EXPECT_EQ(FractalSmoothingPasses(4), 0);
    EXPECT_EQ(FractalSmoothingPasses(5), 1);
    EXPECT_EQ(FractalSmoothingPasses(100), 20);
    // Below 5 no smoothing pass runs: 0 and 4 give the same map, 5 another.
    EXPECT_EQ(GenerateRandomTerrain(fractal(3, 128, 200, 0)), GenerateRandomTerrain(fractal(3, 128, 200, 4)));
    EXPECT_NE(GenerateRandomTerrain(fractal(3, 128, 200, 0)), GenerateRandomTerrain(fractal(3, 128, 200, 5)));
    // Roughness 0 is flat at 127, whatever the rest.
    auto flat = GenerateRandomTerrain(fractal(8, 255, 0, 0));
    EXPECT_TRUE(std::all_of(flat.begin(), flat.end(), [](uint8_t h) { return h == 127; }));
    // A rough map spreads around 127 and reaches the clamps.
    auto rough = GenerateRandomTerrain(fractal(8, 255, 255, 0));
    EXPECT_EQ(*std::min_element(rough.begin(), rough.end()), 0);
    EXPECT_EQ(*std::max_element(rough.begin(), rough.end()), 255);
    // Every one of the 21,845 midpoint steps draws five numbers.
    GenerateRandomTerrain(fractal(5, 100, 100, 50));
    const int next = std::rand();
    EXPECT_EQ(next, drawAfter(5, 5L * 21845));
    // The first step's centre is the first draw around 127: V3 * F / 256 + 127.
    std::srand(12);
    const int first = (std::rand() & 255) - 127;
    auto unsmoothed = GenerateRandomTerrain(fractal(12, 255, 255, 0));
    EXPECT_EQ(int(unsmoothed[128 * 256 + 128]),
              std::clamp(int(255.0f * float(first) / 256.0f + 127.0f), 0, 255));
}

TEST(RandomTerrain, SameSeedSameMap) {
    for (auto p : {classic(17, 100, 50, 20, 40), fractal(17, 200, 90, 30)}) {
        EXPECT_EQ(GenerateRandomTerrain(p), GenerateRandomTerrain(p));
        auto other = p;
        other.seed = 18;
        EXPECT_NE(GenerateRandomTerrain(p), GenerateRandomTerrain(other));
    }
    // The preview's buffers give the same map.
    RandomTerrainWork work;
    std::vector<uint8_t> preview(65536);
    GenerateRandomTerrain(fractal(17, 200, 90, 30), std::span<uint8_t, 65536>(preview.data(), 65536), &work);
    EXPECT_EQ(preview, GenerateRandomTerrain(fractal(17, 200, 90, 30)));
}

TEST(RandomTerrain, SmoothingPassWrapsAndUsesUpdatedCells) {
    std::vector<uint8_t> h(65536, 0);
    h[257] = 200;
    SmoothRandomTerrain(std::span<uint8_t, 65536>(h.data(), 65536));
    EXPECT_EQ(h[0], 50); // (0 + 0 + 0 + 200) / 4
    EXPECT_EQ(h[1], 50);
    EXPECT_EQ(h[256], 50);
    EXPECT_EQ(h[257], 50);
    EXPECT_EQ(h[258], 0);
    // The last cell wraps to cells 0, 255 and 256, which this pass already set.
    EXPECT_EQ(h[65535], (0 + 50 + 0 + 50) >> 2);
}

TEST(RandomTerrain, SettingsAndApply) {
    AutoTerrainSettings sliders;
    sliders.sliders = {90, 80, 70, 60};
    auto p = RandomTerrainParams::fromSettings(sliders, seedValue(201, 1));
    EXPECT_EQ(p, (RandomTerrainParams{TerrainGenerator::Fractal, 201, 90, 80, 70, 60}));
    EXPECT_EQ(RandomTerrainParams::fromSettings(sliders, 0x0205).generator, TerrainGenerator::Classic);
    uint32_t value = 0;
    AutoTerrainSettings back;
    p.toSettings(back, value);
    EXPECT_EQ(back.sliders, sliders.sliders);
    EXPECT_EQ(value, seedValue(201, 1));

    auto track = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    const auto map = GenerateRandomTerrain(p);
    ASSERT_TRUE(ApplyRandomTerrain(*track, map, undo));
    EXPECT_EQ(track->terrain.heights, map);
    ASSERT_TRUE(UndoTerrainEdit(*track, undo));
    EXPECT_EQ(track->terrain.heights[0], kDefaultHeight);
    EXPECT_FALSE(ApplyRandomTerrain(*track, std::vector<uint8_t>(100), undo));
}
