#include "app/RavokView.h"

#include "app/RavokDoc.h"
#include "app/SpeedLimitDlg.h"
#include "app/ViewSurface.h"
#include "app/DibClipboard.h"
#include "art/HdViewPicture.h"
#include "art/TrackArt.h"
#include "edit/TerrainBitmap.h"
#include "edit/ObjectEditing.h"
#include "edit/ObjectTypes.h"
#include "edit/RandomTerrain.h"
#include "edit/TerrainTools.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"
#include "render/TerrainPicking.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace ravok;

namespace {

constexpr int kFlightTickMs = 55;
const QSize kDisplaySizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1920, 1080}};

QColor colourOf(const ColourValue& c) { return QColor(c.r, c.g, c.b); }

} // namespace

CRavokView::CRavokView(CRavokDoc& doc, ProgramSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_settings(settings) {
    setObjectName(QStringLiteral("trackView"));
    // The view paints every pixel itself (or the OpenGL surface covers it).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(160, 120);
    m_camera.gridSize = settings.wholeGrid ? 256 : int(settings.polysize);
    const EditState& edit = settings.editState;
    m_tool = TerrainToolParams{TerrainTool(std::clamp(edit.terrainTool, 0, 7)), edit.toolWidth, edit.toolHeight,
                               edit.altitude, edit.orientation, edit.curvature}
                 .corrected();
    m_displayMode = std::clamp(edit.displayMode, 0, 2);
    m_flightTimer.setInterval(kFlightTickMs);
    connect(&m_flightTimer, &QTimer::timeout, this, &CRavokView::onFlightTick);
    connect(&m_doc, &CRavokDoc::contentsReplaced, this, &CRavokView::OnTrackReplaced);
    connect(&m_doc, &CRavokDoc::texturesChanged, this, &CRavokView::OnTrackChanged);
    connect(&m_doc, &CRavokDoc::modelsChanged, this, &CRavokView::OnTrackChanged);
    // Before the frame's window is made, so that it presents with the setting from the start.
    m_gl.applyVerticalSync(settings.verticalSync);
    if (settings.useOpenGL) makeSurface();
    m_clock.start();
    OnTrackReplaced();
}

CRavokView::~CRavokView() {
    if (!m_surface) return;
    // The surface and its context go with the base class, after this object: no slot of ours may run then.
    if (context()) disconnect(context(), nullptr, this, nullptr);
    m_surface->makeCurrent();
    m_gl.Release();
    m_surface->doneCurrent();
}

QOpenGLWidget* CRavokView::surface() const { return m_surface; }

QOpenGLContext* CRavokView::context() const { return m_surface ? m_surface->context() : nullptr; }

QImage CRavokView::grabView() {
    if (m_settings.useOpenGL) makeSurface();
    return m_surface && m_settings.useOpenGL ? m_surface->grabFramebuffer() : grab().toImage();
}

// ---- the track -------------------------------------------------------------------------

void CRavokView::OnTrackReplaced() {
    m_flight.stop();
    m_undo = {};
    m_textures.selection = {}, m_textures.undo = {};
    m_displayColours = DisplayColourIndicesFor(m_doc.track().palette);
    m_objects.clear();
    m_anchor = m_truck = -1;
    m_hovered.reset();
    m_terrainPoint.reset();
    OnTrackChanged();
}

void CRavokView::OnTrackChanged() {
    // Textures a pod holds only as pictures get their 8-bit pixels before the view lists them.
    FillHdOnlyTextures(m_doc.track(), m_settings.artFolder);
    const CTrackPOD& track = m_doc.track();
    m_scene.showTerrainMask(track, m_settings.detailMask);
    m_scene.setReliefShading(track, m_reliefShading);
    m_scene.build(track, TerrainWindowOf(m_camera));
    BuildTrackShades(m_shades, track);
    m_plainBlocks.clear();
    m_texturesChanged = true;
    const std::filesystem::path art = m_settings.artFolder;
    m_gl.setHdProvider([this, art](std::string_view name) -> std::optional<RgbPicture> {
        const CTrackPOD& t = m_doc.track();
        const int terrain = t.FindTexture(name);
        if (terrain >= 0) return HdPictureOfTexture(*t.terrainTextures[size_t(terrain)], art);
        const int model = t.FindModelTexture(name);
        if (model >= 0) return HdPictureOfTexture(*t.modelTextures[size_t(model)], art);
        return std::nullopt;
    });
    showCameraStatus();
    update();
}

void CRavokView::rebuildScene() { m_scene.moveWindow(m_doc.track(), TerrainWindowOf(m_camera)); }

const Mesh& CRavokView::plainBlock(const TrackObject& object) {
    auto& mesh = m_plainBlocks[{object.width, object.length, object.height}];
    if (!mesh) {
        mesh = std::make_unique<Mesh>();
        BuildPlainBoxMesh(*mesh, object.width, object.length, object.height, m_scene.plainColour());
    }
    return *mesh;
}

// ---- drawing ---------------------------------------------------------------------------

void CRavokView::initializeGL() {
    ++m_contextsMade;
    // A new context: whatever the renderer held belonged to the old one.
    m_gl.forgetContext();
    m_texturesChanged = true;
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CRavokView::contextAboutToGo,
            Qt::UniqueConnection);
}

