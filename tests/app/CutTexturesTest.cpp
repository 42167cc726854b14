#include "TestSupport.h"
#include "app/CutTexturesDlg.h"
#include "app/DibClipboard.h"
#include "app/RavokDoc.h"
#include "app/TexturesBox.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
using ravok::test::TempDir;

namespace fs = std::filesystem;

namespace {

struct CutScene {
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    CRavokDoc doc{settings};
    fs::path picture = dir / "ground.png";
    CutScene() {
        fs::create_directories(settings.artFolder);
        QImage image(1000, 600, QImage::Format_RGB32);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 1000; ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 200));
        image.save(QString::fromStdString(picture.string()));
        QApplication::clipboard()->clear();
    }
    int textureCount() const {
        int n = 0;
        for (const auto& t : doc.track().terrainTextures)
            n += t != nullptr;
        return n;
    }
};

// Fills the dialog: the picture, 256-pixel PNG tiles from (0, 0), the grid and base name.
void choose(CCutTexturesDlg& dialog, const fs::path& picture, int columns, int rows, const char* base) {
    ASSERT_TRUE(dialog.openImage(picture));
    auto* size = dialog.findChild<QComboBox*>(QStringLiteral("TileSize"));
    size->setCurrentIndex(size->findData(256));
    dialog.findChild<QComboBox*>(QStringLiteral("Output"))->setCurrentIndex(int(CutOutput::Png));
    dialog.findChild<QSpinBox*>(QStringLiteral("Columns"))->setValue(columns);
    dialog.findChild<QSpinBox*>(QStringLiteral("Rows"))->setValue(rows);
    dialog.findChild<QLineEdit*>(QStringLiteral("BaseName"))->setText(QString::fromLatin1(base));
}

// Paste Composite of the Textures box with the cut dialog, the picture file
// chosen when the clipboard holds none; the number of textures it added.
int pasteComposite(CutScene& scene) {
    CTexturesBox box(scene.doc, scene.settings);
    box.askCompositeFile = [&] { return QString::fromStdString(scene.picture.string()); };
    box.setCutDialog([&](CutSource& source, CutSettings& cut) {
        return RunCutTexturesDialog(source, cut, scene.settings, nullptr);
    });
    const int before = scene.textureCount();
    box.OnPasteComposite();
    return scene.textureCount() - before;
}

} // namespace

TEST(CutTexturesDialog, CutsA1000By600PictureIntoFourTiles) {
    app();
    CutScene scene;
    int shown = 0;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCutTexturesDlg*>(modal);
        if (!dialog) return false;
        if (++shown == 1) {
            EXPECT_TRUE(dialog->sourceLine().startsWith(QStringLiteral("ground.png - 1000 x 600")));
            choose(*dialog, scene.picture, 4, 2, "base");
            // Four columns of 256 end at 1024: OK refuses and the dialog stays.
            QTimer::singleShot(0, dialog, [dialog] { dialog->accept(); });
            return true;
        }
        // Back from the refusal.
        EXPECT_FALSE(dialog->isHidden());
        dialog->findChild<QSpinBox*>(QStringLiteral("Columns"))->setValue(2);
        EXPECT_EQ(dialog->summaryLine(), QStringLiteral("4 textures, BASE00 to BASE11."));
        EXPECT_TRUE(dialog->sourceLine().startsWith(
            QStringLiteral("ground.png - 1000 x 600, true colour: HD tiles (.PNG)")));
        QTimer::singleShot(0, dialog, [dialog] { dialog->accept(); });
        return true;
    });
    EXPECT_EQ(pasteComposite(scene), 4);
    EXPECT_TRUE(answerer.boxes.contains(
        QStringLiteral("Paste Composite: The last tile runs off the edge of the image.")));
    for (const char* name : {"BASE00", "BASE10", "BASE01", "BASE11"}) {
        EXPECT_TRUE(fs::exists(scene.settings.artFolder / (std::string(name) + ".PNG"))) << name;
        EXPECT_GE(scene.doc.track().FindTexture(std::string(name) + ".RAW"), 0) << name;
    }
    EXPECT_EQ(scene.textureCount(), 4);
    EXPECT_TRUE(scene.doc.isModified());
    EXPECT_EQ(scene.settings.texCutFormat, uint32_t(CutOutput::Png)); // remembered
}

