#pragma once

#include "edit/ObjectProperties.h"
#include "edit/TrackSounds.h"

#include <QDialog>

#include <array>

#include <functional>

class QComboBox;
class QFormLayout;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

// "Object Properties" of the current object: every field of the record the
// user edits, with the object keys stepping the position, height and angles
// while it is open. The dialog only edits the values; OK's rules are the
// core's (ApplyObjectProperties).
class CObjectPropertiesDlg : public QDialog {
    Q_OBJECT
  public:
    // `showSize`: the object is drawn as a box (it has no model).
    CObjectPropertiesDlg(const ravok::ObjectPropertiesValues& values, bool showSize, bool sitUnits,
                         const QString& soundFolder, QWidget* parent = nullptr);
    // The fields as they stand; a field left as shown keeps its exact value.
    ravok::ObjectPropertiesValues values() const;

    // The cab and base model choice of a Top-Crush object ("..." beside the
    // cab model): given the dialog's values, returns whether they changed.
    // Unset: the button is hidden.
    std::function<bool(ravok::ObjectPropertiesValues&)> chooseTopCrushModels;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QDoubleSpinBox* number(const char* name, double low, double high, int decimals);
    QSpinBox* whole(const char* name, int low, int high);
    QWidget* soundRow(QLineEdit*& field, const char* name, ravok::SoundKind kind);
    void stepKey(char key, bool shift, bool ctrl);
    void show(const ravok::ObjectPropertiesValues& v);
    void showTypeParts();

    ravok::ObjectPropertiesValues m_initial, m_values; // as opened; the parts edited elsewhere (light, cab)
    bool m_showSize, m_sitUnits;
    QString m_soundFolder;
    QComboBox *m_type, *m_level;
    QSpinBox *m_sequence, *m_length, *m_width, *m_height, *m_mass;
    QDoubleSpinBox *m_x, *m_y, *m_vx, *m_vy, *m_aboveGround, *m_heading, *m_phi, *m_theta;
    QLineEdit *m_model, *m_continuous, *m_impact, *m_cabModel;
    std::array<QSpinBox*, 3> m_cab{};
    QFormLayout* m_form;
    QWidget *m_sizeRow, *m_cabOffsetRow, *m_cabModelRow;
    QPushButton *m_light, *m_chooseCab;
};
