#include "app/RavokDoc.h"

#include "app/FileDialogFilter.h"
#include "app/SelectTrackDlg.h"
#include "base/FileIO.h"
#include "base/ProgramSettings.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "pod/PodExtract.h"
#include "pod/PodTrackList.h"
#include "pod/WritePodTexts.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kRecentFiles = 4;
constexpr int kMaxFolderPath = 260;

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
                                            QtFileFilter(kTrackFilesFilter));
    };
}

void CRavokDoc::setWindow(QWidget* window) {
    m_window = window;
    m_boxes.setParent(window);
}

// ---- replacing the whole track ---------------------------------------------------------

namespace {

// Progress of a step run without the dialog (New).
class NoProgress : public ravok::ProgressSink {
public:
    void setRange(int) override {}
    void setPosition(int) override {}
    void step() override {}
    void setText(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

ravok::StepResult newTrackStep() {
    ravok::StepResult result;
    result.ok = true;
    return result;
}

} // namespace

// Holds one of the document's busy flags up for a scope.
struct BusyFlagUp {
    BusyFlagUp(CRavokDoc& doc, bool& flag) : m_doc(doc), m_flag(flag) { m_doc.setBusyFlag(m_flag, true); }
    ~BusyFlagUp() { m_doc.setBusyFlag(m_flag, false); }
    CRavokDoc& m_doc;
    bool& m_flag;
};

void CRavokDoc::setBusyFlag(bool& flag, bool on) {
    const bool was = busy();
    flag = on;
    if (busy() != was) emit busyChanged(busy());
}

void CRavokDoc::DeleteContents() {
    // The views let go of everything made from the track on aboutToReplaceContents, before this.
    m_track.Clear();
}

ravok::DocumentFolders CRavokDoc::folders() const {
    return {m_settings.artFolder, m_settings.modelsFolder, bool(m_settings.keepHdArtOnly)};
}

ravok::StepResult CRavokDoc::runStep(const Step& step) {
    ravok::StepResult result;
    const ProgressOutcome outcome = runProgress([&](ravok::ProgressSink& sink) {
        result = step(m_track, sink);
        return result.ok;
    });
    // Cancelled before the worker started: the step never ran.
    if (outcome.cancelled) result.cancelled = true;
    return result;
}

ravok::StepResult CRavokDoc::ReplaceTrack(const Step& step, bool onWorker, const QString& path, Naming naming,
                                          bool modified) {
    BusyFlagUp replacing(*this, m_replacing);
    // The old track and its name go together: nothing may be written under
    // the old name from here on.
    m_pathName.clear();
    m_title.clear();
    m_modified = false;
    setTextureSelection(-1, {});
    emit aboutToReplaceContents();
    DeleteContents();
    NoProgress direct;
    ravok::StepResult result = onWorker ? runStep(step) : step(m_track, direct);
    if (result.ok) {
        m_pathName = naming == Naming::ByPath && !path.isEmpty() ? QFileInfo(path).absoluteFilePath() : QString();
        m_title = naming == Naming::ByTrackName ? QString::fromStdString(m_track.trackName.str()) : QString();
        m_modified = modified;
    } else {
        m_track.Clear(); // a failed or cancelled step leaves nothing half-filled behind
    }
    emit contentsReplaced();
    emit titleChanged();
    if (!result.cancelled) showReports(result);
    return result;
}

void CRavokDoc::showReports(const ravok::StepResult& result) {
    for (const ravok::StepReport& report : result.reports)
        messages().warn(report.text, report.caption.empty() ? programCaption().toStdString() : report.caption);
}

bool CRavokDoc::SaveModified() {
    if (busy()) return false;
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
    ReplaceTrack([](ravok::CTrackPOD& track, ravok::ProgressSink&) {
        ravok::NewMtm2Track(track);
        return newTrackStep();
    }, false, {}, Naming::ByPath, false);
    return true;
}

bool CRavokDoc::OnFileNewMTM1() {
    if (!SaveModified()) return false;
    ReplaceTrack([](ravok::CTrackPOD& track, ravok::ProgressSink&) {
        ravok::NewMtm1Track(track);
        return newTrackStep();
    }, false, {}, Naming::ByPath, false);
    return true;
}

// ---- native files ---------------------------------------------------------------------

bool CRavokDoc::OpenFile(const QString& path) {
    if (!SaveModified()) return false;
    return OnOpenDocument(path);
}

bool CRavokDoc::OnOpenDocument(const QString& path) {
    if (busy()) return false;
    const ravok::DocumentFolders from = folders();
    const ravok::StepResult result = ReplaceTrack(
        [&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
            return ravok::OpenTrackFile(track, toPath(path), from, prompter(), sink);
        },
        true, path, Naming::ByPath, false);
    if (!result.ok) return false;
    rememberFile(path);
    return true;
}

bool CRavokDoc::OnSaveDocument(const QString& path) {
    if (busy()) return false;
    if (m_track.podViewMode) {
        messages().warn(ravok::kPodViewOnlyMessage, ravok::kPodViewOnlyCaption);
        return false;
    }
    const ravok::DocumentFolders from = folders();
    const ravok::StepResult result = runStep([&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
        return ravok::SaveTrackFile(track, toPath(path), from, prompter(), sink);
    });
    if (!result.ok) {
        // The modified flag stays: the work is not on disk.
        if (!result.cancelled) showReports(result);
        return false;
    }
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
    // Never while a worker owns the track or a new one is coming in, and
    // never a track viewed from a pod.
    if (busy() || m_track.podViewMode) return false;
    const QString target = autosaveTarget();
    if (target.isEmpty()) return false;
    QDir().mkpath(folderOf(target));
    emit statusText(QStringLiteral("Saving file..."));
    const bool saved = ravok::SaveBinary(m_track, toPath(target));
    emit statusText({});
    return saved;
}

// ---- crash recovery ---------------------------------------------------------------------

namespace {

constexpr const char* kRecoveryQuestion =
    "Ravok did not close properly last time.\n\nRecover the unsaved work on \"%1\" from %2?";
constexpr const char* kRecoveryCaption = "Recover Track";

QString recoveryNotePath() { return CRavokDoc::recoveryPath() + QStringLiteral(".note"); }

// The note beside the recovery file: when it was written (milliseconds since
// the epoch) and the document's path, one a line.
struct RecoveryNote {
    qint64 written = 0;
    QString path;
};

std::optional<RecoveryNote> readRecoveryNote() {
    QFile file(recoveryNotePath());
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    bool ok = false;
    RecoveryNote note;
    note.written = lines.value(0).toLongLong(&ok);
    if (!ok) return std::nullopt;
    note.path = lines.value(1);
    return note;
}

} // namespace

QString CRavokDoc::recoveryPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("Recovery.rvk");
}

void CRavokDoc::startRecovery(int minutes) {
    connect(&m_recoveryTimer, &QTimer::timeout, this, &CRavokDoc::WriteRecovery, Qt::UniqueConnection);
    m_recoveryTimer.start(std::max(1, minutes) * 60 * 1000);
}

bool CRavokDoc::WriteRecovery() {
    if (busy() || m_track.podViewMode) return false;
    // Nothing unsaved: the document's own file holds the work.
    if (!m_modified) {
        RemoveRecovery();
        return false;
    }
    QDir().mkpath(folderOf(recoveryPath()));
    const std::vector<uint8_t> bytes = ravok::SaveBinaryToMemory(m_track);
    const QByteArray note =
        (QString::number(QDateTime::currentMSecsSinceEpoch()) + QLatin1Char('\n') + m_pathName + QLatin1Char('\n'))
            .toUtf8();
    return ravok::writeFileAtomically(toPath(recoveryPath()), bytes) &&
           ravok::writeFileAtomically(toPath(recoveryNotePath()),
                                      {reinterpret_cast<const uint8_t*>(note.constData()), size_t(note.size())});
}

void CRavokDoc::RemoveRecovery() {
    QFile::remove(recoveryPath());
    QFile::remove(recoveryNotePath());
}

bool CRavokDoc::OfferRecovery() {
    const std::optional<RecoveryNote> note = readRecoveryNote();
    if (!note || !QFile::exists(recoveryPath())) {
        RemoveRecovery();
        return false;
    }
    // The document's file was saved after the recovery file: nothing to recover.
    const QFileInfo document(note->path);
    if (!note->path.isEmpty() && document.exists() &&
        document.lastModified().toMSecsSinceEpoch() >= note->written) {
        RemoveRecovery();
        return false;
    }
    const QString name = note->path.isEmpty() ? QStringLiteral("Untitled") : document.fileName();
    const QString when = QDateTime::fromMSecsSinceEpoch(note->written).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    if (!messages().askYesNo(QString::fromLatin1(kRecoveryQuestion).arg(name, when).toStdString(), kRecoveryCaption,
                             true)) {
        RemoveRecovery();
        return false;
    }
    const ravok::DocumentFolders from = folders();
    const QString recovery = recoveryPath();
    const std::string documentPath = note->path.toStdString();
    const ravok::StepResult result = ReplaceTrack(
        [&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
            ravok::StepResult step = ravok::ReadTrackFile(track, toPath(recovery), sink);
            if (!step.ok) return step;
            // Art beside the track is looked for beside the document's own file.
            track.filePath.set(documentPath);
            ravok::StepResult art = ravok::OpenTrackArt(track, from, sink);
            art.ok = true; // the track is whole; missing art is only reported
            art.version = step.version;
            return art;
        },
        true, note->path, Naming::ByPath, true);
    return result.ok;
}

// ---- progress ---------------------------------------------------------------------------

ProgressOutcome CRavokDoc::runProgress(CProgressDlg::Work work) {
    BusyFlagUp busy(*this, m_busy);
    return RunProgress(m_window, std::move(work));
}

// ---- pods and clones --------------------------------------------------------------------

bool CRavokDoc::ViewPod(const QString& podPath) {
    if (!SaveModified()) return false;
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
    const ravok::DocumentFolders from = folders();
    // The document gets no file: nothing of the viewed pod is ever saved over another track.
    const ravok::StepResult result = ReplaceTrack(
        [&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
            return ravok::ViewPodTrack(track, toPath(podPath), index, from, prompter(), sink);
        },
        true, {}, Naming::ByTrackName, false);
    if (!result.ok) return false;
    m_settings.podFolder = toPath(folderOf(podPath));
    return true;
}

bool CRavokDoc::CloneTrack(const QString& situationFile) {
    if (!SaveModified()) return false;
    m_settings.sitFolder = toPath(folderOf(situationFile));
    const ravok::DocumentFolders from = folders();
    // A clone has never been saved: leaving it asks first.
    const ravok::StepResult result = ReplaceTrack(
        [&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
            return ravok::CloneTrackFromGame(track, toPath(situationFile), from, prompter(), sink);
        },
        true, {}, Naming::ByTrackName, true);
    return result.ok;
}

bool CRavokDoc::WritePod(const QString& podPath, bool omitFallback) {
    if (busy() || m_track.podViewMode) return false;
    if (bool(m_track.omitLegacyFallback) != omitFallback) {
        m_track.omitLegacyFallback = omitFallback;
        setModified(true);
    }
    m_settings.podFolder = toPath(folderOf(podPath));
    const ravok::DocumentFolders from = folders();
    const ravok::StepResult result = runStep([&](ravok::CTrackPOD& track, ravok::ProgressSink& sink) {
        return ravok::WriteTrackPod(track, toPath(podPath), from, prompter(), sink);
    });
    // Models read again from changed files: the views drop their old meshes.
    if (result.modelsReloaded > 0) emit modelsChanged();
    if (result.cancelled) return false;
    if (result.ok) emit statusText(QString::fromStdString(ravok::PodWrittenText(toPath(podPath), result.podBytes)));
    showReports(result);
    return result.ok && result.pod.ok;
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
