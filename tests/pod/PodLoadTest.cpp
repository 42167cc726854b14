#include "base/ByteWriter.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "pod/PodExtract.h"
#include "pod/PodTrackList.h"
#include "pod/TrackPodBuild.h"

#include "PodFixture.h"
#include "TestModels.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ravok;
using ravok::test::blobOf;
using ravok::test::PodFixture;
using ravok::test::RecordedProgress;
using ravok::test::richTrack;
using ravok::test::ScriptedPrompter;
using ravok::test::TempDir;


TEST(PodLoad, TracksComeBackFromThePodsWeWrite) {
    TempDir dir;
    CTrackPOD source;
    richTrack(source);
    ASSERT_TRUE(BuildTrackPod(source, dir / "farm.pod", dir / "no-art", nullptr).ok);

    CTrackPOD back;
    RecordedProgress progress;
    ASSERT_TRUE(back.Load(dir / "farm.pod", 0, &progress));
    EXPECT_EQ(progress.range, 110);
    EXPECT_EQ(progress.positions, (std::vector<int>{10, 20, 30, 40, 50, 70, 80, 90, 100, 110}));
    EXPECT_TRUE(back.podViewMode);
    EXPECT_EQ(back.podPath.str(), (dir / "farm.pod").string());
    EXPECT_EQ(back.trackName.str(), "Farm Road");
    EXPECT_EQ(back.WorldName.str(), "FARMROAD");
    EXPECT_TRUE(back.isMtm2());
    EXPECT_EQ(back.terrain.heights, source.terrain.heights);
    EXPECT_EQ(back.terrain.textures, source.terrain.textures);
    EXPECT_EQ(back.counts().groundBoxes, 1);
    EXPECT_EQ(back.groundBoxes[0]->x, 30);
    EXPECT_EQ(back.groundBoxes[0]->faces[1], 2);
    EXPECT_EQ(back.counts().objects, 3);
    EXPECT_EQ(back.counts().checkpoints, 1);
    ASSERT_EQ(back.mainCourse.segments.size(), 1u);
    EXPECT_EQ(back.mainCourse.segments[0].end, (std::array<int32_t, 3>{500, 600, 70}));
    EXPECT_EQ(back.pictures.music, blobOf("RIFFmusic"));
    EXPECT_EQ(back.pictures.infoDescription, blobOf("information"));
    EXPECT_EQ(back.pictures.detailNormal, blobOf("detail png"));
    EXPECT_EQ(back.pictures.browseBitmap, source.pictures.browseBitmap);
    EXPECT_FALSE(back.versionRecord.empty());

    // Texture names and colours through the palette; the model's texture too.
    for (size_t slot = 0; slot < 3; ++slot) {
        ASSERT_TRUE(back.terrainTextures[slot]) << slot;
        EXPECT_EQ(back.terrainTextures[slot]->name(), source.terrainTextures[slot]->name().view());
        auto a = source.terrainTextures[slot]->pixels(), b = back.terrainTextures[slot]->pixels();
        ASSERT_EQ(a.size(), b.size());
        for (size_t p = 0; p < a.size(); ++p)
            ASSERT_EQ(source.palette[a[p]], back.palette[b[p]]) << "slot " << slot << " pixel " << p;
    }
    ASSERT_TRUE(back.models[0]);
    EXPECT_EQ(back.models[0]->name().str(), "MODELS\\HUT.BIN");
    ASSERT_GE(back.FindModelTexture("HUTWALL.RAW"), 0);

    // A viewed track is never saved or written.
    ScriptedPrompter prompter;
    EXPECT_FALSE(SaveBinary(back, dir / "copy.rvk", &prompter));
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.rvk"));
    EXPECT_FALSE(BuildTrackPod(back, dir / "copy.pod", dir.path(), &prompter).written);
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.pod"));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_NE(prompter.shown[0].find("viewing only"), std::string::npos);

    // An index beyond the tracks loads nothing and leaves the track empty.
    EXPECT_FALSE(back.Load(dir / "farm.pod", 1));
    EXPECT_FALSE(back.podViewMode);
    EXPECT_EQ(back.trackName.str(), "new track");
    EXPECT_EQ(back.counts().objects, 0);
    EXPECT_FALSE(back.Load(dir / "missing.pod", 0));
}

