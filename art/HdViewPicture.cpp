#include "art/HdViewPicture.h"

#include "art/HdTextures.h"
#include "art/ItemNames.h"
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

} // namespace

std::optional<RgbPicture> HdPictureOfTexture(const Texture& texture, const std::filesystem::path& artFolder) {
    std::string message;
    if (!texture.hdSource().empty())
        if (auto stored = withinLimits(DecodePicture(texture.hdSource(), texture.name().view(), true, message)))
            return stored;
    if (artFolder.empty() || texture.name().empty()) return std::nullopt;
    const auto file = FindHdFile(artFolder / std::string(nameInFolder(texture.name().view())));
    if (!file) return std::nullopt;
    return withinLimits(DecodePictureFile(*file, true, message));
}

} // namespace ravok
