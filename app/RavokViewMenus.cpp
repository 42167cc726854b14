// The view's menus: the right button opens the edit mode's menu at the
// cursor, and the frame's Object, Truck and Building menus are filled here too.
#include "app/RavokView.h"

#include "app/DibClipboard.h"
#include "app/RavokDoc.h"
#include "edit/CoursePicking.h"
#include "edit/ObjectSelection.h"
#include "edit/ObjectTypes.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <functional>

using namespace ravok;

namespace {

QAction* addCommand(QMenu& menu, const char* text, bool enabled, std::function<void()> run) {
    QAction* action = menu.addAction(QString::fromUtf8(text));
    action->setEnabled(enabled);
    QObject::connect(action, &QAction::triggered, &menu, [run = std::move(run)] { run(); });
    return action;
}

} // namespace

void CRavokView::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = contextMenuAt(event->pos());
    if (menu && !menu->isEmpty()) menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> CRavokView::contextMenuAt(QPoint at) {
    auto menu = std::make_unique<QMenu>(this);
    switch (m_session.mode) {
    case ravok::EditMode::Terrain: fillTerrainMenu(*menu); break;
    case ravok::EditMode::Textures: FillTextureMenu(*menu); break;
    case ravok::EditMode::Course:
        PickCourseAt(at); // the anchor or truck start under the cursor is the one the commands act on
        // A truck start under the cursor and no anchor: the Truck menu.
        if (m_session.course.anchor < 0 && m_session.course.truck >= 1) FillTruckMenu(*menu);
        else fillCourseMenu(*menu);
        break;
    case ravok::EditMode::Objects: FillObjectMenu(*menu); break;
    case ravok::EditMode::GroundBoxes: FillBuildingMenu(*menu); break;
    default: break;
    }
    return menu;
}

void CRavokView::fillTerrainMenu(QMenu& menu) {
    addCommand(menu, "Copy Area", bool(m_hovered), [this] { CopyArea(); });
    addCommand(menu, "Paste Area", bool(m_hovered), [this] { PasteArea(); });
    menu.addSeparator();
    addCommand(menu, "Copy Terrain as Bitmap", true, [this] { CopyTerrainBitmap(); });
    addCommand(menu, "Paste Terrain Bitmap", ClipboardHasBitmap(), [this] { PasteTerrainBitmapFromClipboard(); });
}

void CRavokView::fillCourseMenu(QMenu& menu) {
    const bool terrain = m_terrainPoint || m_hovered;
    const CourseMenuState state = CourseContextMenuState(m_doc.track(), m_session.course.course, m_session.course.anchor, terrain);
    addCommand(menu, "Insert Segment", state.insert, [this] { InsertSegment(); });
    addCommand(menu, "Delete Segment", state.remove, [this] { DeleteSegment(); });
    addCommand(menu, "Reverse", state.reverse, [this] { ReverseSegment(); });
    addCommand(menu, "Speed Limit", state.speedLimit, [this] { EditSpeedLimit(); });
    menu.addSeparator();
    addCommand(menu, "Generate from Main", state.generateFromMain, [this] { GenerateFromMain(); });
    addCommand(menu, "Delete All Segments", state.deleteAll, [this] { DeleteAllSegments(); });
}

