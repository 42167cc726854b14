#include "app/SpeedLimitDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

CSpeedLimitDlg::CSpeedLimitDlg(int shownLimit, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Speed Limit"));
    m_limit = new QSpinBox(this);
    m_limit->setObjectName(QStringLiteral("limit"));
    m_limit->setRange(0, 1000000);
    m_limit->setValue(shownLimit);
    m_all = new QCheckBox(QStringLiteral("Apply to All (segments with same index)"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(m_limit);
    row->addWidget(new QLabel(QStringLiteral("(0 means no limit)"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_all);
    layout->addWidget(buttons);
}

int CSpeedLimitDlg::limit() const { return m_limit->value(); }
bool CSpeedLimitDlg::applyToAll() const { return m_all->isChecked(); }
