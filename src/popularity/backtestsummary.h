#pragma once

#include "popularity/popularitybacktest.h"
#include "store/digest.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace loto6::popularity {

// What the popularity chart draws of a running backtest, small enough to store: the counts its
// note names, the R² of tiers 3 to 5, each 1等 calibration group with the exact law of its sum,
// and each checked draw's winners of tiers 3 to 5 against the prediction.
struct BacktestSummary
{
    struct Group
    {
        double meanRelativePopularity = 0;
        double predicted = 0;
        long long observed = 0;
        std::vector<double> law; // PopularityBacktest::groupLaw

        bool operator==(const Group &) const = default;
    };
    // Winners predicted and observed as multiples of what equally popular combinations give.
    struct Point
    {
        double predicted = 0;
        double observed = 0;

        bool operator==(const Point &) const = default;
    };

    int from = 0;
    int checkedDraws = 0;
    int trainingDraws = 0;
    int trainingDrawsWithSales = 0;
    std::array<std::optional<double>, 3> r2{};
    std::vector<Group> firstPrize;
    // Tiers 3, 4, 5: each draw with known sales where both counts are above zero, in draw order.
    std::array<std::vector<Point>, 3> lowerTiers;

    bool operator==(const BacktestSummary &) const = default;
};

BacktestSummary summariseBacktest(const PopularityBacktest &b);

// The summary in the stored form, under the learning key of the draws it came from, and back
// (never trusted: anything not whole, of another key, version or `from` gives nothing).
std::string summaryBlob(const BacktestSummary &summary, const Digest &key);
std::optional<BacktestSummary> summaryFromBlob(std::string_view blob, const Digest &key, int from);

} // namespace loto6::popularity
