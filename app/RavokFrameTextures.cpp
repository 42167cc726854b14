// The main window's texture commands: the Texture Tools bar, the Textures
// menu, the Special menu's texture entries and the Patterns box.
#include "app/RavokFrame.h"

#include "app/CutTexturesDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "app/TexturePatternsBox.h"
#include "app/TexturesBox.h"
#include "app/TextureToolsBar.h"
#include "app/TextureTransitionsDlg.h"
#include "app/TrackPaletteDlg.h"

#include <QMenu>
#include <QMenuBar>

QToolBar* CRavokFrame::createTextureToolsBar() {
    const ravok::TextureModeState& textures = m_view->textureMode();
    auto* bar = new CTextureToolsBar(textures.paintWidth, textures.paintHeight, this);
    connect(bar, &CTextureToolsBar::notify, m_view, &CRavokView::OnBarNotification);
    connect(bar, &CTextureToolsBar::paintSizeChanged, m_view, &CRavokView::SetTexturePaintSize);
    addToolBar(bar);
    bar->setVisible(false);
    return bar;
}

void CRavokFrame::createTextureMenu() {
    m_patterns = new CTexturePatternsBox(m_doc, *m_view, m_settings, this);
    addDockWidget(Qt::RightDockWidgetArea, m_patterns);
    m_patterns->hide();
    connect(m_view, &CRavokView::patternsBoxWanted, m_patterns, [this] {
        m_patterns->show();
        m_patterns->raise();
    });
    QMenu* textures = menuBar()->addMenu(QStringLiteral("Te&xtures"));
    textures->setObjectName(QStringLiteral("Textures"));
    auto fillTextures = [this, textures] { m_view->FillTextureMenu(*textures); };
    // Filled as it opens, so that each entry's state follows the selection.
    connect(textures, &QMenu::aboutToShow, this, [textures, fillTextures] {
        textures->clear();
        fillTextures();
    });
    fillTextures();
}

void CRavokFrame::addTextureCommands(QMenu* special) {
    special->addSeparator();
    special->addAction(QStringLiteral("Texture Transitions"), this, &CRavokFrame::OnTextureTransitions);
    special->addAction(QStringLiteral("Track &Palette..."), this, &CRavokFrame::OnTrackPalette);
}

void CRavokFrame::OnTextureTransitions() {
    if (!m_transitions) {
        m_transitions = new CTextureTransitionsDlg(m_view->textureMode().transitions, m_doc, this);
        connect(m_transitions, &CTextureTransitionsDlg::notify, m_view, &CRavokView::OnBarNotification);
    }
    m_transitions->show();
    m_transitions->raise();
}

void CRavokFrame::OnTrackPalette() {
    if (m_doc.podViewMode()) return;
    CTrackPaletteDlg dialog(m_doc, this);
    if (dialog.exec() != QDialog::Accepted) return;
    InstallTrackPalette(m_doc, dialog.colours());
    m_view->OnBarNotification(ravok::ViewCommand::PaletteChanged, 0);
}

void CRavokFrame::connectTexturesBox() {
    m_texturesBox->setCutDialog([this](ravok::CutSource& source, ravok::CutSettings& cut) {
        return RunCutTexturesDialog(source, cut, m_settings, this);
    });
    connect(m_texturesBox, &CTexturesBox::notify, m_view, &CRavokView::OnBarNotification);
    // Removed slots renumber the view's texture state and the transitions picture.
    connect(m_texturesBox, &CTexturesBox::texturesRemoved, this, [this](const QList<int>& removed) {
        for (int slot : removed) m_view->TextureRemoved(slot);
        if (m_transitions) m_transitions->refresh();
    });
    connect(m_view, &CRavokView::texturesBoxWanted, m_texturesBox, [this] {
        m_texturesBox->show();
        m_texturesBox->raise();
    });
}
