#include "app/RavokView.h"

#include "app/DibClipboard.h"
#include "app/RavokDoc.h"
#include "app/SpeedLimitDlg.h"
#include "app/ViewSurface.h"
#include "art/HdViewPicture.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectEditing.h"
#include "edit/ObjectTypes.h"
#include "edit/RandomTerrain.h"
#include "edit/TerrainBitmap.h"
#include "edit/TerrainTools.h"
#include "model/TrackPod.h"
#include "render/TerrainPicking.h"
#include "trackart/TrackArt.h"

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

// What the view shows while a worker owns the track: nothing of the track.
void paintWorking(QPaintDevice& device, const QColor& background) {
    QPainter painter(&device);
    const QRect area(0, 0, device.width(), device.height());
    painter.fillRect(area, background);
    painter.setPen(background.lightness() < 128 ? Qt::white : Qt::black);
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("Working\u2026"));
}

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
    m_session.restore(settings.editState, settings.planeAltitude);
    m_flightTimer.setInterval(kFlightTickMs);
    connect(&m_flightTimer, &QTimer::timeout, this, &CRavokView::onFlightTick);
    connect(&m_doc, &CRavokDoc::aboutToReplaceContents, this, &CRavokView::OnAboutToReplaceContents);
    connect(&m_doc, &CRavokDoc::busyChanged, this, &CRavokView::OnBusyChanged);
    connect(&m_doc, &CRavokDoc::contentsReplaced, this, &CRavokView::OnTrackReplaced);
    connect(&m_doc, &CRavokDoc::texturesChanged, this, &CRavokView::OnTrackChanged);
    connect(&m_doc, &CRavokDoc::modelsChanged, this, &CRavokView::OnTrackChanged);
    connect(&m_doc, &CRavokDoc::editRecorded, this, &CRavokView::OnEditRecorded);
    connect(&m_doc, &CRavokDoc::saved, this, &CRavokView::OnDocumentSaved);
    // The document marked modified by a change the history did not see (a
    // clone, a palette, a pod option): undoing steps must not clear the mark.
    connect(&m_doc, &CRavokDoc::titleChanged, this, [this] {
        if (m_doc.isModified() && !m_session.history.isModified()) m_session.history.markUntrackedChange();
    });
    // Before the frame's window is made, so that it presents with the setting from the start.
    m_gl.applyVerticalSync(settings.verticalSync);
    if (settings.useOpenGL) makeSurface();
    m_clock.start();
    OnTrackReplaced();
}

CRavokView::~CRavokView() {
    if (!m_surface) return;
    if (m_surface->makeCurrent()) {
        m_gl.Release();
        m_surface->doneCurrent();
    }
    delete m_surface;
}

QOpenGLContext* CRavokView::context() const { return m_surface ? m_surface->context() : nullptr; }

QImage CRavokView::grabView() { return grab().toImage(); }

// ---- the track -------------------------------------------------------------------------

void CRavokView::OnAboutToReplaceContents() {
    m_scene.release();
    m_plainBlocks.clear();
    m_software.reset(); // its triangle list points at the scene's textures
    m_hovered.reset();
    m_terrainPoint.reset();
    m_gl.setHdProvider({});
    m_texturesChanged = true;
    if (m_surface && context()) {
        m_surface->makeCurrent();
        m_gl.InvalidateTextures();
        m_surface->doneCurrent();
    }
}

void CRavokView::OnBusyChanged(bool busy) {
    if (busy) {
        finishDrag();
        m_keys = {};
        m_flight.stop();
        m_flightTimer.stop();
        m_turnDragFrom.reset();
        m_gesture = {};
        m_pressed.invalidate();
    }
    update();
}

namespace {

bool isInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    default: return false;
    }
}

} // namespace

