#include "trackart/TrackComponentsApply.h"

#include "art/Picture.h"
#include "base/ByteWriter.h"
#include "model/NewTrack.h"
#include "model/TrackComponentsMusic.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// A BIN model of two vertices (the lower one stored at 8192, 4096) whose
// facets name the given textures.
std::vector<uint8_t> binModel(const std::vector<std::string>& facetTextures) {
    ByteWriter w;
    w.i32LE(20);
    w.zeros(12);
    w.i32LE(2);
    for (int32_t v : {8192, -100, 4096, 100, 0, 100}) w.i32LE(v);
    for (const auto& t : facetTextures) {
        w.i32LE(13);
        w.zeros(4);
        w.fixedText(t, 16);
        w.i32LE(14);
        w.i32LE(1);
        w.zeros(28);
    }
    w.i32LE(0);
    return w.release();
}

struct ApplyFixture : ::testing::Test {
    test::TempDir root;
    fs::path art = root / "ART";
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    test::ScriptedPrompter prompter;
    std::vector<int> paletteCalls;
    ComponentsApplyContext context;

    void SetUp() override {
        fs::create_directories(art);
        NewMtm2Track(*track);
        context.artFolder = art;
        context.prompter = &prompter;
        context.changePalette = [this](int palette) { paletteCalls.push_back(palette); };
    }
    ComponentsApplyResult apply(const TrackComponents& c) { return ApplyTrackComponents(*track, c, context); }
};

} // namespace

TEST_F(ApplyFixture, WritesTheCopiesIntoTheTrack) {
    TrackComponents c = MakeTrackComponents(*track);
    c.setTrackName("Dust Bowl");
    c.setComment(std::string(100, 'c'));
    c.setRaceTypeRadio(3);
    c.setWaterLevel(12.3);
    c.soundTheme = 6;
    c.infoDescription = "Dust\r\nand more dust";
    c.music = StockMusicReference("SURF").value();
    c.detailNormal = {{1, 2, 3}, ".PNG"};
    c.setArena(100, 90, 20, 22);
    EXPECT_TRUE(apply(c).applied);
    EXPECT_EQ(track->trackName.str(), "Dust Bowl");
    EXPECT_EQ(track->WorldName.str(), "DUSTBOWL");
    EXPECT_EQ(track->comment.str().size(), 79u);
    EXPECT_EQ(track->RaceType, 1);
    EXPECT_EQ(track->waterLevel, 12);
    EXPECT_EQ(track->waterLevelQuarters, 1) << "12.3 is 49.2 quarters, rounded to 49";
    EXPECT_EQ(track->ambientSound, 6);
    const std::string stored(track->pictures.infoDescription.begin(), track->pictures.infoDescription.end());
    EXPECT_EQ(stored, std::string("Dust\r\nand more dust\0", 20));
    EXPECT_EQ(StockMusicName(track->pictures.music), "SURF");
    EXPECT_EQ(track->pictures.detailNormalExt.str(), ".PNG");
    EXPECT_EQ(track->arenaX, 100);
    EXPECT_EQ(track->arenaSizeY, 22);
    EXPECT_EQ(track->stadiumFlag, 0u) << "no backdrop to be an arena";
    EXPECT_TRUE(paletteCalls.empty());

    c.setBasedOnTrackName(false);
    c.worldName = "Own Name";
    c.infoDescription = " \r\n";
    apply(c);
    EXPECT_EQ(track->WorldName.str(), "OWNNAME");
    EXPECT_EQ(track->worldNameFromTrackName, 0u);
    EXPECT_TRUE(track->pictures.infoDescription.empty()) << "a blank description is none";
}

TEST_F(ApplyFixture, PicturesAndTheirHdArt) {
    TrackComponents c = MakeTrackComponents(*track);
    const size_t stride = DibStride(640);
    std::vector<uint8_t> bgr(stride * 480, 90);
    std::string message;
    const auto png = EncodePng(bgr.data(), 640, 480, stride, message).value();
    ASSERT_TRUE(LoadSlotPictureBytes(c.pictures[kInfoPhotoSlot], c.rules(kInfoPhotoSlot), png, "p.png").ok);
    c.writeEightBitCopies = false;
    ASSERT_EQ(CheckComponentsOnOk(c, prompter), OkResult::Close);
    apply(c);
    EXPECT_EQ(track->pictures.hdArt[2], png);
    EXPECT_EQ(track->pictures.hdArtExt[2].str(), ".PNG");
    EXPECT_TRUE(track->pictures.infoPhoto.empty());
    EXPECT_EQ(track->HdArtName(2), "NEWTRACKM.PNG");

    ASSERT_TRUE(UseStockIcon(c.pictures[kIconSlot], c.rules(kIconSlot), 0).ok);
    apply(c);
    EXPECT_EQ(track->pictures.iconBitmap, StockIcons()[0].bitmap);
    EXPECT_FALSE(track->pictures.browseBitmap.empty()) << "the untouched browse picture stays";
}

