#include "chart/chartbands.h"

#include "analysis/probability.h"
#include "grid/numbertext.h"
#include "store/drawhistory.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

namespace loto6 {

CountBand binomialBand(long long n, double p, double probability)
{
    if (n <= 0 || !(p > 0))
        return {0, 0};
    if (p >= 1)
        return {n, n};
    const double tail = (1.0 - probability) / 2.0;
    // The law's chances from the mode outwards by the ratio of successive terms, one exact
    // term to start from, until the terms no longer count next to the tail.
    const auto mode
        = std::min(n, static_cast<long long>(std::floor(static_cast<double>(n + 1) * p)));
    const double ratio = p / (1.0 - p);
    const double negligible = tail * 1e-18;
    const double top = std::exp(binomialLogPmf(n, p, mode));
    std::vector<double> below; // P(X = mode - 1), P(X = mode - 2), ...
    for (long long k = mode; k > 0;) {
        const double term = (below.empty() ? top : below.back()) * static_cast<double>(k)
            / (static_cast<double>(n - k + 1) * ratio);
        --k;
        if (term < negligible)
            break;
        below.push_back(term);
    }
    std::vector<double> above; // P(X = mode + 1), ...
    for (long long k = mode; k < n;) {
        const double term = (above.empty() ? top : above.back()) * static_cast<double>(n - k)
            / static_cast<double>(k + 1) * ratio;
        ++k;
        if (term < negligible)
            break;
        above.push_back(term);
    }
    CountBand band;
    // The largest low with P(X < low) <= tail: add the lowest terms while they fit.
    double sum = 0;
    band.low = mode - static_cast<long long>(below.size());
    for (std::size_t i = below.size(); i-- > 0 && sum + below[i] <= tail;) {
        sum += below[i];
        ++band.low;
    }
    if (band.low == mode && sum + top <= tail)
        ++band.low;
    // The smallest high with P(X > high) <= tail.
    sum = 0;
    band.high = mode + static_cast<long long>(above.size());
    for (std::size_t i = above.size(); i-- > 0 && sum + above[i] <= tail;) {
        sum += above[i];
        --band.high;
    }
    if (band.high == mode && sum + top <= tail)
        --band.high;
    return band;
}

std::vector<CountBand> binomialBandsUpTo(long long n, double p, double probability)
{
    const double tail = (1.0 - probability) / 2.0;
    const double q = 1.0 - p;
    std::vector<CountBand> bands(static_cast<std::size_t>(std::max(n, 0LL)) + 1);
    // The law of the count after k trials, held over the counts whose chance is not negligible:
    // pmf[i] is P(X = first + i). One more trial moves each chance on by the recurrence.
    // Chances a billion billion times smaller than the tail cannot move a bound.
    const double negligible = tail * 1e-18;
    std::vector<double> pmf{1.0};
    long long first = 0;
    for (long long k = 1; k <= n; ++k) {
        pmf.push_back(pmf.back() * p);
        for (std::size_t j = pmf.size() - 2; j > 0; --j)
            pmf[j] = pmf[j] * q + pmf[j - 1] * p;
        pmf[0] *= q;
        while (pmf.size() > 1 && pmf.front() < negligible) {
            pmf.erase(pmf.begin());
            ++first;
        }
        while (pmf.size() > 1 && pmf.back() < negligible)
            pmf.pop_back();
        CountBand b;
        double below = 0;
        std::size_t i = 0;
        while (i < pmf.size() && below + pmf[i] <= tail)
            below += pmf[i++];
        b.low = first + static_cast<long long>(i);
        double above = 0;
        std::size_t h = pmf.size() - 1;
        while (h > 0 && above + pmf[h] <= tail)
            above += pmf[h--];
        b.high = first + static_cast<long long>(h);
        bands[static_cast<std::size_t>(k)] = b;
    }
    return bands;
}

double pathInsideProbability(const std::vector<CountBand> &bands, double p)
{
    // law[c] is the chance of count c with the path inside so far; counts outside are dropped.
    std::vector<double> law(bands.size() + 1, 0.0);
    law[0] = 1;
    long long low = 0, high = 0; // the counts that may hold chance
    for (std::size_t k = 1; k < bands.size(); ++k) {
        for (long long c = high + 1; c > low; --c) {
            const auto i = static_cast<std::size_t>(c);
            law[i] = law[i] * (1 - p) + law[i - 1] * p;
        }
        law[static_cast<std::size_t>(low)] *= 1 - p;
        ++high;
        for (long long c = low; c < bands[k].low && c <= high; ++c)
            law[static_cast<std::size_t>(c)] = 0;
        for (long long c = bands[k].high + 1; c <= high; ++c)
            law[static_cast<std::size_t>(c)] = 0;
        low = std::max(low, bands[k].low);
        high = std::min(high, bands[k].high);
        if (low > high)
            return 0;
    }
    double inside = 0;
    for (long long c = low; c <= high; ++c)
        inside += law[static_cast<std::size_t>(c)];
    return inside;
}

std::vector<CountBand> pathBands(long long n, double p, double probability, double *level)
{
    double lo = probability, hi = 1 - 1e-9; // per-count levels: too narrow, wide enough
    std::vector<CountBand> bands = binomialBandsUpTo(n, p, hi);
    for (int i = 0; i < 40 && hi - lo > 1e-7; ++i) {
        const double mid = (lo + hi) / 2;
        std::vector<CountBand> b = binomialBandsUpTo(n, p, mid);
        if (pathInsideProbability(b, p) >= probability) {
            hi = mid;
            bands = std::move(b);
        } else {
            lo = mid;
        }
    }
    if (level)
        *level = hi;
    return bands;
}

double jointBandProbability(double probability, int items)
{
    return items <= 1 ? probability : std::pow(probability, 1.0 / items);
}

double normalUpperQuantile(double tail)
{
    double lo = -40, hi = 40;
    for (int i = 0; i < 200 && hi - lo > 1e-12; ++i) {
        const double mid = (lo + hi) / 2;
        if (normalSf(mid) > tail)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}

std::vector<ChartDraw> chartDraws(const DrawHistory &history)
{
    std::vector<ChartDraw> out;
    out.reserve(history.size());
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        std::uint64_t mask = 0;
        bool fair = true;
        for (int i = 0; i < DrawRecord::FieldCount && fair; ++i) {
            const long long x = r.number(i);
            fair = x >= 1 && x <= HighestNumber && ((mask >> x) & 1u) == 0;
            if (fair)
                mask |= std::uint64_t{1} << x;
        }
        if (!fair)
            continue;
        const int bonus = static_cast<int>(r.bonus());
        out.push_back({r.drawNo, mask & ~(std::uint64_t{1} << bonus), bonus});
    }
    return out;
}

std::vector<int> appearanceGaps(const std::vector<ChartDraw> &draws)
{
    std::vector<int> gaps;
    std::vector<int> last(HighestNumber + 1, -1);
    for (int k = 0; k < static_cast<int>(draws.size()); ++k) {
        for (std::uint64_t m = draws[static_cast<std::size_t>(k)].mainMask; m != 0; m &= m - 1) {
            const int n = std::countr_zero(m);
            if (last[static_cast<std::size_t>(n)] >= 0)
                gaps.push_back(k - last[static_cast<std::size_t>(n)]);
            last[static_cast<std::size_t>(n)] = k;
        }
    }
    return gaps;
}

std::vector<ChartDraw> fairChartDraws(int count, std::uint64_t seed)
{
    std::mt19937_64 random(seed); // the engine's output is fixed by the standard
    std::vector<ChartDraw> out;
    for (int k = 1; k <= count; ++k) {
        std::uint64_t mask = 0;
        while (std::popcount(mask) < MainNumberCount)
            mask |= std::uint64_t{1} << (1 + random() % HighestNumber);
        out.push_back({k, mask, 0});
    }
    return out;
}

std::vector<double> gapShares(const std::vector<int> &gaps, int longest)
{
    std::vector<double> share(static_cast<std::size_t>(longest) + 2, 0.0);
    for (int g : gaps)
        share[static_cast<std::size_t>(std::min(g, longest + 1))] += 1;
    for (int g = longest; g >= 1; --g)
        share[static_cast<std::size_t>(g)] += share[static_cast<std::size_t>(g) + 1];
    for (double &s : share)
        s = gaps.empty() ? 0 : s / static_cast<double>(gaps.size());
    share.pop_back();
    share[0] = 0;
    return share;
}

std::vector<ShareBand> gapShareBands(int draws, int longest, int histories, std::uint64_t seed)
{
    // shares[g][h]: the share of gaps at least g long in simulated history h.
    std::vector<std::vector<double>> shares(static_cast<std::size_t>(longest) + 1);
    for (int h = 0; h < histories; ++h) {
        const std::vector<double> s = gapShares(
            appearanceGaps(fairChartDraws(draws, seed + static_cast<std::uint64_t>(h))), longest);
        for (std::size_t g = 1; g < s.size(); ++g)
            shares[g].push_back(s[g]);
    }
    // The bounds leave at most 2.5% of the simulated shares below and above them.
    const auto outside = static_cast<std::size_t>(0.025 * histories);
    std::vector<ShareBand> out(shares.size());
    for (std::size_t g = 1; g < shares.size() && histories > 0; ++g) {
        std::sort(shares[g].begin(), shares[g].end());
        out[g] = {shares[g][outside], shares[g][shares[g].size() - 1 - outside]};
    }
    return out;
}

std::string historyRangeText(const DrawHistory &history)
{
    const std::vector<ChartDraw> draws = chartDraws(history);
    if (draws.empty())
        return "当選データなし";
    return "第" + std::to_string(draws.front().drawNo) + "回～第"
        + std::to_string(draws.back().drawNo) + "回（"
        + groupedText(static_cast<long long>(draws.size())) + "回分）";
}

std::string drawRangeText(int first, int last, std::size_t count)
{
    const std::string range = "第" + std::to_string(first) + "回～第" + std::to_string(last) + "回";
    const std::string n = groupedText(static_cast<long long>(count));
    return static_cast<long long>(count) == static_cast<long long>(last) - first + 1
        ? range + "（" + n + "回分）"
        : range + "のうち" + n + "回";
}

} // namespace loto6
