#pragma once

#include "art/Palette.h"

#include <QImage>

#include <cstdint>
#include <span>

namespace ravok {
class Texture;
}

// Index pixels shown through a palette: a width x height picture, rows top to
// bottom. A null image when the pixels are too few.
QImage PalettedImage(std::span<const uint8_t> pixels, int width, int height,
                     const ravok::PaletteColours& colours);
// A texture of the track as a picture; a null image without pixels.
QImage TextureImage(const ravok::Texture* texture, const ravok::PaletteColours& colours);
