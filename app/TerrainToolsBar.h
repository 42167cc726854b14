#pragma once

#include "edit/TerrainBrush.h"
#include "edit/ViewCommands.h"

#include <QToolBar>

class QComboBox;
class QSpinBox;

// "Terrain Tools": the tool, Width, Height, Orientation, Curvature and
// Altitude. The bar only shows the view's terrain tool and sends every change
// to it as a command; the view's session remembers the Altitude of each group
// and the bar shows what the session holds.
class CTerrainToolsBar : public QToolBar {
    Q_OBJECT
public:
    explicit CTerrainToolsBar(const ravok::TerrainToolParams& shown, QWidget* parent = nullptr);
    ravok::TerrainToolParams params() const;
    // Shows the view's tool (a new tool's remembered Altitude, values the keys
    // changed) without sending it back; Width and Height are off for Single-point.
    void showParams(const ravok::TerrainToolParams& params);

signals:
    void notify(ravok::ViewCommand command, int value);

private:
    QSpinBox* spin(const char* name, int low, int high, int value, ravok::ViewCommand command);

    QComboBox* m_tool;
    QSpinBox *m_width, *m_height, *m_orientation, *m_curvature, *m_altitude;
};
