#include "cli/PodCommands.h"

#include "pod/PodArchive.h"
#include "pod/PodTrackList.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>

namespace ravok::cli {

namespace {

int usage(const std::string& text) {
    printError(text);
    printError("Try 'ravok-cli --help'.");
    return kExitUsage;
}

} // namespace

int runPodLs(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli pod-ls FILE.pod [--json]\n\nLists a pod's directory: index, name, size and "
                   "offset of every item, and the pod's comment.\n",
                   stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    if (args.rest().size() != 1 || args.unknownOption()) return usage("pod-ls: give one FILE.pod");
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
    if (args.rest().size() != 1 || args.unknownOption()) return usage("tracks: give one FILE.pod");
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
