#pragma once

#include "store/drawrecord.h"

#include <span>
#include <vector>

namespace loto6 {

// The law of the total number of matches when, on each of many draws, k numbers are picked at
// random out of 1..43 and compared with the six main numbers: a sum of independent
// hypergeometric variables, one per draw, each with that draw's own k.
class MatchSumLaw
{
public:
    // picksCount[k] = how many draws had a list of k numbers (k = 0..43).
    explicit MatchSumLaw(std::span<const int> picksCount);

    double mean() const { return m_mean; }
    double variance() const { return m_variance; }

    double pmf(long long total) const;
    // P(S <= total) and P(S >= total), each summed from its own tail.
    double cdf(long long total) const;
    double sf(long long total) const;
    // Twice the smaller tail at the observed total, at most 1.
    double twoSidedP(long long observed) const;
    // Smallest total whose cdf reaches q.
    long long quantile(double q) const;

private:
    double m_mean = 0;
    double m_variance = 0;
    long long m_maxTotal = 0;
    long long m_base = 0;       // total of m_pmf[0]
    std::vector<double> m_pmf;  // totals m_base, m_base + 1, ...
    std::vector<double> m_low;  // P(S <= m_base + i)
    std::vector<double> m_high; // P(S >= m_base + i)
};

} // namespace loto6
