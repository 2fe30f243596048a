#include "reports/query_builder.h"

#include <gtest/gtest.h>

#include "../datastore/store_fixture.h"
#include "common/error.h"
#include "data/database.h"

using namespace lagrull;
using namespace lagrull::reports;

TEST(QueryParam, ListAddsAndFindsByNameInAnyCase) {
    TQueryParamList list;
    EXPECT_EQ(list.AddString("kategori", "Junior"), 0);
    EXPECT_EQ(list.AddInteger("OrgNr", -42), 1);
    EXPECT_EQ(list.Add("flag", "J", qpBoolean), 2);
    EXPECT_EQ(list.Items(1).Value, "-42");
    EXPECT_EQ(list.Items(1).Type, qpInteger);
    EXPECT_EQ(list.Items(0).Type, qpString);
    EXPECT_EQ(list.IndexOfName("ORGNR"), 1);
    EXPECT_EQ(list.IndexOfName("orgnr2"), -1);
    list.AddString("ORGNR", "second");
    EXPECT_EQ(list.IndexOfName("orgnr"), 1);  // the first of the name
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(QueryParam, TypedValueByTypeCode) {
    auto typed = [](const std::string& value, std::int32_t type) {
        return TQueryParam{"p", value, type}.TypedValue();
    };
    EXPECT_EQ(typed("17", qpInteger), data::Value(std::int64_t{17}));
    EXPECT_EQ(typed("-3", qpInteger), data::Value(std::int64_t{-3}));
    // Only the first comma becomes a point: "1,5,0" is not a number.
    EXPECT_EQ(typed("12,5", qpFloat), data::Value(12.5));
    EXPECT_THROW(typed("1,5,0", qpFloat), Error);
    EXPECT_THROW(typed("12a", qpInteger), Error);
    EXPECT_THROW(typed("", qpInteger), Error);
    // Strings keep their text exactly, blanks and all; unknown codes too.
    EXPECT_EQ(typed(" ab% ", qpString), data::Value(std::string(" ab% ")));
    EXPECT_EQ(typed("7", 99), data::Value(std::string("7")));
}

TEST(QueryParam, BooleanLetters) {
    const data::Value yes(std::int64_t{1}), no(std::int64_t{0});
    for (const char* t : {"1", "J", "j", "Ja", "S", "T", "true", "X", "Y", "yes"})
        EXPECT_EQ((TQueryParam{"b", t, qpBoolean}.TypedValue()), yes) << t;
    for (const char* t : {"0", "F", "N", "nei", "U", "", " J", "2", "Æ"})
        EXPECT_EQ((TQueryParam{"b", t, qpBoolean}.TypedValue()), no) << t;
}

TEST(QueryBuilder, EmptySelectGivesEmptyText) {
    TQueryBuilder b;
    EXPECT_EQ(b.BuildSql(), "");
    b.AddFrom({"medlreg m"});
    b.AddWhere({"m.orgnr = :orgnr"});
    b.AddOrderBy({"m.enavn"});
    EXPECT_TRUE(b.Changed());
    EXPECT_EQ(b.BuildSql(), "");
    // Adding only duplicates changes nothing.
    TQueryBuilder c;
    c.AddSelect({});
    EXPECT_FALSE(c.Changed());
}

TEST(QueryBuilder, DuplicatesAreSkippedWithoutRegardToCase) {
    TQueryBuilder b;
    b.AddSelect({"m.*"});
    b.AddFrom({"medlreg m"});
    b.AddFrom({"MEDLREG M", "relreg r"});
    b.AddWhere({"m.kategori = :kategori"});
    b.AddWhere({"m.kategori = :kategori", "m.orgnr = :orgnr"});
    EXPECT_EQ(b.FromItems(), (TStringList{"medlreg m", "relreg r"}));
    EXPECT_EQ(b.BuildSql(),
              "select m.* from medlreg m,relreg r where m.kategori = :kategori AND m.orgnr = "
              ":orgnr ");
}

TEST(QueryBuilder, FirstContributorOfAParameterWins) {
    TQueryBuilder b;
    TQueryParamList first, second;
    first.AddString("orgnr", "5");
    second.AddInteger("ORGNR", 7);
    second.AddString("kategori", "Senior");
    b.AddParams(first);
    b.AddParams(second);
    ASSERT_EQ(b.Params().Count(), 2);
    EXPECT_EQ(b.Params().Items(0).Name, "orgnr");
    EXPECT_EQ(b.Params().Items(0).Value, "5");
    EXPECT_EQ(b.Params().Items(0).Type, qpString);
    EXPECT_EQ(b.Params().Items(1).Name, "kategori");
    // Parameters alone mark the builder changed.
    TQueryBuilder c;
    c.AddParams(TQueryParamList());
    EXPECT_TRUE(c.Changed());
}

TEST(QueryBuilder, JoiningAndNormalisation) {
    TQueryBuilder b;
    b.AddSelect({"  m.medlnr ", "m.enavn"});
    b.AddFrom({"medlreg   m", "mbetreg b"});
    b.AddWhere({"A", "B", "C"});
    EXPECT_EQ(b.BuildSql(),
              "select m.medlnr,m.enavn from medlreg m,mbetreg b where A AND B AND C ");
    TQueryBuilder d;
    d.AddSelect({"x"});
    d.AddWhere({"  b.dato   = :forfdato\t"});
    EXPECT_EQ(d.BuildSql(), "select x where b.dato = :forfdato ");
}

TEST(QueryBuilder, OrderByFollowsTheConditionsWithTwoBlanks) {
    TQueryBuilder b;
    b.AddSelect({"m.*"});
    b.AddFrom({"medlreg m"});
    b.AddWhere({"m.orgnr = :orgnr", "m.kategori = :kategori"});
    b.AddOrderBy({"m.enavn,m.fornavn"});
    EXPECT_EQ(b.BuildSql(),
              "select m.* from medlreg m where m.orgnr = :orgnr AND m.kategori = :kategori  "
              "order by m.enavn,m.fornavn");
}

TEST(QueryBuilder, OfTheFirstOrderItemOnlyThePartAfterItsFirstBlank) {
    TQueryBuilder b;
    b.AddSelect({"m.*"});
    b.AddOrderBy({"sort  m.postnr", "m.poststed desc"});
    EXPECT_EQ(b.BuildSql(), "select m.* order by m.postnr,m.poststed desc");
}

class QueryBuilderOnStore : public test::StoreTest {
protected:
    QueryBuilderOnStore() {
        exec("create table medlreg (orgnr integer, medlnr varchar(11), kategori varchar(20))");
        exec("insert into medlreg values (1, '10', 'Junior')");
        exec("insert into medlreg values (1, '11', 'Senior')");
        exec("insert into medlreg values (2, '12', 'Junior')");
    }
};

TEST_F(QueryBuilderOnStore, PrepareQuerySetsTextAndTypedParameters) {
    TQueryBuilder b;
    b.AddSelect({"m.medlnr"});
    b.AddFrom({"medlreg m"});
    b.AddWhere({"m.orgnr = :orgnr", "m.kategori = :Kategori"});
    TQueryParamList p;
    p.AddInteger("ORGNR", 1);
    p.AddString("kategori", "Junior");
    b.AddParams(p);
    data::TOrvQuery q(db);
    q.setSql("select 1");
    q.setParam("stale", data::Value(std::int64_t{1}));
    b.PrepareQuery(q);
    EXPECT_EQ(q.sqlText(), b.BuildSql() + "\n");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(data::valueToText(q.field(0), q.value(0)), "10");
}

TEST_F(QueryBuilderOnStore, EngineErrorsReachTheCaller) {
    TQueryBuilder b;
    b.AddSelect({"m.medlnr"});
    b.AddFrom({"medlreg m"});
    b.AddWhere({"m.orgnr = :orgnr"});
    TQueryParamList p;
    p.AddInteger("orgnr", 1);
    p.AddString("kategori", "Junior");  // a parameter the text does not use
    b.AddParams(p);
    data::TOrvQuery q(db);
    EXPECT_THROW(b.PrepareQuery(q), data::EDatabaseError);
    TQueryBuilder unknown;
    unknown.AddSelect({"m.finnesikke"});
    unknown.AddFrom({"medlreg m"});
    unknown.AddParams(p);
    EXPECT_THROW(unknown.PrepareQuery(q), data::EDatabaseError);
}
