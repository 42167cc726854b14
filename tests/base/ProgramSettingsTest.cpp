#include "base/ProgramSettings.h"

#include <gtest/gtest.h>

using namespace ravok;

TEST(ProgramSettings, DefaultRecordsMeanTheDefaultBytes) {
    const std::array<uint8_t, 12> editBytes = {2, 0, 0, 3, 32, 0, 5, 5, 1, 1, 1, 0};
    EXPECT_EQ(EditState{}.toBytes(), editBytes);
    const std::array<uint8_t, 16> lightingBytes = {0, 0, 0, 0, 237, 0, 0, 0, 0, 0, 0, 0, 153, 0, 0, 0};
    EXPECT_EQ(LightingSettings{}.toBytes(), lightingBytes);
    LightingSettings l = LightingSettings::fromBytes(lightingBytes);
    EXPECT_EQ(l.brightLevel, 237);
    EXPECT_EQ(l.darkLevel, 153);
    const std::array<uint8_t, 16> autosaveBytes = {0, 0, 0, 0, 1, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(AutosaveSettings{}.toBytes(), autosaveBytes);
    EXPECT_EQ(AutoTerrainSettings{}.toBytes()[4], 20);

    ProgramSettings s = defaultSettings("/work/here");
    EXPECT_EQ(s.artFolder, std::filesystem::path("/work/here/Art"));
    EXPECT_EQ(s.modelsFolder, std::filesystem::path("/work/here/Models"));
    EXPECT_EQ(s.patternFile, std::filesystem::path("/work/here/Patterns.rvp"));
    EXPECT_EQ(s.trackFolder, std::filesystem::path("/work/here"));
    EXPECT_EQ(s.windowPos.left, -1000);
    EXPECT_EQ(s.colors[1], (ColourValue{0, 128, 0}));
    EXPECT_EQ(s.colors[5], (ColourValue{255, 255, 0}));
    EXPECT_EQ(packViewFlags(s), (1u << 3) | (1u << 4)); // water and backdrop shown
}

TEST(ProgramSettings, RecordsRoundTripAndClampOnReading) {
    EditState e;
    e.altitude = -200;
    e.singlePointStep = -7;
    e.terrainTool = 6;
    EXPECT_EQ(EditState::fromBytes(e.toBytes()).altitude, -200);
    EXPECT_EQ(EditState::fromBytes(e.toBytes()).singlePointStep, -7);
    EXPECT_EQ(EditState::fromBytes(e.toBytes()).terrainTool, 6);
    const std::array<uint8_t, 12> wild = {9, 20, 8, 9, 0xff, 0x7f, 0, 90, 0, 99, 0x00, 0x80};
    EditState c = EditState::fromBytes(wild);
    EXPECT_EQ(c.displayMode, 2);
    EXPECT_EQ(c.terrainTool, 7);
    EXPECT_EQ(c.curvature, 6);
    EXPECT_EQ(c.altitude, 255);
    EXPECT_EQ(c.toolWidth, 1);
    EXPECT_EQ(c.toolHeight, 25);
    EXPECT_EQ(c.paintHeight, 16);
    EXPECT_EQ(c.singlePointStep, -255);
    EXPECT_EQ(EditState::fromBytes(std::array<uint8_t, 5>{}).toolWidth, 5); // wrong length: defaults

    LightingSettings l{3, 200, 40, 75, 20};
    LightingSettings back = LightingSettings::fromBytes(l.toBytes());
    EXPECT_EQ(back.sunPosition, 3);
    EXPECT_EQ(back.altitudeBias, 40);
    EXPECT_EQ(back.shadow, 75);
    EXPECT_EQ(back.darkLevel, 20);

    AutosaveSettings a;
    a.minutes = 45;
    EXPECT_EQ(AutosaveSettings::fromBytes(a.toBytes()).minutes, 30);
    EXPECT_EQ(clampAutosaveMinutes(45), 30);
    EXPECT_EQ(clampAutosaveMinutes(0), 1);

    EXPECT_EQ(generatorOf(seedValue(200, 1)), 1);
    EXPECT_EQ(seedOf(seedValue(200, 1)), 200);
    EXPECT_EQ(generatorOf(0x0500), 0); // unknown generator counts as Classic
}

TEST(ProgramSettings, ReadCorrections) {
    EXPECT_EQ(correctPolysize(100), 104u);
    EXPECT_EQ(correctPolysize(12), 16u);
    EXPECT_EQ(correctPolysize(300), 256u);
    EXPECT_EQ(correctPolysize(16), 16u);
    EXPECT_EQ(correctPolysize(256), 256u);
    EXPECT_EQ(correctPolysize(61), 64u);
    EXPECT_EQ(correctDisplay(7), 0u);
    EXPECT_EQ(correctDisplay(4), 4u);

    ProgramSettings s;
    unpackViewFlags(s, (1u << 14) | (1u << 5) | 1u);
    EXPECT_TRUE(s.detailMask);
    EXPECT_TRUE(s.useOpenGL);
    EXPECT_TRUE(s.alwaysShowCourse);
    EXPECT_FALSE(s.showWater);
    EXPECT_EQ(packViewFlags(s), (1u << 14) | (1u << 5) | 1u);
}
