// The database manager: data path, creation, structure comparison, upgrade
// with its backup and repair, the start-up of all tables, index rebuilds.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "common/error.h"
#include "common/ini.h"
#include "data/app_db_mng.h"
#include "data/conversions.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "data/schema.h"
#include "scripted_ui.h"
#include "store_fixture.h"

namespace lagrull::data {
namespace {

namespace fs = std::filesystem;

TTableDef without(const TTableDef& def, std::vector<std::string> drop) {
    TTableDef out = def;
    out.Fields.clear();
    for (const TFieldInfo& f : def.Fields)
        if (std::find(drop.begin(), drop.end(), f.Name) == drop.end()) out.Fields.push_back(f);
    return out;
}

// MEDLREG as older versions left it: 29 fields.
TTableDef oldMedlreg() {
    return without(medlregDef(), {"OLDPOSTNR", "VARSLING", "FIRMA", "MEDLFRADATO"});
}

// The secondary (name) index of MEDLREG as the engine stores it.
struct IndexPage {
    std::string name;
    std::int64_t root = 0;
    std::int64_t pageSize = 0;
};

IndexPage nameIndexOfMembers(TDatabase& db) {
    IndexPage page;
    {
        Statement s = db.prepare(
            "SELECT name, rootpage FROM sqlite_master WHERE type = 'index' AND tbl_name = "
            "'MEDLREG' COLLATE NOCASE AND name NOT LIKE 'sqlite_autoindex%'");
        EXPECT_TRUE(s.step());
        page.name = s.columnText(0);
        page.root = s.columnInt(1);
        Statement p = db.prepare("PRAGMA page_size");
        EXPECT_TRUE(p.step());
        page.pageSize = p.columnInt(0);
    }
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return page;
}

// Zeroes the index's root page in the closed database file.
void zeroPage(const fs::path& dataDir, const IndexPage& page) {
    std::fstream f(dataDir / kDatabaseFileName, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((page.root - 1) * page.pageSize);
    const std::string zeros(static_cast<std::size_t>(page.pageSize), '\0');
    f.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
}

std::string integrity(TDatabase& db) {
    Statement check = db.prepare("PRAGMA integrity_check");
    return check.step() ? check.columnText(0) : std::string();
}

void insertMembers(TDatabase& db, int count) {
    db.exec("BEGIN");
    for (int i = 0; i < count; ++i)
        db.exec("insert into medlreg (orgnr, medlnr, enavn, fornavn) values (1, '" +
                std::to_string(i) + "', 'Navn " + std::to_string(i) + "', 'Kari')");
    db.exec("COMMIT");
}

class Manager : public test::StoreTest {
protected:
    Manager() : mng(ui, (dir.path() / "lagrul.ini").string(), dir.str()) {
        db.disconnect();
        mng.RegisterDatabase(db);
    }

    void create(const TTableDef& def, const std::string& name = {}) {
        TOrvTable t(db, name.empty() ? def.TableName : name);
        mng.CreateTableFromInfo(t, def);
    }

    test::ScriptedUi ui;
    TOrvDbMng mng;
};

TEST_F(Manager, DataPathIsAskedForUntilUsableAndWrittenBack) {
    test::ScriptedUi askUi;
    const std::string settings = (dir.path() / "setup.ini").string();
    const fs::path blocker = dir.write("fil", "x");  // a file where a directory should be
    TOrvIni::writeValue(settings, "Setup", "Database", (blocker / "sub").string());
    const std::string good = (dir.path() / "ny" / "data").string();
    askUi.inputs = {good};
    TOrvDbMng m(askUi, settings, dir.str());
    TDatabase other;
    m.RegisterDatabase(other);
    ASSERT_EQ(askUi.prompts.size(), 1u);
    EXPECT_EQ(askUi.prompts[0].caption, "Invalid database pathname");
    EXPECT_EQ(askUi.prompts[0].prompt, "Enter a new path.");
    EXPECT_EQ(m.dataPath(), good + "/");
    EXPECT_TRUE(fs::exists(fs::path(good) / kDatabaseFileName));
    EXPECT_EQ(TOrvIni::readValue(settings, "Setup", "Database"), good + "/");

    // Cancel ends the program.
    test::ScriptedUi cancelUi;
    TOrvDbMng gone(cancelUi, "", (blocker / "x").string());
    try {
        gone.InitDataPath();
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.caption(), "Warning");
        EXPECT_STREQ(e.what(), "No database path is given. Can not run application");
    }
}

TEST_F(Manager, CreateTableFromInfoChecksTheDefinitionFirst) {
    create(kontgrpDef());
    exec("insert into kontgrp (orgnr, kategori) values (1, 'Voksen')");
    TTableDef bad = kontgrpDef();
    std::swap(bad.Fields[1], bad.Fields[2]);  // a key field after a non-key one
    TOrvTable t(db, "KONTGRP.DB");
    try {
        mng.CreateTableFromInfo(t, bad);
        FAIL();
    } catch (const EOrvTableException& e) {
        EXPECT_STREQ(e.what(), "Primary Key fields must be first in table definition");
    }
    EXPECT_EQ(rows("select kategori from kontgrp"),
              (std::vector<std::string>{"Voksen"}));  // still there
    TOrvTable unnamed(db, "");
    try {
        mng.CreateTableFromInfo(unnamed, kontgrpDef());
        FAIL();
    } catch (const EOrvTableException& e) {
        EXPECT_STREQ(e.what(), "No tablename is given");
    }
    EXPECT_TRUE(mng.CreateTableFromInfo(t, kontgrpDef()));
    EXPECT_EQ(rows("select count(*) from kontgrp"), (std::vector<std::string>{"0"}));
}

TEST_F(Manager, SameStructureByTheFourRules) {
    create(medlregDef());
    TOrvTable t(db, "MEDLREG.DB");
    EXPECT_TRUE(mng.SameStructure(t, medlregDef()));
    EXPECT_FALSE(mng.SameStructure(t, oldMedlreg()));  // 1: number of fields
    TTableDef key = medlregDef();
    key.Indexes[0].Fields = "Orgnr";
    EXPECT_FALSE(mng.SameStructure(t, key));  // 2: primary index fields
    TTableDef more = medlregDef();
    more.Indexes.push_back({"FIRMAINDEX", "Firma", ixCaseInsensitive});
    EXPECT_FALSE(mng.SameStructure(t, more));  // 3: number of indexes
    TTableDef width = medlregDef();
    width.Fields[3].Size = 40;
    EXPECT_FALSE(mng.SameStructure(t, width));  // 4: a String's size
    TTableDef type = medlregDef();
    type.Fields[11].DataType = FieldType::Float;
    EXPECT_FALSE(mng.SameStructure(t, type));  // 4: a type
    TTableDef name = medlregDef();
    name.Fields[4].Name = "adresse";
    EXPECT_TRUE(mng.SameStructure(t, name));  // names without regard to case
    TTableDef other = medlregDef();
    other.Indexes[1] = {"ANNEN", "Orgnr;Postnr", 0};
    EXPECT_TRUE(mng.SameStructure(t, other));  // secondary index fields not compared
    TTableDef required = medlregDef();
    required.Fields[5].Required = true;
    EXPECT_FALSE(mng.SameStructure(t, required));
}

TEST_F(Manager, SecondaryIndexOnOtherFieldsIsNoUpgrade) {
    TTableDef other = kontgrpDef();
    other.Indexes[1] = {"KATINDEX", "Belop", 0};
    create(other);
    TOrvTable t(db, "KONTGRP.DB");
    mng.OpenOrCreateTable(t, kontgrpDef(), true);
    EXPECT_EQ(t.indexDefs()[1].Fields, "BELOP");  // left as it was
}

TEST_F(Manager, UpgradeOfOldMemberTableRecomputesAndWidensYears) {
    create(oldMedlreg(), "MEDLREG.DB");
    exec(
        "insert into medlreg (orgnr, medlnr, enavn, fdato, nmedlnr, belop) values "
        "(1, '17', 'Ås', '010265', 0, 250.5), (1, '2,5', 'Berg', '31041990', 0, 0), "
        "(1, 'A1', 'Dahl', '310499', 0, 0), (2, '007', 'Eng', '', 0, 0)");
    TOrvTable t(db, "MEDLREG.DB");
    const RestructureResult r = mng.RestructureTable(t, medlregDef(), ConvertMember);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.rowsNotCopied, 0);
    EXPECT_TRUE(mng.SameStructure(t, medlregDef()));
    EXPECT_EQ(rows("select orgnr, medlnr, nmedlnr, fdato, belop, firma, varsling from medlreg "
                   "order by orgnr, medlnr"),
              (std::vector<std::string>{"1|17|17|01021965|250,5||", "1|2,5|2,5|31041990|0||",
                                        "1|A1|0||0||", "2|007|7||0||"}));
    EXPECT_FALSE(db.tableExists("MEDLREG_bck"));
    EXPECT_FALSE(db.tableExists(TOrvDbMng::kTempTable));
    EXPECT_EQ(TOrvTable(db, "MEDLREG.DB").indexDefs().size(), 2u);
}

TEST_F(Manager, UpgradeWithoutCallbackCopiesByName) {
    TTableDef oldMbet = mbetregDef();
    oldMbet.Fields[8].Size = 22;
    create(oldMbet);
    exec(
        "insert into mbetreg (orgnr, medlnr, dato, kid, belop) values (1, '1', '01012026', "
        "'0010000010010126', 100)");
    TOrvTable t(db, "MBETREG.DB");
    EXPECT_FALSE(mng.SameStructure(t, mbetregDef()));
    ASSERT_TRUE(mng.RestructureTable(t, mbetregDef()).ok);
    EXPECT_EQ(TOrvTable(db, "MBETREG.DB").fieldDefs()[8].Size, kKidFieldSize);
    EXPECT_EQ(rows("select kid, belop from mbetreg"),
              (std::vector<std::string>{"0010000010010126|100"}));
    exec("update mbetreg set kid = '12345678901234567890123'");
    EXPECT_EQ(rows("select kid from mbetreg"),
              (std::vector<std::string>{"12345678901234567890123"}));
    // The upgraded table cuts what SQL writes, as a new one does.
    exec("update mbetreg set kid = '123456789012345678901234567890', betflag = 'XY'");
    EXPECT_EQ(rows("select kid, betflag from mbetreg"),
              (std::vector<std::string>{"1234567890123456789012345|X"}));
}

TEST_F(Manager, RowsThatCannotBeCopiedStayInAKeptBackup) {
    // The old table had no key; two rows share the key of the new layout.
    TTableDef noKey = relregDef();
    for (TFieldInfo& f : noKey.Fields) f.PrimaryKey = false;
    noKey.Indexes.clear();
    create(noKey);
    exec(
        "insert into relreg (orgnr, medlnr, relasjon, belop) values (1, '1', 'Styret', 1), (1, "
        "'1', 'Styret', 2), (1, '2', 'Styret', 3)");
    TOrvTable t(db, "RELREG.DB");
    const RestructureResult r = mng.RestructureTable(t, relregDef());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.rowsNotCopied, 1);
    EXPECT_EQ(r.keptBackup, "RELREG_bck1");
    EXPECT_EQ(rows("select count(*) from relreg"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(rows("select count(*) from relreg_bck1"), (std::vector<std::string>{"3"}));
    EXPECT_FALSE(db.tableExists("RELREG_bck"));  // so the next start does not restore it

    // At start the user is told.
    TOrvDbMng m(ui, "", dir.str());
    TDatabase other;
    m.RegisterDatabase(other);
    create(noKey);
    exec("insert into relreg (orgnr, medlnr, relasjon) values (1, '1', 'A'), (1, '1', 'A')");
    TOrvTable again(other, "RELREG.DB");
    m.OpenOrCreateTable(again, relregDef(), true);
    EXPECT_TRUE(again.isOpen());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Advarsel");
    EXPECT_EQ(ui.messages[0].text,
              "1 post i tabellen RELREG.DB kunne ikke kopieres under oppgraderingen.\n"
              "Den ligger fortsatt i sikkerhetstabellen RELREG_bck2.");
}

TEST_F(Manager, FailedUpgradeLeavesTheTableAsItWas) {
    create(oldMedlreg(), "MEDLREG.DB");
    exec("insert into medlreg (orgnr, medlnr) values (1, '1')");
    TTableDef broken = medlregDef();
    broken.Indexes[1].Fields = "Orgnr;Nosuchfield";
    TOrvTable t(db, "MEDLREG.DB");
    EXPECT_FALSE(mng.RestructureTable(t, broken, ConvertMember).ok);
    EXPECT_EQ(TOrvTable(db, "MEDLREG.DB").fieldDefs().size(), 29u);
    EXPECT_EQ(rows("select medlnr from medlreg"), (std::vector<std::string>{"1"}));
    EXPECT_FALSE(db.tableExists(TOrvDbMng::kTempTable));
    // At start the same is the fatal stop.
    try {
        mng.OpenOrCreateTable(t, broken, true, ConvertMember);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.caption(), "Kritisk feil");
        EXPECT_STREQ(e.what(), "Kunne ikke omstrukturere tabell (MEDLREG.DB)\nKontakt Brakvi");
    }
}

TEST_F(Manager, OrganisationsWithoutAutoNumberGetFalse) {
    create(without(orgregDef(), {"AUTONR"}), "ORGREG.DB");
    exec("insert into orgreg (orgnr, orgnavn) values (1, 'A'), (2, 'B')");
    TOrvTable t(db, "ORGREG.DB");
    mng.OpenOrCreateTable(t, orgregDef(), true, ConvertOrganisation);
    EXPECT_EQ(rows("select orgnr, autonr from orgreg"),
              (std::vector<std::string>{"1|False", "2|False"}));
    EXPECT_FALSE(FieldBool(t, "AUTONR"));
    EXPECT_EQ(FieldText(t, "AUTONR"), "False");
}

TEST_F(Manager, ConvertOrganisationKeepsOnlyTrue) {
    create(orgregDef());
    create(orgregDef(), "ORGNY");
    exec("insert into orgreg (orgnr, autonr) values (1, 1), (2, 0), (3, NULL)");
    TOrvTable src(db, "ORGREG.DB"), dst(db, "ORGNY");
    ASSERT_EQ(mng.CopyRecords(src, dst, ConvertOrganisation), 0);
    EXPECT_EQ(rows("select orgnr, autonr from orgny order by orgnr"),
              (std::vector<std::string>{"1|True", "2|False", "3|False"}));
}

TEST_F(Manager, ShortDatesByTheYearRuleOfTheCurrentYear) {
    create(medlregDef());
    create(medlregDef(), "NY");
    exec(
        "insert into medlreg (orgnr, medlnr, fdato) values (1, '1', '010125'), (1, '2', '010126'), "
        "(1, '3', '010127'), (1, '4', '310425'), (1, '5', '29029x'), (1, '6', '290200'), (1, '7', "
        "'12345')");
    TOrvTable src(db, "MEDLREG.DB"), dst(db, "NY");
    mng.CopyRecords(src, dst,
                    [](const TDataSet& s, TOrvTable& d) { ConvertShortDate(s, d, "FDATO", 2026); });
    EXPECT_EQ(rows("select fdato from ny order by medlnr"),
              (std::vector<std::string>{"01012025", "01012026", "01011927", "", "", "29022000",
                                        "12345"}));
}

TEST_F(Manager, LeftoverBackupIsRestoredThenUpgraded) {
    // A cut-off upgrade of an older version: the backup holds the old rows.
    create(oldMedlreg(), "MEDLREG_bck");
    exec("insert into medlreg_bck (orgnr, medlnr, fdato) values (1, '5', '240578')");
    create(medlregDef());
    exec("insert into medlreg (orgnr, medlnr) values (9, 'halvferdig')");
    TOrvTable t(db, "MEDLREG.DB");
    mng.OpenOrCreateTable(t, medlregDef(), true, ConvertMember);
    EXPECT_FALSE(db.tableExists("MEDLREG_bck"));
    EXPECT_EQ(rows("select orgnr, medlnr, nmedlnr, fdato from medlreg"),
              (std::vector<std::string>{"1|5|5|24051978"}));
    EXPECT_EQ(t.fieldCount(), 33);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Manager, DamagedIndexIsRebuiltAndTheCheckRunsAgain) {
    create(medlregDef());
    for (int i = 0; i < 400; ++i)
        exec("insert into medlreg (orgnr, medlnr, enavn) values (1, '" + std::to_string(i) +
             "', 'Navn " + std::to_string(i) + "')");
    std::int64_t root = 0, pageSize = 0;
    {
        Statement s = db.prepare(
            "SELECT rootpage FROM sqlite_master WHERE name = 'sqlite_autoindex_MEDLREG_1'");
        ASSERT_TRUE(s.step());
        root = s.columnInt(0);
        Statement p = db.prepare("PRAGMA page_size");
        ASSERT_TRUE(p.step());
        pageSize = p.columnInt(0);
    }
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    db.disconnect();
    {
        std::fstream f(dir.path() / kDatabaseFileName,
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp((root - 1) * pageSize);
        const std::string garbage(static_cast<std::size_t>(pageSize), '\x5a');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    db.connect();
    TOrvTable t(db, "MEDLREG.DB");
    mng.OpenOrCreateTable(t, medlregDef(), true);
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.recordCount(), 400);
    EXPECT_TRUE(t.findKey(std::vector<std::string>{"1", "399"}));
    Statement check = db.prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.columnText(0), "ok");
}

TEST_F(Manager, ReindexMendsADamagedSecondaryIndex) {
    create(medlregDef());
    insertMembers(db, 400);
    const IndexPage page = nameIndexOfMembers(db);
    db.disconnect();
    zeroPage(dir.path(), page);
    db.connect();
    // The engine's own words stay behind a Norwegian explanation.
    try {
        Statement s = db.prepare("SELECT count(*) FROM medlreg INDEXED BY " + quoteName(page.name) +
                                 " WHERE orgnr = 1 AND enavn > ''");
        s.step();
        FAIL() << "the damaged index was read";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.damaged());
        EXPECT_EQ(std::string(e.what()),
                  "Registeret er skadet. Velg Funksjoner > Reindeksering; hjelper ikke det, legg "
                  "tilbake en sikkerhetskopi av datakatalogen.\n(database disk image is "
                  "malformed)");
    }
    TOrvTable t(db, "MEDLREG.DB");
    t.open();
    EXPECT_TRUE(mng.RebuildIndexes(t));
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(integrity(db), "ok");
    EXPECT_EQ(rows("select count(*) from medlreg"), (std::vector<std::string>{"400"}));
    EXPECT_TRUE(mng.SameStructure(t, medlregDef()));
}

