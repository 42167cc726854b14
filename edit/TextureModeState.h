#pragma once

#include "edit/TexturePaint.h"
#include "edit/TextureSelection.h"
#include "edit/TextureTransitions.h"
#include "trackart/TexturePattern.h"

#include <optional>

namespace ravok {

// What the view keeps for texture mode: the selection, the Texture Tools
// bar's paint mode, the sources of Paste Area (a copied rectangle, or a
// pattern chosen in the Patterns box, which takes precedence), the one level
// of texture undo and the Auto Texture Transitions settings, which last while
// the program runs.
struct TextureModeState {
    TextureSelection selection;
    bool paintMode = false;
    int paintWidth = 1, paintHeight = 1; // squares, 1..16
    TextureSelection copied;      // Copy Area's rectangle; empty for none
    std::optional<ravok::TexturePattern> pattern;
    bool alwaysLoad = false; // the Patterns box's "Always load textures"
    TextureUndo undo;
    TransitionSettings transitions;
};

} // namespace ravok
