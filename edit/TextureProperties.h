#pragma once

#include <vector>

// The Textures box's "Type" and "Grip depth": set on the selected texture and
// on every texture of the selection through the texture's own setters, which
// ignore a type outside 0..12 and a depth above 99.
namespace ravok {

class CTrackPOD;

// True when some texture of `textures` changed; empty and unknown slots are skipped.
bool SetSurfaceType(CTrackPOD& track, const std::vector<int>& textures, int type);
bool SetGripDepth(CTrackPOD& track, const std::vector<int>& textures, int depth);

} // namespace ravok
