#pragma once

#include <QtGlobal>

class QOpenGLContext;

// Sets the swap interval (0 free running, 1 wait for the vertical blank) of
// the native window `window` that presents the frames, through the platform's
// swap-control function ("wglSwapIntervalEXT", or "glXSwapIntervalEXT" where
// the display offers it). The context must be current. False where the
// platform has no such function.
bool SetPlatformSwapInterval(QOpenGLContext& context, quintptr window, int interval);
