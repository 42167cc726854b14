#include "trackart/TextureCut.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "model/TrackPod.h"
#include "trackart/TextureFolderFiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// A true-colour picture whose red is the column (mod 256) and green the row.
CutSource trueColour(int w, int h) {
    CutSource s;
    s.kind = CutSourceKind::TrueColour;
    s.name = "big.png";
    s.width = w;
    s.height = h;
    s.stride = DibStride(w);
    s.bgr.assign(s.stride * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s.bgr[size_t(y) * s.stride + size_t(x) * 3 + 2] = uint8_t(x);
            s.bgr[size_t(y) * s.stride + size_t(x) * 3 + 1] = uint8_t(y);
        }
    return s;
}

// A palette picture whose index is the column (mod 256).
CutSource paletted(int w, int h) {
    CutSource s;
    s.kind = CutSourceKind::Paletted;
    s.name = "Clipboard";
    s.width = w;
    s.height = h;
    s.indices.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.indices[size_t(y * w + x)] = uint8_t(x);
    for (size_t i = 0; i < 768; ++i) s.palette[i] = uint8_t(i / 3);
    return s;
}

struct TextureCutting : ::testing::Test {
    test::TempDir art;
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    TextureAddParams params{art.path(), false};
    CutSettings settings;
    void SetUp() override {
        settings.baseName = "base.x";
        settings.tileSize = 256;
    }
};

} // namespace

TEST_F(TextureCutting, TheThousandBySixHundredCut) {
    const CutSource source = trueColour(1000, 600);
    EXPECT_EQ(CutSummaryLine(source, settings), "4 textures, BASE00 to BASE11.");
    EXPECT_EQ(CutSourceLine(source, settings),
              "big.png - 1000 x 600, true colour: HD tiles (.PNG), each with a .RAW/.ACT legacy copy made the way an "
              "imported one's is.");
    settings.columns = 4;
    EXPECT_EQ(CheckCutSettings(source, settings).message, "The last tile runs off the edge of the image.");
    settings.columns = 2;
    const CutResult cut = CutTextures(*track, source, settings, params);
    ASSERT_TRUE(cut.outcome.ok) << cut.outcome.message;
    EXPECT_EQ(cut.added, 4);
    for (const char* name : {"BASE00", "BASE10", "BASE01", "BASE11"}) {
        EXPECT_TRUE(fs::exists(art / (std::string(name) + ".PNG"))) << name;
        EXPECT_TRUE(fs::exists(art / (std::string(name) + ".RAW"))) << name;
        EXPECT_GE(track->FindTexture(std::string(name) + ".RAW"), 0) << name;
    }
    // Tile (1, 1) starts at (256, 256): its PNG's first pixel says so.
    std::string message;
    auto tile = DecodePictureFile(art / "BASE11.PNG", true, message);
    ASSERT_TRUE(tile) << message;
    EXPECT_EQ(tile->rgb[0], 0);   // red: column 256 mod 256
    EXPECT_EQ(tile->rgb[1], 0);   // green: row 256 mod 256
    EXPECT_EQ(tile->rgb[3], 1);   // the next column
}

TEST_F(TextureCutting, AUsedNameStopsEverythingBeforeTheFirstWrite) {
    const CutSource source = trueColour(1000, 600);
    test::writeBytes(art / "base11.tga", {1});
    const CutResult cut = CutTextures(*track, source, settings, params);
    EXPECT_FALSE(cut.outcome.ok);
    EXPECT_EQ(cut.outcome.message, "BASE11.TGA is already in the art folder.\n\nNothing has been written.  Choose "
                                   "another base name.");
    EXPECT_EQ(cut.outcome.caption, kPasteCompositeCaption);
    EXPECT_FALSE(fs::exists(art / "BASE00.PNG"));

    fs::remove(art / "base11.tga");
    test::writeBytes(art / "BASE01.RAW", std::vector<uint8_t>(4096, 0));
    Outcome added;
    ASSERT_GE(AddTextureFile(*track, art / "BASE01.RAW", "BASE01.RAW", params, added), 0);
    fs::remove(art / "BASE01.RAW");
    EXPECT_EQ(CheckCutNames(*track, art.path(), settings).message.rfind("The track already has a texture called BASE01.", 0), 0u);
}