TEST_F(Manager, RebuildIndexesKeepsTheDefinitions) {
    create(mbetregDef());
    TOrvTable t(db, "MBETREG.DB");
    t.open();
    EXPECT_TRUE(mng.RebuildIndexes(t));
    EXPECT_TRUE(t.isOpen());
    EXPECT_TRUE(mng.SameStructure(t, mbetregDef()));
    EXPECT_EQ(t.indexDefs()[1].Name, "KIDINDEX");
    TOrvTable missing(db, "NOSUCH.DB");
    EXPECT_FALSE(mng.RebuildIndexes(missing));
}

class Startup : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedUi ui;
    std::string settings() const { return (dir.path() / "lagrul.ini").string(); }
};

TEST_F(Startup, FirstStartCreatesAllSevenTables) {
    DataStore store(ui, settings(), dir.str());
    store.start();
    RegisterTables& t = store.tables();
    const std::vector<std::pair<TOrvTable*, std::size_t>> expected = {
        {&t.CpTab, 24},           {&t.KontTable, 4}, {&t.BetTable, 27}, {&t.tbRelReg, 5},
        {&t.tbRelRegStandard, 4}, {&t.OrgTable, 22}, {&t.MedlTable, 33}};
    for (const auto& [table, fields] : expected) {
        EXPECT_TRUE(table->exists()) << table->tableName();
        EXPECT_EQ(table->fieldDefs().size(), fields) << table->tableName();
    }
    EXPECT_FALSE(t.CpTab.isOpen());
    EXPECT_FALSE(t.BetTable.isOpen());
    EXPECT_TRUE(t.KontTable.isOpen() && t.tbRelReg.isOpen() && t.tbRelRegStandard.isOpen() &&
                t.OrgTable.isOpen() && t.MedlTable.isOpen());
    EXPECT_FALSE(store.dbLocal().tableExists("PERSLIST"));
    EXPECT_EQ(ui.waits, (std::vector<std::pair<std::string, std::string>>{
                            {"VENT!", "Initialiserer.....kan ta tid.."}}));
    EXPECT_FALSE(ui.waitOpen);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(TOrvIni::readValue(settings(), "Setup", "Database"), dir.str() + "/");
    ASSERT_NE(store.appDbMng().Organisasjon(), nullptr);
    EXPECT_EQ(store.appDbMng().RegisterKind(), RegisterKind::Members);
}

