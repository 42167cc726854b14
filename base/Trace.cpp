#include "base/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace ravok {
namespace {
std::mutex g_traceMutex;
TraceSink g_traceSink;
} // namespace

TraceSink setTraceSink(TraceSink sink) {
    std::lock_guard lock(g_traceMutex);
    std::swap(g_traceSink, sink);
    return sink;
}

void trace(const char* format, ...) {
    std::lock_guard lock(g_traceMutex);
    if (!g_traceSink) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_traceSink(line);
}

} // namespace ravok
