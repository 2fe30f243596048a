// Template commands run through whole RTF templates.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/file_names.h"
#include "merge_fixture.h"
#include "template/merge/rtf_ext_errors.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

template <class E>
std::string failure(MergeTest&, const std::string& body, TRtfExtended& engine) {
    try {
        engine.Convert(rtfTemplate(body));
    } catch (const E& e) {
        return e.what();
    }
    ADD_FAILURE() << "no exception for " << body;
    return {};
}

class Commands : public MergeTest {
protected:
    template <class E>
    std::string fails(const std::string& body) {
        engine.setBaseDirectory(dir.str());
        return failure<E>(*this, body, engine);
    }
    void link(const std::string& name, const std::string& body) {
        dir.write(name, rtfTemplate(body));
    }
};

}  // namespace

TEST_F(Commands, AtSignsThatBeginNoCommandAreText) {
    EXPECT_EQ(mergedText("a@b @Firma post@lag.no\\par"), "a@b @Firma post@lag.no");
    EXPECT_EQ(mergedText("@\\{navn\\}\\par"), "@");  // "@" then an empty field
}

TEST_F(Commands, IfElseAndParagraphsOfCommandsOnly) {
    EXPECT_EQ(
        mergedText(
            "F\\'f8r\\par @IF(1)@BEGIN\\par Ja\\par @ELSE\\par Nei\\par @END\\par Etter\\par"),
        "Før\nJa\nEtter");
    EXPECT_EQ(mergedText("F\\'f8r\\par @IF(NEI)@BEGIN\\par Ja\\par @END\\par Etter\\par"),
              "Før\nEtter");
    // nested: the inner block follows the outer one
    EXPECT_EQ(mergedText("@IF(1)@BEGIN A @IF(0)@BEGIN B @ELSE C @END D @ELSE E @END\\par"),
              "A C D ");  // blanks before a command stay
    EXPECT_EQ(mergedText("@IF(0)@BEGIN A @IF(1)@BEGIN B @ELSE C @END D @ELSE E @END\\par"), "E ");
}

TEST_F(Commands, Conditions) {
    engine.nameValueList = {"x=a(b", "kategori=Student", "alder=17"};
    const auto yes = [&](const std::string& c) {
        return mergedText("@IF(" + c + ")@BEGIN ja@ELSE nei@END\\par");
    };
    EXPECT_EQ(yes("(a = a) AND (b = c)"), "nei");
    EXPECT_EQ(yes("a = a AND b = b"), "nei");  // the second operand runs to ")"
    EXPECT_EQ(yes("(a = a) OR (b = c)"), "ja");
    EXPECT_EQ(yes("(a = a) XOR (b = b)"), "nei");
    EXPECT_EQ(yes(" 10 < 9,5 "), "nei");
    EXPECT_EQ(yes("abc < abd"), "ja");
    EXPECT_EQ(yes("\\{x\\} <> b"), "ja");  // a value's "(" does not close the list
    EXPECT_EQ(yes("\\{x\\}"), "ja");
    EXPECT_EQ(yes("(\\{kategori\\} = Student) OR (\\{alder\\} < 18)"), "ja");
    EXPECT_EQ(yes("search(stud; \\{kategori\\})"), "ja");
    EXPECT_EQ(yes("search(pensjon; \\{kategori\\})"), "nei");
    EXPECT_EQ(yes("Nei"), "nei");
    EXPECT_EQ(yes("0,0"), "nei");
    EXPECT_EQ(yes("hva som helst"), "ja");
    EXPECT_EQ(yes("\\{finnes ikke\\}"), "nei");
    EXPECT_EQ(fails<ERtfIfCmd>("@IF((a = a) UND (b = b))@BEGIN x@END"),
              "Unknown operator used in IF-statement");
    EXPECT_EQ(fails<ERtfIfCmd>("@IF((a = a) AND b)@BEGIN x@END"),
              "Parantees error in IF-statement");
}

