#include "art/InfoTextFont.h"

#include <array>

namespace ravok {

namespace {

// Advance widths in thousandths of the font height for the characters 32..126.
constexpr std::array<short, 95> kAsciiWidths = {
    277, 272, 333, 556, 556, 778, 667, 222, 333, 333, 389, 584, 277, 333, 277, 500, // space .. /
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500,                               // 0 .. 9
    277, 277, 584, 584, 584, 444, 911,                                              // : .. @
    667, 556, 667, 722, 500, 444, 722, 722, 250, 250, 611, 444, 833,                // A .. M
    722, 778, 500, 778, 556, 444, 556, 667, 667, 944, 667, 611, 611,                // N .. Z
    250, 500, 250, 500, 500, 333,                                                   // [ .. `
    444, 500, 389, 500, 444, 278, 444, 500, 222, 222, 444, 222, 778,                // a .. m
    500, 500, 500, 500, 333, 333, 278, 500, 444, 667, 444, 444, 389,                // n .. z
    333, 222, 333, 584,                                                             // { .. ~
};
// Letters outside ASCII (accented letters of the code page) and DEL.
constexpr int kOtherWidth = 500;
constexpr int kTabWidth = 277;

} // namespace

double InfoCharWidth(unsigned char c, int height) {
    int width = 0;
    if (c == '\t')
        width = kTabWidth;
    else if (c >= 32 && c <= 126)
        width = kAsciiWidths[c - 32];
    else if (c >= 127)
        width = kOtherWidth;
    return width * double(height) / 1000.0;
}

double InfoTextWidth(std::string_view text, int height) {
    double width = 0;
    for (char c : text) width += InfoCharWidth(static_cast<unsigned char>(c), height);
    return width;
}

} // namespace ravok
