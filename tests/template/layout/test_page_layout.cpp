// Page layout against the recording device: sheets, stacking, copies,
// section breaks, headers and footers, repeated header rows, tabs, line
// breaking and the printer job's calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/error.h"
#include "common/file_names.h"
#include "common/log.h"
#include "printed.h"
#include "temp_dir.h"

using namespace lagrull;

namespace {

std::string pages(int n, const std::string& head = "\\margt500\\margb500") {
    std::string rtf = "{\\rtf1\\ansi" + head + " ";
    for (int i = 1; i <= n; ++i) rtf += "Side" + std::to_string(i) + (i < n ? "\\page " : "");
    return rtf + "}";
}

}  // namespace

TEST(PageLayout, OneLogicalPagePerA4Sheet) {
    Printed p;
    p.print(pages(3));
    EXPECT_EQ(p.r().sheets, 3);
    EXPECT_EQ(p.sheetOf("Side1"), 1);
    EXPECT_EQ(p.sheetOf("Side2"), 2);
    EXPECT_EQ(p.sheetOf("Side3"), 3);
    EXPECT_EQ(p.count("StartDoc RTF"), 1);
}

TEST(PageLayout, TenCentimetrePagesStackTwoPerSheet) {
    Printed p;
    p.print(pages(3, "\\paperh5669\\margt500\\margb500"));
    EXPECT_EQ(p.r().sheets, 2);
    EXPECT_EQ(p.sheetOf("Side1"), 1);
    EXPECT_EQ(p.sheetOf("Side2"), 1);
    EXPECT_EQ(p.sheetOf("Side3"), 2);
    // the second logical page lies directly below the first
    const auto s1 = p.all("Side1"), s2 = p.all("Side2"), s3 = p.all("Side3");
    EXPECT_EQ(s2[0]->baseline - s1[0]->baseline, 5669);
    EXPECT_EQ(s3[0]->baseline, s1[0]->baseline);
}

TEST(PageLayout, PrinterCopiesAreLaidOutInOneJobWithPageNumbersRestarting) {
    Printed p;
    p.system.current.copies = 3;
    p.print("{\\rtf1{\\footer Side \\chpgn\\par}A\\page B}");
    EXPECT_EQ(p.r().sheets, 6);
    EXPECT_EQ(p.count("StartDoc RTF"), 1);
    EXPECT_EQ(p.count("EndDoc"), 1);
    EXPECT_EQ(p.all("A").size(), 3u);
    std::vector<std::string> numbers;
    for (const auto& t : p.r().texts)
        if (t.text != "A" && t.text != "B" && t.text != "Side ") numbers.push_back(t.text);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "1", "2", "1", "2"}));
}

TEST(PageLayout, OptionsCopiesOverrideThePrinters) {
    Printed p;
    p.system.current.copies = 3;
    TPrintOptions options;
    options.setCopies(2);
    p.print("{\\rtf1 A}", &options);
    EXPECT_EQ(p.r().sheets, 2);
}

TEST(PageLayout, OddSectionBreakAddsAnEmptyPage) {
    Printed p;
    p.print("{\\rtf1 A\\sect\\sbkodd B}");
    EXPECT_EQ(p.r().sheets, 3);
    EXPECT_EQ(p.sheetOf("A"), 1);
    EXPECT_EQ(p.sheetOf("B"), 3);
    EXPECT_EQ(p.r().sheetText(2), "");
}

TEST(PageLayout, EvenSectionBreakAfterTheFirstPageAddsNone) {
    Printed p;
    p.print("{\\rtf1 A\\sect\\sbkeven B}");
    EXPECT_EQ(p.r().sheets, 2);
    EXPECT_EQ(p.sheetOf("B"), 2);
}

TEST(PageLayout, ContinuousSectionStaysOnThePage) {
    Printed p;
    p.print("{\\rtf1 A\\sect\\sbknone B}");
    EXPECT_EQ(p.r().sheets, 1);
    const auto a = p.all("A"), b = p.all("B");
    EXPECT_EQ(b[0]->baseline - a[0]->baseline, 240);  // one line of 12 points
}

