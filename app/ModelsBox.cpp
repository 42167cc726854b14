#include "app/ModelsBox.h"

#include "app/FileDialogFilter.h"
#include "app/ModelPreviewWidget.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "app/ViewSurface.h"
#include "art/ItemNames.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectModels.h"
#include "model/TrackPod.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ravok;

namespace {

QString qText(std::string_view s) {
    return QString::fromStdString(std::string(s));
}
std::filesystem::path pathOf(const QString& s) {
    return std::filesystem::path(s.toStdString());
}

// The list shows a model's name without its MODELS\ folder.
QString listName(const Model& model) {
    return qText(nameInFolder(model.name().view()));
}

void tell(Prompter& prompter, const EditNotice& notice, bool warning) {
    if (warning)
        prompter.warn(notice.text, notice.caption);
    else
        prompter.inform(notice.text, notice.caption);
}

} // namespace

void ReadPreviewModel(Model& model, const QString& path) {
    if (model.readFile("TEMP", pathOf(path))) return;
    model = Model();
    model.setName("NULL");
}

CModelsBox::CModelsBox(CRavokDoc& doc, ProgramSettings& settings, CRavokView& view, QWidget* parent)
    : QDockWidget(QStringLiteral("Models"), parent), m_doc(doc), m_settings(settings), m_view(view) {
    setObjectName(QStringLiteral("Models"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("models"));
    layout->addWidget(m_list, 1);
    // The 3D preview draws with OpenGL; where there is none a window holding it would not be drawn.
    if (CViewSurface::OpenGLAvailable()) {
        m_preview = new CModelPreviewWidget(body);
        layout->addWidget(m_preview);
    } else {
        layout->addWidget(new QLabel(QStringLiteral("The 3D preview needs OpenGL."), body));
    }
    auto button = [&](const char* text, void (CModelsBox::*slot)()) {
        auto* b = new QPushButton(QString::fromLatin1(text), body);
        b->setObjectName(QString::fromLatin1(text));
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* row = new QHBoxLayout;
    row->addWidget(button("Load BIN file", &CModelsBox::OnLoadBinFile));
    row->addWidget(button("Apply", &CModelsBox::OnApply));
    layout->addLayout(row);
    layout->addWidget(button("Purge unused models", &CModelsBox::OnPurge));
    auto* cut = new QHBoxLayout;
    cut->addWidget(button("Cut Model", &CModelsBox::OnCutModel));
    cut->addWidget(button("Cut Model + Objects", &CModelsBox::OnCutModelAndObjects));
    layout->addLayout(cut);
    setWidget(body);

    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { selectModel(item ? item->data(Qt::UserRole).toInt() : -1); });
    connect(&m_doc, &CRavokDoc::modelsChanged, this, &CModelsBox::Refill);
    connect(&m_doc, &CRavokDoc::texturesChanged, this, &CModelsBox::Refill);
    connect(&m_doc, &CRavokDoc::contentsReplaced, this, &CModelsBox::Refill);
    // The preview's mesh is of a model of the old track: it goes before the track does.
    connect(&m_doc, &CRavokDoc::aboutToReplaceContents, this, [this] {
        if (m_preview) m_preview->setMesh(nullptr, {});
        m_mesh.clear();
        m_textures.terrain.clear();
        m_textures.models.clear();
    });
    // No list, preview or command reads the track while a worker owns it.
    connect(&m_doc, &CRavokDoc::busyChanged, this, [this](bool busy) { setEnabled(!busy); });
    Refill();
}

CModelsBox::~CModelsBox() = default;

void CModelsBox::Refill() {
    const CTrackPOD& track = m_doc.track();
    m_textures.fill(track);
    const int keep = m_selected;
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_selected = -1;
    for (int slot = 0; slot < kMaxModels; ++slot) {
        const auto& model = track.models[size_t(slot)];
        if (!model) continue;
        auto* item = new QListWidgetItem(listName(*model), m_list);
        item->setData(Qt::UserRole, slot);
        if (slot == keep) {
            m_list->setCurrentItem(item);
            m_selected = slot;
        }
    }
    showModel(m_selected >= 0 ? track.models[size_t(m_selected)].get() : nullptr);
    if (m_selected != keep) emit modelSelected(m_selected);
}

void CModelsBox::selectModel(int slot) {
    const CTrackPOD& track = m_doc.track();
    if (slot < 0 || slot >= kMaxModels || !track.models[size_t(slot)]) slot = -1;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->data(Qt::UserRole).toInt() == slot) {
            const QSignalBlocker block(m_list);
            m_list->setCurrentRow(row);
        }
    if (slot == m_selected) return;
    m_selected = slot;
    showModel(slot >= 0 ? track.models[size_t(slot)].get() : nullptr);
    emit modelSelected(slot);
}

