#include "app/TrackComponentsDlg.h"

#include "app/FileDialogFilter.h"
#include "app/ArenaPropertiesDlg.h"
#include "app/DibClipboard.h"
#include "app/PictureSlotBox.h"
#include "app/StockMusicDlg.h"
#include "base/ProgramSettings.h"
#include "edit/DibImage.h"
#include "model/NewTrack.h"
#include "model/TrackComponentsMusic.h"
#include "model/TrackPod.h"
#include "model/WorldName.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

constexpr int kTrackNameChars = 31, kCommentChars = 79;
constexpr const char* kPictureFilter = "Pictures (*.bmp *.png *.tga)";

fs::path toPath(const QString& path) { return fs::path(path.toStdString()); }
QString text(const fs::path& path) { return QString::fromStdString(path.string()); }
QString text(const std::string& s) { return QString::fromStdString(s); }
// The names and the comment are single-byte text in the track, as typed (toLatin1).
QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

// The description as the game stores it: single-byte characters and CR LF
// line ends, the way the edit control of the game's own tools gives it.
std::string descriptionBytes(const QString& shown) {
    QString t = shown;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\n', QStringLiteral("\r\n"));
    return t.toLatin1().toStdString();
}

QString shownDescription(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QPushButton* smallButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setMaximumWidth(button->fontMetrics().horizontalAdvance(caption) + 24);
    return button;
}

} // namespace

