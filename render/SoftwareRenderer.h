#pragma once

#include "render/Mesh.h"

#include <array>
#include <cstdint>
#include <vector>

// The software path of the view: a painter's-algorithm triangle filler over
// an 8-bit frame buffer, with shade tables, subdivision of large or near
// triangles instead of a per-pixel divide, and a wire-frame line drawer.
namespace ravok {

class ShadeTables;

struct FrameBuffer {
    int width = 640, height = 480, bitsPerPixel = 8;
    int centreX = 320, centreY = 240; // the projection centre
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(640 * 480));

    int bytesPerRow() const { return width * bitsPerPixel / 8; }
    // Sets the size and centre and clears to index 0.
    void resize(int w, int h);
    void clear(uint8_t index) { std::fill(pixels.begin(), pixels.end(), index); }
    uint8_t at(int x, int y) const { return pixels[size_t(y * bytesPerRow() + x)]; }
};

// Program-wide settings of the software path.
struct SoftwareRenderSettings {
    bool backFaceCulling = true;
    bool shading = true;
    bool depthSorting = true;
    bool omitClosingWireEdge = false;
    int farLimit = 2048;
    int maxSplitDepth = 2, depthRatio = 311, depthLimit = 384;

    // The "Software Render Quality:" positions 1 (fast) to 3 (fine).
    static SoftwareRenderSettings forQuality(int quality);
    int quality() const;
};

// A 3 x 4 fixed-point transform: rows right, down and forward, each three
// factors (1024 = 1.0) and an offset, applied to stored vertex coordinates.
struct CameraMatrix {
    std::array<std::array<int32_t, 3>, 3> factors{};
    std::array<int64_t, 3> offsets{};
};

// Generated vertices and triangles of one draw (the split pools).
constexpr int kMaxGeneratedVertices = 19997;
constexpr int kMaxGeneratedTriangles = 9996;

struct RenderStatistics {
    int entered = 0, culled = 0, split = 0, filled = 0;
};

class SoftwareRenderer {
public:
    SoftwareRenderer(const SoftwareRenderSettings& settings, const ShadeTables& shades)
        : m_settings(settings), m_shades(shades) {}

    // Starts a frame: empties the triangle list and the split pools.
    void begin(FrameBuffer& frame);
    // Transforms a mesh and enters its triangles into the depth-sorted list.
    // `cullBackFaces` lets double-sided meshes (models) opt out.
    void addSolid(const Mesh& mesh, const CameraMatrix& camera, bool cullBackFaces = true);
    // Fills the listed triangles from the farthest while their depth key is
    // not below the limit.
    void fill(int depthLimit = -100000);
    // Transforms a mesh and draws its triangles' edges in the colour.
    void drawWire(const Mesh& mesh, const CameraMatrix& camera, uint8_t colour);

    // Both at once: what the view's Draw solid does for a single mesh.
    void drawSolid(FrameBuffer& frame, const Mesh& mesh, const CameraMatrix& camera);

    const RenderStatistics& statistics() const { return m_statistics; }
    const SoftwareRenderSettings& settings() const { return m_settings; }
    const ShadeTables& shades() const { return m_shades; }
    int generatedVertices() const { return m_generatedVertices; }
    int generatedTriangles() const { return m_generatedTriangles; }
    // The depth keys of the list in drawing order (for inspection).
    std::vector<int32_t> depthKeys() const;

    struct ScreenVertex {
        int32_t x, y, z; // stored mesh coordinates
        int32_t screenX, screenY, depth;
        bool behindEye;
        int16_t matrix;
    };

private:
    struct ListedTriangle {
        std::array<int32_t, 3> v;
        std::array<std::array<int32_t, 2>, 3> uv;
        const MeshTexture* texture;
        int32_t colour;
        int32_t depthKey;
        uint8_t flags, lightLevel;
    };
    struct Bounds {
        int32_t minX, maxX, minY, maxY, minDepth, maxDepth;
        bool behindEye;
    };

    ScreenVertex transform(int32_t x, int32_t y, int32_t z, int matrix) const;
    Bounds bounds(const ListedTriangle& t) const;
    void enter(ListedTriangle t, int splitDepth, bool cullBackFaces);
    bool splittable(const ListedTriangle& t, const Bounds& b, int splitDepth) const;
    void split(const ListedTriangle& t, int splitDepth, bool cullBackFaces);
    int midpoint(int32_t a, int32_t b);
    void fillTriangle(const ListedTriangle& t);
    void line(int x0, int y0, int x1, int y1, uint8_t colour);

    const SoftwareRenderSettings& m_settings;
    const ShadeTables& m_shades;
    FrameBuffer* m_frame = nullptr;
    std::vector<CameraMatrix> m_matrices;
    std::vector<ScreenVertex> m_vertices;
    std::vector<ListedTriangle> m_list;
    bool m_sorted = false;
    int m_generatedVertices = 0, m_generatedTriangles = 0;
    RenderStatistics m_statistics;
    // Per-row edge tables of the fill: x, u, v in 16.16.
    struct EdgePoint {
        int32_t x, u, v;
    };
    std::vector<EdgePoint> m_left, m_right;
};

// Projects one point as the renderer does (for tests and picking).
SoftwareRenderer::ScreenVertex ProjectPoint(const CameraMatrix& camera, const FrameBuffer& frame, int32_t x,
                                            int32_t y, int32_t z);

} // namespace ravok
