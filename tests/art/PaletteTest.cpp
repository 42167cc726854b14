#include "art/Palette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

using namespace ravok;

namespace {
PaletteColours greyRamp() {
    PaletteColours p{};
    for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    return p;
}
} // namespace

TEST(TrackPalette, FixedColoursSurviveEverySet) {
    TrackPalette palette;
    EXPECT_EQ(palette[0], (RgbColour{0, 0, 0}));
    EXPECT_EQ(palette[246], (RgbColour{224, 224, 224}));
    EXPECT_EQ(palette[247], (RgbColour{160, 160, 164}));
    EXPECT_EQ(palette[255], (RgbColour{255, 255, 255}));

    palette.set("ART\\TEST.ACT", greyRamp());
    EXPECT_EQ(palette.name().view(), "ART\\TEST.ACT");
    EXPECT_EQ(palette[100], (RgbColour{100, 100, 100}));
    EXPECT_EQ(palette[249], (RgbColour{255, 0, 0}));
    EXPECT_EQ(palette[252], (RgbColour{0, 0, 255}));

    palette.setColours(DefaultPalette());
    EXPECT_EQ(palette.name().view(), "ART\\TEST.ACT");
    EXPECT_EQ(palette[250], (RgbColour{0, 255, 0}));

    auto entries = palette.entryBytes();
    auto display = palette.displayOrderBytes();
    EXPECT_EQ(entries[249 * 4], 255); // red first
    EXPECT_EQ(display[249 * 4 + 2], 255); // red last in display order
    EXPECT_EQ(display[249 * 4 + 3], 0);

    palette.clear();
    EXPECT_TRUE(palette.name().empty());
    EXPECT_EQ(palette[100], (RgbColour{0, 0, 0}));
    EXPECT_EQ(palette[253], (RgbColour{255, 0, 255}));
}

TEST(DefaultPalette, KnownEntriesAndBlackTail) {
    const auto& p = DefaultPalette();
    EXPECT_EQ(p[31], (RgbColour{255, 255, 255}));
    EXPECT_EQ(p[32], (RgbColour{5, 5, 5}));
    EXPECT_EQ(p[111], (RgbColour{0xff, 0xff, 0x23}));
    EXPECT_EQ(p[239], (RgbColour{0x9c, 0xff, 0xf7}));
    for (int i = 240; i < 256; ++i) EXPECT_EQ(p[size_t(i)], (RgbColour{0, 0, 0})) << i;
}

TEST(TrackPalette, NearestIndexPrefersLowerOnTies) {
    TrackPalette palette;
    PaletteColours c{};
    c[3] = {10, 10, 10};
    c[4] = {30, 30, 30};
    c[5] = {10, 10, 10};
    palette.set("", c);
    EXPECT_EQ(palette.NearestPaletteIndex(20, 20, 20), 3); // 3 and 4 equally near: lower wins
    EXPECT_EQ(palette.NearestPaletteIndex(10, 10, 10), 3);
    EXPECT_EQ(palette.NearestPaletteIndex(255, 0, 0), 249); // fixed colours count here
    EXPECT_EQ(palette.NearestPaletteIndex(0x0000ffu), 249);  // red in the low byte
    EXPECT_EQ(palette.NearestPaletteIndex(0xff0000u), 252);  // blue in the high byte
}

TEST(RemapToTrackPalette, MapsOntoTheFreeEntriesOnly) {
    TrackPalette track;
    track.set("", greyRamp());
    // A texture painted with the track's own palette keeps indices 0..245...
    std::vector<uint8_t> pixels(256);
    for (int i = 0; i < 256; ++i) pixels[size_t(i)] = uint8_t(i);
    RemapToTrackPalette(track, pixels, track.colours());
    for (int i = 0; i < 246; ++i) EXPECT_EQ(pixels[size_t(i)], i);
    // ...while 246..255 move to the nearest free entry.
    EXPECT_EQ(pixels[255], 245); // white -> brightest free grey
    EXPECT_EQ(pixels[249], 85);  // pure red (255,0,0) -> grey 85 is nearest
    for (int i = 246; i < 256; ++i) EXPECT_LT(pixels[size_t(i)], 246);
}

TEST(RemapToTrackPalette, TiesKeepTheLowerIndexAndDefaultTailIsBlack) {
    TrackPalette track;
    PaletteColours c{};
    for (auto& e : c) e = {200, 200, 200};
    c[7] = {0, 0, 10};
    c[9] = {0, 0, 10}; // same colour, higher index
    c[12] = {0, 10, 0}; // same distance from black as entry 7
    track.set("", c);
    std::vector<uint8_t> pixels = {240, 250, 255, 0};
    RemapToTrackPalette(track, pixels, DefaultPalette());
    EXPECT_EQ(pixels[0], 7); // DefaultPalette 240..255 are black
    EXPECT_EQ(pixels[1], 7);
    EXPECT_EQ(pixels[2], 7);
    EXPECT_EQ(pixels[3], 7); // entry 0 is black too
}

TEST(ActFile, ReadWriteAndShortFiles) {
    TrackPalette palette;
    palette.set("A", greyRamp());
    FILE* f = std::tmpfile();
    ASSERT_TRUE(palette.writeAct(f));
    EXPECT_EQ(std::ftell(f), 768);
    std::rewind(f);
    TrackPalette read;
    ASSERT_TRUE(read.readAct(f, "ART\\GREY.ACT"));
    EXPECT_EQ(read.name().view(), "ART\\GREY.ACT");
    EXPECT_EQ(read[200], (RgbColour{200, 200, 200}));
    EXPECT_EQ(read[250], (RgbColour{0, 255, 0}));
    std::fclose(f);

    // A short .ACT keeps the DefaultPalette for the entries it lacks.
    f = std::tmpfile();
    const uint8_t six[] = {1, 2, 3, 4, 5, 6, 7};
    std::fwrite(six, 1, sizeof six, f);
    std::rewind(f);
    ASSERT_TRUE(read.readAct(f, "S"));
    EXPECT_EQ(read[1], (RgbColour{4, 5, 6}));
    EXPECT_EQ(read[2], DefaultPalette()[2]); // the partial third entry is not used
    std::fclose(f);

    f = std::tmpfile();
    EXPECT_FALSE(read.readAct(f, "EMPTY"));
    std::fclose(f);
    EXPECT_EQ(read.name().view(), "S");
}
