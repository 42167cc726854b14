#include "edit/TextureClipboard.h"

#include "base/FileIO.h"
#include "edit/DibImage.h"
#include "model/TrackPod.h"
#include "trackart/TextureFolderFiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// An 8-bit bitmap whose pixel (x, row from the top) is (x + row) mod 256,
// with a palette of entry i = (i, 255 - i, 7).
DibImage paletted(int w, int h, bool topDown = false) {
    DibImage d;
    d.width = w;
    d.height = topDown ? -h : h;
    d.bitCount = 8;
    for (int i = 0; i < 256; ++i) d.palette.push_back({7, uint8_t(255 - i), uint8_t(i), 0});
    d.bits.assign(size_t(d.pixelBytes()), 0);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) d.bits[size_t(d.storedRow(row) * d.stride() + x)] = uint8_t(x + row);
    return d;
}

DibImage trueColour(int w, int h, uint16_t bits) {
    DibImage d;
    d.width = w;
    d.height = h;
    d.bitCount = bits;
    d.bits.assign(size_t(d.pixelBytes()), 0);
    // Picture row 0 (stored last, bottom-up) has blue 1, green 2, red 3 at x = 0.
    uint8_t* top = d.bits.data() + d.storedRow(0) * d.stride();
    top[0] = 1, top[1] = 2, top[2] = 3;
    return d;
}

} // namespace

TEST(TextureClipboard, PasteTextureTakesOnly8Bit64Or256Squares) {
    EXPECT_EQ(CheckPasteTexture(nullptr).message, kNoClipboardBitmap);
    DibImage big = paletted(128, 128);
    EXPECT_EQ(CheckPasteTexture(&big).message, "Bitmap must be 64x64 or 256x256.");
    DibImage wide = paletted(256, 64);
    EXPECT_FALSE(CheckPasteTexture(&wide).ok);
    DibImage deep = trueColour(64, 64, 24);
    EXPECT_EQ(CheckPasteTexture(&deep).message, "Bitmap must be uncompressed, 8-bit.");
    DibImage rle = paletted(64, 64);
    rle.compression = 1;
    EXPECT_FALSE(CheckPasteTexture(&rle).ok);
    DibImage shortBits = paletted(64, 64);
    shortBits.bits.resize(100);
    EXPECT_FALSE(CheckPasteTexture(&shortBits).ok);
    DibImage good = paletted(64, 64);
    EXPECT_TRUE(CheckPasteTexture(&good).ok);
}

TEST(TextureClipboard, PastedTextureIsWrittenInItsOwnPaletteAndAdded) {
    test::TempDir art;
    auto track = std::make_unique<CTrackPOD>();
    test::writeBytes(art / "MUD.RAW", std::vector<uint8_t>(4096, 0));
    EXPECT_EQ(PastedTextureNameProblem(*track, art.path(), "mud.raw").message,
              "\"mud\" is not unique.\nPlease try a different name.");
    EXPECT_FALSE(PastedTextureNameProblem(*track, art.path(), ".raw").ok);
    EXPECT_EQ(PastedTextureNameProblem(*track, art.path(), "a b").message, "Invalid character(s) in name!");

    const DibImage dib = paletted(64, 64, true);
    Outcome outcome;
    const int slot = PasteTexture(*track, dib, "Gravel.bmp", {art.path(), false}, outcome);
    ASSERT_GE(slot, 0) << outcome.message;
    EXPECT_EQ(track->terrainTextures[size_t(slot)]->name().view(), "ART\\GRAVEL.RAW");
    auto raw = readWholeFile(art / "gravel.raw");
    auto act = readWholeFile(art / "gravel.act");
    ASSERT_TRUE(raw && act);
    EXPECT_EQ((*raw)[size_t(2 * 64 + 5)], 7); // rows top to bottom: (5 + 2)
    EXPECT_EQ((*act)[3 * 9], 9);
    EXPECT_EQ((*act)[3 * 9 + 1], 246);
    EXPECT_FALSE(PastedTextureNameProblem(*track, art.path(), "GRAVEL").ok);
}

TEST(TextureClipboard, PasteCompositeSourcesAndTheirRefusals) {
    CutSource s;
    EXPECT_FALSE(CutSourceFromClipboard(nullptr, s).ok);
    EXPECT_TRUE(CutSourceFromClipboard(nullptr, s).message.empty()); // the user picks a file instead

    DibImage sixteen = trueColour(100, 100, 16);
    const Outcome refused = CutSourceFromClipboard(&sixteen, s);
    EXPECT_EQ(refused.message, "The clipboard holds a 16-bit image.  Only 8-bit images (cut as legacy tiles) or 24 "
                               "and 32-bit ones (cut as HD tiles) can be used.");
    EXPECT_EQ(refused.caption, kPasteCompositeCaption);

    DibImage fields = trueColour(40, 30, 32);
    fields.compression = DibImage::kBitFields;
    fields.masks = {0xff0000, 0x00ff00, 0x0000ff};
    ASSERT_TRUE(CutSourceFromClipboard(&fields, s).ok);
    EXPECT_EQ(s.kind, CutSourceKind::TrueColour);
    EXPECT_EQ(s.name, "Clipboard");
    EXPECT_EQ(s.bgr[0], 1);
    EXPECT_EQ(s.bgr[2], 3);
    EXPECT_EQ(s.bgr[3], 0); // the fourth byte dropped
    // The masks survive the clipboard block.
    auto back = DibImage::fromBlock(fields.toBlock());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->masks, fields.masks);
    fields.masks = {0x0000ff, 0x00ff00, 0xff0000};
    EXPECT_EQ(CutSourceFromClipboard(&fields, s).message, "The clipboard image uses a colour layout Ravok does not read.");

    DibImage huge = trueColour(1, 1, 24);
    huge.width = 9000;
    EXPECT_EQ(CutSourceFromClipboard(&huge, s).message,
              "The clipboard image is 9000 x 1 - an image to cut textures from can be up to 8192 x 8192.");

    DibImage eight = paletted(300, 200);
    ASSERT_TRUE(CutSourceFromClipboard(&eight, s).ok);
    EXPECT_EQ(s.kind, CutSourceKind::Paletted);
    EXPECT_EQ(s.indices[size_t(1 * 300 + 4)], 5);
    EXPECT_EQ(s.palette[3 * 4], 4);
}
