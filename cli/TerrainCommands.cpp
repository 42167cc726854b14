// terrain and light: the terrain operations of the editor for scripts.
#include "cli/TerrainCommands.h"

#include "app/SettingsStore.h"
#include "base/FileIO.h"
#include "base/ProgramSettings.h"
#include "cli/TrackLoading.h"
#include "edit/RandomTerrain.h"
#include "edit/TerrainAdjust.h"
#include "edit/TerrainBitmap.h"
#include "edit/TerrainLighting.h"
#include "edit/TerrainUndo.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

namespace ravok::cli {

namespace {

constexpr const char* kTerrainUsage =
    "Usage: ravok-cli terrain FILE.rvk -o OUT.rvk [--random classic|fractal [--seed N] [--sliders "
    "G,V2,V3,S]]\n"
    "                         [--bitmap-in FILE.bmp] [--adjust-offset D | --adjust-scale F]\n"
    "                         [--avoid-clipping] [--move-objects] [--move-water] [--bitmap-out FILE.bmp]\n"
    "\n"
    "Changes the track's height map as the editor's terrain commands do, in this order:\n"
    "  --random classic|fractal  a random terrain (Special > Random Terrain)\n"
    "  --seed N                  its seed, 0..255 (default: the editor's last)\n"
    "  --sliders G,V2,V3,S       ground level, max hill height or range, min valley\n"
    "                            depth or roughness (0..255 each), smoothness 0..100\n"
    "                            (default: the editor's last)\n"
    "  --bitmap-in FILE.bmp      heights from an 8-bit 256 x 256 BMP (Paste Terrain\n"
    "                            Bitmap: the pixel indices are the heights)\n"
    "  --adjust-offset D         every height raised (or lowered) by D, -255..255\n"
    "  --adjust-scale F          every height times F, 0.0..100.0, rounded down\n"
    "  --avoid-clipping          shrink the change so no height hits 0 or 255\n"
    "  --move-objects            move objects, truck starts and course points along\n"
    "  --move-water              move the water level along\n"
    "  --bitmap-out FILE.bmp     the resulting heights as an 8-bit greyscale BMP\n"
    "                            (Copy Terrain as Bitmap); -o may then be left out\n";

constexpr const char* kLightUsage =
    "Usage: ravok-cli light FILE.rvk -o OUT.rvk [--dark D] [--bright B] [--sun P] [--bias A] [--shadow S]\n"
    "                       [--art DIR --models DIR]\n"
    "\n"
    "Recomputes the track's light map as the Lighting dialog does (each value\n"
    "defaults to the editor's last):\n"
    "  --dark D, --bright B   dark and bright levels, 0..255\n"
    "  --sun P                0 overhead, 1 top, 2 right, 3 bottom, 4 left\n"
    "  --bias A               altitude bias, 0..100 %\n"
    "  --shadow S             shadow, 0..100 %; objects cast shadows when their\n"
    "                         models are found in the models folder\n";


bool parseDouble(const std::string& text, double lo, double hi, double& out) {
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(value) || value < lo || value > hi) return false;
        out = value;
        return true;
    } catch (...) {
        return false;
    }
}

bool parseSliders(const std::string& text, RandomTerrainParams& p) {
    std::stringstream in(text);
    std::string part;
    int values[4];
    int n = 0;
    while (std::getline(in, part, ',')) {
        if (n == 4 || !parseIntInRange(part, 0, n == 3 ? 100 : 255, values[n])) return false;
        ++n;
    }
    if (n != 4) return false;
    p.ground = values[0];
    p.second = values[1];
    p.third = values[2];
    p.smoothness = values[3];
    return true;
}

} // namespace

