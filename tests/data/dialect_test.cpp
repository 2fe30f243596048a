// The register's SQL dialect on SQLite: translation, Norwegian order, Upper,
// LIKE, parameters, and the statements the windows run.
#include <gtest/gtest.h>

#include "data/field_access.h"
#include "data/norwegian_order.h"
#include "data/orv_table.h"
#include "data/schema.h"
#include "data/sql_dialect.h"
#include "data/sql_functions.h"
#include "store_fixture.h"

namespace lagrull::data {
namespace {

using test::StoreTest;

TEST(SqlDialect, TranslatesSubstringAndOrdering) {
    EXPECT_EQ(translateLocalSql("select substring(dato from 5 for 4) as y from mbetreg"),
              "select substr(dato, 5, 4) as y from mbetreg");
    EXPECT_EQ(translateLocalSql("select SUBSTRING(x FROM 3) from t"), "select substr(x, 3) from t");
    EXPECT_EQ(translateLocalSql("select a from t order by odato desc, m.enavn"),
              "select a from t order by (odato) COLLATE NORSK desc, (m.enavn) COLLATE NORSK");
    // Quoted texts are left alone, also when they look like the dialect.
    EXPECT_EQ(translateLocalSql("select 'substring(a from 1 for 2) order by x' from t"),
              "select 'substring(a from 1 for 2) order by x' from t");
    // An ORDER BY inside parentheses ends at its closing parenthesis.
    EXPECT_EQ(translateLocalSql("select * from (select a from t order by a) x"),
              "select * from (select a from t order by (a) COLLATE NORSK) x");
    EXPECT_EQ(translateLocalSql("select a from t order by a collate binary"),
              "select a from t order by a collate binary");
}

TEST(NorwegianOrder, LettersIgnoreCaseAndAeOeAaComeLast) {
    EXPECT_LT(compareNorwegian("zebra", "Ærlig"), 0);
    EXPECT_LT(compareNorwegian("Ærlig", "øst"), 0);
    EXPECT_LT(compareNorwegian("Østby", "Åsen"), 0);
    EXPECT_LT(compareNorwegian("andersen", "Berg"), 0);
    EXPECT_LT(compareNorwegian("Berg", "berge"), 0);
    // Equal but for case: ordered, yet never equal.
    EXPECT_NE(compareNorwegian("berg", "Berg"), 0);
    EXPECT_EQ(compareNorwegianNoCase("berg", "BERG"), 0);
    EXPECT_EQ(compareNorwegian("Åsen", "Åsen"), 0);
    EXPECT_LT(compareNorwegian("", "a"), 0);
    EXPECT_LT(compareNorwegian("10", "9"), 0);  // texts, not numbers
}

TEST(NorwegianOrder, TextsThatDifferInsideALetterWeighTheWholeLetter) {
    // Ü (C3 9C) sorts as Y, Å (C3 85) last: their bytes differ only in the
    // second byte of the letter.
    EXPECT_LT(compareNorwegian("Ü", "Å"), 0);
    EXPECT_LT(compareNorwegian("BergÜ", "BergÅ"), 0);
    EXPECT_GT(compareNorwegianNoCase("xÅx", "xÜx"), 0);
    // Ö and Ø weigh alike: then the bytes decide, after the common beginning.
    EXPECT_LT(compareNorwegian("SÖ", "SØ"), 0);
    EXPECT_EQ(compareNorwegianNoCase("SÖ", "sØ"), 0);
    EXPECT_LT(compareNorwegian("Etternavn12", "Etternavn120"), 0);
    EXPECT_EQ(compareNorwegian("Etternavn12", "Etternavn12"), 0);
    // Broken sequences compare as the characters the decoder makes of them.
    EXPECT_LT(compareNorwegian("a\xC3", "a\xC3\x85"), 0);
    const std::string stray = "\x85", lead = "\xC3";
    EXPECT_LT(compareNorwegian(stray + "a", stray + "b"), 0);
    EXPECT_GT(compareNorwegian("a\xC3\x85", "a" + lead + "A"), 0);
}

TEST(LikeMatch, WildcardsOnWholeCharactersAndExactOtherwise) {
    EXPECT_TRUE(likeMatch("%sen", "Hansen"));
    EXPECT_TRUE(likeMatch("H_nsen", "Hånsen"));  // _ is one letter, also a Norwegian one
    EXPECT_FALSE(likeMatch("hansen", "Hansen"));
    EXPECT_TRUE(likeMatch("%a%a%", "banana"));
    EXPECT_FALSE(likeMatch("%x%", "banana"));
    EXPECT_TRUE(likeMatch("", ""));
    EXPECT_TRUE(likeMatch("100!%", "100%", U'!'));
    EXPECT_FALSE(likeMatch("100!%", "1000", U'!'));
}

class DialectQueries : public StoreTest {
protected:
    void SetUp() override {
        for (const TTableDef* def :
             {&orgregDef(), &medlregDef(), &mbetregDef(), &relregDef(), &relregStandardDef()}) {
            TOrvTable t(db, def->TableName);
            t.createTable(def->Fields, def->Indexes);
        }
        exec("insert into orgreg (orgnr, orgnavn, autonr) values (1, 'Lag én', 1)");
        exec("insert into orgreg (orgnr, orgnavn, autonr) values (7, 'Lag to', 0)");
        exec(
            "insert into medlreg (orgnr, medlnr, enavn, fornavn, firma, nmedlnr, betaling, "
            "varsling) values "
            "(1, '1', 'Ås', 'Kari', 'Øvre Bygg AS', 1, 2, 0),"
            "(1, '2', 'berg', 'Ola', 'Nedre bygg', 2, 1, 1),"
            "(1, '3', 'Berg', 'Anne', '', 3, 1, 0),"
            "(1, '10', 'Ørn', 'Per', 'øvre bygg', 10, 3, 0),"
            "(1, '11', 'Zahl', 'Eva', NULL, 11, 2, 0),"
            "(7, '1', 'Æsir', 'Tor', 'Bygg', 1, 2, 0)");
        exec(
            "insert into mbetreg (orgnr, medlnr, dato, belop, betflag, betaling, kid, tekst) "
            "values "
            "(1, '1', '15012026', 250, '', 2, '0010000010150126', 'Kontingent 2026'),"
            "(1, '2', '15012026', 250, 'X', 1, '0010000020150126', 'Kontingent 2026'),"
            "(1, '1', '01122025', 100, '', 2, '0010000010011225', 'Dugnad'),"
            "(1, '3', '15012026', 250, '', 1, '0010000030150126', 'Kontingent 2026')");
    }
};

TEST_F(DialectQueries, ClaimDatesOrderedByTheirYearMonthDayForm) {
    EXPECT_EQ(
        rows("select distinct dato,substring(dato from 5 for 4) || substring(dato from 3 for 2) || "
             "substring(dato from 1 for 2) as odato from mbetreg where orgnr = 1 order by odato "
             "desc "),
        (std::vector<std::string>{"15012026|20260115", "01122025|20251201"}));
}

TEST_F(DialectQueries, UpperLikeSearchFindsNorwegianLettersWithoutRegardToCase) {
    const std::string sql =
        "SELECT medlnr\nFROM Medlreg\nWHERE Upper(medlreg.firma) LIKE Upper(:firma)";
    EXPECT_EQ(rows(sql, {{"firma", Value(std::string("øvre%"))}}),
              (std::vector<std::string>{"1", "10"}));
    // Without wildcards only the exact text (ignoring case) is found.
    EXPECT_EQ(rows(sql, {{"FIRMA", Value(std::string("nedre BYGG"))}}),
              (std::vector<std::string>{"2"}));
    EXPECT_EQ(rows(sql, {{"firma", Value(std::string("bygg"))}}), (std::vector<std::string>{"1"}));
    EXPECT_EQ(rows("select upper('blåbær øl') as u"), (std::vector<std::string>{"BLÅBÆR ØL"}));
}

TEST_F(DialectQueries, EqualityIsExactWhileOrderIgnoresCase) {
    EXPECT_EQ(rows("select medlnr from medlreg where enavn = 'Berg'"),
              (std::vector<std::string>{"3"}));
    EXPECT_EQ(
        rows("select enavn, fornavn from medlreg m where m.orgnr = :orgnr order by "
             "m.enavn,m.fornavn",
             {{"orgnr", Value(std::int64_t(1))}}),
        (std::vector<std::string>{"Berg|Anne", "berg|Ola", "Zahl|Eva", "Ørn|Per", "Ås|Kari"}));
    EXPECT_EQ(rows("select distinct medlnr,enavn,fornavn from medlreg where orgnr=1 order by "
                   "enavn,fornavn")
                  .front(),
              "3|Berg|Anne");
}

TEST_F(DialectQueries, MaxEmptyTextAndParametersAsTextOrInteger) {
    EXPECT_EQ(rows("select max(orgnr) as maxnr\nfrom orgreg;"), (std::vector<std::string>{"7"}));
    EXPECT_EQ(rows("select max(nmedlnr) as maxnr from medlreg where orgnr = 1"),
              (std::vector<std::string>{"11"}));
    // The text parameter finds the integer column, the integer one the text column.
    EXPECT_EQ(rows("select medlnr from medlreg where orgnr = :orgnr and medlnr = :medlnr",
                   {{"orgnr", Value(std::string("1"))}, {"medlnr", Value(std::int64_t(10))}}),
              (std::vector<std::string>{"10"}));
    // A text never written is '' too, so that "= ''" holds for it.
    EXPECT_EQ(rows("select medlnr from medlreg where firma = '' order by medlnr"),
              (std::vector<std::string>{"11", "3"}));
    EXPECT_EQ(
        rows("Select distinct MBetReg.Tekst\nFrom Mbetreg\nWhere MBetReg.Dato=:forfdato and "
             "MBetReg.Orgnr=:orgnr;",
             {{"forfdato", Value(std::string("15012026"))}, {"orgnr", Value(std::int64_t(1))}}),
        (std::vector<std::string>{"Kontingent 2026"}));
}

TEST_F(DialectQueries, PaymentSelectionQueryOfThePaymentWindow) {
    const std::string sql =
        "SELECT m.medlnr as IDnr, m.enavn,m.fornavn,m.adresse,\n"
        "m.adresse2,m.postnr,m.poststed,m.bankkonto,m.nmedlnr,b.belop,\n"
        "b.betbelop,b.Differansebelop,b.betdato,b.betaling,b.kid,b.betflag,b.sletteflag,b.dato,b."
        "tekst,\n"
        "substring(b.dato from 5 for 4) || substring(b.dato from 3 for 2)\n"
        "|| substring(b.dato from 1 for 2) as odato,m.adresse3,b.rel1,b.rel2,b.rel3,b.rel4,b.rel5\n"
        "FROM mbetreg b, medlreg m\n"
        "WHERE b.dato = :dato\n"
        "AND b.betaling >= :bet1\n"
        "AND b.betaling <= :bet2\n"
        "AND b.betflag = ''\n"
        "AND b.orgnr = :orgnr\n"
        "AND b.orgnr = m.orgnr\n"
        "AND b.medlnr = m.medlnr\n"
        "order by odato, m.enavn,m.fornavn\n \n \n ";
    TOrvQuery q(db);
    q.setSql(sql);
    q.setParamText("dato", "15012026");
    q.setParamInt("bet1", 0);
    q.setParamInt("bet2", 3);
    q.setParamInt("orgnr", 1);
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.field(0).name, "IDnr");
    EXPECT_EQ(valueToText(q.field(1), q.value(1)), "Berg");
    EXPECT_EQ(q.field(q.fieldIndex("belop")).type, FieldType::Float);
    q.next();
    EXPECT_EQ(valueToText(q.field(0), q.value(0)), "1");
    EXPECT_EQ(valueToText(q.field(q.fieldIndex("odato")), q.value(q.fieldIndex("ODATO"))),
              "20260115");
}

TEST_F(DialectQueries, GiroQueryWithPaymentMethodCombination) {
    EXPECT_EQ(
        rows(
            "select m.medlnr, b.kid, substring(m.fdato from 5 for 4) || substring(m.fdato from 3 "
            "for 2) || "
            "substring(m.fdato from 1 for 2) as dato  from medlreg m, mbetreg b where m.orgnr = "
            ":orgnr AND "
            "m.orgnr = b.orgnr AND m.medlnr = b.medlnr AND b.dato = :forfdato AND b.betflag = '' "
            "AND "
            "((m.betaling = 2) OR ((m.betaling=1) AND (m.varsling=1)))  order by m.enavn,m.fornavn",
            {{"orgnr", Value(std::int64_t(1))}, {"forfdato", Value(std::string("15012026"))}}),
        (std::vector<std::string>{"1|0010000010150126|"}));
}

TEST_F(DialectQueries, UpdateAndDeleteTellTheRowsChanged) {
    EXPECT_EQ(exec("update mbetreg set betflag = 'X', betdato = '20012026' where dato = '15012026' "
                   "and betflag = ''"),
              2);
    EXPECT_EQ(exec("DELETE FROM mbetreg\nWHERE dato = :dato\nAND betflag = ''"), 0);
    TOrvQuery del(db);
    del.setSql(
        "DELETE FROM mbetreg\nWHERE dato = :dato\nAND betaling >= :bet1\nAND betaling <= "
        ":bet2\nAND betflag = ''\nAND orgnr = :orgnr");
    del.setParamText("dato", "01122025");
    del.setParamInt("bet1", 0);
    del.setParamInt("bet2", 3);
    del.setParamInt("orgnr", 1);
    EXPECT_EQ(del.execSQL(), 1);
    EXPECT_EQ(rows("select count(*) as n from mbetreg"), (std::vector<std::string>{"3"}));
}

TEST_F(DialectQueries, TextsWrittenBySqlAreCutToTheirWidth) {
    exec("update medlreg set postnr = '123456', enavn = NULL where orgnr = 7");
    EXPECT_EQ(rows("select postnr, enavn from medlreg where orgnr = 7"),
              (std::vector<std::string>{"1234|"}));
    EXPECT_EQ(rows("select count(*) from medlreg where enavn = ''"),
              (std::vector<std::string>{"1"}));
}

TEST_F(DialectQueries, EngineErrorsAreDatabaseErrors) {
    EXPECT_THROW(rows("select nosuchfield from medlreg"), EDatabaseError);
    EXPECT_THROW(exec("insert into orgreg (orgnr) values (1)"), EDatabaseError);  // key taken
}

TEST_F(DialectQueries, CachedStatementLentTwiceAtOnce) {
    Statement a = db.prepare("SELECT orgnr FROM orgreg ORDER BY orgnr");
    ASSERT_TRUE(a.step());
    Statement b = db.prepare("SELECT orgnr FROM orgreg ORDER BY orgnr");  // a is still in use
    ASSERT_TRUE(b.step());
    EXPECT_EQ(b.columnInt(0), 1);
    ASSERT_TRUE(a.step());
    EXPECT_EQ(a.columnInt(0), 7);
}

}  // namespace
}  // namespace lagrull::data

