#include "trackart/TrackPaletteChange.h"
#include "trackart/TrackPaletteOptimiser.h"

#include "base/FileIO.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

PaletteColours ramp() {
    PaletteColours c{};
    for (int i = 0; i < 256; ++i) c[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    return c;
}

struct TrackPalettes : ::testing::Test {
    test::TempDir art;
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    void SetUp() override {
        NewMtm2Track(*track);
        for (auto& t : track->terrainTextures) t.reset();
    }
    // A 64 x 64 texture in the art folder: the top half index 1, the bottom index 2.
    int addTexture(const std::string& stem, RgbColour dark, RgbColour bright) {
        std::vector<uint8_t> raw(4096, 1);
        std::fill(raw.begin() + 2048, raw.end(), uint8_t(2));
        std::vector<uint8_t> act(768, 0);
        act[3] = dark.r, act[4] = dark.g, act[5] = dark.b;
        act[6] = bright.r, act[7] = bright.g, act[8] = bright.b;
        test::writeBytes(art / (stem + ".RAW"), raw);
        test::writeBytes(art / (stem + ".ACT"), act);
        auto t = std::make_unique<Texture>();
        t->setPicture("ART\\" + stem + ".RAW", 64, 64, raw.data());
        return track->AddTerrainTexture(std::move(t));
    }
};

} // namespace

TEST_F(TrackPalettes, OneTextureUsedEverywhereWeighsEighteenDoubleWhenBright) {
    EXPECT_EQ(TerrainTextureWeight(65536, 64), 18);
    EXPECT_EQ(TerrainTextureWeight(0, 256), 2);
    EXPECT_EQ(ModelTextureWeight(25, 64), 20);
    const RgbColour dark{40, 40, 40}, bright{240, 240, 240};
    ASSERT_EQ(addTexture("GRASS", dark, bright), 0); // every cell shows slot 0
    EXPECT_EQ(CountTextureUsage(*track).terrain[0], 65536);
    auto histogram = BuildPaletteHistogram(*track, art.path());
    ASSERT_TRUE(histogram);
    EXPECT_EQ((*histogram)[size_t(HistogramCell(dark))], 18u * 2048);
    EXPECT_EQ((*histogram)[size_t(HistogramCell(bright))], 36u * 2048);
}

TEST_F(TrackPalettes, OptimisedPaletteLayoutAndBlackNeverTakesAnEntry) {
    EXPECT_FALSE(OptimisedPalette(*track, art.path())); // no texture at all
    addTexture("GRASS", {0, 0, 0}, {200, 100, 50});
    auto palette = OptimisedPalette(*track, art.path());
    ASSERT_TRUE(palette);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ((*palette)[size_t(i)], kSystemPaletteColours[size_t(i)]);
        EXPECT_EQ((*palette)[size_t(246 + i)], kSystemPaletteColours[size_t(10 + i)]);
    }
    EXPECT_EQ((*palette)[10], (RgbColour{63, 0, 0}));
    EXPECT_EQ((*palette)[37], (RgbColour{255, 255, 255}));
    // One more colour besides the primaries: the texture's (its cell's colour); black gets none.
    EXPECT_EQ((*palette)[38], (RgbColour{207, 103, 55}));
    EXPECT_EQ((*palette)[39], (RgbColour{0, 0, 0}));
    EXPECT_EQ(std::count(palette->begin() + 38, palette->begin() + 246, RgbColour{7, 7, 7}), 0);
}

TEST(TrackPaletteOptimiser, ManyColoursReduceTo220Cells) {
    std::vector<uint64_t> histogram(kHistogramCells, 0);
    for (int cell = 0; cell < kHistogramCells; cell += 3) histogram[size_t(cell)] = uint64_t(1 + cell % 97);
    const PaletteColours palette = PaletteFromHistogram(histogram);
    // 208 entries (38..245) are free for the kept cells; all are used and distinct.
    std::vector<RgbColour> free(palette.begin() + 38, palette.begin() + 246);
    auto key = [](RgbColour c) { return c.r << 16 | c.g << 8 | c.b; };
    std::sort(free.begin(), free.end(), [&](RgbColour a, RgbColour b) { return key(a) < key(b); });
    EXPECT_EQ(std::adjacent_find(free.begin(), free.end()), free.end());
    for (const RgbColour& c : free) EXPECT_EQ(c.r % 8, 7);
}

