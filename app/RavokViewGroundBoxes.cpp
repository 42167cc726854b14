// The ground boxes as the view shows and picks them on the screen.
#include "app/RavokView.h"

#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygonF>

using namespace ravok;

std::vector<GroundBoxScreenTriangle> CRavokView::boxScreenTriangles() const {
    const CTrackPOD& track = m_doc.track();
    const FrameBuffer frame = pickingFrame();
    const CameraMatrix matrix = CameraMatrixOf(m_camera);
    const double sx = double(width()) / frame.width, sy = double(height()) / frame.height;
    // The scene's box meshes follow the occupied slots in order.
    std::vector<GroundBoxScreenTriangle> triangles;
    size_t mesh = 0;
    for (size_t slot = 0; slot < track.groundBoxes.size() && mesh < m_scene.boxes().size(); ++slot) {
        if (!track.groundBoxes[slot]) continue;
        const Mesh& box = *m_scene.boxes()[mesh++];
        for (const MeshTriangle& t : box.triangles()) {
            if (t.flags & kTriangleHidden) continue;
            GroundBoxScreenTriangle s{int(slot), t.tag, {}, 0};
            bool visible = true;
            for (size_t k = 0; k < 3; ++k) {
                const MeshVertex* v = box.vertex(t.vertices[k]);
                const auto p = ProjectPoint(matrix, frame, v->x, v->y, v->z);
                if (p.behindEye) visible = false;
                s.corners[k] = {int(p.screenX * sx), int(p.screenY * sy)};
                s.depth += p.depth / 3;
            }
            if (visible) triangles.push_back(s);
        }
    }
    return triangles;
}

void CRavokView::showSelectedBoxHeights() {
    if (m_session.boxes.selection.box < 0) return;
    const auto& box = m_doc.track().groundBoxes[size_t(m_session.boxes.selection.box)];
    if (!box) return;
    m_session.boxes.bar = CorrectGroundBoxBar({box->top, box->bottom});
    emit groundBoxBarShown(m_session.boxes.bar.top, m_session.boxes.bar.bottom);
}

void CRavokView::paintGroundBoxOverlay(QPainter& painter) {
    if (m_session.boxes.selection.box < 0) return;
    const QColor outline = QColor(m_settings.colors[3].r, m_settings.colors[3].g, m_settings.colors[3].b);
    QColor face(255, 255, 0, 96);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const GroundBoxScreenTriangle& t : boxScreenTriangles()) {
        if (t.box != m_session.boxes.selection.box) continue;
        QPolygonF corners;
        for (const auto& c : t.corners) corners << QPointF(c[0], c[1]);
        const bool picked = m_session.boxes.selection.face() >= 0 && t.faceValue / 2 == m_session.boxes.selection.face();
        painter.setPen(QPen(picked ? QColor(255, 255, 0) : outline, 1));
        painter.setBrush(picked ? QBrush(face) : Qt::NoBrush);
        painter.drawPolygon(corners);
    }
    painter.restore();
}
