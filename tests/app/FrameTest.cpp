#include "app/RavokDoc.h"
#include "art/Picture.h"
#include "edit/ViewPicking.h"
#include "render/TerrainPicking.h"
#include "app/ModelPreviewWidget.h"
#include "app/ModelsBox.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QSurfaceFormat>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "AppTestSupport.h"
#include "TestTracks.h"

using ravok::test::app;

namespace {

QStringList menuTexts(QMenuBar* bar) {
    QStringList texts;
    for (QAction* menu : bar->actions()) {
        texts << menu->text();
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (!a->isSeparator()) texts << a->text();
    }
    return texts;
}

// The view looking straight down on square (100, 100) in an edit mode, the
// mouse over its centre.
void lookDownInMode(CRavokFrame& frame, ravok::EditMode mode) {
    CRavokView& view = *frame.view();
    view.resize(640, 480);
    view.camera().pitch = 1800;
    view.camera().z = 3 * 250;
    view.JumpTo(100 * 64, 100 * 64);
    frame.setEditMode(mode);
    const QPoint centre = view.rect().center();
    QMouseEvent move(QEvent::MouseMove, QPointF(centre), QPointF(view.mapToGlobal(centre)), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(&view, &move);
}

// A frame over a new track at the window's size.
struct FrameLookingDown : ::testing::Test {
    QApplication& application = app();
    ravok::ProgramSettings settings = [] {
        ravok::ProgramSettings s = ravok::defaultSettings("/tmp");
        s.display = 4;
        return s;
    }();
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    CRavokView& view = *frame.view();
};

} // namespace

TEST(Frame, MenusNewTrackAndTitle) {
    app();
    ravok::ProgramSettings settings = ravok::defaultSettings("/tmp");
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled - Ravok"));
    QStringList texts = menuTexts(frame.menuBar());
    for (const char* t : {"&File", "&New", "New (MTM&1)", "E&xit", "&View", "Statisti&cs"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(t))) << t;

    EXPECT_TRUE(doc.track().isMtm2());
    EXPECT_FALSE(doc.track().fogMap.empty());
    frame.newMtm1Action()->trigger();
    EXPECT_FALSE(doc.track().isMtm2());
    EXPECT_EQ(doc.track().palette.name().view(), "ART\\METALCR2.ACT");
    EXPECT_TRUE(doc.track().fogMap.empty());
    frame.newAction()->trigger();
    EXPECT_TRUE(doc.track().isMtm2());

    doc.setModified(true);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled* - Ravok"));
}

TEST(Frame, StatisticsShowsTheTrackCounts) {
    app();
    ravok::ProgramSettings settings;
    CRavokDoc doc(settings);
    for (int i = 0; i < 3; ++i) {
        doc.track().objects[size_t(i)] = std::make_unique<ravok::TrackObject>();
        doc.track().objects[size_t(i)]->type = i == 0 ? ravok::kObjectRamp : ravok::kObjectLight;
    }
    CRavokFrame frame(doc, settings);
    QString seenTitle, seenObjects, seenLights;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seenTitle = dialog->windowTitle();
        seenObjects = dialog->findChild<QLabel*>(QStringLiteral("Scenery Objects"))->text();
        seenLights = dialog->findChild<QLabel*>(QStringLiteral("Lights"))->text();
        dialog->accept();
    });
    frame.statisticsAction()->trigger();
    EXPECT_EQ(seenTitle, QStringLiteral("Track Statistics"));
    EXPECT_EQ(seenObjects, QStringLiteral("3"));
    EXPECT_EQ(seenLights, QStringLiteral("2"));
}

// Track, pod and situation files come from Windows installations in any
// letter case: the file menu's dialogs list them in both.
TEST(Frame, FileMenuDialogsListFilesInEitherLetterCase) {
    app();
    ravok::ProgramSettings settings;
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    std::map<std::string, std::string> filters; // by title, joined with ";;"
    ravok::test::ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return false;
        filters[dialog->windowTitle().toStdString()] = dialog->nameFilters().join(QStringLiteral(";;")).toStdString();
        dialog->reject();
        return true;
    });
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == QStringLiteral("&File"))
            for (QAction* action : menu->menu()->actions())
                if (QStringList{"&Open...", "Save &As...", "&View POD...", "&Clone Track..."}.contains(action->text()))
                    action->trigger();
    const std::string tracks = "Ravok MTM Track Files (*.rvk *.RVK);;All Files (*)";
    EXPECT_EQ(filters["Open"], tracks);
    EXPECT_EQ(filters["Save As"], tracks);
    EXPECT_EQ(filters["Load POD file to View"], "POD files (*.pod *.POD);;All Files (*)");
    EXPECT_EQ(filters["Choose the situation file (.SIT / .SI2) of the track to clone"],
              "Situation files (*.sit *.SIT *.si2 *.SI2)");
    EXPECT_EQ(filters.size(), 4u);
}

