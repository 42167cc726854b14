#include "model/TrackComponents.h"

#include "art/Picture.h"
#include "model/NewTrack.h"
#include "model/TrackComponentsMusic.h"
#include "model/TrackComponentsTerrainMaps.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// A PNG of one colour, or of a grey ramp with `coloured` pixels tinted.
std::vector<uint8_t> png(int w, int h, int coloured = 0) {
    const size_t stride = DibStride(w);
    std::vector<uint8_t> bgr(stride * size_t(h), 0);
    for (int i = 0; i < w * h; ++i) {
        uint8_t* p = &bgr[size_t(i / w) * stride + size_t(i % w) * 3];
        p[0] = p[1] = p[2] = uint8_t(i);
        if (i < coloured) p[2] = uint8_t(p[2] + 1);
    }
    std::string message;
    return EncodePng(bgr.data(), w, h, stride, message).value();
}

std::unique_ptr<CTrackPOD> newTrack() {
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    return track;
}

} // namespace

TEST(TrackComponents, CopiesTheTrackAndDerivesTheWorldName) {
    auto track = newTrack();
    track->RaceType = 4;
    track->SetWaterLevelQuarters(49);
    track->SetInfoDescription({'H', 'i', 0});
    TrackComponents c = MakeTrackComponents(*track);
    EXPECT_TRUE(c.mtm2);
    EXPECT_EQ(c.worldName, "RAVOK");
    EXPECT_EQ(c.palette, 0);
    EXPECT_DOUBLE_EQ(c.waterLevel, 12.25);
    EXPECT_EQ(RadioOfRaceType(c.raceType), 2) << "Rumble is the third radio";
    EXPECT_EQ(c.infoDescription, "Hi");
    EXPECT_EQ(c.pictures[kBrowseSlot].bitmap, track->pictures.browseBitmap);
    EXPECT_TRUE(c.writeEightBitCopies);

    c.setTrackName("Mud Pit 2: the return of something long");
    EXPECT_EQ(c.trackName.size(), 31u);
    EXPECT_EQ(c.worldName, "MUDPIT2THERETURNOF");
    c.setBasedOnTrackName(false);
    c.setTrackName("Other");
    EXPECT_EQ(c.worldName, "MUDPIT2THERETURNOF") << "an unticked World Name keeps what it holds";
    c.setBasedOnTrackName(true);
    EXPECT_EQ(c.worldName, "OTHER");

    const int stored[] = {2, 3, 4, 1};
    for (int radio = 0; radio < kRaceTypeRadios; ++radio) {
        c.setRaceTypeRadio(radio);
        EXPECT_EQ(c.raceType, stored[radio]);
        EXPECT_EQ(RadioOfRaceType(c.raceType), radio);
    }
    c.setWaterLevel(300);
    EXPECT_DOUBLE_EQ(c.waterLevel, 255.0);
    c.setWaterLevel(-1);
    EXPECT_DOUBLE_EQ(c.waterLevel, 0.0);
    EXPECT_STREQ(kSoundThemeNames[14], "Tweety birds (C98)");
}

TEST(TrackComponents, OkRefusesAWorldNameWithoutLetters) {
    auto track = newTrack();
    TrackComponents c = MakeTrackComponents(*track);
    test::ScriptedPrompter prompter;
    c.setBasedOnTrackName(false);
    c.worldName = " -!- ";
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::StayOnWorldName);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Track Components: The World Name needs at least one letter or digit.");
    c.worldName = "my world!";
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close);
    EXPECT_EQ(c.worldName, "MYWORLD");
}

TEST(TrackComponents, OkAsksAboutALongDescriptionOnlyWithAPopUp) {
    auto track = newTrack();
    TrackComponents c = MakeTrackComponents(*track);
    c.infoDescription = std::string(4096, 'x');
    EXPECT_EQ(c.statusText(), "Add a 640x480 photo too, or no button appears. Description: 4096 bytes; the engine "
                              "reads only 4095.");
    test::ScriptedPrompter prompter;
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close) << "no photo: no pop-up, no question";
    EXPECT_TRUE(prompter.shown.empty());

    c.pictures[kInfoPhotoSlot].bitmap = {'B', 'M'};
    EXPECT_EQ(c.statusText(), "Info pop-up ready - the button will appear. Description: 4096 bytes; the engine reads "
                              "only 4095.");
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::StayOnDescription) << "No is the default";
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].rfind("Info Description Too Long: The info description is 4096 bytes.", 0), 0u);
    prompter.answers = {true};
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close);

    c.browseBitmapName = "TRACKX.BMP";
    EXPECT_FALSE(c.infoPopupPossible());
    EXPECT_EQ(c.statusText(), "No info pop-up possible: the browse bitmap's name must end in S (or T for MTM1).");
}