void CRavokView::contextAboutToGo() {
    m_surface->makeCurrent();
    m_gl.Release();
    m_surface->doneCurrent();
}

QSize CRavokView::softwareFrameSize() const {
    if (m_settings.display < 4) return kDisplaySizes[m_settings.display];
    return size() * devicePixelRatio();
}

void CRavokView::paintEvent(QPaintEvent*) {
    // OpenGL frames are drawn by the surface covering the view; software
    // frames are painted here, with the surface out of the way, so that
    // showing them costs one copy of the frame.
    const bool openGL = m_settings.useOpenGL && CViewSurface::OpenGLAvailable();
    if (openGL && !m_surface) {
        // Made on first use: a window holding an OpenGL surface shows every
        // frame through OpenGL, which would slow the software renderer down.
        QMetaObject::invokeMethod(this, &CRavokView::makeSurface, Qt::QueuedConnection);
    }
    if (m_surface && m_surface->isVisibleTo(this) != openGL) m_surface->setVisible(openGL);
    if (m_surface && openGL) m_surface->update();
    else paintFrame(*this, false);
}

void CRavokView::paintGL() { paintFrame(*m_surface, m_settings.useOpenGL); }

void CRavokView::paintFrame(QPaintDevice& device, bool openGL) {
    ++m_framesDrawn;
    m_frameRate.frame(m_clock.elapsed());
    if (openGL) paintOpenGL();
    QPainter painter(&device);
    if (!openGL) paintSoftware(painter);
    paintOverlay(painter);
}

