#include "render/gl/SwapInterval.h"

#include <QGuiApplication>
#include <QOpenGLContext>

#include <cstring>

#ifdef _WIN32

bool SetPlatformSwapInterval(QOpenGLContext& context, quintptr, int interval) {
    using SwapInterval = int(__stdcall*)(int);
    const auto set = reinterpret_cast<SwapInterval>(context.getProcAddress("wglSwapIntervalEXT"));
    return set && set(interval);
}

#else

bool SetPlatformSwapInterval(QOpenGLContext& context, quintptr window, int interval) {
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display() || !window) return false;
    // GLX hands out an entry point for any name: ask the display what it offers first.
    using QueryExtensions = const char* (*)(Display*, int);
    using SwapInterval = void (*)(Display*, unsigned long, int);
    const auto query = reinterpret_cast<QueryExtensions>(context.getProcAddress("glXQueryExtensionsString"));
    const auto set = reinterpret_cast<SwapInterval>(context.getProcAddress("glXSwapIntervalEXT"));
    const char* offered = query ? query(x11->display(), 0) : nullptr;
    if (!set || !offered || !std::strstr(offered, "GLX_EXT_swap_control")) return false;
    set(x11->display(), static_cast<unsigned long>(window), interval);
    return true;
#else
    (void)context, (void)window, (void)interval;
    return false;
#endif
}

#endif
