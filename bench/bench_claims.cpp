// Claims and giros: the generation pass over 100,000 members (fresh and
// rerun), measured against a plain row-wise SQLite loop that writes the same
// claims in the same run, and the giro export of 100,000 claims.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "common/money.h"
#include "data/data_store.h"
#include "data/sql_dialect.h"
#include "payments/claim_generation.h"
#include "payments/giro_export.h"
#include "payments/giro_run.h"
#include "payments/kid.h"
#include "quiet_ui.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;
using lagrull::bench::QuietUi;

constexpr int kMembers = 100000;
constexpr const char* kDueDate = "15032024";

// A register of one organisation with 100,000 members in three categories,
// some with an own amount.
fs::path memberRegister() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "lagrull-bench-claims";
        fs::remove_all(d);
        fs::create_directories(d);
        QuietUi ui;
        DataStore store(ui, "", d.string());
        store.start();
        TDatabase& db = store.dbLocal();
        Transaction t(db);
        db.exec(
            "INSERT INTO ORGREG (ORGNR, ORGNAVN, ADRESSE, POSTNR, POSTSTED, BANKKONTO) "
            "VALUES (1, 'Idrettslaget Ørn', 'Postboks 7', '0150', 'OSLO', '12345678903')");
        db.exec(
            "INSERT INTO KONTGRP (ORGNR, KATEGORI, BELOP, FASTBELOP) VALUES "
            "(1, 'Senior', 1250, 0), (1, 'Junior', 450, 1), (1, 'Familie', 2100, 0)");
        Statement s = db.prepare(
            "INSERT INTO MEDLREG (ORGNR, MEDLNR, NMEDLNR, FORNAVN, ENAVN, ADRESSE, POSTNR, "
            "POSTSTED, KATEGORI, BETALING, BELOP, VARSLING) VALUES (1, ?1, ?2, ?3, ?4, ?5, "
            "'0150', 'OSLO', ?6, 2, ?7, 0)");
        const char* categories[] = {"Senior", "Junior", "Familie"};
        for (int i = 1; i <= kMembers; ++i) {
            s.bind(1, Value(std::to_string(i)));
            s.bind(2, Value(double(i)));
            s.bind(3, Value("Fornavn" + std::to_string(i % 977)));
            s.bind(4, Value("Etternavn" + std::to_string(i % 1013)));
            s.bind(5, Value("Gate " + std::to_string(i)));
            s.bind(6, Value(std::string(categories[i % 3])));
            s.bind(7, Value(i % 7 == 0 ? 900.0 : 0.0));
            s.execute();
            s.reset();
        }
        t.commit();
        return d;
    }();
    return dir;
}

ClaimSpec claimSpec() {
    ClaimSpec job;
    job.orgNr = 1;
    job.dueDate = kDueDate;
    job.description = "Kontingent 2024";
    return job;
}

// The naive baseline: the same claims, row by row with prepared statements
// in one transaction: per member a lookup of its claim, then an update or an
// insert, each bound by name.
// The member query as the wizard builds it without a selection.
reports::TQueryBuilder claimQuery(const ClaimSpec& job) {
    reports::TQueryBuilder q;
    addClaimQuery(q, job);
    return q;
}

