#include "app/LightPropertiesDlg.h"
#include "app/ModelsBox.h"
#include "app/ObjectPropertiesDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "app/StockSoundDlg.h"
#include "app/TopCrushChoice.h"
#include "app/TruckPropertiesDlg.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectEditing.h"
#include "model/TrackPod.h"
#include "render/TerrainPicking.h"
#include "render/ViewCamera.h"

#include "AppTestSupport.h"
#include "TestModels.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ravok;
using ravok::test::app;
using ravok::test::ModalAnswerer;
namespace fs = std::filesystem;

namespace {

QStringList withCaption(const QStringList& boxes, const QString& caption) {
    QStringList found;
    for (const QString& b : boxes)
        if (b.startsWith(caption + QStringLiteral(": "))) found << b;
    return found;
}

int addObject(CTrackPOD& track, int32_t x, int32_t y, int32_t type = kObjectDefault) {
    auto o = std::make_unique<TrackObject>();
    o->x = x;
    o->y = y;
    o->type = type;
    PlaceObjectOnGround(track, *o);
    return track.AddObject(std::move(o));
}

// A view that is never painted, looking straight down on grid square (100, 100).
struct ObjectsEditor : ::testing::Test {
    QApplication& application = app();
    test::TempDir root;
    ProgramSettings settings = [this] {
        ProgramSettings s = defaultSettings(root.path());
        s.useOpenGL = true; // picking in the widget's own pixels
        s.artFolder = root / "art";
        s.modelsFolder = root / "models";
        s.soundFolder = root / "sound";
        for (const auto& d : {s.artFolder, s.modelsFolder, s.soundFolder})
            fs::create_directories(d);
        return s;
    }();
    CRavokDoc doc{settings};

    static void lookDown(CRavokView& view, ravok::EditMode mode) {
        view.resize(640, 480);
        view.camera().pitch = 1800;
        view.camera().z = 3 * 250;
        view.JumpTo(100 * 64, 100 * 64);
        view.OnBarNotification(ravok::ViewCommand::EditMode, int(mode));
    }
    // Where a world point shows on the view.
    static QPoint onView(CRavokView& view, int x, int y, int z) {
        FrameBuffer frame;
        frame.resize(view.width(), view.height());
        const auto p = ProjectWorldPoint(CameraMatrixOf(view.camera()), frame, x, y, z * 3);
        return p ? QPoint((*p)[0], (*p)[1]) : QPoint(-1000, -1000);
    }
    static void mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers mods = {}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), button, buttons, mods);
        QApplication::sendEvent(&w, &event);
    }
};

} // namespace

