#include "benchdata.h"

#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "prediction/backtestsheets.h"

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

using namespace loto6;

// The whole check on the bundled history: every draw from the 30th, all 93 shifts, every
// method, then the laws, p-values and Holm adjustment of all comparisons.
void BM_BacktestWhole_Bundled(benchmark::State &state)
{
    for (auto _ : state) {
        Backtest backtest;
        benchmark::DoNotOptimize(backtest.run(bench::bundledHistory()).ok());
        const BacktestReport report = makeBacktestReport(backtest);
        benchmark::DoNotOptimize(report.results.back().pValue);
    }
    state.counters["draws"] = static_cast<double>(bench::bundledHistory().size());
}
BENCHMARK(BM_BacktestWhole_Bundled)->Unit(benchmark::kMillisecond);

// The two halves on their own: the walk with the predictions, and the statistics.
void BM_BacktestWalk_Bundled(benchmark::State &state)
{
    for (auto _ : state) {
        Backtest backtest;
        benchmark::DoNotOptimize(backtest.run(bench::bundledHistory()).ok());
    }
}
BENCHMARK(BM_BacktestWalk_Bundled)->Unit(benchmark::kMillisecond);

void BM_BacktestReport_Bundled(benchmark::State &state)
{
    Backtest backtest;
    backtest.run(bench::bundledHistory());
    for (auto _ : state) {
        const BacktestReport report = makeBacktestReport(backtest);
        benchmark::DoNotOptimize(report.results.back().pValue);
    }
}
BENCHMARK(BM_BacktestReport_Bundled)->Unit(benchmark::kMillisecond);

// The tables of every shift, as a window showing the whole check would build them.
void BM_BacktestSheets_AllShifts(benchmark::State &state)
{
    Backtest backtest;
    backtest.run(bench::bundledHistory());
    const BacktestReport report = makeBacktestReport(backtest);
    std::vector<int> shifts(Backtest::ShiftCount);
    std::iota(shifts.begin(), shifts.end(), 0);
    for (auto _ : state) {
        const std::vector<Sheet> sheets = backtestSheets(report, shifts);
        benchmark::DoNotOptimize(sheets.front().rows());
    }
}
BENCHMARK(BM_BacktestSheets_AllShifts)->Unit(benchmark::kMillisecond);

} // namespace
