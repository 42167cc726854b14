#include "render/gl/OpenGLTerrainRenderer.h"

#include "base/Trace.h"
#include "model/TrackPod.h"
#include "render/CourseOverlay.h"
#include "render/TrackMeshes.h"
#include "render/gl/SwapInterval.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

using namespace ravok;

namespace {

constexpr double kNear = 8, kFar = 1048576, kFocal = 512;
constexpr float kStored = 64; // drawing units per world unit: mesh coordinates as stored
constexpr std::array<uint8_t, 3> kWaterColour{40, 90, 170};
constexpr uint8_t kWaterAlpha = 115; // 45% water over the ground

// Light level 0..255 as the factor the software renderer's shade rows use.
float lightFactor(uint8_t level) { return level == 255 ? 1.0f : float(level + 1) / 256.0f; }

} // namespace

bool COpenGLTerrainRenderer::beginFrame(QOpenGLContext* context, int width, int height, QColor background,
                                        quintptr presentingWindow) {
    m_gl = context ? QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context) : nullptr;
    if (!m_gl) return false;
    if (presentingWindow)
        if (const auto interval = SwapIntervalToSet(m_verticalSync, m_swapInterval)) {
            m_swapInterval = *interval;
            ++m_swapIntervalsSet;
            m_swapIntervalApplied = SetPlatformSwapInterval(*context, presentingWindow, *interval);
        }
    m_width = width, m_height = height;
    m_triangles = 0;
    m_gl->glViewport(0, 0, width, height);
    m_gl->glDisable(GL_LIGHTING);
    m_gl->glDisable(GL_CULL_FACE);
    m_gl->glEnable(GL_DEPTH_TEST);
    m_gl->glDepthMask(GL_TRUE);
    m_gl->glDepthFunc(GL_LEQUAL);
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    m_gl->glColor4f(1, 1, 1, 1);
    m_gl->glClearColor(float(background.redF()), float(background.greenF()), float(background.blueF()), 1);
    m_gl->glClearDepth(1);
    m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void COpenGLTerrainRenderer::endFrame() {
    if (m_gl) m_gl->glFlush();
}

void COpenGLTerrainRenderer::setCamera(const ViewCamera& camera, int centreX, int centreY) {
    m_camera = camera;
    m_centreX = centreX, m_centreY = centreY;
}

void COpenGLTerrainRenderer::setPalette(const PaletteColours& palette) {
    if (m_paletteLoaded && palette == m_palette) return;
    m_palette = palette;
    m_paletteLoaded = true;
}

bool COpenGLTerrainRenderer::applyVerticalSync(bool on) {
    const bool changed = on != m_verticalSync;
    m_verticalSync = on;
    // Windows made from now on start with the interval; the next frame sets it on this one.
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setSwapInterval(on ? 1 : 0);
    QSurfaceFormat::setDefaultFormat(format);
    return changed;
}

// ---- matrices ----------------------------------------------------------------------------

// Projection with the centre where the view puts it, one world unit at
// distance 512 covering a pixel; modelview from the camera, with the drawing
// origin moved to (originX, originY) in drawing units so vertices stay small.
void COpenGLTerrainRenderer::loadView(double originX, double originY) {
    const double scale = kNear / kFocal;
    const double cx = m_centreX, cy = m_height - m_centreY; // OpenGL counts rows upwards
    m_gl->glMatrixMode(GL_PROJECTION);
    m_gl->glLoadIdentity();
    m_gl->glFrustum(-cx * scale, (m_width - cx) * scale, -cy * scale, (m_height - cy) * scale, kNear, kFar);

    const double yaw = m_camera.yaw * std::numbers::pi / 1800, below = (m_camera.pitch - 900) * std::numbers::pi / 1800;
    const double sy = std::sin(yaw), cyaw = std::cos(yaw), sp = std::sin(below), cp = std::cos(below);
    const std::array<double, 3> f{sy * cp, cyaw * cp, -sp}, r{cyaw, -sy, 0};
    const std::array<double, 3> u{r[1] * f[2] - r[2] * f[1], r[2] * f[0] - r[0] * f[2], r[0] * f[1] - r[1] * f[0]};
    const std::array<double, 3> eye{m_camera.x * double(kStored) - originX, m_camera.y * double(kStored) - originY,
                                    m_camera.z * double(kStored)};
    const std::array<std::array<double, 3>, 3> rows{r, u, {-f[0], -f[1], -f[2]}};
    std::array<GLdouble, 16> m{};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) m[size_t(k * 4 + i)] = rows[size_t(i)][size_t(k)];
        m[size_t(12 + i)] = -(rows[size_t(i)][0] * eye[0] + rows[size_t(i)][1] * eye[1] + rows[size_t(i)][2] * eye[2]);
    }
    m[15] = 1;
    m_gl->glMatrixMode(GL_MODELVIEW);
    m_gl->glLoadMatrixd(m.data());
}

