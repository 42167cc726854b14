#pragma once

#include "render/Mesh.h"
#include "render/ViewCamera.h"

#include <span>
#include <string>

// Turning the track into meshes: the terrain window, the water over it,
// ground boxes and models. World units throughout (64 to a grid square,
// 3 to a height step).
namespace ravok {

class CTrackPOD;
class Model;
class TrackPalette;
struct GroundBox;

constexpr int kWorldUnitsPerSquare = 64;
constexpr int kWorldUnitsPerHeight = 3;

// The texture coordinate of corner k (0 = (x, y), 1 = (x + 1, y),
// 2 = (x + 1, y + 1), 3 = (x, y + 1)) of a cell or face whose texture word
// carries mirror bits 12 and 13 and a rotation in bits 14 and 15.
std::array<int32_t, 2> CellCornerCoordinate(uint16_t cell, int corner, int textureWidth);

// The view's two texture lists, filled from the track's texture tables.
struct TextureDatabase {
    MeshTextureList terrain, models;
    struct Counts {
        int terrain = 0, terrainNoData = 0, models = 0, modelsNoData = 0;
    };
    Counts fill(const CTrackPOD& track);
};
// The trace line of a fill, after a document update or a texture rebuild.
std::string TextureDatabaseTrace(const TextureDatabase::Counts& counts, bool rebuild);

// The terrain of a window: one vertex per grid point at its height, two
// triangles per cell with diagonals alternating like a chequerboard (the
// running count of cells over the whole grid, whose rows are odd), each
// cell's texture and corner coordinates, and a light level from the light map
// (the mean of the triangle's three corner shade bytes). Triangle tags are
// the cell's index y * 256 + x. With mask levels (one per cell, see
// TerrainMaskCellLevels) each cell's light is darkened by its level. Point
// shades (one per grid point, see ReliefShades) stand in for the light map.
void BuildTerrainMesh(Mesh& mesh, const CTrackPOD& track, const TerrainWindow& window, const MeshTextureList& list,
                      std::span<const uint8_t> maskLevels = {}, std::span<const uint8_t> pointShades = {});
// The same for one page of 4 x 4 cells (the OpenGL renderer's unit); the
// last pages of the grid have 3 cells a side.
void BuildTerrainPageMesh(Mesh& mesh, const CTrackPOD& track, int pageX, int pageY, const MeshTextureList& list,
                          std::span<const uint8_t> maskLevels = {}, std::span<const uint8_t> pointShades = {});

// A flat water surface at the track's water level over every cell of the
// window with a corner below it; its triangles tint what lies under them.
// Empty when the level is 0.
void BuildWaterMesh(Mesh& mesh, const CTrackPOD& track, const TerrainWindow& window);

// A ground box's visible faces: the four sides (0 south, 1 east, 2 north,
// 3 west), the top (4) and the bottom (5), each two triangles tagged with the
// face number times 2 plus 0 or 1. A side is left out when the neighbouring
// box on that side spans at least the same heights.
void BuildGroundBoxMesh(Mesh& mesh, const GroundBox& box, const CTrackPOD& track, const MeshTextureList& list);

// A model's facets as triangles, vertices in world units; facets of the
// colour-keyed kinds are marked so. LightWave facets without a texture take
// the palette entry nearest their surface colour.
void BuildModelMesh(Mesh& mesh, const Model& model, const MeshTextureList& list, const TrackPalette& palette);

// A plain block for an object without a model: width across, length along
// its heading, height up, standing on its position.
void BuildPlainBoxMesh(Mesh& mesh, int width, int length, int height, uint8_t colourIndex);

} // namespace ravok
