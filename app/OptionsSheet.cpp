#include "app/OptionsSheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const kDisplayNames[] = {"640 x 480", "800 x 600", "1024 x 768", "1920 x 1080", "Window Size"};
const char* const kColourNames[] = {"Background", "Wireframe", "Wire Overlay", "Object Outline", "Altitude Value",
                                    "Altitude Grid"};

QString text(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

QColor toQColor(const ravok::ColourValue& c) { return QColor(c.r, c.g, c.b); }

// A folder field with its "..." browse button.
QWidget* folderRow(QLineEdit* field, const QString& browseTitle, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browse = new QPushButton(QStringLiteral("..."), row);
    browse->setFixedWidth(32);
    QObject::connect(browse, &QPushButton::clicked, row, [field, browseTitle, row] {
        QString folder = QFileDialog::getExistingDirectory(row, browseTitle, field->text());
        if (!folder.isEmpty()) field->setText(folder);
    });
    layout->addWidget(field);
    layout->addWidget(browse);
    return row;
}

} // namespace

COptionsSheet::COptionsSheet(const ravok::ProgramSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_colours(settings.colors) {
    setWindowTitle(QStringLiteral("Program Options"));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(generalPage(), QStringLiteral("General"));
    tabs->addTab(foldersPage(), QStringLiteral("Folders"));
    tabs->addTab(autosavePage(), QStringLiteral("Auto-Save"));
    tabs->addTab(colorsPage(), QStringLiteral("Colors"));
    tabs->addTab(advancedPage(), QStringLiteral("Advanced"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

QCheckBox* COptionsSheet::check(const QString& label, bool on, QWidget* parent) {
    auto* box = new QCheckBox(label, parent);
    box->setObjectName(label);
    box->setChecked(on);
    return box;
}

QWidget* COptionsSheet::generalPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(new QLabel(QStringLiteral("Software Render Quality:"), page));
    qualityRow->addWidget(new QLabel(QStringLiteral("LO"), page));
    m_quality = new QSlider(Qt::Horizontal, page);
    m_quality->setObjectName(QStringLiteral("quality"));
    m_quality->setRange(1, 3);
    m_quality->setPageStep(1);
    m_quality->setTickPosition(QSlider::TicksBelow);
    m_quality->setValue(int(std::clamp<uint32_t>(m_settings.quality, 1, 3)));
    qualityRow->addWidget(m_quality);
    qualityRow->addWidget(new QLabel(QStringLiteral("HI"), page));
    layout->addLayout(qualityRow);

    const ravok::ProgramSettings& s = m_settings;
    const std::pair<const char*, bool> checks[] = {
        {"Always Show Course", s.alwaysShowCourse},       {"Always Show Objects", s.alwaysShowObjects},
        {"Always Show Ground Boxes", s.alwaysShowGroundBoxes}, {"Show Water", s.showWater},
        {"Show Backdrop", s.showBackdrop},                {"Use OpenGL Renderer", s.useOpenGL}};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        m_general[size_t(i)] = check(QString::fromLatin1(checks[i].first), checks[i].second, page);
        grid->addWidget(m_general[size_t(i)], i, 0);
        // The keys that toggle the first five in the main window.
        if (i < 5) grid->addWidget(new QLabel(QStringLiteral("F%1").arg(i + 5), page), i, 1);
    }
    layout->addLayout(grid);

    auto* displayBox = new QVBoxLayout;
    displayBox->addWidget(new QLabel(QStringLiteral("Display resolution:"), page));
    m_display = new QButtonGroup(page);
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kDisplayNames[i]), page);
        radio->setObjectName(QString::fromLatin1(kDisplayNames[i]));
        m_display->addButton(radio, i);
        displayBox->addWidget(radio);
    }
    m_display->button(int(std::min<uint32_t>(s.display, 4)))->setChecked(true);
    layout->addLayout(displayBox);
    layout->addStretch();
    return page;
}

QWidget* COptionsSheet::foldersPage() {
    auto* page = new QWidget(this);
    auto* layout = new QFormLayout(page);
    m_artFolder = new QLineEdit(text(m_settings.artFolder), page);
    m_artFolder->setObjectName(QStringLiteral("artFolder"));
    m_modelsFolder = new QLineEdit(text(m_settings.modelsFolder), page);
    m_modelsFolder->setObjectName(QStringLiteral("modelsFolder"));
    layout->addRow(QStringLiteral("ART folder:"),
                   folderRow(m_artFolder, QStringLiteral("Specify location of ART folder."), page));
    layout->addRow(QStringLiteral("MODELS folder:"),
                   folderRow(m_modelsFolder, QStringLiteral("Specify location of MODELS folder."), page));
    m_keepHdOnly = check(QStringLiteral("&Keep HD art only - do not write .RAW / .ACT files"), m_settings.keepHdArtOnly,
                         page);
    layout->addRow(m_keepHdOnly);
    auto* note = new QLabel(QStringLiteral("Ravok builds the 8-bit tile in memory when it needs one. Leave this off "
                                           "unless every renderer you target reads PNG."),
                            page);
    note->setWordWrap(true);
    layout->addRow(note);
    return page;
}

