#pragma once

#include <optional>
#include <string>
#include <string_view>

// The info pop-up's description: whether there is one, how many lines of the
// game's panel it fills, and the status texts the Track Components dialog shows.
namespace ravok {

// Bytes of the description the game reads; the rest is dropped.
constexpr int kInfoDescriptionLimit = 4095;
// Lines the pop-up panel holds.
constexpr int kInfoPanelLines = 23;

constexpr const char* kInfoTooLongCaption = "Info Description Too Long";

// A description counts when it has a character above the blank.
bool DescriptionPresent(std::string_view text);

// How the text lays out in the panel: the title paragraph in the large font,
// the rest in the small one, each wrapped to the panel's width.
struct InfoLineEstimate {
    int total = 0;      // wrapped lines of the whole text
    int panel = kInfoPanelLines;
    int notFitting = 0; // lines that start below the panel's end
};
InfoLineEstimate EstimateInfoLines(std::string_view text);

// "Description: ..." or "About %d description lines will not fit ...".
std::string DescriptionStatusText(std::string_view text);

// What the dialog's status line says about the info pop-up. `possible` is
// whether the browse picture's name gives an info photo name.
std::string InfoPopupStatusText(bool possible, bool photo, std::string_view description);

// The question OK asks before keeping a description the game will cut, or
// nullopt when the description fits.
std::optional<std::string> InfoDescriptionQuestion(std::string_view text);

} // namespace ravok
