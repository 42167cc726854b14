#include "app/RavokFrame.h"

#include "app/RavokDoc.h"
#include "app/TrackStatisticsDialog.h"
#include "base/ProgramSettings.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>

CRavokFrame::CRavokFrame(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings) {
    createMenus();
    // The track view takes this place.
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("trackViewArea"));
    central->setAutoFillBackground(true);
    QPalette background = central->palette();
    background.setColor(QPalette::Window, Qt::black);
    central->setPalette(background);
    setCentralWidget(central);
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(1024, 768);

    connect(&m_doc, &CRavokDoc::titleChanged, this, &CRavokFrame::updateTitle);
    updateTitle();
}

void CRavokFrame::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_new = file->addAction(QStringLiteral("&New"), &m_doc, &CRavokDoc::OnNewDocument);
    m_new->setShortcut(QKeySequence::New);
    m_newMtm1 = file->addAction(QStringLiteral("New (MTM&1)"), &m_doc, &CRavokDoc::OnFileNewMTM1);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setShortcut(QKeySequence::Quit);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_statistics = view->addAction(QStringLiteral("Statisti&cs"), this, &CRavokFrame::OnViewStatistics);
}

void CRavokFrame::OnViewStatistics() {
    TrackStatisticsDialog dialog(m_doc.track(), this);
    dialog.exec();
}

void CRavokFrame::updateTitle() {
    setWindowTitle(m_doc.title() + (m_doc.isModified() ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - Ravok"));
}

void CRavokFrame::restoreFromSettings() {
    const auto& r = m_settings.windowPos;
    if (r.left != -1000 && r.right > r.left && r.bottom > r.top)
        setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void CRavokFrame::storeWindowPlace() {
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    m_settings.windowPos = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    m_settings.maximized = isMaximized();
}

void CRavokFrame::closeEvent(QCloseEvent* event) {
    storeWindowPlace();
    event->accept();
}
