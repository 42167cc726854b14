// The frame's parts of objects, courses' truck starts and ground boxes: the
// Object, Truck and Building menus, the Models box, the context menus of
// those modes and the paint checks of the Groundbox Tools bar.
#include "app/RavokFrame.h"

#include "app/ModelsBox.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "app/TexturesBox.h"
#include "edit/ObjectSelection.h"
#include "edit/ObjectTypes.h"
#include "model/TrackRecords.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// Shows a dock and brings it to the front.
void display(QWidget* dock) {
    dock->show();
    dock->raise();
}

// The Set Type entries, one per type in list order.
void addSetTypeEntries(QMenu* menu, CRavokView* view) {
    for (int i = 0; i < int(ravok::kObjectTypeNames.size()); ++i)
        menu->addAction(QString::fromStdString(std::string(ravok::kObjectTypeNames[size_t(i)])), view,
                        [view, i] { view->SetSelectedObjectsType(i); });
}

int selectedObjectCount(const CRavokDoc& doc, const CRavokView& view) {
    return int(ravok::SelectedObjects(doc.track(), view.objectSelection()).size());
}

void fillObjectMenu(QMenu& menu, CRavokDoc& doc, CRavokView* view, CModelsBox* models) {
    const int count = selectedObjectCount(doc, *view);
    const bool editable = !doc.podViewMode() && view->editMode() == kEditObjects;
    menu.addAction(QStringLiteral("Insert"), view, &CRavokView::InsertObjectHere)->setEnabled(editable);
    menu.addAction(QString::fromStdString(ravok::DeleteMenuText(count)), view,
                   &CRavokView::DeleteSelectedObjects)
        ->setEnabled(editable && count > 0);
    menu.addAction(QStringLiteral("Properties"), view, &CRavokView::EditObjectProperties)
        ->setEnabled(editable && view->objectSelection().current >= 0);
    QMenu* setType = menu.addMenu(QString::fromStdString(ravok::SetTypeMenuText(count)));
    setType->setEnabled(editable && count > 0);
    addSetTypeEntries(setType, view);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Copy Object"), view, &CRavokView::CopyObject);
    menu.addAction(QStringLiteral("Paste Object"), view, &CRavokView::PasteObject)->setEnabled(editable);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Display Models Box"), models, [models] { display(models); });
}

void fillTruckMenu(QMenu& menu, CRavokDoc& doc, CRavokView* view) {
    const bool held = !doc.podViewMode() && view->editMode() == kEditCourse && view->truckStart() > 0;
    menu.addAction(QStringLiteral("Reverse"), view, &CRavokView::ReverseTruckStart)->setEnabled(held);
    menu.addAction(QStringLiteral("Properties"), view, &CRavokView::EditTruckProperties)->setEnabled(held);
}

void fillBuildingMenu(QMenu& menu, CRavokDoc& doc, CRavokView* view, QWidget* textures) {
    const bool editable = !doc.podViewMode() && view->editMode() == kEditGroundBoxes;
    const ravok::GroundBoxSelection& box = view->boxSelection();
    const bool selected = editable && box.box >= 0, face = selected && box.face() >= 0;
    menu.addAction(QStringLiteral("Insert"), view, &CRavokView::InsertGroundBoxHere)
        ->setEnabled(editable && box.box < 0 && view->hoveredSquare().has_value());
    menu.addAction(QStringLiteral("Delete"), view, &CRavokView::DeleteSelectedGroundBox)
        ->setEnabled(selected);
    menu.addAction(QStringLiteral("Rotate 90\u00b0"), view, &CRavokView::RotateBoxFace)->setEnabled(face);
    menu.addAction(QStringLiteral("Mirror"), view, &CRavokView::MirrorBoxFace)->setEnabled(face);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cut Box"), view, &CRavokView::CutBox)->setEnabled(face);
    menu.addAction(QStringLiteral("Copy Box"), view, &CRavokView::CopyBox)->setEnabled(face);
    menu.addAction(QStringLiteral("Paste Box"), view, &CRavokView::PasteBox)
        ->setEnabled(editable && view->hasBoxClipboard());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Display Textures Box"), textures, [textures] { display(textures); });
}

