// render_gl_peer: draws the benchmark scene through the system's OpenGL
// (fixed-function pipeline, offscreen) and prints its frames per second, so
// the software renderer's speed can be set beside a hardware-style pipeline
// drawing the same triangles. `--png DIR` saves each scene's last frame.
#include "bench/BenchScene.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_1_5>
#include <QOpenGLVersionFunctionsFactory>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

using namespace ravok::bench;

namespace {

constexpr double kSquare = 4096;      // drawing units per grid square
constexpr double kHeightStep = 192;   // drawing units per height step
constexpr double kCameraUnit = 64;    // drawing units per camera unit
constexpr double kNear = 8, kFar = 1048576;
constexpr double kFocal = 512;        // one unit at this distance covers one pixel
constexpr double kMinSeconds = 2;
constexpr int kMinFrames = 30;
constexpr int kNoContext = 3; // exit status when the platform offers no OpenGL, so a caller can try another

struct Vertex {
    float x, y, z, s, t;
};

// The triangles of one texture, uploaded once into a vertex buffer.
struct Batch {
    GLuint buffer = 0;
    GLsizei vertices = 0;
};

struct Window {
    int x0, y0, size;
};

// gridSize x gridSize vertices around the camera's origin, kept inside the grid.
Window windowOf(const SceneCamera& c) {
    const int size = std::clamp(c.gridSize, 2, kSceneGrid);
    auto start = [size](int origin) { return std::clamp(origin - size / 2, 0, kSceneGrid - size); };
    return {start(c.originX), start(c.originY), size};
}

// The window's triangles grouped by texture: two per cell, the diagonal
// alternating like a chequerboard, texture corners inset two texels.
std::array<std::vector<Vertex>, kSceneTextures> sceneTriangles(const Window& w) {
    std::array<std::vector<Vertex>, kSceneTextures> batches;
    auto corner = [](int x, int y, float u, float v) {
        return Vertex{float(x * kSquare), float(y * kSquare), float(sceneHeight(x, y) * kHeightStep),
                      u / kSceneTextureSide, v / kSceneTextureSide};
    };
    for (int y = w.y0; y + 1 < w.y0 + w.size; ++y)
        for (int x = w.x0; x + 1 < w.x0 + w.size; ++x) {
            const Vertex a = corner(x, y, 2, 62), b = corner(x + 1, y, 62, 62);
            const Vertex c = corner(x + 1, y + 1, 62, 2), d = corner(x, y + 1, 2, 2);
            auto& out = batches[sceneCellTexture(x, y) & 0xfff];
            if ((x + y) % 2 == 0)
                out.insert(out.end(), {a, b, c, a, c, d});
            else
                out.insert(out.end(), {a, b, d, b, c, d});
        }
    return batches;
}

// The camera's view matrix (column-major): rows right, up and backward, the
// eye at the camera's position in drawing units.
std::array<GLdouble, 16> viewMatrix(const SceneCamera& c) {
    const double yaw = c.yaw * std::numbers::pi / 1800, below = (c.pitch - 900) * std::numbers::pi / 1800;
    const double sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(below), cp = std::cos(below);
    const std::array<double, 3> f{sy * cp, cy * cp, -sp}, r{cy, -sy, 0};
    const std::array<double, 3> u{r[1] * f[2] - r[2] * f[1], r[2] * f[0] - r[0] * f[2], r[0] * f[1] - r[1] * f[0]};
    const std::array<double, 3> eye{c.x * kCameraUnit, c.y * kCameraUnit, c.z * kCameraUnit};
    const std::array<std::array<double, 3>, 3> rows{r, u, {-f[0], -f[1], -f[2]}};
    std::array<GLdouble, 16> m{};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) m[k * 4 + i] = rows[i][k];
        m[12 + i] = -(rows[i][0] * eye[0] + rows[i][1] * eye[1] + rows[i][2] * eye[2]);
    }
    m[15] = 1;
    return m;
}

// RGBA texels of one texture and its mipmaps down to 1 x 1, each level the
// average of 2 x 2 blocks of the one above.
std::vector<std::vector<uint8_t>> textureLevels(int slot) {
    std::vector<std::vector<uint8_t>> levels(1, std::vector<uint8_t>(kSceneTextureSide * kSceneTextureSide * 4));
    for (int v = 0; v < kSceneTextureSide; ++v)
        for (int u = 0; u < kSceneTextureSide; ++u) {
            const auto rgb = scenePaletteColour(sceneTexel(slot, u, v));
            uint8_t* p = &levels[0][size_t(v * kSceneTextureSide + u) * 4];
            p[0] = rgb[0], p[1] = rgb[1], p[2] = rgb[2], p[3] = 255;
        }
    for (int side = kSceneTextureSide / 2; side >= 1; side /= 2) {
        const auto& above = levels.back();
        std::vector<uint8_t> level(size_t(side * side) * 4);
        for (int v = 0; v < side; ++v)
            for (int u = 0; u < side; ++u)
                for (int ch = 0; ch < 4; ++ch) {
                    auto at = [&](int du, int dv) {
                        return above[size_t((2 * v + dv) * side * 2 + 2 * u + du) * 4 + ch];
                    };
                    level[size_t(v * side + u) * 4 + ch] = uint8_t((at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1) + 2) / 4);
                }
        levels.push_back(std::move(level));
    }
    return levels;
}

class Peer {
public:
    explicit Peer(QOpenGLFunctions_1_5* gl) : gl_(gl) {
        gl_->glGenTextures(kSceneTextures, textures_.data());
        for (int slot = 0; slot < kSceneTextures; ++slot) {
            gl_->glBindTexture(GL_TEXTURE_2D, textures_[slot]);
            const auto levels = textureLevels(slot);
            for (int level = 0, side = kSceneTextureSide; level < int(levels.size()); ++level, side /= 2)
                gl_->glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                                  levels[level].data());
            gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
            gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
    }

