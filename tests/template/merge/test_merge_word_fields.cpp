// Word-processor fields of a template, and the DATABASE field on the
// register's own database.
#include <gtest/gtest.h>

#include <ctime>

#include "data/orv_table.h"
#include "data/schema.h"
#include "merge_fixture.h"
#include "register/merge_database.h"
#include "store_fixture.h"
#include "template/merge/merge_database.h"
#include "template/merge/rtf_word_fields.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

std::string field(const std::string& instruction, const std::string& stored = "gammelt") {
    return "{\\field{\\*\\fldinst {" + instruction + "}}{\\fldrslt {\\b " + stored + "}}}";
}

class WordFields : public MergeTest {};

}  // namespace

TEST_F(WordFields, MergeFieldsAndSwitches) {
    engine.nameValueList = {"navn=kari nordmann", "ref=@navn", "belop=1234,5"};
    EXPECT_EQ(
        mergedText(field(" MERGEFIELD navn ") + "|" + field("MERGEFIELD ref \\\\* UPPER") + "|" +
                   field("MERGEFIELD navn \\\\* Caps") + "|" + field("MERGEFIELD tom \\\\b \"x\"") +
                   "|" + field("MERGEFIELD belop \\\\# \"# ##0,00\"") + "\\par"),
        "kari nordmann|KARI NORDMANN|Kari Nordmann||1 234,50");
    // the stored result's formatting stays with the value
    EXPECT_NE(result.find("{\\b kari nordmann}"), std::string::npos) << result;
}

TEST_F(WordFields, IfCompareQuoteAndFormulas) {
    engine.nameValueList = {"kategori=Student", "antall=12"};
    const std::string nested =
        "IF \"}{\\field{\\*\\fldinst MERGEFIELD kategori}{\\fldrslt x}}{\" = \"Student\" \"Ja\" "
        "\"Nei\"";
    EXPECT_EQ(
        mergedText(field(nested) + "|" + field("IF 10 > 9,5 \"tall\" \"tekst\"") + "|" +
                   field("IF \"b\" > \"a\" sant usant") + "|" + field("COMPARE 2+2 = 4") + "|" +
                   field("QUOTE \"Hei du\"") + "|" + field("= 2*(3+4)") + "|" +
                   field("= ROUND(2,345;2)") + "|" + field("= MAX(1;7;3) \\\\# 0,00") + "\\par"),
        "Ja|tall|sant|1|Hei du|14|2,35|7,00");
}

TEST_F(WordFields, DatesPagesAndDocumentInformation) {
    const std::string info =
        "{\\info{\\title Brev}{\\author Kari}{\\creatim\\yr2024\\mo3\\dy5\\hr8\\min7}}";
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const std::string year = std::to_string(tm.tm_year + 1900);
    const std::string out =
        merge(info + field("DATE \\\\@ \"yyyy\"") + "|" +
              field("CREATEDATE \\\\@ \"d. MMMM yyyy HH:mm\"") + "|" + field("TITLE") + "|" +
              field("AUTHOR") + "|" + field("PAGE") + "|" + field("NUMPAGES") + "|" +
              field("FILLIN \"Navn?\"", "lagret") + "|" + field("UKJENT felt", "lagret") + "\\par");
    EXPECT_EQ(textOf(out).substr(0, 4), year);
    EXPECT_NE(textOf(out).find("|5. mars 2024 08:07|Brev|Kari|"), std::string::npos) << textOf(out);
    EXPECT_NE(out.find("{\\chpgn }"), std::string::npos);
    EXPECT_NE(out.find("{\\numpages }"), std::string::npos);
    EXPECT_NE(textOf(out).find("|lagret|lagret"), std::string::npos);
}

TEST_F(WordFields, IncludeTextAndPicture) {
    dir.write("vedlegg.txt", "Linje 1\nLinje 2");
    dir.write("del.rtf", rtfTemplate("Del av brev\\par"));
    dir.write("bilde.xyz", "??");
    EXPECT_EQ(mergedText(field("INCLUDETEXT vedlegg.txt") + "\\par " +
                         field("INCLUDETEXT del.rtf") + field("INCLUDETEXT bilde.xyz") + "\\par " +
                         field("INCLUDETEXT mangler.txt", "beholdt") + "\\par"),
              "Linje 1\nLinje 2\nDel av brev\nUkjent filtype\nbeholdt");
    // a bitmap of 1 x 1 pixel
    std::string bmp("BM", 2);
    bmp.resize(14 + 40 + 4, '\0');
    bmp[14] = 40, bmp[18] = 1, bmp[22] = 1, bmp[26] = 1, bmp[28] = 24;
    dir.write("logo.bmp", bmp);
    const std::string out = merge(field("INCLUDEPICTURE logo.bmp") + "\\par");
    EXPECT_NE(out.find("{\\pict\\dibitmap0\\picw1\\pich1\\picwgoal15\\pichgoal15"),
              std::string::npos)
        << out;
}

