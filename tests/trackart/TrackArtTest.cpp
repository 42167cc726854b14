#include "trackart/TrackArt.h"

#include "base/ByteWriter.h"
#include "base/Trace.h"
#include "model/NewTrack.h"

#include "TestModels.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ravok;
namespace fs = std::filesystem;
using ravok::test::binModel;
using ravok::test::modelList;

namespace {

std::vector<uint8_t> rawTexture(int side, uint8_t value) { return std::vector<uint8_t>(size_t(side) * side, value); }

struct ArtFixture : ::testing::Test {
    test::TempDir root;
    fs::path art = root / "art", models = root / "models", trackFolder = root / "tracks";
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    void SetUp() override {
        fs::create_directories(art);
        fs::create_directories(models);
        fs::create_directories(trackFolder / "Art");
        NewMtm2Track(*track);
        for (auto& t : track->terrainTextures) t.reset(); // only the textures each test adds
    }
    Texture& addTexture(const std::string& name) {
        auto t = std::make_unique<Texture>();
        t->setName(name);
        int slot = track->AddTerrainTexture(std::move(t));
        return *track->terrainTextures[size_t(slot)];
    }
    Model& addModel(const std::string& name) {
        for (auto& m : track->models)
            if (!m) {
                m = std::make_unique<Model>();
                m->setName(name);
                return *m;
            }
        throw std::runtime_error("model table full");
    }
};

} // namespace

TEST_F(ArtFixture, TexturesComeFromTheProbesInOrder) {
    test::writeBytes(trackFolder / "Art" / "Grass.Raw", rawTexture(64, 3)); // only in the track's ART folder
    test::writeBytes(art / "STONE.PNG", std::vector<uint8_t>(100, 1));      // not a texture square...
    test::writeBytes(art / "stone.raw", rawTexture(128, 5));                // ...so the .RAW is taken
    test::writeBytes(art / "sky.raw", rawTexture(32, 7));
    Texture& grass = addTexture("ART\\GRASS.RAW");
    Texture& stone = addTexture("ART\\STONE.PNG");
    Texture& sky = addTexture("ART\\SKY.RAW");
    Texture& escape = addTexture("..\\..\\ETC\\PASSWD");

    BadReport report;
    EXPECT_FALSE(LoadTextures(*track, art, report)); // the grass is not found without a track folder
    EXPECT_TRUE(grass.bad);
    EXPECT_EQ(grass.width(), 64);
    EXPECT_EQ(stone.name().view(), "ART\\STONE.RAW");
    EXPECT_EQ(stone.width(), 128);
    EXPECT_EQ(sky.width(), 32);
    EXPECT_EQ(report.text(), "Bad texture ART\\GRASS.RAW\r\nBad texture ..\\..\\ETC\\PASSWD\r\n");

    grass.dropPixels();
    track->filePath.set((trackFolder / "mytrack.rvk").string());
    BadReport again;
    LoadTextures(*track, art, again);
    EXPECT_FALSE(grass.bad);
    EXPECT_EQ(grass.width(), 64);
    EXPECT_TRUE(escape.bad); // a name reaching outside its folder is never opened
    EXPECT_TRUE(again.empty()); // textures that have pixels, placeholders included, are not loaded again
}

TEST_F(ArtFixture, PalettesBesideRawFilesMapOntoTheTrackPalette) {
    // Index 1 is pure red in each texture's own palette; without a palette file
    // index 1 is the default palette's dark grey.
    auto actWithRedAt1 = [](size_t size) {
        std::vector<uint8_t> act(size, 0);
        act[3] = 255;
        return act;
    };
    test::writeBytes(art / "SHORT.RAW", rawTexture(64, 1));
    test::writeBytes(art / "SHORT.ACT", actWithRedAt1(6));    // two entries only
    test::writeBytes(art / "LONG.RAW", rawTexture(64, 1));
    test::writeBytes(art / "LONG.ACT", actWithRedAt1(8192));  // data after the colours
    test::writeBytes(art / "NONE.RAW", rawTexture(64, 1));
    Texture& shortAct = addTexture("ART\\SHORT.RAW");
    Texture& longAct = addTexture("ART\\LONG.RAW");
    Texture& none = addTexture("ART\\NONE.RAW");
    BadReport report;
    ASSERT_TRUE(LoadTextures(*track, art, report)) << report.text();
    auto mapped = [&](const PaletteColours& own) {
        std::vector<uint8_t> pixel{1};
        RemapToTrackPalette(track->palette, pixel, own);
        return pixel[0];
    };
    PaletteColours redAt1 = DefaultPalette();
    redAt1[1] = {255, 0, 0};
    const uint8_t red = mapped(redAt1), grey = mapped(DefaultPalette());
    ASSERT_NE(red, grey);
    EXPECT_EQ(shortAct.pixels()[0], red);
    EXPECT_EQ(longAct.pixels()[0], red);
    EXPECT_EQ(none.pixels()[0], grey);
}

