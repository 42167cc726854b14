#include "app/ArenaPropertiesDlg.h"
#include "app/PictureSlotBox.h"
#include "app/ProgressDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/StockMusicDlg.h"
#include "app/TrackComponentsDlg.h"
#include "art/Picture.h"
#include "base/ProgramSettings.h"
#include "model/Completeness.h"
#include "model/NewTrack.h"
#include "model/TrackComponentsMusic.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"
#include "TestModels.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
namespace fs = std::filesystem;

namespace {

// A PNG of w x h pixels, left half red and right half blue.
std::vector<uint8_t> png(int w, int h) {
    const size_t stride = DibStride(w);
    std::vector<uint8_t> bgr(stride * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bgr[size_t(y) * stride + size_t(x) * 3 + (x < w / 2 ? 2 : 0)] = 255;
    std::string message;
    return EncodePng(bgr.data(), w, h, stride, message).value();
}

QString pngFile(const test::TempDir& dir, int w, int h) {
    const fs::path path = dir / (std::to_string(w) + "x" + std::to_string(h) + ".png");
    test::writeBytes(path, png(w, h));
    return QString::fromStdString(path.string());
}

template <typename T> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}

QAction* componentsAction(CRavokFrame& frame) {
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == QStringLiteral("Track C&omponents")) return menu->text() == "&Special" ? a : nullptr;
    return nullptr;
}

struct TrackComponentsDialog : ::testing::Test {
    test::TempDir root;
    ProgramSettings settings = defaultSettings(root.path());
    std::unique_ptr<CRavokDoc> doc;
    std::unique_ptr<CRavokFrame> frame;

    void SetUp() override {
        app();
        settings.artFolder = root / "ART";
        settings.modelsFolder = root / "MODELS";
        fs::create_directories(settings.artFolder);
        fs::create_directories(settings.modelsFolder);
        doc = std::make_unique<CRavokDoc>(settings);
        frame = std::make_unique<CRavokFrame>(*doc, settings);
    }
    // Runs the menu command with `edit` working on the dialog; other modal
    // windows go to `others`, message boxes get their default answer. Boxes
    // that come up inside `edit` need an answerer of their own.
    QStringList runDialog(const std::function<void(CTrackComponentsDlg&)>& edit, ModalAnswerer::Handler others = {}) {
        ModalAnswerer modals([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<CTrackComponentsDlg*>(modal)) {
                edit(*dialog);
                return true;
            }
            return others && others(modal);
        });
        QAction* action = componentsAction(*frame);
        EXPECT_TRUE(action);
        if (action) action->trigger();
        return modals.boxes;

    }
};

} // namespace

TEST_F(TrackComponentsDialog, FieldsEditTheCopiesAndOkAppliesThem) {
    runDialog([&](CTrackComponentsDlg& d) {
        EXPECT_EQ(child<QLabel>(&d, "mtm2Text")->text(), QString::fromLatin1(kMtm2TrackText));
        auto* name = child<QLineEdit>(&d, "trackName");
        auto* world = child<QLineEdit>(&d, "worldName");
        EXPECT_TRUE(world->isReadOnly());
        name->clear();
        QTest::keyClicks(name, "Dust B");
        EXPECT_EQ(world->text(), QStringLiteral("DUSTB")) << "derived while typed";
        QTest::keyClicks(name, "owl 2!");
        EXPECT_EQ(world->text(), QStringLiteral("DUSTBOWL2"));
        child<QLineEdit>(&d, "comment")->setText(QStringLiteral("dry"));
        child<QRadioButton>(&d, "raceType3")->setChecked(true); // Drag
        EXPECT_EQ(d.components().raceType, 1);
        child<QRadioButton>(&d, "raceType1")->setChecked(true); // Rally
        child<QDoubleSpinBox>(&d, "waterLevel")->setValue(12.3);
        child<QComboBox>(&d, "soundTheme")->setCurrentIndex(6);
        d.accept();
    });
    const CTrackPOD& t = doc->track();
    EXPECT_EQ(t.trackName.str(), "Dust Bowl 2!");
    EXPECT_EQ(t.WorldName.str(), "DUSTBOWL2");
    EXPECT_EQ(t.comment.str(), "dry");
    EXPECT_EQ(t.RaceType, 3);
    EXPECT_EQ(t.waterLevel, 12);
    EXPECT_EQ(t.waterLevelQuarters, 1);
    EXPECT_EQ(t.ambientSound, 6);
    EXPECT_TRUE(doc->isModified());

    // A World Name of its own must hold a letter or digit; OK keeps the dialog open until it does.
    runDialog([&](CTrackComponentsDlg& d) {
        child<QCheckBox>(&d, "basedOnTrackName")->setChecked(false);
        auto* world = child<QLineEdit>(&d, "worldName");
        EXPECT_FALSE(world->isReadOnly());
        world->setText(QStringLiteral("--"));
        ModalAnswerer boxes; // the outer answerer is busy in this handler
        d.accept();
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_EQ(boxes.boxes[0], QStringLiteral("Track Components: The World Name needs at least one letter or digit."));
        world->setText(QStringLiteral("Own-Name"));
        d.accept();
        EXPECT_EQ(world->text(), QStringLiteral("OWNNAME"));
    });
    EXPECT_EQ(doc->track().WorldName.str(), "OWNNAME");
    EXPECT_EQ(doc->track().worldNameFromTrackName, 0u);

    // Cancel changes nothing.
    runDialog([&](CTrackComponentsDlg& d) {
        child<QLineEdit>(&d, "trackName")->setText(QStringLiteral("Other"));
        d.reject();
    });
    EXPECT_EQ(doc->track().trackName.str(), "Dust Bowl 2!");
}

