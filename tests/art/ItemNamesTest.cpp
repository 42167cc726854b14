#include "art/ItemNames.h"

#include "base/Text.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace ravok {
namespace {

TEST(ItemNames, SplitAtTheFirstBackslashAndTheFileNameAtTheLast) {
    EXPECT_EQ(itemFolder("ART\\GRASS.RAW"), "ART");
    EXPECT_EQ(nameInFolder("ART\\GRASS.RAW"), "GRASS.RAW");
    EXPECT_EQ(itemStem("ART\\GRASS.RAW"), "GRASS");
    EXPECT_EQ(itemFileName("ART\\GRASS.RAW"), "GRASS.RAW");

    // A bare name has no folder and is its own name.
    EXPECT_EQ(itemFolder("GRASS.RAW"), "");
    EXPECT_EQ(nameInFolder("GRASS.RAW"), "GRASS.RAW");
    EXPECT_EQ(itemFileName("GRASS.RAW"), "GRASS.RAW");
    EXPECT_FALSE(hasItemFolder("GRASS.RAW"));

    // Nested folders: the folder is the first, the file name the last part.
    EXPECT_EQ(itemFolder("ART\\SUB\\GRASS.RAW"), "ART");
    EXPECT_EQ(nameInFolder("ART\\SUB\\GRASS.RAW"), "SUB\\GRASS.RAW");
    EXPECT_EQ(itemFileName("ART\\SUB\\GRASS.RAW"), "GRASS.RAW");
    EXPECT_EQ(itemStem("ART\\SUB\\GRASS.RAW"), "SUB\\GRASS");

    // A dot in a folder is no extension; a leading backslash is an empty folder.
    EXPECT_EQ(itemStem("ART\\V1.0\\GRASS"), "V1.0\\GRASS");
    EXPECT_EQ(itemStem("MODELS\\TREE"), "TREE");
    EXPECT_TRUE(hasItemFolder("\\GRASS.RAW"));
    EXPECT_EQ(itemFolder("\\GRASS.RAW"), "");
    EXPECT_EQ(itemFileName("ART\\"), "");
}

TEST(ItemNames, JoinAndDefaultFolderKeepANameThatNamesItsOwn) {
    EXPECT_EQ(itemName("ART", "GRASS.RAW"), "ART\\GRASS.RAW");
    EXPECT_EQ(itemName("", "GRASS.RAW"), "GRASS.RAW");
    EXPECT_EQ(withDefaultFolder("ART", "GRASS.RAW"), "ART\\GRASS.RAW");
    EXPECT_EQ(withDefaultFolder("ART", "WORLD\\GRASS.RAW"), "WORLD\\GRASS.RAW");
    EXPECT_EQ(withDefaultFolder("MODELS", "\\TREE.BIN"), "\\TREE.BIN");

    EXPECT_TRUE(isInItemFolder("art\\GRASS.RAW", "ART"));
    EXPECT_TRUE(isInItemFolder("ART\\", "ART"));
    EXPECT_FALSE(isInItemFolder("ART", "ART"));
    EXPECT_FALSE(isInItemFolder("ARTS\\GRASS.RAW", "ART"));
    EXPECT_FALSE(isInItemFolder("MODELS\\ART\\GRASS.RAW", "ART"));
}

TEST(ItemNames, DiskPathAndHdPictureStayInsideTheFolderInAnyCase) {
    test::TempDir dir;
    test::writeBytes(dir / "grass.raw", {1});
    test::writeBytes(dir / "Rock.Tga", {1});
    test::writeBytes(dir / "ROCK.png", {1});
    std::filesystem::create_directory(dir / "SAND.PNG"); // a folder is no picture
    test::writeBytes(dir / "SAND.TGA", {1});

    // Names match the files whatever their letter case (file systems may differ).
    auto grass = itemDiskPath(dir.path(), "ART\\GRASS.RAW");
    ASSERT_TRUE(grass);
    EXPECT_EQ(upperCase(grass->filename().string()), "GRASS.RAW");
    EXPECT_FALSE(itemDiskPath(dir.path(), "ART\\..\\GRASS.RAW"));
    EXPECT_FALSE(itemDiskPath(dir.path(), "ART\\MISSING.RAW"));

    auto rock = findHdPicture(dir.path(), "ROCK");
    ASSERT_TRUE(rock);
    EXPECT_EQ(upperCase(rock->filename().string()), "ROCK.PNG"); // PNG before TGA
    auto sand = findHdPicture(dir.path(), "SAND");
    ASSERT_TRUE(sand);
    EXPECT_EQ(upperCase(sand->filename().string()), "SAND.TGA");
    EXPECT_FALSE(findHdPicture(dir.path(), "GRASS"));
}

} // namespace
} // namespace ravok
