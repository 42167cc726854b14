#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/Picture.h"
#include "base/FileIO.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// Runs ImageMagick to make a test picture with an encoder that is not ours.
void magick(const std::string& arguments) {
    const std::string command = "convert " + arguments + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string identify(const fs::path& path, const char* format) {
    const std::string command = "identify -format '" + std::string(format) + "' '" + path.string() + "' 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (p && std::fgets(buffer, sizeof buffer, p)) out += buffer;
    if (p) pclose(p);
    return out;
}

std::vector<uint8_t> bytesOf(const fs::path& path) { return readWholeFile(path).value_or(std::vector<uint8_t>()); }

std::string headerMessage(const fs::path& path, bool textureRules) {
    std::string message;
    EXPECT_FALSE(DecodePictureFile(path, textureRules, message));
    return message;
}

// A PNG signature and IHDR chunk claiming the given size, nothing more.
std::vector<uint8_t> pngHeader(uint32_t w, uint32_t h) {
    std::vector<uint8_t> b{137, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {w, h})
        for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
    b.insert(b.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});
    return b;
}

void setAge(const fs::path& path, int secondsAgo) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

} // namespace

TEST(Picture, RefusesOtherKindsByTheirFirstBytes) {
    test::TempDir dir;
    magick("-size 32x32 xc:red '" + (dir / "photo.jpg").string() + "'");
    fs::rename(dir / "photo.jpg", dir / "Photo.png");
    EXPECT_EQ(headerMessage(dir / "Photo.png", true),
              "\"Photo.png\" is actually a JPEG. Re-save it as a PNG - renaming the file does not convert it.");
    magick("-size 32x32 xc:red 'BMP3:" + (dir / "a.bmp").string() + "'");
    EXPECT_EQ(headerMessage(dir / "a.bmp", true),
              "\"a.bmp\" is actually a BMP. Re-save it as a PNG - renaming the file does not convert it.");
    magick("-size 32x32 xc:red '" + (dir / "a.gif").string() + "'");
    EXPECT_EQ(headerMessage(dir / "a.gif", true),
              "\"a.gif\" is actually a GIF. Re-save it as a PNG - renaming the file does not convert it.");

    std::string message;
    const std::vector<uint8_t> webp{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 0, 0};
    EXPECT_EQ(RecognisePicture(webp), PictureKind::WebP);
    EXPECT_EQ(RecognisePicture(std::vector<uint8_t>{'8', 'B', 'P', 'S'}), PictureKind::Photoshop);
    EXPECT_EQ(RecognisePicture(std::vector<uint8_t>{'D', 'D', 'S', ' '}), PictureKind::Dds);
    EXPECT_EQ(RecognisePicture(std::vector<uint8_t>{'B'}), PictureKind::Other);
    EXPECT_FALSE(DecodePicture(std::vector<uint8_t>{'8', 'B', 'P', 'S', 0, 0}, "ART\\X.PNG", true, message));
    EXPECT_EQ(message,
              "\"X.PNG\" is actually a Photoshop document. Export it as a PNG - renaming the file does not convert it.");
    EXPECT_FALSE(DecodePicture(std::vector<uint8_t>(40, 7), "junk.tga", true, message));
    EXPECT_EQ(message, "\"junk.tga\" is not a readable PNG or TGA.");

    auto damaged = pngHeader(64, 64);
    damaged[12] = 'X';
    EXPECT_FALSE(DecodePicture(damaged, "d.png", true, message));
    EXPECT_EQ(message, "\"d.png\" has a damaged PNG header (no valid IHDR).");
    EXPECT_FALSE(DecodePicture(pngHeader(0, 64), "z.png", true, message));
    EXPECT_EQ(message, "\"z.png\" has a damaged PNG header (no valid IHDR).");
    EXPECT_FALSE(DecodePictureFile(dir / "missing.png", true, message));
    EXPECT_EQ(message, "Cannot read \"" + (dir / "missing.png").string() + "\".");
    test::writeBytes(dir / "empty.png", {});
    EXPECT_FALSE(DecodePictureFile(dir / "empty.png", true, message));
}

