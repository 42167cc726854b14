#include "art/ColourReduction.h"

#include "base/ByteWriter.h"
#include "base/FileIO.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ravok {
namespace {

constexpr int kCells = 32768;
constexpr size_t kMaxColours = 256;
constexpr uint8_t kNotMapped = 255;
constexpr int kMaxBmpSide = 8192;
constexpr size_t kMaxFileNameLength = 259;
constexpr const char* kNothingToWrite = "Nothing to write.";
constexpr const char* kNoActName = "Texture name is too long to derive an .ACT from.";
constexpr const char* kOutOfMemoryBuilding = "Out of memory building the legacy texture.";

int cellOf(const uint8_t* rgb) { return (rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | (rgb[2] >> 3); }
// 0 red, 1 green, 2 blue.
int coordinate(int cell, size_t channel) { return (cell >> (10 - 5 * int(channel))) & 31; }

// The 15-bit histogram: pixel count and channel sums per cell. The sums are
// 64-bit so that a picture of more than 16 million pixels of one colour does
// not wrap.
struct Histogram {
    std::vector<uint32_t> count = std::vector<uint32_t>(kCells, 0);
    std::vector<std::array<uint64_t, 3>> sum = std::vector<std::array<uint64_t, 3>>(kCells, {0, 0, 0});
};

// A run of the cell list with the bounds of its cell coordinates and its pixel count.
struct Box {
    std::array<int, 3> min{}, max{};
    size_t start = 0, length = 0;
    uint64_t pixels = 0;
};

struct MedianCut {
    Histogram histogram;
    std::vector<uint16_t> cells; // non-empty cells; each box owns a run of it
    std::vector<Box> boxes;
};

void measure(Box& box, const MedianCut& cut) {
    box.min = {31, 31, 31};
    box.max = {0, 0, 0};
    box.pixels = 0;
    for (size_t i = box.start; i < box.start + box.length; ++i) {
        const int cell = cut.cells[i];
        for (size_t c = 0; c < 3; ++c) {
            box.min[c] = std::min(box.min[c], coordinate(cell, c));
            box.max[c] = std::max(box.max[c], coordinate(cell, c));
        }
        box.pixels += cut.histogram.count[size_t(cell)];
    }
}

// The box to split next: at least two cells, the most pixels, the lowest number among equals.
int boxToSplit(const std::vector<Box>& boxes) {
    int best = -1;
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].length >= 2 && (best < 0 || boxes[i].pixels > boxes[size_t(best)].pixels)) best = int(i);
    return best;
}

// Blue when its extent beats both others, else green when it beats red, else red.
size_t splitChannel(const Box& box) {
    const int er = box.max[0] - box.min[0], eg = box.max[1] - box.min[1], eb = box.max[2] - box.min[2];
    return (eb > er && eb > eg) ? 2 : (eg > er ? 1 : 0);
}

// Stable counting sort of a box's cells by one channel's 5-bit coordinate.
void sortRun(std::vector<uint16_t>& cells, const Box& box, size_t channel) {
    std::array<size_t, 33> offsets{};
    const auto first = cells.begin() + std::ptrdiff_t(box.start);
    const auto last = first + std::ptrdiff_t(box.length);
    for (auto it = first; it != last; ++it) ++offsets[size_t(coordinate(*it, channel)) + 1];
    for (size_t k = 1; k < offsets.size(); ++k) offsets[k] += offsets[k - 1];
    std::vector<uint16_t> sorted(box.length);
    for (auto it = first; it != last; ++it) sorted[offsets[size_t(coordinate(*it, channel))]++] = *it;
    std::copy(sorted.begin(), sorted.end(), first);
}

// Splits a box at its pixel median; the box keeps the lower part, the returned box takes the rest.
Box split(Box& box, MedianCut& cut) {
    sortRun(cut.cells, box, splitChannel(box));
    const uint64_t half = box.pixels / 2;
    uint64_t sum = 0;
    size_t kept = 0;
    while (kept < box.length - 1) {
        sum += cut.histogram.count[cut.cells[box.start + kept]];
        ++kept;
        if (sum >= half) break;
    }
    Box rest;
    rest.start = box.start + kept;
    rest.length = box.length - kept;
    box.length = kept;
    measure(box, cut);
    measure(rest, cut);
    return rest;
}

