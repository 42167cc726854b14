// The view's context menus: the right button opens the edit mode's menu at the
// cursor. The objects and ground box modes' menus, and the Truck menu, belong
// to the frame, which also holds the Models box they offer.
#include "app/RavokView.h"

#include "app/DibClipboard.h"
#include "app/RavokDoc.h"
#include "edit/CoursePicking.h"

#include <QContextMenuEvent>
#include <QMenu>

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
    switch (m_mode) {
    case kEditTerrain: fillTerrainMenu(*menu); break;
    case kEditTextures: FillTextureMenu(*menu); break;
    case kEditCourse: fillCourseMenu(*menu, at); break;
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

void CRavokView::fillCourseMenu(QMenu& menu, QPoint at) {
    PickCourseAt(at); // the anchor under the cursor is the one the commands act on
    const bool terrain = m_terrainPoint || m_hovered;
    const CourseMenuState state = CourseContextMenuState(m_doc.track(), m_course, m_anchor, terrain);
    addCommand(menu, "Insert Segment", state.insert, [this] { InsertSegment(); });
    addCommand(menu, "Delete Segment", state.remove, [this] { DeleteSegment(); });
    addCommand(menu, "Reverse", state.reverse, [this] { ReverseSegment(); });
    addCommand(menu, "Speed Limit", state.speedLimit, [this] { EditSpeedLimit(); });
    menu.addSeparator();
    addCommand(menu, "Generate from Main", state.generateFromMain, [this] { GenerateFromMain(); });
    addCommand(menu, "Delete All Segments", state.deleteAll, [this] { DeleteAllSegments(); });
}
