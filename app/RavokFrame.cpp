#include "app/RavokFrame.h"

#include "app/FileDialogFilter.h"
#include "app/OptionsSheet.h"
#include "app/RavokDoc.h"
#include "app/AdjustHeightsDlg.h"
#include "app/DibClipboard.h"
#include "app/EditTrackComponents.h"
#include "app/LightingDlg.h"
#include "app/ModelsBox.h"
#include "app/RandomTerrainDlg.h"
#include "app/RavokView.h"
#include "app/TerrainToolsBar.h"
#include "app/TexturesBox.h"
#include "app/ViewControlsBar.h"
#include "app/TrackStatisticsDialog.h"
#include "app/WritePodDialogs.h"
#include "base/ProgramSettings.h"
#include "edit/GroundBoxEditing.h"
#include "edit/WeatherMask.h"
#include "model/Completeness.h"
#include "pod/CloneTrack.h"
#include "pod/TrackPodBuild.h"

#include <QAction>
#include <QApplication>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QLabel>
#include <QToolBar>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include <optional>

namespace {

QString text(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

constexpr int kMillisecondsPerMinute = 60 * 1000;

} // namespace

QString aboutVersionText(int major, int minor, int patch, int build, const QString& buildDate) {
    if (build < 1) return QString::asprintf("Ravok Version %d.%d.%d Build (%s)", major, minor, patch, qPrintable(buildDate));
    return QString::asprintf("Ravok Version %d.%d.%d Build %d (%s)", major, minor, patch, build, qPrintable(buildDate));
}

CRavokFrame::CRavokFrame(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_settings(settings) {
    m_doc.setWindow(this);
    m_view = new CRavokView(m_doc, m_settings, this);
    setCentralWidget(m_view);
    m_texturesBox = new CTexturesBox(m_doc, m_settings, this);
    addDockWidget(Qt::RightDockWidgetArea, m_texturesBox);
    connect(this, &CRavokFrame::settingsChanged, m_texturesBox, &CTexturesBox::refreshFolder);
    createMenus();
    createToolBars();
    createStatusPanes();
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(1024, 768);

    connect(&m_doc, &CRavokDoc::titleChanged, this, &CRavokFrame::updateTitle);
    connect(&m_doc, &CRavokDoc::contentsReplaced, this, &CRavokFrame::updateCommands);
    connect(&m_doc, &CRavokDoc::recentFilesChanged, this, &CRavokFrame::updateRecentFiles);
    connect(&m_doc, &CRavokDoc::statusText, this, [this](const QString& message) {
        if (!message.isEmpty()) {
            m_keptStatus = statusBar()->currentMessage();
            statusBar()->showMessage(message);
        } else {
            statusBar()->showMessage(m_keptStatus);
        }
    });
    connect(&m_autosaveTimer, &QTimer::timeout, this, &CRavokFrame::OnAutosaveTimer);
    // The menus and tool bars give no command while a worker owns the track.
    connect(&m_doc, &CRavokDoc::busyChanged, this, [this](bool busy) {
        menuBar()->setEnabled(!busy);
        for (QToolBar* bar : findChildren<QToolBar*>()) bar->setEnabled(!busy);
    });
    connect(this, &CRavokFrame::settingsChanged, m_view, &CRavokView::OnSettingsChanged);
    connect(this, &CRavokFrame::settingsChanged, m_viewControls, &CViewControlsBar::showSettings);
    connect(&m_doc, &CRavokDoc::contentsReplaced, m_viewControls->overviewMap(), &COverviewMap::refresh);
    startAutosave();
    updateTitle();
    updateCommands();
    updateRecentFiles();
}

// ---- tool bars ----------------------------------------------------------------------------

void CRavokFrame::createToolBars() {
    QToolBar* modes = addToolBar(QStringLiteral("Edit Modes"));
    modes->setObjectName(QStringLiteral("Edit Modes"));
    auto* group = new QActionGroup(this);
    const char* const names[] = {"Edit Terrain", "Edit Textures", "Edit Course", "Edit Objects", "Edit Ground Boxes"};
    // Each mode shows its own tool bar; the ground box tools and the object
    // keys come with their editing commands.
    const char* const bars[] = {"Terrain Tools", "Texture Tools", "Course Tools", nullptr, "Groundbox Tools"};
    for (int mode = 0; mode < 5; ++mode) {
        QAction* action = modes->addAction(QString::fromLatin1(names[mode]));
        action->setCheckable(true);
        action->setChecked(mode == 0);
        group->addAction(action);
        m_modeActions[size_t(mode)] = action;
        action->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + mode)));
        m_modeMenu->addAction(action);
        const auto editMode = ravok::EditMode(mode);
        if (editMode == ravok::EditMode::Terrain) {
            auto* terrain = new CTerrainToolsBar(m_view->terrainTool(), this);
            connect(terrain, &CTerrainToolsBar::notify, m_view, &CRavokView::OnBarNotification);
            connect(m_view, &CRavokView::terrainToolChanged, terrain, &CTerrainToolsBar::showParams);
            addToolBar(terrain);
            m_modeBars[size_t(mode)] = terrain;
        } else if (editMode == ravok::EditMode::Course) {
            m_modeBars[size_t(mode)] = createCourseToolsBar();
        } else if (editMode == ravok::EditMode::GroundBoxes) {
            m_modeBars[size_t(mode)] = createGroundBoxToolsBar();
        } else if (editMode == ravok::EditMode::Textures) {
            m_modeBars[size_t(mode)] = createTextureToolsBar();
        } else if (bars[mode]) {
            QToolBar* bar = new QToolBar(QString::fromLatin1(bars[mode]), this);
            bar->setObjectName(QString::fromLatin1(bars[mode]));
            bar->addWidget(new QLabel(QString::fromLatin1(bars[mode]) + QStringLiteral(" "), bar));
            addToolBar(bar);
            bar->setVisible(mode == 0);
            m_modeBars[size_t(mode)] = bar;
        }
        connect(action, &QAction::triggered, this, [this, editMode] { setEditMode(editMode); });
    }
    addToolBarBreak();
    m_viewControls = new CViewControlsBar(m_settings, m_doc.track(), m_view->camera(), this);
    addToolBar(Qt::TopToolBarArea, m_viewControls);
    connect(m_viewControls, &CViewControlsBar::notify, m_view, &CRavokView::OnBarNotification);
    connect(m_viewControls->overviewMap(), &COverviewMap::jump, m_view, &CRavokView::JumpTo);
    connect(m_view, &CRavokView::cameraMoved, m_viewControls->overviewMap(), qOverload<>(&QWidget::update));
    connect(m_view, &CRavokView::terrainEdited, m_viewControls->overviewMap(), &COverviewMap::refresh);
}

