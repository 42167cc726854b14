#include "app/AdjustHeightsDlg.h"
#include "app/LightingDlg.h"
#include "app/RandomTerrainDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <gtest/gtest.h>

#include <set>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;

TEST(TerrainDialogs, GenerateTerrainPreviewFollowsTheControlsAndOkIsUndoable) {
    app();
    ProgramSettings settings = defaultSettings("/tmp");
    settings.autoTerrain.sliders = {90, 120, 60, 30};
    settings.seed = seedValue(17, 1); // Fractal, seed 17
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    const std::vector<uint8_t> flat(doc.track().terrain.heights.begin(), doc.track().terrain.heights.end());

    RandomTerrainParams chosen;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CRandomTerrainDlg*>(modal);
        if (!dialog) return false;
        EXPECT_FALSE(dialog->findChild<QSlider*>(QStringLiteral("slider0"))->isVisibleTo(dialog)); // no ground level
        const std::vector<uint8_t> first = dialog->heights();
        EXPECT_EQ(first, GenerateRandomTerrain(dialog->params()));
        dialog->findChild<QSlider*>(QStringLiteral("slider1"))->setValue(200);
        EXPECT_NE(dialog->heights(), first); // the preview was made again
        dialog->findChild<QRadioButton*>()->setChecked(true); // Classic
        EXPECT_EQ(dialog->params().generator, TerrainGenerator::Classic);
        chosen = dialog->params();
        dialog->accept();
        return true;
    });
    frame.OnRandomTerrain();
    const std::vector<uint8_t> expected = GenerateRandomTerrain(chosen);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), doc.track().terrain.heights.begin()));
    EXPECT_EQ(settings.autoTerrain.sliders[1], 200);
    EXPECT_EQ(generatorOf(settings.seed), 0);
    EXPECT_TRUE(doc.isModified());
    ASSERT_TRUE(frame.view()->Undo());
    EXPECT_TRUE(std::equal(flat.begin(), flat.end(), doc.track().terrain.heights.begin()));
}

TEST(TerrainDialogs, LightingShowsPercentagesAndOkLightsTheMap) {
    app();
    ProgramSettings settings = defaultSettings("/tmp");
    settings.lighting = {0, 255, 0, 0, 0}; // overhead sun, bright 255, dark 0
    CRavokDoc doc(settings);
    for (size_t i = 0; i < doc.track().terrain.heights.size(); ++i)
        doc.track().terrain.heights[i] = uint8_t((i % 256) < 128 ? 20 : 200); // a cliff
    CRavokFrame frame(doc, settings);
    QString darkLabel;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CLightingDlg*>(modal);
        if (!dialog) return false;
        auto* bright = dialog->findChild<QSlider*>(QStringLiteral("Bright"));
        EXPECT_EQ(bright->value(), -100);
        dialog->findChild<QSlider*>(QStringLiteral("Dark"))->setValue(-40);
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Dark"))) darkLabel = label->text();
        dialog->findChild<QRadioButton*>(QStringLiteral("sun2"))->setChecked(true);
        dialog->accept();
        return true;
    });
    frame.OnLighting();
    EXPECT_EQ(darkLabel, QStringLiteral("Dark\n40%"));
    EXPECT_EQ(settings.lighting.sunPosition, 2);
    EXPECT_EQ(settings.lighting.darkLevel, LightingLevelOfPercent(40));
    EXPECT_TRUE(doc.isModified());
    // The sun from the side: the two faces of the cliff are lit differently.
    std::set<int> shades;
    for (int x = 120; x < 136; ++x) shades.insert(doc.track().terrain.cells[size_t(100 * 256 + x)][0]);
    EXPECT_GT(shades.size(), 1u);
}

TEST(TerrainDialogs, WeatherMaskKeepsClearWhenEverythingIsUnticked) {
    app();
    CWeatherMaskDlg dialog(0x3);
    dialog.findChild<QCheckBox*>(QStringLiteral("Cloudy"))->setChecked(false);
    EXPECT_EQ(dialog.mask(), 1u);
    dialog.findChild<QCheckBox*>(QStringLiteral("Clear"))->setChecked(false);
    EXPECT_EQ(dialog.mask(), 1u); // nothing ticked: Clear again
    EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("Clear"))->isChecked());
}

TEST(TerrainDialogs, AdjustHeightsShowsAfterAndAvoidsClipping) {
    app();
    ProgramSettings settings = defaultSettings("/tmp");
    CRavokDoc doc(settings);
    for (size_t i = 0; i < doc.track().terrain.heights.size(); ++i)
        doc.track().terrain.heights[i] = uint8_t(100 + i % 131); // 100 .. 230
    CRavokFrame frame(doc, settings);
    QString afterTyped, afterBad;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CAdjustHeightsDlg*>(modal);
        if (!dialog) return false;
        auto* offset = dialog->findChild<QLineEdit*>(QStringLiteral("offset"));
        auto* after = dialog->findChild<QLabel*>(QStringLiteral("after"));
        offset->setText(QStringLiteral("x"));
        afterBad = after->text();
        offset->setText(QStringLiteral("50"));
        afterTyped = after->text();
        dialog->accept();
        return true;
    });
    frame.OnAdjustHeights();
    EXPECT_EQ(afterBad, QStringLiteral("- .. -"));
    EXPECT_EQ(afterTyped, QStringLiteral("125 .. 255")); // shrunk to +25
    const auto range = TerrainHeightRange(doc.track());
    EXPECT_EQ(range.lowest, 125);
    EXPECT_EQ(range.highest, 255);
    ASSERT_TRUE(frame.view()->Undo());
    EXPECT_EQ(TerrainHeightRange(doc.track()).highest, 230);
}
