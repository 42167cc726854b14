#include "app/TerrainToolsBar.h"

#include "base/ProgramSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

using namespace ravok;

namespace {
const char* const kToolNames[] = {"Raise / Lower", "Hill", "Slope", "Mound", "Bumps", "Smooth", "Plane",
                                  "Single-point"};
}

CTerrainToolsBar::CTerrainToolsBar(EditState& state, QWidget* parent)
    : QToolBar(QStringLiteral("Terrain Tools"), parent), m_state(state) {
    setObjectName(QStringLiteral("Terrain Tools"));
    m_altitudes = {defaultAltitudeOfGroup(0), defaultAltitudeOfGroup(1), defaultAltitudeOfGroup(2)};
    const TerrainTool tool = TerrainTool(std::clamp(state.terrainTool, 0, 7));
    m_altitudes[size_t(altitudeGroupOf(tool))] = std::clamp(state.altitude, kMinAltitude, kMaxAltitude);

    m_tool = new QComboBox(this);
    m_tool->setObjectName(QStringLiteral("tool"));
    for (const char* name : kToolNames) m_tool->addItem(QString::fromLatin1(name));
    m_tool->setCurrentIndex(int(tool));
    addWidget(m_tool);
    m_width = spin("Width", kMinToolSize, kMaxToolSize, state.toolWidth, 11);
    m_height = spin("Height", kMinToolSize, kMaxToolSize, state.toolHeight, 12);
    m_orientation = spin("Orientation", 0, kMaxOrientation, state.orientation, 16);
    m_curvature = spin("Curvature", 0, kMaxCurvature, state.curvature, 17);
    m_altitude = spin("Altitude", kMinAltitude, kMaxAltitude, m_altitudes[size_t(altitudeGroupOf(tool))], 19);
    // Single-point applies the step at each change: a typed step counts once
    // it is entered, not digit by digit ("3" and then "32").
    m_altitude->setKeyboardTracking(false);
    connect(m_tool, &QComboBox::currentIndexChanged, this, &CTerrainToolsBar::toolChanged);
}

QSpinBox* CTerrainToolsBar::spin(const char* name, int low, int high, int value, int code) {
    addWidget(new QLabel(QStringLiteral(" %1 ").arg(QString::fromLatin1(name)), this));
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(std::clamp(value, low, high));
    addWidget(box);
    connect(box, &QSpinBox::valueChanged, this, [this, code](int v) {
        const TerrainToolParams p = params();
        m_state.toolWidth = p.width, m_state.toolHeight = p.height;
        m_state.orientation = p.orientation, m_state.curvature = p.curvature, m_state.altitude = p.altitude;
        if (code == 19) m_altitudes[size_t(altitudeGroupOf(p.tool))] = v;
        emit notify(code, v);
    });
    return box;
}

void CTerrainToolsBar::toolChanged(int tool) {
    m_state.terrainTool = tool;
    // The Altitude field shows the value remembered for the new tool's group.
    const QSignalBlocker block(m_altitude);
    m_altitude->setValue(m_altitudes[size_t(altitudeGroupOf(TerrainTool(tool)))]);
    m_state.altitude = m_altitude->value();
    emit notify(10, tool);
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
    const std::array<std::pair<QSpinBox*, int>, 5> fields{
        {{m_width, p.width}, {m_height, p.height}, {m_orientation, p.orientation}, {m_curvature, p.curvature},
         {m_altitude, p.altitude}}};
    for (auto [box, value] : fields) {
        const QSignalBlocker block(box);
        box->setValue(value);
    }
    m_altitudes[size_t(altitudeGroupOf(p.tool))] = p.altitude;
    m_state.toolWidth = p.width, m_state.toolHeight = p.height;
    m_state.orientation = p.orientation, m_state.curvature = p.curvature, m_state.altitude = p.altitude;
}