QToolBar* CRavokFrame::createCourseToolsBar() {
    QToolBar* bar = new QToolBar(QStringLiteral("Course Tools"), this);
    bar->setObjectName(QStringLiteral("Course Tools"));
    auto* course = new QComboBox(bar);
    course->setObjectName(QStringLiteral("course"));
    course->addItems({QStringLiteral("Main (0)"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                      QStringLiteral("4")});
    auto* showMain = new QCheckBox(QStringLiteral("Always show main"), bar);
    showMain->setChecked(true);
    bar->addWidget(new QLabel(QStringLiteral(" Course "), bar));
    bar->addWidget(course);
    bar->addWidget(showMain);
    connect(course, &QComboBox::currentIndexChanged, m_view, [this](int i) { m_view->OnBarNotification(ravok::ViewCommand::CurrentCourse, i); });
    connect(showMain, &QCheckBox::toggled, m_view, [this](bool on) { m_view->OnBarNotification(ravok::ViewCommand::AlwaysShowMain, on); });
    addToolBar(bar);
    bar->setVisible(false);
    return bar;
}

QToolBar* CRavokFrame::createGroundBoxToolsBar() {
    QToolBar* bar = new QToolBar(QStringLiteral("Groundbox Tools"), this);
    bar->setObjectName(QStringLiteral("Groundbox Tools"));
    auto* top = new QSpinBox(bar);
    top->setObjectName(QStringLiteral("Top"));
    top->setRange(1, 255);
    auto* bottom = new QSpinBox(bar);
    bottom->setObjectName(QStringLiteral("Bottom"));
    bottom->setRange(0, 254);
    const ravok::GroundBoxBar start;
    top->setValue(start.top);
    bottom->setValue(start.bottom);
    // A value counts once it is entered, not at every key typed: the digits
    // on the way to "150" would otherwise reach the selected box, and "1"
    // would pull its Bottom down to 0 for good.
    for (QSpinBox* spin : {top, bottom}) spin->setKeyboardTracking(false);
    auto barChanged = [this, top, bottom] {
        // Bottom stays below Top: the bar corrects it as it is typed; the selected box follows.
        const ravok::GroundBoxBar corrected = ravok::CorrectGroundBoxBar({top->value(), bottom->value()});
        const QSignalBlocker block(bottom);
        bottom->setValue(corrected.bottom);
        m_view->setGroundBoxBar(corrected);
        m_view->ApplyGroundBoxHeights();
    };
    connect(top, &QSpinBox::valueChanged, this, barChanged);
    connect(bottom, &QSpinBox::valueChanged, this, barChanged);
    // The view shows a picked box's heights, or the values its keys changed.
    connect(m_view, &CRavokView::groundBoxBarShown, this, [top, bottom](int t, int b) {
        const QSignalBlocker blockTop(top), blockBottom(bottom);
        top->setValue(t);
        bottom->setValue(b);
    });
    // The checked one of the two is the value the S and X keys change.
    auto* topChosen = new QRadioButton(QStringLiteral("Top"), bar);
    topChosen->setObjectName(QStringLiteral("keysOnTop"));
    topChosen->setChecked(true);
    auto* bottomChosen = new QRadioButton(QStringLiteral("Bottom"), bar);
    bottomChosen->setObjectName(QStringLiteral("keysOnBottom"));
    connect(topChosen, &QRadioButton::toggled, this, [this](bool on) { m_view->setGroundBoxKeysOnTop(on); });
    bar->addWidget(topChosen);
    bar->addWidget(top);
    bar->addAction(QStringLiteral("Set Top"), this, [this] { m_view->OnBarNotification(ravok::ViewCommand::GroundBoxTop, 0); });
    bar->addWidget(bottomChosen);
    bar->addWidget(bottom);
    bar->addAction(QStringLiteral("Set Bottom"), this, [this] { m_view->OnBarNotification(ravok::ViewCommand::GroundBoxBottom, 0); });
    addGroundBoxPaintChecks(bar);
    addToolBar(bar);
    bar->setVisible(false);
    return bar;
}

void CRavokFrame::setEditMode(ravok::EditMode mode) {
    for (size_t i = 0; i < m_modeBars.size(); ++i)
        if (m_modeBars[i]) m_modeBars[i]->setVisible(int(i) == int(mode));
    m_modeActions[size_t(mode)]->setChecked(true);
    m_view->OnBarNotification(ravok::ViewCommand::EditMode, int(mode));
    m_view->setFocus();
}

void CRavokFrame::createStatusPanes() {
    auto* position = new QLabel(this);
    position->setObjectName(QStringLiteral("positionPane"));
    position->setMinimumWidth(90);
    auto* height = new QLabel(this);
    height->setObjectName(QStringLiteral("heightPane"));
    height->setMinimumWidth(60);
    statusBar()->addPermanentWidget(position);
    statusBar()->addPermanentWidget(height);
    connect(m_view, &CRavokView::positionText, position, &QLabel::setText);
    connect(m_view, &CRavokView::heightText, height, &QLabel::setText);
}

// ---- menus --------------------------------------------------------------------------------

void CRavokFrame::createMenus() {
    createFileMenu();
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Undo and Redo name the step they take ("Undo Raise Terrain").
    QAction* undo = edit->addAction(QStringLiteral("&Undo"), m_view, &CRavokView::Undo);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setObjectName(QStringLiteral("undo"));
    QAction* redo = edit->addAction(QStringLiteral("&Redo"), m_view, &CRavokView::Redo);
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo->setObjectName(QStringLiteral("redo"));
    auto showHistory = [this, undo, redo] {
        undo->setText(m_view->undoText());
        redo->setText(m_view->redoText());
        undo->setEnabled(m_view->canUndo());
        redo->setEnabled(m_view->canRedo());
    };
    connect(m_view, &CRavokView::historyChanged, this, showHistory);
    connect(edit, &QMenu::aboutToShow, this, showHistory);
    showHistory();
    edit->addSeparator();
    QAction* copyObject = edit->addAction(QStringLiteral("&Copy Object"), m_view, &CRavokView::CopyObject);
    copyObject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    QAction* pasteObject = edit->addAction(QStringLiteral("&Paste"), m_view, &CRavokView::Paste);
    pasteObject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    edit->addAction(QStringLiteral("Copy Terrain as Bitmap"), m_view, &CRavokView::CopyTerrainBitmap);
    QAction* pasteBitmap =
        edit->addAction(QStringLiteral("Paste Terrain Bitmap"), m_view, &CRavokView::PasteTerrainBitmapFromClipboard);
    connect(edit, &QMenu::aboutToShow, this, [pasteBitmap] { pasteBitmap->setEnabled(ravok::ClipboardHasBitmap()); });
    edit->addAction(QStringLiteral("Adjust Terrain &Heights..."), this, &CRavokFrame::OnAdjustHeights);
    edit->addSeparator();
    m_extract = edit->addAction(QStringLiteral("E&xtract Models and Art"), &m_doc, &CRavokDoc::ExtractArt);
    // The edit modes, filled with the mode buttons' actions (Ctrl+1..Ctrl+5).
    m_modeMenu = menuBar()->addMenu(QStringLiteral("&Mode"));

    QMenu* terrain = menuBar()->addMenu(QStringLiteral("&Terrain"));
    // The terrain tools, as the Terrain Tools bar's list offers them.
    QMenu* tools = terrain->addMenu(QStringLiteral("T&ool"));
    const char* const toolNames[] = {"&Raise / Lower", "&Hill", "&Slope", "&Mound", "&Bumps", "Smoo&th", "&Plane",
                                     "Single-poi&nt"};
    auto* toolGroup = new QActionGroup(tools);
    for (int tool = 0; tool < 8; ++tool) {
        QAction* action = tools->addAction(QString::fromLatin1(toolNames[tool]), this, [this, tool] {
            m_view->OnBarNotification(ravok::ViewCommand::TerrainTool, tool);
        });
        action->setCheckable(true);
        toolGroup->addAction(action);
    }
    connect(tools, &QMenu::aboutToShow, this, [this, tools] {
        tools->actions().at(int(m_view->terrainTool().tool))->setChecked(true);
    });
    terrain->addSeparator();
    terrain->addAction(QStringLiteral("Copy Area"), m_view, &CRavokView::CopyArea);
    terrain->addAction(QStringLiteral("Paste Area"), m_view, &CRavokView::PasteArea);
    terrain->addSeparator();
    terrain->addAction(QStringLiteral("Adjust Heights..."), this, &CRavokFrame::OnAdjustHeights);

    createTextureMenu();
    connectTexturesBox();
    QMenu* course = menuBar()->addMenu(QStringLiteral("&Course"));
    course->addAction(QStringLiteral("Insert Segment"), m_view, &CRavokView::InsertSegment);
    course->addAction(QStringLiteral("Delete Segment"), m_view, &CRavokView::DeleteSegment);
    course->addAction(QStringLiteral("Reverse"), m_view, &CRavokView::ReverseSegment);
    course->addAction(QStringLiteral("Speed Limit"), m_view, &CRavokView::EditSpeedLimit);
    course->addAction(QStringLiteral("Generate from Main"), m_view, &CRavokView::GenerateFromMain);
    course->addAction(QStringLiteral("Delete All Segments"), m_view, &CRavokView::DeleteAllSegments);

    createObjectMenus();

    QMenu* special = menuBar()->addMenu(QStringLiteral("&Special"));
    m_randomTerrain = special->addAction(QStringLiteral("Random Terrain"), this, &CRavokFrame::OnRandomTerrain);
    m_lighting = special->addAction(QStringLiteral("Lighting"), this, &CRavokFrame::OnLighting);
    m_weatherMask = special->addAction(QStringLiteral("&Weather Mask"), this, &CRavokFrame::OnWeatherMask);
    special->addAction(QStringLiteral("Track C&omponents"), this, [this] { EditTrackComponents(m_doc, *m_view); });
    addTextureCommands(special);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_statistics = view->addAction(QStringLiteral("Statisti&cs"), this, &CRavokFrame::OnViewStatistics);
    view->addSeparator();
    view->addAction(QStringLiteral("Look Straight &Down"), this,
                    [this] { m_view->OnBarNotification(ravok::ViewCommand::LookStraightDown, 0); });
    m_returnToLocation = view->addAction(QStringLiteral("Return to Location"), m_view, &CRavokView::ReturnToLocation);
    m_returnToLocation->setShortcut(Qt::Key_F3);
    m_returnToLocation->setEnabled(false);
    QAction* save = view->addAction(QStringLiteral("Save Location"), this, [this] {
        m_view->SaveLocation();
        m_returnToLocation->setEnabled(true);
    });
    save->setShortcut(Qt::Key_F2);
    view->addAction(m_texturesBox->toggleViewAction());
    view->addAction(m_view->reliefShadingAction());
    view->addSeparator();
    view->addAction(QStringLiteral("&Options"), this, &CRavokFrame::OnOptions);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About Ravok..."), this, &CRavokFrame::OnAbout);
}

void CRavokFrame::createFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_new = file->addAction(QStringLiteral("&New"), &m_doc, &CRavokDoc::OnNewDocument);
    m_new->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_newMtm1 = file->addAction(QStringLiteral("New (MTM&1)"), &m_doc, &CRavokDoc::OnFileNewMTM1);
    QAction* open = file->addAction(QStringLiteral("&Open..."), this, &CRavokFrame::OnFileOpen);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_save = file->addAction(QStringLiteral("&Save"), &m_doc, &CRavokDoc::DoFileSave);
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveAs = file->addAction(QStringLiteral("Save &As..."), &m_doc, &CRavokDoc::DoFileSaveAs);
    file->addSeparator();
    m_writePod = file->addAction(QStringLiteral("&Write POD File..."), this, &CRavokFrame::OnWritePod);
    m_writePod->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addAction(QStringLiteral("&View POD..."), this, &CRavokFrame::OnViewPod);
    QAction* clone = file->addAction(QStringLiteral("&Clone Track..."), this, &CRavokFrame::OnCloneTrack);
    clone->setStatusTip(QStringLiteral("Clone old track"));
    m_recentSeparator = file->addSeparator();
    for (size_t i = 0; i < m_recent.size(); ++i) {
        m_recent[i] = file->addAction(QString(), this, [this, i] {
            const QStringList files = m_doc.recentFiles();
            if (i < size_t(files.size())) m_doc.OpenFile(files[qsizetype(i)]);
        });
    }
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setShortcut(QKeySequence::Quit);
}

