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

TEST(FileIO, AtomicWriteNeverBreaksATargetThatIsOpen) {
    TempDir dir;
    auto target = dir / "track.rvk";
    test::writeBytes(target, {1, 2, 3});
    const std::vector<uint8_t> fresh = {9, 8, 7, 6};
    {
        // Another program reading the target. Windows refuses to replace a
        // file open without delete sharing; other systems replace it.
        std::ifstream reader(target, std::ios::binary);
        ASSERT_TRUE(reader);
        const bool written = writeFileAtomically(target, fresh);
#ifdef _WIN32
        EXPECT_FALSE(written);
        EXPECT_EQ(readWholeFile(target).value(), std::vector<uint8_t>({1, 2, 3}));
#else
        EXPECT_TRUE(written);
        EXPECT_EQ(readWholeFile(target).value(), fresh);
#endif
        EXPECT_EQ(reader.get(), 1); // the reader still sees the file it opened
    }
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1); // no temporary file left behind either way

    // Once the reader is gone the target is replaced again and again.
    for (uint8_t round = 0; round < 3; ++round) {
        ASSERT_TRUE(writeFileAtomically(target, std::vector<uint8_t>{round}));
        EXPECT_EQ(readWholeFile(target).value(), std::vector<uint8_t>({round}));
    }
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

    // What Windows reads as a drive, a share, a stream or a device.
    for (const char* name : {"c:\\WINDOWS\\X.DLL", "D:", "\\\\server\\share\\A.RAW", "//server/share/A.RAW",
                             "ART\\GRASS.RAW:hidden", "GRASS.RAW::$DATA", "ART:\\A.RAW", "CON", "nul.raw",
                             "ART\\Com1.BIN", "LPT9.PNG", "AUX .RAW", "CONIN$", "COM\xB9.RAW", "ART\\prn\\A.RAW",
                             "ART.\\A.RAW", "A.RAW ", "A*.RAW", "A?.RAW", "A\"B", "A<B", "A|B", "A\tB"})
        EXPECT_FALSE(isSafeRelativeName(name)) << name;
    // Names that only look like devices are ordinary files.
    for (const char* name : {"CONSOLE.RAW", "ART\\NULL.RAW", "COM10.BIN", "LPT.RAW", "ART\\AUXILIARY.RAW",
                             "MODELS\\CON_ROAD.BIN", "A.B.C", "GR\xC9" "ASS.RAW"})
        EXPECT_TRUE(isSafeRelativeName(name)) << name;
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

TEST(FileIO, ResolvesLatin1NamesToTheirFilesOnDisk) {
    TempDir dir;
    // Made by another program: "Ré" as Unicode, in another letter case.
    const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"R\u00e9seau");
    std::filesystem::create_directories(folder);
    test::writeBytes(folder / std::filesystem::path(u8"Pr\u00e9.Raw"), {5});
    for (const char* stored : {"R\xC9SEAU\\PR\xC9.RAW", "r\xE9seau\\pr\xE9.raw"}) {
        auto hit = resolveInFolder(dir.path(), stored);
        ASSERT_TRUE(hit) << stored;
        EXPECT_EQ(readWholeFile(*hit).value(), std::vector<uint8_t>({5}));
    }
    EXPECT_FALSE(resolveInFolder(dir.path(), "R\xE9SEAU\\CON"));
}

#ifndef _WIN32 // POSIX modes, links and a child process with a file-size limit
TEST(FileIO, FailedWritesLeaveTheOldFileByteIdentical) {
    TempDir dir;
    const std::vector<uint8_t> old = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> fresh(4096, 0x5A);
    auto onlyFileIs = [&](const std::filesystem::path& folder, const std::string& name) {
        std::vector<std::string> names;
        for (auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
        return names == std::vector<std::string>{name};
    };

    // A read-only file is refused with a message naming it, and stays read-only.
    std::filesystem::create_directory(dir / "ro");
    const auto readOnly = dir / "ro" / "locked.rvk";
    test::writeBytes(readOnly, old);
    std::filesystem::permissions(readOnly, std::filesystem::perms(0444));
    std::string error;
    EXPECT_FALSE(writeFileAtomically(readOnly, fresh, &error));
    EXPECT_NE(error.find("locked.rvk"), std::string::npos) << error;
    EXPECT_EQ(test::fileBytes(readOnly), old);
    EXPECT_EQ(std::filesystem::status(readOnly).permissions() & std::filesystem::perms::mask,
              std::filesystem::perms(0444));
    EXPECT_TRUE(onlyFileIs(dir / "ro", "locked.rvk"));

    // A full disk: the child may not write more than 100 bytes into any file.
    std::filesystem::create_directory(dir / "full");
    const auto full = dir / "full" / "track.rvk";
    test::writeBytes(full, old);
    EXPECT_EQ(test::runInChild([&] { return writeFileAtomically(full, fresh); }, {100, false}), 0);
    EXPECT_EQ(test::fileBytes(full), old);
    EXPECT_TRUE(onlyFileIs(dir / "full", "track.rvk"));

    // A folder the writer may not write into.
    std::filesystem::create_directory(dir / "closed");
    const auto closed = dir / "closed" / "track.rvk";
    test::writeBytes(closed, old);
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(dir / "closed", std::filesystem::perms(0555));
    EXPECT_EQ(test::runInChild([&] { return writeFileAtomically(closed, fresh); }, {0, true}), 0);
    EXPECT_EQ(test::fileBytes(closed), old);
    std::filesystem::permissions(dir / "closed", std::filesystem::perms(0755));

    // The same writes succeed when nothing is in the way.
    EXPECT_EQ(test::runInChild([&] { return writeFileAtomically(full, fresh); }, {1 << 20, false}), 1);
    EXPECT_EQ(test::fileBytes(full), fresh);
}

TEST(FileIO, AReplacedFileKeepsItsPermissionsAndLinksStayLinks) {
    TempDir dir;
    const std::vector<uint8_t> fresh = {4, 5, 6};
    const auto privateFile = dir / "private.rvk";
    test::writeBytes(privateFile, {1});
    std::filesystem::permissions(privateFile, std::filesystem::perms(0600));
    ASSERT_TRUE(writeFileAtomically(privateFile, fresh));
    EXPECT_EQ(test::fileBytes(privateFile), fresh);
    EXPECT_EQ(std::filesystem::status(privateFile).permissions() & std::filesystem::perms::mask,
              std::filesystem::perms(0600));

    // Saving through a link writes the file it points to, in another folder.
    std::filesystem::create_directory(dir / "real");
    const auto real = dir / "real" / "track.rvk";
    test::writeBytes(real, {1});
    std::filesystem::create_symlink("real/track.rvk", dir / "link.rvk");
    ASSERT_TRUE(writeFileAtomically(dir / "link.rvk", fresh));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.rvk"));
    EXPECT_EQ(test::fileBytes(real), fresh);
    EXPECT_EQ(resolveWriteTarget(dir / "link.rvk"), real);
}
#endif
