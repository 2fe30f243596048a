#include "services/migration/paradox_migration.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/app_paths.h"
#include "common/error.h"
#include "common/file_names.h"
#include "common/ini.h"
#include "common/settings_keys.h"
#include "common/ui.h"
#include "data/conversions.h"
#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/paradox/paradox_table.h"
#include "data/schema.h"
#include "data/table_load.h"
#include "services/migration/migration_steps.h"

namespace lagrull::migration {

namespace fs = std::filesystem;
using data::Value;

namespace {

struct TableSpec {
    const data::TTableDef& def;
    data::ConvertCallback convert;
};

// The order of the start-up, with its conversions.
std::vector<TableSpec> tableSpecs() {
    return {{data::copytabDef(), {}},
            {data::kontgrpDef(), {}},
            {data::mbetregDef(), {}},
            {data::relregDef(), {}},
            {data::relregStandardDef(), {}},
            {data::orgregDef(), data::ConvertOrganisation},
            {data::medlregDef(), data::ConvertMember}};
}

std::string timeStamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

long long organisationCount(data::TDatabase& db) {
    data::TOrvQuery q(db);
    q.setSql("select count(*) as antall from orgreg");
    q.open();
    return data::FieldInt(q, "antall");
}

// Closes the window's table objects while their tables are replaced, and
// opens again those that were open, on every path.
class TablesClosed {
public:
    explicit TablesClosed(data::RegisterTables& t)
        : tables_{&t.CpTab,    &t.KontTable, &t.BetTable, &t.tbRelReg, &t.tbRelRegStandard,
                  &t.OrgTable, &t.MedlTable} {
        for (data::TOrvTable* table : tables_) {
            wasOpen_.push_back(table->isOpen());
            table->close();
        }
    }
    ~TablesClosed() {
        for (std::size_t i = 0; i < tables_.size(); ++i)
            if (wasOpen_[i]) tables_[i]->open();
    }
    TablesClosed(const TablesClosed&) = delete;
    TablesClosed& operator=(const TablesClosed&) = delete;

private:
    std::vector<data::TOrvTable*> tables_;
    std::vector<bool> wasOpen_;
};

std::string valueText(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&v)) return std::to_string(*d);
    return {};
}

// "ORGNR 1, MEDLNR 17": the row's key, to name it in the report.
std::string keyText(const std::vector<data::TFieldInfo>& fields, const std::vector<Value>& row) {
    std::string out;
    for (std::size_t i = 0; i < fields.size() && i < row.size() && fields[i].PrimaryKey; ++i)
        out += (out.empty() ? "" : ", ") + fields[i].Name + " " + valueText(row[i]);
    return out;
}

int fieldPosition(const std::vector<data::TFieldInfo>& fields, const char* name) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].Name == name) return static_cast<int>(i);
    return -1;
}

double number(const Value& v) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return 0;
}

// Adds a claim row's amounts to the sums of its organisation and due date.
class ClaimSummer {
public:
    explicit ClaimSummer(const std::vector<data::TFieldInfo>& fields)
        : orgnr_(fieldPosition(fields, "ORGNR")),
          dato_(fieldPosition(fields, "DATO")),
          belop_(fieldPosition(fields, "BELOP")),
          betbelop_(fieldPosition(fields, "BETBELOP")) {}
    void add(const std::vector<Value>& row, ClaimSumMap& sums) const {
        if (orgnr_ < 0 || dato_ < 0) return;
        ClaimSums& s =
            sums[{static_cast<std::int64_t>(number(row[orgnr_])), valueText(row[dato_])}];
        if (belop_ >= 0) s.claimed += toOre(number(row[belop_]));
        if (betbelop_ >= 0) s.paid += toOre(number(row[betbelop_]));
        ++s.claims;
    }

private:
    int orgnr_, dato_, belop_, betbelop_;
};

std::string refusalReason(const data::EDatabaseError& e) {
    // SQLITE_CONSTRAINT and its extended codes.
    if ((e.code() & 0xff) == 19) return "nøkkelen finnes fra før i tabellen";
    return std::string("kunne ikke lagres: ") + e.what();
}

TableOutcome loadTable(const TableSpec& job, data::ParadoxTable* source, data::TOrvDbMng& mng,
                       data::TDatabase& db, ProgressWindow& progress, ClaimSumMap& sums) {
    TableOutcome out;
    out.table = job.def.TableName;
    if (!source) {
        // Not in the source: an empty table of today's form.
        data::TTableLoad load(mng, db, job.def, job.def.Fields);
        load.finish();
        return out;
    }
    out.found = true;
    out.codePage = source->codePage() == CodePage::Dos865 ? "865" : "1252";
    out.sourceRows = source->recordCount();
    const std::vector<data::TFieldInfo>& fields = source->fields();
    data::TTableLoad load(mng, db, job.def, fields, job.convert);
    out.upgraded = !data::sameFields(fields, job.def);
    const bool claims = &job.def == &data::mbetregDef();
    const ClaimSummer summer(fields);
    std::vector<Value> row;
    for (long long n = 0; n < out.sourceRows; ++n) {
        progress.step();
        try {
            source->read(n, row);
        } catch (const data::EParadoxRecord& e) {
            out.refused.push_back({n + 1, e.reason()});
            continue;
        }
        if (claims) summer.add(row, sums);
        std::string emptyKey;
        for (std::size_t i = 0; i < fields.size() && fields[i].PrimaryKey; ++i)
            if (fields[i].DataType != data::FieldType::String && data::isNull(row[i]))
                emptyKey = fields[i].Name;
        if (!emptyKey.empty()) {
            out.refused.push_back({n + 1, "nøkkelfeltet " + emptyKey + " er tomt"});
            continue;
        }
        try {
            load.add(row);
            ++out.taken;
        } catch (const data::EDatabaseError& e) {
            out.refused.push_back({n + 1, keyText(fields, row) + ": " + refusalReason(e)});
        }
    }
    out.droppedByUpgrade = load.finish().rowsNotCopied;
    return out;
}

}  // namespace

