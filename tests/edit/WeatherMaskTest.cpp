#include "edit/WeatherMask.h"

#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

TEST(WeatherMask, AllowAllOnlyClearAndTheBoxes) {
    auto t = std::make_unique<CTrackPOD>();
    t->GameFlags = 1;
    ASSERT_TRUE(AllowOnlyClearWeather(*t));
    EXPECT_EQ(t->weatherMask, 1u);
    ASSERT_TRUE(AllowAllWeather(*t));
    EXPECT_EQ(t->weatherMask, 65535u);

    WeatherBoxes boxes = WeatherBoxesOfMask(65535);
    EXPECT_TRUE(std::all_of(boxes.begin(), boxes.end(), [](bool b) { return b; }));
    EXPECT_EQ(WeatherMaskOfBoxes(boxes), 511u); // bits above the nine boxes become 0
    boxes = WeatherBoxesOfMask(0);
    EXPECT_EQ(WeatherMaskOfBoxes(boxes), 1u); // none checked: Clear again
    EXPECT_TRUE(boxes[0]);
    boxes = {};
    boxes[8] = boxes[4] = true;
    EXPECT_EQ(WeatherMaskOfBoxes(boxes), (1u << 8) | (1u << 4));
    EXPECT_EQ(kWeatherNames[3], "Dense Fog");
    EXPECT_EQ(kWeatherNames[8], "Pitch Black");

    // MTM1 tracks have no weather mask to edit.
    t->GameFlags = 0;
    EXPECT_FALSE(CanEditWeatherMask(*t));
    EXPECT_FALSE(AllowOnlyClearWeather(*t));
    EXPECT_EQ(t->weatherMask, 65535u);
}