TEST_F(TrackComponentsDialog, AccentedNamesShowAndSurviveAnEdit) {
    // The track holds its names as single bytes: "C\xF4te" is "Côte".
    doc->track().SetTrackName("C\xF4te Rouge");
    doc->track().SetComment("\xE9t\xE9");
    runDialog([&](CTrackComponentsDlg& d) {
        auto* name = child<QLineEdit>(&d, "trackName");
        EXPECT_EQ(name->text(), QString::fromUtf8("C\u00f4te Rouge"));
        EXPECT_EQ(child<QLineEdit>(&d, "comment")->text(), QString::fromUtf8("\u00e9t\u00e9"));
        name->end(false);
        QTest::keyClicks(name, "s");
        QTest::keyClicks(child<QLineEdit>(&d, "comment"), "!");
        d.accept();
    });
    EXPECT_EQ(doc->track().trackName.str(), "C\xF4te Rouges");
    EXPECT_EQ(doc->track().comment.str(), "\xE9t\xE9!");
}

TEST_F(TrackComponentsDialog, PicturesLoadSaveAndPasteWithTheirMessages) {
    CTrackComponentsDlg d(doc->track(), settings);
    ModalAnswerer boxes;
    ASSERT_TRUE(d.loadPicture(kBrowseSlot, pngFile(root, 514, 420)));
    EXPECT_EQ(child<QGroupBox>(&d, "picture0")->title(), QStringLiteral("Browse (HD 514x420)"));
    PictureSlot hdOnly = d.components().pictures[kBrowseSlot];
    EXPECT_EQ(hdOnly.hdArt, png(514, 420));
    hdOnly.bitmap.clear(); // shown from its HD art
    const QImage shown = ImageOfSlot(hdOnly);
    ASSERT_EQ(shown.size(), QSize(514, 420));
    EXPECT_EQ(shown.pixelColor(10, 419), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(500, 0), QColor(0, 0, 255));

    EXPECT_FALSE(d.loadPicture(kBrowseSlot, pngFile(root, 514, 423)));
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.boxes[0].startsWith(QStringLiteral("HD Track Art: An HD browse picture has to keep the old shape")));
    EXPECT_TRUE(boxes.boxes[0].endsWith(QStringLiteral("at 514 wide it should be 420 high.")));
    EXPECT_EQ(d.components().pictures[kBrowseSlot].hdArt, png(514, 420)) << "the refusal keeps the earlier picture";

    // Saving: the 8-bit copy gets ".bmp"; an empty slot and a bad folder are refused.
    const QString saved = QString::fromStdString((root / "copy.png").string());
    ASSERT_TRUE(d.savePicture(kBrowseSlot, saved, SlotSaveForm::EightBitCopy));
    EXPECT_EQ(fs::file_size(root / "copy.bmp"), d.components().pictures[kBrowseSlot].bitmap.size());
    EXPECT_FALSE(d.savePicture(kInfoPhotoSlot, saved, SlotSaveForm::HdArt));
    EXPECT_FALSE(d.savePicture(kBrowseSlot, QString::fromStdString((root / "no" / "x.png").string()),
                               SlotSaveForm::HdArt));
    ASSERT_EQ(boxes.boxes.size(), 3);
    EXPECT_EQ(boxes.boxes[1], QStringLiteral("Track Components: Nothing to save."));
    EXPECT_EQ(boxes.boxes[2], QStringLiteral("Track Components: Cannot write that file."));

    ASSERT_TRUE(d.useStockIcon(1));
    EXPECT_EQ(d.components().pictures[kIconSlot].bitmap, StockIcons()[1].bitmap);
    EXPECT_EQ(child<QGroupBox>(&d, "picture1")->title(), QStringLiteral("Icon Bitmap (32x24)"));

    // The clipboard's picture goes through the slot's rules.
    QImage grey(48, 36, QImage::Format_Grayscale8);
    grey.fill(90);
    QApplication::clipboard()->setImage(grey);
    EXPECT_TRUE(d.pastePicture(kIconSlot));
    QImage wide(49, 36, QImage::Format_Grayscale8);
    wide.fill(90);
    QApplication::clipboard()->setImage(wide);
    EXPECT_FALSE(d.pastePicture(kIconSlot));
    QApplication::clipboard()->clear();
    EXPECT_FALSE(d.pastePicture(kIconSlot));
    ASSERT_EQ(boxes.boxes.size(), 5);
    EXPECT_TRUE(boxes.boxes[3].contains(QStringLiteral("That bitmap is 49x36.")));
    EXPECT_EQ(boxes.boxes[4], QStringLiteral("Track Components: Can't get bitmap from clipboard"));

    // Unticked, OK drops the 8-bit copy of HD art and keeps plain 8-bit pictures.
    child<QCheckBox>(&d, "eightBitCopies")->setChecked(false);
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.components().pictures[kBrowseSlot].bitmap.empty());
    EXPECT_FALSE(d.components().pictures[kIconSlot].bitmap.empty());
}

