#include "art/Model.h"
#include "base/ByteWriter.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/ShadeTables.h"
#include "render/SoftwareRenderer.h"
#include "render/TrackMeshes.h"
#include "render/TrackScene.h"
#include "render/ViewCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace ravok;

namespace {

// Looking straight down from `height` world units above the point (x, y).
ViewCamera lookingDown(int x, int y, int height) {
    ViewCamera c;
    c.x = x;
    c.y = y;
    c.z = height;
    c.yaw = 0;
    c.pitch = 1800;
    return c;
}

} // namespace

TEST(SoftwareRenderer, TransformProjectsAroundTheCentreWithDepthInWorldUnits) {
    FrameBuffer frame;
    frame.resize(200, 100);
    ViewCamera camera; // level, looking north from (8192, 8192, 1152)
    const CameraMatrix m = CameraMatrixOf(camera);
    // 512 units straight ahead: at the centre, depth 512.
    auto ahead = ProjectPoint(m, frame, 8192 * 64, (8192 + 512) * 64, 1152 * 64);
    EXPECT_FALSE(ahead.behindEye);
    EXPECT_EQ(ahead.screenX, 100);
    EXPECT_EQ(ahead.screenY, 50);
    EXPECT_NEAR(ahead.depth, 512, 1);
    // One unit to the east at distance 512 is one pixel right; one unit up is one pixel up.
    EXPECT_NEAR(ProjectPoint(m, frame, 8202 * 64, 8704 * 64, 1152 * 64).screenX, 110, 1);
    EXPECT_NEAR(ProjectPoint(m, frame, 8192 * 64, 8704 * 64, 1162 * 64).screenY, 40, 1);
    // Behind the eye: at the centre, flagged.
    auto behind = ProjectPoint(m, frame, 8192 * 64, (8192 - 100) * 64, 1152 * 64);
    EXPECT_TRUE(behind.behindEye);
    EXPECT_EQ(behind.screenX, 100);
    EXPECT_LT(behind.depth, 0);
}

TEST(SoftwareRenderer, QualitySettingsAndTerrainCornerCoordinates) {
    auto q1 = SoftwareRenderSettings::forQuality(1), q2 = SoftwareRenderSettings::forQuality(2),
         q3 = SoftwareRenderSettings::forQuality(3);
    EXPECT_EQ((std::array<int, 3>{q1.maxSplitDepth, q1.depthRatio, q1.depthLimit}), (std::array<int, 3>{2, 311, 384}));
    EXPECT_EQ((std::array<int, 3>{q2.maxSplitDepth, q2.depthRatio, q2.depthLimit}), (std::array<int, 3>{4, 295, 640}));
    EXPECT_EQ((std::array<int, 3>{q3.maxSplitDepth, q3.depthRatio, q3.depthLimit}), (std::array<int, 3>{6, 283, 896}));
    EXPECT_EQ(q2.quality(), 2);

    // Plain cell: corners in table order; 256-wide textures use the wide table.
    EXPECT_EQ(CellCornerCoordinate(0, 0, 64), (std::array<int32_t, 2>{2, 62}));
    EXPECT_EQ(CellCornerCoordinate(0, 2, 256), (std::array<int32_t, 2>{253, 2}));
    // One rotation moves every corner one entry on; mirror bit 12 reverses them.
    EXPECT_EQ(CellCornerCoordinate(1u << 14, 0, 64), (std::array<int32_t, 2>{62, 62}));
    EXPECT_EQ(CellCornerCoordinate(1u << 12, 0, 64), (std::array<int32_t, 2>{2, 2}));
    // Both mirror bits: k' = (1 - (3 - k)) & 3 = k + 2.
    EXPECT_EQ(CellCornerCoordinate(3u << 12, 1, 64), (std::array<int32_t, 2>{2, 2}));
    // All sixteen combinations keep the four corners distinct.
    for (uint16_t bits = 0; bits < 16; ++bits) {
        std::set<std::array<int32_t, 2>> seen;
        for (int k = 0; k < 4; ++k) seen.insert(CellCornerCoordinate(uint16_t(bits << 12), k, 64));
        EXPECT_EQ(seen.size(), 4u) << bits;
    }
}

