#include "art/PictureSlots.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "edit/DibImage.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// A PNG whose left half is red and right half blue.
std::vector<uint8_t> png(int w, int h) {
    const size_t stride = DibStride(w);
    std::vector<uint8_t> bgr(stride * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bgr[size_t(y) * stride + size_t(x) * 3 + (x < w / 2 ? 2 : 0)] = 255;
    std::string message;
    return EncodePng(bgr.data(), w, h, stride, message).value();
}

// A BMP file built field by field: 8 bits with a grey palette, or 24/32 bits
// whose top row is red and the rest green.
std::vector<uint8_t> bmp(int w, int h, int bits, uint32_t compression = 0) {
    const int absH = h < 0 ? -h : h;
    const uint32_t stride = uint32_t(((w * bits + 31) / 32) * 4);
    const uint32_t paletteBytes = bits == 8 ? 1024 : 0;
    ByteWriter out;
    out.fixedText("BM", 2);
    out.u32LE(54 + paletteBytes + stride * uint32_t(absH));
    out.u32LE(0);
    out.u32LE(54 + paletteBytes);
    for (uint32_t v : {40u, uint32_t(w), uint32_t(h)}) out.u32LE(v);
    out.u16LE(1);
    out.u16LE(uint16_t(bits));
    for (uint32_t v : {compression, stride * uint32_t(absH), 0u, 0u, 0u, 0u}) out.u32LE(v);
    for (uint32_t i = 0; i < paletteBytes / 4; ++i) out.u32LE(i * 0x010101u);
    for (int row = 0; row < absH; ++row) {
        const bool top = h < 0 ? row == 0 : row == absH - 1;
        std::vector<uint8_t> line(stride, 0);
        for (int x = 0; x < w && bits > 8; ++x) line[size_t(x * bits / 8) + (top ? 2 : 1)] = 255;
        out.bytes(line);
    }
    return out.release();
}

int bmpWidth(const std::vector<uint8_t>& b) { return b[18] | b[19] << 8; }
int bmpHeight(const std::vector<uint8_t>& b) { return b[22] | b[23] << 8; }

const PictureSlotRules kBrowse = SlotRules(kBrowseSlot, true);
const PictureSlotRules kIcon = SlotRules(kIconSlot, true);
const PictureSlotRules kZoom = SlotRules(kIconSlot, false);
const PictureSlotRules kPhoto = SlotRules(kInfoPhotoSlot, true);

} // namespace

TEST(PictureSlots, HdArtKeepsTheOldShapeAndSize) {
    PictureSlot slot;
    auto accepted = LoadSlotPictureBytes(slot, kBrowse, png(514, 420), "big.png");
    ASSERT_TRUE(accepted.ok) << accepted.message;
    EXPECT_EQ(slot.hdExt, ".PNG");
    EXPECT_EQ(slot.hdArt, png(514, 420));
    ASSERT_GE(slot.bitmap.size(), 54u);
    EXPECT_EQ(bmpWidth(slot.bitmap), 257);
    EXPECT_EQ(bmpHeight(slot.bitmap), 210);
    EXPECT_EQ(slot.bitmap[28], 8);

    const PictureSlot before = slot;
    auto refused = LoadSlotPictureBytes(slot, kBrowse, png(514, 423), "tall.png");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.caption, kHdArtCaption);
    EXPECT_EQ(refused.message, "An HD browse picture has to keep the old shape, 257x210.  The game fits it into the "
                               "same box either way, so any other shape would not fill it the same.\n\nThat picture "
                               "is 514x423; at 514 wide it should be 420 high.");
    EXPECT_EQ(slot.hdArt, before.hdArt);
    EXPECT_EQ(slot.bitmap, before.bitmap);
    EXPECT_TRUE(LoadSlotPictureBytes(slot, kBrowse, png(514, 421), "one.png").ok) << "one pixel of tolerance";

    auto small = LoadSlotPictureBytes(slot, kPhoto, png(639, 479), "small.png");
    EXPECT_EQ(small.message, "An HD info photo must be at least the size of the old one, 640x480.\n\nThat picture is "
                             "639x479.");
}

TEST(PictureSlots, HdIconsHaveASideLimitOnMtm2Only) {
    PictureSlot slot;
    auto refused = LoadSlotPictureBytes(slot, kIcon, png(129, 97), "icon.png");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "An HD icon can be at most 128 pixels on a side - the game takes anything larger for a "
                               "track picture and shows the race-type icon instead.\n\nThat picture is 129x97.  At "
                               "the icon's shape the largest is 128x96.");
    EXPECT_TRUE(slot.hdArt.empty());
    ASSERT_TRUE(LoadSlotPictureBytes(slot, kIcon, png(128, 96), "icon.png").ok);
    EXPECT_EQ(bmpWidth(slot.bitmap), 32);
    EXPECT_EQ(bmpHeight(slot.bitmap), 24);
    // On MTM1 the slot is the 640 x 480 zoom picture, without a side limit.
    EXPECT_NE(LoadSlotPictureBytes(slot, kZoom, png(129, 97), "zoom.png").message.find("HD zoom picture must be at "
                                                                                       "least"),
              std::string::npos);
    EXPECT_TRUE(LoadSlotPictureBytes(slot, kZoom, png(1280, 960), "zoom.png").ok);
}