TEST(Picture, TextureSizeRulesAndTheCutLimit) {
    test::TempDir dir;
    struct Case {
        const char* size;
        const char* expected;
    } cases[] = {
        {"512x256", "\"t.png\" is 512x256 - it must be SQUARE.\n\nRavok will not resample it for you: crop or pad it in "
                    "your paint program so you decide what gets lost."},
        {"48x48", "\"t.png\" is 48x48 - the size must be a power of two (32, 64, 128, 256, 512 or 1024)."},
        {"2048x2048", "\"t.png\" is 2048x2048 - the supported range is 32 to 1024."},
        {"16x16", "\"t.png\" is 16x16 - the supported range is 32 to 1024."},
    };
    for (const auto& c : cases) {
        magick(std::string("-size ") + c.size + " xc:gray50 '" + (dir / "t.png").string() + "'");
        EXPECT_EQ(headerMessage(dir / "t.png", true), c.expected) << c.size;
        std::string message;
        EXPECT_TRUE(ReadPictureHeader(dir / "t.png", false, message)) << message; // fine for cutting
    }
    std::string message;
    EXPECT_FALSE(CheckPictureHeader(pngHeader(9000, 100), "big.png", false, message));
    EXPECT_EQ(message, "\"big.png\" is 9000x100 - an image to cut textures from can be up to 8192 x 8192.");
    auto most = CheckPictureHeader(pngHeader(8192, 8192), "big.png", false, message);
    ASSERT_TRUE(most);
    EXPECT_EQ(most->width, 8192);
    EXPECT_FALSE(CheckPictureHeader(pngHeader(100, 100), "", true, message));
    EXPECT_EQ(message.rfind("The texture is 100x100", 0), 0u);
}

TEST(Picture, DecodesPngAndTgaIntoRgbAndTheDeviceIndependentLayout) {
    test::TempDir dir;
    magick("-size 64x64 xc:'#102030' -fill '#F08040' -draw 'point 1,0' '" + (dir / "a.png").string() + "'");
    // Top-left origin: without it this encoder writes the rows of a converted PNG in the wrong order.
    magick("'" + (dir / "a.png").string() + "' -orient TopLeft '" + (dir / "a.tga").string() + "'");
    for (const char* name : {"a.png", "a.tga"}) {
        std::string message;
        auto picture = DecodePictureFile(dir / name, true, message);
        ASSERT_TRUE(picture) << name << ": " << message;
        ASSERT_EQ(picture->width, 64);
        EXPECT_EQ(picture->rgb[0], 0x10);
        EXPECT_EQ(picture->rgb[2], 0x30);
        EXPECT_EQ(picture->rgb[3], 0xF0) << name; // pixel (1, 0), row 0 at the top
        EXPECT_EQ(picture->rgb[5], 0x40);
        EXPECT_EQ(picture->rgb[64 * 3], 0x10);
    }
    RgbPicture odd{5, 2, std::vector<uint8_t>(30, 0)};
    odd.rgb[0] = 1, odd.rgb[1] = 2, odd.rgb[2] = 3;
    std::string message;
    auto dib = DibFromRgb(odd, message);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->stride, 16u);
    EXPECT_EQ(dib->bgr.size(), 32u);
    EXPECT_EQ(dib->bgr[0], 3); // blue first
    EXPECT_EQ(dib->bgr[2], 1);

    magick("-size 32x32 gradient:black-white '" + (dir / "grey.png").string() + "'");
    int coloured = -1;
    EXPECT_EQ(IsGreyPicture(bytesOf(dir / "grey.png"), &coloured, message), std::optional<bool>(true));
    EXPECT_EQ(coloured, 0);
    EXPECT_EQ(IsGreyPicture(bytesOf(dir / "a.png"), &coloured, message), std::optional<bool>(false));
    EXPECT_EQ(coloured, 64 * 64);
    EXPECT_FALSE(IsGreyPicture(std::vector<uint8_t>(3, 0), &coloured, message));
    EXPECT_EQ(message, "could not be decoded");
}

