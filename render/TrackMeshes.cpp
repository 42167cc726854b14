#include "render/TrackMeshes.h"

#include "art/ItemNames.h"
#include "art/Model.h"
#include "art/Palette.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "render/TerrainMaskShade.h"

#include <algorithm>

namespace ravok {

namespace {

using Corners = std::array<std::array<int32_t, 2>, 4>;
constexpr Corners kWideCorners{{{2, 253}, {253, 253}, {253, 2}, {2, 2}}}; // textures 256 wide
constexpr Corners kTileCorners{{{2, 62}, {62, 62}, {62, 2}, {2, 2}}};     // 64 wide

// The two triangles over corners 0..3 of a quad: the diagonal 0-2 or 1-3.
constexpr std::array<std::array<int, 3>, 2> kEvenQuad{{{0, 3, 2}, {2, 1, 0}}};
constexpr std::array<std::array<int, 3>, 2> kOddQuad{{{3, 2, 1}, {1, 0, 3}}};

const char* textureNameOfSlot(const CTrackPOD& track, uint16_t word) {
    const Texture* texture = track.terrainTextures[size_t(word & 4095u) % track.terrainTextures.size()].get();
    return texture ? texture->name().c_str() : nullptr;
}

// Adds a quad over four vertex indices with a texture word's texture and
// corner coordinates; returns the first triangle.
int addTexturedQuad(Mesh& mesh, const std::array<int, 4>& v, const std::array<std::array<int, 3>, 2>& pattern,
                    uint16_t word, const CTrackPOD& track, const MeshTextureList& list, int32_t tag0,
                    int32_t tag1) {
    const char* name = textureNameOfSlot(track, word);
    const MeshTexture* texture = name ? list.find(name) : nullptr;
    const int width = texture ? texture->width : 64;
    int first = -1;
    for (size_t t = 0; t < 2; ++t) {
        const auto& c = pattern[t];
        const int index = mesh.addTriangle(v[size_t(c[0])], v[size_t(c[1])], v[size_t(c[2])], t == 0 ? tag0 : tag1);
        if (first < 0) first = index;
        if (!name) continue;
        mesh.setTextureName(index, name);
        const auto a = CellCornerCoordinate(word, c[0], width), b = CellCornerCoordinate(word, c[1], width),
                   d = CellCornerCoordinate(word, c[2], width);
        mesh.setTextureCoordinates(index, a[0], a[1], b[0], b[1], d[0], d[1]);
        mesh.triangle(index)->texture = texture;
    }
    return first;
}

int waterQuarters(const CTrackPOD& track) { return track.waterLevel * 4 + track.waterLevelQuarters; }

} // namespace

std::array<int32_t, 2> CellCornerCoordinate(uint16_t cell, int corner, int textureWidth) {
    int k = corner & 3;
    if (cell & (1u << 12)) k = (3 - k) & 3;
    if (cell & (1u << 13)) k = (1 - k) & 3;
    k = (k + (cell >> 14)) & 3;
    if (textureWidth == 256) return kWideCorners[size_t(k)];
    const auto& c = kTileCorners[size_t(k)];
    if (textureWidth == 64 || textureWidth <= 0) return c;
    // Other sizes span their own width, as the 64 and 256 tables do.
    return {c[0] * textureWidth / 64, c[1] * textureWidth / 64};
}

TextureDatabase::Counts TextureDatabase::fill(const CTrackPOD& track) {
    terrain.clear();
    models.clear();
    Counts counts;
    auto add = [](MeshTextureList& list, const Texture& t, int& count, int& noData) {
        list.add(t.name().view(), t.width(), t.height(), t.hasPixels() ? t.pixels() : std::span<const uint8_t>{});
        ++count;
        if (!t.hasPixels()) ++noData;
    };
    for (const auto& t : track.terrainTextures)
        if (t) add(terrain, *t, counts.terrain, counts.terrainNoData);
    for (const auto& t : track.modelTextures)
        if (t) add(models, *t, counts.models, counts.modelsNoData);
    return counts;
}

std::string TextureDatabaseTrace(const TextureDatabase::Counts& c, bool rebuild) {
    return formatText(rebuild ? "CRavokView::RebuildTextures: filled tdb with %d terrain (%d NO DATA), %d model (%d "
                                "NO DATA)"
                              : "CRavokView::OnUpdate: filled tdb with %d terrain (%d NO DATA), %d model (%d NO DATA)",
                      c.terrain, c.terrainNoData, c.models, c.modelsNoData);
}

namespace {

// The terrain over columns x rows grid points from (x0, y0). The diagonals
// alternate like a chequerboard over the whole grid, so a window and the
// pages inside it split every cell the same way.
void buildTerrainBlock(Mesh& mesh, const CTrackPOD& track, int x0, int y0, int columns, int rows,
                       const MeshTextureList& list, std::span<const uint8_t> maskLevels,
                       std::span<const uint8_t> pointShades) {
    mesh.clear();
    mesh.setTextureList(&list);
    const auto& grid = track.terrain;
    for (int gy = y0; gy < y0 + rows; ++gy)
        for (int gx = x0; gx < x0 + columns; ++gx)
            mesh.addVertex(gx * kWorldUnitsPerSquare, gy * kWorldUnitsPerSquare,
                           grid.height(gx, gy) * kWorldUnitsPerHeight, gy * kGridSize + gx);
    for (int cy = 0; cy + 1 < rows; ++cy)
        for (int cx = 0; cx + 1 < columns; ++cx) {
            const int gx = x0 + cx, gy = y0 + cy;
            const int cellIndex = gy * kGridSize + gx;
            const int v0 = cy * columns + cx;
            const std::array<int, 4> v{v0, v0 + 1, v0 + columns + 1, v0 + columns};
            const auto& pattern = (gx + gy) % 2 == 0 ? kEvenQuad : kOddQuad;
            const int first = addTexturedQuad(mesh, v, pattern, grid.textures[size_t(cellIndex)], track, list,
                                              cellIndex, cellIndex);
            for (int t = first; t < first + 2; ++t) {
                MeshTriangle* triangle = mesh.triangle(t);
                int sum = 0;
                for (int corner : triangle->vertices) {
                    const size_t point = size_t(mesh.vertex(corner)->tag);
                    sum += pointShades.empty() ? grid.cells[point][0] : pointShades[point];
                }
                triangle->lightLevel = uint8_t(sum / 3);
                if (!maskLevels.empty())
                    triangle->lightLevel = MaskedLightLevel(triangle->lightLevel, maskLevels[size_t(cellIndex)]);
            }
        }
}

} // namespace

void BuildTerrainMesh(Mesh& mesh, const CTrackPOD& track, const TerrainWindow& window, const MeshTextureList& list,
                      std::span<const uint8_t> maskLevels, std::span<const uint8_t> pointShades) {
    buildTerrainBlock(mesh, track, window.x0, window.y0, window.size, window.size, list, maskLevels, pointShades);
}

void BuildTerrainPageMesh(Mesh& mesh, const CTrackPOD& track, int pageX, int pageY, const MeshTextureList& list,
                          std::span<const uint8_t> maskLevels, std::span<const uint8_t> pointShades) {
    const int x0 = pageX * 4, y0 = pageY * 4;
    buildTerrainBlock(mesh, track, x0, y0, std::min(5, kGridSize - x0), std::min(5, kGridSize - y0), list,
                      maskLevels, pointShades);
}

void BuildWaterMesh(Mesh& mesh, const CTrackPOD& track, const TerrainWindow& window) {
    mesh.clear();
    const int quarters = waterQuarters(track);
    if (quarters <= 0) return;
    // Stored units: a quarter height step is 3 * 64 / 4 = 48.
    const int32_t z = quarters * kWorldUnitsPerHeight * 64 / 4;
    const auto& grid = track.terrain;
    for (int gy = window.y0; gy + 1 < window.y0 + window.size; ++gy)
        for (int gx = window.x0; gx + 1 < window.x0 + window.size; ++gx) {
            const int lowest = std::min({grid.height(gx, gy), grid.height(gx + 1, gy), grid.height(gx + 1, gy + 1),
                                         grid.height(gx, gy + 1)});
            if (lowest * 4 >= quarters) continue;
            std::array<int, 4> v{};
            const std::array<std::array<int, 2>, 4> corners{{{gx, gy}, {gx + 1, gy}, {gx + 1, gy + 1}, {gx, gy + 1}}};
            for (size_t k = 0; k < 4; ++k)
                v[k] = mesh.addStoredVertex(corners[k][0] * kWorldUnitsPerSquare * 64,
                                            corners[k][1] * kWorldUnitsPerSquare * 64, z);
            for (const auto& c : kEvenQuad) {
                const int t = mesh.addTriangle(v[size_t(c[0])], v[size_t(c[1])], v[size_t(c[2])], gy * kGridSize + gx);
                mesh.triangle(t)->flags = kTriangleEnabled | kTriangleTinted;
            }
        }
}

void BuildGroundBoxMesh(Mesh& mesh, const GroundBox& box, const CTrackPOD& track, const MeshTextureList& list) {
    mesh.clear();
    mesh.setTextureList(&list);
    const int32_t x0 = box.x * kWorldUnitsPerSquare, x1 = (box.x + box.sizeX) * kWorldUnitsPerSquare;
    const int32_t y0 = box.y * kWorldUnitsPerSquare, y1 = (box.y + box.sizeY) * kWorldUnitsPerSquare;
    const int32_t b = box.bottom * kWorldUnitsPerHeight, t = box.top * kWorldUnitsPerHeight;
    using Point = std::array<int32_t, 3>;
    // Corners of each face as seen from outside: lower left, lower right,
    // upper right, upper left.
    const std::array<std::array<Point, 4>, 6> faces{{
        {{{x0, y0, b}, {x1, y0, b}, {x1, y0, t}, {x0, y0, t}}}, // south
        {{{x1, y0, b}, {x1, y1, b}, {x1, y1, t}, {x1, y0, t}}}, // east
        {{{x1, y1, b}, {x0, y1, b}, {x0, y1, t}, {x1, y1, t}}}, // north
        {{{x0, y1, b}, {x0, y0, b}, {x0, y0, t}, {x0, y1, t}}}, // west
        {{{x0, y0, t}, {x1, y0, t}, {x1, y1, t}, {x0, y1, t}}}, // top
        {{{x0, y1, b}, {x1, y1, b}, {x1, y0, b}, {x0, y0, b}}}, // bottom
    }};
    // The neighbouring cell beyond each side.
    const std::array<std::array<int, 2>, 4> beyond{{{box.x, box.y - 1}, {box.x + box.sizeX, box.y},
                                                    {box.x, box.y + box.sizeY}, {box.x - 1, box.y}}};
    const auto& maps = track.groundBoxMaps;
    for (size_t f = 0; f < 6; ++f) {
        if (f < 4) {
            const int nx = beyond[f][0], ny = beyond[f][1];
            if (nx >= 0 && ny >= 0 && nx < kGridSize && ny < kGridSize) {
                const size_t i = size_t(ny * kGridSize + nx);
                if (maps.top[i] > 0 && maps.bottom[i] <= box.bottom && maps.top[i] >= box.top) continue;
            }
        }
        std::array<int, 4> v{};
        for (size_t k = 0; k < 4; ++k) v[k] = mesh.addVertex(faces[f][k][0], faces[f][k][1], faces[f][k][2]);
        addTexturedQuad(mesh, v, kEvenQuad, box.faces[f], track, list, int32_t(f * 2), int32_t(f * 2 + 1));
    }
}

void BuildModelMesh(Mesh& mesh, const Model& model, const MeshTextureList& list, const TrackPalette& palette) {
    mesh.clear();
    mesh.setTextureList(&list);
    for (const auto& v : model.vertices()) mesh.addVertex((v[0] + 32) >> 6, (v[1] + 32) >> 6, (v[2] + 32) >> 6);
    const int vertexCount = int(mesh.vertexCount());
    for (const ModelFacet& facet : model.facets()) {
        if (facet.vertexCount < 3) continue;
        const bool quad = facet.vertexCount >= 4;
        const std::string name = facet.textureName.empty() ? std::string() : itemName("ART", facet.textureName.str());
        const MeshTexture* texture = name.empty() ? nullptr : list.find(name);
        // Model coordinates are in 256-texel units.
        const int width = texture ? texture->width : 256;
        const int height = texture ? texture->height : 256;
        auto uvOf = [&](int k) {
            return std::array<int32_t, 2>{facet.uv[size_t(k)][0] * width / 256, facet.uv[size_t(k)][1] * height / 256};
        };
        for (const auto& corners : quad ? std::vector<std::array<int, 3>>{{0, 1, 2}, {2, 3, 0}}
                                        : std::vector<std::array<int, 3>>{{0, 1, 2}}) {
            std::array<int, 3> v{};
            for (size_t k = 0; k < 3; ++k) v[k] = int(facet.vertices[size_t(corners[k])]);
            if (std::any_of(v.begin(), v.end(), [&](int i) { return i < 0 || i >= vertexCount; })) continue;
            const int t = mesh.addTriangle(v[0], v[1], v[2]);
            if (facet.opcode == 17 || facet.opcode == 51) mesh.triangle(t)->flags = kFacetColourKeyFlags;
            if (name.empty()) {
                // A LightWave surface colour: bytes 3, 2, 1 of the name field.
                const auto& bytes = facet.textureName;
                const int index = palette.NearestPaletteIndex(uint8_t(bytes.c_str()[3]), uint8_t(bytes.c_str()[2]),
                                                              uint8_t(bytes.c_str()[1]));
                mesh.triangle(t)->colour = int32_t(uint32_t(index) << 24);
                continue;
            }
            mesh.setTextureName(t, name);
            const auto a = uvOf(corners[0]), b = uvOf(corners[1]), c = uvOf(corners[2]);
            mesh.setTextureCoordinates(t, a[0], a[1], b[0], b[1], c[0], c[1]);
            mesh.triangle(t)->texture = texture;
        }
    }
}

void BuildPlainBoxMesh(Mesh& mesh, int width, int length, int height, uint8_t colourIndex) {
    mesh.clear();
    const int32_t hx = std::max(1, width / 2), hy = std::max(1, length / 2), top = std::max(1, height);
    using Point = std::array<int32_t, 3>;
    const std::array<std::array<Point, 4>, 5> faces{{
        {{{-hx, -hy, 0}, {hx, -hy, 0}, {hx, -hy, top}, {-hx, -hy, top}}},
        {{{hx, -hy, 0}, {hx, hy, 0}, {hx, hy, top}, {hx, -hy, top}}},
        {{{hx, hy, 0}, {-hx, hy, 0}, {-hx, hy, top}, {hx, hy, top}}},
        {{{-hx, hy, 0}, {-hx, -hy, 0}, {-hx, -hy, top}, {-hx, hy, top}}},
        {{{-hx, -hy, top}, {hx, -hy, top}, {hx, hy, top}, {-hx, hy, top}}},
    }};
    for (size_t f = 0; f < faces.size(); ++f) {
        std::array<int, 4> v{};
        for (size_t k = 0; k < 4; ++k) v[k] = mesh.addVertex(faces[f][k][0], faces[f][k][1], faces[f][k][2]);
        for (const auto& c : kEvenQuad) {
            const int t = mesh.addTriangle(v[size_t(c[0])], v[size_t(c[1])], v[size_t(c[2])], int32_t(f));
            mesh.triangle(t)->colour = int32_t(uint32_t(colourIndex) << 24);
            // The sides a little darker than the top, so the block reads as one.
            mesh.triangle(t)->lightLevel = f == 4 ? 255 : 200;
        }
    }
}

} // namespace ravok
