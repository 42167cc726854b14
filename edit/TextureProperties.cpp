#include "edit/TextureProperties.h"

#include "model/TrackPod.h"

namespace ravok {

namespace {

template <typename Set> bool forEachTexture(CTrackPOD& track, const std::vector<int>& textures, Set set) {
    bool changed = false;
    for (int slot : textures) {
        if (slot < 0 || slot >= kMaxTerrainTextures || !track.terrainTextures[size_t(slot)]) continue;
        changed |= set(*track.terrainTextures[size_t(slot)]);
    }
    return changed;
}

} // namespace

bool SetSurfaceType(CTrackPOD& track, const std::vector<int>& textures, int type) {
    return forEachTexture(track, textures, [type](Texture& t) {
        const int old = t.surfaceType();
        t.setSurfaceType(type);
        return t.surfaceType() != old;
    });
}

bool SetGripDepth(CTrackPOD& track, const std::vector<int>& textures, int depth) {
    return forEachTexture(track, textures, [depth](Texture& t) {
        const int old = t.gripDepth();
        t.setGripDepth(depth);
        return t.gripDepth() != old;
    });
}

} // namespace ravok