void histogramOf(const RgbPicture& picture, MedianCut& cut) {
    const size_t pixels = picture.rgb.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = &picture.rgb[i * 3];
        const size_t cell = size_t(cellOf(p));
        ++cut.histogram.count[cell];
        for (size_t c = 0; c < 3; ++c) cut.histogram.sum[cell][c] += p[c];
    }
    for (int cell = 0; cell < kCells; ++cell)
        if (cut.histogram.count[size_t(cell)]) cut.cells.push_back(uint16_t(cell));
}

void cutBoxes(MedianCut& cut) {
    cut.boxes.reserve(kMaxColours);
    cut.boxes.emplace_back();
    cut.boxes[0].length = cut.cells.size();
    measure(cut.boxes[0], cut);
    while (cut.boxes.size() < kMaxColours) {
        const int chosen = boxToSplit(cut.boxes);
        if (chosen < 0) break;
        Box& box = cut.boxes[size_t(chosen)];
        if (box.max[0] - box.min[0] < 1 && box.max[1] - box.min[1] < 1 && box.max[2] - box.min[2] < 1) break;
        Box rest = split(box, cut);
        cut.boxes.push_back(rest);
    }
}

// The mean colour of a box's pixels, rounded to nearest.
std::array<uint8_t, 3> boxColour(const Box& box, const MedianCut& cut) {
    std::array<uint64_t, 3> sum{};
    for (size_t i = box.start; i < box.start + box.length; ++i)
        for (size_t c = 0; c < 3; ++c) sum[c] += cut.histogram.sum[cut.cells[i]][c];
    const double n = double(std::max<uint64_t>(box.pixels, 1));
    std::array<uint8_t, 3> colour{};
    for (size_t c = 0; c < 3; ++c) colour[c] = uint8_t(double(sum[c]) / n + 0.5);
    return colour;
}

// Entries past the last box repeat its colour.
void fillPalette(const MedianCut& cut, std::array<uint8_t, 768>& palette) {
    for (size_t i = 0; i < kMaxColours; ++i) {
        const auto colour = boxColour(cut.boxes[std::min(i, cut.boxes.size() - 1)], cut);
        std::copy(colour.begin(), colour.end(), palette.begin() + std::ptrdiff_t(i * 3));
    }
}

