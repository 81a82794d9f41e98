#include "popularity/valuerange.h"

#include "popularity/popularitybacktest.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace loto6::popularity {

namespace {

constexpr double Z95 = 1.959964;
constexpr std::size_t LevelDraws = 200;

// What each weight counts on one ticket: its numbers, then the pairs of each trait.
std::vector<double> features(const ModelTerms &terms, const Combination &c)
{
    std::vector<double> x;
    if (terms.perNumber)
        for (int n = 1; n <= HighestNumber; ++n)
            x.push_back(std::find(c.begin(), c.end(), n) != c.end() ? 1.0 : 0.0);
    for (PairTrait t : terms.pairs) {
        double pairs = 0;
        for (std::size_t i = 0; i < c.size(); ++i)
            for (std::size_t j = i + 1; j < c.size(); ++j)
                pairs += traitValue(t, c[i], c[j]);
        x.push_back(pairs);
    }
    return x;
}

// The same averaged over all tickets weighed by popularity, from the sums over the subsets of
// one and two numbers.
std::vector<double> featureMeans(const ModelTerms &terms, const Neighbourhood &hood)
{
    const Neighbourhood::Levels levels = hood.levels();
    std::vector<double> m;
    if (terms.perNumber)
        m.assign(levels[1].begin(), levels[1].end());
    for (PairTrait t : terms.pairs) {
        double mean = 0;
        for (int b = 1; b < HighestNumber; ++b)
            for (int a = 0; a < b; ++a)
                mean += traitValue(t, a + 1, b + 1)
                    * levels[2][static_cast<std::size_t>(binomial(b, 2) + a)];
        m.push_back(mean);
    }
    return m;
}

// Per tier, the error of the level of expected winners on the latest draws with sales: the
// log of observed over expected in total (1等, 2等: counts too few for a log per draw, spread
// as their own over-dispersion says) or per draw (3等..5等).
std::array<double, Tiers> levelErrors(
    const std::vector<DrawObservation> &draws, const Neighbourhood &hood, int &used)
{
    std::vector<const DrawObservation *> latest;
    for (auto it = draws.rbegin(); it != draws.rend() && latest.size() < LevelDraws; ++it)
        if (it->tickets() && it->winners[2] > 0 && it->winners[3] > 0 && it->winners[4] > 0)
            latest.push_back(&*it);
    used = static_cast<int>(latest.size());
    std::array<double, Tiers> error{};
    if (latest.size() < 2)
        return error;
    const auto n = static_cast<double>(latest.size());
    for (std::size_t t = 0; t < Tiers; ++t) {
        double observed = 0, expected = 0, pearson = 0, logSum = 0, logSquares = 0;
        // Expected as a ticket's value expects the others: the shares scaled by the level.
        const double level = std::exp(hood.model().calibration(static_cast<int>(t) + 1).a);
        for (const DrawObservation *o : latest) {
            const double e = *o->tickets() * hood.winnerShares(o->numbers, o->bonus)[t] * level;
            const auto w = static_cast<double>(o->winners[t]);
            observed += w;
            expected += e;
            pearson += e > 0 ? (w - e) * (w - e) / e : 0;
            const double l = w > 0 && e > 0 ? std::log(w / e) : 0;
            logSum += l;
            logSquares += l * l;
        }
        if (t < 2) {
            const double bias = observed > 0 && expected > 0 ? std::log(observed / expected) : 0;
            const double se = expected > 0 ? std::sqrt(std::max(pearson / n, 1.0) / expected) : 0;
            error[t] = std::hypot(bias, se);
        } else {
            const double mean = logSum / n;
            const double variance = std::max(0.0, logSquares / n - mean * mean);
            error[t] = std::hypot(mean, std::sqrt(variance / (n - 1)));
        }
    }
    return error;
}

// The ticket's value with the others sharing each tier scaled by its factor, as a change
// from its value.
double scaledChange(
    const TicketValuer &valuer, const TicketValue &v, const std::array<double, Tiers> &scale)
{
    double change = 0;
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        change += tierChance(t)
            * (valuer.tierPrize(t, v.coWinners[i] * scale[i])
                - valuer.tierPrize(t, v.coWinners[i]));
    }
    return change;
}

// Scale factors for z standard deviations: every tier by the popularity's error (the others
// who share 3等..5等 hold most of the ticket's numbers, so their popularity moves with it) and
// by the level's, when asked.
std::array<double, Tiers> scales(
    double z, double popularity, const std::array<double, Tiers> &level, bool withLevel)
{
    std::array<double, Tiers> s{};
    for (std::size_t t = 0; t < Tiers; ++t)
        s[t] = std::exp(z * std::hypot(popularity, withLevel ? level[t] : 0.0));
    return s;
}

} // namespace

