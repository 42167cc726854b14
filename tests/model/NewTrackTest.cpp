#include "art/FogTable.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "resources/BuiltinResources.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

void expectFixedColours(const TrackPalette& p) {
    for (int i = 0; i < 10; ++i) EXPECT_EQ(p[246 + i], FixedColours[size_t(i)]) << 246 + i;
}

void dirty(CTrackPOD& t) {
    t.SetTrackName("Old Track");
    t.SetComment("comment");
    t.terrain.heights[5] = 7;
    t.terrain.cells[5][0] = 1;
    t.terrain.cells[5][3] = 9;
    t.terrainTextures[0] = std::make_unique<Texture>();
    t.objects[9] = std::make_unique<TrackObject>();
    t.groundBoxes[1] = std::make_unique<GroundBox>();
    t.groundBoxMaps.top[4] = 1;
    t.sounds[0] = std::make_unique<TrackSound>();
    t.extendedCourses[1] = std::make_unique<Course>();
    t.mainCourse.insertSegment(0);
    t.mainCourse.length = 1;
    (void)t.animations.start(3);
    t.backdrop = std::make_unique<Model>();
    t.stadiumFlag = 1;
    t.arenaX = 4;
    t.cylinderText = "x\r\n";
    t.cylinderCount = 2;
    t.droppedObjects = 3;
    t.SetRaceType(4);
    t.SetWaterLevelQuarters(77);
    t.levelVectors.last = 1;
    t.SetHdArt(2, {1}, "PNG");
    t.pictures.infoDescription = {'h', 'i', 0};
    t.browseBitmapName.set("X.BMP");
    t.vehicles[3].x = 1234;
    t.vehicles[3].truckFile.set("custom.trk");
    t.ambientSound = 3;
    t.weatherMask = 1;
    t.omitLegacyFallback = 1;
    t.palette.set("ART\\P.ACT", DefaultPalette());
}

} // namespace

TEST(NewTrack, ConstructedState) {
    CTrackPOD t;
    EXPECT_EQ(t.WorldName.view(), "RAVOK");
    EXPECT_EQ(t.trackName.view(), "new track");
    EXPECT_EQ(t.locale.view(), "Ravokville USA");
    EXPECT_EQ(t.RaceType, 2);
    EXPECT_EQ(t.GameFlags, 0u);
    EXPECT_EQ(t.ambientSound, 14);
    EXPECT_EQ(t.weatherMask, 65535u);
    EXPECT_EQ(t.vehicles[0].truckFile.view(), "powerbig.trk");
    EXPECT_EQ(t.vehicles[8].truckFile.view(), "overkill.trk");
    EXPECT_EQ(t.vehicles[4].z, 100);
    EXPECT_EQ(t.sky.name().view(), "ART\\EARTHSKY.RAW");
    EXPECT_EQ(t.sky.width(), 64);
    EXPECT_FALSE(t.sky.hasPixels());
    EXPECT_EQ(t.terrain.heights[12345], 100);
    EXPECT_EQ(t.terrain.cells[12345][0], 237);
    EXPECT_EQ(t.terrain.cells[12345][6], 0);
    EXPECT_EQ(t.levelVectors.first.v[0], -46333);
    EXPECT_EQ(t.levelVectors.second.w, 64000);
    EXPECT_EQ(t.levelVectors.last, 255);
    EXPECT_TRUE(t.fogMap.empty());
    EXPECT_TRUE(t.pictures.browseBitmap.empty());
    EXPECT_EQ(t.arenaSizeX, 18);
    expectFixedColours(t.palette);
    EXPECT_EQ(t.palette[0], (RgbColour{0, 0, 0}));
}

