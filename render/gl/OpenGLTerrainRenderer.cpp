#include "render/gl/OpenGLTerrainRenderer.h"

#include "base/Trace.h"
#include "model/TrackPod.h"
#include "render/CourseOverlay.h"
#include "render/TrackMeshes.h"
#include "render/gl/SwapInterval.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_1_5>
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

// A terrain vertex as the buffer holds it: drawing units, texture
// coordinates, and the colour the texel is multiplied by.
struct TerrainVertex {
    float x, y, z, s, t;
    std::array<uint8_t, 4> colour;
};
// The vertices of a page's slot: two triangles a cell, and its wire frame's
// lines (each row and column of its grid points, one line a cell side).
constexpr int kPageVertices = kTerrainPageCells * kTerrainPageCells * 2 * 3;
constexpr int kPageWireVertices = (kTerrainPageCells + 1) * kTerrainPageCells * 2 * 2;
constexpr int kPageCount = kTerrainPages * kTerrainPages;
constexpr float kWireLift = 8; // drawing units above the ground, so the lines win the depth test

} // namespace

bool COpenGLTerrainRenderer::beginFrame(QOpenGLContext* context, int width, int height, QColor background,
                                        quintptr presentingWindow) {
    m_gl = context ? QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_5>(context) : nullptr;
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
    const double bottom = -cy * scale, top = (m_height - cy) * scale;
    if (m_topRowFirst)
        m_gl->glFrustum(-cx * scale, (m_width - cx) * scale, top, bottom, kNear, kFar);
    else
        m_gl->glFrustum(-cx * scale, (m_width - cx) * scale, bottom, top, kNear, kFar);

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

// A terrain texture's place: a cell of a sheet, or a texture object of its
// own when its sides are not a multiple of 8 from 16 to 1024. None for a
// texture without pixels (drawn in flat colour).
const COpenGLTerrainRenderer::TerrainTextureSlot* COpenGLTerrainRenderer::terrainSlotOf(const MeshTexture* texture) {
    if (!texture || texture->pixels.empty()) return nullptr;
    if (const auto found = m_terrainSlots.find(texture); found != m_terrainSlots.end()) return &found->second;
    int width = 0, height = 0;
    std::vector<uint8_t> rgba = rgbaOf(*texture, width, height);
    TerrainTextureSlot slot;
    auto fits = [](int side) { return side % 8 == 0 && side >= 16 && side <= 1024; };
    if (fits(width) && fits(height))
        slot = placeOnSheet(std::move(rgba), width, height);
    else
        slot.name = textureOf(texture, false);
    return &(m_terrainSlots[texture] = slot);
}

COpenGLTerrainRenderer::TerrainTextureSlot COpenGLTerrainRenderer::placeOnSheet(std::vector<uint8_t> rgba, int width,
                                                                                 int height) {
    constexpr int kSheetSide = 2048;
    const int borderX = width / 8, borderY = height / 8;
    const int cellWidth = width + 2 * borderX, cellHeight = height + 2 * borderY;
    // Mipmap levels while a cell halves evenly and keeps a border of a texel.
    int levels = 1;
    while ((cellWidth % (1 << levels)) == 0 && (cellHeight % (1 << levels)) == 0 &&
           (1 << levels) <= std::min(borderX, borderY))
        ++levels;
    std::vector<TextureSheet>& sheets = m_sheets[{width, height}];
    if (sheets.empty() || sheets.back().used == sheets.back().columns * sheets.back().rows) {
        TextureSheet sheet{0, cellWidth, cellHeight, std::max(1, kSheetSide / cellWidth),
                           std::max(1, kSheetSide / cellHeight), 0, levels};
        m_gl->glGenTextures(1, &sheet.name);
        m_gl->glBindTexture(GL_TEXTURE_2D, sheet.name);
        for (int level = 0; level < levels; ++level)
            m_gl->glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, (sheet.columns * cellWidth) >> level,
                               (sheet.rows * cellHeight) >> level, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        sheets.push_back(sheet);
    }
    TextureSheet& sheet = sheets.back();
    const int column = sheet.used % sheet.columns, row = sheet.used / sheet.columns;
    ++sheet.used;
    ++m_uploads;
    // The cell: the picture framed by copies of its edge texels.
    std::vector<uint8_t> cell(size_t(cellWidth) * size_t(cellHeight) * 4);
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x) {
            const int sx = std::clamp(x - borderX, 0, width - 1), sy = std::clamp(y - borderY, 0, height - 1);
            std::copy_n(&rgba[(size_t(sy) * size_t(width) + size_t(sx)) * 4], 4,
                        &cell[(size_t(y) * size_t(cellWidth) + size_t(x)) * 4]);
        }
    const auto mips = BuildMipLevels(std::move(cell), cellWidth, cellHeight);
    m_gl->glBindTexture(GL_TEXTURE_2D, sheet.name);
    for (int level = 0; level < levels; ++level)
        m_gl->glTexSubImage2D(GL_TEXTURE_2D, level, (column * cellWidth) >> level, (row * cellHeight) >> level,
                              mips[size_t(level)].width, mips[size_t(level)].height, GL_RGBA, GL_UNSIGNED_BYTE,
                              mips[size_t(level)].rgba.data());
    const float sheetWidth = float(sheet.columns * cellWidth), sheetHeight = float(sheet.rows * cellHeight);
    return {sheet.name, float(column * cellWidth + borderX) / sheetWidth, float(row * cellHeight + borderY) / sheetHeight,
            float(width) / sheetWidth, float(height) / sheetHeight};
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
    for (auto& [size, sheets] : m_sheets)
        for (TextureSheet& sheet : sheets)
            if (m_gl && sheet.name) m_gl->glDeleteTextures(1, &sheet.name);
    m_sheets.clear();
    m_terrainSlots.clear();
}

