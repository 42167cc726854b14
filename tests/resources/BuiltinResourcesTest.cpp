#include "resources/BuiltinResources.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace ravok::resources;

namespace {
uint32_t u32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

std::vector<std::string> rows(std::string_view table) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < table.size()) {
        size_t end = table.find("\r\n", start);
        if (end == std::string_view::npos) {
            out.push_back("UNTERMINATED");
            break;
        }
        out.emplace_back(table.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

void expectBmp8(std::span<const uint8_t> bmp, int width, int height) {
    ASSERT_GT(bmp.size(), 54u + 1024u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 2), bmp.size());
    EXPECT_EQ(u32(bmp, 10), 54u + 1024u);
    EXPECT_EQ(u32(bmp, 14), 40u);
    EXPECT_EQ(int32_t(u32(bmp, 18)), width);
    EXPECT_EQ(int32_t(u32(bmp, 22)), height);
    EXPECT_EQ(bmp[28], 8);     // bits per pixel
    EXPECT_EQ(u32(bmp, 30), 0u); // uncompressed
    const size_t stride = size_t((width + 3) & ~3);
    EXPECT_EQ(bmp.size(), 54u + 1024u + stride * size_t(height));
}
} // namespace

TEST(BuiltinResources, SixteenDistinctPalettes) {
    std::set<std::vector<uint8_t>> seen;
    for (int i = 0; i < kGamePaletteCount; ++i) {
        auto p = gamePalette(i);
        ASSERT_EQ(p.size(), 768u) << i;
        seen.emplace(p.begin(), p.end());
    }
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_TRUE(gamePalette(-1).empty());
    EXPECT_TRUE(gamePalette(16).empty());
}

TEST(BuiltinResources, DefaultPicturesAreUncompressed8BitBitmaps) {
    expectBmp8(defaultBrowseBitmap(), 257, 210);
    expectBmp8(defaultIconBitmap(), 32, 24);
}

TEST(BuiltinResources, StockTables) {
    auto impact = rows(stockImpactSoundTable());
    auto continuous = rows(stockContinuousSoundTable());
    auto music = rows(stockMusicTable());
    EXPECT_EQ(impact.size(), 155u);
    EXPECT_EQ(continuous.size(), 16u);
    EXPECT_EQ(music.size(), 9u);
    EXPECT_EQ(impact.front(), "NULL\t(default/none)");
    EXPECT_EQ(continuous.front(), "NULL\t(default/none)");
    EXPECT_EQ(impact.back().substr(0, 7), "yeehaw\t");
    EXPECT_EQ(continuous.back().substr(0, 9), "wtr-undr\t");
    EXPECT_EQ(music[1], "BREAK\tB'neck, C98, Torture, Arena, H'cube");
    for (const auto* table : {&impact, &continuous, &music})
        for (const auto& row : *table) {
            EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 1) << row;
            EXPECT_GT(row.size(), row.find('\t') + 1) << row;
        }
}