// The entry among the first `entries` nearest a cell's mean colour; the first
// of equals wins and an exact match ends the search.
uint8_t nearestEntry(size_t cell, const Histogram& h, const std::array<uint8_t, 768>& palette, int entries) {
    const uint64_t n = std::max<uint32_t>(h.count[cell], 1);
    const std::array<int, 3> mean = {int(h.sum[cell][0] / n), int(h.sum[cell][1] / n), int(h.sum[cell][2] / n)};
    int best = 0;
    int bestDistance = -1;
    for (int i = 0; i < entries; ++i) {
        int d = 0;
        for (size_t c = 0; c < 3; ++c) {
            const int diff = mean[c] - palette[size_t(i) * 3 + c];
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return uint8_t(best);
}

// One pass over the pixels; each cell's entry is looked up once and cached.
void mapPixels(const RgbPicture& picture, const Histogram& h, QuantisedPicture& out) {
    std::vector<uint8_t> cache(kCells, kNotMapped);
    const size_t pixels = picture.rgb.size() / 3;
    out.indices.resize(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        const size_t cell = size_t(cellOf(&picture.rgb[i * 3]));
        if (cache[cell] == kNotMapped) cache[cell] = nearestEntry(cell, h, out.palette, out.boxes);
        out.indices[i] = cache[cell];
    }
}

bool validPicture(const RgbPicture& p) {
    return p.width > 0 && p.height > 0 && p.rgb.size() == size_t(p.width) * size_t(p.height) * 3;
}

// The source rows (or columns) [from, to) averaged into one target row.
std::pair<int, int> sourceRange(int target, int targetSize, int sourceSize) {
    const int from = int(int64_t(target) * sourceSize / targetSize);
    const int to = int(int64_t(target + 1) * sourceSize / targetSize);
    return {from, std::min(std::max(to, from + 1), sourceSize)};
}

void resampleInto(const RgbPicture& source, RgbPicture& out) {
    const size_t sw = size_t(source.width);
    uint8_t* o = out.rgb.data();
    for (int y = 0; y < out.height; ++y) {
        const auto [y0, y1] = sourceRange(y, out.height, source.height);
        for (int x = 0; x < out.width; ++x, o += 3) {
            const auto [x0, x1] = sourceRange(x, out.width, source.width);
            std::array<uint64_t, 3> sum{};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (size_t c = 0; c < 3; ++c) sum[c] += source.rgb[(size_t(sy) * sw + size_t(sx)) * 3 + c];
            const uint64_t n = uint64_t(y1 - y0) * uint64_t(x1 - x0);
            for (size_t c = 0; c < 3; ++c) o[c] = uint8_t(sum[c] / n);
        }
    }
}

// Copies the resampled picture to (border, border) and repeats its edge pixels outwards.
void frameInto(const RgbPicture& inner, int border, RgbPicture& out) {
    const size_t side = size_t(out.width), b = size_t(border), n = size_t(inner.width), row = side * 3;
    auto at = [&](size_t x, size_t y) { return out.rgb.data() + (y * side + x) * 3; };
    for (size_t y = b; y < b + n; ++y) {
        std::memcpy(at(b, y), &inner.rgb[(y - b) * n * 3], n * 3);
        for (size_t x = 0; x < b; ++x) {
            std::memcpy(at(x, y), at(b, y), 3);
            std::memcpy(at(b + n + x, y), at(b + n - 1, y), 3);
        }
    }
    for (size_t y = 0; y < b; ++y) {
        std::memcpy(at(0, y), at(0, b), row);
        std::memcpy(at(0, b + n + y), at(0, b + n - 1), row);
    }
}

// The .ACT beside a .RAW: the extension replaced, ".act" when the given one is
// all lower case, else ".ACT". Empty when the file name has no extension or is
// too long.
std::filesystem::path actPathFor(const std::filesystem::path& rawPath) {
    const std::string name = rawPath.filename().string();
    const std::string extension = rawPath.extension().string();
    if (name.size() > kMaxFileNameLength || extension.size() < 2) return {};
    const bool lower = std::none_of(extension.begin(), extension.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    std::filesystem::path act = rawPath;
    act.replace_extension(lower ? ".act" : ".ACT");
    return act;
}

std::string quoted(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

// Removes a file left by a failed write; a folder of that name is left alone.
void removeQuietly(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) std::filesystem::remove(path, ec);
}

// 14-byte file header and 40-byte info header of a bottom-up 8-bit picture with 256 colours.
void writeBmpHeaders(ByteWriter& w, int width, int height, uint32_t imageSize) {
    constexpr uint32_t kPixelOffset = 14 + 40 + 256 * 4;
    w.text("BM");
    w.u32LE(kPixelOffset + imageSize);
    w.u16LE(0);
    w.u16LE(0);
    w.u32LE(kPixelOffset);
    w.u32LE(40);
    w.i32LE(width);
    w.i32LE(height);
    w.u16LE(1);
    w.u16LE(8);
    w.u32LE(0);
    w.u32LE(imageSize);
    w.i32LE(0);
    w.i32LE(0);
    w.u32LE(256);
    w.u32LE(256);
}

std::vector<uint8_t> bmpBytes(const QuantisedPicture& q, int width, int height) {
    const size_t row = (size_t(width) + 3) & ~size_t(3);
    const uint32_t imageSize = uint32_t(row * size_t(height));
    ByteWriter w;
    w.reserve(14 + 40 + 1024 + imageSize);
    writeBmpHeaders(w, width, height, imageSize);
    for (size_t i = 0; i < 256; ++i) {
        const uint8_t entry[4] = {q.palette[i * 3 + 2], q.palette[i * 3 + 1], q.palette[i * 3], 0};
        w.bytes(entry, 4);
    }
    for (int y = height - 1; y >= 0; --y) {
        w.bytes(q.indices.data() + size_t(y) * size_t(width), size_t(width));
        w.zeros(row - size_t(width));
    }
    return w.release();
}

} // namespace

int LegacySide(int hdSide) { return hdSide < 256 ? 64 : 256; }
int TerrainBorder(int side) { return std::max(side / 32, 1); }

RgbPicture ResamplePicture(const RgbPicture& source, int width, int height) {
    if (!validPicture(source) || width < 1 || height < 1) return {};
    try {
        RgbPicture out{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
        resampleInto(source, out);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

RgbPicture BorderedPicture(const RgbPicture& source, int side) {
    const int border = TerrainBorder(side);
    if (side < 1 || side - 2 * border < 1) return {};
    const RgbPicture inner = ResamplePicture(source, side - 2 * border, side - 2 * border);
    if (!validPicture(inner)) return {};
    try {
        RgbPicture out{side, side, std::vector<uint8_t>(size_t(side) * size_t(side) * 3, 0)};
        frameInto(inner, border, out);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::optional<QuantisedPicture> QuantisePicture(const RgbPicture& picture) {
    if (!validPicture(picture)) return std::nullopt;
    try {
        MedianCut cut;
        histogramOf(picture, cut);
        cutBoxes(cut);
        QuantisedPicture out;
        out.boxes = int(cut.boxes.size());
        fillPalette(cut, out.palette);
        mapPixels(picture, cut.histogram, out);
        return out;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

RgbPicture RgbFromBgrRows(const uint8_t* bgr, int width, int height, size_t stride) {
    if (!bgr || width < 1 || height < 1 || stride / 3 < size_t(width)) return {};
    try {
        RgbPicture out{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
        uint8_t* o = out.rgb.data();
        for (size_t y = 0; y < size_t(height); ++y) {
            const uint8_t* in = bgr + y * stride;
            for (int x = 0; x < width; ++x, in += 3, o += 3) o[0] = in[2], o[1] = in[1], o[2] = in[0];
        }
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::optional<LegacyTexture> BuildLegacyTexture(const RgbPicture& hd, bool terrain, std::string& message) {
    LegacyTexture legacy;
    legacy.side = LegacySide(hd.width);
    const RgbPicture square =
        terrain ? BorderedPicture(hd, legacy.side) : ResamplePicture(hd, legacy.side, legacy.side);
    if (!validPicture(square)) {
        message = kOutOfMemoryBuilding;
        return std::nullopt;
    }
    auto quantised = QuantisePicture(square);
    if (!quantised) {
        message = kOutOfMemoryQuantizing;
        return std::nullopt;
    }
    legacy.indices = std::move(quantised->indices);
    legacy.palette = quantised->palette;
    return legacy;
}

bool WriteLegacyPair(const std::filesystem::path& rawPath, const LegacyTexture& texture, std::string& message) {
    if (rawPath.empty() || texture.side < 1 || texture.indices.size() != size_t(texture.side) * size_t(texture.side)) {
        message = kNothingToWrite;
        return false;
    }
    const std::filesystem::path actPath = actPathFor(rawPath);
    if (actPath.empty()) {
        message = kNoActName;
        return false;
    }
    if (!writeFileAtomically(rawPath, texture.indices)) {
        message = "Could not write " + quoted(rawPath) + ".";
        return false;
    }
    if (!writeFileAtomically(actPath, texture.palette)) {
        removeQuietly(rawPath);
        message = "Could not write " + quoted(actPath) + ".";
        return false;
    }
    invalidateFolderCache(rawPath.parent_path());
    return true;
}

bool WriteTile(const std::filesystem::path& rawPath, const uint8_t* bgr, int side, size_t stride,
               std::string& message) {
    if (rawPath.empty() || !bgr || side < 1 || stride / 3 < size_t(side)) {
        message = kNothingToWrite;
        return false;
    }
    const std::filesystem::path actPath = actPathFor(rawPath);
    if (actPath.empty()) {
        message = kNoActName;
        return false;
    }
    const RgbPicture tile = RgbFromBgrRows(bgr, side, side, stride);
    if (!validPicture(tile)) {
        message = kOutOfMemoryBuilding;
        return false;
    }
    const auto quantised = QuantisePicture(tile);
    if (!quantised) {
        message = "Could not reduce the tile to 256 colours.";
        return false;
    }
    if (!writeFileAtomically(rawPath, quantised->indices) || !writeFileAtomically(actPath, quantised->palette)) {
        removeQuietly(rawPath);
        removeQuietly(actPath);
        message = "Could not write " + quoted(rawPath) + " and its .ACT.";
        return false;
    }
    invalidateFolderCache(rawPath.parent_path());
    return true;
}

std::optional<std::vector<uint8_t>> BuildBmp8(const uint8_t* bgr, int width, int height, size_t stride,
                                              int outWidth, int outHeight, std::string& message) {
    const auto inRange = [](int v) { return v >= 1 && v <= kMaxBmpSide; };
    if (!bgr || !inRange(width) || !inRange(height) || !inRange(outWidth) || !inRange(outHeight) ||
        stride / 3 < size_t(width)) {
        message = kNothingToWrite;
        return std::nullopt;
    }
    const auto quantised = QuantisePicture(ResamplePicture(RgbFromBgrRows(bgr, width, height, stride), outWidth, outHeight));
    if (!quantised) {
        message = kOutOfMemoryBuilding;
        return std::nullopt;
    }
    try {
        return bmpBytes(*quantised, outWidth, outHeight);
    } catch (const std::bad_alloc&) {
        message = kOutOfMemoryBuilding;
        return std::nullopt;
    }
}

} // namespace ravok
