#include "app/TexturePatternsBox.h"

#include "app/FileDialogFilter.h"
#include "app/PalettedImage.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "trackart/TexturePatternFile.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ravok;

namespace {

constexpr int kPreviewBox = 128; // pixels the chosen pattern's preview is fitted into

QString fromPath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

QImage PatternPreviewImage(const TexturePattern& pattern) {
    // The information block's colour table: 256 entries of blue, green, red, 0.
    PaletteColours colours{};
    for (size_t i = 0; i < colours.size(); ++i) {
        const uint8_t* e = &pattern.previewInfo[40 + i * 4];
        colours[i] = {e[2], e[1], e[0]};
    }
    return PalettedImage(pattern.previewPixels, pattern.previewWidth(), pattern.previewHeight(), colours);
}

CTexturePatternsBox::CTexturePatternsBox(CRavokDoc& doc, CRavokView& view, ProgramSettings& settings,
                                         QWidget* parent)
    : QDockWidget(QStringLiteral("Texture Patterns"), parent), m_doc(doc), m_view(view),
      m_settings(settings) {
    setObjectName(QStringLiteral("Texture Patterns"));
    askName = [this](const QString& preset) -> std::optional<QString> {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("Add Pattern"), QStringLiteral("Pattern name:"),
                                  QLineEdit::Normal, preset, &ok);
        if (!ok) return std::nullopt;
        return name;
    };
    auto* body = new QWidget(this);
    m_fileName = new QLabel(body);
    m_fileName->setObjectName(QStringLiteral("patternFile"));
    auto* choose = new QPushButton(QStringLiteral("..."), body);
    choose->setToolTip(QStringLiteral("Select Patterns file"));
    choose->setMaximumWidth(30);
    connect(choose, &QPushButton::clicked, this, &CTexturePatternsBox::chooseFile);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileName, 1);
    fileRow->addWidget(choose);
    m_list = new QListWidget(body);
    m_list->setIconSize(QSize(32, 32));
    connect(m_list, &QListWidget::currentRowChanged, this, &CTexturePatternsBox::showPreview);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CTexturePatternsBox::OnGet);
    connect(&m_doc, &CRavokDoc::busyChanged, this, [this](bool busy) { setEnabled(!busy); });
    m_preview = new QLabel(body);
    m_preview->setFixedSize(kPreviewBox, kPreviewBox);
    m_preview->setAlignment(Qt::AlignCenter);
    auto* buttons = new QHBoxLayout;
    for (const char* name : {"Sel", "Del", "Get"}) {
        auto* button = new QPushButton(QString::fromLatin1(name), body);
        button->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(button);
        const std::string n = name;
        connect(button, &QPushButton::clicked, this, [this, n] {
            n == "Sel" ? OnSel() : n == "Del" ? OnDel() : OnGet();
        });
    }
    m_alwaysLoad = new QCheckBox(QStringLiteral("Always load textures"), body);
    m_alwaysLoad->setObjectName(QStringLiteral("alwaysLoad"));
    connect(m_alwaysLoad, &QCheckBox::toggled, this,
            [this](bool on) { m_view.textureMode().alwaysLoad = on; });
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(fileRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->addWidget(m_alwaysLoad);
    setWidget(body);
    openFile(m_settings.patternFile);
}

const std::filesystem::path& CTexturePatternsBox::file() const {
    return m_settings.patternFile;
}

int CTexturePatternsBox::current() const {
    return m_list->currentRow();
}
void CTexturePatternsBox::setCurrent(int index) {
    m_list->setCurrentRow(index);
}

void CTexturePatternsBox::openFile(const std::filesystem::path& file) {
    m_settings.patternFile = file;
    m_patterns = file.empty() ? std::vector<TexturePattern>{} : ReadPatternFile(file);
    m_fileName->setText(file.empty() ? QString() : QFileInfo(fromPath(file)).fileName());
    m_fileName->setToolTip(fromPath(file));
    m_view.ChoosePattern(nullptr);
    showPatterns();
}

