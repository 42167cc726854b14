#include "model/TrackComponentsTerrainMaps.h"

#include "art/Picture.h"
#include "base/Interfaces.h"
#include "base/Text.h"

#include <fstream>
#include <new>

namespace ravok {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxDetailNormalSide = 1024;
constexpr int kMinDetailNormalSide = 32;
constexpr size_t kExtensionChars = 7;

const char* questionCaption(TerrainMapKind kind) {
    return kind == TerrainMapKind::DetailNormal ? "Terrain Detail Normal" : "Terrain Mask";
}

// The whole file, or the message that says why not.
std::optional<std::vector<uint8_t>> readMapFile(const fs::path& file, std::string& message) {
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    if (!in || fs::is_directory(file, error)) {
        message = "Could not open that file.";
        return std::nullopt;
    }
    const uintmax_t size = fs::file_size(file, error);
    if (error || size == 0 || size > kMaxTerrainMapBytes) {
        message = "That file is empty or improbably large for a terrain map.";
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        message = "Out of memory reading that file.";
        return std::nullopt;
    }
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        message = "Could not read that file.";
        return std::nullopt;
    }
    return bytes;
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The question a detail normal's size raises, or empty.
std::string detailNormalQuestion(int w, int h) {
    if (w > kMaxDetailNormalSide || h > kMaxDetailNormalSide)
        return formatText("This detail normal is %dx%d.\n\nThe engine refuses anything over 1024 and uses its own "
                          "generated map instead, so this would have no effect in game. 256x256 is the recommended "
                          "size.\n\nLoad it anyway?",
                          w, h);
    if (w != h || !isPowerOfTwo(w))
        return formatText("This detail normal is %dx%d, which is not a square power of two.\n\nIt will still tile "
                          "correctly, but it mips less cleanly and the engine notes it in the log. 256x256 is the "
                          "recommended size.\n\nLoad it anyway?",
                          w, h);
    if (w < kMinDetailNormalSide)
        return formatText("This detail normal is only %dx%d. The engine expects at least 32.\n\nLoad it anyway?", w, h);
    return {};
}

// The question a mask that is not plain grey raises, or empty.
std::string maskQuestion(std::span<const uint8_t> bytes, const std::optional<PictureSize>& size) {
    std::string message;
    int coloured = 0;
    const auto grey = IsGreyPicture(bytes, &coloured, message);
    if (!grey)
        return formatText("Ravok could not check whether this mask is greyscale (%s).\n\nLoad it anyway?",
                          message.c_str());
    if (*grey) return {};
    const int pixels = size ? size->width * size->height : 0;
    return formatText(
        "This mask is not greyscale - %d of its %d pixels have different red, green and blue.\n\nThe usual cause is "
        "the exported colour reference being flattened into the saved file. The engine reads those colours as mask "
        "values, so ground you never painted gets a strength you never asked for: it looks right here and wrong in "
        "game.\n\nLoad it anyway?",
        coloured, pixels);
}

} // namespace

const char* TerrainMapDialogTitle(TerrainMapKind kind) {
    return kind == TerrainMapKind::DetailNormal ? "Select Terrain Detail Normal" : "Select Painted Terrain Mask";
}

fs::path TerrainMapStartFolder(const fs::path& artFolder) {
    fs::path art = artFolder;
    if (!art.has_filename()) art = art.parent_path();
    const fs::path maskArt = art.parent_path() / "MaskArt";
    std::error_code error;
    return fs::is_directory(maskArt, error) ? maskArt : artFolder;
}

Outcome LoadTerrainMap(TerrainMapKind kind, TerrainMapFile& target, const fs::path& file, Prompter& prompter) {
    if (!file.has_extension()) return Outcome::refused();
    std::string message;
    auto bytes = readMapFile(file, message);
    if (!bytes) return Outcome::refused(message, kTerrainMapCaption);

    const char* caption = questionCaption(kind);
    const auto ask = [&](const std::string& question) {
        return question.empty() || prompter.askYesNo(question, caption, true);
    };
    const auto size = CheckPictureHeader(*bytes, file.filename().string(), false, message);
    if (!size &&
        !ask(formatText("Ravok could not read the size of this image (%s).\n\nIt will be packed as-is. Load it anyway?",
                        message.c_str())))
        return Outcome::refused();
    if (kind == TerrainMapKind::Mask && !ask(maskQuestion(*bytes, size))) return Outcome::refused();
    if (kind == TerrainMapKind::DetailNormal && size && !ask(detailNormalQuestion(size->width, size->height)))
        return Outcome::refused();

    target.bytes = std::move(*bytes);
    target.ext = upperCase(file.extension().string()).substr(0, kExtensionChars);
    return Outcome::success();
}

std::string TerrainMapLabel(TerrainMapKind kind, const TerrainMapFile& map, std::string_view worldName) {
    const bool detail = kind == TerrainMapKind::DetailNormal;
    if (map.bytes.empty()) return detail ? "(generated)" : "(none)";
    return formatText("ART\\%s%s%s  -  %ld KB", std::string(worldName).c_str(), detail ? "_DTL" : "_MASK",
                      map.ext.c_str(), long((map.bytes.size() + 512) / 1024));
}

} // namespace ravok
