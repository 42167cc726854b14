#include "trackart/TextureFolderFiles.h"

#include "art/Texture.h"
#include "art/TextureFolder.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

struct TextureFolders : ::testing::Test {
    test::TempDir art;
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    TextureAddParams params{art.path(), false};
};

} // namespace

TEST_F(TextureFolders, LoadingAPngBuildsItsRawAndActUnlessKeepHdIsOn) {
    test::writeGradientPng(art / "GRASS.PNG", 64);
    test::ScriptedPrompter prompter;
    const int slot = LoadTextureFiles(*track, {art / "GRASS.PNG"}, params, prompter);
    ASSERT_GE(slot, 0) << (prompter.shown.empty() ? "" : prompter.shown[0]);
    EXPECT_EQ(track->terrainTextures[size_t(slot)]->name().view(), "ART\\GRASS.RAW");
    EXPECT_EQ(track->terrainTextures[size_t(slot)]->width(), 64);
    EXPECT_TRUE(fs::exists(art / "GRASS.RAW"));
    EXPECT_TRUE(fs::exists(art / "GRASS.ACT"));
    EXPECT_EQ(fs::file_size(art / "GRASS.RAW"), 4096u);

    EXPECT_EQ(LoadTextureFiles(*track, {art / "GRASS.PNG"}, params, prompter), -1);
    EXPECT_EQ(prompter.shown.back(), ": Texture \"GRASS.RAW\" already loaded.");

    test::writeGradientPng(art / "SAND.PNG", 128);
    params.keepHdArtOnly = true;
    const int sand = LoadTextureFiles(*track, {art / "SAND.PNG"}, params, prompter);
    ASSERT_GE(sand, 0);
    EXPECT_EQ(track->terrainTextures[size_t(sand)]->width(), 64); // the legacy side of 128
    EXPECT_FALSE(fs::exists(art / "SAND.RAW"));
    EXPECT_FALSE(fs::exists(art / "SAND.ACT"));
}

TEST_F(TextureFolders, NormalMapsAndBadNamesAreRefused) {
    test::writeGradientPng(art / "ROAD_N.PNG", 64);
    Outcome outcome;
    EXPECT_EQ(AddTextureFile(*track, art / "ROAD_N.PNG", "ROAD_N.RAW", params, outcome), -1);
    EXPECT_EQ(outcome.caption, kNormalMapCaption);
    EXPECT_EQ(outcome.message.rfind("\"ROAD_N.PNG\" is a NORMAL MAP, not a texture.", 0), 0u);
    EXPECT_NE(outcome.message.find("Add \"ROAD\" instead"), std::string::npos);
    EXPECT_FALSE(fs::exists(art / "ROAD_N.RAW"));

    test::writeBytes(art / "odd.raw", std::vector<uint8_t>(1000, 1)); // not a texture size: silent
    EXPECT_EQ(AddTextureFile(*track, art / "odd.raw", "odd.raw", params, outcome), -1);
    EXPECT_TRUE(outcome.message.empty());
    test::writeBytes(art / "averyveryverylongname.raw", std::vector<uint8_t>(4096, 1));
    EXPECT_EQ(AddTextureFile(*track, art / "averyveryverylongname.raw", "averyveryverylongname.raw", params, outcome), -1);
    EXPECT_EQ(outcome.caption, kTextureNameTooLongCaption);

    EXPECT_EQ(TextureNameProblem("a b").message, "Invalid character(s) in name!");
    EXPECT_EQ(TextureNameProblem("a.b").caption, kTextureNameCaption);
    EXPECT_TRUE(TextureNameProblem("GRASS2").ok);
}

