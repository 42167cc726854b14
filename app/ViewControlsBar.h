#pragma once

#include "edit/ViewCommands.h"
#include <QToolBar>
#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;
class QToolButton;

namespace ravok {
class CTrackPOD;
struct ProgramSettings;
struct ViewCamera;
} // namespace ravok

// The small map of the whole track with the camera on it; a double-click
// asks the view to jump there.
class COverviewMap : public QWidget {
    Q_OBJECT
public:
    COverviewMap(const ravok::CTrackPOD& track, const ravok::ViewCamera& camera, QWidget* parent = nullptr);
    // The track changed: the picture is drawn anew.
    void refresh();
    QSize sizeHint() const override { return {128, 128}; }

signals:
    void jump(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const ravok::CTrackPOD& m_track;
    const ravok::ViewCamera& m_camera;
    QImage m_picture;
};

// "View Controls": Level View, gamma, grid size and Whole Grid,
// Wire/Render/Both, Detail Mask and the overview map. Every change goes to
// the view as a (code, value) notification.
class CViewControlsBar : public QToolBar {
    Q_OBJECT
public:
    CViewControlsBar(ravok::ProgramSettings& settings, const ravok::CTrackPOD& track, const ravok::ViewCamera& camera,
                     QWidget* parent = nullptr);
    COverviewMap* overviewMap() const { return m_map; }
    // Shows the settings' values again (after Program Options).
    void showSettings();

signals:
    void notify(ravok::ViewCommand command, int value);

private:
    void gridChanged();

    ravok::ProgramSettings& m_settings;
    QSlider* m_gamma;
    QLabel* m_gammaLabel;
    QSlider* m_grid;
    QLabel* m_gridLabel;
    QCheckBox* m_wholeGrid;
    QToolButton* m_display;
    QCheckBox* m_detailMask;
    COverviewMap* m_map;
    int m_displayMode = 0;
};
