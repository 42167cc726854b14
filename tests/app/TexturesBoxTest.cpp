#include "app/TexturesBox.h"
#include "app/DibClipboard.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/TextureAnimationDlg.h"
#include "app/TextureCells.h"
#include "art/Picture.h"
#include "art/TextureFolderWorker.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"
#include "trackart/TextureCut.h"

#include "AppTestSupport.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
namespace fs = std::filesystem;

namespace {

void writePng(const fs::path& path, int side) {
    const size_t stride = DibStride(side);
    std::vector<uint8_t> bgr(stride * size_t(side), 0);
    for (size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = uint8_t(i * 5);
    std::string message;
    ASSERT_TRUE(WritePng(path, bgr.data(), side, side, stride, message)) << message;
}

void addTextures(CTrackPOD& track, int count) {
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> pixels(64 * 64, uint8_t(i));
        auto t = std::make_unique<Texture>();
        t->setPicture("ART\\T" + std::to_string(i) + ".RAW", 64, 64, pixels.data());
        track.AddTerrainTexture(std::move(t));
    }
}

// An 8-bit square bitmap of grey levels.
DibImage greyBitmap(int side) {
    DibImage dib;
    dib.width = dib.height = side;
    for (int i = 0; i < 256; ++i)
        dib.palette.push_back({uint8_t(i), uint8_t(i), uint8_t(i), 0});
    dib.colorsUsed = 256;
    dib.bits.assign(size_t(dib.pixelBytes()), 0);
    for (size_t i = 0; i < dib.bits.size(); ++i)
        dib.bits[i] = uint8_t(i % 251);
    return dib;
}

void press(CTextureCells* cells, int index, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(cells, Qt::LeftButton, modifiers, cells->cellRect(index).center());
}

// A left-button drag from one cell to another.
void drag(CTextureCells* cells, int from, int to) {
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, cells->cellRect(from).center());
    const QPoint over = cells->cellRect(to).center();
    QMouseEvent move(QEvent::MouseMove, over, cells->mapToGlobal(over), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(cells, &move);
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, over);
}

// A document and its box on an art folder of the test's own.
struct BoxFixture : ::testing::Test {
    test::TempDir art;
    ProgramSettings settings = [this] {
        ProgramSettings s = defaultSettings(art.path());
        s.artFolder = art.path();
        s.keepHdArtOnly = false;
        return s;
    }();
    std::unique_ptr<CRavokDoc> doc;
    std::unique_ptr<CTexturesBox> box;

    BoxFixture() { app(); }
    void open() {
        doc = std::make_unique<CRavokDoc>(settings);
        box = std::make_unique<CTexturesBox>(*doc, settings);
        box->resize(300, 700); // four cells to a row
        box->show();
    }
    void TearDown() override {
        box.reset();
        doc.reset();
    }
    // Generous: a page of 96 thumbnails under the sanitisers on a loaded machine takes seconds.
    bool pageShows(size_t cells) {
        return QTest::qWaitFor([&] { return box->folderPage()->cells().size() == cells; }, 30000);
    }
};

} // namespace

TEST_F(BoxFixture, LoadingTextureFilesAddsThemWhileTheWorkerWaits) {
    writePng(art / "GRASS.PNG", 64);
    writePng(art / "ROAD_N.PNG", 64);
    open();
    box->askTextureFiles = [&] { return QStringList{QString::fromStdString((art / "GRASS.PNG").string())}; };
    box->OnLoadTextures();
    const int slot = doc->track().FindTexture("ART\\GRASS.RAW");
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(fs::exists(art / "GRASS.RAW"));
    EXPECT_TRUE(fs::exists(art / "GRASS.ACT"));
    EXPECT_EQ(doc->selectedTexture(), slot); // the first added becomes the selected one
    EXPECT_EQ(box->gridSlots(), std::vector<int>{slot});
    EXPECT_TRUE(doc->isModified());

    // The second time: "already loaded", shown while the load still holds the worker.
    bool pausedDuringLoad = false;
    ModalAnswerer answerer([&](QWidget*) {
        pausedDuringLoad = box->worker().pauseGate().paused();
        return false;
    });
    box->OnLoadTextures();
    ASSERT_EQ(answerer.boxes.size(), 1);
    EXPECT_EQ(answerer.boxes[0], QStringLiteral("Ravok: Texture \"GRASS.RAW\" already loaded."));
    EXPECT_TRUE(pausedDuringLoad);
    EXPECT_FALSE(box->worker().pauseGate().paused());

    box->askTextureFiles = [&] { return QStringList{QString::fromStdString((art / "ROAD_N.PNG").string())}; };
    box->OnLoadTextures();
    ASSERT_EQ(answerer.boxes.size(), 2);
    EXPECT_TRUE(answerer.boxes[1].startsWith(QStringLiteral("Normal map: \"ROAD_N.PNG\" is a NORMAL MAP")));
    EXPECT_LT(doc->track().FindTexture("ART\\ROAD_N.RAW"), 0);
    EXPECT_EQ(box->gridSlots().size(), 1u);
}

