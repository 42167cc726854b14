#include "app/TexturesBox.h"

#include "app/DibClipboard.h"
#include "app/FileDialogFilter.h"
#include "app/MessageBoxPrompter.h"
#include "app/RavokDoc.h"
#include "app/TextureAnimationDlg.h"
#include "app/TextureCells.h"
#include "app/TextureImages.h"
#include "art/ItemNames.h"
#include "art/TextureFolder.h"
#include "art/TextureFolderWorker.h"
#include "base/ProgramSettings.h"
#include "base/Text.h"
#include "edit/TextureAnimating.h"
#include "edit/TextureClipboard.h"
#include "edit/TextureProperties.h"
#include "edit/TextureRemoval.h"
#include "model/TrackPod.h"
#include "trackart/TextureCut.h"
#include "trackart/TextureFolderFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;
using ravok::TextureFolderPause;
using ravok::TextureFolderWorker;

namespace {

fs::path toPath(const QString& path) {
    return fs::path(path.toStdString());
}
QString text(const std::string& s) {
    return QString::fromStdString(s);
}
QString text(const fs::path& p) {
    return QString::fromStdString(p.string());
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString withoutArtFolder(std::string_view name) {
    if (ravok::isInItemFolder(name, "ART")) name = ravok::nameInFolder(name);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

QScrollArea* scrolling(QWidget* inside, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(inside);
    return area;
}

QPushButton* button(const char* label, const char* name, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(label), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// Track texture names of the model textures (the part after the folder, upper case).
std::set<std::string> modelTextureNames(const ravok::CTrackPOD& track) {
    std::set<std::string> names;
    for (const auto& t : track.modelTextures)
        if (t) {
            names.insert(ravok::upperCase(ravok::nameInFolder(t->name().view())));
        }
    return names;
}

} // namespace

CTexturesBox::CTexturesBox(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent)
    : QDockWidget(QStringLiteral("Textures"), parent), m_doc(doc), m_settings(settings),
      m_lastCut(std::make_unique<ravok::CutSettings>()) {
    setObjectName(QStringLiteral("Textures"));
    auto* body = new QWidget(this);

    m_grid = new CTextureCells(false, body);
    m_grid->setObjectName(QStringLiteral("textureGrid"));
    m_type = new QSpinBox(body);
    m_type->setObjectName(QStringLiteral("Type"));
    m_type->setRange(0, ravok::kMaxSurfaceType);
    m_grip = new QSpinBox(body);
    m_grip->setObjectName(QStringLiteral("Grip depth"));
    m_grip->setRange(0, ravok::kMaxGripDepth);
    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Type"), body));
    fields->addWidget(m_type);
    fields->addWidget(new QLabel(QStringLiteral("Grip depth"), body));
    fields->addWidget(m_grip);

    auto* apply = button("Apply", "apply", body);
    auto* load = button("Load...", "load", body);
    auto* paste = button("Paste", "paste", body);
    m_pasteComposite = button("Paste Composite...", "pasteComposite", body);
    m_pasteComposite->setEnabled(false);
    m_animation = button("Animation...", "animation", body);
    auto* purge = button("Purge Unused...", "purge", body);
    auto* remove = button("Delete Texture", "deleteTexture", body);
    auto* trackButtons = new QGridLayout;
    trackButtons->addWidget(load, 0, 0);
    trackButtons->addWidget(paste, 0, 1);
    trackButtons->addWidget(m_pasteComposite, 0, 2);
    trackButtons->addWidget(m_animation, 1, 0);
    trackButtons->addWidget(purge, 1, 1);
    trackButtons->addWidget(remove, 1, 2);
    trackButtons->addWidget(apply, 2, 0);

    m_page = new CTextureCells(true, body);
    m_page->setObjectName(QStringLiteral("folderPage"));
    m_pageLabel = new QLabel(body);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    auto* previous = button("<", "previousPage", body);
    auto* next = button(">", "nextPage", body);
    auto* addPage = button("Add Page", "addPage", body);
    auto* deleteFile = button("Delete File", "deleteFile", body);
    auto* renameFile = button("Rename File", "renameFile", body);
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(previous);
    pageRow->addWidget(m_pageLabel, 1, Qt::AlignCenter);
    pageRow->addWidget(next);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(addPage);
    fileButtons->addWidget(deleteFile);
    fileButtons->addWidget(renameFile);

    auto* top = new QWidget(body);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(scrolling(m_grid, top), 1);
    topLayout->addLayout(fields);
    topLayout->addLayout(trackButtons);
    auto* bottom = new QWidget(body);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addLayout(pageRow);
    bottomLayout->addWidget(scrolling(m_page, bottom), 1);
    bottomLayout->addLayout(fileButtons);
    auto* split = new QSplitter(Qt::Vertical, body);
    split->addWidget(top);
    split->addWidget(bottom);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(split);
    setWidget(body);

    askTextureFiles = [this] {
        return QFileDialog::getOpenFileNames(this, QStringLiteral("Load texture file (RAW, PNG or TGA)"),
                                             text(artFolder()),
                                             QtFileFilter("Textures (*.raw;*.png;*.tga)"));
    };
    askCompositeFile = [this] {
        return QFileDialog::getOpenFileName(
            this, QStringLiteral("Choose an image to cut into textures"), text(artFolder()),
            QtFileFilter("PNG and TGA images (*.png *.tga);;All Files (*)"));
    };

    connect(m_grid, &CTextureCells::cellPressed, this, &CTexturesBox::onGridPressed);
    connect(m_grid, &CTextureCells::cellDragged, this, &CTexturesBox::onGridDragged);
    connect(m_grid, &CTextureCells::cellDoubleClicked, this, [this](int cell) {
        if (m_doc.track().animations.startedBy(uint32_t(m_slots[size_t(cell)])) >= 0) OnAnimation();
    });
    connect(m_page, &CTextureCells::cellPressed, this,
            [this](int cell, Qt::KeyboardModifiers) { setCurrentFile(m_page->cells()[size_t(cell)].name); });
    connect(m_type, &QSpinBox::valueChanged, this, [this](int v) { setSurface(true, v); });
    connect(m_grip, &QSpinBox::valueChanged, this, [this](int v) { setSurface(false, v); });
    connect(apply, &QPushButton::clicked, this, &CTexturesBox::OnApply);
    connect(load, &QPushButton::clicked, this, &CTexturesBox::OnLoadTextures);
    connect(paste, &QPushButton::clicked, this, &CTexturesBox::OnPasteTexture);
    connect(m_pasteComposite, &QPushButton::clicked, this, &CTexturesBox::OnPasteComposite);
    connect(m_animation, &QPushButton::clicked, this, &CTexturesBox::OnAnimation);
    connect(purge, &QPushButton::clicked, this, &CTexturesBox::OnPurgeUnused);
    connect(remove, &QPushButton::clicked, this, &CTexturesBox::OnDeleteTexture);
    connect(previous, &QPushButton::clicked, this, &CTexturesBox::OnPreviousPage);
    connect(next, &QPushButton::clicked, this, &CTexturesBox::OnNextPage);
    connect(addPage, &QPushButton::clicked, this, &CTexturesBox::OnAddPage);
    connect(deleteFile, &QPushButton::clicked, this, &CTexturesBox::OnDeleteFile);
    connect(renameFile, &QPushButton::clicked, this, &CTexturesBox::OnRenameFile);

    connect(&m_doc, &CRavokDoc::contentsReplaced, this, [this] {
        buildTextureGrid();
        followFolder();
    });
    connect(&m_doc, &CRavokDoc::titleChanged, this, &CTexturesBox::followFolder);
    // No page, selection or command reads the track while a worker owns it.
    connect(&m_doc, &CRavokDoc::busyChanged, this, [this](bool busy) { setEnabled(!busy); });
    connect(&m_doc, &CRavokDoc::texturesChanged, this, &CTexturesBox::buildTextureGrid);
    connect(&m_doc, &CRavokDoc::textureSelectionChanged, this, &CTexturesBox::showSelection);

    m_pageTimer.setSingleShot(true);
    m_pageTimer.setInterval(30);
    connect(&m_pageTimer, &QTimer::timeout, this, &CTexturesBox::showPage);
    // The worker reports on its own thread; the box takes the reports on its own.
    m_worker = std::make_unique<TextureFolderWorker>([this](TextureFolderWorker::Event event) {
        QMetaObject::invokeMethod(
            this, [this, event] { onWorkerEvent(int(event)); }, Qt::QueuedConnection);
    });
    buildTextureGrid();
    refreshFolder();
}

CTexturesBox::~CTexturesBox() {
    m_worker->stop();
}

fs::path CTexturesBox::artFolder() const {
    const QString track = m_doc.pathName();
    return ravok::TexturesBoxFolder(track.isEmpty() ? fs::path() : toPath(QFileInfo(track).absolutePath()),
                                    m_settings.artFolder);
}

ravok::TextureAddParams CTexturesBox::addParams() const {
    return {m_folder, m_settings.keepHdArtOnly};
}

bool CTexturesBox::commandsAllowed() const {
    return !m_doc.busy() && !m_doc.podViewMode();
}

void CTexturesBox::setCutDialog(CutDialog dialog) {
    m_cutDialog = std::move(dialog);
    m_pasteComposite->setEnabled(bool(m_cutDialog));
}

// ---- the track's textures -----------------------------------------------------------------

void CTexturesBox::buildTextureGrid() {
    const ravok::CTrackPOD& track = m_doc.track();
    m_slots.clear();
    std::vector<CTextureCells::Cell> cells;
    for (int slot = 0; slot < ravok::kMaxTerrainTextures; ++slot) {
        const auto& texture = track.terrainTextures[size_t(slot)];
        if (!texture) continue;
        m_slots.push_back(slot);
        cells.push_back({ravok::ImageOfTexture(*texture, track.palette, ravok::kThumbnailSide),
                         withoutArtFolder(texture->name().view()),
                         track.animations.startedBy(uint32_t(slot)) >= 0});
    }
    m_grid->setCells(std::move(cells));
    // Slots that are empty now leave the selection.
    auto filled = [&](int slot) { return std::binary_search(m_slots.begin(), m_slots.end(), slot); };
    std::vector<int> all;
    for (int slot : m_doc.textureSelection())
        if (filled(slot)) all.push_back(slot);
    const int selected = filled(m_doc.selectedTexture()) ? m_doc.selectedTexture() : -1;
    m_doc.setTextureSelection(selected, std::move(all));
    showSelection();
}

void CTexturesBox::showSelection() {
    auto cellOf = [this](int slot) {
        const auto it = std::lower_bound(m_slots.begin(), m_slots.end(), slot);
        return it != m_slots.end() && *it == slot ? int(it - m_slots.begin()) : -1;
    };
    std::vector<int> highlighted;
    for (int slot : m_doc.textureSelection())
        highlighted.push_back(cellOf(slot));
    const int selected = m_doc.selectedTexture();
    m_grid->setHighlight(cellOf(selected), std::move(highlighted));

    const ravok::CTrackPOD& track = m_doc.track();
    const ravok::Texture* texture = selected >= 0 && selected < ravok::kMaxTerrainTextures
                                        ? track.terrainTextures[size_t(selected)].get()
                                        : nullptr;
    const QSignalBlocker blockType(m_type), blockGrip(m_grip);
    m_type->setEnabled(texture);
    m_grip->setEnabled(texture);
    if (texture) {
        m_type->setValue(texture->surfaceType());
        m_grip->setValue(texture->gripDepth());
    }
    m_animation->setEnabled(texture && track.animations.startedBy(uint32_t(selected)) >= 0);
}

void CTexturesBox::select(int selected, std::vector<int> all) {
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    m_doc.setTextureSelection(selected, std::move(all));
}

void CTexturesBox::onGridPressed(int cell, Qt::KeyboardModifiers modifiers) {
    if (cell < 0 || cell >= int(m_slots.size())) return;
    const int slot = m_slots[size_t(cell)];
    const int selected = m_doc.selectedTexture();
    if ((modifiers & Qt::ControlModifier) && selected >= 0 && selected != slot) {
        if (!commandsAllowed()) return;
        const ravok::Outcome added = ravok::AnimateTextureClick(m_doc.track(), selected, slot);
        if (!added.ok) {
            if (!added.message.empty()) m_doc.prompter().warn(added.message, added.caption);
            return;
        }
        m_doc.recordEdit(QStringLiteral("Texture Animation"));
        std::vector<CTextureCells::Cell> cells = m_grid->cells();
        for (size_t i = 0; i < cells.size(); ++i)
            cells[i].marked = m_doc.track().animations.startedBy(uint32_t(m_slots[i])) >= 0;
        m_grid->setCells(std::move(cells));
        showSelection();
        return;
    }
    if (modifiers & Qt::ShiftModifier) {
        std::vector<int> all = m_doc.textureSelection();
        const auto it = std::find(all.begin(), all.end(), slot);
        int next = selected;
        if (it == all.end()) {
            all.push_back(slot);
            if (next < 0) next = slot;
        } else {
            all.erase(it);
            if (next == slot) next = all.empty() ? -1 : all.front();
        }
        select(next, std::move(all));
        return;
    }
    select(slot, {slot});
}

void CTexturesBox::onGridDragged(int from, int to) {
    std::vector<int> all;
    for (int cell : m_grid->cellsInBox(from, to))
        all.push_back(m_slots[size_t(cell)]);
    select(m_slots[size_t(from)], std::move(all));
}

void CTexturesBox::setSurface(bool type, int value) {
    if (!commandsAllowed()) return;
    std::vector<int> targets = m_doc.textureSelection();
    targets.push_back(m_doc.selectedTexture());
    const bool changed = type ? ravok::SetSurfaceType(m_doc.track(), targets, value)
                              : ravok::SetGripDepth(m_doc.track(), targets, value);
    if (changed) m_doc.setModified(true);
}

void CTexturesBox::texturesAdded(int first) {
    if (first < 0) return;
    m_doc.setModified(true);
    emit m_doc.texturesChanged();
    m_doc.setTextureSelection(first, {first});
}

void CTexturesBox::texturesGone(const std::vector<int>& removed) {
    int selected = m_doc.selectedTexture();
    std::vector<int> all = m_doc.textureSelection();
    QList<int> told;
    for (int slot : removed) {
        selected = ravok::SlotAfterRemoval(selected, slot);
        for (int& s : all)
            s = ravok::SlotAfterRemoval(s, slot);
        std::erase(all, -1);
        told << slot;
    }
    m_doc.setModified(true);
    m_doc.setTextureSelection(selected, std::move(all));
    emit m_doc.texturesChanged();
    emit texturesRemoved(told);
}

// ---- commands on the track's textures -----------------------------------------------------

void CTexturesBox::OnApply() {
    if (commandsAllowed()) emit notify(ravok::ViewCommand::ApplyTexture, m_doc.selectedTexture());
}

void CTexturesBox::OnLoadTextures() {
    if (!commandsAllowed()) return;
    const QStringList files = askTextureFiles();
    if (files.isEmpty()) return;
    std::vector<fs::path> paths;
    for (const QString& file : files)
        paths.push_back(toPath(file));
    int first = -1;
    {
        TextureFolderPause::Pauser writing(&m_worker->pauseGate());
        WaitCursor wait;
        first = ravok::LoadTextureFiles(m_doc.track(), paths, addParams(), m_doc.prompter());
    }
    texturesAdded(first);
    refreshFolder(); // HD pictures may have new .RAW and .ACT files beside them
}

void CTexturesBox::OnAddPage() {
    if (!commandsAllowed()) return;
    const int before = ravok::filledSlots(m_doc.track().terrainTextures);
    {
        TextureFolderPause::Pauser writing(&m_worker->pauseGate());
        WaitCursor wait;
        ravok::AddTexturePage(m_doc.track(), pageNames(), addParams(), m_doc.prompter());
    }
    if (ravok::filledSlots(m_doc.track().terrainTextures) == before) return;
    m_doc.setModified(true);
    emit m_doc.texturesChanged();
    refreshFolder();
}

bool CTexturesBox::askName(const QString& preset, const std::function<bool(const std::string&)>& accept) {
    QString answer = preset;
    for (;;) {
        QInputDialog box(this);
        box.setObjectName(QStringLiteral("textureName"));
        box.setWindowTitle(programCaption());
        box.setLabelText(QString::fromLatin1(ravok::kPasteTextureNamePrompt));
        box.setTextValue(answer);
        if (box.exec() != QDialog::Accepted) return false;
        answer = box.textValue();
        if (accept(answer.toStdString())) return true;
    }
}

void CTexturesBox::OnPasteTexture() {
    if (!commandsAllowed()) return;
    const std::optional<ravok::DibImage> dib = ravok::ClipboardDib();
    if (const ravok::Outcome usable = ravok::CheckPasteTexture(dib ? &*dib : nullptr); !usable) {
        m_doc.prompter().warn(usable.message, usable.caption);
        return;
    }
    std::string name;
    const bool named = askName({}, [&](const std::string& answer) {
        const ravok::Outcome problem = ravok::PastedTextureNameProblem(m_doc.track(), m_folder, answer);
        if (!problem.message.empty()) m_doc.prompter().warn(problem.message, problem.caption);
        name = answer;
        return problem.ok;
    });
    if (!named) return;
    ravok::Outcome outcome;
    int slot = -1;
    {
        TextureFolderPause::Pauser writing(&m_worker->pauseGate());
        slot = ravok::PasteTexture(m_doc.track(), *dib, name, addParams(), outcome);
    }
    if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
    texturesAdded(slot);
    refreshFolder();
}

void CTexturesBox::OnPasteComposite() {
    if (!commandsAllowed() || !m_cutDialog) return;
    ravok::CutSource source;
    if (const std::optional<ravok::DibImage> dib = ravok::ClipboardDib()) {
        const ravok::Outcome taken = ravok::CutSourceFromClipboard(&*dib, source);
        if (!taken.message.empty()) m_doc.prompter().warn(taken.message, taken.caption);
    } else {
        const QString file = askCompositeFile();
        if (file.isEmpty()) return;
        std::string message;
        std::optional<ravok::CutSource> picture = ravok::CutSourceFromFile(toPath(file), message);
        if (!picture) {
            m_doc.prompter().warn(message.empty() ? "That image could not be read." : message,
                                  ravok::kPasteCompositeCaption);
            return;
        }
        source = std::move(*picture);
    }
    ravok::CutSettings& cut = *m_lastCut;
    cut.output = ravok::CutOutputFromSetting(m_settings.texCutFormat);
    cut.keepHdArtOnly = m_settings.keepHdArtOnly;
    for (;;) {
        if (!m_cutDialog(source, cut)) return;
        m_settings.texCutFormat = uint32_t(cut.output);
        // A used name stops the cut before anything is written; the dialog opens again.
        if (const ravok::Outcome names = ravok::CheckCutNames(m_doc.track(), m_folder, cut); !names) {
            m_doc.prompter().warn(names.message, names.caption);
            continue;
        }
        break;
    }
    const int before = ravok::filledSlots(m_doc.track().terrainTextures);
    ravok::CutResult result;
    {
        TextureFolderPause::Pauser writing(&m_worker->pauseGate());
        WaitCursor wait;
        result = ravok::CutTextures(m_doc.track(), source, cut, addParams());
    }
    if (!result.outcome.message.empty())
        m_doc.prompter().warn(result.outcome.message, result.outcome.caption);
    if (source.kind == ravok::CutSourceKind::TrueColour &&
        ravok::EffectiveCutOutput(source, cut.output) != ravok::CutOutput::RawAct)
        m_settings.keepHdArtOnly = cut.keepHdArtOnly;
    if (ravok::filledSlots(m_doc.track().terrainTextures) != before) {
        m_doc.setModified(true);
        emit m_doc.texturesChanged();
    }
    refreshFolder();
}

void CTexturesBox::OnAnimation() {
    const int selected = m_doc.selectedTexture();
    if (!commandsAllowed() || selected < 0 || m_doc.track().animations.startedBy(uint32_t(selected)) < 0)
        return;
    CTextureAnimationDlg dialog(m_doc.track(), selected, this);
    dialog.exec();
    if (!dialog.changedTrack()) return;
    m_doc.recordEdit(QStringLiteral("Texture Animation"));
    buildTextureGrid(); // the animation marks
}

void CTexturesBox::OnPurgeUnused() {
    if (!commandsAllowed()) return;
    const std::vector<int> unused = ravok::UnusedTextures(m_doc.track());
    if (ravok::PurgeUnusedTextures(m_doc.track(), m_doc.prompter()) == 0) return;
    texturesGone({unused.rbegin(), unused.rend()}); // removed from the highest down
}

void CTexturesBox::OnDeleteTexture() {
    const int selected = m_doc.selectedTexture();
    if (!commandsAllowed() || selected < 0) return;
    if (ravok::DeleteTexture(m_doc.track(), selected, m_doc.prompter())) texturesGone({selected});
}

// ---- the art folder -----------------------------------------------------------------------

std::vector<std::string> CTexturesBox::pageNames() const {
    const size_t first = std::min(m_pageFirst, m_names.size());
    const size_t end = std::min(m_names.size(), first + size_t(ravok::kThumbnailsKept));
    return {m_names.begin() + std::ptrdiff_t(first), m_names.begin() + std::ptrdiff_t(end)};
}

void CTexturesBox::setCurrentFile(const QString& name) {
    m_currentFile = name;
    std::vector<int> current;
    for (size_t i = 0; i < m_page->cells().size(); ++i)
        if (m_page->cells()[i].name == name) current.push_back(int(i));
    m_page->setHighlight(current.empty() ? -1 : current.front(), current);
}

void CTexturesBox::followFolder() {
    if (artFolder() == m_folder) return;
    m_pageFirst = 0;
    m_currentFile.clear();
    refreshFolder();
}

void CTexturesBox::refreshFolder() {
    m_folder = artFolder();
    std::set<std::string> models = modelTextureNames(m_doc.track());
    TextureFolderWorker::Browse request;
    request.folder = m_folder;
    request.first = m_pageFirst;
    request.updateHd = !m_settings.keepHdArtOnly && !m_folder.empty();
    request.isModelTexture = [models = std::move(models)](const fs::path& picture) {
        return models.count(ravok::upperCase(picture.stem().string() + ".RAW")) > 0;
    };
    m_worker->browse(std::move(request));
}

void CTexturesBox::OnPreviousPage() {
    if (m_pageFirst < size_t(ravok::kThumbnailsKept)) return;
    m_pageFirst -= size_t(ravok::kThumbnailsKept);
    m_worker->showPage(m_pageFirst);
    showPage();
}

void CTexturesBox::OnNextPage() {
    if (m_pageFirst + size_t(ravok::kThumbnailsKept) >= m_names.size()) return;
    m_pageFirst += size_t(ravok::kThumbnailsKept);
    m_worker->showPage(m_pageFirst);
    showPage();
}

void CTexturesBox::onWorkerEvent(int event) {
    switch (TextureFolderWorker::Event(event)) {
    case TextureFolderWorker::Event::HdUpdated:
        showHdSkipped();
        break;
    case TextureFolderWorker::Event::Listed:
        // The page stays the box's own (the user may have moved on since the
        // request), brought back to the last page as the worker does.
        m_names = m_worker->names();
        m_pageFirst = std::min(m_pageFirst, TextureFolderWorker::lastPageStart(m_names.size()));
        showPage();
        break;
    case TextureFolderWorker::Event::Thumbnail:
    case TextureFolderWorker::Event::PageDone:
        if (!m_pageTimer.isActive()) m_pageTimer.start();
        break;
    }
}

void CTexturesBox::showPage() {
    const size_t pages =
        (m_names.size() + size_t(ravok::kThumbnailsKept) - 1) / size_t(ravok::kThumbnailsKept);
    m_pageLabel->setText(pages == 0 ? QStringLiteral("Empty")
                                    : QStringLiteral("Page %1 of %2")
                                          .arg(m_pageFirst / size_t(ravok::kThumbnailsKept) + 1)
                                          .arg(pages));
    TextureFolderWorker::Page page = m_worker->page();
    std::vector<CTextureCells::Cell> cells;
    if (page.first == m_pageFirst)
        for (const ravok::Thumbnail& t : page.thumbnails)
            cells.push_back({ravok::ImageOfThumbnail(t), text(t.name)});
    m_page->setCells(std::move(cells));
    setCurrentFile(m_currentFile);
}

void CTexturesBox::showHdSkipped() {
    if (m_doc.busy()) { // not over a progress dialog: later
        QTimer::singleShot(500, this, &CTexturesBox::showHdSkipped);
        return;
    }
    const std::optional<ravok::HdUpdateResult> result = m_worker->hdResult();
    if (!result) return;
    const std::string skipped = m_hdNotices.take(m_folder, *result);
    if (!skipped.empty()) m_doc.prompter().warn(skipped, ravok::kHdTexturesSkippedCaption);
}

// ---- commands on the art folder's files ---------------------------------------------------

void CTexturesBox::OnDeleteFile() {
    if (!commandsAllowed() || m_currentFile.isEmpty()) return;
    bool deleted = false;
    {
        TextureFolderPause::Pauser writing(&m_worker->pauseGate());
        deleted =
            ravok::DeleteTextureFile(m_doc.track(), m_folder, m_currentFile.toStdString(), m_doc.prompter());
    }
    if (!deleted) return;
    m_currentFile.clear();
    refreshFolder();
}

void CTexturesBox::OnRenameFile() {
    if (!commandsAllowed() || m_currentFile.isEmpty()) return;
    const std::string file = m_currentFile.toStdString();
    if (const ravok::Outcome can = ravok::CanRenameTextureFile(m_doc.track(), file); !can) {
        m_doc.prompter().warn(can.message, can.caption);
        return;
    }
    std::string renamed;
    const bool done = askName(text(ravok::NameWithoutExtension(file)), [&](const std::string& answer) {
        ravok::Outcome outcome;
        {
            TextureFolderPause::Pauser writing(&m_worker->pauseGate());
            outcome = ravok::RenameTextureFile(m_doc.track(), m_folder, file, answer);
        }
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        renamed = ravok::NameWithoutExtension(answer) + fs::path(file).extension().string();
        return outcome.ok;
    });
    if (!done) return;
    m_currentFile = text(renamed);
    refreshFolder();
}
