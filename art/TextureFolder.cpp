#include "art/TextureFolder.h"

#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/Palette.h"
#include "art/Picture.h"
#include "art/Texture.h"
#include "base/FileIO.h"
#include "base/Text.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace ravok {

namespace {

constexpr const char* kListedExtensions[] = {".png", ".tga", ".raw"};
constexpr uintmax_t kMaxThumbnailSource = 64u * 1024 * 1024;

bool listable(const fs::directory_entry& entry, std::string_view extension) {
    std::error_code ec;
    if (!entry.is_regular_file(ec)) return false;
    const fs::path& p = entry.path();
    if (lowerCase(p.extension().string()) != extension) return false;
    const std::string stem = p.stem().string();
    if (stem.size() > kMaxListedStem) return false;
    return extension == ".raw" || !IsSkippedHdStem(stem);
}

bool stopped(const std::atomic<bool>* stop) { return stop && stop->load(); }

std::optional<Thumbnail> rawThumbnail(const fs::path& path, const std::string& name) {
    auto bytes = readWholeFile(path, 1024 * 1024 + 1);
    const int side = bytes ? SideFromFileSize(bytes->size()) : 0;
    if (side == 0) return std::nullopt;
    Thumbnail t;
    t.name = name;
    for (int y = 0; y < kThumbnailSide; ++y)
        for (int x = 0; x < kThumbnailSide; ++x)
            t.pixels[size_t(y * kThumbnailSide + x)] =
                (*bytes)[size_t((y * side / kThumbnailSide) * side + x * side / kThumbnailSide)];
    PaletteColours colours = DefaultPalette();
    if (auto act = readWholeFile(ActPathBeside(path), 4096)) colours = paletteFromRgbBytes(*act);
    for (size_t i = 0; i < 256; ++i) {
        t.palette[3 * i] = colours[i].r;
        t.palette[3 * i + 1] = colours[i].g;
        t.palette[3 * i + 2] = colours[i].b;
    }
    return t;
}

std::optional<Thumbnail> pictureThumbnail(const fs::path& path, const std::string& name) {
    auto bytes = readWholeFile(path, kMaxThumbnailSource);
    if (!bytes) return std::nullopt;
    std::string message;
    auto picture = DecodePicture(*bytes, name, false, message);
    if (!picture) return std::nullopt;
    auto reduced = QuantisePicture(ResamplePicture(*picture, kThumbnailSide, kThumbnailSide));
    if (!reduced) return std::nullopt;
    Thumbnail t;
    t.name = name;
    std::copy(reduced->indices.begin(), reduced->indices.end(), t.pixels.begin());
    t.palette = reduced->palette;
    return t;
}

} // namespace

fs::path TexturesBoxFolder(const fs::path& trackFileFolder, const fs::path& artFolder) {
    if (!trackFileFolder.empty())
        if (auto art = resolveInFolder(trackFileFolder, "ART")) {
            std::error_code ec;
            if (fs::is_directory(*art, ec)) return *art;
        }
    return artFolder;
}

std::vector<std::string> ListArtFolder(const fs::path& folder, const std::atomic<bool>* stop) {
    std::vector<std::string> names;
    for (const char* extension : kListedExtensions) {
        std::vector<std::string> pass;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end && !stopped(stop); it.increment(ec))
            if (listable(*it, extension)) pass.push_back(it->path().filename().string());
        std::sort(pass.begin(), pass.end());
        for (auto& name : pass) {
            if (names.size() >= kMaxArtFolderNames) return names;
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::optional<Thumbnail> MakeThumbnail(const fs::path& folder, const std::string& name) {
    const fs::path path = folder / name;
    if (HasPictureExtension(name)) return pictureThumbnail(path, name);
    return rawThumbnail(path, name);
}

std::vector<Thumbnail> MakeThumbnailPage(const fs::path& folder, const std::vector<std::string>& names, size_t first,
                                         const std::atomic<bool>* stop, const TextureFolderPause* pause) {
    std::vector<Thumbnail> page;
    for (size_t i = first; i < names.size() && i < first + kThumbnailsKept && !stopped(stop); ++i) {
        if (pause) pause->waitWhilePaused();
        if (auto t = MakeThumbnail(folder, names[i])) page.push_back(std::move(*t));
    }
    return page;
}

void TextureFolderPause::pause() {
    std::lock_guard lock(m_mutex);
    ++m_depth;
}

void TextureFolderPause::resume() {
    {
        std::lock_guard lock(m_mutex);
        if (m_depth > 0) --m_depth;
    }
    m_resumed.notify_all();
}

bool TextureFolderPause::paused() const {
    std::lock_guard lock(m_mutex);
    return m_depth > 0;
}

void TextureFolderPause::waitWhilePaused() const {
    std::unique_lock lock(m_mutex);
    m_resumed.wait(lock, [this] { return m_depth == 0; });
}

void TextureFolderPause::waitWhilePaused(const std::atomic<bool>& stop) const {
    std::unique_lock lock(m_mutex);
    m_resumed.wait(lock, [&] { return m_depth == 0 || stop.load(); });
}

void TextureFolderPause::wake() const {
    { std::lock_guard lock(m_mutex); } // a waiter between its test and its wait gets the notice
    m_resumed.notify_all();
}

} // namespace ravok
