#pragma once

#include "popularity/popularityestimate.h"

#include <array>
#include <utility>
#include <vector>

namespace loto6::popularity {

// Measured with the estimate, for the range of a ticket's value: the covariance of the fitted
// weights from resampling the draws (fitPopularity's), the popularity-weighted mean of what
// each weight counts, each tier's error of level on the latest draws with sales (the log of
// observed against expected winners: its bias and its standard error together), and the
// popularity of the drawn combinations of the held-out draws.
ValueUncertainty measureUncertainty(const std::vector<DrawObservation> &draws,
    const PopularityModel &model, const Neighbourhood &hood, std::vector<double> covariance);

// A ticket's value with its 95% range. The fitted weights' uncertainty moves the ticket's
// popularity (log-normally, to first order, the normaliser following the weights) and with it
// the others expected to share 1等 and 2等; each tier's level of winners may be off by its
// measured error. All move the value the same way at once, so the range errs on the wide
// side. The gain over the average ticket moves with the weights only: a level that is off
// moves the average ticket's value alike.
struct ValueRange
{
    double low = 0;
    double high = 0;
    double gainLow = 0;
    double gainHigh = 0;
    bool extrapolated = false; // popularity outside what the model was tested on
};
ValueRange valueRange(const PopularityEstimate &estimate, const TicketValuer &valuer,
    const TicketValue &value, double averageValue);

// The 95% range of a value from each tier's error of level alone (the range of an average
// over many tickets, whose popularity errors mostly cancel), for many tickets at once.
class LevelRange
{
public:
    explicit LevelRange(const std::array<double, Tiers> &level);

    // Each tier's prize at the mean of the others who share it, and at that mean scaled by
    // the level's error either way.
    struct TierPrizes
    {
        double atMean = 0, low = 0, high = 0;
    };
    struct Prizes
    {
        std::array<TierPrizes, Tiers> tiers{};
        TierPrizes firstShares; // 1等's E[1 / (1 + K)] at each mean: the same at any carry-over
    };
    // `like`: the prizes of the same ticket at the same sales with another carry-over, which
    // lend every tier but 1等 and 1等's shares.
    Prizes prizes(
        const TicketValuer &valuer, const TicketValue &value, const Prizes *like = nullptr) const;
    std::pair<double, double> of(const TicketValue &value, const Prizes &prizes) const;

private:
    std::array<double, Tiers> m_up{}, m_down{};
};

// The same for one ticket.
std::pair<double, double> levelRange(
    const TicketValuer &valuer, const TicketValue &value, const std::array<double, Tiers> &level);

// The standard deviation of the log of the ticket's popularity from the fitted weights.
double popularityError(const PopularityEstimate &estimate, const Combination &c);

} // namespace loto6::popularity