TEST_F(TrackComponentsDialog, ALongDescriptionShowsItsByteCountAndOkAsks) {
    CTrackComponentsDlg d(doc->track(), settings);
    auto* status = child<QLabel>(&d, "status");
    EXPECT_EQ(status->text(), QStringLiteral("No info pop-up: right-click the photo box to load one, then add a description."));
    ASSERT_TRUE(d.loadPicture(kInfoPhotoSlot, pngFile(root, 640, 480)));
    child<QPlainTextEdit>(&d, "description")->setPlainText(QString(4096, 'a'));
    EXPECT_EQ(status->text(), QStringLiteral("Info pop-up ready - the button will appear. Description: 4096 bytes; "
                                             "the engine reads only 4095."));
    d.show();
    {
        ModalAnswerer boxes;
        d.accept(); // No, the default: back to the description
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_TRUE(
            boxes.boxes[0].startsWith(QStringLiteral("Info Description Too Long: The info description is 4096 bytes.")));
    }

    ModalAnswerer yes([](QWidget* modal) { return ModalAnswerer::press(modal, "4096", QMessageBox::Yes); });
    d.accept();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(TrackComponentsDialog, MusicFilesAndStockMusic) {
    CTrackComponentsDlg d(doc->track(), settings);
    std::vector<uint8_t> wav(3000, 1);
    std::copy_n("RIFF", 4, wav.begin());
    test::writeBytes(root / "tune.wav", wav);
    {
        ModalAnswerer boxes;
        ASSERT_TRUE(d.loadMusic(QString::fromStdString((root / "tune.wav").string())));
        EXPECT_EQ(child<QLabel>(&d, "music")->text(), QString::fromStdString(MusicDescription(wav)));
        ASSERT_TRUE(d.saveMusic(QString::fromStdString((root / "back.wav").string())));
        EXPECT_EQ(fs::file_size(root / "back.wav"), wav.size());
        EXPECT_FALSE(d.loadMusic(QString::fromStdString((root / "none.wav").string())));
        EXPECT_EQ(d.components().music, wav) << "a refusal keeps the music";
        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_EQ(boxes.boxes[0], QStringLiteral("Track Components: Cannot open that file."));
    }

    QString preselected;
    {
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* picker = qobject_cast<CStockMusicDlg*>(modal);
            if (!picker) return false;
            preselected = picker->selectedName();
            picker->selectName(QStringLiteral("SURF"));
            picker->accept();
            return true;
        });
        d.OnStockMusic();
    }
    EXPECT_EQ(preselected, QStringLiteral("BREAK"));
    const std::string stored(d.components().music.begin(), d.components().music.end());
    EXPECT_EQ(stored, std::string("MUSIC\\SURF.WAV\0\0\0\0\0\0", 20));
    EXPECT_EQ(child<QLabel>(&d, "music")->text(), QStringLiteral("stock SURF"));
    ModalAnswerer boxes;
    EXPECT_FALSE(d.saveMusic(QString::fromStdString((root / "stock.wav").string())));
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_EQ(boxes.boxes[0], QStringLiteral("Track Components: Nothing to save."));
}

