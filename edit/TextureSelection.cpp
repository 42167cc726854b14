#include "edit/TextureSelection.h"

#include "model/TrackRecords.h"

#include <algorithm>

namespace ravok {

namespace {

// One axis of a Shift+click: the first corner stays where it is unless the
// click lies before it.
void spanAxis(int& lo, int& hi, int clicked) {
    if (clicked >= lo) {
        hi = clicked;
    } else {
        hi = lo;
        lo = clicked;
    }
}

// The start of a run of `size` squares centred on `at`, moved to stay on the grid.
int shiftedStart(int at, int size) { return std::clamp(at - size / 2, 0, kGridSize - size); }

} // namespace

TextureSelection ClickTextureSquare(int x, int y) { return TextureSelection::square(x, y); }

TextureSelection ShiftClickTextureSquare(const TextureSelection& selection, int x, int y) {
    if (selection.empty()) return ClickTextureSquare(x, y);
    TextureSelection s = selection;
    spanAxis(s.x0, s.x1, x);
    spanAxis(s.y0, s.y1, y);
    return s;
}

TextureSelection PaintModeRectangle(int x, int y, int width, int height) {
    width = std::clamp(width, kMinPaintSize, kMaxPaintSize);
    height = std::clamp(height, kMinPaintSize, kMaxPaintSize);
    const int left = shiftedStart(x, width), top = shiftedStart(y, height);
    return {left, top, left + width - 1, top + height - 1};
}

} // namespace ravok
