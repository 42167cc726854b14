#include "doc/DocumentSteps.h"

#include "art/Texture.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "pod/WritePodTexts.h"
#include "trackart/TrackArt.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ravok;
using ravok::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Records captions; cancelled once `cancelAfter` captions have been set.
struct StepProgress : ProgressSink {
    std::vector<std::string> captions;
    size_t cancelAfter = SIZE_MAX;
    void setRange(int) override {}
    void setPosition(int) override {}
    void step() override {}
    void setText(const std::string&) override {}
    void setCaption(const std::string& caption) override { captions.push_back(caption); }
    bool cancelled() const override { return captions.size() >= cancelAfter; }
};

// A track file naming one terrain texture, ART\GRASS.RAW.
void writeTrackFile(const fs::path& path) {
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    track->SetTrackName("Hill Climb");
    auto grass = std::make_unique<Texture>();
    std::vector<uint8_t> pixels(64 * 64, 7);
    grass->setPicture("ART\\GRASS.RAW", 64, 64, pixels.data());
    track->AddTerrainTexture(std::move(grass));
    ASSERT_TRUE(SaveBinary(*track, path));
}

// The grass texture in an art folder, as .RAW and .ACT.
void writeGrassArt(const fs::path& art) {
    fs::create_directories(art);
    test::writeBytes(art / "GRASS.RAW", std::vector<uint8_t>(64 * 64, 3));
    test::writeBytes(art / "GRASS.ACT", std::vector<uint8_t>(768, 40));
}

