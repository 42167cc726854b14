#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/ModelPreviewWidget.h"
#include "app/RavokView.h"
#include "app/SpeedLimitDlg.h"
#include "app/ViewControlsBar.h"
#include "app/ViewSurface.h"
#include "art/Picture.h"
#include "art/Texture.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"
#include "render/TerrainPicking.h"
#include "render/TrackMeshes.h"

#include "AppTestSupport.h"
#include "OpenGLApp.h"
#include "TestTracks.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMainWindow>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QCheckBox>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QSurfaceFormat>
#include <QToolBar>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using namespace ravok;
using ravok::test::ModalAnswerer;

namespace {

// The share of the picture's lower half that is green ground (the hills'
// grass): the terrain drawn with its textures and light.
double grassShare(const QImage& picture) {
    int grass = 0, total = 0;
    for (int y = picture.height() / 2; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4) {
            const QColor c = picture.pixelColor(x, y);
            ++total;
            grass += c.green() > c.red() + 20 && c.green() > c.blue() + 20;
        }
    return total ? double(grass) / total : 0;
}

// Draws the view now and returns what it shows.
QImage drawn(CRavokView& view) {
    view.update();
    QTest::qWait(50);
    return view.grabView();
}

void lookAtTheHills(CRavokView& view) {
    ViewCamera& camera = view.camera();
    camera.x = 60 * 64;
    camera.y = 40 * 64;
    camera.z = 3 * 170;
    camera.yaw = 450;
    camera.pitch = 1050;
    view.JumpTo(camera.x, camera.y);
}

} // namespace

TEST(View, DrawsTheTrackThroughBothRenderersAndSurvivesANewContext) {
    ravok::test::openGLApp();
    ProgramSettings settings = defaultSettings("/tmp");
    settings.useOpenGL = false;
    settings.display = 4; // the window's size
    settings.editState.displayMode = 0;
    CRavokDoc doc(settings);
    test::hillyTrack(doc.track());
    CRavokFrame frame(doc, settings);
    ModalAnswerer answerer;
    frame.resize(1024, 720);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CRavokView& view = *frame.view();
    view.OnTrackReplaced();
    view.OnBarNotification(ravok::ViewCommand::DisplayMode, 0);
    lookAtTheHills(view);

    const QImage software = drawn(view);
    EXPECT_GT(grassShare(software), 0.3) << "software renderer";
    // What the display shows (the frame written into the window's surface).
    auto onScreen = [&] {
        const QPoint at = view.mapToGlobal(QPoint(0, 0));
        return view.screen()->grabWindow(0, at.x(), at.y(), view.width(), view.height()).toImage();
    };
    // The same picture where the frame is written straight into the window's surface.
    auto sameShare = [](const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return 0.0;
        int same = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) same += (a.pixel(x, y) & 0xffffff) == (b.pixel(x, y) & 0xffffff);
        return double(same) / (a.width() * a.height());
    };
    EXPECT_GT(sameShare(onScreen(), software), 0.95) << "software renderer, on the screen";
    // Asking the view for a frame draws one (not only grabbing it).
    const int frames = view.framesDrawn();
    view.update();
    QTest::qWait(50);
    EXPECT_GT(view.framesDrawn(), frames);

    settings.useOpenGL = true;
    const QImage opengl = drawn(view);
    EXPECT_GT(grassShare(opengl), 0.3) << "OpenGL renderer";
    EXPECT_GT(grassShare(onScreen()), 0.3) << "OpenGL renderer, on the screen";
    EXPECT_GT(view.glRenderer().pagesBuilt(), 0);
    EXPECT_GT(view.glRenderer().trianglesDrawn(), 0);

    // Pages are reused while nothing changes: a second frame builds none.
    const int built = view.glRenderer().pagesBuilt();
    drawn(view);
    EXPECT_EQ(view.glRenderer().pagesBuilt(), built);
    // One edited height rebuilds only the pages around it.
    doc.track().terrain.heights[42 * 256 + 61] += 5;
    drawn(view);
    EXPECT_GE(view.glRenderer().pagesBuilt() - built, 1);
    EXPECT_LE(view.glRenderer().pagesBuilt() - built, 4);

    if (const char* dir = std::getenv("RAVOK_PICTURES_DIR")) {
        // The picture of the editor in docs/: course mode over the hills, the
        // water and the boxes, through the software renderer at the window's size.
        const ProgramSettings kept = settings;
        test::courseOverHillsUnlit(doc.track());
        settings.useOpenGL = false;
        view.OnTrackChanged();
        settings.colors[0] = {110, 150, 200}; // a sky for the background
        settings.alwaysShowObjects = settings.alwaysShowGroundBoxes = true; // F6 and F7 on
        frame.setEditMode(ravok::EditMode::Course);
        ViewCamera& camera = view.camera();
        camera.z = 3 * 260;
        camera.yaw = 250;
        camera.pitch = 1150;
        view.OnBarNotification(ravok::ViewCommand::GridSize, 256);
        view.JumpTo(108 * 64, 88 * 64);
        drawn(view);
        QTest::qWait(100);
        frame.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/editor.png"));
        settings = kept;
        frame.setEditMode(ravok::EditMode::Terrain);
        drawn(view);
    }

    // Moving the view into another window keeps its context (it draws
    // offscreen); a lost context is made again and everything is built
    // again, without a message.
    const int contexts = view.contextsMade();
    QMainWindow other;
    other.resize(800, 600);
    view.setParent(&other);
    other.setCentralWidget(&view);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    EXPECT_GT(grassShare(drawn(view)), 0.3) << "in another window";
    EXPECT_EQ(view.contextsMade(), contexts);
    const int pagesBefore = view.glRenderer().pagesBuilt();
    ASSERT_TRUE(view.surface());
    view.surface()->dropContext(); // as a driver reset leaves it
    const QImage again = drawn(view);
    EXPECT_EQ(view.contextsMade(), contexts + 1);
    EXPECT_GT(view.glRenderer().pagesBuilt(), pagesBefore) << "the pages are built again";
    EXPECT_GT(grassShare(again), 0.3) << "after a new context";
    EXPECT_TRUE(answerer.boxes.isEmpty()) << answerer.boxes.join('\n').toStdString();
    view.setParent(nullptr); // the frame no longer owns it
    delete &view;
}

