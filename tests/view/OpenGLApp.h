#pragma once

#include "AppTestSupport.h"

#include <QSurfaceFormat>

#include <cstdlib>

namespace ravok::test {

// The GUI tests' application on the X display (the view's OpenGL needs one),
// asking for what the editor asks for: a compatibility context with a depth buffer.
inline QApplication& openGLApp() {
    static bool formatSet = [] {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setDepthBufferSize(24);
        QSurfaceFormat::setDefaultFormat(format);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        return true;
    }();
    (void)formatSet;
    return app();
}

} // namespace ravok::test