void CRavokView::paintOverlay(QPainter& painter) {
    paintTextureOverlay(painter);
    const FrameBuffer frame = pickingFrame();
    const CameraMatrix matrix = CameraMatrixOf(m_camera);
    const double sx = double(width()) / frame.width, sy = double(height()) / frame.height;
    const CTrackPOD& track = m_doc.track();
    auto onScreen = [&](int x, int y, int heightUnits) -> std::optional<QPointF> {
        const auto p = ProjectWorldPoint(matrix, frame, x, y, heightUnits * 3);
        if (!p) return std::nullopt;
        return QPointF((*p)[0] * sx, (*p)[1] * sy);
    };
    // Objects: an outline at each, the checkpoints' numbers and the plain blocks' labels.
    if (m_mode == kEditObjects || m_settings.alwaysShowObjects) {
        painter.setPen(colourOf(m_settings.colors[3]));
        for (const auto& object : track.objects) {
            if (!object) continue;
            const auto at = onScreen(object->x, object->y, object->z);
            if (!at) continue;
            const int slot = int(&object - &track.objects[0]);
            const bool selected = IsObjectSelected(track, m_objects, slot);
            painter.setPen(selected ? QColor(255, 255, 0) : colourOf(m_settings.colors[3]));
            const double r = selected ? 6 : 3;
            painter.drawRect(QRectF(*at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
            const bool plainBlock = !m_scene.modelMesh(object->model) && !m_settings.hideColliderBoxes;
            if (const std::string label = ObjectViewLabel(*object, plainBlock); !label.empty())
                painter.drawText(*at + QPointF(6, -4), QString::fromStdString(label));
        }
    }
    // Course anchors: the end points of the current course's segments, the held one larger.
    if (m_mode == kEditCourse || m_settings.alwaysShowCourse) {
        if (const Course* course = CourseOf(track, m_course)) {
            for (size_t i = 0; i < course->segments.size(); ++i) {
                const CourseSegment& s = course->segments[i];
                for (int end = 0; end < 2; ++end) {
                    const auto& point = end ? s.end : s.start;
                    const bool held = int(2 * i) + end == m_anchor;
                    painter.setPen(held ? QColor(255, 255, 0) : m_course ? QColor(255, 0, 255) : QColor(255, 32, 32));
                    if (const auto at = onScreen(point[0], point[1], point[2])) painter.drawEllipse(*at, held ? 7 : 4, held ? 7 : 4);
                }
            }
        }
    }
    if (m_mode == kEditObjects) paintObjectGesture(painter);
    if (m_hovered && m_mode == kEditTerrain) {
        // The brush's extent, following the ground along its edges.
        // The extent only changes with the parameters; building a brush on every
        // paint would also draw from the C library's generator (Bumps).
        if (!m_outlineFor || !(*m_outlineFor == m_tool)) {
            const TerrainBrush brush = BuildTerrainBrush(m_tool);
            m_outlineExtent = {brush.rw, brush.rh};
            m_outlineFor = m_tool;
        }
        const auto [rw, rh] = m_outlineExtent;
        const int x0 = m_hovered->x - (rw - 1) / 2, y0 = m_hovered->y - (rh - 1) / 2;
        const int x1 = x0 + rw, y1 = y0 + rh;
        QPolygonF edge;
        auto add = [&](int gx, int gy) {
            gx = std::clamp(gx, 0, 255), gy = std::clamp(gy, 0, 255);
            if (const auto p = onScreen(gx * 64, gy * 64, track.terrain.height(gx, gy))) edge << *p;
        };
        for (int x = x0; x < x1; ++x) add(x, y0);
        for (int y = y0; y < y1; ++y) add(x1, y);
        for (int x = x1; x > x0; --x) add(x, y1);
        for (int y = y1; y >= y0; --y) add(x0, y);
        painter.setPen(QPen(colourOf(m_settings.colors[5]), 1));
        painter.drawPolyline(edge);
    }
    if (m_hovered) {
        // The hovered square's corners on the screen.
        QPolygonF outline;
        for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
            const int gx = m_hovered->x + dx, gy = m_hovered->y + dy;
            if (const auto p = onScreen(gx * 64, gy * 64, track.terrain.height(gx, gy))) outline << *p;
        }
        painter.setPen(QPen(colourOf(m_settings.colors[3]), 1));
        if (outline.size() == 4) painter.drawPolygon(outline);
    }
    if (m_mode == kEditGroundBoxes) paintGroundBoxOverlay(painter);
    if (m_settings.displayFps) {
        painter.setPen(Qt::yellow);
        const QString text = QString::fromStdString(m_frameRate.text());
        painter.drawText(width() - 8 - painter.fontMetrics().horizontalAdvance(text), 16, text);
    }
}

// ---- notifications ---------------------------------------------------------------------

void CRavokView::OnBarNotification(int code, int value) {
    if (textureNotification(code, value)) return;
    switch (code) {
    case 1: m_camera.pitch = 900; break;
    case 2: m_camera.pitch = 1800; break;
    case 3: m_settings.gamma = float(value) / 10.0f, m_texturesChanged = true; break;
    case 4: // renderer reset, also after the Detail Mask check changed
        m_texturesChanged = true;
        m_scene.showTerrainMask(m_doc.track(), m_settings.detailMask);
        rebuildScene();
        break;
    case 5:
        m_camera.gridSize = value;
        rebuildScene();
        break;
    case 10: m_tool.tool = TerrainTool(std::clamp(value, 0, 7)); break;
    case 11: m_tool.width = value; break;
    case 12: m_tool.height = value; break;
    case 16: m_tool.orientation = value; break;
    case 17: m_tool.curvature = value; break;
    case 19:
        m_tool.altitude = value;
        m_tool = m_tool.corrected();
        if (m_tool.tool == TerrainTool::SinglePoint) ApplyTerrainTool(); // Single-point: once at each change
        return;
    case 13: m_displayMode = std::clamp(value, 0, 2); break;
    case 14:
        m_mode = std::clamp(value, 0, 4);
        m_hovered.reset();
        m_terrainPoint.reset();
    m_terrainPoint.reset();
        m_objects.clear();
        m_anchor = m_truck = -1;
        m_box = {};
        m_textures.selection = {};
        break;
    case 23:
        m_course = std::clamp(value, 0, 4);
        m_anchor = -1;
        break;
    case 24: m_alwaysShowMain = value != 0; break;
    case 9:
        if (m_mode == kEditGroundBoxes) PaintSelectedGroundBox();
        return;
    case 32: setGroundBoxPaint(value); return;
    case 30:
    case 31: ApplyGroundBoxHeights(); return;
    case 40: OnTrackChanged(); break;
    default: return; // the other editing codes belong to the edit tools
    }
    m_tool = m_tool.corrected();
    showCameraStatus();
    update();
}

void CRavokView::OnSettingsChanged() {
    m_camera.gridSize = m_settings.wholeGrid ? 256 : int(m_settings.polysize);
    m_gl.applyVerticalSync(m_settings.verticalSync);
    if (m_settings.useOpenGL) makeSurface();
    m_texturesChanged = true;
    m_scene.showTerrainMask(m_doc.track(), m_settings.detailMask);
    rebuildScene();
    update();
}

// ---- camera ----------------------------------------------------------------------------

void CRavokView::SaveLocation() { m_location.save(m_camera); }

void CRavokView::ReturnToLocation() {
    if (!m_location.restore(m_camera)) return;
    rebuildScene();
    showCameraStatus();
    update();
}

void CRavokView::JumpTo(int x, int y) {
    m_camera.x = std::clamp(x, 0, kCameraMaxXY);
    m_camera.y = std::clamp(y, 0, kCameraMaxXY);
    rebuildScene();
    showCameraStatus();
    update();
}

void CRavokView::showCameraStatus() {
    emit positionText(QStringLiteral("%1, %2").arg(m_camera.x / 64).arg(m_camera.y / 64));
    emit heightText(QStringLiteral("z %1").arg(m_camera.z / 3));
    emit cameraMoved();
}

void CRavokView::onFlightTick() {
    const int elapsed = m_sinceTick.isValid() ? int(m_sinceTick.restart()) : kFlightTickMs;
    if (!m_sinceTick.isValid()) m_sinceTick.start();
    const CTrackPOD& track = m_doc.track();
    const auto result = m_flight.tick(m_camera, m_keys, elapsed,
                                      [&track](int x, int y) { return track.terrain.height(x / 64, y / 64); });
    if (result.originChanged) rebuildScene();
    if (result.changed) {
        showCameraStatus();
        update();
    }
    if (!m_keys.any() && m_flight.forwardSpeed() == 0) m_flightTimer.stop();
}

bool CRavokView::setFlightKey(int key, bool down) {
    switch (key) {
    case Qt::Key_Up: m_keys.forward = down; break;
    case Qt::Key_Down: m_keys.back = down; break;
    case Qt::Key_Left: m_keys.turnLeft = down; break;
    case Qt::Key_Right: m_keys.turnRight = down; break;
    case Qt::Key_PageUp: m_keys.lookUp = down; break;
    case Qt::Key_PageDown: m_keys.lookDown = down; break;
    case Qt::Key_A: m_keys.climb = down; break;
    case Qt::Key_Z: m_keys.descend = down; break;
    case Qt::Key_Comma: m_keys.slideLeft = down; break;
    case Qt::Key_Period: m_keys.slideRight = down; break;
    case Qt::Key_Shift: m_keys.fast = down; break;
    default: return false;
    }
    return true;
}

void CRavokView::toggleFlag(bool& flag) {
    flag = !flag;
    emit flagsChanged();
    update();
}

bool CRavokView::terrainKey(int key) {
    const bool up = key == Qt::Key_S || key == Qt::Key_BracketRight;
    const bool down = key == Qt::Key_X || key == Qt::Key_BracketLeft;
    if (up || down) {
        if (m_tool.tool == TerrainTool::SinglePoint) {
            // At most one application per 55 ms tick however fast the key repeats.
            if (!m_sinceSinglePoint.isValid() || m_sinceSinglePoint.elapsed() >= kFlightTickMs) m_singlePointRepeat.tick();
            if (!m_hovered || !CanEditTerrain(m_doc.track()) || !m_singlePointRepeat.take()) return true;
            m_sinceSinglePoint.start();
            const int step = up ? m_tool.altitude : -m_tool.altitude;
            if (!ApplySinglePoint(m_doc.track(), *m_hovered, step, m_undo).empty()) terrainChanged();
            return true;
        }
        m_tool.altitude = std::clamp(m_tool.altitude + (up ? 1 : -1), kMinAltitude, kMaxAltitude);
    } else if (key == Qt::Key_Tab) {
        m_tool.orientation = (m_tool.orientation + 1) % (kMaxOrientation + 1);
    } else if (key == Qt::Key_Plus || key == Qt::Key_Minus) {
        m_tool.curvature = std::clamp(m_tool.curvature + (key == Qt::Key_Plus ? 1 : -1), 0, kMaxCurvature);
    } else {
        return false;
    }
    emit terrainToolChanged(m_tool);
    return true;
}

bool CRavokView::focusNextPrevChild(bool next) {
    // Tab belongs to the tools in the view, not to the focus chain.
    if (m_mode == kEditTerrain || m_mode == kEditObjects) return false;
    return QWidget::focusNextPrevChild(next);
}

void CRavokView::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    // The numeric pad flies too: 8 2 4 6 9 3, and 5 levels the view.
    if (event->modifiers() & Qt::KeypadModifier) {
        const std::map<int, int> pad{{Qt::Key_8, Qt::Key_Up},     {Qt::Key_2, Qt::Key_Down},
                                     {Qt::Key_4, Qt::Key_Left},   {Qt::Key_6, Qt::Key_Right},
                                     {Qt::Key_9, Qt::Key_PageUp}, {Qt::Key_3, Qt::Key_PageDown}};
        if (auto found = pad.find(key); found != pad.end()) key = found->second;
        if (key == Qt::Key_5) key = Qt::Key_Clear;
    }
    if (m_mode == kEditTextures && textureKey(event)) return;
    if (m_mode == kEditTerrain && terrainKey(key)) return;
    if (m_mode == kEditObjects && objectKey(event)) return;
    if (m_mode == kEditGroundBoxes && groundBoxKey(key)) return;
    if (setFlightKey(key, true)) {
        if (!event->isAutoRepeat() && !m_flightTimer.isActive()) {
            m_sinceTick.invalidate();
            m_flightTimer.start();
            onFlightTick();
        }
        return;
    }
    switch (key) {
    case Qt::Key_Home: m_camera.yaw = 0; break;
    case Qt::Key_Delete: return; // acts on release
    case Qt::Key_Space: ApplyTerrainTool(); return;
    case Qt::Key_Insert:
        if (m_mode == kEditCourse) InsertSegment();
        if (m_mode == kEditGroundBoxes) InsertGroundBoxHere();
        return;
    case Qt::Key_R:
    case Qt::Key_M:
        if (m_mode == kEditGroundBoxes && m_box.box >= 0)
            boxesChanged(key == Qt::Key_R ? RotateGroundBoxFace(m_doc.track(), m_box)
                                          : MirrorGroundBoxFace(m_doc.track(), m_box));
        return;
    case Qt::Key_Clear: m_camera.pitch = 900; break;
    case Qt::Key_F2: SaveLocation(); return;
    case Qt::Key_F3: ReturnToLocation(); return;
    case Qt::Key_F4: m_flight.altitudeLock = !m_flight.altitudeLock; return;
    case Qt::Key_F5: toggleFlag(m_settings.alwaysShowCourse); return;
    case Qt::Key_F6: toggleFlag(m_settings.alwaysShowObjects); return;
    case Qt::Key_F7: toggleFlag(m_settings.alwaysShowGroundBoxes); return;
    case Qt::Key_F8: toggleFlag(m_settings.showWater); return;
    case Qt::Key_F9: toggleFlag(m_settings.showBackdrop); return;
    default: QWidget::keyPressEvent(event); return;
    }
    showCameraStatus();
    update();
}

