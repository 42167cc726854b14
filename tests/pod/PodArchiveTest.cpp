#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodBuilder.h"
#include "pod/PodTrackList.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace ravok;
using ravok::test::ScriptedPrompter;
using ravok::test::TempDir;

namespace {

struct RawItem {
    std::string name;
    std::vector<uint8_t> bytes;
    // When set, the directory claims these instead of the real place.
    long long claimedOffset = -1, claimedSize = -1;
};

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// A pod laid out byte by byte, independent of the builder.
std::vector<uint8_t> rawPod(const std::vector<RawItem>& items, std::string comment = "a comment",
                            long long claimedCount = -1) {
    std::vector<uint8_t> out;
    putU32(out, claimedCount >= 0 ? uint32_t(claimedCount) : uint32_t(items.size()));
    comment.resize(80, '\0');
    out.insert(out.end(), comment.begin(), comment.end());
    uint32_t offset = uint32_t(84 + 40 * items.size());
    for (const auto& item : items) {
        std::string name = item.name;
        name.resize(32, '\0');
        out.insert(out.end(), name.begin(), name.end());
        putU32(out, item.claimedSize >= 0 ? uint32_t(item.claimedSize) : uint32_t(item.bytes.size()));
        putU32(out, item.claimedOffset >= 0 ? uint32_t(item.claimedOffset) : offset);
        offset += uint32_t(item.bytes.size());
    }
    for (const auto& item : items) out.insert(out.end(), item.bytes.begin(), item.bytes.end());
    return out;
}

std::vector<uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

std::optional<Blob> findAndRead(CTrackPOD& track, PodFile& pod, std::string_view name) {
    const PodDirectoryEntry* entry = FindPodItem(track, pod, name);
    if (!entry) return std::nullopt;
    return ReadPodItem(pod, *entry);
}

} // namespace

TEST(PodArchive, LookupsWithAndWithoutFolderFirstMatchWinsAndEmptyItemsAreMissing) {
    TempDir dir;
    test::writeBytes(dir / "t.pod", rawPod({{"ART\\GRASS.RAW", bytesOf("grass")},
                                            {"DATA\\GRASS.RAW", bytesOf("data")},
                                            {"ART\\Rock.raw", bytesOf("rock")},
                                            {"NOFOLDER.RAW", bytesOf("bare")},
                                            {"ART\\EMPTY.RAW", {}},
                                            {"ART\\GRASS.RAW", bytesOf("second")}}));
    CTrackPOD track;
    PodFile pod;
    ASSERT_TRUE(OpenPodDirectory(track, pod, dir / "t.pod"));
    EXPECT_EQ(track.podDirectory.size(), 6u);
    EXPECT_EQ(track.comment.str(), "a comment");

    EXPECT_EQ(findAndRead(track, pod, "GRASS.RAW"), bytesOf("grass")); // bare: first in directory order
    EXPECT_EQ(findAndRead(track, pod, "DATA\\GRASS.RAW"), bytesOf("data"));
    EXPECT_EQ(findAndRead(track, pod, "ART\\GRASS.RAW"), bytesOf("grass"));
    EXPECT_EQ(findAndRead(track, pod, "ROCK.RAW"), bytesOf("rock")); // entry names compared upper-cased
    EXPECT_FALSE(FindPodItem(track, pod, "NOFOLDER.RAW"));            // bare names need a folder in the entry
    EXPECT_TRUE(FindPodItem(track, pod, "NOFOLDER.RAW\\") == nullptr);
    EXPECT_FALSE(FindPodItem(track, pod, "EMPTY.RAW")); // size 0 is missing

    std::string name = "ART\\ROCK.TGA";
    ASSERT_TRUE(FindPodItemAnyExtension(track, pod, name));
    EXPECT_EQ(name, "ART\\ROCK.RAW");
    name = "ART\\NONE.PNG";
    EXPECT_FALSE(FindPodItemAnyExtension(track, pod, name));
    EXPECT_EQ(name, "ART\\NONE.PNG");
}