TEST(SoftwareRenderer, TerrainMeshAlternatesDiagonalsByRunningCount) {
    CTrackPOD track;
    NewMtm2Track(track);
    MeshTextureList list;
    Mesh mesh;
    BuildTerrainMesh(mesh, track, {10, 20, 4}, list);
    ASSERT_EQ(mesh.vertexCount(), 16u);
    ASSERT_EQ(mesh.triangleCount(), 18u); // 3 x 3 cells
    // Cell 0 (even): (0, 3, 2) = vertices 0, 4, 5; cell 1 (odd): (3, 2, 1) = 5, 6, 2.
    EXPECT_EQ(mesh.triangles()[0].vertices, (std::array<int32_t, 3>{0, 4, 5}));
    EXPECT_EQ(mesh.triangles()[2].vertices, (std::array<int32_t, 3>{5, 6, 2}));
    // The count runs on into the next row: its first cell (count 3) is odd.
    EXPECT_EQ(mesh.triangles()[6].vertices, (std::array<int32_t, 3>{8, 9, 5}));
    EXPECT_EQ(mesh.triangles()[0].tag, 20 * 256 + 10);
    EXPECT_EQ(mesh.triangles()[0].lightLevel, kDefaultShade);
    EXPECT_EQ(mesh.vertex(5)->x, 11 * 64 * 64);
    EXPECT_EQ(mesh.vertex(5)->z, 100 * 3 * 64);
}

TEST(SoftwareRenderer, FlatTexturedTerrainFromAboveFillsTheFrameWithItsColours) {
    CTrackPOD track;
    NewMtm2Track(track);
    for (auto& slot : track.terrainTextures) slot.reset();
    auto texture = std::make_unique<Texture>();
    std::vector<uint8_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(10 + (i % 2));
    texture->setPicture("ART\\FLAT.RAW", 64, 64, pixels.data());
    track.terrainTextures[0] = std::move(texture);
    for (auto& cell : track.terrain.cells) cell[0] = 255; // unshaded

    TrackScene scene;
    ViewCamera camera = lookingDown(8192, 8192, 300 + 1024);
    camera.gridSize = 64;
    scene.build(track, TerrainWindowOf(camera));
    FrameBuffer frame;
    frame.resize(160, 120);
    ShadeTables shades;
    SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(2);
    SoftwareRenderer renderer(settings, shades);
    scene.draw(renderer, frame, track, camera, {});
    for (uint8_t p : frame.pixels) ASSERT_TRUE(p == 10 || p == 11) << int(p);

    // Seen from below, every terrain triangle is a back face: nothing is drawn.
    ViewCamera below = camera;
    below.z = 100;
    below.pitch = 0;
    scene.draw(renderer, frame, track, below, {});
    for (uint8_t p : frame.pixels) ASSERT_EQ(p, 0);
}

