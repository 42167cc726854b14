#pragma once

#include "trackart/TextureCut.h"

#include <QDialog>

#include <filesystem>

class CRavokDoc;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ravok {
struct ProgramSettings;
}

// "Cut Textures from an Image": the picture to cut (from the clipboard or
// Open Image), the tile size among those offered, the offsets, columns and
// rows, the output kind with its border-overlap and keep-HD choices, and the
// base name. Two status lines describe the source and the tiles; OK is
// enabled only while the tile summary is shown and checks the choices.
class CCutTexturesDlg : public QDialog {
    Q_OBJECT
  public:
    CCutTexturesDlg(ravok::CutSource source, const ravok::CutSettings& start, QWidget* parent = nullptr);

    const ravok::CutSource& source() const { return m_source; }
    ravok::CutSource takeSource() { return std::move(m_source); }
    ravok::CutSettings settings() const;
    // Open Image after its file dialog; false (with the message shown) when
    // the picture cannot be read.
    bool openImage(const std::filesystem::path& path);
    QString sourceLine() const;
    QString summaryLine() const;

  public slots:
    void accept() override;

  private:
    void onOpenImage();
    void fillTileSizes();
    void refresh();

    ravok::CutSource m_source;
    int m_previousSize;
    // The output kind chosen for true colour, kept while a palette picture
    // shows RAW/ACT.
    ravok::CutOutput m_chosenOutput;
    QComboBox *m_tileSize, *m_output;
    QSpinBox *m_left, *m_top, *m_columns, *m_rows;
    QCheckBox *m_overlap, *m_keepHd;
    QLineEdit* m_base;
    QLabel *m_sourceLine, *m_summaryLine;
    QPushButton* m_ok;
};

// Runs the dialog on a source (which Open Image may replace) from the
// choices of the last use, remembering the window size; false for Cancel.
// The source and the choices come back either way.
bool RunCutTexturesDialog(ravok::CutSource& source, ravok::CutSettings& cut, ravok::ProgramSettings& settings,
                          QWidget* parent);

