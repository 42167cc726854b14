#pragma once

#include "edit/TerrainLighting.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QLabel;
class QSlider;

// "Lighting": Dark, Bright, Alt. bias and Shadow as vertical sliders showing
// percentages, and the sun's position on a cross of five radio buttons.
class CLightingDlg : public QDialog {
    Q_OBJECT
public:
    CLightingDlg(const ravok::LightingParams& params, QWidget* parent = nullptr);
    ravok::LightingParams params() const;

private:
    std::array<QSlider*, 4> m_sliders{};
    std::array<QLabel*, 4> m_labels{};
    QButtonGroup* m_sun;
};

// "Weather Mask": the nine allowed weathers, Allow All and Only Clear.
class CWeatherMaskDlg : public QDialog {
    Q_OBJECT
public:
    CWeatherMaskDlg(uint32_t mask, QWidget* parent = nullptr);
    uint32_t mask() const { return m_mask; }

private:
    void showMask(uint32_t mask);
    void boxChanged();
    uint32_t m_mask;
    std::array<class QCheckBox*, 9> m_boxes{};
};
