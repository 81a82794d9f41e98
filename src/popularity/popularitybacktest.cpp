#include "popularity/popularitybacktest.h"

#include "analysis/portablerandom.h"

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
                += order[i]->modelMean[0] / (order[i]->tickets * tierChance(1));
            group.members.push_back(static_cast<std::size_t>(order[i] - b.draws.data()));
        }
        group.meanRelativePopularity /= group.draws;
        b.firstPrize.push_back(group);
    }
}

// A uniform value in [0, 1) of the draw's own: the same whatever draws come after it.
double drawUniform(int drawNo)
{
    PortableRandom random(0x5049540000000000ULL + static_cast<std::uint64_t>(drawNo));
    return static_cast<double>(random.next() >> 11) * 0x1.0p-53;
}

void computeLikelihood(PopularityBacktest &b)
{
    std::vector<double> pit;
    for (const PopularityBacktest::Draw &d : b.draws) {
        if (!d.sales)
            continue;
        b.likelihood.draws += 1;
        for (std::size_t t = 0; t < Tiers; ++t) {
            const long long k = d.observed[t];
            b.likelihood.model[t] += d.law[t].logPmf(k, d.modelMean[t]);
            b.likelihood.poisson[t] += CountLaw{}.logPmf(k, d.modelMean[t]);
            b.likelihood.uniform[t]
                += CountLaw{}.logPmf(k, d.tickets * tierChance(static_cast<int>(t) + 1));
        }
        pit.push_back(d.law[0].randomizedPit(d.observed[0], d.modelMean[0], drawUniform(d.drawNo)));
    }
    if (!pit.empty())
        b.firstPrizePitP = uniformKsPValue(std::move(pit));
}

PopularityBacktest::Draw predictDraw(
    const DrawObservation &o, const PopularityModel &model, int fittedBefore)
{
    PopularityBacktest::Draw d;
    d.drawNo = o.drawNo;
    d.fittedBefore = fittedBefore;
    d.sales = o.sales;
    d.observed = o.winners;
    const std::array<double, Tiers> share = model.expectedWinnerShares(o.numbers, o.bonus);
    if (o.tickets())
        d.tickets = *o.tickets();
    else if (share[4] > 0)
        d.tickets = static_cast<double>(o.winners[4]) / share[4];
    for (std::size_t t = 0; t < Tiers; ++t) {
        d.law[t] = model.countLaw(static_cast<int>(t) + 1);
        d.modelMean[t] = d.tickets * share[t];
        d.predicted[t] = d.law[t].mean(d.modelMean[t]);
    }
    return d;
}

void summarise(PopularityBacktest &b, const std::vector<DrawObservation> &draws)
{
    const TrainingCount count = trainingDrawCount(draws, b.from);
    b.trainingDraws = count.draws;
    b.trainingDrawsWithSales = count.withSales;
    computeRSquared(b);
    computeCalibration(b);
    computeLikelihood(b);
}

} // namespace

std::vector<double> PopularityBacktest::groupLaw(std::size_t group) const
{
    std::vector<std::pair<CountLaw, double>> counts;
    for (std::size_t i : firstPrize.at(group).members)
        counts.emplace_back(draws[i].law[0], draws[i].modelMean[0]);
    return sumLaw(counts);
}

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
    for (const DrawObservation &o : draws)
        if (o.drawNo >= from)
            b.draws.push_back(predictDraw(o, model, from));
    summarise(b, draws);
    return b;
}

PopularityBacktest runRunningBacktest(
    const std::vector<DrawObservation> &draws, int from, const FitBefore &fitBefore)
{
    PopularityBacktest b;
    b.from = from;
    int block = 0;
    std::optional<PopularityModel> model;
    for (const DrawObservation &o : draws) {
        if (o.drawNo < from)
            continue;
        const int start = from + (o.drawNo - from) / RefitEvery * RefitEvery;
        if (!model || start != block) {
            block = start;
            model = fitBefore(start);
        }
        b.draws.push_back(predictDraw(o, *model, block));
    }
    summarise(b, draws);
    return b;
}

SmallestTail smallestFirstPrizeTail(
    const std::vector<DrawObservation> &draws, const PopularityModel &model)
{
    SmallestTail least;
    for (const DrawObservation &o : draws) {
        if (!o.tickets())
            continue;
        const double lambda = *o.tickets() * model.expectedWinnerShares(o.numbers, o.bonus)[0];
        const CountLaw &law = model.countLaw(1);
        const double tail = law.tail(o.winners[0], lambda);
        if (least.drawNo == 0 || tail < least.tail)
            least = {o.drawNo, o.winners[0], law.mean(lambda), tail};
    }
    return least;
}

} // namespace loto6::popularity
