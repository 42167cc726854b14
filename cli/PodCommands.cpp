#include "cli/PodCommands.h"

#include "cli/CliProgress.h"
#include "cli/CliPrompter.h"
#include "cli/TrackLoading.h"
#include "doc/DocumentSteps.h"
#include "model/Completeness.h"
#include "model/TrackPod.h"
#include "pod/PodArchive.h"
#include "pod/PodTrackList.h"
#include "pod/TrackPodBuild.h"
#include "pod/WritePodTexts.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

namespace ravok::cli {

int runCheck(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli check FILE.rvk [--art DIR] [--models DIR]\n\nLoads the track with its art and "
                   "models and prints what it still lacks before it can be\nwritten as a pod. Exit 0 when it is "
                   "complete, 1 when not.\n",
                   stdout);
        return kExitOk;
    }
    Folders folders = foldersFromSettings(args);
    if (args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("check: give one FILE.rvk");
    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!openTrack(*track, args.rest().front(), folders, version)) return kExitUsage;
    const CompletenessReport report = CheckTrackComplete(*track);
    if (report.complete) {
        std::puts("The track is complete.");
        return kExitOk;
    }
    std::printf("%s\n%s", kIncompleteTrackHeading, withoutCarriageReturns(report.text).c_str());
    return kExitFailed;
}

int runPod(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli pod FILE.rvk -o OUT.pod [--art DIR] [--models DIR]\n"
                   "                     [--omit-fallback | --keep-fallback] [--force]\n\n"
                   "Writes the track pod. The track is loaded with its art and models and checked\n"
                   "first; an incomplete track stops the command unless --force is given.\n"
                   "  --omit-fallback  leave out the .RAW/.ACT of textures that have a PNG or TGA source\n"
                   "  --keep-fallback  keep them (without either, the track's own choice holds)\n",
                   stdout);
        return kExitOk;
    }
    const bool force = args.flag("--force");
    const bool omit = args.flag("--omit-fallback");
    const bool keep = args.flag("--keep-fallback");
    Folders folders = foldersFromSettings(args);
    auto out = args.option("-o");
    if (!out || args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("pod: give FILE.rvk -o OUT.pod");
    if (omit && keep) return usageError("pod: give --omit-fallback or --keep-fallback, not both");

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!openTrack(*track, args.rest().front(), folders, version)) return kExitUsage;
    const CompletenessReport report = CheckTrackComplete(*track);
    if (!report.complete) {
        printError(std::string(kIncompleteTrackHeading) + "\n" + withoutCarriageReturns(report.text));
        if (!force) {
            printError("Nothing was written. Give --force to write the pod anyway.");
            return kExitFailed;
        }
        printError(std::string(kIncompleteTrackWarning));
    }
    const FallbackEstimate estimate = EstimateLegacyFallback(*track, folders.art);
    std::printf(kFallbackSizeFormat, FallbackEstimate::kilobytes(estimate.total),
                FallbackEstimate::kilobytes(estimate.modelArt), FallbackEstimate::kilobytes(estimate.terrain));
    std::printf("\n");
    if (omit || keep) track->omitLegacyFallback = omit ? 1 : 0;

    CliProgress progress;
    CliPrompter prompter;
    const StepResult result = WriteTrackPod(*track, *out, documentFolders(folders), prompter, progress);
    printReports(result);
    if (!result.ok || !result.pod.ok) return kExitFailed;
    std::printf("%s: %zu items\n", out->c_str(), track->podDirectory.size());
    return kExitOk;
}

int runPodLs(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli pod-ls FILE.pod [--json]\n\nLists a pod's directory: index, name, size and "
                   "offset of every item, and the pod's comment.\n",
                   stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    if (args.rest().size() != 1 || args.unknownOption()) return usageError("pod-ls: give one FILE.pod");
    const std::string path = args.rest().front();
    auto track = std::make_unique<CTrackPOD>();
    PodFile pod;
    if (!OpenPodDirectory(*track, pod, path)) {
        printError("Cannot read the pod directory of \"" + path + "\".");
        return kExitUsage;
    }
    if (json) {
        nlohmann::json items = nlohmann::json::array();
        for (size_t i = 0; i < track->podDirectory.size(); ++i) {
            const auto& e = track->podDirectory[i];
            items.push_back({{"index", i}, {"name", e.name.str()}, {"size", e.size}, {"offset", e.offset},
                             {"fits", PodEntryFits(e, pod.size())}});
        }
        nlohmann::json out = {{"comment", track->comment.str()}, {"items", items}};
        std::printf("%s\n", out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
        return kExitOk;
    }
    std::printf("comment: %s\nitems: %zu\n", track->comment.c_str(), track->podDirectory.size());
    std::printf("%6s  %-31s  %10s  %10s\n", "index", "name", "size", "offset");
    for (size_t i = 0; i < track->podDirectory.size(); ++i) {
        const auto& e = track->podDirectory[i];
        std::printf("%6zu  %-31s  %10u  %10u%s\n", i, e.name.c_str(), e.size, e.offset,
                    PodEntryFits(e, pod.size()) ? "" : "  (past the end of the file)");
    }
    return kExitOk;
}

int runTracks(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli tracks FILE.pod\n\nLists the tracks a pod holds: index, stem and display "
                   "name, then the naming warnings.\n",
                   stdout);
        return kExitOk;
    }
    if (args.rest().size() != 1 || args.unknownOption()) return usageError("tracks: give one FILE.pod");
    const PodTrackList list = ListPodSituationFiles(args.rest().front());
    if (list.tracks.empty()) {
        printError(kNoTracksInPodMessage);
        return kExitFailed;
    }
    for (size_t i = 0; i < list.tracks.size(); ++i)
        std::printf("%3zu  %-20s  %s\n", i, list.tracks[i].stem.c_str(), list.tracks[i].displayName.c_str());
    if (!list.warnings.empty()) {
        std::printf("\n%s:\n", kTrackNamingWarningCaption);
        std::string text = list.warnings;
        for (size_t at; (at = text.find('\r')) != std::string::npos;) text.erase(at, 1);
        std::fputs(text.c_str(), stdout);
    }
    return kExitOk;
}

} // namespace ravok::cli
