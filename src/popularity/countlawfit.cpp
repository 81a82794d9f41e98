#include "popularity/countlaw.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <numeric>

namespace loto6::popularity {

namespace {

constexpr std::size_t MinSamples = 20;
constexpr double ParameterBound = 12; // on the log or logit scale

using Point = std::vector<double>;

CountLaw lawAt(const Point &x, CountLawTerms terms)
{
    CountLaw law;
    std::size_t i = 0;
    const auto next = [&] { return std::clamp(x[i++], -ParameterBound, ParameterBound); };
    if (terms.scale)
        law.scale = std::exp(next());
    law.shape = std::exp(next());
    if (terms.crowd) {
        law.crowdWeight = 1 / (1 + std::exp(-next()));
        law.crowdFactor = 1 + std::exp(next());
        law.crowdShape = std::exp(next());
    }
    return law;
}

Point startOf(CountLawTerms terms)
{
    Point x;
    if (terms.scale)
        x.push_back(0.0); // the model's own level
    x.push_back(0.0);     // shape 1
    if (terms.crowd) {    // 2% of draws at ten times the mean
        x.push_back(-4.0);
        x.push_back(std::log(9.0));
        x.push_back(0.0);
    }
    return x;
}

// Nelder–Mead's simplex search for the least f from `start`, steps of 1 on each axis.
Point minimise(const std::function<double(const Point &)> &f, Point start)
{
    const std::size_t n = start.size();
    std::vector<Point> simplex(n + 1, start);
    for (std::size_t i = 0; i < n; ++i)
        simplex[i + 1][i] += 1.0;
    std::vector<double> value(n + 1);
    for (std::size_t i = 0; i <= n; ++i)
        value[i] = f(simplex[i]);
    std::vector<std::size_t> order(n + 1);
    const auto along = [&](const Point &c, const Point &w, double t) {
        Point p(n);
        for (std::size_t i = 0; i < n; ++i)
            p[i] = c[i] + t * (w[i] - c[i]);
        return p;
    };
    for (int step = 0; step < 400 * static_cast<int>(n); ++step) {
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](auto a, auto b) { return value[a] < value[b]; });
        const std::size_t best = order.front(), worst = order.back();
        if (value[worst] - value[best] < 1e-8 * (1 + std::abs(value[best])))
            break;
        Point centre(n, 0.0);
        for (std::size_t i : order)
            if (i != worst)
                for (std::size_t d = 0; d < n; ++d)
                    centre[d] += simplex[i][d] / static_cast<double>(n);
        const Point reflected = along(centre, simplex[worst], -1.0);
        const double fr = f(reflected);
        if (fr < value[best]) {
            const Point expanded = along(centre, simplex[worst], -2.0);
            const double fe = f(expanded);
            simplex[worst] = fe < fr ? expanded : reflected;
            value[worst] = std::min(fe, fr);
        } else if (fr < value[order[n - 1]]) {
            simplex[worst] = reflected;
            value[worst] = fr;
        } else {
            const Point contracted = along(centre, simplex[worst], 0.5);
            const double fc = f(contracted);
            if (fc < value[worst]) {
                simplex[worst] = contracted;
                value[worst] = fc;
            } else {
                for (std::size_t i : order)
                    if (i != best) {
                        simplex[i] = along(simplex[best], simplex[i], 0.5);
                        value[i] = f(simplex[i]);
                    }
            }
        }
    }
    return simplex[static_cast<std::size_t>(
        std::min_element(value.begin(), value.end()) - value.begin())];
}

} // namespace

CountLaw fitCountLaw(const std::vector<CountSample> &samples, CountLawTerms terms)
{
    if (samples.size() < MinSamples)
        return {};
    const CountLikelihood likelihood(samples);
    const auto minusLogLikelihood = [&](const Point &x) {
        const double s = likelihood.minusLog(lawAt(x, terms));
        return std::isfinite(s) ? s : 1e300;
    };
    return lawAt(minimise(minusLogLikelihood, startOf(terms)), terms);
}

std::vector<double> sumLaw(const std::vector<std::pair<CountLaw, double>> &counts)
{
    constexpr double Kept = 1e-10; // mass beyond it is left above every bound
    std::vector<double> sum = {1.0};
    for (const auto &[law, lambda] : counts) {
        std::vector<double> one;
        double mass = 0;
        for (long long k = 0; mass < 1 - Kept && k < 10'000'000; ++k) {
            one.push_back(law.pmf(k, lambda));
            mass += one.back();
            if (static_cast<double>(k) > law.mean(lambda) && one.back() < 1e-3 * Kept)
                break;
        }
        std::vector<double> next(sum.size() + one.size() - 1, 0.0);
        for (std::size_t i = 0; i < sum.size(); ++i)
            for (std::size_t j = 0; j < one.size(); ++j)
                next[i + j] += sum[i] * one[j];
        // The mass already left out stays out: trim against what is kept.
        const double total = std::accumulate(next.begin(), next.end(), 0.0);
        double cumulative = 0;
        std::size_t keep = 0;
        while (keep < next.size() && cumulative < total - Kept)
            cumulative += next[keep++];
        next.resize(std::max<std::size_t>(keep, 1));
        sum = std::move(next);
    }
    return sum;
}

std::pair<long long, long long> bandOf(const std::vector<double> &law, double probability)
{
    const double side = (1 - probability) / 2;
    long long low = 0, high = static_cast<long long>(law.size());
    double cumulative = 0;
    bool lowFound = false;
    for (std::size_t i = 0; i < law.size(); ++i) {
        cumulative += law[i];
        if (!lowFound && cumulative > side) {
            low = static_cast<long long>(i);
            lowFound = true;
        }
        if (cumulative >= 1 - side) {
            high = static_cast<long long>(i);
            break;
        }
    }
    return {low, high};
}

double uniformKsPValue(std::vector<double> values)
{
    if (values.empty())
        return 1.0;
    std::sort(values.begin(), values.end());
    const auto n = static_cast<double>(values.size());
    double d = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double u = values[i];
        d = std::max({d, static_cast<double>(i + 1) / n - u, u - static_cast<double>(i) / n});
    }
    const double t = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
    if (t < 0.2)
        return 1.0;
    double p = 0;
    for (int j = 1; j <= 100; ++j)
        p += (j % 2 == 1 ? 2.0 : -2.0) * std::exp(-2.0 * j * j * t * t);
    return std::clamp(p, 0.0, 1.0);
}

} // namespace loto6::popularity
