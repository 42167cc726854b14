#include "TestSupport.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "app/TextureTransitionsDlg.h"
#include "app/TexturesBox.h"
#include "app/TrackPaletteDlg.h"
#include "art/Texture.h"
#include "art/TrackPaletteFile.h"
#include "base/ProgramSettings.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "trackart/TrackPaletteOptimiser.h"

#include "AppTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
using ravok::test::TempDir;

namespace {

uint16_t cell(const CTrackPOD& t, int x, int y) {
    return t.terrain.textures[size_t(y * 256 + x)];
}

// A frame in texture mode with its art folders in a temporary folder.
struct TextureFrame {
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    CRavokView& view = *frame.view();
    CTrackPOD& track = doc.track();
    TextureFrame() {
        std::filesystem::create_directories(settings.artFolder);
        std::filesystem::create_directories(settings.modelsFolder);
        frame.setEditMode(ravok::EditMode::Textures);
    }
};

} // namespace

TEST(TexturePainting, PaintModeSelectsTheShiftedRectangleFillsAndUndoes) {
    app();
    TextureFrame f;
    auto* bar = f.frame.modeBar(ravok::EditMode::Textures);
    ASSERT_TRUE(bar->isVisibleTo(&f.frame));
    auto* width = bar->findChild<QSpinBox*>(QStringLiteral("Width"));
    auto* height = bar->findChild<QSpinBox*>(QStringLiteral("Height"));
    EXPECT_FALSE(width->isEnabled()); // disabled while paint mode is off
    bar->findChild<QCheckBox*>(QStringLiteral("Paint Mode"))->setChecked(true);
    EXPECT_TRUE(width->isEnabled());
    width->setValue(5);
    height->setValue(5);
    f.track.terrain.textures[5] = 0x4007; // (5, 0): outside the rectangle
    f.doc.setTextureSelection(3, {3});
    ASSERT_TRUE(f.view.TextureClick({1, 1}, false));
    EXPECT_EQ(f.view.textureMode().selection, (TextureSelection{0, 0, 4, 4}));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(cell(f.track, x, y), 3) << x << "," << y;
    EXPECT_EQ(cell(f.track, 5, 0), 0x4007);
    EXPECT_EQ(cell(f.track, 0, 5), 0);
    EXPECT_TRUE(f.doc.isModified());

    // The Edit menu's Undo restores the rectangle once in texture mode.
    ASSERT_TRUE(f.view.Undo());
    EXPECT_EQ(cell(f.track, 2, 2), 0);
    EXPECT_FALSE(f.view.Undo());

    // Another mode clears the texture selection.
    f.frame.setEditMode(ravok::EditMode::Terrain);
    EXPECT_TRUE(f.view.textureMode().selection.empty());
}

