#include "app/RandomTerrainDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace ravok;

CRandomTerrainDlg::CRandomTerrainDlg(const RandomTerrainParams& params, QWidget* parent)
    : QDialog(parent), m_params(params.corrected()) {
    setWindowTitle(QStringLiteral("Generate Terrain"));
    m_classic = new QRadioButton(QStringLiteral("Classic"), this);
    m_fractal = new QRadioButton(QStringLiteral("Fractal"), this);
    (m_params.generator == TerrainGenerator::Fractal ? m_fractal : m_classic)->setChecked(true);
    auto* controls = new QGridLayout;
    controls->addWidget(m_classic, 0, 0);
    controls->addWidget(m_fractal, 0, 1);
    const std::array<int, 4> values{m_params.ground, m_params.second, m_params.third, m_params.smoothness};
    for (int i = 0; i < 4; ++i) {
        m_labels[size_t(i)] = new QLabel(this);
        m_sliders[size_t(i)] = new QSlider(Qt::Horizontal, this);
        m_sliders[size_t(i)]->setObjectName(QStringLiteral("slider%1").arg(i));
        m_sliders[size_t(i)]->setRange(0, i == 3 ? 100 : 255);
        m_sliders[size_t(i)]->setValue(values[size_t(i)]);
        controls->addWidget(m_labels[size_t(i)], 1 + i, 0);
        controls->addWidget(m_sliders[size_t(i)], 1 + i, 1);
        connect(m_sliders[size_t(i)], &QSlider::valueChanged, this, &CRandomTerrainDlg::regenerate);
    }
    m_seed = new QLineEdit(QString::number(m_params.seed), this);
    m_seed->setObjectName(QStringLiteral("seed"));
    m_seed->setValidator(new QIntValidator(0, 255, m_seed));
    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    auto* rand = new QPushButton(QStringLiteral("Rand"), this);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(new QLabel(QStringLiteral("Seed"), this));
    seedRow->addWidget(m_seed);
    seedRow->addWidget(apply);
    seedRow->addWidget(rand);
    controls->addLayout(seedRow, 5, 0, 1, 2);
    connect(apply, &QPushButton::clicked, this, &CRandomTerrainDlg::regenerate);
    connect(rand, &QPushButton::clicked, this, [this] {
        m_seed->setText(QString::number(RandomTerrainSeed()));
        regenerate();
    });
    connect(m_classic, &QRadioButton::toggled, this, &CRandomTerrainDlg::regenerate);

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setFixedSize(256, 256);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addLayout(controls);
    row->addWidget(m_preview);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    regenerate();
}

void CRandomTerrainDlg::readControls() {
    m_params.generator = m_fractal->isChecked() ? TerrainGenerator::Fractal : TerrainGenerator::Classic;
    m_params.ground = m_sliders[0]->value();
    m_params.second = m_sliders[1]->value();
    m_params.third = m_sliders[2]->value();
    m_params.smoothness = m_sliders[3]->value();
    m_params.seed = std::clamp(m_seed->text().toInt(), 0, 255);
    m_params = m_params.corrected();
}

void CRandomTerrainDlg::relabel() {
    const bool fractal = m_params.generator == TerrainGenerator::Fractal;
    m_labels[0]->setText(QStringLiteral("Ground level: %1").arg(m_params.ground));
    m_labels[1]->setText((fractal ? QStringLiteral("Max range: %1") : QStringLiteral("Max hill height: %1"))
                             .arg(m_params.second));
    m_labels[2]->setText((fractal ? QStringLiteral("Roughness: %1") : QStringLiteral("Min valley depth: %1"))
                             .arg(m_params.third));
    m_labels[3]->setText(QStringLiteral("Smoothness: %1%").arg(m_params.smoothness));
    // Fractal has no ground level.
    m_labels[0]->setVisible(!fractal);
    m_sliders[0]->setVisible(!fractal);
}

void CRandomTerrainDlg::regenerate() {
    readControls();
    relabel();
    GenerateRandomTerrain(m_params, std::span<uint8_t, 65536>(m_heights.data(), 65536), &m_work);
    // North up, as the overview map shows the track.
    QImage picture(256, 256, QImage::Format_Grayscale8);
    for (int y = 0; y < 256; ++y) std::copy_n(&m_heights[size_t(y * 256)], 256, picture.scanLine(255 - y));
    m_preview->setPixmap(QPixmap::fromImage(picture));
}
