#include "analysis/probability.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace loto6 {

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

bool validHypergeometric(int population, int successes, int draws)
{
    return population >= 0 && successes >= 0 && successes <= population && draws >= 0
        && draws <= population;
}

} // namespace

std::uint64_t binomialCoefficient(int n, int k)
{
    if (n < 0 || k < 0 || k > n)
        return 0;
    k = std::min(k, n - k);
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) {
        // Dividing out the common factor first keeps every step exact while the result fits.
        const auto num = static_cast<std::uint64_t>(n - k + i);
        const auto den = static_cast<std::uint64_t>(i);
        const std::uint64_t g = std::gcd(r, den);
        r = (r / g) * (num / (den / g));
    }
    return r;
}

double logBinomialCoefficient(int n, int k)
{
    if (n < 0 || k < 0 || k > n)
        return -std::numeric_limits<double>::infinity();
    return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
}

double hypergeometricPmf(int population, int successes, int draws, int k)
{
    if (!validHypergeometric(population, successes, draws))
        return Nan;
    if (k < std::max(0, draws - (population - successes)) || k > std::min(draws, successes))
        return 0.0;
    if (population <= 62) {
        // Each product is a term of Vandermonde's sum C(population, draws), so it fits.
        const std::uint64_t ways = binomialCoefficient(successes, k)
            * binomialCoefficient(population - successes, draws - k);
        return static_cast<double>(ways)
            / static_cast<double>(binomialCoefficient(population, draws));
    }
    return std::exp(logBinomialCoefficient(successes, k)
        + logBinomialCoefficient(population - successes, draws - k)
        - logBinomialCoefficient(population, draws));
}

double hypergeometricCdf(int population, int successes, int draws, int k)
{
    if (!validHypergeometric(population, successes, draws))
        return Nan;
    double sum = 0.0;
    for (int i = 0; i <= std::min(k, draws); ++i)
        sum += hypergeometricPmf(population, successes, draws, i);
    return std::min(sum, 1.0);
}

double hypergeometricSf(int population, int successes, int draws, int k)
{
    if (!validHypergeometric(population, successes, draws))
        return Nan;
    double sum = 0.0;
    for (int i = std::max(k, 0); i <= draws; ++i)
        sum += hypergeometricPmf(population, successes, draws, i);
    return std::min(sum, 1.0);
}

std::vector<double> hypergeometricDistribution(int population, int successes, int draws)
{
    std::vector<double> pmf;
    if (!validHypergeometric(population, successes, draws))
        return pmf;
    pmf.reserve(static_cast<std::size_t>(draws) + 1);
    for (int k = 0; k <= draws; ++k)
        pmf.push_back(hypergeometricPmf(population, successes, draws, k));
    return pmf;
}

namespace {

constexpr int GammaIterations = 1000;
constexpr double GammaEpsilon = 1e-15;

// P(a, x) by its power series; converges quickly for x < a + 1.
double gammaPSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < GammaIterations; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * GammaEpsilon)
            break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Q(a, x) by its continued fraction (modified Lentz); converges quickly for x >= a + 1.
double gammaQFraction(double a, double x)
{
    constexpr double tiny = 1e-300;
    double b = x + 1.0 - a;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < GammaIterations; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < GammaEpsilon)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

} // namespace

double regularizedGammaP(double a, double x)
{
    if (!(a > 0.0) || !(x >= 0.0))
        return Nan;
    if (x == 0.0)
        return 0.0;
    if (std::isinf(x))
        return 1.0;
    return x < a + 1.0 ? gammaPSeries(a, x) : 1.0 - gammaQFraction(a, x);
}

double regularizedGammaQ(double a, double x)
{
    if (!(a > 0.0) || !(x >= 0.0))
        return Nan;
    if (x == 0.0)
        return 1.0;
    if (std::isinf(x))
        return 0.0;
    return x < a + 1.0 ? 1.0 - gammaPSeries(a, x) : gammaQFraction(a, x);
}

double chiSquareSf(double x, double df)
{
    if (!(df > 0.0) || std::isnan(x))
        return Nan;
    if (x <= 0.0)
        return 1.0;
    return regularizedGammaQ(df / 2.0, x / 2.0);
}

double normalSf(double z) { return 0.5 * std::erfc(z / std::sqrt(2.0)); }

double normalTwoSidedP(double z)
{
    if (std::isnan(z))
        return Nan;
    return std::erfc(std::fabs(z) / std::sqrt(2.0));
}

namespace {

// The indices of the available p-values, smallest first (ties in the input's order).
std::vector<std::size_t> holmOrder(std::span<const double> pValues)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < pValues.size(); ++i)
        if (!std::isnan(pValues[i]))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return pValues[a] < pValues[b]; });
    return order;
}

} // namespace

