#include "popularity/countlaw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace loto6::popularity {

namespace {

constexpr double MinusInfinity = -std::numeric_limits<double>::infinity();

// One negative binomial part: the mean and the gamma shape (0: Poisson), with its weight.
struct Part
{
    double weight = 1;
    double mean = 0;
    double shape = 0;
};

std::array<Part, 2> partsOf(const CountLaw &law, double lambda)
{
    const double base = std::max(lambda, 0.0) * law.scale;
    return {Part{1 - law.crowdWeight, base, law.shape},
        Part{law.crowdWeight, base * law.crowdFactor, law.crowdShape}};
}

// log Γ(k + r) − log Γ(r), by the product for small k (most first prizes are a few).
double logRising(long long k, double r)
{
    if (k >= CountLikelihood::SmallCounts)
        return std::lgamma(static_cast<double>(k) + r) - std::lgamma(r);
    double s = 0;
    for (long long j = 0; j < k; ++j)
        s += std::log(r + static_cast<double>(j));
    return s;
}

// log P(K = k) of one part; `rising(k, r)` gives log Γ(k + r) − log Γ(r) and `factorial()`
// log k!, as logRising and lgamma do or from a table of them (LogLikelihood).
template<typename Rising, typename Factorial>
double partLogPmf(const Part &p, long long k, const Rising &rising, const Factorial &factorial)
{
    if (k < 0)
        return MinusInfinity;
    if (p.mean <= 0)
        return k == 0 ? 0.0 : MinusInfinity;
    const double r = p.shape;
    // None: the terms of k vanish (what the general form gives, to the bit).
    if (k == 0)
        return r <= 0 ? -p.mean : 0.0 - r * std::log1p(p.mean / r);
    const auto kd = static_cast<double>(k);
    if (p.shape <= 0)
        return kd * std::log(p.mean) - p.mean - factorial();
    return rising(k, r) - factorial() - r * std::log1p(p.mean / r)
        + kd * (std::log(p.mean) - std::log(r + p.mean));
}

double partLogPmf(const Part &p, long long k)
{
    return partLogPmf(p, k, logRising, [k] { return std::lgamma(static_cast<double>(k) + 1); });
}

// log P(K = k) of the law from its parts' (`partLog(i)`) and their weights' logs.
template<typename PartLog, typename LogWeight>
double mixedLogPmf(const CountLaw &law, const PartLog &partLog, const LogWeight &logWeight)
{
    if (law.crowdWeight <= 0)
        return partLog(0);
    const double a = logWeight(0) + partLog(0);
    const double b = logWeight(1) + partLog(1);
    const double top = std::max(a, b);
    if (top == MinusInfinity)
        return MinusInfinity;
    return top + std::log(std::exp(a - top) + std::exp(b - top));
}

// E[1 / (1 + K)] of one part: (1 − e^−μ) / μ for Poisson, and for the negative binomial with
// q = μ / (μ + r) the integral of its generating function over [0, 1].
double partMeanShare(const Part &p)
{
    if (p.mean < 1e-12)
        return 1.0;
    if (p.shape <= 0)
        return -std::expm1(-p.mean) / p.mean;
    const double q = p.mean / (p.mean + p.shape);
    const double l = std::log1p(-q);
    const double x = (p.shape - 1) * l;
    if (std::abs(x) < 1e-10)
        return -(1 - q) * l / q;
    return -(1 - q) * std::expm1(x) / (q * (p.shape - 1));
}

double lowerSum(const CountLaw &law, long long k, double lambda)
{
    double s = 0;
    for (long long j = 0; j <= k; ++j)
        s += law.pmf(j, lambda);
    return std::min(s, 1.0);
}

// Σ P(K = j) over j >= k: past the larger mean the terms only fall.
double upperSum(const CountLaw &law, long long k, double lambda)
{
    const auto parts = partsOf(law, lambda);
    const double peak = std::max(parts[0].mean, parts[1].mean);
    double s = 0;
    for (long long j = std::max(k, 0LL); j < k + 10'000'000; ++j) {
        const double term = law.pmf(j, lambda);
        s += term;
        if (static_cast<double>(j) > peak && (term < 1e-17 * s || term < 1e-300))
            break;
    }
    return std::min(s, 1.0);
}

// The standard deviation of one part: Poisson about a gamma-spread mean.
double partDeviation(const Part &p)
{
    return std::sqrt(p.mean + (p.shape > 0 ? p.mean * p.mean / p.shape : 0.0));
}

// One part's P(K = k) walked up k by k: the ratio of successive terms, and a term worked out
// afresh wherever the walk would start from nothing.
struct PartWalk
{
    Part part;
    double term = 0;

    void at(long long k) { term = part.weight > 0 ? std::exp(partLogPmf(part, k)) : 0.0; }
    void next(long long k) // from P(K = k) to P(K = k + 1)
    {
        if (part.weight <= 0)
            return;
        if (term < 1e-280) {
            at(k + 1);
            return;
        }
        const auto kd = static_cast<double>(k);
        term *= part.shape > 0 ? (kd + part.shape) / (kd + 1) * part.mean / (part.mean + part.shape)
                               : part.mean / (kd + 1);
    }
};

} // namespace

