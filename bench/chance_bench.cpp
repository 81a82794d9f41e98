#include "benchdata.h"

#include "analysis/chance.h"
#include "analysis/chancelaw.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;

// The exact laws built from scratch, as on the first opening of the page.
void BM_ChanceLaw_Build(benchmark::State &state)
{
    for (auto _ : state) {
        ChanceLaw law(43, 6);
        benchmark::DoNotOptimize(law.steppingStoneChance());
    }
}
BENCHMARK(BM_ChanceLaw_Build)->Unit(benchmark::kMillisecond);

// The whole page: every test and the filled table.
void chancePage(benchmark::State &state, const DrawHistory &history)
{
    for (auto _ : state) {
        Sheet sheet = chanceSheet(computeChance(history));
        benchmark::DoNotOptimize(sheet.rows());
    }
}

void BM_ChancePage_Bundled(benchmark::State &state) { chancePage(state, bench::bundledHistory()); }
BENCHMARK(BM_ChancePage_Bundled)->Unit(benchmark::kMillisecond);

void BM_ChancePage_30000(benchmark::State &state) { chancePage(state, bench::largeHistory()); }
BENCHMARK(BM_ChancePage_30000)->Unit(benchmark::kMillisecond);

} // namespace
