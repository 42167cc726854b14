#pragma once

#include "app/MessageBoxPrompter.h"
#include "app/ProgressDlg.h"
#include "doc/DocumentSteps.h"
#include "model/TrackPod.h"

#include <QObject>
#include <QTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace ravok {
struct ProgramSettings;
}

// The single document: owns the one track for the whole run, and runs the
// commands that replace or store the whole of it.
class CRavokDoc : public QObject {
    Q_OBJECT
public:
    explicit CRavokDoc(ravok::ProgramSettings& settings, QObject* parent = nullptr);

    ravok::CTrackPOD& track() { return m_track; }
    const ravok::CTrackPOD& track() const { return m_track; }
    ravok::ProgramSettings& settings() { return m_settings; }

    // The window that owns the document's dialogs and message boxes.
    void setWindow(QWidget* window);
    QWidget* window() const { return m_window; }
    // Questions and messages go through message boxes unless a prompter is given.
    void setPrompter(ravok::Prompter* prompter) { m_prompter = prompter; }
    ravok::Prompter& prompter() { return m_prompter ? *m_prompter : m_boxes; }

    // New (MTM2) and New (MTM1); false when the user kept the old track.
    bool OnNewDocument();
    bool OnFileNewMTM1();
    // Asks to save first, then opens the file; the recent-file list learns it.
    bool OpenFile(const QString& path);
    // Replaces the track by the file's, loads its art and models.
    bool OnOpenDocument(const QString& path);
    // Writes the track to `path`; refused while a pod is viewed.
    bool OnSaveDocument(const QString& path);
    // Save (Save As when the track has no file yet); false when nothing was saved.
    bool DoFileSave();
    bool DoFileSaveAs();
    // Whether the current track may be replaced (asks to save a modified one).
    bool SaveModified();
    void DeleteContents();

    // View POD, after the file dialog: asks for the track when the pod holds several.
    bool ViewPod(const QString& podPath);
    // Clone Track, after the file dialog.
    bool CloneTrack(const QString& situationFile);
    // Write POD, after its dialogs.
    bool WritePod(const QString& podPath, bool omitFallback);
    // Extract Models and Art of a viewed pod.
    void ExtractArt();

    // One autosave tick: true when the track was written. Never while a step
    // owns or replaces the track (its reports included), never in view-only mode.
    bool Autosave();
    // Where the autosave of the current method would write; empty for none.
    QString autosaveTarget() const;
    // The special autosave file, in the per-user application data folder.
    static QString specialAutosavePath();

    // Crash recovery. At every autosave interval (whether autosave is on or
    // not) a modified track is written to a recovery file in the per-user
    // data folder, with the time and the document's path; a clean exit
    // removes it. At the next start OfferRecovery asks whether to take the
    // work back when the recovery file is newer than its document's file.
    static QString recoveryPath();
    void startRecovery(int minutes);
    const QTimer& recoveryTimer() const { return m_recoveryTimer; }
    // One recovery tick: true when the recovery file was written.
    bool WriteRecovery();
    void RemoveRecovery();
    // Yes opens the recovered track as modified under its old name (or
    // Untitled); No removes it. True when a track was recovered.
    bool OfferRecovery();

    // Runs `work` on the progress dialog's worker; the document is busy meanwhile.
    ProgressOutcome runProgress(CProgressDlg::Work work);
    // A worker owns the track, or the track is being replaced.
    bool busy() const { return m_busy || m_replacing; }
    // The folders the document steps read art and models from.
    ravok::DocumentFolders folders() const;

    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // An edit made outside the view (a dialog, a box), under the name the
    // undo history gives its step: the document is modified and the view
    // records the step.
    void recordEdit(const QString& stepName);
    bool podViewMode() const { return m_track.podViewMode; }
    QString pathName() const { return m_pathName; }
    // The document's title: the file name, the pod's track name, or "Untitled".
    QString title() const;