TEST(View, FlightKeysModesAndBars) {
    ravok::test::openGLApp();
    ProgramSettings settings = defaultSettings("/tmp");
    CRavokDoc doc(settings);
    CRavokFrame frame(doc, settings);
    frame.show();
    CRavokView& view = *frame.view();
    view.setFocus();

    // Holding Up flies north on the timer; releasing stops at once.
    const int startY = view.camera().y;
    QTest::keyPress(&view, Qt::Key_Up);
    QTest::qWait(300);
    QTest::keyRelease(&view, Qt::Key_Up);
    const int stoppedY = view.camera().y;
    EXPECT_GT(stoppedY, startY);
    QTest::qWait(150);
    EXPECT_EQ(view.camera().y, stoppedY);
    EXPECT_EQ(view.flight().forwardSpeed(), 0.0f);

    // Home looks north, F5 toggles "Always Show Course", F4 the altitude lock.
    view.camera().yaw = 900;
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.camera().yaw, 0);
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_TRUE(settings.alwaysShowCourse);
    QTest::keyClick(&view, Qt::Key_F4);
    EXPECT_TRUE(view.flight().altitudeLock);

    // Modes show their own bar; Level View and the grid slider reach the view.
    frame.setEditMode(ravok::EditMode::Course);
    EXPECT_EQ(view.editMode(), ravok::EditMode::Course);
    EXPECT_TRUE(frame.modeBar(ravok::EditMode::Course)->isVisibleTo(&frame));
    EXPECT_FALSE(frame.modeBar(ravok::EditMode::Terrain)->isVisibleTo(&frame));
    view.camera().pitch = 1300;
    view.OnBarNotification(ravok::ViewCommand::LevelView, 0);
    EXPECT_EQ(view.camera().pitch, 900);
    frame.viewControls()->findChild<QSlider*>(QStringLiteral("gridSize"))->setValue(16);
    EXPECT_EQ(view.camera().gridSize, 128);
    EXPECT_EQ(settings.polysize, 128u);

    // Return to Location before a save does nothing; after one it comes back.
    const ViewCamera before = view.camera();
    view.ReturnToLocation();
    EXPECT_EQ(view.camera().x, before.x);
    view.SaveLocation();
    view.JumpTo(100, 200);
    view.ReturnToLocation();
    EXPECT_EQ(view.camera().x, before.x);
    EXPECT_EQ(view.camera().y, before.y);
}

// The editor's frame looking straight down on grid square (100, 100) from
// `height` height steps up, in one edit mode, with the mouse over the middle.
struct TopDownView : ::testing::Test {
    QApplication& application = ravok::test::openGLApp(); // before any widget
    ProgramSettings settings = defaultSettings("/tmp");
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    CRavokView& view = *frame.view();