bool CRavokView::event(QEvent* event) {
    if (m_doc.busy() && isInputEvent(event->type())) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void CRavokView::OnTrackReplaced() {
    m_flight.stop();
    m_session.trackReplaced(m_doc.track());
    m_pendingStep.reset();
    emit historyChanged();
    m_displayColours = DisplayColourIndicesFor(m_doc.track().palette);
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

const ColourValue& CRavokView::wireColour() const {
    return m_settings.colors[m_session.displayMode == 2 ? 2 : 1];
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

QSize CRavokView::softwareFrameSize() const {
    if (m_settings.display < 4) return kDisplaySizes[m_settings.display];
    return size() * devicePixelRatio();
}

void CRavokView::paintEvent(QPaintEvent*) {
    paintFrame(*this, m_settings.useOpenGL && CViewSurface::OpenGLAvailable());
}

void CRavokView::paintFrame(QPaintDevice& device, bool openGL) {
    if (m_doc.busy()) return paintWorking(device, colourOf(m_settings.colors[0]));
    ++m_framesDrawn;
    m_frameRate.frame(m_clock.elapsed());
    QPainter painter(&device);
    // A frame OpenGL could not draw is drawn by the software renderer.
    if (!openGL || !paintOpenGL(painter)) paintSoftware(painter);
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
    if (objectsShown()) {
        painter.setPen(colourOf(m_settings.colors[3]));
        for (const auto& object : track.objects) {
            if (!object) continue;
            const auto at = onScreen(object->x, object->y, object->z);
            if (!at) continue;
            const int slot = int(&object - &track.objects[0]);
            const bool selected = IsObjectSelected(track, m_session.objects.selection, slot);
            painter.setPen(selected ? QColor(255, 255, 0) : colourOf(m_settings.colors[3]));
            const double r = selected ? 6 : 3;
            painter.drawRect(QRectF(*at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
            const bool plainBlock = !m_scene.modelMesh(object->model) && !m_settings.hideColliderBoxes;
            if (const std::string label = ObjectViewLabel(*object, plainBlock); !label.empty())
                painter.drawText(*at + QPointF(6, -4), QString::fromStdString(label));
        }
    }
    // Course anchors: the end points of the current course's segments, the held one larger.
    if (courseShown()) {
        if (const Course* course = CourseOf(track, m_session.course.course)) {
            for (size_t i = 0; i < course->segments.size(); ++i) {
                const CourseSegment& s = course->segments[i];
                for (int end = 0; end < 2; ++end) {
                    const auto& point = end ? s.end : s.start;
                    const bool held = int(2 * i) + end == m_session.course.anchor;
                    painter.setPen(held ? QColor(255, 255, 0) : m_session.course.course ? QColor(255, 0, 255) : QColor(255, 32, 32));
                    if (const auto at = onScreen(point[0], point[1], point[2])) painter.drawEllipse(*at, held ? 7 : 4, held ? 7 : 4);
                }
            }
        }
    }
    if (m_session.mode == ravok::EditMode::Objects) paintObjectGesture(painter);
    if (m_hovered && m_session.mode == ravok::EditMode::Terrain) {
        // The brush's extent, following the ground along its edges.
        // The extent only changes with the parameters; building a brush on every
        // paint would also draw from the C library's generator (Bumps).
        if (!m_outlineFor || !(*m_outlineFor == m_session.terrain.tool)) {
            const TerrainBrush brush = BuildTerrainBrush(m_session.terrain.tool);
            m_outlineExtent = {brush.rw, brush.rh};
            m_outlineFor = m_session.terrain.tool;
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
        // Terrain mode: the height of the hovered point beside it ("Altitude Value").
        if (m_session.mode == ravok::EditMode::Terrain && !outline.isEmpty()) {
            painter.setPen(colourOf(m_settings.colors[4]));
            painter.drawText(outline.front() + QPointF(8, -8),
                             QString::number(track.terrain.height(m_hovered->x, m_hovered->y)));
        }
    }
    if (m_session.mode == ravok::EditMode::GroundBoxes) paintGroundBoxOverlay(painter);
    if (m_settings.displayFps) {
        painter.setPen(Qt::yellow);
        const QString text = QString::fromStdString(m_frameRate.text());
        painter.drawText(width() - 8 - painter.fontMetrics().horizontalAdvance(text), 16, text);
    }
}

// ---- notifications ---------------------------------------------------------------------

void CRavokView::OnBarNotification(ViewCommand command, int value) {
    if (m_doc.busy()) return; // the bars wait for the track like the keys do
    if (textureNotification(command, value)) return;
    if (const auto step = ObjectStepOfCommand(command, value)) {
        StepObjects(*step);
        return;
    }
    TerrainModeState& terrain = m_session.terrain;
    switch (command) {
    case ViewCommand::LevelView: m_camera.pitch = 900; break;
    case ViewCommand::LookStraightDown: m_camera.pitch = 1800; break;
    case ViewCommand::Gamma: m_settings.gamma = float(value) / 10.0f, m_texturesChanged = true; break;
    case ViewCommand::ResetRenderer: // also after the Detail Mask check changed
        m_texturesChanged = true;
        m_scene.showTerrainMask(m_doc.track(), m_settings.detailMask);
        rebuildScene();
        break;
    case ViewCommand::GridSize:
        m_camera.gridSize = value;
        rebuildScene();
        break;
    case ViewCommand::TerrainTool:
        terrain.selectTool(TerrainTool(std::clamp(value, 0, 7)));
        toolShown(); // the bar shows the tool's remembered Altitude
        break;
    case ViewCommand::ToolWidth: terrain.tool.width = value; break;
    case ViewCommand::ToolHeight: terrain.tool.height = value; break;
    case ViewCommand::ToolOrientation: terrain.tool.orientation = value; break;
    case ViewCommand::ToolCurvature: terrain.tool.curvature = value; break;
    case ViewCommand::ToolAltitude:
        terrain.setAltitude(value);
        storeEditState();
        // Single-point moves the hovered point once at each change of its step.
        if (terrain.tool.tool == TerrainTool::SinglePoint) applyTerrainToolHere();
        return;
    case ViewCommand::DisplayMode: m_session.displayMode = std::clamp(value, 0, 2); break;
    case ViewCommand::EditMode:
        m_session.setMode(EditMode(std::clamp(value, 0, kEditModeCount - 1)));
        m_hovered.reset();
        m_terrainPoint.reset();
        emit historyChanged(); // Undo and Redo name the steps as before; Paste follows the mode
        break;
    case ViewCommand::CurrentCourse:
        m_session.course.course = std::clamp(value, 0, 4);
        m_session.course.anchor = -1;
        break;
    case ViewCommand::AlwaysShowMain: m_session.course.alwaysShowMain = value != 0; break;
    case ViewCommand::ApplyTexture:
        if (m_session.mode == EditMode::GroundBoxes) PaintSelectedGroundBox();
        return;
    case ViewCommand::GroundBoxPaintMode: setGroundBoxPaint(value); return;
    case ViewCommand::GroundBoxTop:
    case ViewCommand::GroundBoxBottom: ApplyGroundBoxHeights(); return;
    case ViewCommand::PaletteChanged: OnTrackChanged(); break;
    default: return; // the other commands belong to the boxes that send them
    }
    terrain.tool = terrain.tool.corrected();
    storeEditState();
    showCameraStatus();
    update();
}

void CRavokView::toolShown() {
    emit terrainToolChanged(m_session.terrain.tool);
    storeEditState();
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
    if (m_doc.busy()) {
        m_flightTimer.stop();
        return;
    }
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

namespace {

// The key of the event as the view's key table reads it: by key code, never by the text it types.
Key viewKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_Clear: return Key::Clear;
    case Qt::Key_Tab: return Key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_Insert: return Key::Insert;
    case Qt::Key_Shift: return Key::Shift;
    default: break;
    }
    if (key >= Qt::Key_F2 && key <= Qt::Key_F9) return Key(int(Key::F2) + (key - Qt::Key_F2));
    // Qt's codes of the printable keys are their upper-case Latin-1 codes.
    return key > 0 && key < 128 ? Key(key) : Key::None;
}

KeyModifiers modifiersOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers m = event.modifiers();
    return {bool(m & Qt::ShiftModifier), bool(m & Qt::ControlModifier), bool(m & Qt::AltModifier),
            bool(m & Qt::KeypadModifier)};
}

} // namespace

void CRavokView::toggleFlag(ViewFlag which) {
    bool* flags[] = {&m_settings.alwaysShowCourse, &m_settings.alwaysShowObjects, &m_settings.alwaysShowGroundBoxes,
                     &m_settings.showWater, &m_settings.showBackdrop};
    bool& flag = *flags[int(which)];
    flag = !flag;
    emit flagsChanged();
    update();
}

bool CRavokView::focusNextPrevChild(bool next) {
    // Tab belongs to the tools in the view, not to the focus chain.
    if (m_session.mode == EditMode::Terrain || m_session.mode == EditMode::Objects) return false;
    return QWidget::focusNextPrevChild(next);
}

void CRavokView::keyPressEvent(QKeyEvent* event) {
    const Key key = CanonicalKey(viewKeyOf(*event), modifiersOf(*event));
    if (key == Key::Shift) m_keys.fast = true;
    const ViewKeyResult result = ResolveViewKey(m_session.mode, key, modifiersOf(*event),
                                                m_session.terrain.tool.tool == TerrainTool::SinglePoint,
                                                m_settings.objectXYInSitUnits);
    if (result.action == ViewKeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (result.oncePerTick && !m_session.oneShotKeys[key].take(m_clock.elapsed())) return;
    applyKey(result, key, event->isAutoRepeat());
}

void CRavokView::applyKey(const ViewKeyResult& result, Key key, bool autoRepeat) {
    TerrainModeState& terrain = m_session.terrain;
    switch (result.action) {
    case ViewKeyAction::Fly:
        SetFlightKey(m_keys, key, true);
        if (!autoRepeat && !m_flightTimer.isActive()) {
            m_sinceTick.invalidate();
            m_flightTimer.start();
            onFlightTick();
        }
        return;
    case ViewKeyAction::LookNorth: m_camera.yaw = 0; break;
    case ViewKeyAction::LevelView: m_camera.pitch = 900; break;
    case ViewKeyAction::ApplyTerrainTool: ApplyTerrainTool(); return;
    case ViewKeyAction::SinglePointRaise:
    case ViewKeyAction::SinglePointLower: {
        // At most one application per 55 ms tick however fast the key repeats.
        if (!m_hovered || !CanEditTerrain(m_doc.track()) || !m_session.oneShotKeys[key].take(m_clock.elapsed()))
            return;
        const int step = result.action == ViewKeyAction::SinglePointRaise ? terrain.tool.altitude : -terrain.tool.altitude;
        if (!ApplySinglePoint(m_doc.track(), *m_hovered, step, terrain.undoScratch).empty()) terrainChanged("Move Point");
        return;
    }
    case ViewKeyAction::AltitudeUp:
    case ViewKeyAction::AltitudeDown:
        terrain.setAltitude(terrain.tool.altitude + (result.action == ViewKeyAction::AltitudeUp ? 1 : -1));
        toolShown();
        return;
    case ViewKeyAction::NextOrientation:
        terrain.tool.orientation = (terrain.tool.orientation + 1) % (kMaxOrientation + 1);
        toolShown();
        return;
    case ViewKeyAction::CurvatureUp:
    case ViewKeyAction::CurvatureDown:
        terrain.tool.curvature = std::clamp(terrain.tool.curvature + (result.action == ViewKeyAction::CurvatureUp ? 1 : -1),
                                            0, kMaxCurvature);
        toolShown();
        return;
    case ViewKeyAction::FillTextures: FillTextures(m_doc.selectedTexture()); return;
    case ViewKeyAction::RotateTextures: RotateTextures(); return;
    case ViewKeyAction::RotateTextureArea: RotateTextureArea(); return;
    case ViewKeyAction::MirrorTextures: MirrorTextures(); return;
    case ViewKeyAction::MirrorTextureArea: MirrorTextureArea(); return;
    case ViewKeyAction::ObjectStep: StepObjects(result.objectStep); return;
    case ViewKeyAction::NextObject: SelectNextObject(); return;
    case ViewKeyAction::Insert:
        if (m_session.mode == EditMode::Objects) InsertObjectHere();
        if (m_session.mode == EditMode::Course) InsertSegment();
        if (m_session.mode == EditMode::GroundBoxes) InsertGroundBoxHere();
        return;
    case ViewKeyAction::DeleteOnRelease:
    case ViewKeyAction::PropertiesOnRelease: return; // act on release
    case ViewKeyAction::BoxHeightUp:
    case ViewKeyAction::BoxHeightDown:
        m_session.boxes.bar = StepGroundBoxBar(m_session.boxes.bar, m_session.boxes.keysOnTop,
                                               result.action == ViewKeyAction::BoxHeightUp ? 1 : -1);
        emit groundBoxBarShown(m_session.boxes.bar.top, m_session.boxes.bar.bottom);
        ApplyGroundBoxHeights(); // the selected box takes the bar's values
        return;
    case ViewKeyAction::RotateBoxFace: RotateBoxFace(); return;
    case ViewKeyAction::MirrorBoxFace: MirrorBoxFace(); return;
    case ViewKeyAction::SaveLocation: SaveLocation(); return;
    case ViewKeyAction::ReturnToLocation: ReturnToLocation(); return;
    case ViewKeyAction::LockAltitude: m_flight.altitudeLock = !m_flight.altitudeLock; return;
    case ViewKeyAction::ToggleFlag: toggleFlag(result.flag); return;
    case ViewKeyAction::None: return;
    }
    showCameraStatus();
    update();
}

void CRavokView::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const Key key = CanonicalKey(viewKeyOf(*event), modifiersOf(*event));
    if (key == Key::Shift) m_keys.fast = false;
    const ViewKeyResult result = ResolveViewKey(m_session.mode, key, modifiersOf(*event), false, false);
    if (result.action == ViewKeyAction::DeleteOnRelease) {
        if (m_session.mode == EditMode::Objects) DeleteSelectedObjects();
        if (m_session.mode == EditMode::Course) DeleteSegment();
        if (m_session.mode == EditMode::GroundBoxes) DeleteSelectedGroundBox();
        return;
    }
    if (result.action == ViewKeyAction::PropertiesOnRelease) {
        EditObjectProperties();
        return;
    }
    // A flight key lets go whatever the mode made of it while pressed (S is a flight key nowhere, A everywhere).
    if (!SetFlightKey(m_keys, key, false)) QWidget::keyReleaseEvent(event);
}

void CRavokView::focusOutEvent(QFocusEvent* event) {
    // Keys and buttons released elsewhere never arrive: the flight stops with
    // the focus, and a drag's step is taken now.
    finishDrag();
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
    // A click or Space applies tools 0..6; Single-point moves its point with its keys and its field.
    if (m_session.terrain.tool.tool == TerrainTool::SinglePoint) return false;
    return applyTerrainToolHere();
}

bool CRavokView::applyTerrainToolHere() {
    CTrackPOD& track = m_doc.track();
    TerrainModeState& terrain = m_session.terrain;
    if (m_session.mode != EditMode::Terrain || !m_hovered || !CanEditTerrain(track)) return false;
    const TerrainChange change =
        ravok::ApplyTerrainTool(track, terrain.tool, BuildTerrainBrush(terrain.tool), *m_hovered, terrain.undoScratch);
    if (change.empty()) return false;
    terrainChanged(terrain.stepName());
    return true;
}

void CRavokView::terrainChanged(const std::string& stepName) {
    commitEdit(stepName);
    rebuildScene();
    emit terrainEdited();
    update();
}

bool CRavokView::CopyArea() {
    const TerrainBrush brush = BuildTerrainBrush(m_session.terrain.tool);
    return CopyTerrainArea(m_doc.track(), brush.rw, brush.rh, m_hovered, m_session.terrain.area);
}

bool CRavokView::PasteArea() {
    if (!CanEditTerrain(m_doc.track())) return false;
    if (PasteTerrainArea(m_doc.track(), m_session.terrain.area, m_hovered, m_session.terrain.undoScratch).empty())
        return false;
    terrainChanged("Paste Area");
    return true;
}

void CRavokView::CopyTerrainBitmap() { ravok::SetClipboardDib(ravok::CopyTerrainAsBitmap(m_doc.track())); }

bool CRavokView::PasteTerrainBitmapFromClipboard() {
    if (!CanEditTerrain(m_doc.track())) return false;
    const auto dib = ravok::ClipboardDib();
    TerrainUndo& scratch = m_session.terrain.undoScratch;
    const Outcome outcome = dib ? ravok::PasteTerrainBitmap(m_doc.track(), *dib, scratch)
                                : ravok::PasteTerrainBitmapBlock(m_doc.track(), {}, scratch);
    if (!outcome) {
        m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    terrainChanged("Paste Terrain Bitmap");
    return true;
}

bool CRavokView::AdjustHeights(const AdjustHeightsParams& params) {
    const Outcome outcome = AdjustTerrainHeights(m_doc.track(), params, m_session.terrain.undoScratch);
    if (!outcome) {
        if (!outcome.message.empty()) m_doc.prompter().warn(outcome.message, outcome.caption);
        return false;
    }
    terrainChanged("Adjust Heights");
    return true;
}

bool CRavokView::ReplaceHeights(std::span<const uint8_t> heights) {
    if (!ApplyRandomTerrain(m_doc.track(), heights, m_session.terrain.undoScratch)) return false;
    terrainChanged("Random Terrain");
    return true;
}

// ---- the history -----------------------------------------------------------------------

void CRavokView::commitEdit(const std::string& stepName) {
    if (m_leftButtonDown) {
        // A drag is one step: it is committed when the button goes up.
        m_pendingStep = stepName;
        return;
    }
    EditHistory& history = m_session.history;
    // A change to what the history does not follow (the model table) is no step, but stays unsaved.
    if (!history.commit(stepName, m_doc.track())) history.markUntrackedChange();
    m_doc.setModified(history.isModified());
    emit historyChanged();
}

void CRavokView::OnEditRecorded(const QString& stepName) { commitEdit(stepName.toStdString()); }

void CRavokView::OnDocumentSaved() {
    // The track as saved (its unused sounds dropped) is the state undo comes back to.
    m_session.history.absorb(m_doc.track());
    m_session.history.markSaved();
    emit historyChanged();
}

bool CRavokView::Undo() { return stepHistory(false); }
bool CRavokView::Redo() { return stepHistory(true); }

bool CRavokView::stepHistory(bool forward) {
    EditHistory& history = m_session.history;
    CTrackPOD& track = m_doc.track();
    if (track.podViewMode) return false;
    history.commit("Edit", track); // a change made outside the history is a step of its own
    const std::string name = forward ? history.redoName() : history.undoName();
    const TrackParts parts = forward ? history.redo(track) : history.undo(track);
    if (!parts) return false;
    m_doc.setModified(history.isModified());
    NormaliseSelection(track, m_session.objects.selection);
    if (m_session.boxes.selection.box >= 0 && !track.groundBoxes[size_t(m_session.boxes.selection.box)])
        m_session.boxes.selection = {};
    m_session.course.anchor = -1;
    // Heights, cells and courses live in the terrain mesh and the overlay; only
    // the other parts need every mesh built again.
    const TrackParts inTerrain = uint32_t(TrackPart::Terrain) | uint32_t(TrackPart::Courses);
    if (parts & ~inTerrain)
        OnTrackChanged();
    else
        cellTexturesChanged();
    if (HasPart(parts, TrackPart::Terrain) || HasPart(parts, TrackPart::Courses)) emit terrainEdited();
    emit historyChanged();
    emit m_doc.statusText(QString::fromStdString((forward ? "Redone: " : "Undone: ") + name));
    return true;
}

QString CRavokView::undoText() const {
    const std::string name = m_session.history.undoName();
    return name.empty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo %1").arg(QString::fromStdString(name));
}

QString CRavokView::redoText() const {
    const std::string name = m_session.history.redoName();
    return name.empty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo %1").arg(QString::fromStdString(name));
}

bool CRavokView::Paste() {
    switch (m_session.mode) {
    case EditMode::Terrain: return PasteArea();
    case EditMode::Textures: return PasteTextureArea();
    case EditMode::Objects: return PasteObject();
    case EditMode::GroundBoxes: return PasteBox();
    default: return false;
    }
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
    m_session.course.anchor = PickCourseAnchor(ProjectCourseAnchors(track, m_session.course.course, project), at.x(), at.y());
    m_session.course.truck = m_session.course.anchor < 0 ? PickTruckStart(ProjectTruckStarts(track, project), at.x(), at.y()) : -1;
    update();
}

void CRavokView::courseChanged(const CourseChange& change, const char* stepName) {
    if (!change.changed) return;
    commitEdit(stepName);
    m_session.course.anchor = change.anchor;
    if (change.mapChanged) emit terrainEdited();
    update();
}

bool CRavokView::InsertSegment() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::Course || !CanInsertSegment(track, m_session.course.course, m_session.course.anchor, m_hovered.has_value())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const CourseChange change = InsertCourseSegment(track, m_session.course.course, m_session.course.anchor, pick);
    courseChanged(change, "Insert Segment");
    return change.changed;
}

bool CRavokView::DeleteSegment() {
    if (m_session.mode != ravok::EditMode::Course || !CanEditAnchor(m_doc.track(), m_session.course.course, m_session.course.anchor)) return false;
    const CourseChange change = DeleteCourseSegment(m_doc.track(), m_session.course.course, m_session.course.anchor);
    courseChanged(change, "Delete Segment");
    return change.changed;
}

bool CRavokView::ReverseSegment() {
    if (m_session.mode != ravok::EditMode::Course || !CanEditAnchor(m_doc.track(), m_session.course.course, m_session.course.anchor)) return false;
    const CourseChange change = ReverseCourseSegment(m_doc.track(), m_session.course.course, m_session.course.anchor);
    courseChanged(change, "Reverse Segment");
    return change.changed;
}

bool CRavokView::GenerateFromMain() {
    if (m_session.mode != ravok::EditMode::Course || !CanGenerateFromMain(m_session.course.course)) return false;
    const CourseChange change = GenerateCourseFromMain(m_doc.track(), m_session.course.course);
    courseChanged(change, "Generate from Main");
    return change.changed;
}

bool CRavokView::EditSpeedLimit() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::Course || !CanEditAnchor(track, m_session.course.course, m_session.course.anchor)) return false;
    CSpeedLimitDlg dialog(ShownSpeedLimit(track, m_session.course.course, m_session.course.anchor), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    const CourseChange change = SetSpeedLimit(track, m_session.course.course, m_session.course.anchor, dialog.limit(), dialog.applyToAll());
    courseChanged(change, "Speed Limit");
    return change.changed;
}

bool CRavokView::DeleteAllSegments() {
    if (m_session.mode != ravok::EditMode::Course) return false;
    const CourseChange change = DeleteAllCourseSegments(m_doc.track(), m_session.course.course);
    courseChanged(change, "Delete All Segments");
    return change.changed;
}

// ---- ground boxes ------------------------------------------------------------------------

void CRavokView::PickGroundBoxAt(QPoint at) {
    m_session.boxes.selection = PickGroundBoxFace(boxScreenTriangles(), at.x(), at.y());
    showSelectedBoxHeights();
    if (m_session.boxes.paint) PaintSelectedGroundBox();
    update();
}

void CRavokView::boxesChanged(const GroundBoxChange& change, const char* stepName) {
    if (!change.changed) return;
    commitEdit(stepName);
    OnTrackChanged(); // the box meshes and their neighbours are built again
}

bool CRavokView::InsertGroundBoxHere() {
    CTrackPOD& track = m_doc.track();
    if (m_session.mode != ravok::EditMode::GroundBoxes || !m_hovered || !CanInsertGroundBox(track, m_hovered->x, m_hovered->y)) return false;
    const GroundBoxChange change = InsertGroundBox(track, m_session.boxes.selection, m_hovered->x, m_hovered->y, m_session.boxes.bar, selectedBoxTexture());
    boxesChanged(change, "Insert Ground Box");
    return change.changed;
}

bool CRavokView::DeleteSelectedGroundBox() {
    if (m_session.mode != ravok::EditMode::GroundBoxes || m_session.boxes.selection.box < 0) return false;
    const GroundBoxChange change = DeleteGroundBox(m_doc.track(), m_session.boxes.selection);
    boxesChanged(change, "Delete Ground Box");
    return change.changed;
}

bool CRavokView::ApplyGroundBoxHeights() {
    if (m_session.mode != ravok::EditMode::GroundBoxes || m_session.boxes.selection.box < 0) return false;
    const GroundBoxChange change = SetGroundBoxHeights(m_doc.track(), m_session.boxes.selection, m_session.boxes.bar);
    boxesChanged(change, "Ground Box Heights");
    return change.changed;
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
        if (slot >= 0) ToggleObjectInSelection(track, m_session.objects.selection, slot);
    } else if (!IsObjectSelected(track, m_session.objects.selection, slot)) {
        m_session.objects.selection.selectOnly(slot);
    }
    update();
}

void CRavokView::objectsChanged(const char* stepName) {
    commitEdit(stepName);
    NormaliseSelection(m_doc.track(), m_session.objects.selection);
    update();
}

bool CRavokView::InsertObjectHere() {
    if (m_session.mode != ravok::EditMode::Objects || !CanEditObjects(m_doc.track())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const ObjectInsertResult result = InsertObject(m_doc.track(), m_session.objects.selection, pick);
    if (!result.refusal.empty()) m_doc.prompter().inform(result.refusal.text, result.refusal.caption);
    if (result.slot < 0) return false;
    objectsChanged("Insert Object");
    return true;
}

bool CRavokView::CopyObject() {
    if (m_session.mode != ravok::EditMode::Objects) return false;
    auto copied = ravok::CopyObject(m_doc.track(), m_session.objects.selection);
    if (!copied) return false;
    m_session.objects.clipboard = std::move(copied);
    return true;
}

bool CRavokView::PasteObject() {
    if (m_session.mode != ravok::EditMode::Objects || !m_session.objects.clipboard || !CanEditObjects(m_doc.track())) return false;
    const std::optional<GroundPick> pick = groundUnderMouse();
    const ObjectInsertResult result = ravok::PasteObject(m_doc.track(), m_session.objects.selection, *m_session.objects.clipboard, pick);
    if (!result.refusal.empty()) m_doc.prompter().inform(result.refusal.text, result.refusal.caption);
    if (result.slot < 0) return false;
    objectsChanged("Paste Object");
    return true;
}

int CRavokView::DeleteSelectedObjects() {
    if (!CanEditObjects(m_doc.track())) return 0;
    const int deleted = ravok::DeleteSelectedObjects(m_doc.track(), m_session.objects.selection, m_doc.prompter());
    if (deleted > 0) objectsChanged("Delete Objects");
    return deleted;
}

void CRavokView::SelectNextObject() {
    std::vector<int> drawn;
    const std::vector<ScreenPoint> points = projectedObjects();
    for (size_t slot = 0; slot < points.size(); ++slot)
        if (points[slot].visible) drawn.push_back(int(slot));
    m_session.objects.selection.selectOnly(NextDrawnObject(drawn, m_session.objects.selection.current));
    update();
}

void CRavokView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() == Qt::MiddleButton) {
        m_turnDragFrom = event->position().toPoint();
        return;
    }
    m_pressed.start();
    if (event->button() == Qt::LeftButton) m_leftButtonDown = true;
    if (m_session.mode == EditMode::Textures) textureMousePress(event);
    if (event->button() == Qt::LeftButton) {
        switch (m_session.mode) {
        case EditMode::Terrain: ApplyTerrainTool(); break;
        case EditMode::Objects: objectMousePress(event); break;
        case EditMode::Course: PickCourseAt(event->position().toPoint()); break;
        case EditMode::GroundBoxes: PickGroundBoxAt(event->position().toPoint()); break;
        default: break;
        }
    }
    QWidget::mousePressEvent(event);
}

void CRavokView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        m_turnDragFrom.reset();
        return;
    }
    if (m_session.mode == EditMode::Objects && event->button() == Qt::LeftButton) objectMouseRelease(event);
    m_pressed.invalidate();
    if (event->button() == Qt::LeftButton) finishDrag();
    QWidget::mouseReleaseEvent(event);
}

