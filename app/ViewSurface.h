#pragma once

#include <QOpenGLWidget>

class CRavokView;

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
