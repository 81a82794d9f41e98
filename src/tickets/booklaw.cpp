#include "tickets/booklaw.h"

#include "analysis/probability.h"
#include "store/drawrecord.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>

namespace loto6 {

namespace {

constexpr int WinningMatches = 3;
// Chances below this share of the largest are dropped from a convolved law.
constexpr double Negligible = 1e-40;

// Every draw by the numbers it takes among the lines' numbers (at most six): each such subset
// stands for the C(43 - u, 6 - a) draws that take the rest elsewhere. The lines each number
// belongs to carry their matches down the walk.
class DrawWalk
{
public:
    explicit DrawWalk(const std::vector<BookLine> &lines)
    {
        std::uint64_t all = 0;
        long long total = 0;
        for (const BookLine &l : lines) {
            all |= l.mask;
            total += l.tickets;
        }
        for (int n = 1; n <= HighestNumber; ++n) {
            if (!(all >> n & 1))
                continue;
            std::vector<int> of;
            for (std::size_t i = 0; i < lines.size(); ++i)
                if (lines[i].mask >> n & 1)
                    of.push_back(static_cast<int>(i));
            m_linesOf.push_back(std::move(of));
        }
        const int u = static_cast<int>(m_linesOf.size());
        for (int a = 0; a <= MainNumberCount; ++a)
            m_weight[a] = binomialCoefficient(HighestNumber - u, MainNumberCount - a);
        m_tickets.reserve(lines.size());
        for (const BookLine &l : lines)
            m_tickets.push_back(l.tickets);
        m_matches.assign(lines.size(), 0);
        m_law.assign(static_cast<std::size_t>(total) + 1, 0);
        walk(0, 0, 0);
    }
    const std::vector<std::uint64_t> &law() const { return m_law; }

    // Visits of a line the walk makes for `lines`: the subsets of up to six of their numbers,
    // each adding one number's lines.
    static double work(const std::vector<BookLine> &lines)
    {
        std::uint64_t all = 0;
        for (const BookLine &l : lines)
            all |= l.mask;
        const int u = std::popcount(all);
        double nodes = 0;
        for (int a = 0; a <= MainNumberCount; ++a)
            nodes += static_cast<double>(binomialCoefficient(u, a));
        return nodes * (1 + MainNumberCount * static_cast<double>(lines.size()) / std::max(u, 1));
    }

private:
    void walk(std::size_t from, int depth, long long won)
    {
        m_law[static_cast<std::size_t>(won)] += m_weight[depth];
        if (depth == MainNumberCount)
            return;
        for (std::size_t i = from; i < m_linesOf.size(); ++i) {
            long long w = won;
            for (int l : m_linesOf[i])
                if (++m_matches[static_cast<std::size_t>(l)] == WinningMatches)
                    w += m_tickets[static_cast<std::size_t>(l)];
            walk(i + 1, depth + 1, w);
            for (int l : m_linesOf[i])
                --m_matches[static_cast<std::size_t>(l)];
        }
    }

    std::vector<std::vector<int>> m_linesOf; // per number of the lines, the lines holding it
    std::uint64_t m_weight[MainNumberCount + 1]{};
    std::vector<long long> m_tickets;
    std::vector<std::uint8_t> m_matches;
    std::vector<std::uint64_t> m_law;
};

// A law over the whole numbers offset, offset + 1, ...
struct Pmf
{
    long long offset = 0;
    std::vector<double> p{1.0};