TEST(SoftwareRenderer, ColourKeyedTrianglesShowWhatIsBehindAndShadeRowsScale) {
    FrameBuffer frame;
    frame.resize(64, 64);
    MeshTextureList list;
    std::vector<uint8_t> keyed(32 * 32, 0);
    for (size_t i = 0; i < 16 * 32; ++i) keyed[i] = 7; // the first 16 rows solid, the rest index 0
    list.add("ART\\KEY.RAW", 32, 32, keyed);
    // A big square facing the camera, 512 units ahead.
    Mesh mesh;
    mesh.setTextureList(&list);
    const int a = mesh.addVertex(-400, 512, -400), b = mesh.addVertex(400, 512, -400), c = mesh.addVertex(400, 512, 400),
              d = mesh.addVertex(-400, 512, 400);
    for (auto [i, j, k] : {std::array<int, 3>{a, d, c}, std::array<int, 3>{c, b, a}}) {
        const int t = mesh.addTriangle(i, j, k);
        mesh.setTextureName(t, "ART\\KEY.RAW");
        mesh.setTextureCoordinates(t, 0, 0, 0, 0, 0, 0);
        mesh.triangle(t)->flags = kFacetColourKeyFlags;
    }
    mesh.resolveLinks();
    ViewCamera camera;
    camera.x = camera.y = camera.z = 0;
    SoftwareRenderSettings settings;
    settings.backFaceCulling = false;
    ShadeTables shades;
    SoftwareRenderer renderer(settings, shades);
    frame.clear(3);
    renderer.drawSolid(frame, mesh, CameraMatrixOf(camera));
    // Every corner samples texel (0, 0), which is 7.
    EXPECT_EQ(frame.at(32, 32), 7);
    // Sampling texel row 20 (index 0) leaves the background.
    for (int t = 0; t < 2; ++t) mesh.setTextureCoordinates(t, 0, 20, 0, 20, 0, 20);
    frame.clear(3);
    renderer.drawSolid(frame, mesh, CameraMatrixOf(camera));
    EXPECT_EQ(frame.at(32, 32), 3);

    // Without an inverse map every shade row is the identity; with one, row 127
    // maps white to a colour near half white.
    PaletteColours palette{};
    for (int i = 0; i < 256; ++i) palette[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    EXPECT_EQ(shades.row(10)[200], 200);
    shades.build(palette, BuildInverseColourMap(palette));
    EXPECT_NEAR(int(palette[shades.row(127)[245]].r), 245 / 2, 6);
    EXPECT_EQ(shades.row(255)[200], 200);
}

TEST(SoftwareRenderer, SplitsNearTrianglesWithinThePoolsAndSortsFarToNear) {
    MeshTextureList list;
    std::vector<uint8_t> pixels(64 * 64, 5);
    list.add("ART\\T.RAW", 64, 64, pixels);
    // A long strip of ground under a level camera: near cells are split, far ones not.
    Mesh mesh;
    mesh.setTextureList(&list);
    for (int row = 0; row < 40; ++row) {
        const int a = mesh.addVertex(-64, row * 64, 0), b = mesh.addVertex(64, row * 64, 0),
                  c = mesh.addVertex(64, row * 64 + 64, 0), d = mesh.addVertex(-64, row * 64 + 64, 0);
        for (auto [i, j, k] : {std::array<int, 3>{a, d, c}, std::array<int, 3>{c, b, a}}) {
            const int t = mesh.addTriangle(i, j, k);
            mesh.setTextureName(t, "ART\\T.RAW");
        }
    }
    mesh.resolveLinks();
    ViewCamera camera;
    camera.x = 0;
    camera.y = -32;
    camera.z = 40;
    camera.pitch = 1000;
    FrameBuffer frame;
    frame.resize(320, 240);
    ShadeTables shades;
    SoftwareRenderSettings coarse = SoftwareRenderSettings::forQuality(1), fine = SoftwareRenderSettings::forQuality(3);
    SoftwareRenderer a(coarse, shades), b(fine, shades);
    a.drawSolid(frame, mesh, CameraMatrixOf(camera));
    b.drawSolid(frame, mesh, CameraMatrixOf(camera));
    EXPECT_GT(a.statistics().split, 0);
    EXPECT_GT(b.statistics().split, a.statistics().split); // finer quality splits deeper
    EXPECT_LE(b.generatedTriangles(), kMaxGeneratedTriangles + 4);
    const auto keys = b.depthKeys();
    EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend())); // farthest first

    // Many near triangles: the pools stop the splitting, never overflow.
    Mesh many;
    many.setTextureList(&list);
    for (int i = 0; i < 4000; ++i) {
        const int p = many.addVertex(-64, 8, 0), q = many.addVertex(64, 8, 0), r = many.addVertex(0, 200, 0);
        many.setTextureName(many.addTriangle(p, r, q), "ART\\T.RAW");
    }
    many.resolveLinks();
    SoftwareRenderSettings deep = fine;
    deep.backFaceCulling = false;
    SoftwareRenderer c(deep, shades);
    c.drawSolid(frame, many, CameraMatrixOf(camera));
    EXPECT_LE(c.generatedVertices(), kMaxGeneratedVertices + 3);
    EXPECT_LE(c.generatedTriangles(), kMaxGeneratedTriangles + 4);
    EXPECT_GT(c.generatedTriangles(), kMaxGeneratedTriangles - 4);
}