TEST_F(ObjectsEditor, ModelsBoxLoadsOnceReportsCopiesAssignsPurgesAndCuts) {
    test::writeBytes(root / "models" / "tree.bin", test::binModel({"BARK.RAW"}));
    test::writeBytes(root / "art" / "LEAF.RAW", std::vector<uint8_t>(64 * 64, 7));
    fs::create_directories(root / "elsewhere");
    test::writeBytes(root / "elsewhere" / "big rock.bin", test::binModel({"LEAF.RAW"}));
    test::writeBytes(root / "models" / "junk.bin", {1, 2, 3, 4, 5, 6, 7, 8});
    test::writeBytes(root / "models" / "after.bin", test::binModel({}));
    CRavokView view(doc, settings);
    view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Objects));
    CModelsBox box(doc, settings, view);
    int changes = 0;
    QObject::connect(&doc, &CRavokDoc::modelsChanged, [&] { ++changes; });
    QStringList files;
    box.chooseFiles = [&] { return files; };
    auto* load = box.findChild<QPushButton*>(QStringLiteral("Load BIN file"));
    ASSERT_NE(load, nullptr);
    const QString tree = QString::fromStdString((root / "models" / "tree.bin").string());

    // Missing textures: loaded, listed, selected, with the report.
    {
        ModalAnswerer answerer;
        files = {tree};
        load->click();
        ASSERT_EQ(withCaption(answerer.boxes, QStringLiteral("Bad model textures!")).size(), 1);
        EXPECT_TRUE(answerer.boxes.front().contains(QStringLiteral("BARK.RAW")));
    }
    ASSERT_EQ(box.list()->count(), 1);
    EXPECT_EQ(box.list()->item(0)->text(), QStringLiteral("TREE.BIN"));
    const int treeSlot = box.selectedModel();
    ASSERT_GE(treeSlot, 0);
    EXPECT_EQ(changes, 1);
    // Twice: refused, nothing changes.
    {
        ModalAnswerer answerer;
        load->click();
        EXPECT_EQ(answerer.boxes, QStringList{QStringLiteral("Ravok: Model \"TREE.BIN\" already loaded.")});
    }
    EXPECT_EQ(box.list()->count(), 1);
    EXPECT_EQ(changes, 1);
    // A name with blanks: copied with underscores, and the user is told.
    {
        ModalAnswerer answerer;
        files = {QString::fromStdString((root / "elsewhere" / "big rock.bin").string())};
        load->click();
        ASSERT_EQ(answerer.boxes.size(), 1);
        EXPECT_TRUE(answerer.boxes.front().contains(QStringLiteral("BIG_ROCK.BIN")));
    }
    EXPECT_TRUE(fs::exists(root / "models" / "big_rock.bin"));
    EXPECT_EQ(box.list()->currentItem()->text(), QStringLiteral("BIG_ROCK.BIN"));
    // Not a model: the rest of the files are not loaded.
    {
        ModalAnswerer answerer;
        files = {QString::fromStdString((root / "models" / "junk.bin").string()),
                 QString::fromStdString((root / "models" / "after.bin").string())};
        load->click();
        EXPECT_EQ(answerer.boxes, QStringList{QStringLiteral("Bad model: Error loading BIN file")});
    }
    EXPECT_EQ(box.list()->count(), 2);

    // Apply gives the selected object the tree.
    const int object = addObject(doc.track(), 6400, 6400);
    ObjectSelection selection;
    selection.selectOnly(object);
    view.setObjectSelection(selection);
    box.selectModel(treeSlot);
    box.findChild<QPushButton*>(QStringLiteral("Apply"))->click();
    EXPECT_EQ(doc.track().objects[size_t(object)]->modelName, "TREE.BIN");

    // Purge asks first, No by default; on Yes the unused rock goes.
    auto* purge = box.findChild<QPushButton*>(QStringLiteral("Purge unused models"));
    {
        ModalAnswerer answerer;
        purge->click();
        EXPECT_EQ(answerer.boxes,
                  QStringList{
                      QStringLiteral("Purge Models: There are 1 unused models.\nGo ahead and remove them?")});
    }
    EXPECT_EQ(box.list()->count(), 2);
    {
        ModalAnswerer answerer(
            [](QWidget* modal) { return ModalAnswerer::press(modal, "unused", QMessageBox::Yes); });
        purge->click();
    }
    ASSERT_EQ(box.list()->count(), 1);
    EXPECT_EQ(box.selectedModel(), treeSlot) << "the selection stays on a model still there";

    // Cut Model + Objects takes the object with the model.
    box.findChild<QPushButton*>(QStringLiteral("Cut Model + Objects"))->click();
    EXPECT_EQ(box.list()->count(), 0);
    EXPECT_EQ(box.selectedModel(), -1);
    EXPECT_FALSE(doc.track().objects[size_t(object)]);
    EXPECT_EQ(view.objectSelection().current, -1);
}