TEST_F(Startup, CurrentOrganisationAndLookUpLists) {
    TOrvIni::writeValue(settings(), "Setup", "Register", "1");
    DataStore store(ui, settings(), dir.str());
    store.start();
    EXPECT_EQ(store.appDbMng().RegisterKind(), RegisterKind::Rent);
    TDatabase& db = store.dbLocal();
    TOrvQuery q(db);
    for (const char* sql :
         {"insert into orgreg (orgnr, orgnavn, adresse, postnr, poststed, bankkonto, ekstranavn3) "
          "values "
          "(4, 'Korps', 'Vei 1', '0150', 'Oslo', '12345678901', 'Instrument')",
          "insert into medlreg (orgnr, medlnr, enavn, fornavn) values (4, '1', 'Ås', 'Kari'), (4, "
          "'2', 'Berg', 'Ola')",
          "insert into relreg (orgnr, medlnr, relasjon) values (4, '1', 'Styret'), (4, '2', "
          "'Arrangør')",
          "insert into relregstandard (orgnr, relasjon) values (4, 'Styret'), (4, 'Ærespris')",
          "insert into mbetreg (orgnr, medlnr, dato) values (4, '1', '15012026'), (4, '2', "
          "'15012026'), "
          "(4, '1', '01092025'), (4, '2', '')"}) {
        q.setSql(sql);
        q.execSQL();
    }
    store.tables().OrgTable.refresh();
    TOrganisasjon& org = *store.appDbMng().Organisasjon();
    EXPECT_EQ(org.OrgNr(), 4);
    EXPECT_EQ(org.OrgNavn(), "Korps");
    EXPECT_EQ(org.PostSted(), "Oslo");
    EXPECT_EQ(org.Bankkonto(), "12345678901");
    EXPECT_EQ(org.EkstraNavn(3), "Instrument");
    EXPECT_EQ(org.EkstraNavn(10), "");
    EXPECT_THROW(org.EkstraNavn(11), EOrvTableException);

    std::vector<std::string> list{"gammel"};
    GetRelationNames(db, 4, list);
    EXPECT_EQ(list, (std::vector<std::string>{"Arrangør", "Styret", "Ærespris"}));
    GetMemberList(db, 4, list);
    EXPECT_EQ(list, (std::vector<std::string>{"2=Berg, Ola", "1=Ås, Kari"}));
    std::vector<std::string> dates{"ALLE"};
    GetClaimDates(db, 4, dates);
    EXPECT_EQ(dates, (std::vector<std::string>{"ALLE", "15.01.2026", "01.09.2025"}));
}

