#pragma once

#include "base/Outcome.h"
#include "edit/TextureSelection.h"

#include <array>

// Auto Texture Transitions: textures laid by altitude. Each cell's four
// corner heights are compared with a threshold; the pattern of corners that
// lie inside picks a texture from a 3 x 3 picture (the slopes and corners of
// a raised area) or the outer texture.
namespace ravok {

class CTrackPOD;
struct TextureUndo;

constexpr const char* kTexturesNotSpecifiedMessage = "One or more textures not specified!";

// The dialog's settings, kept while the program runs. Unset textures are -1.
struct TransitionSettings {
    std::array<std::array<int, 3>, 3> picture{{{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}}}; // [row][column]
    int outer = -1;
    bool invert = false; // inner goes below the threshold
    bool fillUpTo = true;
    int fillUpValue = 255;
    bool fillDownTo = true;
    int fillDownValue = 0;
    int threshold = 127;
};

// The corner code of a cell: a + 2b + 4c + 8d for the corners (x, y),
// (x+1, y), (x, y+1), (x+1, y+1) that are inside (x+1 and y+1 wrap at 256).
int TransitionCornerCode(const CTrackPOD& track, const TransitionSettings& settings, int x, int y);

// The picture cell (row, column) of codes 1..14.
struct PictureCell {
    int row = 1, column = 1;
};
PictureCell TransitionPictureCell(int code);

// The area the transitions work on: the selection when paint mode is off and
// it covers more than one square, otherwise the whole map.
TextureSelection TransitionArea(const TextureSelection& selection, bool paintMode);

// Apply: refused with "One or more textures not specified!" while any of the
// ten textures is unset. Cells of code 0 and 15 are painted only within the
// fill limits; the texture values are stored as the dialog holds them.
Outcome ApplyTextureTransitions(CTrackPOD& track, const TransitionSettings& settings, const TextureSelection& area,
                                TextureUndo& undo);

} // namespace ravok