void COpenGLTerrainRenderer::Release() {
    trace("COpenGLTerrainRenderer::Release: tearing the context down (this drops every texture)");
    InvalidateTextures();
    deleteTerrainBuffers();
    m_swapInterval = -1;
}

int COpenGLTerrainRenderer::objectsHeld() const {
    int held = int(m_textures.size() + m_sheets.size());
    for (int i = 0; i < MeshCache::kEntries; ++i) held += m_meshes.entry(i).used;
    for (const Page& page : m_pages) held += page.valid;
    return held;
}

void COpenGLTerrainRenderer::forgetContext() {
    trace("GL CONTEXT LOST - wglMakeCurrent failed (err %lu), rebuilding; all textures dropped", 0ul);
    // The handles belonged to the dead context: forgotten, not deleted.
    m_pages.assign(m_pages.size(), Page{});
    m_meshes.clear();
    m_textures.clear();
    m_sheets.clear();
    m_terrainSlots.clear();
    m_batches.clear();
    m_terrainBuffer = m_wireBuffer = 0;
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

void COpenGLTerrainRenderer::deletePages() { m_pages.assign(m_pages.size(), Page{}); }

// One buffer slot per page for its triangles and one for its wire frame.
bool COpenGLTerrainRenderer::makeTerrainBuffers() {
    if (m_terrainBuffer && m_wireBuffer) return true;
    deletePages(); // a new buffer holds none of them
    for (auto [buffer, bytes] : {std::pair{&m_terrainBuffer, kPageVertices * sizeof(TerrainVertex)},
                                 std::pair{&m_wireBuffer, kPageWireVertices * 3 * sizeof(float)}}) {
        if (!*buffer) m_gl->glGenBuffers(1, buffer);
        if (!*buffer) return false;
        m_gl->glBindBuffer(GL_ARRAY_BUFFER, *buffer);
        m_gl->glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes * kPageCount), nullptr, GL_DYNAMIC_DRAW);
    }
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void COpenGLTerrainRenderer::deleteTerrainBuffers() {
    if (m_gl && m_terrainBuffer) m_gl->glDeleteBuffers(1, &m_terrainBuffer);
    if (m_gl && m_wireBuffer) m_gl->glDeleteBuffers(1, &m_wireBuffer);
    m_terrainBuffer = m_wireBuffer = 0;
    deletePages();
}

