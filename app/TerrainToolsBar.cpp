#include "app/TerrainToolsBar.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include <array>

using namespace ravok;

namespace {
const char* const kToolNames[] = {"Raise / Lower", "Hill", "Slope", "Mound", "Bumps", "Smooth", "Plane",
                                  "Single-point"};
}

CTerrainToolsBar::CTerrainToolsBar(const TerrainToolParams& shown, QWidget* parent)
    : QToolBar(QStringLiteral("Terrain Tools"), parent) {
    setObjectName(QStringLiteral("Terrain Tools"));
    m_tool = new QComboBox(this);
    m_tool->setObjectName(QStringLiteral("tool"));
    for (const char* name : kToolNames) m_tool->addItem(QString::fromLatin1(name));
    m_tool->setCurrentIndex(int(shown.tool));
    addWidget(m_tool);
    m_width = spin("Width", kMinToolSize, kMaxToolSize, shown.width, ViewCommand::ToolWidth);
    m_height = spin("Height", kMinToolSize, kMaxToolSize, shown.height, ViewCommand::ToolHeight);
    m_orientation = spin("Orientation", 0, kMaxOrientation, shown.orientation, ViewCommand::ToolOrientation);
    m_curvature = spin("Curvature", 0, kMaxCurvature, shown.curvature, ViewCommand::ToolCurvature);
    m_altitude = spin("Altitude", kMinAltitude, kMaxAltitude, shown.altitude, ViewCommand::ToolAltitude);
    // Single-point applies the step at each change: a typed step counts once
    // it is entered, not digit by digit ("3" and then "32").
    m_altitude->setKeyboardTracking(false);
    showParams(shown);
    connect(m_tool, &QComboBox::currentIndexChanged, this,
            [this](int tool) { emit notify(ViewCommand::TerrainTool, tool); });
}

QSpinBox* CTerrainToolsBar::spin(const char* name, int low, int high, int value, ViewCommand command) {
    addWidget(new QLabel(QStringLiteral(" %1 ").arg(QString::fromLatin1(name)), this));
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(std::clamp(value, low, high));
    addWidget(box);
    connect(box, &QSpinBox::valueChanged, this, [this, command](int v) { emit notify(command, v); });
    return box;
}

TerrainToolParams CTerrainToolsBar::params() const {
    TerrainToolParams p;
    p.tool = TerrainTool(m_tool->currentIndex());
    p.width = m_width->value();
    p.height = m_height->value();
    p.orientation = m_orientation->value();
    p.curvature = m_curvature->value();
    p.altitude = m_altitude->value();
    return p.corrected();
}

void CTerrainToolsBar::showParams(const TerrainToolParams& p) {
    {
        const QSignalBlocker block(m_tool);
        m_tool->setCurrentIndex(int(p.tool));
    }
    const std::array<std::pair<QSpinBox*, int>, 5> fields{
        {{m_width, p.width}, {m_height, p.height}, {m_orientation, p.orientation}, {m_curvature, p.curvature},
         {m_altitude, p.altitude}}};
    for (auto [box, value] : fields) {
        const QSignalBlocker block(box);
        box->setValue(value);
    }
    const bool sized = p.tool != TerrainTool::SinglePoint;
    m_width->setEnabled(sized);
    m_height->setEnabled(sized);
}
