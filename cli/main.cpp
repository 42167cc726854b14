// ravok-cli: the track editor's capabilities for scripts, without a screen.
#include "cli/CliOptions.h"
#include "cli/TrackSummary.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include <cstdio>
#include <memory>

using namespace ravok;
using namespace ravok::cli;

namespace {

constexpr const char* kUsage =
    "Usage: ravok-cli <command> [options]\n"
    "\n"
    "Commands:\n"
    "  info --new [--mtm1] [--json]   summary of a new MTM2 (or MTM1) track\n"
    "\n"
    "Options of every command:\n"
    "  --help       this text, or a command's own help\n"
    "  --art DIR    art folder (default: the editor's setting)\n"
    "  --models DIR models folder (default: the editor's setting)\n"
    "  --sounds DIR sound folder (default: the editor's setting)\n"
    "\n"
    "  ravok-cli --version prints the version.\n"
    "Exit status: 0 success, 1 the operation failed or found problems, 2 bad usage or unreadable input.\n";

constexpr const char* kInfoUsage =
    "Usage: ravok-cli info --new [--mtm1] [--json] [--art DIR --models DIR]\n"
    "\n"
    "Prints the summary of a track: names, game, race settings, palette, fog map,\n"
    "the counts of its tables, its pictures and its terrain.\n"
    "  --new    a new track as New makes it (MTM2 unless --mtm1)\n"
    "  --mtm1   with --new: an MTM1 track\n"
    "  --json   one JSON object instead of text\n";

int usageError(const std::string& text) {
    printError(text);
    printError("Try 'ravok-cli --help'.");
    return kExitUsage;
}

int runInfo(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kInfoUsage, stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    const bool isNew = args.flag("--new");
    const bool mtm1 = args.flag("--mtm1");
    Folders folders = foldersFromSettings(args);
    (void)folders; // art and models are not loaded for a new track
    if (args.missingValue()) return usageError("info: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("info: unknown option " + *unknown);
    if (mtm1 && !isNew) return usageError("info: --mtm1 needs --new");
    if (!isNew) {
        if (args.rest().empty()) return usageError("info: give a track file or --new");
        return usageError("info: cannot read \"" + args.rest().front() +
                          "\": this build reads no track files yet; use --new");
    }
    if (!args.rest().empty()) return usageError("info: --new takes no file");

    auto track = std::make_unique<CTrackPOD>();
    if (mtm1)
        NewMtm1Track(*track);
    else
        NewMtm2Track(*track);
    auto summary = trackSummary(*track, "new");
    if (json)
        std::printf("%s\n", summary.dump(2).c_str());
    else
        std::fputs(summaryText(summary).c_str(), stdout);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usageError("ravok-cli: no command given");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("ravok-cli %s\n", RAVOK_VERSION);
        return kExitOk;
    }
    Arguments args(std::vector<std::string>(argv + 2, argv + argc));
    if (command == "info") return runInfo(std::move(args));
    return usageError("ravok-cli: unknown command \"" + command + "\"");
}