TEST_F(TextureFolders, DeletingAndRenamingFilesOfTheArtFolder) {
    test::writeBytes(art / "ROAD.RAW", std::vector<uint8_t>(4096, 1));
    test::writeBytes(art / "ROAD_N.RAW", std::vector<uint8_t>(4096, 1));
    test::writeBytes(art / "MUD.raw", std::vector<uint8_t>(4096, 1));
    test::writeBytes(art / "MUD.act", std::vector<uint8_t>(768, 1));
    Outcome outcome;
    ASSERT_GE(AddTextureFile(*track, art / "ROAD.RAW", "ROAD.RAW", params, outcome), 0);

    test::ScriptedPrompter prompter;
    EXPECT_FALSE(DeleteTextureFile(*track, art.path(), "ROAD_N.RAW", prompter));
    EXPECT_EQ(prompter.shown.back().rfind("Normal map: \"ROAD_N.RAW\" is the NORMAL MAP for \"ROAD\"", 0), 0u);
    EXPECT_FALSE(DeleteTextureFile(*track, art.path(), "ROAD.RAW", prompter));
    EXPECT_EQ(prompter.shown.back(), ": Texture \"ROAD.RAW\" is being used!");
    EXPECT_TRUE(fs::exists(art / "ROAD.RAW"));

    EXPECT_EQ(RenameTextureFile(*track, art.path(), "MUD.raw", "ROAD").message,
              "Name is not unique.\nPlease try a different name.");
    ASSERT_TRUE(RenameTextureFile(*track, art.path(), "MUD.raw", "clay.raw").ok);
    EXPECT_TRUE(fs::exists(art / "clay.raw") && fs::exists(art / "clay.act"));
    EXPECT_FALSE(fs::exists(art / "MUD.raw"));
    // A palette of another texture is in the way of clay.act: nothing is renamed.
    test::writeBytes(art / "Stone.ACT", std::vector<uint8_t>(768, 9));
    EXPECT_EQ(RenameTextureFile(*track, art.path(), "clay.raw", "stone").message,
              "Name is not unique.\nPlease try a different name.");
    EXPECT_EQ(test::fileBytes(art / "Stone.ACT"), std::vector<uint8_t>(768, 9));
    EXPECT_TRUE(fs::exists(art / "clay.raw") && fs::exists(art / "clay.act"));

    // A model texture counts as a use too.
    test::writeBytes(art / "BARK.RAW", std::vector<uint8_t>(4096, 2));
    auto bark = std::make_unique<Texture>();
    const std::vector<uint8_t> pixels(4096, 2);
    bark->setPicture("ART\\BARK.RAW", 64, 64, pixels.data());
    track->modelTextures[0] = std::move(bark);
    EXPECT_FALSE(DeleteTextureFile(*track, art.path(), "BARK.RAW", prompter));
    EXPECT_FALSE(RenameTextureFile(*track, art.path(), "BARK.RAW", "WOOD").ok);
    EXPECT_TRUE(fs::exists(art / "BARK.RAW"));

    prompter.answers = {false};
    EXPECT_FALSE(DeleteTextureFile(*track, art.path(), "clay.raw", prompter));
    prompter.answers = {true};
    EXPECT_TRUE(DeleteTextureFile(*track, art.path(), "clay.raw", prompter));
    EXPECT_EQ(prompter.shown.back(), "Delete Texture: Sure you want to permanently delete \"clay.raw\"?");
    EXPECT_FALSE(fs::exists(art / "clay.raw") || fs::exists(art / "clay.act"));
}

TEST_F(TextureFolders, AddPagePassesOverNormalMapsAndStopsAtAFileThatDoesNotLoad) {
    for (const char* name : {"ROAD.RAW", "ROAD_N.RAW", "SAND.RAW"})
        test::writeBytes(art / name, std::vector<uint8_t>(4096, 1));
    const std::vector<std::string> page = ListArtFolder(art.path());
    ASSERT_EQ(page, (std::vector<std::string>{"ROAD.RAW", "ROAD_N.RAW", "SAND.RAW"}));
    test::ScriptedPrompter prompter;
    EXPECT_EQ(AddTexturePage(*track, page, params, prompter), 2);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
    EXPECT_GE(track->FindTexture("SAND.RAW"), 0);
    EXPECT_LT(track->FindTexture("ROAD_N.RAW"), 0);

    test::writeBytes(art / "BAD.RAW", std::vector<uint8_t>(1000, 1));
    test::writeBytes(art / "MUD.RAW", std::vector<uint8_t>(4096, 1));
    EXPECT_EQ(AddTexturePage(*track, {"BAD.RAW", "MUD.RAW"}, params, prompter), 0);
    EXPECT_EQ(prompter.shown.back(), ": Error loading \"BAD.RAW\"!");
    EXPECT_LT(track->FindTexture("MUD.RAW"), 0);
}

// Names taken from file names keep the rules of a typed name, and a refused
// picture leaves no legacy copy behind.
TEST_F(TextureFolders, FileNamesFollowTheTextureNameRules) {
    test::writeGradientPng(art / "my grass.png", 64);
    test::writeBytes(art / "my.rock.raw", std::vector<uint8_t>(4096, 1));
    test::ScriptedPrompter prompter;
    EXPECT_EQ(LoadTextureFiles(*track, {art / "my grass.png"}, params, prompter), -1);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back(), ": Invalid character(s) in name!");
    EXPECT_FALSE(fs::exists(art / "my grass.RAW"));
    EXPECT_EQ(LoadTextureFiles(*track, {art / "my.rock.raw"}, params, prompter), -1);
    EXPECT_EQ(prompter.shown.back(),
              std::string(kTextureNameCaption) + ": A texture name cannot contain a dot - leave the extension off.");

    Outcome outcome;
    EXPECT_EQ(AddTexturePage(*track, {"my grass.png", "my.rock.raw"}, params, prompter), 0);
    EXPECT_EQ(AddTextureFile(*track, art / "my.rock.raw", "SUB\\ROCK.RAW", params, outcome), -1);
    EXPECT_EQ(outcome.message, "Invalid character(s) in name!");
    for (const auto& texture : track->terrainTextures) EXPECT_FALSE(texture);
}