    void open(ravok::EditMode mode, int height) {
        frame.resize(900, 700);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        view.camera().pitch = 1800;
        view.camera().z = 3 * height;
        view.JumpTo(100 * 64, 100 * 64);
        frame.setEditMode(mode);
        hover(view.rect().center());
    }
    // Changing the mode forgets the hovered square: the mouse moves again.
    void hover(QPoint at) {
        QTest::mouseMove(&view, QPoint(10, 10)); // the cursor may already be there
        QTest::mouseMove(&view, at);
        QTest::qWait(20);
        ASSERT_TRUE(view.hoveredSquare());
    }
};

TEST_F(TopDownView, SculptAHillUnderTheMouseAndUndoIt) {
    ASSERT_NO_FATAL_FAILURE(open(ravok::EditMode::Terrain, 120));
    const GridSquare under = *view.hoveredSquare();
    EXPECT_NEAR(under.x, 100, 1);
    EXPECT_NEAR(under.y, 100, 1);

    // The bar's Altitude reaches the view; Space raises the ground there.
    auto* altitude = frame.modeBar(ravok::EditMode::Terrain)->findChild<QSpinBox*>(QStringLiteral("Altitude"));
    ASSERT_NE(altitude, nullptr);
    altitude->setValue(40);
    EXPECT_EQ(view.terrainTool().altitude, 40);
    const int before = doc.track().terrain.height(under.x, under.y);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_GT(doc.track().terrain.height(under.x, under.y), before);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(view.Undo());
    EXPECT_EQ(doc.track().terrain.height(under.x, under.y), before);

    // The keys change the bar's fields: S the altitude, Tab the orientation, + the curvature.
    QTest::keyClick(&view, Qt::Key_S);
    EXPECT_EQ(altitude->value(), 41);
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_EQ(view.terrainTool().orientation, 1);
    QTest::keyClick(&view, Qt::Key_Plus);
    EXPECT_EQ(view.terrainTool().curvature, 4);
    EXPECT_EQ(settings.editState.curvature, 4);

    // The terrain menu offers Paste Terrain Bitmap only while the clipboard holds one.
    auto pasteEnabled = [&] {
        const auto menu = view.contextMenuAt(view.rect().center());
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Paste Terrain Bitmap")) return action->isEnabled();
        return false;
    };
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(pasteEnabled());
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QGuiApplication::clipboard()->setImage(picture);
    EXPECT_TRUE(pasteEnabled());
}

TEST(View, ModelPreviewShowsTheWholeModel) {
    ravok::test::openGLApp();
    PaletteColours palette{};
    palette[200] = {255, 140, 0};
    Mesh block;
    BuildPlainBoxMesh(block, 90, 60, 40, 200);
    CModelPreviewWidget preview;
    preview.resize(200, 200);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.setMesh(&block, palette);
    QTest::qWait(30);
    const QImage picture = preview.grabFramebuffer();
    int orange = 0, edge = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const bool isOrange = c.red() > 150 && c.green() > 60 && c.blue() < 60;
            orange += isOrange;
            // Whole: nothing of the model touches the window's border.
            if (isOrange && (x == 0 || y == 0 || x == picture.width() - 1 || y == picture.height() - 1)) ++edge;
        }
    EXPECT_GT(orange, 2000);
    EXPECT_EQ(edge, 0);
}

TEST_F(TopDownView, ObjectsAreInsertedPickedMovedAndDeleted) {
    ASSERT_NO_FATAL_FAILURE(open(ravok::EditMode::Objects, 250)); // above the ground of a new track
    QTest::keyClick(&view, Qt::Key_Insert);
    const int slot = view.objectSelection().current;
    ASSERT_GE(slot, 0);
    ASSERT_TRUE(doc.track().objects[size_t(slot)]);
    EXPECT_TRUE(doc.isModified());

    // A click beside it picks it again after the selection was cleared.
    frame.setEditMode(ravok::EditMode::Terrain);
    frame.setEditMode(ravok::EditMode::Objects);
    EXPECT_EQ(view.objectSelection().current, -1);
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rect().center() + QPoint(5, 5));
    EXPECT_EQ(view.objectSelection().current, slot);

    // D moves it along x; Delete on one object asks nothing.
    const int x = doc.track().objects[size_t(slot)]->x;
    QTest::keyClick(&view, Qt::Key_D);
    EXPECT_NE(doc.track().objects[size_t(slot)]->x, x);
    // Copy and Paste make a second object at the hovered square, now the current one.
    ASSERT_TRUE(view.CopyObject());
    ASSERT_NO_FATAL_FAILURE(hover(view.rect().center() + QPoint(60, 40)));
    ASSERT_TRUE(view.PasteObject());
    const int pasted = view.objectSelection().current;
    ASSERT_NE(pasted, slot);
    ASSERT_TRUE(doc.track().objects[size_t(pasted)]);
    EXPECT_EQ(doc.track().objects[size_t(pasted)]->width, doc.track().objects[size_t(slot)]->width);
    ModalAnswerer answerer;
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_FALSE(doc.track().objects[size_t(pasted)]);
    EXPECT_TRUE(doc.track().objects[size_t(slot)]);
    EXPECT_TRUE(answerer.boxes.isEmpty());
}

