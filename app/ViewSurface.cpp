#include "app/ViewSurface.h"

#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include <QAction>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

using namespace ravok;

namespace {

QColor colourOf(const ColourValue& c) {
    return QColor(c.r, c.g, c.b);
}

uint8_t nearestIndex(const TrackPalette& palette, const ColourValue& c) {
    return uint8_t(palette.NearestPaletteIndex(c.r, c.g, c.b));
}

} // namespace

CViewSurface::CViewSurface(CRavokView& view) : QOpenGLWidget(&view), m_view(view) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

bool CViewSurface::OpenGLAvailable() {
    static const bool available = [] {
        // Platforms without OpenGL (a headless platform, a remote display
        // without it) fail here; a window showing an OpenGL widget there
        // would not be drawn at all.
        QOpenGLContext context;
        if (!context.create()) return false;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        const bool current = context.makeCurrent(&surface);
        if (current) context.doneCurrent();
        return current;
    }();
    return available;
}

void CViewSurface::initializeGL() {
    m_view.initializeGL();
}

void CViewSurface::paintGL() {
    m_view.paintGL();
}

PaletteColours DisplayPalette(const TrackPalette& palette, float gamma) {
    PaletteColours out = palette.colours();
    if (gamma <= 0 || std::fabs(gamma - 1.0f) < 1e-3f) return out;
    auto apply = [gamma](uint8_t v) {
        return uint8_t(std::lround(255.0 * std::pow(v / 255.0, 1.0 / gamma)));
    };
    for (RgbColour& c : out)
        c = {apply(c.r), apply(c.g), apply(c.b)};
    return out;
}

void CSoftwareFramePresenter::present(const FrameBuffer& frame, const PaletteColours& palette,
                                      QPainter& painter, const QRect& target) {
    for (size_t i = 0; i < 256; ++i)
        m_table[i] = qRgb(palette[i].r, palette[i].g, palette[i].b);
    if (m_image.width() != frame.width || m_image.height() != frame.height)
        m_image = QImage(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* in = frame.pixels.data() + size_t(y) * size_t(frame.bytesPerRow());
        auto* out = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        for (int x = 0; x < frame.width; ++x)
            out[x] = m_table[in[x]];
    }
    if (target.size() == m_image.size())
        painter.drawImage(target.topLeft(), m_image);
    else
        painter.drawImage(target, m_image);
}

void CRavokView::makeSurface() {
    if (m_surface || !CViewSurface::OpenGLAvailable()) return;
    m_surface = new CViewSurface(*this);
    if (!layout()) {
        auto* fill = new QVBoxLayout(this);
        fill->setContentsMargins(0, 0, 0, 0);
    }
    layout()->addWidget(m_surface);
    m_surface->setVisible(m_settings.useOpenGL);
}

// ---- the view's frame through either renderer --------------------------------------------

void CRavokView::paintOpenGL() {
    const CTrackPOD& track = m_doc.track();
    const int w = int(width() * devicePixelRatio()), h = int(height() * devicePixelRatio());
    if (!m_gl.beginFrame(context(), w, h, colourOf(m_settings.colors[0]), window()->winId())) return;
    if (m_texturesChanged) {
        m_gl.InvalidateTextures();
        m_texturesChanged = false;
    }
    m_gl.setPalette(DisplayPalette(track.palette, m_settings.gamma));
    m_gl.setDisplayMode(m_session.displayMode);
    m_gl.setWireColour(colourOf(wireColour()));
    m_gl.setCamera(m_camera, w / 2, h / 2);
    const bool backdrop = m_settings.showBackdrop && m_scene.backdrop().triangleCount() > 0;
    if (backdrop && !track.stadiumFlag) {
        // The backdrop surrounds the camera and lies behind everything drawn after it.
        const Placement around{double(m_camera.x), double(m_camera.y), double(m_camera.z)};
        m_gl.drawMesh(m_scene.backdrop(), &around, false);
    }
    m_gl.drawTerrain(track, m_scene.window(), m_scene.textures().terrain, m_camera.gridSize >= 256,
                     m_scene.terrainMaskLevels(), m_scene.reliefShades());
    if (backdrop && track.stadiumFlag) {
        const Placement arena{double(track.arenaOriginX) * 64, double(track.arenaOriginY) * 64, 0};
        m_gl.drawMesh(m_scene.backdrop(), &arena);
    }
    if (groundBoxesShown())
        for (const auto& box : m_scene.boxes()) m_gl.drawMesh(*box);
    for (const auto& object : track.objects) {
        if (!object || !objectsShown()) continue;
        const Placement at = ObjectPlacement(*object);
        const Mesh* mesh = m_scene.modelMesh(object->model);
        // "Hide Collider Boxes": the plain blocks that stand for objects without a model.
        if (!mesh && m_settings.hideColliderBoxes) continue;
        m_gl.drawMesh(mesh ? *mesh : plainBlock(*object), &at, true, mesh && m_settings.modelTransparency);
    }
    if (m_settings.showWater) m_gl.drawMesh(m_scene.water());
    if (courseShown())
        m_gl.drawCourse(track, m_scene.window(), m_session.course.course, m_session.course.truck, mainCourseShown());
    m_gl.endFrame();
}

void CRavokView::paintSoftware(QPainter& painter) {
    const CTrackPOD& track = m_doc.track();
    const QSize size = softwareFrameSize();
    if (m_frame.width != size.width() || m_frame.height != size.height())
        m_frame.resize(size.width(), size.height());
    m_softwareSettings = SoftwareRenderSettings::forQuality(int(m_settings.quality));
    // The whole grid reaches past the usual depth.
    if (m_camera.gridSize >= 256) m_softwareSettings.farLimit = 1 << 20;
    if (!m_software) m_software = std::make_unique<SoftwareRenderer>(m_softwareSettings, m_shades);
    SceneOptions options;
    options.showWater = m_settings.showWater;
    options.showPlainBlocks = !m_settings.hideColliderBoxes;
    options.showBackdrop = m_settings.showBackdrop;
    options.showObjects = objectsShown();
    options.showGroundBoxes = groundBoxesShown();
    options.solidTerrain = m_session.displayMode != 1;
    options.wireFrame = m_session.displayMode != 0;
    options.showCourse = courseShown();
    options.selectedCourse = m_session.course.course;
    options.selectedTruck = m_session.course.truck;
    options.showMainCourse = mainCourseShown();
    options.background = nearestIndex(track.palette, m_settings.colors[0]);
    options.wireColour = nearestIndex(track.palette, wireColour());
    m_scene.draw(*m_software, m_frame, track, m_camera, options);
    const QRect target(QPoint(0, 0), this->size() * devicePixelRatio());
    painter.save();
    painter.scale(1 / devicePixelRatio(), 1 / devicePixelRatio());
    m_presenter.present(m_frame, DisplayPalette(track.palette, m_settings.gamma), painter, target);
    painter.restore();
}

void CRavokView::setReliefShading(bool on) {
    m_reliefShading = on;
    if (m_reliefAction) m_reliefAction->setChecked(on);
    if (m_scene.setReliefShading(m_doc.track(), on)) {
        m_texturesChanged = true; // the OpenGL pages hold the old light
        rebuildScene();
    }
    update();
}

QAction* CRavokView::reliefShadingAction() {
    if (!m_reliefAction) {
        m_reliefAction = new QAction(QStringLiteral("Relief Shading"), this);
        m_reliefAction->setCheckable(true);
        m_reliefAction->setChecked(m_reliefShading);
        connect(m_reliefAction, &QAction::toggled, this, &CRavokView::setReliefShading);
    }
    return m_reliefAction;
}