TEST(PageLayout, OnlyHeaderAndHeaderRightSlotsPrint) {
    Printed first;
    first.print("{\\rtf1{\\headerf Forside\\par}A\\page B}");
    EXPECT_EQ(first.sheetOf("Forside"), 0);
    Printed right;
    right.print("{\\rtf1{\\headerr Hode\\par}A\\page B}");
    const auto h = right.all("Hode");
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0]->sheet, 1);
    EXPECT_EQ(h[1]->sheet, 2);
    EXPECT_EQ(h[0]->baseline, 720 + 192);  // header distance plus the ascent
}

namespace {

// A table whose header row and forty rows of 400 twips run past one page.
std::string longTable(const std::string& header) {
    std::string rtf = "{\\rtf1\\margt1440\\margb1440" + header;
    rtf += "\\trowd\\trhdr\\trrh400\\cellx4000\\cellx8000\\intbl Navn\\cell Bel\\'f8p\\cell\\row ";
    for (int i = 1; i <= 40; ++i)
        rtf += "\\trowd\\trrh400\\cellx4000\\cellx8000\\intbl Rad" + std::to_string(i) + "\\cell " +
               std::to_string(i * 10) + ",00\\cell\\row ";
    return rtf + "}";
}

}  // namespace

TEST(PageLayout, HeaderRowsRepeatAtTheTopOfTheNextPage) {
    Printed p;
    p.print(longTable(""));
    const auto heads = p.all("Navn");
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_EQ(heads[1]->sheet, 2);
    // the repeated row sits at the content top, the first data row below it
    const auto next = p.sheetOf("Rad35") == 2 ? p.all("Rad35") : p.all("Rad34");
    EXPECT_EQ(heads[1]->baseline, 1440 + 192);
    // (16838 - 2 * 1440) / 400 = 34 rows a page, the header row one of them
    EXPECT_EQ(p.sheetOf("Rad33"), 1);
    EXPECT_EQ(p.sheetOf("Rad34"), 2);
    EXPECT_EQ(p.all("Rad34")[0]->baseline, 1440 + 400 + 192);
    (void)next;
}

TEST(PageLayout, HeaderRowsAreNotRepeatedUnderATallerPageHeader) {
    Printed p;
    // a header of three lines from 720 reaches 720 + 720 + 480 > 1440
    p.print(longTable("{\\header H1\\par H2\\par H3\\par H4\\par}"));
    EXPECT_EQ(p.all("Navn").size(), 1u);
    EXPECT_EQ(p.all("H1").size(), 2u);
}

TEST(PageLayout, LogicalPageSizeSetsTheA4PaperKind) {
    Printed p;
    p.system.current.paperSize = 1;  // the printer is set to Letter
    p.print("{\\rtf1\\uselogicalpagesize\\pgwsxn11906\\pghsxn16838 A}");
    EXPECT_EQ(p.count("ResetDC orientation=1 paper=9 bin=0"), 1);
}

TEST(PageLayout, LogicalPageOfOtherSizeIsUserDefined) {
    Printed p;
    p.system.current.paperSize = 9;
    p.print("{\\rtf1\\uselogicalpagesize\\pgwsxn8391\\pghsxn11906 A}");
    EXPECT_EQ(p.count("ResetDC orientation=1 paper=256 bin=0"), 1);
}

namespace {

std::vector<int> xs(const Printed& p) {
    std::vector<int> out;
    for (const auto& t : p.r().texts) out.push_back(t.x - 1800);
    return out;
}

}  // namespace

TEST(PageLayout, DefaultTabStops) {
    Printed without;
    without.print("{\\rtf1\\pard\\tab A\\tab B\\tab C\\par}");
    EXPECT_EQ(xs(without), (std::vector<int>{1500, 3000, 4500}));
    Printed deftab;
    deftab.print("{\\rtf1\\deftab708\\pard\\tab A\\tab B\\par}");
    EXPECT_EQ(xs(deftab), (std::vector<int>{708, 1416}));
    Printed exact;  // fifteen characters of 100 twips end exactly on 1500
    exact.print("{\\rtf1\\pard\\fs20 ABCDEFGHIJKLMNO\\tab X\\par}");
    EXPECT_EQ(xs(exact), (std::vector<int>{0, 3000}));
}

