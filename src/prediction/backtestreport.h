#pragma once

#include "prediction/backtest.h"
#include "store/drawprizes.h"
#include "store/drawrecord.h"

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace loto6 {

// The walk-forward outcomes set beside random picks: for each method (and each shift where the
// method depends on it) the observed and expected matches, the exact law of their total under
// random picks of the same sizes, a two-sided p-value, its Holm adjustment over every
// comparison of the report and one sentence for the reader.
struct BacktestReport
{
    static constexpr int MaxMatches = MainNumberCount;
    static constexpr int PrizeClasses = 5; // 1等..5等

    struct Result
    {
        Backtest::Method method = Backtest::Cycle7;
        int shift = -1; // -1: the cycle methods, the same for every shift
        std::string key;
        std::string title;
        int draws = 0;         // checked draws
        long long picks = 0;   // numbers listed over all checked draws
        long long matches = 0; // of them among the draws' main numbers
        double observedMean = std::numeric_limits<double>::quiet_NaN();
        double expectedMean = std::numeric_limits<double>::quiet_NaN();
        // Central 95% range of the mean matches for random picks of the same sizes.
        double rangeLow = std::numeric_limits<double>::quiet_NaN();
        double rangeHigh = std::numeric_limits<double>::quiet_NaN();
        std::array<int, MaxMatches + 1> observedCounts{};    // draws with m matches
        std::array<double, MaxMatches + 1> expectedCounts{}; // sum over draws of P(m)
        double pValue = std::numeric_limits<double>::quiet_NaN();
        double adjustedP = std::numeric_limits<double>::quiet_NaN();
        bool notable = false; // adjustedP below alpha
        std::string verdict;

        // One-shot only: draws on which it showed six numbers, i.e. a ticket, and its prizes.
        bool hasPrizes = false;
        int tickets = 0;
        std::array<int, PrizeClasses> observedPrizes{};
        std::array<double, PrizeClasses> expectedPrizes{};
        // Yen per unit won in each class on the draws whose payouts are known, and the wins
        // on draws whose payout is not stored.
        std::array<long long, PrizeClasses> prizeYen{};
        std::array<int, PrizeClasses> unknownPrizes{};

        bool available() const { return !std::isnan(pValue); }
        bool better() const { return notable && observedMean > expectedMean; }
        bool worse() const { return notable && observedMean < expectedMean; }
    };

    int from = Backtest::DefaultFrom;
    int completeDraws = 0;
    int draws = 0;
    int firstDrawNo = 0;
    int lastDrawNo = 0;
    double alpha = 0.05;
    int testCount = 0;           // comparisons in the Holm family
    std::vector<Result> results; // the cycle methods, then per shift 0..92 the other three
    std::string pValueMethod;
    std::string verdict; // the whole check in one sentence

    const Result *find(Backtest::Method method, int shift) const;
    int betterCount() const;
    int worseCount() const;
    // Mean matches per shift 0..92 of a method, observed and expected under random picks.
    std::vector<double> observedMeans(Backtest::Method method) const;
    std::vector<double> expectedMeans(Backtest::Method method) const;
};

// Chance of each prize class (1等..5等) for one random six-number ticket.
std::array<double, BacktestReport::PrizeClasses> prizeChances();
// Prize class 1..5 of a six-number ticket, 0 for none.
int prizeClass(int matches, bool bonus);

// prizes: the stored payouts by draw number, for the yen of the one-shot's wins.
BacktestReport makeBacktestReport(
    const Backtest &backtest, const std::map<int, DrawPrizes> &prizes = {}, double alpha = 0.05);

} // namespace loto6
