#include "benchdata.h"

#include "tickets/ticketgrading.h"
#include "tickets/ticketsheets.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace loto6;

// 1,000 random tickets, each bought for every draw of the bundled history (about 2.1 million
// ticket-draws), with a payout stored for every draw. Target: under 50 ms.
std::vector<Ticket> wholeHistoryTickets()
{
    std::mt19937 rng(18);
    std::vector<Ticket> tickets(1000);
    for (Ticket &t : tickets) {
        std::array<int, 43> all{};
        for (int i = 0; i < 43; ++i)
            all[static_cast<std::size_t>(i)] = i + 1;
        std::shuffle(all.begin(), all.end(), rng);
        std::copy_n(all.begin(), 6, t.numbers.begin());
        t.firstDraw = 1;
        t.draws = bench::bundledTotals().latestDrawNo;
    }
    return tickets;
}

std::map<int, DrawPrizes> everyPayout()
{
    std::map<int, DrawPrizes> prizes;
    for (const DrawRecord &r : bench::bundledHistory()) {
        DrawPrizes p;
        p.drawNo = r.drawNo;
        const long long yen[] = {200000000, 10000000, 400000, 7000, 1000};
        for (int t = 0; t < 5; ++t)
            p.tiers[static_cast<std::size_t>(t)] = {1, yen[t]};
        prizes[r.drawNo] = p;
    }
    return prizes;
}

void BM_GradeTickets_1000_WholeHistory(benchmark::State &state)
{
    const std::vector<Ticket> tickets = wholeHistoryTickets();
    const std::map<int, DrawPrizes> prizes = everyPayout();
    for (auto _ : state) {
        TicketGrading grading(tickets, bench::bundledHistory(), prizes);
        benchmark::DoNotOptimize(grading.summary().pAtLeast);
    }
}
BENCHMARK(BM_GradeTickets_1000_WholeHistory)->Unit(benchmark::kMillisecond);

// The quick check of one combination and its table.
void BM_CheckCombination(benchmark::State &state)
{
    for (auto _ : state) {
        const TicketGrading g
            = checkCombination({2, 8, 10, 13, 27, 30}, bench::bundledHistory(), {});
        Sheet s = combinationCheckSheet(g, bench::bundledHistory());
        benchmark::DoNotOptimize(s.rows());
    }
}
BENCHMARK(BM_CheckCombination)->Unit(benchmark::kMillisecond);

} // namespace
