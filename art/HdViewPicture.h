#pragma once

#include "art/ColourReduction.h"

#include <filesystem>
#include <optional>

namespace ravok {

class Texture;

// The largest side of a true-colour picture the view shows.
constexpr int kMaxViewPictureSide = 4096;

// The true-colour picture of a texture for the view: the HD source stored
// with it, else the PNG or TGA of the same file name in the art folder. None
// when it has neither or its picture is larger than the view shows, and the
// view uses the 8-bit pixels.
std::optional<RgbPicture> HdPictureOfTexture(const Texture& texture, const std::filesystem::path& artFolder);

} // namespace ravok
