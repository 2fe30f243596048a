// The field routines: their conversions, their errors, widths and nulls.
#include <gtest/gtest.h>

#include "data/field_access.h"
#include "data/orv_table.h"
#include "data/schema.h"
#include "store_fixture.h"

namespace lagrull::data {
namespace {

class FieldRoutines : public test::StoreTest {
protected:
    void SetUp() override {
        TOrvTable m(db, "MEDLREG.DB");
        m.createTable(medlregDef().Fields, medlregDef().Indexes);
        TOrvTable o(db, "ORGREG.DB");
        o.createTable(orgregDef().Fields, orgregDef().Indexes);
        table.open();
    }
    TOrvTable table{db, "medlreg.db"};
};

TEST_F(FieldRoutines, ReadsConvertTextByItsLeadingNumberOrFirstLetter) {
    table.insert();
    SetFieldInt(table, "orgnr", 1);
    SetFieldText(table, "MedlNr", "12,5b");
    SetFieldText(table, "tekst", "Ja takk");
    SetFieldText(table, "fdato", "a12");
    SetFieldText(table, "email", "-7,25");
    ASSERT_TRUE(table.post());
    EXPECT_EQ(FieldInt(table, "MEDLNR"), 12);
    EXPECT_DOUBLE_EQ(FieldFloat(table, "medlnr"), 12.5);
    EXPECT_TRUE(FieldBool(table, "tekst"));
    EXPECT_EQ(FieldInt(table, "fdato"), 0);  // does not begin with a digit
    EXPECT_DOUBLE_EQ(FieldFloat(table, "fdato"), 0.0);
    EXPECT_FALSE(FieldBool(table, "fdato"));
    // A negative amount reads as negative.
    EXPECT_DOUBLE_EQ(FieldFloat(table, "email"), -7.25);
    EXPECT_EQ(FieldInt(table, "email"), -7);
    for (const char* t : {"1", "j", "S", "t", "X", "y", "True"}) {
        table.edit();
        SetFieldText(table, "tekst", t);
        EXPECT_TRUE(FieldBool(table, "tekst")) << t;
    }
    for (const char* t : {"", "0", "n", "F", "nei", " ja"}) {
        SetFieldText(table, "tekst", t);
        EXPECT_FALSE(FieldBool(table, "tekst")) << t;
    }
    table.cancel();
}

TEST_F(FieldRoutines, NumbersAndBooleansAsTextAndBack) {
    table.insert();
    SetFieldInt(table, "ORGNR", 3);
    SetFieldText(table, "MEDLNR", "7");
    SetFieldFloat(table, "BELOP", 1234.5);
    SetFieldText(table, "NMEDLNR", "7,0");
    SetFieldInt(table, "BETALING", 2);
    ASSERT_TRUE(table.post());
    EXPECT_EQ(FieldText(table, "BELOP"), "1234,5");
    EXPECT_DOUBLE_EQ(FieldFloat(table, "BELOP"), 1234.5);
    EXPECT_EQ(FieldInt(table, "BELOP"), 1234);
    EXPECT_EQ(FieldText(table, "BETALING"), "2");
    EXPECT_EQ(FieldText(table, "NMEDLNR"), "7");
    // Never written: empty text, 0, false.
    EXPECT_EQ(FieldText(table, "VARSLING"), "");
    EXPECT_EQ(FieldInt(table, "VARSLING"), 0);
    EXPECT_DOUBLE_EQ(FieldFloat(table, "VARSLING"), 0.0);
    EXPECT_FALSE(FieldBool(table, "VARSLING"));
    EXPECT_EQ(FieldText(table, "FIRMA"), "");

    TOrvTable org(db, "ORGREG.DB");
    org.open();
    org.insert();
    SetFieldInt(org, "ORGNR", 1);
    SetFieldBool(org, "AUTONR", true);
    ASSERT_TRUE(org.post());
    EXPECT_EQ(FieldText(org, "AUTONR"), "True");
    EXPECT_TRUE(FieldBool(org, "AUTONR"));
    org.edit();
    SetFieldText(org, "AUTONR", "false");
    SetFieldBool(org, "ORGNAVN", true);
    org.post();
    EXPECT_EQ(FieldText(org, "AUTONR"), "False");
    EXPECT_EQ(FieldText(org, "ORGNAVN"), "T");
}

TEST_F(FieldRoutines, BadNumberTextsAreRefused) {
    table.insert();
    EXPECT_THROW(SetFieldText(table, "ORGNR", "12a"), EOrvTableException);
    EXPECT_THROW(SetFieldText(table, "BELOP", "1.2.3"), EOrvTableException);
    EXPECT_THROW(SetFieldText(table, "ORGNR", "99999999999"), EOrvTableException);
    SetFieldText(table, "BELOP", " 12.50 ");
    EXPECT_DOUBLE_EQ(FieldFloat(table, "BELOP"), 12.5);
    SetFieldText(table, "BELOP", "");
    EXPECT_EQ(FieldText(table, "BELOP"), "");
    table.cancel();
}

TEST_F(FieldRoutines, TextsAreCutToTheFieldWidthInCharacters) {
    table.insert();
    SetFieldText(table, "ORGNR", "1");
    SetFieldText(table, "MEDLNR", "123456789012345");
    SetFieldText(table, "POSTNR", "ÆØÅæøå");
    EXPECT_EQ(FieldText(table, "MEDLNR"), "12345678901");
    EXPECT_EQ(FieldText(table, "POSTNR"), "ÆØÅæ");
    ASSERT_TRUE(table.post());
    EXPECT_EQ(rows("select postnr from medlreg"), (std::vector<std::string>{"ÆØÅæ"}));
}

TEST_F(FieldRoutines, ClosedAndReadonlyStatesAreErrors) {
    try {
        SetFieldText(table, "ENAVN", "x");
        FAIL() << "write in browse state";
    } catch (const EOrvTableException& e) {
        EXPECT_STREQ(e.what(), "Table closed or in readonly state");
    }
    table.close();
    try {
        FieldText(table, "ENAVN");
        FAIL() << "read of a closed table";
    } catch (const EOrvTableException& e) {
        EXPECT_STREQ(e.what(), "Table closed");
    }
    EXPECT_THROW(FieldInt(table, "ORGNR"), EOrvTableException);
    EXPECT_THROW(SetFieldBool(table, "AUTONR", true), EOrvTableException);
    table.open();
    EXPECT_THROW(FieldText(table, "NOSUCHFIELD"), EOrvTableException);
    // A query's result is read only.
    TOrvQuery q(db);
    q.setSql("select count(*) as n from medlreg");
    q.open();
    EXPECT_EQ(FieldInt(q, "N"), 0);
    EXPECT_THROW(SetFieldInt(q, "n", 1), EOrvTableException);
}

}  // namespace
}  // namespace lagrull::data
