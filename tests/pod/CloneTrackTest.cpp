#include "pod/CloneTrack.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "pod/PodArchive.h"
#include "pod/SituationFile.h"
#include "pod/TrackPodBuild.h"
#include "trackart/TrackArt.h"

#include "PodFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::richTrack;
using ravok::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Mixed letter case as a Windows installation leaves it: "World", "levels",
// "Data", and file names in lower case.
std::string mixedCasePath(const std::string& podName) {
    std::string path = podName;
    const size_t slash = path.find('\\');
    std::string folder = path.substr(0, slash), rest = lowerCase(path.substr(slash + 1));
    if (folder == "WORLD") folder = "World";
    else if (folder == "LEVELS") folder = "levels";
    else if (folder == "DATA") folder = "Data";
    else folder = lowerCase(folder);
    for (char& c : rest)
        if (c == '\\') c = '/';
    return folder + "/" + rest;
}

// Writes the track's pod items loose into a game folder, as the games'
// installations keep tracks that are not packed.
void installLoose(CTrackPOD& source, const fs::path& game) {
    TempDir scratch;
    ASSERT_TRUE(BuildTrackPod(source, scratch / "t.pod", scratch / "no-art", nullptr).ok);
    CTrackPOD directory;
    PodFile pod;
    ASSERT_TRUE(OpenPodDirectory(directory, pod, scratch / "t.pod"));
    for (const auto& entry : directory.podDirectory) {
        ASSERT_TRUE(pod.seek(entry.offset)) << PodEntryName(entry);
        auto bytes = ReadPodItem(pod, entry);
        ASSERT_TRUE(bytes);
        const fs::path file = game / mixedCasePath(PodEntryName(entry));
        fs::create_directories(file.parent_path());
        test::writeBytes(file, *bytes);
    }
}

struct GameFolder {
    TempDir dir;
    fs::path game = dir / "Game Folder";
    fs::path sit = game / "World" / "farmroad.sit";
};

} // namespace

TEST(CloneTrack, ClonesALooseTrackFromAMixedCaseGameFolder) {
    GameFolder g;
    CTrackPOD source;
    richTrack(source);
    installLoose(source, g.game);
    ASSERT_TRUE(fs::exists(g.sit));

    CTrackPOD clone;
    std::string message;
    ASSERT_TRUE(CloneFromGameFolder(clone, g.sit, message)) << message;
    EXPECT_FALSE(clone.podViewMode); // a clone is an editable track
    EXPECT_EQ(clone.WorldName.str(), "FARMROAD2");
    EXPECT_EQ(clone.worldNameFromTrackName, 0);
    EXPECT_EQ(clone.trackName.str(), "Farm Road");
    EXPECT_EQ(clone.terrain.heights, source.terrain.heights);
    EXPECT_EQ(clone.terrain.textures, source.terrain.textures);
    EXPECT_EQ(clone.counts().objects, 3);
    EXPECT_EQ(clone.counts().groundBoxes, 1);
    ASSERT_EQ(clone.mainCourse.segments.size(), 1u);
    EXPECT_EQ(clone.mainCourse.segments[0].end, (std::array<int32_t, 3>{500, 600, 70}));
    // Textures are empty slots and models names only: both come from the editor's folders.
    ASSERT_TRUE(clone.terrainTextures[1]);
    EXPECT_EQ(clone.terrainTextures[1]->name(), "ART\\TEX1.RAW");
    ASSERT_TRUE(clone.models[0]);
    EXPECT_EQ(clone.models[0]->name().str(), "MODELS\\HUT.BIN");
    EXPECT_TRUE(CloneCylinderWarning(clone).empty());

    // With the candidate's level file alone present the next number is taken;
    // the tests ignore letter case.
    test::writeBytes(g.game / "levels" / "FarmRoad2.lvl", {1});
    EXPECT_EQ(CloneStem(g.game, "FARMROAD"), "FARMROAD3");
    test::writeBytes(g.game / "World" / "farmroad3.Si2", {1});
    EXPECT_EQ(CloneStem(g.game, "FARMROAD"), "FARMROAD4");
}

TEST(CloneTrack, GameFoldersWithAccentedNamesAreReadFrom) {
    TempDir dir;
    const fs::path game = dir.path() / fs::path(u8"Jeux d\u00e9mo \u00c5");
    fs::create_directories(game / "Data");
    test::writeBytes(game / "Data" / "farm.raw", {4, 5, 6});
    EXPECT_EQ(GameFolderOf(game / "World" / "FARM.SIT"), game);

    FolderItemSource source(game);
    auto item = source.find("DATA\\FARM.RAW");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->size, 3u);
    auto bytes = source.read(*item, 100);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, Blob({4, 5, 6}));
}

TEST(CloneTrack, AnMtm1SourceBecomesAnMtm2Track) {
    GameFolder g;
    CTrackPOD source;
    richTrack(source);
    source.GameFlags &= ~1u;
    ASSERT_FALSE(source.isMtm2());
    installLoose(source, g.game);

    CTrackPOD clone;
    std::string message;
    ASSERT_TRUE(CloneFromGameFolder(clone, g.sit, message)) << message;
    EXPECT_TRUE(clone.isMtm2());
    EXPECT_NE(SituationFileText(clone).find("!ambient sound,track length,weather mask"), std::string::npos);
}

TEST(CloneTrack, StemsAreShortenedToMakeRoomForTheNumber) {
    TempDir dir;
    const std::string stem = "ABCDEFGHIJKLMNOPQRST"; // 20 characters
    EXPECT_EQ(CloneStem(dir.path(), stem), "ABCDEFGHIJKLMNOPQRS2");
    fs::create_directories(dir / "world");
    for (int n = 2; n <= 9; ++n)
        test::writeBytes(dir / "world" / (lowerCase(stem.substr(0, 19)) + std::to_string(n) + ".sit"), {1});
    EXPECT_EQ(CloneStem(dir.path(), stem), "ABCDEFGHIJKLMNOPQR10");
}

