// Letters set as a word processor sets them: line spacing, space at the top
// of a page, landscape sections, page fields after tabs, double borders and
// lines exactly as wide as the text area. Each case prints a small document
// on the recording device and compares with what a word processor does.
#include <gtest/gtest.h>

#include "printed.h"

using namespace lagrull;

namespace {

// The baseline of the first text drawn so, -1 when none was.
int baseline(const Printed& p, const std::string& text) {
    const auto all = p.all(text);
    return all.empty() ? -1 : all.front()->baseline;
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
    EXPECT_EQ(baseline(p, "B") - baseline(p, "A"), single);
    EXPECT_EQ(baseline(p, "D") - baseline(p, "C"), single * 3 / 2);  // 1.5 lines
    EXPECT_EQ(baseline(p, "F") - baseline(p, "E"), 300);             // exactly
    EXPECT_EQ(baseline(p, "H") - baseline(p, "G"), single);          // at least 10 points
    EXPECT_EQ(baseline(p, "J") - baseline(p, "I"), 400);             // at least 20 points
    // the gap lies above the text: the first baseline is ascent and gap down
    EXPECT_EQ(baseline(p, "A"), 1440 + 192 + 36);
}

// With 1.5 or double spacing a word processor keeps the first line's text
// where single spacing puts it and adds the extra height below each line;
// a line set "at least" higher gets it above.
TEST(WordProcessorLayout, MultipleSpacingAddsItsExtraBelowTheText) {
    Printed p;
    p.print(
        "{\\rtf1\\fs24\\pard\\sl480\\slmult1 A\\line B\\par\\pard C\\par"
        "\\pard\\sl480 D\\par}");
    EXPECT_EQ(baseline(p, "A"), 1440 + 192);
    EXPECT_EQ(baseline(p, "B") - baseline(p, "A"), 480);
    EXPECT_EQ(baseline(p, "C") - baseline(p, "B"), 480);
    EXPECT_EQ(baseline(p, "D") - baseline(p, "C"), 48 + 480 - 48);
}

// An empty paragraph is as tall as the font of its paragraph mark, here 24
// points, not as a default font.
TEST(WordProcessorLayout, AnEmptyParagraphTakesTheHeightOfItsMark) {
    Printed p;
    p.print("{\\rtf1\\fs24 A\\par\\fs48\\par\\fs24 B\\par}");
    EXPECT_EQ(baseline(p, "B") - baseline(p, "A"), 48 + 480 + 192);
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

// A heading with space before that the text pushes onto page 2 starts at
// the top margin in a word processor: the space is dropped. After an
// explicit page break, and on the first page, the space is kept.
TEST(WordProcessorLayout, SpaceBeforeIsDroppedAtTheTopOfAPageTheTextRanOnto) {
    std::string rtf = "{\\rtf1\\fs24\\pard\\sb240 Start\\par\\pard ";
    for (int i = 1; i <= 56; ++i) rtf += "L" + std::to_string(i) + "\\par ";
    rtf += "\\pard\\sb240 Overskrift\\par\\pard Tekst\\par\\pard\\pagebb\\sb240 Etter\\par}";
    Printed p;
    p.print(rtf);
    // "Start" and 56 lines fill the 13958 twips between the margins but for 38
    EXPECT_EQ(p.sheetOf("L56"), 1);
    EXPECT_EQ(p.sheetOf("Overskrift"), 2);
    EXPECT_EQ(baseline(p, "Start"), 1440 + 240 + 192);
    EXPECT_EQ(baseline(p, "Overskrift"), 1440 + 192);
    EXPECT_EQ(baseline(p, "Tekst"), 1440 + 240 + 192);
    EXPECT_EQ(p.sheetOf("Etter"), 3);
    EXPECT_EQ(baseline(p, "Etter"), 1440 + 240 + 192);
}

// Keep-with-next carries a heading to the next page with its paragraph;
// the heading, first on that page, loses its space before as well.
TEST(WordProcessorLayout, SpaceBeforeOfAKeptHeadingIsDroppedOnTheNewPage) {
    std::string rtf = "{\\rtf1\\fs24\\pard ";
    for (int i = 1; i <= 56; ++i) rtf += "L" + std::to_string(i) + "\\par ";
    rtf += "\\pard\\keepn\\sb240 Overskrift\\par\\pard\\sb120 Tekst\\line to\\par}";
    Printed p;
    p.print(rtf);
    EXPECT_EQ(p.sheetOf("Overskrift"), 2);
    EXPECT_EQ(baseline(p, "Overskrift"), 1440 + 192);
    EXPECT_EQ(baseline(p, "Tekst"), 1440 + 240 + 120 + 192);
}

// A later section that turns landscape with the document's words instead of
// the section's: word processors print it on a landscape page as they do
// with "lndscpsxn\pgwsxn\pghsxn".
TEST(WordProcessorLayout, DocumentPageWordsInALaterSectionTurnItLandscape) {
    std::string lines;
    for (int i = 1; i <= 40; ++i) lines += "L" + std::to_string(i) + "\\par ";
    for (const std::string words :
         {"\\landscape\\paperw16838\\paperh11906\\margl1134\\margr1134",
          "\\lndscpsxn\\pgwsxn16838\\pghsxn11906\\marglsxn1134\\margrsxn1134"}) {
        std::string rtf =
            "{\\rtf1\\paperw11906\\paperh16838\\margl1800\\margr1800\\fs24{\\header\\qr Topp\\par}"
            "Portrett\\par\\sect\\sectd\\sbkpage";
        rtf += words;
        rtf += " ";
        rtf += lines;
        rtf += "}";
        Printed p;
        p.print(rtf);
        EXPECT_EQ(p.sheetOf("L1"), 2) << words;
        // the header of the first section goes on with the second, right
        // aligned on each page's own width
        const auto topp = p.all("Topp");
        ASSERT_EQ(topp.size(), 3u) << words;
        EXPECT_EQ(topp[0]->sheet, 1) << words;
        EXPECT_EQ(topp[0]->x, 1800 + 8306 - 480) << words;
        EXPECT_EQ(topp[1]->x, 1134 + 14570 - 480) << words;
        EXPECT_EQ(p.count("ResetDC orientation=2 paper=9 bin=0"), 1) << words;
        EXPECT_EQ(p.all("Portrett")[0]->x, 1800) << words;
        EXPECT_EQ(p.all("L1")[0]->x, 1134) << words;
        // 37 lines of 12 points fill the 9026 twips of the landscape page
        EXPECT_EQ(p.sheetOf("L37"), 2) << words;
        EXPECT_EQ(p.sheetOf("L38"), 3) << words;
    }
}

// "Side 1" on a right tab stop ends on the stop in a word processor, with
// the field measured by the number it shows; so do "Side 1 av 2" with two
// fields and "chpgn". A centred stop centres the text as drawn, and a left
// stop keeps the start while the text after a field closes up.
TEST(WordProcessorLayout, PageFieldsAfterATabAreMeasuredAsShown) {
    Printed p;
    // each character is 120 twips wide at 12 points
    p.print(
        "{\\rtf1\\fs24\\pard\\tqr\\tx9000\\tab Side {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par"
        "\\pard\\tqr\\tx9000\\tab Ark {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} av "
        "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par"
        "\\pard\\tqr\\tx9000\\tab Blad \\chpgn\\par"
        "\\pard\\tqc\\tx4500\\tab Midt \\chpgn\\par"
        "\\pard\\tx2000\\tab Venstre \\chpgn .\\par}");
    const auto at = [&p](const std::string& text, int nth = 0) {
        return p.all(text).at(static_cast<std::size_t>(nth))->x;
    };
    EXPECT_EQ(at("Side "), 1800 + 9000 - 6 * 120);
    EXPECT_EQ(at("1"), 1800 + 9000 - 120);
    EXPECT_EQ(at("Ark "), 1800 + 9000 - 10 * 120);
    EXPECT_EQ(at(" av "), 1800 + 9000 - 5 * 120);
    EXPECT_EQ(at("1", 2), 1800 + 9000 - 120);
    EXPECT_EQ(at("Blad "), 1800 + 9000 - 6 * 120);
    EXPECT_EQ(at("Midt "), 1800 + 4500 - 3 * 120);
    EXPECT_EQ(at("Venstre "), 1800 + 2000);
    EXPECT_EQ(at("."), 1800 + 2000 + 9 * 120);  // the blank ends the control word
}

// Right-aligned and centred lines are aligned by the number as drawn.
TEST(WordProcessorLayout, AlignedLinesWithAPageFieldAreAlignedAsDrawn) {
    Printed p;
    p.print("{\\rtf1\\fs24\\pard\\qr Side \\chpgn\\par\\pard\\qc Side \\chpgn\\par}");
    EXPECT_EQ(p.all("Side ")[0]->x, 1800 + 8306 - 6 * 120);
    EXPECT_EQ(p.all("Side ")[1]->x, 1800 + (8306 - 6 * 120) / 2);
}

// A double border ("brdrdb") is two lines in a word processor, each as wide
// as the border's width with a gap as wide between: for a paragraph's top
// border and for each edge of a table cell. The paragraph's text is set
// below its border, which takes three times its width.
TEST(WordProcessorLayout, DoubleBordersAreTwoLines) {
    Printed p;
    p.print(
        "{\\rtf1\\fs24\\pard\\brdrt\\brdrdb\\brdrw20 Avsnitt\\par"
        "\\trowd\\clbrdrt\\brdrdb\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\cellx3000"
        "\\pard\\intbl Celle\\cell\\row}");
    // the paragraph's border runs from 1440 to 1500, the row starts at 1740
    const auto has = [&p](const std::string& shape) {
        return std::find(p.r().shapes.begin(), p.r().shapes.end(), shape) != p.r().shapes.end();
    };
    EXPECT_TRUE(has("1 line 1800,1450,10106,1450 w20"));
    EXPECT_TRUE(has("1 line 1800,1490,10106,1490 w20"));
    EXPECT_TRUE(has("1 line 1800,1730,4800,1730 w10"));
    EXPECT_TRUE(has("1 line 1800,1750,4800,1750 w10"));
    // a single edge stays one line; the row is 240 and its border's 30 tall
    EXPECT_TRUE(has("1 line 1800,1740,1800,2010 w10"));
    EXPECT_EQ(p.r().shapes.size(), 5u);
    EXPECT_EQ(baseline(p, "Avsnitt"), 1440 + 60 + 192);
}

// A line exactly as wide as the text area fits in a word processor, and so
// does one a twip or two wider by the fractions of the font's advances
// (42 characters of Courier 18 points on 9072 twips measure 9073); one
// clearly wider breaks.
TEST(WordProcessorLayout, ALineAsWideAsTheTextAreaFits) {
    const std::string fifty =
        "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ";  // 9000 at 18 pt
    for (const auto& [rightMargin, fits] : std::vector<std::pair<int, bool>>{
             {1453, true}, {1454, true}, {1455, true}, {1456, false}}) {
        Printed p;
        p.print("{\\rtf1\\margl1453\\margr" + std::to_string(rightMargin) + "\\fs36 " + fifty +
                "\\par}");
        EXPECT_EQ(p.all(fifty).size(), fits ? 1u : 0u) << rightMargin;
        EXPECT_EQ(p.r().texts.size(), fits ? 1u : 2u) << rightMargin;
    }
}

// A word processor sets a table row's text below the row's top border, so
// each bordered row is as much taller as its border is wide (a double
// border three times its width): 60 bordered rows take more than a page.
TEST(WordProcessorLayout, ATopBorderAddsItsWidthToTheRow) {
    const std::string single = "\\trowd\\clbrdrt\\brdrs\\brdrw20\\cellx3000\\pard\\intbl ";
    const std::string doubled = "\\trowd\\clbrdrt\\brdrdb\\brdrw10\\cellx3000\\pard\\intbl ";
    Printed p;
    p.print("{\\rtf1\\fs24 " + single + "A\\cell\\row " + doubled + "B\\cell\\row " +
            "\\trowd\\cellx3000\\pard\\intbl C\\cell\\row\\pard D\\par}");
    EXPECT_EQ(baseline(p, "A"), 1440 + 20 + 192);
    EXPECT_EQ(baseline(p, "B") - baseline(p, "A"), 240 + 30);
    EXPECT_EQ(baseline(p, "C") - baseline(p, "B"), 240);
    EXPECT_EQ(baseline(p, "D") - baseline(p, "C"), 240);
}

// A paragraph's space after need not fit on the page: its last line still
// goes at the foot of the page, as in a word processor.
TEST(WordProcessorLayout, SpaceAfterMayHangBelowTheBottomMargin) {
    std::string rtf = "{\\rtf1\\fs24 ";
    for (int i = 1; i <= 57; ++i) rtf += "L" + std::to_string(i) + "\\par ";
    Printed p;
    // 278 twips are left: the line's 240 fit, with its space after 480 would not
    p.print(rtf + "\\pard\\sa240 Siste\\par\\pard Neste\\par}");
    EXPECT_EQ(p.sheetOf("Siste"), 1);
    EXPECT_EQ(p.sheetOf("Neste"), 2);
}

// Widow and orphan control as in a word processor: no line of a paragraph
// is left alone at the foot of a page or at the top of the next. The
// document's "widowctrl" turns it on for every paragraph, "nowidctlpar"
// off for one.
TEST(WordProcessorLayout, WidowControlLeavesNoLineAlone) {
    const auto filled = [](int lines, const std::string& head) {
        std::string rtf = "{\\rtf1" + head + "\\fs24 ";
        for (int i = 1; i <= lines; ++i) rtf += "L" + std::to_string(i) + "\\par ";
        return rtf;
    };
    {  // room for one line: a paragraph of three goes whole to page 2
        Printed p;
        p.print(filled(57, "") + "\\pard\\widctlpar A\\line B\\line C\\par}");
        EXPECT_EQ(p.sheetOf("A"), 2);
    }
    {  // room for three: of four lines two stay, two go
        Printed p;
        p.print(filled(55, "\\widowctrl") + "\\pard A\\line B\\line C\\line D\\par}");
        EXPECT_EQ(p.sheetOf("B"), 1);
        EXPECT_EQ(p.sheetOf("C"), 2);
    }
    {  // without widow control the page is filled
        Printed p;
        p.print(filled(55, "\\widowctrl") + "\\pard\\nowidctlpar A\\line B\\line C\\line D\\par}");
        EXPECT_EQ(p.sheetOf("C"), 1);
        EXPECT_EQ(p.sheetOf("D"), 2);
    }
}
