#include "benchdata.h"

#include "analysis/builders.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;
using Builder = Sheet (*)(const DrawHistory &, const Totals &);

void buildBundled(benchmark::State &state, Builder builder)
{
    const DrawHistory &history = bench::bundledHistory();
    const Totals &totals = bench::bundledTotals();
    for (auto _ : state) {
        Sheet s = builder(history, totals);
        benchmark::DoNotOptimize(s.rows());
    }
}

void buildLarge(benchmark::State &state, Builder builder)
{
    const DrawHistory &history = bench::largeHistory();
    const Totals &totals = bench::largeTotals();
    for (auto _ : state) {
        Sheet s = builder(history, totals);
        benchmark::DoNotOptimize(s.rows());
    }
}

#define ANALYSIS2_BENCH(name, builder)                                                             \
    BENCHMARK_CAPTURE(buildBundled, name, builder)->Unit(benchmark::kMillisecond);                 \
    BENCHMARK_CAPTURE(buildLarge, name, builder)->Unit(benchmark::kMillisecond)

ANALYSIS2_BENCH(sum, buildSum);
ANALYSIS2_BENCH(lowHigh, buildLowHigh);
ANALYSIS2_BENCH(evenOdd, buildEvenOdd);
ANALYSIS2_BENCH(fiveBand, buildFiveBand);
ANALYSIS2_BENCH(group6, buildGroup6);
ANALYSIS2_BENCH(group7, buildGroup7);
ANALYSIS2_BENCH(group11, buildGroup11);
ANALYSIS2_BENCH(lastDigit, buildLastDigit);
ANALYSIS2_BENCH(lastDigitRun, buildLastDigitRun);

} // namespace
