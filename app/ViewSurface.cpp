#include "app/ViewSurface.h"

#include "app/RavokView.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

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

void CViewSurface::initializeGL() { m_view.initializeGL(); }

void CViewSurface::paintGL() { m_view.paintGL(); }