TEST(PodArchive, HostileDirectoriesNeverReadPastTheFile) {
    TempDir dir;
    CTrackPOD track;
    PodFile pod;
    // Count 0, negative, or more entries than the file holds: the open fails.
    test::writeBytes(dir / "zero.pod", rawPod({}));
    EXPECT_FALSE(OpenPodDirectory(track, pod, dir / "zero.pod"));
    test::writeBytes(dir / "neg.pod", rawPod({{"ART\\A.RAW", bytesOf("a")}}, "", 0x80000001u));
    EXPECT_FALSE(OpenPodDirectory(track, pod, dir / "neg.pod"));
    test::writeBytes(dir / "big.pod", rawPod({{"ART\\A.RAW", bytesOf("a")}}, "", 1000));
    EXPECT_FALSE(OpenPodDirectory(track, pod, dir / "big.pod"));
    EXPECT_TRUE(track.podDirectory.empty());
    std::vector<uint8_t> shortHeader(50, 0);
    shortHeader[0] = 1;
    test::writeBytes(dir / "short.pod", shortHeader);
    EXPECT_FALSE(OpenPodDirectory(track, pod, dir / "short.pod"));
    EXPECT_FALSE(OpenPodDirectory(track, pod, dir / "absent.pod"));

    // Entries reaching past the end are absent; the good one still reads.
    test::writeBytes(dir / "bad.pod", rawPod({{"ART\\OFF.RAW", bytesOf("x"), 0xFFFFFFF0, -1},
                                              {"ART\\SIZE.RAW", bytesOf("y"), -1, 0xFFFFFFFF},
                                              {"ART\\EDGE.RAW", bytesOf("z"), -1, 2},
                                              {"ART\\GOOD.RAW", bytesOf("good")}}));
    ASSERT_TRUE(OpenPodDirectory(track, pod, dir / "bad.pod"));
    EXPECT_FALSE(FindPodItem(track, pod, "OFF.RAW"));
    EXPECT_FALSE(FindPodItem(track, pod, "SIZE.RAW"));
    EXPECT_FALSE(ReadPodItem(pod, track.podDirectory[1]));
    EXPECT_EQ(findAndRead(track, pod, "GOOD.RAW"), bytesOf("good"));
}

TEST(PodArchive, ReadsPastTwoGigabytes) {
    TempDir dir;
    const auto path = dir / "BIG.POD";
    constexpr uint64_t kFar = (uint64_t(3) << 30) + 7; // past any 32-bit signed offset
    {
        std::ofstream out(path, std::ios::binary);
    }
    std::error_code ec;
    std::filesystem::resize_file(path, kFar + 4, ec); // sparse where the file system allows
    if (ec) GTEST_SKIP() << "no room for a sparse 3 GiB file: " << ec.message();
    {
        std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(std::streamoff(kFar));
        out.write("TAIL", 4);
    }
    PodFile pod;
    ASSERT_TRUE(pod.open(path));
    EXPECT_EQ(pod.size(), kFar + 4);
    ASSERT_TRUE(pod.seek(kFar));
    char tail[4] = {};
    ASSERT_TRUE(pod.read(tail, 4));
    EXPECT_EQ(std::string(tail, 4), "TAIL");
    EXPECT_FALSE(pod.seek(kFar + 5));
}

TEST(PodArchive, NameLimitsAndTheirMessages) {
    EXPECT_EQ(ArtNameLimit(), 18);
    EXPECT_EQ(SoundNameLimit(), 18);
    EXPECT_EQ(PodNameLimit("ART\\", ".RAW"), 18);
    EXPECT_EQ(PodNameLimit("A_LONG_FOLDER_NAME\\", ".WAV"), 8);
    EXPECT_EQ(PodNameLimit("A_VERY_LONG_FOLDER_NAME_HERE\\", ".WAV"), 0);

    EXPECT_EQ(PodNameTooLongMessage("EIGHTEEN_CHARS_XYZ", "ART\\", ".RAW"), "");
    std::string normal = PodNameTooLongMessage("NINETEEN_CHARS_XYZW", "ART\\", ".RAW");
    EXPECT_NE(normal.find("\"NINETEEN_CHARS_XYZW\" is too long"), std::string::npos);
    EXPECT_NE(normal.find("18 characters plus the extension"), std::string::npos);
    EXPECT_EQ(PodNameTooLongMessage("NINECHARS", "A_LONG_FOLDER_NAME\\", ".WAV"),
              "\"NINECHARS\" is too long for a track pod.\n\nNames in A_LONG_FOLDER_NAME\\ are limited to 8 characters "
              "plus the .WAV extension - a pod directory entry is 31 characters in total, including the folder and "
              "the extension.\n\nLonger names would need the extended pod format, which no version of the game reads "
              "yet.");

    bool si2 = false;
    EXPECT_TRUE(IsSituationItemName("WORLD\\FARM.SIT", &si2));
    EXPECT_FALSE(si2);
    EXPECT_TRUE(IsSituationItemName("world\\farm.si2", &si2));
    EXPECT_TRUE(si2);
    EXPECT_FALSE(IsSituationItemName("WORLD\\FARM.SIT.BAK"));
    EXPECT_TRUE(IsHdPictureItemName("ART\\A.B.png"));
    EXPECT_FALSE(IsHdPictureItemName("ART\\A.PNG.RAW"));
    EXPECT_EQ(StripUiPrefix("ui/FARMS.BMP"), "FARMS.BMP");
    EXPECT_EQ(StripUiPrefix("UIX.BMP"), "UIX.BMP");
}

