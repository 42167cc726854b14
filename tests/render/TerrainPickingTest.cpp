#include "render/TerrainPicking.h"

#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace ravok;

TEST(TerrainPicking, TheVertexUnderTheMouseAndProjectedPoints) {
    auto track = std::make_unique<CTrackPOD>();
    ViewCamera camera;
    camera.x = 100 * 64;
    camera.y = 100 * 64;
    camera.z = 3 * 200;
    camera.pitch = 1800; // straight down
    camera.gridSize = 16;
    const TerrainWindow window = TerrainWindowOf(camera);
    FrameBuffer frame;
    frame.resize(640, 480);
    const CameraMatrix matrix = CameraMatrixOf(camera);

    // Straight down, the centre of the screen is the point under the camera.
    const int vertex = PickWindowVertex(*track, window, matrix, frame, frame.centreX, frame.centreY);
    ASSERT_GE(vertex, 0);
    EXPECT_EQ(window.x0 + vertex % window.size, 100);
    EXPECT_EQ(window.y0 + vertex / window.size, 100);

    const auto centre = ProjectWorldPoint(matrix, frame, 100 * 64, 100 * 64, 0);
    ASSERT_TRUE(centre);
    EXPECT_NEAR((*centre)[0], frame.centreX, 1);
    EXPECT_NEAR((*centre)[1], frame.centreY, 1);
    // A point above the camera is behind the eye; one far to the side is off the view.
    EXPECT_FALSE(ProjectWorldPoint(matrix, frame, 100 * 64, 100 * 64, 3 * 250));
    EXPECT_FALSE(ProjectWorldPoint(matrix, frame, 200 * 64, 100 * 64, 0));
    EXPECT_FALSE(ProjectionUsable(10, 10, 10, 640, 480));
    EXPECT_TRUE(ProjectionUsable(10, 10, 11, 640, 480));
    EXPECT_FALSE(ProjectionUsable(640, 10, 100, 640, 480));
}

TEST(TerrainPicking, TheTerrainPointFollowsTheMouseWithinASquare) {
    auto track = std::make_unique<CTrackPOD>();
    std::fill(track->terrain.heights.begin(), track->terrain.heights.end(), uint8_t(50));
    ViewCamera camera;
    camera.x = 100 * 64;
    camera.y = 90 * 64;
    camera.z = 3 * 120;
    camera.pitch = 1350; // looking down and ahead
    camera.gridSize = 32;
    const TerrainWindow window = TerrainWindowOf(camera);
    FrameBuffer frame;
    frame.resize(640, 480);
    const CameraMatrix matrix = CameraMatrixOf(camera);

    // Points inside squares, not on grid points, come back where they lie.
    for (auto [wx, wy] : {std::pair{100 * 64 + 20, 96 * 64 + 41}, {97 * 64 + 5, 94 * 64 + 60}, {103 * 64 + 33, 99 * 64 + 7}}) {
        const auto screen = ProjectWorldPoint(matrix, frame, wx, wy, 3 * 50);
        ASSERT_TRUE(screen) << wx << ", " << wy;
        const auto point = PickTerrainPoint(*track, window, matrix, frame, (*screen)[0], (*screen)[1]);
        ASSERT_TRUE(point) << wx << ", " << wy;
        EXPECT_NEAR(point->x, wx, 3);
        EXPECT_NEAR(point->y, wy, 3);
        EXPECT_EQ(point->z, 3 * 50);
    }
    // Looking level, above the horizon there is no terrain under the mouse.
    camera.pitch = 900;
    EXPECT_FALSE(PickTerrainPoint(*track, window, CameraMatrixOf(camera), frame, frame.centreX, 10));
}
