#include "edit/TerrainLighting.h"

#include "art/Model.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> trackOf(int (*height)(int x, int y)) {
    auto t = std::make_unique<CTrackPOD>();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            t->terrain.heights[size_t(y * 256 + x)] = uint8_t(height(x, y));
    return t;
}

int light(const CTrackPOD& t, int x, int y) {
    return t.terrain.cells[size_t(y * 256 + x)][0];
}

LightingParams params(int dark, int bright, int sun, int bias = 0, int shadow = 0) {
    return {dark, bright, sun, bias, shadow};
}

std::pair<int, int> lightRange(const CTrackPOD& t) {
    auto [lo, hi] = std::minmax_element(t.terrain.cells.begin(), t.terrain.cells.end(),
                                        [](const ShadeCell& a, const ShadeCell& b) { return a[0] < b[0]; });
    return {(*lo)[0], (*hi)[0]};
}

} // namespace

TEST(TerrainLighting, EqualDarkAndBrightGiveOneLevel) {
    auto t = trackOf([](int x, int y) { return (x * 13 + y * 7) % 200; });
    t->terrain.cells[77][3] = 9;
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(120, 120, 2)));
    EXPECT_EQ(lightRange(*t), (std::pair{120, 120}));
    EXPECT_EQ(t->terrain.cells[77][3], 0); // the other cell bytes are cleared
    // Below 8 the level is stored as it is.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(5, 5, 0)));
    EXPECT_EQ(lightRange(*t), (std::pair{5, 5}));
}

TEST(TerrainLighting, FlatMapIsBrightFromAnySun) {
    auto t = trackOf([](int, int) { return 90; });
    for (int sun = 0; sun <= 4; ++sun) {
        ASSERT_TRUE(ComputeTerrainLighting(*t, params(40, 200, sun)));
        EXPECT_EQ(lightRange(*t), (std::pair{200, 200})) << sun;
    }
}

TEST(TerrainLighting, SlopesAndTheClamps) {
    // Heights rising one step a column: gx = 2 * 128 everywhere inside.
    auto t = trackOf([](int x, int) { return x; });
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(0, 200, 0)));
    EXPECT_EQ(light(*t, 100, 50), 199); // 200 * 16384 / 16386.0, truncated
    // Column 0's left neighbour is column 255 (height 255): a steep drop.
    EXPECT_EQ(light(*t, 0, 50), 90); // 200 * 16384 / sqrt(32512^2 + 16384^2)
    // Sun from the left (4): the rising slope faces it, and bright 255 stays
    // 255; the wrapped drop at column 0 faces away, and dark 0 gives 8, not less.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(0, 255, 4)));
    EXPECT_EQ(light(*t, 100, 50), 255); // 255 * (16384 + 256) / 16386.0 = 259
    EXPECT_EQ(light(*t, 0, 50), 8);     // 255 * (16384 - 32512) / 36407 < 0
    EXPECT_EQ(lightRange(*t), (std::pair{8, 255}));
    // Sun from the right (2): the other way round.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(0, 255, 2)));
    EXPECT_EQ(light(*t, 100, 50), 250); // 255 * (16384 - 256) / 16386.0 = 250.98
    EXPECT_EQ(light(*t, 0, 50), 255);
}

TEST(TerrainLighting, AltitudeBiasDarkensLowGround) {
    // Rows 0..127 at 50, the rest at 100 (the highest).
    auto t = trackOf([](int, int y) { return y < 128 ? 50 : 100; });
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(60, 200, 0, 100)));
    EXPECT_EQ(light(*t, 64, 64), (200 * (65536 - 2500)) >> 16); // 192
    EXPECT_EQ(light(*t, 64, 200), 200);
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(60, 200, 0, 40)));
    EXPECT_EQ(light(*t, 64, 64), (200 * (65536 - 1000)) >> 16);
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(60, 200, 0, 0)));
    EXPECT_EQ(light(*t, 64, 64), 200);
}

TEST(TerrainLighting, TerrainShadowsMarchSixteenSquares) {
    // A wall of height 200 at column 100 on flat ground at 0; the sun on the right (2) marches +x.
    auto t = trackOf([](int x, int) { return x == 100 ? 200 : 0; });
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 2, 0, 50)));
    EXPECT_EQ(light(*t, 95, 40), 100);  // reached after 5 squares, the ray at 60
    EXPECT_EQ(light(*t, 84, 40), 100);  // reached after 16 squares, the ray at 192
    EXPECT_EQ(light(*t, 83, 40), 200);  // 17 squares: out of reach
    EXPECT_EQ(light(*t, 120, 40), 200); // behind the wall, away from the sun
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 2, 0, 100)));
    EXPECT_EQ(light(*t, 95, 40), 8);
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 2, 0, 0)));
    EXPECT_EQ(light(*t, 95, 40), 200);
    // A wall the ray climbs over: at 8 squares the ray is at 96.
    auto low = trackOf([](int x, int) { return x == 100 ? 90 : 0; });
    ASSERT_TRUE(ComputeTerrainLighting(*low, params(100, 200, 2, 0, 50)));
    EXPECT_EQ(light(*low, 93, 40), 100); // 7 squares: 84 < 90
    EXPECT_EQ(light(*low, 92, 40), 200);
    // Sun from the top (1) marches +y.
    auto row = trackOf([](int, int y) { return y == 60 ? 200 : 0; });
    ASSERT_TRUE(ComputeTerrainLighting(*row, params(100, 200, 1, 0, 50)));
    EXPECT_EQ(light(*row, 10, 55), 100);
    EXPECT_EQ(light(*row, 10, 65), 200);
}

