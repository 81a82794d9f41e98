#include "prediction/matchsumlaw.h"

#include "analysis/probability.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace loto6 {

namespace {

using Complex = std::complex<double>;

// In-place radix-2 transform of a power-of-two length, sign -1 forward and +1 backward (the
// backward one without the 1/n factor). Roots come from one table computed directly, so their
// error does not grow with the length.
void transform(std::vector<Complex> &a, const std::vector<Complex> &roots, int sign)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t step = n / len;
        for (std::size_t start = 0; start < n; start += len)
            for (std::size_t k = 0; k < len / 2; ++k) {
                Complex w = roots[k * step];
                if (sign > 0)
                    w = std::conj(w);
                const Complex u = a[start + k];
                const Complex v = a[start + k + len / 2] * w;
                a[start + k] = u + v;
                a[start + k + len / 2] = u - v;
            }
    }
}

// Plain products: the library's complex multiply also mends infinities and NaNs, which cannot
// arise here, at several times the cost.
Complex multiply(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

Complex power(Complex z, int n)
{
    Complex result = 1;
    for (; n > 0; n >>= 1) {
        if (n & 1)
            result = multiply(result, z);
        z = multiply(z, z);
    }
    return result;
}

std::size_t powerOfTwoAtLeast(double width)
{
    std::size_t n = 1;
    while (static_cast<double>(n) < width)
        n <<= 1;
    return n;
}

} // namespace

// The characteristic function of the sum is the product of the per-draw ones, each raised to
// the number of draws sharing that k; a discrete Fourier transform of a window of totals around
// the mean turns it back into the law. The window is wide enough that totals folded into it
// from outside carry no measurable mass, and covers every total outright when there are few.
MatchSumLaw::MatchSumLaw(std::span<const int> picksCount)
{
    struct Term
    {
        int draws;
        std::vector<double> pmf;
    };
    std::vector<Term> terms;
    for (std::size_t k = 0; k < picksCount.size() && k <= HighestNumber; ++k) {
        const int n = picksCount[k];
        if (n <= 0)
            continue;
        Term t{n, hypergeometricDistribution(HighestNumber, MainNumberCount, static_cast<int>(k))};
        t.pmf.resize(std::min<std::size_t>(t.pmf.size(), MainNumberCount + 1));
        double mu = 0, second = 0;
        for (std::size_t m = 0; m < t.pmf.size(); ++m) {
            mu += static_cast<double>(m) * t.pmf[m];
            second += static_cast<double>(m * m) * t.pmf[m];
        }
        m_mean += n * mu;
        m_variance += n * std::max(0.0, second - mu * mu);
        m_maxTotal += static_cast<long long>(n) * static_cast<long long>(t.pmf.size() - 1);
        if (t.pmf.size() > 1)
            terms.push_back(std::move(t));
    }

    // Each draw moves the total at most 6 from its mean, so by Bernstein's inequality a total
    // more than h from the mean has a chance below 1e-30 for this h.
    const double h = 140.0 + std::sqrt(140.0 * 140.0 + 140.0 * m_variance);
    const std::size_t size
        = powerOfTwoAtLeast(std::min(static_cast<double>(m_maxTotal) + 1.0, 2.0 * h + 1.0));
    const long long n = static_cast<long long>(size);
    m_base = std::clamp(std::llround(m_mean) - n / 2, 0LL, std::max(0LL, m_maxTotal + 1 - n));

    std::vector<Complex> roots(size);
    for (std::size_t j = 0; j < size; ++j)
        roots[j] = std::polar(
            1.0, -2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(size));

    // The law is real, so the upper half of the transform mirrors the lower half.
    std::vector<Complex> fourier(size);
    const std::size_t mask = size - 1;
    for (std::size_t j = 0; j <= size / 2; ++j) {
        // Shifting the window to start at m_base turns the phase back by m_base steps.
        Complex value = std::conj(roots[static_cast<std::size_t>(
            (static_cast<unsigned long long>(j) * static_cast<unsigned long long>(m_base))
            & mask)]);
        for (const Term &t : terms) {
            Complex phi = t.pmf[0];
            for (std::size_t m = 1, at = j & mask; m < t.pmf.size(); ++m, at = (at + j) & mask)
                phi += t.pmf[m] * roots[at];
            value = multiply(value, power(phi, t.draws));
        }
        fourier[j] = value;
        if (j != 0 && j != size - j)
            fourier[size - j] = std::conj(value);
    }
    transform(fourier, roots, +1);

    m_pmf.resize(size);
    for (std::size_t r = 0; r < size; ++r) {
        const long long total = m_base + static_cast<long long>(r);
        const double p = fourier[r].real() / static_cast<double>(size);
        // Rounding leaves values of about 1e-16 where the law is 0.
        m_pmf[r] = (total > m_maxTotal || p < 0) ? 0.0 : p;
    }
    m_low.resize(size);
    m_high.resize(size);
    double acc = 0;
    for (std::size_t r = 0; r < size; ++r)
        m_low[r] = std::min(1.0, acc += m_pmf[r]);
    acc = 0;
    for (std::size_t r = size; r-- > 0;)
        m_high[r] = std::min(1.0, acc += m_pmf[r]);
}

double MatchSumLaw::pmf(long long total) const
{
    const long long r = total - m_base;
    return r < 0 || r >= std::ssize(m_pmf) ? 0.0 : m_pmf[static_cast<std::size_t>(r)];
}

double MatchSumLaw::cdf(long long total) const
{
    const long long r = total - m_base;
    if (r < 0)
        return 0.0;
    return r >= std::ssize(m_low) ? 1.0 : m_low[static_cast<std::size_t>(r)];
}

double MatchSumLaw::sf(long long total) const
{
    const long long r = total - m_base;
    if (r < 0)
        return 1.0;
    return r >= std::ssize(m_high) ? 0.0 : m_high[static_cast<std::size_t>(r)];
}

double MatchSumLaw::twoSidedP(long long observed) const
{
    return std::min(1.0, 2.0 * std::min(cdf(observed), sf(observed)));
}

long long MatchSumLaw::quantile(double q) const
{
    for (std::size_t r = 0; r < m_low.size(); ++r)
        if (m_low[r] >= q)
            return m_base + static_cast<long long>(r);
    return m_base + std::ssize(m_low) - 1;
}

} // namespace loto6
