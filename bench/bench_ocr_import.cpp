// The OCR import of a return file of 100,000 payments against the 100,000
// claims of a demo register, against the naive baseline: a plain loop of
// "UPDATE … WHERE KID = ?" in file order, in one transaction. The KIDs come
// in random order, as a bank's file gives them. The ratio import/plain is
// the figure to watch (goal: at most 0.5).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "../tests/support/ocr_file.h"
#include "clearing/ocr_import.h"
#include "data/data_store.h"
#include "quiet_ui.h"
#include "services/demo_register.h"
#include "services/postnr.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr std::size_t kPayments = 100000;

double importSeconds = 0, plainSeconds = 0;

fs::path benchDirectory(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("lagrull-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The demo register with its claims and a return file paying 100,000 of
// them in random order, made once.
struct Origin {
    fs::path dir = benchDirectory("ocr-origin");
    fs::path file = dir / "ocr.txt";
    std::vector<std::string> kids;

    Origin() {
        bench::QuietUi ui;
        DataStore store(ui, "", dir.string());
        store.start();
        TPostNr postal(LAGRULL_POSTNR_DIR);
        demo::DemoOptions options;
        options.members = kPayments / 2 + kPayments / 10;  // some members have no KID
        options.claims = true;
        demo::makeDemoRegister(ui, store.dbLocal(), postal, options);
        Statement s = store.dbLocal().prepare("SELECT KID FROM MBETREG WHERE KID <> ''");
        while (s.step()) kids.push_back(s.columnText(0));
        std::mt19937 random(20261209);
        std::shuffle(kids.begin(), kids.end(), random);
        kids.resize(kPayments);
        test::OcrFile ocr;
        for (const std::string& kid : kids) ocr.payment(kid, 12300, "311299");
        std::ofstream(file, std::ios::binary) << ocr.text();
    }
    // A fresh copy of the register.
    fs::path copy(const std::string& name) const {
        fs::path to = benchDirectory(name);
        fs::copy_file(dir / kDatabaseFileName, to / kDatabaseFileName);
        return to;
    }
};

const Origin& origin() {
    static const Origin o;
    return o;
}

struct NullReport : clearing::TBBSRapportMottaker {
    std::size_t lines = 0;
    void AddLine(const clearing::TBBSRapportLinje&) override { ++lines; }
};

void BM_OcrImport(benchmark::State& state) {
    const Origin& o = origin();
    NullReport report;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = o.copy("ocr-import");
        bench::QuietUi ui;
        DataStore store(ui, "", dir.string());
        store.start();
        clearing::TBBSReturAlle reader(ui, dir);
        const auto read = std::chrono::steady_clock::now();
        reader.LoadFromFile(o.file);
        state.counters["read_s"] = secondsSince(read);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const auto result = clearing::registerReturnData(ui, store.dbLocal(), reader, report);
        importSeconds = secondsSince(start);
        state.counters["matched"] = result.matchet;
    }
    state.counters["lines"] = static_cast<double>(report.lines);
}

void BM_PlainUpdateLoop(benchmark::State& state) {
    const Origin& o = origin();
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = o.copy("ocr-plain");
        bench::QuietUi ui;
        DataStore store(ui, "", dir.string());
        store.start();
        TDatabase& db = store.dbLocal();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        Transaction t(db);
        Statement update = db.prepare(
            "UPDATE MBETREG SET BETFLAG = 'X', BETDATO = '31121999', BETBELOP = 123 "
            "WHERE KID = ?1");
        for (const std::string& kid : o.kids) {
            update.bind(1, Value(kid));
            update.execute();
            update.reset();
        }
        t.commit();
        plainSeconds = secondsSince(start);
    }
    if (plainSeconds > 0) state.counters["import/plain"] = importSeconds / plainSeconds;
}

}  // namespace

BENCHMARK(BM_OcrImport)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainUpdateLoop)->Iterations(1)->Unit(benchmark::kMillisecond);
