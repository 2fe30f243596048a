// Member reports and letters on a demo register of 100,000 members:
// - the member list of all members as PDF (target 10 s, 200 MB peak) and a
//   label sheet of all of them (likewise), against the same report from rows
//   held in memory first;
// - 1,000 one-page letters merged and written to one PDF (target 3 s), and
//   10,000 of them to show the peak memory stays flat, against the naive run
//   that converts each merged letter to a PDF of its own.
// Every run is a child process of this program, so that its peak memory
// (ru_maxrss) is its own. Each benchmark runs its baseline in the same run
// and reports the ratio.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "demo_store.h"
#include "quiet_ui.h"
#include "register/main_form_logic.h"
#include "reports/engine/print/qt_report_canvas.h"
#include "reports/letter_output.h"
#include "reports/rapp.h"
#include "template/pdf/qt_paint_device.h"
#include "template/pdf/qt_pdf_converter.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::reports;
using Clock = std::chrono::steady_clock;

constexpr long long kMembers = 100000;

fs::path registerDir() { return fs::temp_directory_path() / "lagrull-bench-reports"; }
double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void buildRegister() {
    fs::remove_all(registerDir());
    demo::DemoOptions options;
    options.members = kMembers;
    test::makeDemoStore(registerDir(), options);
    // The shipped general letter, in the data directory where the run looks first.
    fs::copy_file(fs::path(LAGRULL_TEMPLATES) / "brev.rtf", registerDir() / "brev.rtf");
}

class AllMembers : public TKravTilHvemStep {
    int ShowModal() override { return kStepNext; }
};

// Members 1 … n: the criteria step with "til" set.
class UpTo : public TUtvalgskriterierStep {
public:
    UpTo(data::TOrvDbMng& dbMng, long long n) : TUtvalgskriterierStep(dbMng), n_(n) {}

protected:
    int Execute() override {
        Criteria().MedlnrFra = 1;
        Criteria().MedlnrTil = n_;
        return kStepNext;
    }

private:
    long long n_;
};

class Steps : public TSelectionStepFactory, public TRappStepFactory {
public:
    long long upTo = 0;
    std::unique_ptr<TKravTilHvemStep> CreateKravTilHvem() override {
        return std::make_unique<AllMembers>();
    }
    std::unique_ptr<TUtvalgskriterierStep> CreateUtvalgskriterier(data::TOrvDbMng& dbMng) override {
        return std::make_unique<UpTo>(dbMng, upTo);
    }
    std::unique_ptr<TEgenDefStep> CreateEgenDef() override { return nullptr; }
    std::unique_ptr<TRappUtskrifterStep> CreateRappUtskrifter() override {
        struct Defaults : TRappUtskrifterStep {
            int Execute() override { return kStepNext; }
        };
        return std::make_unique<Defaults>();
    }
};