TEST(NewTrack, ClearEmptiesContentButKeepsVehiclesAndLevelSettings) {
    CTrackPOD t;
    dirty(t);
    t.Clear();
    TrackCounts c = t.counts();
    EXPECT_EQ(c.terrainTextures + c.objects + c.groundBoxes + c.sounds + c.animations + c.mainCourseSegments +
                  c.extendedCourses,
              0);
    EXPECT_EQ(t.mainCourse.length, 5000);
    EXPECT_EQ(t.trackName.view(), "new track");
    EXPECT_EQ(t.WorldName.view(), "RAVOK");
    EXPECT_TRUE(t.comment.empty());
    EXPECT_EQ(t.terrain.heights[5], 100);
    EXPECT_EQ(t.terrain.cells[5][0], 237);
    EXPECT_EQ(t.terrain.cells[5][3], 0);
    EXPECT_EQ(t.groundBoxMaps.top[4], 0);
    EXPECT_FALSE(t.backdrop);
    EXPECT_EQ(t.stadiumFlag, 0u);
    EXPECT_EQ(t.arenaX, 127);
    EXPECT_TRUE(t.cylinderText.empty());
    EXPECT_EQ(t.cylinderCount, 0);
    EXPECT_EQ(t.droppedObjects, 0);
    EXPECT_EQ(t.RaceType, 2);
    EXPECT_EQ(t.waterLevel, 0);
    EXPECT_EQ(t.levelVectors.last, 255);
    EXPECT_TRUE(t.pictures.hdArt[2].empty());
    EXPECT_TRUE(t.pictures.hdArtExt[2].empty());
    EXPECT_TRUE(t.pictures.infoDescription.empty());
    EXPECT_TRUE(t.browseBitmapName.empty());
    EXPECT_TRUE(t.palette.name().empty());
    EXPECT_EQ(t.palette[5], (RgbColour{0, 0, 0}));
    // Left for the file readers to set.
    EXPECT_EQ(t.vehicles[3].x, 1234);
    EXPECT_EQ(t.vehicles[3].truckFile.view(), "custom.trk");
    EXPECT_EQ(t.ambientSound, 3);
    EXPECT_EQ(t.weatherMask, 1u);
    EXPECT_EQ(t.omitLegacyFallback, 1u);
}

TEST(NewTrack, Mtm2EndState) {
    CTrackPOD t;
    dirty(t);
    NewMtm2Track(t);
    EXPECT_EQ(t.GameFlags & 1u, 1u);
    ASSERT_EQ(t.fogMap.size(), 32768u);
    EXPECT_EQ(t.fogMap, DefaultFogMap());
    EXPECT_EQ(t.fogMap[0], 0);
    EXPECT_TRUE(t.palette.name().empty());
    auto farmRoad = GamePaletteColours(0);
    ASSERT_TRUE(farmRoad);
    for (int i = 0; i < 246; ++i) EXPECT_EQ(t.palette[i], (*farmRoad)[size_t(i)]) << i;
    expectFixedColours(t.palette);
    auto browse = resources::defaultBrowseBitmap();
    auto icon = resources::defaultIconBitmap();
    EXPECT_EQ(t.pictures.browseBitmap, Blob(browse.begin(), browse.end()));
    EXPECT_EQ(t.pictures.iconBitmap, Blob(icon.begin(), icon.end()));
    EXPECT_EQ(t.vehicles[3].x, 1234); // vehicles are kept by New
}

TEST(NewTrack, Mtm1EndState) {
    CTrackPOD t;
    NewMtm2Track(t);
    NewMtm1Track(t);
    EXPECT_EQ(t.GameFlags & 1u, 0u);
    EXPECT_EQ(t.palette.name().view(), "ART\\METALCR2.ACT");
    for (int i = 0; i < 246; ++i) EXPECT_EQ(t.palette[i], DefaultPalette()[size_t(i)]) << i;
    expectFixedColours(t.palette);
    EXPECT_TRUE(t.fogMap.empty());
    EXPECT_TRUE(t.pictures.browseBitmap.empty());
    EXPECT_TRUE(t.pictures.iconBitmap.empty());
}

