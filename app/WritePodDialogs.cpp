#include "app/WritePodDialogs.h"

#include "app/FileDialogFilter.h"
#include "model/Completeness.h"
#include "model/TrackPod.h"
#include "pod/TrackPodBuild.h"
#include "pod/WritePodTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString format(const char* pattern, long a) { return QString::asprintf(pattern, a); }

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CIncompleteDlg::CIncompleteDlg(const QString& report, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ravok::kIncompleteTrackCaption));
    auto* text = new QPlainTextEdit(report, this);
    text->setObjectName(QStringLiteral("report"));
    text->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromLatin1(ravok::kIncompleteTrackHeading), this));
    layout->addWidget(text);
    layout->addWidget(new QLabel(QString::fromLatin1(ravok::kIncompleteTrackOk), this));
    layout->addWidget(new QLabel(QString::fromLatin1(ravok::kIncompleteTrackWarning), this));
    layout->addWidget(buttons);
    resize(480, 360);
}

CLegacyFallbackDlg::CLegacyFallbackDlg(const ravok::FallbackEstimate& estimate, QWidget* parent) : QDialog(parent) {
    using ravok::FallbackEstimate;
    setWindowTitle(QStringLiteral("Legacy .RAW fallback"));
    const QString sizes = QString::asprintf(ravok::kFallbackSizeFormat, FallbackEstimate::kilobytes(estimate.total),
                                            FallbackEstimate::kilobytes(estimate.modelArt),
                                            FallbackEstimate::kilobytes(estimate.terrain));
    auto* explanation = wrappedLabel(QString::fromLatin1(ravok::kFallbackExplanation).remove('\r'), this);
    explanation->setObjectName(QStringLiteral("explanation"));
    m_dontExplain = new QCheckBox(QString::fromLatin1(ravok::kDontExplainAgain), this);
    m_dontExplain->setObjectName(QStringLiteral("dontExplain"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Continue"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(sizes, this));
    layout->addWidget(explanation);
    layout->addWidget(m_dontExplain);
    layout->addWidget(buttons);
    // The dialog grows to fit the explanation.
    setMinimumWidth(520);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

bool CLegacyFallbackDlg::dontExplainAgain() const { return m_dontExplain->isChecked(); }

QString suggestedPodPath(const ravok::CTrackPOD& track, const QString& podFolder) {
    const QString stem = QString::fromStdString(std::string(track.WorldName.view()));
    if (stem.isEmpty()) return podFolder;
    return QDir(podFolder).filePath(stem + QStringLiteral(".pod"));
}

std::optional<PodTarget> askPodTarget(QWidget* parent, const ravok::FallbackEstimate& estimate, bool omitFallback,
                                      const QString& suggested) {
    const QFileInfo proposed(suggested);
    const bool isFolder = proposed.isDir();
    QFileDialog dialog(parent, QString::fromLatin1(ravok::kWritePodDialogTitle),
                       isFolder ? suggested : proposed.absolutePath(), QtFileFilter(ravok::kPodFileFilter));
    if (!isFolder) dialog.selectFile(proposed.fileName());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pod"));
    // Qt's own dialog, so that the check box can sit under it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const long kb = ravok::FallbackEstimate::kilobytes(estimate.total);
    auto* omit = new QCheckBox(estimate.total > 0 ? format(ravok::kOmitFallbackSavesFormat, kb)
                                                  : QString::fromLatin1(ravok::kOmitFallbackNoSources),
                               &dialog);
    omit->setObjectName(QStringLiteral("omitFallback"));
    omit->setChecked(omitFallback);
    omit->setEnabled(estimate.total > 0);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(omit, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PodTarget{dialog.selectedFiles().front(), omit->isChecked()};
}
