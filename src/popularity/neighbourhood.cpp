#include "popularity/neighbourhood.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace loto6::popularity {

namespace {

// The tier a ticket wins: m of its numbers drawn, withBonus when the bonus is one of the others.
int tierOf(int m, bool withBonus)
{
    if (m == 6)
        return 1;
    if (m == 5)
        return withBonus ? 2 : 3;
    if (m == 4)
        return 4;
    return m == 3 ? 5 : 0;
}

// Counts the draws (six numbers and a bonus) by the tiers two tickets sharing j numbers win:
// the 43 numbers fall into four classes (on both, on the first only, on the second only, on
// neither) and a draw takes d0..d3 numbers from them, the bonus one of what is left.
std::array<std::array<double, Tiers>, MainNumberCount + 1> computeJointWinChance()
{
    std::array<std::array<double, Tiers>, MainNumberCount + 1> out{};
    for (int j = 0; j <= MainNumberCount; ++j) {
        const std::array<int, 4> size = {
            j, MainNumberCount - j, MainNumberCount - j, HighestNumber - 2 * MainNumberCount + j};
        std::array<double, Tiers> first{}, both{};
        for (int d0 = 0; d0 <= size[0]; ++d0)
            for (int d1 = 0; d1 <= size[1]; ++d1)
                for (int d2 = 0; d2 <= size[2]; ++d2) {
                    const int d3 = MainNumberCount - d0 - d1 - d2;
                    if (d3 < 0 || d3 > size[3])
                        continue;
                    const double ways = static_cast<double>(binomial(size[0], d0))
                        * static_cast<double>(binomial(size[1], d1))
                        * static_cast<double>(binomial(size[2], d2))
                        * static_cast<double>(binomial(size[3], d3));
                    const std::array<int, 4> leftForBonus
                        = {size[0] - d0, size[1] - d1, size[2] - d2, size[3] - d3};
                    for (int b = 0; b < 4; ++b) {
                        const double w = ways * leftForBonus[static_cast<std::size_t>(b)];
                        const int t1 = tierOf(d0 + d1, b == 0 || b == 1);
                        const int t2 = tierOf(d0 + d2, b == 0 || b == 2);
                        if (t1 == 0)
                            continue;
                        first[static_cast<std::size_t>(t1 - 1)] += w;
                        if (t1 == t2)
                            both[static_cast<std::size_t>(t1 - 1)] += w;
                    }
                }
        for (std::size_t t = 0; t < Tiers; ++t)
            out[static_cast<std::size_t>(j)][t] = first[t] > 0 ? both[t] / first[t] : 0.0;
    }
    return out;
}

} // namespace

const std::array<std::array<double, Tiers>, MainNumberCount + 1> &jointWinChance()
{
    static const auto table = computeJointWinChance();
    return table;
}

namespace {

// For each subset of six places (a mask of 6 bits): how many places and the highest.
struct MaskFacts
{
    std::array<int, 64> size{}, top{};
    constexpr MaskFacts()
    {
        for (unsigned m = 1; m < 64; ++m) {
            size[m] = size[m & (m - 1)] + 1;
            top[m] = m >> 1 ? top[m >> 1] + 1 : 0;
        }
    }
};
constexpr MaskFacts SubsetMasks{};

// The sums over the j-subsets from those over the (j+1)-subsets: a six holding a j-subset S
// holds 6 - j of the subsets S + {x}, so S's sum is the sum of theirs over 6 - j (j >= 1).
void sumsFromLarger(const std::vector<double> &larger, int j, std::vector<double> &out)
{
    std::array<int, MainNumberCount> s{};
    for (int i = 0; i < j; ++i)
        s[static_cast<std::size_t>(i)] = i;
    const double share = 1.0 / (MainNumberCount - j);
    for (double &sum : out) {
        // The rank of S + {x} with x at place p: S's terms below p as they are, those from p
        // on one place higher.
        std::array<std::int64_t, MainNumberCount + 1> low{}, high{};
        for (int i = 0; i < j; ++i)
            low[static_cast<std::size_t>(i + 1)] = low[static_cast<std::size_t>(i)]
                + binomial(s[static_cast<std::size_t>(i)], i + 1);
        for (int i = j - 1; i >= 0; --i)
            high[static_cast<std::size_t>(i)] = high[static_cast<std::size_t>(i + 1)]
                + binomial(s[static_cast<std::size_t>(i)], i + 2);
        double total = 0;
        for (int x = 0, p = 0; x < HighestNumber; ++x) {
            if (p < j && s[static_cast<std::size_t>(p)] == x) {
                ++p;
                continue;
            }
            const auto at = static_cast<std::size_t>(p);
            total += larger[static_cast<std::size_t>(low[at] + binomial(x, p + 1) + high[at])];
        }
        sum = total * share;
        // The next j-subset in colexicographic order.
        int i = 0;
        while (
            i + 1 < j && s[static_cast<std::size_t>(i)] + 1 == s[static_cast<std::size_t>(i + 1)])
            ++i;
        ++s[static_cast<std::size_t>(i)];
        for (int k = 0; k < i; ++k)
            s[static_cast<std::size_t>(k)] = k;
    }
}

} // namespace

