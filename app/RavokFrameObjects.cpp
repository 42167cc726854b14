// The frame's parts of objects, courses' truck starts and ground boxes: the
// Object, Truck and Building menus, the Models box, the context menus of
// those modes and the paint checks of the Groundbox Tools bar.
#include "app/RavokFrame.h"

#include "app/ModelsBox.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "edit/ObjectSelection.h"
#include "edit/ObjectTypes.h"
#include "model/TrackRecords.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// The Set Type entries, one per type in list order.
void addSetTypeEntries(QMenu* menu, CRavokView* view) {
    for (int i = 0; i < int(ravok::kObjectTypeNames.size()); ++i)
        menu->addAction(QString::fromStdString(std::string(ravok::kObjectTypeNames[size_t(i)])), view,
                        [view, i] { view->SetSelectedObjectsType(i); });
}

int selectedObjectCount(const CRavokDoc& doc, const CRavokView& view) {
    return int(ravok::SelectedObjects(doc.track(), view.objectSelection()).size());
}

} // namespace

void CRavokFrame::createObjectMenus() {
    m_modelsBox = new CModelsBox(m_doc, m_settings, *m_view, this);
    addDockWidget(Qt::RightDockWidgetArea, m_modelsBox);
    m_modelsBox->hide();

    QMenu* object = menuBar()->addMenu(QStringLiteral("&Object"));
    object->addAction(QStringLiteral("Insert"), m_view, &CRavokView::InsertObjectHere);
    QAction* remove = object->addAction(QStringLiteral("Delete"), m_view, &CRavokView::DeleteSelectedObjects);
    object->addAction(QStringLiteral("Properties"), m_view, &CRavokView::EditObjectProperties);
    QMenu* setType = object->addMenu(QStringLiteral("Set &Type"));
    addSetTypeEntries(setType, m_view);
    object->addSeparator();
    object->addAction(QStringLiteral("Copy Object"), m_view, &CRavokView::CopyObject);
    object->addAction(QStringLiteral("Paste Object"), m_view, &CRavokView::PasteObject);
    object->addSeparator();
    object->addAction(QStringLiteral("Display Models Box"), this, [this] {
        m_modelsBox->show();
        m_modelsBox->raise();
    });
    connect(object, &QMenu::aboutToShow, this, [this, object, remove, setType] {
        const bool objects = m_view->editMode() == kEditObjects && !m_doc.podViewMode();
        for (QAction* a : object->actions())
            if (!a->isSeparator() && a->text() != QStringLiteral("Display Models Box")) a->setEnabled(objects);
        const int count = selectedObjectCount(m_doc, *m_view);
        remove->setText(QString::fromStdString(ravok::DeleteMenuText(count)));
        setType->setTitle(QString::fromStdString(ravok::SetTypeMenuText(count)));
    });

    QMenu* truck = menuBar()->addMenu(QStringLiteral("Tr&uck"));
    truck->addAction(QStringLiteral("Reverse"), m_view, &CRavokView::ReverseTruckStart);
    truck->addAction(QStringLiteral("Properties"), m_view, &CRavokView::EditTruckProperties);
    connect(truck, &QMenu::aboutToShow, this, [this, truck] {
        const bool held = m_view->editMode() == kEditCourse && m_view->truckStart() > 0 && !m_doc.podViewMode();
        for (QAction* a : truck->actions()) a->setEnabled(held);
    });

    QMenu* building = menuBar()->addMenu(QStringLiteral("&Building"));
    QAction* insert = building->addAction(QStringLiteral("Insert"), m_view, &CRavokView::InsertGroundBoxHere);
    QAction* del = building->addAction(QStringLiteral("Delete"), m_view, &CRavokView::DeleteSelectedGroundBox);
    QAction* rotate = building->addAction(QStringLiteral("Rotate 90\u00b0"), m_view, &CRavokView::RotateBoxFace);
    building->addAction(QStringLiteral("Mirror"), m_view, &CRavokView::MirrorBoxFace);
    building->addSeparator();
    QAction* cut = building->addAction(QStringLiteral("Cut Box"), m_view, &CRavokView::CutBox);
    QAction* copy = building->addAction(QStringLiteral("Copy Box"), m_view, &CRavokView::CopyBox);
    QAction* paste = building->addAction(QStringLiteral("Paste Box"), m_view, &CRavokView::PasteBox);
    connect(building, &QMenu::aboutToShow, this, [this, insert, del, rotate, cut, copy, paste] {
        const bool boxes = m_view->editMode() == kEditGroundBoxes && !m_doc.podViewMode();
        const bool selected = m_view->boxSelection().box >= 0;
        insert->setEnabled(boxes && !selected && m_view->hoveredSquare());
        del->setEnabled(boxes && selected);
        rotate->setEnabled(boxes && selected && m_view->boxSelection().face() >= 0);
        cut->setEnabled(boxes && selected && m_view->boxSelection().face() >= 0);
        copy->setEnabled(boxes && selected && m_view->boxSelection().face() >= 0);
        paste->setEnabled(boxes && m_view->hasBoxClipboard());
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
