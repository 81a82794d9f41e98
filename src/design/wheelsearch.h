#pragma once

#include "design/generator.h"
#include "design/wheel.h"

#include <bit>
#include <chrono>
#include <cstdint>
#include <vector>

namespace loto6::design {

// The search behind buildWheel, on positions 0..n-1 of the pool: a ticket or a subset is a
// bit set of positions. A greedy pass gives a first wheel; then, one ticket fewer at a time,
// simulated annealing moves one number of one ticket so as to cover a subset not yet
// covered, until every subset is covered (the smaller wheel) or the time is up.
class WheelSearch
{
public:
    using Set = std::uint32_t;
    using Clock = std::chrono::steady_clock;

    WheelSearch(int n, int win, int ifDrawn, std::uint64_t seed, Clock::time_point deadline,
        const WheelProgressFn &progress);

    // The greedy wheel; when the time is up it finishes with one ticket per uncovered subset.
    std::vector<Set> greedy();
    // Searches for a wheel with one ticket fewer than `best`, starting from it; true and the
    // smaller wheel in `best` when found before `until`.
    bool shrink(std::vector<Set> &best, Clock::time_point until);
    bool cancelled() const { return m_cancelled; }
    double elapsedFraction() const;

private:
    bool covers(Set ticket, Set subset) const { return std::popcount(ticket & subset) >= m_win; }
    Set randomTicketCovering(Set subset);
    // One member of a non-empty set, as a set of one.
    Set randomMember(Set set);
    std::vector<Set> greedyCandidates(Set subset);
    bool tick(std::size_t iteration, int bestSize, Clock::time_point until);
    std::size_t randomUncovered(const std::vector<std::uint16_t> &cover);
    int moveDelta(const std::vector<std::uint16_t> &cover, Set from, Set to);

    int m_n;
    int m_win;
    std::vector<Set> m_subsets; // every ifDrawn-subset
    std::vector<Set> m_tickets; // every six-subset, when few enough to try them all
    std::vector<std::uint32_t> m_changed;
    std::size_t m_tickEvery = 1; // steps between two looks at the clock
    PortableRandom m_random;
    Clock::time_point m_start;
    Clock::time_point m_deadline;
    const WheelProgressFn &m_progress;
    bool m_cancelled = false;
};

// Every k-subset of positions 0..n-1, in increasing order of the bit set.
std::vector<WheelSearch::Set> positionSubsets(int n, int k);

} // namespace loto6::design