TEST_F(ObjectsEditor, ObjectPropertiesMovesACheckpointStepsByKeysAndPicksAStockSound) {
    std::array<int, 4> checkpoints{};
    for (int i = 0; i < 4; ++i) {
        checkpoints[size_t(i)] = addObject(doc.track(), 6400 + 100 * i, 6400, kObjectCheckpoint);
        doc.track().objects[size_t(checkpoints[size_t(i)])]->sequence = i;
        doc.track().objects[size_t(checkpoints[size_t(i)])]->mass =
            float(100 + i); // who is who after renumbering
    }
    const int x = doc.track().objects[size_t(checkpoints[3])]->x;
    CRavokView view(doc, settings);
    view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Objects));
    ObjectSelection selection;
    selection.selectOnly(checkpoints[3]);
    view.setObjectSelection(selection);

    QString typed, picked;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<CObjectPropertiesDlg*>(modal);
        if (!dialog) return false;
        // D steps X by 10; letters typed into a sound name stay there.
        QTest::keyClick(dialog->findChild<QDoubleSpinBox*>(QStringLiteral("x")), Qt::Key_D);
        auto* continuous = dialog->findChild<QLineEdit*>(QStringLiteral("continuousSound"));
        continuous->clear();
        QTest::keyClicks(continuous, QStringLiteral("DC"));
        typed = continuous->text();
        continuous->clear(); // stored as "NULL"
        dialog->findChild<QSpinBox*>(QStringLiteral("sequence"))->setValue(1);
        QTimer::singleShot(0, [] {
            auto* stock = qobject_cast<CStockSoundDlg*>(QApplication::activeModalWidget());
            if (!stock) return;
            const auto rows = stock->list()->findItems(QStringLiteral("airhorn"), Qt::MatchExactly);
            if (!rows.isEmpty()) stock->list()->setCurrentItem(rows.front());
            stock->accept();
        });
        dialog->findChild<QPushButton*>(QStringLiteral("impactSoundStock"))->click();
        picked = dialog->findChild<QLineEdit*>(QStringLiteral("impactSound"))->text();
        dialog->accept();
        return true;
    });
    QTest::keyClick(&view, Qt::Key_Return); // Properties on release of Enter
    EXPECT_EQ(typed, QStringLiteral("DC"));
    EXPECT_EQ(picked, QStringLiteral("AIRHORN.WAV"));

    // The former 3 is now 1; the former 1 and 2 moved up; no gaps.
    std::map<int, int> sequenceOfMass;
    for (const auto& o : doc.track().objects)
        if (o) sequenceOfMass[int(o->mass)] = o->sequence;
    EXPECT_EQ(sequenceOfMass, (std::map<int, int>{{100, 0}, {101, 2}, {102, 3}, {103, 1}}));
    const TrackObject* edited = nullptr;
    for (const auto& o : doc.track().objects)
        if (o && o->mass == 103.0f) edited = o.get();
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(edited->x, x + 10);
    EXPECT_EQ(edited->impactSound, "AIRHORN.WAV");
    EXPECT_EQ(edited->continuousSound, "NULL");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.objectSelection().current >= 0
                  ? doc.track().objects[size_t(view.objectSelection().current)].get()
                  : nullptr,
              edited)
        << "the selection follows the checkpoint to its new slot";
}

TEST_F(ObjectsEditor, ObjectPropertiesRefusesASoundLoadedAsTheOtherKind) {
    // A WAV of the sound folder, first taken as a continuous sound.
    test::writeBytes(root / "sound" / "hum.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    const int a = addObject(doc.track(), 6400, 6400), b = addObject(doc.track(), 6500, 6400);
    CRavokView view(doc, settings);
    view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Objects));
    auto edit = [&](int slot, const char* field) {
        ObjectSelection selection;
        selection.selectOnly(slot);
        view.setObjectSelection(selection);
        ModalAnswerer answerer([field](QWidget* modal) {
            auto* dialog = qobject_cast<CObjectPropertiesDlg*>(modal);
            if (!dialog) return false;
            dialog->findChild<QLineEdit*>(QString::fromLatin1(field))->setText(QStringLiteral("HUM.WAV"));
            dialog->accept();
            return true;
        });
        view.EditObjectProperties();
        return answerer.boxes;
    };
    EXPECT_TRUE(edit(a, "continuousSound").isEmpty());
    EXPECT_EQ(doc.track().counts().sounds, 1);
    const QStringList refused = edit(b, "impactSound");
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.front().contains(QStringLiteral("Impact sound already loaded as continuous sound.")));
    EXPECT_EQ(doc.track().objects[size_t(b)]->impactSound, "NULL.WAV");
    EXPECT_EQ(doc.track().counts().sounds, 1);
}

