#pragma once

#include "base/Outcome.h"
#include "edit/TextureSelection.h"
#include "trackart/TexturePattern.h"

#include <cstdint>
#include <vector>

// Painting the terrain's texture grid in texture mode. A cell word holds the
// texture slot in bits 0..11, the mirror flag in bit 12, a second mirror flag
// in bit 13 (never changed here) and the rotation in quarter turns in bits
// 14..15.
namespace ravok {

class CTrackPOD;
class Prompter;

constexpr uint16_t kTextureMirrorBit = 0x1000;
constexpr uint16_t kTextureRotationShift = 14;
constexpr const char* kSingleSquareMessage = "Must have single square selected!";

// The one level of texture undo: a rectangle of cells as they were before the
// last texture edit. Each new edit replaces it.
struct TextureUndo {
    bool available = false;
    TextureSelection rect;
    std::vector<uint16_t> cells; // row after row
};

// Texture edits are refused while a pod is shown for viewing only.
bool CanEditTextures(const CTrackPOD& track);

// Saves the cells of a rectangle (clipped to the grid) for undo.
void SaveTextureUndo(const CTrackPOD& track, TextureSelection rect, TextureUndo& undo);
// Undo in texture mode: puts the saved rectangle back once. False when there
// was nothing to undo.
bool UndoTextureEdit(CTrackPOD& track, TextureUndo& undo);

// What an edit changed (grid squares, inclusive); empty when nothing was done.
using TextureChange = TextureSelection;

// Fill (Space, Apply, a click in paint mode): every selected cell becomes the
// texture's slot with all flags clear. Nothing without a texture (-1).
TextureChange FillTextures(CTrackPOD& track, const TextureSelection& selection, int texture, TextureUndo& undo);
// Rotate 90 degrees: each cell's rotation + 1 mod 4.
TextureChange RotateTextures(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo);
// Mirror: each cell's mirror flag toggled.
TextureChange MirrorTextures(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo);
// Mirror Area: the block's rows reversed, each cell's mirror flag toggled.
TextureChange MirrorTextureArea(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo);
// Rotate Area 90 degrees: a w x h block becomes an h x w block from the same
// top-left corner (the selection stays as it is); the new cell at row r,
// column c is the old one at row c, column w - 1 - r, turned one quarter the
// other way when it is mirrored. Cells past the grid are skipped.
TextureChange RotateTextureArea(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo);

// Copy Area remembers the selection as the source of Paste Area.
TextureSelection CopyTextureArea(const TextureSelection& selection);
// Paste Area from a copied rectangle: a block the size of the selection is
// read now from the map at the source's top-left corner (cells off the map
// read as 0) and written at the selection (cells past the grid skipped).
TextureChange PasteTextureArea(CTrackPOD& track, const TextureSelection& selection, const TextureSelection& source,
                               TextureUndo& undo);

// Paste Area with a pattern chosen (which takes precedence over a copied
// rectangle): the pattern is stamped at the selection's top-left square.
PatternApplyResult PastePatternArea(CTrackPOD& track, const TextureSelection& selection,
                                    const TexturePattern& pattern, const PatternApplyParams& params,
                                    Prompter& prompter, TextureUndo& undo);

// Select: the slot of the hovered square's texture (-1 off the grid).
int TextureAtSquare(const CTrackPOD& track, int x, int y);
// Replace: with exactly one square selected, every cell of the map with that
// square's slot becomes the texture (flags cleared); undo keeps the whole map.
Outcome ReplaceTexture(CTrackPOD& track, const TextureSelection& selection, int texture, TextureUndo& undo);

} // namespace ravok