std::pair<long long, long long> CountLaw::interval(double lambda, double probability) const
{
    const auto parts = partsOf(*this, lambda);
    const double outside = (1 - probability) / 2;
    // Below twelve standard deviations under every part's mean lies no mass that counts.
    double start = std::numeric_limits<double>::infinity();
    for (const Part &p : parts)
        if (p.weight > 0)
            start = std::min(start, p.mean - 12 * partDeviation(p));
    long long k = std::max(0LL, static_cast<long long>(std::floor(start)));
    std::array<PartWalk, 2> walks = {PartWalk{parts[0]}, PartWalk{parts[1]}};
    for (PartWalk &w : walks)
        w.at(k);
    long long low = k;
    for (double below = 0; k < 1'000'000'000; ++k) {
        if (below <= outside)
            low = k;
        below += walks[0].part.weight * walks[0].term + walks[1].part.weight * walks[1].term;
        if (below >= 1 - outside)
            break;
        for (PartWalk &w : walks)
            w.next(k);
    }
    return {low, k};
}

double CountLaw::mean(double lambda) const
{
    const auto parts = partsOf(*this, lambda);
    return parts[0].weight * parts[0].mean + parts[1].weight * parts[1].mean;
}

double CountLaw::logPmf(long long k, double lambda) const
{
    const auto parts = partsOf(*this, lambda);
    return mixedLogPmf(
        *this, [&](std::size_t i) { return partLogPmf(parts[i], k); },
        [&](std::size_t i) { return std::log(parts[i].weight); });
}

double CountLaw::pmf(long long k, double lambda) const { return std::exp(logPmf(k, lambda)); }

double CountLaw::cdf(long long k, double lambda) const
{
    if (k < 0)
        return 0.0;
    return static_cast<double>(k) < mean(lambda) ? lowerSum(*this, k, lambda)
                                                 : 1.0 - upperSum(*this, k + 1, lambda);
}

double CountLaw::tail(long long k, double lambda) const
{
    if (k <= 0)
        return 1.0;
    return static_cast<double>(k) > mean(lambda) ? upperSum(*this, k, lambda)
                                                 : 1.0 - lowerSum(*this, k - 1, lambda);
}

double CountLaw::randomizedPit(long long k, double lambda, double v) const
{
    return std::clamp(cdf(k - 1, lambda) + v * pmf(k, lambda), 0.0, 1.0);
}

double CountLaw::meanShare(double lambda) const
{
    const auto parts = partsOf(*this, lambda);
    double s = parts[0].weight * partMeanShare(parts[0]);
    if (crowdWeight > 0)
        s += parts[1].weight * partMeanShare(parts[1]);
    return s;
}

double CountLaw::cappedShare(double total, double cap, double lambda) const
{
    if (cap <= 0 || total <= 0)
        return 0.0;
    return cappedShare(total, cap, lambda, meanShare(lambda));
}

double CountLaw::cappedShare(double total, double cap, double lambda, double meanShareAt) const
{
    if (cap <= 0 || total <= 0)
        return 0.0;
    // Below k0 others the cap holds; from k0 on, total / (1 + K).
    const double k0 = std::ceil(total / cap - 1);
    double capped = 0, shared = 0;
    for (long long k = 0; static_cast<double>(k) < k0; ++k) {
        const double p = pmf(k, lambda);
        capped += p;
        shared += p / static_cast<double>(k + 1);
    }
    return cap * capped + total * std::max(0.0, meanShareAt - shared);
}

CountLikelihood::CountLikelihood(const std::vector<CountSample> &samples)
    : m_samples(&samples)
{
    for (const CountSample &c : samples) {
        m_logFactorial.push_back(std::lgamma(static_cast<double>(c.k) + 1));
        m_smallTop = std::max(m_smallTop, std::min(c.k, SmallCounts - 1));
    }
}

double CountLikelihood::minusLog(const CountLaw &law) const
{
    // Per part: log Γ(r) and the sums of logs of logRising for the small counts, once.
    struct Shape
    {
        double r = 0, logGammaR = 0;
        std::array<double, SmallCounts> rising{};
    };
    std::array<Shape, 2> shapes;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        Shape &s = shapes[i];
        s.r = i == 0 ? law.shape : law.crowdShape;
        s.logGammaR = std::lgamma(s.r);
        for (long long k = 1; k <= m_smallTop; ++k)
            s.rising[static_cast<std::size_t>(k)] = s.rising[static_cast<std::size_t>(k - 1)]
                + std::log(s.r + static_cast<double>(k - 1));
    }
    const std::array<double, 2> logWeight
        = {std::log(1 - law.crowdWeight), std::log(law.crowdWeight)};
    double sum = 0;
    for (std::size_t n = 0; n < m_samples->size(); ++n) {
        const CountSample &c = (*m_samples)[n];
        const auto parts = partsOf(law, c.lambda);
        const auto partLog = [&](std::size_t i) {
            const Shape &s = shapes[i];
            const auto rising = [&s](long long k, double) {
                return k >= SmallCounts ? std::lgamma(static_cast<double>(k) + s.r) - s.logGammaR
                                        : s.rising[static_cast<std::size_t>(k)];
            };
            return partLogPmf(parts[i], c.k, rising, [&] { return m_logFactorial[n]; });
        };
        sum -= c.weight * mixedLogPmf(law, partLog, [&](std::size_t i) { return logWeight[i]; });
    }
    return sum;
}

double CountLaw::crowdChance(long long k, double lambda) const
{
    if (crowdWeight <= 0)
        return 0.0;
    const auto parts = partsOf(*this, lambda);
    return std::exp(std::log(crowdWeight) + partLogPmf(parts[1], k) - logPmf(k, lambda));
}

} // namespace loto6::popularity
