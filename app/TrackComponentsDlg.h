#pragma once

#include "app/MessageBoxPrompter.h"
#include "model/TrackComponents.h"
#include "model/TrackComponentsTerrainMaps.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

class CPictureSlotBox;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace ravok {
class CTrackPOD;
struct ProgramSettings;
} // namespace ravok

// "Track Components": the track's names, race settings, backdrop and arena,
// music, menu pictures, info pop-up and terrain maps, edited on copies
// (TrackComponents). The track changes only when OK has been pressed and the
// caller applies components(). While a pod is viewed every picture and file
// command does nothing and OK closes with nothing to apply.
class CTrackComponentsDlg : public QDialog {
    Q_OBJECT
public:
    CTrackComponentsDlg(const ravok::CTrackPOD& track, ravok::ProgramSettings& settings, QWidget* parent = nullptr);

    const ravok::TrackComponents& components() const { return m_c; }

    // The commands after their file dialogs; false when nothing changed.
    bool loadPicture(int slot, const QString& file);
    bool pastePicture(int slot);
    bool savePicture(int slot, const QString& file, ravok::SlotSaveForm form);
    bool useStockIcon(int index);
    bool loadMusic(const QString& file);
    bool saveMusic(const QString& file);
    bool useStockMusic(const QString& name);
    bool loadTerrainMap(ravok::TerrainMapKind kind, const QString& file);
    bool removeTerrainMap(ravok::TerrainMapKind kind);
    bool chooseBackdrop(const QString& file);
    bool setArena(int x, int y, int sizeX, int sizeY);

    // The commands with their file dialogs and pickers.
    void OnLoadPicture(int slot);
    void OnSavePicture(int slot);
    void OnLoadMusic(bool mod);
    void OnSaveMusic();
    void OnStockMusic();
    void OnTerrainMap(ravok::TerrainMapKind kind);
    void OnBackdrop();
    void OnArenaProperties();

    // Runs a file dialog set up by a command; the chosen file or empty for
    // Cancel. Replaceable for tests.
    std::function<QString(QFileDialog& dialog)> chooseFile;

    // OK's checks: the dialog closes only when they pass.
    void accept() override;
    // The dialog's size is remembered in the settings however it closes.
    void done(int result) override;

private:
    QWidget* createNamesBox();
    QWidget* createSettingsBox();
    QWidget* createFilesBox();
    QWidget* createPicturesBox();
    QWidget* createInfoBox();
    void connectFields();
    void showFields();
    void refresh();
    bool report(const ravok::Outcome& outcome);
    bool editable() const { return !m_c.podView; }
    QString askOpenFile(const QString& title, const QString& folder, const QString& filter, const QString& suffix);

    ravok::TrackComponents m_c;
    ravok::ProgramSettings& m_settings;
    MessageBoxPrompter m_boxes;

    QLineEdit* m_trackName = nullptr;
    QLineEdit* m_worldName = nullptr;
    QCheckBox* m_basedOnTrackName = nullptr;
    QLineEdit* m_comment = nullptr;
    QLineEdit* m_backdrop = nullptr;
    QCheckBox* m_arena = nullptr;
    QComboBox* m_soundTheme = nullptr;
    QComboBox* m_palette = nullptr;
    QDoubleSpinBox* m_waterLevel = nullptr;
    QLabel* m_music = nullptr;
    QButtonGroup* m_raceType = nullptr;
    QLabel* m_detailNormal = nullptr;
    QLabel* m_terrainMask = nullptr;
    std::array<CPictureSlotBox*, ravok::kPictureSlotCount> m_pictures{};
    QPlainTextEdit* m_description = nullptr;
    QCheckBox* m_eightBitCopies = nullptr;
    QLabel* m_status = nullptr;
};