TEST(SoftwareRenderer, WireFrameIsClippedToTheFrame) {
    // A triangle far larger than the frame: its edges are drawn where they
    // cross the frame and nothing is written outside it.
    Mesh mesh;
    const int a = mesh.addVertex(-5000, 512, -10), b = mesh.addVertex(5000, 512, -10), c = mesh.addVertex(0, 512, 5000);
    mesh.addTriangle(a, c, b);
    ViewCamera camera;
    camera.x = camera.y = camera.z = 0;
    FrameBuffer frame;
    frame.resize(100, 80);
    ShadeTables shades;
    SoftwareRenderSettings settings;
    SoftwareRenderer renderer(settings, shades);
    renderer.begin(frame);
    renderer.drawWire(mesh, CameraMatrixOf(camera), 9);
    // The bottom edge runs 10 units below the eye at distance 512: row 40 + 10.
    int onRow = 0;
    for (int x = 0; x < 100; ++x) onRow += frame.at(x, 50) == 9;
    EXPECT_EQ(onRow, 100);
    EXPECT_EQ(frame.pixels.size(), 100u * 80u);
}

TEST(SoftwareRenderer, GroundBoxSidesHiddenByCoveringNeighbours) {
    CTrackPOD track;
    NewMtm2Track(track);
    for (int x : {10, 11}) {
        auto box = std::make_unique<GroundBox>();
        box->x = x;
        box->y = 20;
        box->bottom = 100;
        box->top = x == 10 ? 120 : 130;
        track.AddGroundBox(std::move(box));
    }
    track.RebuildGroundBoxMaps();
    MeshTextureList list;
    Mesh left, right;
    BuildGroundBoxMesh(left, *track.groundBoxes[0], track, list);
    BuildGroundBoxMesh(right, *track.groundBoxes[1], track, list);
    auto faces = [](const Mesh& m) {
        std::set<int> f;
        for (const auto& t : m.triangles()) f.insert(t.tag / 2);
        return f;
    };
    // The lower box's east side lies inside its taller neighbour; the taller
    // one's west side stands above the lower box and stays.
    EXPECT_EQ(faces(left), (std::set<int>{0, 2, 3, 4, 5}));
    EXPECT_EQ(faces(right), (std::set<int>{0, 1, 2, 3, 4, 5}));

    // Every side faces outwards: seen level from outside, its two triangles are kept.
    ShadeTables shades;
    SoftwareRenderSettings settings;
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(200, 200);
    const GroundBox& box = *track.groundBoxes[1];
    const int cx = box.x * 64 + 32, cy = box.y * 64 + 32, cz = 125 * 3;
    for (int yaw : {0, 900, 1800, 2700}) {
        ViewCamera camera;
        camera.yaw = yaw;
        camera.pitch = 900;
        camera.z = cz;
        const double a = yaw * 3.14159265 / 1800;
        camera.x = int(cx - 400 * std::sin(a));
        camera.y = int(cy - 400 * std::cos(a));
        renderer.begin(frame);
        renderer.addSolid(right, CameraMatrixOf(camera));
        // Only the near side faces the camera; the rest are back faces or edge-on.
        EXPECT_EQ(renderer.statistics().entered, 2) << yaw;
        EXPECT_EQ(renderer.statistics().split, 0) << yaw;
    }
}

