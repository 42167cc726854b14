#include "app/TrackPaletteDlg.h"

#include "app/FileDialogFilter.h"
#include "app/ProgressDlg.h"
#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"
#include "trackart/TrackPaletteOptimiser.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kCellPixels = 16;
const QString kPalFilter = QtFileFilter("MS palette files (*.pal)");
const QString kActFilter = QtFileFilter("MTM ACT files (*.act)");

std::filesystem::path toPath(const QString& s) {
    return std::filesystem::path(s.toStdString());
}

} // namespace

// The 16 x 16 cells of the palette; a click selects an entry, which is outlined.
class CPaletteGrid : public QWidget {
  public:
    CPaletteGrid(const ravok::PaletteColours& colours, const int& selected, CTrackPaletteDlg& owner)
        : m_colours(colours), m_selected(selected), m_owner(owner) {
        setFixedSize(16 * kCellPixels + 1, 16 * kCellPixels + 1);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int i = 0; i < 256; ++i) {
            const ravok::RgbColour& c = m_colours[size_t(i)];
            painter.fillRect(cell(i), QColor(c.r, c.g, c.b));
        }
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(cell(m_selected).adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(cell(m_selected).adjusted(1, 1, -2, -2));
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        const int column = at.x() / kCellPixels, row = at.y() / kCellPixels;
        if (column >= 0 && column < 16 && row >= 0 && row < 16) m_owner.selectEntry(row * 16 + column);
    }

  private:
    static QRect cell(int i) {
        return {(i % 16) * kCellPixels, (i / 16) * kCellPixels, kCellPixels, kCellPixels};
    }
    const ravok::PaletteColours& m_colours;
    const int& m_selected;
    CTrackPaletteDlg& m_owner;
};

CTrackPaletteDlg::CTrackPaletteDlg(CRavokDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_colours(doc.track().palette.colours()) {
    setWindowTitle(QStringLiteral("Track Palette"));
    m_grid = new CPaletteGrid(m_colours, m_selected, *this);
    auto field = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setMaximumWidth(60);
        return edit;
    };
    m_index = field("Index"), m_red = field("Red"), m_green = field("Green"), m_blue = field("Blue");
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Index"), m_index);
    fields->addRow(QStringLiteral("Red"), m_red);
    fields->addRow(QStringLiteral("Green"), m_green);
    fields->addRow(QStringLiteral("Blue"), m_blue);
    auto* load = new QPushButton(QStringLiteral("Load..."));
    auto* save = new QPushButton(QStringLiteral("Save..."));
    auto* optimised = new QPushButton(QStringLiteral("Create Optimized Palette"));
    optimised->setObjectName(QStringLiteral("Optimise"));
    connect(load, &QPushButton::clicked, this, &CTrackPaletteDlg::onLoad);
    connect(save, &QPushButton::clicked, this, &CTrackPaletteDlg::onSave);
    connect(optimised, &QPushButton::clicked, this, &CTrackPaletteDlg::optimise);
    auto* side = new QVBoxLayout;
    side->addLayout(fields);
    side->addWidget(load);
    side->addWidget(save);
    side->addWidget(optimised);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_grid);
    top->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    showColours();
}

void CTrackPaletteDlg::selectEntry(int index) {
    m_selected = std::clamp(index, 0, 255);
    showColours();
}

void CTrackPaletteDlg::showColours() {
    const ravok::RgbColour& c = m_colours[size_t(m_selected)];
    m_index->setText(QString::number(m_selected));
    m_red->setText(QString::number(c.r));
    m_green->setText(QString::number(c.g));
    m_blue->setText(QString::number(c.b));
    m_grid->update();
}

bool CTrackPaletteDlg::loadFile(const std::filesystem::path& path, ravok::PaletteFileKind kind) {
    if (!ravok::LoadPaletteFile(path, kind, m_colours)) return false;
    showColours();
    return true;
}

bool CTrackPaletteDlg::saveFile(const std::filesystem::path& path, ravok::PaletteFileKind kind) const {
    return ravok::SavePaletteFile(path, kind, m_colours);
}

void CTrackPaletteDlg::onLoad() {
    QString filter = kPalFilter;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Palette File"), QString(),
                                     kPalFilter + QStringLiteral(";;") + kActFilter, &filter);
    if (path.isEmpty()) return;
    loadFile(toPath(path), filter == kActFilter ? ravok::PaletteFileKind::Act : ravok::PaletteFileKind::Riff);
}

void CTrackPaletteDlg::onSave() {
    QFileDialog dialog(this, QStringLiteral("Write Palette file"), QString(),
                       kPalFilter + QStringLiteral(";;") + kActFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pal"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == kActFilter ? QStringLiteral("act") : QStringLiteral("pal"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const auto kind = dialog.selectedNameFilter() == kActFilter ? ravok::PaletteFileKind::Act
                                                                : ravok::PaletteFileKind::Riff;
    saveFile(toPath(dialog.selectedFiles().front()), kind);
}

bool CTrackPaletteDlg::optimise() {
    std::optional<ravok::PaletteColours> result;
    const std::filesystem::path art = m_doc.settings().artFolder;
    const ravok::CTrackPOD& track = m_doc.track();
    const ProgressOutcome outcome = m_doc.runProgress([&result, &track, art](ravok::ProgressSink& sink) {
        sink.setCaption(ravok::kBuildingPaletteCaption);
        result = ravok::OptimisedPalette(track, art, &sink);
        return result.has_value();
    });
    if (outcome.cancelled) return false;
    if (!outcome.ok || !result) {
        m_doc.prompter().warn(ravok::kPaletteErrorMessage, {});
        return false;
    }
    m_colours = *result;
    showColours();
    return true;
}

ravok::PaletteReloadResult InstallTrackPalette(CRavokDoc& doc, const ravok::PaletteColours& colours) {
    ravok::PaletteReloadResult result;
    const std::filesystem::path art = doc.settings().artFolder;
    ravok::CTrackPOD& track = doc.track();
    doc.runProgress([&result, &colours, &track, art](ravok::ProgressSink& sink) {
        sink.setCaption(ravok::kBuildingPaletteCaption);
        result = ravok::ApplyTrackPalette(track, colours, art, &sink);
        return true;
    });
    // The Track Components' Custom palette is the one last set here.
    doc.customPalette = doc.track().palette.colours();
    // The palette is installed before the reload starts, so a cancelled
    // reload still leaves a changed track.
    doc.setModified(true);
    if (!result.texturesOk) doc.prompter().warn(result.textureReport, ravok::kReloadTexturesCaption);
    if (!result.modelTexturesOk)
        doc.prompter().warn(result.modelTextureReport, ravok::kReloadModelTexturesCaption);
    emit doc.texturesChanged();
    emit doc.modelsChanged();
    return result;
}
