#pragma once

#include "popularity/neighbourhood.h"
#include "popularity/popularityfit.h"
#include "popularity/ticketvalue.h"

#include <memory>
#include <optional>
#include <vector>

namespace loto6::popularity {

// Where combinations sit on the popularity scale and what that is worth: the least popular 1%
// against the most popular 1% and the average ticket, in yen.
struct ValueSpectrum
{
    double averageTicketValue = 0;
    double leastPopularValue = 0; // mean expected value of the least popular 1%
    double mostPopularValue = 0;  // ... of the most popular 1%
    double leastPopularBelow = 0; // relative popularity under which the least popular 1% lie
    double mostPopularAbove = 0;
};

// The popularity model fitted on a whole history, its sums over combinations, the prize rules
// read from the same history and the sorted popularity of every combination: everything a
// ticket's value needs, made once (a few seconds) and then asked many times.
class PopularityEstimate
{
public:
    static std::unique_ptr<PopularityEstimate> build(
        const std::vector<DrawObservation> &draws, const FitSettings &settings = {});

    const PopularityModel &model() const { return m_model; }
    const Neighbourhood &neighbourhood() const { return *m_hood; }
    const PrizeRules &rules() const { return m_rules; }
    TrainingCount training() const { return m_training; }
    bool fitted() const { return m_training.withSales > 0; }

    // The share (0..100) of all combinations less popular than one of this popularity.
    double percentile(double relativePopularity) const;
    // The relative popularity under which the least popular `percent` % of combinations lie.
    double leastPopularThreshold(double percent) const;

    // Values at the given sales (the typical sales when none) and carry-over.
    TicketValuer valuer(std::optional<double> sales = std::nullopt, double carryOver = 0) const;
    ValueSpectrum spectrum(const TicketValuer &valuer) const;

private:
    PopularityEstimate(PopularityModel model, PrizeRules rules, TrainingCount training);

    PopularityModel m_model;
    std::unique_ptr<Neighbourhood> m_hood;
    PrizeRules m_rules;
    TrainingCount m_training;
    std::vector<float> m_sorted; // every combination's relative popularity, ascending
};

} // namespace loto6::popularity
