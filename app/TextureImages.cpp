#include "app/TextureImages.h"

#include "art/Palette.h"
#include "art/Texture.h"
#include "art/TextureFolder.h"

namespace ravok {

QImage ImageOfTexture(const Texture& texture, const TrackPalette& palette, int side) {
    const int w = texture.width(), h = texture.height();
    const auto pixels = texture.pixels();
    if (!texture.hasPixels() || w < 1 || h < 1 || side < 1 || pixels.size() < size_t(w) * size_t(h))
        return {};
    QImage image(side, side, QImage::Format_Indexed8);
    QList<QRgb> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[i] = qRgb(palette[i].r, palette[i].g, palette[i].b);
    image.setColorTable(colours);
    for (int y = 0; y < side; ++y) {
        uchar* row = image.scanLine(y);
        const size_t from = size_t(y * h / side) * size_t(w);
        for (int x = 0; x < side; ++x)
            row[x] = pixels[from + size_t(x * w / side)];
    }
    return image;
}

QImage ImageOfThumbnail(const Thumbnail& thumbnail) {
    QImage image(kThumbnailSide, kThumbnailSide, QImage::Format_Indexed8);
    QList<QRgb> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[i] = qRgb(thumbnail.palette[size_t(3 * i)], thumbnail.palette[size_t(3 * i + 1)],
                          thumbnail.palette[size_t(3 * i + 2)]);
    image.setColorTable(colours);
    for (int y = 0; y < kThumbnailSide; ++y)
        std::copy_n(thumbnail.pixels.begin() + y * kThumbnailSide, kThumbnailSide, image.scanLine(y));
    return image;
}

} // namespace ravok