TEST(TrackComponents, OkDropsOrBuildsTheEightBitCopies) {
    auto track = newTrack();
    TrackComponents c = MakeTrackComponents(*track);
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(LoadSlotPictureBytes(c.pictures[kIconSlot], c.rules(kIconSlot), png(64, 48), "i.png").ok);
    ASSERT_FALSE(c.pictures[kIconSlot].bitmap.empty());
    const auto browse = c.pictures[kBrowseSlot].bitmap;

    c.writeEightBitCopies = false;
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close);
    EXPECT_TRUE(c.pictures[kIconSlot].bitmap.empty());
    EXPECT_EQ(c.pictures[kBrowseSlot].bitmap, browse) << "slots without HD art keep their pictures";

    c.writeEightBitCopies = true;
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close);
    const auto& copy = c.pictures[kIconSlot].bitmap;
    ASSERT_GE(copy.size(), 54u);
    EXPECT_EQ(copy[18], 32);
    EXPECT_EQ(copy[22], 24);

    c.pictures[kBrowseSlot] = {{}, {1, 2, 3}, ".PNG"};
    EXPECT_EQ(CheckComponentsOnOk(c, prompter), OkResult::StayOnPictures);
    EXPECT_EQ(prompter.shown.back(), "HD Track Art: Could not make the 8-bit BMP copy of the HD browse picture.\n\n"
                                     "Untick \"Also write 8-bit BMP copies\" to keep the HD art alone.");
    EXPECT_FALSE(MakeTrackComponents(*track).podView);
    track->podViewMode = true;
    TrackComponents viewed = MakeTrackComponents(*track);
    viewed.setBasedOnTrackName(false);
    viewed.worldName = "";
    EXPECT_EQ(CheckComponentsOnOk(viewed, prompter), OkResult::Close) << "a viewed pod closes without checks";
}

TEST(TrackComponents, BackdropNames) {
    EXPECT_EQ(BackdropModelName("/some/where/ArenaDrop.bin"), "MODELS\\ARENADROP.BIN");
    for (const char* name : {"bigDROP.bin", "x_drp.BIN", "cityfixd.bin", "Arena2.bin"})
        EXPECT_TRUE(MatchesBackdropPattern(name)) << name;
    for (const char* name : {"tree.bin", "myarena.bin"}) EXPECT_FALSE(MatchesBackdropPattern(name)) << name;
}

TEST(TrackComponentsMusic, StockReferencesAndFiles) {
    const auto list = StockMusicList();
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[1].name, "BREAK");
    const auto reference = StockMusicReference("break").value();
    ASSERT_EQ(reference.size(), 20u);
    EXPECT_EQ(std::string(reference.begin(), reference.begin() + 16), std::string("MUSIC\\BREAK.WAV\0", 16));
    EXPECT_EQ(std::vector<uint8_t>(reference.begin() + 15, reference.end()), std::vector<uint8_t>(5, 0));
    EXPECT_EQ(StockMusicReference("VOODOO").value()[16], 0) << "the longest name still ends in a zero";
    EXPECT_FALSE(StockMusicReference("NOSUCH"));
    EXPECT_EQ(StockMusicName(reference), "BREAK");
    EXPECT_EQ(MusicDescription(reference), "stock BREAK");

    test::TempDir dir;
    std::vector<uint8_t> music;
    EXPECT_EQ(LoadMusicFile(music, dir / "none.wav").message, "Cannot open that file.");
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 1, 2, 3};
    test::writeBytes(dir / "a.wav", wav);
    ASSERT_TRUE(LoadMusicFile(music, dir / "a.wav").ok);
    EXPECT_EQ(music, wav);
    EXPECT_EQ(MusicDescription(music), "WAV file, 0 KB");
    ASSERT_TRUE(SaveMusicFile(music, dir / "b.wav").ok);
    EXPECT_EQ(SaveMusicFile(reference, dir / "c.wav").message, "Nothing to save.");
    EXPECT_EQ(SaveMusicFile(music, dir / "no" / "c.wav").message, "Cannot write that file.");
}

