#pragma once

#include "grid/sheet.h"
#include "popularity/patterns.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"

#include <string>

namespace loto6::popularity {

// The expected value a rating shows: the model's, or for a pattern ticket (pattern not null)
// an upper bound, at most that of the most popular 1%: never above the average ticket's.
double shownValue(
    const TicketValue &value, const PatternInfo *pattern, const ValueSpectrum &spectrum);

// A ticket's worth: per tier its chance, the other winners expected to share it and the
// expected prize; then the expected value beside the average ticket's and the spectrum. A
// pattern ticket is marked PatternMark with PatternCaveat and its kind, its shares are not
// shown and its value is shownValue's bound.
Sheet ticketValueSheet(const TicketValue &value, double percentile, const ValueSpectrum &spectrum,
    const PatternInfo *pattern);

// Tickets side by side: each one's popularity, its place among all combinations and its
// expected value, then the average (random) ticket's; a pattern ticket of the family is
// marked as in ticketValueSheet.
struct LabelledCombination
{
    std::string label;
    Combination numbers{};
};
Sheet ticketPopularitySheet(const std::vector<LabelledCombination> &tickets,
    const PopularityEstimate &estimate, const TicketValuer &valuer, const ValueSpectrum &spectrum,
    const PatternFamily &patterns);

// The backtest, one row per draw (predicted and observed winners of each tier, and the draw
// before which its model was fitted), and its summary (R² per tier, the 1等 calibration groups
// with their joint 95% bounds, the held-out log-likelihood of each tier against the Poisson law
// and uniform play, the 1等 PIT test).
Sheet backtestDrawsSheet(const PopularityBacktest &b);
Sheet backtestSummarySheet(const PopularityBacktest &b, const PopularityBacktest *perNumber);

// "1等".."5等".
std::string tierLabel(int tier);
// "×1.23": a relative popularity as the command line and the windows show it.
std::string popularityText(double relativePopularity);
// "よく買われる型（4個以上の連番）"
std::string patternText(const PatternInfo &pattern);

// What the model cannot do, one sentence each, for the command line's help and output.
extern const char *const ChanceCaveat;
extern const char *const SharingCaveat;
extern const char *const EstimateCaveat;

} // namespace loto6::popularity
