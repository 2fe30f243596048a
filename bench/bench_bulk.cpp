// The member register's bulk passes on 100,000 members of one organisation:
// applying a relation to all of them, copying them into another
// organisation, deleting them. Each runs beside its naive baseline, the same
// pass with a query object per row (the text translated and looked up for
// every member) in the same one transaction, and reports the ratio
// naive / prepared. The register is rebuilt outside the timing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "data/data_store.h"
#include "data/database.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "quiet_ui.h"
#include "register/kopier.h"
#include "register/main_form_logic.h"
#include "register/relations.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr int kMembers = 100000;

// Neither wizard runs here: their steps are never asked for.
class NoSteps : public reports::TSelectionStepFactory {
public:
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override { return nullptr; }
    std::unique_ptr<reports::TUtvalgskriterierStep> CreateUtvalgskriterier(TOrvDbMng&) override {
        return nullptr;
    }
};

struct BigRegister {
    bench::QuietUi ui;
    fs::path dir;
    std::unique_ptr<DataStore> store;
    NoSteps steps;

    BigRegister() : dir(fs::temp_directory_path() / "lagrull-bench-bulk") {
        fs::remove_all(dir);
        fs::create_directories(dir);
        store = std::make_unique<DataStore>(ui, (dir / "lagrul.ini").string(), dir.string());
        TMainFormLogic::prepareTables(store->tables());
        store->start();
        TMainFormLogic::linkTables(store->tables());
        db().exec(
            "INSERT INTO ORGREG (ORGNR, ORGNAVN) VALUES (1, 'Storlaget'); "
            "INSERT INTO ORGREG (ORGNR, ORGNAVN) VALUES (2, 'Kopien')");
        fill();
        store->tables().OrgTable.refresh();
        for (TOrvTable& o = store->tables().OrgTable; FieldInt(o, "ORGNR") != 1;) o.next();
    }
    ~BigRegister() {
        store.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    TDatabase& db() { return store->dbLocal(); }

    // Organisation 1 with its members, organisation 2 empty, no relations.
    void fill() {
        Transaction t(db());
        db().exec(
            "DELETE FROM MEDLREG; DELETE FROM RELREG; DELETE FROM RELREGSTANDARD; "
            "DELETE FROM KONTGRP");
        Statement s = db().prepare(
            "INSERT INTO MEDLREG (ORGNR, MEDLNR, NMEDLNR, FORNAVN, ENAVN, POSTNR, BETALING, "
            "KATEGORI) VALUES (1, ?1, ?2, ?3, ?4, '0150', 2, ?5)");
        for (int i = 1; i <= kMembers; ++i) {
            s.bind(1, Value(std::to_string(i)));
            s.bind(2, Value(double(i)));
            s.bind(3, Value("Fornavn" + std::to_string(i % 977)));
            s.bind(4, Value("Etternavn" + std::to_string((i * 7919) % 50000)));
            s.bind(5, Value(std::string(i % 3 ? "Senior" : "Junior")));
            s.step();
            s.reset();
        }
        t.commit();
    }
    std::vector<std::string> numbers() {
        std::vector<std::string> out;
        for (int i = 1; i <= kMembers; ++i) out.push_back(std::to_string(i));
        return out;
    }
};

BigRegister& big() {
    static BigRegister r;
    return r;
}

double seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One SQL text per member through a fresh query object.
int naivePerMember(TDatabase& db, const std::vector<std::string>& numbers, const std::string& sql,
                   const std::string& fallback = {}) {
    Transaction t(db);
    int changed = 0;
    for (const std::string& nr : numbers) {
        TOrvQuery q(db);
        q.setSql(sql);
        q.setParamInt("orgnr", 1);
        q.setParamText("medlnr", nr);
        int n = q.execSQL();
        if (n == 0 && !fallback.empty()) {
            TOrvQuery f(db);
            f.setSql(fallback);
            f.setParamInt("orgnr", 1);
            f.setParamText("medlnr", nr);
            n = f.execSQL();
        }
        changed += n;
    }
    t.commit();
    return changed;
}

void report(benchmark::State& state, double prepared, double naive) {
    state.counters["prepared_s"] = prepared;
    state.counters["naive_s"] = naive;
    state.counters["naive_over_prepared"] = naive / prepared;
}

void BM_ApplyRelationTo100000(benchmark::State& state) {
    BigRegister& r = big();
    double prepared = 0, naive = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.fill();
        state.ResumeTiming();
        TRel rel(
            r.ui, r.store->dbMng(), r.steps, [] { return nullptr; }, r.store->tables().OrgTable,
            r.store->tables().MedlTable);
        prepared = seconds([&] {
            rel.ApplyRelation(TRelOperation::New, kRelAlle, {}, {"Dugnad", "Vår", 100}, false);
        });
        state.PauseTiming();
        r.fill();
        naive = seconds([&] {
            naivePerMember(r.db(), r.numbers(),
                           "update relreg set tekst = 'Vår', belop = 100 where orgnr = :orgnr "
                           "and medlnr = :medlnr and relasjon = 'Dugnad'",
                           "insert into relreg (orgnr, medlnr, relasjon, tekst, belop) values "
                           "(:orgnr, :medlnr, 'Dugnad', 'Vår', 100)");
        });
        state.ResumeTiming();
    }
    report(state, prepared, naive);
}

void BM_CopyMembers100000(benchmark::State& state) {
    BigRegister& r = big();
    double prepared = 0, naive = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.fill();
        state.ResumeTiming();
        TKopier kopier(
            r.ui, r.store->dbMng(), r.steps, [] { return nullptr; }, r.store->tables().OrgTable,
            r.store->tables().MedlTable);
        TKopierChoice choice;
        choice.targetOrgNr = 2;
        choice.targetNavn = "Kopien";
        prepared = seconds([&] { kopier.Run(TKopierMode::Copy, choice, nullptr); });
        state.PauseTiming();
        r.fill();
        naive = seconds([&] {
            naivePerMember(r.db(), r.numbers(),
                           "update medlreg set enavn = (select m.enavn from medlreg m where "
                           "m.orgnr = :orgnr and m.medlnr = :medlnr) where orgnr = 2 and "
                           "medlnr = :medlnr",
                           "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, fornavn, "
                           "kategori, betaling) select 2, medlnr, nmedlnr, enavn, fornavn, "
                           "kategori, betaling from medlreg where orgnr = :orgnr and medlnr = "
                           ":medlnr");
        });
        state.ResumeTiming();
    }
    report(state, prepared, naive);
}

void BM_DeleteMembers100000(benchmark::State& state) {
    BigRegister& r = big();
    double prepared = 0, naive = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.fill();
        state.ResumeTiming();
        TKopier kopier(
            r.ui, r.store->dbMng(), r.steps, [] { return nullptr; }, r.store->tables().OrgTable,
            r.store->tables().MedlTable);
        prepared = seconds([&] { kopier.Run(TKopierMode::Delete, {}, nullptr); });
        state.PauseTiming();
        r.fill();
        naive = seconds([&] {
            naivePerMember(r.db(), r.numbers(),
                           "delete from medlreg where orgnr = :orgnr and medlnr = :medlnr");
        });
        state.ResumeTiming();
    }
    report(state, prepared, naive);
}

}  // namespace

BENCHMARK(BM_ApplyRelationTo100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CopyMembers100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DeleteMembers100000)->Unit(benchmark::kMillisecond)->Iterations(2);