void CRavokView::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (m_mode == kEditObjects && event->key() == Qt::Key_Delete) {
        DeleteSelectedObjects();
        return;
    }
    if (m_mode == kEditObjects && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        EditObjectProperties();
        return;
    }
    if (m_mode == kEditCourse && event->key() == Qt::Key_Delete) {
        DeleteSegment();
        return;
    }
    if (m_mode == kEditGroundBoxes && event->key() == Qt::Key_Delete) {
        DeleteSelectedGroundBox();
        return;
    }
    if (!setFlightKey(event->key(), false)) QWidget::keyReleaseEvent(event);
}

void CRavokView::focusOutEvent(QFocusEvent* event) {
    // Keys released elsewhere never arrive: the flight stops with the focus.
    m_keys = {};
    m_flight.stop();
    m_flightTimer.stop();
    QWidget::focusOutEvent(event);
}

// ---- picking ---------------------------------------------------------------------------

std::optional<GroundPick> CRavokView::groundUnderMouse() const {
    if (m_terrainPoint) return GroundPickAt(m_doc.track(), m_terrainPoint->x, m_terrainPoint->y);
    // Between the picked vertex's cells and the mouse lies no terrain: the hovered square's centre.
    if (m_hovered) return GroundPickAt(m_doc.track(), m_hovered->x * 64 + 32, m_hovered->y * 64 + 32);
    return std::nullopt;
}

