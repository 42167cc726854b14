#pragma once

#include <string>
#include <string_view>

namespace ravok {

// printf-style formatting into a string of any length.
std::string formatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string upperCase(std::string_view s);
std::string lowerCase(std::string_view s);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace ravok
