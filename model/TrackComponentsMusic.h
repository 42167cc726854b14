#pragma once

#include "base/Outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A track's music: a WAV or MOD file of its own, or a reference to one of the
// game's stock pieces ("MUSIC\" + name + ".WAV" in a 20-byte field).
namespace ravok {

constexpr const char* kLoadWavMusicTitle = "Load music WAV file";
constexpr const char* kLoadModMusicTitle = "Load music MOD file";
constexpr const char* kSaveMusicTitle = "Save music file";
constexpr const char* kStockMusicTitle = "Stock Music";
constexpr const char* kDefaultStockMusic = "BREAK";
constexpr size_t kStockMusicReferenceBytes = 20;

struct StockMusic {
    std::string name, description;
};
// The game's stock music, in the picker's order.
std::vector<StockMusic> StockMusicList();
// The 20-byte reference to a stock piece, zero-padded; nullopt when the name
// is not on the list.
std::optional<std::vector<uint8_t>> StockMusicReference(std::string_view name);
// The stock piece a music blob refers to, or nullopt for a file of its own.
std::optional<std::string> StockMusicName(std::span<const uint8_t> music);

// Loads a WAV or MOD file as the music: "Cannot open that file." when it
// cannot be read or is empty.
Outcome LoadMusicFile(std::vector<uint8_t>& music, const std::filesystem::path& file);
// Writes the track's own music file; a stock reference or no music is
// "Nothing to save.", a failed write "Cannot write that file.".
Outcome SaveMusicFile(std::span<const uint8_t> music, const std::filesystem::path& file);

// One line about the music, for summaries: "(none)", "stock BREAK",
// "WAV file, 12 KB" or "MOD file, 12 KB".
std::string MusicDescription(std::span<const uint8_t> music);

} // namespace ravok
