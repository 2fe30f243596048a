// Letters set as a word processor sets them: line spacing, space at the top
// of a page, landscape sections, page fields after tabs, double borders and
// lines exactly as wide as the text area. Each case prints a small document
// on the recording device and compares with what a word processor does.
#include <gtest/gtest.h>

#include "printed.h"

using namespace lagrull;

namespace {

// The baselines of the texts drawn, in drawing order.
std::vector<int> baselines(const Printed& p, const std::string& text) {
    std::vector<int> out;
    for (const auto* t : p.all(text)) out.push_back(t->baseline);
    return out;
}

}  // namespace

// A word processor spaces single lines by the font's ascent, descent and
// line gap together; "sl" at least, exactly and as a multiple all start
// from that height. With a gap of 0.15 em, 12 points make 13.8 points.
TEST(WordProcessorLayout, LinesAreSpacedByTheFontsOwnLineSpacing) {
    const std::string body = "A\\line B\\par\\pard";
    Printed p;
    p.system.lineGapPerMille = 150;
    p.print("{\\rtf1\\fs24 " + body +
            "\\sl360\\slmult1 C\\line D\\par\\pard\\sl-300 E\\line F\\par" +
            "\\pard\\sl200 G\\line H\\par\\pard\\sl400 I\\line J\\par}");
    const int single = 192 + 48 + 36;
    EXPECT_EQ(baselines(p, "B")[0] - baselines(p, "A")[0], single);
    EXPECT_EQ(baselines(p, "D")[0] - baselines(p, "C")[0], single * 3 / 2);  // 1.5 lines
    EXPECT_EQ(baselines(p, "F")[0] - baselines(p, "E")[0], 300);             // exactly
    EXPECT_EQ(baselines(p, "H")[0] - baselines(p, "G")[0], single);          // at least 10 points
    EXPECT_EQ(baselines(p, "J")[0] - baselines(p, "I")[0], 400);             // at least 20 points
    // the gap lies above the text: the first baseline is ascent and gap down
    EXPECT_EQ(baselines(p, "A")[0], 1440 + 192 + 36);
}

// The line gap moves page breaks: of lines of 13.8 points, 50 fit between
// inch margins on A4, where lines of 12 points would fit 58.
TEST(WordProcessorLayout, TheLineGapMovesThePageBreak) {
    std::string rtf = "{\\rtf1\\fs24 ";
    for (int i = 1; i <= 60; ++i) rtf += "L" + std::to_string(i) + "\\par ";
    Printed p;
    p.system.lineGapPerMille = 150;
    p.print(rtf + "}");
    // (16838 - 2 * 1440) / 276 = 50.6: line 51 starts page 2
    EXPECT_EQ(p.sheetOf("L50"), 1);
    EXPECT_EQ(p.sheetOf("L51"), 2);
}
