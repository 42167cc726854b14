#include "art/ColourReduction.h"
#include "base/FileIO.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

RgbPicture solid(int w, int h, std::array<uint8_t, 3> colour) {
    RgbPicture p{w, h, {}};
    for (int i = 0; i < w * h; ++i) p.rgb.insert(p.rgb.end(), colour.begin(), colour.end());
    return p;
}

// Each pixel's colour from its position, so that resampling can be checked.
RgbPicture pattern(int w, int h) {
    RgbPicture p{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* px = &p.rgb[(size_t(y) * w + x) * 3];
            px[0] = uint8_t(x * 7), px[1] = uint8_t(y * 5), px[2] = uint8_t((x ^ y) * 3);
        }
    return p;
}

std::array<uint8_t, 3> pixel(const RgbPicture& p, int x, int y) {
    const uint8_t* px = &p.rgb[(size_t(y) * p.width + x) * 3];
    return {px[0], px[1], px[2]};
}

std::array<uint8_t, 3> entry(const QuantisedPicture& q, int i) {
    return {q.palette[size_t(i) * 3], q.palette[size_t(i) * 3 + 1], q.palette[size_t(i) * 3 + 2]};
}

} // namespace

TEST(ColourReduction, SingleColourAndSharedCells) {
    auto q = QuantisePicture(solid(16, 8, {200, 100, 50}));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->boxes, 1);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(entry(*q, i), (std::array<uint8_t, 3>{200, 100, 50}));
    EXPECT_EQ(std::count(q->indices.begin(), q->indices.end(), 0), 16 * 8);

    // 200..207 share a 5-bit cell: one colour, the mean of both (+0.5, truncated).
    RgbPicture two = solid(2, 1, {200, 10, 10});
    two.rgb[3] = 207;
    q = QuantisePicture(two);
    EXPECT_EQ(q->indices[0], q->indices[1]);
    EXPECT_EQ(entry(*q, 0)[0], 204); // 407 / 2 + 0.5 = 204.0
    EXPECT_FALSE(QuantisePicture(RgbPicture{}));
}

TEST(ColourReduction, MedianCutSplitsAtTheMedianAlongTheLongestSide) {
    // Four colours in distinct cells along red, with 1, 1, 1 and 5 pixels.
    RgbPicture p{8, 1, {}};
    for (uint8_t r : {0, 64, 128, 255, 255, 255, 255, 255}) p.rgb.insert(p.rgb.end(), {r, 0, 0});
    auto q = QuantisePicture(p);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->boxes, 4);
    // Half of 8 is 4: the first split keeps 0, 64, 128 (3 pixels) and stops before
    // the only remaining cell; the lower box then splits {0} | {64, 128} (half
    // of 3 is 1), and the new box {64} | {128}.
    EXPECT_EQ(entry(*q, 0)[0], 0);
    EXPECT_EQ(entry(*q, 1)[0], 255);
    EXPECT_EQ(entry(*q, 2)[0], 64);
    EXPECT_EQ(entry(*q, 3)[0], 128);
    EXPECT_EQ(entry(*q, 255), entry(*q, 3)); // the rest repeat the last box
    EXPECT_EQ(q->indices, (std::vector<uint8_t>{0, 2, 3, 1, 1, 1, 1, 1}));

    // Blue wins only when strictly the longest; ties go to green, then red.
    RgbPicture tie{2, 1, {0, 0, 0, 0, 255, 255}};
    q = QuantisePicture(tie);
    EXPECT_EQ(q->boxes, 2);
    EXPECT_NE(q->indices[0], q->indices[1]);

    // A busy picture quantises the same way twice, in at most 256 colours.
    auto busy = pattern(64, 64);
    auto a = QuantisePicture(busy), b = QuantisePicture(busy);
    EXPECT_EQ(a->indices, b->indices);
    EXPECT_EQ(a->palette, b->palette);
    EXPECT_EQ(a->boxes, 256);
}

TEST(ColourReduction, BoxFilterResampling) {
    auto small = pattern(32, 32);
    auto big = ResamplePicture(small, 64, 64);
    ASSERT_EQ(big.width, 64);
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 64; x += 5) EXPECT_EQ(pixel(big, x, y), pixel(small, x / 2, y / 2));

    auto photo = pattern(1024, 1024);
    auto reduced = ResamplePicture(photo, 256, 256);
    std::array<unsigned, 3> sum{};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (size_t c = 0; c < 3; ++c) sum[c] += pixel(photo, 40 + x, 80 + y)[c];
    EXPECT_EQ(pixel(reduced, 10, 20), (std::array<uint8_t, 3>{uint8_t(sum[0] / 16), uint8_t(sum[1] / 16),
                                                              uint8_t(sum[2] / 16)}));

    // 3 -> 2 columns: target 0 takes source 0, target 1 takes sources 1 and 2.
    RgbPicture row{3, 1, {10, 0, 0, 20, 0, 0, 31, 0, 0}};
    auto two = ResamplePicture(row, 2, 1);
    EXPECT_EQ(two.rgb[0], 10);
    EXPECT_EQ(two.rgb[3], 25); // (20 + 31) / 2, truncated
    EXPECT_EQ(ResamplePicture(row, 0, 1).width, 0);
}

