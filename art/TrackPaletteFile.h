#pragma once

#include "art/Palette.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The Track Palette dialog's files: RIFF palettes (.PAL, 1052 bytes) and
// .ACT palettes (768 bytes of red, green, blue).
namespace ravok {

constexpr size_t kRiffPaletteBytes = 1052;
constexpr size_t kRiffPaletteEntriesAt = 24;
constexpr size_t kActPaletteBytes = 768;

enum class PaletteFileKind { Riff, Act };

// The RIFF palette: "RIFF", 1044, "PAL data", 1032, version 0x0300, 256
// entries of red, green, blue, flags 0, then four zero bytes.
std::vector<uint8_t> RiffPaletteBytes(const PaletteColours& colours);
std::vector<uint8_t> ActPaletteBytes(const PaletteColours& colours);

// Loading takes bytes 24..1047 of a .PAL as the entries whatever its header
// says, and the first 768 bytes of an .ACT; entries the file does not reach
// keep the colours given.
PaletteColours PaletteFromRiffBytes(std::span<const uint8_t> bytes, const PaletteColours& current);
PaletteColours PaletteFromActBytes(std::span<const uint8_t> bytes, const PaletteColours& current);

// False (and `colours` unchanged) when the file cannot be opened.
bool LoadPaletteFile(const std::filesystem::path& path, PaletteFileKind kind, PaletteColours& colours);
bool SavePaletteFile(const std::filesystem::path& path, PaletteFileKind kind, const PaletteColours& colours);

// The kind a file name asks for: .act is an .ACT, anything else a RIFF palette.
PaletteFileKind PaletteFileKindOf(const std::filesystem::path& path);

} // namespace ravok
