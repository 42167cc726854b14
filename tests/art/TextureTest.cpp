#include "art/TextureAnimation.h"
#include "art/Texture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

using namespace ravok;

TEST(RawTexture, SideFromFileSize) {
    EXPECT_EQ(SideFromFileSize(4096), 64);
    EXPECT_EQ(SideFromFileSize(1024), 32);
    EXPECT_EQ(SideFromFileSize(1048576), 1024);
    EXPECT_EQ(SideFromFileSize(256), 0);             // 16 x 16
    EXPECT_EQ(SideFromFileSize(2048ull * 2048), 0);  // too large
    EXPECT_EQ(SideFromFileSize(4097), 0);
    EXPECT_EQ(SideFromFileSize(0), 0);
}

TEST(RawTexture, ReadWriteAndShortRead) {
    std::vector<uint8_t> bytes(32 * 32);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
    FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    Texture t;
    ASSERT_TRUE(t.readRaw(f, "ART\\DIRT.RAW", 32, 32));
    EXPECT_TRUE(t.hasPixels());
    EXPECT_EQ(t.pixels()[33], uint8_t(33 * 7));
    FILE* out = std::tmpfile();
    ASSERT_TRUE(t.writeRaw(out));
    EXPECT_EQ(std::ftell(out), 1024);
    std::fclose(out);

    // Asking for more rows than the file holds fails and empties the texture.
    std::rewind(f);
    Texture shortRead;
    EXPECT_FALSE(shortRead.readRaw(f, "ART\\DIRT.RAW", 64, 64));
    EXPECT_FALSE(shortRead.hasPixels());
    EXPECT_EQ(shortRead.width(), 0);
    EXPECT_EQ(shortRead.height(), 0);
    EXPECT_TRUE(shortRead.name().empty());
    std::fclose(f);

    EXPECT_EQ(actPathForRaw("ART\\DIRT.RAW"), "ART\\DIRT.ACT");
    EXPECT_EQ(actPathForRaw("ART\\A.RAW.RAW"), "ART\\A.ACT.RAW");
    EXPECT_EQ(actPathForRaw("ART\\dirt.raw"), "");
}

TEST(Texture, PictureSettersAndRanges) {
    Texture t;
    const uint8_t px[4] = {1, 2, 3, 4};
    t.setPicture("ART\\A.RAW", 2, 2, px);
    EXPECT_EQ(t.pixels()[3], 4);
    t.setPicture(t.name().view(), 64, 64, nullptr); // own name buffer, no pixels
    EXPECT_EQ(t.name().view(), "ART\\A.RAW");
    EXPECT_FALSE(t.hasPixels());
    EXPECT_EQ(t.width(), 64);

    t.setSurfaceType(12);
    t.setSurfaceType(13);
    t.setGripDepth(99);
    t.setGripDepth(100);
    EXPECT_EQ(t.surfaceType(), 12);
    EXPECT_EQ(t.gripDepth(), 99);
    t.setSurfaceType(-1);
    EXPECT_EQ(t.surfaceType(), 12);
}

TEST(TextureAnimation, LimitsAndMessages) {
    TextureAnimationTable table;
    ASSERT_TRUE(table.start(5));
    EXPECT_FALSE(table.start(5)); // already starts one
    EXPECT_TRUE(table.start(5).message.empty());
    for (uint32_t f = 6; f < 13; ++f) ASSERT_TRUE(table.appendFrame(0, f, "ART\\FRAME.RAW"));
    EXPECT_EQ(table.animations()[0].frameCount, 8u);
    Outcome ninth = table.appendFrame(0, 13, "ART\\FRAME.RAW");
    EXPECT_FALSE(ninth);
    EXPECT_EQ(ninth.message, "Max. 8 frames per animation.");

    ASSERT_TRUE(table.start(20));
    EXPECT_TRUE(table.appendFrame(1, 21, "ART\\ABCDEFGHIJK.RAW")); // 15 characters without ART\ .
    Outcome longName = table.appendFrame(1, 22, "ART\\ABCDEFGHIJKL.RAW");
    EXPECT_FALSE(longName);
    EXPECT_EQ(longName.caption, "Frame name too long");
    EXPECT_EQ(longName.message.rfind("\"ABCDEFGHIJKL.RAW\" is 16 characters.\n\nAn animation frame name may be at "
                                     "most 15 characters INCLUDING",
                                     0),
              0u);

    for (uint32_t slot = 100; table.count() < 64; ++slot) ASSERT_TRUE(table.start(slot));
    Outcome full = table.start(999);
    EXPECT_EQ(full.message, "Max. number of animations reached.");

    table.remove(0);
    EXPECT_EQ(table.count(), 63);
    EXPECT_EQ(table.animations()[0].frames[0], 20u);
    EXPECT_EQ(table.animations()[0].frameCount, 2u);
}

TEST(TextureAnimation, RecordBytesRoundTrip) {
    TextureAnimation a;
    a.period = 400;
    a.frameCount = 3;
    a.frames = {1, 2, 1023, 0, 0, 0, 0, 7};
    auto bytes = a.toBytes();
    EXPECT_EQ(bytes[0], 400 & 255);
    EXPECT_EQ(bytes[1], 400 >> 8);
    EXPECT_EQ(bytes[4], 3);
    EXPECT_EQ(bytes[16], 1023 & 255);
    EXPECT_EQ(bytes[17], 1023 >> 8);
    EXPECT_EQ(bytes[36], 7);
    TextureAnimation back = TextureAnimation::fromBytes(bytes);
    EXPECT_EQ(back.period, 400u);
    EXPECT_EQ(back.frames, a.frames);
}