TEST(Frame, ClosingStoresTheWindowPlace) {
    app();
    ravok::ProgramSettings settings;
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    frame.setGeometry(30, 40, 700, 500);
    frame.show();
    frame.close();
    EXPECT_NE(settings.windowPos.left, -1000);
    EXPECT_EQ(settings.windowPos.right - settings.windowPos.left, frame.geometry().width());
    EXPECT_FALSE(settings.maximized);
}

// The offscreen platform has no OpenGL: the view paints the software
// renderer's frame itself, whatever the renderer setting says.
TEST(Frame, WithoutOpenGLTheViewPaintsTheSoftwareFrame) {
    app();
    ravok::ProgramSettings settings = ravok::defaultSettings("/tmp");
    settings.useOpenGL = true;
    settings.display = 4; // the window's size
    CRavokDoc doc(settings);
    ravok::test::hillyTrack(doc.track());
    settings.verticalSync = false;
    CRavokFrame frame(doc, settings);
    // The window is made with the v-sync setting's swap interval.
    EXPECT_EQ(QSurfaceFormat::defaultFormat().swapInterval(), 0);
    frame.resize(800, 600);
    frame.show();
    CRavokView& view = *frame.view();
    ASSERT_EQ(view.surface(), nullptr);
    view.OnTrackReplaced();
    view.camera() = ravok::ViewCamera{60 * 64, 40 * 64, 3 * 170, 450, 1050, 64};
    view.JumpTo(60 * 64, 40 * 64);
    const int before = view.framesDrawn();
    const QImage picture = view.grabView();
    EXPECT_GT(view.framesDrawn(), before);
    int green = 0, total = 0;
    for (int y = picture.height() / 2; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4, ++total) {
            const QColor c = picture.pixelColor(x, y);
            green += c.green() > c.red() + 20 && c.green() > c.blue() + 20;
        }
    EXPECT_GT(double(green) / total, 0.3); // the hills' grass
}

// Where OpenGL is missing the picture is the software frame at the display
// resolution, stretched over the view: the mouse picks in that frame.
TEST(Frame, WithoutOpenGLTheMousePicksInTheStretchedSoftwareFrame) {
    app();
    ravok::ProgramSettings settings = ravok::defaultSettings("/tmp");
    settings.useOpenGL = true;
    settings.display = 0; // 640 x 480, whatever the window's size
    CRavokDoc doc(settings);
    ravok::test::hillyTrack(doc.track());
    CRavokFrame frame(doc, settings);
    frame.resize(1400, 1100);
    frame.show();
    CRavokView& view = *frame.view();
    ASSERT_EQ(view.surface(), nullptr);
    ASSERT_GT(view.width(), 700);
    view.camera() = ravok::ViewCamera{100 * 64, 100 * 64, 3 * 300, 0, 1500, 64};
    view.JumpTo(100 * 64, 100 * 64);
    const QPoint at(view.width() * 9 / 10, view.height() * 8 / 10);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(view.mapToGlobal(at)), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&view, &move);

    ravok::FrameBuffer shown;
    shown.resize(640, 480);
    const ravok::TerrainWindow window = ravok::TerrainWindowOf(view.camera());
    const int vertex = ravok::PickWindowVertex(doc.track(), window, ravok::CameraMatrixOf(view.camera()), shown,
                                               at.x() * 640 / view.width(), at.y() * 480 / view.height());
    const auto expected = ravok::HoveredSquare(vertex, window);
    ASSERT_TRUE(expected.has_value());
    ASSERT_TRUE(view.hoveredSquare().has_value());
    EXPECT_EQ(view.hoveredSquare()->x, expected->x);
    EXPECT_EQ(view.hoveredSquare()->y, expected->y);
}