namespace lagrull::data {
namespace {

TEST_F(DialectQueries, LiveResultWritesBackTheColumnsOfItsTable) {
    TOrvQuery q(db);
    q.setSql(
        "SELECT m.medlnr as IDnr, m.enavn, b.betflag, b.betdato, b.betbelop,\n"
        "substring(b.dato from 5 for 4) as aar\nFROM mbetreg b, medlreg m\n"
        "WHERE b.orgnr = :orgnr AND b.orgnr = m.orgnr AND b.medlnr = m.medlnr AND b.dato = :dato\n"
        "order by m.enavn");
    q.setLiveTable("mbetreg", "b");
    q.setParamInt("orgnr", 1);
    q.setParamText("dato", "15012026");
    q.open();
    ASSERT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.fieldCount(), 6);  // the row id stays hidden
    EXPECT_EQ(FieldText(q, "IDNR"), "3");
    q.edit();
    SetFieldText(q, "betflag", "X");
    SetFieldText(q, "betdato", "20012026");
    SetFieldFloat(q, "betbelop", 250);
    EXPECT_THROW(SetFieldText(q, "enavn", "Annet"), EOrvTableException);  // another table's column
    EXPECT_THROW(SetFieldText(q, "aar", "1999"), EOrvTableException);     // computed
    q.next();                                                             // posts
    EXPECT_EQ(rows("select medlnr, betflag, betdato, betbelop from mbetreg where orgnr = 1 and "
                   "dato = '15012026' order by medlnr"),
              (std::vector<std::string>{"1|||", "2|X||", "3|X|20012026|250"}));
    EXPECT_EQ(FieldText(q, "IDNR"), "2");  // settled before
    q.edit();
    SetFieldText(q, "betflag", "");
    q.cancel();
    EXPECT_EQ(FieldText(q, "betflag"), "X");
    q.first();
    EXPECT_EQ(FieldText(q, "betflag"), "X");

    TOrvQuery dead(db);
    dead.setSql("select medlnr from mbetreg");
    dead.open();
    EXPECT_THROW(dead.edit(), EOrvTableException);
    TOrvQuery distinct(db);
    distinct.setSql("select distinct b.medlnr from mbetreg b");
    distinct.setLiveTable("mbetreg", "b");
    EXPECT_THROW(distinct.open(), EOrvTableException);
}

}  // namespace
}  // namespace lagrull::data
