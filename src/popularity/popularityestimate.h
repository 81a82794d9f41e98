#pragma once

#include "popularity/neighbourhood.h"
#include "popularity/observations.h"
#include "popularity/patterns.h"
#include "popularity/popularityfit.h"
#include "popularity/ticketvalue.h"
#include "store/digest.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
    // The average ticket as players buy them: each combination weighed by its popularity.
    double averageBoughtValue = 0;
    // The 95% ranges of the four from each tier's error of level (levelRange, valuerange.h).
    struct Range
    {
        double low = 0, high = 0;
    };
    Range averageRange, boughtRange, leastRange, mostRange;
};

// What the range of a ticket's value needs (valuerange.h), learnt with the estimate: how
// uncertain the fitted weights are, the popularity-weighted mean of what each weight counts
// over all tickets (how the normaliser follows the weights), how far off each tier's level of
// winners may be, and the popularity of the combinations the model was tested on.
struct ValueUncertainty
{
    std::vector<double> covariance;         // weights x weights, row-major (numbers, then traits)
    std::vector<double> featureMeans;       // one per weight
    std::array<double, Tiers> levelError{}; // sd of the log of each tier's expected winners
    int levelDraws = 0;                     // the latest draws with sales it was measured on
    // Relative popularity of the drawn combinations of the held-out draws (from the
    // backtest's split with known sales), lowest and highest; none when testedDraws is 0.
    double testedLow = 0;
    double testedHigh = 0;
    int testedDraws = 0;
};

// The conditions of the next draw as the stored payouts tell them: the carry-over of the
// latest draw with payouts goes into the one after it.
struct NextDrawConditions
{
    int fromDraw = 0; // the draw whose payouts give the carry-over; 0 when none
    double carryOver = 0;
};

// The popularity model fitted on a whole history, its sums over combinations, the prize rules
// read from the same history, a table of where every combination sits on the popularity scale
// and the value spectrum at the typical sales: everything a ticket's value needs. It is made
// once per history (a fraction of a second), kept in the database in its stored form
// (storedestimate.h) and read back from it in milliseconds. A fresh estimate is read back from
// the same stored form, so that a fresh and a stored one give the same answers to the bit.
class PopularityEstimate
{
public:
    // Quantiles kept: the popularity under which the least popular 0.00%, 0.01%, .., 100.00% of
    // all combinations lie.
    static constexpr int QuantileSteps = 10000;

    // Fits and sums, then reads the estimate back from its stored form.
    static std::unique_ptr<PopularityEstimate> build(
        const std::vector<DrawObservation> &draws, const FitSettings &settings = {});
    // The key of the estimate of these draws (learningKey of all of them).
    static Digest keyOf(
        const std::vector<DrawObservation> &draws, const FitSettings &settings = {});
    // The stored form of the estimate of these draws, under their key.
    static std::string makeBlob(
        const std::vector<DrawObservation> &draws, const FitSettings &settings = {});
    // The estimate from its stored form; null when the blob is not one whole, undamaged
    // estimate of this version under `key`.
    static std::unique_ptr<PopularityEstimate> fromBlob(std::string_view blob, const Digest &key);

    const PopularityModel &model() const { return m_model; }
    const Neighbourhood &neighbourhood() const { return *m_hood; }
    const PrizeRules &rules() const { return m_rules; }
    TrainingCount training() const { return m_training; }
    bool fitted() const { return m_training.withSales > 0; }

    // The share (0..100) of all combinations less popular than one of this popularity, read
    // from the quantiles (within 0.01 of the exact share, linear between two of them).
    double percentile(double relativePopularity) const;
    // The relative popularity under which the least popular `percent` % of combinations lie:
    // exact, from the quantiles for a whole number of hundredths, else from every combination.
    double leastPopularThreshold(double percent) const;

    // How many combinations lie at or under leastPopularThreshold(percent), each judged by its
    // log weight (rawLogWeight <= log(threshold) + logNormaliser()): kept for a whole number
    // of hundredths, empty otherwise or without a fitted model.
    std::optional<std::uint64_t> leastPopularCount(double percent) const;
    // The same less the pattern tickets of `excluded` among them: kept for the family of the
    // draws learnt from (the fixed kinds and their latest draws), empty for another family.
    std::optional<std::uint64_t> leastPopularCount(
        double percent, const PatternFamily &excluded) const;

    // Values at the given sales (the typical sales when none) and carry-over.
    TicketValuer valuer(std::optional<double> sales = std::nullopt, double carryOver = 0) const;
    // Values at the next draw's conditions: the typical sales and the carry-over into it.
    TicketValuer nextDrawValuer() const;
    const NextDrawConditions &nextDraw() const { return m_next; }
    // The spectrum at the valuer's sales: kept for the typical sales without carry-over and
    // with the next draw's, otherwise made from every combination (a fraction of a second).
    ValueSpectrum spectrum(const TicketValuer &valuer) const;
    const ValueUncertainty &uncertainty() const { return m_uncertainty; }
    // Whether a ticket of this popularity lies outside the popularity of the combinations
    // the model was tested on (always, when it was tested on none).
    bool extrapolated(double relativePopularity) const;

private:
    PopularityEstimate(PopularityModel model, PrizeRules rules, TrainingCount training);

    PopularityModel m_model;
    std::unique_ptr<Neighbourhood> m_hood;
    PrizeRules m_rules;
    TrainingCount m_training;
    std::vector<float> m_quantiles;               // QuantileSteps + 1, ascending
    std::vector<std::uint32_t> m_admitted;        // leastPopularCount at each quantile
    PatternFamily m_family;                       // the family of the draws learnt from
    std::vector<std::uint32_t> m_admittedWithout; // the same less the family's tickets
    ValueSpectrum m_typicalSpectrum;
    ValueSpectrum m_nextSpectrum;
    NextDrawConditions m_next;
    ValueUncertainty m_uncertainty;
};

} // namespace loto6::popularity
