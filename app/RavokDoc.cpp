#include "app/RavokDoc.h"

#include "app/ProgressDlg.h"
#include "app/SelectTrackDlg.h"
#include "art/TrackArt.h"
#include "base/ProgramSettings.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "pod/CloneTrack.h"
#include "pod/PodExtract.h"
#include "pod/PodTrackList.h"
#include "pod/SituationFile.h"
#include "pod/WritePodTexts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kRecentFiles = 4;
constexpr int kMaxFolderPath = 260;
constexpr const char* kTrackFilesFilter = "Ravok MTM Track Files (*.rvk);;All Files (*)";

fs::path toPath(const QString& path) { return fs::path(path.toStdString()); }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Keeps a wait cursor up while a command works without the progress dialog.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

CRavokDoc::CRavokDoc(ravok::ProgramSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {
    ravok::NewMtm2Track(m_track);
    chooseTrack = [this](const QStringList& names) { return chooseTrackOfPod(names, m_window); };
    askToSave = [this](const QString& title) {
        const auto answer = QMessageBox::question(m_window, programCaption(),
                                                  QStringLiteral("Save changes to %1?").arg(title),
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes ? 1 : answer == QMessageBox::No ? 0 : -1;
    };
    askSavePath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(m_window, QStringLiteral("Save As"), suggested,
                                            QString::fromLatin1(kTrackFilesFilter));
    };
}

void CRavokDoc::setWindow(QWidget* window) {
    m_window = window;
    m_boxes.setParent(window);
}

// ---- replacing the whole track ---------------------------------------------------------

void CRavokDoc::DeleteContents() {
    // The renderers drop their caches of models, backdrop and boxes on contentsReplaced.
    m_track.Clear();
}

void CRavokDoc::replaced(const QString& path, const QString& title) {
    m_pathName = path;
    m_title = title;
    m_modified = false;
    setTextureSelection(-1, {});
    emit contentsReplaced();
    emit titleChanged();
}

bool CRavokDoc::SaveModified() {
    if (m_busy) return false;
    if (m_track.podViewMode) m_modified = false; // leaving a viewed pod never asks
    if (!m_modified) return true;
    switch (askToSave(title())) {
    case 1: return DoFileSave();
    case 0: return true;
    default: return false;
    }
}

bool CRavokDoc::OnNewDocument() {
    if (!SaveModified()) return false;
    DeleteContents();
    ravok::NewMtm2Track(m_track);
    replaced({}, {});
    return true;
}

bool CRavokDoc::OnFileNewMTM1() {
    if (!SaveModified()) return false;
    DeleteContents();
    ravok::NewMtm1Track(m_track);
    replaced({}, {});
    return true;
}

// ---- native files ---------------------------------------------------------------------

bool CRavokDoc::OpenFile(const QString& path) {
    if (!SaveModified()) return false;
    return OnOpenDocument(path);
}

bool CRavokDoc::OnOpenDocument(const QString& path) {
    DeleteContents();
    ProgressJob job;
    job.operation = kLoadFileOperation;
    job.path = toPath(path);
    if (runProgress(job) != 0) {
        m_track.Clear(); // a partly read file leaves nothing behind
        replaced({}, {});
        if (!job.cancelled) messages().warn("Error loading rvk file", programCaption().toStdString());
        return false;
    }
    if (m_track.isMtm2())
        m_track.SetUpMtm2();
    else
        m_track.SetUpMtm1();
    loadArtAndModels();
    replaced(QFileInfo(path).absoluteFilePath(), {});
    rememberFile(path);
    return true;
}

void CRavokDoc::loadArtAndModels() {
    m_track.hdSourceCallback = ravok::ArtFolderHdSource(m_settings.artFolder);
    ProgressJob art;
    art.operation = kLoadArtOperation;
    art.artFolder = m_settings.artFolder;
    if (runProgress(art) != 0 && !art.cancelled) messages().warn(art.report, ravok::kTextureLoadCaption);
    if (art.cancelled) return;
    ProgressJob models;
    models.operation = kLoadModelsOperation;
    models.artFolder = m_settings.artFolder;
    models.modelsFolder = m_settings.modelsFolder;
    if (runProgress(models) != 0 && !models.cancelled) messages().warn(models.report, ravok::kModelLoadCaption);
}

bool CRavokDoc::OnSaveDocument(const QString& path) {
    if (m_track.podViewMode) {
        messages().warn(ravok::kPodViewOnlyMessage, ravok::kPodViewOnlyCaption);
        return false;
    }
    ProgressJob job;
    job.operation = kSaveFileOperation;
    job.path = toPath(path);
    job.prompter = &prompter();
    if (runProgress(job) != 0) {
        // The modified flag stays: the work is not on disk.
        if (!job.cancelled)
            messages().warn("Failed to save document.\n" + path.toStdString(), programCaption().toStdString());
        return false;
    }
    m_track.filePath.set(job.path.string());
    m_pathName = QFileInfo(path).absoluteFilePath();
    m_title.clear();
    m_modified = false;
    rememberFile(path);
    emit titleChanged();
    emit saved();
    return true;
}

bool CRavokDoc::DoFileSave() {
    if (m_pathName.isEmpty()) return DoFileSaveAs();
    return OnSaveDocument(m_pathName);
}

bool CRavokDoc::DoFileSaveAs() {
    if (m_track.podViewMode) return OnSaveDocument({});
    QString start = m_pathName;
    if (start.isEmpty()) {
        const QString folder = m_lastFolder.isEmpty() ? QString::fromStdString(m_settings.trackFolder.string())
                                                      : m_lastFolder;
        start = QDir(folder).filePath(QString::fromStdString(m_track.trackName.str()).trimmed() + ".rvk");
    }
    QString path = askSavePath(start);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".rvk");
    return OnSaveDocument(path);
}