void CRavokView::finishDrag() {
    m_leftButtonDown = false;
    if (!m_pendingStep) return;
    const std::string name = *m_pendingStep;
    m_pendingStep.reset();
    commitEdit(name);
}

void CRavokView::wheelEvent(QWheelEvent* event) {
    const CTrackPOD& track = m_doc.track();
    const bool fast = event->modifiers() & Qt::ShiftModifier;
    if (FlyByWheel(m_camera, event->angleDelta().y(), fast, m_flight.altitudeLock,
                   [&track](int x, int y) { return track.terrain.height(x / 64, y / 64); })) {
        rebuildScene();
        showCameraStatus();
        update();
    }
    event->accept();
}

void CRavokView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::RightButton) return;
    if (m_turnDragFrom && (event->buttons() & Qt::MiddleButton)) {
        const QPoint at = event->position().toPoint();
        const QPoint moved = at - *m_turnDragFrom;
        m_turnDragFrom = at;
        if (TurnByDrag(m_camera, moved.x(), moved.y())) {
            showCameraStatus();
            update();
        }
        return;
    }
    const FrameBuffer frame = pickingFrame();
    const int mx = int(event->position().x() * frame.width / std::max(1, width()));
    const int my = int(event->position().y() * frame.height / std::max(1, height()));
    const TerrainWindow window = m_scene.window();
    const CameraMatrix camera = CameraMatrixOf(m_camera);
    const int vertex = PickWindowVertex(m_doc.track(), window, camera, frame, mx, my);
    const auto square = HoveredSquare(vertex, window);
    m_terrainPoint = TerrainPointNearVertex(m_doc.track(), window, camera, frame, vertex, mx, my);
    if (m_session.mode == EditMode::Objects) objectMouseMove(event, square ? groundUnderMouse() : std::nullopt);
    if (m_session.mode == EditMode::Course) courseMouseMove(event, square.has_value());
    if (square != m_hovered) {
        m_hovered = square;
        followTextureCursor();
        if (square) emit positionText(QStringLiteral("%1, %2").arg(square->x).arg(square->y));
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void CRavokView::courseMouseMove(QMouseEvent* event, bool overTerrain) {
    CourseModeState& course = m_session.course;
    if (!(event->buttons() & Qt::LeftButton)) {
        // The anchor or truck start under the mouse is the one Delete, Insert and the Course menu act on.
        const int anchor = course.anchor, truck = course.truck;
        PickCourseAt(event->position().toPoint());
        if (anchor != course.anchor || truck != course.truck) update();
        return;
    }
    if (!m_pressed.isValid() || m_pressed.elapsed() < 200 || !overTerrain || !CanEditCourses(m_doc.track())) return;
    const auto pick = groundUnderMouse();
    if (!pick) return;
    if (course.anchor >= 0) {
        courseChanged(DragCourseAnchor(m_doc.track(), course.course, course.anchor, *pick), "Move Course Point");
    } else if (course.truck >= 0 && DragTruckStart(m_doc.track(), course.truck, *pick)) {
        commitEdit("Move Truck Start");
        update();
    }
}
