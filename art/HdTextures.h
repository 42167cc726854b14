#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravok {

struct LegacyTexture;
class TextureFolderPause;

// The HD picture (PNG, else TGA) of a texture file: the same stem with either
// extension, in any letter case, naming a file that exists.
std::optional<std::filesystem::path> FindHdFile(const std::filesystem::path& texturePath);

// The palette file beside a .RAW: an existing .ACT of the same stem in any
// letter case, else the stem with ".ACT" (".act" beside a lower-case ".raw").
// Empty when the path has no file name.
std::filesystem::path ActPathBeside(const std::filesystem::path& rawPath);

// The .RAW beside a picture: an existing one in any letter case, else the stem with ".RAW".
std::filesystem::path RawPathBeside(const std::filesystem::path& picturePath);

// Whether the .RAW/.ACT fallback of an HD picture is missing or older than it.
bool NeedsRebuild(const std::filesystem::path& hdPath, const std::filesystem::path& rawPath);

// Decodes an HD picture with the texture rules and builds its legacy texture
// (terrain textures get the edge border, model textures none).
std::optional<LegacyTexture> LegacyTextureFromPicture(std::span<const uint8_t> bytes, std::string_view name,
                                                      bool terrain, std::string& message);

// Builds the legacy texture of an HD file and writes it as .RAW and .ACT.
bool RebuildFallback(const std::filesystem::path& hdPath, const std::filesystem::path& rawPath, bool modelTexture,
                     std::string& message);

// Stems of pictures that are never HD textures (normal, occlusion, detail, mask maps).
bool IsSkippedHdStem(std::string_view stem);

// Result of bringing the fallbacks of a folder up to date. Every failure is
// counted; the text of the first eight is kept.
struct HdUpdateResult {
    static constexpr size_t kKeptFailures = 8;
    int converted = 0;
    int failed = 0;
    std::vector<std::string> failures;
};

// Rebuilds every out-of-date fallback of the PNG and then the TGA pictures of
// a folder (a TGA beside a PNG of the same stem is left alone). Before each
// rebuild it waits while `pause` is paused; once `stop` turns true it ends
// with what it has done so far.
HdUpdateResult UpdateHdTexturesOfFolder(const std::filesystem::path& folder,
                                        const std::function<bool(const std::filesystem::path&)>& isModelTexture,
                                        const std::atomic<bool>* stop = nullptr,
                                        const TextureFolderPause* pause = nullptr);

// The text of the "HD textures skipped" box; empty when nothing failed.
constexpr const char* kHdTexturesSkippedCaption = "HD textures skipped";
std::string HdTexturesSkippedText(const HdUpdateResult& result);

// Remembers which "HD textures skipped" boxes were shown: a folder's box is
// shown again only when its number of failures changed.
class HdSkippedNotices {
public:
    // The box's text when it is due now (and remembered as shown); empty
    // when nothing failed or this folder was shown with the same count.
    std::string take(const std::filesystem::path& folder, const HdUpdateResult& result);

private:
    std::map<std::filesystem::path, int> m_shown;
};

} // namespace ravok