// ---- textures ----------------------------------------------------------------------------

std::vector<uint8_t> COpenGLTerrainRenderer::rgbaOf(const MeshTexture& texture, int& width, int& height) {
    if (m_hdProvider)
        if (auto hd = m_hdProvider(texture.name.view())) {
            width = hd->width, height = hd->height;
            std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 255);
            for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
                std::copy_n(&hd->rgb[i * 3], 3, &rgba[i * 4]);
            return rgba;
        }
    width = std::max<int>(1, texture.width), height = std::max<int>(1, texture.height);
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 255);
    const size_t count = std::min(texture.pixels.size(), size_t(width) * size_t(height));
    for (size_t i = 0; i < count; ++i) {
        const uint8_t index = texture.pixels[i];
        const RgbColour c = m_paletteLoaded ? m_palette[index] : RgbColour{index, index, index};
        rgba[i * 4] = c.r, rgba[i * 4 + 1] = c.g, rgba[i * 4 + 2] = c.b;
    }
    return rgba;
}

void COpenGLTerrainRenderer::upload(uint32_t name, std::vector<uint8_t> rgba, int width, int height) {
    ++m_uploads;
    m_gl->glBindTexture(GL_TEXTURE_2D, name);
    const auto levels = BuildMipLevels(std::move(rgba), width, height);
    for (size_t level = 0; level < levels.size(); ++level)
        m_gl->glTexImage2D(GL_TEXTURE_2D, GLint(level), GL_RGBA8, levels[level].width, levels[level].height, 0,
                           GL_RGBA, GL_UNSIGNED_BYTE, levels[level].rgba.data());
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

uint32_t COpenGLTerrainRenderer::textureOf(const MeshTexture* texture, bool alpha) {
    if (!texture || texture->pixels.empty()) return 0;
    TextureObjects& objects = m_textures[texture];
    uint32_t& name = alpha ? objects.alpha : objects.plain;
    if (name) return name;
    GLuint made = 0;
    m_gl->glGenTextures(1, &made);
    int width = 0, height = 0;
    std::vector<uint8_t> rgba = rgbaOf(*texture, width, height);
    if (alpha) SetAlphaFromBlack(rgba);
    upload(made, std::move(rgba), width, height);
    name = made;
    return name;
}

void COpenGLTerrainRenderer::InvalidateTextures() {
    int alphas = 0;
    for (const auto& [texture, objects] : m_textures) alphas += objects.alpha != 0;
    trace("InvalidateTextures: dropping %d object textures (+%d alpha) and every terrain page", int(m_textures.size()),
          alphas);
    deletePages();
    for (const uint32_t list : m_meshes.clear())
        if (m_gl) m_gl->glDeleteLists(list, 1);
    if (m_gl)
        for (auto& [texture, objects] : m_textures) {
            if (objects.plain) m_gl->glDeleteTextures(1, &objects.plain);
            if (objects.alpha) m_gl->glDeleteTextures(1, &objects.alpha);
        }
    m_textures.clear();
}

void COpenGLTerrainRenderer::Release() {
    trace("COpenGLTerrainRenderer::Release: tearing the context down (this drops every texture)");
    InvalidateTextures();
    m_swapInterval = -1;
}

int COpenGLTerrainRenderer::objectsHeld() const {
    int held = int(m_textures.size());
    for (int i = 0; i < MeshCache::kEntries; ++i) held += m_meshes.entry(i).used;
    for (const Page& page : m_pages) held += page.valid || page.list || page.wireList;
    return held;
}

void COpenGLTerrainRenderer::forgetContext() {
    trace("GL CONTEXT LOST - wglMakeCurrent failed (err %lu), rebuilding; all textures dropped", 0ul);
    // The handles belonged to the dead context: forgotten, not deleted.
    m_pages.assign(m_pages.size(), Page{});
    m_meshes.clear();
    m_textures.clear();
    m_gl = nullptr;
    m_swapInterval = -1; // a new context sets it again
}

// ---- meshes ------------------------------------------------------------------------------

// The mesh's triangles, grouped by how they are drawn, with drawing-unit
// vertices less (offsetX, offsetY).
void COpenGLTerrainRenderer::compileMesh(const Mesh& mesh, float offsetX, float offsetY, float alpha) {
    const bool translucent = alpha < 1;
    if (translucent) {
        m_gl->glEnable(GL_BLEND);
        m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        m_gl->glDepthMask(GL_FALSE);
    }
    struct Group {
        const MeshTexture* texture;
        int colour;
        uint8_t kind; // 0 plain, 1 colour-keyed, 2 water
        bool operator<(const Group& o) const {
            return std::tie(kind, texture, colour) < std::tie(o.kind, o.texture, o.colour);
        }
    };
    std::map<Group, std::vector<const MeshTriangle*>> groups;
    for (const MeshTriangle& t : mesh.triangles()) {
        if (!(t.flags & kTriangleEnabled) || (t.flags & kTriangleHidden)) continue;
        const uint8_t kind = (t.flags & kTriangleTinted) ? 2 : (t.flags & kTriangleColourKeyed) ? 1 : 0;
        const bool textured = t.texture && !t.texture->pixels.empty() && kind != 2;
        groups[{textured ? t.texture : nullptr, textured ? -1 : t.colour, kind}].push_back(&t);
    }
    for (const auto& [group, triangles] : groups) {
        const uint32_t texture = group.kind == 2 ? 0 : textureOf(group.texture, group.kind == 1);
        if (texture) {
            m_gl->glEnable(GL_TEXTURE_2D);
            m_gl->glBindTexture(GL_TEXTURE_2D, texture);
            m_gl->glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            m_gl->glDisable(GL_TEXTURE_2D);
        }
        if (group.kind == 1) {
            m_gl->glEnable(GL_ALPHA_TEST);
            m_gl->glAlphaFunc(GL_GREATER, 0);
        }
        if (group.kind == 2) {
            m_gl->glEnable(GL_BLEND);
            m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            m_gl->glDepthMask(GL_FALSE);
        }
        m_gl->glBegin(GL_TRIANGLES);
        for (const MeshTriangle* t : triangles) {
            const float light = lightFactor(t->lightLevel);
            if (group.kind == 2) {
                m_gl->glColor4ub(kWaterColour[0], kWaterColour[1], kWaterColour[2], kWaterAlpha);
            } else if (texture) {
                m_gl->glColor4f(light, light, light, alpha);
            } else {
                const RgbColour c = t->colour == -1 ? RgbColour{255, 255, 255} : m_palette[size_t(uint32_t(t->colour) >> 24)];
                m_gl->glColor4f(c.r / 255.0f * light, c.g / 255.0f * light, c.b / 255.0f * light, alpha);
            }
            for (int k = 0; k < 3; ++k) {
                const MeshVertex* v = mesh.vertex(t->vertices[size_t(k)]);
                if (!v) continue;
                if (texture)
                    m_gl->glTexCoord2f(float(t->uv[size_t(k)][0]) / float(std::max<int>(1, t->texture->width)),
                                       float(t->uv[size_t(k)][1]) / float(std::max<int>(1, t->texture->height)));
                m_gl->glVertex3f(float(v->x) - offsetX, float(v->y) - offsetY, float(v->z));
            }
        }
        m_gl->glEnd();
        if (group.kind == 1) m_gl->glDisable(GL_ALPHA_TEST);
        if (group.kind == 2 && !translucent) {
            m_gl->glDisable(GL_BLEND);
            m_gl->glDepthMask(GL_TRUE);
        }
    }
    if (translucent) {
        m_gl->glDisable(GL_BLEND);
        m_gl->glDepthMask(GL_TRUE);
    }
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glColor4f(1, 1, 1, 1);
}

// The grid lines of a terrain block: each row and each column of vertices.
void COpenGLTerrainRenderer::compileWire(const Mesh& mesh, float offsetX, float offsetY) {
    m_gl->glDisable(GL_TEXTURE_2D); // the colour is the caller's
    const int side = int(std::lround(std::sqrt(double(mesh.vertexCount()))));
    auto vertex = [&](int i) {
        const MeshVertex* v = mesh.vertex(i);
        if (v) m_gl->glVertex3f(float(v->x) - offsetX, float(v->y) - offsetY, float(v->z) + 8);
    };
    for (int line = 0; line < side; ++line) {
        m_gl->glBegin(GL_LINE_STRIP);
        for (int k = 0; k < side; ++k) vertex(line * side + k);
        m_gl->glEnd();
        m_gl->glBegin(GL_LINE_STRIP);
        for (int k = 0; k < side; ++k) vertex(k * side + line);
        m_gl->glEnd();
    }
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glColor3ub(255, 255, 255);
}

void COpenGLTerrainRenderer::deletePages() {
    for (Page& page : m_pages) {
        if (m_gl && page.list) m_gl->glDeleteLists(page.list, 1);
        if (m_gl && page.wireList) m_gl->glDeleteLists(page.wireList, 1);
        page = {};
    }
}

void COpenGLTerrainRenderer::buildPage(Page& page, const CTrackPOD& track, int px, int py,
                                       const MeshTextureList& textures, std::span<const uint8_t> maskLevels,
                                       std::span<const uint8_t> pointShades) {
    if (page.list) m_gl->glDeleteLists(page.list, 1);
    if (page.wireList) m_gl->glDeleteLists(page.wireList, 1);
    page = {};
    Mesh mesh;
    BuildTerrainPageMesh(mesh, track, px, py, textures, maskLevels, pointShades);
    mesh.resolveLinks();
    const float ox = float(px * kTerrainPageCells * kWorldUnitsPerSquare) * kStored;
    const float oy = float(py * kTerrainPageCells * kWorldUnitsPerSquare) * kStored;
    // Textures are uploaded before the list is recorded: a list must not make them.
    for (const MeshTriangle& t : mesh.triangles()) textureOf(t.texture, false);
    page.list = m_gl->glGenLists(2);
    if (!page.list) return; // drawn next frame
    page.wireList = page.list + 1;
    m_gl->glNewList(page.list, GL_COMPILE);
    compileMesh(mesh, ox, oy);
    m_gl->glEndList();
    m_gl->glNewList(page.wireList, GL_COMPILE);
    compileWire(mesh, ox, oy);
    m_gl->glEndList();
    page.key = TerrainPageKey(track, px, py);
    page.triangles = int(mesh.triangleCount());
    page.valid = true;
    ++m_pagesBuilt;
}

void COpenGLTerrainRenderer::drawTerrain(const CTrackPOD& track, const TerrainWindow& window,
                                         const MeshTextureList& textures, bool wholeGrid,
                                         std::span<const uint8_t> maskLevels, std::span<const uint8_t> pointShades) {
    if (!m_gl) return;
    auto pageRange = [&](int start) {
        const int first = std::clamp(start / kTerrainPageCells, 0, kTerrainPages - 1);
        const int last = std::clamp((start + window.size - 1) / kTerrainPageCells, 0, kTerrainPages - 1);
        return std::pair{first, last};
    };
    const auto [x0, x1] = wholeGrid ? std::pair{0, kTerrainPages - 1} : pageRange(window.x0);
    const auto [y0, y1] = wholeGrid ? std::pair{0, kTerrainPages - 1} : pageRange(window.y0);
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            Page& page = m_pages[size_t(py * kTerrainPages + px)];
            if (!page.valid || page.key != TerrainPageKey(track, px, py))
                buildPage(page, track, px, py, textures, maskLevels, pointShades);
            if (!page.valid) continue;
            loadView(double(px * kTerrainPageCells * kWorldUnitsPerSquare) * kStored,
                     double(py * kTerrainPageCells * kWorldUnitsPerSquare) * kStored);
            if (m_displayMode != 1) m_gl->glCallList(page.list);
            if (m_displayMode != 0) {
                m_gl->glColor3ub(uint8_t(m_wireColour.red()), uint8_t(m_wireColour.green()),
                                 uint8_t(m_wireColour.blue()));
                m_gl->glCallList(page.wireList);
            }
            m_triangles += page.triangles;
        }
}

