#include "art/TextureFolder.h"

#include "art/Palette.h"
#include "art/Picture.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// A square picture in blue, green, red rows: a gradient so it has many colours.
void writePng(const fs::path& path, int side) {
    const size_t stride = DibStride(side);
    std::vector<uint8_t> bgr(stride * size_t(side), 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = &bgr[size_t(y) * stride + size_t(x) * 3];
            p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 4), p[2] = 200;
        }
    std::string message;
    ASSERT_TRUE(WritePng(path, bgr.data(), side, side, stride, message)) << message;
}

} // namespace

TEST(TextureFolder, ListingOrderLimitsAndThumbnails) {
    test::TempDir art;
    writePng(art / "b.png", 32);
    writePng(art / "A.PNG", 32);
    writePng(art / "DIRT_N.png", 32);
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
