#pragma once

#include <string_view>

// Our metric of the pop-up panel's font: advance widths approximating the
// humanist sans the game draws the info text in, so that the line estimate is
// the same on every platform.
namespace ravok {

// Sizes of the title paragraph and of the body text, in panel units.
constexpr int kInfoTitleFontHeight = 84;
constexpr int kInfoBodyFontHeight = 60;

// Advance width of a character at a font height (panel units).
double InfoCharWidth(unsigned char c, int height);
// Width of a run of characters at a font height.
double InfoTextWidth(std::string_view text, int height);

} // namespace ravok
