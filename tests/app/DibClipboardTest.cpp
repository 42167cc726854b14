#include "app/DibClipboard.h"
#include "edit/TextureClipboard.h"
#include "edit/TerrainBitmap.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImageReader>
#include <gtest/gtest.h>

#include "AppTestSupport.h"

#include <memory>

using namespace ravok;
using ravok::test::app;

namespace {

std::unique_ptr<CTrackPOD> hillyTrack() {
    auto t = std::make_unique<CTrackPOD>();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            t->terrain.heights[size_t(y * 256 + x)] = uint8_t((x * x / 7 + y * 5) & 255);
    return t;
}

// A picture as another program would offer it: encoded and decoded again.
QImage throughPng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return QImage::fromData(bytes, "PNG");
}

} // namespace

TEST(DibClipboard, CopyTerrainAsBitmapRoundTripsThroughTheClipboard) {
    app();
    auto source = hillyTrack();
    const DibImage copied = CopyTerrainAsBitmap(*source);
    const QImage picture = ImageOfDib(copied);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(256, 256));
    // The picture's top row is grid row 255, its grey the height.
    EXPECT_EQ(qGray(picture.pixel(9, 0)), source->terrain.height(9, 255));
    EXPECT_EQ(qGray(picture.pixel(9, 255)), source->terrain.height(9, 0));

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasBitmap());
    EXPECT_FALSE(ClipboardDib()); // nothing on the clipboard: Paste does nothing
    SetClipboardDib(copied);
    ASSERT_TRUE(ClipboardHasBitmap());
    auto back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 8);

    auto target = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    ASSERT_TRUE(PasteTerrainBitmap(*target, *back, undo).ok);
    EXPECT_EQ(target->terrain.heights, source->terrain.heights);
    // And as the block the core takes from a Windows clipboard.
    auto viaBlock = std::make_unique<CTrackPOD>();
    ASSERT_TRUE(PasteTerrainBitmapBlock(*viaBlock, back->toBlock(), undo).ok);
    EXPECT_EQ(viaBlock->terrain.heights, source->terrain.heights);
}

TEST(DibClipboard, GreyPicturesFromOtherProgramsPaste) {
    app();
    auto source = hillyTrack();
    const QImage grey = ImageOfDib(CopyTerrainAsBitmap(*source));
    // Paint programs on Linux offer 24- or 32-bit pictures.
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888}) {
        const QImage offered = grey.convertToFormat(format);
        QGuiApplication::clipboard()->setImage(offered);
        auto back = ClipboardDib();
        ASSERT_TRUE(back) << format;
        EXPECT_EQ(back->bitCount, 8) << format;
        auto target = std::make_unique<CTrackPOD>();
        TerrainUndo undo;
        ASSERT_TRUE(PasteTerrainBitmap(*target, *back, undo).ok) << format;
        EXPECT_EQ(target->terrain.heights, source->terrain.heights) << format;
    }
    // Also after a trip through a PNG file and a grey picture format.
    for (const QImage& offered : {throughPng(grey.convertToFormat(QImage::Format_RGB32)),
                                  grey.convertToFormat(QImage::Format_Grayscale8)}) {
        QGuiApplication::clipboard()->setImage(offered);
        auto back = ClipboardDib();
        ASSERT_TRUE(back);
        auto target = std::make_unique<CTrackPOD>();
        TerrainUndo undo;
        ASSERT_TRUE(PasteTerrainBitmap(*target, *back, undo).ok);
        EXPECT_EQ(target->terrain.heights, source->terrain.heights);
    }
}

