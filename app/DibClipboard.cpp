#include "app/DibClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>

namespace ravok {

namespace {

// An empty bottom-up bitmap of the picture's size (both sides keep the
// resolution in pixels per metre).
DibImage bottomUp(const QImage& image, uint16_t bitCount) {
    DibImage dib;
    dib.width = image.width();
    dib.height = image.height();
    dib.bitCount = bitCount;
    dib.xPelsPerMeter = image.dotsPerMeterX();
    dib.yPelsPerMeter = image.dotsPerMeterY();
    dib.imageSize = uint32_t(dib.pixelBytes());
    dib.bits.assign(size_t(dib.pixelBytes()), 0);
    return dib;
}

uint8_t* storedRowOf(DibImage& dib, int row) {
    return dib.bits.data() + dib.storedRow(row) * dib.stride();
}

} // namespace

QImage ImageOfDib(const DibImage& dib) {
    const int64_t w = dib.absWidth(), h = dib.absHeight();
    if (dib.compression != 0 || w == 0 || h == 0 || w > 32767 || h > 32767 ||
        dib.pixelBytes() > int64_t(dib.bits.size()))
        return {};
    switch (dib.bitCount) {
    case 1:
    case 4:
    case 8: {
        QImage image(int(w), int(h), QImage::Format_Indexed8);
        QList<QRgb> colours(1 << dib.bitCount, qRgb(0, 0, 0));
        for (size_t i = 0; i < dib.palette.size() && i < size_t(colours.size()); ++i)
            colours[qsizetype(i)] = qRgb(dib.palette[i][2], dib.palette[i][1], dib.palette[i][0]);
        image.setColorTable(colours);
        for (int row = 0; row < int(h); ++row) {
            const uint8_t* from = dib.bits.data() + dib.storedRow(row) * dib.stride();
            uchar* to = image.scanLine(row);
            for (int x = 0; x < int(w); ++x) {
                const int bit = x * dib.bitCount;
                to[x] = uchar((from[bit / 8] >> (8 - dib.bitCount - bit % 8)) & ((1 << dib.bitCount) - 1));
            }
        }
        return image;
    }
    case 24:
    case 32: {
        QImage image(int(w), int(h), QImage::Format_RGB32);
        const int step = dib.bitCount / 8;
        for (int row = 0; row < int(h); ++row) {
            const uint8_t* from = dib.bits.data() + dib.storedRow(row) * dib.stride();
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int x = 0; x < int(w); ++x)
                to[x] = qRgb(from[x * step + 2], from[x * step + 1], from[x * step]);
        }
        return image;
    }
    default:
        return {};
    }
}

DibImage DibOfImage(const QImage& given) {
    if (given.isNull()) return {};
    QImage image = given;
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_Indexed8);
    if (image.format() == QImage::Format_Grayscale8) {
        DibImage dib = bottomUp(image, 8);
        dib.palette.resize(256);
        for (size_t i = 0; i < 256; ++i)
            dib.palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
        dib.colorsUsed = 256;
        for (int row = 0; row < image.height(); ++row)
            std::memcpy(storedRowOf(dib, row), image.constScanLine(row), size_t(image.width()));
        return dib;
    }
    if (image.format() == QImage::Format_Indexed8) {
        DibImage dib = bottomUp(image, 8);
        for (QRgb c : image.colorTable())
            dib.palette.push_back({uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c)), 0});
        dib.colorsUsed = uint32_t(dib.palette.size());
        for (int row = 0; row < image.height(); ++row)
            std::memcpy(storedRowOf(dib, row), image.constScanLine(row), size_t(image.width()));
        return dib;
    }
    if (image.depth() == 24) {
        image = image.convertToFormat(QImage::Format_RGB888);
        DibImage dib = bottomUp(image, 24);
        for (int row = 0; row < image.height(); ++row) {
            const uchar* from = image.constScanLine(row);
            uint8_t* to = storedRowOf(dib, row);
            for (int x = 0; x < image.width(); ++x) {
                to[3 * x] = from[3 * x + 2];
                to[3 * x + 1] = from[3 * x + 1];
                to[3 * x + 2] = from[3 * x];
            }
        }
        return dib;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    DibImage dib = bottomUp(image, 32);
    for (int row = 0; row < image.height(); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        uint8_t* to = storedRowOf(dib, row);
        for (int x = 0; x < image.width(); ++x) {
            to[4 * x] = uint8_t(qBlue(from[x]));
            to[4 * x + 1] = uint8_t(qGreen(from[x]));
            to[4 * x + 2] = uint8_t(qRed(from[x]));
            to[4 * x + 3] = uint8_t(qAlpha(from[x]));
        }
    }
    return dib;
}

void SetClipboardDib(const DibImage& dib) {
    const QImage image = ImageOfDib(dib);
    if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

bool ClipboardHasBitmap() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

std::optional<DibImage> ClipboardDib() {
    if (!ClipboardHasBitmap()) return std::nullopt;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) return std::nullopt;
    return PresentAsPalettedPicture(DibOfImage(image));
}

} // namespace ravok
