// The host stand-in's alert windows: markup split into normal and bold runs,
// and the runs word-wrapped into the window's body.

#include "alert_window.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::pair<std::string, bool>> flat(const std::vector<AlertRun>& runs) {
    std::vector<std::pair<std::string, bool>> out;
    for (const AlertRun& run : runs)
        out.emplace_back(run.text, run.bold);
    return out;
}

struct Placed {
    std::string text;
    bool bold;
    int line;
    int x;
    bool operator==(const Placed& other) const {
        return text == other.text && bold == other.bold && line == other.line && x == other.x;
    }
};

std::ostream& operator<<(std::ostream& out, const Placed& placed) {
    return out << "{\"" << placed.text << "\", " << placed.bold << ", line " << placed.line << ", x "
               << placed.x << "}";
}

// One pixel a character, two in bold, so widths are easy to follow.
std::vector<Placed> layout(const std::string& markup, int width) {
    const AlertMeasure measure = [](const std::string& text, bool bold) {
        return static_cast<int>(text.size()) * (bold ? 2 : 1);
    };
    std::vector<Placed> out;
    for (const AlertPiece& piece : layoutAlertRuns(alertRuns(markup), width, measure))
        out.push_back(Placed{piece.text, piece.bold, piece.line, piece.x});
    return out;
}

using Runs = std::vector<std::pair<std::string, bool>>;

TEST(AlertRuns, BoldInsideBTagsAndNormalElsewhere) {
    EXPECT_EQ(flat(alertRuns("Share <b>Public</b> entered by <b>alice (localhost)</b>.")),
              (Runs{{"Share ", false},
                    {"Public", true},
                    {" entered by ", false},
                    {"alice (localhost)", true},
                    {".", false}}));
    EXPECT_EQ(flat(alertRuns("<B>loud</B> quiet")), (Runs{{"loud", true}, {" quiet", false}}));
    EXPECT_TRUE(alertRuns("").empty());
    EXPECT_TRUE(alertRuns("<b></b>").empty());
}

TEST(AlertRuns, OtherTagsDroppedUnclosedBoldRunsOnStrayCloseIgnored) {
    EXPECT_EQ(flat(alertRuns("a<i>b</i><br>c<font color=red>d</font>")), (Runs{{"abcd", false}}));
    EXPECT_EQ(flat(alertRuns("a<b>b</i>c")), (Runs{{"a", false}, {"bc", true}}));
    EXPECT_EQ(flat(alertRuns("a</b>b<b>c")), (Runs{{"ab", false}, {"c", true}}));
    EXPECT_EQ(flat(alertRuns("<b><b>x</b>y</b>z")), (Runs{{"xy", true}, {"z", false}}));
    EXPECT_EQ(flat(alertRuns("<br>b<bold>c")), (Runs{{"bc", false}}));
    EXPECT_EQ(flat(alertRuns("1 > 0 <b")), (Runs{{"1 > 0 ", false}}));
}

TEST(AlertRuns, TogetherTheyAreThePlainText) {
    for (const char* markup : {"Share <b>Public</b> entered by <b>alice</b>.", "a<b>b<i>c</i></b>d</b>e",
                               "x<y", "<b>x>y</b> <<b>>", "no tags at all"}) {
        std::string joined;
        for (const AlertRun& run : alertRuns(markup))
            joined += run.text;
        EXPECT_EQ(joined, plainAlertText(markup)) << markup;
    }
}

TEST(AlertLayout, WrapsAtBlanksAndDropsTheBlankAtTheWrap) {
    EXPECT_EQ(layout("aaa bbb ccc", 8),
              (std::vector<Placed>{{"aaa bbb", false, 0, 0}, {"ccc", false, 1, 0}}));
    EXPECT_EQ(layout("aaa bbb ccc", 11), (std::vector<Placed>{{"aaa bbb ccc", false, 0, 0}}));
    EXPECT_EQ(layout("aaa   bbb", 5), (std::vector<Placed>{{"aaa", false, 0, 0}, {"bbb", false, 1, 0}}));
}

TEST(AlertLayout, BoldPiecesSitAfterWhatPrecedesThemAndWordsSpanWeights) {
    EXPECT_EQ(layout("by <b>al ex</b>.", 40),
              (std::vector<Placed>{{"by ", false, 0, 0}, {"al ex", true, 0, 3}, {".", false, 0, 13}}));
    // "ex." is one word: it moves to the next line whole.
    EXPECT_EQ(layout("by <b>al ex</b>.", 10),
              (std::vector<Placed>{
                  {"by ", false, 0, 0}, {"al", true, 0, 3}, {"ex", true, 1, 0}, {".", false, 1, 4}}));
}

TEST(AlertLayout, WordsWiderThanALineBreakAtTheRightEdge) {
    EXPECT_EQ(layout("abcdefghijklmno", 6),
              (std::vector<Placed>{{"abcdef", false, 0, 0}, {"ghijkl", false, 1, 0}, {"mno", false, 2, 0}}));
    EXPECT_EQ(layout("ab <b>cdefg</b>", 7),
              (std::vector<Placed>{{"ab", false, 0, 0}, {"cde", true, 1, 0}, {"fg", true, 2, 0}}));
    // Narrower than one character: still one a line, and it ends.
    EXPECT_EQ(layout("<b>ab</b>", 1), (std::vector<Placed>{{"a", true, 0, 0}, {"b", true, 1, 0}}));
}

TEST(AlertLayout, NewlinesBreakAndKeepTheNextLinesIndent) {
    EXPECT_EQ(layout("ab\r\n  cd\n\nef", 20),
              (std::vector<Placed>{{"ab", false, 0, 0}, {"  cd", false, 1, 0}, {"ef", false, 3, 0}}));
}

TEST(AlertWindow, ShowsThePlainTextAsItsTitleAndPaints) {
    HWND window = openAlertWindow("Share <b>Public</b> entered by <b>alice (localhost)</b>.", 0);
    ASSERT_NE(window, nullptr);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Share Public entered by alice (localhost).");
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_TRUE(UpdateWindow(window));
    closeAlertWindow(window);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
