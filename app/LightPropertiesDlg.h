#pragma once

#include "model/TrackRecords.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

// "Light Properties" of a Light object: the pool of light on the ground, the
// brightness, the source's height and aim, the colour, the visible source and
// its glow and cone. OK corrects the values; "Defaults" puts back the
// record's defaults.
class CLightPropertiesDlg : public QDialog {
    Q_OBJECT
  public:
    CLightPropertiesDlg(const ravok::LightParameters& light, QWidget* parent = nullptr);
    // The values as OK stores them (corrected).
    ravok::LightParameters values() const;
    void show(const ravok::LightParameters& light);

  private:
    QDoubleSpinBox* number(const char* name, double low, double high, double step);
    QDoubleSpinBox *m_rad, *m_bright, *m_hgt, *m_aim, *m_r, *m_g, *m_b, *m_glowRad, *m_coneLen, *m_coneRim,
        *m_coneBase;
    QComboBox* m_glow;
};
