#include "app/ArenaPropertiesDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdint>

namespace {

QSpinBox* spin(QWidget* parent, const char* name, int min, int max, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

} // namespace

CArenaPropertiesDlg::CArenaPropertiesDlg(int x, int y, int sizeX, int sizeY, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Arena Properties"));
    // The track stores the centre as signed and the size as unsigned 16-bit values.
    m_x = spin(this, "centerX", INT16_MIN, INT16_MAX, x);
    m_y = spin(this, "centerY", INT16_MIN, INT16_MAX, y);
    m_sizeX = spin(this, "sizeX", 0, UINT16_MAX, sizeX);
    m_sizeY = spin(this, "sizeY", 0, UINT16_MAX, sizeY);
    auto* center = new QGroupBox(QStringLiteral("Center Location"), this);
    auto* centerForm = new QFormLayout(center);
    centerForm->addRow(QStringLiteral("X"), m_x);
    centerForm->addRow(QStringLiteral("Y"), m_y);
    auto* size = new QGroupBox(QStringLiteral("Internal size"), this);
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("X"), m_sizeX);
    sizeForm->addRow(QStringLiteral("Y"), m_sizeY);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(center);
    layout->addWidget(size);
    layout->addWidget(buttons);
}

int CArenaPropertiesDlg::centerX() const { return m_x->value(); }
int CArenaPropertiesDlg::centerY() const { return m_y->value(); }
int CArenaPropertiesDlg::sizeX() const { return m_sizeX->value(); }
int CArenaPropertiesDlg::sizeY() const { return m_sizeY->value(); }
