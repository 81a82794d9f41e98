#include "benchdata.h"

#include "popularity/popularityestimate.h"

#include <benchmark/benchmark.h>

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
BENCHMARK(BM_PopularityEstimate)->Unit(benchmark::kMillisecond);

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
