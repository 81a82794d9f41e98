#include "benchdata.h"

#include "popularity/popularityestimate.h"
#include "popularity/storedestimate.h"
#include "store/database.h"
#include "store/prizestore.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

using namespace loto6;

namespace {

// The popularity estimate of the bundled history and payouts: the fit, the sums over every
// subset of every six and the sorted popularities, as each command that shows popularity and
// the desktop after each change of the history make it.
void BM_PopularityEstimate(benchmark::State &state)
{
    const auto &draws = bench::bundledObservations();
    for (auto _ : state)
        benchmark::DoNotOptimize(popularity::PopularityEstimate::build(draws));
}
// The CPU of every thread of the process: the value spectrum is made on two.
BENCHMARK(BM_PopularityEstimate)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The same estimate read back from its stored form, checked: what every command and window
// does once the estimate is stored.
void BM_PopularityEstimateFromStoredForm(benchmark::State &state)
{
    const auto &draws = bench::bundledObservations();
    const std::string blob = popularity::PopularityEstimate::makeBlob(draws);
    const Digest key = popularity::PopularityEstimate::keyOf(draws);
    for (auto _ : state)
        benchmark::DoNotOptimize(popularity::PopularityEstimate::fromBlob(blob, key));
}
BENCHMARK(BM_PopularityEstimateFromStoredForm)->Unit(benchmark::kMicrosecond);

// One ticket valued from a stored estimate: its popularity, place and expected yen.
void BM_TicketValueFromStoredForm(benchmark::State &state)
{
    const auto &draws = bench::bundledObservations();
    const auto e
        = popularity::PopularityEstimate::fromBlob(popularity::PopularityEstimate::makeBlob(draws),
            popularity::PopularityEstimate::keyOf(draws));
    const popularity::TicketValuer valuer = e->valuer();
    for (auto _ : state) {
        const popularity::TicketValue v = valuer.value({2, 8, 10, 13, 27, 30});
        benchmark::DoNotOptimize(e->percentile(v.relativePopularity));
    }
}
BENCHMARK(BM_TicketValueFromStoredForm)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// A scratch database of the bundled history and payouts, its estimate stored, made once.
const std::filesystem::path &storedDatabase()
{
    static const std::filesystem::path file = [] {
        const auto path = std::filesystem::temp_directory_path()
            / ("loto6-bench-estimate-" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path);
        Database db;
        if (!db.openOrCreate(path, BUNDLED_HISTORY))
            throw std::runtime_error("cannot create the bench database");
        popularity::storedEstimate(db, bench::bundledObservations());
        return path;
    }();
    return file;
}

// The draws and their payouts read from the database as a command reads them, as the model
// learns them.
std::vector<popularity::DrawObservation> readObservations(
    Database &db, const std::filesystem::path &file, benchmark::State &state)
{
    DrawHistory history;
    std::map<int, DrawPrizes> prizes;
    Status s = db.open(file);
    if (s)
        s = db.loadHistory(history, Database::NoCut);
    if (s)
        s = readPrizes(db, prizes);
    if (!s)
        state.SkipWithError(s.message().c_str());
    return popularity::observationsOf(history, prizes);
}

// What a command does before it values anything, the estimate stored: the draws and payouts
// read, their key worked out and the stored form read back and checked.
void BM_StoredEstimateFromDatabase(benchmark::State &state)
{
    const std::filesystem::path &file = storedDatabase();
    for (auto _ : state) {
        Database db;
        const auto e = popularity::storedEstimate(db, readObservations(db, file, state));
        if (e.origin != popularity::EstimateOrigin::Stored)
            state.SkipWithError("the estimate was not stored");
        benchmark::DoNotOptimize(e.estimate.get());
    }
}
BENCHMARK(BM_StoredEstimateFromDatabase)->Unit(benchmark::kMillisecond);

// The same without the estimate: the draws and payouts read alone.
void BM_DrawsAndPayoutsFromDatabase(benchmark::State &state)
{
    const std::filesystem::path &file = storedDatabase();
    for (auto _ : state) {
        Database db;
        benchmark::DoNotOptimize(readObservations(db, file, state).size());
    }
}
BENCHMARK(BM_DrawsAndPayoutsFromDatabase)->Unit(benchmark::kMillisecond);

} // namespace
