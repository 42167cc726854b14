#pragma once

#include "trackart/TexturePattern.h"

#include <QDockWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class CRavokDoc;
class CRavokView;
class QCheckBox;
class QLabel;
class QListWidget;

namespace ravok {
struct ProgramSettings;
}

// "Texture Patterns": the patterns of the current pattern file with their
// previews and sizes; Sel adds one from the view's texture selection, Del
// removes the chosen one, Get picks it for stamping (and stamps it at the
// selection), "Always load textures" adds missing textures without asking.
// Every change writes the file at once.
class CTexturePatternsBox : public QDockWidget {
    Q_OBJECT
  public:
    CTexturePatternsBox(CRavokDoc& doc, CRavokView& view, ravok::ProgramSettings& settings,
                        QWidget* parent = nullptr);

    const std::vector<ravok::TexturePattern>& patterns() const { return m_patterns; }
    int current() const;
    void setCurrent(int index);
    const std::filesystem::path& file() const;
    // Reads the patterns of a file (none when it cannot be read) and remembers it.
    void openFile(const std::filesystem::path& file);

    // The name box of Sel, preset to "New pattern"; nullopt for Cancel.
    // Replaceable for tests.
    std::function<std::optional<QString>(const QString& preset)> askName;

  public slots:
    bool OnSel();
    bool OnDel();
    bool OnGet();

  private:
    void chooseFile();
    void showPatterns();
    void showPreview();

    CRavokDoc& m_doc;
    CRavokView& m_view;
    ravok::ProgramSettings& m_settings;
    std::vector<ravok::TexturePattern> m_patterns;
    QListWidget* m_list;
    QLabel* m_fileName;
    QLabel* m_preview;
    QCheckBox* m_alwaysLoad;
};

// A pattern's preview picture in its own colours; a null image without one.
QImage PatternPreviewImage(const ravok::TexturePattern& pattern);
