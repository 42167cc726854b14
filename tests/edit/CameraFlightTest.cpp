#include "edit/CameraFlight.h"
#include "edit/ViewPicking.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {
const CameraFlight::Ground kFlat = [](int, int) { return 10; };
} // namespace

TEST(CameraFlight, SpeedsGrowToTheirLimitsAndStopOnRelease) {
    ViewCamera camera;
    CameraFlight flight;
    FlightKeys keys;
    keys.forward = keys.fast = true;
    float highest = 0;
    for (int i = 0; i < 200; ++i) {
        flight.tick(camera, keys, 55, kFlat);
        highest = std::max(highest, flight.forwardSpeed());
    }
    EXPECT_EQ(highest, 2000.0f);
    keys.fast = false; // without Shift the limit is 500 again
    flight.tick(camera, keys, 55, kFlat);
    EXPECT_EQ(flight.forwardSpeed(), 500.0f);
    keys.forward = false;
    const ViewCamera before = camera;
    EXPECT_FALSE(flight.tick(camera, keys, 55, kFlat).changed);
    EXPECT_EQ(flight.forwardSpeed(), 0.0f);
    EXPECT_EQ(camera.y, before.y);

    // A long pause counts as at most 200 ms; the first tick as one period.
    CameraFlight fresh;
    FlightKeys up;
    up.forward = true;
    fresh.tick(camera, up, 5000, kFlat);
    EXPECT_EQ(fresh.forwardSpeed(), 11.0f);
    fresh.tick(camera, up, 5000, kFlat);
    EXPECT_NEAR(fresh.forwardSpeed(), 11.0f + 11.0f * 200 / 55, 1e-3);
}

TEST(CameraFlight, MovesAlongTheHeadingWithCarriedFractionsAndClampsAtTheEdges) {
    ViewCamera camera;
    camera.yaw = 0; // north: +y
    CameraFlight flight;
    FlightKeys keys;
    keys.forward = true;
    int expectedSpeed = 0;
    float travelled = 0;
    for (int i = 1; i <= 10; ++i) {
        flight.tick(camera, keys, 55, kFlat);
        expectedSpeed = std::min(11 * i, 500);
        travelled += 256.0f * float(expectedSpeed) / 2048.0f;
    }
    EXPECT_EQ(camera.x, 8192);
    EXPECT_EQ(camera.y, 8192 + int(travelled)); // 1.375 a tick at first: only whole units move, the rest carries

    camera.y = 16380;
    for (int i = 0; i < 20; ++i) flight.tick(camera, keys, 55, kFlat);
    EXPECT_EQ(camera.y, kCameraMaxXY);
    camera.yaw = 1800; // south
    keys = {};
    keys.forward = keys.fast = true;
    camera.y = 100;
    for (int i = 0; i < 40; ++i) flight.tick(camera, keys, 55, kFlat);
    EXPECT_EQ(camera.y, 0);
}

TEST(CameraFlight, YawWrapsPitchAndHeightClamp) {
    ViewCamera camera;
    camera.yaw = 3590;
    CameraFlight flight;
    FlightKeys keys;
    keys.turnRight = true;
    for (int i = 0; i < 5; ++i) flight.tick(camera, keys, 55, kFlat);
    EXPECT_GE(camera.yaw, 0);
    EXPECT_LT(camera.yaw, 100); // 3590 + 3 + 6 + 9 + 12 + 15 wraps past 3599
    EXPECT_EQ(camera.yaw, (3590 + 45) % 3600);

    keys = {};
    keys.lookDown = keys.descend = true;
    for (int i = 0; i < 2000; ++i) flight.tick(camera, keys, 55, kFlat);
    EXPECT_EQ(camera.pitch, kCameraMaxPitch);
    EXPECT_EQ(camera.z, 0);
    keys = {};
    keys.lookUp = keys.climb = true;
    for (int i = 0; i < 2000; ++i) flight.tick(camera, keys, 55, kFlat);
    EXPECT_EQ(camera.pitch, 0);
    EXPECT_EQ(camera.z, kCameraMaxZ);
}

