#pragma once

#include "art/Model.h"
#include "render/Mesh.h"
#include "render/TrackMeshes.h"

#include <QDockWidget>
#include <QStringList>

#include <functional>
#include <memory>

class CModelPreviewWidget;
class CRavokDoc;
class CRavokView;
class QFileDialog;
class QListWidget;
class QPushButton;

namespace ravok {
struct ProgramSettings;
}

// The Models box: the track's model table as a list, the selected model in a
// small 3D preview, and the commands on models: Load BIN file, Apply (the
// model to the selected objects), Purge unused models, Cut Model and Cut
// Model + Objects. Changes of the model table are announced through the
// document's modelsChanged().
class CModelsBox : public QDockWidget {
    Q_OBJECT
  public:
    CModelsBox(CRavokDoc& doc, ravok::ProgramSettings& settings, CRavokView& view, QWidget* parent = nullptr);
    ~CModelsBox() override;

    // The selected model slot, or -1.
    int selectedModel() const { return m_selected; }
    void selectModel(int slot);
    // Loads the files in order, with the messages of each; stops where the
    // table is full or a file is no model. Returns how many were loaded.
    int LoadFiles(const QStringList& files);
    QListWidget* list() const { return m_list; }

    // The Load BIN file dialog; the chosen files, none for Cancel. Replaceable for tests.
    std::function<QStringList()> chooseFiles;

  public slots:
    // The track's model table changed or was replaced: the list is filled
    // again, keeping the selection when its slot still holds a model.
    void Refill();
    void OnLoadBinFile();
    void OnApply();
    void OnPurge();
    void OnCutModel();
    void OnCutModelAndObjects();

  signals:
    // The frame learns which model is selected (-1 none).
    void modelSelected(int slot);

  private:
    QStringList askForFiles();
    void showModel(const ravok::Model* model);
    void showPreviewOfFile(const QString& path, CModelPreviewWidget& preview);

    CRavokDoc& m_doc;
    ravok::ProgramSettings& m_settings;
    CRavokView& m_view;
    QListWidget* m_list;
    CModelPreviewWidget* m_preview = nullptr; // none without OpenGL
    int m_selected = -1;
    ravok::TextureDatabase m_textures; // the track's textures, for the preview meshes
    ravok::Mesh m_mesh, m_fileMesh;
};

// The model of a file as the file dialog previews it: named "TEMP", or an
// empty model named "NULL" when the file cannot be read as one.
void ReadPreviewModel(ravok::Model& model, const QString& path);