TEST_F(ObjectsEditor, SetTypeOnThirtyObjectsWithFiveCheckpointsTellsWhatWasLeft) {
    for (int i = 0; i < 5; ++i)
        addObject(doc.track(), 640 + 64 * i, 640, kObjectCheckpoint);
    ObjectSelection selection;
    for (int i = 0; i < 30; ++i) {
        const int slot = addObject(doc.track(), 640 + 64 * i, 1280);
        if (i == 0) selection.selectOnly(slot);
        selection.setFlag(slot, true);
    }
    CRavokView view(doc, settings);
    view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Objects));
    view.setObjectSelection(selection);
    ModalAnswerer answerer;
    EXPECT_TRUE(view.SetSelectedObjectsType(6));
    EXPECT_EQ(answerer.boxes,
              QStringList{QStringLiteral("Set Type: 15 of the 30 selected objects were left as they "
                                         "were: a track can have at most 20 of type Checkpoint.")});
    EXPECT_EQ(doc.track().counts().checkpoints, 20);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ObjectsEditor, CtrlDragSelectsTheObjectsInsideAndShiftDragTurnsThem) {
    CRavokView view(doc, settings);
    lookDown(view, ravok::EditMode::Objects);
    const int a = addObject(doc.track(), 6400, 6400), b = addObject(doc.track(), 6400 + 96, 6400 + 64);
    const int outside = addObject(doc.track(), 6400 + 400, 6400 - 300);
    auto at = [&](int slot) {
        const TrackObject& o = *doc.track().objects[size_t(slot)];
        return onView(view, o.x, o.y, o.z);
    };
    const QRect box = QRect(at(a), at(b)).normalized().adjusted(-6, -6, 6, 6);
    ASSERT_GT(box.width(), 20);
    ASSERT_FALSE(box.contains(at(outside)));

    mouse(view, QEvent::MouseButtonPress, box.topLeft(), Qt::LeftButton, Qt::ControlModifier);
    mouse(view, QEvent::MouseMove, box.center(), Qt::LeftButton, Qt::ControlModifier);
    mouse(view, QEvent::MouseMove, box.bottomRight(), Qt::LeftButton, Qt::ControlModifier);
    mouse(view, QEvent::MouseButtonRelease, box.bottomRight(), {}, Qt::ControlModifier);
    const ObjectSelection& selection = view.objectSelection();
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, a));
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, b));
    EXPECT_FALSE(IsObjectSelected(doc.track(), selection, outside));
    EXPECT_FALSE(doc.isModified()) << "selecting changes nothing";

    // A click on a member keeps the group while the button is down; released
    // without a drag, only that member stays selected.
    mouse(view, QEvent::MouseButtonPress, at(a), Qt::LeftButton);
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, b));
    mouse(view, QEvent::MouseButtonRelease, at(a), {});
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, a));
    EXPECT_FALSE(IsObjectSelected(doc.track(), selection, b));

    // A Ctrl+drag under 4 pixels each way is a Ctrl+click: b joins again.
    mouse(view, QEvent::MouseButtonPress, at(b), Qt::LeftButton, Qt::ControlModifier);
    mouse(view, QEvent::MouseMove, at(b) + QPoint(3, 3), Qt::LeftButton, Qt::ControlModifier);
    mouse(view, QEvent::MouseButtonRelease, at(b) + QPoint(3, 3), {}, Qt::ControlModifier);
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, a));
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, b));

    // Shift+drag, once the button has been down 200 ms, turns the group without moving it.
    const int32_t x = doc.track().objects[size_t(a)]->x;
    mouse(view, QEvent::MouseButtonPress, at(a), Qt::LeftButton);
    mouse(view, QEvent::MouseMove, at(a) + QPoint(40, 0), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(doc.track().objects[size_t(a)]->psi, 0.0f) << "too early for a drag";
    QTest::qWait(220);
    const QPoint from = at(a);
    mouse(view, QEvent::MouseMove, from + QPoint(50, 0), Qt::LeftButton, Qt::ShiftModifier);
    mouse(view, QEvent::MouseButtonRelease, from + QPoint(50, 0), {}, Qt::ShiftModifier);
    // 0.008 radians a pixel, counted from the last move before the drag began.
    for (int slot : {a, b})
        EXPECT_NEAR(doc.track().objects[size_t(slot)]->psi, 0.008 * 10, 1e-4) << slot;
    EXPECT_EQ(doc.track().objects[size_t(outside)]->psi, 0.0f);
    EXPECT_TRUE(IsObjectSelected(doc.track(), selection, b)) << "a drag keeps the group";
    EXPECT_EQ(doc.track().objects[size_t(a)]->x, x);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ObjectsEditor, TruckMenuReversesAndEditsTheHeldTruckStart) {
    CRavokView view(doc, settings);
    lookDown(view, ravok::EditMode::Course);
    VehicleSlot& truck = doc.track().vehicles[3];
    truck.x = 6400 + 40;
    truck.y = 6400 - 40;
    truck.psi = 0;
    view.PickCourseAt(onView(view, truck.x, truck.y, truck.z) + QPoint(2, 2));
    ASSERT_EQ(view.truckStart(), 3);
    EXPECT_TRUE(view.ReverseTruckStart());
    EXPECT_NEAR(truck.psi, std::numbers::pi, 1e-6);
    ModalAnswerer answerer([](QWidget* modal) {
        auto* dialog = qobject_cast<CTruckPropertiesDlg*>(modal);
        if (!dialog) return false;
        dialog->findChild<QDoubleSpinBox*>(QStringLiteral("angle"))->setValue(90);
        dialog->findChild<QSpinBox*>(QStringLiteral("course"))->setValue(2);
        dialog->accept();
        return true;
    });
    EXPECT_TRUE(view.EditTruckProperties());
    EXPECT_NEAR(truck.psi, std::numbers::pi / 2, 1e-6);
    EXPECT_EQ(truck.extra, 2);
    EXPECT_EQ(truck.x, 6400 + 40) << "the rest as it was";
}

