#pragma once

#include <QDialog>

#include <atomic>
#include <functional>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ravok {
class ProgressSink;
} // namespace ravok

// How a progress operation ended: `ok` is what the work returned; `cancelled`
// when the user pressed Cancel and the work stopped before it was done. A
// Cancel pressed after the work had finished changes nothing.
struct ProgressOutcome {
    bool ok = false;
    bool cancelled = false;
};

// "Just a sec...": a bar, a text line and Cancel, shown modally while one
// worker thread runs a piece of work (a document step, a palette build...).
// The interface thread leaves the track alone until the worker has finished.
// Cancel raises a flag the work polls between steps through its sink; the
// dialog closes when the worker has stopped.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    // The work runs on the worker thread and reports through the sink; it
    // returns whether it succeeded.
    using Work = std::function<bool(ravok::ProgressSink&)>;

    explicit CProgressDlg(Work work, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    bool cancelRequested() const { return m_cancel.load(); }
    // Valid once the dialog has closed.
    ProgressOutcome outcome() const { return m_outcome; }

    // Called with each dialog once it shows, before its worker starts: lets
    // tests press Cancel at a known point.
    static inline std::function<void(CProgressDlg&)> onShown;
    // Called on the worker once the work has returned, before the dialog
    // learns it: lets tests press Cancel after the work is done.
    static inline std::function<void(CProgressDlg&)> onWorkDone;

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
    void onFinished(bool ok);

private:
    class Sink;
    friend class Sink;
    void runWork();

    Work m_work;
    QProgressBar* m_bar;
    QLabel* m_text;
    QPushButton* m_cancelButton;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    ProgressOutcome m_outcome;
    bool m_started = false;
    bool m_starting = false; // between showing and starting the worker
};

// Shows the progress dialog while `work` runs on its worker.
ProgressOutcome RunProgress(QWidget* parent, CProgressDlg::Work work);
