#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::app;

namespace {

// The frame on a new track, the view looking straight down on square (100, 100).
struct TerrainToolsWiring : ::testing::Test {
    QApplication& application = app();
    test::TempDir root;
    ProgramSettings settings = [this] {
        ProgramSettings s = defaultSettings(root.path());
        s.useOpenGL = true; // picking in the widget's own pixels
        return s;
    }();
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    CRavokView& view = *frame.view();
    QToolBar* bar = frame.modeBar(EditMode::Terrain);
    QComboBox* tool = bar->findChild<QComboBox*>(QStringLiteral("tool"));
    QSpinBox* altitude = bar->findChild<QSpinBox*>(QStringLiteral("Altitude"));

    void SetUp() override {
        frame.resize(900, 700);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        view.camera().pitch = 1800;
        view.camera().z = 3 * 250;
        view.JumpTo(100 * 64, 100 * 64);
        frame.setEditMode(EditMode::Terrain);
        QMouseEvent move(QEvent::MouseMove, QPointF(view.rect().center()),
                         QPointF(view.mapToGlobal(view.rect().center())), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&view, &move);
        ASSERT_TRUE(view.hoveredSquare());
    }
    int heightUnder() const {
        const GridSquare s = *view.hoveredSquare();
        return doc.track().terrain.height(s.x, s.y);
    }
    QString undoText() {
        for (QAction* menu : frame.menuBar()->actions())
            if (menu->text() == QStringLiteral("&Edit")) {
                emit menu->menu()->aboutToShow();
                return menu->menu()->findChild<QAction*>(QStringLiteral("undo"))->text();
            }
        return {};
    }
};

} // namespace

// Choosing a tool on the bar gives the view the Altitude the bar then shows:
// Plane flattens to Plane's value, not the brush tools'.
TEST_F(TerrainToolsWiring, ToolChangeGivesTheViewTheAltitudeTheBarShows) {
    altitude->setValue(40);
    tool->setCurrentIndex(int(TerrainTool::Plane));
    EXPECT_EQ(altitude->value(), 100);
    EXPECT_EQ(view.terrainTool().altitude, 100);
    altitude->setValue(150);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_EQ(heightUnder(), 150);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Plane Terrain"));

    tool->setCurrentIndex(int(TerrainTool::Hill));
    EXPECT_EQ(altitude->value(), 40);
    EXPECT_EQ(view.terrainTool().altitude, 40);
    // The Terrain menu's tool list chooses as the bar does, and the bar follows.
    view.OnBarNotification(ViewCommand::TerrainTool, int(TerrainTool::Plane));
    EXPECT_EQ(tool->currentIndex(), int(TerrainTool::Plane));
    EXPECT_EQ(altitude->value(), 150);
    view.storeEditState();
    EXPECT_EQ(settings.editState.altitude, 40) << "the brush tools' value, whatever tool is chosen";
    EXPECT_EQ(settings.planeAltitude, 150);
}

// Single-point moves its point with S / X and its field, never on a click or
// Space, and has no Width or Height.
TEST_F(TerrainToolsWiring, SinglePointIgnoresClicksAndSpace) {
    tool->setCurrentIndex(int(TerrainTool::SinglePoint));
    EXPECT_EQ(altitude->value(), 1);
    EXPECT_FALSE(bar->findChild<QSpinBox*>(QStringLiteral("Width"))->isEnabled());
    EXPECT_FALSE(bar->findChild<QSpinBox*>(QStringLiteral("Height"))->isEnabled());
    const int before = heightUnder();
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rect().center());
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_EQ(heightUnder(), before);
    QTest::keyClick(&view, Qt::Key_S);
    EXPECT_EQ(heightUnder(), before + 1);
    altitude->setValue(5); // the field applies its step once
    EXPECT_EQ(heightUnder(), before + 6);

    // Undo in another mode takes the last step of any mode.
    const GridSquare point = *view.hoveredSquare();
    auto height = [&] { return doc.track().terrain.height(point.x, point.y); };
    frame.setEditMode(EditMode::Objects);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Move Point"));
    ASSERT_TRUE(view.Undo());
    EXPECT_EQ(height(), before + 1);
    ASSERT_TRUE(view.Undo());
    EXPECT_EQ(height(), before);
    EXPECT_FALSE(doc.isModified()) << "undone back to the state the track was opened in";
    ASSERT_TRUE(view.Redo());
    EXPECT_EQ(height(), before + 1);
    EXPECT_TRUE(doc.isModified());
}
