#pragma once

#include "art/TrackPaletteFile.h"
#include "trackart/TrackPaletteChange.h"

#include <QDialog>

#include <filesystem>

class CRavokDoc;
class QLineEdit;
class CPaletteGrid;

// "Track Palette": the palette as a 16 x 16 grid (entry i at column i mod 16,
// row i / 16), the selected entry's index and colour, Load and Save of .PAL
// and .ACT files and Create Optimized Palette. The caller installs the
// palette on OK (InstallTrackPalette).
class CTrackPaletteDlg : public QDialog {
    Q_OBJECT
  public:
    CTrackPaletteDlg(CRavokDoc& doc, QWidget* parent = nullptr);

    const ravok::PaletteColours& colours() const { return m_colours; }
    int selectedEntry() const { return m_selected; }
    void selectEntry(int index);
    // The file commands after their file dialogs; false when the file could
    // not be opened or written (the palette then stays as it was).
    bool loadFile(const std::filesystem::path& path, ravok::PaletteFileKind kind);
    bool saveFile(const std::filesystem::path& path, ravok::PaletteFileKind kind) const;
    // Create Optimized Palette on the progress dialog; false after "Error calculating palette!".
    bool optimise();

  private:
    void onLoad();
    void onSave();
    void showColours();

    CRavokDoc& m_doc;
    ravok::PaletteColours m_colours;
    int m_selected = 0;
    CPaletteGrid* m_grid;
    QLineEdit *m_index, *m_red, *m_green, *m_blue;
};

// OK of the Track Palette dialog: installs the colours as the track palette
// (an MTM2 track's fog table follows it, marked Custom), reloads every
// texture onto it through the progress dialog, reports textures that failed,
// and tells the views. Returns what the reload did.
ravok::PaletteReloadResult InstallTrackPalette(CRavokDoc& doc, const ravok::PaletteColours& colours);
