#include "edit/TextureTransitions.h"

#include "edit/TexturePaint.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

bool allSet(const TransitionSettings& s) {
    if (s.outer < 0) return false;
    for (const auto& row : s.picture)
        for (int t : row)
            if (t < 0) return false;
    return true;
}

std::array<int, 4> cornerHeights(const CTrackPOD& track, int x, int y) {
    const auto& t = track.terrain;
    return {t.height(x, y), t.height(x + 1, y), t.height(x, y + 1), t.height(x + 1, y + 1)};
}

bool allAtLeast(const std::array<int, 4>& h, int v) {
    return std::all_of(h.begin(), h.end(), [v](int a) { return a >= v; });
}
bool allAtMost(const std::array<int, 4>& h, int v) {
    return std::all_of(h.begin(), h.end(), [v](int a) { return a <= v; });
}

// Code 0 is outside everywhere: only painted down to (or, inverted, up to) the fill limit.
bool fillsOuter(const TransitionSettings& s, const std::array<int, 4>& h) {
    if (s.invert) return s.fillUpTo && allAtMost(h, s.fillUpValue);
    return s.fillDownTo && allAtLeast(h, s.fillDownValue);
}

// Code 15 is inside everywhere: only painted up to (or, inverted, down to) the fill limit.
bool fillsInner(const TransitionSettings& s, const std::array<int, 4>& h) {
    if (s.invert) return s.fillDownTo && allAtLeast(h, s.fillDownValue);
    return s.fillUpTo && allAtMost(h, s.fillUpValue);
}

// The texture a cell gets, or -1 when it is left alone.
int transitionTexture(const CTrackPOD& track, const TransitionSettings& s, int x, int y) {
    const int code = TransitionCornerCode(track, s, x, y);
    const auto h = cornerHeights(track, x, y);
    if (code == 0) return fillsOuter(s, h) ? s.outer : -1;
    if (code == 15) return fillsInner(s, h) ? s.picture[1][1] : -1;
    const PictureCell cell = TransitionPictureCell(code);
    return s.picture[size_t(cell.row)][size_t(cell.column)];
}

} // namespace

int TransitionCornerCode(const CTrackPOD& track, const TransitionSettings& settings, int x, int y) {
    const auto h = cornerHeights(track, x, y);
    int code = 0;
    for (int i = 0; i < 4; ++i) {
        const bool inside = settings.invert ? h[size_t(i)] <= settings.threshold : h[size_t(i)] >= settings.threshold;
        if (inside) code |= 1 << i;
    }
    return code;
}

PictureCell TransitionPictureCell(int code) {
    switch (code) {
    case 1: return {0, 2};
    case 2: return {0, 0};
    case 3: return {0, 1};
    case 4: return {2, 2};
    case 5: return {1, 2};
    case 8: return {2, 0};
    case 10: return {1, 0};
    case 12: return {2, 1};
    default: return {1, 1}; // 6, 7, 9, 11, 13, 14: saddles and inner corners
    }
}

TextureSelection TransitionArea(const TextureSelection& selection, bool paintMode) {
    if (!paintMode && !selection.empty() && !selection.single()) return selection;
    return TextureSelection::whole();
}

Outcome ApplyTextureTransitions(CTrackPOD& track, const TransitionSettings& settings, const TextureSelection& area,
                                TextureUndo& undo) {
    // Nothing at all, not even the question of the textures, while a pod is viewed.
    if (!CanEditTextures(track)) return Outcome::refused();
    if (!allSet(settings)) return Outcome::refused(kTexturesNotSpecifiedMessage);
    if (area.empty()) return Outcome::refused();
    const TextureSelection r{area.x0, area.y0, std::min(area.x1, kGridSize - 1), std::min(area.y1, kGridSize - 1)};
    SaveTextureUndo(track, r, undo);
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x)
            if (const int t = transitionTexture(track, settings, x, y); t >= 0)
                track.terrain.textures[size_t(y * kGridSize + x)] = uint16_t(t);
    return Outcome::success();
}

} // namespace ravok