TEST_F(ObjectsEditor, GroundBoxesPaintSidesKeepingRotationsAndCutCopyPaste) {
    CRavokFrame frame(doc, settings);
    CRavokView& view = *frame.view();
    lookDown(view, ravok::EditMode::GroundBoxes);
    frame.setEditMode(ravok::EditMode::GroundBoxes);
    mouse(view, QEvent::MouseMove, view.rect().center(), {});
    ASSERT_TRUE(view.hoveredSquare());

    // Insert takes the Textures box's texture on all six faces.
    doc.setTextureSelection(3, {3});
    ASSERT_TRUE(view.InsertGroundBoxHere());
    const int slot = view.boxSelection().box;
    GroundBox& box = *doc.track().groundBoxes[size_t(slot)];
    for (uint16_t face : box.faces)
        EXPECT_EQ(face, 3);
    for (size_t i = 0; i < 4; ++i)
        box.faces[i] = uint16_t(3 | (i << 14) | (i == 2 ? 1 << 12 : 0));

    // The four checks exclude each other.
    QToolBar* bar = frame.modeBar(ravok::EditMode::GroundBoxes);
    auto* sides = bar->findChild<QCheckBox*>(QStringLiteral("Paint Sides"));
    auto* face = bar->findChild<QCheckBox*>(QStringLiteral("Paint Face"));
    ASSERT_TRUE(sides && face);
    face->setChecked(true);
    EXPECT_EQ(view.groundBoxPaint(), 1);
    sides->setChecked(true);
    EXPECT_FALSE(face->isChecked());
    EXPECT_EQ(view.groundBoxPaint(), 2);

    // Painting the sides keeps each side's rotation and mirror; top and bottom stay.
    doc.setTextureSelection(7, {7});
    view.OnBarNotification(ravok::ViewCommand::ApplyTexture, 7);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(box.faces[i], uint16_t(7 | (i << 14) | (i == 2 ? 1 << 12 : 0))) << i;
    EXPECT_EQ(box.faces[4], 3);
    EXPECT_EQ(box.faces[5], 3);
    sides->setChecked(false);
    EXPECT_EQ(view.groundBoxPaint(), 0);

    // Cut takes the box away; Paste puts the same box back at the hovered cell.
    const std::array<uint16_t, 6> faces = box.faces;
    const auto [top, bottom] = std::pair{box.top, box.bottom};
    ASSERT_TRUE(view.CutBox());
    EXPECT_EQ(doc.track().counts().groundBoxes, 0);
    ASSERT_TRUE(view.PasteBox());
    ASSERT_GE(view.boxSelection().box, 0);
    const GroundBox& pasted = *doc.track().groundBoxes[size_t(view.boxSelection().box)];
    EXPECT_EQ(pasted.faces, faces);
    EXPECT_EQ(pasted.top, top);
    EXPECT_EQ(pasted.bottom, bottom);
    EXPECT_FALSE(view.PasteBox()) << "the cell is taken";
}

