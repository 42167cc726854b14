#include "render/SoftwareRenderer.h"

#include "render/LineClip.h"
#include "render/ShadeTables.h"

#include <algorithm>
#include <cmath>

namespace ravok {

namespace {

// Reciprocals 65536 / n for n = 1..16383, built on first use.
const std::array<int32_t, 16384>& reciprocals() {
    static const auto table = [] {
        std::array<int32_t, 16384> t{};
        for (int n = 1; n < 16384; ++n) t[size_t(n)] = 65536 / n;
        return t;
    }();
    return table;
}

// The per-row step of a 16.16 coordinate changing by `difference` over `rows`.
int32_t stepPerRow(int32_t difference, int32_t rows) {
    if (rows < 16384) return difference * reciprocals()[size_t(rows)];
    return int32_t((int64_t(difference) << 16) / rows);
}

constexpr int32_t kScreenLimit = 1 << 26; // keeps off-screen corners inside 64-bit products

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

struct SplitParameters {
    int maxSplitDepth, depthRatio, depthLimit;
};
constexpr SplitParameters kBaseSplit{5, 287, 768};

SplitParameters stepped(int steps) {
    SplitParameters p = kBaseSplit;
    for (int i = 0; i < -steps; ++i) p = {p.maxSplitDepth - 1, p.depthRatio + 8, p.depthLimit - 128};
    for (int i = 0; i < steps; ++i) p = {p.maxSplitDepth + 1, p.depthRatio - 4, p.depthLimit + 128};
    return p;
}

} // namespace

void FrameBuffer::resize(int w, int h) {
    width = std::max(1, w);
    height = std::max(1, h);
    centreX = width / 2;
    centreY = height / 2;
    pixels.assign(size_t(bytesPerRow()) * size_t(height), 0);
}

SoftwareRenderSettings SoftwareRenderSettings::forQuality(int quality) {
    const int steps = quality <= 1 ? -3 : quality == 2 ? -1 : 1;
    const SplitParameters p = stepped(steps);
    SoftwareRenderSettings s;
    s.maxSplitDepth = p.maxSplitDepth;
    s.depthRatio = p.depthRatio;
    s.depthLimit = p.depthLimit;
    return s;
}

int SoftwareRenderSettings::quality() const {
    for (int q = 3; q >= 2; --q)
        if (maxSplitDepth >= forQuality(q).maxSplitDepth) return q;
    return 1;
}

SoftwareRenderer::ScreenVertex ProjectPoint(const CameraMatrix& m, const FrameBuffer& frame, int32_t x, int32_t y,
                                            int32_t z) {
    auto row = [&](int r) {
        return int64_t(m.factors[size_t(r)][0]) * x + int64_t(m.factors[size_t(r)][1]) * y +
               int64_t(m.factors[size_t(r)][2]) * z + m.offsets[size_t(r)];
    };
    SoftwareRenderer::ScreenVertex v{x, y, z, frame.centreX, frame.centreY, 0, false, 0};
    const int64_t d = row(2);
    const int64_t w = d >> 10;
    v.depth = int32_t(std::clamp<int64_t>(d >> 16, INT32_MIN, INT32_MAX));
    if (w < 64) {
        v.behindEye = true;
        return v;
    }
    v.screenX = int32_t(std::clamp<int64_t>(frame.centreX + (row(0) >> 1) / w, -kScreenLimit, kScreenLimit));
    v.screenY = int32_t(std::clamp<int64_t>(frame.centreY + (row(1) >> 1) / w, -kScreenLimit, kScreenLimit));
    return v;
}

SoftwareRenderer::ScreenVertex SoftwareRenderer::transform(int32_t x, int32_t y, int32_t z, int matrix) const {
    ScreenVertex v = ProjectPoint(m_matrices[size_t(matrix)], *m_frame, x, y, z);
    v.matrix = int16_t(matrix);
    return v;
}

void SoftwareRenderer::begin(FrameBuffer& frame) {
    m_frame = &frame;
    m_matrices.clear();
    m_vertices.clear();
    m_list.clear();
    m_sorted = false;
    m_generatedVertices = m_generatedTriangles = 0;
    m_statistics = {};
    m_left.resize(size_t(frame.height));
    m_right.resize(size_t(frame.height));
    (void)reciprocals();
}

void SoftwareRenderer::addSolid(const Mesh& mesh, const CameraMatrix& camera, bool cullBackFaces) {
    m_matrices.push_back(camera);
    const int matrix = int(m_matrices.size()) - 1;
    const int32_t base = int32_t(m_vertices.size());
    for (const MeshVertex& v : mesh.vertices()) m_vertices.push_back(transform(v.x, v.y, v.z, matrix));
    for (const MeshTriangle& t : mesh.triangles()) {
        if (!(t.flags & kTriangleEnabled)) continue;
        ListedTriangle listed{{t.vertices[0] + base, t.vertices[1] + base, t.vertices[2] + base},
                              t.uv,
                              t.texture,
                              t.colour,
                              0,
                              t.flags,
                              t.lightLevel};
        enter(listed, 0, cullBackFaces);
    }
    m_sorted = false;
}

SoftwareRenderer::Bounds SoftwareRenderer::bounds(const ListedTriangle& t) const {
    const ScreenVertex& a = m_vertices[size_t(t.v[0])];
    Bounds b{a.screenX, a.screenX, a.screenY, a.screenY, a.depth, a.depth, a.behindEye};
    for (int k = 1; k < 3; ++k) {
        const ScreenVertex& v = m_vertices[size_t(t.v[size_t(k)])];
        b.minX = std::min(b.minX, v.screenX);
        b.maxX = std::max(b.maxX, v.screenX);
        b.minY = std::min(b.minY, v.screenY);
        b.maxY = std::max(b.maxY, v.screenY);
        b.minDepth = std::min(b.minDepth, v.depth);
        b.maxDepth = std::max(b.maxDepth, v.depth);
        b.behindEye = b.behindEye || v.behindEye;
    }
    return b;
}

bool SoftwareRenderer::splittable(const ListedTriangle& t, const Bounds& b, int splitDepth) const {
    if (splitDepth >= m_settings.maxSplitDepth || b.minDepth >= m_settings.depthLimit) return false;
    if (!t.texture && b.minDepth >= 1) return false;
    if (m_generatedVertices >= kMaxGeneratedVertices || m_generatedTriangles >= kMaxGeneratedTriangles) return false;
    return b.minDepth < 1 || b.maxX - b.minX > 127 ||
           int64_t(m_settings.depthRatio) * b.minDepth < int64_t(b.maxDepth) * 256;
}

void SoftwareRenderer::enter(ListedTriangle t, int splitDepth, bool cullBackFaces) {
    const Bounds b = bounds(t);
    const FrameBuffer& f = *m_frame;
    if (!(b.maxDepth > 2 && b.minDepth < m_settings.farLimit && b.minX < f.width && b.maxX >= 0 &&
          b.minY < f.height && b.maxY >= 0)) {
        ++m_statistics.culled;
        return;
    }
    if (b.minDepth >= 1 && cullBackFaces && m_settings.backFaceCulling) {
        const ScreenVertex &p0 = m_vertices[size_t(t.v[0])], &p1 = m_vertices[size_t(t.v[1])],
                           &p2 = m_vertices[size_t(t.v[2])];
        const int64_t cross = int64_t(p1.screenX - p0.screenX) * (p2.screenY - p0.screenY) -
                              int64_t(p2.screenX - p0.screenX) * (p1.screenY - p0.screenY);
        if (cross <= 0) {
            ++m_statistics.culled;
            return;
        }
    }
    t.depthKey = b.maxDepth;
    if (splittable(t, b, splitDepth)) {
        split(t, splitDepth, cullBackFaces);
        return;
    }
    // A corner still at or behind the eye would be drawn at the projection
    // centre, smearing the triangle across the frame: leave it out instead.
    if (b.behindEye) {
        ++m_statistics.culled;
        return;
    }
    m_list.push_back(t);
    ++m_statistics.entered;
}

int SoftwareRenderer::midpoint(int32_t a, int32_t b) {
    const ScreenVertex &p = m_vertices[size_t(a)], &q = m_vertices[size_t(b)];
    m_vertices.push_back(transform(int32_t((int64_t(p.x) + q.x) >> 1), int32_t((int64_t(p.y) + q.y) >> 1),
                                   int32_t((int64_t(p.z) + q.z) >> 1), p.matrix));
    ++m_generatedVertices;
    return int(m_vertices.size()) - 1;
}

void SoftwareRenderer::split(const ListedTriangle& t, int splitDepth, bool cullBackFaces) {
    ++m_statistics.split;
    const int m01 = midpoint(t.v[0], t.v[1]), m12 = midpoint(t.v[1], t.v[2]), m20 = midpoint(t.v[2], t.v[0]);
    auto mid = [](const std::array<int32_t, 2>& a, const std::array<int32_t, 2>& b) {
        return std::array<int32_t, 2>{(a[0] + b[0]) >> 1, (a[1] + b[1]) >> 1};
    };
    const auto uv01 = mid(t.uv[0], t.uv[1]), uv12 = mid(t.uv[1], t.uv[2]), uv20 = mid(t.uv[2], t.uv[0]);
    const std::array<std::array<int32_t, 3>, 4> corners{{{t.v[0], m01, m20}, {m01, t.v[1], m12},
                                                         {m12, t.v[2], m20}, {m01, m12, m20}}};
    const std::array<std::array<std::array<int32_t, 2>, 3>, 4> uvs{{{t.uv[0], uv01, uv20}, {uv01, t.uv[1], uv12},
                                                                    {uv12, t.uv[2], uv20}, {uv01, uv12, uv20}}};
    m_generatedTriangles += 4;
    for (size_t c = 0; c < 4; ++c) {
        ListedTriangle child = t;
        child.v = corners[c];
        child.uv = uvs[c];
        child.flags = uint8_t(t.flags | kTriangleNoWire);
        enter(child, splitDepth + 1, cullBackFaces);
    }
}

void SoftwareRenderer::fill(int depthLimit) {
    if (m_settings.depthSorting && !m_sorted) {
        // Falling depth; equal keys keep the order they were entered in.
        std::stable_sort(m_list.begin(), m_list.end(),
                         [](const ListedTriangle& a, const ListedTriangle& b) { return a.depthKey > b.depthKey; });
        m_sorted = true;
    }
    for (const ListedTriangle& t : m_list) {
        if (t.depthKey < depthLimit) {
            if (m_settings.depthSorting) break;
            continue;
        }
        if (t.flags & (kTriangleHidden | kTriangleNoFill)) continue;
        fillTriangle(t);
        ++m_statistics.filled;
    }
}

void SoftwareRenderer::fillTriangle(const ListedTriangle& t) {
    FrameBuffer& f = *m_frame;
    struct Corner {
        int32_t x, y, u, v;
    };
    std::array<Corner, 3> c;
    for (size_t k = 0; k < 3; ++k) {
        const ScreenVertex& s = m_vertices[size_t(t.v[k])];
        c[k] = {s.screenX, s.screenY, t.uv[k][0], t.uv[k][1]};
    }
    std::sort(c.begin(), c.end(), [](const Corner& a, const Corner& b) { return a.y < b.y; });
    // A tint darkens what lies under it, so a pixel on an edge two tinted
    // triangles share must be tinted once: their bottom rows and right
    // columns are left to the neighbour.
    const bool tinted = t.flags & kTriangleTinted;
    const int firstRow = std::max(c[0].y, 0), lastRow = std::min(tinted ? c[2].y - 1 : c[2].y, f.height - 1);
    if (firstRow > lastRow) return;

    // Walks an edge from its upper to its lower corner into a table.
    auto walk = [&](const Corner& a, const Corner& b, std::vector<EdgePoint>& table) {
        const int32_t rows = b.y - a.y;
        if (rows <= 0) return;
        const int64_t dx = int64_t(b.x) - a.x;
        const int32_t du = stepPerRow(b.u - a.u, rows), dv = stepPerRow(b.v - a.v, rows);
        const int from = std::max(a.y, firstRow), to = std::min(b.y, lastRow);
        for (int y = from; y <= to; ++y) {
            const int32_t k = y - a.y;
            table[size_t(y)] = {int32_t(a.x + dx * k / rows), int32_t((int64_t(a.u) << 16) + int64_t(du) * k),
                                int32_t((int64_t(a.v) << 16) + int64_t(dv) * k)};
        }
    };
    if (c[0].y == c[2].y) { // one row: the span from the leftmost to the rightmost corner
        const auto [lo, hi] = std::minmax_element(c.begin(), c.end(), [](auto& a, auto& b) { return a.x < b.x; });
        m_left[size_t(firstRow)] = {lo->x, lo->u << 16, lo->v << 16};
        m_right[size_t(firstRow)] = {hi->x, hi->u << 16, hi->v << 16};
    } else {
        walk(c[0], c[2], m_left);
        walk(c[0], c[1], m_right);
        walk(c[1], c[2], m_right);
    }

    const MeshTexture* tex = t.texture && !t.texture->pixels.empty() ? t.texture : nullptr;
    const bool shaded = m_settings.shading && t.lightLevel < 255;
    const uint8_t* shade = m_shades.row(shaded ? t.lightLevel : 255);
    const bool keyed = t.flags & kTriangleColourKeyed;
    const uint8_t flat = shade[uint8_t(uint32_t(t.colour) >> 24)];
    const int tw = tex ? tex->width : 1, th = tex ? tex->height : 1;
    const bool masks = isPowerOfTwo(tw) && isPowerOfTwo(th);
    for (int y = firstRow; y <= lastRow; ++y) {
        EdgePoint l = m_left[size_t(y)], r = m_right[size_t(y)];
        if (l.x > r.x) std::swap(l, r);
        if (r.x < 0 || l.x >= f.width) continue;
        const int32_t span = r.x - l.x;
        const int32_t du = span > 0 ? int32_t((int64_t(r.u) - l.u) / span) : 0;
        const int32_t dv = span > 0 ? int32_t((int64_t(r.v) - l.v) / span) : 0;
        const int x0 = std::max(l.x, 0), x1 = std::min(r.x, f.width - 1);
        uint8_t* row = f.pixels.data() + size_t(y) * size_t(f.bytesPerRow());
        if (tinted) {
            for (int x = x0; x < std::min(r.x, f.width); ++x) row[x] = m_shades.waterTint()[row[x]];
            continue;
        }
        if (!tex) {
            std::fill(row + x0, row + x1 + 1, flat);
            continue;
        }
        int32_t u = int32_t(l.u + int64_t(du) * (x0 - l.x)), v = int32_t(l.v + int64_t(dv) * (x0 - l.x));
        const uint8_t* texels = tex->pixels.data();
        for (int x = x0; x <= x1; ++x, u += du, v += dv) {
            const int tu = masks ? (u >> 16) & (tw - 1) : ((u >> 16) % tw + tw) % tw;
            const int tv = masks ? (v >> 16) & (th - 1) : ((v >> 16) % th + th) % th;
            const uint8_t texel = texels[tv * tw + tu];
            if (keyed && texel == 0) continue;
            row[x] = shade[texel];
        }
    }
}

void SoftwareRenderer::drawWire(const Mesh& mesh, const CameraMatrix& camera, uint8_t colour) {
    if (!m_frame || m_frame->bitsPerPixel != 8) return;
    m_matrices.push_back(camera);
    const int matrix = int(m_matrices.size()) - 1;
    const int32_t base = int32_t(m_vertices.size());
    for (const MeshVertex& v : mesh.vertices()) m_vertices.push_back(transform(v.x, v.y, v.z, matrix));
    for (const MeshTriangle& t : mesh.triangles()) {
        if (!(t.flags & kTriangleEnabled) || (t.flags & (kTriangleHidden | kTriangleNoWire))) continue;
        ListedTriangle listed{{t.vertices[0] + base, t.vertices[1] + base, t.vertices[2] + base},
                              t.uv, t.texture, t.colour, 0, t.flags, t.lightLevel};
        const Bounds b = bounds(listed);
        if (b.behindEye || b.minDepth >= m_settings.farLimit || b.minX >= m_frame->width || b.maxX < 0 ||
            b.minY >= m_frame->height || b.maxY < 0)
            continue;
        const ScreenVertex &p0 = m_vertices[size_t(listed.v[0])], &p1 = m_vertices[size_t(listed.v[1])],
                           &p2 = m_vertices[size_t(listed.v[2])];
        line(p0.screenX, p0.screenY, p1.screenX, p1.screenY, colour);
        line(p1.screenX, p1.screenY, p2.screenX, p2.screenY, colour);
        if (!m_settings.omitClosingWireEdge) line(p2.screenX, p2.screenY, p0.screenX, p0.screenY, colour);
    }
}

void SoftwareRenderer::line(int x0, int y0, int x1, int y1, uint8_t colour) {
    FrameBuffer& f = *m_frame;
    // Clip to the buffer first (Liang-Barsky), so far-off corners cost nothing.
    double t0 = 0, t1 = 1;
    const double dx = double(x1) - x0, dy = double(y1) - y0;
    if (!ClipSegment(x0, y0, dx, dy, 0, 0, f.width - 1, f.height - 1, t0, t1)) return;
    int ax = int(std::lround(x0 + t0 * dx)), ay = int(std::lround(y0 + t0 * dy));
    const int bx = int(std::lround(x0 + t1 * dx)), by = int(std::lround(y0 + t1 * dy));
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const int ddx = std::abs(bx - ax), ddy = -std::abs(by - ay);
    int error = ddx + ddy;
    while (true) {
        if (ax >= 0 && ax < f.width && ay >= 0 && ay < f.height)
            f.pixels[size_t(ay) * size_t(f.bytesPerRow()) + size_t(ax)] = colour;
        if (ax == bx && ay == by) break;
        const int e2 = 2 * error;
        if (e2 >= ddy) {
            error += ddy;
            ax += sx;
        }
        if (e2 <= ddx) {
            error += ddx;
            ay += sy;
        }
    }
}

void SoftwareRenderer::drawSolid(FrameBuffer& frame, const Mesh& mesh, const CameraMatrix& camera) {
    begin(frame);
    addSolid(mesh, camera);
    fill();
}

std::vector<int32_t> SoftwareRenderer::depthKeys() const {
    std::vector<int32_t> keys;
    for (const ListedTriangle& t : m_list) keys.push_back(t.depthKey);
    return keys;
}

} // namespace ravok
