// palette and cut: the track palette optimiser and texture cutting for scripts.
#include "cli/TextureCommands.h"

#include "app/SettingsStore.h"
#include "art/Picture.h"
#include "art/TrackPaletteFile.h"
#include "base/ProgramSettings.h"
#include "base/Text.h"
#include "cli/CliProgress.h"
#include "cli/TrackLoading.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "trackart/TextureCut.h"
#include "trackart/TextureFolderFiles.h"
#include "trackart/TrackPaletteOptimiser.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace fs = std::filesystem;

namespace ravok::cli {

namespace {

constexpr const char* kPaletteUsage =
    "Usage: ravok-cli palette FILE.rvk --optimise -o OUT.act|OUT.pal [--art DIR --models DIR]\n"
    "\n"
    "Computes the optimised palette of the track's textures (Track Palette >\n"
    "Create Optimized Palette): the colours of every texture the track uses, read\n"
    "from the art folder and weighted by how much each is used, reduced to 220\n"
    "colours among the reserved ones. OUT.pal is written as a RIFF palette,\n"
    "OUT.act as 768 bytes of red, green, blue.\n";

constexpr const char* kCutUsage =
    "Usage: ravok-cli cut IN.png --tile N --base NAME [--cols C --rows R --left X --top Y]\n"
    "                     [--format png|tga|raw] [--overlap] --art DIR\n"
    "\n"
    "Cuts a PNG or TGA picture (up to 8192 x 8192) into square tiles named\n"
    "NAME + column + row in hexadecimal (NAME00, NAME10, ...) and writes them into\n"
    "the art folder, as the textures box's Paste Composite does:\n"
    "  --tile N       tile size: 32, 64, 128, 256, 512 or 1024 (32, 64 or 256 for raw)\n"
    "  --base NAME    base name, up to 6 characters\n"
    "  --cols C, --rows R   tiles across and down, 1..16 (default: as many as fit)\n"
    "  --left X, --top Y    offset of the first tile in pixels (default 0)\n"
    "  --format       png or tga (HD tiles, each with its .RAW/.ACT legacy copy\n"
    "                 unless the editor keeps HD art only) or raw (.RAW + .ACT);\n"
    "                 default: the editor's last choice\n"
    "  --overlap      raw only: border overlap for MTM2 ground tiles\n"
    "Nothing is written when a tile name is already used in the art folder.\n";


std::optional<CutOutput> parseFormat(const std::string& text) {
    if (text == "png") return CutOutput::Png;
    if (text == "tga") return CutOutput::Tga;
    if (text == "raw") return CutOutput::RawAct;
    return std::nullopt;
}

// As many tiles as fit from the offset, at most 16.
int tilesThatFit(int size, int offset, int tile, int step) {
    if (step <= 0 || offset + tile > size) return 0;
    return std::min(kMaxCutGrid, (size - offset - tile) / step + 1);
}

std::string offeredList(const std::vector<int>& offered) {
    std::string list;
    for (int size : offered) list += (list.empty() ? "" : ", ") + std::to_string(size);
    return list.empty() ? "none" : list;
}

} // namespace

int runPalette(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kPaletteUsage, stdout);
        return kExitOk;
    }
    const bool optimise = args.flag("--optimise");
    const Folders folders = foldersFromSettings(args);
    const auto out = args.option("-o");
    if (args.missingValue()) return usageError("palette: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("palette: unknown option " + *unknown);
    if (!optimise || !out || args.rest().size() != 1)
        return usageError("palette: give FILE.rvk --optimise -o OUT.act|OUT.pal");

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!openTrack(*track, args.rest().front(), folders, version)) return kExitUsage;
    CliProgress progress;
    progress.setText("Building palette...");
    const auto palette = OptimisedPalette(*track, folders.art, &progress);
    if (!palette) {
        printError(kPaletteErrorMessage);
        return kExitFailed;
    }
    const PaletteFileKind kind = PaletteFileKindOf(*out);
    if (!SavePaletteFile(*out, kind, *palette)) {
        printError("Cannot write \"" + *out + "\"");
        return kExitFailed;
    }
    std::printf("%s: 256 colours (%s)\n", out->c_str(), kind == PaletteFileKind::Riff ? "RIFF palette" : ".ACT");
    return kExitOk;
}

int runCut(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kCutUsage, stdout);
        return kExitOk;
    }
    CutSettings settings;
    settings.borderOverlap = args.flag("--overlap");
    const Folders folders = foldersFromSettings(args);
    const auto tile = args.option("--tile"), base = args.option("--base"), format = args.option("--format");
    const auto cols = args.option("--cols"), rows = args.option("--rows");
    const auto left = args.option("--left"), top = args.option("--top");
    if (args.missingValue()) return usageError("cut: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("cut: unknown option " + *unknown);
    if (args.rest().size() != 1 || !tile || !base) return usageError("cut: give IN.png --tile N --base NAME --art DIR");
    if (!parseIntInRange(*tile, kSmallestTile, 1024, settings.tileSize)) return usageError("cut: --tile takes 32..1024");
    if ((left && !parseIntInRange(*left, 0, kMaxCutPictureSide, settings.left)) ||
        (top && !parseIntInRange(*top, 0, kMaxCutPictureSide, settings.top)))
        return usageError("cut: --left and --top take 0..8192");
    if ((cols && !parseIntInRange(*cols, 1, kMaxCutGrid, settings.columns)) ||
        (rows && !parseIntInRange(*rows, 1, kMaxCutGrid, settings.rows)))
        return usageError("cut: --cols and --rows take 1..16");
    const ProgramSettings editor = editorSettings();
    settings.output = CutOutputFromSetting(editor.texCutFormat);
    if (format) {
        auto parsed = parseFormat(*format);
        if (!parsed) return usageError("cut: --format takes png, tga or raw");
        settings.output = *parsed;
    }
    settings.keepHdArtOnly = folders.keepHdArtOnly;
    settings.baseName = *base;

    std::string message;
    auto source = CutSourceFromFile(args.rest().front(), message);
    if (!source) {
        printError(message);
        return kExitUsage;
    }
    const auto offered = OfferedTileSizes(*source, settings.output);
    if (std::find(offered.begin(), offered.end(), settings.tileSize) == offered.end())
        return usageError(formatText("cut: a %d-pixel tile is not offered for this picture and format (offered: %s)",
                                     settings.tileSize, offeredList(offered).c_str()));
    const int step = CutStep(*source, settings);
    if (!cols) settings.columns = tilesThatFit(source->width, settings.left, settings.tileSize, step);
    if (!rows) settings.rows = tilesThatFit(source->height, settings.top, settings.tileSize, step);

    std::printf("%s\n%s\n", CutSourceLine(*source, settings).c_str(), CutSummaryLine(*source, settings).c_str());
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    const CutResult cut = CutTextures(*track, *source, settings, TextureAddParams{folders.art, folders.keepHdArtOnly});
    if (!cut.outcome) {
        printError(cut.outcome.message.empty() ? "A tile could not be added." : cut.outcome.message);
        return kExitFailed;
    }
    std::printf("%d tiles written to %s\n", cut.added, folders.art.string().c_str());
    return kExitOk;
}

} // namespace ravok::cli