TEST(PictureSlots, EightBitPicturesFollowTheSlotRules) {
    PictureSlot slot{{}, png(128, 96), ".PNG"};
    ASSERT_TRUE(LoadSlotPictureBytes(slot, kIcon, bmp(48, 36, 8), "icon.bmp").ok);
    EXPECT_EQ(slot.bitmap, bmp(48, 36, 8));
    EXPECT_TRUE(slot.hdArt.empty() && slot.hdExt.empty()) << "an 8-bit picture drops the HD art";

    auto wide = LoadSlotPictureBytes(slot, kIcon, bmp(49, 36, 8), "icon.bmp");
    EXPECT_EQ(wide.message, "An icon bitmap can be at most 48 pixels on a side - the game takes anything larger for a "
                            "track picture and shows the race-type icon instead.\n\nThat bitmap is 49x36.");
    EXPECT_EQ(slot.bitmap, bmp(48, 36, 8));
    EXPECT_TRUE(LoadSlotPictureBytes(slot, kZoom, bmp(49, 36, 8), "zoom.bmp").ok) << "MTM1 has no icon rule";

    EXPECT_TRUE(LoadSlotPictureBytes(slot, kPhoto, bmp(640, -480, 8), "photo.bmp").ok) << "height without sign";
    EXPECT_EQ(LoadSlotPictureBytes(slot, kPhoto, bmp(641, 480, 8), "photo.bmp").message,
              "The info photo must be 640x480.\n\nThat bitmap is 641x480.");

    const std::string notEightBit = "Bitmap must be uncompressed 8-bit - or 24/32-bit, which becomes HD art.";
    EXPECT_EQ(LoadSlotPictureBytes(slot, kBrowse, bmp(8, 8, 8, 1), "rle.bmp").message, notEightBit);
    EXPECT_EQ(LoadSlotPictureBytes(slot, kBrowse, bmp(8, 8, 4), "four.bmp").message, notEightBit);
    auto truncated = bmp(20, 20, 8);
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(LoadSlotPictureBytes(slot, kBrowse, truncated, "short.bmp").message, notEightBit);
    EXPECT_EQ(LoadSlotPictureBytes(slot, kBrowse, std::vector<uint8_t>{'B', 'M'}, "tiny.bmp").message, notEightBit);
}

TEST(PictureSlots, TrueColourBitmapsBecomeHdArt) {
    for (int bits : {24, 32}) {
        PictureSlot slot;
        auto outcome = LoadSlotPictureBytes(slot, kBrowse, bmp(514, 420, bits), "photo.bmp");
        ASSERT_TRUE(outcome.ok) << bits << ": " << outcome.message;
        EXPECT_EQ(RecognisePicture(slot.hdArt), PictureKind::Png);
        EXPECT_EQ(slot.hdExt, ".PNG");
        std::string message;
        auto decoded = DecodePicture(slot.hdArt, "", false, message).value();
        ASSERT_EQ(decoded.width, 514);
        ASSERT_EQ(decoded.height, 420);
        // Bottom-up rows: the file's last row is the picture's top, which is red.
        EXPECT_EQ(decoded.rgb[0], 255);
        EXPECT_EQ(decoded.rgb[1], 0);
        EXPECT_EQ(decoded.rgb[decoded.rgb.size() - 2], 255) << "green below the top row";
        EXPECT_EQ(bmpWidth(slot.bitmap), 257);
    }
    PictureSlot slot;
    EXPECT_EQ(LoadSlotPictureBytes(slot, kIcon, bmp(129, 97, 24), "big.bmp").caption, kHdArtCaption)
        << "the HD rules apply to converted bitmaps";
}

