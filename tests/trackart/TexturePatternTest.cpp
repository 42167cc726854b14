#include "trackart/TexturePattern.h"
#include "trackart/TexturePatternFile.h"

#include "art/ColourReduction.h"
#include "base/ByteWriter.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

struct TexturePatterns : ::testing::Test {
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();

    // Texture slot i is ART\T<i>.RAW, 64 x 64, every texel its column (so turns show).
    void addTextures(int count) {
        for (int i = 0; i < count; ++i) {
            std::vector<uint8_t> pixels(64 * 64);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) pixels[size_t(y * 64 + x)] = uint8_t(x);
            auto t = std::make_unique<Texture>();
            t->setPicture("ART\\T" + std::to_string(i) + ".RAW", 64, 64, pixels.data());
            track->AddTerrainTexture(std::move(t));
        }
    }
    uint16_t& cell(int x, int y) { return track->terrain.textures[size_t(y * 256 + x)]; }
};

} // namespace

TEST_F(TexturePatterns, LocalNumbersFollowFirstAppearanceAndKeepFlags) {
    addTextures(13);
    const uint16_t cells[2][3] = {{7, 7, 9}, {uint16_t(9 | 0x4000), 12, 7}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) cell(40 + x, 50 + y) = cells[y][x];
    auto p = CreatePattern(*track, {40, 50, 42, 51}, track->palette.colours());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->cells, (std::vector<uint16_t>{0, 0, 1, uint16_t(1 | 0x4000), 2, 0}));
    ASSERT_EQ(p->textures.size(), 3u);
    EXPECT_EQ(p->textures[0].view(), "ART\\T7.RAW");
    EXPECT_EQ(p->textures[1].view(), "ART\\T9.RAW");
    EXPECT_EQ(p->textures[2].view(), "ART\\T12.RAW");
    EXPECT_EQ(p->previewWidth(), 3 * 32);
    EXPECT_EQ(p->previewPixels.size(), size_t(96 * 64));
    // The unturned cell shows the texture's columns every second texel; the
    // quarter-turned one (row 1, column 0) shows them down its rows.
    EXPECT_EQ(p->previewPixels[5], 10);
    EXPECT_EQ(p->previewPixels[size_t(32 * 96 + 0)], p->previewPixels[size_t(32 * 96 + 5)]);
    EXPECT_NE(p->previewPixels[size_t(32 * 96 + 0)], p->previewPixels[size_t(37 * 96 + 0)]);

    EXPECT_TRUE(CanCreatePattern({0, 0, 15, 15}));
    EXPECT_TRUE(CreatePattern(*track, {0, 0, 15, 15}, track->palette.colours()));
    EXPECT_FALSE(CanCreatePattern({0, 0, 16, 3}));
    EXPECT_FALSE(CanCreatePattern({4, 4, 4, 4}));
    cell(70, 70) = 500; // no such texture
    EXPECT_FALSE(CreatePattern(*track, {70, 70, 71, 70}, track->palette.colours()));
}

TEST(TexturePatternPreview, CellSizeRule) {
    EXPECT_EQ(PreviewCellSize(16, 16), 4); // 100 / 16 = 6
    EXPECT_EQ(PreviewCellSize(2, 1), 32);  // 50
    EXPECT_EQ(PreviewCellSize(1, 1), 64);
    EXPECT_EQ(PreviewCellSize(3, 7), 8);   // 14
    EXPECT_EQ(PreviewCellSize(12, 2), 8);  // 8
}

