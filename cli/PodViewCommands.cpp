// view, extract and clone: reading tracks that the games already have.
#include "cli/CliProgress.h"
#include "cli/CliPrompter.h"
#include "cli/PodCommands.h"
#include "cli/TrackLoading.h"
#include "cli/TrackSummary.h"
#include "doc/DocumentSteps.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"
#include "pod/CloneTrack.h"
#include "pod/PodArchive.h"
#include "pod/PodExtract.h"
#include "pod/PodTrackList.h"

#include <charconv>
#include <cstdio>
#include <memory>

namespace ravok::cli {

namespace {

// Takes the question's default (No) unless --yes was given.
class ExtractPrompter : public CliPrompter {
public:
    explicit ExtractPrompter(bool yes) : m_yes(yes) {}
    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override {
        if (!m_yes) return CliPrompter::askYesNo(text + "\n(give --yes to proceed)", caption, defaultYes);
        return true;
    }

private:
    bool m_yes;
};

bool parseTrackIndex(const std::string& text, int& index) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
    return ec == std::errc() && end == text.data() + text.size() && index >= 0;
}

} // namespace

int runView(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli view FILE.pod [--track N] [--json]\n\nLoads one track of a pod (the first, or "
                   "number N as 'tracks' lists them) as\nView POD does and prints its summary and the situation "
                   "file's problems.\nA track viewed from a pod cannot be saved or written again.\n",
                   stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    auto trackOption = args.option("--track");
    if (args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("view: give one FILE.pod [--track N]");
    int index = 0;
    if (trackOption && !parseTrackIndex(*trackOption, index))
        return usageError("view: --track takes a track number from 0");
    const std::string path = args.rest().front();

    const PodTrackList list = ListPodSituationFiles(path);
    if (!list.warnings.empty()) printError(std::string(kTrackNamingWarningCaption) + ":\n" + withoutCarriageReturns(list.warnings));
    if (list.tracks.empty()) {
        printError(kNoTracksInPodMessage);
        return kExitFailed;
    }
    if (size_t(index) >= list.tracks.size()) {
        printError("The pod holds " + std::to_string(list.tracks.size()) + " track(s); there is no track " +
                   std::to_string(index) + ".");
        return kExitUsage;
    }
    auto track = std::make_unique<CTrackPOD>();
    CliProgress progress;
    CliPrompter prompter;
    const StepResult result = ViewPodTrack(*track, path, index, {}, prompter, progress);
    if (!result.ok) {
        printError("Cannot load track " + std::to_string(index) + " of \"" + path + "\".");
        return kExitFailed;
    }
    printReports(result);
    auto summary = trackSummary(*track, "pod");
    summary["podViewMode"] = track->podViewMode;
    if (json)
        std::printf("%s\n", summary.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    else
        std::fputs(summaryText(summary).c_str(), stdout);
    return kExitOk;
}

int runExtract(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli extract FILE.pod [--art DIR] [--models DIR] [--yes]\n\nWrites every ART\\ item "
                   "of the pod into the art folder and every MODELS\\ item\ninto the models folder. Existing files "
                   "are left untouched; names that would\nreach outside the folders are skipped.\n"
                   "  --yes  answer the question with Yes (without it nothing is written)\n",
                   stdout);
        return kExitOk;
    }
    const bool yes = args.flag("--yes");
    Folders folders = foldersFromSettings(args);
    if (args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("extract: give one FILE.pod");
    const std::string path = args.rest().front();
    auto track = std::make_unique<CTrackPOD>();
    PodFile pod;
    if (!OpenPodDirectory(*track, pod, path)) {
        printError(std::string(kExtractCaption) + ": " + kCantAccessSourcePodMessage);
        return kExitFailed;
    }
    pod.close();
    track->podPath.set(path);

    ExtractPrompter prompter(yes);
    const ExtractResult result = ExtractPodArt(*track, folders.art, folders.models, prompter);
    if (!result.ran) return kExitFailed;
    std::printf("%d written, %d already there, %d unsafe names skipped, %d past the end skipped, %zu failed\n",
                result.written, result.existing, result.unsafe, result.pastEnd, result.failed.size());
    return result.failed.empty() ? kExitOk : kExitFailed;
}

int runClone(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli clone GAME/WORLD/NAME.SIT -o OUT.rvk [--art DIR] [--models DIR]\n\nStarts a "
                   "new MTM2 track from a track installed loose in a game folder: its\nsituation, level and data "
                   "files, under the first free name NAME2 to NAME999.\nTextures and models are then loaded from the "
                   "art and models folders, and the\ntrack is saved as a track file.\n",
                   stdout);
        return kExitOk;
    }
    Folders folders = foldersFromSettings(args);
    auto out = args.option("-o");
    if (!out || args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("clone: give GAME/WORLD/NAME.SIT -o OUT.rvk");
    auto track = std::make_unique<CTrackPOD>();
    CliProgress progress;
    CliPrompter prompter;
    const StepResult result =
        CloneTrackFromGame(*track, args.rest().front(), documentFolders(folders), prompter, progress);
    printReports(result);
    if (!result.ok) return kExitFailed;
    if (saveTrack(*track, *out) != kExitOk) return kExitFailed;
    std::printf("%s: cloned as %s\n", out->c_str(), track->WorldName.c_str());
    return kExitOk;
}

} // namespace ravok::cli
