// Payment registration on a due date with 100,000 claims:
// - the date view loaded and painted (target 0.5 s), against the naive load
//   through a query opened whole (every row kept as a dataset) and copied;
// - 10,000 changed rows saved (target 0.3 s), against one autocommitted
//   update per row;
// - the payment report of all 100,000 claims written as PDF (target 10 s,
//   200 MB peak), against the same report from rows held in memory first.
//   Each report run is a child process of this program, so that its peak
//   memory (ru_maxrss) is its own.
// Each benchmark runs its baseline in the same run and reports the ratio.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "claim_fixture.h"
#include "data/field_access.h"
#include "payments/payment_report.h"
#include "payments/payment_save.h"
#include "payments/ui/innbetaling_form.h"
#include "quiet_ui.h"
#include "reports/engine/print/qt_report_canvas.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using Clock = std::chrono::steady_clock;

constexpr int kClaims = 100000;
constexpr int kChanged = 10000;
constexpr const char* kDate = "01032026";

fs::path registerDir() { return fs::temp_directory_path() / "lagrull-bench-payments"; }

void buildRegister() {
    fs::remove_all(registerDir());
    fs::create_directories(registerDir());
    bench::QuietUi ui;
    test::ClaimRegister reg(ui, registerDir().string());
    reg.fill(kClaims, kDate);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The naive load: the selection query opened whole as a dataset, then copied.
std::size_t naiveLoad(data::TDatabase& db, TPaymentQueries& queries) {
    data::TOrvQuery& q = queries.IBSelectQuery;
    q.open();
    std::vector<PaymentRow> rows;
    for (; !q.eof(); q.next()) {
        PaymentRow r;
        r.medlNr = data::FieldText(q, "IDnr");
        r.navn = paymentName(data::FieldText(q, "enavn"), data::FieldText(q, "fornavn"));
        r.dato = data::FieldText(q, "dato");
        r.krav = Money::fromKroner(data::FieldFloat(q, "belop"));
        r.innbetalt = Money::fromKroner(data::FieldFloat(q, "betbelop"));
        r.kid = data::FieldText(q, "kid");
        rows.push_back(std::move(r));
    }
    q.close();
    (void)db;
    return rows.size();
}

struct Window {
    bench::QuietUi ui;
    test::ClaimRegister reg{ui, registerDir().string(), RegisterKind::Members, false};
    std::unique_ptr<TfoInnbetaling> form;
    Window() {
        form = std::make_unique<TfoInnbetaling>(reg.context(), ui);
        form->show();
        QCoreApplication::processEvents();
    }
};

void BM_DateViewLoadAndPaint(benchmark::State& state) {
    Window w;
    Clock::duration ours{}, loading{};
    for (auto _ : state) {
        const auto start = Clock::now();
        w.form->rules().load();
        loading += Clock::now() - start;
        w.form->refresh();
        w.form->grBetPoster->viewport()->repaint();
        ours += Clock::now() - start;
    }
    state.counters["load_s"] = seconds(loading) / double(state.iterations());
    {
        const auto t0 = Clock::now();
        data::TOrvCursor c(w.reg.queries->IBSelectQuery);
        while (c.next()) {
        }
        state.counters["query_only_s"] = seconds(Clock::now() - t0);
    }
    if (w.form->rules().rows().size() != std::size_t(kClaims)) state.SkipWithError("rows");
    const auto start = Clock::now();
    const std::size_t n = naiveLoad(w.reg.db(), *w.reg.queries);
    const double baseline = seconds(Clock::now() - start);
    if (n != std::size_t(kClaims)) state.SkipWithError("baseline rows");
    state.counters["baseline_s"] = baseline;
    state.counters["speedup"] = baseline / (seconds(ours) / double(state.iterations()));
}
BENCHMARK(BM_DateViewLoadAndPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

std::vector<PaymentRow> changedRows(const std::vector<PaymentRow>& loaded, int round) {
    std::vector<PaymentRow> rows(loaded.begin(), loaded.begin() + kChanged);
    for (PaymentRow& r : rows) {
        r.innbetalt = Money::fromOre(std::int64_t{100} * (round + 1));
        r.rest = r.krav - r.innbetalt;
        r.changed = true;
    }
    return rows;
}

void BM_Save10000Rows(benchmark::State& state) {
    bench::QuietUi ui;
    test::ClaimRegister reg(ui, registerDir().string(), RegisterKind::Members, false);
    TPaymentRegistration window(reg.context(), ui);
    window.prepareView(PaymentView::PerDueDate);
    int round = 0;
    Clock::duration ours{};
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<PaymentRow> rows = changedRows(window.rows(), round++);
        state.ResumeTiming();
        const auto start = Clock::now();
        if (saveChangedRows(reg.db(), test::ClaimRegister::kOrgNr, rows, ui) != 0)
            state.SkipWithError("skipped rows");
        ours += Clock::now() - start;
    }
    // The naive save: one update statement, each its own transaction.
    const std::vector<PaymentRow> rows = changedRows(window.rows(), round);
    const auto start = Clock::now();
    for (const PaymentRow& r : rows) {
        data::TOrvQuery q(reg.db());
        q.setSql(
            "update mbetreg set betbelop = :b, differansebelop = :d where orgnr = 1 and medlnr = "
            ":m and dato = :dato");
        q.setParam("b", data::Value(r.innbetalt.kroner()));
        q.setParam("d", data::Value(r.rest->kroner()));
        q.setParamText("m", r.medlNr);
        q.setParamText("dato", r.dato);
        q.execSQL();
    }
    const double baseline = seconds(Clock::now() - start);
    state.counters["baseline_s"] = baseline;
    state.counters["speedup"] = baseline / (seconds(ours) / double(state.iterations()));
}
BENCHMARK(BM_Save10000Rows)->Unit(benchmark::kMillisecond)->Iterations(5);

// Rows loaded whole before the report starts (the naive report source):
// every field the report reads, for every claim, held in memory.
class HeldRows : public report::TReportRowSource {
public:
    explicit HeldRows(data::TOrvQuery& q) {
        TPaymentReportRows source(q);
        while (source.next()) {
            std::vector<std::string> row;
            for (const char* f : kFields) row.push_back(source.text(f));
            rows_.push_back(std::move(row));
        }
    }
    bool next() override { return ++at_ < rows_.size(); }
    void rewind() override { at_ = std::size_t(-1); }
    std::string text(std::string_view field) const override {
        for (std::size_t i = 0; i < std::size(kFields); ++i)
            if (field == kFields[i]) return rows_[at_][i];
        return {};
    }

private:
    static constexpr const char* kFields[] = {
        "IDNR",          "NAVN",  "KID",      "TEKST",           "MASKDATO", "MASKFORFDATO",
        "MASKBANKKONTO", "BELOP", "BETBELOP", "DIFFERANSEBELOP", "TOTBELOP"};
    std::vector<std::vector<std::string>> rows_;
    std::size_t at_ = std::size_t(-1);
};

// In a child process: the report of the register as PDF, streamed or held.
int reportChild(bool held) {
    bench::QuietUi ui;
    test::ClaimRegister reg(ui, registerDir().string(), RegisterKind::Members, false);
    TPaymentRegistration window(reg.context(), ui);
    window.prepareView(PaymentView::PerDueDate);
    const report::ReportLayout layout = paymentReportLayout(window, 9);
    const std::string pdf = (registerDir() / (held ? "held.pdf" : "streamed.pdf")).string();
    report::RunResult r;
    if (held) {
        HeldRows rows(reg.queries->IBSelectQuery);
        r = report::writeReportPdf(layout, rows, pdf);
    } else {
        TPaymentReportRows rows(reg.queries->IBSelectQuery);
        r = report::writeReportPdf(layout, rows, pdf);
    }
    return r.rows == kClaims ? 0 : 1;
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMb = 0;
    bool ok = false;
};

ChildRun runReportChild(const char* self, bool held) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(self, self, held ? "--report-child=held" : "--report-child=streamed", nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto cpu = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return {seconds(Clock::now() - start), cpu(usage.ru_utime) + cpu(usage.ru_stime),
            usage.ru_maxrss / 1024.0, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

const char* selfPath = nullptr;

void BM_ReportPdf100000(benchmark::State& state) {
    ChildRun ours;
    for (auto _ : state) {
        ours = runReportChild(selfPath, false);
        if (!ours.ok) state.SkipWithError("report child failed");
        state.SetIterationTime(ours.seconds);
    }
    const ChildRun held = runReportChild(selfPath, true);
    state.counters["peak_MB"] = ours.peakMb;
    state.counters["cpu_s"] = ours.cpuSeconds;
    state.counters["baseline_cpu_s"] = held.cpuSeconds;
    state.counters["baseline_s"] = held.seconds;
    state.counters["baseline_peak_MB"] = held.peakMb;
    state.counters["speedup"] = held.cpuSeconds / ours.cpuSeconds;
    state.counters["memory_ratio"] = held.peakMb / ours.peakMb;
}
BENCHMARK(BM_ReportPdf100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    selfPath = argv[0];
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--report-child=", 15) == 0) {
            QGuiApplication app(argc, argv);
            return reportChild(std::strcmp(argv[i] + 15, "held") == 0);
        }
    QApplication app(argc, argv);
    buildRegister();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(registerDir());
    return 0;
}
