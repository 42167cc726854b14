#pragma once

#include "edit/ViewCommands.h"
#include "art/HdTextures.h"

#include <QDockWidget>
#include <QList>
#include <QStringList>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRavokDoc;
class CTextureCells;
class QLabel;
class QPushButton;
class QSpinBox;

namespace ravok {
struct CutSettings;
struct CutSource;
struct ProgramSettings;
struct TextureAddParams;
class TextureFolderWorker;
} // namespace ravok

// The Textures box: the track's textures in a grid (click, drag a box,
// Shift to add or remove, Ctrl to append a frame to the selected texture's
// animation), the art folder's pages of thumbnails made by a background
// worker, and the commands through which textures enter and leave the track.
// The selection lives in the document; every command that writes files
// pauses the worker while it writes.
class CTexturesBox : public QDockWidget {
    Q_OBJECT
  public:
    CTexturesBox(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent = nullptr);
    ~CTexturesBox() override;

    // The folder the box browses: the track file folder's ART folder when it
    // exists, else the art folder setting.
    std::filesystem::path artFolder() const;
    ravok::TextureFolderWorker& worker() { return *m_worker; }
    CTextureCells* textureGrid() const { return m_grid; }
    CTextureCells* folderPage() const { return m_page; }
    // The slot of each cell of the texture grid.
    const std::vector<int>& gridSlots() const { return m_slots; }
    // The names of the art-folder page shown (the page's entries, read or not).
    std::vector<std::string> pageNames() const;
    size_t pageFirst() const { return m_pageFirst; }
    // The art-folder entry that Delete File and Rename File act on.
    QString currentFile() const { return m_currentFile; }
    void setCurrentFile(const QString& name);

    // The multi-selection file dialog of Load; replaceable for tests.
    std::function<QStringList()> askTextureFiles;
    // Paste Composite's file dialog when the clipboard holds no picture; replaceable for tests.
    std::function<QString()> askCompositeFile;
    // The "Cut Textures from an Image" dialog that Paste Composite runs on
    // its source (which Open Image may replace), starting from the choices of
    // the last use: false for Cancel. The box remembers the output kind and,
    // after HD tiles, the keep-HD choice in the settings, checks the names and
    // cuts. Paste Composite is disabled without a dialog.
    using CutDialog = std::function<bool(ravok::CutSource& source, ravok::CutSettings& settings)>;
    void setCutDialog(CutDialog dialog);

  public slots:
    void OnApply();
    void OnLoadTextures();
    void OnAddPage();
    void OnPasteTexture();
    void OnPasteComposite();
    void OnDeleteFile();
    void OnRenameFile();
    void OnAnimation();
    void OnPurgeUnused();
    void OnDeleteTexture();
    void OnPreviousPage();
    void OnNextPage();
    // Browses the box's folder again (after Options or a write).
    void refreshFolder();
    // Browses anew when the folder changed (another track file, Save As).
    void followFolder();

  signals:
    // A tool-bar notification for the view: Apply sends 9 with the selected
    // texture (fill the texture selection, or paint the ground box).
    void notify(ravok::ViewCommand command, int value);
    // Slots removed from the texture table, each numbered as it was when it
    // went (later slots move down one): for the other texture boxes and dialogs.
    void texturesRemoved(QList<int> removed);

  private:
    void buildTextureGrid();
    void showSelection();
    void onGridPressed(int cell, Qt::KeyboardModifiers modifiers);
    void onGridDragged(int from, int to);
    void select(int selected, std::vector<int> all);
    void setSurface(bool type, int value);
    void onWorkerEvent(int event);
    void showPage();
    void showHdSkipped();
    // After textures were added: the first becomes the selected one.
    void texturesAdded(int first);
    void texturesGone(const std::vector<int>& removed);
    bool commandsAllowed() const;
    ravok::TextureAddParams addParams() const;
    // The name box: shown until `check` accepts an answer (true) or Cancel (false).
    bool askName(const QString& preset, const std::function<bool(const std::string&)>& accept);

    CRavokDoc& m_doc;
    ravok::ProgramSettings& m_settings;
    std::unique_ptr<ravok::TextureFolderWorker> m_worker;
    ravok::HdSkippedNotices m_hdNotices;
    std::filesystem::path m_folder;
    CutDialog m_cutDialog;
    std::unique_ptr<ravok::CutSettings> m_lastCut; // the dialog's choices, kept between uses

    CTextureCells* m_grid = nullptr;
    CTextureCells* m_page = nullptr;
    std::vector<int> m_slots;
    std::vector<std::string> m_names;
    size_t m_pageFirst = 0;
    QString m_currentFile;
    QSpinBox* m_type = nullptr;
    QSpinBox* m_grip = nullptr;
    QLabel* m_pageLabel = nullptr;
    QPushButton* m_pasteComposite = nullptr;
    QPushButton* m_animation = nullptr;
    QTimer m_pageTimer; // gathers the worker's thumbnails into one repaint
};