TEST_F(ObjectsEditor, TopCrushAsksForTheCabThenTheBase) {
    test::writeBytes(root / "models" / "crusher.bin", test::modelList({"CRUSH1.BIN"}));
    test::writeBytes(root / "models" / "base.bin", test::binModel({}));
    const int slot = addObject(doc.track(), 6400, 6400, kObjectTopCrush);
    QStringList titles;
    auto choose = [&](const QString& title) {
        titles << title;
        return QString::fromStdString(
            (root / "models" / (titles.size() == 1 ? "crusher.bin" : "base.bin")).string());
    };
    ModalAnswerer answerer;
    const auto chosen = ChooseTopCrushModels(doc, settings, nullptr, choose);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Select Top-Crush Cab (keyframed) Model"),
                                   QStringLiteral("Select Top-Crush Base Model (required)")}));
    ASSERT_EQ(answerer.boxes.size(), 1);
    EXPECT_TRUE(answerer.boxes.front().contains(QStringLiteral("Now choose the BASE model.")));
    EXPECT_EQ(doc.track().models[size_t(chosen->cab)]->name(), "MODELS\\CRUSHER.BIN");
    EXPECT_EQ(doc.track().models[size_t(chosen->base)]->name(), "MODELS\\BASE.BIN");
    EXPECT_TRUE(doc.track().objects[size_t(slot)]->modelName.empty()) << "the object waits for OK";
}

TEST_F(ObjectsEditor, TopCrushModelsChosenInPropertiesReachTheObjectOnlyOnOk) {
    test::writeBytes(root / "models" / "crusher.bin", test::modelList({"CRUSH1.BIN"}));
    test::writeBytes(root / "models" / "base.bin", test::binModel({}, -500));
    const int slot = addObject(doc.track(), 6400, 6400, kObjectTopCrush);
    TrackObject& object = *doc.track().objects[size_t(slot)];
    object.aboveGround = 7;
    CRavokView view(doc, settings);
    view.OnBarNotification(ravok::ViewCommand::EditMode, int(ravok::EditMode::Objects));
    ObjectSelection selection;
    selection.selectOnly(slot);
    view.setObjectSelection(selection);

    // Opens the properties, chooses the cab and the base through the file
    // dialogs, then closes with OK or Cancel. Returns the names the dialog showed.
    auto chooseAndClose = [&](bool ok) {
        QStringList files{QString::fromStdString((root / "models" / "crusher.bin").string()),
                          QString::fromStdString((root / "models" / "base.bin").string())};
        QString shownModel;
        ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
                if (files.isEmpty()) return false;
                picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(files.takeFirst());
                QMetaObject::invokeMethod(picker, "accept");
                return true;
            }
            auto* dialog = qobject_cast<CObjectPropertiesDlg*>(modal);
            if (!dialog) return false;
            QTimer::singleShot(0, dialog, [&, dialog] {
                dialog->findChild<QPushButton*>(QStringLiteral("chooseCab"))->click();
                shownModel = dialog->findChild<QLineEdit*>(QStringLiteral("model"))->text() + "/" +
                             dialog->findChild<QLineEdit*>(QStringLiteral("cabModel"))->text();
                ok ? dialog->accept() : dialog->reject();
            });
            return true;
        });
        view.EditObjectProperties();
        return shownModel;
    };

    EXPECT_EQ(chooseAndClose(false), QStringLiteral("BASE.BIN/CRUSHER.BIN"));
    EXPECT_TRUE(object.modelName.empty()) << "Cancel leaves the object as it was";
    EXPECT_TRUE(object.cabModelName.empty());
    EXPECT_EQ(object.aboveGround, 7);
    EXPECT_GE(doc.track().FindModel("MODELS\\CRUSHER.BIN"), 0) << "the loaded models stay in the table";
    EXPECT_TRUE(doc.isModified());

    EXPECT_EQ(chooseAndClose(true), QStringLiteral("BASE.BIN/CRUSHER.BIN"));
    EXPECT_EQ(object.modelName, "BASE.BIN");
    EXPECT_EQ(object.cabModelName, "CRUSHER.BIN");
    const Model& base = *doc.track().models[size_t(doc.track().FindModel("MODELS\\BASE.BIN"))];
    EXPECT_EQ(int64_t(object.aboveGround) * 256 + object.zFraction, -int64_t(base.baseHeight()))
        << "the object stands on its base";
}