TEST_F(Commands, LevelErrors) {
    EXPECT_EQ(fails<ERtfExtendedCmd>("tekst @END"),
              "To many @END-commands or missing @BEGIN-command");
    EXPECT_EQ(fails<ERtfExtendedCmd>("@IF(1)@ELSE"), "Illigal combination of commands");
    EXPECT_EQ(fails<ERtfExtendedCmd>("@IF(1) \\{navn\\}"), "Command Syntax Error");
    EXPECT_EQ(fails<ERtfLink>("@SKIP@LINK(a.rtf)"),
              "Illigal combination of LINK command and other command");
    EXPECT_EQ(fails<ERtfField>("@FOR(i = 1 TO 2)@INISECTIONS(a)"),
              "Illigal combination of INISECTION command and other command");
    EXPECT_EQ(fails<ERtfCmdParam>("@SET x = 1)"), "Missing parantees in statement parameter list");
    EXPECT_EQ(fails<ERtfField>("@SET(x = @IF)"), "Error in paramlist: x = ");
    EXPECT_EQ(fails<ERtfForCmd>("@FOR(i = 1 TIL 3)@LINK(rad.rtf)"),
              "Syntax error in FOR-statement");
    EXPECT_EQ(fails<ERtfAbort>("@IF(1)@BEGIN @ABORT(Mangler adresse) @END"), "Mangler adresse");
    EXPECT_EQ(fails<ERtfField>("@INISECTIONS(Brev)"), "Merge Inifile not loaded");
    EXPECT_EQ(fails<ERtfLink>("@INSERT(vedlegg)"), "OnMergeRtfStream event not assigned");
}

TEST_F(Commands, SetStoresArithmeticAndText) {
    EXPECT_EQ(mergedText("@SET(x = 2*3)@SET(y = 123)@SET(z = A-1)@SET(w = 10/4)\\{x\\} \\{y\\} "
                         "\\{z\\} \\{w\\}\\par"),
              "6 123 A-1 2,5");
}

TEST_F(Commands, AbortAndSetOnlyWhereOutputIsActive) {
    EXPECT_EQ(mergedText("@IF(0)@BEGIN @ABORT(stopp) @SET(x = 1) @END x=\\{x\\}\\par"), "x=");
}

TEST_F(Commands, ForLinkRepeatsTheLinkedFileWithTheCounter) {
    link("rad.rtf", "Rad \\{i\\}\\par");
    EXPECT_EQ(mergedText("@FOR(i = 1 TO 3)@LINK(rad.rtf)Slutt\\par"), "Rad 1\nRad 2\nRad 3\nSlutt");
    EXPECT_EQ(mergedText("@FOR(i = 3 TO 1)@LINK(rad.rtf)Slutt\\par"), "Slutt");
    EXPECT_EQ(mergedText("@FOR(i = 1 TO 1+1)@LINK(rad.rtf)\\{i\\}\\par"),
              "Rad 1\nRad 2");  // the counter is gone
    EXPECT_EQ(fails<ERtfForCmd>("@FOR(i = 1 TO 1000000)@LINK(rad.rtf)"),
              "For mange gjennomløp i FOR-setningen (høyst 10000)");
}

TEST_F(Commands, NestedLoopsThroughLinkedFilesKeepEveryCounter) {
    // Each level's loop runs while the loops inside it grow the loop stack.
    link("ytre.rtf", "@FOR(j = 1 TO 2)@LINK(indre.rtf)");
    link("indre.rtf", "\\{i\\}\\{j\\};");
    EXPECT_EQ(mergedText("@FOR(i = 1 TO 2)@LINK(ytre.rtf)\\par"), "11;12;21;22;");
    link("niva1.rtf", "@FOR(b = 1 TO 2)@LINK(niva2.rtf)");
    link("niva2.rtf", "@FOR(c = 1 TO 3)@LINK(niva3.rtf)");
    link("niva3.rtf", "\\{a\\}\\{b\\}\\{c\\} ");
    EXPECT_EQ(mergedText("@FOR(a = 1 TO 2)@LINK(niva1.rtf)\\par"),
              "111 112 113 121 122 123 211 212 213 221 222 223 ");
}

TEST_F(Commands, SetKeepsMergedBracketsAndEquals) {
    engine.nameValueList = {"telefon=(22) 33 44 55", "regnestykke=2=3", "sum=2*3"};
    EXPECT_EQ(
        mergedText("@SET(tlf = \\{telefon\\})@SET(r = \\{regnestykke\\})"
                   "@SET(s = \\{sum\\})@SET(t = (1+2)*2)\\{tlf\\}|\\{r\\}|\\{s\\}|\\{t\\}\\par"),
        "(22) 33 44 55|2=3|6|6");
}