TEST_F(TopDownView, CourseSegmentsAreInsertedPickedAndDeleted) {
    ASSERT_NO_FATAL_FAILURE(open(ravok::EditMode::Course, 250));

    // Insert on an empty main course lays its first segment.
    QTest::keyClick(&view, Qt::Key_Insert);
    ASSERT_EQ(doc.track().mainCourse.segments.size(), 1u);
    EXPECT_TRUE(doc.isModified());
    // A click near an anchor holds it; Delete removes its segment.
    const auto& end = doc.track().mainCourse.segments[0].end;
    const auto at = ProjectWorldPoint(CameraMatrixOf(view.camera()),
                                      [&] {
                                          FrameBuffer f;
                                          f.resize(640, 480);
                                          return f;
                                      }(),
                                      end[0], end[1], end[2] * 3);
    ASSERT_TRUE(at);
    const QPoint onView(int((*at)[0] * view.width() / 640.0), int((*at)[1] * view.height() / 480.0));
    QTest::mouseClick(&view, Qt::LeftButton, {}, onView + QPoint(3, 3));
    EXPECT_GE(view.courseAnchor(), 0);
    // The context menu at the anchor offers its commands; away from it Insert is off.
    auto enabled = [&](QPoint at, const QString& text) {
        const auto menu = view.contextMenuAt(at);
        for (QAction* action : menu->actions())
            if (action->text() == text) return action->isEnabled();
        ADD_FAILURE() << "no " << text.toStdString();
        return false;
    };
    EXPECT_TRUE(enabled(onView + QPoint(3, 3), QStringLiteral("Delete Segment")));
    EXPECT_FALSE(enabled(onView + QPoint(200, 150), QStringLiteral("Insert Segment")));
    EXPECT_TRUE(enabled(onView + QPoint(200, 150), QStringLiteral("Delete All Segments")));
    QTest::mouseClick(&view, Qt::LeftButton, {}, onView + QPoint(3, 3));
    // Speed limit 25 is stored as 50.
    {
        ModalAnswerer answerer([](QWidget* modal) {
            auto* dialog = qobject_cast<CSpeedLimitDlg*>(modal);
            if (!dialog) return false;
            dialog->findChild<QSpinBox*>(QStringLiteral("limit"))->setValue(25);
            dialog->accept();
            return true;
        });
        EXPECT_TRUE(view.EditSpeedLimit());
    }
    EXPECT_EQ(doc.track().mainCourse.segments[0].speedLimit, 50);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(doc.track().mainCourse.segments.empty());
}