TEST(PageLayout, ExplicitRightAndDecimalTabs) {
    Printed p;
    // "1.234,50" right-aligned at 6000; "12,5" with its comma at 8000
    p.print("{\\rtf1\\pard\\tqr\\tx6000\\tqdec\\tx8000 Kontingent\\tab 1.234,50\\tab 12,5\\par}");
    const auto a = p.all("1.234,50"), b = p.all("12,5");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(a[0]->x - 1800 + 8 * 120, 6000);
    EXPECT_EQ(b[0]->x - 1800 + 2 * 120, 8000);
}

TEST(PageLayout, LinesBreakAtBlanksAndJustifyToTheEdge) {
    Printed p;
    // 8306 twips a line, 120 a character: 69 characters fit
    std::string words;
    for (int i = 0; i < 20; ++i) words += "ordet" + std::to_string(i % 10) + " ";
    p.print("{\\rtf1\\pard\\qj " + words + "\\par}");
    ASSERT_GE(p.r().texts.size(), 2u);
    const TRecordedText& first = p.r().texts.front();
    EXPECT_EQ(first.x, 1800);
    EXPECT_EQ(first.text, "ordet0 ");
    // the first line's last word ends at the right edge
    int lastOnFirstLine = 0;
    for (std::size_t i = 0; i < p.r().texts.size(); ++i)
        if (p.r().texts[i].baseline == first.baseline) lastOnFirstLine = static_cast<int>(i);
    const TRecordedText& last = p.r().texts[static_cast<std::size_t>(lastOnFirstLine)];
    const std::string word = last.text.substr(0, last.text.find(' '));
    EXPECT_EQ(last.x + static_cast<int>(word.size()) * 120, 1800 + 8306);
    // the last line is not justified
    const TRecordedText& end = p.r().texts.back();
    EXPECT_NE(end.baseline, first.baseline);
}

TEST(PageLayout, CentredAndRightAlignedLines) {
    Printed p;
    p.print("{\\rtf1\\pard\\qc Midt\\par\\pard\\qr H\\'f8yre\\par}");
    EXPECT_EQ(p.all("Midt")[0]->x, 1800 + (8306 - 480) / 2);
    EXPECT_EQ(p.all("Høyre")[0]->x, 1800 + 8306 - 600);
}

TEST(PageLayout, PageBreakBeforeAndKeepWithNext) {
    Printed p;
    p.print("{\\rtf1 A\\par\\pard\\pagebb B\\par}");
    EXPECT_EQ(p.sheetOf("B"), 2);
    // a heading kept with its paragraph moves with it to the next page
    std::string rtf = "{\\rtf1\\margt1440\\margb1440\\pard\\sl-1000 ";
    for (int i = 0; i < 12; ++i) rtf += "L" + std::to_string(i) + "\\par ";
    rtf += "\\pard\\keepn Overskrift\\par\\pard\\keep\\sl-1000 En\\line To\\par}";
    Printed q;
    q.print(rtf);
    EXPECT_EQ(q.sheetOf("L11"), 1);  // 12 000 of 13 958 twips
    EXPECT_EQ(q.sheetOf("En"), 2);
    EXPECT_EQ(q.sheetOf("Overskrift"), 2);
}

TEST(PageLayout, PageFieldsShowTheirNumbers) {
    Printed p;
    // the document is counted in advance: "numpages" is the total on page 1 too
    p.print("{\\rtf1{\\footer\\qr Side \\chpgn  av \\numpages\\par}A\\page B}");
    EXPECT_EQ(p.r().sheetText(1), "A | Side  | 1 |  av  | 2");
    EXPECT_EQ(p.r().sheetText(2), "B | Side  | 2 |  av  | 2");
    // a right-aligned footer ends at the right edge with its real digits
    const auto two = p.all("2");
    EXPECT_EQ(two.back()->x + 120, 1800 + 8306);

    Printed restart;
    restart.print(
        "{\\rtf1{\\footer Side \\chpgn\\par}A\\sect\\sectd\\pgnrestart\\pgnstarts5 C\\par}");
    EXPECT_EQ(restart.r().sheetText(2), "C | Side  | 5");
}

