#include "popularity/popularitybacktest.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace loto6::popularity {

namespace {

std::optional<double> rSquared(const std::vector<double> &y, const std::vector<double> &fit)
{
    if (y.size() < 3)
        return std::nullopt;
    const double mean = std::accumulate(y.begin(), y.end(), 0.0) / static_cast<double>(y.size());
    double res = 0, tot = 0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        res += (y[i] - fit[i]) * (y[i] - fit[i]);
        tot += (y[i] - mean) * (y[i] - mean);
    }
    return tot > 0 ? std::optional<double>(1.0 - res / tot) : std::nullopt;
}

void computeRSquared(PopularityBacktest &b)
{
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t t = k + 2; // tiers 3, 4, 5
        std::vector<double> y, fit;
        for (const PopularityBacktest::Draw &d : b.draws) {
            if (!d.sales || d.observed[t] <= 0 || d.predicted[t] <= 0)
                continue;
            const double uniform = d.tickets * tierChance(static_cast<int>(t) + 1);
            y.push_back(std::log(static_cast<double>(d.observed[t]) / uniform));
            fit.push_back(std::log(d.predicted[t] / uniform));
        }
        b.r2[k] = rSquared(y, fit);
        b.r2Draws[k] = static_cast<int>(y.size());
    }
}

void computeCalibration(PopularityBacktest &b)
{
    std::vector<const PopularityBacktest::Draw *> order;
    for (const PopularityBacktest::Draw &d : b.draws)
        if (d.tickets > 0)
            order.push_back(&d);
    std::stable_sort(order.begin(), order.end(),
        [](const auto *a, const auto *c) { return a->predicted[0] < c->predicted[0]; });
    const std::size_t n = order.size();
    for (std::size_t g = 0; g < static_cast<std::size_t>(CalibrationGroups) && n > 0; ++g) {
        const std::size_t lo = g * n / CalibrationGroups;
        const std::size_t hi = (g + 1) * n / CalibrationGroups;
        if (lo == hi)
            continue;
        PopularityBacktest::CalibrationGroup group;
        for (std::size_t i = lo; i < hi; ++i) {
            group.draws += 1;
            group.predicted += order[i]->predicted[0];
            group.observed += order[i]->observed[0];
            group.meanRelativePopularity
                += order[i]->predicted[0] / (order[i]->tickets * tierChance(1));
        }
        group.meanRelativePopularity /= group.draws;
        b.firstPrize.push_back(group);
    }
}

} // namespace

PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const FitSettings &settings)
{
    return runPopularityBacktest(draws, from, fitPopularity(draws, from, settings));
}

PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const PopularityModel &model)
{
    PopularityBacktest b;
    b.from = from;
    const TrainingCount count = trainingDrawCount(draws, from);
    b.trainingDraws = count.draws;
    b.trainingDrawsWithSales = count.withSales;
    for (const DrawObservation &o : draws) {
        if (o.drawNo < from)
            continue;
        PopularityBacktest::Draw d;
        d.drawNo = o.drawNo;
        d.sales = o.sales;
        d.observed = o.winners;
        const std::array<double, Tiers> share = model.expectedWinnerShares(o.numbers, o.bonus);
        if (o.tickets())
            d.tickets = *o.tickets();
        else if (share[4] > 0)
            d.tickets = static_cast<double>(o.winners[4]) / share[4];
        for (std::size_t t = 0; t < Tiers; ++t)
            d.predicted[t] = d.tickets * share[t];
        b.draws.push_back(d);
    }
    computeRSquared(b);
    computeCalibration(b);
    return b;
}

} // namespace loto6::popularity