long long naiveClaimLoop(TDatabase& db, const ClaimSpec& job) {
    Transaction t(db);
    Statement members = db.prepare(translateLocalSql(claimQuery(job).BuildSql()));
    members.bind("orgnr", Value(job.orgNr));
    Statement find = db.prepare(
        "SELECT rowid FROM MBETREG WHERE ORGNR = :orgnr AND MEDLNR = :medlnr AND DATO = :dato");
    Statement update = db.prepare(
        "UPDATE MBETREG SET BELOP = :belop, BETFLAG = '', BETALING = :betaling, BETDATO = '', "
        "BETBELOP = NULL, KID = :kid, TEKST = :tekst, SLETTEFLAG = NULL, BBSOPPDRAGSNR = NULL, "
        "DIFFERANSEBELOP = NULL, REL1 = '', REL2 = '', REL3 = '', REL4 = '', REL5 = '' "
        "WHERE rowid = :id");
    Statement insert = db.prepare(
        "INSERT INTO MBETREG (ORGNR, MEDLNR, DATO, BELOP, BETALING, KID, TEKST) VALUES "
        "(:orgnr, :medlnr, :dato, :belop, :betaling, :kid, :tekst)");
    long long n = 0;
    while (members.step()) {
        const std::int64_t orgnr = members.columnInt(0);
        const std::string medlnr = members.columnText(1);
        const std::int64_t betaling = members.columnInt(2);
        const double own = members.column(3).index() == 2 ? std::get<double>(members.column(3)) : 0;
        const bool fixed = members.columnInt(4) != 0;
        const double category =
            members.column(5).index() == 2 ? std::get<double>(members.column(5)) : 0;
        const double amount = !fixed && own > 0 ? own : category;
        const std::string kid =
            MakeKid(std::to_string(orgnr + 1), medlnr, job.dueDate, RegisterKind::Members);
        find.bind("orgnr", Value(orgnr));
        find.bind("medlnr", Value(medlnr));
        find.bind("dato", Value(job.dueDate));
        Statement& write = find.step() ? update : insert;
        if (&write == &update) update.bind("id", Value(find.columnInt(0)));
        find.reset();
        write.bind("orgnr", Value(orgnr));
        write.bind("medlnr", Value(medlnr));
        write.bind("dato", Value(job.dueDate));
        write.bind("belop", Value(amount));
        write.bind("betaling", Value(betaling));
        write.bind("kid", Value(kid));
        write.bind("tekst", Value(job.description));
        write.execute();
        write.reset();
        ++n;
    }
    t.commit();
    return n;
}

// The thread's CPU time: the build machine is shared, and the time a loaded
// machine gives to other work would blur both sides of the ratio.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void removeClaims(TDatabase& db) {
    db.exec(std::string("DELETE FROM MBETREG WHERE DATO = '") + kDueDate + "'");
}

// Each iteration times the pass and then the naive loop on the same state;
// the reported time is the pass's CPU time, the counters give the loop's and
// the ratio.
void runAgainstBaseline(benchmark::State& state, bool rerun) {
    QuietUi ui;
    DataStore store(ui, "", memberRegister().string());
    store.start();
    TDatabase& db = store.dbLocal();
    const ClaimSpec job = claimSpec();
    if (rerun) generateClaims(db, ui, job, claimQuery(job));
    double passTotal = 0, naiveTotal = 0;
    for (auto _ : state) {
        if (!rerun) removeClaims(db);
        double t0 = cpuSeconds();
        const ClaimResult r = generateClaims(db, ui, job, claimQuery(job));
        const double pass = cpuSeconds() - t0;
        if (r.written != kMembers) state.SkipWithError("feil antall krav");
        if (!rerun) removeClaims(db);
        t0 = cpuSeconds();
        const long long n = naiveClaimLoop(db, job);
        const double naive = cpuSeconds() - t0;
        if (n != kMembers) state.SkipWithError("feil antall krav i løkken");
        state.SetIterationTime(pass);
        passTotal += pass;
        naiveTotal += naive;
    }
    state.counters["naiv_ms"] = naiveTotal / state.iterations() * 1000;
    state.counters["forhold"] = passTotal / naiveTotal;
    state.SetItemsProcessed(state.iterations() * kMembers);
}

void BM_ClaimGenerationFresh(benchmark::State& state) { runAgainstBaseline(state, false); }
BENCHMARK(BM_ClaimGenerationFresh)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ClaimGenerationRerun(benchmark::State& state) { runAgainstBaseline(state, true); }
BENCHMARK(BM_ClaimGenerationRerun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The giro export of the 100,000 claims of one date, every one a giro.
void BM_GiroExport(benchmark::State& state) {
    QuietUi ui;
    DataStore store(ui, "", memberRegister().string());
    store.start();
    TDatabase& db = store.dbLocal();
    const ClaimSpec claims = claimSpec();
    generateClaims(db, ui, claims, claimQuery(claims));
    GiroSpec job;
    job.orgNr = 1;
    job.dueDate = kDueDate;
    job.kind = GiroKind::AnnenBetaling;
    applyPreset(job, GiroPreset::StdOppsett, claims.description);
    const GiroPayee payee = readPayee(db, 1);
    reports::TQueryBuilder query;
    addGiroQuery(query, job);
    const fs::path file = memberRegister() / kGiroFileName;
    for (auto _ : state) {
        const double t0 = cpuSeconds();
        const long long n = writeGiroFile(db, ui, job, query, payee, file);
        state.SetIterationTime(cpuSeconds() - t0);
        if (n != kMembers) state.SkipWithError("feil antall giroer");
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_GiroExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