TEST_F(ObjectsEditor, ObjectMenuNamesTheSelectionAndSetsItsType) {
    const int a = addObject(doc.track(), 6400, 6400), b = addObject(doc.track(), 6500, 6400);
    CRavokFrame frame(doc, settings);
    CRavokView& view = *frame.view();
    frame.setEditMode(ravok::EditMode::Objects);
    ObjectSelection selection;
    selection.selectOnly(a);
    selection.setFlag(a, true);
    selection.setFlag(b, true);
    view.setObjectSelection(selection);
    QMenu* object = nullptr;
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == QStringLiteral("&Object")) object = menu->menu();
    ASSERT_NE(object, nullptr);
    emit object->aboutToShow();
    QStringList texts;
    QMenu* setType = nullptr;
    for (QAction* entry : object->actions()) {
        texts << entry->text();
        if (entry->menu() && entry->text().startsWith(QStringLiteral("Set &Type"))) setType = entry->menu();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Delete 2 Objects")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Set &Type of 2 Objects")));
    ASSERT_NE(setType, nullptr);
    ASSERT_EQ(setType->actions().size(), 16);
    EXPECT_EQ(setType->actions()[14]->text(), QStringLiteral("Ramp"));
    setType->actions()[14]->trigger();
    EXPECT_EQ(doc.track().objects[size_t(a)]->type, kObjectRamp);
    EXPECT_EQ(doc.track().objects[size_t(b)]->type, kObjectRamp);
    // The right button offers the same menu; its last entry shows the Models box.
    const auto context = view.contextMenuAt(view.rect().center());
    ASSERT_FALSE(context->actions().isEmpty());
    EXPECT_EQ(context->actions().front()->text(), QStringLiteral("Insert"));
    ASSERT_TRUE(frame.modelsBox()->isHidden());
    context->actions().back()->trigger();
    EXPECT_FALSE(frame.modelsBox()->isHidden());

    // Outside objects mode the commands are off.
    frame.setEditMode(ravok::EditMode::Terrain);
    emit object->aboutToShow();
    EXPECT_FALSE(object->actions().front()->isEnabled());
}

TEST_F(ObjectsEditor, LightPropertiesCorrectsOnOkAndRestoresDefaults) {
    LightParameters light;
    light.rad = 5000;
    light.bright = 9;
    light.glow = 2;
    light.glowRad = -3;
    light.coneLen = -10;
    light.coneBase = -1;
    light.r = 0.5f;
    CLightPropertiesDlg dialog(light);
    const LightParameters shown = dialog.values();
    EXPECT_EQ(shown.rad, 4095.0f);
    EXPECT_EQ(shown.bright, 3.75f);
    EXPECT_EQ(shown.glow, 2);
    EXPECT_EQ(shown.glowRad, 0.0f);
    EXPECT_EQ(shown.coneLen, 0.0f);
    EXPECT_EQ(shown.coneBase, 0.0f);
    EXPECT_EQ(shown.r, 0.5f);
    const auto buttons = dialog.findChildren<QPushButton*>();
    auto defaults = std::find_if(buttons.begin(), buttons.end(),
                                 [](QPushButton* b) { return b->text() == QStringLiteral("Defaults"); });
    ASSERT_NE(defaults, buttons.end());
    (*defaults)->click();
    const LightParameters restored = dialog.values(), record;
    EXPECT_EQ(restored.rad, record.rad);
    EXPECT_EQ(restored.hgt, record.hgt);
    EXPECT_EQ(restored.coneLen, record.coneLen);
    EXPECT_EQ(restored.coneBase, record.coneBase);
    EXPECT_EQ(restored.glowRad, record.glowRad);
    EXPECT_EQ(restored.glow, record.glow);

    // "Light..." belongs to Light objects only.
    ObjectPropertiesValues values;
    values.typeIndex = 12;
    CObjectPropertiesDlg properties(values, true, false, QString());
    auto* type = properties.findChild<QComboBox*>(QStringLiteral("type"));
    auto* button = properties.findChild<QPushButton*>(QStringLiteral("light"));
    EXPECT_FALSE(button->isHidden());
    type->setCurrentIndex(3);
    EXPECT_TRUE(button->isHidden());
}
