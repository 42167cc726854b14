#include "app/ViewControlsBar.h"

#include "base/ProgramSettings.h"
#include "edit/ViewPicking.h"
#include "model/TrackPod.h"
#include "render/ViewCamera.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QToolButton>

using namespace ravok;

namespace {
const char* const kDisplayNames[] = {"Render", "Wire", "Both"};
}

COverviewMap::COverviewMap(const CTrackPOD& track, const ViewCamera& camera, QWidget* parent)
    : QWidget(parent), m_track(track), m_camera(camera) {
    setObjectName(QStringLiteral("overviewMap"));
    setFixedSize(128, 128);
    setToolTip(QStringLiteral("Double-click to jump there"));
    refresh();
}

void COverviewMap::refresh() {
    // Heights as shades of the texture colours would be costly; heights in grey, north up.
    m_picture = QImage(kGridSize, kGridSize, QImage::Format_Grayscale8);
    for (int y = 0; y < kGridSize; ++y) {
        uchar* line = m_picture.scanLine(kGridSize - 1 - y);
        for (int x = 0; x < kGridSize; ++x) line[x] = m_track.terrain.height(x, y);
    }
    update();
}

void COverviewMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
    const double sx = double(width()) / 16384, sy = double(height()) / 16384;
    const QPointF at(m_camera.x * sx, height() - m_camera.y * sy);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawEllipse(at, 3, 3);
    const auto [dx, dy] = m_camera.direction();
    painter.drawLine(at, at + QPointF(dx / 32.0, -dy / 32.0));
}

void COverviewMap::mouseDoubleClickEvent(QMouseEvent* event) {
    const WorldPoint p = OverviewMapJump(int(event->position().x()), int(event->position().y()), width(), height());
    emit jump(p.x, p.y);
}

CViewControlsBar::CViewControlsBar(ProgramSettings& settings, const CTrackPOD& track, const ViewCamera& camera,
                                   QWidget* parent)
    : QToolBar(QStringLiteral("View Controls"), parent), m_settings(settings) {
    setObjectName(QStringLiteral("View Controls"));
    addAction(QStringLiteral("Level View"), this, [this] { emit notify(ravok::ViewCommand::LevelView, 0); });

    m_gammaLabel = new QLabel(this);
    m_gamma = new QSlider(Qt::Horizontal, this);
    m_gamma->setObjectName(QStringLiteral("gamma"));
    m_gamma->setRange(5, 20);
    m_gamma->setFixedWidth(90);
    connect(m_gamma, &QSlider::valueChanged, this, [this](int v) {
        m_gammaLabel->setText(QString::asprintf("Gamma %3.1f", v / 10.0));
        emit notify(ravok::ViewCommand::Gamma, v);
    });
    addWidget(m_gammaLabel);
    addWidget(m_gamma);

    m_gridLabel = new QLabel(this);
    m_grid = new QSlider(Qt::Horizontal, this);
    m_grid->setObjectName(QStringLiteral("gridSize"));
    m_grid->setRange(2, 32);
    m_grid->setFixedWidth(90);
    m_wholeGrid = new QCheckBox(QStringLiteral("Whole Grid"), this);
    connect(m_grid, &QSlider::valueChanged, this, &CViewControlsBar::gridChanged);
    connect(m_wholeGrid, &QCheckBox::toggled, this, &CViewControlsBar::gridChanged);
    addWidget(m_gridLabel);
    addWidget(m_grid);
    addWidget(m_wholeGrid);

    m_display = new QToolButton(this);
    m_display->setObjectName(QStringLiteral("Wire/Render/Both"));
    m_display->setToolTip(QStringLiteral("Wire/Render/Both"));
    connect(m_display, &QToolButton::clicked, this, [this] {
        m_displayMode = (m_displayMode + 1) % 3;
        m_display->setText(QString::fromLatin1(kDisplayNames[m_displayMode]));
        emit notify(ravok::ViewCommand::DisplayMode, m_displayMode);
    });
    addWidget(m_display);

    m_detailMask = new QCheckBox(QStringLiteral("Detail Mask"), this);
    connect(m_detailMask, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.detailMask = on;
        emit notify(ravok::ViewCommand::ResetRenderer, on);
    });
    addWidget(m_detailMask);

    m_map = new COverviewMap(track, camera, this);
    addWidget(m_map);
    m_displayMode = std::clamp(settings.editState.displayMode, 0, 2);
    showSettings();
}

void CViewControlsBar::showSettings() {
    const QSignalBlocker blockGamma(m_gamma), blockGrid(m_grid), blockWhole(m_wholeGrid), blockMask(m_detailMask);
    m_gamma->setValue(int(std::lround(m_settings.gamma * 10)));
    m_gammaLabel->setText(QString::asprintf("Gamma %3.1f", m_gamma->value() / 10.0));
    m_grid->setValue(int(m_settings.polysize / 8));
    m_wholeGrid->setChecked(m_settings.wholeGrid);
    m_grid->setEnabled(!m_settings.wholeGrid);
    m_gridLabel->setText(QStringLiteral("Grid size %1").arg(m_settings.polysize));
    m_detailMask->setChecked(m_settings.detailMask);
    m_display->setText(QString::fromLatin1(kDisplayNames[m_displayMode]));
}

void CViewControlsBar::gridChanged() {
    m_settings.polysize = uint32_t(m_grid->value() * 8);
    m_settings.wholeGrid = m_wholeGrid->isChecked();
    m_grid->setEnabled(!m_settings.wholeGrid);
    m_gridLabel->setText(QStringLiteral("Grid size %1").arg(m_settings.polysize));
    emit notify(ravok::ViewCommand::GridSize, m_settings.wholeGrid ? 256 : int(m_settings.polysize));
}
