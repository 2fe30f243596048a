// The data store's two speed goals: start-up on a large register with
// nothing to upgrade, and the upgrade of a large member table from the
// 29-field layout. Each benchmark builds its register once, outside the
// timing.
#include <benchmark/benchmark.h>

#include "quiet_ui.h"

#include <filesystem>
#include <string>

#include "common/ui.h"
#include "data/conversions.h"
#include "data/data_store.h"
#include "data/schema.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr int kMembers = 100000;
constexpr int kClaimsPerMember = 5;

using lagrull::bench::QuietUi;

fs::path benchDirectory(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("lagrull-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void fillMembers(TDatabase& db, const char* table) {
    Transaction t(db);
    Statement s = db.prepare(
        std::string("INSERT INTO ") + table +
        " (ORGNR, MEDLNR, FORNAVN, ENAVN, ADRESSE, POSTNR, POSTSTED, KATEGORI, BETALING, "
        "FDATO, BELOP, NMEDLNR, EMAIL) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, "
        "?13)");
    for (int i = 1; i <= kMembers; ++i) {
        const std::string nr = std::to_string(i);
        s.bind(1, Value(std::int64_t(1 + i % 20)));
        s.bind(2, Value(nr));
        s.bind(3, Value("Fornavn" + std::to_string(i % 977)));
        s.bind(4, Value((i % 3 ? "Ås" : "berg") + std::to_string(i % 1013)));
        s.bind(5, Value("Gate " + nr));
        s.bind(6, Value(std::string("0150")));
        s.bind(7, Value(std::string("Oslo")));
        s.bind(8, Value(std::string("Voksen")));
        s.bind(9, Value(std::int64_t(2)));
        s.bind(10, Value(std::string(i % 2 ? "010265" : "24051978")));
        s.bind(11, Value(250.0));
        s.bind(12, Value(0.0));
        s.bind(13, Value("medlem" + nr + "@example.no"));
        s.execute();
        s.reset();
    }
    t.commit();
}

// A register of the current layout with 100,000 members and 500,000 claims.
fs::path largeRegister() {
    static const fs::path dir = [] {
        fs::path d = benchDirectory("start");
        QuietUi ui;
        DataStore store(ui, "", d.string());
        store.start();
        TDatabase& db = store.dbLocal();
        fillMembers(db, "MEDLREG");
        Transaction t(db);
        Statement s = db.prepare(
            "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, BETFLAG, BETALING, KID, TEKST) "
            "VALUES (?1, ?2, ?3, 250, '', 2, ?4, 'Kontingent')");
        for (int i = 1; i <= kMembers; ++i)
            for (int c = 0; c < kClaimsPerMember; ++c) {
                const std::string date = "1501" + std::to_string(2020 + c);
                s.bind(1, Value(std::int64_t(1 + i % 20)));
                s.bind(2, Value(std::to_string(i)));
                s.bind(3, Value(date));
                s.bind(4, Value(std::to_string(1000000000 + i) + date));
                s.execute();
                s.reset();
            }
        t.commit();
        return d;
    }();
    return dir;
}

void BM_StartDataStoreOnLargeRegister(benchmark::State& state) {
    const fs::path dir = largeRegister();
    QuietUi ui;
    for (auto _ : state) {
        DataStore store(ui, "", dir.string());
        store.start();
        benchmark::DoNotOptimize(store.tables().MedlTable.isOpen());
    }
}
BENCHMARK(BM_StartDataStoreOnLargeRegister)->Unit(benchmark::kMillisecond);

// What the main window adds when it shows the member count: the member
// table's row list.
void BM_StartAndCountMembers(benchmark::State& state) {
    const fs::path dir = largeRegister();
    QuietUi ui;
    for (auto _ : state) {
        DataStore store(ui, "", dir.string());
        store.start();
        benchmark::DoNotOptimize(store.tables().MedlTable.recordCount());
    }
}
BENCHMARK(BM_StartAndCountMembers)->Unit(benchmark::kMillisecond);

// A database with only MEDLREG in the 29-field layout, 100,000 members.
fs::path oldMemberRegister() {
    static const fs::path dir = [] {
        fs::path d = benchDirectory("old");
        TDatabase db;
        db.setPath(d.string());
        db.connect();
        TTableDef old = medlregDef();
        old.Fields.clear();
        for (const TFieldInfo& f : medlregDef().Fields)
            if (f.Name != "OLDPOSTNR" && f.Name != "VARSLING" && f.Name != "FIRMA" &&
                f.Name != "MEDLFRADATO")
                old.Fields.push_back(f);
        TOrvTable t(db, "MEDLREG.DB");
        t.createTable(old.Fields, old.Indexes);
        fillMembers(db, "MEDLREG");
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        return d;
    }();
    return dir;
}

void BM_UpgradeOldMemberTable(benchmark::State& state) {
    const fs::path source = oldMemberRegister();
    const fs::path work = fs::temp_directory_path() / "lagrull-bench-upgrade";
    QuietUi ui;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy_file(source / kDatabaseFileName, work / kDatabaseFileName);
        TDatabase db;
        TOrvDbMng mng(ui, "", work.string());
        mng.RegisterDatabase(db);
        TOrvTable medl(db, "MEDLREG.DB");
        state.ResumeTiming();
        mng.OpenOrCreateTable(medl, medlregDef(), true, ConvertMember);
        benchmark::DoNotOptimize(medl.fieldCount());
    }
    fs::remove_all(work);
}
BENCHMARK(BM_UpgradeOldMemberTable)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