TEST(CloneTrack, FailuresNameWhatIsMissingAndLeaveTheTrackEmpty) {
    GameFolder g;
    CTrackPOD source;
    richTrack(source);
    installLoose(source, g.game);

    CTrackPOD clone;
    std::string message;
    // Outside any WORLD folder (a folder merely ending in "world" is not one).
    fs::create_directories(g.dir / "myworld");
    fs::copy_file(g.sit, g.dir / "myworld" / "farmroad.sit");
    EXPECT_FALSE(CloneFromGameFolder(clone, g.dir / "myworld" / "farmroad.sit", message));
    EXPECT_EQ(message, "SIT not in proper location.");
    EXPECT_FALSE(CloneFromGameFolder(clone, g.game / "World" / "missing.sit", message));
    EXPECT_EQ(message, "Can't open SIT file!");

    // A level file that ends early names no texture list or lighting: the
    // clone fails on the first data file it lacks instead of starting a track
    // without them.
    const fs::path level = g.game / "levels" / "farmroad.lvl";
    const auto fullLevel = readWholeFile(level);
    ASSERT_TRUE(fullLevel);
    std::string text(fullLevel->begin(), fullLevel->end());
    size_t cut = 0;
    for (int line = 0; line < 5; ++line) cut = text.find("\r\n", cut) + 2; // format .. palette
    test::writeBytes(level, test::blobOf(text.substr(0, cut)));
    EXPECT_FALSE(CloneFromGameFolder(clone, g.sit, message));
    EXPECT_EQ(message, "Can't open TEX file!");
    cut = 0;
    for (int line = 0; line < 16; ++line) cut = text.find("\r\n", cut) + 2; // up to the fog table
    test::writeBytes(level, test::blobOf(text.substr(0, cut)));
    EXPECT_FALSE(CloneFromGameFolder(clone, g.sit, message));
    EXPECT_EQ(message, "Can't open LTE file!");
    EXPECT_EQ(clone.terrain.heights, CTrackPOD().terrain.heights);
    test::writeBytes(level, *fullLevel);
    ASSERT_TRUE(CloneFromGameFolder(clone, g.sit, message)) << message;

    // A missing ground-box layer.
    fs::remove(g.game / "Data" / "farmroad.ra1");
    EXPECT_FALSE(CloneFromGameFolder(clone, g.sit, message));
    EXPECT_EQ(message, "Error loading GroundBox layer!");
    EXPECT_EQ(clone.counts().objects, 0);
    EXPECT_EQ(clone.terrain.heights, CTrackPOD().terrain.heights);

    fs::remove(g.game / "levels" / "farmroad.lvl");
    EXPECT_FALSE(CloneFromGameFolder(clone, g.sit, message));
    EXPECT_EQ(message, "Can't open LVL file!");
}

TEST(CloneTrack, CylindersAreReportedAsLostOnSave) {
    CTrackPOD track;
    EXPECT_TRUE(CloneCylinderWarning(track).empty());
    track.cylinderCount = 2;
    track.cylinderText = "2\r\n";
    EXPECT_NE(CloneCylinderWarning(track).find("2 cylinders"), std::string::npos);
}

// The texture list holds "NULL.RAW" for an empty slot below the highest one
// in use: the clone leaves that slot empty, loads the rest from the art
// folder and packs again without a texture that was never there.
TEST(CloneTrack, AnEmptyTextureSlotStaysEmptyAndTheClonePacksAgain) {
    GameFolder g;
    CTrackPOD source;
    richTrack(source);
    source.terrainTextures[1].reset();
    installLoose(source, g.game);
    const Blob list = readWholeFile(g.game / "Data" / "farmroad.tex").value_or(Blob{});
    ASSERT_NE(std::string(list.begin(), list.end()).find("NULL.RAW"), std::string::npos);

    CTrackPOD clone;
    std::string message;
    ASSERT_TRUE(CloneFromGameFolder(clone, g.sit, message)) << message;
    EXPECT_FALSE(clone.terrainTextures[1]);
    ASSERT_TRUE(clone.terrainTextures[2]);
    EXPECT_EQ(clone.terrainTextures[2]->name(), "ART\\TEX2.RAW");
    EXPECT_EQ(clone.FindTexture("NULL.RAW"), -1);

    const fs::path art = g.dir / "art", models = g.dir / "models";
    fs::create_directories(art);
    fs::create_directories(models);
    for (const char* name : {"tex0.raw", "tex2.raw", "hutwall.raw"}) test::writeBytes(art / name, Blob(64 * 64, 3));
    test::writeBytes(models / "hut.bin", test::tinyModel("HUTWALL.RAW"));
    const auto loaded = LoadTrackArt(clone, art, models);
    EXPECT_TRUE(loaded.texturesOk) << loaded.textureReport;
    EXPECT_EQ(loaded.textureReport.find("NULL"), std::string::npos);

    const auto rebuilt = BuildTrackPod(clone, g.dir / "clone.pod", art, nullptr);
    EXPECT_TRUE(rebuilt.ok) << rebuilt.texturesNotPacked << rebuilt.itemsNotPacked;
    CTrackPOD written;
    PodFile pod;
    ASSERT_TRUE(OpenPodDirectory(written, pod, g.dir / "clone.pod"));
    for (const auto& entry : written.podDirectory) EXPECT_EQ(PodEntryName(entry).find("NULL.RAW"), std::string::npos);
}
