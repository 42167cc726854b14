#include "edit/TerrainAdjust.h"

#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

namespace {

// Heights from `low` in the first rows up to `high` in the last.
std::unique_ptr<CTrackPOD> rampTrack(int low, int high) {
    auto t = std::make_unique<CTrackPOD>();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            t->terrain.heights[size_t(y * 256 + x)] = uint8_t(low + (high - low) * y / 255);
    return t;
}

AdjustHeightsParams offsetBy(int d, bool avoid) {
    AdjustHeightsParams p;
    p.offset = d;
    p.avoidClipping = avoid;
    return p;
}
AdjustHeightsParams scaleBy(double f, bool avoid) {
    AdjustHeightsParams p;
    p.scale = true;
    p.factor = f;
    p.avoidClipping = avoid;
    return p;
}

} // namespace

TEST(AdjustHeights, AvoidClippingShrinksTheOffset) {
    auto t = rampTrack(10, 230);
    EXPECT_EQ(TerrainHeightRange(*t), (HeightRange{10, 230}));
    EXPECT_EQ(AvoidClippingOffset(50, {10, 230}), 25);
    EXPECT_EQ(AvoidClippingOffset(-50, {10, 230}), -10);
    EXPECT_EQ(AdjustedHeightRange({10, 230}, offsetBy(50, true)), (HeightRange{35, 255}));
    EXPECT_EQ(AdjustedHeightRange({10, 230}, offsetBy(50, false)), (HeightRange{60, 255}));
    TerrainUndo undo;
    ASSERT_TRUE(AdjustTerrainHeights(*t, offsetBy(50, true), undo).ok);
    EXPECT_EQ(t->terrain.height(0, 0), 35);
    EXPECT_EQ(t->terrain.height(0, 255), 255);
    EXPECT_EQ(t->terrain.height(0, 128), 10 + 220 * 128 / 255 + 25);

    // Without the option heights are clipped at 255 and 0.
    auto clipped = rampTrack(10, 230);
    ASSERT_TRUE(AdjustTerrainHeights(*clipped, offsetBy(50, false), undo).ok);
    EXPECT_EQ(clipped->terrain.height(0, 0), 60);
    EXPECT_EQ(clipped->terrain.height(0, 255), 255);
    EXPECT_EQ(clipped->terrain.height(0, 250), 255);
    ASSERT_TRUE(AdjustTerrainHeights(*clipped, offsetBy(-100, false), undo).ok);
    EXPECT_EQ(clipped->terrain.height(0, 0), 0);
}

TEST(AdjustHeights, AvoidClippingShrinksTheScale) {
    EXPECT_DOUBLE_EQ(AvoidClippingScale(2.0, {0, 200}), 1.275);
    EXPECT_DOUBLE_EQ(AvoidClippingScale(1.275, {0, 200}), 1.275); // 255 exactly is no clipping
    EXPECT_DOUBLE_EQ(AvoidClippingScale(5.0, {0, 0}), 5.0);
    auto t = rampTrack(0, 200);
    const uint8_t mid = t->terrain.height(0, 128);
    TerrainUndo undo;
    EXPECT_EQ(AdjustedHeightRange({0, 200}, scaleBy(2.0, true)), (HeightRange{0, 255}));
    ASSERT_TRUE(AdjustTerrainHeights(*t, scaleBy(2.0, true), undo).ok);
    EXPECT_EQ(t->terrain.height(0, 255), 255); // 200 * (255 / 200) is 254.99999999999997 in doubles
    EXPECT_EQ(t->terrain.height(0, 128), int(mid * 1.275 + 1e-9));

    // Scaled values round down, a hair above: 100 x 1.15 is 115 although the
    // double product is 114.99999999999999.
    auto small = rampTrack(100, 100);
    ASSERT_TRUE(AdjustTerrainHeights(*small, scaleBy(1.15, false), undo).ok);
    EXPECT_EQ(small->terrain.height(4, 4), 115);
    ASSERT_TRUE(AdjustTerrainHeights(*small, scaleBy(0.5, false), undo).ok);
    EXPECT_EQ(small->terrain.height(4, 4), 57);
}

TEST(AdjustHeights, InvalidInputShowsNoAfterAndChangesNothing) {
    EXPECT_FALSE(AdjustedHeightRange({0, 100}, offsetBy(256, true)));
    EXPECT_FALSE(AdjustedHeightRange({0, 100}, scaleBy(100.5, true)));
    EXPECT_FALSE(AdjustedHeightRange({0, 100}, scaleBy(-0.1, true)));
    EXPECT_TRUE(AdjustedHeightRange({0, 100}, scaleBy(100.0, true)));
    auto t = rampTrack(0, 100);
    TerrainUndo undo;
    EXPECT_FALSE(AdjustTerrainHeights(*t, offsetBy(-300, false), undo).ok);
    EXPECT_FALSE(undo.available);
}