    // Uploads the window's triangles; returns how many there are.
    int build(const Window& window) {
        release();
        const auto triangles = sceneTriangles(window);
        int count = 0;
        for (int slot = 0; slot < kSceneTextures; ++slot) {
            Batch& batch = batches_[slot];
            batch.vertices = GLsizei(triangles[slot].size());
            count += batch.vertices / 3;
            if (batch.vertices == 0) continue;
            gl_->glGenBuffers(1, &batch.buffer);
            gl_->glBindBuffer(GL_ARRAY_BUFFER, batch.buffer);
            gl_->glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(triangles[slot].size() * sizeof(Vertex)),
                              triangles[slot].data(), GL_STATIC_DRAW);
        }
        gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
        return count;
    }

    void draw(const SceneCamera& camera, int width, int height) {
        const double cx = width / 2.0, cy = height / 2.0, scale = kNear / kFocal;
        gl_->glViewport(0, 0, width, height);
        gl_->glMatrixMode(GL_PROJECTION);
        gl_->glLoadIdentity();
        gl_->glFrustum(-cx * scale, (width - cx) * scale, -cy * scale, (height - cy) * scale, kNear, kFar);
        gl_->glMatrixMode(GL_MODELVIEW);
        gl_->glLoadMatrixd(viewMatrix(camera).data());

        gl_->glClearColor(0, 0, 0, 1);
        gl_->glClearDepth(1);
        gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl_->glEnable(GL_DEPTH_TEST);
        gl_->glDepthFunc(GL_LEQUAL);
        gl_->glDisable(GL_LIGHTING);
        gl_->glDisable(GL_CULL_FACE);
        gl_->glEnable(GL_TEXTURE_2D);
        gl_->glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        gl_->glEnableClientState(GL_VERTEX_ARRAY);
        gl_->glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        for (int slot = 0; slot < kSceneTextures; ++slot) {
            const Batch& batch = batches_[slot];
            if (batch.vertices == 0) continue;
            gl_->glBindTexture(GL_TEXTURE_2D, textures_[slot]);
            gl_->glBindBuffer(GL_ARRAY_BUFFER, batch.buffer);
            gl_->glVertexPointer(3, GL_FLOAT, sizeof(Vertex), nullptr);
            gl_->glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, s)));
            gl_->glDrawArrays(GL_TRIANGLES, 0, batch.vertices);
        }
        gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
        gl_->glFinish();
    }

    ~Peer() {
        release();
        gl_->glDeleteTextures(kSceneTextures, textures_.data());
    }

private:
    void release() {
        for (Batch& batch : batches_)
            if (batch.buffer) gl_->glDeleteBuffers(1, &batch.buffer), batch = {};
    }

    QOpenGLFunctions_1_5* gl_;
    std::array<GLuint, kSceneTextures> textures_{};
    std::array<Batch, kSceneTextures> batches_{};
};

struct Scene {
    const char* name;
    SceneCamera camera;
    int width, height;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString pngDir;
    for (int i = 1; i < argc; ++i) {
        if (QString(argv[i]) == "--png" && i + 1 < argc)
            pngDir = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--png DIR]\n", argv[0]);
            return 2;
        }
    }

    QOpenGLContext context;
    if (!context.create()) {
        std::fprintf(stderr, "gl_peer: no OpenGL context on platform %s\n", qPrintable(app.platformName()));
        return kNoContext;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!context.makeCurrent(&surface)) {
        std::fprintf(stderr, "gl_peer: cannot make the OpenGL context current\n");
        return 1;
    }
    auto* gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_5>(&context);
    if (!gl) {
        std::fprintf(stderr, "gl_peer: the context has no fixed-function OpenGL 1.5\n");
        return 1;
    }
    const QString renderer = reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER));
    if (!pngDir.isEmpty()) QDir().mkpath(pngDir);

    const Scene scenes[] = {{"whole_grid", kWholeGridCamera, 1024, 768}, {"window64", kWindowCamera, 1920, 1080}};
    int status = 0;
    {
        Peer peer(gl);
        for (const Scene& scene : scenes) {
            QOpenGLFramebufferObject frame(scene.width, scene.height, QOpenGLFramebufferObject::Depth);
            frame.bind();
            const int triangles = peer.build(windowOf(scene.camera));
            peer.draw(scene.camera, scene.width, scene.height); // warm-up: first-use compilation
            QElapsedTimer timer;
            timer.start();
            int frames = 0;
            while (frames < kMinFrames || timer.nsecsElapsed() < qint64(kMinSeconds * 1e9)) {
                peer.draw(scene.camera, scene.width, scene.height);
                ++frames;
            }
            const double fps = frames / (timer.nsecsElapsed() / 1e9);
            std::printf("gl_peer %s %dx%d %.1f fps (%d triangles, %s)\n", scene.name, scene.width, scene.height, fps,
                        triangles, qPrintable(renderer));
            std::fflush(stdout);
            if (const GLenum error = gl->glGetError(); error != GL_NO_ERROR) {
                std::fprintf(stderr, "gl_peer: OpenGL error 0x%x in %s\n", error, scene.name);
                status = 1;
            }
            if (!pngDir.isEmpty()) {
                const QString path = QDir(pngDir).filePath(QString("gl_peer_%1.png").arg(scene.name));
                if (!frame.toImage().save(path)) {
                    std::fprintf(stderr, "gl_peer: cannot write %s\n", qPrintable(path));
                    status = 1;
                }
            }
            frame.release();
        }
    }
    context.doneCurrent();
    return status;
}
