// view_fps: frames per second of the editor's own track view, the whole grid
// at 1920 x 1080, through the OpenGL renderer and the software renderer, beside
// the software renderer alone drawing the same scene into its frame; then the
// time from one texture paint click to the frame drawn, with 1,024 textures
// loaded, through both renderers (with the edit's own share). All in one run.
// Run it under a display (xvfb-run with Mesa's llvmpipe); the argument
// "software" or "opengl" runs one renderer alone, to profile it.
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/TrackScene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <cmath>
#include <cstdio>
#include <string>

using namespace ravok;

namespace {

// Rolling hills over every cell, every cell textured.
void benchTrack(CTrackPOD& t) {
    NewMtm2Track(t);
    for (int slot = 0; slot < 16; ++slot) {
        std::vector<uint8_t> pixels(64 * 64);
        for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = uint8_t(16 + slot * 12 + (p * 7 + p / 64) % 11);
        auto texture = std::make_unique<Texture>();
        texture->setPicture("ART\\BENCH" + std::to_string(slot) + ".RAW", 64, 64, pixels.data());
        t.terrainTextures[size_t(slot)] = std::move(texture);
    }
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            const size_t i = size_t(y * kGridSize + x);
            t.terrain.heights[i] = uint8_t(90 + 60 * std::sin(x * 0.05) * std::cos(y * 0.04));
            t.terrain.textures[i] = uint16_t((x / 4 + y / 4) % 16);
        }
}

// As many 64 x 64 textures as the table holds, each used by some cells.
void thousandTextures(CTrackPOD& t) {
    benchTrack(t);
    for (int slot = 0; slot < kMaxTerrainTextures; ++slot) {
        std::vector<uint8_t> pixels(64 * 64);
        for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = uint8_t(16 + (slot * 5 + p * 3 + p / 64) % 200);
        auto texture = std::make_unique<Texture>();
        texture->setPicture("ART\\T" + std::to_string(slot) + ".RAW", 64, 64, pixels.data());
        t.terrainTextures[size_t(slot)] = std::move(texture);
    }
    for (int i = 0; i < kGridCells; ++i) t.terrain.textures[size_t(i)] = uint16_t((i * 7 + i / 256) % kMaxTerrainTextures);
}

// The software renderer alone on the view's scene, at the view's frame size.
double rendererFramesPerSecond(const CTrackPOD& track, const ViewCamera& camera, int quality, int width, int height) {
    auto scene = std::make_unique<TrackScene>();
    scene->build(track, TerrainWindowOf(camera));
    ShadeTables shades;
    BuildTrackShades(shades, track);
    SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(quality);
    settings.farLimit = 1 << 20;
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(width, height);
    scene->draw(renderer, frame, track, camera, {});
    QElapsedTimer timer;
    timer.start();
    int frames = 0;
    while (frames < 10 || timer.elapsed() < 3000) {
        scene->draw(renderer, frame, track, camera, {});
        ++frames;
    }
    return frames * 1000.0 / double(timer.elapsed());
}

// Waits until the view drew a frame after `before` frames (an OpenGL frame
// is read back, so finished, when it is painted).
void waitForFrame(CRavokView& view, int before) {
    while (view.framesDrawn() == before) QApplication::processEvents();
}

struct ClickTimes {
    double total = 0, edit = 0; // milliseconds: click to frame, and the edit alone
};

// Milliseconds from a paint click to its frame, the mean of `clicks` clicks
// over different squares.
ClickTimes paintClickMs(CRavokView& view, CRavokDoc& doc, int clicks) {
    view.SetTexturePaintMode(true);
    view.SetTexturePaintSize(3, 3);
    int before = view.framesDrawn();
    view.update();
    waitForFrame(view, before);
    QElapsedTimer timer;
    timer.start();
    qint64 editing = 0;
    for (int i = 0; i < clicks; ++i) {
        doc.setTextureSelection(i % kMaxTerrainTextures, {i % kMaxTerrainTextures});
        before = view.framesDrawn();
        const qint64 start = timer.nsecsElapsed();
        view.TextureClick({100 + (i % 10) * 5, 100 + (i / 10) * 5}, false);
        editing += timer.nsecsElapsed() - start;
        waitForFrame(view, before);
    }
    return {double(timer.nsecsElapsed()) / 1e6 / clicks, double(editing) / 1e6 / clicks};
}