void CRavokFrame::updateRecentFiles() {
    const QStringList files = m_doc.recentFiles();
    for (size_t i = 0; i < m_recent.size(); ++i) {
        const bool used = i < size_t(files.size());
        m_recent[i]->setVisible(used);
        if (used)
            m_recent[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[qsizetype(i)])));
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

void CRavokFrame::updateCommands() {
    const bool viewing = m_doc.podViewMode();
    m_save->setEnabled(!viewing);
    m_saveAs->setEnabled(!viewing);
    m_writePod->setEnabled(!viewing);
    m_extract->setEnabled(viewing);
    m_randomTerrain->setEnabled(!viewing);
    m_lighting->setEnabled(!viewing);
    m_weatherMask->setEnabled(!viewing && ravok::CanEditWeatherMask(m_doc.track()));
}

void CRavokFrame::OnRandomTerrain() {
    if (m_doc.podViewMode()) return;
    CRandomTerrainDlg dialog(ravok::RandomTerrainParams::fromSettings(m_settings.autoTerrain, m_settings.seed), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.params().toSettings(m_settings.autoTerrain, m_settings.seed);
    m_view->ReplaceHeights(dialog.heights());
}

void CRavokFrame::OnLighting() {
    if (m_doc.podViewMode()) return;
    ravok::LightingParams start = ravok::LightingParams::fromSettings(m_settings.lighting);
    start.sun = ravok::SunPositionOfTrack(m_doc.track());
    CLightingDlg dialog(start, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const ravok::LightingParams chosen = dialog.params();
    chosen.toSettings(m_settings.lighting);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool lit = ravok::ComputeTerrainLighting(m_doc.track(), chosen);
    QApplication::restoreOverrideCursor();
    if (!lit) return;
    m_doc.recordEdit(QStringLiteral("Lighting"));
    m_view->OnTrackChanged(); // every page is drawn again with the new light
}

void CRavokFrame::OnAdjustHeights() {
    if (m_doc.podViewMode()) return;
    CAdjustHeightsDlg dialog(ravok::TerrainHeightRange(m_doc.track()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_view->AdjustHeights(dialog.params());
}

void CRavokFrame::OnWeatherMask() {
    ravok::CTrackPOD& track = m_doc.track();
    if (!ravok::CanEditWeatherMask(track)) return;
    CWeatherMaskDlg dialog(track.weatherMask, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (ravok::SetWeatherMask(track, dialog.mask())) m_doc.recordEdit(QStringLiteral("Weather Mask"));
}

void CRavokFrame::updateTitle() {
    setWindowTitle(m_doc.title() + (m_doc.isModified() ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - Ravok"));
    updateCommands();
}

// ---- file commands ------------------------------------------------------------------------

void CRavokFrame::OnFileOpen() {
    QString start = m_doc.lastFolder();
    if (start.isEmpty() && !m_doc.recentFiles().isEmpty()) start = QFileInfo(m_doc.recentFiles().front()).absolutePath();
    QFileDialog dialog(this, QStringLiteral("Open"), start, QtFileFilter(kTrackFilesFilter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("rvk"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    m_doc.OpenFile(dialog.selectedFiles().front());
}

void CRavokFrame::OnWritePod() {
    if (m_doc.podViewMode()) return;
    ravok::CTrackPOD& track = m_doc.track();
    const ravok::CompletenessReport report = ravok::CheckTrackComplete(track);
    if (!report.complete) {
        CIncompleteDlg incomplete(QString::fromStdString(report.text).remove('\r'), this);
        if (incomplete.exec() != QDialog::Accepted) return;
    }
    const ravok::FallbackEstimate estimate = ravok::EstimateLegacyFallback(track, m_settings.artFolder);
    if (estimate.total >= 1 && !m_settings.dontExplainLegacyFallback) {
        CLegacyFallbackDlg explain(estimate, this);
        const int answer = explain.exec();
        if (explain.dontExplainAgain()) m_settings.dontExplainLegacyFallback = true;
        if (answer != QDialog::Accepted) return;
    }
    const auto target = askPodTarget(this, estimate, track.omitLegacyFallback != 0,
                                     suggestedPodPath(track, text(m_settings.podFolder)));
    if (!target) return;
    m_doc.WritePod(target->path, target->omitFallback);
}

void CRavokFrame::OnViewPod() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load POD file to View"),
                                                      text(m_settings.podFolder),
                                                      QtFileFilter("POD files (*.pod);;All Files (*)"));
    if (!path.isEmpty()) m_doc.ViewPod(path);
}

void CRavokFrame::OnCloneTrack() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Choose the situation file (.SIT / .SI2) of the track to clone"),
        text(m_settings.sitFolder), QtFileFilter(ravok::kCloneDialogFilter));
    if (!path.isEmpty()) m_doc.CloneTrack(path);
}

void CRavokFrame::OnViewStatistics() {
    TrackStatisticsDialog dialog(m_doc.track(), this);
    dialog.exec();
}

// ---- options, about, start-up -------------------------------------------------------------

void CRavokFrame::offerToCreate(const std::filesystem::path& folder, const char* caption) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) return;
    const std::string question = "Folder:\n\"" + folder.string() + "\"\ndoes not exist.\nDo you want it to be created?";
    if (m_doc.prompter().askYesNo(question, caption, true)) std::filesystem::create_directories(folder, error);
}

void CRavokFrame::OnOptions() {
    COptionsSheet sheet(m_settings, this);
    if (sheet.exec() != QDialog::Accepted) return;
    m_settings = sheet.values();
    // A new interval counts from now, for autosave and the recovery file alike.
    m_autosaveTimer.stop();
    startAutosave();
    m_doc.startRecovery(m_settings.autosave.minutes);
    emit settingsChanged();
    offerToCreate(m_settings.artFolder, "ART Folder Not Found");
    offerToCreate(m_settings.modelsFolder, "MODELS Folder Not Found");
}

void CRavokFrame::OnAbout() {
    const QStringList parts = QStringLiteral(RAVOK_VERSION).split('.');
    auto part = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    QMessageBox::about(this, QStringLiteral("About Ravok"),
                       aboutVersionText(part(0), part(1), part(2), 0, QStringLiteral(__DATE__)) +
                           QStringLiteral("\n\nA track editor for MTM1 and MTM2."));
}

void CRavokFrame::OnStartupCheck() {
    std::error_code error;
    const auto& art = m_settings.artFolder;
    const auto& models = m_settings.modelsFolder;
    if (!std::filesystem::is_directory(art, error) || !std::filesystem::is_directory(models, error)) {
        const std::string question = "ART/MODELS folders are currently:\n\"" + art.string() + "\"\n\"" +
                                     models.string() +
                                     "\"\nand the don't exist.\n\nGo to View/Options to set them up.\n\nOr shall I "
                                     "create them for you?";
        if (m_doc.prompter().askYesNo(question, "Folder(s) Not Found", true)) {
            std::filesystem::create_directories(art, error);
            std::filesystem::create_directories(models, error);
        }
    }
    if (m_settings.maximized) showMaximized();
}

void CRavokFrame::startAutosave() {
    if (!m_settings.autosave.enabled) return;
    m_autosaveTimer.start(ravok::clampAutosaveMinutes(m_settings.autosave.minutes) * kMillisecondsPerMinute);
}

void CRavokFrame::OnAutosaveTimer() { m_doc.Autosave(); }

// ---- window place -------------------------------------------------------------------------

namespace {

std::optional<QRect> savedRect(const ravok::SavedRect& r) {
    if (r.left == -1000 || r.right <= r.left || r.bottom <= r.top) return std::nullopt;
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

ravok::SavedRect toSavedRect(const QRect& g) { return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}; }

} // namespace

void CRavokFrame::restoreFromSettings() {
    if (const auto r = savedRect(m_settings.windowPos)) setGeometry(*r);
    restoreBoxPlace(*m_texturesBox, m_settings.texturesRect, m_settings.texturePaneWidth);
    restoreBoxPlace(*m_modelsBox, m_settings.modelsRect, m_settings.modelsListWidth);
}

void CRavokFrame::restoreBoxPlace(QDockWidget& box, const ravok::SavedRect& place, uint32_t width) {
    if (const auto r = savedRect(place)) {
        box.setFloating(true);
        box.setGeometry(*r);
        return;
    }
    if (width == 0) return;
    auto applyWidth = [this, &box, width] { resizeDocks({&box}, {int(width)}, Qt::Horizontal); };
    if (box.isVisible()) return applyWidth();
    // A hidden box takes its width when it is first shown.
    auto* once = new QObject(&box);
    connect(&box, &QDockWidget::visibilityChanged, once, [once, applyWidth](bool visible) {
        if (!visible) return;
        applyWidth();
        once->deleteLater();
    });
}

void CRavokFrame::storeWindowPlace() {
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    m_settings.windowPos = toSavedRect(g);
    m_settings.maximized = isMaximized();
    auto store = [](const QDockWidget& box, ravok::SavedRect& place, uint32_t& width) {
        place = box.isFloating() ? toSavedRect(box.geometry()) : ravok::SavedRect{};
        if (!box.isFloating() && box.isVisible()) width = uint32_t(box.width());
    };
    store(*m_texturesBox, m_settings.texturesRect, m_settings.texturePaneWidth);
    store(*m_modelsBox, m_settings.modelsRect, m_settings.modelsListWidth);
}

void CRavokFrame::closeEvent(QCloseEvent* event) {
    if (!m_doc.SaveModified()) {
        event->ignore();
        return;
    }
    storeWindowPlace();
    m_view->storeEditState();
    event->accept();
}
