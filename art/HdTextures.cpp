#include "art/HdTextures.h"

#include "art/ColourReduction.h"
#include "art/ItemNames.h"
#include "art/Picture.h"
#include "art/TextureFolder.h"
#include "base/FileIO.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace ravok {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(uint8_t(c)));
    return s;
}

bool endsWithNoCase(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && upper(std::string(s.substr(s.size() - tail.size()))) == upper(std::string(tail));
}

// The file a path names, found in its folder without regard to letter case.
std::optional<fs::path> existingFile(const fs::path& path) {
    if (path.filename().empty()) return std::nullopt;
    auto found = resolveInFolder(path.parent_path().empty() ? fs::path(".") : path.parent_path(),
                                 path.filename().string());
    std::error_code ec;
    if (!found || !fs::is_regular_file(*found, ec)) return std::nullopt;
    if (path.parent_path().empty()) return found->filename();
    return found;
}

// A sibling of `path` with another extension, existing in any letter case or
// formed in the letter case of the path's own extension.
fs::path sibling(const fs::path& path, std::string_view upperExtension) {
    fs::path formed = path;
    const std::string ext = path.extension().string();
    const bool lower = !ext.empty() && std::all_of(ext.begin() + 1, ext.end(), [](char c) { return !std::isupper(uint8_t(c)); });
    std::string wanted(upperExtension);
    if (lower)
        for (char& c : wanted) c = char(std::tolower(uint8_t(c)));
    formed.replace_extension(wanted);
    if (auto found = existingFile(formed)) return *found;
    return formed;
}

std::optional<fs::file_time_type> writeTime(const fs::path& path) {
    std::error_code ec;
    auto t = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return t;
}

// The message cut after its first sentence, for the one-line failure list.
std::string firstSentence(const std::string& message) {
    size_t cut = message.find(". ");
    if (cut != std::string::npos) ++cut;
    cut = std::min(cut, message.find_first_of("\r\n"));
    return message.substr(0, cut);
}

} // namespace

std::optional<fs::path> FindHdFile(const fs::path& texturePath) {
    if (texturePath.filename().empty()) return std::nullopt;
    const fs::path folder = texturePath.parent_path();
    auto found = findHdPicture(folder, texturePath.stem().string());
    if (found && folder.empty()) return found->filename();
    return found;
}

fs::path ActPathBeside(const fs::path& rawPath) {
    if (rawPath.filename().empty()) return {};
    return sibling(rawPath, ".ACT");
}

fs::path RawPathBeside(const fs::path& picturePath) { return sibling(picturePath, ".RAW"); }

bool NeedsRebuild(const fs::path& hdPath, const fs::path& rawPath) {
    auto hd = existingFile(hdPath);
    if (!hd) return false;
    auto raw = existingFile(rawPath);
    if (!raw) return true;
    const fs::path actPath = ActPathBeside(*raw);
    if (actPath.empty()) return false;
    auto act = existingFile(actPath);
    auto hdTime = writeTime(*hd), rawTime = writeTime(*raw);
    if (!act || !hdTime || !rawTime || *rawTime < *hdTime) return true;
    auto actTime = writeTime(*act);
    return !actTime || *actTime < *hdTime;
}

std::optional<LegacyTexture> LegacyTextureFromPicture(std::span<const uint8_t> bytes, std::string_view name,
                                                      bool terrain, std::string& message) {
    auto picture = DecodePicture(bytes, name, true, message);
    if (!picture) return std::nullopt;
    return BuildLegacyTexture(*picture, terrain, message);
}

bool RebuildFallback(const fs::path& hdPath, const fs::path& rawPath, bool modelTexture, std::string& message) {
    if (ActPathBeside(rawPath).empty()) {
        message = "Texture name is too long to derive an .ACT from.";
        return false;
    }
    auto picture = DecodePictureFile(hdPath, true, message);
    if (!picture) return false;
    auto legacy = BuildLegacyTexture(*picture, !modelTexture, message);
    // On disk the texture being built is the legacy fallback of the picture.
    if (!legacy && message == kOutOfMemoryQuantizing) message = kOutOfMemoryQuantizingLegacy;
    if (!legacy || !WriteLegacyPair(rawPath, *legacy, message)) return false;
    invalidateFolderCache(rawPath.parent_path());
    return true;
}

bool IsSkippedHdStem(std::string_view stem) {
    for (const char* tail : {"_N", "_AO", "_DTL", "_MASK"})
        if (endsWithNoCase(stem, tail)) return true;
    return false;
}

HdUpdateResult UpdateHdTexturesOfFolder(const fs::path& folder,
                                        const std::function<bool(const fs::path&)>& isModelTexture,
                                        const std::atomic<bool>* stop, const TextureFolderPause* pause) {
    HdUpdateResult result;
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) files.push_back(it->path());
    std::sort(files.begin(), files.end());

    for (const char* pass : {".PNG", ".TGA"}) {
        for (const fs::path& file : files) {
            if (upper(file.extension().string()) != pass || IsSkippedHdStem(file.stem().string())) continue;
            if (std::string_view(pass) == ".TGA" && existingFile(fs::path(file).replace_extension(".PNG"))) continue;
            const fs::path raw = RawPathBeside(file);
            if (!NeedsRebuild(file, raw)) continue;
            if (pause && stop) pause->waitWhilePaused(*stop);
            else if (pause) pause->waitWhilePaused();
            if (stop && stop->load()) return result;
            std::string message;
            if (RebuildFallback(file, raw, isModelTexture && isModelTexture(file), message)) {
                ++result.converted;
                continue;
            }
            ++result.failed;
            if (result.failures.size() < HdUpdateResult::kKeptFailures)
                result.failures.push_back(file.filename().string() + " - " +
                                          (message.empty() ? "could not be converted." : firstSentence(message)));
        }
    }
    return result;
}

std::string HdTexturesSkippedText(const HdUpdateResult& result) {
    if (result.failed == 0) return {};
    std::string text = "Some OTHER files in this ART folder cannot be used as HD textures, so they were skipped. "
                       "This does not affect the textures you have loaded.\n\n";
    for (const auto& line : result.failures) text += "    " + line + "\n";
    if (result.failed > int(result.failures.size())) {
        char more[64];
        std::snprintf(more, sizeof more, "    ...and %d more.\n", result.failed - int(result.failures.size()));
        text += more;
    }
    return text + "\nEverything else in the folder converted normally.";
}

std::string HdSkippedNotices::take(const fs::path& folder, const HdUpdateResult& result) {
    if (result.failed == 0) return {};
    auto [shown, added] = m_shown.try_emplace(folder, result.failed);
    if (!added && shown->second == result.failed) return {};
    shown->second = result.failed;
    return HdTexturesSkippedText(result);
}

} // namespace ravok