FrameBuffer CRavokView::pickingFrame() const {
    FrameBuffer frame;
    // The frame that was drawn: the software renderer's (display resolution,
    // stretched over the view) unless the OpenGL surface drew it in the
    // view's device pixels.
    const QSize size =
        m_surface && m_settings.useOpenGL ? this->size() * devicePixelRatio() : softwareFrameSize();
    frame.width = std::max(1, size.width());
    frame.height = std::max(1, size.height());
    frame.centreX = frame.width / 2;
    frame.centreY = frame.height / 2;
    return frame;
}

bool CRavokView::ApplyTerrainTool() {
    CTrackPOD& track = m_doc.track();
    if (m_mode != kEditTerrain || !m_hovered || !CanEditTerrain(track)) return false;
    const TerrainChange change = ravok::ApplyTerrainTool(track, m_tool, BuildTerrainBrush(m_tool), *m_hovered, m_undo);
    if (change.empty()) return false;
    terrainChanged();
    return true;
}

void CRavokView::terrainChanged() {
    m_doc.setModified(true);
    rebuildScene();
    emit terrainEdited();
    update();
}

bool CRavokView::CopyArea() {
    const TerrainBrush brush = BuildTerrainBrush(m_tool);
    return CopyTerrainArea(m_doc.track(), brush.rw, brush.rh, m_hovered, m_area);
}