TEST_F(BoxFixture, ClicksDragsAndShiftClicksSelectInTheDocument) {
    open();
    addTextures(doc->track(), 10);
    emit doc->texturesChanged();
    CTextureCells* grid = box->textureGrid();
    ASSERT_EQ(grid->cells().size(), 10u);
    ASSERT_EQ(grid->columns(), 4);
    QSignalSpy told(doc.get(), &CRavokDoc::textureSelectionChanged);

    press(grid, 2);
    EXPECT_EQ(doc->selectedTexture(), 2);
    EXPECT_EQ(doc->textureSelection(), std::vector<int>{2});
    drag(grid, 1, 6); // columns 1..2 of rows 0..1
    EXPECT_EQ(doc->selectedTexture(), 1);
    EXPECT_EQ(doc->textureSelection(), (std::vector<int>{1, 2, 5, 6}));
    press(grid, 9, Qt::ShiftModifier); // adds
    press(grid, 1, Qt::ShiftModifier); // removes the selected one: the next takes its place
    EXPECT_EQ(doc->textureSelection(), (std::vector<int>{2, 5, 6, 9}));
    EXPECT_EQ(doc->selectedTexture(), 2);
    EXPECT_GE(told.count(), 4);

    // Type and Grip depth act on the whole selection.
    box->findChild<QSpinBox*>(QStringLiteral("Type"))->setValue(6);
    box->findChild<QSpinBox*>(QStringLiteral("Grip depth"))->setValue(40);
    for (int slot : {2, 5, 6, 9}) {
        EXPECT_EQ(doc->track().terrainTextures[size_t(slot)]->surfaceType(), 6) << slot;
        EXPECT_EQ(doc->track().terrainTextures[size_t(slot)]->gripDepth(), 40) << slot;
    }
    EXPECT_EQ(doc->track().terrainTextures[1]->surfaceType(), 0);
    press(grid, 1);
    EXPECT_EQ(box->findChild<QSpinBox*>(QStringLiteral("Type"))->value(), 0); // shows the selected texture's

    // A selection made elsewhere shows in the grid; a new track clears it.
    doc->setTextureSelection(7, {7});
    EXPECT_EQ(box->findChild<QSpinBox*>(QStringLiteral("Type"))->value(), 0);
    doc->askToSave = [](const QString&) { return 0; };
    doc->OnNewDocument();
    EXPECT_EQ(doc->selectedTexture(), -1);
    EXPECT_TRUE(box->gridSlots().empty());
}

TEST_F(BoxFixture, CtrlClickingNineTexturesKeepsEightFramesAndTheDialogEditsThem) {
    open();
    addTextures(doc->track(), 10);
    emit doc->texturesChanged();
    CTextureCells* grid = box->textureGrid();
    ModalAnswerer answerer;
    press(grid, 0);
    for (int cell = 1; cell <= 8; ++cell)
        press(grid, cell, Qt::ControlModifier);
    ASSERT_EQ(doc->track().animations.count(), 1);
    EXPECT_EQ(doc->track().animations.animations()[0].frameCount, 8u);
    EXPECT_EQ(answerer.boxes, QStringList{QStringLiteral("Ravok: Max. 8 frames per animation.")});
    EXPECT_EQ(doc->selectedTexture(), 0); // Ctrl+click adds frames, it does not select
    EXPECT_TRUE(grid->cells()[0].marked);
    EXPECT_FALSE(grid->cells()[1].marked);

    QStringList frames;
    int periodAfterChange = 0;
    bool previewMoved = false;
    ModalAnswerer dialogs([&](QWidget* modal) {
        auto* dialog = qobject_cast<CTextureAnimationDlg*>(modal);
        if (!dialog) return false;
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("frames"));
        for (int i = 0; i < list->count(); ++i)
            frames << list->item(i)->text();
        EXPECT_EQ(dialog->previewTimer().interval(), 250);
        dialog->findChild<QSpinBox*>(QStringLiteral("period"))->setValue(60);
        periodAfterChange = dialog->previewTimer().interval();
        previewMoved = QTest::qWaitFor([&] { return dialog->previewFrame() >= 2; }, 3000);
        dialog->findChild<QPushButton*>(QStringLiteral("unanimate"))->click();
        return true;
    });
    box->OnAnimation();
    EXPECT_EQ(frames,
              (QStringList{"T0.RAW", "T1.RAW", "T2.RAW", "T3.RAW", "T4.RAW", "T5.RAW", "T6.RAW", "T7.RAW"}));
    EXPECT_EQ(periodAfterChange, 60);
    EXPECT_TRUE(previewMoved);
    EXPECT_EQ(doc->track().animations.count(), 0);
    EXPECT_FALSE(grid->cells()[0].marked);
}

