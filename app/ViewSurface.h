#pragma once

#include "art/Palette.h"

#include <QImage>
#include <QOpenGLWidget>

#include <array>

class CRavokView;
class QPainter;

namespace ravok {
struct FrameBuffer;
}

// The OpenGL surface the track view draws on: a child filling the view that
// hands its context set-up and every repaint to the view. Mouse and keyboard
// go past it to the view. Where OpenGL is not available there is no surface
// and the view paints the software renderer's frame itself.
class CViewSurface final : public QOpenGLWidget {
  public:
    explicit CViewSurface(CRavokView& view);

    // Whether this process can make an OpenGL context current; asked once.
    static bool OpenGLAvailable();

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    CRavokView& m_view;
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
