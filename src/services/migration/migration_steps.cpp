#include "services/migration/migration_steps.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

#include "common/error.h"
#include "common/file_names.h"
#include "common/ini.h"
#include "common/ini_format.h"
#include "common/text_codec.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "data/schema.h"
#include "data/table_scan.h"
#include "payments/kid.h"

namespace lagrull::migration {

namespace fs = std::filesystem;

std::int64_t toOre(double kroner) { return std::llround(kroner * 100.0); }

fs::path sourceSettingsFile(const fs::path& sourceDirectory) {
    const fs::path file = findFileNoCase(sourceDirectory / "lagrul.ini");
    std::error_code ec;
    return fs::is_regular_file(file, ec) ? file : fs::path();
}

namespace {

bool isTemplateOrReport(const fs::path& file) {
    const std::string name = lowerCase(file.filename().string());
    return name == "brev.rtf" || name == "tilbudavtalegiro.rtf" ||
           lowerCase(file.extension().string()) == ".smr";
}

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// "brev.rtf" → "brev-20261209-153000.rtf"
fs::path asideName(const fs::path& file, const std::string& stamp) {
    return file.parent_path() / (file.stem().string() + "-" + stamp + file.extension().string());
}

// Moves a file that is in the way aside; nothing when it is not there.
void moveAside(const fs::path& file, const std::string& stamp, MigrationReport& report) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return;
    const fs::path aside = asideName(file, stamp);
    fs::rename(file, aside, ec);
    if (ec)
        throw Error("Fila " + file.string() + " kunne ikke flyttes til " + aside.string() + ".");
    report.filesKept.push_back(aside.string());
}

void copyInto(const fs::path& file, const fs::path& targetDirectory, const std::string& stamp,
              MigrationReport& report) {
    const fs::path target = targetDirectory / file.filename();
    std::error_code ec;
    if (fs::exists(target, ec) && fileBytes(target) != fileBytes(file))
        moveAside(target, stamp, report);
    fs::copy_file(file, target, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw Error("Fila " + file.string() + " kunne ikke kopieres til " + target.string() + ".");
    report.filesCopied.push_back(target.string());
}

// The file name at the end of a path written on Windows or here.
std::string lastPathPart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries sectionEntries(TOrvIni& ini, const char* section) {
    return ini.findSection(section) ? ini.entries() : Entries{};
}

void takeOverSettings(const fs::path& settings, const std::string& targetSettingsFile,
                      const std::string& stamp, MigrationReport& report) {
    Entries setup, config;
    {
        TOrvIni in(settings, IniMode::Read);
        setup = sectionEntries(in, "Setup");
        config = sectionEntries(in, "Config");
    }
    if (setup.empty() && config.empty()) return;
    // A register being replaced keeps its settings beside its backup; a new
    // one has only what this start wrote.
    std::error_code ec;
    if (!report.backupFile.empty() && fs::exists(targetSettingsFile, ec)) {
        const fs::path kept = asideName(targetSettingsFile, stamp);
        fs::copy_file(targetSettingsFile, kept, fs::copy_options::overwrite_existing, ec);
        if (ec) throw Error("Innstillingsfila kunne ikke kopieres til " + kept.string() + ".");
        report.filesKept.push_back(kept.string());
    }
    TOrvIni out(targetSettingsFile, IniMode::Write);
    out.useSection("Setup");
    for (auto [key, value] : setup) {
        const std::string name = ini::normaliseName(key);
        // The old data directory is a place on the old machine.
        if (name == "DATABASE") continue;
        if (name == "BREVFIL") {
            const std::string wanted = lowerCase(lastPathPart(value));
            std::string copied;
            for (const std::string& f : report.filesCopied)
                if (lowerCase(fs::path(f).filename().string()) == wanted) copied = f;
            if (copied.empty()) continue;
            value = copied;
        }
        out.writeText(key, value);
        report.settingsTaken.push_back("Setup/" + key);
    }
    out.useSection("Config");
    for (const auto& [key, value] : config) {
        out.writeText(key, value);
        report.settingsTaken.push_back("Config/" + key);
    }
    out.close();
}

double number(const data::TDataSet& ds, int field) {
    const data::Value& v = ds.value(field);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    return 0;
}

long long rowCount(data::TDatabase& db, const std::string& table) {
    data::TOrvQuery q(db);
    q.setSql("select count(*) as antall from " + lowerCase(data::baseTableName(table)));
    q.open();
    return data::FieldInt(q, "antall");
}

}  // namespace

void takeOverFiles(const fs::path& sourceDirectory, const fs::path& targetDirectory,
                   const std::string& targetSettingsFile, const std::string& stamp,
                   MigrationReport& report) {
    std::error_code ec;
    fs::create_directories(targetDirectory, ec);
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(sourceDirectory, ec))
        if (e.is_regular_file(ec) && isTemplateOrReport(e.path())) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) copyInto(f, targetDirectory, stamp, report);
    if (const fs::path settings = sourceSettingsFile(sourceDirectory); !settings.empty())
        takeOverSettings(settings, targetSettingsFile, stamp, report);
}

