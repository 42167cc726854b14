#include "edit/TerrainBrush.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace ravok;

namespace {

TerrainToolParams params(TerrainTool tool, int width, int height, int altitude, int orientation = 0,
                         int curvature = 3) {
    TerrainToolParams p;
    p.tool = tool;
    p.width = width;
    p.height = height;
    p.altitude = altitude;
    p.orientation = orientation;
    p.curvature = curvature;
    return p;
}

// Delta at offset (dx, dy) from the brush's centre square.
int at(const TerrainBrush& b, int dx, int dy) {
    return b.delta(dy + ((b.rh - 1) >> 1), dx + ((b.rw - 1) >> 1));
}

bool allZero(const TerrainBrush& b) {
    for (int16_t d : b.deltas)
        if (d != 0) return false;
    return true;
}

} // namespace

TEST(TerrainBrush, RotatedExtentFromSinglePrecisionAngles) {
    // 90 degrees: cos is not quite 0 in single precision, but the extent is a
    // clean 1 x 25.
    auto b = BuildTerrainBrush(params(TerrainTool::Raise, 25, 1, 32, 2));
    EXPECT_EQ(b.rw, 1);
    EXPECT_EQ(b.rh, 25);
    b = BuildTerrainBrush(params(TerrainTool::Raise, 25, 25, 32, 1));
    EXPECT_EQ(b.rw, 35);
    EXPECT_EQ(b.rh, 35);
    b = BuildTerrainBrush(params(TerrainTool::Raise, 7, 3, 32, 0));
    EXPECT_EQ(b.rw, 7);
    EXPECT_EQ(b.rh, 3);
    b = BuildTerrainBrush(params(TerrainTool::Raise, 7, 3, 32, 6)); // 270 degrees
    EXPECT_EQ(b.rw, 3);
    EXPECT_EQ(b.rh, 7);
    b = BuildTerrainBrush(params(TerrainTool::Raise, 1, 1, 32, 3)); // 1.41 squares across rounds down
    EXPECT_EQ(b.rw, 1);
    EXPECT_EQ(b.rh, 1);
}

TEST(TerrainBrush, RaiseCoversTheTurnedRectangleOnly) {
    auto b = BuildTerrainBrush(params(TerrainTool::Raise, 5, 5, -40));
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            EXPECT_EQ(at(b, dx, dy), -40);
    EXPECT_EQ(b.delta(5, 0), 0); // outside the extent the table is clear

    // At 45 degrees the 7 x 7 extent holds a diamond: its corners lie more
    // than a half-size and a square from the centre in the turned frame.
    b = BuildTerrainBrush(params(TerrainTool::Raise, 5, 5, 40, 1));
    ASSERT_EQ(b.rw, 7);
    EXPECT_EQ(at(b, 0, 0), 40);
    EXPECT_EQ(at(b, -3, -3), 0);
    EXPECT_EQ(at(b, 3, 3), 0);
    EXPECT_EQ(at(b, 3, -3), 0);
    EXPECT_EQ(at(b, 2, 0), 40);
}

TEST(TerrainBrush, ProfilesOfHillMoundAndSlope) {
    // Hill 5 x 5, A = 100: one square out, sqrt(exp(-0.09 * 100 / 4)) * 100 = 32.47.
    auto hill = BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, 100));
    EXPECT_EQ(at(hill, 0, 0), 100);
    EXPECT_EQ(at(hill, 1, 0), 32);
    EXPECT_EQ(at(hill, 0, -1), 32);
    EXPECT_EQ(at(hill, 1, 1), 11); // exp(-2.25) * 100 = 10.54, rounded with 0.499
    auto valley = BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, -100));
    EXPECT_EQ(at(valley, 1, 0), -32);
    EXPECT_EQ(at(valley, 0, 0), -100);
    // A half-size of 0 (width 1 or 2) leaves only the centre line.
    auto thin = BuildTerrainBrush(params(TerrainTool::Hill, 2, 5, 100));
    EXPECT_EQ(at(thin, 0, 0), 100);
    EXPECT_EQ(at(thin, 1, 0), 0);

    // Mound uses the width's table across the whole height.
    auto mound = BuildTerrainBrush(params(TerrainTool::Mound, 5, 5, 100));
    EXPECT_EQ(at(mound, 0, 2), 100);
    EXPECT_EQ(at(mound, 1, 0), 22); // exp(-1.5) * 100 = 22.3
    EXPECT_EQ(at(mound, -2, 1), 0); // exp(-6) * 100 = 0.25

    // Slope rises across the width: (u + 20) * 10 / 5.
    auto slope = BuildTerrainBrush(params(TerrainTool::Slope, 5, 5, 100));
    for (int dy = -2; dy <= 2; ++dy) {
        EXPECT_EQ(at(slope, -2, dy), 0);
        EXPECT_EQ(at(slope, -1, dy), 20);
        EXPECT_EQ(at(slope, 0, dy), 40);
        EXPECT_EQ(at(slope, 2, dy), 80);
    }
}