void COpenGLTerrainRenderer::drawMesh(const Mesh& mesh, const Placement* placement, bool depthTest,
                                      bool translucent) {
    if (!m_gl || mesh.triangleCount() == 0) return;
    // The translucent list of a mesh is an entry of its own, one byte past the mesh's address.
    const void* key = translucent ? static_cast<const void*>(reinterpret_cast<const char*>(&mesh) + 1) : &mesh;
    const MeshCache::Lookup found = m_meshes.find(key, mesh.generation());
    if (!found.hit) {
        if (found.replacedList) m_gl->glDeleteLists(found.replacedList, 1);
        for (const MeshTriangle& t : mesh.triangles()) textureOf(t.texture, (t.flags & kTriangleColourKeyed) != 0);
        const uint32_t list = m_gl->glGenLists(1);
        if (!list) return;
        m_gl->glNewList(list, GL_COMPILE);
        compileMesh(mesh, 0, 0, translucent ? 0.5f : 1.0f);
        m_gl->glEndList();
        m_meshes.setList(found.index, list);
    }
    const uint32_t list = m_meshes.entry(found.index).list;
    if (!list) return;
    loadView(0, 0);
    if (placement) {
        m_gl->glTranslated(placement->x * kStored, placement->y * kStored, placement->z * kStored);
        m_gl->glRotated(-placement->heading * 180 / std::numbers::pi, 0, 0, 1);
        m_gl->glRotated(placement->tiltPhi * 180 / std::numbers::pi, 1, 0, 0);
        m_gl->glRotated(placement->tiltTheta * 180 / std::numbers::pi, 0, 1, 0);
    }
    if (!depthTest) {
        m_gl->glDisable(GL_DEPTH_TEST);
        m_gl->glDepthMask(GL_FALSE);
    }
    m_gl->glCallList(list);
    if (!depthTest) {
        m_gl->glEnable(GL_DEPTH_TEST);
        m_gl->glDepthMask(GL_TRUE);
    }
    m_triangles += int(mesh.triangleCount());
}

