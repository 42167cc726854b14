// The frame's parts of objects, courses' truck starts and ground boxes: the
// Object, Truck and Building menus, the Models box and the paint checks of
// the Groundbox Tools bar.
#include "app/RavokFrame.h"

#include "app/ModelsBox.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

void CRavokFrame::createObjectMenus() {
    m_modelsBox = new CModelsBox(m_doc, m_settings, *m_view, this);
    addDockWidget(Qt::RightDockWidgetArea, m_modelsBox);
    m_modelsBox->hide();
    connect(m_view, &CRavokView::modelsBoxWanted, m_modelsBox, [this] {
        m_modelsBox->show();
        m_modelsBox->raise();
    });

    // The view fills these as they open, as it fills its context menus.
    auto addMenu = [this](const char* title, auto fill) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
        connect(menu, &QMenu::aboutToShow, this, [menu, fill] {
            menu->clear();
            fill(*menu);
        });
    };
    addMenu("&Object", [this](QMenu& menu) { m_view->FillObjectMenu(menu); });
    addMenu("Tr&uck", [this](QMenu& menu) { m_view->FillTruckMenu(menu); });
    addMenu("&Building", [this](QMenu& menu) { m_view->FillBuildingMenu(menu); });
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
            m_view->OnBarNotification(ravok::ViewCommand::GroundBoxPaintMode, on ? int(i) + 1 : 0);
        });
}