TEST(FieldInstruction, ArgumentsAndSwitches) {
    const TFieldInstruction f =
        parseFieldInstruction(" DATABASE \\d \"navn\" \\s \"select 1\" \\o 2 \\h \\x");
    EXPECT_EQ(f.type, "DATABASE");
    EXPECT_EQ(*f.switchValue('s'), "select 1");
    EXPECT_EQ(*f.switchValue('o'), "2");
    EXPECT_TRUE(f.hasSwitch('h'));
    EXPECT_TRUE(f.hasSwitch('x'));
    EXPECT_EQ(formatDatePicture("dddd d. MMM yy", 2024, 3, 5, 0, 0, 0), "tirsdag 5. mar 24");
    EXPECT_EQ(formatNumberPicture("kr # ##0,00", 1234567.891), "kr 1 234 567,89");
}

namespace {

class DatabaseFields : public StoreTest {
protected:
    void SetUp() override {
        data::TOrvTable t(db, data::mbetregDef().TableName);
        t.createTable(data::mbetregDef().Fields, data::mbetregDef().Indexes);
    }
    std::string mergeText(const std::string& body) {
        engine.setDatabase(&source);
        const std::string out = engine.Convert(rtfTemplate(body));
        return textOf(out);
    }
    TRtfExtended engine;
    TRegisterMergeDatabase source{db};
};

const char* const kTable =
    "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Navn\\cell Bel\\'f8p\\cell\\row "
    "\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\cell\\cell\\row \\pard Sum";

}  // namespace

TEST_F(DatabaseFields, RowsMergeIntoTheStoredTableWithSums) {
    exec(
        "insert into mbetreg (orgnr, medlnr, dato, belop, betflag, betaling, kid, tekst) values "
        "(1, '1', '15012026', 100.5, '', 1, '', 'A'), (1, '2', '15012026', 200, '', 1, '', 'B{')");
    const std::string sql = "select tekst, belop from mbetreg order by medlnr";
    EXPECT_EQ(mergeText(field("DATABASE \\\\s \"" + sql + "\" \\\\o", kTable) +
                        "\\par Totalt \\{Sum_Col_2\\}\\par"),
              "Navn|Beløp\nA|100,5\nB{|200\nSum\nTotalt 300,5");
    EXPECT_EQ(mergeText(field("PRIVATE SQL select count(*) from mbetreg", "") + "\\pard\\par"),
              "2\n");
    EXPECT_EQ(
        mergeText(field("DATABASE \\\\s \"" + sql + " limit 0\" \\\\o \\\\x", kTable) + "|\\par"),
        "|");
    EXPECT_EQ(mergeText(field("DATABASE \\\\s \"select * from finnes_ikke\"", kTable) + "\\par")
                  .rfind("### Feil i DATABASE: ", 0),
              0u);
}

namespace {

// A query source of fixed rows: the engine needs nothing but the interface.
class FixedRows : public TMergeDatabase {
public:
    std::unique_ptr<TMergeRows> query(const std::string& sql) override {
        queries.push_back(sql);
        struct Rows : TMergeRows {
            std::vector<std::string> names{"navn", "belop"};
            std::vector<std::vector<TMergeCell>> rows{
                {{"Kari", {}}, {"1,5", 1.5}}, {{"Ola", {}}, {"2", 2.0}}, {{"Per", {}}, {"4", 4.0}}};
            std::size_t at = 0;
            const std::vector<std::string>& columnNames() const override { return names; }
            bool next(std::vector<TMergeCell>& row) override {
                if (at == rows.size()) return false;
                row = rows[at++];
                return true;
            }
        };
        return std::make_unique<Rows>();
    }
    std::vector<std::string> queries;
};

}  // namespace

TEST_F(WordFields, DatabaseFieldReadsThroughTheQueryInterface) {
    FixedRows source;
    TRtfExtended merger;
    merger.setDatabase(&source);
    // \m stops after two rows; the sums count only the rows merged
    const std::string out = textOf(merger.Convert(
        rtfTemplate(field("DATABASE \\\\s \"select navn, belop\" \\\\o \\\\m 2", kTable) +
                    "\\par \\{Sum_Col_2\\}\\par")));
    EXPECT_EQ(out, "Navn|Beløp\nKari|1,5\nOla|2\nSum\n3,5");
    EXPECT_EQ(source.queries, std::vector<std::string>{"select navn, belop"});
    // without a source the field fails in the document, not the merge
    TRtfExtended none;
    EXPECT_EQ(
        textOf(none.Convert(rtfTemplate(field("DATABASE \\\\s \"select 1\"", kTable) + "\\par")))
            .rfind("### Feil i DATABASE: Ingen database", 0),
        0u);
}

TEST_F(WordFields, PrivateCommands) {
    dir.write("data.ini", "[Brev]\r\nnavn=Kari\r\n");
    EXPECT_EQ(
        mergedText(field("PRIVATE SET farge=bl\\'e5") + field("PRIVATE IFBLANK farge=gr\\'f8nn") +
                   field("PRIVATE IFBLANK tom=gr\\'f8nn") + field("PRIVATE REM bare en kommentar") +
                   field("PRIVATE FLETTINNI data.ini") +
                   field("PRIVATE SCRIPT function dobbel(x) return 2*x end") +
                   "\\{farge\\} \\{tom\\} \\{navn\\} \\{dobbel(21)\\}" +
                   field("PRIVATE DBFMT 1 0,00", "beholdt") + "\\par"),
        "blå grønn Kari 42beholdt");
    EXPECT_NE(merge(field("PRIVATE USEPAGESIZE") + "x\\par").find("{\\uselogicalpagesize1 }"),
              std::string::npos);
}