ValueUncertainty measureUncertainty(const std::vector<DrawObservation> &draws,
    const PopularityModel &model, const Neighbourhood &hood, std::vector<double> covariance)
{
    ValueUncertainty u;
    u.covariance = std::move(covariance);
    u.featureMeans = featureMeans(model.terms(), hood);
    if (u.covariance.size() != u.featureMeans.size() * u.featureMeans.size())
        u.covariance.assign(u.featureMeans.size() * u.featureMeans.size(), 0.0);
    u.levelError = levelErrors(draws, hood, u.levelDraws);
    for (const DrawObservation &o : draws) {
        if (o.drawNo < DefaultBacktestFrom || !o.tickets())
            continue;
        const double r = model.relativePopularity(o.numbers);
        u.testedLow = u.testedDraws ? std::min(u.testedLow, r) : r;
        u.testedHigh = u.testedDraws ? std::max(u.testedHigh, r) : r;
        ++u.testedDraws;
    }
    return u;
}

double popularityError(const PopularityEstimate &estimate, const Combination &c)
{
    const ValueUncertainty &u = estimate.uncertainty();
    std::vector<double> d = features(estimate.model().terms(), c);
    if (d.size() != u.featureMeans.size())
        return 0;
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] -= u.featureMeans[i];
    double variance = 0;
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = 0; j < d.size(); ++j)
            variance += d[i] * u.covariance[i * d.size() + j] * d[j];
    return std::sqrt(std::max(variance, 0.0));
}

LevelRange::LevelRange(const std::array<double, Tiers> &level)
    : m_up(scales(Z95, 0, level, true))
    , m_down(scales(-Z95, 0, level, true))
{
}

LevelRange::Prizes LevelRange::prizes(
    const TicketValuer &valuer, const TicketValue &value, const Prizes *like) const
{
    Prizes p = like ? *like : Prizes{};
    const CountLaw &first = valuer.model().countLaw(1);
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        const double mean = value.coWinners[i];
        if (t == 1) {
            if (!like)
                p.firstShares = {first.meanShare(mean), first.meanShare(mean * m_up[i]),
                    first.meanShare(mean * m_down[i])};
            p.tiers[i] = {valuer.firstPrize(mean, p.firstShares.atMean),
                valuer.firstPrize(mean * m_up[i], p.firstShares.low),
                valuer.firstPrize(mean * m_down[i], p.firstShares.high)};
        } else if (!like) {
            p.tiers[i] = {valuer.tierPrize(t, mean), valuer.tierPrize(t, mean * m_up[i]),
                valuer.tierPrize(t, mean * m_down[i])};
        }
    }
    return p;
}

std::pair<double, double> LevelRange::of(const TicketValue &value, const Prizes &prizes) const
{
    // As scaledChange adds them: more others sharing lowers the value.
    double low = 0, high = 0;
    for (int t = 1; t <= Tiers; ++t) {
        const TierPrizes &p = prizes.tiers[static_cast<std::size_t>(t - 1)];
        low += tierChance(t) * (p.low - p.atMean);
        high += tierChance(t) * (p.high - p.atMean);
    }
    return {value.expectedValue + low, value.expectedValue + high};
}

std::pair<double, double> levelRange(
    const TicketValuer &valuer, const TicketValue &value, const std::array<double, Tiers> &level)
{
    const LevelRange range(level);
    return range.of(value, range.prizes(valuer, value));
}

ValueRange valueRange(const PopularityEstimate &estimate, const TicketValuer &valuer,
    const TicketValue &value, double averageValue)
{
    const double sd = popularityError(estimate, value.numbers);
    const std::array<double, Tiers> &level = estimate.uncertainty().levelError;
    ValueRange r;
    // More others sharing lowers the value: +z is the low end.
    r.low = value.expectedValue + scaledChange(valuer, value, scales(Z95, sd, level, true));
    r.high = value.expectedValue + scaledChange(valuer, value, scales(-Z95, sd, level, true));
    r.gainLow = value.expectedValue - averageValue
        + scaledChange(valuer, value, scales(Z95, sd, level, false));
    r.gainHigh = value.expectedValue - averageValue
        + scaledChange(valuer, value, scales(-Z95, sd, level, false));
    r.extrapolated = estimate.extrapolated(value.relativePopularity);
    return r;
}

} // namespace loto6::popularity