TEST_F(TopDownView, GroundBoxesAreInsertedPickedAndDeleted) {
    ASSERT_NO_FATAL_FAILURE(open(ravok::EditMode::GroundBoxes, 250));
    // The bar corrects Bottom below Top.
    QToolBar* bar = frame.modeBar(ravok::EditMode::GroundBoxes);
    bar->findChild<QSpinBox*>(QStringLiteral("Top"))->setValue(150);
    bar->findChild<QSpinBox*>(QStringLiteral("Bottom"))->setValue(200);
    EXPECT_EQ(bar->findChild<QSpinBox*>(QStringLiteral("Bottom"))->value(), 149);
    const GridSquare cell = *view.hoveredSquare();

    QTest::keyClick(&view, Qt::Key_Insert);
    ASSERT_GE(view.boxSelection().box, 0);
    const int slot = view.boxSelection().box;
    EXPECT_EQ(doc.track().groundBoxes[size_t(slot)]->top, 150);
    EXPECT_EQ(doc.track().groundBoxes[size_t(slot)]->x, cell.x);
    // S raises the chosen value (Top), X on Bottom lowers it; the box and the bar follow.
    QSpinBox* top = bar->findChild<QSpinBox*>(QStringLiteral("Top"));
    QSpinBox* bottom = bar->findChild<QSpinBox*>(QStringLiteral("Bottom"));
    QTest::keyClick(&view, Qt::Key_S);
    EXPECT_EQ(doc.track().groundBoxes[size_t(slot)]->top, 151);
    EXPECT_EQ(top->value(), 151);
    bar->findChild<QRadioButton*>(QStringLiteral("keysOnBottom"))->setChecked(true);
    QTest::keyClick(&view, Qt::Key_BracketLeft);
    EXPECT_EQ(doc.track().groundBoxes[size_t(slot)]->bottom, 148);
    EXPECT_EQ(bottom->value(), 148);
    // Typing into the bar changes the selected box.
    top->setValue(170);
    EXPECT_EQ(doc.track().groundBoxes[size_t(slot)]->top, 170);
    // Seen from above its top covers the cell north-east of the middle of the view.
    frame.setEditMode(ravok::EditMode::Terrain);
    frame.setEditMode(ravok::EditMode::GroundBoxes);
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rect().center() + QPoint(30, -30));
    EXPECT_EQ(view.boxSelection().box, slot);
    EXPECT_EQ(view.boxSelection().face(), 4);
    EXPECT_EQ(top->value(), 170); // the picked box's heights in the bar
    EXPECT_EQ(bottom->value(), 148);
    // The picked face is drawn tinted yellow: red rises over blue where it lies.
    const QPoint onTop = view.rect().center() + QPoint(30, -30);
    auto yellowness = [&] {
        const QColor c = view.grabView().pixelColor(onTop);
        return c.red() - c.blue();
    };
    const int picked = yellowness();
    frame.setEditMode(ravok::EditMode::Terrain);
    frame.setEditMode(ravok::EditMode::GroundBoxes);
    EXPECT_GT(picked - yellowness(), 40);
    QTest::mouseClick(&view, Qt::LeftButton, {}, onTop);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_FALSE(doc.track().groundBoxes[size_t(slot)]);
}

namespace {

int yellowPixels(const QImage& picture) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            n += c.red() > 220 && c.green() > 220 && c.blue() < 60;
        }
    return n;
}

} // namespace

TEST_F(TopDownView, TexturesArePaintedUnderTheMouseWithTheSelectionDrawn) {
    ASSERT_NO_FATAL_FAILURE(open(ravok::EditMode::Textures, 700));
    const int plain = yellowPixels(drawn(view));
    const GridSquare under = *view.hoveredSquare();
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rect().center());
    EXPECT_EQ(view.textureMode().selection, TextureSelection::square(under.x, under.y));
    const QImage shown = drawn(view);
    EXPECT_GT(yellowPixels(shown), plain + 20); // the selection's outline

    // Paint mode: a 3 x 3 rectangle follows the cursor and a click fills it.
    frame.modeBar(ravok::EditMode::Textures)->findChild<QCheckBox*>(QStringLiteral("Paint Mode"))->setChecked(true);
    frame.modeBar(ravok::EditMode::Textures)->findChild<QSpinBox*>(QStringLiteral("Width"))->setValue(3);
    frame.modeBar(ravok::EditMode::Textures)->findChild<QSpinBox*>(QStringLiteral("Height"))->setValue(3);
    ASSERT_NO_FATAL_FAILURE(hover(view.rect().center()));
    EXPECT_EQ(view.textureMode().selection, (TextureSelection{under.x - 1, under.y - 1, under.x + 1, under.y + 1}));
    doc.setTextureSelection(2, {2});
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.rect().center());
    for (int y = under.y - 1; y <= under.y + 1; ++y)
        for (int x = under.x - 1; x <= under.x + 1; ++x) EXPECT_EQ(doc.track().terrain.textures[size_t(y * 256 + x)], 2);
    EXPECT_EQ(doc.track().terrain.textures[size_t(under.y * 256 + under.x + 2)], 0);
}

