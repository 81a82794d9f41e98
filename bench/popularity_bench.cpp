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

} // namespace
