// view_fps: frames per second of the editor's own track view, the whole grid
// at 1920 x 1080, through the OpenGL renderer and the software renderer in
// one run. Run it under a display (xvfb-run with Mesa's llvmpipe).
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include <QApplication>
#include <QOpenGLWidget>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <cmath>
#include <cstdio>

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

    ProgramSettings settings = defaultSettings("/tmp");
    settings.wholeGrid = true;
    settings.display = 3; // 1920 x 1080 for the software frame
    settings.quality = 2;
    CRavokDoc doc(settings);
    benchTrack(doc.track());
    CRavokView view(doc, settings);
    view.resize(1920, 1080);
    view.show();
    view.OnTrackReplaced();
    view.camera() = ViewCamera{-4096, -4096, 10000, 450, 1190, 256};
    view.OnBarNotification(ravok::ViewCommand::GridSize, 256);

    settings.useOpenGL = true;
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
    settings.useOpenGL = false;
    std::printf("view_fps whole_grid 1920x1080 software %.1f fps\n", framesPerSecond(view));
    return 0;
}
