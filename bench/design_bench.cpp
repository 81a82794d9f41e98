#include "benchdata.h"

#include "design/filters.h"
#include "design/generator.h"
#include "design/odds.h"
#include "popularity/popularityestimate.h"

#include <benchmark/benchmark.h>

namespace {

using namespace loto6;
using namespace loto6::design;

// Counting all 6,096,454 combinations with the past draws' check on the bundled history.
// Target: the whole `design --count` command under 100 ms.
void BM_DesignCountNoFilter(benchmark::State &state)
{
    const DesignFilter f;
    for (auto _ : state)
        benchmark::DoNotOptimize(countFilter(f, bench::bundledHistory()));
}
BENCHMARK(BM_DesignCountNoFilter)->Unit(benchmark::kMillisecond);

// Every condition but the pool, so that few branches are skipped.
void BM_DesignCountEveryFilter(benchmark::State &state)
{
    DesignFilter f;
    f.sum = Range{100, 160};
    f.odd = Range{2, 4};
    f.low = Range{2, 4};
    f.consecutive = Range{0, 1};
    f.lastDigits = Range{5, 6};
    f.carryOver = Range{0, 1};
    f.exclude = NumberMask{1} << 43;
    f.notDrawn = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(countFilter(f, bench::bundledHistory()));
}
BENCHMARK(BM_DesignCountEveryFilter)->Unit(benchmark::kMillisecond);

// The popularity model of the bundled history and payouts, fitted once.
const popularity::PopularityEstimate &bundledEstimate()
{
    static const auto estimate
        = popularity::PopularityEstimate::build(bench::bundledObservations());
    return *estimate;
}

// The least popular 10% with three odd numbers: the walk adds each number's popularity as it
// goes down. Target: within the 100 ms of the count without it (the fit itself is apart).
void BM_DesignCountLeastPopular(benchmark::State &state)
{
    DesignFilter f;
    f.odd = Range{3, 3};
    f.leastPopular = 10.0;
    const popularity::PopularityEstimate &estimate = bundledEstimate();
    for (auto _ : state)
        benchmark::DoNotOptimize(countFilter(f, bench::bundledHistory(), &estimate));
}
BENCHMARK(BM_DesignCountLeastPopular)->Unit(benchmark::kMillisecond);

void BM_DesignCountLeastPopularOnly(benchmark::State &state)
{
    DesignFilter f;
    f.leastPopular = 10.0;
    const popularity::PopularityEstimate &estimate = bundledEstimate();
    for (auto _ : state)
        benchmark::DoNotOptimize(countFilter(f, bench::bundledHistory(), &estimate));
}
BENCHMARK(BM_DesignCountLeastPopularOnly)->Unit(benchmark::kMillisecond);

// 条件から選ぶ as the designer sets it: 5 tickets of the least popular 10%, pattern tickets left
// out (so the count takes a walk). Target: the desktop's 0.5 s from the button to the tickets.
void BM_DesignPickLeastPopular(benchmark::State &state)
{
    DesignFilter f;
    f.leastPopular = 10.0;
    const FilterContext context
        = FilterContext::fromHistory(bench::bundledHistory(), f, &bundledEstimate());
    for (auto _ : state) {
        PickResult r;
        benchmark::DoNotOptimize(pickTickets(f, context, 5, 1, r));
    }
}
BENCHMARK(BM_DesignPickLeastPopular)->Unit(benchmark::kMillisecond);

void BM_DesignPick100(benchmark::State &state)
{
    DesignFilter f;
    f.sum = Range{100, 160};
    const FilterContext context = FilterContext::fromHistory(bench::bundledHistory());
    for (auto _ : state) {
        PickResult r;
        benchmark::DoNotOptimize(pickTickets(f, context, 100, 42, r));
    }
}
BENCHMARK(BM_DesignPick100)->Unit(benchmark::kMillisecond);

// The exact odds of 50 tickets over every draw.
void BM_DesignOdds50(benchmark::State &state)
{
    PickResult r;
    (void)pickTickets(DesignFilter{}, FilterContext{}, 50, 7, r);
    const AveragePrizeModel model({});
    for (auto _ : state) {
        TicketOdds odds;
        benchmark::DoNotOptimize(ticketOdds(r.tickets, model, odds));
    }
}
BENCHMARK(BM_DesignOdds50)->Unit(benchmark::kMillisecond);

} // namespace
