#include "benchdata.h"

#include "prediction/predictionengine.h"
#include "prediction/predictionsheets.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;

// What opening the prediction window costs: a history scan with a fresh engine, the pass,
// and the four grids.
void scanAndPredict(benchmark::State &state, const DrawHistory &history, const Totals &totals)
{
    for (auto _ : state) {
        PredictionEngine engine;
        engine.scan(history);
        const auto sheets = buildPredictionSheets(engine.predict(totals.latestDrawNo, 0));
        benchmark::DoNotOptimize(sheets[OneShotGrid].text(2, 2).data());
    }
    state.counters["draws"] = static_cast<double>(history.size());
}

void BM_PredictionScanAndPass_Bundled(benchmark::State &state)
{
    scanAndPredict(state, bench::bundledHistory(), bench::bundledTotals());
}
BENCHMARK(BM_PredictionScanAndPass_Bundled)->Unit(benchmark::kMillisecond);

void BM_PredictionScanAndPass_30000(benchmark::State &state)
{
    scanAndPredict(state, bench::largeHistory(), bench::largeTotals());
}
BENCHMARK(BM_PredictionScanAndPass_30000)->Unit(benchmark::kMillisecond);

// A switch change: only the pass and the grids run again.
void BM_PredictionPassOnly_Bundled(benchmark::State &state)
{
    PredictionEngine engine;
    engine.scan(bench::bundledHistory());
    int shift = 0;
    for (auto _ : state) {
        const auto sheets
            = buildPredictionSheets(engine.predict(bench::bundledTotals().latestDrawNo, shift));
        benchmark::DoNotOptimize(sheets[EliminationGrid].text(2, 2).data());
        shift = (shift + 15) % 93;
    }
}
BENCHMARK(BM_PredictionPassOnly_Bundled)->Unit(benchmark::kMicrosecond);

} // namespace
