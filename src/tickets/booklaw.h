#pragma once

#include "analysis/portablerandom.h"

#include <cstdint>
#include <vector>

namespace loto6 {

// One distinct six of a ticket book on one draw: how many of the book's tickets hold it there
// and their units. Tickets with the same numbers win or lose together.
struct BookLine
{
    std::uint64_t mask = 0; // bit n for each number n
    int tickets = 0;
    long long units = 0;
};

// The book's lines on one graded draw, by ascending mask.
struct BookDraw
{
    int drawNo = 0;
    std::vector<BookLine> lines;
};

// Six distinct main numbers and a seventh, the bonus, of one fair draw, as bit masks.
struct FairDraw
{
    std::uint64_t mains = 0;
    std::uint64_t bonus = 0;
};
FairDraw randomFairDraw(PortableRandom &random);

// Whether a line holds three or more of a draw's numbers (`shared` = line & draw): a prize.
// Two lowest bits cleared leave a third; cheaper than counting where no popcount instruction
// is assumed.
inline bool wins(std::uint64_t shared)
{
    shared &= shared - 1;
    shared &= shared - 1;
    return shared != 0;
}

// The law, under fair draws, of the book's winning ticket-draws (a ticket on a draw wins with
// three or more main numbers), for the book as it is: lines that share numbers, repeated lines
// and wheels included. Draws are independent, so the law is that of each distinct set of lines
// for one draw, raised to its number of draws and multiplied together.
//
// Exact where it is cheap: the law of one draw against a set of lines is counted over every
// draw by its numbers among the lines' numbers (the rest only multiply), then the laws are
// convolved. Otherwise a seeded simulation of fair draws against the book, whose p-values
// (k + 1) / (R + 1) never call a fair book notable more often than the level, and whose
// standard error is stated.
struct WinCountLaw
{
    bool simulated = false;
    int simulations = 0;
    double pAtLeast = 1;     // fair draws give the book at least the observed wins
    double pAtMost = 1;      // at most the observed wins
    double errorAtLeast = 0; // the simulation's standard error of each, 0 when exact
    double errorAtMost = 0;
};

// The work allowed, in visits of a line: exact while the counting fits `exactWork`, else a
// simulation of at most `simulationWork` (at least MinSimulations replicates, at most
// MaxSimulations).
struct LawBudget
{
    double exactWork = 1.5e8;
    double simulationWork = 4e7;
    std::uint64_t seed = 20261209;
};
inline constexpr int MinSimulations = 200;
inline constexpr int MaxSimulations = 20000;

WinCountLaw winCountLaw(
    const std::vector<BookDraw> &draws, long long observedWins, const LawBudget &budget = {});

// The chance distribution of the tickets won by one fair draw against `lines` (index = tickets
// whose line won), exactly; the sum is 1.
std::vector<double> oneDrawWinLaw(const std::vector<BookLine> &lines);

} // namespace loto6