TEST(PageLayout, JobCallsInOrder) {
    Printed p;
    p.print("{\\rtf1 A}");
    EXPECT_EQ(p.r().calls, (std::vector<std::string>{"CreateDC ", "StartDoc RTF", "StartPage",
                                                     "EndPage", "EndDoc", "DeleteDC"}));
}

TEST(PageLayout, AFailingSheetStillEndsTheJob) {
    Printed p;
    p.system.failNext = "StartPage";
    EXPECT_THROW(p.print("{\\rtf1 A}"), Error);
    EXPECT_EQ(p.r().calls.back(), "DeleteDC");
    EXPECT_EQ(p.count("EndDoc"), 1);
}

TEST(PageLayout, NestedPrintingIsOneJob) {
    TRecordingPrinterSystem system;
    TRTFDocumentBuilder builder(system);
    builder.BeginPrinting();
    builder.PrintRTFStream("{\\rtf1 A}");
    builder.PrintRTFStream("{\\rtf1 B}");
    EXPECT_NE(builder.formatter(), nullptr);
    builder.EndPrinting();
    EXPECT_EQ(builder.formatter(), nullptr);
    const auto& calls = system.recording.calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "StartDoc RTF"), 1);
    EXPECT_EQ(system.recording.sheets, 2);
}

TEST(PageLayout, LandscapeOptionsTurnTheSheet) {
    Printed p;
    TPrintOptions options;
    options.setOrientation(1, TDeviceMode::kLandscape);
    p.print("{\\rtf1\\paperw16838\\paperh11906 A}", &options);
    EXPECT_EQ(p.count("ResetDC orientation=2 paper=9 bin=0"), 1);
}

TEST(PrintOptions, PageEntriesAndPrinterNames) {
    TPrintOptions options;
    EXPECT_FALSE(options.changed());
    try {
        options.page(0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Page printeroptions index out of bounds");
    }
    options.setOrientation(2, TDeviceMode::kLandscape);
    EXPECT_TRUE(options.changed());
    EXPECT_EQ(options.entryFor(1).fields, 0u);
    EXPECT_EQ(options.entryFor(7).orientation, TDeviceMode::kLandscape);

    TInstalledPrinters::setSource([] {
        return std::vector<std::string>{"Kontor on ipp://kontor", "PDF"};
    });
    options.setPrinterName("kontor");
    EXPECT_EQ(options.deviceName(), "Kontor");
    EXPECT_EQ(options.port(), "ipp://kontor");
    try {
        options.setPrinterName("Kjeller");
        FAIL();
    } catch (const EPrinterNotFound& e) {
        EXPECT_STREQ(e.what(), "Printer \"Kjeller\" not found");
    }
    options.setPrinterName("Kjeller", "PDF");
    EXPECT_EQ(options.deviceName(), "PDF");
    TInstalledPrinters::setSource(nullptr);
}

TEST(PageLayout, FramesArePlacedOutOfTheFlow) {
    Printed p;
    p.print("{\\rtf1\\pard\\absw3000\\phpg\\posx600\\pvpg\\posy600 Ramme\\par\\pard Tekst\\par}");
    const auto f = p.all("Ramme");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0]->x, 600);
    EXPECT_EQ(f[0]->baseline, 600 + 192);
    EXPECT_EQ(p.all("Tekst")[0]->baseline, 1440 + 192);
}