int runTerrain(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kTerrainUsage, stdout);
        return kExitOk;
    }
    AdjustHeightsParams adjust;
    adjust.avoidClipping = args.flag("--avoid-clipping");
    adjust.moveObjects = args.flag("--move-objects");
    adjust.moveWaterLevel = args.flag("--move-water");
    const auto out = args.option("-o");
    const auto random = args.option("--random");
    const auto seed = args.option("--seed");
    const auto sliders = args.option("--sliders");
    const auto offset = args.option("--adjust-offset");
    const auto scale = args.option("--adjust-scale");
    const auto bitmapIn = args.option("--bitmap-in");
    const auto bitmapOut = args.option("--bitmap-out");
    if (args.missingValue()) return usageError("terrain: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("terrain: unknown option " + *unknown);
    if (args.rest().size() != 1) return usageError("terrain: give one FILE.rvk");
    const bool changes = random || bitmapIn || offset || scale;
    if (!changes && !bitmapOut)
        return usageError(
            "terrain: give --random, --bitmap-in, --adjust-offset, --adjust-scale or --bitmap-out");
    if (changes && !out) return usageError("terrain: give -o OUT.rvk for the changed track");
    if (random && bitmapIn) return usageError("terrain: --random and --bitmap-in both replace the heights");
    if (offset && scale) return usageError("terrain: give --adjust-offset or --adjust-scale, not both");
    if ((seed || sliders) && !random) return usageError("terrain: --seed and --sliders need --random");
    if ((adjust.avoidClipping || adjust.moveObjects || adjust.moveWaterLevel) && !offset && !scale)
        return usageError("terrain: --avoid-clipping, --move-objects and --move-water need an adjustment");

    const ProgramSettings settings = editorSettings();
    RandomTerrainParams randomParams = RandomTerrainParams::fromSettings(settings.autoTerrain, settings.seed);
    if (random) {
        if (*random == "classic")
            randomParams.generator = TerrainGenerator::Classic;
        else if (*random == "fractal")
            randomParams.generator = TerrainGenerator::Fractal;
        else
            return usageError("terrain: --random takes classic or fractal");
        if (seed && !parseIntInRange(*seed, 0, 255, randomParams.seed))
            return usageError("terrain: --seed takes 0..255");
        if (sliders && !parseSliders(*sliders, randomParams))
            return usageError("terrain: --sliders takes G,V2,V3,S (0..255, 0..255, 0..255, 0..100)");
    }
    if (offset && !parseIntInRange(*offset, kMinAdjustOffset, kMaxAdjustOffset, adjust.offset))
        return usageError("terrain: --adjust-offset takes -255..255");
    if (scale) {
        adjust.scale = true;
        if (!parseDouble(*scale, kMinAdjustScale, kMaxAdjustScale, adjust.factor))
            return usageError("terrain: --adjust-scale takes 0.0..100.0");
    }

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    TerrainUndo undo;
    if (random) ApplyRandomTerrain(*track, GenerateRandomTerrain(randomParams), undo);
    if (bitmapIn) {
        const auto bytes = readWholeFile(*bitmapIn);
        const auto dib = bytes ? DibOfBmpFile(*bytes) : std::nullopt;
        if (!dib) {
            printError("Cannot read \"" + *bitmapIn + "\" as a BMP file.");
            return kExitUsage;
        }
        const Outcome pasted = PasteTerrainBitmap(*track, *dib, undo);
        if (!pasted) {
            printError(pasted.message);
            return kExitUsage;
        }
    }
    if (offset || scale) {
        const Outcome adjusted = AdjustTerrainHeights(*track, adjust, undo);
        if (!adjusted) {
            printError(adjusted.message);
            return kExitFailed;
        }
    }
    if (bitmapOut) {
        std::string error;
        if (!writeFileAtomically(*bitmapOut, BmpFileOfDib(CopyTerrainAsBitmap(*track)), &error)) {
            printError("Cannot write \"" + *bitmapOut + "\"" + (error.empty() ? "" : ": " + error));
            return kExitFailed;
        }
        std::printf("%s: 256x256 8-bit greyscale\n", bitmapOut->c_str());
    }
    if (changes) {
        if (const int status = saveTrack(*track, *out); status != kExitOk) return status;
        const HeightRange range = TerrainHeightRange(*track);
        std::printf("%s: heights %d..%d, water level %d.%02d\n", out->c_str(), range.lowest, range.highest,
                    track->waterLevel, track->waterLevelQuarters * 25);
    }
    return kExitOk;
}

int runLight(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kLightUsage, stdout);
        return kExitOk;
    }
    Folders folders = foldersFromSettings(args);
    const auto out = args.option("-o");
    const auto dark = args.option("--dark");
    const auto bright = args.option("--bright");
    const auto sun = args.option("--sun");
    const auto bias = args.option("--bias");
    const auto shadow = args.option("--shadow");
    if (args.missingValue()) return usageError("light: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("light: unknown option " + *unknown);
    if (!out || args.rest().size() != 1) return usageError("light: give FILE.rvk -o OUT.rvk");

    LightingParams p = LightingParams::fromSettings(editorSettings().lighting);
    if (dark && !parseIntInRange(*dark, 0, 255, p.dark)) return usageError("light: --dark takes 0..255");
    if (bright && !parseIntInRange(*bright, 0, 255, p.bright)) return usageError("light: --bright takes 0..255");
    if (sun && !parseIntInRange(*sun, 0, 4, p.sun)) return usageError("light: --sun takes 0..4");
    if (bias && !parseIntInRange(*bias, 0, 100, p.bias)) return usageError("light: --bias takes 0..100");
    if (shadow && !parseIntInRange(*shadow, 0, 100, p.shadow)) return usageError("light: --shadow takes 0..100");

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    // Objects cast shadows from their models' sizes.
    if (p.shadow > 0 && track->counts().objects > 0) loadTrackArt(*track, folders);
    ComputeTerrainLighting(*track, p);
    if (const int status = saveTrack(*track, *out); status != kExitOk) return status;
    int lo = 255, hi = 0;
    for (const ShadeCell& cell : track->terrain.cells) {
        lo = std::min<int>(lo, cell[0]);
        hi = std::max<int>(hi, cell[0]);
    }
    const auto& v = track->levelVectors.first;
    std::printf("%s: light %d..%d, sun %d,%d,%d, level %d\n", out->c_str(), lo, hi, v.v[0], v.v[1], v.v[2],
                v.w);
    return kExitOk;
}

} // namespace ravok::cli
