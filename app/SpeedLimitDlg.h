#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

// "Speed Limit": the anchor segment's limit as shown (half the stored value)
// and "Apply to All (segments with same index)".
class CSpeedLimitDlg : public QDialog {
    Q_OBJECT
public:
    CSpeedLimitDlg(int shownLimit, QWidget* parent = nullptr);
    int limit() const;
    bool applyToAll() const;

private:
    QSpinBox* m_limit;
    QCheckBox* m_all;
};
