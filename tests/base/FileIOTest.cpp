#include "base/FileIO.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ravok;
using ravok::test::TempDir;

TEST(FileIO, AtomicWriteReplacesOrLeavesTheOldFile) {
    TempDir dir;
    auto target = dir / "track.rvk";
    test::writeBytes(target, {1, 2, 3});
    const std::vector<uint8_t> fresh = {9, 8, 7, 6};
    ASSERT_TRUE(writeFileAtomically(target, fresh));
    EXPECT_EQ(readWholeFile(target).value(), fresh);

    // A folder that does not exist: failure, nothing left behind.
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "x.rvk", fresh, &error));
    EXPECT_FALSE(error.empty());

    // The target is a folder: the rename fails, the temporary file is removed.
    std::filesystem::create_directory(dir / "busy");
    test::writeBytes(dir / "busy" / "inside", {1});
    EXPECT_FALSE(writeFileAtomically(dir / "busy", fresh));
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.path().filename() != "busy";
    EXPECT_EQ(entries, 1); // only track.rvk
}

TEST(FileIO, ReadWholeFileRefusesLargeFiles) {
    TempDir dir;
    test::writeBytes(dir / "ten", std::vector<uint8_t>(10, 1));
    EXPECT_EQ(readWholeFile(dir / "ten")->size(), 10u);
    EXPECT_FALSE(readWholeFile(dir / "ten", 10)); // at the limit or more is refused
    EXPECT_FALSE(readWholeFile(dir / "none"));
}

TEST(FileIO, NamesStayInsideTheirFolder) {
    EXPECT_TRUE(isSafeRelativeName("ART\\GRASS.RAW"));
    EXPECT_TRUE(isSafeRelativeName("models/barn.bin"));
    EXPECT_FALSE(isSafeRelativeName(""));
    EXPECT_FALSE(isSafeRelativeName("..\\secret"));
    EXPECT_FALSE(isSafeRelativeName("ART\\..\\..\\x"));
    EXPECT_FALSE(isSafeRelativeName("/etc/passwd"));
    EXPECT_FALSE(isSafeRelativeName("\\ART\\A.RAW"));
    EXPECT_FALSE(isSafeRelativeName("C:ART"));
    EXPECT_FALSE(isSafeRelativeName("ART\\\\A.RAW"));
    EXPECT_FALSE(isSafeRelativeName("ART\\"));
}

TEST(FileIO, ResolvesStoredNamesWithoutRegardToCase) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Art");
    test::writeBytes(dir / "Art" / "Grass.raw", {1});
    test::writeBytes(dir / "MUD.RAW", {2});
    auto hit = resolveInFolder(dir.path(), "ART\\GRASS.RAW");
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, dir / "Art" / "Grass.raw");
    EXPECT_EQ(*resolveInFolder(dir.path(), "MUD.RAW"), dir / "MUD.RAW"); // exact match
    EXPECT_FALSE(resolveInFolder(dir.path(), "ART\\ROCK.RAW"));
    EXPECT_FALSE(resolveInFolder(dir.path(), "..\\MUD.RAW"));

    // A file written after the folder was listed is found once the cache is dropped.
    EXPECT_FALSE(resolveInFolder(dir.path(), "art\\new.raw"));
    test::writeBytes(dir / "Art" / "New.RAW", {3});
    invalidateFolderCache(dir / "Art");
    EXPECT_EQ(*resolveInFolder(dir.path(), "art\\new.raw"), dir / "Art" / "New.RAW");
}