// The right button's menu in objects and ground box mode, and the Truck menu
// over a truck start in course mode; everything else goes on to the view.
class ModeContextMenus : public QObject {
  public:
    ModeContextMenus(CRavokDoc& doc, CRavokView* view, CModelsBox* models, QWidget* textures, QObject* parent)
        : QObject(parent), m_doc(doc), m_view(view), m_models(models), m_textures(textures) {
        view->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_view || event->type() != QEvent::ContextMenu) return false;
        const auto* request = static_cast<QContextMenuEvent*>(event);
        QMenu menu;
        switch (m_view->editMode()) {
        case kEditObjects:
            fillObjectMenu(menu, m_doc, m_view, m_models);
            break;
        case kEditCourse:
            // A truck start under the cursor and no anchor: the Truck menu; else the view's own.
            m_view->PickCourseAt(request->pos());
            if (m_view->courseAnchor() >= 0 || m_view->truckStart() < 1) return false;
            fillTruckMenu(menu, m_doc, m_view);
            break;
        case kEditGroundBoxes:
            fillBuildingMenu(menu, m_doc, m_view, m_textures);
            break;
        default:
            return false;
        }
        menu.exec(request->globalPos());
        return true;
    }

  private:
    CRavokDoc& m_doc;
    CRavokView* m_view;
    CModelsBox* m_models;
    QWidget* m_textures;
};

} // namespace

void CRavokFrame::createObjectMenus() {
    m_modelsBox = new CModelsBox(m_doc, m_settings, *m_view, this);
    addDockWidget(Qt::RightDockWidgetArea, m_modelsBox);
    m_modelsBox->hide();
    new ModeContextMenus(m_doc, m_view, m_modelsBox, m_texturesBox, this);

    // The menu bar's menus are filled as they open, like the context menus.
    QMenu* object = menuBar()->addMenu(QStringLiteral("&Object"));
    connect(object, &QMenu::aboutToShow, this, [this, object] {
        object->clear();
        fillObjectMenu(*object, m_doc, m_view, m_modelsBox);
    });
    QMenu* truck = menuBar()->addMenu(QStringLiteral("Tr&uck"));
    connect(truck, &QMenu::aboutToShow, this, [this, truck] {
        truck->clear();
        fillTruckMenu(*truck, m_doc, m_view);
    });
    QMenu* building = menuBar()->addMenu(QStringLiteral("&Building"));
    connect(building, &QMenu::aboutToShow, this, [this, building] {
        building->clear();
        fillBuildingMenu(*building, m_doc, m_view, m_texturesBox);
    });
}

void CRavokFrame::addGroundBoxPaintChecks(QToolBar* bar) {
    const char* const names[] = {"Paint Face", "Paint Sides", "Paint Top/Bottom", "Paint All Faces"};
    std::array<QCheckBox*, 4> checks{};
    for (size_t i = 0; i < checks.size(); ++i) {
        checks[i] = new QCheckBox(QString::fromLatin1(names[i]), bar);
        checks[i]->setObjectName(QString::fromLatin1(names[i]));
        bar->addWidget(checks[i]);
    }
    // Checking one clears the others; clearing it turns painting off.
    for (size_t i = 0; i < checks.size(); ++i)
        connect(checks[i], &QCheckBox::toggled, this, [this, checks, i](bool on) {
            if (on)
                for (size_t k = 0; k < checks.size(); ++k)
                    if (k != i) {
                        const QSignalBlocker block(checks[k]);
                        checks[k]->setChecked(false);
                    }
            m_view->OnBarNotification(32, on ? int(i) + 1 : 0);
        });
}
