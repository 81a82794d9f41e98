#pragma once

#include "popularity/neighbourhood.h"
#include "popularity/observations.h"
#include "popularity/popularityfit.h"
#include "popularity/ticketvalue.h"
#include "store/digest.h"

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

    // Values at the given sales (the typical sales when none) and carry-over.
    TicketValuer valuer(std::optional<double> sales = std::nullopt, double carryOver = 0) const;
    // The spectrum at the valuer's sales: kept for the typical sales without carry-over,
    // otherwise made from every combination (a fraction of a second).
    ValueSpectrum spectrum(const TicketValuer &valuer) const;

private:
    PopularityEstimate(PopularityModel model, PrizeRules rules, TrainingCount training);

    PopularityModel m_model;
    std::unique_ptr<Neighbourhood> m_hood;
    PrizeRules m_rules;
    TrainingCount m_training;
    std::vector<float> m_quantiles;        // QuantileSteps + 1, ascending
    std::vector<std::uint32_t> m_admitted; // leastPopularCount at each quantile
    ValueSpectrum m_typicalSpectrum;
};

} // namespace loto6::popularity