TEST(TexturePainting, ClicksKeysAndAreaCommands) {
    app();
    TextureFrame f;
    f.view.TextureClick({10, 10}, false);
    f.view.TextureClick({5, 12}, true); // x below x0: the old x0 becomes x1
    EXPECT_EQ(f.view.textureMode().selection, (TextureSelection{5, 10, 10, 12}));
    f.view.TextureClick({20, 20}, false);
    f.view.TextureClick({21, 20}, true);
    // The Textures box's Apply fills the selection as Space does.
    f.doc.setTextureSelection(8, {8});
    f.frame.texturesBox()->findChild<QPushButton*>(QStringLiteral("apply"))->click();
    EXPECT_EQ(cell(f.track, 20, 20), 8);
    EXPECT_EQ(cell(f.track, 21, 20), 8);
    EXPECT_EQ(cell(f.track, 22, 20), 0);
    f.doc.setTextureSelection(7, {7});
    QTest::keyClick(&f.view, Qt::Key_Space);
    EXPECT_EQ(cell(f.track, 20, 20), 7);
    EXPECT_EQ(cell(f.track, 21, 20), 7);
    QTest::keyClick(&f.view, Qt::Key_R, Qt::ControlModifier); // each cell a quarter turn
    EXPECT_EQ(cell(f.track, 20, 20), 0x4007);
    QTest::keyClick(&f.view, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(cell(f.track, 21, 20), 0x5007);
    // R again acts only after the view's next 55 ms tick.
    QTest::qWait(60); // R acts again after the view's next 55 ms tick
    // R turns the 2 x 1 block into a 1 x 2 block from the same corner; the
    // mirrored cells turn back.
    QTest::keyClick(&f.view, Qt::Key_R);
    EXPECT_EQ(cell(f.track, 20, 20), 0x1007);
    EXPECT_EQ(cell(f.track, 20, 21), 0x1007);

    // Copy Area, then Paste Area (Ctrl+V's Paste) reads the source now.
    ASSERT_TRUE(f.view.CopyTextureArea());
    f.track.terrain.textures[20 * 256 + 21] = 9;
    f.view.TextureClick({100, 100}, false);
    f.view.TextureClick({101, 100}, true);
    ASSERT_TRUE(f.view.Paste());
    EXPECT_EQ(cell(f.track, 100, 100), 0x1007);
    EXPECT_EQ(cell(f.track, 101, 100), 9);

    // Select takes the selected square's texture into the Textures box.
    f.view.TextureClick({101, 100}, false);
    ASSERT_TRUE(f.view.SelectTexture());
    EXPECT_EQ(f.doc.selectedTexture(), 9);
}

TEST(TexturePainting, ReplaceNeedsASingleSquare) {
    app();
    TextureFrame f;
    for (int x = 0; x < 4; ++x)
        f.track.terrain.textures[size_t(x)] = uint16_t(x < 3 ? 0x4002 : 5);
    f.doc.recordEdit(QStringLiteral("Set Up")); // the squares as a step of their own, before the one undone below
    f.doc.setTextureSelection(8, {8});
    f.view.TextureClick({0, 0}, false);
    f.view.TextureClick({1, 0}, true);
    {
        ModalAnswerer answerer;
        EXPECT_FALSE(f.view.ReplaceTexture());
        ASSERT_EQ(answerer.boxes.size(), 1); // answered before the call returned
        EXPECT_TRUE(answerer.boxes.front().endsWith(QStringLiteral("Must have single square selected!")));
    }
    EXPECT_EQ(cell(f.track, 0, 0), 0x4002);
    f.view.TextureClick({2, 0}, false);
    ASSERT_TRUE(f.view.ReplaceTexture());
    EXPECT_EQ(cell(f.track, 0, 0), 8); // index only, flags cleared
    EXPECT_EQ(cell(f.track, 2, 0), 8);
    EXPECT_EQ(cell(f.track, 3, 0), 5);
    ASSERT_TRUE(f.view.Undo()); // the whole map was kept
    EXPECT_EQ(cell(f.track, 1, 0), 0x4002);
}

// The texture undo follows the slots when textures are removed, so Undo
// after a purge brings back the textures that were on the squares.
TEST(TexturePainting, UndoAfterAPurgePutsBackTheSameTextures) {
    app();
    TextureFrame f;
    for (auto& texture : f.track.terrainTextures)
        texture.reset();
    const std::vector<uint8_t> pixels(64 * 64, 1);
    for (int i = 0; i < 4; ++i) {
        auto texture = std::make_unique<Texture>();
        texture->setPicture("ART\\T" + std::to_string(i) + ".RAW", 64, 64, pixels.data());
        f.track.AddTerrainTexture(std::move(texture));
    }
    std::fill(f.track.terrain.textures.begin(), f.track.terrain.textures.end(), uint16_t(0));
    f.track.terrain.textures[9 * 256 + 9] = 3; // keeps T3 in use
    f.track.terrain.textures[0] = 3 | 0x4000;
    emit f.doc.texturesChanged();
    f.doc.recordEdit(QStringLiteral("Set Up"));
    f.view.TextureClick({0, 0}, false);
    ASSERT_TRUE(f.view.FillTextures(1));

    ModalAnswerer answerer; // Yes to the purge questions
    f.frame.texturesBox()->OnPurgeUnused(); // T2 goes; T3 becomes slot 2
    ASSERT_EQ(f.track.terrainTextures[2]->name().view(), "ART\\T3.RAW");
    ASSERT_TRUE(f.view.Undo());
    EXPECT_EQ(cell(f.track, 0, 0), 2 | 0x4000);

    // An undo that would bring back a texture that has gone puts texture 0
    // there (its turn kept); no square points past the table.
    f.view.TextureClick({0, 0}, false);
    f.view.TextureClick({9, 9}, true);
    ASSERT_TRUE(f.view.FillTextures(0));
    f.frame.texturesBox()->OnPurgeUnused(); // T1 and T3 go
    EXPECT_FALSE(f.track.terrainTextures[1]);
    EXPECT_TRUE(f.view.Undo());
    EXPECT_EQ(cell(f.track, 0, 0), 0x4000);
    EXPECT_EQ(cell(f.track, 9, 9), 0);
}

TEST(TextureTransitions, DialogAppliesOverASingleHill) {
    app();
    TextureFrame f;
    // A plateau of height 200 on the points 100..110, nothing elsewhere.
    for (int y = 100; y <= 110; ++y)
        for (int x = 100; x <= 110; ++x)
            f.track.terrain.heights[size_t(y * 256 + x)] = 200;
    for (auto& c : f.track.terrain.textures)
        c = 0x0FFF;
    f.doc.recordEdit(QStringLiteral("Set Up"));
    f.frame.OnTextureTransitions();
    auto* dialog = f.frame.transitionsDialog();
    ASSERT_TRUE(dialog);
    auto* apply = dialog->findChild<QPushButton*>(QStringLiteral("Apply"));
    {
        ModalAnswerer answerer;
        apply->click();
        ASSERT_EQ(answerer.boxes.size(), 1); // answered before the call returned
        EXPECT_TRUE(answerer.boxes.front().endsWith(QStringLiteral("One or more textures not specified!")));
    }
    EXPECT_EQ(cell(f.track, 105, 105), 0x0FFF);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            f.doc.setTextureSelection(r * 3 + c + 1, {r * 3 + c + 1});
            dialog->cellButton(r, c)->click();
        }
    f.doc.setTextureSelection(20, {20});
    dialog->outerButton()->click();
    apply->click();
    EXPECT_EQ(cell(f.track, 105, 105), 5); // the top: the centre (1, 1)
    EXPECT_EQ(cell(f.track, 99, 105), 4);  // code 10 (right corners inside): (1, 0)
    EXPECT_EQ(cell(f.track, 110, 105), 6); // code 5 (left corners inside): (1, 2)
    EXPECT_EQ(cell(f.track, 99, 99), 7);   // code 8: (2, 0)
    EXPECT_EQ(cell(f.track, 0, 0), 20);    // outer
    EXPECT_TRUE(f.doc.isModified());

    // With the top above "Fill up to:" the top is left alone, the slopes are not.
    ASSERT_TRUE(f.view.Undo());
    const auto spins = dialog->findChildren<QSpinBox*>();
    ASSERT_EQ(spins.size(), 2);
    spins[0]->setValue(150); // Fill up to
    apply->click();
    EXPECT_EQ(cell(f.track, 105, 105), 0x0FFF);
    EXPECT_EQ(cell(f.track, 99, 105), 4);
    EXPECT_EQ(f.view.textureMode().transitions.fillUpValue, 150); // kept for the next opening

    // Removing texture 5 unsets the centre and moves the later slots down.
    f.view.TextureRemoved(5);
    const TransitionSettings& kept = f.view.textureMode().transitions;
    EXPECT_EQ(kept.picture[1][1], -1);
    EXPECT_EQ(kept.picture[1][0], 4);
    EXPECT_EQ(kept.picture[2][2], 8);
    EXPECT_EQ(kept.outer, 19);
}

