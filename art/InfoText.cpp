#include "art/InfoText.h"

#include "art/InfoTextFont.h"
#include "base/Text.h"

#include <vector>

namespace ravok {

namespace {

// Panel layout, in panel units.
constexpr double kWrapWidth = 1120.0;
constexpr double kFirstLine = 30.0;
constexpr double kPanelEnd = 481.0;
constexpr double kTitlePitch = 27.0;
constexpr double kBodyPitch = 19.0;
constexpr double kEmptyParagraph = 9.5;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Paragraphs end at CR, LF or CR LF.
std::vector<std::string_view> paragraphsOf(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        paragraphs.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

std::vector<std::string_view> wordsOf(std::string_view paragraph) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < paragraph.size()) {
        while (i < paragraph.size() && isBlank(paragraph[i])) ++i;
        const size_t start = i;
        while (i < paragraph.size() && !isBlank(paragraph[i])) ++i;
        if (i > start) words.push_back(paragraph.substr(start, i - start));
    }
    return words;
}

// Greedy wrap: words join the line while they fit; one that does not starts
// the next line (a word wider than the panel has a line of its own).
int wrappedLines(const std::vector<std::string_view>& words, int height) {
    const double space = InfoCharWidth(' ', height);
    int lines = 0;
    double width = 0;
    for (std::string_view word : words) {
        const double w = InfoTextWidth(word, height);
        if (lines > 0 && width + space + w <= kWrapWidth) {
            width += space + w;
        } else {
            ++lines;
            width = w;
        }
    }
    return lines;
}

} // namespace

bool DescriptionPresent(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) > ' ') return true;
    return false;
}

InfoLineEstimate EstimateInfoLines(std::string_view text) {
    InfoLineEstimate estimate;
    double position = kFirstLine;
    bool titleDone = false;
    for (std::string_view paragraph : paragraphsOf(text)) {
        const auto words = wordsOf(paragraph);
        if (words.empty()) {
            position += kEmptyParagraph;
            continue;
        }
        const int height = titleDone ? kInfoBodyFontHeight : kInfoTitleFontHeight;
        const double pitch = titleDone ? kBodyPitch : kTitlePitch;
        titleDone = true;
        for (int n = wrappedLines(words, height); n > 0; --n) {
            if (position >= kPanelEnd) ++estimate.notFitting;
            ++estimate.total;
            position += pitch;
        }
    }
    return estimate;
}

std::string DescriptionStatusText(std::string_view text) {
    if (text.size() > size_t(kInfoDescriptionLimit))
        return formatText("Description: %d bytes; the engine reads only %d.", int(text.size()), kInfoDescriptionLimit);
    const InfoLineEstimate lines = EstimateInfoLines(text);
    if (lines.notFitting == 0) return formatText("Description: about %d of %d lines.", lines.total, lines.panel);
    return formatText("About %d description line%s will not fit in the panel.", lines.notFitting,
                      lines.notFitting == 1 ? "" : "s");
}

std::string InfoPopupStatusText(bool possible, bool photo, std::string_view description) {
    if (!possible) return "No info pop-up possible: the browse bitmap's name must end in S (or T for MTM1).";
    const bool described = DescriptionPresent(description);
    if (photo && described)
        return "Info pop-up ready - the button will appear. " + DescriptionStatusText(description);
    if (photo) return "Photo set. Add a description too, or no button appears.";
    if (described) return "Add a 640x480 photo too, or no button appears. " + DescriptionStatusText(description);
    return "No info pop-up: right-click the photo box to load one, then add a description.";
}

std::optional<std::string> InfoDescriptionQuestion(std::string_view text) {
    if (text.size() > size_t(kInfoDescriptionLimit))
        return formatText("The info description is %d bytes.\n\nThe engine reads only the first %d, so everything "
                          "past that is dropped when the track loads - it will never reach the pop-up at all.\n\n"
                          "Save it anyway?",
                          int(text.size()), kInfoDescriptionLimit);
    const InfoLineEstimate lines = EstimateInfoLines(text);
    if (lines.notFitting == 0) return std::nullopt;
    return formatText("About %d line%s of the info description will not fit in the pop-up panel.\n\nThe panel holds "
                      "about %d lines; this description needs about %d. The end will simply not be shown in game.\n\n"
                      "Save it anyway?",
                      lines.notFitting, lines.notFitting == 1 ? "" : "s", lines.panel, lines.total);
}

} // namespace ravok
