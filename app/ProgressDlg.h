#pragma once

#include "pod/TrackPodBuild.h"

#include <QDialog>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ravok {
class CTrackPOD;
class Prompter;
class ProgressSink;
} // namespace ravok

// The long track operations that run on the progress dialog's worker.
enum ProgressOperation {
    kLoadFileOperation = 0,
    kSaveFileOperation = 1,
    kLoadPodOperation = 2,
    kWritePodOperation = 3,
    kLoadArtOperation = 6,
    kLoadModelsOperation = 7,
    kLoadModelArtOperation = 8,
    kBuildPaletteOperation = 9,
};

// What one operation needs and what it hands back.
struct ProgressJob {
    int operation = kLoadFileOperation;
    ravok::CTrackPOD* track = nullptr;
    std::filesystem::path path;
    std::filesystem::path artFolder, modelsFolder;
    int trackIndex = 0;         // pod loading
    bool keepHdArtOnly = false; // pod writing: no legacy copies brought up to date
    // Asks and tells from the worker; must be safe to call off the interface thread.
    ravok::Prompter* prompter = nullptr;
    // The palette build of operation 9, given by its command.
    std::function<bool(ravok::CTrackPOD&, ravok::ProgressSink&)> buildPalette;

    std::string report;               // filled by the loaders: problems, one per line
    ravok::PodBuildResult podResult;  // pod writing
    bool cancelled = false;           // the user pressed Cancel
};

// "Just a sec...": a bar, a text line and Cancel, shown modally while one
// worker thread runs the job. The interface thread leaves the track alone
// until the worker has finished. Cancel raises a flag the worker polls
// between steps; the dialog closes when the worker has stopped.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    CProgressDlg(ProgressJob& job, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    bool cancelRequested() const { return m_cancel.load(); }

    // Called with each dialog once it shows, before its worker starts: lets
    // tests press Cancel at a known point.
    static inline std::function<void(CProgressDlg&)> onShown;

public slots:
    void cancel();

signals:
    // Emitted on the interface thread for every position the worker reports.
    void positionChanged(int position);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override { cancel(); }

private slots:
    void onRange(int max);
    void onPosition(int position);
    void onStep();
    void onText(const QString& text);
    void onCaption(const QString& caption);
    void onFinished(int result);

private:
    class Sink;
    friend class Sink;
    void runJob();
    bool runOperation();

    ProgressJob& m_job;
    QProgressBar* m_bar;
    QLabel* m_text;
    QPushButton* m_cancelButton;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_started = false;
    bool m_starting = false; // between showing and starting the worker
};

// Shows the progress dialog for the job; 0 on success, -1 on failure or Cancel.
int RunProgress(ProgressJob& job, QWidget* parent);
