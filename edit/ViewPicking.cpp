#include "edit/ViewPicking.h"

#include <algorithm>

namespace ravok {

std::optional<GridSquare> HoveredSquare(int vertexIndex, const TerrainWindow& window) {
    const int g = window.size;
    if (vertexIndex < 0 || g < 2 || vertexIndex >= g * g) return std::nullopt;
    const int row = vertexIndex / g, column = vertexIndex % g;
    if (row == g - 1 || column == g - 1) return std::nullopt;
    const GridSquare square{window.x0 + column, window.y0 + row};
    if (square.x < 0 || square.x > 255 || square.y < 0 || square.y > 255) return std::nullopt;
    return square;
}

WorldPoint OverviewMapJump(int mouseX, int mouseY, int mapWidth, int mapHeight, int mapTop) {
    if (mapWidth < 1 || mapHeight < 1) return {};
    const int column = std::clamp(mouseX * 255 / mapWidth, 0, 255) & ~1;
    const int row = std::clamp(255 + (mapTop - mouseY) * 255 / mapHeight, 0, 255) & ~1;
    return {column * 64, row * 64};
}

} // namespace ravok