TEST(CutTexturesDialog, AUsedBaseNameStopsBeforeAnyWrite) {
    app();
    CutScene scene;
    test::writeBytes(scene.settings.artFolder / "BASE11.ACT", std::vector<uint8_t>(768, 0));
    const auto before =
        std::distance(fs::directory_iterator(scene.settings.artFolder), fs::directory_iterator());
    int opened = 0;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCutTexturesDlg*>(modal);
        if (!dialog) return false;
        if (++opened == 1) {
            choose(*dialog, scene.picture, 2, 2, "Base.x");
            QTimer::singleShot(0, dialog, [dialog] { dialog->accept(); });
        } else {
            // Opened again after the refusal with the same choices.
            EXPECT_EQ(dialog->summaryLine(), QStringLiteral("4 textures, BASE00 to BASE11."));
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        }
        return true;
    });
    EXPECT_EQ(pasteComposite(scene), 0);
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(answerer.boxes.contains(QStringLiteral(
        "Paste Composite: BASE11.ACT is already in the art folder.\n\nNothing has been written.  Choose "
        "another base name.")));
    EXPECT_EQ(std::distance(fs::directory_iterator(scene.settings.artFolder), fs::directory_iterator()),
              before);
    EXPECT_EQ(scene.textureCount(), 0);
    EXPECT_FALSE(scene.doc.isModified());
}

TEST(CutTexturesDialog, APaletteClipboardPictureCutsRawTilesInItsOwnColours) {
    app();
    CutScene scene;
    QImage picture(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            picture.setPixel(x, y, x < 64 ? qRgb(200, 10, 10) : qRgb(10, 10, 200));
    SetClipboardDib(DibOfImage(picture));
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCutTexturesDlg*>(modal);
        if (!dialog) return false;
        EXPECT_EQ(dialog->sourceLine(),
                  QStringLiteral("Clipboard - 128 x 64, 256 colours: legacy 8-bit tiles (.RAW + "
                                 ".ACT) in the image's own palette."));
        auto* output = dialog->findChild<QComboBox*>(QStringLiteral("Output"));
        EXPECT_FALSE(output->isEnabled());
        EXPECT_EQ(output->currentIndex(), int(CutOutput::RawAct));
        auto* size = dialog->findChild<QComboBox*>(QStringLiteral("TileSize"));
        EXPECT_EQ(size->count(), 2); // 32 and 64: nothing larger than the picture's smaller side
        EXPECT_EQ(size->itemText(1), QStringLiteral("64 x 64"));
        size->setCurrentIndex(1);
        dialog->findChild<QSpinBox*>(QStringLiteral("Columns"))->setValue(2);
        dialog->findChild<QSpinBox*>(QStringLiteral("Rows"))->setValue(1);
        dialog->findChild<QLineEdit*>(QStringLiteral("BaseName"))->setText(QStringLiteral("clip"));
        QTimer::singleShot(0, dialog, [dialog] { dialog->accept(); });
        return true;
    });
    EXPECT_EQ(pasteComposite(scene), 2);
    for (const char* name : {"CLIP00", "CLIP10"}) {
        EXPECT_TRUE(fs::exists(scene.settings.artFolder / (std::string(name) + ".RAW"))) << name;
        EXPECT_FALSE(fs::exists(scene.settings.artFolder / (std::string(name) + ".PNG"))) << name;
    }
    EXPECT_EQ(scene.settings.texCutFormat, uint32_t(CutOutput::Png)); // an 8-bit cut leaves the choice alone

    // A file that is no picture: the message, the source kept.
    answerer.boxes.clear();
    CCutTexturesDlg dialog({}, CutSettings{});
    test::writeBytes(scene.dir / "junk.png", {1, 2, 3});
    ModalAnswerer& boxes = answerer;
    EXPECT_FALSE(dialog.openImage(scene.dir / "junk.png"));
    ASSERT_EQ(boxes.boxes.size(), 1); // answered before the call returned
    EXPECT_TRUE(boxes.boxes.front().startsWith(QStringLiteral("Paste Composite: ")));
    EXPECT_EQ(dialog.source().kind, CutSourceKind::None);
}