TEST_F(TextureCutting, OverlapStepsSixtyForSixtyFourPixelTiles) {
    const CutSource source = paletted(300, 200);
    settings.tileSize = 64;
    settings.borderOverlap = true;
    EXPECT_EQ(CutOverlap(source, settings), 2);
    EXPECT_EQ(CutStep(source, settings), 60);
    ASSERT_TRUE(CutTextures(*track, source, settings, params).outcome.ok);
    auto raw = readWholeFile(art / "BASE10.RAW");
    ASSERT_TRUE(raw);
    ASSERT_EQ(raw->size(), 4096u);
    EXPECT_EQ((*raw)[0], 60); // tile (1, 0) starts at x = 60, in the picture's own indices
    auto act = readWholeFile(art / "BASE10.ACT");
    ASSERT_TRUE(act);
    EXPECT_EQ((*act)[3 * 60], 60);
    // True-colour PNG tiles never overlap.
    const CutSource hd = trueColour(300, 200);
    EXPECT_EQ(CutOverlap(hd, settings), 0);
    settings.output = CutOutput::RawAct;
    EXPECT_EQ(CutOverlap(hd, settings), 2);
}

TEST_F(TextureCutting, TileSizesByOutputKindAndTheOkChecks) {
    const CutSource small = trueColour(300, 200);
    EXPECT_EQ(OfferedTileSizes(small, CutOutput::Png), (std::vector<int>{32, 64, 128}));
    EXPECT_EQ(OfferedTileSizes(small, CutOutput::Tga), (std::vector<int>{32, 64, 128}));
    EXPECT_EQ(OfferedTileSizes(small, CutOutput::RawAct), (std::vector<int>{32, 64}));
    EXPECT_EQ(OfferedTileSizes(paletted(300, 200), CutOutput::Png), (std::vector<int>{32, 64}));
    EXPECT_EQ(ChooseTileSize({32, 64, 128}, 64), 64);
    EXPECT_EQ(ChooseTileSize({32, 64, 128, 256}, 1024), 256);
    EXPECT_EQ(ChooseTileSize({32, 64, 128}, 1024), 128);
    EXPECT_EQ(ChooseTileSize({}, 64), 0);
    EXPECT_EQ(TileSizeLabel(64), "64 x 64");
    EXPECT_EQ(CutTileName("AB", 15, 10), "ABFA");
    EXPECT_EQ(CutOutputFromSetting(7), CutOutput::Png);

    CutSettings s;
    EXPECT_EQ(CheckCutSettings({}, s).message, "Open an image to cut first.");
    EXPECT_EQ(CutSourceLine({}, s), "No image - use Open Image to choose a PNG or TGA.");
    const CutSource tiny = trueColour(20, 20);
    EXPECT_EQ(CheckCutSettings(tiny, s).message, "The image is smaller than the smallest tile.");
    EXPECT_EQ(CutSummaryLine(tiny, s), "The image is smaller than the smallest tile (32 x 32).");
    s.tileSize = 64;
    s.baseName = "  ";
    EXPECT_EQ(CheckCutSettings(small, s).message, "Please enter base name.");
    EXPECT_EQ(CutSummaryLine(small, s), "Enter a base name of up to 6 characters.");
    EXPECT_FALSE(CutSummaryReady(small, s));
    s.baseName = "road";
    s.columns = s.rows = 1;
    EXPECT_EQ(CheckCutSettings(small, s).message, "Must divide into at least 2 textures.");
    EXPECT_EQ(CutSummaryLine(small, s), "1 texture, ROAD00 to ROAD00.");
    s.columns = 17;
    EXPECT_FALSE(CheckCutSettings(trueColour(8192, 100), s).ok);
    s.columns = 2;
    s.left = 250;
    EXPECT_EQ(CutSummaryLine(small, s), "No whole tile fits from these offsets.");
    s.left = -1;
    EXPECT_EQ(CheckCutSettings(small, s).message, "The last tile runs off the edge of the image.");
    s.left = 0;
    s.baseName = "a/b";
    EXPECT_FALSE(CheckCutSettings(small, s).ok);
    s.output = CutOutput::Tga;
    s.keepHdArtOnly = true;
    EXPECT_EQ(CutSourceLine(small, s), "big.png - 300 x 200, true colour: HD tiles (.TGA) only - no .RAW/.ACT written; "
                                       "Ravok builds the 8-bit tile in memory.");
}