TEST_F(ArtFixture, TheReportStopsAfterThirtyTwoLines) {
    for (int i = 0; i < 40; ++i) addTexture("ART\\MISSING" + std::to_string(i) + ".RAW");
    std::vector<std::string> traced;
    auto old = setTraceSink([&](const std::string& line) { traced.push_back(line); });
    BadReport report;
    EXPECT_FALSE(LoadTextures(*track, art, report));
    setTraceSink(old);
    const std::string& text = report.text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 33);
    EXPECT_TRUE(text.ends_with("Bad texture ART\\MISSING31.RAW\r\n(more...)\r\n"));
    ASSERT_FALSE(traced.empty());
    EXPECT_EQ(traced.front(), "CTrackPOD::LoadTextures: 40 textures, art folder \"" + art.string() + "\"");
    EXPECT_EQ(traced.back(), "CTrackPOD::LoadTextures: done - 40 textures, 40 BAD");
    EXPECT_EQ(traced[1], "  disk tex \"ART\\MISSING0.RAW\": not found in any probe location - marked BAD");
    EXPECT_EQ(CountBadArt(*track).badTextures, 40);
}

TEST_F(ArtFixture, ModelsTheirTexturesFramesAndObjects) {
    test::writeBytes(models / "hut.bin", binModel({"wood.raw", "wood.raw", "wood.raw", "roof.raw"}));
    test::writeBytes(models / "Anim.BIN", modelList({"frame1", "frame2"}));
    test::writeBytes(models / "FRAME1.BIN", binModel({"wood.raw"}));
    test::writeBytes(models / "frame2.bin", binModel({"glass.raw"}));
    test::writeBytes(art / "WOOD.RAW", rawTexture(64, 1));
    test::writeBytes(art / "roof.raw", rawTexture(64, 2));
    addModel("MODELS\\HUT.BIN");
    addModel("MODELS\\ANIM.BIN");
    addModel("MODELS\\GONE.BIN");
    auto object = std::make_unique<TrackObject>();
    object->modelName.set("MODELS\\HUT.BIN");
    TrackObject* placed = object.get();
    track->AddObject(std::move(object));

    BadReport report;
    EXPECT_FALSE(LoadModels(*track, models, art, report));
    EXPECT_EQ(track->models[0]->facets().size(), 4u);
    EXPECT_EQ(placed->model, track->models[0].get());
    // The list's frames got slots after it and were read in the same pass.
    ASSERT_TRUE(track->models[3]);
    EXPECT_EQ(track->models[3]->name().view(), "MODELS\\FRAME1");
    EXPECT_EQ(track->models[3]->facets().size(), 1u);
    EXPECT_EQ(track->models[4]->name().view(), "MODELS\\FRAME2");
    // One model texture per name, however many facets use it.
    EXPECT_EQ(track->counts().modelTextures, 3);
    EXPECT_EQ(track->modelTextures[0]->name().view(), "ART\\WOOD.RAW");
    EXPECT_FALSE(track->modelTextures[0]->bad);
    EXPECT_TRUE(track->modelTextures[2]->bad); // glass
    EXPECT_EQ(report.text(), "Bad model MODELS\\GONE.BIN\r\nBad model MODELS\\FRAME2\r\n    GLASS.RAW\r\n");
    EXPECT_EQ(track->models[0]->sourcePath(), models / "hut.bin");
}

TEST_F(ArtFixture, StadiumBackdropSetsTheArenaOrigin) {
    test::writeBytes(models / "ARENA.BIN", binModel({}, -50));
    track->backdrop = std::make_unique<Model>();
    track->backdrop->setName("MODELS\\ARENA.BIN");
    track->stadiumFlag = 1;
    BadReport report;
    EXPECT_TRUE(LoadModels(*track, models, art, report));
    EXPECT_EQ(track->arenaOriginX, 4096 >> 12);
    EXPECT_EQ(track->arenaOriginY, 2048 >> 12);
}