TEST_F(TrackComponentsDialog, TerrainMapLabelsAndRemoval) {
    CTrackComponentsDlg d(doc->track(), settings);
    auto* mask = child<QLabel>(&d, "terrainMask");
    EXPECT_EQ(child<QLineEdit>(&d, "worldName")->text(), QStringLiteral("NEWTRACK")) << "what OK will make of it";
    EXPECT_EQ(mask->text(), QStringLiteral("(none)"));
    EXPECT_EQ(child<QLabel>(&d, "detailNormal")->text(), QStringLiteral("(generated)"));
    ModalAnswerer boxes([](QWidget* modal) { return ModalAnswerer::press(modal, "not greyscale", QMessageBox::No); });
    EXPECT_FALSE(d.loadTerrainMap(TerrainMapKind::Mask, pngFile(root, 64, 64)));
    EXPECT_EQ(mask->text(), QStringLiteral("(none)")) << "No discards the coloured mask";
    QImage grey(64, 64, QImage::Format_Grayscale8);
    grey.fill(128);
    const QString greyFile = QString::fromStdString((root / "grey.png").string());
    ASSERT_TRUE(grey.save(greyFile));
    ASSERT_TRUE(d.loadTerrainMap(TerrainMapKind::Mask, greyFile));
    const auto bytes = fs::file_size(greyFile.toStdString());
    EXPECT_EQ(mask->text(), QStringLiteral("ART\\%1_MASK.PNG  -  %2 KB")
                                .arg(child<QLineEdit>(&d, "worldName")->text())
                                .arg((bytes + 512) / 1024));
    EXPECT_TRUE(d.removeTerrainMap(TerrainMapKind::Mask));
    EXPECT_EQ(mask->text(), QStringLiteral("(none)"));
}