TEST(TrackPaletteDialog, OkKeepsAnMtm2PaletteThroughSaveAndOpen) {
    app();
    TextureFrame f;
    PaletteColours loaded{};
    for (int i = 0; i < 256; ++i)
        loaded[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    const auto pal = f.dir / "mine.pal";
    ASSERT_TRUE(SavePaletteFile(pal, PaletteFileKind::Riff, loaded));
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CTrackPaletteDlg*>(modal);
        if (!dialog) return false;
        EXPECT_FALSE(dialog->loadFile(f.dir / "missing.pal", PaletteFileKind::Riff));
        EXPECT_TRUE(dialog->loadFile(pal, PaletteFileKind::Riff));
        dialog->selectEntry(200);
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("Green"))->text(), QStringLiteral("55"));
        dialog->accept();
        return true;
    });
    f.frame.OnTrackPalette();
    const PaletteColours& now = f.track.palette.colours();
    for (int i = 0; i < kFirstFixedColour; ++i)
        ASSERT_EQ(now[size_t(i)], loaded[size_t(i)]) << i;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(now[size_t(kFirstFixedColour + i)], FixedColours[size_t(i)]);
    ASSERT_FALSE(f.track.fogMap.empty());
    EXPECT_EQ(f.track.fogMap[0], kCustomPaletteIndex);
    ASSERT_TRUE(f.doc.customPalette); // what Custom in the Track Components installs
    EXPECT_EQ(*f.doc.customPalette, now);
    const DisplayColourIndices expected = DisplayColourIndicesFor(f.track.palette);
    EXPECT_EQ(f.view.displayColourIndices().background, expected.background);
    EXPECT_EQ(f.view.displayColourIndices().grid, expected.grid);
    EXPECT_TRUE(f.doc.isModified());

    const QString file = QString::fromStdString((f.dir / "custom.rvk").string());
    ASSERT_TRUE(f.doc.OnSaveDocument(file));
    ASSERT_TRUE(f.doc.OnNewDocument());
    EXPECT_NE(f.track.palette.colours()[100], loaded[100]);
    ASSERT_TRUE(f.doc.OnOpenDocument(file));
    EXPECT_EQ(f.track.palette.colours(), now);
}