void COpenGLTerrainRenderer::drawCourse(const CTrackPOD& track, const TerrainWindow& window, int selectedCourse,
                                        int selectedTruck, bool showMain) {
    if (!m_gl) return;
    const CourseOverlay overlay = CourseOverlayOf(track, window, selectedCourse, selectedTruck, showMain);
    loadView(0, 0);
    m_gl->glDisable(GL_TEXTURE_2D);
    m_gl->glDisable(GL_DEPTH_TEST);
    m_gl->glDepthMask(GL_FALSE);
    m_gl->glEnable(GL_BLEND);
    m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m_gl->glEnable(GL_LINE_SMOOTH);
    m_gl->glLineWidth(2);
    auto colour = [&](const RgbColour& c) { m_gl->glColor3ub(c.r, c.g, c.b); };
    auto point = [&](const OverlayPoint& p) {
        m_gl->glVertex3f(float(p[0]) * kStored, float(p[1]) * kStored, float(p[2]) * kStored);
    };
    m_gl->glBegin(GL_LINES);
    for (const CourseLine& line : overlay.lines) {
        colour(line.extended ? kExtendedCourseColour : kMainCourseColour);
        point(line.from);
        point(line.to);
    }
    m_gl->glEnd();
    m_gl->glDisable(GL_LINE_SMOOTH);
    m_gl->glLineWidth(1);
    for (const TruckStartMarker& truck : overlay.trucks) {
        colour(truck.selected ? kSelectedTruckStartColour : kTruckStartColour);
        m_gl->glBegin(GL_TRIANGLES);
        for (const OverlayPoint& c : truck.corners) point(c);
        m_gl->glEnd();
        colour(kTruckStartOutline);
        m_gl->glBegin(GL_LINE_LOOP);
        for (const OverlayPoint& c : truck.corners) point(c);
        m_gl->glEnd();
    }
    m_gl->glDisable(GL_BLEND);
    m_gl->glEnable(GL_DEPTH_TEST);
    m_gl->glDepthMask(GL_TRUE);
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glColor3ub(255, 255, 255);
}