TEST_F(BoxFixture, PasteTakesA64SquareAndAsksForAUniqueName) {
    open();
    SetClipboardDib(greyBitmap(128));
    QStringList names{QStringLiteral("a b"), QStringLiteral("rock.bmp")};
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* name = qobject_cast<QInputDialog*>(modal);
        if (!name || names.isEmpty()) return false;
        EXPECT_EQ(name->labelText(), QStringLiteral("Specify a unique texture name:"));
        name->setTextValue(names.takeFirst());
        name->accept();
        return true;
    });
    box->OnPasteTexture();
    EXPECT_EQ(answerer.boxes, QStringList{QStringLiteral("Ravok: Bitmap must be 64x64 or 256x256.")});
    EXPECT_TRUE(box->gridSlots().empty());

    SetClipboardDib(greyBitmap(64));
    box->OnPasteTexture();
    EXPECT_TRUE(names.isEmpty()); // asked twice: the blank was refused
    EXPECT_EQ(answerer.boxes.last(), QStringLiteral("Ravok: Invalid character(s) in name!"));
    const int slot = doc->track().FindTexture("ART\\ROCK.RAW");
    ASSERT_GE(slot, 0);
    EXPECT_EQ(doc->selectedTexture(), slot);
    EXPECT_EQ(fs::file_size(art / "rock.raw"), 4096u);
    EXPECT_TRUE(fs::exists(art / "rock.act"));
    EXPECT_TRUE(pageShows(1)); // the folder was browsed again
}

TEST_F(BoxFixture, TheWorkerFillsPagesAndWaitsWhileAWriteHoldsIt) {
    for (int i = 0; i < 100; ++i)
        test::writeBytes(art / ("T" + std::to_string(100 + i) + ".RAW"),
                         std::vector<uint8_t>(4096, uint8_t(i)));
    open();
    ASSERT_TRUE(pageShows(96));
    auto* label = box->findChild<QLabel*>(QStringLiteral("pageLabel"));
    EXPECT_EQ(label->text(), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(box->pageNames().size(), 96u);
    EXPECT_EQ(box->folderPage()->cells()[0].name, QStringLiteral("T100.RAW"));

    {
        TextureFolderPause::Pauser writing(&box->worker().pauseGate());
        box->OnNextPage();
        QTest::qWait(200);
        EXPECT_TRUE(box->folderPage()->cells().empty()); // nothing made while paused
    }
    ASSERT_TRUE(pageShows(4));
    EXPECT_EQ(label->text(), QStringLiteral("Page 2 of 2"));

    // Add page adds the four of this page.
    box->OnAddPage();
    EXPECT_EQ(box->gridSlots().size(), 4u);
    EXPECT_GE(doc->track().FindTexture("ART\\T199.RAW"), 0);

    // Delete File refuses a texture of the track and deletes one that is not.
    ModalAnswerer answerer(
        [](QWidget* modal) { return ModalAnswerer::press(modal, "permanently", QMessageBox::Yes); });
    box->setCurrentFile(QStringLiteral("T199.RAW"));
    box->OnDeleteFile();
    EXPECT_EQ(answerer.boxes.last(), QStringLiteral("Ravok: Texture \"T199.RAW\" is being used!"));
    box->OnPreviousPage();
    ASSERT_TRUE(pageShows(96));
    box->setCurrentFile(QStringLiteral("T100.RAW"));
    box->OnDeleteFile();
    EXPECT_EQ(answerer.boxes.last(),
              QStringLiteral("Delete Texture: Sure you want to permanently delete \"T100.RAW\"?"));
    EXPECT_FALSE(fs::exists(art / "T100.RAW"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto& cells = box->folderPage()->cells();
            return !cells.empty() && cells.front().name == "T101.RAW";
        },
        30000));
}