namespace {

// Where the pixels that differ between two pictures of the same view lie.
struct Difference {
    int count = 0, width = 0;
    std::vector<char> mask;
    // The share of these pixels that have one of the other's within `radius`.
    double coveredBy(const Difference& other, int radius) const {
        if (!count) return 0;
        int covered = 0;
        const int height = int(mask.size()) / width;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (!mask[size_t(y * width + x)]) continue;
                bool near = false;
                for (int dy = -radius; dy <= radius && !near; ++dy)
                    for (int dx = -radius; dx <= radius && !near; ++dx) {
                        const int u = x + dx, v = y + dy;
                        near = u >= 0 && v >= 0 && u < width && v < height && other.mask[size_t(v * width + u)];
                    }
                covered += near;
            }
        return double(covered) / count;
    }
};
template <typename Keep>
Difference differenceOf(const QImage& with, const QImage& without, Keep keep, int threshold = 40) {
    Difference d;
    d.width = with.width();
    d.mask.assign(size_t(with.width() * with.height()), 0);
    if (with.size() != without.size()) return d;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x) {
            const QColor a = with.pixelColor(x, y), b = without.pixelColor(x, y);
            const int change = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                               std::abs(a.blue() - b.blue());
            if (change < threshold || !keep(a)) continue;
            ++d.count;
            d.mask[size_t(y * with.width() + x)] = 1;
        }
    return d;
}
bool any(const QColor&) { return true; }
bool courseRed(const QColor& c) { return c.red() > 180 && c.green() < 110 && c.blue() < 110; }
bool truckWhite(const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; }

// The editor looking straight down on the objects, the boxes and some water
// of the hilly track, with a course and its truck starts laid out there.
struct AgreementView : ::testing::Test {
    QApplication& application = ravok::test::openGLApp();
    ProgramSettings settings = [] {
        ProgramSettings s = defaultSettings("/tmp");
        s.display = 4;
        s.wholeGrid = true;
        s.editState.displayMode = 0;
        // F6 and F7: the objects and ground boxes show in every edit mode.
        s.alwaysShowObjects = s.alwaysShowGroundBoxes = true;
        return s;
    }();
    CRavokDoc doc{settings};
    CRavokFrame frame{doc, settings};
    CRavokView& view = *frame.view();

    void SetUp() override {
        CTrackPOD& track = doc.track();
        test::hillyTrack(track);
        auto segment = [&](int x0, int y0, int x1, int y1) {
            CourseSegment s;
            s.start = {x0 * 64, y0 * 64, track.terrain.height(x0, y0)};
            s.end = {x1 * 64, y1 * 64, track.terrain.height(x1, y1)};
            return s;
        };
        track.mainCourse.segments = {segment(100, 108, 130, 108), segment(130, 108, 140, 95)};
        for (size_t slot = 0; slot < track.vehicles.size(); ++slot) {
            VehicleSlot& v = track.vehicles[slot];
            v.x = int32_t((104 + 2 * slot) * 64), v.y = 104 * 64;
            v.z = track.terrain.height(v.x / 64, v.y / 64) + 4;
        }
        frame.resize(1000, 760);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        QTest::mouseMove(&view, QPoint(2, 2)); // the brush outline stays in a corner
        view.OnTrackReplaced();
        view.camera() = ViewCamera{124 * 64, 112 * 64, 3 * 700, 0, 1800, 256};
        view.JumpTo(124 * 64, 112 * 64);
    }
};

} // namespace

