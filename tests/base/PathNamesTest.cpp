#include "base/PathNames.h"

#include "base/FileIO.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

TEST(PathNames, Latin1NamesBecomeTheSameCharactersOnDisk) {
    const std::string stored = "CAF\xC9_\xFF\xA0.RAW";
    const fs::path path = pathFromName(stored);
    EXPECT_EQ(pathText(path), "CAF\xC3\x89_\xC3\xBF\xC2\xA0.RAW"); // as UTF-8
    EXPECT_EQ(nameFromPath(path), stored);

    // Every byte a name may hold comes back unchanged.
    std::string all;
    for (int c = 0x20; c < 0x100; ++c)
        if (c != '/' && c != '\\') all.push_back(char(c));
    EXPECT_EQ(nameFromPath(pathFromName(all)), all);

    // Characters the games cannot store become '?'.
    EXPECT_EQ(nameFromPath(fs::path(u8"A\u20AC\U0001F600B")), "A??B");
}

TEST(PathNames, FilesMadeFromStoredNamesAreFoundAndListedUnderThem) {
    test::TempDir dir;
    const std::string stored = "\xC9T\xC9.RAW";
    ASSERT_TRUE(writeFileAtomically(dir.path() / pathFromName(stored), std::vector<uint8_t>{7}));
    int found = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(nameFromPath(entry.path().filename()), stored);
        EXPECT_EQ(pathFromText(pathText(entry.path())), entry.path());
        ++found;
    }
    EXPECT_EQ(found, 1);
    auto hit = resolveInFolder(dir.path(), stored);
    ASSERT_TRUE(hit);
    EXPECT_EQ(readWholeFile(*hit).value(), std::vector<uint8_t>({7}));
}

#ifndef _WIN32
TEST(PathNames, EightBitNamesOfOlderFilesAreKept) {
    // A file whose name is not UTF-8 (written byte for byte by an older program).
    const fs::path raw("\xC9T\xC9.RAW");
    EXPECT_EQ(nameFromPath(raw), "\xC9T\xC9.RAW");
    test::TempDir dir;
    test::writeBytes(dir / raw.string(), {3});
    auto hit = resolveInFolder(dir.path(), "\xE9t\xE9.raw");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->filename(), raw);
}
#endif
