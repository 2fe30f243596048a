// The RTF table of a grid: page words, widths, styles, texts and escapes.
#include <gtest/gtest.h>

#include "common/error.h"
#include "template/grid/grid_report.h"

using namespace lagrull;
using namespace lagrull::grid;

namespace {

TGridData twoColumns(int first, int second) {
    TGridData g;
    g.columns = {{first, false, true}, {second, true, true}};
    g.rows = {{"Navn", "Beløp"}, {"Kari", "200,00"}};
    return g;
}

bool holds(const std::string& rtf, const std::string& part) {
    return rtf.find(part) != std::string::npos;
}

// The document without the line breaks the writer puts between pieces.
std::string joined(std::string rtf) {
    std::string out;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf.compare(i, 2, "\r\n") == 0) {
            ++i;
            continue;
        }
        out += rtf[i];
    }
    return out;
}

}  // namespace

TEST(GridRtf, PortraitPageAndTitleCell) {
    const std::string rtf = joined(ComponentToRtfStream("Tittel", twoColumns(100, 300), false));
    EXPECT_EQ(
        rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}", 0),
        0u);
    EXPECT_TRUE(holds(
        rtf,
        "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134 \\deftab708 "));
    EXPECT_FALSE(holds(rtf, "\\landscape"));
    EXPECT_TRUE(holds(rtf, "\\pard {\\footer {\\pard \\qc Side \\chpgn}}"));
    // title: white bold 10 points on blue, one cell of the content width
    EXPECT_TRUE(holds(rtf, "{\\colortbl;\\red255\\green255\\blue255;\\red69\\green112\\blue222;"));
    EXPECT_TRUE(
        holds(rtf, "\\clcbpat2\\cellx9638\\clvertalc\\intbl\\f0\\fs20\\cf1\\b\\ql Tittel\\cell "));
    EXPECT_EQ(rtf.substr(rtf.size() - 10), "\\ql \\par }");
}

TEST(GridRtf, LandscapeTitleCellAndPage) {
    const std::string rtf = joined(ComponentToRtfStream("Tittel", twoColumns(100, 300), true));
    EXPECT_TRUE(holds(rtf, "\\paperw16838\\paperh11906"));
    EXPECT_TRUE(holds(rtf, " \\deftab708 \\landscape "));
    EXPECT_TRUE(holds(rtf, "\\cellx14570"));
}

TEST(GridRtf, ColumnWidthsShareTheContentWidth) {
    const std::string rtf = joined(ComponentToRtfStream("", twoColumns(100, 300), false));
    EXPECT_TRUE(holds(rtf, "\\cellx2409"));
    EXPECT_TRUE(holds(rtf, "\\cellx9638"));
    // header row: repeated on each page, bold italic on green
    EXPECT_TRUE(holds(rtf,
                      "{\\trowd \\trgaph70\\trleft-70\\trhdr\\clbrdrt\\brdrs\\brdrw10 "
                      "\\clbrdrl\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 "
                      "\\clbrdrr\\brdrs\\brdrw10 \\clcbpat2\\cellx2409\\clvertalc"));
    EXPECT_TRUE(holds(rtf, "\\f0\\fs16\\cf1\\i\\b\\ql Navn\\cell "));
    // data row: the right-aligned column stays so
    EXPECT_TRUE(holds(rtf, "\\f0\\fs16\\cf1\\qr 200,00\\cell \\row }\\ql "));
    EXPECT_FALSE(holds(rtf, "Tittel"));
}

TEST(GridRtf, CellTexts) {
    EXPECT_EQ(rtfCellText("a\r\nb"), "a\\par b");
    EXPECT_EQ(rtfCellText("a\rb\nc\td"), "a\\par b\\par c\\tab d");
    EXPECT_EQ(rtfCellText("{x}\\y"), "\\{x\\}\\\\y");
    EXPECT_EQ(rtfCellText("Beløp €"), "Bel\\'f8p \\'80");
    EXPECT_EQ(rtfCellText("Ω"), "\\u937?");
    EXPECT_EQ(rtfCellText("😀"), "\\u-10179?\\u-8704?");

    TGridData g;
    g.columns = {{64, false, true}};
    g.rows = {{"x"}, {"a\r\nb"}};
    EXPECT_TRUE(holds(joined(ComponentToRtfStream("", g, false)), " a\\par b\\cell "));
}

TEST(GridRtf, HiddenRowsAndColumnsAreLeftOut) {
    TGridData g = twoColumns(100, 300);
    g.columns[0].visible = false;
    g.rows.push_back({"Skjult", "1"});
    g.hiddenRows = {false, false, true};
    const std::string rtf = joined(ComponentToRtfStream("", g, false));
    EXPECT_FALSE(holds(rtf, "Kari"));
    EXPECT_FALSE(holds(rtf, "Skjult"));
    EXPECT_TRUE(holds(rtf, "\\cellx9638"));
}

TEST(GridRtf, LinesAreBrokenAfterEightyCharacters) {
    const std::string rtf = ComponentToRtfStream("Tittel", twoColumns(100, 300), false);
    std::size_t start = 0;
    while (start < rtf.size()) {
        const std::size_t end = rtf.find("\r\n", start);
        const std::string line = rtf.substr(start, end - start);
        // a line is ended after the piece that took it over 80
        EXPECT_LT(line.size(), 200u) << line;
        if (end == std::string::npos) break;
        EXPECT_GT(line.size(), 80u) << line;
        start = end + 2;
    }
}

TEST(GridRtf, RowsAndCellsOutsideTheListFail) {
    TRtfReport report;
    EXPECT_THROW(report.Row(0), Error);
    TReportRow& row = report.AddRow(RowStyle::Data);
    row.AddCell(1.0, "x");
    EXPECT_THROW(row.Cell(1), Error);
    EXPECT_THROW(row.Cell(-1), Error);
    EXPECT_EQ(row.Cell(0).brush, (TColor{252, 252, 252}));
}
