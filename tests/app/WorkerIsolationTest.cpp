#include "app/ModelsBox.h"
#include "app/ProgressDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "app/TexturesBox.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include "AppTestSupport.h"
#include "HillyTrackEditor.h"
#include "TestSupport.h"
#include "TestTracks.h"

#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace ravok;
using ravok::test::app;
using ravok::test::TempDir;

namespace {

struct CameraPose {
    int x, y, z, yaw, pitch;
    bool operator==(const CameraPose&) const = default;
};

CameraPose poseOf(const ViewCamera& c) { return {c.x, c.y, c.z, c.yaw, c.pitch}; }

} // namespace

// Keys, buttons, the wheel, the bars and the flight timer reach the view
// while a worker owns the track, and the boxes and bars are there to click:
// none of them may read or change the track. The events come while the
// worker keeps writing every height, as a real worker would.
TEST(Document, InputNeitherReadsNorChangesTheTrackWhileAWorkerOwnsIt) {
    app();
    test::HillyTrackEditor editor;
    ASSERT_TRUE(editor.show());
    CRavokDoc& doc = editor.doc;
    CRavokFrame& frame = editor.frame;
    CRavokView& view = editor.view();
    const QPoint middle(view.width() / 2, view.height() * 2 / 3);
    QTest::mouseMove(&view, middle);
    ASSERT_TRUE(view.hoveredSquare().has_value()) << "the mouse is over the terrain";

    const std::vector<uint8_t> heights = doc.track().terrain.heights;
    const CameraPose pose = poseOf(view.camera());
    // What the interface sees of the boxes and bars while the worker runs.
    bool boxesEnabled = true, barsEnabled = true, flightRunning = true;
    std::atomic<bool> working{false}, sent{false};
    QTimer::singleShot(0, [&] {
        // The events come while the worker is writing.
        if (!QTest::qWaitFor([&] { return working.load(); }, 5000)) ADD_FAILURE() << "the worker never started";
        QTest::mouseMove(&view, middle + QPoint(5, 5));
        QTest::mouseClick(&view, Qt::LeftButton, {}, middle); // Raise Terrain at the hovered square
        QTest::keyClick(&view, Qt::Key_Space);                // the tool again
        QTest::keyPress(&view, Qt::Key_Up);                   // flight forward
        QTest::qWait(150);                                    // ...for some flight ticks
        QTest::keyRelease(&view, Qt::Key_Up);
        QWheelEvent wheel(QPointF(middle), QPointF(view.mapToGlobal(middle)), {}, QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        view.OnBarNotification(ViewCommand::LookStraightDown, 0);
        view.OnBarNotification(ViewCommand::EditMode, int(EditMode::Objects));
        boxesEnabled = frame.texturesBox()->isEnabled() || (frame.modelsBox() && frame.modelsBox()->isEnabled());
        barsEnabled = frame.menuBar()->isEnabled();
        for (QToolBar* bar : frame.findChildren<QToolBar*>()) barsEnabled = barsEnabled || bar->isEnabled();
        flightRunning = view.flight().forwardSpeed() != 0;
        sent = true;
    });
    const ProgressOutcome outcome = doc.runProgress([&](ProgressSink&) {
        CTrackPOD& track = doc.track();
        working = true;
        for (int i = 0; !sent || i < 10; ++i) {
            track.terrain.heights = heights; // every height written, over and over
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    });
    ASSERT_TRUE(outcome.ok);
    ASSERT_TRUE(sent);
    EXPECT_TRUE(doc.track().terrain.heights == heights) << "the heights changed";
    EXPECT_EQ(poseOf(view.camera()), pose);
    EXPECT_FALSE(flightRunning);
    EXPECT_EQ(view.editMode(), EditMode::Terrain);
    EXPECT_FALSE(view.canUndo());
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(boxesEnabled);
    EXPECT_FALSE(barsEnabled);

    // Once the worker is done, the same input acts again.
    EXPECT_TRUE(frame.texturesBox()->isEnabled());
    EXPECT_TRUE(frame.menuBar()->isEnabled());
    QTest::mouseMove(&view, middle);
    QTest::mouseClick(&view, Qt::LeftButton, {}, middle);
    EXPECT_FALSE(doc.track().terrain.heights == heights) << "the click raised the terrain";
    EXPECT_TRUE(view.canUndo());
    view.OnBarNotification(ViewCommand::LookStraightDown, 0);
    EXPECT_EQ(view.camera().pitch, 1800);
}

// A drag under way when a worker takes the track is taken as a step before
// the worker starts, from the track as the user left it.
TEST(Document, ADragUnderWayIsTakenAsAStepBeforeAWorkerStarts) {
    app();
    test::HillyTrackEditor editor;
    ASSERT_TRUE(editor.show());
    CRavokDoc& doc = editor.doc;
    CRavokView& view = editor.view();
    const QPoint middle(view.width() / 2, view.height() * 2 / 3);
    QTest::mouseMove(&view, middle);
    QTest::mousePress(&view, Qt::LeftButton, {}, middle); // Raise Terrain, held down
    ASSERT_FALSE(view.canUndo()) << "a drag's step waits for the button";
    int undoableWhenShown = -1;
    CProgressDlg::onShown = [&](CProgressDlg&) { undoableWhenShown = view.canUndo(); };
    doc.runProgress([](ProgressSink&) { return true; });
    CProgressDlg::onShown = nullptr;
    QTest::mouseRelease(&view, Qt::LeftButton, {}, middle);
    EXPECT_EQ(undoableWhenShown, 1) << "the step is taken before the worker starts";
    EXPECT_TRUE(doc.isModified());
    ASSERT_TRUE(view.Undo());
    EXPECT_FALSE(view.canUndo());
}
