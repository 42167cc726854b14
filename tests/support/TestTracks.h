#pragma once

namespace ravok {
class CTrackPOD;
}

namespace ravok::test {

// A new MTM2 track with rolling hills in three textures of a palette of its
// own, lit slopes, water, a row of ground boxes and twelve objects without
// models: something every renderer has plenty to show of.
void hillyTrack(CTrackPOD& t);

} // namespace ravok::test