TEST_F(Commands, LinkedFilesAndTheirErrors) {
    link("ubalansert.rtf", "@IF(1)@BEGIN tekst\\par");
    EXPECT_EQ(fails<ERtfLink>("@LINK(ubalansert.rtf)"),
              "Unbalanced use of @BEGIN/@END or missing parantees in function parameter list in "
              "file ubalansert.rtf");
    EXPECT_NE(fails<ERtfLink>("@LINK(finnes-ikke.rtf)").find("finnes-ikke.rtf"), std::string::npos);
    dir.write("tekst.rtf", "ikke RTF");
    EXPECT_EQ(fails<ERtfLink>("@LINK(tekst.rtf)"), "Could not read rtf merge stream");
    link("selv.rtf", "@LINK(selv.rtf)");
    EXPECT_EQ(fails<ERtfLink>("@LINK(selv.rtf)")
                  .rfind("For dyp nesting av @LINK/@INSERT (høyst 16 nivåer)", 0),
              0u);
    // a failed condition does not even open the file
    EXPECT_EQ(mergedText("@IF(0)@LINK(finnes-ikke.rtf)Ferdig\\par"), "Ferdig");
}

TEST_F(Commands, CommentIsNeitherWrittenNorInterpreted) {
    EXPECT_EQ(mergedText("A @\\\\ tekst \\{felt\\} @IF \\\\ B\\par"), "A B");
}

TEST_F(Commands, EverythingSuppressedGivesAnEmptyFile) {
    EXPECT_EQ(merge("@SKIP@BEGIN\\par Alt bort\\par @END\\par"), "");
    dir.write("mal.rtf", rtfTemplate("@IF(nei)@BEGIN Hei\\par @END"));
    const auto out = dir.path() / "ut.rtf";
    writeFileBytes(out, "gammelt innhold");
    engine.MergeFile((dir.path() / "mal.rtf").string(), out.string());
    EXPECT_EQ(std::filesystem::file_size(out), 0u);
}

TEST_F(Commands, IgnoreSetsTheStrictFieldsFlag) {
    EXPECT_EQ(mergedText("[\\{ukjent\\}]\\par"), "[]");
    EXPECT_EQ(fails<ERtfField>("@IGNORE(nei)\\{ukjent\\}"), "Field not found : \"ukjent\"");
    engine.strictFields = true;
    EXPECT_EQ(mergedText("@IF(0)@BEGIN\\{ukjent\\}@END@IGNORE(Ja)[\\{ukjent\\}]\\par"), "[]");
}

TEST_F(Commands, InsertTakesRtfOrPlainTextFromTheHost) {
    engine.OnMergeRtfStream = [](const std::string& name, std::string& stream) {
        if (name == "rtf")
            stream = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 Satt inn \\{n\\}\\par}";
        else if (name == "tekst")
            stream = "a{b}\\c";
    };
    engine.nameValueList = {"n=7"};
    EXPECT_EQ(mergedText("@INSERT(rtf)@INSERT(tekst)@INSERT(tom)\\par"), "Satt inn 7\na{b}\\c");
}

TEST_F(Commands, LinkedDocumentsFontsAndColoursAreMerged) {
    dir.write("hode.rtf",
              "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
              "{\\colortbl;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}\\f0\\cf1 "
              "Bl\\'e5\\f1\\cf2 R\\'f8d\\par}");
    const std::string out = merge("@LINK(hode.rtf)Brev\\par");
    const auto document = readRtfDocument(out);
    EXPECT_EQ(document->header.fonts.fonts().size(), 2u);  // Times New Roman is found by name
    EXPECT_NE(out.find("\\f1 \\cf2 Bl\\'e5"), std::string::npos) << out;
    EXPECT_NE(out.find("\\f0 \\cf1 R\\'f8d"), std::string::npos) << out;
}

TEST_F(Commands, LetterheadLinkedBeforeAnyTextSetsTheMargins) {
    link("hode.rtf", "\\margl1701\\margt851 Lag\\par");
    const std::string out = merge("\\margl1134\\margr1134\\margt1440 @LINK(hode.rtf)Tekst\\par");
    EXPECT_NE(out.find("\\margl01701 \\margr01134 \\margt00851 "), std::string::npos) << out;
}

