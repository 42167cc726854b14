#include "app/ProgressDlg.h"

#include "base/Interfaces.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

// The work's progress sink: every call crosses to the dialog on the
// interface thread through a queued call.
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

CProgressDlg::CProgressDlg(Work work, QWidget* parent) : QDialog(parent), m_work(std::move(work)) {
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
    if (!m_work) {
        QMetaObject::invokeMethod(this, [this] { onFinished(false); }, Qt::QueuedConnection);
        return;
    }
    m_starting = true;
    if (onShown) onShown(*this);
    m_starting = false;
    m_worker = std::thread([this] { runWork(); });
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
    if (m_started && !m_starting) {
        m_outcome = {false, true};
        done(-1);
    }
}

void CProgressDlg::runWork() {
    Sink sink(*this);
    const bool ok = m_work(sink);
    if (onWorkDone) onWorkDone(*this);
    QMetaObject::invokeMethod(this, [this, ok] { onFinished(ok); }, Qt::QueuedConnection);
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

void CProgressDlg::onFinished(bool ok) {
    if (m_worker.joinable()) m_worker.join();
    // The work's own result stands: a Cancel that came after it finished
    // did not stop anything.
    m_outcome = {ok, !ok && m_cancel.load()};
    done(ok ? 0 : -1);
}

ProgressOutcome RunProgress(QWidget* parent, CProgressDlg::Work work) {
    CProgressDlg dialog(std::move(work), parent);
    dialog.exec();
    return dialog.outcome();
}