TEST(NewTrack, SetUpMtm2FollowsTheFogMapsPalette) {
    // Palette 0 (or 17 and above, treated as 0): Farm Road and the default fog map.
    for (uint8_t first : {uint8_t(0), uint8_t(17), uint8_t(200)}) {
        CTrackPOD t;
        t.GameFlags = 1;
        std::vector<uint8_t> own(32768, 42);
        own[0] = first;
        t.SetFogMap(own);
        t.SetUpMtm2();
        EXPECT_EQ(t.fogMap, DefaultFogMap()) << int(first);
        EXPECT_EQ(t.palette[20], (*GamePaletteColours(0))[20]);
    }
    // Palette 5: its colours, the track's own fog map kept.
    {
        CTrackPOD t;
        std::vector<uint8_t> own(32768, 42);
        own[0] = 5;
        t.SetFogMap(own);
        t.palette.set("ART\\KEEP.ACT", DefaultPalette());
        t.SetUpMtm2();
        EXPECT_EQ(t.fogMap, own);
        EXPECT_EQ(t.palette[20], (*GamePaletteColours(5))[20]);
        EXPECT_EQ(t.palette.name().view(), "ART\\KEEP.ACT");
    }
    // Custom (16): palette and fog map unchanged.
    {
        CTrackPOD t;
        std::vector<uint8_t> own(32768, 42);
        own[0] = 16;
        t.SetFogMap(own);
        t.palette.set("", DefaultPalette());
        t.SetUpMtm2();
        EXPECT_EQ(t.fogMap, own);
        EXPECT_EQ(t.palette[20], DefaultPalette()[20]);
    }
    // HD art stands in for a missing menu picture.
    {
        CTrackPOD t;
        t.SetHdArt(0, {1, 2}, "PNG");
        t.SetUpMtm2();
        EXPECT_TRUE(t.pictures.browseBitmap.empty());
        EXPECT_FALSE(t.pictures.iconBitmap.empty());
    }
}

TEST(FogMap, DefaultMapIsThePaletteZeroTable) {
    auto pairs = resources::defaultFogMapPairs();
    ASSERT_EQ(pairs.size() % 2, 0u);
    size_t total = 0;
    for (size_t i = 1; i < pairs.size(); i += 2) total += pairs[i];
    EXPECT_EQ(total, 32768u);

    auto fog = DefaultFogMap();
    ASSERT_EQ(fog.size(), 32768u);
    const uint8_t head[] = {0, 0, 0, 0, 0, 0, 0, 176, 176, 176, 177, 177, 178, 178};
    for (size_t i = 0; i < sizeof head; ++i) EXPECT_EQ(fog[i], head[i]) << i;
    EXPECT_EQ(fog[30], 187);
    EXPECT_EQ(fog[32], 1);
    EXPECT_EQ(fog[37], 176);

    TrackPalette palette;
    palette.setColours(*GamePaletteColours(0));
    auto table = BuildFogTable(palette.colours(), 0);
    EXPECT_TRUE(std::equal(fog.begin() + 42, fog.end(), table.begin() + 42));
}

TEST(FogMap, TableRulesAndDecoding) {
    PaletteColours c{};
    for (auto& e : c) e = {255, 255, 255};
    c[10] = {3, 3, 3};
    c[11] = {3, 3, 3}; // same colour later: the later entry wins
    c[5] = {3, 3, 3};  // outside 10..229: never chosen
    c[230] = {251, 251, 251};
    auto table = BuildFogTable(c, 5);
    EXPECT_EQ(table[0], 5); // the palette index
    EXPECT_EQ(table[1], 11);
    EXPECT_EQ(table[32767], 229); // white-ish: the last of the equal white entries
    EXPECT_EQ(table.size(), 32768u);

    const uint8_t pairs[] = {9, 3, 8, 255, 7, 255};
    auto block = decodeFogMapPairs(pairs);
    EXPECT_EQ(block[2], 9);
    EXPECT_EQ(block[3], 8);
    EXPECT_EQ(block[258], 7);
    EXPECT_EQ(block[513], 0);
}
