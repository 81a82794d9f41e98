#include "benchdata.h"

#include "analysis/builders.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;

void BM_Frequency_Bundled(benchmark::State &state)
{
    for (auto _ : state) {
        Sheet s = buildFrequency(bench::bundledHistory(), bench::bundledTotals());
        benchmark::DoNotOptimize(s.columns());
    }
}
BENCHMARK(BM_Frequency_Bundled)->Unit(benchmark::kMillisecond);

void BM_Frequency_30000(benchmark::State &state)
{
    for (auto _ : state) {
        Sheet s = buildFrequency(bench::largeHistory(), bench::largeTotals());
        benchmark::DoNotOptimize(s.columns());
    }
}
BENCHMARK(BM_Frequency_30000)->Unit(benchmark::kMillisecond);

} // namespace
