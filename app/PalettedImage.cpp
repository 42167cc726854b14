#include "app/PalettedImage.h"

#include "art/Texture.h"

QImage PalettedImage(std::span<const uint8_t> pixels, int width, int height,
                     const ravok::PaletteColours& colours) {
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const ravok::RgbColour& c = colours[pixels[size_t(y) * size_t(width) + size_t(x)]];
            line[x] = qRgb(c.r, c.g, c.b);
        }
    }
    return image;
}

QImage TextureImage(const ravok::Texture* texture, const ravok::PaletteColours& colours) {
    if (!texture || !texture->hasPixels()) return {};
    return PalettedImage(texture->pixels(), texture->width(), texture->height(), colours);
}
