#include "render/TerrainPicking.h"

#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <gtest/gtest.h>

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