void CRavokDoc::rememberFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString folder = folderOf(absolute);
    if (folder.size() < kMaxFolderPath) m_lastFolder = folder;
    QStringList files = m_recentFiles;
    files.removeAll(absolute);
    files.prepend(absolute);
    setRecentFiles(files);
}

void CRavokDoc::setRecentFiles(const QStringList& files) {
    m_recentFiles = files.mid(0, kRecentFiles);
    emit recentFilesChanged();
}

// ---- autosave ---------------------------------------------------------------------------

QString CRavokDoc::specialAutosavePath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("RavokAuto.rvk");
}

QString CRavokDoc::autosaveTarget() const {
    if (m_pathName.isEmpty()) return {};
    return m_settings.autosave.method == 0 ? m_pathName : specialAutosavePath();
}

bool CRavokDoc::Autosave() {
    // Never while a worker owns the track, and never a track viewed from a pod.
    if (m_busy || m_track.podViewMode) return false;
    const QString target = autosaveTarget();
    if (target.isEmpty()) return false;
    QDir().mkpath(folderOf(target));
    emit statusText(QStringLiteral("Saving file..."));
    const bool saved = ravok::SaveBinary(m_track, toPath(target));
    emit statusText({});
    return saved;
}

// ---- progress ---------------------------------------------------------------------------

int CRavokDoc::runProgress(ProgressJob& job) {
    job.track = &m_track;
    if (!job.prompter) job.prompter = &prompter();
    m_busy = true;
    const int result = RunProgress(job, m_window);
    m_busy = false;
    m_track.progressWindow = nullptr;
    return result;
}

// ---- pods and clones --------------------------------------------------------------------

void CRavokDoc::ReportSituationFileProblems() {
    const std::string text = ravok::SituationProblemText(m_track);
    if (!text.empty()) messages().warn(text, ravok::kSituationProblemCaption);
}

bool CRavokDoc::ViewPod(const QString& podPath) {
    if (!SaveModified()) return false;
    DeleteContents();
    replaced({}, {});
    const ravok::PodTrackList list = ravok::ListPodSituationFiles(toPath(podPath));
    if (!list.warnings.empty()) messages().inform(list.warnings, ravok::kTrackNamingWarningCaption);
    if (list.tracks.empty()) {
        messages().warn(ravok::kNoTracksInPodMessage, programCaption().toStdString());
        return false;
    }
    int index = 0;
    if (list.tracks.size() > 1) {
        QStringList names;
        for (const auto& entry : list.tracks) names << QString::fromStdString(entry.displayName);
        index = chooseTrack(names);
        if (index < 0) return false;
    }
    ProgressJob job;
    job.operation = kLoadPodOperation;
    job.path = toPath(podPath);
    job.trackIndex = index;
    if (runProgress(job) != 0) {
        m_track.Clear();
        replaced({}, {});
        return false;
    }
    // The document has no file: nothing of the viewed pod is ever saved over another track.
    replaced({}, QString::fromStdString(m_track.trackName.str()));
    ReportSituationFileProblems();
    m_settings.podFolder = toPath(folderOf(podPath));
    return true;
}

bool CRavokDoc::CloneTrack(const QString& situationFile) {
    if (!SaveModified()) return false;
    DeleteContents();
    m_settings.sitFolder = toPath(folderOf(situationFile));
    std::string message;
    if (!ravok::CloneFromGameFolder(m_track, toPath(situationFile), message)) {
        replaced({}, {});
        messages().warn(message, ravok::kCloneErrorCaption);
        return false;
    }
    replaced({}, QString::fromStdString(m_track.trackName.str()));
    ReportSituationFileProblems();
    if (std::string cylinders = ravok::CloneCylinderWarning(m_track); !cylinders.empty())
        messages().warn(cylinders, ravok::kCloneCaption);
    loadArtAndModels();
    // A clone has never been saved: leaving it asks first.
    setModified(true);
    emit contentsReplaced();
    return true;
}

bool CRavokDoc::WritePod(const QString& podPath, bool omitFallback) {
    if (m_track.podViewMode) return false;
    if (bool(m_track.omitLegacyFallback) != omitFallback) {
        m_track.omitLegacyFallback = omitFallback;
        setModified(true);
    }
    ProgressJob job;
    job.operation = kWritePodOperation;
    job.path = toPath(podPath);
    job.artFolder = m_settings.artFolder;
    job.keepHdArtOnly = m_settings.keepHdArtOnly;
    m_settings.podFolder = toPath(folderOf(podPath));
    if (runProgress(job) != 0) {
        if (!job.cancelled) messages().warn(ravok::kPodSaveErrorMessage, programCaption().toStdString());
        return false;
    }
    return job.podResult.ok;
}

void CRavokDoc::ExtractArt() {
    if (!m_track.podViewMode) return;
    WaitCursor wait;
    ravok::ExtractPodArt(m_track, m_settings.artFolder, m_settings.modelsFolder, prompter());
}

// ---- title ------------------------------------------------------------------------------

void CRavokDoc::recordEdit(const QString& stepName) {
    emit editRecorded(stepName); // the view's history takes the step and sets the modified mark
    if (!m_modified) setModified(true);
}

void CRavokDoc::setModified(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    emit titleChanged();
}

void CRavokDoc::setTextureSelection(int selected, std::vector<int> all) {
    if (selected == m_selectedTexture && all == m_textureSelection) return;
    m_selectedTexture = selected;
    m_textureSelection = std::move(all);
    emit textureSelectionChanged();
}

QString CRavokDoc::title() const {
    if (!m_title.isEmpty()) return m_title;
    return m_pathName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_pathName).fileName();
}
