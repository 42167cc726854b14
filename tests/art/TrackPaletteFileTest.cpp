#include "art/TrackPaletteFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

PaletteColours ramp() {
    PaletteColours c{};
    for (int i = 0; i < 256; ++i) c[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    return c;
}

} // namespace

TEST(TrackPaletteFile, RiffPaletteRoundTripsAndLoadsWhateverTheHeader) {
    test::TempDir dir;
    const PaletteColours colours = ramp();
    const auto bytes = RiffPaletteBytes(colours);
    ASSERT_EQ(bytes.size(), kRiffPaletteBytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 1044);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "PAL data");
    EXPECT_EQ(bytes[16] | bytes[17] << 8, 1032);
    EXPECT_EQ(bytes[20] | bytes[21] << 8, 0x0300);
    EXPECT_EQ(bytes[22] | bytes[23] << 8, 256);
    EXPECT_EQ(bytes[24 + 4 * 10], 10);
    EXPECT_EQ(bytes[24 + 4 * 10 + 3], 0); // flags

    ASSERT_TRUE(SavePaletteFile(dir / "a.pal", PaletteFileKind::Riff, colours));
    PaletteColours back{};
    ASSERT_TRUE(LoadPaletteFile(dir / "a.pal", PaletteFileKindOf(dir / "a.pal"), back));
    EXPECT_EQ(back, colours);
    ASSERT_TRUE(SavePaletteFile(dir / "a.act", PaletteFileKindOf(dir / "A.ACT"), colours));
    EXPECT_EQ(fs::file_size(dir / "a.act"), 768u);
    back = {};
    ASSERT_TRUE(LoadPaletteFile(dir / "a.act", PaletteFileKind::Act, back));
    EXPECT_EQ(back, colours);

    // Any file read as a RIFF palette takes bytes 24..1047; a short one keeps the rest.
    std::vector<uint8_t> junk(40, 0xEE);
    junk[24] = 1, junk[25] = 2, junk[26] = 3;
    test::writeBytes(dir / "junk.pal", junk);
    PaletteColours kept = colours;
    ASSERT_TRUE(LoadPaletteFile(dir / "junk.pal", PaletteFileKind::Riff, kept));
    EXPECT_EQ(kept[0], (RgbColour{1, 2, 3}));
    EXPECT_EQ(kept[3], (RgbColour{0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(kept[4], colours[4]);
    EXPECT_FALSE(LoadPaletteFile(dir / "none.pal", PaletteFileKind::Riff, kept));
}