void CRavokView::FillObjectMenu(QMenu& menu) {
    const int count = int(SelectedObjects(m_doc.track(), m_session.objects.selection).size());
    const bool editable = !m_doc.podViewMode() && m_session.mode == ravok::EditMode::Objects;
    addCommand(menu, "Insert", editable, [this] { InsertObjectHere(); });
    menu.addAction(QString::fromStdString(DeleteMenuText(count)), this, &CRavokView::DeleteSelectedObjects)
        ->setEnabled(editable && count > 0);
    addCommand(menu, "Properties", editable && m_session.objects.selection.current >= 0, [this] { EditObjectProperties(); });
    QMenu* setType = menu.addMenu(QString::fromStdString(SetTypeMenuText(count)));
    setType->setEnabled(editable && count > 0);
    for (int i = 0; i < int(kObjectTypeNames.size()); ++i)
        setType->addAction(QString::fromStdString(std::string(kObjectTypeNames[size_t(i)])), this,
                           [this, i] { SetSelectedObjectsType(i); });
    // The steps the object keys take, as commands: the plain step of each key.
    QMenu* steps = menu.addMenu(QStringLiteral("&Step"));
    steps->setEnabled(editable && count > 0);
    const struct {
        const char* name;
        ViewCommand command;
        int value;
    } kSteps[] = {{"Raise (S)", ViewCommand::ObjectRaise, 100},     {"Lower (X)", ViewCommand::ObjectRaise, -100},
                  {"X + 10 (D)", ViewCommand::ObjectMoveX, 100},    {"X - 10 (C)", ViewCommand::ObjectMoveX, -100},
                  {"Y + 10 (F)", ViewCommand::ObjectMoveY, 100},    {"Y - 10 (V)", ViewCommand::ObjectMoveY, -100},
                  {"Turn + 1\u00b0 (R)", ViewCommand::ObjectHeading, 100},
                  {"Turn - 1\u00b0 (T)", ViewCommand::ObjectHeading, -100},
                  {"Tilt Phi + 1\u00b0 (G)", ViewCommand::ObjectTiltPhi, 100},
                  {"Tilt Phi - 1\u00b0 (B)", ViewCommand::ObjectTiltPhi, -100},
                  {"Tilt Theta + 1\u00b0 (H)", ViewCommand::ObjectTiltTheta, 100},
                  {"Tilt Theta - 1\u00b0 (N)", ViewCommand::ObjectTiltTheta, -100},
                  {"Width + 1 (1)", ViewCommand::ObjectWidth, 1},   {"Width - 1 (2)", ViewCommand::ObjectWidth, -1},
                  {"Length + 1 (3)", ViewCommand::ObjectLength, 1}, {"Length - 1 (4)", ViewCommand::ObjectLength, -1}};
    for (const auto& step : kSteps)
        steps->addAction(QString::fromUtf8(step.name), this,
                         [this, command = step.command, value = step.value] { OnBarNotification(command, value); });
    menu.addSeparator();
    addCommand(menu, "Copy Object", true, [this] { CopyObject(); });
    addCommand(menu, "Paste Object", editable, [this] { PasteObject(); });
    menu.addSeparator();
    addCommand(menu, "Display Models Box", true, [this] { emit modelsBoxWanted(); });
}

void CRavokView::FillTruckMenu(QMenu& menu) {
    const bool held = !m_doc.podViewMode() && m_session.mode == ravok::EditMode::Course && m_session.course.truck > 0;
    addCommand(menu, "Reverse", held, [this] { ReverseTruckStart(); });
    addCommand(menu, "Properties", held, [this] { EditTruckProperties(); });
}

void CRavokView::FillBuildingMenu(QMenu& menu) {
    const bool editable = !m_doc.podViewMode() && m_session.mode == ravok::EditMode::GroundBoxes;
    const bool selected = editable && m_session.boxes.selection.box >= 0, face = selected && m_session.boxes.selection.face() >= 0;
    addCommand(menu, "Insert", editable && m_session.boxes.selection.box < 0 && m_hovered.has_value(), [this] { InsertGroundBoxHere(); });
    addCommand(menu, "Delete", selected, [this] { DeleteSelectedGroundBox(); });
    addCommand(menu, "Rotate 90\u00b0", face, [this] { RotateBoxFace(); });
    addCommand(menu, "Mirror", face, [this] { MirrorBoxFace(); });
    menu.addSeparator();
    addCommand(menu, "Cut Box", face, [this] { CutBox(); });
    addCommand(menu, "Copy Box", face, [this] { CopyBox(); });
    addCommand(menu, "Paste Box", editable && hasBoxClipboard(), [this] { PasteBox(); });
    menu.addSeparator();
    addCommand(menu, "Display Textures Box", true, [this] { emit texturesBoxWanted(); });
}
