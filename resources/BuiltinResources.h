#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Data built into the program: the sixteen game palettes, the default fog
// map, the two default menu pictures and the stock sound and music lists.
// Generated reproducibly by resources/generate_resources.py at build time.
namespace ravok::resources {

constexpr int kGamePaletteCount = 16;

// Game palette 0..15 (Color Palette list order): 256 x red, green, blue.
// Empty outside 0..15.
std::span<const uint8_t> gamePalette(int index);

// The default fog map as (value, count) byte pairs; decodes to 32768 bytes.
std::span<const uint8_t> defaultFogMapPairs();

// Default browse picture: an uncompressed 8-bit BMP file, 257 x 210.
std::span<const uint8_t> defaultBrowseBitmap();
// Default icon picture: an uncompressed 8-bit BMP file, 32 x 24.
std::span<const uint8_t> defaultIconBitmap();

// Stock sound tables: one row per line ended by "\r\n", each row a file stem,
// a tab and a description; the first row is NULL "(default/none)".
std::string_view stockImpactSoundTable();     // 155 rows
std::string_view stockContinuousSoundTable(); // 16 rows
// Stock music table in the same form, 9 rows.
std::string_view stockMusicTable();

} // namespace ravok::resources
