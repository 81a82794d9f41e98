#include "analysis/chancelaw.h"

#include "analysis/probability.h"
#include "store/drawrecord.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace loto6 {

ChanceLaw::ChanceLaw(int numbers, int picks)
    : m_numbers(numbers)
    , m_picks(picks)
    , m_combinations(binomialCoefficient(numbers, picks))
    , m_overlap(hypergeometricDistribution(numbers, picks, picks))
    , m_odd(hypergeometricDistribution(numbers, (numbers + 1) / 2, picks))
    , m_low(hypergeometricDistribution(numbers, numbers / 2, picks))
    , m_sumWays(subsetSumWays(numbers, picks))
{
    const auto total = static_cast<double>(m_combinations);
    m_consecutive = 1.0 - static_cast<double>(subsetsAvoidingGap(numbers, picks, 1)) / total;
    m_steppingStone = 1.0 - static_cast<double>(subsetsAvoidingGap(numbers, picks, 2)) / total;

    long double mean = 0;
    for (std::size_t s = 0; s < m_sumWays.size(); ++s)
        mean += static_cast<long double>(s) * static_cast<long double>(m_sumWays[s]);
    mean /= static_cast<long double>(m_combinations);
    long double var = 0, mu4 = 0;
    for (std::size_t s = 0; s < m_sumWays.size(); ++s) {
        const long double d = static_cast<long double>(s) - mean;
        var += d * d * static_cast<long double>(m_sumWays[s]);
        mu4 += d * d * d * d * static_cast<long double>(m_sumWays[s]);
    }
    m_sumMean = static_cast<double>(mean);
    m_sumVariance = static_cast<double>(var / static_cast<long double>(m_combinations));
    m_sumMu4 = static_cast<double>(mu4 / static_cast<long double>(m_combinations));
}

const ChanceLaw &ChanceLaw::loto6()
{
    static const ChanceLaw law(HighestNumber, MainNumberCount);
    return law;
}

std::uint64_t ChanceLaw::subsetsAvoidingGap(int n, int k, int gap)
{
    if (k < 0 || k > n)
        return 0;
    if (k == 0)
        return 1;
    // ways[v] = subsets of the current size whose largest element is v.
    std::vector<std::uint64_t> ways(static_cast<std::size_t>(n) + 1, 0);
    for (int v = 1; v <= n; ++v)
        ways[static_cast<std::size_t>(v)] = 1;
    for (int size = 2; size <= k; ++size) {
        std::vector<std::uint64_t> next(ways.size(), 0);
        std::uint64_t below = 0; // sum of ways[u] for u < v
        for (int v = 1; v <= n; ++v) {
            std::uint64_t w = below;
            if (v - gap >= 1)
                w -= ways[static_cast<std::size_t>(v - gap)];
            next[static_cast<std::size_t>(v)] = w;
            below += ways[static_cast<std::size_t>(v)];
        }
        ways.swap(next);
    }
    std::uint64_t total = 0;
    for (std::uint64_t w : ways)
        total += w;
    return total;
}

std::vector<std::uint64_t> ChanceLaw::subsetSumWays(int n, int k)
{
    if (k < 0 || k > n)
        return {};
    const int maxSum = k * (2 * n - k + 1) / 2;
    const auto width = static_cast<std::size_t>(maxSum) + 1;
    // ways[j * width + s]: subsets of size j of the numbers seen so far with sum s.
    std::vector<std::uint64_t> ways((static_cast<std::size_t>(k) + 1) * width, 0);
    ways[0] = 1;
    for (int x = 1; x <= n; ++x)
        for (int j = k; j >= 1; --j)
            for (int s = maxSum; s >= x; --s)
                ways[static_cast<std::size_t>(j) * width + static_cast<std::size_t>(s)]
                    += ways[static_cast<std::size_t>(j - 1) * width
                        + static_cast<std::size_t>(s - x)];
    return {ways.begin() + static_cast<long>(static_cast<std::size_t>(k) * width), ways.end()};
}

std::vector<double> ChanceLaw::expectedGapCounts(int draws, double p)
{
    std::vector<double> out(static_cast<std::size_t>(std::max(draws, 1)), 0.0);
    double q = 1.0; // (1 - p)^(g - 1)
    // Past the smallest normal double the terms are nothing next to the first ones, and the
    // power would get stuck on the smallest subnormal, whose every product is slow: they stay 0.
    for (int g = 1; g < draws && q >= std::numeric_limits<double>::min(); ++g) {
        out[static_cast<std::size_t>(g)] = (draws - g) * p * p * q;
        q *= 1.0 - p;
    }
    return out;
}

} // namespace loto6