MigrationChecks checkRegister(data::TDatabase& db, MigrationReport& report,
                              const ClaimSumMap& sourceSums, RegisterKind registerKind) {
    MigrationChecks checks;
    for (TableOutcome& t : report.tables) {
        t.registerRows = rowCount(db, t.table);
        if (t.registerRows != t.sourceRows) checks.countsEqual = false;
    }

    ClaimSumMap targetSums;
    data::TTableScan scan(db, data::mbetregDef().TableName);
    scan.open();
    const int orgnr = scan.fieldIndex("ORGNR"), medlnr = scan.fieldIndex("MEDLNR"),
              dato = scan.fieldIndex("DATO"), kidField = scan.fieldIndex("KID"),
              belop = scan.fieldIndex("BELOP"), betbelop = scan.fieldIndex("BETBELOP");
    for (scan.first(); !scan.eof(); scan.next()) {
        const std::int64_t org = static_cast<std::int64_t>(number(scan, orgnr));
        const std::string member = data::FieldText(scan, scan.field(medlnr).name);
        const std::string date = data::FieldText(scan, scan.field(dato).name);
        ClaimSums& s = targetSums[{org, date}];
        s.claimed += toOre(number(scan, belop));
        s.paid += toOre(number(scan, betbelop));
        ++s.claims;
        const std::string kid = data::FieldText(scan, scan.field(kidField).name);
        if (kid.empty()) {
            ++checks.claimsWithoutKid;
            continue;
        }
        ++checks.kidsChecked;
        // Claims carry the organisation number plus one.
        const std::string expected = MakeKid(std::to_string(org + 1), member, date, registerKind);
        if (kid != expected) {
            std::string fault = "ORGNR " + std::to_string(org);
            fault.append(", MEDLNR ").append(member).append(", DATO ").append(date);
            fault.append(": KID ").append(kid).append(", ventet ").append(expected);
            checks.kidFaults.push_back(std::move(fault));
        }
    }
    scan.close();

    auto s = sourceSums.begin();
    auto t = targetSums.begin();
    while (s != sourceSums.end() || t != targetSums.end()) {
        ++checks.sumGroups;
        if (t == targetSums.end() || (s != sourceSums.end() && s->first < t->first)) {
            checks.sumDifferences.push_back({s->first, s->second, {}});
            ++s;
        } else if (s == sourceSums.end() || t->first < s->first) {
            checks.sumDifferences.push_back({t->first, {}, t->second});
            ++t;
        } else {
            if (!(s->second == t->second))
                checks.sumDifferences.push_back({s->first, s->second, t->second});
            ++s;
            ++t;
        }
    }
    return checks;
}

}  // namespace lagrull::migration
