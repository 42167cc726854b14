#include "app/TruckPropertiesDlg.h"

#include <cmath>

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

CTruckPropertiesDlg::CTruckPropertiesDlg(const ravok::TruckPropertiesValues& values, QWidget* parent)
    : QDialog(parent), m_initial(values) {
    setWindowTitle(QStringLiteral("Truck Properties"));
    auto spin = [this](const char* name, int low, int high, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setValue(value);
        return box;
    };
    m_name = new QLineEdit(QString::fromStdString(values.name), this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setReadOnly(true);
    m_x = spin("x", -1000000, 1000000, values.x);
    m_y = spin("y", -1000000, 1000000, values.y);
    m_z = spin("z", 0, 255, values.z);
    m_course = spin("course", 0, ravok::kCourseCount - 1, values.course);
    m_angle = new QDoubleSpinBox(this);
    m_angle->setObjectName(QStringLiteral("angle"));
    m_angle->setRange(0, 360);
    m_angle->setDecimals(2);
    m_angle->setWrapping(true);
    m_angle->setValue(values.angleDegrees);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Truck"), m_name);
    form->addRow(QStringLiteral("X"), m_x);
    form->addRow(QStringLiteral("Y"), m_y);
    form->addRow(QStringLiteral("Above ground"), m_z);
    form->addRow(QStringLiteral("Angle"), m_angle);
    form->addRow(QStringLiteral("Course"), m_course);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ravok::TruckPropertiesValues CTruckPropertiesDlg::values() const {
    ravok::TruckPropertiesValues v = m_initial;
    v.x = m_x->value();
    v.y = m_y->value();
    v.z = m_z->value();
    // The heading as stored unless the angle was changed (the box rounds it).
    if (std::abs(m_angle->value() - m_initial.angleDegrees) >= 0.005) v.angleDegrees = m_angle->value();
    v.course = m_course->value();
    return v;
}