TEST(Picture, WritersRoundTripAndLeaveNothingOnFailure) {
    test::TempDir dir;
    const int w = 3, h = 2;
    const size_t stride = DibStride(w);
    std::vector<uint8_t> bgr(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bgr[size_t(y) * stride + size_t(x) * 3];
            p[0] = uint8_t(10 * x), p[1] = uint8_t(100 + y), p[2] = 200; // blue, green, red
        }
    std::string message;
    ASSERT_TRUE(WriteTga(dir / "out.tga", bgr.data(), w, h, stride, message)) << message;
    auto tga = bytesOf(dir / "out.tga");
    ASSERT_EQ(tga.size(), 18u + w * h * 3);
    EXPECT_EQ(tga[2], 2);
    EXPECT_EQ(tga[12], w);
    EXPECT_EQ(tga[14], h);
    EXPECT_EQ(tga[16], 24);
    EXPECT_EQ(tga[18 + 1], 101); // the bottom row comes first
    EXPECT_EQ(identify(dir / "out.tga", "%w %h"), "3 2");

    ASSERT_TRUE(WritePng(dir / "out.png", bgr.data(), w, h, stride, message)) << message;
    EXPECT_EQ(identify(dir / "out.png", "%w %h"), "3 2");
    auto encoded = EncodePng(bgr.data(), w, h, stride, message);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded, bytesOf(dir / "out.png"));
    for (const char* name : {"out.tga", "out.png"}) {
        auto back = DecodePictureFile(dir / name, false, message);
        ASSERT_TRUE(back) << message;
        EXPECT_EQ(back->rgb[(1 * w + 2) * 3 + 0], 200); // red of (2, 1)
        EXPECT_EQ(back->rgb[(1 * w + 2) * 3 + 1], 101);
        EXPECT_EQ(back->rgb[(1 * w + 2) * 3 + 2], 20);
    }

    EXPECT_FALSE(WriteTga(dir / "x.tga", bgr.data(), w, h, 2, message));
    EXPECT_EQ(message, "Nothing to write.");
    EXPECT_FALSE(EncodePng(nullptr, w, h, stride, message));
    EXPECT_EQ(message, "Nothing to encode.");
    const fs::path nowhere = dir / "no-such-folder" / "x.png";
    EXPECT_FALSE(WritePng(nowhere, bgr.data(), w, h, stride, message));
    EXPECT_EQ(message, "Could not write \"" + nowhere.string() + "\" (error 0x80040002).");
    EXPECT_FALSE(WriteTga(dir / "no-such-folder" / "x.tga", bgr.data(), w, h, stride, message));
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
}

TEST(HdTextures, NeedsRebuildByLastWriteTimes) {
    test::TempDir dir;
    const fs::path png = dir / "Grass.png", raw = dir / "grass.raw", act = dir / "GRASS.ACT";
    EXPECT_FALSE(NeedsRebuild(png, raw)); // no HD file
    magick("-size 64x64 xc:green '" + png.string() + "'");
    EXPECT_TRUE(NeedsRebuild(png, raw)); // no .RAW
    test::writeBytes(raw, std::vector<uint8_t>(4096));
    EXPECT_TRUE(NeedsRebuild(png, raw)); // no .ACT
    test::writeBytes(act, std::vector<uint8_t>(768));
    setAge(png, 100);
    setAge(raw, 10);
    setAge(act, 10);
    EXPECT_FALSE(NeedsRebuild(png, raw));
    EXPECT_EQ(ActPathBeside(raw), act); // found in any letter case
    setAge(act, 200); // a .RAW newer than its PNG but an older .ACT
    EXPECT_TRUE(NeedsRebuild(png, raw));
    setAge(act, 10);
    setAge(raw, 200);
    EXPECT_TRUE(NeedsRebuild(png, raw));
    EXPECT_EQ(FindHdFile(dir / "GRASS.RAW"), png);
    EXPECT_EQ(ActPathBeside(dir / "stone.raw"), dir / "stone.act");
    EXPECT_EQ(RawPathBeside(dir / "STONE.PNG"), dir / "STONE.RAW");
}