TEST(PageLayout, HostileGeometryIsLaidOutWithoutOverflow) {
    const char* documents[] = {
        "{\\rtf1\\paperw-2147483648\\paperh-2147483648\\margl2147483647\\margr-2147483648 A\\par}",
        "{\\rtf1\\margt2147483647\\margb2147483647 A\\par B\\page C}",
        "{\\rtf1\\deftab2147483647\\pard\\tab\\tab\\tab A\\par}",
        "{\\rtf1\\pard\\li2147483647\\fi2147483647\\ri-2147483648 Ord og ord\\par}",
        "{\\rtf1\\pard\\sl-2147483648\\sb2147483647\\sa2147483647 A\\par B\\par}",
        "{\\rtf1\\pard\\fs2147483647 Stor\\par\\pard\\fs-5 liten\\par}",
        "{\\rtf1\\pard\\up2147483647 opp\\dn2147483647 ned\\par}",
        "{\\rtf1\\cols2147483647\\colsx2147483647 A\\column B\\par}",
        "{\\rtf1\\trowd\\trleft-2147483648\\trgaph2147483647\\trrh-"
        "2147483648\\cellx2147483647\\cellx-2147483648"
        "\\intbl A\\cell B\\cell\\row}",
        "{\\rtf1\\pard\\absw2147483647\\absh-2147483648\\posx2147483647\\posy-"
        "2147483648\\dfrmtxty2147483647 R\\par"
        "\\pard Etter\\par}",
        "{\\rtf1{\\header\\pard\\sl-20000 H\\par}\\headery2147483647 A\\par}",
        "{\\rtf1\\sectd\\pgnrestart\\pgnstarts-2147483648 A\\chpgn\\page B\\chpgn\\par}",
        "{\\rtf1\\pard\\qj "
        "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ"
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ\\par}",
    };
    for (const char* rtf : documents) {
        Printed p;
        EXPECT_NO_THROW(p.print(rtf)) << rtf;
        EXPECT_GE(p.r().sheets, 1) << rtf;
        EXPECT_LT(p.r().sheets, 100) << rtf;
    }
}

TEST(PageLayout, AWordLongerThanTheLineIsBrokenBetweenCharacters) {
    Printed p;
    p.print("{\\rtf1\\pard " + std::string(100, 'x') + "\\par}");
    ASSERT_EQ(p.r().texts.size(), 2u);  // 69 characters of 120 twips fill 8306
    EXPECT_EQ(p.r().texts[0].text.size(), 69u);
    EXPECT_EQ(p.r().texts[1].text.size(), 31u);
    EXPECT_EQ(p.r().texts[1].x, 1800);
}

TEST(PageLayout, PrinterLogLinesInTheOrderOfTheJob) {
    configureAppLog(true);
    const std::string path = appLog().path();
    {
        Printed p;
        p.print("{\\rtf1 A}");
    }
    const std::string log = readFileBytes(path);
    configureAppLog(false);
    std::filesystem::remove(path);
    const char* expected[] = {
        "Enter PrintRTFStream",
        "ENTER TRTFDocumentBuilder.PrintDocument",
        "BeginPrinting",
        "ENTER TWinPrinterFormatter.PrintDocument",
        "ENTER SetLandscape",
        "Orientation 1->1",
        "TWinPrinterFormatter.PrintDocument 1",
        "Enter WinCreateDC",
        "Windows.CreateDC=1",
        "dm.Fields=00000001",
        "EXIT WinCreateDC",
        "Kopier=1",
        "BeginPage OPT PTop=0, PBot=16838, PhysB=16838",
        "Windows.STARTDOC(1)=1",
        "windows.StartPage=1",
        "EXIT TWinPrinterFormatter.PrintDocument",
        "ENTER EndPrintJob",
        "windows.EndPage=1",
        "Windows.ENDDOC(1)=1",
        "Windows.DeleteDC",
        "EXIT EndPrintJob",
        "EndPrinting",
        "EXIT TRTFDocumentBuilder.PrintDocument",
        "Exit PrintRTFStream",
    };
    std::size_t at = 0;
    for (const char* line : expected) {
        const std::string wanted = std::string("] ") + line;
        auto found = log.find(wanted, at);
        // a whole line, whatever its line end
        while (found != std::string::npos &&
               log.find_first_of("\r\n", found) != found + wanted.size())
            found = log.find(wanted, found + 1);
        ASSERT_NE(found, std::string::npos) << line << "\n" << log;
        at = found;
    }
}

