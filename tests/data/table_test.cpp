// Table objects: moving, editing, events, finding, indexes, master-detail,
// and the row access a grid model uses.
#include <gtest/gtest.h>

#include "data/field_access.h"
#include "data/orv_table.h"
#include "data/schema.h"
#include "store_fixture.h"

namespace lagrull::data {
namespace {

class TableObject : public test::StoreTest {
protected:
    void SetUp() override {
        for (const TTableDef* def : {&orgregDef(), &medlregDef(), &mbetregDef(), &persListDef()}) {
            TOrvTable t(db, def->TableName);
            t.createTable(def->Fields, def->Indexes);
        }
        exec("insert into orgreg (orgnr, orgnavn) values (1, 'Første'), (2, 'Andre'), (3, 'Tom')");
        exec(
            "insert into medlreg (orgnr, medlnr, enavn, fornavn) values "
            "(1, '2', 'Ås', 'Kari'), (1, '1', 'berg', 'Ola'), (1, '3', 'Berg', 'Anne'), (2, '1', "
            "'Zahl', 'Eva')");
        exec(
            "insert into mbetreg (orgnr, medlnr, dato, belop) values (1, '1', '01012026', 100), "
            "(1, '1', '01022026', 200), (1, '2', '01012026', 300), (2, '1', '01012026', 400)");
    }