TEST(DibClipboard, ColouredPicturesKeepTheirColoursOrDepth) {
    app();
    // Two colours: an 8-bit bitmap of exactly those colours.
    QImage two(256, 256, QImage::Format_RGB32);
    two.fill(qRgb(200, 10, 10));
    for (int x = 0; x < 256; ++x)
        two.setPixel(x, 3, qRgb(10, 200, 10));
    QGuiApplication::clipboard()->setImage(two);
    auto back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 8);
    ASSERT_EQ(back->palette.size(), 2u);
    EXPECT_EQ(ImageOfDib(*back).pixel(7, 3), qRgb(10, 200, 10));
    EXPECT_EQ(ImageOfDib(*back).pixel(7, 4), qRgb(200, 10, 10));
    auto track = std::make_unique<CTrackPOD>();
    TerrainUndo undo;
    EXPECT_TRUE(PasteTerrainBitmap(*track, *back, undo).ok); // indices, as the rule says

    // A true-colour picture keeps its depth: the core's rule refuses it.
    QImage rich(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            rich.setPixel(x, y, qRgb(x, y, 77));
    QGuiApplication::clipboard()->setImage(rich);
    back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 32);
    const Outcome refused = PasteTerrainBitmap(*track, *back, undo);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, kTerrainBitmapMessage);
    // A grey picture of the wrong size is refused too.
    QImage small(128, 256, QImage::Format_Grayscale8);
    small.fill(40);
    QGuiApplication::clipboard()->setImage(small);
    back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_FALSE(PasteTerrainBitmap(*track, *back, undo).ok);
}

TEST(DibClipboard, PicturesAndBitmapsConvertBothWays) {
    app();
    DibImage dib;
    dib.width = 3;
    dib.height = -2; // top-down
    dib.bitCount = 24;
    dib.bits = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    const QImage image = ImageOfDib(dib);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(3, 2, 1));
    EXPECT_EQ(image.pixel(2, 1), qRgb(18, 17, 16));
    const DibImage back = DibOfImage(image);
    EXPECT_EQ(back.bitCount, 32);
    EXPECT_GT(back.height, 0);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back.pixel(x, row), dib.pixel(x, row));
    dib.bits.pop_back(); // not all there: no picture
    EXPECT_TRUE(ImageOfDib(dib).isNull());
    dib.bits.push_back(0);
    dib.compression = 1;
    EXPECT_TRUE(ImageOfDib(dib).isNull());
}

TEST(DibClipboard, FewColouredTexturesFromPaintProgramsPasteAsTextures) {
    app();
    // A 64 x 64 texture of three colours, offered as 32 bits as paint programs on Linux do.
    QImage texture(64, 64, QImage::Format_ARGB32);
    texture.fill(qRgb(90, 60, 30));
    for (int x = 0; x < 64; ++x) texture.setPixel(x, 0, qRgb(200, 180, 20));
    texture.setPixel(5, 9, qRgb(1, 2, 250));
    QGuiApplication::clipboard()->setImage(throughPng(texture));
    auto back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 8);
    ASSERT_EQ(back->palette.size(), 3u);
    EXPECT_TRUE(CheckPasteTexture(&*back).ok);
    const QImage shown = ImageOfDib(*back);
    EXPECT_EQ(shown.pixel(5, 9), qRgb(1, 2, 250));
    EXPECT_EQ(shown.pixel(7, 0), qRgb(200, 180, 20));
    EXPECT_EQ(shown.pixel(7, 7), qRgb(90, 60, 30));

    // As a Paste Composite source it is an 8-bit picture in those colours.
    CutSource source;
    ASSERT_TRUE(CutSourceFromClipboard(&*back, source).ok);
    EXPECT_EQ(source.kind, CutSourceKind::Paletted);
    const uint8_t blue = source.indices[size_t(9 * 64 + 5)];
    EXPECT_EQ(source.palette[3 * blue + 2], 250);

    // 257 colours keep their depth: Paste texture refuses it.
    QImage rich(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) rich.setPixel(x, y, qRgb(x * 4, y * 4, 0));
    QGuiApplication::clipboard()->setImage(rich);
    back = ClipboardDib();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitCount, 32);
    EXPECT_EQ(CheckPasteTexture(&*back).message, "Bitmap must be uncompressed, 8-bit.");
}
