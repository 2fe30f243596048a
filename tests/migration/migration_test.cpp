#include <fstream>
#include <map>

#include "common/ini.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/schema.h"
#include "data/table_scan.h"
#include "migration/migration_fixture.h"
#include "services/migration/migration_report.h"

namespace lagrull::test {

namespace fs = std::filesystem;
using data::Value;

std::string MigrationTest::scalar(const std::string& sql) {
    data::TOrvQuery q(store().dbLocal());
    q.setSql(sql);
    q.open();
    return q.eof() ? std::string() : data::FieldText(q, q.field(0).name);
}

void MigrationTest::exec(const std::string& sql) {
    data::TOrvQuery q(store().dbLocal());
    q.setSql(sql);
    q.execSQL();
}

namespace {

// A value as every reader of the register sees it: null is empty or 0.
std::string seen(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", *d);
        return text;
    }
    return {};
}
std::string seenNumber(const Value& v) { return data::isNull(v) ? "0" : seen(v); }

// The register's rows of a table by their key ("1|17|15012025").
std::map<std::string, std::map<std::string, Value>> registerRows(data::TDatabase& db,
                                                                 const data::TTableDef& def) {
    std::map<std::string, std::map<std::string, Value>> out;
    data::TTableScan scan(db, def.TableName);
    scan.open();
    for (scan.first(); !scan.eof(); scan.next()) {
        std::string key;
        std::map<std::string, Value> row;
        for (int i = 0; i < scan.fieldCount(); ++i) row[scan.field(i).name] = scan.value(i);
        for (const auto& f : def.Fields)
            if (f.PrimaryKey) key += seen(row[f.Name]) + "|";
        out[key] = row;
    }
    return out;
}

const data::TTableDef& defOf(const std::string& name) {
    for (const data::TTableDef* d :
         {&data::orgregDef(), &data::medlregDef(), &data::kontgrpDef(), &data::relregDef(),
          &data::relregStandardDef(), &data::mbetregDef(), &data::copytabDef()})
        if (d->TableName == name) return *d;
    throw std::runtime_error("ukjent tabell " + name);
}

// "DDMMYY" as the upgrade reads it in 2026 or later: years up to the
// current one stay in this century.
std::string fourDigitYear(const std::string& sixOrEight, int generatedYear) {
    if (sixOrEight.size() != 6) return sixOrEight;
    if (sixOrEight == "310406") return "";  // 31 April
    return sixOrEight.substr(0, 4) + std::to_string(generatedYear);
}

std::map<std::string, std::string> filesOf(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::ifstream in(e.path(), std::ios::binary);
        out[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return out;
}

struct Case {
    int codePage;
    Layout layout;
};

class RoundTrip : public MigrationTest, public ::testing::WithParamInterface<Case> {};

}  // namespace

TEST_P(RoundTrip, EveryValueOfEveryRowReadsBackEqual) {
    const Case c = GetParam();
    RegisterOptions o;
    o.codePage = c.codePage;
    o.layout = c.layout;
    const std::vector<GeneratedTable> written = writeRegister(source(), o);
    const auto before = filesOf(source());

    const migration::MigrationReport report = migrate();
    EXPECT_TRUE(report.checks.passed()) << migration::reportText(report);
    EXPECT_EQ(report.refusedRows(), 0);
    EXPECT_EQ(report.checks.kidsChecked, 20);

    for (const GeneratedTable& t : written) {
        SCOPED_TRACE(t.name);
        const data::TTableDef& def = defOf(t.name);
        const auto rows = registerRows(store().dbLocal(), def);
        ASSERT_EQ(rows.size(), t.rows.size());
        for (const auto& r : t.rows) {
            std::string key;
            for (std::size_t i = 0; i < def.Fields.size() && def.Fields[i].PrimaryKey; ++i)
                key += seen(r[i]) + "|";
            const auto found = rows.find(key);
            ASSERT_NE(found, rows.end()) << key;
            const auto& got = found->second;
            for (std::size_t i = 0; i < t.fields.size(); ++i) {
                const std::string& name = t.fields[i].name;
                SCOPED_TRACE(testing::Message() << name << " of " << key);
                const Value& have = got.at(name);
                if (t.name == "MEDLREG.DB" && name == "FDATO") {
                    const long long m = std::stoll(std::get<std::string>(r[1]));
                    const std::string want = c.layout == Layout::Old
                                                 ? fourDigitYear(seen(r[i]), 1940 + int(m % 80))
                                                 : seen(r[i]);
                    EXPECT_EQ(seen(have), want);
                } else if (t.name == "MEDLREG.DB" && name == "NMEDLNR") {
                    EXPECT_EQ(seen(have), seen(Value(std::stod(seen(r[1])))));
                } else if (t.fields[i].type == data::FieldType::String) {
                    EXPECT_EQ(seen(have), seen(r[i]));
                } else {
                    EXPECT_EQ(seenNumber(have), seenNumber(r[i]));
                }
            }
            if (c.layout == Layout::Old && t.name == "ORGREG.DB") {
                EXPECT_EQ(seenNumber(got.at("AUTONR")), "0");
            }
            if (c.layout == Layout::Old && t.name == "MEDLREG.DB") {
                for (const char* added : {"OLDPOSTNR", "FIRMA", "MEDLFRADATO"})
                    EXPECT_EQ(seen(got.at(added)), "");
            }
        }
    }
    EXPECT_EQ(filesOf(source()), before) << "the source directory must only be read";
}

INSTANTIATE_TEST_SUITE_P(CodePagesAndLayouts, RoundTrip,
                         ::testing::Values(Case{1252, Layout::Current}, Case{865, Layout::Current},
                                           Case{1252, Layout::Old}, Case{865, Layout::Old}));

TEST_F(MigrationTest, SettingsTemplatesAndReportFilesAreTakenOver) {
    writeRegister(source(), {});
    const migration::MigrationReport report = migrate();
    EXPECT_TRUE(fs::exists(appData() / "Brev.rtf"));
    EXPECT_TRUE(fs::exists(appData() / "TilbudAvtaleGiro.rtf"));
    EXPECT_TRUE(fs::exists(appData() / "medlemsliste.smr"));
    EXPECT_FALSE(fs::exists(appData() / "annet.txt"));
    auto value = [&](const char* section, const char* key) {
        return TOrvIni::readValue(settingsFile(), section, key).value_or("<mangler>");
    };
    EXPECT_EQ(value("Setup", "FONTSIZE"), "11");
    EXPECT_EQ(value("Setup", "KundeenhetsID"), "00012345");
    EXPECT_EQ(value("Setup", "LeftMargin"), "12");
    EXPECT_EQ(value("Setup", "LabelHeight"), "38,1");
    EXPECT_EQ(value("Config", "PreventWebUpdate"), "Ja");
    EXPECT_EQ(value("Setup", "Brevfil"), (appData() / "Brev.rtf").string());
    // The old machine's data directory and sections the program does not read stay behind.
    EXPECT_NE(value("Setup", "Database"), "C:\\Lagrull\\Data\\");
    EXPECT_EQ(value("Annet", "Skal"), "<mangler>");
    EXPECT_FALSE(report.registerKindChanged);
}

TEST_F(MigrationTest, AFullRegisterIsReplacedOnlyWhenConfirmedAndKeptAsBackup) {
    writeRegister(source(), {});
    migrate();
    ASSERT_EQ(scalar("select count(*) from orgreg"), "2");
    exec("delete from orgreg where orgnr = 2");

    ui.answers.push_back(Answer::No);
    const migration::MigrationReport refused = migrate();
    EXPECT_TRUE(refused.cancelled);
    EXPECT_EQ(scalar("select count(*) from orgreg"), "1");

    ui.answers.push_back(Answer::Yes);
    const migration::MigrationReport replaced = migrate();
    EXPECT_FALSE(replaced.cancelled);
    EXPECT_EQ(scalar("select count(*) from orgreg"), "2");
    ASSERT_FALSE(replaced.backupFile.empty());
    EXPECT_TRUE(fs::exists(replaced.backupFile));
    // The kept register is the one that was replaced.
    data::TDatabase old;
    old.setPath(appData().string() + "/backup/");
    fs::create_directories(appData() / "backup");
    fs::copy_file(replaced.backupFile, appData() / "backup" / data::kDatabaseFileName);
    old.connect();
    data::TOrvQuery q(old);
    q.setSql("select count(*) as n from orgreg");
    q.open();
    EXPECT_EQ(data::FieldInt(q, "n"), 1);
    EXPECT_NE(ui.messages.at(0).text.find("allerede 1 organisasjon"), std::string::npos);
}

TEST_F(MigrationTest, AWholeDirectoryWithoutOrganisationsIsNoRegister) {
    fs::create_directories(source());
    EXPECT_THROW(
        {
            try {
                migrate();
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("ORGREG.DB mangler"), std::string::npos);
                throw;
            }
        },
        Error);
    EXPECT_THROW(
        {
            migration::TParadoxMigration m(store(), ui, {settingsFile(), appData().string()});
            m.run((dir.path() / "finnes-ikke").string());
        },
        Error);
}