TEST(PodLoad, TheSecondOfTwoSituationItemsReadsTheSameWay) {
    CTrackPOD source;
    richTrack(source);
    std::string sit = "NONE.lvl\r\n!Race Track Name\r\nSecond Track\r\nRace Track Locale\r\nhere\r\n";
    PodFixture pod({{"WORLD\\FIRST.SIT", blobOf("NONE.lvl\r\n!Race Track Name\r\nFirst Track\r\n")},
                    {"WORLD\\SECOND.SI2", blobOf(sit)}});
    EXPECT_EQ(ListPodSituationFiles(pod.path()).tracks.size(), 2u);
    CTrackPOD back;
    ASSERT_TRUE(back.Load(pod.path(), 1));
    EXPECT_EQ(back.trackName.str(), "Second Track");
    EXPECT_EQ(back.situationSi2, 1u);

    // A cut pod whose second situation item lies past its end does not load
    // as an empty track shown as if it had been read.
    const auto size = std::filesystem::file_size(pod.path());
    std::filesystem::resize_file(pod.path(), size - 10);
    EXPECT_FALSE(back.Load(pod.path(), 1));
    EXPECT_FALSE(back.podViewMode);
    EXPECT_EQ(back.trackName.str(), "new track");
    ASSERT_TRUE(back.Load(pod.path(), 0));
    EXPECT_EQ(back.trackName.str(), "First Track");
}

TEST(PodExtract, WritesOnlyInsideTheFoldersAndLeavesExistingFiles) {
    TempDir dir;
    const auto art = dir / "art", models = dir / "models";
    std::filesystem::create_directories(art);
    std::filesystem::create_directories(models);
    test::writeBytes(art / "old.raw", {1, 2, 3});
    PodFixture pod({{"ART\\NEW.RAW", blobOf("new")},
                    {"ART\\OLD.RAW", blobOf("replacement")},
                    {"ART\\SUB\\DEEP.PNG", blobOf("deep")},
                    {"MODELS\\HUT.BIN", blobOf("hut")},
                    {"ART\\..\\x", blobOf("outside")},
                    {"ART\\/abs", blobOf("absolute")},
                    {"MODELS\\C:\\x", blobOf("drive")},
                    {"ART\\sub\\..\\..\\x", blobOf("climb")},
                    {"DATA\\OTHER.RAW", blobOf("not art")}});
    CTrackPOD viewed;
    ASSERT_TRUE(OpenPodDirectory(viewed, pod.pod(), pod.path()));
    viewed.podPath.set(pod.path().string());

    ScriptedPrompter no;
    no.answers = {false};
    EXPECT_FALSE(ExtractPodArt(viewed, art, models, no).ran);
    EXPECT_FALSE(std::filesystem::exists(art / "NEW.RAW"));

    ScriptedPrompter yes;
    yes.answers = {true};
    ExtractResult result = ExtractPodArt(viewed, art, models, yes);
    EXPECT_TRUE(result.ran);
    EXPECT_EQ(result.written, 3);
    EXPECT_EQ(result.existing, 1);
    EXPECT_EQ(result.unsafe, 4);
    EXPECT_EQ(yes.shown.back(), std::string(kExtractCaption) + ": 4 entries were skipped: their names would reach outside the art or models folder.\n\n");
    std::ifstream old(art / "old.raw", std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(old), {}), (std::vector<char>{1, 2, 3}));
    EXPECT_TRUE(std::filesystem::exists(art / "NEW.RAW"));
    EXPECT_TRUE(std::filesystem::exists(art / "SUB" / "DEEP.PNG"));
    EXPECT_TRUE(std::filesystem::exists(models / "HUT.BIN"));
    int everything = 0;
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.path())) everything += e.is_regular_file();
    EXPECT_EQ(everything, 4); // old.raw and the three new files
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));

    // An entry reaching past the end of the pod is never read; a file that
    // cannot be written is reported and leaves nothing behind.
    test::writeBytes(art / "BLOCKED", {7});
    PodFixture odd({{"ART\\LONG.RAW", blobOf("long")}, {"ART\\BLOCKED\\X.RAW", blobOf("x")}});
    CTrackPOD oddView;
    ASSERT_TRUE(OpenPodDirectory(oddView, odd.pod(), odd.path()));
    oddView.podPath.set(odd.path().string());
    oddView.podDirectory[0].size = 1u << 30;
    ScriptedPrompter again;
    again.answers = {true};
    result = ExtractPodArt(oddView, art, models, again);
    EXPECT_EQ(result.pastEnd, 1);
    EXPECT_EQ(result.failed, std::vector<std::string>{"ART\\BLOCKED\\X.RAW"});
    EXPECT_FALSE(std::filesystem::exists(art / "LONG.RAW"));
    EXPECT_NE(again.shown.back().find("could not be written"), std::string::npos);

    CTrackPOD empty;
    ScriptedPrompter told;
    EXPECT_FALSE(ExtractPodArt(empty, art, models, told).ran);
    EXPECT_EQ(told.shown.back(), std::string(kExtractCaption) + ": " + kNoItemsToExtractMessage);
    viewed.podPath.set((dir / "gone.pod").string());
    EXPECT_FALSE(ExtractPodArt(viewed, art, models, told).ran);
    EXPECT_EQ(told.shown.back(), std::string(kExtractCaption) + ": " + kCantAccessSourcePodMessage);
}

