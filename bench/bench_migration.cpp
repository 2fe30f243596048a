// Bringing a register over from the older version's Paradox tables, beside
// the plain insert of the same rows into tables already of today's form.
// The source is written once with pxlib's writer (old layout: the members
// and the claims go through the upgrade). Counters: seconds per 100,000
// rows for both, and their ratio; the peak memory of the migration alone.
// Two sizes: a small register, and the full one of 100,000 members and
// 500,000 claims.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "data/data_store.h"
#include "data/schema.h"
#include "data/table_load.h"
#include "data/table_scan.h"
#include "migration/paradox_writer.h"
#include "quiet_ui.h"
#include "services/migration/paradox_migration.h"

namespace {

using namespace lagrull;
namespace fs = std::filesystem;

const fs::path& workDir() {
    static const fs::path dir =
        fs::temp_directory_path() /
        ("lagrull-bench-migration-" + std::to_string(std::random_device{}()));
    return dir;
}

// The older register of `members` members in two organisations and
// `claims` claims each, written once per size.
fs::path sourceRegister(long long members, int claims) {
    static std::map<std::pair<long long, int>, fs::path> written;
    auto& path = written[{members, claims}];
    if (path.empty()) {
        path = workDir() / ("gammel-" + std::to_string(members) + "-" + std::to_string(claims));
        fs::create_directories(path);
        test::RegisterOptions o;
        o.layout = test::Layout::Old;
        o.organisations = 2;
        o.membersPerOrganisation = members / 2;
        o.claimsPerMember = claims;
        test::writeRegister(path, o, false);
    }
    return path;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        fs::remove_all(workDir(), ec);
    }
};

// Processor time of the process: on a machine shared with other work the
// wall clock measures the others too.
double cpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::unique_ptr<data::DataStore> freshStore(Ui& ui, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto store =
        std::make_unique<data::DataStore>(ui, (dir / "lagrull.ini").string(), dir.string());
    store->start();
    return store;
}

// The naive baseline: the same rows, already read, inserted into tables of
// today's form in one transaction.
// The kernel's high-water mark of resident memory, reset before the part
// to be measured (freed memory handed back first), read after it.
void resetPeakRss() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}
double peakRssMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kb = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> kb;
            break;
        }
        status.ignore(1 << 20, '\n');
    }
    return kb / 1024.0;
}

double plainInsert(
    Ui& ui, const fs::path& dir,
    const std::vector<std::pair<const data::TTableDef*, std::vector<std::vector<data::Value>>>>&
        rows) {
    auto store = freshStore(ui, dir);
    const double t0 = cpuNow();
    data::Transaction t(store->dbLocal());
    for (const auto& [def, tableRows] : rows) {
        data::TTableLoad load(store->dbMng(), store->dbLocal(), *def, def->Fields);
        for (const auto& r : tableRows) load.add(r);
        load.finish();
    }
    t.commit();
    return cpuNow() - t0;
}

void BM_MigrationBesidePlainInsert(benchmark::State& state) {
    static Cleanup cleanup;
    bench::QuietUi ui;
    const fs::path source = sourceRegister(state.range(0), static_cast<int>(state.range(1)));
    // The rows in today's form, for the baseline: read from a first migration.
    std::vector<std::pair<const data::TTableDef*, std::vector<std::vector<data::Value>>>> rows;
    long long total = 0;
    double migrationPeakMb = 0;
    {
        auto store = freshStore(ui, workDir() / "forste");
        resetPeakRss();
        migration::TParadoxMigration(
            *store, ui,
            {(workDir() / "forste/lagrull.ini").string(), (workDir() / "forste").string()})
            .run(source.string());
        migrationPeakMb = peakRssMb();
        for (const data::TTableDef* def : {&data::medlregDef(), &data::mbetregDef()}) {
            data::TTableScan scan(store->dbLocal(), def->TableName);
            scan.open();
            std::vector<std::vector<data::Value>> tableRows;
            for (scan.first(); !scan.eof(); scan.next()) {
                std::vector<data::Value> r;
                r.reserve(static_cast<std::size_t>(scan.fieldCount()));
                for (int i = 0; i < scan.fieldCount(); ++i) r.push_back(scan.value(i));
                tableRows.push_back(std::move(r));
            }
            total += static_cast<long long>(tableRows.size());
            rows.emplace_back(def, std::move(tableRows));
        }
    }
    double migrated = 0, inserted = 0;
    for (auto _ : state) {
        auto store = freshStore(ui, workDir() / "ny");
        const double t0 = cpuNow();
        migration::TParadoxMigration(
            *store, ui, {(workDir() / "ny/lagrull.ini").string(), (workDir() / "ny").string()})
            .run(source.string());
        migrated += cpuNow() - t0;
        store.reset();
        inserted += plainInsert(ui, workDir() / "plain", rows);
    }
    const double n = static_cast<double>(state.iterations());
    const double per = 100000.0 / static_cast<double>(total);
    state.counters["rows"] = static_cast<double>(total);
    state.counters["migration_cpu_s_per_100k"] = migrated / n * per;
    state.counters["plain_insert_cpu_s_per_100k"] = inserted / n * per;
    state.counters["ratio"] = migrated / inserted;
    state.counters["migration_cpu_s"] = migrated / n;
    state.counters["migration_peak_rss_mb"] = migrationPeakMb;
}
// Members (two organisations), claims per member.
BENCHMARK(BM_MigrationBesidePlainInsert)
    ->Args({2000, 4})
    ->Args({100000, 5})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