CTrackComponentsDlg::CTrackComponentsDlg(const CTrackPOD& track, ProgramSettings& settings, QWidget* parent)
    : QDialog(parent), m_c(MakeTrackComponents(track)), m_settings(settings), m_boxes(this) {
    chooseFile = [](QFileDialog& dialog) {
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                       : QString();
    };
    setWindowTitle(QString::fromLatin1(kTrackComponentsCaption));
    setSizeGripEnabled(true);
    // A fog map that names no palette of the list (one from a game's pod)
    // keeps the track's palette until a choice is made.
    if (!track.fogMap.empty() && track.fogMap[0] >= kColorPaletteCount) m_c.palette = track.fogMap[0];
    // A ticked "Based on Track Name" shows the name OK will give the track.
    if (m_c.basedOnTrackName)
        if (std::string derived = DeriveWorldName(m_c.trackName); !derived.empty()) m_c.worldName = derived;
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(createNamesBox());
    left->addWidget(createSettingsBox());
    left->addWidget(createFilesBox());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(createPicturesBox(), 2);
    right->addWidget(createInfoBox(), 1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTrackComponentsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    if (m_c.mtm2) {
        auto* mtm2 = new QLabel(QString::fromLatin1(kMtm2TrackText), this);
        mtm2->setObjectName(QStringLiteral("mtm2Text"));
        layout->addWidget(mtm2);
    }
    layout->addLayout(columns, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    showFields();
    connectFields();
    refresh();
    const SavedSize& size = m_settings.componentsSize;
    if (size.cx > 0 && size.cy > 0) resize(size.cx, size.cy);
}

// ---- the form ------------------------------------------------------------------------------

QWidget* CTrackComponentsDlg::createNamesBox() {
    auto* box = new QGroupBox(QStringLiteral("Names"), this);
    m_trackName = new QLineEdit(box);
    m_trackName->setObjectName(QStringLiteral("trackName"));
    m_trackName->setMaxLength(kTrackNameChars);
    m_worldName = new QLineEdit(box);
    m_worldName->setObjectName(QStringLiteral("worldName"));
    m_basedOnTrackName = new QCheckBox(QStringLiteral("Based on Track Name"), box);
    m_basedOnTrackName->setObjectName(QStringLiteral("basedOnTrackName"));
    m_comment = new QLineEdit(box);
    m_comment->setObjectName(QStringLiteral("comment"));
    m_comment->setMaxLength(kCommentChars);
    auto* world = new QHBoxLayout;
    world->addWidget(m_worldName, 1);
    world->addWidget(m_basedOnTrackName);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Track Name"), m_trackName);
    form->addRow(QStringLiteral("World Name"), world);
    form->addRow(QStringLiteral("Comment"), m_comment);
    return box;
}

QWidget* CTrackComponentsDlg::createSettingsBox() {
    auto* box = new QGroupBox(QStringLiteral("Race"), this);
    m_soundTheme = new QComboBox(box);
    m_soundTheme->setObjectName(QStringLiteral("soundTheme"));
    for (const char* name : kSoundThemeNames) m_soundTheme->addItem(QString::fromLatin1(name));
    m_palette = new QComboBox(box);
    m_palette->setObjectName(QStringLiteral("palette"));
    for (const char* name : kGamePaletteNames) m_palette->addItem(QString::fromLatin1(name));
    m_palette->setEnabled(m_c.mtm2); // MTM1 tracks take the palette of the game's world
    m_waterLevel = new QDoubleSpinBox(box);
    m_waterLevel->setObjectName(QStringLiteral("waterLevel"));
    m_waterLevel->setRange(0.0, 255.0);
    m_waterLevel->setDecimals(2);
    m_waterLevel->setSingleStep(0.25); // the track keeps quarters
    auto* types = new QGroupBox(QStringLiteral("Type"), box);
    auto* typeRow = new QHBoxLayout(types);
    m_raceType = new QButtonGroup(this);
    for (int radio = 0; radio < kRaceTypeRadios; ++radio) {
        auto* button = new QRadioButton(QString::fromLatin1(kRaceTypeRadioNames[radio]), types);
        button->setObjectName(QStringLiteral("raceType%1").arg(radio));
        m_raceType->addButton(button, radio);
        typeRow->addWidget(button);
    }
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Sound Theme"), m_soundTheme);
    form->addRow(QStringLiteral("Color Palette"), m_palette);
    form->addRow(QStringLiteral("Water Level"), m_waterLevel);
    form->addRow(types);
    return box;
}

QWidget* CTrackComponentsDlg::createFilesBox() {
    auto* box = new QGroupBox(QStringLiteral("Files"), this);
    auto* form = new QFormLayout(box);

    m_backdrop = new QLineEdit(box);
    m_backdrop->setObjectName(QStringLiteral("backdrop"));
    m_backdrop->setReadOnly(true);
    auto* backdropButton = smallButton(QStringLiteral("..."), box);
    connect(backdropButton, &QPushButton::clicked, this, &CTrackComponentsDlg::OnBackdrop);
    auto* backdropRow = new QHBoxLayout;
    backdropRow->addWidget(m_backdrop, 1);
    backdropRow->addWidget(backdropButton);
    form->addRow(QStringLiteral("Backdrop"), backdropRow);

    m_arena = new QCheckBox(QStringLiteral("Arena"), box);
    m_arena->setObjectName(QStringLiteral("arena"));
    auto* arenaButton = new QPushButton(QStringLiteral("Arena Properties"), box);
    connect(arenaButton, &QPushButton::clicked, this, &CTrackComponentsDlg::OnArenaProperties);
    auto* arenaRow = new QHBoxLayout;
    arenaRow->addWidget(m_arena);
    arenaRow->addWidget(arenaButton);
    arenaRow->addStretch(1);
    form->addRow(arenaRow);

    m_music = new QLabel(box);
    m_music->setObjectName(QStringLiteral("music"));
    auto* stock = smallButton(QStringLiteral("#"), box);
    stock->setToolTip(QString::fromLatin1(kStockMusicTitle));
    connect(stock, &QPushButton::clicked, this, &CTrackComponentsDlg::OnStockMusic);
    auto* musicButton = smallButton(QStringLiteral("..."), box);
    auto* musicMenu = new QMenu(musicButton);
    musicMenu->addAction(QString::fromLatin1(kLoadWavMusicTitle), this, [this] { OnLoadMusic(false); });
    musicMenu->addAction(QString::fromLatin1(kLoadModMusicTitle), this, [this] { OnLoadMusic(true); });
    musicMenu->addAction(QString::fromLatin1(kSaveMusicTitle), this, &CTrackComponentsDlg::OnSaveMusic);
    musicButton->setMenu(musicMenu);
    auto* musicRow = new QHBoxLayout;
    musicRow->addWidget(m_music, 1);
    musicRow->addWidget(stock);
    musicRow->addWidget(musicButton);
    form->addRow(QStringLiteral("Music"), musicRow);

    for (TerrainMapKind kind : {TerrainMapKind::DetailNormal, TerrainMapKind::Mask}) {
        const bool detail = kind == TerrainMapKind::DetailNormal;
        auto* label = new QLabel(box);
        label->setObjectName(detail ? QStringLiteral("detailNormal") : QStringLiteral("terrainMask"));
        (detail ? m_detailNormal : m_terrainMask) = label;
        auto* choose = smallButton(QStringLiteral("..."), box);
        connect(choose, &QPushButton::clicked, this, [this, kind] { OnTerrainMap(kind); });
        auto* remove = smallButton(QStringLiteral("X"), box);
        connect(remove, &QPushButton::clicked, this, [this, kind] { removeTerrainMap(kind); });
        auto* row = new QHBoxLayout;
        row->addWidget(label, 1);
        row->addWidget(choose);
        row->addWidget(remove);
        form->addRow(detail ? QStringLiteral("Detail Normal") : QStringLiteral("Terrain Mask"), row);
    }
    return box;
}

QWidget* CTrackComponentsDlg::createPicturesBox() {
    auto* box = new QWidget(this);
    auto* grid = new QHBoxLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int s : {kIconSlot, kBrowseSlot}) {
        auto* picture = new CPictureSlotBox(m_c.rules(s), box);
        picture->setObjectName(QStringLiteral("picture%1").arg(s));
        m_pictures[size_t(s)] = picture;
        grid->addWidget(picture, s == kBrowseSlot ? 2 : 1);
    }
    m_eightBitCopies = new QCheckBox(QStringLiteral("Also write 8-bit BMP copies (old menus)"), this);
    m_eightBitCopies->setObjectName(QStringLiteral("eightBitCopies"));
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 1);
    layout->addWidget(m_eightBitCopies);
    return column;
}

