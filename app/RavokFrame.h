#pragma once

#include "edit/ViewCommands.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <filesystem>

class CRavokDoc;
class CTextureTransitionsDlg;
class CTexturePatternsBox;
class CRavokView;
class CTexturesBox;
class CViewControlsBar;
class CModelsBox;
class QAction;
class QToolBar;
class QDockWidget;
class QMenu;

namespace ravok {
struct ProgramSettings;
struct SavedRect;
}

// The main window: menus, tool bars and the track view in the middle.
class CRavokFrame : public QMainWindow {
    Q_OBJECT
public:
    CRavokFrame(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent = nullptr);

    QAction* newAction() const { return m_new; }
    QAction* newMtm1Action() const { return m_newMtm1; }
    QAction* saveAction() const { return m_save; }
    QAction* writePodAction() const { return m_writePod; }
    QAction* extractAction() const { return m_extract; }
    QAction* statisticsAction() const { return m_statistics; }
    QAction* recentFileAction(int index) const { return m_recent[size_t(index)]; }
    const QTimer& autosaveTimer() const { return m_autosaveTimer; }
    CRavokView* view() const { return m_view; }
    CViewControlsBar* viewControls() const { return m_viewControls; }
    CTexturesBox* texturesBox() const { return m_texturesBox; }
    CModelsBox* modelsBox() const { return m_modelsBox; }
    QToolBar* modeBar(ravok::EditMode mode) const { return m_modeBars[size_t(mode)]; }
    CTextureTransitionsDlg* transitionsDialog() const { return m_transitions; }
    CTexturePatternsBox* patternsBox() const { return m_patterns; }
    // Shows the mode's tool bar and tells the view.
    void setEditMode(ravok::EditMode mode);

    // Puts the window, and the Textures and Models boxes, where the settings
    // remember them: a box with a saved rectangle floats there, a docked one
    // takes its saved width (the Models box when it is first shown).
    void restoreFromSettings();

public slots:
    void OnFileOpen();
    void OnWritePod();
    void OnViewPod();
    void OnCloneTrack();
    void OnViewStatistics();
    void OnOptions();
    void OnAbout();
    // The one-shot check after start-up: the ART and MODELS folders, then the maximised window.
    void OnStartupCheck();
    void OnAutosaveTimer();
    // The Special menu's terrain commands.
    void OnRandomTerrain();
    void OnLighting();
    void OnWeatherMask();
    void OnAdjustHeights();
    // The texture commands: the modeless transitions dialog, the Track
    // Palette dialog, and cutting textures from a picture.
    void OnTextureTransitions();
    void OnTrackPalette();

signals:
    // Program Options changed the settings: the view takes the new quality,
    // resolution, view flags and colours.
    void settingsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void restoreBoxPlace(QDockWidget& box, const ravok::SavedRect& place, uint32_t width);
    QToolBar* createTextureToolsBar();
    // The Textures menu and the Patterns box; the Special menu's texture entries.
    void createTextureMenu();
    // The Textures box's cut dialog, its removals reaching the view and the transitions, Display Textures Box.
    void connectTexturesBox();
    void addTextureCommands(QMenu* special);
    void createMenus();
    void createFileMenu();
    void createToolBars();
    void createStatusPanes();
    QToolBar* createCourseToolsBar();
    QToolBar* createGroundBoxToolsBar();
    // The Object, Truck and Building menus, the Models box and the context
    // menus of those modes (RavokFrameObjects.cpp).
    void createObjectMenus();
    // The Groundbox Tools bar's four exclusive paint checks.
    void addGroundBoxPaintChecks(QToolBar* bar);
    void updateTitle();
    void updateCommands();
    void updateRecentFiles();
    // Copies the window rectangle and its maximised state into the settings,
    // with each box's floating rectangle (none while docked) and docked width.
    void storeWindowPlace();
    void startAutosave();
    // Asks to create a missing folder after Options; created on Yes.
    void offerToCreate(const std::filesystem::path& folder, const char* caption);

    CRavokDoc& m_doc;
    ravok::ProgramSettings& m_settings;
    QAction* m_new = nullptr;
    QAction* m_newMtm1 = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_writePod = nullptr;
    QAction* m_extract = nullptr;
    QAction* m_statistics = nullptr;
    std::array<QAction*, 4> m_recent{};
    QAction* m_recentSeparator = nullptr;
    QTimer m_autosaveTimer;
    CRavokView* m_view = nullptr;
    CViewControlsBar* m_viewControls = nullptr;
    CTexturesBox* m_texturesBox = nullptr;
    CModelsBox* m_modelsBox = nullptr;
    std::array<QAction*, 5> m_modeActions{};
    std::array<QToolBar*, 5> m_modeBars{};
    QMenu* m_modeMenu = nullptr;
    QAction* m_returnToLocation = nullptr;
    QAction* m_randomTerrain = nullptr;
    QAction* m_lighting = nullptr;
    QAction* m_weatherMask = nullptr;
    CTextureTransitionsDlg* m_transitions = nullptr;
    CTexturePatternsBox* m_patterns = nullptr;
    QString m_keptStatus; // the status text an autosave message covers
};

// The About box's version line.
QString aboutVersionText(int major, int minor, int patch, int build, const QString& buildDate);