TEST_F(TrackPalettes, OkInstallsTheColoursKeepsThemPastTheNextOpenAndRemapsEveryTexture) {
    const int slot = addTexture("GRASS", {10, 200, 10}, {250, 250, 250});
    PaletteColours chosen = ramp();
    chosen[250] = {1, 2, 3}; // the fixed colours win at 246..255
    const PaletteReloadResult r = ApplyTrackPalette(*track, chosen, art.path());
    EXPECT_TRUE(r.changed && r.texturesOk);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(track->palette[246 + i], FixedColours[size_t(i)]);
    EXPECT_EQ(track->palette[7], chosen[7]);
    ASSERT_EQ(track->fogMap.size(), 32768u);
    EXPECT_EQ(track->fogMap[0], 16);
    // The game set-up that follows an Open keeps a Custom palette.
    track->SetUpMtm2();
    EXPECT_EQ(track->palette[7], chosen[7]);
    // The texture was read again and remapped onto the new palette.
    const Texture& t = *track->terrainTextures[size_t(slot)];
    PaletteColours own{};
    own[1] = {10, 200, 10};
    std::vector<uint8_t> expected{1};
    RemapToTrackPalette(track->palette, expected, own);
    EXPECT_EQ(t.pixels()[0], expected[0]);

    const DisplayColourIndices d = DisplayColourIndicesFor(track->palette);
    EXPECT_EQ(d.background, track->palette.NearestPaletteIndex(192, 192, 192));
    EXPECT_EQ(d.grid, track->palette.NearestPaletteIndex(64, 128, 0));
}

TEST_F(TrackPalettes, ChangePaletteBuildsTheFogTableAndKeepsTexturesFoundNowhere) {
    const int slot = addTexture("GRASS", {10, 200, 10}, {250, 250, 250});
    fs::remove(art / "GRASS.RAW");
    const RgbColour before = track->palette[track->terrainTextures[size_t(slot)]->pixels()[0]];
    const PaletteReloadResult r = ChangePalette(*track, 5, std::nullopt, art.path());
    ASSERT_TRUE(r.changed);
    EXPECT_EQ(track->fogMap[0], 5);
    EXPECT_EQ(track->palette[20], (*GamePaletteColours(5))[20]);
    EXPECT_FALSE(r.texturesOk);
    EXPECT_NE(r.textureReport.find("Bad texture ART\\GRASS.RAW"), std::string::npos);
    EXPECT_EQ(r.keptInMemory, 1);
    const Texture& t = *track->terrainTextures[size_t(slot)];
    EXPECT_EQ(t.bad, 0u);
    const RgbColour after = track->palette[t.pixels()[0]];
    EXPECT_LT(std::abs(after.g - before.g) + std::abs(after.r - before.r), 80);

    EXPECT_FALSE(ChangePalette(*track, 16, std::nullopt, art.path()).changed); // no custom palette yet
    ASSERT_TRUE(ChangePalette(*track, 0, std::nullopt, art.path()).changed);
    EXPECT_EQ(track->fogMap, DefaultFogMap());
    NewMtm1Track(*track);
    EXPECT_FALSE(ChangePalette(*track, 3, std::nullopt, art.path()).changed);
}

// Cancel on the progress dialog stops the reload after the first texture.
TEST_F(TrackPalettes, ACancelledReloadKeepsEveryPicture) {
    struct CancelledSink : ProgressSink {
        void setRange(int) override {}
        void setPosition(int) override {}
        void step() override {}
        void setText(const std::string&) override {}
        void setCaption(const std::string&) override {}
        bool cancelled() const override { return true; }
    } sink;
    const int first = addTexture("GRASS", {10, 200, 10}, {250, 250, 250});
    const int second = addTexture("ROCK", {90, 90, 90}, {200, 200, 200});
    fs::remove(art / "ROCK.RAW"); // only in memory
    const PaletteReloadResult r = ChangePalette(*track, 5, std::nullopt, art.path(), &sink);
    ASSERT_TRUE(r.changed);
    for (int slot : {first, second}) {
        const Texture& t = *track->terrainTextures[size_t(slot)];
        EXPECT_TRUE(t.hasPixels()) << slot;
        EXPECT_EQ(t.bad, 0u) << slot;
    }
}