QWidget* CTrackComponentsDlg::createInfoBox() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* photo = new CPictureSlotBox(m_c.rules(kInfoPhotoSlot), box);
    photo->setObjectName(QStringLiteral("picture%1").arg(kInfoPhotoSlot));
    m_pictures[kInfoPhotoSlot] = photo;
    auto* descriptionBox = new QGroupBox(QStringLiteral("Info Description"), box);
    m_description = new QPlainTextEdit(descriptionBox);
    m_description->setObjectName(QStringLiteral("description"));
    auto* inner = new QVBoxLayout(descriptionBox);
    inner->addWidget(m_description);
    row->addWidget(photo, 1);
    row->addWidget(descriptionBox, 1);
    return box;
}

void CTrackComponentsDlg::showFields() {
    m_trackName->setText(latin1(m_c.trackName));
    m_worldName->setText(latin1(m_c.worldName));
    m_basedOnTrackName->setChecked(m_c.basedOnTrackName);
    m_worldName->setReadOnly(m_c.basedOnTrackName);
    m_comment->setText(latin1(m_c.comment));
    m_arena->setChecked(m_c.arena);
    m_soundTheme->setCurrentIndex(m_c.soundTheme >= 0 && m_c.soundTheme < kSoundThemeCount ? m_c.soundTheme : -1);
    m_palette->setCurrentIndex(m_c.palette < kColorPaletteCount ? m_c.palette : -1);
    m_waterLevel->setValue(m_c.waterLevel);
    if (QAbstractButton* radio = m_raceType->button(RadioOfRaceType(m_c.raceType))) radio->setChecked(true);
    m_eightBitCopies->setChecked(m_c.writeEightBitCopies);
    m_description->setPlainText(shownDescription(m_c.infoDescription));
}

