#pragma once

#include "popularity/observations.h"
#include "popularity/popularityfit.h"

#include <array>
#include <optional>
#include <vector>

namespace loto6::popularity {

// The model fitted on the draws before `from` only, then the expected winners of every tier
// of each draw from `from` on, beside what was observed.
struct PopularityBacktest
{
    struct Draw
    {
        int drawNo = 0;
        std::optional<long long> sales;
        // Tickets sold: the sales / 200, or where the sales are unknown, estimated from the
        // draw's 5等 winners (used only for the 1等 calibration).
        double tickets = 0;
        std::array<double, Tiers> predicted{};
        std::array<long long, Tiers> observed{};
    };
    // First-prize winners expected and observed over a group of draws, ordered by expected.
    struct CalibrationGroup
    {
        int draws = 0;
        double predicted = 0;
        long long observed = 0;
        double meanRelativePopularity = 0;
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
};

inline constexpr int DefaultBacktestFrom = 1500;
inline constexpr int CalibrationGroups = 5;

PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const FitSettings &settings = {});
// The same with the model already fitted on the draws before `from` (a stored fit).
PopularityBacktest runPopularityBacktest(
    const std::vector<DrawObservation> &draws, int from, const PopularityModel &model);

} // namespace loto6::popularity