TEST(PictureSlots, FilesAndTheClipboard) {
    test::TempDir dir;
    PictureSlot slot;
    EXPECT_EQ(LoadSlotPicture(slot, kBrowse, dir / "missing.bmp").message, "Cannot open that file.");
    test::writeBytes(dir / "browse.PNG", png(257, 210));
    ASSERT_TRUE(LoadSlotPicture(slot, kBrowse, dir / "browse.PNG").ok);
    EXPECT_FALSE(slot.hdArt.empty());
    test::writeBytes(dir / "fake.tga", bmp(48, 36, 8));
    EXPECT_EQ(LoadSlotPicture(slot, kBrowse, dir / "fake.tga").caption, kHdArtCaption)
        << "a picture name goes the HD path whatever the bytes";

    EXPECT_EQ(PasteSlotPicture(slot, kIcon, std::nullopt).message, "Can't get bitmap from clipboard");
    DibImage dib = *DibOfBmpFile(bmp(32, 24, 8));
    ASSERT_TRUE(PasteSlotPicture(slot, kIcon, BmpFileOfDib(dib)).ok);
    EXPECT_TRUE(slot.hdArt.empty());
    EXPECT_EQ(bmpWidth(slot.bitmap), 32);
    DibImage trueColour = *DibOfBmpFile(bmp(32, 24, 24));
    EXPECT_FALSE(PasteSlotPicture(slot, kIcon, BmpFileOfDib(trueColour)).ok) << "pasting takes 8-bit bitmaps only";
    DibImage big = *DibOfBmpFile(bmp(64, 48, 8));
    EXPECT_NE(PasteSlotPicture(slot, kIcon, BmpFileOfDib(big)).message.find("That bitmap is 64x48."),
              std::string::npos);
}

TEST(PictureSlots, SavingWritesTheChosenForm) {
    test::TempDir dir;
    PictureSlot empty;
    EXPECT_EQ(SaveSlotPicture(empty, kBrowse, SlotSaveForm::HdArt, dir / "x.png").message, "Nothing to save.");

    PictureSlot slot;
    ASSERT_TRUE(LoadSlotPictureBytes(slot, kBrowse, png(514, 420), "a.png").ok);
    EXPECT_EQ(HdArtSaveFilter(slot), "HD art (*.PNG)");
    EXPECT_EQ(SlotSavePath(dir / "out.png", slot, SlotSaveForm::EightBitCopy), dir / "out.bmp");
    EXPECT_EQ(SlotSavePath(dir / "out", slot, SlotSaveForm::HdArt), dir / "out.png");
    ASSERT_TRUE(SaveSlotPicture(slot, kBrowse, SlotSaveForm::HdArt, dir / "out.png").ok);
    EXPECT_EQ(readWholeFile(dir / "out.png"), slot.hdArt);
    ASSERT_TRUE(SaveSlotPicture(slot, kBrowse, SlotSaveForm::EightBitCopy, dir / "out.bmp").ok);
    EXPECT_EQ(readWholeFile(dir / "out.bmp"), slot.bitmap);

    slot.bitmap.clear(); // HD art kept alone: the copy is built for saving
    ASSERT_TRUE(SaveSlotPicture(slot, kBrowse, SlotSaveForm::EightBitCopy, dir / "copy.bmp").ok);
    EXPECT_EQ(bmpWidth(*readWholeFile(dir / "copy.bmp")), 257);
    EXPECT_EQ(SaveSlotPicture(slot, kBrowse, SlotSaveForm::HdArt, dir / "no" / "such" / "x.png").message,
              "Cannot write that file.");
}

TEST(PictureSlots, LabelsNameTheHdSize) {
    PictureSlot slot;
    EXPECT_EQ(SlotLabel(slot, kBrowse), "Browse Bitmap (257x210)");
    EXPECT_EQ(SlotLabel(slot, kIcon), "Icon Bitmap (32x24)");
    EXPECT_EQ(SlotLabel(slot, kZoom), "Zoom Bitmap (640x480)");
    EXPECT_EQ(SlotLabel(slot, kPhoto), "Info Photo (640x480)");
    slot.hdArt = png(640, 480);
    slot.hdExt = ".PNG";
    EXPECT_EQ(SlotLabel(slot, kBrowse), "Browse (HD 640x480)");
    EXPECT_EQ(SlotLabel(slot, kIcon), "Icon (HD 640x480)");
    EXPECT_EQ(SlotLabel(slot, kZoom), "Zoom (HD 640x480)");
    EXPECT_EQ(SlotLabel(slot, kPhoto), "Photo (HD 640x480)");
}

TEST(PictureSlots, StockIconsFillTheMtm2IconSlot) {
    ASSERT_GE(StockIcons().size(), 4u);
    for (const StockIcon& icon : StockIcons()) {
        ASSERT_GE(icon.bitmap.size(), 54u) << icon.name;
        EXPECT_EQ(bmpWidth(icon.bitmap), 32) << icon.name;
        EXPECT_EQ(bmpHeight(icon.bitmap), 24) << icon.name;
    }
    EXPECT_NE(StockIcons()[0].bitmap, StockIcons()[1].bitmap);
    PictureSlot slot{{}, png(128, 96), ".PNG"};
    EXPECT_FALSE(UseStockIcon(slot, kZoom, 0).ok);
    EXPECT_FALSE(UseStockIcon(slot, kIcon, int(StockIcons().size())).ok);
    ASSERT_TRUE(UseStockIcon(slot, kIcon, 1).ok);
    EXPECT_EQ(slot.bitmap, StockIcons()[1].bitmap);
    EXPECT_TRUE(slot.hdArt.empty());
}
