#include "app/LightPropertiesDlg.h"

#include "edit/ObjectProperties.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ravok;

namespace {
// Radii and cone sizes may be typed negative; OK takes them as 0.
constexpr double kAnyLength = 99999;
} // namespace

QDoubleSpinBox* CLightPropertiesDlg::number(const char* name, double low, double high, double step) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setDecimals(2);
    box->setSingleStep(step);
    return box;
}

CLightPropertiesDlg::CLightPropertiesDlg(const LightParameters& light, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Light Properties"));
    m_rad = number("rad", 0, kMaxLightRadius, 1);
    m_bright = number("bright", kMinLightBrightness, kMaxLightBrightness, 0.05);
    m_hgt = number("hgt", -kAnyLength, kAnyLength, 1);
    m_aim = number("aimOff", -kAnyLength, kAnyLength, 1);
    m_r = number("r", 0, 1, 0.05);
    m_g = number("g", 0, 1, 0.05);
    m_b = number("b", 0, 1, 0.05);
    m_glowRad = number("glowRad", -kAnyLength, kAnyLength, 1);
    m_coneLen = number("coneLen", -kAnyLength, kAnyLength, 1);
    m_coneRim = number("coneRim", -kAnyLength, kAnyLength, 1);
    m_coneBase = number("coneBase", -kAnyLength, kAnyLength, 0.5);
    m_glow = new QComboBox(this);
    m_glow->setObjectName(QStringLiteral("glow"));
    for (const char* name : kLightGlowNames)
        m_glow->addItem(QString::fromLatin1(name));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Pool radius on ground (ft)"), m_rad);
    form->addRow(QStringLiteral("Brightness (x)"), m_bright);
    form->addRow(QStringLiteral("Height above object (ft)"), m_hgt);
    form->addRow(QStringLiteral("Aim offset (ft)"), m_aim);
    auto* colour = new QHBoxLayout;
    for (QDoubleSpinBox* c : {m_r, m_g, m_b})
        colour->addWidget(c);
    auto* choose = new QPushButton(QStringLiteral("Choose..."), this);
    colour->addWidget(choose);
    form->addRow(QStringLiteral("Colour"), colour);
    form->addRow(QStringLiteral("Visible source"), m_glow);
    form->addRow(QStringLiteral("Glow radius (ft)"), m_glowRad);
    auto* cone = new QGroupBox(QStringLiteral("Cone"), this);
    auto* coneForm = new QFormLayout(cone);
    coneForm->addRow(QStringLiteral("Length (ft)"), m_coneLen);
    coneForm->addRow(QStringLiteral("Radius at far end (ft)"), m_coneRim);
    coneForm->addRow(QStringLiteral("Radius at source (ft)"), m_coneBase);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* defaults = buttons->addButton(QStringLiteral("Defaults"), QDialogButtonBox::ResetRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(cone);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(defaults, &QPushButton::clicked, this, [this] { show(DefaultLightProperties()); });
    connect(choose, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            QColor::fromRgbF(float(m_r->value()), float(m_g->value()), float(m_b->value())), this);
        if (!chosen.isValid()) return;
        m_r->setValue(chosen.redF());
        m_g->setValue(chosen.greenF());
        m_b->setValue(chosen.blueF());
    });
    show(light);
}

void CLightPropertiesDlg::show(const LightParameters& light) {
    m_rad->setValue(light.rad);
    m_bright->setValue(light.bright);
    m_hgt->setValue(light.hgt);
    m_aim->setValue(light.aimOff);
    m_r->setValue(light.r);
    m_g->setValue(light.g);
    m_b->setValue(light.b);
    m_glow->setCurrentIndex(std::clamp(light.glow, 0, 2));
    m_glowRad->setValue(light.glowRad);
    m_coneLen->setValue(light.coneLen);
    m_coneRim->setValue(light.coneRim);
    m_coneBase->setValue(light.coneBase);
}

LightParameters CLightPropertiesDlg::values() const {
    LightParameters v;
    v.rad = float(m_rad->value());
    v.bright = float(m_bright->value());
    v.hgt = float(m_hgt->value());
    v.aimOff = float(m_aim->value());
    v.r = float(m_r->value());
    v.g = float(m_g->value());
    v.b = float(m_b->value());
    v.glow = m_glow->currentIndex();
    v.glowRad = float(m_glowRad->value());
    v.coneLen = float(m_coneLen->value());
    v.coneRim = float(m_coneRim->value());
    v.coneBase = float(m_coneBase->value());
    return CorrectLightProperties(v);
}
