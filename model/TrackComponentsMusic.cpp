#include "model/TrackComponentsMusic.h"

#include "art/PictureSlots.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "resources/BuiltinResources.h"

#include <algorithm>

namespace ravok {

namespace {

constexpr std::string_view kStockPrefix = "MUSIC\\";
constexpr std::string_view kStockSuffix = ".WAV";

bool startsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

std::vector<StockMusic> StockMusicList() {
    std::string_view table = resources::stockMusicTable();
    std::vector<StockMusic> rows;
    while (!table.empty()) {
        const size_t end = table.find("\r\n");
        const std::string_view row = table.substr(0, end);
        table = end == std::string_view::npos ? std::string_view() : table.substr(end + 2);
        const size_t tab = row.find('\t');
        if (!row.empty())
            rows.push_back({std::string(row.substr(0, tab)),
                            tab == std::string_view::npos ? std::string() : std::string(row.substr(tab + 1))});
    }
    return rows;
}

std::optional<std::vector<uint8_t>> StockMusicReference(std::string_view name) {
    const auto list = StockMusicList();
    const auto row = std::find_if(list.begin(), list.end(),
                                  [&](const StockMusic& m) { return equalsIgnoringCase(m.name, name); });
    if (row == list.end()) return std::nullopt;
    const std::string text = std::string(kStockPrefix) + row->name + std::string(kStockSuffix);
    if (text.size() >= kStockMusicReferenceBytes) return std::nullopt;
    std::vector<uint8_t> reference(kStockMusicReferenceBytes, 0);
    std::copy(text.begin(), text.end(), reference.begin());
    return reference;
}

std::optional<std::string> StockMusicName(std::span<const uint8_t> music) {
    // The pod treats any music beginning with "MUSIC" as the game's own.
    if (!startsWith(music, "MUSIC")) return std::nullopt;
    std::string text(music.begin(), std::find(music.begin(), music.end(), uint8_t(0)));
    text = text.substr(std::min(text.size(), kStockPrefix.size()));
    if (const size_t dot = text.rfind('.'); dot != std::string::npos) text.resize(dot);
    return text;
}

Outcome LoadMusicFile(std::vector<uint8_t>& music, const std::filesystem::path& file) {
    std::error_code error;
    auto bytes = std::filesystem::is_directory(file, error) ? std::nullopt : readWholeFile(file);
    if (!bytes || bytes->empty()) return Outcome::refused("Cannot open that file.");
    music = std::move(*bytes);
    return Outcome::success();
}

Outcome SaveMusicFile(std::span<const uint8_t> music, const std::filesystem::path& file) {
    if (music.empty() || StockMusicName(music)) return Outcome::refused(kNothingToSave);
    if (!writeFileAtomically(file, music)) return Outcome::refused(kCannotWriteFile);
    return Outcome::success();
}

std::string MusicDescription(std::span<const uint8_t> music) {
    if (music.empty()) return "(none)";
    if (auto stock = StockMusicName(music)) return "stock " + *stock;
    const long kb = long((music.size() + 512) / 1024);
    return formatText("%s file, %ld KB", startsWith(music, "RIFF") ? "WAV" : "MOD", kb);
}

} // namespace ravok
