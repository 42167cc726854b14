#include "app/AdjustHeightsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace ravok;

namespace {
QString rangeText(const HeightRange& r) { return QStringLiteral("%1 .. %2").arg(r.lowest).arg(r.highest); }
} // namespace

CAdjustHeightsDlg::CAdjustHeightsDlg(HeightRange now, QWidget* parent) : QDialog(parent), m_now(now) {
    setWindowTitle(QStringLiteral("Adjust Terrain Heights"));
    m_byOffset = new QRadioButton(QStringLiteral("&Raise / lower by"), this);
    m_byScale = new QRadioButton(QStringLiteral("&Scale heights by"), this);
    m_byOffset->setChecked(true);
    m_offset = new QLineEdit(QStringLiteral("0"), this);
    m_offset->setObjectName(QStringLiteral("offset"));
    m_factor = new QLineEdit(QStringLiteral("1.0"), this);
    m_factor->setObjectName(QStringLiteral("factor"));
    m_avoidClipping = new QCheckBox(QStringLiteral("&Avoid clipping - shrink the change so no height hits 0 or 255"), this);
    m_moveObjects = new QCheckBox(QStringLiteral("Move &objects, truck starts and checkpoints with the terrain"), this);
    m_moveWater = new QCheckBox(QStringLiteral("Move the &water level with the terrain"), this);
    for (QCheckBox* box : {m_avoidClipping, m_moveObjects, m_moveWater}) box->setChecked(true);
    m_after = new QLabel(this);
    m_after->setObjectName(QStringLiteral("after"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Now"), this), 0, 0);
    grid->addWidget(new QLabel(rangeText(now), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("After"), this), 1, 0);
    grid->addWidget(m_after, 1, 1);
    grid->addWidget(m_byOffset, 2, 0);
    grid->addWidget(m_offset, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("steps, added to every height"), this), 2, 2);
    grid->addWidget(m_byScale, 3, 0);
    grid->addWidget(m_factor, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("times every height, rounded down"), this), 3, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    for (QCheckBox* box : {m_avoidClipping, m_moveObjects, m_moveWater}) layout->addWidget(box);
    layout->addWidget(buttons);

    for (QLineEdit* field : {m_offset, m_factor}) connect(field, &QLineEdit::textChanged, this, &CAdjustHeightsDlg::updateAfter);
    connect(m_byOffset, &QRadioButton::toggled, this, &CAdjustHeightsDlg::updateAfter);
    connect(m_avoidClipping, &QCheckBox::toggled, this, &CAdjustHeightsDlg::updateAfter);
    updateAfter();
}

AdjustHeightsParams CAdjustHeightsDlg::params() const {
    AdjustHeightsParams p;
    p.scale = m_byScale->isChecked();
    bool offsetOk = false, factorOk = false;
    p.offset = m_offset->text().trimmed().toInt(&offsetOk);
    p.factor = m_factor->text().trimmed().toDouble(&factorOk);
    if (p.scale ? !factorOk : !offsetOk) {
        // Not a number: out of range on purpose, so that valid() says no.
        p.offset = 1000;
        p.factor = -1;
    }
    p.avoidClipping = m_avoidClipping->isChecked();
    p.moveObjects = m_moveObjects->isChecked();
    p.moveWaterLevel = m_moveWater->isChecked();
    return p;
}

void CAdjustHeightsDlg::updateAfter() {
    m_offset->setEnabled(m_byOffset->isChecked());
    m_factor->setEnabled(m_byScale->isChecked());
    const auto after = AdjustedHeightRange(m_now, params());
    m_after->setText(after ? rangeText(*after) : QStringLiteral("- .. -"));
    if (m_ok) m_ok->setEnabled(after.has_value());
}