void CTrackComponentsDlg::connectFields() {
    connect(m_trackName, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_c.setTrackName(t.toLatin1().toStdString());
        if (m_c.basedOnTrackName) m_worldName->setText(latin1(m_c.worldName));
        refresh();
    });
    connect(m_worldName, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (m_c.basedOnTrackName) return; // shown, not typed
        m_c.worldName = t.toLatin1().toStdString();
        refresh();
    });
    connect(m_basedOnTrackName, &QCheckBox::toggled, this, [this](bool ticked) {
        m_c.setBasedOnTrackName(ticked);
        m_worldName->setReadOnly(ticked);
        if (ticked) m_worldName->setText(latin1(m_c.worldName));
        refresh();
    });
    connect(m_comment, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_c.setComment(t.toLatin1().toStdString()); });
    connect(m_arena, &QCheckBox::toggled, this, [this](bool ticked) { m_c.arena = ticked; });
    connect(m_soundTheme, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_c.soundTheme = index;
    });
    connect(m_palette, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) m_c.palette = index;
    });
    connect(m_waterLevel, &QDoubleSpinBox::valueChanged, this, [this](double level) { m_c.setWaterLevel(level); });
    connect(m_raceType, &QButtonGroup::idToggled, this, [this](int radio, bool on) {
        if (on) m_c.setRaceTypeRadio(radio);
    });
    connect(m_eightBitCopies, &QCheckBox::toggled, this, [this](bool ticked) { m_c.writeEightBitCopies = ticked; });
    connect(m_description, &QPlainTextEdit::textChanged, this, [this] {
        m_c.infoDescription = descriptionBytes(m_description->toPlainText());
        refresh();
    });
    for (int s = 0; s < kPictureSlotCount; ++s) {
        CPictureSlotBox* box = m_pictures[size_t(s)];
        connect(box, &CPictureSlotBox::loadRequested, this, [this, s] { OnLoadPicture(s); });
        connect(box, &CPictureSlotBox::pasteRequested, this, [this, s] { pastePicture(s); });
        connect(box, &CPictureSlotBox::saveRequested, this, [this, s] { OnSavePicture(s); });
        connect(box, &CPictureSlotBox::stockIconRequested, this, &CTrackComponentsDlg::useStockIcon);
    }
}

// The labels that follow the copies: pictures, music, terrain maps, backdrop and status line.
void CTrackComponentsDlg::refresh() {
    for (int s = 0; s < kPictureSlotCount; ++s) m_pictures[size_t(s)]->showSlot(m_c.pictures[size_t(s)]);
    m_music->setText(text(MusicDescription(m_c.music)));
    m_detailNormal->setText(text(TerrainMapLabel(TerrainMapKind::DetailNormal, m_c.detailNormal, m_c.worldName)));
    m_terrainMask->setText(text(TerrainMapLabel(TerrainMapKind::Mask, m_c.terrainMask, m_c.worldName)));
    m_backdrop->setText(text(m_c.backdropName));
    m_status->setText(text(m_c.statusText()));
}

bool CTrackComponentsDlg::report(const Outcome& outcome) {
    if (!outcome.ok && !outcome.message.empty())
        m_boxes.warn(outcome.message, outcome.caption.empty() ? kTrackComponentsCaption : outcome.caption);
    if (outcome.ok) refresh();
    return outcome.ok;
}