    // The folder of the last track file opened or saved.
    QString lastFolder() const { return m_lastFolder; }
    void setLastFolder(const QString& folder) { m_lastFolder = folder; }

    // The four most recent track files, newest first.
    QStringList recentFiles() const { return m_recentFiles; }
    void setRecentFiles(const QStringList& files);

    // The Textures box's selection: the slot that painting, ground-box faces
    // and animating act on (-1 for none), and every selected slot.
    int selectedTexture() const { return m_selectedTexture; }
    const std::vector<int>& textureSelection() const { return m_textureSelection; }
    void setTextureSelection(int selected, std::vector<int> all);

    // The palette the Track Palette dialog last installed: the Color Palette
    // choice Custom (16) installs it again.
    std::optional<ravok::PaletteColours> customPalette;

    // Picks the track of a pod holding several (the Select Track dialog);
    // returns the index or -1 for Cancel. Replaceable for tests.
    std::function<int(const QStringList& names)> chooseTrack;
    // "Save changes to ...?": 1 yes, 0 no, -1 cancel. Replaceable for tests.
    std::function<int(const QString& title)> askToSave;
    // The Save As file dialog; empty for Cancel. Replaceable for tests.
    std::function<QString(const QString& suggested)> askSavePath;

signals:
    // The track is about to be cleared and replaced: renderers release their
    // caches of models, backdrop and ground boxes now, and show nothing of
    // the track until contentsReplaced.
    void aboutToReplaceContents();
    // A worker took the track (true) or gave it back (false). While busy, the
    // views, boxes and timers neither read nor change the track; the view
    // finishes a drag under way before a worker starts.
    void busyChanged(bool busy);
    // The whole track was replaced: views rebuild everything they show.
    void contentsReplaced();
    void titleChanged();
    void recentFilesChanged();
    // The texture table changed (textures added, removed, renumbered or
    // remapped): views drop their texture objects and rebuild their lists.
    void texturesChanged();
    // The model table changed: views rebuild their object meshes.
    void modelsChanged();
    void textureSelectionChanged();
    // A message for the status bar's first pane; empty restores the old text.
    void statusText(const QString& text);
    // An edit to record in the undo history (see recordEdit).
    void editRecorded(const QString& stepName);
    // The track was written to its file as it now stands.
    void saved();

private:
    // How the document is named once its track is replaced.
    enum class Naming { ByPath, ByTrackName };
    using Step = std::function<ravok::StepResult(ravok::CTrackPOD&, ravok::ProgressSink&)>;
    // The one place where the document's track is replaced (New, Open, View
    // POD, Clone): the old track is cleared, `step` fills the new one (on the
    // progress worker when `onWorker`), and the path, title and modified flag
    // change with it once it is complete. Then the step's reports are shown.
    // Autosave is held off from start to end.
    ravok::StepResult ReplaceTrack(const Step& step, bool onWorker, const QString& path, Naming naming,
                                   bool modified);
    // Runs a step on the progress worker; a step cancelled before it started reports so.
    ravok::StepResult runStep(const Step& step);
    void showReports(const ravok::StepResult& result);
    void rememberFile(const QString& path);
    ravok::Prompter& messages() { return prompter(); }
    // Raises or lowers one of the busy flags, announcing a change of busy().
    void setBusyFlag(bool& flag, bool on);
    friend struct BusyFlagUp;

    ravok::ProgramSettings& m_settings;
    ravok::CTrackPOD m_track;
    MessageBoxPrompter m_boxes;
    ravok::Prompter* m_prompter = nullptr;
    QWidget* m_window = nullptr;
    QString m_pathName, m_title, m_lastFolder;
    QStringList m_recentFiles;
    bool m_modified = false;
    int m_selectedTexture = -1;
    std::vector<int> m_textureSelection;
    bool m_busy = false;
    bool m_replacing = false;
    QTimer m_recoveryTimer;
};
