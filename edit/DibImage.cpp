#include "edit/DibImage.h"

#include "base/ByteReader.h"
#include "base/ByteWriter.h"

#include <algorithm>
#include <limits>
#include <map>

namespace ravok {

namespace {

constexpr size_t kMaxPaletteEntries = 256;
constexpr size_t kBitFieldMaskBytes = 12;

// Where the colour table starts: after the header, and after the three
// colour masks that follow a 40-byte header with bit-field compression.
size_t paletteOffset(const DibImage& dib) {
    return dib.headerSize +
           (dib.compression == DibImage::kBitFields && dib.headerSize == DibImage::kInfoHeaderSize
                ? kBitFieldMaskBytes
                : 0);
}

size_t announcedPaletteEntries(const DibImage& dib) {
    size_t n = dib.colorsUsed;
    if (n == 0 && dib.bitCount >= 1 && dib.bitCount <= 8) n = size_t(1) << dib.bitCount;
    return std::min(n, kMaxPaletteEntries);
}

// The pixel bytes a block of `available` bytes can give: all the header
// promises, or what there is.
size_t bitsToTake(const DibImage& dib, size_t available) {
    const int64_t promised = dib.pixelBytes();
    return promised >= 0 && uint64_t(promised) < available ? size_t(promised) : available;
}

} // namespace

int64_t DibImage::pixelBytes() const {
    const int64_t s = stride(), h = absHeight();
    if (s != 0 && h > std::numeric_limits<int64_t>::max() / s) return std::numeric_limits<int64_t>::max();
    return s * h;
}

std::optional<std::array<uint8_t, 3>> DibImage::pixel(int64_t x, int64_t row) const {
    if (compression != 0 || x < 0 || x >= absWidth() || row < 0 || row >= absHeight()) return std::nullopt;
    const int64_t at = storedRow(row) * stride();
    auto fromPalette = [&](size_t index) -> std::optional<std::array<uint8_t, 3>> {
        if (index >= palette.size()) return std::nullopt;
        return std::array<uint8_t, 3>{palette[index][2], palette[index][1], palette[index][0]};
    };
    auto byteAt = [&](int64_t offset) -> std::optional<uint8_t> {
        if (offset < 0 || uint64_t(offset) >= bits.size()) return std::nullopt;
        return bits[size_t(offset)];
    };
    switch (bitCount) {
    case 1:
    case 4:
    case 8: {
        const int64_t bitOffset = x * bitCount;
        auto b = byteAt(at + bitOffset / 8);
        if (!b) return std::nullopt;
        const int shift = 8 - bitCount - int(bitOffset % 8);
        return fromPalette(size_t((*b >> shift) & ((1 << bitCount) - 1)));
    }
    case 24:
    case 32: {
        const int64_t p = at + x * (bitCount / 8);
        auto blue = byteAt(p), green = byteAt(p + 1), red = byteAt(p + 2);
        if (!blue || !green || !red) return std::nullopt;
        return std::array<uint8_t, 3>{*red, *green, *blue};
    }
    default:
        return std::nullopt;
    }
}

std::vector<uint8_t> DibImage::toBlock() const {
    ByteWriter out;
    out.reserve(paletteOffset(*this) + palette.size() * 4 + bits.size());
    out.u32LE(headerSize);
    out.i32LE(width);
    out.i32LE(height);
    out.u16LE(planes);
    out.u16LE(bitCount);
    out.u32LE(compression);
    out.u32LE(imageSize);
    out.i32LE(xPelsPerMeter);
    out.i32LE(yPelsPerMeter);
    out.u32LE(colorsUsed);
    out.u32LE(colorsImportant);
    size_t rest = paletteOffset(*this) - std::min<size_t>(paletteOffset(*this), kInfoHeaderSize);
    if (compression == kBitFields && rest >= kBitFieldMaskBytes) {
        for (uint32_t mask : masks) out.u32LE(mask);
        rest -= kBitFieldMaskBytes;
    }
    out.zeros(rest);
    for (const auto& entry : palette)
        out.bytes(entry.data(), entry.size());
    out.bytes(bits);
    return out.release();
}

std::optional<DibImage> DibImage::fromBlock(std::span<const uint8_t> block) {
    ByteReader in(block);
    DibImage dib;
    if (!in.readU32LE(dib.headerSize) || dib.headerSize < kInfoHeaderSize || dib.headerSize > block.size())
        return std::nullopt;
    in.readI32LE(dib.width);
    in.readI32LE(dib.height);
    in.readU16LE(dib.planes);
    in.readU16LE(dib.bitCount);
    in.readU32LE(dib.compression);
    in.readU32LE(dib.imageSize);
    in.readI32LE(dib.xPelsPerMeter);
    in.readI32LE(dib.yPelsPerMeter);
    in.readU32LE(dib.colorsUsed);
    in.readU32LE(dib.colorsImportant);
    if (!in.ok()) return std::nullopt;
    if (dib.compression == kBitFields && in.has(12))
        for (uint32_t& mask : dib.masks) in.readU32LE(mask);

    size_t at = std::min(paletteOffset(dib), block.size());
    const size_t entries = announcedPaletteEntries(dib);
    const size_t present = std::min(entries, (block.size() - at) / 4);
    dib.palette.resize(present);
    for (size_t i = 0; i < present; ++i)
        std::copy_n(block.begin() + std::ptrdiff_t(at + 4 * i), 4, dib.palette[i].begin());
    at = std::min(at + 4 * entries, block.size());
    const auto rest = block.subspan(at);
    dib.bits.assign(rest.begin(), rest.begin() + std::ptrdiff_t(bitsToTake(dib, rest.size())));
    return dib;
}

std::vector<uint8_t> BmpFileOfDib(const DibImage& dib) {
    const std::vector<uint8_t> block = dib.toBlock();
    ByteWriter out;
    out.reserve(kBmpFileHeaderSize + block.size());
    out.text("BM");
    out.u32LE(uint32_t(kBmpFileHeaderSize + block.size()));
    out.u16LE(0);
    out.u16LE(0);
    out.u32LE(uint32_t(kBmpFileHeaderSize + block.size() - dib.bits.size()));
    out.bytes(block);
    return out.release();
}

std::optional<DibImage> DibOfBmpFile(std::span<const uint8_t> file) {
    if (file.size() < kBmpFileHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    ByteReader in(file);
    uint32_t bitsOffset = 0;
    if (!in.seek(10) || !in.readU32LE(bitsOffset)) return std::nullopt;
    auto dib = DibImage::fromBlock(file.subspan(kBmpFileHeaderSize));
    if (!dib) return std::nullopt;
    if (bitsOffset >= kBmpFileHeaderSize + dib->headerSize && bitsOffset <= file.size()) {
        const auto rest = file.subspan(bitsOffset);
        dib->bits.assign(rest.begin(), rest.begin() + std::ptrdiff_t(bitsToTake(*dib, rest.size())));
    }
    return dib;
}

DibImage PresentAsPalettedPicture(const DibImage& picture) {
    const int64_t w = picture.absWidth(), h = picture.absHeight();
    if (picture.compression != 0 || w == 0 || h == 0 || picture.pixelBytes() > int64_t(picture.bits.size()))
        return picture;

    // One pass over the pixels: are they all grey, and which colours are there?
    bool allGrey = true;
    std::map<uint32_t, uint8_t> indexOf; // red << 16 | green << 8 | blue -> palette index
    std::vector<std::array<uint8_t, 3>> colours;
    for (int64_t row = 0; row < h; ++row)
        for (int64_t x = 0; x < w; ++x) {
            const auto c = picture.pixel(x, row);
            if (!c) return picture;
            allGrey = allGrey && (*c)[0] == (*c)[1] && (*c)[1] == (*c)[2];
            const uint32_t key = uint32_t((*c)[0]) << 16 | uint32_t((*c)[1]) << 8 | (*c)[2];
            if (colours.size() <= kMaxPaletteEntries && !indexOf.count(key)) {
                if (colours.size() < kMaxPaletteEntries) indexOf[key] = uint8_t(colours.size());
                colours.push_back(*c);
            }
        }
    if (!allGrey && colours.size() > kMaxPaletteEntries) return picture;

    DibImage out;
    out.width = picture.width;
    out.height = picture.height;
    out.bitCount = 8;
    out.xPelsPerMeter = picture.xPelsPerMeter;
    out.yPelsPerMeter = picture.yPelsPerMeter;
    if (allGrey) {
        out.palette.resize(kMaxPaletteEntries);
        for (size_t i = 0; i < kMaxPaletteEntries; ++i)
            out.palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    } else {
        for (const auto& c : colours)
            out.palette.push_back({c[2], c[1], c[0], 0});
    }
    out.colorsUsed = out.colorsImportant = uint32_t(out.palette.size());
    out.imageSize = uint32_t(out.pixelBytes());
    out.bits.assign(size_t(out.pixelBytes()), 0);
    for (int64_t row = 0; row < h; ++row) {
        const int64_t at = out.storedRow(row) * out.stride();
        for (int64_t x = 0; x < w; ++x) {
            const auto c = *picture.pixel(x, row);
            const uint32_t key = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
            out.bits[size_t(at + x)] = allGrey ? c[0] : indexOf[key];
        }
    }
    return out;
}

} // namespace ravok
