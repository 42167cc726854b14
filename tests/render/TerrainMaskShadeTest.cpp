// The Detail Mask view option: the painted terrain mask darkening the ground.
#include "art/Picture.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/TerrainMaskShade.h"
#include "render/TrackScene.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

// A grey mask picture of w x h whose bottom half is white and top half black,
// except its left quarter, which is mid grey throughout.
Blob halfMask(int w, int h) {
    std::vector<uint8_t> bgr(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = x < w / 4 ? 128 : (y >= h / 2 ? 255 : 0);
            for (int c = 0; c < 3; ++c) bgr[(size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(c)] = v;
        }
    std::string message;
    auto png = EncodePng(bgr.data(), w, h, size_t(w) * 3, message);
    EXPECT_TRUE(png) << message;
    return png ? *png : Blob{};
}

uint8_t level(const std::vector<uint8_t>& levels, int x, int y) { return levels[size_t(y * kGridSize + x)]; }

} // namespace

TEST(TerrainMaskShade, TheMaskIsStretchedOverTheGridWithItsBottomRowAlongRowZero) {
    CTrackPOD track;
    NewMtm2Track(track);
    EXPECT_TRUE(TerrainMaskCellLevels(track).empty());
    EXPECT_EQ(TerrainMaskKey(track), 0u);

    for (const auto& [w, h] : {std::pair{512, 512}, std::pair{100, 60}}) {
        track.SetTerrainMask(halfMask(w, h), ".png");
        const std::vector<uint8_t> levels = TerrainMaskCellLevels(track);
        ASSERT_EQ(levels.size(), size_t(kGridCells)) << w;
        EXPECT_EQ(level(levels, 200, 0), 255) << w;   // south: the picture's bottom, white
        EXPECT_EQ(level(levels, 200, 127), 255) << w;
        EXPECT_EQ(level(levels, 200, 128), 0) << w;   // north half: black
        EXPECT_EQ(level(levels, 255, 255), 0) << w;
        EXPECT_EQ(level(levels, 0, 255), 128) << w;   // the grey west quarter
        EXPECT_EQ(level(levels, 63, 0), 128) << w;
        EXPECT_NE(TerrainMaskKey(track), 0u);
    }

    // Bytes that are no picture show nothing rather than garbage.
    track.SetTerrainMask(Blob{0x89, 'P', 'N', 'G', 1, 2, 3}, ".png");
    EXPECT_TRUE(TerrainMaskCellLevels(track).empty());
}

TEST(TerrainMaskShade, MaskedLightKeepsFullLightAndDarkensToHalf) {
    EXPECT_EQ(MaskedLightLevel(255, 255), 255); // white leaves unshaded texels unshaded
    EXPECT_EQ(MaskedLightLevel(kDefaultShade, 255), kDefaultShade);
    EXPECT_EQ(MaskedLightLevel(255, 0), 127); // black keeps half
    EXPECT_EQ(MaskedLightLevel(127, 0), 63);
    EXPECT_EQ(MaskedLightLevel(255, 128), 191);
    EXPECT_EQ(MaskedLightLevel(0, 255), 0);
    for (int light : {0, 100, 237, 255}) // never brighter, and darker with a darker mask
        for (int mask = 1; mask < 256; ++mask) {
            EXPECT_LE(MaskedLightLevel(uint8_t(light), uint8_t(mask)), light);
            EXPECT_LE(MaskedLightLevel(uint8_t(light), uint8_t(mask - 1)),
                      MaskedLightLevel(uint8_t(light), uint8_t(mask)));
        }
}

TEST(TerrainMaskShade, TheSceneDarkensMaskedCellsOnlyWhileTheMaskIsShown) {
    CTrackPOD track;
    NewMtm2Track(track);
    track.SetTerrainMask(halfMask(256, 256), ".png");
    const TerrainWindow window{100, 120, 16}; // rows 120..135 cross the mask's middle
    auto lightOfCell = [&](const Mesh& mesh, int x, int y) {
        for (const MeshTriangle& t : mesh.triangles())
            if (t.tag == y * kGridSize + x) return int(t.lightLevel);
        return -1;
    };

    TrackScene scene;
    scene.build(track, window);
    EXPECT_EQ(lightOfCell(scene.terrain(), 110, 130), kDefaultShade);

    EXPECT_TRUE(scene.showTerrainMask(track, true));
    EXPECT_FALSE(scene.showTerrainMask(track, true)); // unchanged mask: nothing to redo
    scene.moveWindow(track, window);
    const int underBlack = MaskedLightLevel(kDefaultShade, 0);
    EXPECT_LT(underBlack, kDefaultShade / 2 + 1);
    EXPECT_EQ(lightOfCell(scene.terrain(), 110, 130), underBlack);
    EXPECT_EQ(lightOfCell(scene.terrain(), 110, 125), kDefaultShade); // under white

    // A new picture is noticed; switching the option off restores the light.
    track.SetTerrainMask(halfMask(64, 64), ".png");
    EXPECT_TRUE(scene.showTerrainMask(track, true));
    EXPECT_TRUE(scene.showTerrainMask(track, false));
    EXPECT_TRUE(scene.terrainMaskLevels().empty());
    scene.moveWindow(track, window);
    EXPECT_EQ(lightOfCell(scene.terrain(), 110, 130), kDefaultShade);

    // The OpenGL renderer's pages take the same levels.
    EXPECT_TRUE(scene.showTerrainMask(track, true));
    Mesh page;
    MeshTextureList list;
    BuildTerrainPageMesh(page, track, 110 / 4, 130 / 4, list, scene.terrainMaskLevels());
    EXPECT_EQ(lightOfCell(page, 110, 130), underBlack);
}