TEST(TerrainBrush, FallingSlopeHasNoDeltas) {
    EXPECT_TRUE(allZero(BuildTerrainBrush(params(TerrainTool::Slope, 5, 5, -100))));
    // Turned, the corners behind the slope's foot would otherwise rise.
    EXPECT_TRUE(allZero(BuildTerrainBrush(params(TerrainTool::Slope, 5, 5, -100, 1))));
    EXPECT_TRUE(allZero(BuildTerrainBrush(params(TerrainTool::Slope, 9, 9, -100, 3, 1))));
}

TEST(TerrainBrush, CurvatureBendsTheProfile) {
    // Hill one square out is 32.47% of the altitude.
    EXPECT_EQ(at(BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, 100, 0, 5)), 1, 0), 11);  // ^2: 10.54
    EXPECT_EQ(at(BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, 100, 0, 0)), 1, 0), 80);  // ^0.2: 79.85
    EXPECT_EQ(at(BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, -100, 0, 6)), 1, 0), -3); // ^3: -3.42
    // The centre keeps the altitude whatever the curvature.
    EXPECT_EQ(at(BuildTerrainBrush(params(TerrainTool::Hill, 5, 5, 100, 0, 6)), 0, 0), 100);
    // Raise has no profile to bend.
    EXPECT_EQ(at(BuildTerrainBrush(params(TerrainTool::Raise, 5, 5, 50, 0, 0)), 2, 2), 50);
    EXPECT_FLOAT_EQ(curvatureExponent(1), 0.5f);
    EXPECT_FLOAT_EQ(curvatureExponent(4), 1.4f);
}

TEST(TerrainBrush, AltitudeZeroWithCurvatureGivesZeroDeltas) {
    // The curvature divides by the altitude; at 0 the brush must stay all 0.
    for (TerrainTool tool : {TerrainTool::Hill, TerrainTool::Slope, TerrainTool::Mound, TerrainTool::Bumps})
        for (int curvature : {0, 2, 4, 6})
            for (int orientation : {0, 1}) {
                std::srand(3);
                EXPECT_TRUE(allZero(BuildTerrainBrush(params(tool, 9, 7, 0, orientation, curvature))))
                    << int(tool) << " " << curvature;
            }
}

TEST(TerrainBrush, BumpsDrawFromTheCLibraryGenerator) {
    std::srand(11);
    const int first = std::rand() & 255;
    std::srand(11);
    auto a = BuildTerrainBrush(params(TerrainTool::Bumps, 5, 5, 200));
    std::srand(11);
    auto b = BuildTerrainBrush(params(TerrainTool::Bumps, 5, 5, 200));
    EXPECT_EQ(a.deltas, b.deltas);
    // Entry 0 of the table is the first draw.
    EXPECT_EQ(at(a, -2, -2), brushRound(float(first) * 200.0f / 255.0f));
    // Cells ten table places apart (rw * r + k) share a value.
    EXPECT_EQ(a.delta(0, 0), a.delta(2, 0));
    EXPECT_EQ(a.delta(1, 3), a.delta(3, 3));
    for (int16_t d : a.deltas) {
        EXPECT_GE(d, 0);
        EXPECT_LE(d, 200);
    }
}

TEST(TerrainBrush, RoundingAndCorrections) {
    EXPECT_EQ(brushRound(2.5), 2);
    EXPECT_EQ(brushRound(2.502), 3);
    EXPECT_EQ(brushRound(-2.502), -3);
    EXPECT_EQ(brushRound(-0.4), 0);
    TerrainToolParams p = params(TerrainTool::Raise, 0, 30, 300, 9, -1).corrected();
    EXPECT_EQ(p.width, 1);
    EXPECT_EQ(p.height, 25);
    EXPECT_EQ(p.altitude, 255);
    EXPECT_EQ(p.orientation, 7);
    EXPECT_EQ(p.curvature, 0);
    EXPECT_EQ(altitudeGroupOf(TerrainTool::Smooth), 0);
    EXPECT_EQ(defaultAltitudeOfGroup(altitudeGroupOf(TerrainTool::Plane)), 100);
    EXPECT_EQ(defaultAltitudeOfGroup(altitudeGroupOf(TerrainTool::SinglePoint)), 1);
}