TEST(CameraFlight, AltitudeLockKeepsTheHeightAboveAHill) {
    // A hill rising towards the north.
    const CameraFlight::Ground hill = [](int, int y) { return std::clamp((y - 8192) / 64, 0, 200); };
    ViewCamera camera;
    camera.z = 300;
    CameraFlight flight;
    flight.altitudeLock = true;
    FlightKeys keys;
    keys.forward = keys.fast = true;
    for (int i = 0; i < 30; ++i) flight.tick(camera, keys, 55, hill);
    ASSERT_GT(hill(camera.x, camera.y), 50);
    EXPECT_EQ(camera.z - 3 * hill(camera.x, camera.y), 300);

    CameraFlight unlocked;
    ViewCamera other;
    other.z = 300;
    for (int i = 0; i < 30; ++i) unlocked.tick(other, keys, 55, hill);
    EXPECT_EQ(other.z, 300);
}

TEST(CameraFlight, WheelFliesAlongTheHeadingAndMiddleDragTurns) {
    ViewCamera camera; // at the centre, facing north
    EXPECT_TRUE(FlyByWheel(camera, 120, false, false, kFlat));
    EXPECT_EQ(camera.x, 8192);
    EXPECT_EQ(camera.y, 8192 + 128);
    EXPECT_TRUE(FlyByWheel(camera, -240, true, false, kFlat)); // two notches back, fast
    EXPECT_EQ(camera.y, 8192 + 128 - 1024);
    camera.y = 16383;
    EXPECT_FALSE(FlyByWheel(camera, 120, false, false, kFlat)) << "the map's edge stops it";
    const CameraFlight::Ground slope = [](int, int y) { return y / 128; };
    camera = ViewCamera{};
    const int above = camera.z - 3 * slope(camera.x, camera.y);
    FlyByWheel(camera, 1200, false, true, slope);
    EXPECT_EQ(camera.z - 3 * slope(camera.x, camera.y), above) << "the altitude lock holds";

    EXPECT_TRUE(TurnByDrag(camera, -10, 5));
    EXPECT_EQ(camera.yaw, 3600 - 40);
    EXPECT_EQ(camera.pitch, 900 + 20);
    TurnByDrag(camera, 0, 1000);
    EXPECT_EQ(camera.pitch, 1800);
    EXPECT_FALSE(TurnByDrag(camera, 0, 10));
}

TEST(CameraFlight, ReturnToLocationNeedsASave) {
    ViewCamera camera;
    camera.x = 100;
    SavedLocation location;
    EXPECT_FALSE(location.restore(camera));
    EXPECT_EQ(camera.x, 100);
    location.save(camera);
    camera.x = 5000;
    camera.yaw = 450;
    camera.gridSize = 128;
    EXPECT_TRUE(location.restore(camera));
    EXPECT_EQ(camera.x, 100);
    EXPECT_EQ(camera.yaw, 0);
    EXPECT_EQ(camera.gridSize, 128); // the grid size is the view's, not the location's
}

TEST(ViewPicking, HoveredSquareAndOverviewJump) {
    const TerrainWindow window{100, 40, 64};
    EXPECT_EQ(HoveredSquare(0, window), (GridSquare{100, 40}));
    EXPECT_EQ(HoveredSquare(2 * 64 + 5, window), (GridSquare{105, 42}));
    EXPECT_FALSE(HoveredSquare(63, window));           // last column
    EXPECT_FALSE(HoveredSquare(63 * 64 + 1, window));  // last row
    EXPECT_FALSE(HoveredSquare(-1, window));
    EXPECT_FALSE(HoveredSquare(64 * 64, window));

    // A 256 x 256 map: the top left is column 0, row 255 rounded down to 254.
    EXPECT_EQ(OverviewMapJump(0, 0, 256, 256), (WorldPoint{0, 254 * 64}));
    EXPECT_EQ(OverviewMapJump(255, 255, 256, 256), (WorldPoint{254 * 64, 0}));
    EXPECT_EQ(OverviewMapJump(101, 50, 128, 128), (WorldPoint{200 * 64, 156 * 64}));
}
