#include "design/popularityscale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace loto6::design {

PopularityScale::PopularityScale(const popularity::PopularityModel &model)
    : m_pair(static_cast<std::size_t>(Stride * Stride), 0.0)
    , m_logNormaliser(model.logNormaliser())
{
    for (int a = 1; a <= HighestNumber; ++a) {
        m_number[static_cast<std::size_t>(a)]
            = model.numberWeights()[static_cast<std::size_t>(a - 1)];
        for (int b = a + 1; b <= HighestNumber; ++b)
            m_pair[static_cast<std::size_t>(a * Stride + b)] = model.pairWeight(a - 1, b - 1);
    }
}

double PopularityScale::logWeight(NumberMask m) const
{
    double s = 0;
    NumberMask chosen = 0;
    for (; m; m &= m - 1) {
        const int n = std::countr_zero(m);
        s += step(chosen, n);
        chosen |= NumberMask{1} << n;
    }
    return s;
}

double PopularityScale::relative(double logWeight) const
{
    return std::exp(logWeight - m_logNormaliser);
}

double PopularityScale::logWeightOf(double relativePopularity) const
{
    return std::log(relativePopularity) + m_logNormaliser;
}

PopularityLimit::PopularityLimit(const popularity::PopularityEstimate &estimate, double share,
    std::optional<popularity::PatternFamily> excludedPatterns)
    : scale(estimate.model())
    , percent(share)
    , maxRelative(estimate.leastPopularThreshold(share))
    , excluded(std::move(excludedPatterns))
    // The estimate keeps the count with the pattern tickets and without its own family's.
    , admittedCount(excluded ? estimate.leastPopularCount(share, *excluded)
                             : estimate.leastPopularCount(share))
{
    maxLogWeight = scale.logWeightOf(maxRelative);
}

PopularityPrizeModel::PopularityPrizeModel(
    popularity::TicketValuer valuer, popularity::PatternFamily patterns, double patternValueCap)
    : m_valuer(std::move(valuer))
    , m_patterns(std::move(patterns))
    , m_patternValueCap(patternValueCap)
{
}

double PopularityPrizeModel::expectedPrize(const Combination &ticket, int tier) const
{
    const popularity::TicketValue v = m_valuer.value(ticket);
    const double prize = v.expectedPrize[static_cast<std::size_t>(tier - 1)];
    if (v.expectedValue > m_patternValueCap && m_patterns.kindOf(ticket))
        return prize * m_patternValueCap / v.expectedValue;
    return prize;
}

void sortByPopularity(std::vector<Combination> &tickets, const popularity::PopularityModel &model,
    const popularity::PatternFamily *patterns)
{
    std::vector<std::pair<double, Combination>> keyed;
    keyed.reserve(tickets.size());
    for (const Combination &c : tickets)
        keyed.emplace_back(patterns && patterns->kindOf(c) ? std::numeric_limits<double>::infinity()
                                                           : model.logRelativePopularity(c),
            c);
    std::stable_sort(
        keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 0; i < tickets.size(); ++i)
        tickets[i] = keyed[i].second;
}

} // namespace loto6::design
