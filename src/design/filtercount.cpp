#include "analysis/probability.h"
#include "design/filters.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace loto6::design {

namespace {

constexpr int MaxSubset = MainNumberCount - 1; // the counted subsets have up to five numbers

// rank of a sorted subset of 0-based numbers c_0 < c_1 < ...: sum of C(c_i, i + 1) (colex).
class Ranks
{
public:
    Ranks()
    {
        for (int n = 0; n <= HighestNumber; ++n)
            for (int k = 0; k <= MainNumberCount; ++k)
                m_c[n][k] = binomialCoefficient(n, k);
    }
    std::uint64_t c(int n, int k) const { return m_c[n][k]; }
    template<typename Sorted>
    std::uint64_t rank(const Sorted &sorted, int size) const
    {
        std::uint64_t r = 0;
        for (int i = 0; i < size; ++i)
            r += m_c[sorted[static_cast<std::size_t>(i)]][i + 1];
        return r;
    }

private:
    std::uint64_t m_c[HighestNumber + 1][MainNumberCount + 1]{};
};

// For every subset of up to five numbers, how many combinations that pass the filters hold it:
// one walk adds each passing combination to its six five-number subsets, and each smaller
// size follows from the one above it (a k-subset lies in 6 - k of a combination's
// (k + 1)-subsets that hold it).
class SubsetCounts
{
public:
    SubsetCounts(const DesignFilter &base, const FilterContext &context)
    {
        for (int k = 0; k <= MaxSubset; ++k)
            m_level[k].assign(m_ranks.c(HighestNumber, k), 0);
        forEachPassing(base, context, [this](NumberMask m) {
            std::array<int, MainNumberCount> b{};
            for (std::size_t i = MainNumberCount; m; m &= m - 1)
                b[--i] = index(std::countr_zero(m));
            std::uint64_t before = 0; // ranks of the numbers ahead of the one left out
            for (int out = 0; out < MainNumberCount; ++out) {
                std::uint64_t after = 0;
                for (int l = out + 1; l < MainNumberCount; ++l)
                    after += m_ranks.c(b[static_cast<std::size_t>(l)], l);
                ++m_level[MaxSubset][before + after];
                before += m_ranks.c(b[static_cast<std::size_t>(out)], out + 1);
            }
        });
        for (int k = MaxSubset - 1; k >= 0; --k)
            stepDown(k);
    }

    long long total() const { return static_cast<long long>(m_level[0][0]); }

    // How many passing combinations share exactly j numbers with `numbers` (up to six), for
    // j = 0..6; `allPass` says whether the six numbers themselves pass.
    std::array<long long, MainNumberCount + 1> byOverlap(NumberMask numbers, bool allPass) const
    {
        std::array<int, MainNumberCount> b{};
        std::vector<int> list = numbersOf(numbers);
        std::reverse(list.begin(), list.end()); // ascending indices
        const int q = static_cast<int>(list.size());
        std::array<long long, MainNumberCount + 1> atLeast{}; // sums over subsets of each size
        for (unsigned s = 0; s < (1u << q); ++s) {
            int size = 0;
            for (int i = 0; i < q; ++i)
                if (s >> i & 1)
                    b[static_cast<std::size_t>(size++)] = index(list[static_cast<std::size_t>(i)]);
            atLeast[static_cast<std::size_t>(size)] += size <= MaxSubset
                ? static_cast<long long>(m_level[size][m_ranks.rank(b, size)])
                : (allPass ? 1 : 0);
        }
        std::array<long long, MainNumberCount + 1> exact{};
        for (int j = 0; j <= MainNumberCount; ++j)
            for (int i = j; i <= MainNumberCount; ++i)
                exact[static_cast<std::size_t>(j)] += ((i - j) % 2 ? -1 : 1)
                    * static_cast<long long>(m_ranks.c(i, j))
                    * atLeast[static_cast<std::size_t>(i)];
        return exact;
    }

private:
    // Number n as an index 0..42, the highest first: the walk goes up from the lowest
    // numbers, so the subsets it adds to in a row lie side by side in the tables.
    static int index(int n) { return HighestNumber - n; }

    // Level k from level k + 1: every (k + 1)-subset adds its count to each of its k-subsets.
    void stepDown(int k)
    {
        std::array<int, MainNumberCount> u{};
        for (int i = 0; i <= k; ++i)
            u[static_cast<std::size_t>(i)] = i;
        for (;;) {
            const std::uint32_t count = m_level[k + 1][m_ranks.rank(u, k + 1)];
            if (count) {
                std::array<int, MainNumberCount> t{};
                for (int out = 0; out <= k; ++out) {
                    int size = 0;
                    for (int i = 0; i <= k; ++i)
                        if (i != out)
                            t[static_cast<std::size_t>(size++)] = u[static_cast<std::size_t>(i)];
                    m_level[k][m_ranks.rank(t, k)] += count;
                }
            }
            int i = k;
            while (i >= 0 && u[static_cast<std::size_t>(i)] == HighestNumber - 1 - (k - i))
                --i;
            if (i < 0)
                break;
            ++u[static_cast<std::size_t>(i)];
            for (int j = i + 1; j <= k; ++j)
                u[static_cast<std::size_t>(j)] = u[static_cast<std::size_t>(j - 1)] + 1;
        }
        for (std::uint32_t &v : m_level[k])
            v /= static_cast<std::uint32_t>(MainNumberCount - k);
    }

