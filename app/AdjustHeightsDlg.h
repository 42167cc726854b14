#pragma once

#include "edit/TerrainAdjust.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Adjust Terrain Heights": raise or lower by steps or scale, with "Now" and
// "After" showing the lowest and highest height and the three check boxes.
class CAdjustHeightsDlg : public QDialog {
    Q_OBJECT
public:
    CAdjustHeightsDlg(ravok::HeightRange now, QWidget* parent = nullptr);
    // The parameters typed; valid() is false when a field does not hold a number in range.
    ravok::AdjustHeightsParams params() const;

private:
    void updateAfter();

    ravok::HeightRange m_now;
    QRadioButton *m_byOffset, *m_byScale;
    QLineEdit *m_offset, *m_factor;
    QCheckBox *m_avoidClipping, *m_moveObjects, *m_moveWater;
    QLabel* m_after;
    QPushButton* m_ok = nullptr;
};
