#include "app/ModelPreviewWidget.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

CModelPreviewWidget::CModelPreviewWidget(QWidget* parent) : QOpenGLWidget(parent) {
    setObjectName(QStringLiteral("modelPreview"));
    setMinimumSize(96, 96);
}

CModelPreviewWidget::~CModelPreviewWidget() {
    makeCurrent();
    m_renderer.Release();
    doneCurrent();
}

void CModelPreviewWidget::setMesh(const ravok::Mesh* mesh, const ravok::PaletteColours& palette) {
    makeCurrent();
    m_renderer.InvalidateTextures(); // the textures belong to the model shown before
    doneCurrent();
    m_renderer.setPalette(palette);
    m_mesh = mesh;
    update();
}

void CModelPreviewWidget::paintGL() {
    const ravok::Mesh empty;
    const qreal ratio = devicePixelRatio();
    m_renderer.drawModelPreview(context(), int(width() * ratio), int(height() * ratio), m_mesh ? *m_mesh : empty,
                                m_yaw, m_pitch, m_zoom, QColor(40, 40, 48));
}

void CModelPreviewWidget::mousePressEvent(QMouseEvent* event) { m_last = event->position().toPoint(); }

void CModelPreviewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    m_yaw = std::fmod(m_yaw + (at.x() - m_last.x()) * 0.5 + 360, 360);
    m_pitch = std::clamp(m_pitch + (at.y() - m_last.y()) * 0.5, 0.0, 180.0);
    m_last = at;
    update();
}

void CModelPreviewWidget::wheelEvent(QWheelEvent* event) {
    m_zoom = std::clamp(m_zoom * std::pow(0.9, event->angleDelta().y() / 120.0), 0.05, 20.0);
    update();
}
