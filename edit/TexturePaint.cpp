#include "edit/TexturePaint.h"

#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

TextureSelection clipped(TextureSelection r) {
    if (r.empty()) return r;
    r.x1 = std::min(r.x1, kGridSize - 1);
    r.y1 = std::min(r.y1, kGridSize - 1);
    if (r.x0 > r.x1 || r.y0 > r.y1 || r.x0 >= kGridSize || r.y0 >= kGridSize) return {};
    return r;
}

uint16_t& cellAt(CTrackPOD& track, int x, int y) { return track.terrain.textures[size_t(y * kGridSize + x)]; }

uint16_t turned(uint16_t cell, int quarterTurns) {
    const int rotation = ((cell >> kTextureRotationShift) + quarterTurns) & 3;
    return uint16_t((cell & 0x3FFF) | rotation << kTextureRotationShift);
}

// Applies a change to every cell of the selection, saving it for undo first.
template <typename Change>
TextureChange changeEachCell(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo, Change change) {
    const TextureSelection r = clipped(selection);
    if (r.empty() || !CanEditTextures(track)) return {};
    SaveTextureUndo(track, r, undo);
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) cellAt(track, x, y) = change(cellAt(track, x, y));
    return r;
}

// The block of cells of a rectangle, row after row; cells off the map read as 0.
std::vector<uint16_t> readBlock(const CTrackPOD& track, int left, int top, int w, int h) {
    std::vector<uint16_t> block(size_t(w) * size_t(h), 0);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const int x = left + c, y = top + r;
            if (x >= 0 && y >= 0 && x < kGridSize && y < kGridSize)
                block[size_t(r * w + c)] = track.terrain.textures[size_t(y * kGridSize + x)];
        }
    return block;
}

} // namespace

bool CanEditTextures(const CTrackPOD& track) { return !track.podViewMode; }

void SaveTextureUndo(const CTrackPOD& track, TextureSelection rect, TextureUndo& undo) {
    rect = clipped(rect);
    if (rect.empty()) return;
    undo.rect = rect;
    undo.cells = readBlock(track, rect.x0, rect.y0, rect.width(), rect.height());
    undo.available = true;
}

bool UndoTextureEdit(CTrackPOD& track, TextureUndo& undo) {
    if (!undo.available || !CanEditTextures(track)) return false;
    const TextureSelection& r = undo.rect;
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) cellAt(track, x, y) = undo.cells[size_t((y - r.y0) * r.width() + x - r.x0)];
    undo.available = false;
    return true;
}

TextureChange FillTextures(CTrackPOD& track, const TextureSelection& selection, int texture, TextureUndo& undo) {
    if (texture < 0 || texture > kTextureSlotMask) return {};
    return changeEachCell(track, selection, undo, [&](uint16_t) { return uint16_t(texture); });
}

TextureChange RotateTextures(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo) {
    return changeEachCell(track, selection, undo, [](uint16_t cell) { return turned(cell, 1); });
}

TextureChange MirrorTextures(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo) {
    return changeEachCell(track, selection, undo, [](uint16_t cell) { return uint16_t(cell ^ kTextureMirrorBit); });
}

TextureChange MirrorTextureArea(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo) {
    const TextureSelection r = clipped(selection);
    if (r.empty() || !CanEditTextures(track)) return {};
    SaveTextureUndo(track, r, undo);
    const int w = r.width(), h = r.height();
    const std::vector<uint16_t> old = readBlock(track, r.x0, r.y0, w, h);
    for (int row = 0; row < h; ++row)
        for (int c = 0; c < w; ++c)
            cellAt(track, r.x0 + c, r.y0 + row) = uint16_t(old[size_t((h - 1 - row) * w + c)] ^ kTextureMirrorBit);
    return r;
}

TextureChange RotateTextureArea(CTrackPOD& track, const TextureSelection& selection, TextureUndo& undo) {
    const TextureSelection r = clipped(selection);
    if (r.empty() || !CanEditTextures(track)) return {};
    const int w = r.width(), h = r.height();
    // The written block is h wide and w high; undo keeps both shapes.
    const TextureChange written = clipped({r.x0, r.y0, r.x0 + h - 1, r.y0 + w - 1});
    SaveTextureUndo(track, {r.x0, r.y0, r.x0 + std::max(w, h) - 1, r.y0 + std::max(w, h) - 1}, undo);
    const std::vector<uint16_t> old = readBlock(track, r.x0, r.y0, w, h);
    for (int row = 0; row < w; ++row)
        for (int c = 0; c < h; ++c) {
            const int x = r.x0 + c, y = r.y0 + row;
            if (x >= kGridSize || y >= kGridSize) continue;
            const uint16_t cell = old[size_t(c * w + (w - 1 - row))];
            cellAt(track, x, y) = turned(cell, (cell & kTextureMirrorBit) ? -1 : 1);
        }
    return written;
}

TextureSelection CopyTextureArea(const TextureSelection& selection) { return clipped(selection); }

TextureChange PasteTextureArea(CTrackPOD& track, const TextureSelection& selection, const TextureSelection& source,
                               TextureUndo& undo) {
    const TextureSelection r = clipped(selection);
    if (r.empty() || source.empty() || !CanEditTextures(track)) return {};
    const std::vector<uint16_t> block = readBlock(track, source.x0, source.y0, r.width(), r.height());
    SaveTextureUndo(track, r, undo);
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) cellAt(track, x, y) = block[size_t((y - r.y0) * r.width() + x - r.x0)];
    return r;
}

PatternApplyResult PastePatternArea(CTrackPOD& track, const TextureSelection& selection,
                                    const TexturePattern& pattern, const PatternApplyParams& params,
                                    Prompter& prompter, TextureUndo& undo) {
    if (selection.empty() || !CanEditTextures(track)) return {};
    const int x = selection.x0, y = selection.y0;
    const TextureSelection stamped{x, y, x + pattern.width - 1, y + pattern.height - 1};
    return ApplyPattern(track, pattern, x, y, params, prompter, [&] { SaveTextureUndo(track, stamped, undo); });
}

int TextureAtSquare(const CTrackPOD& track, int x, int y) {
    if (x < 0 || y < 0 || x >= kGridSize || y >= kGridSize) return -1;
    return track.terrain.textures[size_t(y * kGridSize + x)] & kTextureSlotMask;
}

Outcome ReplaceTexture(CTrackPOD& track, const TextureSelection& selection, int texture, TextureUndo& undo) {
    if (!selection.single()) return Outcome::refused(kSingleSquareMessage);
    if (texture < 0 || texture > kTextureSlotMask || !CanEditTextures(track)) return Outcome::refused();
    const int from = TextureAtSquare(track, selection.x0, selection.y0);
    if (from < 0) return Outcome::refused();
    SaveTextureUndo(track, TextureSelection::whole(), undo);
    for (auto& cell : track.terrain.textures)
        if ((cell & kTextureSlotMask) == from) cell = uint16_t(texture);
    return Outcome::success();
}

} // namespace ravok