TEST_F(Startup, SecondStartWithNothingToUpgradeChangesNothing) {
    {
        DataStore store(ui, settings(), dir.str());
        store.start();
    }
    DataStore store(ui, settings(), dir.str());
    store.start();
    EXPECT_TRUE(ui.messages.empty());
    std::vector<std::string> failed = store.appDbMng().Reindex(store.tables());
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(ui.waits.back(),
              (std::pair<std::string, std::string>{"VENT!", "Reindekserer......"}));
    EXPECT_FALSE(store.tables().BetTable.isOpen());
    EXPECT_TRUE(store.tables().MedlTable.isOpen());
}

TEST_F(Startup, ConnectionFailureIsShownAndStartGoesOnToTheTableError) {
    const fs::path data = dir.path() / "data";
    fs::create_directories(data / kDatabaseFileName);  // a directory where the file should be
    DataStore store(ui, "", data.string());
    store.registerDatabase();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Error!");
    try {
        store.openTables();
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.caption(), "Feil!");
        EXPECT_EQ(std::string(e.what()).rfind("Feil ved åpning av COPYTAB.DB.\n", 0), 0u)
            << e.what();
    }
}

TEST_F(Startup, DamagedSecondaryIndexIsFoundAndRebuiltAtStart) {
    IndexPage page;
    {
        DataStore store(ui, settings(), dir.str());
        store.start();
        insertMembers(store.dbLocal(), 400);
        page = nameIndexOfMembers(store.dbLocal());
    }
    zeroPage(dir.path(), page);
    DataStore store(ui, settings(), dir.str());
    store.start();
    EXPECT_TRUE(ui.messages.empty());
    TDatabase& db = store.dbLocal();
    EXPECT_EQ(integrity(db), "ok");
    Statement byName = db.prepare("SELECT count(*) FROM medlreg INDEXED BY " +
                                  quoteName(page.name) + " WHERE orgnr = 1 AND enavn > ''");
    ASSERT_TRUE(byName.step());
    EXPECT_EQ(byName.columnInt(0), 400);
    EXPECT_TRUE(store.tables().MedlTable.isOpen());
    EXPECT_EQ(store.tables().MedlTable.recordCount(), 400);
}

