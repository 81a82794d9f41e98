#include "benchdata.h"

#include "tickets/ticketgrading.h"
#include "tickets/ticketsheets.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace loto6;

// 1,000 random tickets, each bought for every draw of the bundled history (about 2.1 million
// ticket-draws), with a payout stored for every draw. Too many lines to count the verdict's
// law exactly, so it is simulated: target under 500 ms.
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

// The law of the verdict alone for a book over the whole bundled history: ten lines bought
// for every draw (counted exactly over every draw), and the 15 lines of a wheel of twelve
// numbers, 3 if 3, which share numbers. Target: each under 50 ms.
std::vector<BookDraw> everyDraw(const std::vector<std::array<int, MainNumberCount>> &lines)
{
    std::vector<BookLine> book;
    for (const auto &numbers : lines) {
        Ticket t;
        t.numbers = numbers;
        book.push_back({t.mask(), 1, 1});
    }
    std::vector<BookDraw> out;
    for (int d = 1; d <= bench::bundledTotals().latestDrawNo; ++d)
        out.push_back({d, book});
    return out;
}

void BM_BookLaw_TenLines(benchmark::State &state)
{
    const auto book = everyDraw({{1, 7, 13, 20, 31, 42}, {2, 9, 17, 25, 33, 40},
        {3, 11, 19, 24, 33, 41}, {4, 8, 15, 22, 29, 36}, {5, 12, 18, 27, 35, 43},
        {6, 10, 16, 23, 30, 38}, {1, 14, 21, 28, 34, 39}, {2, 7, 19, 26, 32, 37},
        {3, 9, 15, 21, 27, 33}, {10, 11, 12, 13, 14, 15}});
    for (auto _ : state)
        benchmark::DoNotOptimize(winCountLaw(book, 580).pAtLeast);
}
BENCHMARK(BM_BookLaw_TenLines)->Unit(benchmark::kMillisecond);

void BM_BookLaw_Wheel(benchmark::State &state)
{
    const auto book = everyDraw({{1, 2, 3, 6, 9, 12}, {1, 2, 4, 5, 9, 11}, {1, 2, 7, 8, 9, 10},
        {1, 3, 4, 7, 11, 12}, {1, 3, 5, 8, 10, 12}, {1, 4, 6, 8, 10, 11}, {1, 5, 6, 7, 9, 11},
        {2, 3, 4, 6, 10, 11}, {2, 3, 5, 7, 8, 11}, {2, 4, 6, 7, 8, 12}, {2, 5, 6, 10, 11, 12},
        {3, 4, 5, 6, 8, 9}, {3, 6, 7, 9, 10, 11}, {4, 5, 7, 9, 10, 12}, {4, 6, 8, 9, 11, 12}});
    for (auto _ : state)
        benchmark::DoNotOptimize(winCountLaw(book, 870).pAtLeast);
}
BENCHMARK(BM_BookLaw_Wheel)->Unit(benchmark::kMillisecond);

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