Neighbourhood::Neighbourhood(const PopularityModel &model)
    : m_model(&model)
    , m_factors(model)
    , m_logScale(-(model.logNormaliser() + std::log(static_cast<double>(CombinationCount))))
{
    for (int j = 0; j < MainNumberCount - 1; ++j)
        m_sums[static_cast<std::size_t>(j)].assign(
            static_cast<std::size_t>(binomial(HighestNumber, j)), 0.0);
    // One pass adds each six's weight to its fifteen 4-subsets: a run of sixes {y, x[1..5]}
    // adds its total to the five 4-subsets of x[1..5], and each weight to y and three of
    // x[1..5], whose ranks follow y side by side. The smaller subsets follow level by level.
    std::vector<double> &fours = m_sums[MainNumberCount - 2];
    double total = 0;
    forEachWeightRun(
        m_factors, m_logScale, [&](const std::array<int, MainNumberCount> &x, const double *run) {
            const int n = x[1];
            double runTotal = 0;
            for (int y = 0; y < n; ++y)
                runTotal += run[y];
            total += runTotal;
            for (int out = 1; out < MainNumberCount; ++out) {
                std::int64_t rank = 0;
                for (int i = 1, place = 1; i < MainNumberCount; ++i)
                    if (i != out)
                        rank += binomial(x[static_cast<std::size_t>(i)], place++);
                fours[static_cast<std::size_t>(rank)] += runTotal;
            }
            for (int a = 1; a < MainNumberCount; ++a)
                for (int b = a + 1; b < MainNumberCount; ++b)
                    for (int c = b + 1; c < MainNumberCount; ++c) {
                        double *to = &fours[static_cast<std::size_t>(
                            binomial(x[static_cast<std::size_t>(a)], 2)
                            + binomial(x[static_cast<std::size_t>(b)], 3)
                            + binomial(x[static_cast<std::size_t>(c)], 4))];
                        for (int y = 0; y < n; ++y)
                            to[y] += run[y];
                    }
        });
    m_sums[0][0] = total;
    for (int j = MainNumberCount - 3; j >= 1; --j)
        sumsFromLarger(
            m_sums[static_cast<std::size_t>(j + 1)], j, m_sums[static_cast<std::size_t>(j)]);
}

Neighbourhood::Neighbourhood(const PopularityModel &model, Levels levels)
    : m_model(&model)
    , m_factors(model)
    , m_logScale(-(model.logNormaliser() + std::log(static_cast<double>(CombinationCount))))
{
    for (std::size_t j = 0; j < levels.size(); ++j)
        m_sums[j] = std::move(levels[j]);
}

Neighbourhood::Levels Neighbourhood::levels() const
{
    Levels out;
    for (std::size_t j = 0; j < out.size(); ++j)
        out[j] = m_sums[j];
    return out;
}