    Ranks m_ranks;
    std::vector<std::uint32_t> m_level[MaxSubset + 1]; // counts up to 6 x 6,096,454
};

// The spread of a count of independent events with the given chances: its standard deviation
// and the range that holds it with at least 95% (2.5% or less outside on each side). The law
// is kept only where its chances are above 1e-300, so a long history stays cheap.
void spread(const std::vector<double> &chances, FilterCount &out)
{
    std::vector<double> law{1.0};
    int offset = 0; // the count of law[0]
    double variance = 0;
    for (double p : chances) {
        variance += p * (1 - p);
        law.push_back(0);
        for (std::size_t k = law.size() - 1; k > 0; --k)
            law[k] = law[k] * (1 - p) + law[k - 1] * p;
        law[0] *= 1 - p;
        while (law.size() > 1 && law.back() < 1e-300)
            law.pop_back();
        const auto first
            = std::find_if(law.begin(), law.end() - 1, [](double v) { return v >= 1e-300; });
        offset += static_cast<int>(first - law.begin());
        law.erase(law.begin(), first);
    }
    out.sd = std::sqrt(variance);
    double below = 0;
    std::size_t low = 0;
    while (low + 1 < law.size() && below + law[low] <= 0.025)
        below += law[low++];
    double above = 0;
    std::size_t high = law.size() - 1;
    while (high > low && above + law[high] <= 0.025)
        above += law[high--];
    out.low = offset + static_cast<int>(low);
    out.high = offset + static_cast<int>(high);
}

// How many combinations pass in the context of any draw: after the combinations drawn so far
// (given one by one) and against a previous draw. The filters that do not look back are
// counted once; the carry-over by the passing combinations' overlap with the previous draw;
// the drawn combinations that pass are taken off one by one.
class PassingInContext
{
public:
    PassingInContext(const DesignFilter &f, std::shared_ptr<const PopularityLimit> limit)
        : m_f(f)
        , m_base(f)
    {
        m_base.carryOver.reset();
        m_base.notDrawn = false;
        m_none.popularity = std::move(limit);
        if (f.carryOver) {
            m_subsets.emplace(m_base, m_none);
            m_baseCount = m_subsets->total();
        } else {
            m_baseCount = static_cast<long long>(countPassing(m_base, m_none));
        }
    }

    void drawn(NumberMask m)
    {
        if (m_f.notDrawn && passes(m_base, m, 0, m_none.drawn, m_none.popularity.get()))
            m_drawnPassing.push_back(m);
    }

    long long count(NumberMask previous) const
    {
        long long n = m_baseCount;
        if (m_subsets) {
            const auto overlap = m_subsets->byOverlap(
                previous, passes(m_base, previous, 0, m_none.drawn, m_none.popularity.get()));
            n = 0;
            for (int j = std::max(m_f.carryOver->low, 0);
                 j <= std::min(m_f.carryOver->high, MainNumberCount); ++j)
                n += overlap[static_cast<std::size_t>(j)];
        }
        for (NumberMask d : m_drawnPassing)
            n -= !m_f.carryOver || m_f.carryOver->contains(shared(d, previous)) ? 1 : 0;
        return n;
    }

private:
    // Numbers two combinations share: at most six, so a short loop.
    static int shared(NumberMask a, NumberMask b)
    {
        int n = 0;
        for (NumberMask m = a & b; m; m &= m - 1)
            ++n;
        return n;
    }

    const DesignFilter &m_f;
    DesignFilter m_base; // every filter but the two that look back
    FilterContext m_none;
    std::optional<SubsetCounts> m_subsets;
    long long m_baseCount = 0;
    std::vector<NumberMask> m_drawnPassing; // distinct drawn combinations that pass m_base
};

} // namespace

FilterCount countFilter(const DesignFilter &f, const DrawHistory &history,
    const popularity::PopularityEstimate *popularity)
{
    FilterCount out;
    FilterContext context;
    context.popularity
        = FilterContext::limitFor(f, popularity, popularity::PatternFamily::fromHistory(history));
    const auto pastLimit = FilterContext::limitFor(f, popularity, popularity::PatternFamily{});
    PassingInContext passing(f, context.popularity);
    std::vector<double> chances;
    for (NumberMask m : drawMasks(history)) {
        out.passed += passes(f, m, context.latest, context.drawn, pastLimit.get()) ? 1 : 0;
        chances.push_back(static_cast<double>(passing.count(context.latest))
            / static_cast<double>(AllCombinations));
        if (!context.drawn.contains(m))
            passing.drawn(m);
        context.drawn.insert(m);
        context.latest = m;
    }
    out.draws = static_cast<int>(chances.size());
    out.popularityInSample = context.popularity != nullptr;
    out.combinations = static_cast<std::uint64_t>(passing.count(context.latest));
    out.probability = static_cast<double>(out.combinations) / static_cast<double>(AllCombinations);
    for (double p : chances)
        out.expected += p;
    spread(chances, out);
    return out;
}

} // namespace loto6::design