TEST(AdjustHeights, WaterLevelMovesInQuarterSteps) {
    auto t = rampTrack(10, 100);
    t->SetWaterLevelQuarters(41); // 10.25
    TerrainUndo undo;
    ASSERT_TRUE(AdjustTerrainHeights(*t, offsetBy(20, true), undo).ok);
    EXPECT_EQ(t->waterLevel * 4 + t->waterLevelQuarters, 41 + 80);
    EXPECT_TRUE(undo.waterLevelChanged);
    EXPECT_EQ(undo.waterLevelQuarters, 41);
    ASSERT_TRUE(AdjustTerrainHeights(*t, scaleBy(1.5, false), undo).ok);
    EXPECT_EQ(t->waterLevel * 4 + t->waterLevelQuarters, 181); // floor(121 * 1.5)
    ASSERT_TRUE(AdjustTerrainHeights(*t, scaleBy(100.0, false), undo).ok);
    EXPECT_EQ(t->waterLevel, 255); // kept within 1020 quarters
    EXPECT_EQ(t->waterLevelQuarters, 0);

    auto still = rampTrack(10, 100);
    still->SetWaterLevelQuarters(41);
    AdjustHeightsParams p = offsetBy(20, true);
    p.moveWaterLevel = false;
    ASSERT_TRUE(AdjustTerrainHeights(*still, p, undo).ok);
    EXPECT_EQ(still->waterLevel, 10);
    EXPECT_FALSE(undo.waterLevelChanged);
}

TEST(AdjustHeights, UndoPutsObjectsBackAboveTheirGround) {
    auto t = rampTrack(20, 120);
    auto object = std::make_unique<TrackObject>();
    object->x = 40 * 64 + 10;
    object->y = 100 * 64 + 20;
    const int ground = t->TerrainHeightAt(object->x, object->y);
    object->z = ground + 7;
    t->objects[3] = std::move(object);
    t->vehicles[2].x = 1000;
    t->vehicles[2].y = 9000;
    t->vehicles[2].z = t->TerrainHeightAt(1000, 9000) + 2;
    t->mainCourse.insertSegment(0);
    t->mainCourse.segments[0].end = {5000, 5000, t->TerrainHeightAt(5000, 5000)};
    t->extendedCourses[1] = std::make_unique<Course>();
    t->extendedCourses[1]->insertSegment(0);
    t->extendedCourses[1]->segments[0].start = {300, 16000, 40};
    t->SetWaterLevelQuarters(100);
    t->NormaliseObjectHeights();
    EXPECT_EQ(t->objects[3]->aboveGround, 7);
    const int vehicleZ = t->vehicles[2].z, endZ = t->mainCourse.segments[0].end[2];
    const int startZ = t->extendedCourses[1]->segments[0].start[2];

    TerrainUndo undo;
    ASSERT_TRUE(AdjustTerrainHeights(*t, scaleBy(2.0, false), undo).ok);
    EXPECT_TRUE(undo.objectsMoved);
    const int newGround = t->TerrainHeightAt(t->objects[3]->x, t->objects[3]->y);
    EXPECT_GT(newGround, ground);
    EXPECT_EQ(t->objects[3]->z, newGround + 7);
    EXPECT_EQ(t->objects[3]->aboveGround, 7);
    EXPECT_EQ(t->vehicles[2].z, t->TerrainHeightAt(1000, 9000) + 2);
    EXPECT_NE(t->mainCourse.segments[0].end[2], endZ);
    EXPECT_EQ(t->waterLevel, 50);

    ASSERT_TRUE(UndoTerrainEdit(*t, undo));
    EXPECT_EQ(t->objects[3]->z, ground + 7);
    EXPECT_EQ(t->objects[3]->aboveGround, 7);
    EXPECT_EQ(t->vehicles[2].z, vehicleZ);
    EXPECT_EQ(t->mainCourse.segments[0].end[2], endZ);
    EXPECT_EQ(t->extendedCourses[1]->segments[0].start[2], startZ);
    EXPECT_EQ(t->waterLevel * 4 + t->waterLevelQuarters, 100);
    EXPECT_FALSE(undo.objectsMoved);
    EXPECT_FALSE(undo.waterLevelChanged);

    // Without "Move objects" the objects keep their height, and only their
    // height above ground follows the new terrain.
    AdjustHeightsParams p = offsetBy(10, true);
    p.moveObjects = false;
    ASSERT_TRUE(AdjustTerrainHeights(*t, p, undo).ok);
    EXPECT_FALSE(undo.objectsMoved);
    EXPECT_EQ(t->objects[3]->z, ground + 7);
    EXPECT_EQ(t->objects[3]->aboveGround, -3);
}
