#include "base/PortableFile.h"

#include "base/FileIO.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

using namespace ravok;
namespace fs = std::filesystem;

TEST(PortableFile, NewFilesAreNeverOpenedOverExistingOnes) {
    test::TempDir dir;
    const fs::path path = dir / "scratch.tmp";
    FILE* first = createNewFile(path);
    ASSERT_TRUE(first);
    ASSERT_EQ(std::fwrite("abc", 1, 3, first), 3u);
    EXPECT_TRUE(flushToDisk(first));
    std::rewind(first);
    char back[3] = {};
    EXPECT_EQ(std::fread(back, 1, 3, first), 3u); // opened for reading too
    EXPECT_EQ(std::string(back, 3), "abc");

    errno = 0;
    EXPECT_EQ(createNewFile(path), nullptr);
    EXPECT_EQ(errno, EEXIST);
    std::fclose(first);
    EXPECT_EQ(readWholeFile(path).value(), std::vector<uint8_t>({'a', 'b', 'c'}));
}

TEST(PortableFile, ReplaceTakesTheTargetsPlaceOrChangesNothing) {
    test::TempDir dir;
    const fs::path source = dir / "new.tmp", target = dir / "TRACK.POD";
    test::writeBytes(source, {2});
    test::writeBytes(target, {1});
    std::error_code ec;
    {
        std::ifstream reader(target, std::ios::binary);
        const bool replaced = replaceFile(source, target, ec);
#ifdef _WIN32
        // A target another program holds open stays as it was, and so does the source.
        EXPECT_FALSE(replaced);
        EXPECT_EQ(ec, std::errc::permission_denied);
        EXPECT_EQ(readWholeFile(target).value(), std::vector<uint8_t>({1}));
        EXPECT_EQ(readWholeFile(source).value(), std::vector<uint8_t>({2}));
#else
        EXPECT_TRUE(replaced);
        test::writeBytes(source, {2});
#endif
    }
    EXPECT_TRUE(replaceFile(source, target, ec)) << ec.message();
    EXPECT_EQ(readWholeFile(target).value(), std::vector<uint8_t>({2}));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_FALSE(replaceFile(dir / "gone.tmp", target, ec));
    EXPECT_EQ(readWholeFile(target).value(), std::vector<uint8_t>({2}));
}

TEST(PortableFile, SeeksPastFourGigabytes) {
    test::TempDir dir;
    const fs::path path = dir / "big.pod";
    constexpr uint64_t kFar = (uint64_t(1) << 32) + 5; // beyond 32-bit offsets
    {
        std::ofstream out(path, std::ios::binary);
    }
    std::error_code ec;
    fs::resize_file(path, kFar + 4, ec); // sparse where the file system allows
    if (ec) GTEST_SKIP() << "no room for a sparse 4 GiB file: " << ec.message();
    FILE* f = openFile(path, "r+b");
    ASSERT_TRUE(f);
    ASSERT_TRUE(seekFile(f, kFar));
    ASSERT_EQ(std::fwrite("FAR!", 1, 4, f), 4u);
    std::fclose(f);

    std::ifstream in(path, std::ios::binary); // an independent reader
    in.seekg(std::streamoff(kFar));
    char back[4] = {};
    in.read(back, 4);
    EXPECT_EQ(std::string(back, 4), "FAR!");
}

TEST(PortableFile, LocalTimeIsAPlausibleCalendarDate) {
    const std::tm moment = localTime(std::time_t(1700000000)); // mid-November 2023 everywhere on Earth
    EXPECT_EQ(moment.tm_year + 1900, 2023);
    EXPECT_EQ(moment.tm_mon + 1, 11);
    EXPECT_GE(moment.tm_mday, 14);
    EXPECT_LE(moment.tm_mday, 15);
}
