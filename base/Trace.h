#pragma once

#include <functional>
#include <string>

namespace ravok {

// Diagnostic trace lines of load, save and redraw points. The default sink
// discards everything; tests may install a capturing sink.
using TraceSink = std::function<void(const std::string& line)>;

// Installs a sink (an empty function restores the discarding default) and
// returns the previous one.
TraceSink setTraceSink(TraceSink sink);

// printf-style trace line.
void trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace ravok
