#include "popularity/ticketvalue.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace loto6::popularity {

namespace {

constexpr std::size_t LatestDraws = 100;

} // namespace

PrizeRules PrizeRules::fromHistory(const std::vector<DrawObservation> &draws)
{
    PrizeRules rules;
    std::vector<const DrawObservation *> latest;
    for (auto it = draws.rbegin(); it != draws.rend() && latest.size() < LatestDraws; ++it)
        if (it->tickets())
            latest.push_back(&*it);
    if (latest.size() < 10)
        return rules;
    std::array<double, 4> paid{};
    double sales = 0, firstPool = 0, firstSales = 0;
    std::vector<double> allSales;
    for (const DrawObservation *o : latest) {
        const auto s = static_cast<double>(*o->sales);
        sales += s;
        allSales.push_back(s);
        for (std::size_t t = 1; t < 4; ++t)
            paid[t] += static_cast<double>(o->winners[t]) * static_cast<double>(o->prize[t]);
        const auto prev = std::find_if(draws.begin(), draws.end(),
            [&](const DrawObservation &d) { return d.drawNo == o->drawNo - 1; });
        if (prev != draws.end() && prev->carryOver == 0) {
            firstPool += static_cast<double>(o->winners[0]) * static_cast<double>(o->prize[0])
                + static_cast<double>(o->carryOver);
            firstSales += s;
        }
    }
    for (std::size_t t = 1; t < 4; ++t)
        rules.poolShare[t] = paid[t] / sales;
    if (firstSales > 0)
        rules.poolShare[0] = firstPool / firstSales;
    std::nth_element(allSales.begin(),
        allSales.begin() + static_cast<std::ptrdiff_t>(allSales.size() / 2), allSales.end());
    rules.typicalSales = allSales[allSales.size() / 2];
    rules.basedOnDraws = static_cast<int>(latest.size());
    return rules;
}

TicketValuer::TicketValuer(
    const Neighbourhood &hood, const PrizeRules &rules, double sales, double carryOver)
    : m_hood(&hood)
    , m_rules(rules)
    , m_sales(sales)
    , m_carryOver(carryOver)
{
}

double TicketValuer::tierPrize(int tier, double lambda) const
{
    if (tier == Tiers)
        return m_rules.fifthPrize;
    // The others who share the tier are a count of the tier's law about lambda: the prize is
    // E[pool / (1 + K)], not pool / (1 + mean), and for 1等 each share is capped.
    const CountLaw &law = m_hood->model().countLaw(tier);
    const double pool = m_rules.poolShare[static_cast<std::size_t>(tier - 1)] * m_sales;
    if (tier > 1)
        return pool * law.meanShare(lambda);
    const double cap = m_carryOver > 0 ? m_rules.capWithCarryOver : m_rules.capWithoutCarryOver;
    return law.cappedShare(pool + m_carryOver, cap, lambda);
}

double TicketValuer::firstPrize(double lambda, double meanShare) const
{
    const double pool = m_rules.poolShare[0] * m_sales;
    const double cap = m_carryOver > 0 ? m_rules.capWithCarryOver : m_rules.capWithoutCarryOver;
    return m_hood->model().countLaw(1).cappedShare(pool + m_carryOver, cap, lambda, meanShare);
}

TicketValue TicketValuer::value(const Combination &c) const
{
    return value(c, m_hood->sharerShares(c));
}

TicketValue TicketValuer::value(
    const Combination &c, const std::array<double, Tiers> &sharers, const TicketValue *like) const
{
    TicketValue v;
    v.numbers = c;
    const PopularityModel &model = m_hood->model();
    v.relativePopularity = like ? like->relativePopularity : model.relativePopularity(c);
    const double tickets = m_sales / 200.0;
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        if (like && t > 1) {
            v.coWinners[i] = like->coWinners[i];
            v.expectedPrize[i] = like->expectedPrize[i];
        } else {
            // Tiers 3 to 5 through the calibration curve of their validated predictions, at
            // the log of the ticket's sharers against equal popularity's.
            const double lambda = t <= 2 || sharers[i] <= 0 ? tickets * sharers[i]
                                                            : tickets * tierChance(t)
                    * std::exp(model.calibratedLogRatio(t, std::log(sharers[i] / tierChance(t))));
            v.coWinners[i] = model.countLaw(t).mean(lambda);
            if (t == 1) {
                v.firstShare = like ? like->firstShare : model.countLaw(1).meanShare(lambda);
                v.expectedPrize[i] = firstPrize(lambda, v.firstShare);
            } else {
                v.expectedPrize[i] = tierPrize(t, lambda);
            }
        }
        v.expectedValue += tierChance(t) * v.expectedPrize[i];
    }
    return v;
}

} // namespace loto6::popularity
