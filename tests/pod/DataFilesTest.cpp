#include "pod/DataFiles.h"
#include "pod/LevelFile.h"

#include "art/FogTable.h"
#include "model/NewTrack.h"
#include "pod/TextLines.h"

#include "PodFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ravok;
using ravok::test::blobOf;
using ravok::test::PodFixture;

namespace {

std::vector<std::string> linesOf(const Blob& bytes) {
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

std::unique_ptr<Texture> texture(std::string_view name, int type = 0, int grip = 1) {
    auto t = std::make_unique<Texture>();
    std::vector<uint8_t> pixels(64 * 64, 3);
    t->setPicture(name, 64, 64, pixels.data());
    t->setSurfaceType(type);
    t->setGripDepth(grip);
    return t;
}

} // namespace

TEST(LevelFile, Mtm1AndMtm2FormsWaterAndMusicNames) {
    CTrackPOD track;
    NewMtm2Track(track);
    track.SetWorldName("FARMROAD");
    auto mtm2 = linesOf(WriteLevelFile(track));
    ASSERT_EQ(mtm2.size(), 22u); // water height 0: no water lines
    EXPECT_EQ(mtm2[0], "0");
    EXPECT_EQ(mtm2[1], "farmroad.txt");
    EXPECT_EQ(mtm2[6], "zero.raw");
    EXPECT_EQ(mtm2[10], "cloudy2.raw");
    EXPECT_EQ(mtm2[11], "cloudy2.act");
    EXPECT_EQ(mtm2[14], "farmroad.mod"); // no music
    EXPECT_EQ(mtm2[17], "-46333,-46333,0");
    EXPECT_EQ(mtm2[18], "32768");
    EXPECT_EQ(mtm2[19], "32000,-46333,0");
    EXPECT_EQ(mtm2[20], "64000");
    EXPECT_EQ(mtm2[21], "255");

    track.SetWaterLevelQuarters(37);
    mtm2 = linesOf(WriteLevelFile(track));
    ASSERT_EQ(mtm2.size(), 24u);
    EXPECT_EQ(mtm2[22], "!waterHeight");
    EXPECT_EQ(mtm2[23], "37");

    track.SetMusic(blobOf("RIFF....WAVE"));
    EXPECT_EQ(LevelMusicName(track), "farmroad.wav");
    track.SetMusic(blobOf("MUSIC\\DESERT.WAV"));
    EXPECT_EQ(LevelMusicName(track), "desert.wav");
    track.SetMusic(blobOf("some module"));
    EXPECT_EQ(LevelMusicName(track), "farmroad.mod");

    CTrackPOD old;
    NewMtm1Track(old);
    old.SetWorldName("OLD");
    old.SetWaterLevelQuarters(37); // MTM1 level files carry no water lines
    auto mtm1 = linesOf(WriteLevelFile(old));
    ASSERT_EQ(mtm1.size(), 22u);
    EXPECT_EQ(mtm1[0], "4");
    EXPECT_EQ(mtm1[10], "aliensky.raw");
    EXPECT_EQ(mtm1[11], "earthsky.act");
}

TEST(DataFiles, TextureListTypesAnimationsAndFogMap) {
    CTrackPOD track;
    NewMtm2Track(track);
    for (auto& slot : track.terrainTextures) slot.reset();
    track.terrainTextures[0] = texture("ART\\GRASS.RAW", 3, 5);
    track.terrainTextures[11] = texture("ART\\ROCK.RAW");
    track.terrainTextures[20] = texture("ART\\UNUSED.RAW", 1, 0); // above the highest index in use
    track.terrain.textures[500] = 11 | 0x3000;                    // rotation bits do not count
    auto list = linesOf(WriteTextureList(track));
    ASSERT_EQ(list.size(), 13u);
    EXPECT_EQ(list[0], "12");
    EXPECT_EQ(list[1], "GRASS.RAW");
    EXPECT_EQ(list[2], "NULL.RAW"); // empty slots hold their place
    EXPECT_EQ(list[12], "ROCK.RAW");

    auto types = linesOf(WriteTextureTypes(track));
    EXPECT_EQ(types, (std::vector<std::string>{"2", "GRASS.RAW,305", "UNUSED.RAW,100"}));
    track.terrainTextures[0]->setSurfaceType(0);
    ReadTextureTypes(track, blobOf("1\r\nGRASS.RAW,305\r\nROCK.RAW\r\nNOTHERE.RAW,1\r\n"));
    EXPECT_EQ(track.terrainTextures[0]->surfaceType(), 3);
    EXPECT_EQ(track.terrainTextures[0]->gripDepth(), 5);

    ASSERT_TRUE(track.animations.start(0).ok);
    ASSERT_TRUE(track.animations.appendFrame(0, 11, "ROCK.RAW").ok);
    ASSERT_TRUE(track.animations.appendFrame(0, 5, "").ok); // an empty slot
    track.terrainTextures[11]->setName("ART\\A_VERY_LONG_NAME.RAW");
    std::vector<std::string> longNames;
    auto ani = linesOf(WriteTextureAnimations(track, &longNames));
    EXPECT_EQ(ani, (std::vector<std::string>{"1", "GRASS.RAW", "3,16250", "GRASS.RAW", "A_VERY_LONG_NAME.RAW",
                                             "NULL.RAW"}));
    EXPECT_EQ(longNames, (std::vector<std::string>{"A_VERY_LONG_NAME.RAW"}));

    // A record read from a damaged track file claims 40 frames; the game reads
    // as many names as the count says, so the count must match the names.
    TextureAnimation damaged;
    damaged.frameCount = 40;
    damaged.period = 100;
    damaged.frames.fill(0);
    track.animations.clear();
    ASSERT_TRUE(track.animations.appendRecord(damaged));
    ani = linesOf(WriteTextureAnimations(track));
    ASSERT_EQ(ani.size(), 3u + size_t(kMaxAnimationFrames));
    EXPECT_EQ(ani[2], "8,6500");

    track.fogMap.assign(kFogMapBytes, 9);
    Blob fog = WriteFogMap(track);
    EXPECT_EQ(fog.size(), kFogMapBytes);
    EXPECT_EQ(fog[0], 0);
    EXPECT_EQ(fog[1], 9);
    track.fogMap.clear();
    EXPECT_EQ(WriteFogMap(track), DefaultFogMap());
}

TEST(DataFiles, GroundBoxLayersAndTheirLimit) {
    CTrackPOD track;
    NewMtm2Track(track);
    for (int i = 0; i < 2; ++i) {
        auto box = std::make_unique<GroundBox>();
        box->x = 10 + i;
        box->y = 3;
        box->bottom = 90;
        box->top = uint8_t(120 + i);
        box->faces = {1, 2, 3, 4, 5, uint16_t(0x1006)};
        track.AddGroundBox(std::move(box));
    }
    GroundBoxLayers layers = WriteGroundBoxLayers(track);
    ASSERT_EQ(layers.bottom.size(), kGroundBoxLayerBytes);
    ASSERT_EQ(layers.faces.size(), kGroundBoxFacesBytes);
    const size_t cell = 3 * 256 + 11;
    EXPECT_EQ(layers.bottom[cell], 90);
    EXPECT_EQ(layers.top[cell], 121);
    EXPECT_EQ(layers.faces[cell * 12], 1);
    EXPECT_EQ(layers.faces[cell * 12 + 11], 0x10);
    EXPECT_EQ(layers.top[cell + 1], 0);

    // 2,050 marked cells give 2,048 boxes and 2 dropped.
    Blob bottom(kGroundBoxLayerBytes, 0), top(kGroundBoxLayerBytes, 0), faces(kGroundBoxFacesBytes, 0);
    for (int i = 0; i < 2050; ++i) {
        bottom[size_t(i * 7)] = 10;
        top[size_t(i * 7)] = 30;
    }
    faces[7 * 12] = 42;
    PodFixture pod({{"DATA\\T.RA0", bottom}, {"DATA\\T.RA1", top}, {"DATA\\T.CL0", faces}});
    auto items = pod.source();
    CTrackPOD loaded;
    NewMtm2Track(loaded);
    for (auto& b : loaded.groundBoxes) b.reset();
    LoadGroundBoxes(loaded, items, "DATA\\T.RAW");
    EXPECT_EQ(filledSlots(loaded.groundBoxes), 2048);
    EXPECT_EQ(loaded.droppedGroundBoxes, 2);
    const GroundBox& second = *loaded.groundBoxes[1];
    EXPECT_EQ(second.x, 7);
    EXPECT_EQ(second.y, 0);
    EXPECT_EQ(second.centreX, 7 * 64 + 32);
    EXPECT_EQ(second.midHeight, 20);
    EXPECT_EQ(second.faces[0], 42);

    // A missing layer leaves the boxes as they are.
    CTrackPOD untouched;
    NewMtm2Track(untouched);
    const int before = filledSlots(untouched.groundBoxes);
    PodFixture partial({{"DATA\\T.RA0", bottom}, {"DATA\\T.RA1", top}});
    auto partialItems = partial.source();
    LoadGroundBoxes(untouched, partialItems, "DATA\\T.RAW");
    EXPECT_EQ(filledSlots(untouched.groundBoxes), before);
}

// Our builder writes ART\<stem>.RAW before DATA\<stem>.RAW and DATA\<stem>.TXT
// before WORLD\<stem>.TXT: each level-file item must come from its own folder.
TEST(LevelFile, ReadsOurPodsFromTheBuildersFoldersAndOtherPodsByBareName) {
    CTrackPOD source;
    NewMtm2Track(source);
    source.SetWorldName("FARM");
    source.terrain.heights.assign(kTerrainHeightsBytes, 77);
    source.terrain.textures[3] = 0x4001;
    source.terrain.cells[5][0] = 12;
    source.levelVectors.first.v = {1, -2, 3};
    source.levelVectors.last = 99;
    source.SetWaterLevelQuarters(37);
    source.SetMusic(blobOf("RIFFmusic"));
    auto box = std::make_unique<GroundBox>();
    box->x = 4;
    box->y = 4;
    source.AddGroundBox(std::move(box));
    GroundBoxLayers layers = WriteGroundBoxLayers(source);
    Blob palette(768, 0);
    palette[0] = 200;

    PodFixture pod({{"ART\\FARM.RAW", Blob(4096, 1)},
                    {"ART\\FARM.ACT", palette},
                    {"DATA\\FARM.CL0", layers.faces},
                    {"DATA\\FARM.CLR", WriteCellTextureMap(source)},
                    {"DATA\\FARM.LTE", WriteTerrainLighting(source)},
                    {"DATA\\FARM.RA0", layers.bottom},
                    {"DATA\\FARM.RA1", layers.top},
                    {"DATA\\FARM.RAW", WriteTerrainHeights(source)},
                    {"DATA\\FARM.TXT", blobOf("information text")},
                    {"FOG\\FARM.MAP", WriteFogMap(source)},
                    {"SOUND\\FARM.KLP", blobOf("RIFFmus")},
                    {"SOUND\\FARM.WAV", blobOf("RIFFmusic")},
                    {"WORLD\\FARM.TXT", blobOf("description")}});
    auto items = pod.source();
    CTrackPOD loaded;
    NewMtm2Track(loaded);
    for (auto& b : loaded.groundBoxes) b.reset();
    ReadLevelFile(loaded, items, WriteLevelFile(source));
    EXPECT_EQ(loaded.terrain.heights, source.terrain.heights);
    EXPECT_EQ(loaded.terrain.textures[3], 0x4001);
    EXPECT_EQ(loaded.terrain.cells[5][0], 12);
    EXPECT_EQ(filledSlots(loaded.groundBoxes), 1);
    EXPECT_EQ(loaded.pictures.descriptionText, blobOf("description"));
    EXPECT_EQ(loaded.pictures.music, blobOf("RIFFmusic"));
    EXPECT_EQ(loaded.palette.name().str(), "ART\\FARM.ACT");
    EXPECT_EQ(loaded.palette[0].r, 200);
    EXPECT_EQ(loaded.fogMap.size(), kFogMapBytes);
    EXPECT_EQ(loaded.levelVectors, source.levelVectors);
    EXPECT_EQ(loaded.waterLevel, 9);
    EXPECT_EQ(loaded.waterLevelQuarters, 1);

    // A pod of another tool with items in other folders reads by bare name.
    PodFixture other({{"TERRAIN\\FARM.RAW", Blob(100, 5)}, {"TEXT\\FARM.TXT", blobOf("other text")}});
    auto otherItems = other.source();
    CTrackPOD fromOther;
    NewMtm2Track(fromOther);
    ReadLevelFile(fromOther, otherItems, blobOf("0\r\nfarm.txt\r\nfarm.raw\r\n"));
    EXPECT_EQ(fromOther.pictures.descriptionText, blobOf("other text"));
    EXPECT_EQ(fromOther.terrain.heights[99], 5);
    EXPECT_EQ(fromOther.terrain.heights[100], 0); // a short item is never read past its end

    // The water line is clamped.
    CTrackPOD clamped;
    ReadLevelFile(clamped, otherItems,
                  blobOf("0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n1,2,3\r\n4\r\n5,6,7\r\n8\r\n9\r\n!"
                         "waterHeight\r\n5000\r\n"));
    EXPECT_EQ(clamped.waterLevel, 255);
    EXPECT_EQ(clamped.levelVectors.second.v[2], 7);
}

TEST(TextLines, LinesNumbersAndLocaleFreeReals) {
    std::string longLine(1500, 'a');
    Blob text = blobOf("one\r\ntwo\rhidden\n" + longLine + "\nlast");
    TextLineReader lines(text);
    std::string line;
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line.size(), 1023u);
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line.size(), 477u);
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(lines.next(line));

    EXPECT_EQ(realText(-0.25), "-0.250000");
    EXPECT_EQ(realText(16384.5), "16384.500000");
    EXPECT_EQ(parseInt("  -12abc"), -12);
    EXPECT_EQ(parseInt("+7"), 7);
    EXPECT_EQ(parseInt("x"), 0);
    EXPECT_EQ(parseInt("99999999999"), 2147483647);
    EXPECT_DOUBLE_EQ(parseReal(" 2.5e1,3"), 25.0);
    EXPECT_DOUBLE_EQ(parseReal("-.5"), -0.5);
    EXPECT_EQ(parseReal("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(afterComma("1,2,3", 2), "3");
    EXPECT_EQ(afterComma("1,2", 3), "");
    EXPECT_EQ(truncateToInt(std::nan("")), 0);
    EXPECT_EQ(truncateToInt(-3.9), -3);
    EXPECT_EQ(truncateToInt(1e300), 2147483647);
}