TEST(TrackComponentsTerrainMaps, FilesSizesAndQuestions) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    TerrainMapFile map;
    const auto detail = TerrainMapKind::DetailNormal;
    EXPECT_EQ(LoadTerrainMap(detail, map, dir / "missing.png", prompter).message, "Could not open that file.");
    test::writeBytes(dir / "empty.png", {});
    const Outcome empty = LoadTerrainMap(detail, map, dir / "empty.png", prompter);
    EXPECT_EQ(empty.message, "That file is empty or improbably large for a terrain map.");
    EXPECT_EQ(empty.caption, "Terrain map");
    test::writeBytes(dir / "noext", png(256, 256));
    EXPECT_FALSE(LoadTerrainMap(detail, map, dir / "noext", prompter).ok);
    EXPECT_TRUE(prompter.shown.empty());

    test::writeBytes(dir / "good.png", png(256, 256));
    ASSERT_TRUE(LoadTerrainMap(detail, map, dir / "good.png", prompter).ok);
    EXPECT_TRUE(prompter.shown.empty()) << "256 x 256 asks nothing";
    EXPECT_EQ(map.ext, ".PNG");
    EXPECT_EQ(TerrainMapLabel(detail, map, "MUDPIT"),
              "ART\\MUDPIT_DTL.PNG  -  " + std::to_string((map.bytes.size() + 512) / 1024) + " KB");

    const TerrainMapFile kept = map;
    test::writeBytes(dir / "big.png", png(2048, 16));
    test::writeBytes(dir / "odd.png", png(100, 100));
    test::writeBytes(dir / "tiny.png", png(16, 16));
    prompter.answers = {false, false, false};
    for (const char* name : {"big.png", "odd.png", "tiny.png"})
        EXPECT_FALSE(LoadTerrainMap(detail, map, dir / name, prompter).ok) << name;
    EXPECT_EQ(map, kept) << "No keeps the earlier file";
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].rfind("Terrain Detail Normal: This detail normal is 2048x16.\n\nThe engine refuses", 0),
              0u);
    EXPECT_NE(prompter.shown[1].find("100x100, which is not a square power of two"), std::string::npos);
    EXPECT_NE(prompter.shown[2].find("only 16x16. The engine expects at least 32."), std::string::npos);

    test::writeBytes(dir / "broken.tga", {1, 2, 3});
    prompter.answers = {true};
    ASSERT_TRUE(LoadTerrainMap(detail, map, dir / "broken.tga", prompter).ok) << "Yes packs it as it is";
    EXPECT_EQ(prompter.shown.back().rfind("Terrain Detail Normal: Ravok could not read the size of this image (", 0),
              0u);
    EXPECT_EQ(map.ext, ".TGA");
}

TEST(TrackComponentsTerrainMaps, MasksMustBeGreyAndStartInMaskArt) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    TerrainMapFile mask;
    const auto kind = TerrainMapKind::Mask;
    EXPECT_EQ(TerrainMapLabel(kind, mask, "W"), "(none)");
    EXPECT_EQ(TerrainMapLabel(TerrainMapKind::DetailNormal, mask, "W"), "(generated)");
    test::writeBytes(dir / "grey.png", png(64, 64));
    ASSERT_TRUE(LoadTerrainMap(kind, mask, dir / "grey.png", prompter).ok);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(TerrainMapLabel(kind, mask, "W").rfind("ART\\W_MASK.PNG  -  ", 0), 0u);

    test::writeBytes(dir / "tinted.png", png(64, 64, 5));
    prompter.answers = {false};
    EXPECT_FALSE(LoadTerrainMap(kind, mask, dir / "tinted.png", prompter).ok);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].rfind("Terrain Mask: This mask is not greyscale - 5 of its 4096 pixels have different "
                                      "red, green and blue.",
                                      0),
              0u);

    fs::create_directories(dir / "game" / "ART");
    EXPECT_EQ(TerrainMapStartFolder(dir / "game" / "ART"), dir / "game" / "ART");
    fs::create_directories(dir / "game" / "MaskArt");
    EXPECT_EQ(TerrainMapStartFolder(dir / "game" / "ART"), dir / "game" / "MaskArt");
    EXPECT_EQ(TerrainMapStartFolder((dir / "game" / "ART").string() + "/"), dir / "game" / "MaskArt");
}