void COpenGLTerrainRenderer::buildPage(Page& page, const CTrackPOD& track, int px, int py,
                                       const MeshTextureList& textures, std::span<const uint8_t> maskLevels,
                                       std::span<const uint8_t> pointShades) {
    page = {};
    Mesh mesh;
    BuildTerrainPageMesh(mesh, track, px, py, textures, maskLevels, pointShades);
    mesh.resolveLinks();
    // The triangles grouped by texture, each corner coloured by its light.
    std::map<uint32_t, std::vector<const MeshTriangle*>> groups;
    for (const MeshTriangle& t : mesh.triangles()) {
        if (!(t.flags & kTriangleEnabled) || (t.flags & kTriangleHidden)) continue;
        const TerrainTextureSlot* slot = terrainSlotOf(t.texture);
        groups[slot ? slot->name : 0].push_back(&t);
    }
    std::vector<TerrainVertex> vertices;
    vertices.reserve(kPageVertices);
    for (const auto& [name, triangles] : groups) {
        PageBatch batch{name, int(vertices.size()), 0};
        for (const MeshTriangle* t : triangles) {
            const TerrainTextureSlot* slot = terrainSlotOf(t->texture);
            const MeshTexture* texture = slot ? t->texture : nullptr;
            const float light = lightFactor(t->lightLevel);
            RgbColour c{255, 255, 255};
            if (!texture && t->colour != -1) c = m_palette[size_t(uint32_t(t->colour) >> 24)];
            const std::array<uint8_t, 4> colour{uint8_t(std::lround(c.r * light)), uint8_t(std::lround(c.g * light)),
                                                uint8_t(std::lround(c.b * light)), 255};
            for (int k = 0; k < 3 && vertices.size() < size_t(kPageVertices); ++k) {
                const MeshVertex* v = mesh.vertex(t->vertices[size_t(k)]);
                if (!v) continue;
                TerrainVertex out{float(v->x), float(v->y), float(v->z), 0, 0, colour};
                if (slot) {
                    out.s = slot->s0 + slot->width * float(t->uv[size_t(k)][0]) / float(std::max<int>(1, texture->width));
                    out.t = slot->t0 + slot->height * float(t->uv[size_t(k)][1]) / float(std::max<int>(1, texture->height));
                }
                vertices.push_back(out);
            }
        }
        batch.count = int(vertices.size()) - batch.first;
        batch.count -= batch.count % 3;
        if (batch.count > 0) page.batches.push_back(batch);
    }
    // The wire frame: each row and each column of the page's grid points.
    std::vector<float> wire;
    const int side = int(std::lround(std::sqrt(double(mesh.vertexCount()))));
    auto wirePoint = [&](int i) {
        const MeshVertex* v = mesh.vertex(i);
        if (v) wire.insert(wire.end(), {float(v->x), float(v->y), float(v->z) + kWireLift});
        else wire.insert(wire.end(), {0, 0, 0});
    };
    for (int line = 0; line < side; ++line)
        for (int k = 0; k + 1 < side && wire.size() + 12 <= size_t(kPageWireVertices) * 3; ++k) {
            wirePoint(line * side + k), wirePoint(line * side + k + 1);
            wirePoint(k * side + line), wirePoint((k + 1) * side + line);
        }
    const size_t slot = size_t(py * kTerrainPages + px);
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, m_terrainBuffer);
    m_gl->glBufferSubData(GL_ARRAY_BUFFER, GLintptr(slot * kPageVertices * sizeof(TerrainVertex)),
                          GLsizeiptr(vertices.size() * sizeof(TerrainVertex)), vertices.data());
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, m_wireBuffer);
    m_gl->glBufferSubData(GL_ARRAY_BUFFER, GLintptr(slot * kPageWireVertices * 3 * sizeof(float)),
                          GLsizeiptr(wire.size() * sizeof(float)), wire.data());
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    page.key = TerrainPageKey(track, px, py, pointShades, maskLevels);
    page.triangles = int(mesh.triangleCount());
    page.wireVertices = int(wire.size() / 3);
    page.valid = true;
    ++m_pagesBuilt;
}