TEST(HdTextures, UpdatingAFolderSkipsMapsAndTgaBesidePngAndListsFailures) {
    test::TempDir dir;
    auto pic = [&](const char* size, const std::string& name) {
        magick(std::string("-seed 1 -size ") + size + " plasma:fractal '" + (dir / name).string() + "'");
    };
    pic("64x64", "Rock.png");
    pic("32x32", "Sand.tga");
    pic("64x64", "Mud.png");
    pic("64x64", "Mud.tga"); // beside a PNG: never converted
    pic("64x64", "GRASS_N.PNG");
    pic("64x64", "road_mask.png");
    for (int i = 0; i < 9; ++i) pic("48x48", "odd" + std::to_string(i) + ".png");
    pic("512x256", "wide.png");

    auto result = UpdateHdTexturesOfFolder(dir.path(), [](const fs::path&) { return false; });
    EXPECT_EQ(result.converted, 3); // Mud.png, Rock.png, Sand.tga
    EXPECT_EQ(result.failed, 10);
    ASSERT_EQ(result.failures.size(), 8u);
    EXPECT_EQ(result.failures[0],
              "odd0.png - \"odd0.png\" is 48x48 - the size must be a power of two (32, 64, 128, 256, 512 or 1024).");
    EXPECT_EQ(fs::file_size(dir / "Rock.raw"), 4096u);
    EXPECT_EQ(fs::file_size(dir / "Rock.act"), 768u);
    EXPECT_EQ(fs::file_size(dir / "Sand.raw"), 4096u); // 32 is enlarged to 64
    EXPECT_FALSE(fs::exists(dir / "GRASS_N.RAW"));
    EXPECT_FALSE(fs::exists(dir / "road_mask.raw"));

    const std::string text = HdTexturesSkippedText(result);
    EXPECT_EQ(text.rfind("Some OTHER files in this ART folder cannot be used as HD textures, so they were skipped. "
                         "This does not affect the textures you have loaded.\n\n    odd0.png - ",
                         0),
              0u);
    EXPECT_NE(text.find("\n    ...and 2 more.\n\nEverything else in the folder converted normally."),
              std::string::npos);

    // Up to date now: nothing converts again; the failures stay.
    auto again = UpdateHdTexturesOfFolder(dir.path(), {});
    EXPECT_EQ(again.converted, 0);
    EXPECT_EQ(again.failed, 10);
    fs::remove_all(dir / "wide.png");
    for (int i = 0; i < 9; ++i) fs::remove(dir / ("odd" + std::to_string(i) + ".png"));
    magick("-size 512x256 xc:red '" + (dir / "wide.png").string() + "'");
    auto wide = UpdateHdTexturesOfFolder(dir.path(), {});
    ASSERT_EQ(wide.failures.size(), 1u);
    EXPECT_EQ(wide.failures[0], "wide.png - \"wide.png\" is 512x256 - it must be SQUARE.");
}

namespace {

// An uncompressed 24-bit TGA header (with an optional image id) and `bytes`
// of pixel data.
std::vector<uint8_t> tgaFile(int width, int height, size_t bytes, uint8_t type = 2, uint8_t idLength = 0) {
    std::vector<uint8_t> b(18, 0);
    b[0] = idLength;
    b[2] = type;
    b[12] = uint8_t(width), b[13] = uint8_t(width >> 8);
    b[14] = uint8_t(height), b[15] = uint8_t(height >> 8);
    b[16] = 24;
    b.resize(18 + idLength + bytes, 77);
    return b;
}

} // namespace

TEST(Picture, RefusesATgaWhoseDataIsShorterThanItsHeaderSays) {
    std::string message;
    // A bare header promising 8192 x 8192 pixels: refused before anything is allocated.
    EXPECT_FALSE(DecodePicture(tgaFile(8192, 8192, 0), "huge.tga", false, message));
    EXPECT_EQ(message, "\"huge.tga\" is damaged: its header says 8192x8192 pixels, but the file ends before their "
                       "data does.");
    // One byte short of the last pixel, with an image id in front.
    message.clear();
    EXPECT_FALSE(DecodePicture(tgaFile(64, 64, 64 * 64 * 3 - 1, 2, 5), "short.tga", true, message));
    EXPECT_NE(message.find("is damaged"), std::string::npos) << message;
    auto whole = DecodePicture(tgaFile(64, 64, 64 * 64 * 3, 2, 5), "whole.tga", true, message);
    ASSERT_TRUE(whole) << message;
    EXPECT_EQ(whole->rgb[0], 77);
    // Run-length packets cover at most 128 pixels each: 32 packets of 4 bytes
    // hold 64 x 64 pixels, 31 cannot.
    auto runs = [](int packets) {
        auto b = tgaFile(64, 64, 0, 10);
        for (int i = 0; i < packets; ++i) b.insert(b.end(), {0xFF, 10, 20, 30});
        return b;
    };
    EXPECT_TRUE(DecodePicture(runs(32), "runs.tga", true, message)) << message;
    EXPECT_FALSE(DecodePicture(runs(31), "runs.tga", true, message));

    // The art folder batch keeps the good .RAW of a truncated picture.
    test::TempDir dir;
    test::writeBytes(dir / "road.tga", tgaFile(64, 64, 64 * 64 * 3));
    ASSERT_EQ(UpdateHdTexturesOfFolder(dir.path(), {}).converted, 1);
    const auto goodRaw = bytesOf(dir / "road.raw");
    auto truncated = bytesOf(dir / "road.tga");
    truncated.resize(truncated.size() / 2);
    test::writeBytes(dir / "road.tga", truncated);
    setAge(dir / "road.raw", 100);
    setAge(dir / "road.act", 100);
    const auto result = UpdateHdTexturesOfFolder(dir.path(), {});
    EXPECT_EQ(result.converted, 0);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("is damaged"), std::string::npos) << result.failures[0];
    EXPECT_EQ(bytesOf(dir / "road.raw"), goodRaw);
}