TEST(PageLayout, PicturesSitOnTheBaseLineAndCellsAreShadedAndRuled) {
    Printed p;
    p.print(
        "{\\rtf1{\\colortbl;\\red220\\green230\\blue242;}"
        "\\pard{\\pict\\pngblip\\picw10\\pich10\\picwgoal1000\\pichgoal500 89504e47}\\par"
        "\\trowd\\trgaph70\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clcbpat1\\cellx2000"
        "\\intbl Celle\\cell\\row}");
    const auto& shapes = p.r().shapes;
    // the picture line is 500 tall from the content top; the row 240 and
    // its top border's 10
    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ(shapes[0], "1 picture pngblip 1800,1440,2800,1940");
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), "1 fill 1800,1940,3800,2190 #DCE6F2"),
              shapes.end());
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), "1 line 1800,1940,3800,1940 w10"),
              shapes.end());
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), "1 line 1800,2190,3800,2190 w10"),
              shapes.end());
    // cell text inside the gap
    EXPECT_EQ(p.all("Celle")[0]->x, 1870);
}

namespace {

// A field computer that asks for a second reading and counts.
struct CountingHook : TDocumentFieldHook {
    int reads = 0, prompts = 0;
    std::filesystem::path base;
    std::filesystem::path baseDirectory() const override { return base; }
    std::unique_ptr<TBuildDocument> read(std::string_view rtf, bool& readAgain) override {
        ++reads;
        auto d = TDocumentFieldHook::read(rtf, readAgain);
        readAgain = true;
        return d;
    }
    void betweenReadings() override { ++prompts; }
};

}  // namespace

TEST(DocumentBuilder, FindsFilesWithTheirExtensionsAndInTheBaseDirectory) {
    lagrull::test::TempDir dir;
    dir.write("brev.sp2", "{\\rtf1 SP2}");
    dir.write("brev.rtf", "{\\rtf1 RTF}");
    dir.write("annet.rtf", "{\\rtf1 Annet}");
    TRecordingPrinterSystem system;
    CountingHook hook;
    TRTFDocumentBuilder builder(system, &hook);
    const std::string stem = (dir.path() / "brev").string();
    EXPECT_EQ(builder.findFile(stem).filename(),
              "brev.sp2");  // ".SP2" before ".RTF", letter case ignored
    EXPECT_EQ(builder.findFile((dir.path() / "annet").string()).filename(), "annet.rtf");
    EXPECT_EQ(builder.findFile("annet"), std::filesystem::path("annet"));  // not found: as given
    hook.base = dir.path();
    EXPECT_EQ(builder.findFile("annet").filename(), "annet.rtf");

    builder.PrintFile("annet");
    EXPECT_EQ(system.recording.sheetText(1), "Annet");
    // the field computer asked for a second reading: read twice, prompted once
    EXPECT_EQ(hook.reads, 2);
    EXPECT_EQ(hook.prompts, 1);
    EXPECT_THROW(builder.PrintFile((dir.path() / "mangler.rtf").string()), FileError);
}

TEST(PageLayout, DrawingObjectsAreDrawnWhenThePageEnds) {
    Printed p;
    p.print(
        "{\\rtf1 "
        "A\\par{\\*"
        "\\do\\dobxpage\\dobypage\\dprect\\dpx1000\\dpy2000\\dpxsize3000\\dpysize1000\\dplinew15}"
        "{\\*\\do\\dobxpage\\dobypage\\dparc\\dpx1000\\dpy4000\\dpxsize2000\\dpysize1000}B\\par}");
    const auto& shapes = p.r().shapes;
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0], "1 rect 1000,2000,4000,3000");
    EXPECT_EQ(shapes[1], "1 polyline 25");  // the quarter ellipse
    // they take no room in the flow
    EXPECT_EQ(p.all("B")[0]->baseline - p.all("A")[0]->baseline, 240);
}

TEST(PageLayout, ColumnsAndColumnBreaks) {
    Printed p;
    // two columns of (8306 - 720) / 2 = 3793 twips
    p.print("{\\rtf1\\cols2\\colsx720 Venstre\\column H\\'f8yre\\column Neste\\par}");
    EXPECT_EQ(p.all("Venstre")[0]->x, 1800);
    EXPECT_EQ(p.all("Høyre")[0]->x, 1800 + 3793 + 720);
    EXPECT_EQ(p.all("Høyre")[0]->baseline, p.all("Venstre")[0]->baseline);
    EXPECT_EQ(p.sheetOf("Neste"), 2);
    EXPECT_EQ(p.all("Neste")[0]->x, 1800);
}
