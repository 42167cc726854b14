// What the software path draws of a scene: the display modes, water and the
// relief shading of a track never lit.
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/ReliefShading.h"
#include "render/RendererCaches.h"
#include "render/TrackScene.h"

#include <gtest/gtest.h>

#include "TestTracks.h"

#include <set>

using namespace ravok;

namespace {

struct SceneFixture : ::testing::Test {
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    TrackScene scene;
    ShadeTables shades;
    FrameBuffer frame;
    ViewCamera camera;

    void SetUp() override {
        test::hillyTrack(*track);
        frame.resize(480, 360);
    }
    void draw(const SceneOptions& options) {
        scene.build(*track, TerrainWindowOf(camera));
        BuildTrackShades(shades, *track);
        const SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(3);
        SoftwareRenderer renderer(settings, shades);
        scene.draw(renderer, frame, *track, camera, options);
    }
    std::set<uint8_t> used() const { return {frame.pixels.begin(), frame.pixels.end()}; }
};

} // namespace

TEST_F(SceneFixture, WireAloneDrawsNoGroundAndBothDrawsItUnderTheWire) {
    camera.x = camera.y = 60 * 64;
    camera.z = 3 * 250;
    camera.pitch = 1800;
    SceneOptions options;
    options.showObjects = options.showGroundBoxes = options.showWater = false;
    options.background = 0;
    options.wireColour = 250;
    options.solidTerrain = false;
    options.wireFrame = true;
    draw(options);
    EXPECT_EQ(used(), (std::set<uint8_t>{0, 250}));
    const auto wire = std::count(frame.pixels.begin(), frame.pixels.end(), 250);
    EXPECT_GT(wire, long(frame.pixels.size() / 40));

    options.solidTerrain = true; // "Both"
    draw(options);
    EXPECT_GT(used().size(), 1u);
    EXPECT_FALSE(used().count(0)) << "the ground covers the frame";
    EXPECT_NEAR(double(std::count(frame.pixels.begin(), frame.pixels.end(), 250)), double(wire), wire * 0.05);
}

TEST_F(SceneFixture, WaterTintsEveryPixelOnceWithoutALattice) {
    // Flat ground of one texel colour, unshaded, all under water.
    std::fill(track->terrain.heights.begin(), track->terrain.heights.end(), uint8_t(40));
    std::fill(track->terrain.textures.begin(), track->terrain.textures.end(), uint16_t(0));
    for (auto& cell : track->terrain.cells)
        cell[0] = 255;
    std::vector<uint8_t> plain(64 * 64, 30);
    track->terrainTextures[0]->setPicture("ART\\GROUND0.RAW", 64, 64, plain.data());
    track->SetWaterLevelQuarters(4 * 60);
    camera.x = camera.y = 128 * 64;
    camera.z = 3 * 70;
    camera.pitch = 1250; // looking down at a slant over many water cells
    SceneOptions options;
    options.showObjects = options.showGroundBoxes = false;
    options.showWater = false;
    draw(options);
    ASSERT_EQ(frame.at(240, 300), 30);
    options.showWater = true;
    draw(options);
    const uint8_t once = shades.waterTint()[30];
    ASSERT_NE(once, shades.waterTint()[once]) << "the palette must show a second tint";
    int ground = 0, tinted = 0;
    for (int y = 200; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            ++ground;
            tinted += frame.at(x, y) == once;
        }
    EXPECT_EQ(tinted, ground);
}

TEST_F(SceneFixture, ReliefShadesAnUnlitTrackByItsSlopeForThePictureOnly) {
    // A ridge running north-south on a track never lit.
    NewMtm2Track(*track);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            track->terrain.heights[size_t(y * 256 + x)] = uint8_t(std::max(10, 100 - 4 * std::abs(x - 128)));
    ASSERT_TRUE(LightMapUniform(*track));
    const auto lightMap = track->terrain.cells;
    const std::vector<uint8_t> relief = ReliefShades(*track);
    // Lit from the west: the western slope is bright, the eastern dark, flat ground in between.
    EXPECT_GT(relief[size_t(100 * 256 + 120)], relief[size_t(100 * 256 + 20)]);
    EXPECT_LT(relief[size_t(100 * 256 + 136)], relief[size_t(100 * 256 + 20)]);
    EXPECT_EQ(relief[size_t(100 * 256 + 20)], kDefaultShade);

    camera.x = camera.y = 128 * 64;
    auto lightAt = [&](int x) {
        for (const MeshTriangle& t : scene.terrain().triangles())
            if (t.tag == 100 * 256 + x) return int(t.lightLevel);
        return -1;
    };
    scene.setReliefShading(*track, false);
    scene.build(*track, TerrainWindowOf(camera));
    EXPECT_EQ(lightAt(120), lightAt(136)) << "the uniform light map alone";
    EXPECT_TRUE(scene.setReliefShading(*track, true));
    scene.moveWindow(*track, TerrainWindowOf(camera));
    EXPECT_GT(lightAt(120), lightAt(136) + 40);
    EXPECT_EQ(track->terrain.cells, lightMap) << "the track's light map is left alone";
    // Shaping the hill moves the shading with it: a wall raised east of a
    // dark slope turns the ground before it to the light.
    const size_t point = 100 * 256 + 135;
    const int before = scene.reliefShades()[point];
    for (int y = 0; y < 256; ++y)
        track->terrain.heights[size_t(y * 256 + 136)] = 100;
    scene.moveWindow(*track, TerrainWindowOf(camera));
    EXPECT_GT(scene.reliefShades()[point], before + 40);

    // Once the track is lit its own light map is shown.
    track->terrain.cells[5][0] = 100;
    EXPECT_TRUE(scene.setReliefShading(*track, true));
    EXPECT_TRUE(scene.reliefShades().empty());
    EXPECT_FALSE(scene.setReliefShading(*track, false));
}

TEST(MeshGeneration, ARebuiltMeshIsANewGenerationForTheRendererCache) {
    auto track = std::make_unique<CTrackPOD>();
    test::hillyTrack(*track);
    Mesh water;
    const TerrainWindow window{0, 0, 64};
    BuildWaterMesh(water, *track, window);
    const uint64_t first = water.generation();
    EXPECT_EQ(water.generation(), first) << "reading changes nothing";
    MeshCache cache;
    EXPECT_FALSE(cache.find(&water, water.generation()).hit);
    EXPECT_TRUE(cache.find(&water, water.generation()).hit);

    // The same window again: the same triangle count, but a new mesh.
    BuildWaterMesh(water, *track, window);
    EXPECT_NE(water.generation(), first);
    EXPECT_FALSE(cache.find(&water, water.generation()).hit);

    // Another mesh never shares a generation, whatever its address.
    Mesh other;
    other.addVertex(0, 0, 0);
    EXPECT_NE(other.generation(), water.generation());
}
