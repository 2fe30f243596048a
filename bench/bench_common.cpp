// The shared helpers sit on every hot path: amounts in every report line,
// ini reads at every start.
#include <benchmark/benchmark.h>

#include <string>

#include "common/ini_format.h"
#include "common/money.h"

namespace {

void BM_FormatAmount(benchmark::State& state) {
    std::int64_t ore = 123456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lagrull::FormatAmount(lagrull::Money::fromOre(ore)));
        ++ore;
    }
}
BENCHMARK(BM_FormatAmount);

void BM_ParseSettingsFile(benchmark::State& state) {
    std::string file;
    for (int s = 0; s < 50; ++s) {
        file += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 40; ++k)
            file += "Key" + std::to_string(k) + "=Verdi nummer " + std::to_string(k) + "\r\n";
        file += "\r\n";
    }
    for (auto _ : state) benchmark::DoNotOptimize(lagrull::ini::parse(file));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ParseSettingsFile);

}  // namespace
