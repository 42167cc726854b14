#pragma once

#include <QMainWindow>

class CRavokDoc;
class QAction;

namespace ravok {
struct ProgramSettings;
}

// The main window: menus, tool bars and the track view in the middle.
class CRavokFrame : public QMainWindow {
    Q_OBJECT
public:
    CRavokFrame(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent = nullptr);

    QAction* newAction() const { return m_new; }
    QAction* newMtm1Action() const { return m_newMtm1; }
    QAction* statisticsAction() const { return m_statistics; }

    // Puts the window where the settings remember it.
    void restoreFromSettings();

public slots:
    void OnViewStatistics();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void updateTitle();
    // Copies the window rectangle and its maximised state into the settings.
    void storeWindowPlace();

    CRavokDoc& m_doc;
    ravok::ProgramSettings& m_settings;
    QAction* m_new = nullptr;
    QAction* m_newMtm1 = nullptr;
    QAction* m_statistics = nullptr;
};