// Empty data chunks are legal PNG. An empty one in front of the pixels made the
// decoder copy into a buffer it had not allocated (undefined behaviour, which
// the sanitised builds stop at); the picture must decode as if it were not there.
TEST(Picture, EmptyPngDataChunksDecodeLikeAPictureWithoutThem) {
    const int w = 4, h = 3;
    std::vector<uint8_t> bgr(DibStride(w) * h);
    for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = uint8_t(i * 7);
    std::string message;
    auto png = EncodePng(bgr.data(), w, h, DibStride(w), message);
    ASSERT_TRUE(png) << message;
    const std::vector<uint8_t> emptyData{0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
    auto firstData = std::search(png->begin(), png->end(), emptyData.begin() + 4, emptyData.begin() + 8) - 4;
    ASSERT_LT(firstData, png->end());
    auto padded = *png;
    padded.insert(padded.begin() + (firstData - png->begin()), emptyData.begin(), emptyData.end());
    padded.insert(padded.end() - 12, emptyData.begin(), emptyData.end()); // and one before the end chunk
    padded.insert(padded.begin() + (firstData - png->begin()), emptyData.begin(), emptyData.end());

    auto plain = DecodePicture(*png, "plain.png", false, message);
    ASSERT_TRUE(plain) << message;
    auto withEmpty = DecodePicture(padded, "padded.png", false, message);
    ASSERT_TRUE(withEmpty) << message;
    EXPECT_EQ(withEmpty->rgb, plain->rgb);
    // A chunk whose length runs past the file still ends in the decoder's refusal.
    padded.resize(padded.size() - 20);
    EXPECT_FALSE(DecodePicture(padded, "cut.png", false, message));
}

#ifndef _WIN32
namespace {

// Rebuilds the legacy pair of an HD picture with `headroom` bytes of address
// space to spare. 0 when the rebuild failed with the legacy quantiser's
// message and left no file, 1 when it built, 2 for another message, 3 when a
// file was left, 4 when the limit could not be set.
int rebuildWithLittleMemory(const fs::path& hd, const fs::path& raw, const fs::path& act, long headroom) {
    if (!test::limitAddressSpace(headroom)) return 4;
    std::string message;
    if (RebuildFallback(hd, raw, false, message)) return 1;
    std::fprintf(stderr, "%s\n", message.c_str());
    if (message != kOutOfMemoryQuantizingLegacy) return 2;
    return fs::exists(raw) || fs::exists(act) ? 3 : 0;
}

} // namespace

TEST(HdTextures, RunningOutOfMemoryQuantizingTheLegacyTextureIsReportedAndWritesNothing) {
    if (!test::addressSpaceLimitWorks())
        GTEST_SKIP() << "sanitizers reserve their shadow memory up front, so an address-space limit cannot work";
    // The child starts the test program afresh, so that no memory freed by
    // earlier tests is left mapped for the quantiser to reuse.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test::TempDir dir;
    // 128 x 128 of many colours: its decoding and the 64 x 64 legacy picture
    // take far less than the quantiser's histogram of nearly a megabyte.
    std::vector<uint8_t> tga = tgaFile(128, 128, 128 * 128 * 3);
    for (size_t i = 18; i < tga.size(); ++i) tga[i] = uint8_t(i * 37 + i / 384 * 11);
    test::writeBytes(dir / "ROCK.tga", tga);
    const fs::path raw = dir / "ROCK.raw", act = dir / "ROCK.act";

    // 512 KB beyond what the child has mapped holds the decoding but not the
    // quantiser. The child's own folder goes before it exits.
    EXPECT_EXIT(
        {
            const int outcome = rebuildWithLittleMemory(dir / "ROCK.tga", raw, act, 512 * 1024);
            std::error_code ec;
            fs::remove_all(dir.path(), ec);
            std::_Exit(outcome);
        },
        testing::ExitedWithCode(0), "");
    // With room the same picture converts.
    std::string message;
    EXPECT_TRUE(RebuildFallback(dir / "ROCK.tga", raw, false, message)) << message;
    EXPECT_EQ(fs::file_size(raw), 4096u);
    EXPECT_EQ(fs::file_size(act), 768u);
}
#endif