bool COpenGLTerrainRenderer::drawModelPreview(QOpenGLContext* context, int width, int height, const Mesh& mesh,
                                              double yaw, double pitch, double zoom, QColor background) {
    if (!context || context->format().depthBufferSize() <= 0) {
        m_error = 40;
        return false;
    }
    if (!beginFrame(context, width, height, background)) return false;
    m_error = 0;
    const PreviewProjection p = ModelPreviewProjection(mesh, zoom);
    const double top = std::tan(20.0 * std::numbers::pi / 180) * p.nearPlane * kStored;
    const double aspect = double(width) / std::max(1, height);
    m_gl->glMatrixMode(GL_PROJECTION);
    m_gl->glLoadIdentity();
    m_gl->glFrustum(-top * aspect, top * aspect, -top, top, p.nearPlane * kStored, p.farPlane * kStored);
    m_gl->glMatrixMode(GL_MODELVIEW);
    m_gl->glLoadIdentity();
    m_gl->glTranslated(0, 0, -p.distance * kStored);
    m_gl->glRotated(pitch - 90, 1, 0, 0);
    m_gl->glRotated(yaw, 0, 0, 1);
    for (const MeshTriangle& t : mesh.triangles()) textureOf(t.texture, (t.flags & kTriangleColourKeyed) != 0);
    compileMesh(mesh, 0, 0); // drawn at once, not kept: the preview changes model often
    m_triangles = int(mesh.triangleCount());
    endFrame();
    return true;
}
