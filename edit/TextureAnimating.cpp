#include "edit/TextureAnimating.h"

#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

bool isTexture(const CTrackPOD& track, int slot) {
    return slot >= 0 && slot < kMaxTerrainTextures && track.terrainTextures[size_t(slot)];
}

} // namespace

Outcome AnimateTextureClick(CTrackPOD& track, int selected, int clicked) {
    if (!isTexture(track, selected) || !isTexture(track, clicked) || track.podViewMode) return Outcome::refused();
    int animation = track.animations.startedBy(uint32_t(selected));
    const bool starting = animation < 0;
    if (starting) {
        // The selected texture becomes the first frame, under the same name rule.
        const Outcome first = FrameNameProblem(track.terrainTextures[size_t(selected)]->name().view());
        if (!first) return first;
        if (Outcome started = track.animations.start(uint32_t(selected)); !started) return started;
        animation = track.animations.count() - 1;
    }
    Outcome appended = track.animations.appendFrame(animation, uint32_t(clicked),
                                                    track.terrainTextures[size_t(clicked)]->name().view());
    // A refused frame leaves the track as it was: no animation of the
    // selected texture alone is left behind.
    if (!appended && starting) track.animations.remove(animation);
    return appended;
}

bool UnanimateTexture(CTrackPOD& track, int selected) {
    const int animation = selected < 0 ? -1 : track.animations.startedBy(uint32_t(selected));
    if (animation < 0) return false;
    track.animations.remove(animation);
    return true;
}

bool SetAnimationPeriod(CTrackPOD& track, int selected, int period) {
    const int animation = selected < 0 ? -1 : track.animations.startedBy(uint32_t(selected));
    if (animation < 0) return false;
    const auto wanted = uint32_t(std::clamp(period, kMinAnimationPeriod, kMaxAnimationPeriod));
    uint32_t& current = track.animations.at(animation).period;
    if (current == wanted) return false;
    current = wanted;
    return true;
}

} // namespace ravok