bool anyReportHolds(const StepResult& result, const std::string& part) {
    for (const auto& r : result.reports)
        if (r.text.find(part) != std::string::npos || r.caption.find(part) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(DocumentSteps, OpenReadsSetsUpAndReportsMissingArtWithoutFailing) {
    TempDir dir;
    writeTrackFile(dir / "hill.rvk");
    const DocumentFolders folders{dir / "art", dir / "models", false};
    test::ScriptedPrompter prompter;
    auto track = std::make_unique<CTrackPOD>();

    StepProgress progress;
    StepResult opened = OpenTrackFile(*track, dir / "hill.rvk", folders, prompter, progress);
    EXPECT_TRUE(opened.ok);
    EXPECT_FALSE(opened.cancelled);
    EXPECT_GT(opened.version, 0);
    EXPECT_EQ(track->trackName.str(), "Hill Climb");
    EXPECT_TRUE(anyReportHolds(opened, kTextureLoadCaption)); // the art folder is empty
    EXPECT_EQ(progress.captions, (std::vector<std::string>{kLoadingFileCaption, kLoadingArtCaption,
                                                           kLoadingModelsCaption}));

    writeGrassArt(folders.art);
    opened = OpenTrackFile(*track, dir / "hill.rvk", folders, prompter, progress);
    EXPECT_TRUE(opened.ok);
    EXPECT_TRUE(opened.reports.empty());

    // Not a track file: the track is left cleared with the message.
    test::writeBytes(dir / "junk.rvk", {'J', 'U', 'N', 'K'});
    opened = OpenTrackFile(*track, dir / "junk.rvk", folders, prompter, progress);
    EXPECT_FALSE(opened.ok);
    ASSERT_EQ(opened.reports.size(), 1u);
    EXPECT_EQ(opened.reports[0].text, kOpenErrorMessage);
    EXPECT_EQ(filledSlots(track->terrainTextures), 0);

    // Cancelled while the file is read: nothing is kept, nothing reported.
    StepProgress stop;
    stop.cancelAfter = 1;
    opened = OpenTrackFile(*track, dir / "hill.rvk", folders, prompter, stop);
    EXPECT_FALSE(opened.ok);
    EXPECT_TRUE(opened.cancelled);
    EXPECT_TRUE(opened.reports.empty());
    EXPECT_EQ(filledSlots(track->terrainTextures), 0);
}

#ifndef _WIN32 // POSIX modes, links and a child process with a file-size limit
TEST(DocumentSteps, AFailedSaveLeavesTheOldFileByteIdentical) {
    TempDir dir;
    writeTrackFile(dir / "hill.rvk");
    const std::vector<uint8_t> old = test::fileBytes(dir / "hill.rvk");
    auto track = std::make_unique<CTrackPOD>();
    NewMtm1Track(*track); // different bytes from the file's
    test::ScriptedPrompter prompter;
    StepProgress progress;

    // Read-only: refused with a message naming the file.
    fs::permissions(dir / "hill.rvk", fs::perms(0444));
    StepResult saved = SaveTrackFile(*track, dir / "hill.rvk", {}, prompter, progress);
    EXPECT_FALSE(saved.ok);
    ASSERT_EQ(saved.reports.size(), 1u);
    EXPECT_NE(saved.reports[0].text.find(kSaveErrorMessage), std::string::npos);
    EXPECT_NE(saved.reports[0].text.find("hill.rvk"), std::string::npos);
    EXPECT_EQ(test::fileBytes(dir / "hill.rvk"), old);
    EXPECT_TRUE(track->filePath.str().empty());
    fs::permissions(dir / "hill.rvk", fs::perms(0644));

    // A full disk.
    EXPECT_EQ(test::runInChild(
                  [&] {
                      StepProgress quiet;
                      return SaveTrackFile(*track, dir / "hill.rvk", {}, prompter, quiet).ok;
                  },
                  {200, false}),
              0);
    EXPECT_EQ(test::fileBytes(dir / "hill.rvk"), old);

    // Through a link to a private file: the link stays, the file keeps its mode.
    fs::permissions(dir / "hill.rvk", fs::perms(0600));
    fs::create_symlink("hill.rvk", dir / "link.rvk");
    saved = SaveTrackFile(*track, dir / "link.rvk", {}, prompter, progress);
    EXPECT_TRUE(saved.ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link.rvk"));
    EXPECT_NE(test::fileBytes(dir / "hill.rvk"), old);
    EXPECT_EQ(fs::status(dir / "hill.rvk").permissions() & fs::perms::mask, fs::perms(0600));
    EXPECT_EQ(track->filePath.str(), (dir / "link.rvk").string());
}

TEST(DocumentSteps, WritePodReportsFailuresAndWhatWasNotPacked) {
    TempDir dir;
    writeTrackFile(dir / "hill.rvk");
    const DocumentFolders folders{dir / "art", dir / "models", true};
    writeGrassArt(folders.art);
    fs::create_directories(folders.models);
    test::ScriptedPrompter prompter;
    StepProgress progress;
    auto track = std::make_unique<CTrackPOD>();
    ASSERT_TRUE(OpenTrackFile(*track, dir / "hill.rvk", folders, prompter, progress).ok);

    StepResult written = WriteTrackPod(*track, dir / "hill.pod", folders, prompter, progress);
    ASSERT_TRUE(written.ok);
    EXPECT_TRUE(written.pod.ok);
    EXPECT_TRUE(written.reports.empty());
    EXPECT_EQ(written.podBytes, fs::file_size(dir / "hill.pod"));
    const std::vector<uint8_t> old = test::fileBytes(dir / "hill.pod");

    // A read-only pod and a full disk leave the old pod byte-identical.
    fs::permissions(dir / "hill.pod", fs::perms(0444));
    track->SetTrackName("Other Hill");
    written = WriteTrackPod(*track, dir / "hill.pod", folders, prompter, progress);
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(anyReportHolds(written, kPodSaveErrorMessage));
    EXPECT_EQ(test::fileBytes(dir / "hill.pod"), old);
    fs::permissions(dir / "hill.pod", fs::perms(0644));
    EXPECT_EQ(test::runInChild(
                  [&] {
                      StepProgress quiet;
                      test::ScriptedPrompter silent;
                      return WriteTrackPod(*track, dir / "hill.pod", folders, silent, quiet).ok;
                  },
                  {1000, false}),
              0);
    EXPECT_EQ(test::fileBytes(dir / "hill.pod"), old);

    // Through a link to a private pod: the link stays, the pod keeps its mode.
    fs::permissions(dir / "hill.pod", fs::perms(0600));
    fs::create_symlink("hill.pod", dir / "link.pod");
    written = WriteTrackPod(*track, dir / "link.pod", folders, prompter, progress);
    EXPECT_TRUE(written.ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link.pod"));
    EXPECT_NE(test::fileBytes(dir / "hill.pod"), old);
    EXPECT_EQ(fs::status(dir / "hill.pod").permissions() & fs::perms::mask, fs::perms(0600));

    // A texture that could not be loaded: the pod is written, and the error
    // names what is missing from it.
    fs::remove(folders.art / "GRASS.RAW");
    ASSERT_TRUE(OpenTrackFile(*track, dir / "hill.rvk", folders, prompter, progress).ok);
    written = WriteTrackPod(*track, dir / "bad.pod", folders, prompter, progress);
    EXPECT_TRUE(written.ok);
    EXPECT_FALSE(written.pod.ok);
    ASSERT_EQ(written.reports.size(), 1u);
    EXPECT_EQ(written.reports[0].text.rfind(kPodSaveErrorMessage, 0), 0u);
    EXPECT_NE(written.reports[0].text.find("ART\\GRASS.RAW"), std::string::npos);
    // ...in one message: the builder's own list box is not shown as well.
    for (const std::string& shown : prompter.shown)
        EXPECT_EQ(shown.find(kTexturesNotPackedCaption), std::string::npos) << shown;
}

#endif

TEST(DocumentSteps, ViewAndCloneFailuresLeaveAClearedTrack) {
    TempDir dir;
    test::ScriptedPrompter prompter;
    StepProgress progress;
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    track->SetTrackName("Before");
    test::writeBytes(dir / "junk.pod", {1, 2, 3});
    StepResult viewed = ViewPodTrack(*track, dir / "junk.pod", 0, {}, prompter, progress);
    EXPECT_FALSE(viewed.ok);
    EXPECT_FALSE(track->podViewMode);
    EXPECT_NE(track->trackName.str(), "Before");
    EXPECT_EQ(progress.captions.back(), kLoadingPodCaption);

    NewMtm2Track(*track);
    track->SetTrackName("Before");
    test::writeBytes(dir / "LOOSE.SIT", {'x'});
    StepResult cloned = CloneTrackFromGame(*track, dir / "LOOSE.SIT", {}, prompter, progress);
    EXPECT_FALSE(cloned.ok);
    EXPECT_TRUE(anyReportHolds(cloned, "SIT not in proper location."));
    EXPECT_NE(track->trackName.str(), "Before");
}
