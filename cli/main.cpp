// ravok-cli: the track editor's capabilities for scripts, without a screen.
#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "base/FileIO.h"
#include "cli/CliOptions.h"
#include "cli/ComponentCommands.h"
#include "cli/ObjectCommands.h"
#include "cli/PodCommands.h"
#include "cli/TerrainCommands.h"
#include "cli/TextureCommands.h"
#include "cli/TrackLoading.h"
#include "cli/TrackSummary.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "pod/SituationFile.h"
#include "trackart/TrackArt.h"

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace ravok;
using namespace ravok::cli;

namespace {

constexpr const char* kUsage =
    "Usage: ravok-cli <command> [options]\n"
    "\n"
    "Commands:\n"
    "  info FILE.rvk [--json]         summary of a track file\n"
    "  info --new [--mtm1] [--json]   summary of a new MTM2 (or MTM1) track\n"
    "  new [--mtm1] -o OUT.rvk        write a new track\n"
    "  resave IN.rvk -o OUT.rvk       read a track file and write it again\n"
    "  legacy IN.png -o OUT.raw [--model]\n"
    "                                 build a legacy texture (.RAW + .ACT) from an HD picture\n"
    "  check FILE.rvk                 what the track lacks before it can be a pod\n"
    "  pod FILE.rvk -o OUT.pod [--omit-fallback | --keep-fallback] [--force]\n"
    "                                 write the track pod\n"
    "  pod-ls FILE.pod [--json]       a pod's directory and comment\n"
    "  tracks FILE.pod                the tracks a pod holds\n"
    "  sit FILE.rvk                   the situation file text the track would get\n"
    "  view FILE.pod [--track N] [--json]\n"
    "                                 summary of one track of a pod (view-only)\n"
    "  extract FILE.pod [--yes]       the pod's art and models into the art and models folders\n"
    "  clone GAME/WORLD/NAME.SIT -o OUT.rvk\n"
    "                                 a new track from one installed in a game folder\n"
    "  render FILE.rvk -o OUT.png [--size WxH] [--camera X,Y,Z,YAW,PITCH] [--grid N] [--wire] [--course]\n"
    "                                 a picture of the track through the software renderer\n"
    "  terrain FILE.rvk -o OUT.rvk [options]  random terrain, greyscale bitmap in and out, height adjustment\n"
    "  light FILE.rvk -o OUT.rvk [options]    the light map from dark, bright, sun, bias and shadow\n"
    "  objects FILE.rvk [--json]      the track's objects, courses and truck starts\n"
    "  course FILE.rvk -o OUT.rvk --generate N   extended course N (1-4) from the main course\n"
    "  palette FILE.rvk --optimise -o OUT.act|OUT.pal   the optimised palette of the track's textures\n"
    "  cut IN.png --tile N --base NAME --art DIR [options]   a picture cut into texture tiles\n"
    "  components FILE.rvk [-o OUT.rvk] [options]  names, race settings, pictures, music, info pop-up, backdrop\n"
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
    "Usage: ravok-cli info FILE.rvk [--json] [--art DIR] [--models DIR]\n"
    "       ravok-cli info --new [--mtm1] [--json]\n"
    "\n"
    "Prints the summary of a track: names, game, race settings, palette, fog map,\n"
    "the counts of its tables, its pictures and its terrain.\n"
    "  --new    a new track as New makes it (MTM2 unless --mtm1)\n"
    "  --mtm1   with --new: an MTM1 track\n"
    "  --json   one JSON object instead of text\n"
    "  --art DIR, --models DIR\n"
    "           load the track's textures and models from these folders (and\n"
    "           the track file's own folder) and report what is missing\n";

constexpr const char* kLegacyUsage =
    "Usage: ravok-cli legacy IN.png -o OUT.raw [--model]\n"
    "\n"
    "Builds the 8-bit legacy texture of an HD picture (PNG or TGA, square, 32 to\n"
    "1024 pixels) and writes it as OUT.raw with its palette beside it as .ACT.\n"
    "  --model  a model texture: no edge border\n";

int runNew(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli new [--mtm1] -o OUT.rvk\n\nWrites a new MTM2 (or MTM1) track.\n", stdout);
        return kExitOk;
    }
    const bool mtm1 = args.flag("--mtm1");
    auto out = args.option("-o");
    if (!out || args.missingValue() || !args.rest().empty()) return usageError("new: give -o OUT.rvk and nothing else");
    auto track = std::make_unique<CTrackPOD>();
    if (mtm1)
        NewMtm1Track(*track);
    else
        NewMtm2Track(*track);
    return saveTrack(*track, *out);
}