// Delete File removes the files of the entry its question names: the legacy
// .RAW and .ACT of a .RAW entry leave its HD picture alone, and a picture goes
// only when it is the entry asked about; a picture whose texture is in the
// track stays.
TEST_F(BoxFixture, DeleteFileRemovesAnHdPictureOnlyWhenItsQuestionNamesIt) {
    for (const char* stem : {"GRASS", "SAND", "ROCK"}) {
        writePng(art / (std::string(stem) + ".PNG"), 64);
        test::writeBytes(art / (std::string(stem) + ".RAW"), std::vector<uint8_t>(4096, 3));
        test::writeBytes(art / (std::string(stem) + ".ACT"), std::vector<uint8_t>(768, 3));
    }
    open();
    auto rock = std::make_unique<Texture>();
    const std::vector<uint8_t> pixels(4096, 3);
    rock->setPicture("ART\\ROCK.RAW", 64, 64, pixels.data());
    doc->track().AddTerrainTexture(std::move(rock));
    ModalAnswerer answerer(
        [](QWidget* modal) { return ModalAnswerer::press(modal, "permanently", QMessageBox::Yes); });

    box->setCurrentFile(QStringLiteral("GRASS.RAW"));
    box->OnDeleteFile();
    EXPECT_EQ(answerer.boxes.last(),
              QStringLiteral("Delete Texture: Sure you want to permanently delete \"GRASS.RAW\"?"));
    EXPECT_FALSE(fs::exists(art / "GRASS.RAW") || fs::exists(art / "GRASS.ACT"));
    EXPECT_TRUE(fs::exists(art / "GRASS.PNG")) << "the question did not name the picture";

    box->setCurrentFile(QStringLiteral("SAND.PNG"));
    box->OnDeleteFile();
    EXPECT_EQ(answerer.boxes.last(),
              QStringLiteral("Delete Texture: Sure you want to permanently delete \"SAND.PNG\"?"));
    EXPECT_FALSE(fs::exists(art / "SAND.PNG"));

    box->setCurrentFile(QStringLiteral("ROCK.PNG"));
    box->OnDeleteFile();
    EXPECT_EQ(answerer.boxes.last(), QStringLiteral("Ravok: Texture \"ROCK.PNG\" is being used!"));
    EXPECT_TRUE(fs::exists(art / "ROCK.PNG") && fs::exists(art / "ROCK.RAW") && fs::exists(art / "ROCK.ACT"));
}

TEST_F(BoxFixture, PurgeAndDeleteRenumberTheSelectionAndTellTheOthers) {
    open();
    addTextures(doc->track(), 5);
    auto& cells = doc->track().terrain.textures;
    cells[0] = 0;
    cells[1] = 2 | 0x4000; // turned once
    cells[2] = 4;
    emit doc->texturesChanged();
    doc->setTextureSelection(4, {3, 4});
    QSignalSpy changed(doc.get(), &CRavokDoc::texturesChanged);
    QSignalSpy removed(box.get(), &CTexturesBox::texturesRemoved);
    ModalAnswerer answerer([](QWidget* modal) {
        return ModalAnswerer::press(modal, "unused", QMessageBox::Yes) ||
               ModalAnswerer::press(modal, "anyway", QMessageBox::Yes);
    });
    box->findChild<QPushButton*>(QStringLiteral("purge"))->click();
    EXPECT_EQ(answerer.boxes.last(),
              QStringLiteral("Purge Textures: There are 2 unused textures.\nGo ahead and remove them?"));
    EXPECT_EQ(box->gridSlots(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(doc->selectedTexture(), 2); // texture 4 is slot 2 now; slot 3 went
    EXPECT_EQ(doc->textureSelection(), std::vector<int>{2});
    EXPECT_EQ(cells[1], 1 | 0x4000);
    EXPECT_EQ(changed.count(), 1);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][0].value<QList<int>>(), (QList<int>{3, 1}));

    // Delete Texture on one in use asks first, then its cell takes texture 0.
    box->findChild<QPushButton*>(QStringLiteral("deleteTexture"))->click();
    EXPECT_TRUE(answerer.boxes.last().startsWith(QStringLiteral(
        "Delete Texture: Texture \"ART\\T4.RAW\" is used by 1 terrain cells, 0 ground box faces")));
    EXPECT_EQ(box->gridSlots(), (std::vector<int>{0, 1}));
    EXPECT_EQ(cells[2], 0);
    EXPECT_EQ(doc->selectedTexture(), -1);
    EXPECT_EQ(removed[1][0].value<QList<int>>(), QList<int>{2});
}

