// The letter a club writes in its word processor: a letterhead linked with
// @LINK, merge fields in the address block, an @IF block on the category,
// a MERGEFIELD, an IF field and a DATE field, merged with "brev.ini".
#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "common/file_names.h"
#include "merge_fixture.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

class WordProcessorLetter : public ::testing::Test {
protected:
    std::string mergeLetter(const std::string& category) {
        TRtfExtended engine;
        engine.MergeIniFile = (dir / "brev.ini").string();
        engine.letterDate = Date{2024, 4, 1};
        if (!category.empty())
            engine.OnGetField = [category](const std::string& name) -> std::optional<std::string> {
                if (name == "kategori") return category;
                return std::nullopt;
            };
        return engine.MergeToString((dir / "brev.rtf").string());
    }
    const std::filesystem::path dir = testData() / "template" / "merge";
};

}  // namespace

TEST_F(WordProcessorLetter, TextOfTheStudentsLetter) {
    const std::string out = mergeLetter("");
    EXPECT_EQ(
        textOf(out),
        "Hakkespett IL\nPostboks 12, 0101 Oslo\nKari Nordmann\nStorgata 1 {3. etg}\n0150 Oslo\n"
        "Oslo, 1. april 2024\n\nKontingent for 2024\nHei Kari Medlem,\n"
        "Som student betaler du redusert kontingent.\n"
        "Beløpet er kr 1.234,50 med forfall 15. mars 2024. Husk studentbevis.\n\nMed vennlig "
        "hilsen\nKassereren");
}

TEST_F(WordProcessorLetter, OtherCategoriesLoseTheBlock) {
    const std::string text = textOf(mergeLetter("Pensjonist"));
    EXPECT_EQ(text.find("Som student"), std::string::npos);
    EXPECT_NE(text.find("2024. Velkommen tilbake."), std::string::npos) << text;
    EXPECT_NE(text.find("Hei Kari Medlem,\nBeløpet"), std::string::npos)
        << text;  // no empty paragraph left
}

TEST_F(WordProcessorLetter, LayoutOfTheLetter) {
    const auto document = readRtfDocument(mergeLetter(""));
    // the letterhead, linked before any text, sets the margins
    EXPECT_EQ(document->sections.at(0)->marginLeft, 1701);
    EXPECT_EQ(document->sections.at(0)->marginTop, 851);
    // its font joins the letter's table and its text keeps it
    ASSERT_NE(document->header.fonts.byName("Verdana"), nullptr);
    const auto& head =
        static_cast<const TParagraph&>(*document->sections.at(0)->body.elements().at(0));
    EXPECT_EQ(head.runs.at(0).attrs.font, document->header.fonts.byName("Verdana")->number);
    EXPECT_TRUE(head.runs.at(0).attrs.bold);
    // the footer keeps its page number field
    EXPECT_FALSE(document->headerFooters.empty());
}

TEST_F(WordProcessorLetter, SameLetterAsPdfThroughTheConverter) {
    struct Converter : TRtfPdfConverter {
        std::string rtf;
        void convert(const std::string& rtfFile, const std::string& pdfFile) override {
            rtf = readFileBytes(rtfFile);
            writeFileBytes(pdfFile, "%PDF");
        }
    } converter;
    TempDir out;
    TRtfExtended engine;
    engine.MergeIniFile = (dir / "brev.ini").string();
    engine.letterDate = Date{2024, 4, 1};
    engine.setPdfConverter(&converter);
    engine.MergeFile((dir / "brev.rtf").string(), (out.path() / "brev.pdf").string());
    EXPECT_EQ(converter.rtf, mergeLetter(""));
    EXPECT_EQ(readFileBytes(out.path() / "brev.pdf"), "%PDF");
    EXPECT_FALSE(std::filesystem::exists(out.path() / "brev.tmpRTF"));
}