TEST_F(TrackComponentsDialog, NothingChangesWhileAPodIsViewed) {
    doc->track().podViewMode = true;
    runDialog([&](CTrackComponentsDlg& d) {
        EXPECT_FALSE(d.loadPicture(kBrowseSlot, pngFile(root, 514, 420)));
        EXPECT_FALSE(d.useStockMusic(QStringLiteral("SURF")));
        EXPECT_FALSE(d.useStockIcon(0));
        EXPECT_FALSE(d.chooseBackdrop(QStringLiteral("/tmp/drop.bin")));
        EXPECT_TRUE(d.components().pictures[kBrowseSlot].hdArt.empty());
        child<QLineEdit>(&d, "trackName")->setText(QStringLiteral("Changed"));
        d.accept();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(doc->track().trackName.str(), "new track");
    EXPECT_FALSE(doc->isModified());
}

TEST_F(TrackComponentsDialog, TheDialogSizeIsRemembered) {
    {
        CTrackComponentsDlg d(doc->track(), settings);
        d.resize(910, 640);
        d.reject();
    }
    EXPECT_EQ(settings.componentsSize.cx, 910);
    EXPECT_EQ(settings.componentsSize.cy, 640);
    CTrackComponentsDlg again(doc->track(), settings);
    EXPECT_EQ(again.size(), QSize(910, 640));
}

TEST_F(TrackComponentsDialog, ThePaletteChoiceReloadsOntoTheNewPalette) {
    QSignalSpy textures(doc.get(), &CRavokDoc::texturesChanged);
    QStringList captions;
    CProgressDlg::onShown = [&](CProgressDlg& progress) {
        QObject::connect(&progress, &QWidget::windowTitleChanged, [&](const QString& c) { captions << c; });
    };
    runDialog([&](CTrackComponentsDlg& d) {
        child<QComboBox>(&d, "palette")->setCurrentIndex(5);
        d.accept();
    });
    CProgressDlg::onShown = nullptr;
    EXPECT_EQ(captions.mid(captions.size() - 2).join(", "), QStringLiteral("Loading Art..., Loading Model Art..."));
    ASSERT_FALSE(doc->track().fogMap.empty());
    EXPECT_EQ(doc->track().fogMap[0], 5);
    EXPECT_EQ(doc->track().palette.colours()[100], GamePaletteColours(5).value()[100]);
    EXPECT_EQ(textures.count(), 1);

    // A fog map naming no palette of the list is kept until a palette is chosen.
    std::vector<uint8_t> gameFog(32768, 9);
    gameFog[0] = 200;
    doc->track().SetFogMap(gameFog);
    runDialog([&](CTrackComponentsDlg& d) {
        EXPECT_EQ(child<QComboBox>(&d, "palette")->currentIndex(), -1);
        d.accept();
    });
    EXPECT_EQ(doc->track().fogMap, gameFog);
    EXPECT_EQ(textures.count(), 1);
}

TEST_F(TrackComponentsDialog, ABackdropThatCannotBeReadIsReportedOnApply) {
    const QStringList boxes = runDialog([&](CTrackComponentsDlg& d) {
        ASSERT_TRUE(d.chooseBackdrop(QString::fromStdString((root / "gonedrop.bin").string())));
        EXPECT_EQ(child<QLineEdit>(&d, "backdrop")->text(), QStringLiteral("MODELS\\GONEDROP.BIN"));
        d.accept();
    });
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Track Components: Backdrop not found!")});
    EXPECT_FALSE(doc->track().backdrop);

    test::writeBytes(settings.modelsFolder / "BADDROP.BIN", {1, 2, 3});
    const QStringList bad = runDialog([&](CTrackComponentsDlg& d) {
        d.chooseBackdrop(QString::fromStdString((settings.modelsFolder / "BADDROP.BIN").string()));
        d.accept();
    });
    EXPECT_EQ(bad, QStringList{QStringLiteral("Bad Backdrop: Error loading backdrop model")});
}

TEST_F(TrackComponentsDialog, AnMtm1TrackLosesItsFogMapAndKeepsItsPalette) {
    ASSERT_TRUE(doc->OnFileNewMTM1());
    doc->track().SetFogMap(std::vector<uint8_t>(32768, 3));
    const PaletteColours palette = doc->track().palette.colours();
    runDialog([&](CTrackComponentsDlg& d) {
        EXPECT_FALSE(d.findChild<QLabel*>(QStringLiteral("mtm2Text")));
        EXPECT_FALSE(child<QComboBox>(&d, "palette")->isEnabled());
        EXPECT_EQ(child<QGroupBox>(&d, "picture1")->title(), QStringLiteral("Zoom Bitmap (640x480)"));
        d.accept();
    });
    EXPECT_TRUE(doc->track().fogMap.empty());
    EXPECT_EQ(doc->track().palette.colours(), palette);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(TrackComponentsDialog, ANewTrackFinishedInTheDialogMakesACompletePod) {
    test::writeBytes(settings.modelsFolder / "DUSTDROP.BIN", test::binModel({"WALL.RAW"}));
    test::writeBytes(settings.artFolder / "WALL.RAW", std::vector<uint8_t>(64 * 64, 7));
    test::writeBytes(settings.artFolder / "WALL.ACT", std::vector<uint8_t>(768, 40));
    QSignalSpy models(doc.get(), &CRavokDoc::modelsChanged);
    runDialog([&](CTrackComponentsDlg& d) {
        child<QLineEdit>(&d, "trackName")->setText(QStringLiteral("Dust Bowl"));
        const QString browse = pngFile(root, 514, 420);
        d.chooseFile = [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Load picture"));
            EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Pictures (*.bmp *.BMP *.png *.PNG *.tga *.TGA)")});
            return browse;
        };
        d.OnLoadPicture(kBrowseSlot);
        EXPECT_EQ(settings.bitmapsFolder, root.path()) << "the last folder used for pictures";
        EXPECT_EQ(child<QGroupBox>(&d, "picture0")->title(), QStringLiteral("Browse (HD 514x420)"));
        ASSERT_TRUE(d.loadPicture(kIconSlot, pngFile(root, 64, 48)));
        ASSERT_TRUE(d.loadPicture(kInfoPhotoSlot, pngFile(root, 1280, 960)));
        ASSERT_TRUE(d.useStockMusic(QStringLiteral("BREAK")));
        d.chooseFile = [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Load backdrop BIN file"));
            EXPECT_EQ(dialog.selectedNameFilter(),
                      QStringLiteral("*drop*; *drp*; *fixd*; arena* "
                                     "(*drop* *DROP* *drp* *DRP* *fixd* *FIXD* arena* ARENA*)"));
            EXPECT_EQ(dialog.nameFilters().value(1), QStringLiteral("BIN files (*.bin *.BIN)"));
            EXPECT_EQ(QDir(dialog.directory()).absolutePath(),
                      QDir(QString::fromStdString(settings.modelsFolder.string())).absolutePath());
            return QString::fromStdString((settings.modelsFolder / "DUSTDROP.BIN").string());
        };
        d.OnBackdrop();
        EXPECT_EQ(d.components().backdropName, "MODELS\\DUSTDROP.BIN");
        child<QPlainTextEdit>(&d, "description")->setPlainText(QStringLiteral("Dust Bowl\n\nDry and fast."));
        child<QCheckBox>(&d, "arena")->setChecked(true);
        ModalAnswerer arena([](QWidget* modal) {
            auto* properties = qobject_cast<CArenaPropertiesDlg*>(modal);
            if (!properties) return false;
            properties->findChild<QSpinBox*>(QStringLiteral("centerX"))->setValue(100);
            properties->findChild<QSpinBox*>(QStringLiteral("sizeY"))->setValue(30);
            properties->accept();
            return true;
        });
        d.OnArenaProperties();
        EXPECT_TRUE(child<QLabel>(&d, "status")->text().startsWith(QStringLiteral("Info pop-up ready")));
        d.accept();
    });
    CTrackPOD& t = doc->track();
    EXPECT_EQ(t.WorldName.str(), "DUSTBOWL");
    ASSERT_TRUE(t.backdrop);
    EXPECT_EQ(t.backdrop->name().str(), "MODELS\\DUSTDROP.BIN");
    EXPECT_EQ(models.count(), 1);
    EXPECT_EQ(t.stadiumFlag, 1u);
    EXPECT_EQ(t.arenaX, 100);
    EXPECT_EQ(t.arenaSizeY, 30);
    EXPECT_EQ(t.arenaY, 127) << "unchanged in the Arena Properties";
    EXPECT_EQ(StockMusicName(t.pictures.music), "BREAK");
    EXPECT_EQ(t.pictures.hdArt[2], png(1280, 960));
    EXPECT_FALSE(t.pictures.infoPhoto.empty()) << "the 8-bit copy is kept by default";
    EXPECT_EQ(CheckTrackComplete(t).text,
              "Main course segments not specified.\r\nExtended courses not specified.\r\nCheckpoints not specified.\r\n");

    t.mainCourse.insertSegment(0);
    for (int c : {0, 1}) {
        t.extendedCourses[size_t(c)] = std::make_unique<Course>();
        t.extendedCourses[size_t(c)]->insertSegment(0);
    }
    auto checkpoint = std::make_unique<TrackObject>();
    checkpoint->type = kObjectCheckpoint;
    ASSERT_GE(t.AddObject(std::move(checkpoint)), 0);
    EXPECT_EQ(CheckTrackComplete(t).text, "");

    const fs::path pod = root / "dust.pod";
    ASSERT_TRUE(doc->WritePod(QString::fromStdString(pod.string()), false));
    auto back = std::make_unique<CTrackPOD>();
    ASSERT_TRUE(back->Load(pod, 0));
    EXPECT_EQ(back->trackName.str(), "Dust Bowl");
    EXPECT_EQ(back->pictures.hdArt[0], png(514, 420));
    const std::string description(back->pictures.infoDescription.begin(), back->pictures.infoDescription.end());
    EXPECT_EQ(description.substr(0, 25), "Dust Bowl\r\n\r\nDry and fast");
}