TEST_F(BoxFixture, HdTexturesSkippedIsShownOncePerFolderAndCount) {
    writePng(art / "GRASS.PNG", 64);
    writePng(art / "ODD.PNG", 48);
    ModalAnswerer answerer;
    open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.boxes.isEmpty(); }, 5000));
    EXPECT_TRUE(answerer.boxes[0].startsWith(QStringLiteral("HD textures skipped: Some OTHER files")));
    EXPECT_TRUE(answerer.boxes[0].contains(QStringLiteral("    ODD.PNG - \"ODD.PNG\" is 48x48")));
    EXPECT_TRUE(fs::exists(art / "GRASS.RAW")); // the rest converted
    ASSERT_TRUE(pageShows(3)); // GRASS.PNG, ODD.PNG (thumbnails need no texture rules), GRASS.RAW

    box->refreshFolder();
    QTest::qWait(300);
    EXPECT_EQ(answerer.boxes.size(), 1); // same folder, same count
    writePng(art / "ODD2.PNG", 48);
    box->refreshFolder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.boxes.size() == 2; }, 5000));
}

TEST(TexturesBoxInFrame, DockedRightWithAViewMenuToggle) {
    app();
    ProgramSettings settings = defaultSettings("/tmp");
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    CTexturesBox* box = frame.texturesBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(frame.dockWidgetArea(box), Qt::RightDockWidgetArea);
    QAction* toggle = nullptr;
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == QStringLiteral("&View"))
            for (QAction* item : menu->menu()->actions())
                if (item == box->toggleViewAction()) toggle = item;
    EXPECT_TRUE(toggle);
}

TEST_F(BoxFixture, PasteCompositeCutsTheClipboardPictureAndReopensOnAUsedName) {
    open();
    EXPECT_FALSE(
        box->findChild<QPushButton*>(QStringLiteral("pasteComposite"))->isEnabled()); // no dialog yet
    QImage picture(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 4, (x * y) & 255)); // many colours
    QGuiApplication::clipboard()->setImage(picture);
    int shown = 0;
    CutSource seen;
    box->setCutDialog([&](CutSource& source, CutSettings& cut) {
        seen = source;
        if (++shown > 2) return false;
        cut.tileSize = 64;
        cut.columns = 2;
        cut.rows = 1;
        cut.left = cut.top = 0;
        cut.output = CutOutput::RawAct;
        cut.baseName = "base";
        return true;
    });
    box->OnPasteComposite();
    EXPECT_EQ(seen.kind, CutSourceKind::TrueColour);
    EXPECT_EQ(seen.width, 128);
    EXPECT_GE(doc->track().FindTexture("ART\\BASE00.RAW"), 0);
    EXPECT_GE(doc->track().FindTexture("ART\\BASE10.RAW"), 0);
    EXPECT_EQ(fs::file_size(art / "BASE10.RAW"), 4096u);
    EXPECT_EQ(box->gridSlots().size(), 2u);
    EXPECT_EQ(settings.texCutFormat, uint32_t(CutOutput::RawAct));

    // The same base name again: refused before any write, and the dialog opens again.
    ModalAnswerer answerer;
    box->OnPasteComposite();
    EXPECT_EQ(shown, 3);
    ASSERT_EQ(answerer.boxes.size(), 1);
    EXPECT_EQ(answerer.boxes[0],
              QStringLiteral("Paste Composite: The track already has a texture called BASE00.\n\n"
                             "Nothing has been written.  Choose another base name."));
    EXPECT_EQ(box->gridSlots().size(), 2u);
}
