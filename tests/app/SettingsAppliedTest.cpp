#include "app/ModelsBox.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "app/SettingsStore.h"
#include "app/TexturesBox.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"
#include "HillyTrackEditor.h"
#include "TestSupport.h"
#include "TestTracks.h"

#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;
using ravok::test::TempDir;

namespace {

// One run of the editor's window over the settings: restored at its start,
// stored when it closes, and the settings kept in a store file between runs.
struct Session {
    ProgramSettings settings;
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    explicit Session(const ProgramSettings& from) : settings(from) {
        frame.restoreFromSettings();
        frame.resize(1000, 700);
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    ProgramSettings close(const QString& storeFile) {
        frame.close();
        QSettings store(storeFile, QSettings::IniFormat);
        SaveSettings(store, settings);
        store.sync();
        ProgramSettings back = defaultSettings("/nowhere");
        LoadSettings(store, back);
        return back;
    }
};

int countColour(const QImage& picture, QRgb colour) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) n += (picture.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return n;
}

} // namespace

// Where the user left the Textures and Models boxes comes back at the next
// start: a floating box at its rectangle, a docked one at its width.
TEST(SettingsApplied, TheBoxesComeBackWhereTheyWereLeft) {
    app();
    TempDir dir;
    const QString storeFile = QString::fromStdString((dir / "store.ini").string());
    ProgramSettings first = defaultSettings(dir.path());
    ProgramSettings second;
    {
        Session s(first);
        CModelsBox& models = *s.frame.modelsBox();
        models.show();
        models.setFloating(true);
        models.setGeometry(150, 160, 300, 400);
        s.frame.resizeDocks({s.frame.texturesBox()}, {333}, Qt::Horizontal);
        QTest::qWait(20);
        ASSERT_NEAR(s.frame.texturesBox()->width(), 333, 2);
        second = s.close(storeFile);
    }
    EXPECT_EQ(second.modelsRect.left, 150);
    EXPECT_EQ(second.modelsRect.bottom, 560);
    EXPECT_EQ(second.texturesRect.left, -1000) << "a docked box has no rectangle";
    EXPECT_NEAR(int(second.texturePaneWidth), 333, 2);

    ProgramSettings third;
    {
        Session s(second);
        CModelsBox& models = *s.frame.modelsBox();
        EXPECT_TRUE(models.isFloating());
        models.show();
        QTest::qWait(20);
        EXPECT_EQ(models.geometry(), QRect(150, 160, 300, 400));
        EXPECT_FALSE(s.frame.texturesBox()->isFloating());
        EXPECT_NEAR(s.frame.texturesBox()->width(), 333, 2);
        // Now the other way round: the Models box docked at a width of its own, the Textures box floating.
        models.setFloating(false);
        s.frame.texturesBox()->setFloating(true);
        s.frame.texturesBox()->setGeometry(40, 50, 400, 500);
        s.frame.resizeDocks({&models}, {290}, Qt::Horizontal);
        QTest::qWait(20);
        third = s.close(storeFile);
    }
    EXPECT_EQ(third.modelsRect.left, -1000);
    EXPECT_EQ(third.texturesRect.left, 40);
    EXPECT_EQ(third.texturesRect.right, 440);
    const int modelsWidth = int(third.modelsListWidth);
    EXPECT_NEAR(modelsWidth, 290, 2);
    {
        Session s(third);
        EXPECT_TRUE(s.frame.texturesBox()->isFloating());
        EXPECT_EQ(s.frame.texturesBox()->geometry(), QRect(40, 50, 400, 500));
        // The Models box starts hidden and takes its width when it is shown.
        CModelsBox& models = *s.frame.modelsBox();
        EXPECT_FALSE(models.isFloating());
        models.show();
        QTest::qWait(20);
        EXPECT_NEAR(models.width(), modelsWidth, 2);
    }
}

// The Colors page's "Wire Overlay" draws the wire frame over the textured
// ground (Both), "Wireframe" the wire frame alone, and "Altitude Value" the
// height beside the hovered point in terrain mode.
TEST(SettingsApplied, WireOverlayAndAltitudeValueColoursAreDrawn) {
    app();
    test::HillyTrackEditor editor;
    ASSERT_TRUE(editor.show());
    CRavokDoc& doc = editor.doc;
    CRavokView& view = editor.view();
    ProgramSettings& settings = editor.settings;

    // The software frame is in the track's palette: the colours as drawn are their nearest entries.
    const TrackPalette& palette = doc.track().palette;
    settings.colors[1] = {255, 0, 255};
    settings.colors[2] = {0, 255, 255};
    const int wireIndex = palette.NearestPaletteIndex(255, 0, 255);
    const int overlayIndex = palette.NearestPaletteIndex(0, 255, 255);
    ASSERT_NE(wireIndex, overlayIndex);
    auto rgbOf = [&](int index) {
        const RgbColour& c = palette[size_t(index)];
        return qRgb(c.r, c.g, c.b);
    };
    view.OnBarNotification(ViewCommand::DisplayMode, 2); // Both
    const QImage both = view.grab().toImage();
    view.OnBarNotification(ViewCommand::DisplayMode, 1); // Wire
    const QImage wire = view.grab().toImage();
    EXPECT_GT(countColour(both, rgbOf(overlayIndex)), 1000);
    EXPECT_GT(countColour(wire, rgbOf(wireIndex)), 1000);
    EXPECT_LT(countColour(both, rgbOf(wireIndex)), countColour(wire, rgbOf(wireIndex)) / 10);
    EXPECT_LT(countColour(wire, rgbOf(overlayIndex)), countColour(both, rgbOf(overlayIndex)) / 10);

    view.OnBarNotification(ViewCommand::DisplayMode, 0);
    QTest::mouseMove(&view, QPoint(view.width() / 2, view.height() * 2 / 3));
    ASSERT_TRUE(view.hoveredSquare().has_value());
    settings.colors[4] = {250, 10, 130};
    const QImage reddish = view.grab().toImage();
    settings.colors[4] = {10, 250, 130};
    const QImage greenish = view.grab().toImage();
    // The text is all that differs, redder in the first picture and greener in the second.
    int differ = 0, redder = 0;
    for (int y = 0; y < reddish.height(); ++y)
        for (int x = 0; x < reddish.width(); ++x) {
            const QColor a = reddish.pixelColor(x, y), b = greenish.pixelColor(x, y);
            if (a == b) continue;
            ++differ;
            redder += a.red() > b.red() && a.green() < b.green();
        }
    EXPECT_GT(differ, 5);
    EXPECT_EQ(redder, differ);
}
