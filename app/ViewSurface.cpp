#include "app/ViewSurface.h"

#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"
#include "model/TrackPod.h"

#include <QAction>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPaintEngine>
#include <QPainter>

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

CViewSurface::CViewSurface() = default;

CViewSurface::~CViewSurface() {
    if (m_frame && makeCurrent()) {
        m_frame.reset();
        doneCurrent();
    }
}

bool CViewSurface::makeCurrent() {
    return m_context && m_surface && m_context->makeCurrent(m_surface.get());
}

void CViewSurface::doneCurrent() {
    if (m_context) m_context->doneCurrent();
}

void CViewSurface::dropContext() {
    m_frame.reset();
    m_context.reset();
    m_surface.reset();
}

CViewSurface::Begin CViewSurface::begin(QSize size) {
    Begin made = Begin::Ready;
    if (!m_context || !m_context->isValid() || !makeCurrent()) {
        // None yet, or lost: the frame buffer went with the old context.
        m_frame.reset(); // its handles went with the old context
        m_context = std::make_unique<QOpenGLContext>();
        if (!m_context->create()) return Begin::Failed;
        m_surface = std::make_unique<QOffscreenSurface>();
        m_surface->setFormat(m_context->format());
        m_surface->create();
        if (!makeCurrent()) return Begin::Failed;
        made = Begin::NewContext;
    }
    if (!m_frame || m_frame->size() != size) {
        m_frame.reset();
        m_frame = std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::Depth);
    }
    if (!m_frame->isValid() || !m_frame->bind()) {
        doneCurrent();
        return Begin::Failed;
    }
    return made;
}

const QImage& CViewSurface::finish() {
    const QSize size = m_frame ? m_frame->size() : QSize();
    if (m_image.size() != size) m_image = QImage(size, QImage::Format_RGB32);
    if (m_frame) {
        // Format_RGB32 lies in memory as blue, green, red, alpha bytes.
        m_context->functions()->glReadPixels(0, 0, size.width(), size.height(), GL_BGRA, GL_UNSIGNED_BYTE,
                                             m_image.bits());
        m_frame->release();
    }
    doneCurrent();
    return m_image;
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

namespace {

// The 32-bit image a raster painter draws into (the window's backing store
// when it paints a widget), with the offset of the painter's origin in it;
// none when the painter draws through anything but a plain translation.
QImage* rasterTarget(QPainter& painter, QPoint& offset) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice()) return nullptr;
    if (engine->paintDevice()->devType() != QInternal::Image) return nullptr;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) return nullptr;
    auto* image = static_cast<QImage*>(engine->paintDevice());
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    offset = QPoint(int(transform.dx()), int(transform.dy()));
    return image;
}

} // namespace

void CSoftwareFramePresenter::present(const FrameBuffer& frame, const PaletteColours& palette,
                                      QPainter& painter, const QRect& target) {
    for (size_t i = 0; i < 256; ++i)
        m_table[i] = qRgb(palette[i].r, palette[i].g, palette[i].b);
    auto convert = [&](int y, int x0, int x1, QRgb* out) {
        const uint8_t* in = frame.pixels.data() + size_t(y) * size_t(frame.bytesPerRow());
        for (int x = x0; x < x1; ++x) out[x - x0] = m_table[in[x]];
    };
    // A frame of the target's size goes straight into the surface being
    // painted, within the area the paint may touch: one pass over the pixels.
    QPoint offset;
    QImage* surface = target.size() == QSize(frame.width, frame.height) ? rasterTarget(painter, offset) : nullptr;
    if (surface) {
        const QRect frameOnSurface = QRect(target.topLeft() + offset, target.size()) & surface->rect();
        const QRegion allowed = painter.paintEngine()->systemClip().isEmpty()
                                    ? QRegion(surface->rect())
                                    : painter.paintEngine()->systemClip();
        for (const QRect& rect : allowed & frameOnSurface) {
            const QPoint from = rect.topLeft() - offset - target.topLeft();
            for (int y = 0; y < rect.height(); ++y)
                convert(from.y() + y, from.x(), from.x() + rect.width(),
                        reinterpret_cast<QRgb*>(surface->scanLine(rect.top() + y)) + rect.left());
        }
        return;
    }
    if (m_image.width() != frame.width || m_image.height() != frame.height)
        m_image = QImage(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y)
        convert(y, 0, frame.width, reinterpret_cast<QRgb*>(m_image.scanLine(y)));
    painter.drawImage(target, m_image);
}

void CRavokView::makeSurface() {
    if (!m_surface && CViewSurface::OpenGLAvailable()) m_surface = new CViewSurface;
}

// ---- the view's frame through either renderer --------------------------------------------

bool CRavokView::paintOpenGL(QPainter& painter) {
    makeSurface();
    const int w = int(width() * devicePixelRatio()), h = int(height() * devicePixelRatio());
    if (!m_surface || w <= 0 || h <= 0) return false;
    const CViewSurface::Begin begun = m_surface->begin(QSize(w, h));
    if (begun == CViewSurface::Begin::Failed) return false;
    if (begun == CViewSurface::Begin::NewContext) {
        // Whatever the renderer held belonged to the old context.
        ++m_contextsMade;
        m_gl.forgetContext();
        m_texturesChanged = true;
    }
    m_gl.setTopRowFirst(true);
    // No presenting window: the frame is read back, not swapped, so no swap interval applies.
    const bool drawn = m_gl.beginFrame(context(), w, h, colourOf(m_settings.colors[0]));
    if (drawn) drawOpenGLScene(w, h);
    const QImage& frame = m_surface->finish();
    if (!drawn) return false;
    painter.save();
    painter.scale(1 / devicePixelRatio(), 1 / devicePixelRatio());
    painter.drawImage(QPoint(0, 0), frame);
    painter.restore();
    return true;
}

void CRavokView::drawOpenGLScene(int w, int h) {
    const CTrackPOD& track = m_doc.track();
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