TEST(TerrainLighting, GroundBoxesShade) {
    auto t = trackOf([](int, int) { return 100; });
    auto box = std::make_unique<GroundBox>();
    box->x = 10;
    box->y = 20;
    box->bottom = 150;
    box->top = 160;
    t->AddGroundBox(std::move(box));
    // Overhead: the four points around the cell lie under the box.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 0, 0, 50)));
    EXPECT_EQ(light(*t, 10, 20), 100);
    EXPECT_EQ(light(*t, 11, 21), 100);
    EXPECT_EQ(light(*t, 12, 20), 200);
    EXPECT_EQ(light(*t, 10, 19), 200);
    EXPECT_EQ(t->groundBoxMaps.bottom[20 * 256 + 10], 150); // the maps were rebuilt
    // From the right: the ray meets the box bottom (150) in its step from 144 to 156.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 2, 0, 50)));
    EXPECT_EQ(light(*t, 6, 20), 100); // at point (10, 20) after 4 squares, the ray at 148
    EXPECT_EQ(light(*t, 2, 20), 200); // at (10, 20) after 8 squares, the ray at 196: above it
}

TEST(TerrainLighting, ObjectsCastShadowsOfTheirModelsSize) {
    auto t = trackOf([](int, int) { return 100; });
    Model model;
    // 3 x 3 squares across (4096 model units a square), 2 squares high.
    model.setVertices({{-6144, -6144, 0}, {6144, 6144, 8192}});
    auto add = [&](int slot, int cellX, int cellY, int32_t type, float mass) {
        auto o = std::make_unique<TrackObject>();
        o->x = cellX * 64;
        o->y = cellY * 64;
        o->type = type;
        o->mass = mass;
        o->model = &model;
        t->objects[size_t(slot)] = std::move(o);
    };
    add(0, 50, 60, kObjectTree, 0.0f);
    add(1, 150, 60, kObjectCheckpoint, 0.0f);
    add(2, 50, 160, kObjectTree, 1.0f);
    add(3, 150, 160, kObjectTree, 0.0f);
    t->objects[3]->model = nullptr;
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 0, 0, 60)));
    const int shaded = 200 * (100 - 40) / 100;
    for (int y = 59; y <= 61; ++y)
        for (int x = 49; x <= 51; ++x)
            EXPECT_EQ(light(*t, x, y), shaded) << x << "," << y;
    EXPECT_EQ(light(*t, 52, 60), 200);
    EXPECT_EQ(light(*t, 150, 60), 200);  // checkpoints cast none
    EXPECT_EQ(light(*t, 50, 160), 200);  // nor objects of mass 1
    EXPECT_EQ(light(*t, 150, 160), 200); // nor objects without a model
    // Sun from the right: the shadow reaches two squares (the height) to the left.
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 2, 0, 60)));
    EXPECT_EQ(light(*t, 48, 60), shaded);
    EXPECT_EQ(light(*t, 50, 61), shaded);
    EXPECT_EQ(light(*t, 47, 60), 200);
    EXPECT_EQ(light(*t, 51, 60), 200);
    // A model half a square across casts none.
    model.setVertices({{0, 0, 0}, {1984, 1984, 8192}});
    ASSERT_TRUE(ComputeTerrainLighting(*t, params(100, 200, 0, 0, 60)));
    EXPECT_EQ(lightRange(*t), (std::pair{200, 200}));
}

TEST(TerrainLighting, SunVectorAndDialogValues) {
    auto t = std::make_unique<CTrackPOD>();
    EXPECT_EQ(SunPositionOfTrack(*t), 2); // the new track's (-46333, -46333, 0)
    auto flat = trackOf([](int, int) { return 100; });
    ASSERT_TRUE(ComputeTerrainLighting(*flat, params(153, 237, 3, 0, 25)));
    EXPECT_EQ(flat->levelVectors.first, (LevelVectors::Vector{{0, -46333, 46333}, 237 * 75 * 2}));
    EXPECT_EQ(SunPositionOfTrack(*flat), 3);
    EXPECT_EQ(flat->levelVectors.second, LevelVectors{}.second);
    EXPECT_EQ(SunVectorOf(params(0, 100, 0)), (LevelVectors::Vector{{0, -64000, 0}, 20000}));
    EXPECT_EQ(SunVectorOf(params(0, 100, 1)).v, (std::array<int32_t, 3>{0, -46333, -46333}));
    EXPECT_EQ(SunVectorOf(params(0, 100, 4)).v, (std::array<int32_t, 3>{46333, -46333, 0}));
    for (int sun = 0; sun <= 4; ++sun) {
        flat->levelVectors.first = SunVectorOf(params(0, 100, sun));
        EXPECT_EQ(SunPositionOfTrack(*flat), sun);
    }
    flat->levelVectors.first.v = {999, -5, -999};
    EXPECT_EQ(SunPositionOfTrack(*flat), 0);

    EXPECT_EQ(LightingPercentOfLevel(237), 93);
    EXPECT_EQ(LightingPercentOfLevel(153), 60);
    for (int percent = 0; percent <= 100; ++percent)
        EXPECT_EQ(LightingPercentOfLevel(LightingLevelOfPercent(percent)), percent) << percent;

    LightingSettings s; // the defaults: overhead, bright 237, dark 153
    const LightingParams p = LightingParams::fromSettings(s);
    EXPECT_EQ(p, (LightingParams{153, 237, 0, 0, 0}));
    flat->podViewMode = true;
    EXPECT_FALSE(ComputeTerrainLighting(*flat, p));
}
