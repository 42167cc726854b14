#include "doc/DocumentSteps.h"

#include "base/Interfaces.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"
#include "pod/CloneTrack.h"
#include "pod/SituationFile.h"
#include "pod/WritePodTexts.h"
#include "trackart/TrackArt.h"

#include <cstdio>

namespace fs = std::filesystem;

namespace ravok {

namespace {

StepResult cancelledStep() {
    StepResult result;
    result.cancelled = true;
    return result;
}

// The art and model passes that follow Open and Clone; their problems are
// reported, never fatal.
void loadArtAndModels(CTrackPOD& track, const DocumentFolders& folders, ProgressSink& progress, StepResult& result) {
    const TrackArtResult art = LoadTrackArt(track, folders.art, folders.models, &progress);
    result.cancelled = art.cancelled;
    if (art.cancelled) return;
    if (!art.texturesOk) result.reports.push_back({art.textureReport, kTextureLoadCaption});
    if (!art.modelsOk) result.reports.push_back({art.modelReport, kModelLoadCaption});
}

// Passes the pod builder's messages on, except the list of textures not
// packed: that one goes into the build's error report instead of a box of
// its own.
class NotPackedKeeper : public Prompter {
public:
    explicit NotPackedKeeper(Prompter& user) : m_user(user) {}
    std::string kept;
    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override {
        return m_user.askYesNo(text, caption, defaultYes);
    }
    void inform(const std::string& text, const std::string& caption) override { m_user.inform(text, caption); }
    void warn(const std::string& text, const std::string& caption) override {
        if (caption == kTexturesNotPackedCaption)
            kept = text;
        else
            m_user.warn(text, caption);
    }

private:
    Prompter& m_user;
};

void reportSituationProblems(const CTrackPOD& track, StepResult& result) {
    if (std::string text = SituationProblemText(track); !text.empty())
        result.reports.push_back({std::move(text), kSituationProblemCaption});
}

} // namespace

StepResult ReadTrackFile(CTrackPOD& track, const fs::path& path, ProgressSink& progress) {
    progress.setCaption(kLoadingFileCaption);
    StepResult result;
    const bool read = LoadBinary(track, path, &result.version, &progress);
    if (progress.cancelled()) {
        track.Clear();
        return cancelledStep();
    }
    if (!read) {
        track.Clear(); // a partly read file leaves nothing behind
        result.reports.push_back({kOpenErrorMessage, {}});
        return result;
    }
    if (track.isMtm2())
        track.SetUpMtm2();
    else
        track.SetUpMtm1();
    result.ok = true;
    return result;
}

StepResult OpenTrackArt(CTrackPOD& track, const DocumentFolders& folders, ProgressSink& progress) {
    StepResult result;
    loadArtAndModels(track, folders, progress, result);
    result.ok = !result.cancelled;
    return result;
}

StepResult OpenTrackFile(CTrackPOD& track, const fs::path& path, const DocumentFolders& folders, Prompter&,
                         ProgressSink& progress) {
    StepResult result = ReadTrackFile(track, path, progress);
    if (result.ok) loadArtAndModels(track, folders, progress, result);
    return result;
}

StepResult SaveTrackFile(CTrackPOD& track, const fs::path& path, const DocumentFolders&, Prompter& prompter,
                         ProgressSink& progress) {
    progress.setCaption(kSavingFileCaption);
    StepResult result;
    std::string error;
    result.ok = SaveBinary(track, path, &prompter, &progress, &error);
    if (!result.ok) {
        result.reports.push_back({std::string(kSaveErrorMessage) + "\n" + error, {}});
        return result;
    }
    track.filePath.set(path.string());
    return result;
}

StepResult WriteTrackPod(CTrackPOD& track, const fs::path& podPath, const DocumentFolders& folders,
                         Prompter& prompter, ProgressSink& progress) {
    if (progress.cancelled()) return cancelledStep();
    StepResult result;
    if (!folders.keepHdArtOnly) progress.setCaption(kUpdatingHdTexturesCaption);
    result.modelsReloaded = PrepareTrackForPod(track, folders.art, folders.keepHdArtOnly, &progress);
    progress.setCaption(kWritingPodCaption);
    NotPackedKeeper reporter(prompter);
    result.pod = BuildTrackPod(track, podPath, folders.art, &reporter, BuildDate::today(), &progress);
    result.cancelled = result.pod.cancelled;
    result.ok = result.pod.written;
    if (result.pod.written) {
        std::error_code ec;
        result.podBytes = fs::file_size(podPath, ec);
    }
    if (result.cancelled) return result;
    if (!result.pod.written)
        result.reports.push_back({kPodSaveErrorMessage, {}});
    else if (!result.pod.ok)
        result.reports.push_back({std::string(kPodSaveErrorMessage) + "\n\n" +
                                      (reporter.kept.empty() ? kPodNotPackedHeading + ("\n" + result.pod.texturesNotPacked)
                                                             : reporter.kept),
                                  {}});
    return result;
}

std::string PodWrittenText(const fs::path& podPath, uintmax_t bytes) {
    char size[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(size, sizeof size, "%.1f MB", double(bytes) / (1024.0 * 1024.0));
    else
        std::snprintf(size, sizeof size, "%ju KB", (bytes + 1023) / 1024);
    return "POD file written: " + podPath.string() + " (" + size + ")";
}

StepResult ViewPodTrack(CTrackPOD& track, const fs::path& podPath, int trackIndex, const DocumentFolders&, Prompter&,
                        ProgressSink& progress) {
    progress.setCaption(kLoadingPodCaption);
    StepResult result;
    result.ok = track.Load(podPath, trackIndex, &progress);
    if (!result.ok) {
        track.Clear(); // no message: the pod's listing already said what it holds
        result.cancelled = progress.cancelled();
        return result;
    }
    reportSituationProblems(track, result);
    return result;
}

StepResult CloneTrackFromGame(CTrackPOD& track, const fs::path& situationFile, const DocumentFolders& folders,
                              Prompter&, ProgressSink& progress) {
    StepResult result;
    std::string message;
    if (!CloneFromGameFolder(track, situationFile, message)) {
        track.Clear();
        result.reports.push_back({message, kCloneErrorCaption});
        return result;
    }
    result.ok = true;
    reportSituationProblems(track, result);
    if (std::string cylinders = CloneCylinderWarning(track); !cylinders.empty())
        result.reports.push_back({std::move(cylinders), kCloneCaption});
    if (progress.cancelled()) {
        result.cancelled = true;
        return result;
    }
    loadArtAndModels(track, folders, progress, result);
    return result;
}

} // namespace ravok