TEST_F(ApplyFixture, ThePaletteChangesOnlyWhenTheChoiceDiffers) {
    std::vector<uint8_t> fog(32768, 7);
    fog[0] = 16;
    track->SetFogMap(fog);
    TrackComponents c = MakeTrackComponents(*track);
    EXPECT_EQ(c.palette, 16);
    EXPECT_FALSE(apply(c).paletteChanged);
    EXPECT_TRUE(paletteCalls.empty()) << "Custom over a fog map for Custom changes nothing";
    EXPECT_EQ(track->fogMap, fog);

    c.palette = 5;
    EXPECT_TRUE(apply(c).paletteChanged);
    EXPECT_EQ(paletteCalls, std::vector<int>{5});
    track->fogMap.clear();
    c.palette = 0;
    apply(c);
    EXPECT_EQ(paletteCalls, (std::vector<int>{5, 0})) << "a track without a fog map gets one";

    auto mtm1 = std::make_unique<CTrackPOD>();
    NewMtm1Track(*mtm1);
    mtm1->SetFogMap(fog);
    TrackComponents old = MakeTrackComponents(*mtm1);
    old.palette = 3;
    ApplyTrackComponents(*mtm1, old, context);
    EXPECT_TRUE(mtm1->fogMap.empty()) << "MTM1 tracks have no fog map";
    EXPECT_EQ(paletteCalls.size(), 2u);
}

TEST_F(ApplyFixture, ANewBackdropLoadsWithItsTextures) {
    test::writeBytes(root / "ARENADROP.BIN", binModel({"WALL.RAW"}));
    TrackComponents c = MakeTrackComponents(*track);
    c.chooseBackdrop(root / "ARENADROP.BIN");
    c.arena = true;
    EXPECT_EQ(c.backdropName, "MODELS\\ARENADROP.BIN");
    EXPECT_TRUE(apply(c).backdropChanged);
    ASSERT_TRUE(track->backdrop);
    EXPECT_EQ(track->backdrop->name().str(), "MODELS\\ARENADROP.BIN");
    EXPECT_EQ(track->stadiumFlag, 1u);
    EXPECT_EQ(track->arenaOriginX, 4096 >> 12) << "the lower vertex, read at half its stored x";
    ASSERT_EQ(prompter.shown.size(), 1u) << "WALL.RAW is missing";
    EXPECT_EQ(prompter.shown[0], "Backdrop textures cannot be shown in the editor:     WALL.RAW\r\n\r\n\r\nThe backdrop "
                                 "has been KEPT and will be written to the pod. Only the editor's preview is affected "
                                 "- the game draws it from its own art. Import the art as textures if you want to see "
                                 "it here too.");

    // Unticking the Arena check without a new file ends the stadium.
    c.newBackdropFile.reset();
    c.arena = false;
    EXPECT_FALSE(apply(c).backdropChanged);
    EXPECT_EQ(track->stadiumFlag, 0u);
    ASSERT_TRUE(track->backdrop);

    prompter.shown.clear();
    c.chooseBackdrop(root / "missing.bin");
    apply(c);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"Track Components: Backdrop not found!"});
    ASSERT_TRUE(track->backdrop) << "a missing file keeps the backdrop";

    test::writeBytes(root / "junk.bin", {1, 2, 3});
    c.chooseBackdrop(root / "junk.bin");
    c.arena = true;
    EXPECT_TRUE(apply(c).backdropChanged);
    EXPECT_EQ(prompter.shown.back(), "Bad Backdrop: Error loading backdrop model");
    EXPECT_FALSE(track->backdrop);
    EXPECT_EQ(track->stadiumFlag, 0u);
}

TEST_F(ApplyFixture, NothingChangesWhileAPodIsViewed) {
    track->podViewMode = true;
    TrackComponents c = MakeTrackComponents(*track);
    c.setTrackName("Changed");
    c.palette = 4;
    EXPECT_FALSE(apply(c).applied);
    EXPECT_EQ(track->trackName.str(), "new track");
    EXPECT_TRUE(paletteCalls.empty());
}
