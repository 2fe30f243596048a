// The demo register of 100,000 members with claims, against the naive
// baseline: a plain row-wise SQLite loop writing the same number of rows of
// fixed values in one transaction. The ratio is what making realistic rows
// through the data store's table objects costs over bare inserts.
#include <benchmark/benchmark.h>

#include "quiet_ui.h"

#include <chrono>
#include <filesystem>
#include <string>

#include "data/data_store.h"
#include "services/demo_register.h"
#include "services/postnr.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr long long kMembers = 100000;

double demoSeconds = 0, plainSeconds = 0;
demo::DemoCounts demoCounts;

fs::path benchDirectory(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("lagrull-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DemoRegister(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = benchDirectory("demo");
        bench::QuietUi ui;
        DataStore store(ui, "", dir.string());
        store.start();
        TPostNr postal(LAGRULL_POSTNR_DIR);
        demo::DemoOptions options;
        options.members = kMembers;
        options.claims = true;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        demoCounts = *demo::makeDemoRegister(ui, store.dbLocal(), postal, options);
        demoSeconds = secondsSince(start);
    }
    state.counters["members"] = static_cast<double>(demoCounts.members);
    state.counters["rows"] =
        static_cast<double>(demoCounts.members + demoCounts.relations + demoCounts.claims);
}

void BM_PlainInsertLoop(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = benchDirectory("plain");
        bench::QuietUi ui;
        DataStore store(ui, "", dir.string());
        store.start();
        TDatabase& db = store.dbLocal();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        Transaction t(db);
        Statement member = db.prepare(
            "INSERT INTO MEDLREG (ORGNR, MEDLNR, FORNAVN, ENAVN, ADRESSE, POSTNR, POSTSTED, "
            "BETALING, FDATO, BELOP, NMEDLNR) VALUES (1, ?1, 'Kari', 'Nordmann', 'Storgata 1', "
            "'0150', 'OSLO', 2, '01011980', 0, ?2)");
        Statement relation = db.prepare(
            "INSERT INTO RELREG (ORGNR, MEDLNR, RELASJON, BELOP) VALUES (1, ?1, 'Styret', 0)");
        Statement claim = db.prepare(
            "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, BETALING, KID, TEKST) "
            "VALUES (1, ?1, ?2, 850, 2, '0020000000000129966012', 'Kontingent')");
        const long long relations = demoCounts.relations;
        for (long long i = 1; i <= kMembers; ++i) {
            const Value number(std::to_string(i));
            member.bind(1, number);
            member.bind(2, Value(static_cast<double>(i)));
            member.execute();
            member.reset();
            if (i * relations / kMembers != (i - 1) * relations / kMembers) {
                relation.bind(1, number);
                relation.execute();
                relation.reset();
            }
            for (const char* date : {demo::kDemoFirstDueDate, demo::kDemoSecondDueDate}) {
                claim.bind(1, number);
                claim.bind(2, Value(std::string(date)));
                claim.execute();
                claim.reset();
            }
        }
        t.commit();
        plainSeconds = secondsSince(start);
    }
    if (plainSeconds > 0) state.counters["demo/plain"] = demoSeconds / plainSeconds;
}

}  // namespace

// The demo first: the baseline writes as many relations as it made.
BENCHMARK(BM_DemoRegister)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainInsertLoop)->Iterations(1)->Unit(benchmark::kMillisecond);
