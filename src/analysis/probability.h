#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace loto6 {

// Exact binomial coefficient C(n, k); 0 when k < 0 or k > n. Exact for n up to 62.
std::uint64_t binomialCoefficient(int n, int k);
// log C(n, k) for any size; -infinity when the coefficient is 0.
double logBinomialCoefficient(int n, int k);

// Hypergeometric law: drawing `draws` items without replacement from `population` items of
// which `successes` are marked, the chance of exactly / at most / at least k marked ones.
double hypergeometricPmf(int population, int successes, int draws, int k);
double hypergeometricCdf(int population, int successes, int draws, int k);
double hypergeometricSf(int population, int successes, int draws, int k);
// pmf for k = 0..draws, which sums to 1.
std::vector<double> hypergeometricDistribution(int population, int successes, int draws);

// Binomial law of n independent trials with chance p each: P(X >= k) and P(X <= k), each
// summed exactly from its own tail (terms below 1e-18 of the sum are left off), so a tiny tail
// keeps its precision. n may be large: only the terms that count are visited.
double binomialSf(long long n, double p, long long k);
double binomialCdf(long long n, double p, long long k);
// log P(X = j) for X ~ B(n, p), 0 < p < 1.
double binomialLogPmf(long long n, double p, long long j);
// The exact two-sided p-value of k successes: twice the smaller tail, at most 1; NaN when k is
// outside 0..n.
double binomialTwoSidedP(long long n, long long k, double p);

// Regularized incomplete gamma functions P(a, x) and Q(a, x) = 1 - P(a, x), a > 0, x >= 0.
double regularizedGammaP(double a, double x);
double regularizedGammaQ(double a, double x);

// Upper tail of the chi-square law with df degrees of freedom: P(X >= x).
double chiSquareSf(double x, double df);
// Upper tail of the standard normal law, and the two-sided p-value of a z score.
double normalSf(double z);
double normalTwoSidedP(double z);

// Holm's step-down adjustment of p-values; the result is in the input's order, each value
// at least as large as its raw p-value and at most 1. NaN entries are left out of the family
// and stay NaN.
std::vector<double> holmAdjust(std::span<const double> pValues);

// The level at which Holm's step-down judges each p-value at `alpha`: alpha / (m - k + 1) for
// the k-th smallest of the m available ones, up to the first that is not rejected, whose level
// holds for every larger one. A p-value below its level is exactly a Holm-adjusted p-value
// below alpha. NaN entries stay NaN.
std::vector<double> holmLevels(std::span<const double> pValues, double alpha);

// One family of tests settled at once: each result's Holm-adjusted p-value over every
// available result of the family, and "notable" for the available ones adjusted below alpha.
// Result has pValue, adjustedP, notable and available(). Returns the size of the family.
template<typename Results>
int settleHolmFamily(Results &results, double alpha)
{
    std::vector<double> p;
    p.reserve(results.size());
    for (const auto &r : results)
        p.push_back(r.pValue);
    const std::vector<double> adjusted = holmAdjust(p);
    int family = 0;
    std::size_t i = 0;
    for (auto &r : results) {
        r.adjustedP = adjusted[i++];
        r.notable = r.available() && r.adjustedP < alpha;
        family += r.available() ? 1 : 0;
    }
    return family;
}

// Pearson's statistic sum (o - e)^2 / e over the cells with e > 0.
double pearsonStatistic(std::span<const double> observed, std::span<const double> expected);

// Ordered cells merged with their neighbours until every merged cell expects at least
// minExpected; first..last give the original cells each merged cell covers.
struct PooledCells
{
    std::vector<double> observed;
    std::vector<double> expected;
    std::vector<int> first;
    std::vector<int> last;
};
PooledCells poolOrderedCells(
    std::span<const double> observed, std::span<const double> expected, double minExpected = 5.0);

} // namespace loto6
