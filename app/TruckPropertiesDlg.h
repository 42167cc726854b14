#pragma once

#include "edit/CourseEditing.h"

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// "Truck Properties" of a truck start: its truck (read-only), X, Y, the
// height "Above ground", the "Angle" in degrees and the course it follows.
class CTruckPropertiesDlg : public QDialog {
    Q_OBJECT
  public:
    CTruckPropertiesDlg(const ravok::TruckPropertiesValues& values, QWidget* parent = nullptr);
    ravok::TruckPropertiesValues values() const;

  private:
    ravok::TruckPropertiesValues m_initial;
    QLineEdit* m_name;
    QSpinBox *m_x, *m_y, *m_z, *m_course;
    QDoubleSpinBox* m_angle;
};
