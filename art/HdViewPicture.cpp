#include "art/HdViewPicture.h"

#include "art/HdTextures.h"
#include "art/Picture.h"
#include "art/Texture.h"

namespace ravok {
namespace {

std::optional<RgbPicture> withinLimits(std::optional<RgbPicture> picture) {
    if (!picture || picture->width < 1 || picture->height < 1 || picture->width > kMaxViewPictureSide ||
        picture->height > kMaxViewPictureSide)
        return std::nullopt;
    return picture;
}

// The part of a stored name after its first backslash: "ART\GRASS.RAW" is GRASS.RAW.
std::string fileNameOf(std::string_view stored) {
    const size_t slash = stored.find('\\');
    return std::string(slash == std::string_view::npos ? stored : stored.substr(slash + 1));
}

} // namespace

std::optional<RgbPicture> HdPictureOfTexture(const Texture& texture, const std::filesystem::path& artFolder) {
    std::string message;
    if (!texture.hdSource().empty())
        if (auto stored = withinLimits(DecodePicture(texture.hdSource(), texture.name().view(), true, message)))
            return stored;
    if (artFolder.empty() || texture.name().empty()) return std::nullopt;
    const auto file = FindHdFile(artFolder / fileNameOf(texture.name().view()));
    if (!file) return std::nullopt;
    return withinLimits(DecodePictureFile(*file, true, message));
}

} // namespace ravok
