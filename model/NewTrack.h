#pragma once

#include "art/Palette.h"

#include <optional>
#include <vector>

namespace ravok {

class CTrackPOD;

constexpr int kCustomPaletteIndex = 16;
constexpr const char* kMtm1PaletteName = "ART\\METALCR2.ACT";

// The 16 names of the Color Palette list (index 16 is Custom).
extern const char* const kGamePaletteNames[17];

// Colours of built-in game palette 0..15; nullopt for any other index.
std::optional<PaletteColours> GamePaletteColours(int index);

// The default fog map, decoded (32768 bytes, first byte 0).
std::vector<uint8_t> DefaultFogMap();

// New (MTM2) and New (MTM1) on the track itself; the caller releases the
// renderer's caches first.
void NewMtm2Track(CTrackPOD& track);
void NewMtm1Track(CTrackPOD& track);

} // namespace ravok
