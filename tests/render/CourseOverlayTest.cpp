#include "render/CourseOverlay.h"

#include "model/TrackPod.h"
#include "render/TerrainPicking.h"
#include "render/TrackScene.h"

#include <gtest/gtest.h>

#include "TestTracks.h"

#include <cmath>
#include <numbers>

using namespace ravok;

namespace {

CourseSegment segment(int x0, int y0, int x1, int y1, int z) {
    CourseSegment s;
    s.start = {x0, y0, z};
    s.end = {x1, y1, z};
    return s;
}

// Pixels of `index` within `radius` of the point.
int pixelsNear(const FrameBuffer& frame, std::array<int, 2> at, uint8_t index, int radius = 2) {
    int count = 0;
    for (int y = at[1] - radius; y <= at[1] + radius; ++y)
        for (int x = at[0] - radius; x <= at[0] + radius; ++x)
            if (x >= 0 && y >= 0 && x < frame.width && y < frame.height && frame.at(x, y) == index) ++count;
    return count;
}

int pixelsOf(const FrameBuffer& frame, uint8_t index) {
    return int(std::count(frame.pixels.begin(), frame.pixels.end(), index));
}

} // namespace

TEST(CourseOverlay, LinesOfTheShownCoursesWithinTheSquareAndTruckTriangles) {
    auto track = std::make_unique<CTrackPOD>();
    test::hillyTrack(*track);
    track->mainCourse.segments = {segment(100 * 64, 100 * 64, 110 * 64, 100 * 64, 80),
                                  segment(10 * 64, 10 * 64, 12 * 64, 10 * 64, 80),     // wholly outside
                                  segment(60 * 64, 120 * 64, 160 * 64, 120 * 64, 80)}; // crosses it
    track->extendedCourses[1] = std::make_unique<Course>();
    track->extendedCourses[1]->segments = {segment(100 * 64, 105 * 64, 110 * 64, 105 * 64, 80)};
    const TerrainWindow window{68, 68, 64};

    CourseOverlay main = CourseOverlayOf(*track, window, 0, 3);
    ASSERT_EQ(main.lines.size(), 2u);
    EXPECT_EQ(main.lines[0].from, (OverlayPoint{6400, 6400, 240})); // heights in world units
    EXPECT_EQ(main.lines[1].from[0], 60 * 64);
    EXPECT_FALSE(main.lines[1].extended);
    EXPECT_EQ(CourseOverlayOf(*track, window, 2, 3).lines.size(), 3u);
    EXPECT_TRUE(CourseOverlayOf(*track, window, 2, 3).lines.back().extended);
    EXPECT_EQ(CourseOverlayOf(*track, window, 1, 3).lines.size(), 2u); // course 1 is absent

    // Eight trucks (slot 0 is not drawn); a heading of a quarter turn points east.
    ASSERT_EQ(main.trucks.size(), 8u);
    EXPECT_TRUE(main.trucks[2].selected);
    EXPECT_EQ(std::count_if(main.trucks.begin(), main.trucks.end(), [](auto& t) { return t.selected; }), 1);
    track->vehicles[1].x = 1000, track->vehicles[1].y = 2000, track->vehicles[1].z = 50;
    track->vehicles[1].psi = float(std::numbers::pi / 2);
    const CourseOverlay turned = CourseOverlayOf(*track, window, 0, -1);
    const auto& east = turned.trucks[0].corners;
    EXPECT_EQ(east[0], (OverlayPoint{1000, 2000, 150}));
    EXPECT_NEAR(east[1][0], 960, 1e-3);
    EXPECT_NEAR(east[2][0], 960, 1e-3);
    EXPECT_NEAR(std::abs(east[1][1] - east[2][1]), 20, 1e-3);
}

TEST(CourseOverlay, TheSoftwareRendererDrawsLinesAndTrucksWhereTheyLie) {
    auto track = std::make_unique<CTrackPOD>();
    test::hillyTrack(*track);
    const int ground = track->terrain.height(100, 100);
    track->mainCourse.segments = {segment(96 * 64, 100 * 64, 104 * 64, 100 * 64, ground)};
    track->extendedCourses[0] = std::make_unique<Course>();
    track->extendedCourses[0]->segments = {segment(96 * 64, 103 * 64, 104 * 64, 103 * 64, ground)};
    for (size_t slot = 0; slot < track->vehicles.size(); ++slot)
        track->vehicles[slot].x = int32_t(94 * 64 + 40 * slot), track->vehicles[slot].y = 97 * 64,
        track->vehicles[slot].z = ground;

    ViewCamera camera;
    camera.x = 100 * 64, camera.y = 100 * 64, camera.z = (ground + 200) * 3;
    camera.pitch = 1800;
    TrackScene scene;
    scene.build(*track, TerrainWindowOf(camera));
    ShadeTables shades;
    BuildTrackShades(shades, *track);
    const SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(3);
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(640, 480);
    const CourseOverlayColours colours = CourseOverlayColoursOf(track->palette);
    ASSERT_NE(colours.mainCourse, colours.extendedCourse);
    ASSERT_NE(colours.truck, colours.selectedTruck);

    SceneOptions options;
    options.showObjects = options.showGroundBoxes = false;
    scene.draw(renderer, frame, *track, camera, options);
    EXPECT_EQ(pixelsOf(frame, colours.mainCourse), 0) << "no course outside course mode";

    options.showCourse = true;
    options.selectedCourse = 1;
    options.selectedTruck = 4;
    scene.draw(renderer, frame, *track, camera, options);
    const CameraMatrix world = CameraMatrixOf(camera);
    auto onScreen = [&](int x, int y) { return *ProjectWorldPoint(world, frame, x, y, ground * 3); };
    // Both courses along their whole length, two pixels wide.
    for (int x = 97; x <= 103; ++x) {
        EXPECT_GE(pixelsNear(frame, onScreen(x * 64, 100 * 64), colours.mainCourse, 1), 2) << x;
        EXPECT_GE(pixelsNear(frame, onScreen(x * 64, 103 * 64), colours.extendedCourse, 1), 2) << x;
    }
    // The truck starts: a filled triangle 40 units long behind each, the selected one marked.
    for (int slot = 1; slot <= 8; ++slot) {
        const auto inside = onScreen(94 * 64 + 40 * slot, 97 * 64 - 25);
        EXPECT_EQ(frame.at(inside[0], inside[1]), slot == 4 ? colours.selectedTruck : colours.truck) << slot;
        EXPECT_GT(pixelsNear(frame, onScreen(94 * 64 + 40 * slot, 97 * 64 - 40), colours.outline, 3), 0)
            << slot;
    }
    const int selected = pixelsOf(frame, colours.selectedTruck);
    EXPECT_NEAR(pixelsOf(frame, colours.truck), 7 * selected, 2 * selected) << "one of eight is marked";

    // A course line running from in front of the eye to behind it is cut at the
    // eye, not drawn to the far side of the picture.
    camera.pitch = 900;
    camera.z = (ground + 5) * 3;
    camera.yaw = 0; // looking north, along +y
    track->mainCourse.segments = {segment(100 * 64 + 8, 110 * 64, 100 * 64 + 8, 90 * 64, ground)};
    scene.build(*track, TerrainWindowOf(camera));
    options.selectedCourse = 0;
    scene.draw(renderer, frame, *track, camera, options);
    int left = 0, right = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            if (frame.at(x, y) == colours.mainCourse) ++(x < frame.width / 2 ? left : right);
    EXPECT_GT(right, 10);
    EXPECT_EQ(left, 0);
}