bool CRavokView::PasteArea() {
    if (!CanEditTerrain(m_doc.track())) return false;
    if (PasteTerrainArea(m_doc.track(), m_area, m_hovered, m_undo).empty()) return false;
    terrainChanged();
    return true;
}

void CRavokView::CopyTerrainBitmap() { ravok::SetClipboardDib(ravok::CopyTerrainAsBitmap(m_doc.track())); }

bool CRavokView::PasteTerrainBitmapFromClipboard() {
    if (!CanEditTerrain(m_doc.track())) return false;
    const auto dib = ravok::ClipboardDib();
    const Outcome outcome = dib ? ravok::PasteTerrainBitmap(m_doc.track(), *dib, m_undo)
                                : ravok::PasteTerrainBitmapBlock(m_doc.track(), {}, m_undo);
    if (!outcome) {
        m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    terrainChanged();
    return true;
}

bool CRavokView::AdjustHeights(const AdjustHeightsParams& params) {
    const Outcome outcome = AdjustTerrainHeights(m_doc.track(), params, m_undo);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    terrainChanged();
    return true;
}

bool CRavokView::ReplaceHeights(std::span<const uint8_t> heights) {
    if (!ApplyRandomTerrain(m_doc.track(), heights, m_undo)) return false;
    terrainChanged();
    return true;
}

bool CRavokView::Undo() {
    return m_mode == kEditTextures ? UndoTextures() : UndoTerrain();
}

bool CRavokView::Paste() {
    switch (m_mode) {
    case kEditTerrain: return PasteArea();
    case kEditTextures: return PasteTextureArea();
    case kEditObjects: return PasteObject();
    case kEditGroundBoxes: return PasteBox();
    default: return false;
    }
}

bool CRavokView::UndoTerrain() {
    if (!UndoTerrainEdit(m_doc.track(), m_undo)) return false;
    terrainChanged();
    return true;
}

void CRavokView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    m_pressed.start();
    if (m_mode == kEditTextures) textureMousePress(event);
    if (event->button() == Qt::LeftButton && m_mode == kEditTerrain) ApplyTerrainTool();
    if (event->button() == Qt::LeftButton && m_mode == kEditObjects) objectMousePress(event);
    if (event->button() == Qt::LeftButton && m_mode == kEditCourse) PickCourseAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && m_mode == kEditGroundBoxes) PickGroundBoxAt(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

// ---- courses ---------------------------------------------------------------------------

ScreenProjection CRavokView::screenProjection() const {
    const FrameBuffer frame = pickingFrame();
    const CameraMatrix matrix = CameraMatrixOf(m_camera);
    const double sx = double(width()) / frame.width, sy = double(height()) / frame.height;
    return [frame, matrix, sx, sy](int32_t x, int32_t y, int32_t z) -> std::optional<std::array<int, 2>> {
        const auto p = ProjectWorldPoint(matrix, frame, x, y, z * 3);
        if (!p) return std::nullopt;
        return std::array<int, 2>{int((*p)[0] * sx), int((*p)[1] * sy)};
    };
}

void CRavokView::PickCourseAt(QPoint at) {
    const ScreenProjection project = screenProjection();
    const CTrackPOD& track = m_doc.track();
    m_anchor = PickCourseAnchor(ProjectCourseAnchors(track, m_course, project), at.x(), at.y());
    m_truck = m_anchor < 0 ? PickTruckStart(ProjectTruckStarts(track, project), at.x(), at.y()) : -1;
    update();
}

void CRavokView::courseChanged(const CourseChange& change) {
    if (!change.changed) return;
    m_doc.setModified(true);
    m_anchor = change.anchor;
    if (change.mapChanged) emit terrainEdited();
    update();
}

bool CRavokView::InsertSegment() {
    CTrackPOD& track = m_doc.track();
    if (m_mode != kEditCourse || !CanInsertSegment(track, m_course, m_anchor, m_hovered.has_value())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const CourseChange change = InsertCourseSegment(track, m_course, m_anchor, pick);
    courseChanged(change);
    return change.changed;
}

bool CRavokView::DeleteSegment() {
    if (m_mode != kEditCourse || !CanEditAnchor(m_doc.track(), m_course, m_anchor)) return false;
    const CourseChange change = DeleteCourseSegment(m_doc.track(), m_course, m_anchor);
    courseChanged(change);
    return change.changed;
}

bool CRavokView::ReverseSegment() {
    if (m_mode != kEditCourse || !CanEditAnchor(m_doc.track(), m_course, m_anchor)) return false;
    const CourseChange change = ReverseCourseSegment(m_doc.track(), m_course, m_anchor);
    courseChanged(change);
    return change.changed;
}

bool CRavokView::GenerateFromMain() {
    if (m_mode != kEditCourse || !CanGenerateFromMain(m_course)) return false;
    const CourseChange change = GenerateCourseFromMain(m_doc.track(), m_course);
    courseChanged(change);
    return change.changed;
}

bool CRavokView::EditSpeedLimit() {
    CTrackPOD& track = m_doc.track();
    if (m_mode != kEditCourse || !CanEditAnchor(track, m_course, m_anchor)) return false;
    CSpeedLimitDlg dialog(ShownSpeedLimit(track, m_course, m_anchor), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    const CourseChange change = SetSpeedLimit(track, m_course, m_anchor, dialog.limit(), dialog.applyToAll());
    courseChanged(change);
    return change.changed;
}

bool CRavokView::DeleteAllSegments() {
    if (m_mode != kEditCourse) return false;
    const CourseChange change = DeleteAllCourseSegments(m_doc.track(), m_course);
    courseChanged(change);
    return change.changed;
}

// ---- ground boxes ------------------------------------------------------------------------

void CRavokView::PickGroundBoxAt(QPoint at) {
    m_box = PickGroundBoxFace(boxScreenTriangles(), at.x(), at.y());
    showSelectedBoxHeights();
    if (m_boxPaint) PaintSelectedGroundBox();
    update();
}

void CRavokView::boxesChanged(const GroundBoxChange& change) {
    if (!change.changed) return;
    m_doc.setModified(true);
    OnTrackChanged(); // the box meshes and their neighbours are built again
}

bool CRavokView::InsertGroundBoxHere() {
    CTrackPOD& track = m_doc.track();
    if (m_mode != kEditGroundBoxes || !m_hovered || !CanInsertGroundBox(track, m_hovered->x, m_hovered->y)) return false;
    const GroundBoxChange change = InsertGroundBox(track, m_box, m_hovered->x, m_hovered->y, m_boxBar, selectedBoxTexture());
    boxesChanged(change);
    return change.changed;
}

bool CRavokView::DeleteSelectedGroundBox() {
    if (m_mode != kEditGroundBoxes || m_box.box < 0) return false;
    const GroundBoxChange change = DeleteGroundBox(m_doc.track(), m_box);
    boxesChanged(change);
    return change.changed;
}

bool CRavokView::ApplyGroundBoxHeights() {
    if (m_mode != kEditGroundBoxes || m_box.box < 0) return false;
    const GroundBoxChange change = SetGroundBoxHeights(m_doc.track(), m_box, m_boxBar);
    boxesChanged(change);
    return change.changed;
}

void CRavokView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_mode == kEditObjects && event->button() == Qt::LeftButton) objectMouseRelease(event);
    m_pressed.invalidate();
    QWidget::mouseReleaseEvent(event);
}

// ---- objects ---------------------------------------------------------------------------

std::vector<ScreenPoint> CRavokView::projectedObjects() const {
    const FrameBuffer frame = pickingFrame();
    const CameraMatrix matrix = CameraMatrixOf(m_camera);
    const double sx = double(width()) / frame.width, sy = double(height()) / frame.height;
    std::vector<ScreenPoint> points(m_doc.track().objects.size());
    for (size_t slot = 0; slot < points.size(); ++slot) {
        const auto& object = m_doc.track().objects[slot];
        if (!object) continue;
        if (const auto p = ProjectWorldPoint(matrix, frame, object->x, object->y, object->z * 3))
            points[slot] = {int((*p)[0] * sx), int((*p)[1] * sy), true};
    }
    return points;
}

void CRavokView::PickObjectAt(QPoint at, bool toggle) {
    const CTrackPOD& track = m_doc.track();
    const std::vector<ScreenPoint> points = projectedObjects();
    const int slot = PickNearestScreenPoint(points, at.x(), at.y(), kObjectPickPixels);
    if (toggle) {
        if (slot >= 0) ToggleObjectInSelection(track, m_objects, slot);
    } else if (!IsObjectSelected(track, m_objects, slot)) {
        m_objects.selectOnly(slot);
    }
    update();
}

void CRavokView::objectsChanged() {
    m_doc.setModified(true);
    NormaliseSelection(m_doc.track(), m_objects);
    update();
}

bool CRavokView::InsertObjectHere() {
    if (m_mode != kEditObjects || !CanEditObjects(m_doc.track())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const ObjectInsertResult result = InsertObject(m_doc.track(), m_objects, pick);
    if (!result.refusal.empty()) m_doc.prompter().inform(result.refusal.text, result.refusal.caption);
    if (result.slot < 0) return false;
    objectsChanged();
    return true;
}

bool CRavokView::CopyObject() {
    if (m_mode != kEditObjects) return false;
    auto copied = ravok::CopyObject(m_doc.track(), m_objects);
    if (!copied) return false;
    m_copiedObject = std::move(copied);
    return true;
}

bool CRavokView::PasteObject() {
    if (m_mode != kEditObjects || !m_copiedObject || !CanEditObjects(m_doc.track())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const ObjectInsertResult result = ravok::PasteObject(m_doc.track(), m_objects, *m_copiedObject, pick);
    if (!result.refusal.empty()) m_doc.prompter().inform(result.refusal.text, result.refusal.caption);
    if (result.slot < 0) return false;
    objectsChanged();
    return true;
}

int CRavokView::DeleteSelectedObjects() {
    if (!CanEditObjects(m_doc.track())) return 0;
    const int deleted = ravok::DeleteSelectedObjects(m_doc.track(), m_objects, m_doc.prompter());
    if (deleted > 0) objectsChanged();
    return deleted;
}

void CRavokView::SelectNextObject() {
    std::vector<int> drawn;
    const std::vector<ScreenPoint> points = projectedObjects();
    for (size_t slot = 0; slot < points.size(); ++slot)
        if (points[slot].visible) drawn.push_back(int(slot));
    m_objects.selectOnly(NextDrawnObject(drawn, m_objects.current));
    update();
}

bool CRavokView::objectKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab: SelectNextObject(); return true;
    case Qt::Key_Insert: InsertObjectHere(); return true;
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter: return true; // act on release
    default: break;
    }
    const QString text = event->text();
    const char key = text.size() == 1 ? text.at(0).toLatin1() : char(event->key() < 128 ? event->key() : 0);
    const Qt::KeyboardModifiers mods = event->modifiers();
    const auto action = ObjectKeyActionFor(key, mods & Qt::ShiftModifier, mods & Qt::ControlModifier,
                                           m_settings.objectXYInSitUnits);
    if (!action) return false;
    if (CanEditObjects(m_doc.track()) && ApplyObjectStep(m_doc.track(), m_objects, *action)) objectsChanged();
    return true;
}

void CRavokView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::RightButton) return;
    const FrameBuffer frame = pickingFrame();
    const int mx = int(event->position().x() * frame.width / std::max(1, width()));
    const int my = int(event->position().y() * frame.height / std::max(1, height()));
    const TerrainWindow window = m_scene.window();
    const CameraMatrix camera = CameraMatrixOf(m_camera);
    const int vertex = PickWindowVertex(m_doc.track(), window, camera, frame, mx, my);
    const auto square = HoveredSquare(vertex, window);
    m_terrainPoint = TerrainPointNearVertex(m_doc.track(), window, camera, frame, vertex, mx, my);
    if (m_mode == kEditObjects) objectMouseMove(event, square ? groundUnderMouse() : std::nullopt);
    if (m_mode == kEditCourse && (event->buttons() & Qt::LeftButton) && m_pressed.isValid() &&
        m_pressed.elapsed() >= 200 && square && CanEditCourses(m_doc.track())) {
        if (const auto pick = groundUnderMouse(); !pick) {
        } else if (m_anchor >= 0) {
            courseChanged(DragCourseAnchor(m_doc.track(), m_course, m_anchor, *pick));
        } else if (m_truck >= 0 && DragTruckStart(m_doc.track(), m_truck, *pick)) {
            m_doc.setModified(true);
        }
    }
    if (square != m_hovered) {
        m_hovered = square;
        followTextureCursor();
        if (square) emit positionText(QStringLiteral("%1, %2").arg(square->x).arg(square->y));
        update();
    }
    QWidget::mouseMoveEvent(event);
}