namespace {

// A BIN model of one upright square facet, 200 world units wide and high,
// facing south, with the given facet opcode and a 32 x 32 texture.
Blob squareModel(int32_t opcode) {
    ByteWriter w;
    w.i32LE(20);
    w.zeros(12);
    w.i32LE(4);
    // File vertices are (x, height, y), doubled, 64 to a world unit.
    for (auto [x, h] : {std::array<int, 2>{-100, 0}, {100, 0}, {100, 200}, {-100, 200}}) {
        w.i32LE(x * 128);
        w.i32LE(h * 128);
        w.i32LE(0);
    }
    w.i32LE(13);
    w.zeros(4);
    w.fixedText("KEY.RAW", 16);
    w.i32LE(opcode);
    w.i32LE(4);
    w.zeros(16);
    // Texel coordinates in 256-texel units: the texture's top rows at the top.
    const std::array<std::array<int32_t, 2>, 4> uv{{{0, 255}, {255, 255}, {255, 0}, {0, 0}}};
    for (int k = 0; k < 4; ++k) {
        w.i32LE(k);
        w.i32LE(uv[size_t(k)][0] << 16);
        w.i32LE(uv[size_t(k)][1] << 16);
    }
    w.i32LE(0);
    return w.bytes();
}

// Draws a flat textured track with one object carrying the model, or none.
FrameBuffer sceneWithModel(const Blob* modelBytes) {
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    for (auto& slot : track->terrainTextures) slot.reset();
    std::vector<uint8_t> ground(64 * 64, 10);
    auto texture = std::make_unique<Texture>();
    texture->setPicture("ART\\GROUND.RAW", 64, 64, ground.data());
    track->terrainTextures[0] = std::move(texture);
    for (auto& cell : track->terrain.cells) cell[0] = 255;
    if (modelBytes) {
        auto model = std::make_unique<Model>();
        EXPECT_TRUE(model->read("MODELS\\SQUARE.BIN", *modelBytes));
        std::vector<uint8_t> keyed(32 * 32, 7);
        std::fill(keyed.begin() + 16 * 32, keyed.end(), 0); // the lower half keyed out
        auto skin = std::make_unique<Texture>();
        skin->setPicture("ART\\KEY.RAW", 32, 32, keyed.data());
        track->modelTextures[0] = std::move(skin);
        auto o = std::make_unique<TrackObject>();
        o->x = 8192;
        o->y = 8192 + 400;
        o->z = 100;
        o->model = model.get();
        track->models[0] = std::move(model);
        track->objects[0] = std::move(o);
    }
    TrackScene scene;
    ViewCamera camera; // level at (8192, 8192), looking north
    camera.z = 300 + 100;
    scene.build(*track, TerrainWindowOf(camera));
    ShadeTables shades;
    SoftwareRenderSettings settings;
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(160, 120);
    SceneOptions options;
    options.background = 3;
    scene.draw(renderer, frame, *track, camera, options);
    return frame;
}

} // namespace

TEST(SoftwareRenderer, AModelsColourKeyedFacetShowsWhatIsBehindIt) {
    const FrameBuffer empty = sceneWithModel(nullptr);
    const Blob keyed = squareModel(17), plain = squareModel(14);
    const FrameBuffer withKeyed = sceneWithModel(&keyed), withPlain = sceneWithModel(&plain);
    int solid = 0, through = 0, zeros = 0;
    for (size_t i = 0; i < empty.pixels.size(); ++i) {
        const uint8_t k = withKeyed.pixels[i];
        ASSERT_TRUE(k == 7 || k == empty.pixels[i]) << i; // the facet's texel or what lies behind it
        solid += k == 7;
        through += k == empty.pixels[i] && withPlain.pixels[i] == 0;
        zeros += withPlain.pixels[i] == 0;
    }
    EXPECT_GT(solid, 100);
    EXPECT_GT(zeros, 100);        // without keying, index 0 texels are drawn
    EXPECT_EQ(through, zeros);    // with keying, each of them shows the scene behind
}