TEST_F(MigrationTest, ADamagedHeaderStopsBeforeTheRegisterIsTouched) {
    writeRegister(source(), {});
    migrate();
    exec("delete from orgreg where orgnr = 2");
    {
        std::fstream f(source() / "MEDLREG.DB", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0);
        f.write("\xff\xff\xff\xff\xff\xff\xff\xff", 8);
    }
    try {
        migrate();
        FAIL() << "a damaged header must stop the migration";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("MEDLREG.DB"), std::string::npos) << e.what();
    }
    EXPECT_EQ(scalar("select count(*) from orgreg"), "1");
}

TEST_F(MigrationTest, ACutOffTableNamesTheRecordsItLost) {
    RegisterOptions o;
    o.membersPerOrganisation = 200;
    writeRegister(source(), o);
    const auto size = fs::file_size(source() / "MBETREG.DB");
    fs::resize_file(source() / "MBETREG.DB", size / 2);
    const migration::MigrationReport report = migrate();
    const migration::TableOutcome& claims = report.tables.at(2);
    ASSERT_EQ(claims.table, "MBETREG.DB");
    EXPECT_GT(claims.refused.size(), 0u);
    EXPECT_EQ(claims.taken + static_cast<long long>(claims.refused.size()), claims.sourceRows);
    EXPECT_NE(claims.refused.back().reason.find("skadet eller avkortet"), std::string::npos);
    EXPECT_FALSE(report.checks.countsEqual);
    const std::string text = migration::reportText(report);
    EXPECT_NE(text.find("post " + std::to_string(claims.refused.front().record) + "-" +
                        std::to_string(claims.sourceRows)),
              std::string::npos)
        << text;
}