MigrationTarget defaultMigrationTarget() {
    return {settingsFilePath(), applicationDataDirectory()};
}

TParadoxMigration::TParadoxMigration(data::DataStore& store, Ui& ui, MigrationTarget target)
    : store_(store), ui_(ui), target_(std::move(target)) {}

MigrationReport TParadoxMigration::run(const std::string& sourceDirectory) {
    MigrationReport report;
    report.sourceDirectory = sourceDirectory;
    const fs::path source(sourceDirectory);
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        throw Error("Katalogen " + sourceDirectory + " finnes ikke.");

    // Every header is read before the register is touched.
    const std::vector<TableSpec> specs = tableSpecs();
    std::vector<std::unique_ptr<data::ParadoxTable>> sources;
    long long total = 0;
    {
        WaitWindow wait(ui_, "VENT!", "Leser tabellene i " + sourceDirectory + ".....");
        for (const TableSpec& job : specs) {
            const fs::path file = findFileNoCase(source / job.def.TableName);
            if (!fs::is_regular_file(file, ec)) {
                sources.push_back(nullptr);
                continue;
            }
            sources.push_back(std::make_unique<data::ParadoxTable>(file));
            total += sources.back()->recordCount();
        }
    }
    if (!sources[5])
        throw Error("Katalogen " + sourceDirectory +
                    " inneholder ikke noe register: tabellen ORGREG.DB mangler.");

    data::TDatabase& db = store_.dbLocal();
    const std::string stamp = timeStamp();
    if (const long long orgs = organisationCount(db); orgs > 0) {
        const Answer answer =
            ui_.message("Hent register",
                        "Registeret har allerede " + std::to_string(orgs) +
                            (orgs == 1 ? " organisasjon" : " organisasjoner") +
                            ".~Vil du erstatte det med registeret i " + sourceDirectory +
                            "?~Det gamle registeret blir tatt vare på som sikkerhetskopi.",
                        Buttons::YesNo, Icon::Warning);
        if (answer != Answer::Yes) {
            report.cancelled = true;
            return report;
        }
        report.backupFile = store_.dbMng().dataPath() + "lagrull-" + stamp + ".db";
        WaitWindow wait(ui_, "VENT!", "Tar sikkerhetskopi av registeret.....");
        data::copyRegisterTo(db, report.backupFile);
    }

    // The register kind the claims were made with: the source's own.
    RegisterKind registerKind = store_.appDbMng().RegisterKind();
    if (const fs::path settings = sourceSettingsFile(source); !settings.empty())
        registerKind = registerKindSetting(settings.string());

    ClaimSumMap sourceSums;
    {
        TablesClosed closed(store_.tables());
        ProgressWindow progress(ui_, total);
        data::Transaction transaction(db);
        for (std::size_t i = 0; i < specs.size(); ++i)
            report.tables.push_back(
                loadTable(specs[i], sources[i].get(), store_.dbMng(), db, progress, sourceSums));
        transaction.commit();
        progress.finish();
    }
    {
        WaitWindow wait(ui_, "VENT!", "Kontrollerer registeret.....");
        report.checks = checkRegister(db, report, sourceSums, registerKind);
    }
    takeOverFiles(source, target_.applicationDataDirectory, target_.settingsFile, stamp, report);
    report.registerKindChanged =
        registerKindSetting(target_.settingsFile) != store_.appDbMng().RegisterKind();
    return report;
}

bool registerIsEmpty(data::DataStore& store) { return organisationCount(store.dbLocal()) == 0; }

bool runMigrationDialogue(data::DataStore& store, Ui& ui, const MigrationTarget& target,
                          bool offer) {
    if (offer && !ui.confirm("Hent register",
                             "Det finnes ikke noe register her ennå.~Vil du hente registeret fra "
                             "en eldre versjon av programmet?"))
        return false;
    FileRequest request;
    request.caption = "Velg katalogen med registeret fra den eldre versjonen";
    const auto directory = ui.directoryName(request, false);
    if (!directory) return false;
    TParadoxMigration migration(store, ui, target);
    const MigrationReport report = migration.run(*directory);
    if (report.cancelled) return false;
    const fs::path reportFile = fs::path(target.applicationDataDirectory) / kReportFileName;
    std::ofstream out(reportFile, std::ios::binary | std::ios::trunc);
    out << reportText(report);
    out.close();
    const std::string summary = reportSummary(report, out ? reportFile.string() : std::string());
    if (report.checks.passed() && report.refusedRows() == 0)
        ui.information("Hent register", summary);
    else
        ui.warning("Hent register", summary);
    return true;
}

}  // namespace lagrull::migration