std::vector<double> holmAdjust(std::span<const double> pValues)
{
    std::vector<double> adjusted(pValues.size(), Nan);
    const std::vector<std::size_t> order = holmOrder(pValues);
    const std::size_t m = order.size();
    double running = 0.0;
    for (std::size_t j = 0; j < m; ++j) {
        const double scaled = static_cast<double>(m - j) * pValues[order[j]];
        running = std::max(running, std::min(1.0, scaled));
        adjusted[order[j]] = running;
    }
    return adjusted;
}

std::vector<double> holmLevels(std::span<const double> pValues, double alpha)
{
    std::vector<double> levels(pValues.size(), Nan);
    const std::vector<std::size_t> order = holmOrder(pValues);
    const std::size_t m = order.size();
    double level = alpha;
    bool stopped = false;
    for (std::size_t j = 0; j < m; ++j) {
        if (!stopped) {
            level = alpha / static_cast<double>(m - j);
            stopped = !(static_cast<double>(m - j) * pValues[order[j]] < alpha);
        }
        levels[order[j]] = level;
    }
    return levels;
}

double pearsonStatistic(std::span<const double> observed, std::span<const double> expected)
{
    double x = 0.0;
    const std::size_t n = std::min(observed.size(), expected.size());
    for (std::size_t i = 0; i < n; ++i)
        if (expected[i] > 0.0)
            x += (observed[i] - expected[i]) * (observed[i] - expected[i]) / expected[i];
    return x;
}

PooledCells poolOrderedCells(
    std::span<const double> observed, std::span<const double> expected, double minExpected)
{
    PooledCells out;
    const int n = static_cast<int>(std::min(observed.size(), expected.size()));
    double o = 0.0, e = 0.0;
    int start = 0;
    for (int i = 0; i < n; ++i) {
        o += observed[static_cast<std::size_t>(i)];
        e += expected[static_cast<std::size_t>(i)];
        if (e >= minExpected) {
            out.observed.push_back(o);
            out.expected.push_back(e);
            out.first.push_back(start);
            out.last.push_back(i);
            o = e = 0.0;
            start = i + 1;
        }
    }
    if (start < n) {
        // A thin tail joins the last full cell; with none, everything is one cell.
        if (out.observed.empty()) {
            out.observed.push_back(o);
            out.expected.push_back(e);
            out.first.push_back(start);
            out.last.push_back(n - 1);
        } else {
            out.observed.back() += o;
            out.expected.back() += e;
            out.last.back() = n - 1;
        }
    }
    return out;
}

double binomialLogPmf(long long n, double p, long long j)
{
    const double dn = static_cast<double>(n);
    const double dj = static_cast<double>(j);
    return std::lgamma(dn + 1) - std::lgamma(dj + 1) - std::lgamma(dn - dj + 1) + dj * std::log(p)
        + (dn - dj) * std::log1p(-p);
}

namespace {

// Sum of the pmf from j = from, stepping by step (+1 or -1), while the terms still count;
// the terms only fall in that direction when from lies on the far side of the mode.
double binomialTail(long long n, double p, long long from, int step)
{
    double sum = 0;
    for (long long j = from; j >= 0 && j <= n; j += step) {
        const double term = std::exp(binomialLogPmf(n, p, j));
        sum += term;
        if (term <= sum * 1e-18)
            break;
    }
    return std::min(sum, 1.0);
}

} // namespace

double binomialSf(long long n, double p, long long k)
{
    if (n < 0 || !(p >= 0 && p <= 1))
        return Nan;
    if (k <= 0)
        return 1.0;
    if (k > n || p == 0)
        return 0.0;
    if (p == 1)
        return 1.0;
    const long long mode = static_cast<long long>(std::floor(static_cast<double>(n + 1) * p));
    if (k > mode)
        return binomialTail(n, p, k, +1);
    return std::max(0.0, 1.0 - binomialTail(n, p, k - 1, -1));
}

double binomialTwoSidedP(long long n, long long k, double p)
{
    if (n < 0 || k < 0 || k > n || !(p >= 0 && p <= 1))
        return Nan;
    return std::min(1.0, 2.0 * std::min(binomialCdf(n, p, k), binomialSf(n, p, k)));
}

double binomialCdf(long long n, double p, long long k)
{
    if (n < 0 || !(p >= 0 && p <= 1))
        return Nan;
    if (k < 0)
        return 0.0;
    if (k >= n || p == 0)
        return 1.0;
    if (p == 1)
        return 0.0;
    const long long mode = static_cast<long long>(std::floor(static_cast<double>(n + 1) * p));
    if (k < mode)
        return binomialTail(n, p, k, -1);
    return std::max(0.0, 1.0 - binomialTail(n, p, k + 1, +1));
}

} // namespace loto6