int runResave(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli resave IN.rvk -o OUT.rvk\n\nReads a track file and writes it again in the "
                   "lowest version that holds it.\n",
                   stdout);
        return kExitOk;
    }
    auto out = args.option("-o");
    if (!out || args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("resave: give IN.rvk -o OUT.rvk");
    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    return saveTrack(*track, *out);
}

int runInfo(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kInfoUsage, stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    const bool isNew = args.flag("--new");
    const bool mtm1 = args.flag("--mtm1");
    const auto& given = args.rest();
    const bool loadArt = std::find(given.begin(), given.end(), "--art") != given.end() ||
                         std::find(given.begin(), given.end(), "--models") != given.end();
    Folders folders = foldersFromSettings(args);
    if (args.missingValue()) return usageError("info: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("info: unknown option " + *unknown);
    if (mtm1 && !isNew) return usageError("info: --mtm1 needs --new");
    if (isNew == !args.rest().empty() || args.rest().size() > 1)
        return usageError("info: give one track file or --new");

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (isNew) {
        if (mtm1)
            NewMtm1Track(*track);
        else
            NewMtm2Track(*track);
    } else if (!loadTrack(*track, args.rest().front(), version)) {
        return kExitUsage;
    }
    auto summary = trackSummary(*track, isNew ? "new" : "rvk");
    if (!isNew) summary["version"] = version;
    if (loadArt) {
        const TrackArtResult art = LoadTrackArt(*track, folders.art, folders.models);
        if (!art.texturesOk) printError(std::string(kTextureLoadCaption) + ":\n" + art.textureReport);
        if (!art.modelsOk) printError(std::string(kModelLoadCaption) + ":\n" + art.modelReport);
        const ArtLoadCounts bad = CountBadArt(*track);
        summary = trackSummary(*track, isNew ? "new" : "rvk");
        if (!isNew) summary["version"] = version;
        summary["loadReport"] = art.textureReport + art.modelReport;
        summary["badTextures"] = bad.badTextures;
        summary["badModels"] = bad.badModels;
    }
    if (json)
        std::printf("%s\n", summary.dump(2).c_str());
    else
        std::fputs(summaryText(summary).c_str(), stdout);
    return kExitOk;
}

int runLegacy(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kLegacyUsage, stdout);
        return kExitOk;
    }
    const bool model = args.flag("--model");
    auto out = args.option("-o");
    if (!out || args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("legacy: give IN.png -o OUT.raw");
    const std::filesystem::path in = args.rest().front();
    std::string message;
    auto bytes = readWholeFile(in);
    if (!bytes || bytes->empty()) {
        printError("Cannot read \"" + in.string() + "\".");
        return kExitUsage;
    }
    auto legacy = LegacyTextureFromPicture(*bytes, in.filename().string(), !model, message);
    if (!legacy) {
        printError(message);
        return kExitUsage;
    }
    if (!WriteLegacyPair(*out, *legacy, message)) {
        printError(message);
        return kExitFailed;
    }
    std::printf("%s: %dx%d, palette %s\n", out->c_str(), legacy->side, legacy->side,
                ActPathBeside(*out).string().c_str());
    return kExitOk;
}

int runSit(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli sit FILE.rvk\n\nPrints the situation file text the track would get in its "
                   "pod (CR LF line ends).\n",
                   stdout);
        return kExitOk;
    }
    if (args.rest().size() != 1 || args.unknownOption()) return usageError("sit: give one FILE.rvk");
    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    const std::string text = SituationFileText(*track);
    std::fwrite(text.data(), 1, text.size(), stdout);
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
    if (command == "new") return runNew(std::move(args));
    if (command == "resave") return runResave(std::move(args));
    if (command == "legacy") return runLegacy(std::move(args));
    if (command == "check") return runCheck(std::move(args));
    if (command == "pod") return runPod(std::move(args));
    if (command == "pod-ls") return runPodLs(std::move(args));
    if (command == "tracks") return runTracks(std::move(args));
    if (command == "sit") return runSit(std::move(args));
    if (command == "view") return runView(std::move(args));
    if (command == "extract") return runExtract(std::move(args));
    if (command == "clone") return runClone(std::move(args));
    if (command == "render") return runRender(std::move(args));
    if (command == "terrain") return runTerrain(std::move(args));
    if (command == "light") return runLight(std::move(args));
    if (command == "objects") return runObjects(std::move(args));
    if (command == "course") return runCourse(std::move(args));
    if (command == "palette") return runPalette(std::move(args));
    if (command == "cut") return runCut(std::move(args));
    if (command == "components") return runComponents(std::move(args));
    return usageError("ravok-cli: unknown command \"" + command + "\"");
}
