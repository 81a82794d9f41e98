#include "benchdata.h"

#include "store/database.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace loto6;
namespace fs = std::filesystem;

// A database file holding the given draws, made once per process.
fs::path databaseWith(const DrawHistory &history, const char *tag)
{
    const fs::path file = fs::temp_directory_path()
        / ("loto6-bench-" + std::to_string(::getpid()) + "-" + tag + ".db");
    fs::remove(file);
    Database db;
    if (!db.openOrCreate(file, BUNDLED_HISTORY))
        throw std::runtime_error("cannot create the bench database");
    if (!db.importDraws(std::vector<DrawRecord>(history.begin(), history.end()), true))
        throw std::runtime_error("cannot fill the bench database");
    return file;
}

void openLoadTotals(benchmark::State &state, const DrawHistory &source, const char *tag)
{
    const fs::path file = databaseWith(source, tag);
    for (auto _ : state) {
        Database db;
        if (!db.open(file))
            state.SkipWithError("open failed");
        DrawHistory history;
        if (!db.loadHistory(history))
            state.SkipWithError("load failed");
        Totals totals = computeTotals(history);
        benchmark::DoNotOptimize(totals.latestDrawNo);
    }
    fs::remove(file);
}

void BM_OpenLoadTotals_Bundled(benchmark::State &state)
{
    openLoadTotals(state, bench::bundledHistory(), "bundled");
}
BENCHMARK(BM_OpenLoadTotals_Bundled)->Unit(benchmark::kMillisecond);

void BM_OpenLoadTotals_30000(benchmark::State &state)
{
    openLoadTotals(state, bench::largeHistory(), "large");
}
BENCHMARK(BM_OpenLoadTotals_30000)->Unit(benchmark::kMillisecond);

} // namespace