TEST(ColourReduction, TerrainTexturesGetABorderThatRepeatsTheEdge) {
    EXPECT_EQ(LegacySide(32), 64);
    EXPECT_EQ(LegacySide(128), 64);
    EXPECT_EQ(LegacySide(256), 256);
    EXPECT_EQ(LegacySide(1024), 256);
    EXPECT_EQ(TerrainBorder(64), 2);
    EXPECT_EQ(TerrainBorder(256), 8);
    EXPECT_EQ(TerrainBorder(16), 1);

    auto hd = pattern(128, 128);
    auto inner = ResamplePicture(hd, 60, 60);
    auto bordered = BorderedPicture(hd, 64);
    ASSERT_EQ(bordered.width, 64);
    EXPECT_EQ(pixel(bordered, 2, 2), pixel(inner, 0, 0));
    EXPECT_EQ(pixel(bordered, 30, 40), pixel(inner, 28, 38));
    EXPECT_EQ(pixel(bordered, 0, 0), pixel(inner, 0, 0));      // corner
    EXPECT_EQ(pixel(bordered, 63, 63), pixel(inner, 59, 59));  // corner
    EXPECT_EQ(pixel(bordered, 0, 30), pixel(inner, 0, 28));    // left edge
    EXPECT_EQ(pixel(bordered, 63, 30), pixel(inner, 59, 28));  // right edge
    EXPECT_EQ(pixel(bordered, 30, 1), pixel(inner, 28, 0));    // top edge
    EXPECT_EQ(pixel(bordered, 30, 62), pixel(inner, 28, 59));  // bottom edge

    std::string message;
    auto terrain = BuildLegacyTexture(hd, true, message);
    auto model = BuildLegacyTexture(hd, false, message);
    ASSERT_TRUE(terrain && model);
    EXPECT_EQ(terrain->side, 64);
    EXPECT_EQ(model->indices, QuantisePicture(ResamplePicture(hd, 64, 64))->indices); // no border
    EXPECT_EQ(terrain->indices, QuantisePicture(bordered)->indices);
}

TEST(ColourReduction, EightBitBmpReadsBackInAnotherProgram) {
    const int w = 7, h = 5;
    const size_t stride = 24;
    std::vector<uint8_t> bgr(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bgr[size_t(y) * stride + size_t(x) * 3 + 2] = uint8_t(x * 30 + y);
    std::string message;
    auto bmp = BuildBmp8(bgr.data(), w, h, stride, 5, 3, message);
    ASSERT_TRUE(bmp) << message;
    auto u32 = [&](size_t at) { return uint32_t((*bmp)[at] | (*bmp)[at + 1] << 8 | (*bmp)[at + 2] << 16 | (*bmp)[at + 3] << 24); };
    ASSERT_EQ(bmp->size(), 1078u + 8 * 3); // rows of 5 padded to 8
    EXPECT_EQ(u32(2), bmp->size());
    EXPECT_EQ(u32(10), 1078u);
    EXPECT_EQ(u32(18), 5u);
    EXPECT_EQ(u32(22), 3u);
    EXPECT_EQ((*bmp)[28], 8);
    EXPECT_EQ(u32(34), 24u);
    EXPECT_EQ(u32(46), 256u);
    EXPECT_EQ((*bmp)[1078 + 5], 0); // padding

    test::TempDir dir;
    test::writeBytes(dir / "menu.bmp", *bmp);
    const std::string command = "identify -format '%w %h %z %r' '" + (dir / "menu.bmp").string() + "' 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    char out[128] = {};
    ASSERT_TRUE(p);
    ASSERT_TRUE(std::fgets(out, sizeof out, p));
    pclose(p);
    EXPECT_EQ(std::string(out).substr(0, 7), "5 3 8 P"); // PseudoClass: a palette picture
    EXPECT_FALSE(BuildBmp8(bgr.data(), w, h, 3, 5, 3, message));
    EXPECT_EQ(message, "Nothing to write.");
}

TEST(ColourReduction, TileAndLegacyWritersLeaveWholePairsOrNothing) {
    test::TempDir dir;
    std::vector<uint8_t> bgr(32 * 32 * 3, 90);
    std::string message;
    ASSERT_TRUE(WriteTile(dir / "CUT1.RAW", bgr.data(), 32, 96, message)) << message;
    EXPECT_EQ(fs::file_size(dir / "CUT1.RAW"), 1024u);
    EXPECT_EQ(fs::file_size(dir / "CUT1.ACT"), 768u);
    EXPECT_FALSE(WriteTile(dir / "X.RAW", bgr.data(), 32, 95, message));
    EXPECT_EQ(message, "Nothing to write.");
    EXPECT_FALSE(WriteTile(dir / "X.RAW", nullptr, 32, 96, message));

    const fs::path nowhere = dir / "missing" / "T.RAW";
    EXPECT_FALSE(WriteTile(nowhere, bgr.data(), 32, 96, message));
    EXPECT_EQ(message, "Could not write \"" + nowhere.string() + "\" and its .ACT.");

    LegacyTexture t{64, std::vector<uint8_t>(4096, 3), {}};
    ASSERT_TRUE(WriteLegacyPair(dir / "grass.raw", t, message));
    EXPECT_TRUE(fs::exists(dir / "grass.act"));
    EXPECT_FALSE(WriteLegacyPair(nowhere, t, message));
    EXPECT_EQ(message, "Could not write \"" + nowhere.string() + "\".");
    EXPECT_FALSE(fs::exists(dir / "missing"));
}
