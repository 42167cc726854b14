#pragma once

#include "render/Mesh.h"
#include "render/gl/OpenGLTerrainRenderer.h"

#include <QOpenGLWidget>
#include <QPoint>

// A small window showing one model: drag to turn it, the wheel to zoom.
// The models box and the dialogs that pick models show theirs in it.
class CModelPreviewWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit CModelPreviewWidget(QWidget* parent = nullptr);
    ~CModelPreviewWidget() override;
    // The mesh shown (owned by the caller, kept alive while shown) and its palette.
    void setMesh(const ravok::Mesh* mesh, const ravok::PaletteColours& palette);
    QSize sizeHint() const override { return {200, 200}; }

protected:
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    COpenGLTerrainRenderer m_renderer;
    const ravok::Mesh* m_mesh = nullptr;
    double m_yaw = 30, m_pitch = 60, m_zoom = 1;
    QPoint m_last;
};