TEST_F(TexturePatterns, StampingKeepsFlagsSkipsCellsOffTheGridAndLoadsMissingTextures) {
    test::TempDir art;
    addTextures(3);
    TexturePattern p;
    p.width = p.height = 4;
    p.textures = {FixedString<32>("ART\\T2.RAW"), FixedString<32>("ART\\NEW.RAW")};
    p.cells.assign(16, 0);
    p.cells[0] = uint16_t(1 | 0x8000);
    test::writeBytes(art / "new.raw", std::vector<uint8_t>(64 * 64, 3));

    PatternApplyParams params{art.path(), false, false};
    test::ScriptedPrompter no;
    no.answers = {false};
    EXPECT_FALSE(ApplyPattern(*track, p, 254, 254, params, no).stamped);
    EXPECT_EQ(track->FindTexture("NEW.RAW"), -1);
    EXPECT_EQ(no.shown[0], std::string(kTexturesNotLoadedCaption) + ": " + kTexturesNotLoadedQuestion);

    const std::vector<uint16_t> before = track->terrain.textures;
    test::ScriptedPrompter yes;
    bool saved = false;
    auto result = ApplyPattern(*track, p, 254, 254, params, yes, [&] { saved = true; });
    ASSERT_TRUE(result.stamped);
    EXPECT_TRUE(result.texturesAdded && saved);
    const int added = track->FindTexture("NEW.RAW");
    ASSERT_EQ(added, 3);
    EXPECT_EQ(cell(254, 254), uint16_t(3 | 0x8000));
    EXPECT_EQ(cell(255, 255), 2);
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) changed += before[i] != track->terrain.textures[i];
    EXPECT_EQ(changed, 4);

    // Always-load without the file: the stamp stops with the message.
    p.textures[1].set("ART\\GONE.RAW");
    test::ScriptedPrompter quiet;
    params.alwaysLoad = true;
    EXPECT_FALSE(ApplyPattern(*track, p, 0, 0, params, quiet).stamped);
    ASSERT_EQ(quiet.shown.size(), 1u);
    EXPECT_EQ(quiet.shown[0], ": Can't load texture: \"ART\\GONE.RAW\"!");

    // A name in a folder of ART\ breaks the texture name rules even when
    // the file is there.
    fs::create_directories(art / "sub");
    test::writeBytes(art / "sub" / "grass.raw", std::vector<uint8_t>(64 * 64, 3));
    p.textures[1].set("ART\\SUB\\GRASS.RAW");
    test::ScriptedPrompter ruled;
    EXPECT_FALSE(ApplyPattern(*track, p, 0, 0, params, ruled).stamped);
    EXPECT_EQ(track->FindTexture("ART\\SUB\\GRASS.RAW"), -1);
    ASSERT_EQ(ruled.shown.size(), 1u);
    EXPECT_EQ(ruled.shown[0], ": Invalid character(s) in name!");
}

namespace {

// One RVP1 record by hand: a 2 x 1 pattern of one texture.
void record(ByteWriter& w, const std::string& name, uint32_t textures = 1, uint16_t width = 2) {
    w.text("RVP1");
    w.u8(uint8_t(name.size()));
    w.text(name);
    w.u16LE(width);
    w.u16LE(1);
    for (int i = 0; i < width; ++i) w.u16LE(uint16_t(0x1000));
    w.u32LE(textures);
    for (uint32_t i = 0; i < textures; ++i) w.fixedText("ART\\GRASS.RAW", 32);
    w.zeros(kPreviewInfoBytes);
    w.zeros(size_t(width * 32) * 32); // 2 x 1 cells of 32
    w.u32LE(0);
}

std::vector<uint8_t> file(const std::vector<std::string>& names, uint16_t count) {
    ByteWriter w;
    w.text("RVPH1");
    w.u16LE(count);
    for (const auto& n : names) record(w, n);
    return w.release();
}

} // namespace

TEST(TexturePatternFile, LongNamesKeep39CharactersAndTheReaderStaysInStep) {
    const std::string fifty(50, 'N');
    auto patterns = ReadPatternFileBytes(file({fifty, "second"}, 2));
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(patterns[0].name.view(), std::string(39, 'N'));
    EXPECT_EQ(patterns[1].name.view(), "second");
    EXPECT_EQ(patterns[1].cells[1], 0x1000);
    EXPECT_EQ(patterns[1].textures[0].view(), "ART\\GRASS.RAW");

    // Written back, the name keeps 39 characters and the bytes read the same.
    const auto bytes = PatternFileBytes(patterns);
    EXPECT_EQ(bytes[7 + 4], 39);
    auto again = ReadPatternFileBytes(bytes);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(PatternFileBytes(again), bytes);

    // A pattern without a name is not written, and the count says so.
    patterns[0].name.clear();
    auto one = ReadPatternFileBytes(PatternFileBytes(patterns));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name.view(), "second");
}

