#include "app/CutTexturesDlg.h"

#include "app/DibClipboard.h"
#include "app/FileDialogFilter.h"
#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "edit/TextureClipboard.h"
#include "trackart/TextureFolderFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace ravok;

namespace {

QString fromCore(const std::string& s) {
    return QString::fromStdString(s);
}

QSpinBox* spinBox(const char* name, int low, int high, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

CCutTexturesDlg::CCutTexturesDlg(CutSource source, const CutSettings& start, QWidget* parent)
    : QDialog(parent), m_source(std::move(source)), m_previousSize(start.tileSize),
      m_chosenOutput(start.output) {
    setWindowTitle(QStringLiteral("Cut Textures from an Image"));
    auto* open = new QPushButton(QStringLiteral("Open Image..."));
    connect(open, &QPushButton::clicked, this, &CCutTexturesDlg::onOpenImage);
    m_output = new QComboBox;
    m_output->setObjectName(QStringLiteral("Output"));
    m_output->addItems({QStringLiteral("PNG"), QStringLiteral("TGA"), QStringLiteral("RAW/ACT")});
    m_output->setCurrentIndex(int(start.output));
    m_tileSize = new QComboBox;
    m_tileSize->setObjectName(QStringLiteral("TileSize"));
    m_left = spinBox("Left", 0, 8191, start.left);
    m_top = spinBox("Top", 0, 8191, start.top);
    m_columns = spinBox("Columns", 1, kMaxCutGrid, start.columns);
    m_rows = spinBox("Rows", 1, kMaxCutGrid, start.rows);
    m_overlap = new QCheckBox(QStringLiteral("Border overlap for MTM2 ground tiles"));
    m_overlap->setChecked(start.borderOverlap);
    m_keepHd = new QCheckBox(QStringLiteral("Keep HD art only - do not write .RAW / .ACT files"));
    m_keepHd->setChecked(start.keepHdArtOnly);
    m_base = new QLineEdit(QString::fromStdString(start.baseName));
    m_base->setObjectName(QStringLiteral("BaseName"));
    m_base->setMaxLength(int(kMaxCutBaseName));
    m_sourceLine = new QLabel;
    m_sourceLine->setObjectName(QStringLiteral("sourceLine"));
    m_sourceLine->setWordWrap(true);
    m_summaryLine = new QLabel;
    m_summaryLine->setObjectName(QStringLiteral("summaryLine"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Output:"), m_output);
    form->addRow(QStringLiteral("Tile size:"), m_tileSize);
    form->addRow(QStringLiteral("Left offset:"), m_left);
    form->addRow(QStringLiteral("Top offset:"), m_top);
    form->addRow(QStringLiteral("Columns:"), m_columns);
    form->addRow(QStringLiteral("Rows:"), m_rows);
    form->addRow(QStringLiteral("Base name:"), m_base);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCutTexturesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(open);
    layout->addLayout(form);
    layout->addWidget(m_overlap);
    layout->addWidget(m_keepHd);
    layout->addWidget(m_sourceLine);
    layout->addWidget(m_summaryLine);
    layout->addWidget(buttons);

    connect(m_output, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_output->isEnabled()) m_chosenOutput = CutOutput(std::clamp(index, 0, 2));
        fillTileSizes();
    });
    connect(m_tileSize, &QComboBox::currentIndexChanged, this, [this] {
        if (m_tileSize->currentIndex() >= 0) m_previousSize = m_tileSize->currentData().toInt();
        refresh();
    });
    for (QSpinBox* box : {m_left, m_top, m_columns, m_rows})
        connect(box, &QSpinBox::valueChanged, this, &CCutTexturesDlg::refresh);
    for (QCheckBox* box : {m_overlap, m_keepHd})
        connect(box, &QCheckBox::toggled, this, &CCutTexturesDlg::refresh);
    connect(m_base, &QLineEdit::textChanged, this, &CCutTexturesDlg::refresh);
    fillTileSizes();
}

CutSettings CCutTexturesDlg::settings() const {
    CutSettings c;
    c.tileSize = m_tileSize->currentIndex() >= 0 ? m_tileSize->currentData().toInt() : 0;
    c.left = m_left->value();
    c.top = m_top->value();
    c.columns = m_columns->value();
    c.rows = m_rows->value();
    c.output = m_chosenOutput;
    c.borderOverlap = m_overlap->isChecked();
    c.keepHdArtOnly = m_keepHd->isChecked();
    c.baseName = m_base->text().trimmed().toStdString();
    return c;
}

// The sizes follow the source and the output kind; the previous choice
// stays when it is still offered.
void CCutTexturesDlg::fillTileSizes() {
    // A palette picture always gives RAW/ACT tiles in its own palette.
    const CutOutput output = EffectiveCutOutput(m_source, m_chosenOutput);
    {
        const QSignalBlocker block(m_output);
        m_output->setEnabled(m_source.kind != CutSourceKind::Paletted);
        m_output->setCurrentIndex(int(output));
    }
    const std::vector<int> offered = OfferedTileSizes(m_source, output);
    const int chosen = ChooseTileSize(offered, m_previousSize);
    {
        const QSignalBlocker block(m_tileSize);
        m_tileSize->clear();
        for (int size : offered)
            m_tileSize->addItem(QString::fromStdString(TileSizeLabel(size)), size);
        m_tileSize->setCurrentIndex(m_tileSize->findData(chosen));
    }
    refresh();
}

void CCutTexturesDlg::refresh() {
    const CutSettings c = settings();
    const bool raw = EffectiveCutOutput(m_source, c.output) == CutOutput::RawAct;
    m_overlap->setEnabled(raw);
    m_keepHd->setEnabled(!raw && m_source.kind == CutSourceKind::TrueColour);
    m_sourceLine->setText(sourceLine());
    m_summaryLine->setText(summaryLine());
    m_ok->setEnabled(CutSummaryReady(m_source, c));
}

QString CCutTexturesDlg::sourceLine() const {
    return fromCore(CutSourceLine(m_source, settings()));
}
QString CCutTexturesDlg::summaryLine() const {
    return fromCore(CutSummaryLine(m_source, settings()));
}

bool CCutTexturesDlg::openImage(const std::filesystem::path& path) {
    std::string message;
    auto source = CutSourceFromFile(path, message);
    if (!source) {
        QMessageBox::warning(this, QString::fromLatin1(kPasteCompositeCaption),
                             message.empty() ? QStringLiteral("That image could not be read.")
                                             : fromCore(message));
        return false;
    }
    m_source = std::move(*source);
    fillTileSizes();
    return true;
}

void CCutTexturesDlg::onOpenImage() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Choose an image to cut into textures"), QString(),
        QtFileFilter("PNG and TGA images (*.png *.tga);;All Files (*)"));
    if (!path.isEmpty()) openImage(std::filesystem::path(path.toStdString()));
}

void CCutTexturesDlg::accept() {
    const Outcome outcome = CheckCutSettings(m_source, settings());
    if (!outcome) {
        QMessageBox::warning(this, QString::fromLatin1(kPasteCompositeCaption), fromCore(outcome.message));
        return;
    }
    QDialog::accept();
}

bool RunCutTexturesDialog(CutSource& source, CutSettings& cut, ProgramSettings& settings, QWidget* parent) {
    // A new dialog each time: it opens again after a refused name.
    CCutTexturesDlg dialog(std::move(source), cut, parent);
    if (settings.texCutSize.cx > 0 && settings.texCutSize.cy > 0)
        dialog.resize(settings.texCutSize.cx, settings.texCutSize.cy);
    const int answer = dialog.exec();
    settings.texCutSize = {dialog.width(), dialog.height()};
    cut = dialog.settings();
    source = dialog.takeSource();
    return answer == QDialog::Accepted;
}

