#pragma once

#include <QDialog>

class QSpinBox;

// "Arena Properties": the arena's "Center Location" (X, Y) and its
// "Internal size" (width, height), all in grid squares.
class CArenaPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    CArenaPropertiesDlg(int x, int y, int sizeX, int sizeY, QWidget* parent = nullptr);
    int centerX() const;
    int centerY() const;
    int sizeX() const;
    int sizeY() const;

private:
    QSpinBox* m_x;
    QSpinBox* m_y;
    QSpinBox* m_sizeX;
    QSpinBox* m_sizeY;
};
