#pragma once

#include "base/FixedString.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>

namespace ravok {

struct RgbColour {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RgbColour&) const = default;
};

using PaletteColours = std::array<RgbColour, 256>;

// Entries 246..255 of every track palette.
constexpr int kFirstFixedColour = 246;
extern const std::array<RgbColour, 10> FixedColours;

// The palette of textures that have no .ACT beside them (entries 240..255 black).
const PaletteColours& DefaultPalette();

// Builds 256 colours from 768 bytes of red, green, blue; missing bytes leave
// the DefaultPalette values.
PaletteColours paletteFromRgbBytes(std::span<const uint8_t> rgb);

// The track's one 256-colour palette. Every texture in memory indexes it.
// Entries 246..255 always hold FixedColours, so only 0..245 are free colours.
class TrackPalette {
public:
    TrackPalette() { clear(); }

    // Zero name and entries, then the fixed colours.
    void clear();
    // Copy name and colours, then store the fixed colours again.
    void set(std::string_view name, const PaletteColours& colours);
    // Replace the colours but keep the name (fixed colours stored again).
    void setColours(const PaletteColours& colours);

    // Reads a 768-byte .ACT; a short file keeps DefaultPalette values for the
    // entries it does not hold. False when nothing could be read.
    bool readAct(FILE* stream, std::string_view name);
    // Writes the 256 red, green, blue triples; true when all 768 bytes went out.
    bool writeAct(FILE* stream) const;

    const FixedString<32>& name() const { return m_name; }
    const PaletteColours& colours() const { return m_colours; }
    const RgbColour& operator[](int i) const { return m_colours[static_cast<size_t>(i & 255)]; }

    // Entries as 4 bytes each: red, green, blue, 0 (the track file form).
    std::array<uint8_t, 1024> entryBytes() const;
    // Entries as 4 bytes each in display order: blue, green, red, 0.
    std::array<uint8_t, 1024> displayOrderBytes() const;

    // The entry among all 256 nearest to a colour by squared distance; ties
    // keep the lower index.
    int NearestPaletteIndex(int red, int green, int blue) const;
    // Same, from a packed value: red in the low byte, then green, then blue.
    int NearestPaletteIndex(uint32_t packed) const;

private:
    void storeFixedColours();

    FixedString<32> m_name;
    PaletteColours m_colours{};
};

// Turns indices of a texture painted with `source` into indices of the track
// palette: each source colour maps to the nearest of the track's entries
// 0..245 (ties keep the lower index), so a remapped texture never uses the
// fixed colours.
void RemapToTrackPalette(const TrackPalette& track, std::span<uint8_t> pixels, const PaletteColours& source);

} // namespace ravok
