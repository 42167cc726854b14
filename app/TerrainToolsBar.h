#pragma once

#include "edit/TerrainBrush.h"

#include <QToolBar>

#include <array>

class QComboBox;
class QSpinBox;

namespace ravok {
struct EditState;
}

// "Terrain Tools": the tool, Width, Height, Orientation, Curvature and
// Altitude. The Altitude field keeps one value for each of its three groups
// (the brush tools, Plane, Single-point's step). Every change goes to the
// view as a (code, value) notification and into the remembered edit state.
class CTerrainToolsBar : public QToolBar {
    Q_OBJECT
public:
    CTerrainToolsBar(ravok::EditState& state, QWidget* parent = nullptr);
    ravok::TerrainToolParams params() const;
    // Shows values the view's keys changed, without notifying the view again.
    void showParams(const ravok::TerrainToolParams& params);

signals:
    void notify(int code, int value);

private:
    void toolChanged(int tool);
    QSpinBox* spin(const char* name, int low, int high, int value, int code);

    ravok::EditState& m_state;
    QComboBox* m_tool;
    QSpinBox *m_width, *m_height, *m_orientation, *m_curvature, *m_altitude;
    std::array<int, 3> m_altitudes;
};
