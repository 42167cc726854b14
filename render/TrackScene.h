#pragma once

#include "render/CourseOverlay.h"
#include "render/ShadeTables.h"
#include "render/SoftwareRenderer.h"
#include "render/TrackMeshes.h"

#include <map>
#include <memory>
#include <span>
#include <vector>

namespace ravok {

struct TrackObject;

struct SceneOptions {
    bool showWater = true;
    bool showObjects = true;
    bool showGroundBoxes = true;
    bool showPlainBlocks = true; // the blocks drawn for objects without a model
    bool showBackdrop = true;    // the backdrop around the camera, or the stadium at its arena
    bool solidTerrain = true;  // the textured terrain ("Wire" alone leaves it out)
    bool wireFrame = false;    // the wire frame of the terrain over the picture
    bool showCourse = false;   // the course lines and truck starts over everything
    int selectedCourse = 0;    // 1..4 draws that extended course too
    int selectedTruck = -1;    // 1..8 marks that truck start
    bool showMainCourse = true; // the main course beside a selected extended course
    uint8_t wireColour = 255;
    uint8_t background = 0;
};

// Everything the view draws of a track, as meshes: the terrain window, the
// water, the ground boxes and one mesh per model (objects without a model
// share a plain block).
class TrackScene {
public:
    // Builds every mesh for the camera's terrain window.
    void build(const CTrackPOD& track, const TerrainWindow& window);
    // Builds the terrain and the water of another window, keeping the
    // textures and the other meshes.
    void moveWindow(const CTrackPOD& track, const TerrainWindow& window);
    const TerrainWindow& window() const { return m_window; }
    // Shows the track's terrain mask over the ground from the next build or
    // move on, or stops showing it; true when the levels changed.
    bool showTerrainMask(const CTrackPOD& track, bool show);
    std::span<const uint8_t> terrainMaskLevels() const { return m_maskLevels; }
    // Shades the terrain by its slope while the track's light map is uniform
    // (from the next build or move on), or never; true when the terrain's
    // shading changed.
    bool setReliefShading(const CTrackPOD& track, bool on);
    // The shades standing in for the light map; empty while it is used.
    std::span<const uint8_t> reliefShades() const { return m_relief; }
    // Draws the scene into the frame through the software renderer.
    void draw(SoftwareRenderer& renderer, FrameBuffer& frame, const CTrackPOD& track, const ViewCamera& camera,
              const SceneOptions& options) const;

    TextureDatabase& textures() { return m_textures; }
    // Drops every mesh and texture made from the track (before the track
    // goes away); the next build makes them again.
    void release();
    // Nothing made from a track is held.
    bool empty() const;
    const Mesh& terrain() const { return m_terrain; }
    const Mesh& water() const { return m_water; }
    const Mesh* modelMesh(const Model* model) const;
    const std::vector<std::unique_ptr<Mesh>>& boxes() const { return m_boxes; }
    // The backdrop or stadium model's mesh; empty without one.
    const Mesh& backdrop() const { return m_backdrop; }
    // The palette index of the plain blocks of objects without a model.
    uint8_t plainColour() const { return m_plainColour; }

private:
    TextureDatabase m_textures;
    TerrainWindow m_window;
    Mesh m_terrain, m_water, m_backdrop;
    std::vector<uint8_t> m_maskLevels;
    bool m_reliefWanted = false;
    std::vector<uint8_t> m_relief;
    uint64_t m_reliefKey = 0; // of the heights the relief was made for
    uint32_t m_maskKey = 0; // of the levels shown, 0 for none
    uint8_t m_plainColour = 0;
    std::vector<std::unique_ptr<Mesh>> m_boxes;
    std::map<const Model*, std::unique_ptr<Mesh>> m_models;
};

// The shade tables of a track's palette.
void BuildTrackShades(ShadeTables& shades, const CTrackPOD& track);

// The frame's indices as blue, green, red pixels through the palette (rows of width * 3 bytes).
std::vector<uint8_t> FrameToBgr(const FrameBuffer& frame, const TrackPalette& palette);

// The placement of an object's model in the world.
Placement ObjectPlacement(const TrackObject& object);

} // namespace ravok