    double variance() const
    {
        double m = 0, m2 = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            m += static_cast<double>(i) * p[i];
            m2 += static_cast<double>(i) * static_cast<double>(i) * p[i];
        }
        return m2 - m * m;
    }
};

Pmf convolve(const Pmf &a, const Pmf &b)
{
    Pmf out;
    out.offset = a.offset + b.offset;
    out.p.assign(a.p.size() + b.p.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.p.size(); ++i)
        if (a.p[i] != 0)
            for (std::size_t j = 0; j < b.p.size(); ++j)
                out.p[i + j] += a.p[i] * b.p[j];
    const double top = *std::max_element(out.p.begin(), out.p.end());
    const auto keep = [top](double v) { return v > top * Negligible; };
    const auto first = std::find_if(out.p.begin(), out.p.end(), keep);
    const auto last = std::find_if(out.p.rbegin(), out.p.rend(), keep).base();
    out.offset += first - out.p.begin();
    out.p = std::vector<double>(first, last);
    return out;
}

Pmf power(Pmf base, long long n)
{
    Pmf out;
    for (; n > 0; n >>= 1) {
        if (n & 1)
            out = convolve(out, base);
        if (n > 1)
            base = convolve(base, base);
    }
    return out;
}

using Group = std::pair<std::vector<BookLine>, long long>; // lines, draws

// The distinct sets of lines (by numbers and tickets) with their numbers of draws.
std::vector<Group> groups(const std::vector<BookDraw> &draws)
{
    std::map<std::vector<std::pair<std::uint64_t, int>>, Group> byLines;
    for (const BookDraw &d : draws) {
        std::vector<std::pair<std::uint64_t, int>> key;
        for (const BookLine &l : d.lines)
            key.emplace_back(l.mask, l.tickets);
        Group &g = byLines[key];
        if (g.second++ == 0)
            g.first = d.lines;
    }
    std::vector<Group> out;
    for (auto &[key, g] : byLines)
        out.push_back(std::move(g));
    return out;
}

// The exact tails, or false when the counting would pass the budget.
bool exactLaw(const std::vector<Group> &gs, long long observed, double budget, WinCountLaw &out)
{
    double work = 0;
    for (const Group &g : gs)
        work += DrawWalk::work(g.first);
    if (work > budget)
        return false;
    std::vector<Pmf> laws;
    for (const Group &g : gs) {
        Pmf one;
        one.p = oneDrawWinLaw(g.first);
        const double sd = std::sqrt(one.variance() * static_cast<double>(g.second));
        const double window = 30 * sd + static_cast<double>(one.p.size());
        work += window * window * std::log2(static_cast<double>(g.second) + 1);
        if (work > budget)
            return false;
        laws.push_back(std::move(one));
    }
    Pmf all;
    for (std::size_t i = 0; i < gs.size(); ++i)
        all = convolve(all, power(laws[i], gs[i].second));
    double total = 0, atLeast = 0, atMost = 0;
    for (std::size_t i = 0; i < all.p.size(); ++i) {
        const long long w = all.offset + static_cast<long long>(i);
        total += all.p[i];
        atLeast += w >= observed ? all.p[i] : 0;
    }
    for (std::size_t i = all.p.size(); i-- > 0;)
        atMost += all.offset + static_cast<long long>(i) <= observed ? all.p[i] : 0;
    out.pAtLeast = std::min(1.0, atLeast / total);
    out.pAtMost = std::min(1.0, atMost / total);
    return true;
}

WinCountLaw simulatedLaw(const std::vector<Group> &gs, long long observed, const LawBudget &budget)
{
    double perReplicate = 1;
    for (const Group &g : gs)
        perReplicate += static_cast<double>(g.second) * static_cast<double>(g.first.size() + 8);
    WinCountLaw out;
    out.simulated = true;
    out.simulations = static_cast<int>(std::clamp(budget.simulationWork / perReplicate,
        static_cast<double>(MinSimulations), static_cast<double>(MaxSimulations)));
    // Each group's masks and tickets side by side, for a tight loop.
    std::vector<std::pair<std::vector<std::uint64_t>, std::vector<long long>>> packed;
    for (const auto &[lines, draws] : gs) {
        auto &[masks, tickets] = packed.emplace_back();
        for (const BookLine &l : lines) {
            masks.push_back(l.mask);
            tickets.push_back(l.tickets);
        }
    }
    PortableRandom random(budget.seed);
    long long atLeast = 0, atMost = 0;
    for (int r = 0; r < out.simulations; ++r) {
        long long won = 0;
        for (std::size_t g = 0; g < gs.size(); ++g) {
            const auto &[masks, tickets] = packed[g];
            for (long long d = 0; d < gs[g].second; ++d) {
                const std::uint64_t mains = randomFairDraw(random).mains;
                for (std::size_t i = 0; i < masks.size(); ++i)
                    won += wins(mains & masks[i]) ? tickets[i] : 0;
            }
        }
        atLeast += won >= observed ? 1 : 0;
        atMost += won <= observed ? 1 : 0;
    }
    const double n = out.simulations;
    out.pAtLeast = static_cast<double>(atLeast + 1) / (n + 1);
    out.pAtMost = static_cast<double>(atMost + 1) / (n + 1);
    out.errorAtLeast = std::sqrt(out.pAtLeast * (1 - out.pAtLeast) / n);
    out.errorAtMost = std::sqrt(out.pAtMost * (1 - out.pAtMost) / n);
    return out;
}

} // namespace

FairDraw randomFairDraw(PortableRandom &random)
{
    FairDraw d;
    for (int taken = 0; taken <= MainNumberCount;) {
        const std::uint64_t bit = std::uint64_t{2} << random.below(HighestNumber);
        if ((d.mains | d.bonus) & bit)
            continue;
        (taken++ < MainNumberCount ? d.mains : d.bonus) |= bit;
    }
    return d;
}

std::vector<double> oneDrawWinLaw(const std::vector<BookLine> &lines)
{
    const DrawWalk walk(lines);
    std::vector<double> out;
    out.reserve(walk.law().size());
    for (std::uint64_t n : walk.law())
        out.push_back(static_cast<double>(n) / static_cast<double>(CombinationCount));
    return out;
}

WinCountLaw winCountLaw(
    const std::vector<BookDraw> &draws, long long observedWins, const LawBudget &budget)
{
    const std::vector<Group> gs = groups(draws);
    WinCountLaw out;
    if (exactLaw(gs, observedWins, budget.exactWork, out))
        return out;
    return simulatedLaw(gs, observedWins, budget);
}

} // namespace loto6
