#include "app/ProgressDlg.h"

#include "art/TrackArt.h"
#include "base/Interfaces.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const char* captionOf(int operation) {
    switch (operation) {
    case kLoadFileOperation: return "Loading file...";
    case kSaveFileOperation: return "Saving file...";
    case kLoadPodOperation: return "Loading POD...";
    case kWritePodOperation: return "Writing POD...";
    case kLoadArtOperation: return "Loading Art...";
    case kLoadModelsOperation: return "Loading Models...";
    case kLoadModelArtOperation: return "Loading Model Art...";
    case kBuildPaletteOperation: return "Building palette...";
    default: return nullptr;
    }
}

} // namespace

// The track's progress window while the job runs: every call crosses to the
// dialog on the interface thread through a queued call.
class CProgressDlg::Sink : public ravok::ProgressSink {
public:
    explicit Sink(CProgressDlg& dialog) : m_dialog(dialog) {}
    void setRange(int max) override { post(&CProgressDlg::onRange, max); }
    void setPosition(int pos) override { post(&CProgressDlg::onPosition, pos); }
    void step() override {
        QMetaObject::invokeMethod(&m_dialog, &CProgressDlg::onStep, Qt::QueuedConnection);
    }
    void setText(const std::string& text) override {
        post(&CProgressDlg::onText, QString::fromStdString(text));
    }
    void setCaption(const std::string& caption) override {
        post(&CProgressDlg::onCaption, QString::fromStdString(caption));
    }
    bool cancelled() const override { return m_dialog.m_cancel.load(); }

private:
    template <typename Slot, typename Value> void post(Slot slot, Value value) {
        CProgressDlg* dialog = &m_dialog;
        QMetaObject::invokeMethod(dialog, [dialog, slot, value] { (dialog->*slot)(value); }, Qt::QueuedConnection);
    }
    CProgressDlg& m_dialog;
};

CProgressDlg::CProgressDlg(ProgressJob& job, QWidget* parent) : QDialog(parent), m_job(job) {
    setWindowTitle(QStringLiteral("Just a sec..."));
    setModal(true);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_text = new QLabel(this);
    m_text->setMinimumWidth(320);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_cancelButton, &QPushButton::clicked, this, &CProgressDlg::cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);
    layout->addWidget(m_cancelButton, 0, Qt::AlignRight);
}

CProgressDlg::~CProgressDlg() {
    if (m_worker.joinable()) {
        m_cancel = true;
        m_worker.join();
    }
}

void CProgressDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started) return;
    m_started = true;
    if (!captionOf(m_job.operation) || !m_job.track) {
        QMetaObject::invokeMethod(this, [this] { onFinished(-1); }, Qt::QueuedConnection);
        return;
    }
    m_starting = true;
    if (onShown) onShown(*this);
    m_starting = false;
    m_worker = std::thread([this] { runJob(); });
}

void CProgressDlg::cancel() {
    m_cancel = true;
    if (m_worker.joinable()) {
        // The worker stops at its next step; onFinished closes the dialog.
        m_cancelButton->setEnabled(false);
        m_text->setText(QStringLiteral("Cancelling..."));
        return;
    }
    // Before the worker starts the flag alone stops it at its first step.
    if (m_started && !m_starting) done(-1);
}

void CProgressDlg::runJob() {
    Sink sink(*this);
    ravok::CTrackPOD& track = *m_job.track;
    track.progressWindow = &sink;
    sink.setCaption(captionOf(m_job.operation));
    const bool ok = runOperation();
    track.progressWindow = nullptr;
    QMetaObject::invokeMethod(this, [this, ok] { onFinished(ok ? 0 : -1); }, Qt::QueuedConnection);
}

bool CProgressDlg::runOperation() {
    ravok::CTrackPOD& track = *m_job.track;
    ravok::BadReport report;
    switch (m_job.operation) {
    case kLoadFileOperation: return ravok::LoadBinary(track, m_job.path);
    case kSaveFileOperation: return ravok::SaveBinary(track, m_job.path, m_job.prompter);
    case kLoadPodOperation: return track.Load(m_job.path, m_job.trackIndex);
    case kWritePodOperation:
        if (!m_job.keepHdArtOnly && track.progressWindow)
            track.progressWindow->setCaption("Updating HD textures...");
        ravok::PrepareTrackForPod(track, m_job.artFolder, m_job.keepHdArtOnly);
        if (track.progressWindow) track.progressWindow->setCaption("Writing POD...");
        m_job.podResult = ravok::BuildTrackPod(track, m_job.path, m_job.artFolder, m_job.prompter);
        return m_job.podResult.written;
    case kLoadArtOperation: {
        const bool ok = ravok::LoadTextures(track, m_job.artFolder, report);
        m_job.report = report.text();
        return ok;
    }
    case kLoadModelsOperation: {
        const bool ok = ravok::LoadModels(track, m_job.modelsFolder, m_job.artFolder, report);
        m_job.report = report.text();
        return ok;
    }
    case kLoadModelArtOperation: {
        const bool ok = ravok::ReloadModelTextures(track, m_job.artFolder, report);
        m_job.report = report.text();
        return ok;
    }
    case kBuildPaletteOperation:
        return m_job.buildPalette && track.progressWindow && m_job.buildPalette(track, *track.progressWindow);
    default: return false;
    }
}

void CProgressDlg::onRange(int max) { m_bar->setRange(0, max > 0 ? max : 1); }

void CProgressDlg::onPosition(int position) {
    m_bar->setValue(std::min(position, m_bar->maximum()));
    emit positionChanged(position);
}

void CProgressDlg::onStep() { onPosition(m_bar->value() + 1); }

void CProgressDlg::onText(const QString& text) {
    if (!m_cancel) m_text->setText(text);
}

void CProgressDlg::onCaption(const QString& caption) { setWindowTitle(caption); }

void CProgressDlg::onFinished(int result) {
    if (m_worker.joinable()) m_worker.join();
    m_job.cancelled = m_cancel.load();
    done(m_job.cancelled ? -1 : result);
}

int RunProgress(ProgressJob& job, QWidget* parent) {
    CProgressDlg dialog(job, parent);
    return dialog.exec() == 0 ? 0 : -1;
}
