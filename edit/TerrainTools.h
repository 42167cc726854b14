#pragma once

#include "edit/TerrainBrush.h"

#include <array>
#include <cstdint>
#include <optional>

// Applying the terrain tools and the area copy and paste to a track's height
// map. Squares are grid squares: x the column, y the row, 0..255.
namespace ravok {

class CTrackPOD;
struct TerrainUndo;

// The grid squares an edit changed (inclusive bounds), so the view can
// refresh only the meshes over them. Empty when nothing was done.
struct TerrainChange {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool empty() const { return x1 < x0 || y1 < y0; }
    static TerrainChange whole() { return {0, 0, 255, 255}; }
    static TerrainChange none() { return {}; }
    bool operator==(const TerrainChange&) const = default;
};

// The view's hovered square packed as x | y << 8, or -1 when the cursor is
// off the terrain.
struct GridSquare {
    int x = 0, y = 0;
    static std::optional<GridSquare> fromPacked(int packed);
    int packed() const { return x | y << 8; }
    bool operator==(const GridSquare&) const = default;
};

// Terrain edits are refused while a pod is shown for viewing only.
bool CanEditTerrain(const CTrackPOD& track);

// Applies the tool once at the hovered square (left button or Space; tools
// 0..6, and Single-point with the altitude as its step). Takes the undo
// snapshot first. The brush must be the one built from `params`.
//   Raise, Hill, Slope, Mound, Bumps: height + delta, kept within 2..255;
//   Plane: every covered height becomes the altitude (0 when it is below 1);
//   Smooth: the inner cells of the extent become the mean of their four
//     neighbours as they were before the application;
//   Single-point: the hovered point moves by the step, kept within 0..255.
TerrainChange ApplyTerrainTool(CTrackPOD& track, const TerrainToolParams& params, const TerrainBrush& brush,
                               GridSquare square, TerrainUndo& undo);

// Moves one point by a step (the S / ] and X / [ keys of Single-point),
// taking the undo snapshot first.
TerrainChange ApplySinglePoint(CTrackPOD& track, GridSquare square, int step, TerrainUndo& undo);

// The Single-point keys repeat at most once per view timer tick (55 ms):
// take() says whether an application may happen now, tick() re-arms.
class SinglePointRepeat {
  public:
    bool take() {
        const bool armed = m_armed;
        m_armed = false;
        return armed;
    }
    void tick() { m_armed = true; }

  private:
    bool m_armed = true;
};

// The area clipboard: a block of heights up to 40 x 40 and its size (0 when
// nothing was copied). Cells that lay off the map when the block was copied
// are marked as not copied; a paste leaves the heights under them alone.
struct TerrainArea {
    static constexpr int kSide = 40;
    int width = 0, height = 0;
    std::array<uint8_t, kSide * kSide> heights{};
    std::array<bool, kSide * kSide> copied{};
    bool empty() const { return width == 0 || height == 0; }
};

// Copy Area: the rw x rh block centred on the hovered square as the brush
// covers it. False when there is no hovered square.
bool CopyTerrainArea(const CTrackPOD& track, int rw, int rh, std::optional<GridSquare> square,
                     TerrainArea& area);
// Paste Area: writes the block back over the same-shaped rectangle centred
// the same way on the hovered square, taking the undo snapshot first.
// Nothing happens without a hovered square or a copied block.
TerrainChange PasteTerrainArea(CTrackPOD& track, const TerrainArea& area, std::optional<GridSquare> square,
                               TerrainUndo& undo);

} // namespace ravok