TEST(PodBuilder, BuiltPodsReadBackWithAbsoluteBackToBackItems) {
    TempDir dir;
    CTrackPOD track;
    track.SetComment("kept comment");
    ScriptedPrompter prompter;
    test::writeBytes(dir / "source.png", {1, 2, 3, 4, 5});
    {
        PodBuilder builder(track, &prompter);
        builder.scratchFolder = dir.path();
        ASSERT_TRUE(builder.BeginPodBuild());
        EXPECT_NE(builder.scratchPath().filename().string().find("RavokPOD-"), std::string::npos);
        EXPECT_TRUE(builder.AddPodItemFromMemory("data\\first.raw", bytesOf("first item")));
        EXPECT_TRUE(builder.AddPodItemFromMemory("DATA\\EMPTY", {}));
        EXPECT_EQ(builder.AddFileToPod("ART\\PICTURE.RAW", dir / "source.png"), PodBuilder::AddFileResult::Added);
        EXPECT_EQ(builder.AddFileToPod("art\\picture.whatever", dir / "source.png"),
                  PodBuilder::AddFileResult::Duplicate);
        EXPECT_EQ(builder.AddFileToPod("ART\\NAME_OF_TWENTY_FOUR_CHAR.RAW", dir / "source.png"),
                  PodBuilder::AddFileResult::NameTooLong); // 32 characters with .PNG
        EXPECT_EQ(builder.AddFileToPod("ART\\NAME_OF_TWENTY_THREE_CH.RAW", dir / "source.png"),
                  PodBuilder::AddFileResult::Added); // exactly 31
        EXPECT_EQ(builder.AddFileToPod("ART\\GONE.RAW", dir / "missing.png"),
                  PodBuilder::AddFileResult::SourceMissing);
        ASSERT_TRUE(builder.FinishPod(dir / "out.pod"));
        EXPECT_FALSE(std::filesystem::exists(builder.scratchPath()));
    }
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(track.podDirectory.size(), 4u);
    EXPECT_EQ(track.podDirectory[0].offset, 84u + 40u * 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(track.podDirectory[i].offset, track.podDirectory[i - 1].offset + track.podDirectory[i - 1].size);
    EXPECT_EQ(track.podDirectory[2].name.str(), "ART\\PICTURE.PNG");

    CTrackPOD back;
    PodFile pod;
    ASSERT_TRUE(OpenPodDirectory(back, pod, dir / "out.pod"));
    EXPECT_EQ(back.comment.str(), "kept comment");
    EXPECT_EQ(findAndRead(back, pod, "DATA\\FIRST.RAW"), bytesOf("first item"));
    EXPECT_EQ(findAndRead(back, pod, "PICTURE.PNG"), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(FindPodItem(back, pod, "DATA\\EMPTY"));
    EXPECT_EQ(pod.size(), 84u + 40u * 4u + 10u + 5u + 5u);
}

TEST(PodBuilder, FailuresLeaveTheExistingPodUntouched) {
    TempDir dir;
    const std::vector<uint8_t> original = rawPod({{"ART\\OLD.RAW", bytesOf("old pod")}});
    test::writeBytes(dir / "target.pod", original);
    CTrackPOD track;
    ScriptedPrompter prompter;

    auto buildOnto = [&](const std::filesystem::path& target, long long failAfter) {
        PodBuilder builder(track, &prompter);
        builder.scratchFolder = dir.path();
        builder.failWritesAfterBytes = failAfter;
        EXPECT_TRUE(builder.BeginPodBuild());
        EXPECT_TRUE(builder.AddPodItemFromMemory("DATA\\NEW.RAW", std::vector<uint8_t>(10000, 7)));
        bool ok = builder.FinishPod(target);
        EXPECT_FALSE(std::filesystem::exists(builder.scratchPath()));
        return std::make_pair(ok, builder.lastErrorCaption());
    };

    // Read-only by its permission bits, even for a user who could write it.
    std::filesystem::permissions(dir / "target.pod", std::filesystem::perms::owner_read);
    auto [ok, caption] = buildOnto(dir / "target.pod", -1);
    EXPECT_FALSE(ok);
    EXPECT_EQ(caption, kPodWriteCaption);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find("It is marked READ-ONLY."), std::string::npos);
    EXPECT_NE(prompter.shown[0].find("the existing pod is untouched"), std::string::npos);
    EXPECT_TRUE(track.podDirectory.empty());
    EXPECT_EQ(readAll(dir / "target.pod"), original);

    // A write that fails half way, in the directory or in the contents.
    std::filesystem::permissions(dir / "target.pod", std::filesystem::perms::owner_all);
    for (long long failAfter : {50LL, 5000LL}) {
        prompter.shown.clear();
        auto [ok2, caption2] = buildOnto(dir / "target.pod", failAfter);
        EXPECT_FALSE(ok2);
        EXPECT_EQ(caption2, kPodWriteCaption);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_NE(prompter.shown[0].find("errno 28"), std::string::npos);
        EXPECT_EQ(readAll(dir / "target.pod"), original);
    }
    // The scratch cannot be read back once the directory went out.
    prompter.shown.clear();
    {
        PodBuilder builder(track, &prompter);
        builder.scratchFolder = dir.path();
        builder.failScratchReadback = true;
        ASSERT_TRUE(builder.BeginPodBuild());
        ASSERT_TRUE(builder.AddPodItemFromMemory("DATA\\NEW.RAW", bytesOf("new")));
        EXPECT_FALSE(builder.FinishPod(dir / "target.pod"));
        EXPECT_EQ(builder.lastErrorCaption(), kPodFinishCaption);
        EXPECT_NE(builder.lastError().find("could not be reopened"), std::string::npos);
        EXPECT_NE(builder.lastError().find("the existing pod is untouched"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(builder.scratchPath()));
    }
    EXPECT_EQ(readAll(dir / "target.pod"), original);

    // Nothing but the target is left in its folder.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);

    // A scratch folder that does not exist: nothing is built.
    PodBuilder builder(track, &prompter);
    builder.scratchFolder = dir / "no-such-folder";
    EXPECT_FALSE(builder.BeginPodBuild());
    EXPECT_NE(builder.lastError().find("Could not create the scratch file"), std::string::npos);
    EXPECT_FALSE(builder.AddPodItemFromMemory("DATA\\X", bytesOf("x")));
    EXPECT_FALSE(builder.FinishPod(dir / "target.pod"));
    EXPECT_EQ(readAll(dir / "target.pod"), original);
}

TEST(PodBuilder, TwoBuildsAtOnceAndTheItemTableLimit) {
    TempDir dir;
    CTrackPOD first, second;
    PodBuilder a(first, nullptr), b(second, nullptr);
    a.scratchFolder = b.scratchFolder = dir.path();
    ASSERT_TRUE(a.BeginPodBuild());
    ASSERT_TRUE(b.BeginPodBuild());
    EXPECT_NE(a.scratchPath(), b.scratchPath());
    EXPECT_TRUE(a.AddPodItemFromMemory("DATA\\A", bytesOf("from a")));
    EXPECT_TRUE(b.AddPodItemFromMemory("DATA\\B", bytesOf("from b")));
    ASSERT_TRUE(a.FinishPod(dir / "a.pod"));
    ASSERT_TRUE(b.FinishPod(dir / "b.pod"));
    CTrackPOD back;
    PodFile pod;
    ASSERT_TRUE(OpenPodDirectory(back, pod, dir / "a.pod"));
    EXPECT_EQ(findAndRead(back, pod, "DATA\\A"), bytesOf("from a"));

    // The item table holds 20544 entries; one more fails the build.
    ScriptedPrompter prompter;
    PodBuilder c(first, &prompter);
    c.scratchFolder = dir.path();
    ASSERT_TRUE(c.BeginPodBuild());
    for (size_t i = 1; i < kPodItemTableEntries; ++i) ASSERT_TRUE(c.AddPodItemFromMemory("DATA\\I", {}));
    EXPECT_TRUE(c.AddPodItemFromMemory("DATA\\LAST", {}));
    EXPECT_FALSE(c.AddPodItemFromMemory("DATA\\ONE_TOO_MANY", {}));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find("more than 20544 items"), std::string::npos);
    EXPECT_FALSE(c.FinishPod(dir / "c.pod"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.pod"));
}

TEST(PodTrackList, ListsSituationItemsWithSevenCharacterWarnings) {
    TempDir dir;
    auto sit = [](std::string name) { return bytesOf("x.lvl\r\n!Race Track Name\r\n" + name + "\r\nmore\r\n"); };
    test::writeBytes(dir / "t.pod", rawPod({{"WORLD\\FARMROAD1.SIT", sit("Farm Road One")},
                                            {"DATA\\X.RAW", bytesOf("x")},
                                            {"WORLD\\farmroad2.si2", sit("Farm Road Two")},
                                            {"WORLD\\FARMRX.SIT", sit("Other")},
                                            {"WORLD\\SHORT.SIT", bytesOf("only one line")}}));
    PodTrackList list = ListPodSituationFiles(dir / "t.pod");
    ASSERT_EQ(list.tracks.size(), 4u);
    EXPECT_EQ(list.tracks[0].displayName, "Farm Road One");
    EXPECT_EQ(list.tracks[0].stem, "FARMROAD1");
    EXPECT_EQ(list.tracks[1].stem, "farmroad2");
    EXPECT_TRUE(list.tracks[1].si2);
    EXPECT_EQ(list.tracks[3].displayName, "");
    // FARMROA shared by the first two only; FARMRX differs in its sixth character.
    EXPECT_EQ(list.warnings, SharedStemWarning("FARMROAD1", "farmroad2"));

    std::vector<RawItem> many(4097, {"WORLD\\A.SIT", sit("a")});
    test::writeBytes(dir / "many.pod", rawPod(many));
    EXPECT_TRUE(ListPodSituationFiles(dir / "many.pod").tracks.empty());
    CTrackPOD track;
    PodFile pod;
    EXPECT_TRUE(OpenPodDirectory(track, pod, dir / "many.pod")); // opens for loading
}

// An independent reader, written from the layout alone, agrees with the builder.
TEST(PodBuilder, IndependentReaderAgreesWithWhatWasPutIn) {
    TempDir dir;
    CTrackPOD track;
    track.SetComment("independent check");
    std::vector<std::pair<std::string, std::vector<uint8_t>>> items = {
        {"DATA\\A.RAW", std::vector<uint8_t>(70000, 0xAB)},
        {"DATA\\NULL", {}},
        {"WORLD\\TRACK.SIT", bytesOf("text\r\n")},
        {"ART\\THIRTY_ONE_CHARACTERS_X.RAW", {0, 1, 2, 255}},
    };
    PodBuilder builder(track, nullptr);
    builder.scratchFolder = dir.path();
    ASSERT_TRUE(builder.BeginPodBuild());
    for (const auto& [name, bytes] : items) ASSERT_TRUE(builder.AddPodItemFromMemory(name, bytes));
    ASSERT_TRUE(builder.FinishPod(dir / "out.pod"));

    std::string json = "{\"comment\": \"independent check\", \"items\": [";
    for (size_t i = 0; i < items.size(); ++i) {
        std::string hex;
        for (uint8_t b : items[i].second) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
        std::string name = items[i].first;
        for (size_t at = 0; (at = name.find('\\', at)) != std::string::npos; at += 2) name.insert(at, "\\");
        json += (i ? ", " : "") + std::string("{\"name\": \"") + name + "\", \"hex\": \"" + hex + "\"}";
    }
    json += "]}";
    {
        std::ofstream out(dir / "expected.json");
        out << json;
    }
    const std::string command = std::string(RAVOK_PYTHON) + " " + RAVOK_SOURCE_DIR + "/tests/pod/read_pod.py " +
                                (dir / "out.pod").string() + " " + (dir / "expected.json").string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(ItemSources, MemoryItemsFollowThePodLookupRules) {
    MemoryItemSource items;
    items.add("ART\\Grass.raw", bytesOf("first"));
    items.add("DATA\\GRASS.RAW", bytesOf("second"));
    items.add("ART\\EMPTY.RAW", {});
    items.add("BARE.RAW", bytesOf("bare"));
    EXPECT_EQ(items.findAndRead("grass.raw"), bytesOf("first"));
    EXPECT_EQ(items.findAndRead("DATA\\GRASS.RAW"), bytesOf("second"));
    EXPECT_EQ(items.findAndRead("DATA\\GRASS.RAW", 3), bytesOf("sec"));
    EXPECT_FALSE(items.find("EMPTY.RAW"));
    EXPECT_FALSE(items.find("BARE.RAW"));
    ASSERT_TRUE(items.find("ART\\GRASS.RAW"));
    EXPECT_EQ(items.find("ART\\GRASS.RAW")->size, 5u);
}