TEST(TexturePatternFile, DamagedRecordsStopReadingAndKeepWhatCameBefore) {
    EXPECT_TRUE(ReadPatternFileBytes(std::vector<uint8_t>{'R', 'V', 'P', 'H', '2', 1, 0}).empty());
    // More records promised than there are: the ones there are read.
    EXPECT_EQ(ReadPatternFileBytes(file({"a", "b"}, 5)).size(), 2u);
    // A texture count above 256, a zero name length, a cell naming no texture,
    // a width of 17, a cut-off preview: each ends the file at that record.
    for (int damage = 0; damage < 5; ++damage) {
        ByteWriter w;
        w.text("RVPH1");
        w.u16LE(3);
        record(w, "good");
        if (damage == 0) record(w, "many", 257);
        if (damage == 1) record(w, "");
        if (damage == 2) record(w, "none", 0);
        if (damage == 3) record(w, "wide", 1, 17);
        if (damage == 4) {
            record(w, "cut");
            std::vector<uint8_t> bytes = w.release();
            bytes.resize(bytes.size() - 100);
            w.bytes(bytes); // the file ends inside the record
        } else {
            record(w, "after");
        }
        auto patterns = ReadPatternFileBytes(w.bytes());
        ASSERT_EQ(patterns.size(), 1u) << damage;
        EXPECT_EQ(patterns[0].name.view(), "good");
    }
}

TEST_F(TexturePatterns, AddingAndDeletingPatternsWritesTheFile) {
    test::TempDir dir;
    addTextures(2);
    cell(0, 0) = 1;
    std::vector<TexturePattern> patterns;
    const fs::path path = dir / "mine.rvp";
    EXPECT_EQ(PatternNameProblem(patterns, "").caption, kPatternNameMissingCaption);
    ASSERT_TRUE(AddPatternToFile(patterns, *track, {0, 0, 1, 1}, "crossing", track->palette.colours(), path).ok);
    EXPECT_EQ(PatternNameProblem(patterns, "crossing").message, kPatternNameDuplicate);
    EXPECT_TRUE(PatternNameProblem(patterns, "other").ok);
    EXPECT_EQ(AddPatternToFile(patterns, *track, {0, 0, 0, 0}, "one", track->palette.colours(), path).message,
              kPatternCreateFailed);
    auto read = ReadPatternFile(path);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].previewPixels, patterns[0].previewPixels);
    EXPECT_EQ(read[0].textures.size(), 2u);
    ASSERT_TRUE(DeletePatternFromFile(patterns, 0, path));
    EXPECT_TRUE(ReadPatternFile(path).empty());
    EXPECT_TRUE(ReadPatternFile(dir / "missing.rvp").empty());

    patterns.assign(kMaxPatternsPerFile, read[0]);
    EXPECT_EQ(AddPatternToFile(patterns, *track, {0, 0, 1, 1}, "full", track->palette.colours(), {}).message,
              kPatternLimitMessage);
}

TEST(TexturePatternFile, OnlyAnExistingFileOfOtherContentIsForeign) {
    test::TempDir dir;
    EXPECT_FALSE(IsForeignPatternFile(dir / "new.rvp")); // a new name starts an empty file
    test::writeBytes(dir / "empty.rvp", {});
    EXPECT_FALSE(IsForeignPatternFile(dir / "empty.rvp"));
    ASSERT_TRUE(WritePatternFile(dir / "mine.rvp", {}));
    EXPECT_FALSE(IsForeignPatternFile(dir / "mine.rvp"));
    test::writeBytes(dir / "notes.txt", {'R', 'V', 'P', 'x', '1', 0, 0});
    EXPECT_TRUE(IsForeignPatternFile(dir / "notes.txt"));
    test::writeBytes(dir / "tiny", {'R'});
    EXPECT_TRUE(IsForeignPatternFile(dir / "tiny"));
    std::filesystem::create_directory(dir / "folder.rvp");
    EXPECT_TRUE(IsForeignPatternFile(dir / "folder.rvp"));
}