double Neighbourhood::subsetSum(
    const std::array<int, MainNumberCount> &s, int size, std::int64_t rank) const
{
    const std::vector<double> &table = m_sums[static_cast<std::size_t>(size)];
    if (!table.empty())
        return table[static_cast<std::size_t>(rank)];
    // The combinations holding s add to it one number y outside s (size 5) or two, y < z
    // (size 4): s's own weight times h[y] (y's factor with its pairs with s) and the pair's.
    const WeightFactors &e = m_factors;
    std::array<double, HighestNumber> h{};
    std::array<int, HighestNumber> outside{};
    int k = 0;
    for (int y = 0, p = 0; y < HighestNumber; ++y) {
        if (p < size && s[static_cast<std::size_t>(p)] == y) {
            ++p;
            continue;
        }
        double f = e.number[static_cast<std::size_t>(y)];
        for (int i = 0; i < size; ++i)
            f *= e.pair(s[static_cast<std::size_t>(i)], y);
        h[static_cast<std::size_t>(k)] = f;
        outside[static_cast<std::size_t>(k++)] = y;
    }
    double sum = 0;
    for (int i = 0; i < k; ++i) {
        double with = 1;
        if (size < MainNumberCount - 1) {
            with = 0;
            const double *p = &e.below[static_cast<std::size_t>(
                outside[static_cast<std::size_t>(i)] * HighestNumber)];
            for (int j = 0; j < i; ++j)
                with += h[static_cast<std::size_t>(j)] * p[outside[static_cast<std::size_t>(j)]];
        }
        sum += h[static_cast<std::size_t>(i)] * with;
    }
    return e.weight(s.data(), size, m_logScale) * sum;
}

double Neighbourhood::share(const std::array<int, MainNumberCount> &x) const
{
    const PopularityModel &m = *m_model;
    return std::exp(m.rawLogWeight(x.data()) - m.logNormaliser())
        / static_cast<double>(CombinationCount);
}

double Neighbourhood::sharingFive(const std::array<int, MainNumberCount> &x) const
{
    const WeightFactors &e = m_factors;
    // Each number's factor within x (its own and its pairs with the other five), and for each
    // x[i] the sum over y outside x of y's factor with the five others.
    std::array<double, MainNumberCount> inside{}, across{};
    for (std::size_t i = 0; i < MainNumberCount; ++i) {
        inside[i] = e.number[static_cast<std::size_t>(x[i])];
        for (std::size_t j = 0; j < MainNumberCount; ++j)
            if (j != i)
                inside[i] *= e.pair(x[i], x[j]);
    }
    // before[i][y]: y's factor with x[0..i); after[i][y]: with x[i..5]; side by side over every
    // y (the table is symmetric), those in x left out of the sums.
    std::array<std::array<double, HighestNumber>, MainNumberCount + 1> before, after;
    before[0] = e.number;
    after[MainNumberCount].fill(1.0);
    for (std::size_t i = 0; i < MainNumberCount; ++i) {
        const double *column = &e.below[static_cast<std::size_t>(x[i] * HighestNumber)];
        for (std::size_t y = 0; y < HighestNumber; ++y)
            before[i + 1][y] = before[i][y] * column[y];
    }
    for (std::size_t i = MainNumberCount; i-- > 1;) {
        const double *column = &e.below[static_cast<std::size_t>(x[i] * HighestNumber)];
        for (std::size_t y = 0; y < HighestNumber; ++y)
            after[i][y] = after[i + 1][y] * column[y];
    }
    for (int y = 0, p = 0; y < HighestNumber; ++y) {
        if (p < MainNumberCount && x[static_cast<std::size_t>(p)] == y) {
            ++p;
            continue;
        }
        const auto at = static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < MainNumberCount; ++i)
            across[i] += before[i][at] * after[i + 1][at];
    }
    double total = 0;
    for (std::size_t i = 0; i < MainNumberCount; ++i)
        total += across[i] / inside[i];
    return e.weight(x.data(), MainNumberCount, m_logScale) * total;
}