TEST(TrackPaletteDialog, OptimiseReadsTheUsedTexturesOrSaysItCannot) {
    app();
    TempDir dir;
    ProgramSettings settings = defaultSettings(dir.path());
    std::filesystem::create_directories(settings.artFolder);
    CRavokDoc doc(settings);
    test::ScriptedPrompter prompter;
    doc.setPrompter(&prompter);
    std::vector<uint8_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i % 4);
    doc.track().terrainTextures[0] = std::make_unique<Texture>();
    doc.track().terrainTextures[0]->setPicture("ART\\GRASS.RAW", 64, 64, pixels.data());
    CTrackPaletteDlg dialog(doc);
    const PaletteColours before = dialog.colours();
    EXPECT_FALSE(dialog.optimise()); // no file of the texture in the art folder
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], ": Error calculating palette!");
    EXPECT_EQ(dialog.colours(), before);

    std::vector<uint8_t> act(768, 0);
    for (int i = 0; i < 4; ++i)
        act[size_t(i * 3)] = uint8_t(60 * (i + 1)); // reds
    test::writeBytes(settings.artFolder / "grass.raw", pixels);
    test::writeBytes(settings.artFolder / "grass.act", act);
    ASSERT_TRUE(dialog.optimise());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(dialog.colours()[size_t(i)], kSystemPaletteColours[size_t(i)]);
    // Red 180 (not a primary's cell) comes after the system colours and the 28 primaries.
    const auto& c = dialog.colours();
    EXPECT_NE(std::find(c.begin() + 38, c.begin() + 246, RgbColour{22 * 8 + 7, 7, 7}), c.begin() + 246);
}

TEST(TexturePainting, MenusFollowTheSelectionAndSource) {
    app();
    TextureFrame f;
    QMenu* textures = f.frame.findChild<QMenu*>(QStringLiteral("Textures"));
    ASSERT_TRUE(textures);
    auto entry = [&](const QString& text) -> QAction* {
        emit textures->aboutToShow();
        for (QAction* a : textures->actions())
            if (a->text() == text) return a;
        return nullptr;
    };
    ASSERT_TRUE(entry(QStringLiteral("Rotate 90°\tCtrl+R")));
    EXPECT_FALSE(entry(QStringLiteral("Rotate 90°\tCtrl+R"))->isEnabled());
    f.view.TextureClick({3, 3}, false);
    EXPECT_TRUE(entry(QStringLiteral("Mirror Area\tM"))->isEnabled());
    EXPECT_FALSE(entry(QStringLiteral("Paste Area\tCtrl+V"))->isEnabled()); // no source yet
    entry(QStringLiteral("Copy Area"))->trigger();
    EXPECT_TRUE(entry(QStringLiteral("Paste Area\tCtrl+V"))->isEnabled());
    f.track.terrain.textures[3 * 256 + 3] = 0x0011;
    entry(QStringLiteral("Rotate 90°\tCtrl+R"))->trigger();
    EXPECT_EQ(cell(f.track, 3, 3), 0x4011);

    QStringList special;
    for (QAction* menu : f.frame.menuBar()->actions())
        if (menu->text() == QStringLiteral("&Special"))
            for (QAction* a : menu->menu()->actions())
                special << a->text();
    EXPECT_TRUE(special.contains(QStringLiteral("Texture Transitions")));
    EXPECT_TRUE(special.contains(QStringLiteral("Track &Palette...")));
}