TEST_F(ArtFixture, HdPicturesStandInForMissingRawFiles) {
    const std::string png = (art / "Lava.png").string();
    ASSERT_EQ(std::system(("convert -seed 3 -size 128x128 plasma:fractal '" + png + "' 2>/dev/null").c_str()), 0);
    ASSERT_EQ(std::system(("cp '" + png + "' '" + (art / "GLOW.PNG").string() + "'").c_str()), 0);
    test::writeBytes(models / "rock.bin", binModel({"glow.png"}));
    Texture& lava = addTexture("ART\\LAVA.RAW");
    addModel("MODELS\\ROCK.BIN");

    track->hdSourceCallback = ArtFolderHdSource(art);
    std::vector<std::string> traced;
    auto old = setTraceSink([&](const std::string& line) { traced.push_back(line); });
    BadReport report;
    EXPECT_TRUE(LoadTextures(*track, art, report));
    EXPECT_TRUE(LoadModels(*track, models, art, report));
    setTraceSink(old);
    EXPECT_EQ(lava.width(), 64); // a 128 x 128 picture gives a 64 x 64 legacy texture
    EXPECT_FALSE(lava.bad);
    ASSERT_TRUE(track->modelTextures[0]);
    EXPECT_EQ(track->modelTextures[0]->name().view(), "ART\\GLOW.RAW");
    EXPECT_NE(std::find(traced.begin(), traced.end(),
                        "  disk tex \"ART\\LAVA.RAW\": no .RAW, rebuilt 64x64 from its HD source"),
              traced.end());
    EXPECT_NE(std::find(traced.begin(), traced.end(),
                        "  model tex \"ART\\GLOW.PNG\": no .RAW, rebuilt 64x64 from its HD source as \"ART\\GLOW.RAW\""),
              traced.end());

    // Without the hook the same track has BAD textures, which filling then builds.
    lava.dropPixels();
    track->hdSourceCallback = nullptr;
    BadReport plain;
    EXPECT_FALSE(LoadTextures(*track, art, plain));
    EXPECT_TRUE(lava.bad);
    auto filled = FillHdOnlyTextures(*track, art);
    EXPECT_EQ(filled.filled, 1);
    EXPECT_FALSE(lava.bad);
    EXPECT_EQ(lava.width(), 64);

    // Bringing the fallbacks up to date writes the .RAW and .ACT beside the picture.
    auto updated = UpdateHdTexturesOfTrack(*track, art);
    EXPECT_EQ(updated.converted, 2);
    EXPECT_EQ(fs::file_size(art / "LAVA.RAW"), 4096u);
    EXPECT_EQ(fs::file_size(art / "LAVA.ACT"), 768u);
    EXPECT_EQ(UpdateHdTexturesOfTrack(*track, art).converted, 0); // now up to date
}

TEST_F(ArtFixture, ChangedModelsAreReloadedWithTheirTextures) {
    test::writeBytes(models / "hut.bin", binModel({"wood.raw"}));
    test::writeBytes(art / "wood.raw", rawTexture(64, 1));
    test::writeBytes(art / "tin.raw", rawTexture(64, 2));
    Model& hut = addModel("MODELS\\HUT.BIN");
    BadReport report;
    ASSERT_TRUE(LoadModels(*track, models, art, report));
    EXPECT_EQ(RefreshChangedModels(*track, art), 0);

    test::writeBytes(models / "hut.bin", binModel({"wood.raw", "tin.raw"}));
    fs::last_write_time(models / "hut.bin", fs::file_time_type::clock::now() + std::chrono::seconds(30));
    EXPECT_EQ(RefreshChangedModels(*track, art), 1);
    EXPECT_EQ(hut.facets().size(), 2u);
    EXPECT_EQ(track->counts().modelTextures, 2);
}

// A file that is found but is no model is as bad as a missing one: reported,
// counted, and without bytes that a pod would carry.
TEST_F(ArtFixture, AFileThatIsNoModelCountsBad) {
    test::writeBytes(models / "junk.bin", std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'd', 'e', 'l'});
    test::writeBytes(models / "hut.bin", binModel({}));
    addModel("MODELS\\JUNK.BIN");
    addModel("MODELS\\HUT.BIN");
    BadReport report;
    EXPECT_FALSE(LoadModels(*track, models, art, report));
    EXPECT_EQ(report.text(), "Bad model MODELS\\JUNK.BIN\r\n");
    EXPECT_TRUE(track->models[0]->fileBytes().empty());
    EXPECT_FALSE(track->models[1]->fileBytes().empty());
    EXPECT_EQ(CountBadArt(*track).badModels, 1);
}
