#include "design/wheelsearch.h"

#include <algorithm>
#include <cmath>

namespace loto6::design {

namespace {

// The greedy pass tries every ticket while tickets x subsets stays under this, else a sample.
constexpr double AllTicketsWork = 2e8;
constexpr int SampledCandidates = 160;
constexpr double StartTemperature = 0.45;
constexpr double Cooling = 0.99995;
constexpr double FrozenTemperature = 0.02;

} // namespace

std::vector<WheelSearch::Set> positionSubsets(int n, int k)
{
    std::vector<WheelSearch::Set> out;
    if (k <= 0 || k > n)
        return out;
    const WheelSearch::Set limit = WheelSearch::Set{1} << n;
    // Gosper's hack: the next larger set with the same number of members.
    for (WheelSearch::Set s = (WheelSearch::Set{1} << k) - 1; s < limit;) {
        out.push_back(s);
        const WheelSearch::Set c = s & (0 - s);
        const WheelSearch::Set r = s + c;
        s = (((r ^ s) >> 2) / c) | r;
    }
    return out;
}

WheelSearch::WheelSearch(int n, int win, int ifDrawn, std::uint64_t seed,
    Clock::time_point deadline, const WheelProgressFn &progress)
    : m_n(n)
    , m_win(win)
    , m_subsets(positionSubsets(n, ifDrawn))
    , m_random(seed)
    , m_start(Clock::now())
    , m_deadline(deadline)
    , m_progress(progress)
{
    // A step scans every subset: the clock is read about every two million subsets scanned.
    m_tickEvery = std::clamp<std::size_t>((std::size_t{1} << 21) / m_subsets.size(), 1, 2048);
    std::vector<Set> all = positionSubsets(n, MainNumberCount);
    if (static_cast<double>(all.size()) * static_cast<double>(m_subsets.size()) <= AllTicketsWork)
        m_tickets = std::move(all);
}

double WheelSearch::elapsedFraction() const
{
    const double total = std::chrono::duration<double>(m_deadline - m_start).count();
    const double used = std::chrono::duration<double>(Clock::now() - m_start).count();
    return total > 0 ? std::min(1.0, used / total) : 1.0;
}

// Checks the clock and reports progress every few thousand steps; false when time is up or
// the search is cancelled.
bool WheelSearch::tick(std::size_t iteration, int bestSize, Clock::time_point until)
{
    if (iteration % m_tickEvery != 0)
        return !m_cancelled;
    if (m_progress && !m_progress(WheelProgress{bestSize, elapsedFraction()}))
        m_cancelled = true;
    return !m_cancelled && Clock::now() < until;
}

WheelSearch::Set WheelSearch::randomTicketCovering(Set subset)
{
    std::vector<int> inside;
    std::vector<int> outside;
    for (int p = 0; p < m_n; ++p)
        ((subset >> p) & 1 ? inside : outside).push_back(p);
    Set ticket = 0;
    for (int i = 0; i < m_win; ++i) {
        const std::size_t j = i + m_random.below(inside.size() - static_cast<std::size_t>(i));
        std::swap(inside[static_cast<std::size_t>(i)], inside[j]);
        ticket |= Set{1} << inside[static_cast<std::size_t>(i)];
    }
    while (std::popcount(ticket) < MainNumberCount) {
        const int p = static_cast<int>(m_random.below(static_cast<std::uint64_t>(m_n)));
        ticket |= Set{1} << p;
    }
    return ticket;
}

std::vector<WheelSearch::Set> WheelSearch::greedyCandidates(Set subset)
{
    std::vector<Set> out;
    if (!m_tickets.empty()) {
        for (Set t : m_tickets)
            if (covers(t, subset))
                out.push_back(t);
        return out;
    }
    for (int i = 0; i < SampledCandidates; ++i)
        out.push_back(randomTicketCovering(subset));
    return out;
}

std::vector<WheelSearch::Set> WheelSearch::greedy()
{
    std::vector<char> covered(m_subsets.size(), 0);
    std::vector<Set> wheel;
    std::size_t next = 0;
    for (std::size_t step = 0;; ++step) {
        while (next < m_subsets.size() && covered[next])
            ++next;
        if (next == m_subsets.size())
            return wheel;
        const Set subset = m_subsets[next];
        const bool searching = tick(step * m_tickEvery, static_cast<int>(wheel.size()), m_deadline);
        if (m_cancelled)
            return {};
        // Out of time: the subset's own numbers, filled up, cover it.
        std::vector<Set> candidates
            = searching ? greedyCandidates(subset) : std::vector<Set>{randomTicketCovering(subset)};
        Set best = candidates.front();
        long bestScore = -1;
        for (Set c : candidates) {
            long score = 0;
            for (std::size_t s = next; s < m_subsets.size(); ++s)
                score += !covered[s] && covers(c, m_subsets[s]);
            if (score > bestScore) {
                bestScore = score;
                best = c;
            }
        }
        wheel.push_back(best);
        for (std::size_t s = next; s < m_subsets.size(); ++s)
            covered[s] = covered[s] || covers(best, m_subsets[s]);
    }
}

WheelSearch::Set WheelSearch::randomMember(Set set)
{
    for (auto k = m_random.below(static_cast<std::uint64_t>(std::popcount(set))); k > 0; --k)
        set &= set - 1;
    return set & (0 - set);
}

std::size_t WheelSearch::randomUncovered(const std::vector<std::uint16_t> &cover)
{
    std::size_t i = m_random.below(cover.size());
    while (cover[i] != 0)
        i = i + 1 == cover.size() ? 0 : i + 1;
    return i;
}

// The change in uncovered subsets when a ticket `from` becomes `to`; the subsets whose
// coverage by it changes are left in m_changed.
int WheelSearch::moveDelta(const std::vector<std::uint16_t> &cover, Set from, Set to)
{
    m_changed.clear();
    int delta = 0;
    for (std::size_t s = 0; s < m_subsets.size(); ++s) {
        const bool before = covers(from, m_subsets[s]);
        if (before == covers(to, m_subsets[s]))
            continue;
        m_changed.push_back(static_cast<std::uint32_t>(s));
        if (before)
            delta += cover[s] == 1 ? 1 : 0;
        else
            delta -= cover[s] == 0 ? 1 : 0;
    }
    return delta;
}

bool WheelSearch::shrink(std::vector<Set> &best, Clock::time_point until)
{
    if (best.size() <= 1)
        return false;
    std::vector<Set> wheel = best;
    wheel.erase(wheel.begin() + static_cast<long>(m_random.below(wheel.size())));
    std::vector<std::uint16_t> cover(m_subsets.size(), 0);
    long uncovered = 0;
    for (std::size_t s = 0; s < m_subsets.size(); ++s) {
        for (Set t : wheel)
            cover[s] += covers(t, m_subsets[s]) ? 1 : 0;
        uncovered += cover[s] == 0 ? 1 : 0;
    }
    double temperature = StartTemperature;
    std::vector<std::size_t> near;
    for (std::size_t step = 1; uncovered > 0; ++step) {
        if (!tick(step, static_cast<int>(best.size()), until))
            return false;
        const Set subset = m_subsets[randomUncovered(cover)];
        near.clear();
        for (std::size_t t = 0; t < wheel.size(); ++t)
            if (std::popcount(wheel[t] & subset) == m_win - 1)
                near.push_back(t);
        const std::size_t t
            = near.empty() ? m_random.below(wheel.size()) : near[m_random.below(near.size())];
        const Set to
            = wheel[t] ^ randomMember(wheel[t] & ~subset) ^ randomMember(subset & ~wheel[t]);
        const int delta = moveDelta(cover, wheel[t], to);
        const double draw = static_cast<double>(m_random.next() >> 11) * 0x1.0p-53;
        if (delta <= 0 || draw < std::exp(-delta / temperature)) {
            for (std::uint32_t s : m_changed) {
                cover[s]
                    = static_cast<std::uint16_t>(cover[s] + (covers(to, m_subsets[s]) ? 1 : -1));
            }
            wheel[t] = to;
            uncovered += delta;
        }
        temperature = temperature < FrozenTemperature ? StartTemperature : temperature * Cooling;
    }
    best = std::move(wheel);
    return true;
}

} // namespace loto6::design
