#include "edit/TerrainBitmap.h"

#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;

namespace {

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t u16At(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
void putU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::unique_ptr<CTrackPOD> patternTrack() {
    auto t = std::make_unique<CTrackPOD>();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            t->terrain.heights[size_t(y * 256 + x)] = uint8_t((x + 3 * y) & 255);
    return t;
}

// A bitmap block of 8-bit pixels made by hand: `pixel(x, row from the top)`,
// stored bottom-up for a positive height and top-down for a negative one.
template <typename Pixel> std::vector<uint8_t> handBlock(int32_t height, Pixel pixel) {
    std::vector<uint8_t> b(kTerrainBitmapBlockSize, 0);
    putU32(b, 0, 40);
    putU32(b, 4, 256);
    putU32(b, 8, uint32_t(height));
    b[12] = 1;
    b[14] = 8;
    for (int row = 0; row < 256; ++row) {
        const int stored = height < 0 ? row : 255 - row;
        for (int x = 0; x < 256; ++x)
            b[1064 + size_t(stored * 256 + x)] = pixel(x, row);
    }
    return b;
}

} // namespace

TEST(TerrainBitmap, CopyMakesTheSixtySixThousandSixHundredByteBlock) {
    auto t = patternTrack();
    const std::vector<uint8_t> block = CopyTerrainAsBitmap(*t).toBlock();
    ASSERT_EQ(block.size(), 66600u);
    EXPECT_EQ(u32At(block, 0), 40u);
    EXPECT_EQ(u32At(block, 4), 256u);
    EXPECT_EQ(u32At(block, 8), 256u);
    EXPECT_EQ(u16At(block, 12), 1);
    EXPECT_EQ(u16At(block, 14), 8);
    EXPECT_EQ(u32At(block, 16), 0u);
    EXPECT_EQ(u32At(block, 20), 65536u);
    EXPECT_EQ(u32At(block, 24), 1000u);
    EXPECT_EQ(u32At(block, 28), 1000u);
    EXPECT_EQ(u32At(block, 32), 256u);
    EXPECT_EQ(u32At(block, 36), 256u);
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(u32At(block, 40 + 4 * i), uint32_t(i * 0x010101)) << i;
    // Grid row 0 is the bottom row, which a bottom-up bitmap stores first.
    EXPECT_TRUE(std::equal(t->terrain.heights.begin(), t->terrain.heights.end(), block.begin() + 1064));
}

TEST(TerrainBitmap, OutAndBackLeavesTheMapUnchanged) {
    auto t = patternTrack();
    const std::vector<uint8_t> original = t->terrain.heights;
    const std::vector<uint8_t> block = CopyTerrainAsBitmap(*t).toBlock();
    std::fill(t->terrain.heights.begin(), t->terrain.heights.end(), 9);
    TerrainUndo undo;
    EXPECT_TRUE(PasteTerrainBitmapBlock(*t, block, undo).ok);
    EXPECT_EQ(t->terrain.heights, original);
    EXPECT_TRUE(undo.available);
    UndoTerrainEdit(*t, undo);
    EXPECT_EQ(t->terrain.heights[0], 9);

    // And through a BMP file.
    const std::vector<uint8_t> file = BmpFileOfDib(CopyTerrainAsBitmap(*patternTrack()));
    ASSERT_EQ(file.size(), 66614u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32At(file, 2), 66614u);
    EXPECT_EQ(u32At(file, 10), 1078u);
    auto dib = DibOfBmpFile(file);
    ASSERT_TRUE(dib);
    EXPECT_TRUE(PasteTerrainBitmap(*t, *dib, undo).ok);
    EXPECT_EQ(t->terrain.heights, original);
}

TEST(TerrainBitmap, RowsFollowTheSignOfTheHeight) {
    // A picture whose top row is bright and the rest dark: the top row is
    // grid row 255 whichever way the rows are stored.
    auto picture = [](int x, int row) { return uint8_t(row == 0 ? 200 : x & 15); };
    for (int32_t height : {256, -256}) {
        auto t = std::make_unique<CTrackPOD>();
        TerrainUndo undo;
        ASSERT_TRUE(PasteTerrainBitmapBlock(*t, handBlock(height, picture), undo).ok) << height;
        EXPECT_EQ(t->terrain.height(10, 255), 200) << height;
        EXPECT_EQ(t->terrain.height(17, 0), 1) << height;
        EXPECT_EQ(t->terrain.height(17, 254), 1) << height;
    }
}

TEST(TerrainBitmap, UnsuitableBitmapsAreRefusedWithTheMessage) {
    const std::string message =
        "Sorry, Bitmap must be un-compressed,\n\t\t\t\t\t8-bit, and 256 x 256 pixels.";
    EXPECT_EQ(kTerrainBitmapMessage, message);
    auto flat = [](int, int) { return uint8_t(50); };
    auto t = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    auto refused = [&](std::vector<uint8_t> block) {
        const Outcome outcome = PasteTerrainBitmapBlock(*t, block, undo);
        return !outcome.ok && outcome.message == message && outcome.caption.empty();
    };

    std::vector<uint8_t> shortBlock = handBlock(256, flat);
    shortBlock.pop_back(); // 66,599 bytes: one pixel short
    EXPECT_TRUE(refused(shortBlock));
    EXPECT_TRUE(refused(std::vector<uint8_t>(shortBlock.begin(), shortBlock.begin() + 1064)));
    EXPECT_TRUE(
        refused(std::vector<uint8_t>(shortBlock.begin(), shortBlock.begin() + 20))); // not even a header

    std::vector<uint8_t> compressed = handBlock(256, flat);
    putU32(compressed, 16, 1);
    EXPECT_TRUE(refused(compressed));
    std::vector<uint8_t> fourBit = handBlock(256, flat);
    fourBit[14] = 4;
    EXPECT_TRUE(refused(fourBit));
    std::vector<uint8_t> narrow = handBlock(256, flat);
    putU32(narrow, 4, 255);
    EXPECT_TRUE(refused(narrow));
    std::vector<uint8_t> low = handBlock(-255, flat);
    EXPECT_TRUE(refused(low));

    EXPECT_FALSE(undo.available);
    EXPECT_EQ(t->terrain.heights[1000], kDefaultHeight);
    // The palette is ignored: the pixel indices are the heights.
    std::vector<uint8_t> coloured = handBlock(256, flat);
    for (size_t i = 40; i < 1064; ++i)
        coloured[i] = 0xee;
    EXPECT_TRUE(PasteTerrainBitmapBlock(*t, coloured, undo).ok);
    EXPECT_EQ(t->terrain.heights[1000], 50);
}

TEST(TerrainBitmap, BmpReaderFollowsTheFileHeaderAndSurvivesDamage) {
    // A file whose bits start after a gap: the offset in the file header wins.
    std::vector<uint8_t> file = BmpFileOfDib(CopyTerrainAsBitmap(*patternTrack()));
    file.insert(file.begin() + 1078, 16, 0xff);
    putU32(file, 10, 1078 + 16);
    auto dib = DibOfBmpFile(file);
    ASSERT_TRUE(dib);
    auto t = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    ASSERT_TRUE(PasteTerrainBitmap(*t, *dib, undo).ok);
    EXPECT_EQ(t->terrain.heights, patternTrack()->terrain.heights);

    EXPECT_FALSE(DibOfBmpFile(std::vector<uint8_t>{'B', 'M', 0, 0}));
    std::vector<uint8_t> notBmp = file;
    notBmp[0] = 'X';
    EXPECT_FALSE(DibOfBmpFile(notBmp));
    // A header promising far more than the file holds reads only what is there.
    putU32(file, 14 + 8, 0x7fffffff);
    dib = DibOfBmpFile(file);
    ASSERT_TRUE(dib);
    EXPECT_LE(dib->bits.size(), file.size());
    EXPECT_FALSE(PasteTerrainBitmap(*t, *dib, undo).ok);
}

TEST(TerrainBitmap, OtherProgramsPicturesArePresentedAsEightBit) {
    // A 24-bit picture whose pixels are all grey: indices become the grey levels.
    DibImage grey;
    grey.width = 256;
    grey.height = -256;
    grey.bitCount = 24;
    grey.bits.resize(256 * 256 * 3);
    for (int row = 0; row < 256; ++row)
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c)
                grey.bits[size_t((row * 256 + x) * 3 + c)] = uint8_t(row == 0 ? 222 : x);
    auto t = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    EXPECT_FALSE(PasteTerrainBitmap(*t, grey, undo).ok); // as it stands, 24 bits
    const DibImage presented = PresentAsPalettedPicture(grey);
    EXPECT_EQ(presented.bitCount, 8);
    EXPECT_EQ(presented.palette.size(), 256u);
    ASSERT_TRUE(PasteTerrainBitmap(*t, presented, undo).ok);
    EXPECT_EQ(t->terrain.height(5, 255), 222); // the top row
    EXPECT_EQ(t->terrain.height(77, 3), 77);

    // A 32-bit picture of three colours: an 8-bit bitmap with exactly those colours.
    DibImage few;
    few.width = 4;
    few.height = 2;
    few.bitCount = 32;
    const uint8_t pixels[8][4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0},
                                  {0, 0, 255, 0}, {0, 0, 255, 0}, {0, 0, 255, 0}, {0, 0, 255, 0}};
    for (const auto& p : pixels)
        few.bits.insert(few.bits.end(), p, p + 4);
    const DibImage eight = PresentAsPalettedPicture(few);
    EXPECT_EQ(eight.bitCount, 8);
    EXPECT_EQ(eight.colorsUsed, 3u);
    ASSERT_EQ(eight.palette.size(), 3u);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(eight.pixel(x, row), few.pixel(x, row)) << x << "," << row;

    // More than 256 colours keep their depth, and the paste refuses them.
    DibImage many = grey;
    for (size_t i = 0; i < many.bits.size(); i += 3)
        many.bits[i] = uint8_t(i / 3 / 256 + 1);
    EXPECT_EQ(PresentAsPalettedPicture(many).bitCount, 24);
}