void COpenGLTerrainRenderer::drawTerrain(const CTrackPOD& track, const TerrainWindow& window,
                                         const MeshTextureList& textures, bool wholeGrid,
                                         std::span<const uint8_t> maskLevels, std::span<const uint8_t> pointShades) {
    if (!m_gl || !makeTerrainBuffers()) return;
    auto pageRange = [&](int start) {
        const int first = std::clamp(start / kTerrainPageCells, 0, kTerrainPages - 1);
        const int last = std::clamp((start + window.size - 1) / kTerrainPageCells, 0, kTerrainPages - 1);
        return std::pair{first, last};
    };
    const auto [x0, x1] = wholeGrid ? std::pair{0, kTerrainPages - 1} : pageRange(window.x0);
    const auto [y0, y1] = wholeGrid ? std::pair{0, kTerrainPages - 1} : pageRange(window.y0);
    std::vector<int> drawn;
    drawn.reserve(size_t((x1 - x0 + 1) * (y1 - y0 + 1)));
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            const int index = py * kTerrainPages + px;
            Page& page = m_pages[size_t(index)];
            if (!page.valid || page.key != TerrainPageKey(track, px, py, pointShades, maskLevels))
                buildPage(page, track, px, py, textures, maskLevels, pointShades);
            if (!page.valid) continue;
            drawn.push_back(index);
            m_triangles += page.triangles;
        }
    loadView(0, 0);
    if (m_displayMode != 1) drawTerrainBatches(drawn);
    if (m_displayMode != 0) drawTerrainWire(drawn);
}

// The drawn pages' triangles, one call per texture over all of them.
void COpenGLTerrainRenderer::drawTerrainBatches(const std::vector<int>& pages) {
    for (auto& [texture, batch] : m_batches) batch.firsts.clear(), batch.counts.clear();
    for (const int index : pages)
        for (const PageBatch& b : m_pages[size_t(index)].batches) {
            TextureBatch& batch = m_batches[b.texture];
            batch.firsts.push_back(index * kPageVertices + b.first);
            batch.counts.push_back(b.count);
        }
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, m_terrainBuffer);
    m_gl->glEnableClientState(GL_VERTEX_ARRAY);
    m_gl->glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    m_gl->glEnableClientState(GL_COLOR_ARRAY);
    m_gl->glVertexPointer(3, GL_FLOAT, sizeof(TerrainVertex), nullptr);
    m_gl->glTexCoordPointer(2, GL_FLOAT, sizeof(TerrainVertex), reinterpret_cast<void*>(offsetof(TerrainVertex, s)));
    m_gl->glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(TerrainVertex),
                         reinterpret_cast<void*>(offsetof(TerrainVertex, colour)));
    m_gl->glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Ground facing away from the camera lies behind ground facing it, and
    // is left out as the software renderer leaves it out. The terrain's
    // triangles turn clockwise seen from above; rows drawn top first mirror them.
    m_gl->glEnable(GL_CULL_FACE);
    m_gl->glCullFace(GL_BACK);
    m_gl->glFrontFace(m_topRowFirst ? GL_CCW : GL_CW);
    for (const auto& [texture, batch] : m_batches) {
        if (batch.firsts.empty()) continue;
        if (const uint32_t name = texture) {
            m_gl->glEnable(GL_TEXTURE_2D);
            m_gl->glBindTexture(GL_TEXTURE_2D, name);
        } else {
            m_gl->glDisable(GL_TEXTURE_2D);
        }
        m_gl->glMultiDrawArrays(GL_TRIANGLES, batch.firsts.data(), batch.counts.data(), GLsizei(batch.firsts.size()));
    }
    m_gl->glDisable(GL_CULL_FACE);
    m_gl->glDisableClientState(GL_COLOR_ARRAY);
    m_gl->glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    m_gl->glDisableClientState(GL_VERTEX_ARRAY);
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glColor4f(1, 1, 1, 1);
}

// The drawn pages' wire frames in the wire colour, in one call.
void COpenGLTerrainRenderer::drawTerrainWire(const std::vector<int>& pages) {
    std::vector<int32_t> firsts, counts;
    for (const int index : pages) {
        firsts.push_back(index * kPageWireVertices);
        counts.push_back(m_pages[size_t(index)].wireVertices);
    }
    m_gl->glDisable(GL_TEXTURE_2D);
    m_gl->glColor3ub(uint8_t(m_wireColour.red()), uint8_t(m_wireColour.green()), uint8_t(m_wireColour.blue()));
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, m_wireBuffer);
    m_gl->glEnableClientState(GL_VERTEX_ARRAY);
    m_gl->glVertexPointer(3, GL_FLOAT, 0, nullptr);
    m_gl->glMultiDrawArrays(GL_LINES, firsts.data(), counts.data(), GLsizei(firsts.size()));
    m_gl->glDisableClientState(GL_VERTEX_ARRAY);
    m_gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_gl->glEnable(GL_TEXTURE_2D);
    m_gl->glColor3ub(255, 255, 255);
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