TEST(EngineMessages, TheUserIsToldWhatToDo) {
    test::TempDir dir;
    TDatabase missing;
    missing.setPath((dir.path() / "finnes" / "ikke").string());
    try {
        missing.connect();
        FAIL() << "connected";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Kan ikke åpne databasen " + missing.fileName() +
                      ".\nDatabasefilen kan ikke åpnes. Kontroller at datakatalogen finnes og at "
                      "du har lov til å lese og skrive i den.\n(unable to open database file)");
    }
    std::ofstream(dir.path() / kDatabaseFileName) << std::string(4096, 'x');
    TDatabase junk;
    junk.setPath(dir.str());
    try {
        junk.connect();
        junk.exec("SELECT count(*) FROM sqlite_master");
        FAIL() << "read a file that is no database";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.damaged());
        EXPECT_EQ(std::string(e.what()),
                  "Databasefilen i datakatalogen er ikke et register programmet kan lese. "
                  "Kontroller at datakatalogen i oppsettet er riktig, eller legg tilbake en "
                  "sikkerhetskopi.\n(file is not a database)");
    }
    // Faults of SQL keep the engine's text: they are ours, not the user's.
    TDatabase fine;
    fine.setPath((dir.path()).string() + "/ny");
    fs::create_directories(dir.path() / "ny");
    fine.connect();
    try {
        fine.exec("SELECT * FROM finnes_ikke");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(std::string(e.what()), "no such table: finnes_ikke");
    }
}

TEST(OldUserSettings, MovedOnceToThePerUserPath) {
    test::TempDir dir;
    const fs::path system = dir.path() / "system";
    fs::create_directories(system);
    std::ofstream(system / "LAGRUL.USR") << "[Bruker]\nNavn=Kari\n";
    const std::string target = (dir.path() / "bruker" / "lagrul.ini").string();
    EXPECT_TRUE(moveOldUserSettings(system.string(), target));
    EXPECT_FALSE(fs::exists(system / "LAGRUL.USR"));
    EXPECT_EQ(TOrvIni::readValue(target, "Bruker", "Navn"), "Kari");
    // An existing target is kept, and the old file stays.
    std::ofstream(system / "lagrul.usr") << "[Bruker]\nNavn=Ola\n";
    EXPECT_TRUE(moveOldUserSettings(system.string(), target));
    EXPECT_TRUE(fs::exists(system / "lagrul.usr"));
    EXPECT_EQ(TOrvIni::readValue(target, "Bruker", "Navn"), "Kari");
    EXPECT_TRUE(moveOldUserSettings((dir.path() / "ingen").string(), target));
}

}  // namespace
}  // namespace lagrull::data