QWidget* COptionsSheet::autosavePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    m_autosaveOn = check(QStringLiteral("Save every"), m_settings.autosave.enabled, page);
    m_minutes = new QSpinBox(page);
    m_minutes->setObjectName(QStringLiteral("minutes"));
    // Any number can be typed; the page brings it into 1..30 once it is entered.
    m_minutes->setRange(1, 999);
    connect(m_minutes, &QSpinBox::editingFinished, this,
            [this] { m_minutes->setValue(ravok::clampAutosaveMinutes(m_minutes->value())); });
    m_minutes->setValue(ravok::clampAutosaveMinutes(m_settings.autosave.minutes));
    row->addWidget(m_autosaveOn);
    row->addWidget(m_minutes);
    row->addWidget(new QLabel(QStringLiteral("minutes"), page));
    row->addStretch();
    layout->addLayout(row);
    m_method = new QButtonGroup(page);
    const char* const methods[] = {"Overwrite original file", "Use special file (RavokAuto.rvk)"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(methods[i]), page);
        radio->setObjectName(QString::fromLatin1(methods[i]));
        m_method->addButton(radio, i);
        layout->addWidget(radio);
    }
    m_method->button(m_settings.autosave.method == 0 ? 0 : 1)->setChecked(true);
    layout->addStretch();
    return page;
}

QWidget* COptionsSheet::colorsPage() {
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    for (int i = 0; i < 6; ++i) {
        layout->addWidget(new QLabel(QString::fromLatin1(kColourNames[i]), page), i, 0);
        auto* button = new QPushButton(page);
        button->setObjectName(QString::fromLatin1(kColourNames[i]));
        button->setFixedSize(64, 22);
        connect(button, &QPushButton::clicked, this, [this, i] { pickColour(i); });
        m_colourButtons[size_t(i)] = button;
        layout->addWidget(button, i, 1);
        showColour(i);
    }
    auto* restore = new QPushButton(QStringLiteral("Restore Defaults"), page);
    connect(restore, &QPushButton::clicked, this, [this] {
        const ravok::ViewColours defaults = ravok::defaultViewColours();
        for (int i = 0; i < 6; ++i) {
            m_colours[size_t(i)] = defaults[size_t(i)];
            showColour(i);
        }
    });
    layout->addWidget(restore, 6, 0, 1, 2);
    layout->setRowStretch(7, 1);
    return page;
}

void COptionsSheet::showColour(int index) {
    m_colourButtons[size_t(index)]->setStyleSheet(
        QStringLiteral("background-color: %1").arg(toQColor(m_colours[size_t(index)]).name()));
}

void COptionsSheet::pickColour(int index) {
    const QColor chosen = QColorDialog::getColor(toQColor(m_colours[size_t(index)]), this,
                                                 QString::fromLatin1(kColourNames[index]));
    if (!chosen.isValid()) return;
    m_colours[size_t(index)] = {uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue())};
    showColour(index);
}

QWidget* COptionsSheet::advancedPage() {
    const ravok::ProgramSettings& s = m_settings;
    const std::pair<const char*, bool> checks[] = {
        {"Display FPS", s.displayFps},
        {"Model Transparency", s.modelTransparency},
        {"Vertical Sync (V-Sync)", s.verticalSync},
        {"Hide Collider Boxes", s.hideColliderBoxes},
        {"Object X/Y in .SIT units (half of Ravok's own)", s.objectXYInSitUnits},
        {"Explain the legacy .RAW fallback when writing a pod", !s.dontExplainLegacyFallback},
        {"Detail Mask", s.detailMask}};
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    for (size_t i = 0; i < m_advanced.size(); ++i) {
        m_advanced[i] = check(QString::fromLatin1(checks[i].first), checks[i].second, page);
        layout->addWidget(m_advanced[i]);
    }
    layout->addStretch();
    return page;
}

ravok::ProgramSettings COptionsSheet::values() const {
    ravok::ProgramSettings s = m_settings;
    s.quality = uint32_t(m_quality->value());
    bool* general[] = {&s.alwaysShowCourse, &s.alwaysShowObjects, &s.alwaysShowGroundBoxes,
                       &s.showWater,        &s.showBackdrop,      &s.useOpenGL};
    for (size_t i = 0; i < m_general.size(); ++i) *general[i] = m_general[i]->isChecked();
    s.display = uint32_t(std::max(0, m_display->checkedId()));
    s.artFolder = m_artFolder->text().toStdString();
    s.modelsFolder = m_modelsFolder->text().toStdString();
    s.keepHdArtOnly = m_keepHdOnly->isChecked();
    s.autosave.enabled = m_autosaveOn->isChecked();
    s.autosave.minutes = ravok::clampAutosaveMinutes(m_minutes->value());
    s.autosave.method = m_method->checkedId() == 0 ? 0 : 1;
    for (size_t i = 0; i < 6; ++i) s.colors[i] = m_colours[i];
    bool* advanced[] = {&s.displayFps,         &s.modelTransparency, &s.verticalSync, &s.hideColliderBoxes,
                        &s.objectXYInSitUnits, &s.dontExplainLegacyFallback, &s.detailMask};
    for (size_t i = 0; i < m_advanced.size(); ++i) *advanced[i] = m_advanced[i]->isChecked();
    s.dontExplainLegacyFallback = !s.dontExplainLegacyFallback; // shown inverted
    return s;
}
