#pragma once

#include "popularity/observations.h"
#include "popularity/popularityfit.h"

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace loto6::popularity {

// Each draw from `from` on predicted by a model fitted on the draws before it only (one fit for
// all, or a running one: refitted every RefitEvery draws), the expected winners of every tier
// and their chance law beside what was observed.
// The probability of the interval shown beside each predicted winner count.
inline constexpr double PredictedInterval = 0.95;

struct PopularityBacktest
{
    struct Draw
    {
        int drawNo = 0;
        int fittedBefore = 0; // the model that predicts it learnt from the draws before this
        std::optional<long long> sales;
        // Tickets sold: the sales / 200, or where the sales are unknown, estimated from the
        // draw's 5等 winners (used only for the 1等 calibration).
        double tickets = 0;
        std::array<double, Tiers> predicted{}; // the mean of the count law
        std::array<double, Tiers> modelMean{}; // what the count law is taken about
        std::array<CountLaw, Tiers> law{};
        std::array<long long, Tiers> observed{};

        // The 95% interval of tier index t's count under its law (bounds as bandOf's).
        std::pair<long long, long long> interval(std::size_t t) const
        {
            return law[t].interval(modelMean[t], PredictedInterval);
        }
    };
    // First-prize winners expected and observed over a group of draws, ordered by expected.
    struct CalibrationGroup
    {
        int draws = 0;
        double predicted = 0;
        long long observed = 0;
        double meanRelativePopularity = 0;
        std::vector<std::size_t> members; // indexes into draws
    };
    // Held-out log-likelihood of each tier's winner counts over the draws with known sales:
    // under the model with its count laws, under the Poisson law about the same means (the
    // model before the count laws), and under uniform play (Poisson about tickets × the
    // tier's chance, as though every combination were equally chosen).
    struct Likelihood
    {
        std::array<double, Tiers> model{}, poisson{}, uniform{};
        int draws = 0;
    };

    int from = 0;
    int trainingDraws = 0;
    int trainingDrawsWithSales = 0;
    std::vector<Draw> draws;
    // R² of log(observed / expected of equally popular combinations), tiers 3, 4, 5, over the
    // draws with known sales; empty where fewer than three draws qualify.
    std::array<std::optional<double>, 3> r2{};
    std::array<int, 3> r2Draws{};
    std::vector<CalibrationGroup> firstPrize;
    Likelihood likelihood;
    // Kolmogorov–Smirnov p-value of the randomized PIT values of the 1等 counts of the draws
    // with known sales (each draw's uniform draw seeded by its number).
    std::optional<double> firstPrizePitP;

    // The law of a calibration group's 1等 winners: their sum under each draw's count law
    // (bandOf gives its bounds).
    std::vector<double> groupLaw(std::size_t group) const;
};

inline constexpr int DefaultBacktestFrom = 1500;
inline constexpr int CalibrationGroups = 5;
// The running backtest fits again at from, from + RefitEvery, ..: each draw is predicted by
// the fit before its block, so a new draw needs a new fit only at a block's start.
inline constexpr int RefitEvery = 100;

PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const FitSettings &settings = {});
// The same with the model already fitted on the draws before `from` (a stored fit).
PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const PopularityModel &model);

// The running calibration: every draw from `from` on predicted by fitBefore(start), the model
// fitted on the draws before the start of its block of RefitEvery draws.
using FitBefore = std::function<PopularityModel(int beforeDraw)>;
PopularityBacktest runRunningBacktest(
    const std::vector<DrawObservation> &draws, int from, const FitBefore &fitBefore);

// The draw with known sales whose first-prize count is least likely under the model: P(K >= k)
// of its observed k (draw number 0 when no draw has sales).
struct SmallestTail
{
    int drawNo = 0;
    long long observed = 0;
    double mean = 0;
    double tail = 1;
};
SmallestTail smallestFirstPrizeTail(
    const std::vector<DrawObservation> &draws, const PopularityModel &model);

} // namespace loto6::popularity