// Typing a height into the Groundbox Tools bar changes the selected box once
// the value is entered, keeping the other height.
TEST_F(FrameLookingDown, TypingAGroundBoxHeightKeepsTheOtherHeight) {
    lookDownInMode(frame, ravok::EditMode::GroundBoxes);
    ASSERT_TRUE(view.InsertGroundBoxHere());
    const ravok::GroundBox& box = *doc.track().groundBoxes[size_t(view.boxSelection().box)];

    QToolBar* bar = frame.modeBar(ravok::EditMode::GroundBoxes);
    auto* top = bar->findChild<QSpinBox*>(QStringLiteral("Top"));
    auto* bottom = bar->findChild<QSpinBox*>(QStringLiteral("Bottom"));
    ASSERT_TRUE(top && bottom);
    top->setValue(150);
    bottom->setValue(100);
    ASSERT_EQ(box.top, 150);
    ASSERT_EQ(box.bottom, 100);
    top->selectAll();
    QTest::keyClicks(top, QStringLiteral("180"));
    EXPECT_EQ(box.top, 150) << "nothing changes while typing";
    QTest::keyClick(top, Qt::Key_Return);
    EXPECT_EQ(box.top, 180);
    EXPECT_EQ(box.bottom, 100);
}

// With Single-point, a step typed into Altitude raises the point once, by
// the whole step, when it is entered.
TEST_F(FrameLookingDown, ATypedSinglePointStepIsAppliedOnceWhenEntered) {
    lookDownInMode(frame, ravok::EditMode::Terrain);
    ASSERT_TRUE(view.hoveredSquare());
    const ravok::GridSquare at = *view.hoveredSquare();

    QToolBar* bar = frame.modeBar(ravok::EditMode::Terrain);
    auto* tool = bar->findChild<QComboBox*>();
    auto* altitude = bar->findChild<QSpinBox*>(QStringLiteral("Altitude"));
    ASSERT_TRUE(tool && altitude);
    tool->setCurrentIndex(7); // Single-point
    const int before = doc.track().terrain.height(at.x, at.y);
    altitude->selectAll();
    QTest::keyClicks(altitude, QStringLiteral("32"));
    EXPECT_EQ(doc.track().terrain.height(at.x, at.y), before) << "nothing while typing";
    QTest::keyClick(altitude, Qt::Key_Return);
    EXPECT_EQ(doc.track().terrain.height(at.x, at.y), before + 32);
}

// The View Controls bar's "Detail Mask" lays the track's painted mask over
// the ground: a black mask darkens the hills' grass until it is unticked.
TEST(Frame, TheDetailMaskCheckDarkensTheGroundUnderABlackMask) {
    app();
    ravok::ProgramSettings settings = ravok::defaultSettings("/tmp");
    settings.display = 4;
    settings.detailMask = false;
    CRavokDoc doc(settings);
    ravok::test::hillyTrack(doc.track());
    for (auto& cell : doc.track().terrain.cells) cell[0] = 255; // unlit: only the mask darkens
    const std::vector<uint8_t> black(64 * 64 * 3, 0);
    std::string message;
    auto png = ravok::EncodePng(black.data(), 64, 64, 64 * 3, message);
    ASSERT_TRUE(png) << message;
    doc.track().SetTerrainMask(*png, ".png");
    CRavokFrame frame(doc, settings);
    frame.resize(800, 600);
    frame.show();
    CRavokView& view = *frame.view();
    view.OnTrackReplaced();
    view.OnBarNotification(ravok::ViewCommand::DisplayMode, 0); // textured, without the wire frame
    view.camera() = ravok::ViewCamera{60 * 64, 40 * 64, 3 * 170, 450, 1050, 64};
    view.JumpTo(60 * 64, 40 * 64);
    auto groundGreen = [&view] { // the mean green of the lower half, where the hills are
        const QImage picture = view.grabView();
        double sum = 0;
        int count = 0;
        for (int y = picture.height() / 2; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4, ++count) sum += picture.pixelColor(x, y).green();
        return sum / count;
    };
    QCheckBox* check = nullptr;
    for (QCheckBox* box : frame.findChildren<QCheckBox*>())
        if (box->text() == QStringLiteral("Detail Mask")) check = box;
    ASSERT_NE(check, nullptr);
    const double plain = groundGreen();
    EXPECT_GT(plain, 40);
    check->setChecked(true);
    EXPECT_TRUE(settings.detailMask);
    const double masked = groundGreen();
    EXPECT_LT(masked, plain - 10);
    EXPECT_GT(masked, plain * 0.4); // the ground still shows under black
    check->setChecked(false);
    EXPECT_NEAR(groundGreen(), plain, 1);
}

// Nor does showing the Models box there: it goes without its 3D preview.
TEST(Frame, WithoutOpenGLTheModelsBoxShowsWithoutPreview) {
    app();
    ravok::ProgramSettings settings = ravok::defaultSettings("/tmp");
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    frame.resize(800, 600);
    frame.show();
    frame.modelsBox()->show();
    QApplication::processEvents();
    EXPECT_FALSE(frame.grab().isNull()); // painted, not crashed
    EXPECT_EQ(frame.modelsBox()->findChild<CModelPreviewWidget*>(), nullptr);
}
