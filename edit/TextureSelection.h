#pragma once

// The texture mode's selection: a rectangle of grid squares (x the column, y
// the row, 0..255, bounds inclusive) kept by the view.
namespace ravok {

struct TextureSelection {
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1; // x0 = -1: no selection

    bool empty() const { return x0 < 0; }
    int width() const { return empty() ? 0 : x1 - x0 + 1; }
    int height() const { return empty() ? 0 : y1 - y0 + 1; }
    bool single() const { return !empty() && x0 == x1 && y0 == y1; }
    bool operator==(const TextureSelection&) const = default;

    static TextureSelection square(int x, int y) { return {x, y, x, y}; }
    static TextureSelection whole() { return {0, 0, 255, 255}; }
};

// Width and Height of the Texture Tools bar's paint mode.
constexpr int kMinPaintSize = 1;
constexpr int kMaxPaintSize = 16;

// A plain click selects the clicked square.
TextureSelection ClickTextureSquare(int x, int y);

// Shift+click spans from the selection's first corner to the clicked square,
// axis by axis: a clicked x not below x0 becomes x1; a smaller one becomes x0
// and the old x0 becomes x1 (likewise for y). Without a selection it is a
// plain click.
TextureSelection ShiftClickTextureSquare(const TextureSelection& selection, int x, int y);

// Paint mode: a width x height rectangle whose top-left is
// (x - width div 2, y - height div 2), shifted (never shrunk) to stay on the
// grid. Width and height are kept within 1..16.
TextureSelection PaintModeRectangle(int x, int y, int width, int height);

} // namespace ravok
