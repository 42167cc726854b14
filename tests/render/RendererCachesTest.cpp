#include "render/RendererCaches.h"

#include "model/TrackPod.h"
#include "render/Mesh.h"
#include "render/ReliefShading.h"

#include <cmath>

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

TEST(RendererCaches, PageKeysChangeOnlyWhereAnEditedVertexLies) {
    auto track = std::make_unique<CTrackPOD>();
    std::vector<uint32_t> before;
    for (int p = 0; p < kTerrainPages * kTerrainPages; ++p) before.push_back(TerrainPageKey(*track, p % 64, p / 64));
    // Vertex (8, 8) is the corner of pages (1, 1), (2, 1), (1, 2) and (2, 2); (9, 5) only of pages (2, 1).
    track->terrain.heights[8 * 256 + 8] = 40;
    track->terrain.textures[5 * 256 + 9] = 3;
    std::vector<int> changed;
    for (int p = 0; p < kTerrainPages * kTerrainPages; ++p)
        if (TerrainPageKey(*track, p % 64, p / 64) != before[size_t(p)]) changed.push_back(p);
    EXPECT_EQ(changed, (std::vector<int>{1 * 64 + 1, 1 * 64 + 2, 2 * 64 + 1, 2 * 64 + 2}));
    // The water level changes every page.
    const uint32_t corner = TerrainPageKey(*track, 63, 63);
    track->waterLevelQuarters = 1;
    EXPECT_NE(TerrainPageKey(*track, 63, 63), corner);
}

TEST(RendererCaches, PageKeysFollowTheReliefAtTheirBordersAndTheMaskLevels) {
    auto track = std::make_unique<CTrackPOD>();
    const std::vector<uint8_t> flat = ReliefShades(*track);
    const uint32_t page = TerrainPageKey(*track, 1, 1, flat), far = TerrainPageKey(*track, 5, 5, flat);
    const uint32_t unshaded = TerrainPageKey(*track, 1, 1);
    // Vertex (9, 6) lies outside page (1, 1), but the slope at its border vertex (8, 6) follows it.
    track->terrain.heights[6 * 256 + 9] = 60;
    const std::vector<uint8_t> sloped = ReliefShades(*track);
    ASSERT_NE(sloped[6 * 256 + 8], flat[6 * 256 + 8]);
    EXPECT_EQ(TerrainPageKey(*track, 1, 1), unshaded) << "its own heights did not change";
    EXPECT_NE(TerrainPageKey(*track, 1, 1, sloped), page) << "the border's shade changed";
    EXPECT_EQ(TerrainPageKey(*track, 5, 5, sloped), far);
    // A cell's mask level changes its page's key only.
    std::vector<uint8_t> mask(size_t(kGridCells), 0);
    const uint32_t masked = TerrainPageKey(*track, 1, 1, sloped, mask), other = TerrainPageKey(*track, 2, 1, sloped, mask);
    mask[5 * 256 + 7] = 2;
    EXPECT_NE(TerrainPageKey(*track, 1, 1, sloped, mask), masked);
    EXPECT_EQ(TerrainPageKey(*track, 2, 1, sloped, mask), other);
}

TEST(RendererCaches, MipLevelsHalveToOneByOneAveragingBlocks) {
    std::vector<uint8_t> rgba(64 * 32 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i] = (i / 4) % 2 ? 200 : 100; // columns alternate
    const auto levels = BuildMipLevels(rgba, 64, 32);
    std::vector<std::pair<int, int>> sizes;
    for (const auto& l : levels) sizes.push_back({l.width, l.height});
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{64, 32}, {32, 16}, {16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}}));
    EXPECT_EQ(levels[1].rgba[0], 150);
    EXPECT_EQ(levels.back().rgba[0], 150);

    // An odd side uses its last row twice: a 1 x 3 column averages 10, 20 | 30, 30.
    std::vector<uint8_t> column{10, 0, 0, 255, 20, 0, 0, 255, 30, 0, 0, 255};
    const auto odd = BuildMipLevels(column, 1, 3);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[1].width, 1);
    EXPECT_EQ(odd[1].height, 1);
    EXPECT_EQ(odd[1].rgba[0], 15);

    std::vector<uint8_t> keyed{0, 0, 0, 255, 0, 0, 1, 255};
    SetAlphaFromBlack(keyed);
    EXPECT_EQ(keyed[3], 0);
    EXPECT_EQ(keyed[7], 255);
}

TEST(RendererCaches, MeshCacheReplacesTheLeastRecentlyDrawn) {
    MeshCache cache;
    std::array<int, 65> meshes{};
    for (int i = 0; i < 64; ++i) {
        const auto found = cache.find(&meshes[size_t(i)], 10);
        EXPECT_FALSE(found.hit);
        EXPECT_EQ(found.index, i);
        cache.setList(found.index, uint32_t(100 + i));
    }
    // Draw all but mesh 5 again: mesh 5 is now the least recently drawn.
    for (int i = 0; i < 64; ++i) {
        if (i == 5) continue;
        EXPECT_TRUE(cache.find(&meshes[size_t(i)], 10).hit);
    }
    const auto sixtyFifth = cache.find(&meshes[64], 10);
    EXPECT_FALSE(sixtyFifth.hit);
    EXPECT_EQ(sixtyFifth.index, 5);
    EXPECT_EQ(sixtyFifth.replacedList, 105u);
    // A mesh of a new generation is compiled again.
    EXPECT_FALSE(cache.find(&meshes[0], 11).hit);
    EXPECT_EQ(cache.clear().size(), 62u); // the two new entries have no list yet
}

TEST(RendererCaches, SwapIntervalOnlyWhenTheOptionChangesAndFrameRateText) {
    EXPECT_EQ(SwapIntervalToSet(false, -1), 0);
    EXPECT_EQ(SwapIntervalToSet(true, -1), 1);
    EXPECT_FALSE(SwapIntervalToSet(true, 1));
    EXPECT_FALSE(SwapIntervalToSet(false, 0));
    EXPECT_EQ(SwapIntervalToSet(false, 1), 0);

    FrameRateCounter counter;
    for (int64_t t = 0; t < 499; t += 10) EXPECT_FALSE(counter.frame(t));
    EXPECT_TRUE(counter.frame(520)); // 51 frames in 520 ms
    EXPECT_EQ(counter.text(), "FPS 98.1");
}

TEST(RendererCaches, ModelPreviewFramesTheWholeModel) {
    Mesh mesh;
    mesh.addVertex(30, 40, 0); // 50 from the origin
    mesh.addVertex(-10, 0, 0);
    const PreviewProjection p = ModelPreviewProjection(mesh, 1.0);
    EXPECT_DOUBLE_EQ(p.radius, 50);
    EXPECT_NEAR(p.distance, 50 / std::sin(20 * 3.14159265358979 / 180) * 1.15, 1e-9);
    EXPECT_DOUBLE_EQ(p.nearPlane, 1.5);
    EXPECT_NEAR(p.farPlane, 200 + p.distance + 1000, 1e-9);
    // The zoom is kept in 0.05..20; an empty mesh has radius 1.
    EXPECT_DOUBLE_EQ(ModelPreviewProjection(mesh, 100).distance, ModelPreviewProjection(mesh, 20).distance);
    EXPECT_DOUBLE_EQ(ModelPreviewProjection(mesh, 0).distance, ModelPreviewProjection(mesh, 0.05).distance);
    EXPECT_DOUBLE_EQ(ModelPreviewProjection(Mesh{}, 1).radius, 1);
}
