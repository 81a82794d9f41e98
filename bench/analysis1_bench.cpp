#include "benchdata.h"

#include "analysis/builders.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;

template<Sheet (*Build)(const DrawHistory &, const Totals &)>
void bundled(benchmark::State &state)
{
    const DrawHistory &h = bench::bundledHistory();
    const Totals &t = bench::bundledTotals();
    for (auto _ : state) {
        Sheet s = Build(h, t);
        benchmark::DoNotOptimize(s.rows());
    }
}

template<Sheet (*Build)(const DrawHistory &, const Totals &)>
void large(benchmark::State &state)
{
    const DrawHistory &h = bench::largeHistory();
    const Totals &t = bench::largeTotals();
    for (auto _ : state) {
        Sheet s = Build(h, t);
        benchmark::DoNotOptimize(s.rows());
    }
}

#define LOTO6_ANALYSIS1_BENCH(name, fn)                                                            \
    BENCHMARK(bundled<fn>)->Name("BM_Analysis1_" name "_Bundled")->Unit(benchmark::kMillisecond);  \
    BENCHMARK(large<fn>)->Name("BM_Analysis1_" name "_30000")->Unit(benchmark::kMillisecond);

LOTO6_ANALYSIS1_BENCH("CountGroups", buildCountGroups)
LOTO6_ANALYSIS1_BENCH("AppearanceCount", buildAppearanceCount)
LOTO6_ANALYSIS1_BENCH("AppearanceInterval", buildAppearanceInterval)
LOTO6_ANALYSIS1_BENCH("NumberInterval", buildNumberInterval)
LOTO6_ANALYSIS1_BENCH("Spread", buildSpread)
LOTO6_ANALYSIS1_BENCH("CarryOver", buildCarryOver)
LOTO6_ANALYSIS1_BENCH("Consecutive", buildConsecutive)

} // namespace