void CModelsBox::showModel(const Model* model) {
    m_mesh.clear();
    if (model) BuildModelMesh(m_mesh, *model, m_textures.models, m_doc.track().palette);
    if (m_preview) m_preview->setMesh(&m_mesh, m_doc.track().palette.colours());
}

// ---- loading ---------------------------------------------------------------------------

int CModelsBox::LoadFiles(const QStringList& files) {
    CTrackPOD& track = m_doc.track();
    int loaded = 0, last = -1;
    for (const QString& file : files) {
        const ModelFileResult result =
            LoadModelFile(track, pathOf(file), m_settings.modelsFolder, m_settings.artFolder);
        if (result.slot >= 0) {
            ++loaded;
            last = result.slot;
        }
        for (const EditNotice& notice : result.notices)
            tell(m_doc.prompter(), notice,
                 notice.caption == kBadModelTexturesCaption || notice.caption == kBadModelCaption);
        if (result.stop) break;
    }
    if (loaded == 0) return 0;
    m_doc.setModified(true);
    emit m_doc.modelsChanged();
    selectModel(last);
    return loaded;
}

void CModelsBox::OnLoadBinFile() {
    if (!CanEditObjects(m_doc.track())) return;
    const QStringList files = chooseFiles ? chooseFiles() : askForFiles();
    if (!files.isEmpty()) LoadFiles(files);
}

QStringList CModelsBox::askForFiles() {
    QFileDialog dialog(this, QStringLiteral("Load BIN file"), qText(m_settings.modelsFolder.string()),
                       QtFileFilter("BIN files (*.bin)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the preview sits beside the file list
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    CModelPreviewWidget* preview = nullptr;
    if (CViewSurface::OpenGLAvailable()) {
        preview = new CModelPreviewWidget(&dialog);
        preview->setFixedSize(200, 200);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
        connect(&dialog, &QFileDialog::currentChanged, preview,
                [this, preview](const QString& path) { showPreviewOfFile(path, *preview); });
    }
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (preview) preview->setMesh(nullptr, {}); // the scratch mesh goes before the dialog
    return chosen ? dialog.selectedFiles() : QStringList();
}

void CModelsBox::showPreviewOfFile(const QString& path, CModelPreviewWidget& preview) {
    Model scratch;
    ReadPreviewModel(scratch, path);
    m_fileMesh.clear();
    BuildModelMesh(m_fileMesh, scratch, m_textures.models, m_doc.track().palette);
    preview.setMesh(&m_fileMesh, m_doc.track().palette.colours());
}

// ---- the commands on models ------------------------------------------------------------

void CModelsBox::OnApply() {
    if (m_selected >= 0) m_view.AssignModel(m_selected);
}

void CModelsBox::OnPurge() {
    m_view.PurgeModels();
}

void CModelsBox::OnCutModel() {
    if (m_selected >= 0) m_view.CutModel(m_selected, false);
}

void CModelsBox::OnCutModelAndObjects() {
    if (m_selected >= 0) m_view.CutModel(m_selected, true);
}