QString CTrackComponentsDlg::askOpenFile(const QString& title, const QString& folder, const QString& filter,
                                         const QString& suffix) {
    QFileDialog dialog(this, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    return chooseFile(dialog);
}

// ---- pictures ------------------------------------------------------------------------------

bool CTrackComponentsDlg::loadPicture(int slot, const QString& file) {
    if (!editable() || slot < 0 || slot >= kPictureSlotCount) return false;
    return report(LoadSlotPicture(m_c.pictures[size_t(slot)], m_c.rules(slot), toPath(file)));
}

bool CTrackComponentsDlg::pastePicture(int slot) {
    if (!editable() || slot < 0 || slot >= kPictureSlotCount) return false;
    std::optional<std::vector<uint8_t>> bmp;
    if (const auto dib = ClipboardDib()) bmp = BmpFileOfDib(*dib);
    return report(PasteSlotPicture(m_c.pictures[size_t(slot)], m_c.rules(slot), bmp));
}

bool CTrackComponentsDlg::savePicture(int slot, const QString& file, SlotSaveForm form) {
    if (!editable() || slot < 0 || slot >= kPictureSlotCount) return false;
    const PictureSlot& picture = m_c.pictures[size_t(slot)];
    return report(SaveSlotPicture(picture, m_c.rules(slot), form, SlotSavePath(toPath(file), picture, form)));
}

bool CTrackComponentsDlg::useStockIcon(int index) {
    if (!editable()) return false;
    return report(UseStockIcon(m_c.pictures[kIconSlot], m_c.rules(kIconSlot), index));
}

void CTrackComponentsDlg::OnLoadPicture(int slot) {
    if (!editable()) return;
    const QString file = askOpenFile(QStringLiteral("Load picture"), text(m_settings.bitmapsFolder),
                                     QtFileFilter(kPictureFilter), QStringLiteral("bmp"));
    if (file.isEmpty()) return;
    m_settings.bitmapsFolder = toPath(QFileInfo(file).absolutePath());
    loadPicture(slot, file);
}

void CTrackComponentsDlg::OnSavePicture(int slot) {
    if (!editable()) return;
    const PictureSlot& picture = m_c.pictures[size_t(slot)];
    if (picture.bitmap.empty() && picture.hdArt.empty()) {
        m_boxes.warn(kNothingToSave, kTrackComponentsCaption);
        return;
    }
    const QString eightBit = QtFileFilter("8-bit copy (*.bmp)");
    QStringList filters;
    if (!picture.hdArt.empty()) filters << QtFileFilter(text(HdArtSaveFilter(picture)));
    filters << eightBit;
    QFileDialog dialog(this, QString::fromLatin1(kSavePictureTitle), text(m_settings.bitmapsFolder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    const QString file = chooseFile(dialog);
    if (file.isEmpty()) return;
    const SlotSaveForm form = dialog.selectedNameFilter() == eightBit ? SlotSaveForm::EightBitCopy : SlotSaveForm::HdArt;
    m_settings.bitmapsFolder = toPath(QFileInfo(file).absolutePath());
    savePicture(slot, file, form);
}

// ---- music ---------------------------------------------------------------------------------

bool CTrackComponentsDlg::loadMusic(const QString& file) {
    if (!editable()) return false;
    return report(LoadMusicFile(m_c.music, toPath(file)));
}

bool CTrackComponentsDlg::saveMusic(const QString& file) {
    if (!editable()) return false;
    return report(SaveMusicFile(m_c.music, toPath(file)));
}

bool CTrackComponentsDlg::useStockMusic(const QString& name) {
    if (!editable()) return false;
    auto reference = StockMusicReference(name.toStdString());
    if (!reference) return false;
    m_c.music = std::move(*reference);
    refresh();
    return true;
}

void CTrackComponentsDlg::OnLoadMusic(bool mod) {
    if (!editable()) return;
    const QString file =
        askOpenFile(QString::fromLatin1(mod ? kLoadModMusicTitle : kLoadWavMusicTitle), text(m_settings.soundFolder),
                    QtFileFilter(mod ? "MOD files (*.mod)" : "WAV files (*.wav)"),
                    mod ? QStringLiteral("mod") : QStringLiteral("wav"));
    if (!file.isEmpty()) loadMusic(file);
}

void CTrackComponentsDlg::OnSaveMusic() {
    if (!editable()) return;
    if (m_c.music.empty() || StockMusicName(m_c.music)) {
        m_boxes.warn(kNothingToSave, kTrackComponentsCaption);
        return;
    }
    QFileDialog dialog(this, QString::fromLatin1(kSaveMusicTitle), text(m_settings.soundFolder),
                       QtFileFilter("Music files (*.wav *.mod)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString file = chooseFile(dialog);
    if (!file.isEmpty()) saveMusic(file);
}

void CTrackComponentsDlg::OnStockMusic() {
    if (!editable()) return;
    const auto current = StockMusicName(m_c.music);
    CStockMusicDlg dialog(current ? text(*current) : QString(), this);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedName().isEmpty()) useStockMusic(dialog.selectedName());
}

// ---- terrain maps --------------------------------------------------------------------------

bool CTrackComponentsDlg::loadTerrainMap(TerrainMapKind kind, const QString& file) {
    if (!editable()) return false;
    TerrainMapFile& target = kind == TerrainMapKind::DetailNormal ? m_c.detailNormal : m_c.terrainMask;
    return report(LoadTerrainMap(kind, target, toPath(file), m_boxes));
}

bool CTrackComponentsDlg::removeTerrainMap(TerrainMapKind kind) {
    if (!editable()) return false;
    TerrainMapFile& target = kind == TerrainMapKind::DetailNormal ? m_c.detailNormal : m_c.terrainMask;
    if (target.bytes.empty()) return false;
    target = {};
    refresh();
    return true;
}

void CTrackComponentsDlg::OnTerrainMap(TerrainMapKind kind) {
    if (!editable()) return;
    QStringList filters;
    for (const char* filter : kTerrainMapFilters) filters << QtFileFilter(filter);
    QFileDialog dialog(this, QString::fromLatin1(TerrainMapDialogTitle(kind)),
                       text(TerrainMapStartFolder(m_settings.artFolder)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    const QString file = chooseFile(dialog);
    if (!file.isEmpty()) loadTerrainMap(kind, file);
}

// ---- backdrop and arena ----------------------------------------------------------------------

bool CTrackComponentsDlg::chooseBackdrop(const QString& file) {
    if (!editable() || file.isEmpty()) return false;
    m_c.chooseBackdrop(toPath(file));
    refresh();
    return true;
}

bool CTrackComponentsDlg::setArena(int x, int y, int sizeX, int sizeY) {
    if (!editable()) return false;
    m_c.setArena(x, y, sizeX, sizeY);
    return true;
}

void CTrackComponentsDlg::OnBackdrop() {
    if (!editable()) return;
    QFileDialog dialog(this, QString::fromLatin1(kBackdropDialogTitle), text(m_settings.modelsFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    // The list starts with the usual backdrop names; the BIN filter shows every model.
    const QString pattern = QString::fromLatin1(kBackdropNamePattern);
    dialog.setNameFilters({QtFileFilter(pattern + QStringLiteral(" (") + pattern + QStringLiteral(")")),
                           QtFileFilter(kBackdropFilter)});
    const QString file = chooseFile(dialog);
    if (!file.isEmpty()) chooseBackdrop(file);
}

void CTrackComponentsDlg::OnArenaProperties() {
    if (!editable()) return;
    CArenaPropertiesDlg dialog(m_c.arenaX, m_c.arenaY, m_c.arenaSizeX, m_c.arenaSizeY, this);
    if (dialog.exec() == QDialog::Accepted)
        setArena(dialog.centerX(), dialog.centerY(), dialog.sizeX(), dialog.sizeY());
}

// ---- closing -------------------------------------------------------------------------------

void CTrackComponentsDlg::accept() {
    switch (CheckComponentsOnOk(m_c, m_boxes)) {
    case OkResult::StayOnWorldName: m_worldName->setFocus(); return;
    case OkResult::StayOnDescription: m_description->setFocus(); return;
    case OkResult::StayOnPictures: refresh(); return;
    case OkResult::Close: break;
    }
    if (!m_c.basedOnTrackName) {
        const QSignalBlocker quiet(m_worldName);
        m_worldName->setText(latin1(m_c.worldName));
    }
    QDialog::accept();
}

void CTrackComponentsDlg::done(int result) {
    m_settings.componentsSize = {int32_t(width()), int32_t(height())};
    QDialog::done(result);
}
