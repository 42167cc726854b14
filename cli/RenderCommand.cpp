// render: a picture of the track through the software renderer.
#include "art/Picture.h"
#include "cli/PodCommands.h"
#include "cli/TrackLoading.h"
#include "model/TrackPod.h"
#include "render/TrackScene.h"

#include <cstdio>
#include <memory>
#include <sstream>

namespace ravok::cli {

namespace {

bool parseInts(const std::string& text, std::vector<int>& out, char separator) {
    std::stringstream in(text);
    std::string part;
    out.clear();
    while (std::getline(in, part, separator)) {
        try {
            size_t used = 0;
            out.push_back(std::stoi(part, &used));
            if (used != part.size()) return false;
        } catch (...) {
            return false;
        }
    }
    return true;
}

// The whole track from high above its south-west corner, looking north-east.
ViewCamera overviewCamera() {
    ViewCamera c;
    c.x = c.y = -4096;
    c.z = 10000;
    c.yaw = 450;
    c.pitch = 1190;
    c.gridSize = 256;
    return c;
}

} // namespace

int runRender(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli render FILE.rvk -o OUT.png [--size WxH] [--camera X,Y,Z,YAW,PITCH]\n"
                   "                        [--grid N] [--quality 1..3] [--wire] [--detail-mask]\n"
                   "                        [--course [--extended 1..4]] [--art DIR --models DIR]\n\n"
                   "Draws the track as the view would show it through the software renderer.\n"
                   "  --camera  position in world units (64 to a square), height in thirds of a\n"
                   "            height step, yaw and pitch in tenths of a degree (900 level);\n"
                   "            without it, the whole track from above its south-west corner\n"
                   "  --grid N  squares of terrain around the camera (default 64, 256 = all)\n"
                   "  --detail-mask  darken the ground by the track's painted terrain mask\n"
                   "  --course  the main course and the truck starts over the picture, as the\n"
                   "            course mode shows them; --extended N adds extended course N\n",
                   stdout);
        return kExitOk;
    }
    const bool wire = args.flag("--wire");
    const bool detailMask = args.flag("--detail-mask");
    const bool course = args.flag("--course");
    Folders folders = foldersFromSettings(args);
    auto out = args.option("-o");
    auto size = args.option("--size");
    auto cameraText = args.option("--camera");
    auto grid = args.option("--grid");
    auto quality = args.option("--quality");
    auto extended = args.option("--extended");
    if (!out || args.missingValue() || args.rest().size() != 1 || args.unknownOption())
        return usageError("render: give FILE.rvk -o OUT.png");
    std::vector<int> values;
    int width = 1024, height = 768;
    if (size) {
        if (!parseInts(*size, values, 'x') || values.size() != 2 || values[0] < 16 || values[1] < 16 ||
            values[0] > 8192 || values[1] > 8192)
            return usageError("render: --size takes WxH, each 16 to 8192");
        width = values[0];
        height = values[1];
    }
    ViewCamera camera = overviewCamera();
    if (cameraText) {
        if (!parseInts(*cameraText, values, ',') || values.size() != 5)
            return usageError("render: --camera takes X,Y,Z,YAW,PITCH");
        camera = {values[0], values[1], values[2], values[3], values[4], 64};
    }
    if (grid) {
        if (!parseInts(*grid, values, ',') || values.size() != 1 || values[0] < 2 || values[0] > 256)
            return usageError("render: --grid takes 2 to 256");
        camera.gridSize = values[0];
    }
    int qualityValue = 3;
    if (quality && (!parseInts(*quality, values, ',') || values.size() != 1 || values[0] < 1 || values[0] > 3))
        return usageError("render: --quality takes 1, 2 or 3");
    if (quality) qualityValue = values[0];
    int extendedCourse = 0;
    if (extended) {
        if (!course || !parseInts(*extended, values, ',') || values.size() != 1 || values[0] < 1 || values[0] > 4)
            return usageError("render: --extended takes 1 to 4, with --course");
        extendedCourse = values[0];
    }

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!openTrack(*track, args.rest().front(), folders, version)) return kExitUsage;

    auto scene = std::make_unique<TrackScene>();
    scene->showTerrainMask(*track, detailMask);
    scene->setReliefShading(*track, true); // a track never lit shows its slopes, as in the editor
    scene->build(*track, TerrainWindowOf(camera));
    ShadeTables shades;
    BuildTrackShades(shades, *track);
    SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(qualityValue);
    settings.farLimit = 1 << 20; // a picture of the whole track reaches past the view's usual depth
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(width, height);
    SceneOptions options;
    options.wireFrame = wire;
    options.showCourse = course;
    options.selectedCourse = extendedCourse;
    options.background = uint8_t(track->palette.NearestPaletteIndex(110, 150, 200));
    options.wireColour = uint8_t(track->palette.NearestPaletteIndex(255, 255, 255));
    scene->draw(renderer, frame, *track, camera, options);

    const std::vector<uint8_t> bgr = FrameToBgr(frame, track->palette);
    std::string message;
    if (!WritePng(*out, bgr.data(), width, height, size_t(width) * 3, message)) {
        printError(message);
        return kExitFailed;
    }
    std::printf("%s: %dx%d, %d triangles drawn\n", out->c_str(), width, height, renderer.statistics().filled);
    return kExitOk;
}

} // namespace ravok::cli
