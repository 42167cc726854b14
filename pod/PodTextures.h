#pragma once

#include "model/TrackPod.h"

#include <memory>
#include <span>
#include <string_view>

namespace ravok {

class TrackItemSource;

constexpr size_t kMaxStashedPictureBytes = 64u * 1024 * 1024;

// Loads one texture item of a pod or game folder. A square tile (32 .. 1024
// a side) is read and, for a .RAW, remapped from the .ACT beside it (or the
// default palette) into the track palette. A PNG or TGA without a tile is
// kept for decoding later in an empty texture named with .RAW. Anything else
// is traced and gives nothing. `kind` names the table in the trace lines
// ("terrain tex", "model tex", "backdrop tex").
std::unique_ptr<Texture> LoadTextureItem(const CTrackPOD& track, TrackItemSource& items, std::string_view name,
                                         const char* kind);

// Reads a texture list (.TEX): line 1 the count, then a name per slot; each
// name is looked up in ART\ first and loaded into the slot of its position.
void LoadTextureList(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text);

} // namespace ravok