TEST_F(AgreementView, BothRenderersPutCourseTrucksObjectsAndWaterInTheSamePlaces) {
    if (!CViewSurface::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
    struct Pictures {
        QImage plain, course, noObjects, noWater;
    };
    auto take = [&](bool openGL) {
        settings.useOpenGL = openGL;
        Pictures p;
        p.plain = drawn(view);
        settings.alwaysShowCourse = true; // as course mode shows it, without another tool bar
        p.course = drawn(view);
        settings.alwaysShowCourse = false;
        settings.hideColliderBoxes = true;
        p.noObjects = drawn(view);
        settings.hideColliderBoxes = false;
        settings.showWater = false;
        p.noWater = drawn(view);
        settings.showWater = true;
        return p;
    };
    const Pictures software = take(false);
    const Pictures opengl = take(true);
    // Each picture's pixels lie within a few pixels of the other's, and neither has far more of them.
    auto agree = [&](const char* what, const Difference& s, const Difference& g, int atLeast) {
        EXPECT_GT(s.count, atLeast) << what << " in the software picture";
        EXPECT_GT(g.count, atLeast) << what << " in the OpenGL picture";
        EXPECT_GT(s.coveredBy(g, 4), 0.85) << what;
        EXPECT_GT(g.coveredBy(s, 4), 0.85) << what;
        EXPECT_LT(std::max(s.count, g.count), 3 * std::min(s.count, g.count) + 1) << what;
    };
    agree("the course", differenceOf(software.course, software.plain, courseRed),
          differenceOf(opengl.course, opengl.plain, courseRed), 100);
    agree("the truck starts", differenceOf(software.course, software.plain, truckWhite),
          differenceOf(opengl.course, opengl.plain, truckWhite), 50);
    agree("the objects", differenceOf(software.plain, software.noObjects, any),
          differenceOf(opengl.plain, opengl.noObjects, any), 200);
    agree("the water", differenceOf(software.plain, software.noWater, any),
          differenceOf(opengl.plain, opengl.noWater, any), 500);
}

TEST_F(AgreementView, TexturePaintingRebuildsOnlyTheChangedPagesAndVSyncReachesNewWindows) {
    if (!CViewSurface::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
    settings.useOpenGL = true;
    frame.setEditMode(ravok::EditMode::Textures);
    drawn(view);
    const int uploads = view.glRenderer().texturesUploaded();
    const int pages = view.glRenderer().pagesBuilt();
    ASSERT_GT(uploads, 0);
    view.SetTexturePaintMode(true);
    view.SetTexturePaintSize(2, 2);
    doc.setTextureSelection(1, {1});
    ASSERT_TRUE(view.TextureClick({122, 110}, false));
    ASSERT_EQ(doc.track().terrain.textures[size_t(110 * 256 + 122)], 1);
    drawn(view);
    EXPECT_EQ(view.glRenderer().texturesUploaded(), uploads) << "no texture is uploaded again";
    EXPECT_GE(view.glRenderer().pagesBuilt() - pages, 1);
    EXPECT_LE(view.glRenderer().pagesBuilt() - pages, 4);
    ASSERT_TRUE(view.Undo());
    drawn(view);
    EXPECT_EQ(view.glRenderer().texturesUploaded(), uploads);
    EXPECT_LE(view.glRenderer().pagesBuilt() - pages, 8);

    // V-Sync: OpenGL windows made from now on take the option; the view draws
    // offscreen and swaps nothing, so it sets no interval on any window.
    settings.verticalSync = !settings.verticalSync;
    view.OnSettingsChanged();
    EXPECT_EQ(QSurfaceFormat::defaultFormat().swapInterval(), settings.verticalSync ? 1 : 0);
    EXPECT_GT(grassShare(drawn(view)), 0.3);
    EXPECT_EQ(view.glRenderer().swapIntervalsSet(), 0);
}

TEST_F(AgreementView, PicturesOnlyTexturesAreFilledAndReliefShowsAnUnlitTrack) {
    settings.useOpenGL = false;
    CTrackPOD& track = doc.track();
    // What a pod written without the legacy fallback holds: the pictures alone.
    for (int slot = 0; slot < 3; ++slot) {
        Texture& texture = *track.terrainTextures[size_t(slot)];
        std::vector<uint8_t> bgr;
        for (uint8_t index : texture.pixels()) {
            const RgbColour& c = track.palette[index];
            bgr.insert(bgr.end(), {c.b, c.g, c.r});
        }
        std::string message;
        const auto png = EncodePng(bgr.data(), texture.width(), texture.height(), size_t(texture.width()) * 3, message);
        ASSERT_TRUE(png) << message;
        texture.setHdSource(*png);
        texture.dropPixels();
    }
    view.camera() = ViewCamera{60 * 64, 40 * 64, 3 * 170, 450, 1050, 64};
    view.OnTrackReplaced();
    view.JumpTo(60 * 64, 40 * 64);
    EXPECT_TRUE(track.terrainTextures[0]->hasPixels());
    EXPECT_GT(grassShare(drawn(view)), 0.3);

    // An unlit track: the slopes show while Relief Shading is on.
    const std::vector<ShadeCell> lightMap(track.terrain.cells.size(), ShadeCell{kDefaultShade});
    track.terrain.cells = lightMap;
    view.OnTrackChanged();
    QAction* relief = nullptr;
    for (QAction* action : frame.findChildren<QAction*>())
        if (action->text() == QStringLiteral("Relief Shading")) relief = action;
    ASSERT_TRUE(relief);
    EXPECT_TRUE(relief->isChecked());
    const QImage shaded = drawn(view);
    relief->setChecked(false);
    EXPECT_FALSE(view.reliefShading());
    const QImage flat = drawn(view);
    EXPECT_GT(differenceOf(shaded, flat, any, 3).count, shaded.width() * shaded.height() / 4);
    EXPECT_EQ(track.terrain.cells, lightMap);
    relief->setChecked(true);
}

TEST_F(AgreementView, WireAloneShowsNoGroundInTheWireframeColourThroughBothRenderers) {
    if (!CViewSurface::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
    settings.colors[1] = {255, 0, 255}; // Wireframe
    settings.colors[2] = {255, 0, 255}; // Wire Overlay, the wire frame over the ground in Both
    auto wirePixels = [](const QImage& picture) {
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                n += c.red() > 200 && c.green() < 60 && c.blue() > 200;
            }
        return n;
    };
    view.camera() = ViewCamera{60 * 64, 40 * 64, 3 * 170, 450, 1050, 64};
    view.JumpTo(60 * 64, 40 * 64);
    for (const bool openGL : {false, true}) {
        settings.useOpenGL = openGL;
        view.OnBarNotification(ravok::ViewCommand::DisplayMode, 1); // Wire
        const QImage wire = drawn(view);
        EXPECT_GT(wirePixels(wire), 2000) << openGL;
        EXPECT_LT(grassShare(wire), 0.02) << openGL;
        view.OnBarNotification(ravok::ViewCommand::DisplayMode, 2); // Both
        const QImage both = drawn(view);
        EXPECT_GT(wirePixels(both), 2000) << openGL;
        EXPECT_GT(grassShare(both), 0.2) << openGL;
    }
}

TEST(SoftwareFramePresenter, WritesTheFrameWhereThePainterDrawsAndOnlyWhereItMay) {
    FrameBuffer frame;
    frame.resize(8, 6);
    for (size_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] = uint8_t(1 + i % 2);
    PaletteColours palette{};
    palette[1] = {255, 0, 0};
    palette[2] = {0, 255, 0};
    const QRgb blue = qRgb(0, 0, 255);
    auto present = [&](QImage& canvas, std::optional<QRegion> clip, QPoint origin, QSize targetSize) {
        canvas.fill(blue);
        if (clip) canvas.paintEngine()->setSystemClip(*clip);
        QPainter painter(&canvas);
        painter.translate(origin);
        CSoftwareFramePresenter presenter;
        presenter.present(frame, palette, painter, QRect(QPoint(0, 0), targetSize));
    };
    QImage canvas(40, 30, QImage::Format_ARGB32_Premultiplied);
    present(canvas, std::nullopt, QPoint(5, 4), QSize(8, 6));
    EXPECT_EQ(canvas.pixel(5, 4), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(6, 4), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(12, 9), qRgb(0, 255, 0)); // the frame's last pixel, index 1 + 47 % 2
    EXPECT_EQ(canvas.pixel(4, 4), blue);
    EXPECT_EQ(canvas.pixel(13, 9), blue);
    EXPECT_EQ(canvas.pixel(12, 10), blue);
    // Only inside the area the paint may touch (as a widget's exposed part).
    present(canvas, QRegion(0, 0, 8, 30), QPoint(5, 4), QSize(8, 6));
    EXPECT_EQ(canvas.pixel(7, 4), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(8, 4), blue);
    // A frame of another size is stretched over the target.
    QImage other(40, 30, QImage::Format_RGB32);
    present(other, std::nullopt, QPoint(0, 0), QSize(16, 12));
    EXPECT_EQ(other.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(other.pixel(15, 11), qRgb(0, 255, 0));
    EXPECT_EQ(other.pixel(16, 12), blue);
}

TEST_F(AgreementView, OpenGLReliefAtAPageBorderFollowsAHeightEditOutsideThePage) {
    if (!CViewSurface::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
    settings.useOpenGL = true;
    CTrackPOD& track = doc.track();
    track.terrain.cells.assign(track.terrain.cells.size(), ShadeCell{kDefaultShade}); // never lit
    view.OnTrackChanged();
    ASSERT_TRUE(view.reliefShading());
    drawn(view);
    const int pages = view.glRenderer().pagesBuilt();
    // Vertex (9, 6) lies in page (2, 1) alone; the slope at (8, 6), on the
    // border of page (1, 1), follows it too.
    track.terrain.heights[6 * 256 + 9] += 40;
    view.JumpTo(view.camera().x, view.camera().y); // the scene follows, as after a terrain edit
    drawn(view);
    EXPECT_EQ(view.glRenderer().pagesBuilt() - pages, 2);
}
