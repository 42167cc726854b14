#include "app/LightingDlg.h"

#include "edit/WeatherMask.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace ravok;

namespace {
const char* const kSliderNames[] = {"Dark", "Bright", "Alt. bias", "Shadow"};
} // namespace

CLightingDlg::CLightingDlg(const LightingParams& params, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Lighting"));
    const LightingParams p = params.corrected();
    const std::array<int, 4> percents{LightingPercentOfLevel(p.dark), LightingPercentOfLevel(p.bright), p.bias,
                                      p.shadow};
    auto* sliders = new QHBoxLayout;
    for (size_t i = 0; i < 4; ++i) {
        auto* column = new QVBoxLayout;
        m_labels[i] = new QLabel(this);
        m_labels[i]->setAlignment(Qt::AlignCenter);
        // The position is the negated percentage, so that up is more.
        m_sliders[i] = new QSlider(Qt::Vertical, this);
        m_sliders[i]->setObjectName(QString::fromLatin1(kSliderNames[i]));
        m_sliders[i]->setRange(-100, 0);
        m_sliders[i]->setInvertedAppearance(true);
        m_sliders[i]->setTickPosition(QSlider::TicksRight);
        m_sliders[i]->setTickInterval(5);
        m_sliders[i]->setValue(-percents[i]);
        auto relabel = [this, i](int position) {
            m_labels[i]->setText(QStringLiteral("%1\n%2%").arg(QString::fromLatin1(kSliderNames[i])).arg(-position));
        };
        relabel(m_sliders[i]->value());
        connect(m_sliders[i], &QSlider::valueChanged, this, relabel);
        column->addWidget(m_labels[i]);
        column->addWidget(m_sliders[i], 1, Qt::AlignHCenter);
        sliders->addLayout(column);
    }
    auto* sunBox = new QGroupBox(QStringLiteral("Sun Pos."), this);
    auto* cross = new QGridLayout(sunBox);
    m_sun = new QButtonGroup(this);
    const std::array<std::pair<int, int>, 5> places{{{1, 1}, {0, 1}, {1, 2}, {2, 1}, {1, 0}}};
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(sunBox);
        radio->setObjectName(QStringLiteral("sun%1").arg(i));
        m_sun->addButton(radio, i);
        cross->addWidget(radio, places[size_t(i)].first, places[size_t(i)].second, Qt::AlignCenter);
    }
    m_sun->button(std::clamp(p.sun, 0, 4))->setChecked(true);
    sliders->addWidget(sunBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sliders);
    layout->addWidget(buttons);
    resize(380, 300);
}

LightingParams CLightingDlg::params() const {
    LightingParams p;
    p.dark = LightingLevelOfPercent(-m_sliders[0]->value());
    p.bright = LightingLevelOfPercent(-m_sliders[1]->value());
    p.bias = -m_sliders[2]->value();
    p.shadow = -m_sliders[3]->value();
    p.sun = m_sun->checkedId();
    return p.corrected();
}

CWeatherMaskDlg::CWeatherMaskDlg(uint32_t mask, QWidget* parent) : QDialog(parent), m_mask(mask) {
    setWindowTitle(QStringLiteral("Weather Mask"));
    auto* group = new QGroupBox(QStringLiteral("Allowed Options"), this);
    auto* grid = new QGridLayout(group);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i] = new QCheckBox(QString::fromLatin1(kWeatherNames[i].data(), qsizetype(kWeatherNames[i].size())), group);
        m_boxes[i]->setObjectName(QString::fromLatin1(kWeatherNames[i].data(), qsizetype(kWeatherNames[i].size())));
        grid->addWidget(m_boxes[i], int(i % 5), int(i / 5));
        connect(m_boxes[i], &QCheckBox::toggled, this, &CWeatherMaskDlg::boxChanged);
    }
    auto* all = new QPushButton(QStringLiteral("Allow All"), this);
    auto* clear = new QPushButton(QStringLiteral("Only Clear"), this);
    connect(all, &QPushButton::clicked, this, [this] { showMask(65535); });
    connect(clear, &QPushButton::clicked, this, [this] { showMask(1); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(all);
    row->addWidget(clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(row);
    layout->addWidget(buttons);
    showMask(mask);
}

void CWeatherMaskDlg::showMask(uint32_t mask) {
    const WeatherBoxes boxes = WeatherBoxesOfMask(mask);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const QSignalBlocker block(m_boxes[i]);
        m_boxes[i]->setChecked(boxes[i]);
    }
    m_mask = mask;
}

void CWeatherMaskDlg::boxChanged() {
    WeatherBoxes boxes{};
    for (size_t i = 0; i < m_boxes.size(); ++i) boxes[i] = m_boxes[i]->isChecked();
    m_mask = WeatherMaskOfBoxes(boxes); // checks Clear again when nothing is
    showMask(m_mask);
}
