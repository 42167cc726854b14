#pragma once

#include "base/Outcome.h"

// Building texture animations in the Textures box: with a texture selected,
// a Ctrl+click on another appends it as the next frame of the animation the
// selected texture starts (creating that animation first).
namespace ravok {

class CTrackPOD;

// Appends `clicked` to the animation started by `selected`. Refused with the
// table's messages: "Max. number of animations reached." at 64 animations,
// the "Frame name too long" box for a frame name over 15 characters (the
// selected texture's too when it would become the first frame), and
// "Max. 8 frames per animation." for a ninth frame. An animation created for
// a frame that is then refused is removed again.
Outcome AnimateTextureClick(CTrackPOD& track, int selected, int clicked);

// Un-Animate: removes the animation that `selected` starts; false when none.
bool UnanimateTexture(CTrackPOD& track, int selected);

constexpr int kMinAnimationPeriod = 50, kMaxAnimationPeriod = 1000; // milliseconds

// The period of the animation that `selected` starts, brought into 50..1000.
// True when it changed.
bool SetAnimationPeriod(CTrackPOD& track, int selected, int period);

} // namespace ravok