TEST_F(MigrationTest, ADuplicateKeyIsNamedAndTheRestArrives) {
    writeRegister(source(), {});
    {
        ParadoxWriter w(source() / "ORGREG.DB", paradoxFields("ORGREG.DB", Layout::Current), 1,
                        1252);
        w.add({Value(std::int64_t(1)), Value(std::string("Første"))});
        w.add({Value(std::int64_t(1)), Value(std::string("Andre"))});
        w.add({Value{}, Value(std::string("Uten nummer"))});
        w.add({Value(std::int64_t(2)), Value(std::string("Tredje"))});
    }
    const migration::MigrationReport report = migrate();
    const migration::TableOutcome& orgs = report.tables.at(5);
    EXPECT_EQ(orgs.taken, 2);
    ASSERT_EQ(orgs.refused.size(), 2u);
    EXPECT_EQ(orgs.refused[0].record, 2);
    EXPECT_EQ(orgs.refused[0].reason, "ORGNR 1: nøkkelen finnes fra før i tabellen");
    EXPECT_EQ(orgs.refused[1].reason, "nøkkelfeltet ORGNR er tomt");
    EXPECT_EQ(scalar("select orgnavn from orgreg where orgnr = 1"), "Første");
}

TEST_F(MigrationTest, AClaimWhoseKidDoesNotMatchIsReported) {
    writeRegister(source(), {});
    {
        ParadoxWriter w(source() / "MBETREG.DB", paradoxFields("MBETREG.DB", Layout::Current), 3,
                        1252);
        w.add({Value(std::int64_t(1)), Value(std::string("1")), Value(std::string("15012025")),
               Value(100.0), Value{}, Value(std::int64_t(2)), Value{}, Value{},
               Value(std::string("0020000000000120971801"))});
    }
    const migration::MigrationReport report = migrate();
    EXPECT_EQ(report.checks.kidsChecked, 1);
    ASSERT_EQ(report.checks.kidFaults.size(), 1u);
    EXPECT_FALSE(report.checks.passed());
}

TEST_F(MigrationTest, TheDialogueOffersReadsAndShowsTheReport) {
    writeRegister(source(), {});
    EXPECT_TRUE(migration::registerIsEmpty(store()));
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(
        migration::runMigrationDialogue(store(), ui, {settingsFile(), appData().string()}, true));
    ui.answers.push_back(Answer::Yes);
    ui.files.push_back(source().string());
    EXPECT_TRUE(
        migration::runMigrationDialogue(store(), ui, {settingsFile(), appData().string()}, true));
    EXPECT_FALSE(migration::registerIsEmpty(store()));
    EXPECT_TRUE(fs::exists(appData() / migration::kReportFileName));
    EXPECT_NE(ui.messages.back().text.find("Alt er hentet og kontrollert"), std::string::npos)
        << ui.messages.back().text;
}

}  // namespace lagrull::test