    static std::vector<std::string> walk(TOrvTable& t, const char* field) {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(FieldText(t, field));
        return out;
    }
};

TEST_F(TableObject, WalksInPrimaryOrderWithRecordNumbers) {
    TOrvTable m(db, "MEDLREG.DB");
    m.open();
    EXPECT_EQ(m.recordCount(), 4);
    EXPECT_EQ(walk(m, "MEDLNR"), (std::vector<std::string>{"1", "2", "3", "1"}));
    m.first();
    EXPECT_EQ(m.recNo(), 1);
    m.next();
    m.next();
    EXPECT_EQ(m.recNo(), 3);
    EXPECT_EQ(FieldText(m, "ENAVN"), "Berg");
    m.setRecNo(2);
    EXPECT_EQ(FieldText(m, "ENAVN"), "Ås");
    m.prior();
    m.prior();
    EXPECT_TRUE(m.bof());
    EXPECT_EQ(m.recNo(), 1);
    m.last();
    EXPECT_EQ(FieldText(m, "ENAVN"), "Zahl");
    m.next();
    EXPECT_TRUE(m.eof());
}

TEST_F(TableObject, IndexByNameOrFieldsOrdersWithoutRegardToCase) {
    TOrvTable m(db, "MEDLREG.DB");
    m.setIndexName("NAVNINDEX");
    m.open();
    EXPECT_EQ(m.indexFieldCount(), 3);
    EXPECT_EQ(walk(m, "FORNAVN"), (std::vector<std::string>{"Anne", "Ola", "Kari", "Eva"}));
    m.setIndexFieldNames("Fornavn");
    EXPECT_EQ(m.indexFieldCount(), 1);
    EXPECT_EQ(walk(m, "FORNAVN"), (std::vector<std::string>{"Anne", "Eva", "Kari", "Ola"}));
    EXPECT_THROW(m.setIndexName("NOSUCH"), EOrvTableException);
    TOrvTable p(db, "PersList.db");  // no index: insertion order
    p.open();
    EXPECT_EQ(p.indexFieldCount(), 0);
    for (const char* n : {"9", "1", "5"}) {
        p.insert();
        SetFieldText(p, "KUNDENR", n);
        p.post();
    }
    EXPECT_EQ(walk(p, "KUNDENR"), (std::vector<std::string>{"9", "1", "5"}));
}

TEST_F(TableObject, FindKeyAndFindNearest) {
    TOrvTable m(db, "MEDLREG.DB");
    m.open();
    EXPECT_TRUE(m.findKey(std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(FieldText(m, "ENAVN"), "Berg");
    EXPECT_EQ(m.recNo(), 3);
    EXPECT_FALSE(m.findKey(std::vector<std::string>{"1", "4"}));
    EXPECT_EQ(FieldText(m, "ENAVN"), "Berg");  // not moved
    EXPECT_TRUE(m.findKey(std::vector<Value>{Value(std::int64_t(2))}));
    EXPECT_EQ(FieldText(m, "ENAVN"), "Zahl");
    EXPECT_FALSE(m.findKey(std::vector<std::string>{"1", "03"}));  // exact, not numeric
    m.setIndexName("NAVNINDEX");
    m.findNearest({Value(std::int64_t(1)), Value(std::string("b"))});
    EXPECT_EQ(FieldText(m, "FORNAVN"), "Anne");
    m.findNearest({Value(std::int64_t(1)), Value(std::string("C"))});
    EXPECT_EQ(FieldText(m, "FORNAVN"), "Kari");
    m.findNearest({Value(std::int64_t(9))});
    EXPECT_EQ(FieldText(m, "FORNAVN"), "Eva");  // nothing after: the last row
    EXPECT_THROW(m.findKey(std::vector<std::string>{"1", "2", "3", "4"}), EOrvTableException);
}

TEST_F(TableObject, InsertEditPostCancelDelete) {
    TOrvTable m(db, "MEDLREG.DB");
    m.open();
    m.insert();
    EXPECT_EQ(m.state(), DataSetState::Insert);
    SetFieldInt(m, "ORGNR", 1);
    SetFieldText(m, "MEDLNR", "0");
    SetFieldText(m, "ENAVN", "Nyland");
    ASSERT_TRUE(m.post());
    EXPECT_EQ(m.recNo(), 1);  // ordered into its place
    EXPECT_EQ(m.recordCount(), 5);
    m.edit();
    SetFieldText(m, "ENAVN", "Endret");
    m.cancel();
    EXPECT_EQ(FieldText(m, "ENAVN"), "Nyland");
    m.edit();
    SetFieldText(m, "FORNAVN", "Liv");
    m.post();
    EXPECT_EQ(rows("select fornavn from medlreg where medlnr = '0'"),
              (std::vector<std::string>{"Liv"}));
    m.setRecNo(3);
    m.insert();
    m.cancel();
    EXPECT_EQ(m.recNo(), 3);
    EXPECT_EQ(FieldText(m, "MEDLNR"), "2");
    ASSERT_TRUE(m.remove());
    EXPECT_EQ(m.recordCount(), 4);
    EXPECT_EQ(FieldText(m, "MEDLNR"), "3");  // the next row
    m.last();
    m.remove();
    EXPECT_EQ(FieldText(m, "MEDLNR"), "3");  // the last row went: the one before it
    // A taken key is an engine error; the record stays in insert.
    m.insert();
    SetFieldInt(m, "ORGNR", 1);
    SetFieldText(m, "MEDLNR", "3");
    EXPECT_THROW(m.post(), EDatabaseError);
    EXPECT_EQ(m.state(), DataSetState::Insert);
    m.cancel();
}

TEST_F(TableObject, RecordEventsAndSilentCancel) {
    TOrvTable m(db, "MEDLREG.DB");
    std::vector<std::string> log;
    bool allow = false;
    m.onNewRecord = [&](TOrvTable& t) {
        SetFieldInt(t, "BETALING", 2);
        log.push_back("new");
    };
    m.beforePost = [&](TOrvTable&) {
        log.push_back("beforePost");
        return allow;
    };
    m.afterPost = [&](TOrvTable&) { log.push_back("afterPost"); };
    m.afterCancel = [&](TOrvTable&) { log.push_back("afterCancel"); };
    m.beforeDelete = [&](TOrvTable&) {
        log.push_back("beforeDelete");
        return allow;
    };
    m.afterDelete = [&](TOrvTable&) { log.push_back("afterDelete"); };
    m.open();
    m.insert();
    SetFieldInt(m, "ORGNR", 5);
    SetFieldText(m, "MEDLNR", "1");
    EXPECT_FALSE(m.post());
    EXPECT_EQ(m.state(), DataSetState::Insert);
    allow = true;
    EXPECT_TRUE(m.post());
    EXPECT_EQ(FieldInt(m, "BETALING"), 2);
    allow = false;
    EXPECT_FALSE(m.remove());
    EXPECT_EQ(m.recordCount(), 5);
    m.edit();
    m.cancel();
    allow = true;
    EXPECT_TRUE(m.remove());
    EXPECT_EQ(log, (std::vector<std::string>{"new", "beforePost", "beforePost", "afterPost",
                                             "beforeDelete", "afterCancel", "beforeDelete",
                                             "afterDelete"}));
}

TEST_F(TableObject, CalculatedFieldsForCurrentRowAndGridRows) {
    TOrvTable m(db, "MEDLREG.DB");
    m.addCalculatedField("NAVN2");
    m.onCalcFields = [](TDataSet& t) {
        SetFieldText(t, "NAVN2", FieldText(t, "ENAVN") + ", " + FieldText(t, "FORNAVN"));
    };
    m.open();
    EXPECT_EQ(FieldText(m, "navn2"), "berg, Ola");
    const std::vector<Value>& row = m.rowAt(2);
    EXPECT_EQ(std::get<std::string>(row[static_cast<std::size_t>(m.fieldIndex("NAVN2"))]),
              "Ås, Kari");
    EXPECT_EQ(m.recNo(), 1);  // the cursor stays
    EXPECT_EQ(FieldText(m, "navn2"), "berg, Ola");
    EXPECT_THROW(m.rowAt(9), EOrvTableException);
}

TEST_F(TableObject, MasterDetailFollowsTheMasterRow) {
    TOrvTable org(db, "ORGREG.DB");
    TOrvTable medl(db, "MEDLREG.DB");
    TOrvTable bet(db, "MBETREG.DB");
    org.open();
    medl.setMasterSource(&org, "ORGNR");
    medl.open();
    bet.setMasterSource(&medl, "ORGNR;MEDLNR");
    bet.open();
    EXPECT_EQ(walk(medl, "MEDLNR"), (std::vector<std::string>{"1", "2", "3"}));
    medl.first();
    EXPECT_EQ(walk(bet, "BELOP"), (std::vector<std::string>{"100", "200"}));
    org.next();
    EXPECT_EQ(walk(medl, "ENAVN"), (std::vector<std::string>{"Zahl"}));
    EXPECT_EQ(walk(bet, "BELOP"), (std::vector<std::string>{"400"}));
    org.next();  // an organisation without members
    EXPECT_EQ(medl.recordCount(), 0);
    EXPECT_TRUE(medl.eof());
    EXPECT_EQ(bet.recordCount(), 0);
    // A new detail row gets the master's key.
    medl.insert();
    SetFieldText(medl, "MEDLNR", "1");
    ASSERT_TRUE(medl.post());
    EXPECT_EQ(FieldInt(medl, "ORGNR"), 3);
    EXPECT_EQ(medl.recordCount(), 1);
    org.first();
    EXPECT_EQ(medl.recordCount(), 3);
    org.insert();  // a master row being made has no details yet
    EXPECT_EQ(medl.recordCount(), 0);
    org.cancel();
    EXPECT_EQ(medl.recordCount(), 3);
    medl.setMasterSource(nullptr, "");
    EXPECT_EQ(medl.recordCount(), 5);
}

TEST_F(TableObject, DetailOutlivingItsMasterIsUnlinked) {
    TOrvTable medl(db, "MEDLREG.DB");
    {
        TOrvTable org(db, "ORGREG.DB");
        org.open();
        medl.setMasterSource(&org, "ORGNR");
        medl.open();
        EXPECT_EQ(medl.recordCount(), 3);
    }
    EXPECT_EQ(medl.recordCount(), 4);
    medl.first();
    EXPECT_EQ(FieldText(medl, "ENAVN"), "berg");
}

TEST_F(TableObject, SubscribersHearChangesUntilTheyLeave) {
    TOrvTable m(db, "MEDLREG.DB");
    m.open();
    std::vector<TableEvent> events;
    {
        Subscription s = m.subscribe([&](TableEvent e) { events.push_back(e); });
        m.next();
        m.edit();
        SetFieldText(m, "TEKST", "x");
        m.post();  // no ordering field changed: in place
        m.edit();
        SetFieldText(m, "MEDLNR", "9");
        m.post();  // moved in the order
    }
    m.next();
    EXPECT_EQ(events,
              (std::vector<TableEvent>{
                  TableEvent::Scrolled, TableEvent::StateChanged, TableEvent::FieldChanged,
                  TableEvent::RecordChanged, TableEvent::StateChanged, TableEvent::StateChanged,
                  TableEvent::FieldChanged, TableEvent::Reset, TableEvent::StateChanged}));
    // The moved row went after "3"; the next one is the other organisation's.
    EXPECT_EQ(m.recNo(), 4);
    EXPECT_EQ(FieldText(m, "ENAVN"), "Zahl");
    // A subscription that outlives its table ends quietly.
    Subscription late;
    {
        TOrvTable t(db, "ORGREG.DB");
        late = t.subscribe([](TableEvent) {});
    }
    late.reset();
}

TEST_F(TableObject, EditPassOverEveryRowKeepsItsPlace) {
    TOrvTable m(db, "MEDLREG.DB");
    m.open();
    int n = 0;
    for (m.first(); !m.eof(); m.next()) {
        m.edit();
        SetFieldInt(m, "BETALING", ++n);
        m.post();
    }
    EXPECT_EQ(n, 4);
    EXPECT_EQ(rows("select sum(betaling) from medlreg"), (std::vector<std::string>{"10"}));
}

TEST_F(TableObject, StructureReadBackAndTableOperations) {
    TOrvTable m(db, "MEDLREG.DB");
    const std::vector<TFieldInfo> f = m.fieldDefs();
    ASSERT_EQ(f.size(), 33u);
    EXPECT_EQ(f[1].Name, "MEDLNR");
    EXPECT_EQ(f[1].DataType, FieldType::String);
    EXPECT_EQ(f[1].Size, 11);
    EXPECT_TRUE(f[1].PrimaryKey);
    EXPECT_EQ(f[15].DataType, FieldType::Float);
    EXPECT_EQ(f[11].DataType, FieldType::Integer);
    const std::vector<TIndexInfo> ix = m.indexDefs();
    ASSERT_EQ(ix.size(), 2u);
    EXPECT_EQ(ix[0].Fields, "ORGNR;MEDLNR");
    EXPECT_EQ(ix[0].Options, unsigned(ixPrimary));
    EXPECT_EQ(ix[1].Name, "NAVNINDEX");
    EXPECT_EQ(ix[1].Fields, "ORGNR;ENAVN;FORNAVN");
    EXPECT_EQ(ix[1].Options, unsigned(ixCaseInsensitive));
    EXPECT_EQ(TOrvTable(db, "ORGREG.DB").fieldDefs()[8].DataType, FieldType::Boolean);
    EXPECT_EQ(TOrvTable(db, "MBETREG.DB").fieldDefs()[8].Size, 25);

    m.addIndex({"FIRMAINDEX", "Firma", 0});
    EXPECT_EQ(m.indexDefs().size(), 3u);
    EXPECT_EQ(m.indexDefs()[2].Options, 0u);
    m.open();
    m.emptyTable();
    EXPECT_TRUE(m.isOpen());
    EXPECT_EQ(m.recordCount(), 0);
    m.deleteTable();
    EXPECT_FALSE(m.exists());
    EXPECT_THROW(m.open(), EDatabaseError);
}

}  // namespace
}  // namespace lagrull::data