void CTexturePatternsBox::chooseFile() {
    QFileDialog dialog(this, QStringLiteral("Select Patterns file"), fromPath(m_settings.patternFile),
                       QtFileFilter("Texture patterns (*.rvp);;All Files (*)"));
    dialog.setDefaultSuffix(QStringLiteral("rvp"));
    // A new name starts an empty file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::filesystem::path file(dialog.selectedFiles().front().toStdString());
    if (IsForeignPatternFile(file) &&
        !m_doc.prompter().askYesNo(formatText(kForeignPatternFileFormat, file.string().c_str()),
                                   kSelectPatternFileCaption, false))
        return;
    openFile(file);
}

void CTexturePatternsBox::showPatterns() {
    const int keep = m_list->currentRow();
    m_list->clear();
    for (const TexturePattern& p : m_patterns) {
        auto* item = new QListWidgetItem(QString::fromStdString(p.name.str()) +
                                         QString::asprintf("  %dx%d", p.width, p.height));
        const QImage preview = PatternPreviewImage(p);
        if (!preview.isNull()) item->setIcon(QPixmap::fromImage(preview));
        m_list->addItem(item);
    }
    m_list->setCurrentRow(std::min(keep, int(m_patterns.size()) - 1));
    showPreview();
}

void CTexturePatternsBox::showPreview() {
    const int i = current();
    const QImage preview =
        i >= 0 && i < int(m_patterns.size()) ? PatternPreviewImage(m_patterns[size_t(i)]) : QImage();
    if (preview.isNull()) {
        m_preview->clear();
        return;
    }
    // Scaled to fit, keeping its proportions.
    m_preview->setPixmap(QPixmap::fromImage(preview.scaled(kPreviewBox, kPreviewBox, Qt::KeepAspectRatio)));
}

bool CTexturePatternsBox::OnSel() {
    const TextureSelection& s = m_view.textureMode().selection;
    if (s.empty()) return false;
    if (m_settings.patternFile.empty()) chooseFile();
    if (m_settings.patternFile.empty()) return false;
    Prompter& prompter = m_doc.prompter();
    std::string name;
    for (QString preset = QString::fromLatin1(kPatternNameDefault);;) {
        const std::optional<QString> answer = askName(preset);
        if (!answer) return false;
        name = answer->trimmed().toStdString();
        const Outcome problem = PatternNameProblem(m_patterns, name);
        if (problem) break;
        if (!prompter.askYesNo(problem.message, problem.caption, true)) return false;
        preset = *answer;
    }
    const Outcome added = AddPatternToFile(m_patterns, m_doc.track(), {s.x0, s.y0, s.x1, s.y1}, name,
                                           m_doc.track().palette.colours(), m_settings.patternFile);
    if (!added) {
        prompter.warn(added.message, added.caption);
        if (m_patterns.empty() || m_patterns.back().name != std::string_view(name).substr(0, kMaxPatternName))
            return false;
    }
    showPatterns();
    setCurrent(int(m_patterns.size()) - 1);
    return true;
}

bool CTexturePatternsBox::OnDel() {
    const int i = current();
    if (i < 0 || i >= int(m_patterns.size())) return false;
    if (!m_doc.prompter().askYesNo(kDeletePatternQuestion, kDeletePatternCaption, false)) return false;
    // The pattern leaves the box either way; a file that could not be
    // written still holds it, and the user is told so.
    if (!DeletePatternFromFile(m_patterns, i, m_settings.patternFile))
        m_doc.prompter().warn(kPatternFileWriteFailed, {});
    m_view.ChoosePattern(nullptr);
    showPatterns();
    return true;
}

bool CTexturePatternsBox::OnGet() {
    const int i = current();
    if (i < 0 || i >= int(m_patterns.size())) return false;
    m_view.ChoosePattern(&m_patterns[size_t(i)]);
    return m_view.PasteTextureArea();
}