// Every field the layouts read, for every row, held before the report starts.
class HeldRows : public report::TReportRowSource {
public:
    explicit HeldRows(report::TReportRowSource& source) {
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
    static constexpr const char* kFields[] = {"MEDLNR",   "ENAVN",    "FORNAVN",  "ADRESSE",
                                              "ADRESSE2", "POSTNR",   "POSTSTED", "MASKDATO",
                                              "TELEFON",  "KATEGORI", "NAVN",     "ADRESSE3"};
    std::vector<std::vector<std::string>> rows_;
    std::size_t at_ = std::size_t(-1);
};

class PdfOutput : public TReportOutput {
public:
    PdfOutput(std::string file, bool held) : file_(std::move(file)), held_(held) {}
    long long rows = 0;
    void ShowReport(const report::ReportLayout& layout, report::TReportRowSource& source) override {
        if (held_) {
            HeldRows kept(source);
            rows = report::writeReportPdf(layout, kept, file_).rows;
        } else {
            rows = report::writeReportPdf(layout, source, file_).rows;
        }
    }
    void OpenTextFile(const std::string&) override {}
    bool TextFileProgress(int) override { return true; }

private:
    std::string file_;
    bool held_;
};

struct Register {
    bench::QuietUi ui;
    data::DataStore store{ui, (registerDir() / "lagrul.ini").string(), registerDir().string()};
    Register() {
        TMainFormLogic::prepareTables(store.tables());
        store.start();
        TMainFormLogic::linkTables(store.tables());
    }
};

int reportChild(TRappKind kind, bool held) {
    Register reg;
    Steps steps;
    data::RegisterTables& t = reg.store.tables();
    TRapp rapp({reg.ui, reg.store.dbMng(), steps, steps, t.OrgTable, t.MedlTable,
                RegisterKind::Members, registerDir() / "bruker.ini"});
    PdfOutput output((registerDir() / "rapport.pdf").string(), held);
    rapp.RunReport(kind, output);
    return output.rows == kMembers ? 0 : 1;
}

// The naive letter output: each merged letter converted to a PDF of its own.
class EachOnItsOwn : public TLetterOutput {
public:
    void Print(const fs::path& rtf, const TLetterMember&) override {
        TQtPdfConverter converter;
        converter.convert(rtf.string(), (registerDir() / "brev-enkelt.pdf").string());
    }
};

int letterChild(long long letters, bool naive) {
    Register reg;
    Steps steps;
    // The member number below which `letters` members lie (numbers have gaps).
    data::TOrvQuery bound(reg.store.dbLocal());
    bound.setSql("select nmedlnr from medlreg where nmedlnr >= 1 order by nmedlnr limit 1 offset " +
                 std::to_string(letters - 1));
    bound.open();
    steps.upTo = static_cast<long long>(data::FieldFloat(bound, "nmedlnr"));
    data::RegisterTables& t = reg.store.tables();
    fs::create_directories(registerDir() / "tmp");
    TBrev brev({reg.ui, reg.store.dbMng(), steps, t.OrgTable, t.MedlTable, RegisterKind::Members,
                registerDir().string(), "", registerDir() / "tmp"});
    if (!brev.SelectMembers(TLetterKind::Generelt)) return 1;
    int n = 0;
    if (naive) {
        EachOnItsOwn output;
        n = brev.RunLetters(TLetterKind::Generelt, output);
    } else {
        TQtPdfSystem device((registerDir() / "brev.pdf").string());
        TPdfLetters output(device);
        n = brev.RunLetters(TLetterKind::Generelt, output);
    }
    return n == letters ? 0 : 1;
}

struct ChildRun {
    double seconds = 0, cpuSeconds = 0, peakMb = 0;
    bool ok = false;
};

const char* selfPath = nullptr;

ChildRun runChild(const std::string& mode) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string arg = "--child=" + mode;
        execl(selfPath, selfPath, arg.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto cpu = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return {seconds(Clock::now() - start), cpu(usage.ru_utime) + cpu(usage.ru_stime),
            usage.ru_maxrss / 1024.0, WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

void compare(benchmark::State& state, const std::string& ours, const std::string& baseline) {
    ChildRun run;
    for (auto _ : state) {
        run = runChild(ours);
        if (!run.ok) state.SkipWithError("child failed");
        state.SetIterationTime(run.seconds);
    }
    const ChildRun base = runChild(baseline);
    state.counters["peak_MB"] = run.peakMb;
    state.counters["cpu_s"] = run.cpuSeconds;
    state.counters["baseline_cpu_s"] = base.cpuSeconds;
    state.counters["baseline_s"] = base.seconds;
    state.counters["baseline_peak_MB"] = base.peakMb;
    // CPU seconds: the machine is shared, and wall time counts the others' work.
    state.counters["speedup"] = base.cpuSeconds / run.cpuSeconds;
    state.counters["memory_ratio"] = base.peakMb / run.peakMb;
}

void BM_MemberListPdf100000(benchmark::State& state) { compare(state, "list", "list-held"); }
BENCHMARK(BM_MemberListPdf100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_LabelsPdf100000(benchmark::State& state) { compare(state, "labels", "labels-held"); }
BENCHMARK(BM_LabelsPdf100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_Letters1000OnePdf(benchmark::State& state) {
    compare(state, "letters-1000", "letters-naive-1000");
}
BENCHMARK(BM_Letters1000OnePdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// The same run at ten times the letters: its peak memory against the 1,000.
void BM_Letters10000OnePdf(benchmark::State& state) {
    ChildRun run;
    for (auto _ : state) {
        run = runChild("letters-10000");
        if (!run.ok) state.SkipWithError("child failed");
        state.SetIterationTime(run.seconds);
    }
    const ChildRun thousand = runChild("letters-1000");
    state.counters["peak_MB"] = run.peakMb;
    state.counters["cpu_s"] = run.cpuSeconds;
    state.counters["peak_MB_at_1000"] = thousand.peakMb;
    state.counters["peak_growth"] = run.peakMb / thousand.peakMb;
}
BENCHMARK(BM_Letters10000OnePdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    selfPath = argv[0];
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--child=", 8) == 0) {
            QGuiApplication app(argc, argv);
            const std::string mode = argv[i] + 8;
            if (mode == "list" || mode == "list-held")
                return reportChild(TRappKind::Medlemsliste, mode == "list-held");
            if (mode == "labels" || mode == "labels-held")
                return reportChild(TRappKind::Etiketter, mode == "labels-held");
            const bool naive = mode.rfind("letters-naive-", 0) == 0;
            return letterChild(std::atoll(mode.c_str() + mode.rfind('-') + 1), naive);
        }
    buildRegister();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(registerDir());
    return 0;
}