#ifndef _WIN32 // making links needs rights a Windows user rarely has
// A link that already sits inside the art folder leads out of it: an entry
// through that link, or onto a link to a file outside, is not written.
TEST(PodExtract, NeverFollowsALinkOutOfTheFolder) {
    TempDir dir;
    const auto art = dir / "art", models = dir / "models", outside = dir / "outside";
    for (const auto& folder : {art, models, outside}) std::filesystem::create_directories(folder);
    std::filesystem::create_directory_symlink(outside, art / "LINK");
    std::filesystem::create_directory_symlink(art / "INNER", art / "SAME");
    std::filesystem::create_directories(art / "INNER");
    std::filesystem::create_symlink(outside / "target.raw", art / "DANGLING.RAW");
    PodFixture pod({{"ART\\LINK\\EVIL.RAW", blobOf("evil")},
                    {"ART\\DANGLING.RAW", blobOf("evil")},
                    {"ART\\SAME\\GOOD.RAW", blobOf("good")}});
    CTrackPOD viewed;
    ASSERT_TRUE(OpenPodDirectory(viewed, pod.pod(), pod.path()));
    viewed.podPath.set(pod.path().string());
    ScriptedPrompter yes;
    yes.answers = {true};
    const ExtractResult result = ExtractPodArt(viewed, art, models, yes);
    EXPECT_EQ(result.unsafe, 1);
    EXPECT_EQ(result.existing, 1); // the link's own name is taken
    EXPECT_EQ(result.written, 1);
    EXPECT_TRUE(std::filesystem::is_empty(outside));
    EXPECT_TRUE(std::filesystem::is_symlink(art / "DANGLING.RAW"));
    EXPECT_TRUE(std::filesystem::exists(art / "INNER" / "GOOD.RAW"));
}
#endif

// A viewed pod holds the frames its model lists name, as Extract writes
// them, and takes a description only from the file the level file names.
TEST(PodLoad, ViewingLoadsListedFramesAndOnlyTheNamedDescription) {
    TempDir dir;
    CTrackPOD source;
    richTrack(source);
    auto list = std::make_unique<Model>();
    ASSERT_TRUE(list->read("MODELS\\WAVING.BIN", test::modelList({"FRAME1.BIN", "FRAME2.BIN"})));
    source.models[1] = std::move(list);
    for (size_t slot : {2u, 3u}) {
        auto frame = std::make_unique<Model>();
        ASSERT_TRUE(frame->read("MODELS\\FRAME" + std::to_string(slot - 1) + ".BIN", test::tinyModel("HUTWALL.RAW")));
        source.models[slot] = std::move(frame);
    }
    auto flag = std::make_unique<TrackObject>();
    flag->type = kObjectTree;
    flag->modelName.set("MODELS\\WAVING.BIN");
    source.objects[size_t(lowestEmptySlot(source.objects))] = std::move(flag);
    ASSERT_TRUE(source.pictures.descriptionText.empty());
    ASSERT_FALSE(source.pictures.infoDescription.empty()); // written as DATA\FARMROAD.TXT
    ASSERT_TRUE(BuildTrackPod(source, dir / "farm.pod", dir / "no-art", nullptr).ok);

    CTrackPOD back;
    ASSERT_TRUE(back.Load(dir / "farm.pod", 0));
    EXPECT_EQ(back.counts().models, 4);
    EXPECT_GE(back.FindModel("FRAME1.BIN"), 0);
    EXPECT_GE(back.FindModel("FRAME2.BIN"), 0);
    EXPECT_TRUE(back.pictures.descriptionText.empty());
    EXPECT_EQ(back.pictures.infoDescription, blobOf("information"));

    source.SetDescriptionText(blobOf("the course"));
    ASSERT_TRUE(BuildTrackPod(source, dir / "described.pod", dir / "no-art", nullptr).ok);
    ASSERT_TRUE(back.Load(dir / "described.pod", 0));
    EXPECT_EQ(back.pictures.descriptionText, blobOf("the course"));
}
