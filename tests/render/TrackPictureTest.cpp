// Pictures of a track with hills, textures, water, ground boxes and objects,
// drawn as `ravok-cli render` draws them. With RAVOK_PICTURES_DIR set the
// pictures are also written there as PNG (that is how docs/ gets them).
#include "art/Model.h"
#include "art/Picture.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/TrackScene.h"

#include <gtest/gtest.h>

#include "TestModels.h"
#include "TestTracks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

using namespace ravok;
using ravok::test::hillyTrack;

namespace {

std::vector<uint8_t> draw(const CTrackPOD& track, const ViewCamera& camera, FrameBuffer& frame,
                          bool showBackdrop = true, bool showCourse = false) {
    TrackScene scene;
    scene.setReliefShading(track, true); // as the view does, for a track never lit
    scene.build(track, TerrainWindowOf(camera));
    ShadeTables shades;
    BuildTrackShades(shades, track);
    SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(3);
    settings.farLimit = 1 << 20;
    SoftwareRenderer renderer(settings, shades);
    SceneOptions options;
    options.background = uint8_t(track.palette.NearestPaletteIndex(110, 150, 200));
    options.showBackdrop = showBackdrop;
    options.showCourse = showCourse;
    scene.draw(renderer, frame, track, camera, options);
    return FrameToBgr(frame, track.palette);
}

void keep(const std::vector<uint8_t>& bgr, const FrameBuffer& frame, const char* name) {
    const char* dir = std::getenv("RAVOK_PICTURES_DIR");
    if (!dir) return;
    std::string message;
    EXPECT_TRUE(WritePng(std::filesystem::path(dir) / name, bgr.data(), frame.width, frame.height,
                         size_t(frame.width) * 3, message))
        << message;
}

} // namespace

TEST(TrackPicture, HillsWaterBoxesAndObjectsAllShow) {
    auto track = std::make_unique<CTrackPOD>();
    hillyTrack(*track);
    test::courseOverHillsUnlit(*track);
    const int orange = track->palette.NearestPaletteIndex(255, 150, 0);
    const int sky = track->palette.NearestPaletteIndex(110, 150, 200);

    ViewCamera close;
    close.x = 110 * 64;
    close.y = 95 * 64;
    close.z = 3 * 160;
    close.yaw = 60;
    close.pitch = 1020;
    close.gridSize = 128;
    FrameBuffer frame;
    frame.resize(800, 450);
    keep(draw(*track, close, frame, true, true), frame, "track-close.png");
    std::set<uint8_t> used(frame.pixels.begin(), frame.pixels.end());
    EXPECT_GT(used.size(), 60u);       // shaded, textured ground
    const CourseOverlayColours course = CourseOverlayColoursOf(track->palette);
    EXPECT_GT(std::count(frame.pixels.begin(), frame.pixels.end(), course.mainCourse), 200);
    EXPECT_GT(std::count(frame.pixels.begin(), frame.pixels.end(), course.truck), 50);
    EXPECT_TRUE(used.count(uint8_t(orange))); // the objects
    EXPECT_EQ(frame.at(400, 2), sky);  // sky above the horizon
    EXPECT_NE(frame.at(400, 440), sky); // ground below

    ViewCamera overview{-4096, -4096, 10000, 450, 1190, 256};
    frame.resize(800, 600);
    keep(draw(*track, overview, frame), frame, "track-overview.png");
    std::set<uint8_t> all(frame.pixels.begin(), frame.pixels.end());
    EXPECT_GT(all.size(), 60u);
    EXPECT_EQ(frame.at(5, 5), sky);
}

TEST(TrackPicture, TheBackdropSurroundsTheCameraAndTheStadiumStandsAtItsArena) {
    auto track = std::make_unique<CTrackPOD>();
    hillyTrack(*track);
    const int sky = track->palette.NearestPaletteIndex(110, 150, 200);
    auto model = std::make_unique<Model>();
    ASSERT_TRUE(model->read("SKYBOX", test::lightWaveCube(300, 200, 20, 10)));
    track->backdrop = std::move(model);

    ViewCamera camera;
    camera.x = 60 * 64;
    camera.y = 60 * 64;
    camera.z = 3 * 200;
    camera.pitch = 900;
    camera.gridSize = 64;
    FrameBuffer frame;
    frame.resize(320, 200);
    // Above the horizon the backdrop covers the sky, wherever the camera is.
    draw(*track, camera, frame);
    const uint8_t behind = frame.at(160, 5);
    EXPECT_NE(behind, sky);
    camera.x = 200 * 64;
    draw(*track, camera, frame);
    EXPECT_EQ(frame.at(160, 5), behind);
    draw(*track, camera, frame, false);
    EXPECT_EQ(frame.at(160, 5), sky);

    // A stadium stands at its arena: seen from afar it covers only part of the view.
    ASSERT_TRUE(track->backdrop->read("ARENA", test::lightWaveCube(60, 200, 20, 10)));
    track->stadiumFlag = true;
    track->arenaOriginX = track->arenaOriginY = 128;
    camera.x = camera.y = 128 * 64;
    camera.y -= 80 * 64;
    draw(*track, camera, frame);
    const auto covered = std::count(frame.pixels.begin(), frame.pixels.end(), behind);
    EXPECT_GT(covered, 100);
    EXPECT_LT(covered, long(frame.pixels.size()) / 4);
}