double framesPerSecond(CRavokView& view) {
    for (int i = 0; i < 3; ++i) view.repaint(); // first use: pages, textures
    QElapsedTimer timer;
    timer.start();
    // Counts the frames the view drew, not the requests: a request the
    // widget system merges or drops must not count.
    const int first = view.framesDrawn();
    while (view.framesDrawn() - first < 10 || timer.elapsed() < 3000) {
        view.update(); // as the editor asks for a frame
        QApplication::processEvents();
    }
    return (view.framesDrawn() - first) * 1000.0 / double(timer.elapsed());
}

} // namespace

int main(int argc, char** argv) {
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSwapInterval(0);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    const std::string only = argc > 1 ? argv[1] : "";

    ProgramSettings settings = defaultSettings("/tmp");
    settings.wholeGrid = true;
    settings.display = 3; // 1920 x 1080 for the software frame
    settings.quality = 2;
    settings.editState.displayMode = 0; // textured, as the renderer alone draws it
    CRavokDoc doc(settings);
    CRavokView view(doc, settings);
    view.resize(1920, 1080);
    view.show();
    const ViewCamera wholeGrid{-4096, -4096, 10000, 450, 1190, 256};
    auto look = [&](const ViewCamera& camera) {
        settings.wholeGrid = camera.gridSize >= 256;
        view.OnSettingsChanged();
        view.camera() = camera;
        view.OnBarNotification(ravok::ViewCommand::GridSize, camera.gridSize);
    };
    auto scene = [&](void (*fill)(CTrackPOD&), const ViewCamera& camera) {
        fill(doc.track());
        view.OnTrackReplaced();
        look(camera);
    };
    // One texture paint click, 1,024 textures loaded: the editor's usual
    // view (a 64-square window) and the whole grid.
    auto clicks = [&](const char* renderer) {
        auto report = [&](const char* where, const ClickTimes& t) {
            std::printf("view_fps paint click, 1024 textures, %s 1920x1080 %s: %.1f ms to the frame "
                        "(the edit %.1f ms)\n",
                        where, renderer, t.total, t.edit);
        };
        scene(thousandTextures, ViewCamera{128 * 64, 90 * 64, 3 * 220, 0, 1150, 64});
        view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Textures));
        report("64-square window", paintClickMs(view, doc, 20));
        look(wholeGrid);
        report("whole grid", paintClickMs(view, doc, 10));
        view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Terrain));
    };

    // The software renderer first: a window that never held an OpenGL
    // surface shows its frames as the editor does for everyone who draws
    // with the software renderer.
    if (only != "opengl") {
        settings.useOpenGL = false;
        scene(benchTrack, wholeGrid);
        const double software = framesPerSecond(view);
        const double alone = rendererFramesPerSecond(doc.track(), view.camera(), int(settings.quality), 1920, 1080);
        std::printf("view_fps whole_grid 1920x1080 software %.1f fps; the software renderer alone %.1f fps "
                    "(view %.2fx)\n",
                    software, alone, software / alone);
        clicks("software");
    }
    if (only == "software") return 0;

    settings.useOpenGL = true;
    scene(benchTrack, wholeGrid);
    const double opengl = framesPerSecond(view);
    if (!view.surface()) {
        std::printf("view_fps: OpenGL is not available here\n");
        return 1;
    }
    view.surface()->makeCurrent();
    const char* renderer = reinterpret_cast<const char*>(view.context()->functions()->glGetString(GL_RENDERER));
    view.surface()->doneCurrent();
    std::printf("view_fps whole_grid 1920x1080 opengl %.1f fps (%d triangles, %s)\n", opengl,
                view.glRenderer().trianglesDrawn(), renderer);
    clicks("opengl");
    return 0;
}
