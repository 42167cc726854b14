#include "art/InfoText.h"

#include "art/InfoTextFont.h"

#include <gtest/gtest.h>

using namespace ravok;

namespace {

// A title and `lines` body paragraphs of one short word each.
std::string titleAndLines(int lines, const std::string& between = "\r\n") {
    std::string text = "Title";
    for (int i = 0; i < lines; ++i) text += between + "line";
    return text;
}

// A word of `n` letters "m", which is wider than most.
std::string word(size_t n) { return std::string(n, 'm'); }

} // namespace

TEST(InfoText, PresenceNeedsACharacterAboveTheBlank) {
    EXPECT_FALSE(DescriptionPresent(""));
    EXPECT_FALSE(DescriptionPresent(" \t\r\n"));
    EXPECT_TRUE(DescriptionPresent("  x"));
    EXPECT_TRUE(DescriptionPresent("\xE9"));
}

TEST(InfoText, LinesPastThePanelEndDoNotFit) {
    // Title at 30, body lines from 57 by 19: the 23rd body line starts at 475,
    // the 24th at 494, past 481.
    auto estimate = EstimateInfoLines(titleAndLines(23));
    EXPECT_EQ(estimate.total, 24);
    EXPECT_EQ(estimate.notFitting, 0);
    EXPECT_EQ(estimate.panel, 23);
    estimate = EstimateInfoLines(titleAndLines(30));
    EXPECT_EQ(estimate.total, 31);
    EXPECT_EQ(estimate.notFitting, 7);
    // An empty paragraph after the title moves the body down by 9.5: one more line is cut.
    estimate = EstimateInfoLines("Title\r\n\r\n" + titleAndLines(30).substr(7));
    EXPECT_EQ(estimate.total, 31);
    EXPECT_EQ(estimate.notFitting, 8);
}

TEST(InfoText, ParagraphsEndAtCrLfOrCrLf) {
    EXPECT_EQ(EstimateInfoLines("T\r\nA\rB\nC").total, 4);
    // CR LF is one break; CR CR makes an empty paragraph, which pushes the
    // last of 23 body lines past the panel's end.
    EXPECT_EQ(EstimateInfoLines(titleAndLines(23)).notFitting, 0);
    EXPECT_EQ(EstimateInfoLines(titleAndLines(22) + "\r\rline").notFitting, 1);
    // The title font goes to the first paragraph that has words.
    const std::string longTitle = "\r\n\r\n" + word(10) + " " + word(10);
    EXPECT_EQ(EstimateInfoLines(longTitle).total, 2) << "two 10-letter words do not fit one title line";
    EXPECT_EQ(EstimateInfoLines("T\r\n" + word(10) + " " + word(10)).total, 2)
        << "but fit one body line";
}

TEST(InfoText, WrapsGreedilyAtBlanksAndTabs) {
    const double space = InfoCharWidth(' ', kInfoBodyFontHeight);
    const double m = InfoCharWidth('m', kInfoBodyFontHeight);
    // As many "mm" words as fit 1120 on the body line.
    int perLine = 0;
    for (double width = 2 * m; width <= 1120.0; width += space + 2 * m) ++perLine;
    std::string body;
    for (int i = 0; i < perLine; ++i) body += (i ? "\t" : "") + word(2);
    EXPECT_EQ(EstimateInfoLines("T\n" + body).total, 2);
    EXPECT_EQ(EstimateInfoLines("T\n" + body + " mm").total, 3);
    EXPECT_EQ(EstimateInfoLines("T\n" + body + "   ").total, 2) << "trailing blanks make no line";
    EXPECT_EQ(EstimateInfoLines("T\nab " + word(200) + " cd").total, 4) << "a word wider than the panel has its own line";
}

TEST(InfoText, DescriptionAndStatusTexts) {
    const std::string tooLong(4096, 'a');
    EXPECT_EQ(DescriptionStatusText(tooLong), "Description: 4096 bytes; the engine reads only 4095.");
    EXPECT_EQ(DescriptionStatusText(titleAndLines(3)), "Description: about 4 of 23 lines.");
    EXPECT_EQ(DescriptionStatusText(titleAndLines(24)), "About 1 description line will not fit in the panel.");
    EXPECT_EQ(DescriptionStatusText(titleAndLines(25)), "About 2 description lines will not fit in the panel.");

    EXPECT_EQ(InfoPopupStatusText(false, true, "text"),
              "No info pop-up possible: the browse bitmap's name must end in S (or T for MTM1).");
    EXPECT_EQ(InfoPopupStatusText(true, true, "Hello"),
              "Info pop-up ready - the button will appear. Description: about 1 of 23 lines.");
    EXPECT_EQ(InfoPopupStatusText(true, true, "  "), "Photo set. Add a description too, or no button appears.");
    EXPECT_EQ(InfoPopupStatusText(true, false, tooLong),
              "Add a 640x480 photo too, or no button appears. Description: 4096 bytes; the engine reads only 4095.");
    EXPECT_EQ(InfoPopupStatusText(true, false, ""),
              "No info pop-up: right-click the photo box to load one, then add a description.");
}

TEST(InfoText, OkAsksAboutWhatTheGameCuts) {
    EXPECT_FALSE(InfoDescriptionQuestion(titleAndLines(23)));
    EXPECT_EQ(InfoDescriptionQuestion(std::string(4096, 'a')),
              "The info description is 4096 bytes.\n\nThe engine reads only the first 4095, so everything past that "
              "is dropped when the track loads - it will never reach the pop-up at all.\n\nSave it anyway?");
    EXPECT_FALSE(InfoDescriptionQuestion(std::string(4095, 'a'))) << "one long word fits in one line";
    EXPECT_EQ(InfoDescriptionQuestion(titleAndLines(24)),
              "About 1 line of the info description will not fit in the pop-up panel.\n\nThe panel holds about 23 "
              "lines; this description needs about 25. The end will simply not be shown in game.\n\nSave it anyway?");
    EXPECT_NE(InfoDescriptionQuestion(titleAndLines(26))->find("About 3 lines of"), std::string::npos);
}
