#pragma once

#include "edit/RandomTerrain.h"

#include <QDialog>
#include <QImage>

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

// "Generate Terrain": Classic or Fractal, four sliders and a seed, with a
// 256 x 256 preview made again on every change. heights() is the last map.
class CRandomTerrainDlg : public QDialog {
    Q_OBJECT
public:
    CRandomTerrainDlg(const ravok::RandomTerrainParams& params, QWidget* parent = nullptr);
    ravok::RandomTerrainParams params() const { return m_params; }
    const std::vector<uint8_t>& heights() const { return m_heights; }

private:
    void regenerate();
    void relabel();
    void readControls();

    ravok::RandomTerrainParams m_params;
    ravok::RandomTerrainWork m_work;
    std::vector<uint8_t> m_heights = std::vector<uint8_t>(65536);
    QRadioButton *m_classic, *m_fractal;
    std::array<QSlider*, 4> m_sliders{};
    std::array<QLabel*, 4> m_labels{};
    QLineEdit* m_seed;
    QLabel* m_preview;
};
