#pragma once

#include "edit/ObjectSelection.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Ground boxes: blocks standing on single grid cells, from a bottom height to
// a top height, with a texture word on each of their six faces (0 south,
// 1 east, 2 north, 3 west, 4 top, 5 bottom).
namespace ravok {

class CTrackPOD;
struct GroundBox;

bool CanEditGroundBoxes(const CTrackPOD& track);

// The Top and Bottom values of the Groundbox Tools bar.
struct GroundBoxBar {
    int top = 128;   // 1..255
    int bottom = 64; // 0..254, below top
};
// Top within 1..255; a Bottom not below Top goes back to Top - 1, a negative one to 0.
GroundBoxBar CorrectGroundBoxBar(GroundBoxBar bar);
// The S or ] (+1) and X or [ (-1) keys on the value the bar has chosen.
GroundBoxBar StepGroundBoxBar(GroundBoxBar bar, bool topChosen, int delta);

// The paint modes of the bar's four exclusive check boxes.
enum class GroundBoxPaint { Off = 0, Face = 1, Sides = 2, TopBottom = 3, AllFaces = 4 };

// The selection the view keeps: the box (slot or -1) and the face value
// 0..11 (the face is value / 2: the two triangles of each face).
struct GroundBoxSelection {
    int box = -1;
    int faceValue = -1;
    int face() const { return faceValue >= 0 ? faceValue / 2 : -1; }
};

// What an operation changed: the boxes whose meshes need building again.
struct GroundBoxChange {
    bool changed = false;
    std::vector<int> rebuild; // slots, each once
};

// The slot of the box standing on a cell, or -1.
int GroundBoxAt(const CTrackPOD& track, int x, int y);
// Insert is possible: the cell is on the grid, free (its top map is 0) and
// the table has a free slot.
bool CanInsertGroundBox(const CTrackPOD& track, int x, int y);

// Insert at a cell with the bar's heights; all six faces take the texture
// when one is selected. The new box becomes the selected box with face value
// 11. Nothing happens on an occupied cell or with all 2048 slots used.
GroundBoxChange InsertGroundBox(CTrackPOD& track, GroundBoxSelection& selection, int x, int y,
                                GroundBoxBar bar, std::optional<int> texture);
// Delete the selected box: both maps at its cell are cleared, the boxes on
// the four neighbouring cells rebuilt, and the selection moves to the slot
// before it (none when that slot is empty or it was slot 0).
GroundBoxChange DeleteGroundBox(CTrackPOD& track, GroundBoxSelection& selection);
// The bar's Top and Bottom applied to the selected box when they differ.
GroundBoxChange SetGroundBoxHeights(CTrackPOD& track, const GroundBoxSelection& selection, GroundBoxBar bar);
// Paint the selected box with a texture slot: mode Face the selected face,
// Sides faces 0-3, TopBottom faces 4 and 5, AllFaces all six. Only the slot
// bits (0..11) change; mirror and rotation bits stay.
GroundBoxChange PaintGroundBox(CTrackPOD& track, const GroundBoxSelection& selection, GroundBoxPaint mode,
                               int texture);
// Rotate 90 degrees (R): the selected face's rotation (bits 14-15) + 1 mod 4.
GroundBoxChange RotateGroundBoxFace(CTrackPOD& track, const GroundBoxSelection& selection);
// Mirror (M): the selected face's mirror bit (12) is toggled.
GroundBoxChange MirrorGroundBoxFace(CTrackPOD& track, const GroundBoxSelection& selection);

// The box clipboard.
struct GroundBoxClipboard {
    int32_t sizeX = 1, sizeY = 1;
    uint8_t bottom = 0, top = 0;
    std::array<uint16_t, 6> faces{};
};
// Copy Box: needs a selected box and face.
std::optional<GroundBoxClipboard> CopyGroundBox(const CTrackPOD& track, const GroundBoxSelection& selection);
// Cut Box: Copy Box, then Delete.
GroundBoxChange CutGroundBox(CTrackPOD& track, GroundBoxSelection& selection,
                             std::optional<GroundBoxClipboard>& clipboard);
// Paste Box: inserts at the cell as Insert does, with the clipboard's sizes,
// heights and faces.
GroundBoxChange PasteGroundBox(CTrackPOD& track, GroundBoxSelection& selection, int x, int y,
                               const GroundBoxClipboard& clipboard);

// ---- picking a face ------------------------------------------------------------

// A projected triangle of a box mesh: its box, its tag (face value 0..11),
// its corners in pixels and its depth (larger is farther).
struct GroundBoxScreenTriangle {
    int box = -1;
    int faceValue = -1;
    std::array<std::array<int, 2>, 3> corners{};
    int depth = 0;
};
// Inside when the three edge products are all >= 0 or all <= 0, after a
// bounding-box test.
bool PointInScreenTriangle(const std::array<std::array<int, 2>, 3>& corners, int x, int y);
// The nearest triangle under the mouse; box -1 when none.
GroundBoxSelection PickGroundBoxFace(std::span<const GroundBoxScreenTriangle> triangles, int mouseX,
                                     int mouseY);

} // namespace ravok
