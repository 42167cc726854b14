#include "art/TextureFolder.h"

#include "art/Palette.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace ravok;
namespace fs = std::filesystem;

TEST(TextureFolder, ListingOrderLimitsAndThumbnails) {
    test::TempDir art;
    test::writeGradientPng(art / "b.png", 32);
    test::writeGradientPng(art / "A.PNG", 32);
    test::writeGradientPng(art / "DIRT_N.png", 32);
    test::writeBytes(art / "c.tga", {1, 2, 3});
    test::writeBytes(art / "GRASS.RAW", std::vector<uint8_t>(256 * 256, 7));
    test::writeBytes(art / (std::string(24, 'X') + ".raw"), std::vector<uint8_t>(4096, 1));
    test::writeBytes(art / (std::string(23, 'Y') + ".raw"), std::vector<uint8_t>(4096, 1));
    test::writeBytes(art / "notes.txt", {1});
    const auto names = ListArtFolder(art.path());
    EXPECT_EQ(names, (std::vector<std::string>{"A.PNG", "b.png", "c.tga", "GRASS.RAW", std::string(23, 'Y') + ".raw"}));

    auto page = MakeThumbnailPage(art.path(), names, 0);
    ASSERT_EQ(page.size(), 4u); // the broken TGA is left out
    EXPECT_EQ(page[2].name, "GRASS.RAW");
    EXPECT_EQ(page[2].pixels[4095], 7);
    EXPECT_EQ(page[2].palette[7 * 3], DefaultPalette()[7].r);
    EXPECT_NE(page[0].pixels[0], page[0].pixels[63]);

    std::atomic<bool> stop{true};
    EXPECT_TRUE(MakeThumbnailPage(art.path(), names, 0, &stop).empty());
    fs::create_directories(art / "track" / "Art");
    EXPECT_EQ(TexturesBoxFolder(art / "track", art.path()), art / "track" / "Art");
    EXPECT_EQ(TexturesBoxFolder({}, art.path()), art.path());
}
