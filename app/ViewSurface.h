#pragma once

#include "art/Palette.h"

#include <QImage>

#include <array>
#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;
class QPainter;

namespace ravok {
struct FrameBuffer;
}

// The OpenGL context the track view draws its frames in: offscreen, into a
// frame buffer read back into an image that the view paints like a software
// frame. Showing a frame so costs one read and one copy, where a surface
// composed with the window's other widgets costs two full-window passes and a
// swap. Where OpenGL is not available there is none, and the view paints the
// software renderer's frame.
class CViewSurface {
  public:
    CViewSurface();
    ~CViewSurface();
    CViewSurface(const CViewSurface&) = delete;
    CViewSurface& operator=(const CViewSurface&) = delete;

    // Whether this process can make an OpenGL context current; asked once.
    static bool OpenGLAvailable();

    enum class Begin { Failed, Ready, NewContext };
    // Makes the context current with a frame buffer of the size bound.
    // NewContext: the context was made for this frame (the first, or after
    // the old one was lost), so nothing held for the old one is valid.
    Begin begin(QSize size);
    // Reads the frame drawn (rows top first) and releases the context.
    const QImage& finish();
    bool makeCurrent();
    void doneCurrent();
    // Lets the context go as a lost one goes, without the renderer's
    // clean-up: the next frame makes a new one.
    void dropContext();
    QOpenGLContext* context() const { return m_context.get(); }

  private:
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_frame;
    QImage m_image;
};

// Shows the software renderer's 8-bit frame: indices through a colour table
// into one kept image, drawn unscaled when the frame has the target's size.
class CSoftwareFramePresenter {
  public:
    void present(const ravok::FrameBuffer& frame, const ravok::PaletteColours& palette, QPainter& painter,
                 const QRect& target);

  private:
    QImage m_image;
    std::array<QRgb, 256> m_table{};
};

// The track palette as the display shows it, through the view's gamma.
ravok::PaletteColours DisplayPalette(const ravok::TrackPalette& palette, float gamma);
