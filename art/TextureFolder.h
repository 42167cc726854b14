#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The Textures box's view of the art folder: the picture files it lists and
// the thumbnails of its pages. A background worker calls these; every
// texture operation that writes files pauses it (TextureFolderPause).
namespace ravok {

constexpr size_t kMaxArtFolderNames = 8192;
constexpr size_t kMaxListedStem = 23; // stems of 24 characters or more are skipped
constexpr int kThumbnailSide = 64;
constexpr int kThumbnailsKept = 96;

// The folder the box browses: the track file folder's ART folder when it
// exists, else the art folder setting.
std::filesystem::path TexturesBoxFolder(const std::filesystem::path& trackFileFolder,
                                        const std::filesystem::path& artFolder);

// The texture files of a folder: the .png files, then the .tga, then the .raw
// (extensions in any letter case, names sorted within each), skipping stems
// of 24 characters or more and the normal, occlusion, detail and mask
// pictures, at most 8192 names. A `stop` flag that turns true ends the scan.
std::vector<std::string> ListArtFolder(const std::filesystem::path& folder, const std::atomic<bool>* stop = nullptr);

// A 64 x 64 thumbnail with its own palette (red, green, blue).
struct Thumbnail {
    std::string name;
    std::array<uint8_t, kThumbnailSide * kThumbnailSide> pixels{};
    std::array<uint8_t, 768> palette{};
};

// The thumbnail of one file: a .RAW sampled with the palette of its .ACT (the
// default palette without one); a PNG or TGA resampled and reduced to 256
// colours. Nullopt for a file that is no texture or picture.
std::optional<Thumbnail> MakeThumbnail(const std::filesystem::path& folder, const std::string& name);

class TextureFolderPause;

// The 96 thumbnails kept, for the page that starts at `first`. Files that do
// not read are left out. Between files the work waits while `pause` is
// paused and ends once `stop` turns true.
std::vector<Thumbnail> MakeThumbnailPage(const std::filesystem::path& folder, const std::vector<std::string>& names,
                                         size_t first, const std::atomic<bool>* stop = nullptr,
                                         const TextureFolderPause* pause = nullptr);

// Pausing the worker while files are written: the worker calls
// waitWhilePaused() between files; pause() and resume() nest. A Pauser
// pauses for its lifetime.
class TextureFolderPause {
public:
    void pause();
    void resume();
    bool paused() const;
    void waitWhilePaused() const;
    // The same, but also ends once `stop` turns true (after wake()).
    void waitWhilePaused(const std::atomic<bool>& stop) const;
    // Wakes the waiters so that they look at their stop flag again.
    void wake() const;

    class Pauser {
    public:
        explicit Pauser(TextureFolderPause* gate) : m_gate(gate) {
            if (m_gate) m_gate->pause();
        }
        ~Pauser() {
            if (m_gate) m_gate->resume();
        }
        Pauser(const Pauser&) = delete;
        Pauser& operator=(const Pauser&) = delete;

    private:
        TextureFolderPause* m_gate;
    };

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_resumed;
    int m_depth = 0;
};

} // namespace ravok
