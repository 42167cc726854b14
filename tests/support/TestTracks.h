#pragma once

namespace ravok {
class CTrackPOD;
}

namespace ravok::test {

// A new MTM2 track with rolling hills in three textures of a palette of its
// own, lit slopes, water, a row of ground boxes and twelve objects without
// models: something every renderer has plenty to show of.
void hillyTrack(CTrackPOD& t);
// On the hilly track: a main course over the hills north-east of grid square
// (110, 95), the truck starts in a row behind it, and a uniform light map (a
// track never lit).
void courseOverHillsUnlit(CTrackPOD& t);

} // namespace ravok::test