TEST_F(Commands, PageBreaksBecomeSectionBreaksWhereNeeded) {
    link("liggende.rtf", "\\landscape Bred side\\par");
    std::string out = merge(
        "Side 1\\par\\page Side 2\\par\\page @LINK(liggende.rtf)\\page @FIRSTPAGE Side 4\\par");
    EXPECT_EQ(textOf(out), "Side 1\nSide 2\nBred side\nSide 4");
    // the first break stays a page break, the second turns landscape, the
    // third restarts the numbering
    EXPECT_NE(out.find("\\page {}{}"), std::string::npos);
    EXPECT_NE(out.find("\\sect\\sectd\\sbkpage\\lndscpsxn\\pgwsxn16840\\pghsxn11907"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\\sect\\sectd\\sbkpage\\pgnrestart\\pgnstarts1"), std::string::npos) << out;
    const auto document = readRtfDocument(out);
    EXPECT_EQ(document->sections.size(), 3u);
}

TEST_F(Commands, PrintOptionsGiveSectionsTheirBins) {
    engine.printOptions = TMergePrintOptions{2, 3, 1};
    std::string out = merge("\\sectd\\binfsxn7 En\\page @ODDPAGE To\\par");
    EXPECT_NE(out.find("\\sectd \\binfsxn2\\binsxn3 "), std::string::npos) << out;
    EXPECT_EQ(out.find("\\binfsxn7"), std::string::npos);
    EXPECT_NE(out.find("\\sect\\sectd\\sbkpage\\binfsxn2\\binsxn3\\sbkodd"), std::string::npos)
        << out;
}

TEST_F(Commands, PdfOutputGoesThroughTheConverterAndLeavesNoTemporaryFile) {
    struct FakeConverter : TRtfPdfConverter {
        std::string rtf, pdfName;
        bool fail = false;
        void convert(const std::string& rtfFile, const std::string& pdfFile) override {
            rtf = readFileBytes(rtfFile);
            pdfName = pdfFile;
            if (fail) throw Error("Oppsettet feilet");
            writeFileBytes(pdfFile, "%PDF-1.4");
        }
    } converter;
    dir.write("mal.rtf", rtfTemplate("Hei \\{navn\\}\\par"));
    engine.nameValueList = {"navn=Kari"};
    const std::string pdf = (dir.path() / "brev.Pdf").string();
    EXPECT_THROW(engine.MergeFile((dir.path() / "mal.rtf").string(), pdf), Error);  // no converter
    engine.setPdfConverter(&converter);
    engine.MergeFile((dir.path() / "mal.rtf").string(), pdf);
    EXPECT_EQ(textOf(converter.rtf), "Hei Kari");
    EXPECT_EQ(converter.pdfName, pdf);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "brev.tmpRTF"));
    converter.fail = true;
    EXPECT_THROW(engine.MergeFile((dir.path() / "mal.rtf").string(), pdf), Error);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "brev.tmpRTF"));
}

TEST_F(Commands, LoggingWritesTheFourLogsInTheWorkingDirectory) {
    link("rad.rtf", "Rad\\par");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    engine.logging = true;
    merge("@IF(1 = 1)@BEGIN @LINK(rad.rtf)@END\\par");
    std::filesystem::current_path(previous);
    const std::string a = readFileBytes(dir.path() / "rtflogA.txt");
    EXPECT_NE(a.find("-> (1 = 1)\r\n"), std::string::npos) << a;
    EXPECT_NE(a.find("Start LINK: rad.rtf\r\n"), std::string::npos);
    EXPECT_NE(a.find("Slutt LINK: rad.rtf\r\n"), std::string::npos);
    EXPECT_NE(readFileBytes(dir.path() / "rtflogB.txt").find("Rad"), std::string::npos);
    EXPECT_NE(readFileBytes(dir.path() / "rtflogC.txt").find("\\par"), std::string::npos);
    EXPECT_EQ(readFileBytes(dir.path() / "rtflogD.txt"),
              "Convert - Start\r\nFieldComputer er initialisert\r\nRtf parser er initialisert\r\n"
              "Rtf dokument er lastet\r\nRtf initielle dokumentegenskaper er initialisert\r\n"
              "Rtf convert er ferdig behandlet\r\n");
}