std::array<double, MainNumberCount + 1> Neighbourhood::matchShares(const Combination &c) const
{
    const auto x = zeroBased(c);
    std::array<double, MainNumberCount + 1> m{};
    m[MainNumberCount] = share(x);
    m[MainNumberCount - 1] = sharingFive(x);
    // n[j]: sum over the j-subsets of c of the weight holding them = sum_i C(i, j) m[i].
    std::array<double, MainNumberCount + 1> n{};
    n[0] = m_sums[0][0];
    std::array<std::int64_t, 64> rank{};
    for (unsigned mask = 1; mask < 63; ++mask) {
        const int top = SubsetMasks.top[mask];
        const int size = SubsetMasks.size[mask];
        rank[mask] = rank[mask & ~(1u << top)] + binomial(x[static_cast<std::size_t>(top)], size);
        if (size >= MainNumberCount - 1)
            continue;
        const std::vector<double> &table = m_sums[static_cast<std::size_t>(size)];
        if (!table.empty()) {
            n[static_cast<std::size_t>(size)] += table[static_cast<std::size_t>(rank[mask])];
            continue;
        }
        std::array<int, MainNumberCount> subset{};
        for (unsigned bits = mask, k = 0; bits; bits &= bits - 1)
            subset[k++] = x[static_cast<std::size_t>(std::countr_zero(bits))];
        n[static_cast<std::size_t>(size)] += subsetSum(subset, size, rank[mask]);
    }
    for (int i = MainNumberCount - 2; i >= 0; --i) {
        double v = n[static_cast<std::size_t>(i)];
        for (int k = i + 1; k <= MainNumberCount; ++k)
            v -= static_cast<double>(binomial(k, i)) * m[static_cast<std::size_t>(k)];
        m[static_cast<std::size_t>(i)] = std::max(0.0, v);
    }
    return m;
}

std::array<double, Tiers> Neighbourhood::winnerShares(const Combination &draw, int bonus) const
{
    const std::array<double, MainNumberCount + 1> m = matchShares(draw);
    // 2等: five of the draw and the bonus; six such combinations.
    double second = 0;
    for (std::size_t leave = 0; leave < draw.size(); ++leave) {
        Combination c = draw;
        c[leave] = bonus;
        second += share(zeroBased(c));
    }
    return {m[6], second, std::max(0.0, m[5] - second), m[4], m[3]};
}

std::array<double, Tiers> Neighbourhood::sharerShares(const Combination &c) const
{
    const std::array<double, MainNumberCount + 1> m = matchShares(c);
    const auto &joint = jointWinChance();
    std::array<double, Tiers> out{};
    for (std::size_t t = 0; t < Tiers; ++t)
        for (std::size_t j = 0; j <= MainNumberCount; ++j)
            out[t] += joint[j][t] * m[j];
    return out;
}

} // namespace loto6::popularity

namespace loto6::popularity {

std::optional<double> Neighbourhood::listPopularity(std::vector<int> numbers) const
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    if (numbers.empty() || numbers.front() < 1 || numbers.back() > HighestNumber)
        return std::nullopt;
    const int k = static_cast<int>(numbers.size());
    std::vector<int> x(numbers.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = numbers[i] - 1;
    if (k < MainNumberCount) {
        // Holding all k: their table entry over the C(43 - k, 6 - k) combinations holding them.
        std::array<int, MainNumberCount> subset{};
        std::copy(x.begin(), x.end(), subset.begin());
        const double held = subsetSum(subset, k, colexRank(x.data(), k));
        return held * static_cast<double>(CombinationCount)
            / static_cast<double>(binomial(HighestNumber - k, MainNumberCount - k));
    }
    // Six or more: the mean log weight of its six-number subsets (six times the mean number
    // term and fifteen times the mean pair term), normalised like a single combination.
    const PopularityModel &m = *m_model;
    double numbersTerm = 0, pairsTerm = 0;
    for (int i = 0; i < k; ++i) {
        numbersTerm += m.numberWeights()[static_cast<std::size_t>(x[static_cast<std::size_t>(i)])];
        for (int j = i + 1; j < k; ++j) {
            const std::array<int, 2> pair
                = {x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(j)]};
            pairsTerm += m.pairWeight(pair[0], pair[1]);
        }
    }
    const double meanLog
        = MainNumberCount * numbersTerm / k + 15.0 * pairsTerm / (k * (k - 1) / 2.0);
    return std::exp(meanLog - m.logNormaliser());
}

} // namespace loto6::popularity
