#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A device-independent bitmap as the clipboard carries it (CF_DIB): the
// 40-byte information header, the colour table and the pixel rows. The Qt
// clipboard adapter converts it to and from pictures; the terrain's bitmap
// commands apply their rules to its fields.
namespace ravok {

struct DibImage {
    static constexpr uint32_t kInfoHeaderSize = 40;
    static constexpr uint32_t kBitFields = 3; // compression with three colour masks after a 40-byte header

    // Header fields, in the order of the block.
    uint32_t headerSize = kInfoHeaderSize;
    int32_t width = 0;
    int32_t height = 0; // positive: rows stored bottom-up; negative: top-down
    uint16_t planes = 1;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
    uint32_t colorsUsed = 0, colorsImportant = 0;
    // Red, green and blue masks of bit-field compression: the 12 bytes at
    // offset 40 of the block (after a 40-byte header, or inside a longer one).
    std::array<uint32_t, 3> masks{};
    // Colour table entries as stored: blue, green, red, 0.
    std::vector<std::array<uint8_t, 4>> palette;
    // Pixel rows in storage order, each padded to a multiple of 4 bytes. May
    // be shorter than the header promises when the block was.
    std::vector<uint8_t> bits;

    bool topDown() const { return height < 0; }
    int64_t absWidth() const { return width < 0 ? -int64_t(width) : int64_t(width); }
    int64_t absHeight() const { return height < 0 ? -int64_t(height) : int64_t(height); }
    // Bytes of one stored row: width x bits per pixel rounded up to 4 bytes.
    int64_t stride() const { return ((absWidth() * bitCount + 31) / 32) * 4; }
    // Stored row of picture row `row` counted from the top.
    int64_t storedRow(int64_t row) const { return topDown() ? row : absHeight() - 1 - row; }
    // The pixels' bytes promised by the header: stride x |height| (saturating).
    int64_t pixelBytes() const;
    // Red, green, blue of the pixel at (x, row from the top) for uncompressed
    // 1-, 4-, 8-, 24- and 32-bit pictures whose bits are all there.
    std::optional<std::array<uint8_t, 3>> pixel(int64_t x, int64_t row) const;

    // The block: header, colour table, then the bits.
    std::vector<uint8_t> toBlock() const;
    // Reads a block. Nullopt when it cannot hold the header it announces
    // (at least 40 bytes). The colour table holds what the header names
    // (colours used, or 2^bits for up to 8 bits, at most 256 entries) as far
    // as the block goes; the bits are whatever follows, up to what the header
    // promises.
    static std::optional<DibImage> fromBlock(std::span<const uint8_t> block);
};

// A BMP file is the 14-byte file header ("BM", file size, two reserved
// words, offset of the bits) followed by the block.
constexpr size_t kBmpFileHeaderSize = 14;
std::vector<uint8_t> BmpFileOfDib(const DibImage& dib);
// Reads a BMP file; the bits are taken from the file header's offset when it
// points inside the file past the header. Nullopt without the "BM" header or
// a readable information header.
std::optional<DibImage> DibOfBmpFile(std::span<const uint8_t> file);

// The picture as the clipboard adapter presents what other programs offer:
// one whose pixels are all grey becomes an 8-bit bitmap whose index is the
// grey level (palette entry i = grey i); one of at most 256 colours an 8-bit
// bitmap with exactly those colours (in the order they first appear from the
// top row); anything else, or a picture whose pixels cannot be read, is kept
// as it is. Rows keep the picture's order (bottom-up or top-down).
DibImage PresentAsPalettedPicture(const DibImage& picture);

} // namespace ravok
