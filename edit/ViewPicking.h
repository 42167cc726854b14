#pragma once

#include "edit/TerrainTools.h"
#include "render/ViewCamera.h"

#include <optional>

namespace ravok {

// The square under the mouse from the window vertex picked under it (row * g
// + column of the terrain window's g x g vertices); none for a vertex of the
// window's last row or column or a square off the grid.
std::optional<GridSquare> HoveredSquare(int vertexIndex, const TerrainWindow& window);

// The camera position of a double-click on the overview map of the given
// size (the map's top row is grid row 255); column and row rounded down to even.
struct WorldPoint {
    int x = 0, y = 0;
    bool operator==(const WorldPoint&) const = default;
};
WorldPoint OverviewMapJump(int mouseX, int mouseY, int mapWidth, int mapHeight, int mapTop = 0);

} // namespace ravok
