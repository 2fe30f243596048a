// Clearing files at the sizes of a large organisation: a return file of a
// million payments must read in well under a second, and a transmission of
// 100 000 claims must build and save in under a second.
#include <benchmark/benchmark.h>

#include "quiet_ui.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "clearing/bbs_retur.h"
#include "clearing/bbs_transmission.h"
#include "common/ui.h"

namespace {

using namespace lagrull;
using namespace lagrull::clearing;

using lagrull::bench::QuietUi;

// Numbers without the program's clock counters (no wait at the end).
class BenchBBS : public TBBS {
public:
    std::string NyttOppdragsnr() override { return "0000001"; }
    std::string NyttForsendelsesnr() override { return "0000001"; }
};

std::string padded(std::string s, std::size_t n, char fill) {
    if (s.size() < n) s.insert(0, n - s.size(), fill);
    return s;
}

// Line ends of the files read: CR LF as the clearing house writes them, or
// CR alone as some banks' systems do.
enum class LineEnd { CrLf = 0, Cr = 1 };

std::string line(std::string text, LineEnd end = LineEnd::CrLf) {
    text.resize(80, '0');
    return text + (end == LineEnd::Cr ? "\r" : "\r\n");
}

// An OCR return file of `payments` payments in assignments of 10 000,
// written once per run and removed when the run ends.
class ReturnFile {
public:
    ReturnFile(int payments, LineEnd end)
        : path_(std::filesystem::temp_directory_path() /
                ("lagrull-bench-ocr-" + std::to_string(payments) + "-" +
                 std::to_string(static_cast<int>(end)) + ".txt")) {
        std::ofstream out(path_, std::ios::binary);
        const auto line = [end](std::string text) { return ::line(std::move(text), end); };
        out << line(
            "NY000010000080800170604"
            "00012345");
        for (int i = 0; i < payments; ++i) {
            if (i % 10000 == 0) {
                if (i > 0) out << line("NY090088");
                out << line("NY090020001234567" + padded(std::to_string(i / 10000 + 1), 7, '0'));
            }
            const std::string number = padded(std::to_string(i % 10000 + 1), 7, '0');
            out << line("NY091030" + number + "150324" + std::string(11, '0') +
                        padded(std::to_string(10000 + i % 50000), 17, '0') +
                        padded("002" + padded(std::to_string(i), 11, '0') + "29408018", 25, ' '));
            out << line("NY091031" + number);
        }
        out << line("NY090088") << line("NY000089");
    }
    ~ReturnFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The second argument is the line end: the two runs should take about the
// same time (a reader that looked for LF first took quadratic time on CR).
void BM_ReadReturnFile(benchmark::State& state) {
    const int payments = static_cast<int>(state.range(0));
    const auto end = static_cast<LineEnd>(state.range(1));
    const ReturnFile file(payments, end);
    const auto& path = file.path();
    QuietUi ui;
    for (auto _ : state) {
        TBBSRetur reader(ui, std::filesystem::temp_directory_path());
        reader.LoadFromFile(path);
        if (reader.Betalinger().Count() != payments) state.SkipWithError("payments lost");
        benchmark::DoNotOptimize(reader.Betalinger().Count());
    }
    state.SetItemsProcessed(state.iterations() * payments);
}
BENCHMARK(BM_ReadReturnFile)
    ->Args({1000000, static_cast<int>(LineEnd::CrLf)})
    ->Args({1000000, static_cast<int>(LineEnd::Cr)})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_BuildAndSaveTransmission(benchmark::State& state) {
    const int claims = static_cast<int>(state.range(0));
    const auto path = std::filesystem::temp_directory_path() / "lagrull-bench-dirdeb.bbs";
    QuietUi ui;
    for (auto _ : state) {
        BenchBBS bbs;
        bbs.SetDataavsender("12345678");
        auto& oppdrag = bbs.NyttOppdrag<TBBSBetalingsOppdrag>();
        oppdrag.SetOppdragskonto("15030123456");
        for (int i = 0; i < claims; ++i) {
            TBBSBetaling& t = oppdrag.NyBetaling();
            t.SetEgetVarsel(i % 3 == 1);
            t.SetForfallsdato(Date{2024, 1 + i % 12, 1 + i % 28});
            t.SetBelop(350.0 + i % 100);
            t.SetKid("002" + padded(std::to_string(i), 11, '0') + "29408018");
            t.SetNavn("Nordmann Ola Jørgen");
            if (!t.HarEgetVarsel()) t.SetSpesifikasjonTekst("Kontingent 2024\tkr 350,00");
        }
        bbs.SaveToFile(path, ui);
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * claims);
}
BENCHMARK(BM_BuildAndSaveTransmission)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
