#pragma once

#include "grid/sheet.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"

#include <string>

namespace loto6::popularity {

// A ticket's worth: per tier its chance, the other winners expected to share it and the
// expected prize; then the expected value beside the average ticket's and the spectrum.
Sheet ticketValueSheet(const TicketValue &value, double percentile, const ValueSpectrum &spectrum);

// Tickets side by side: each one's popularity, its place among all combinations and its
// expected value, then the average (random) ticket's.
struct LabelledCombination
{
    std::string label;
    Combination numbers{};
};
Sheet ticketPopularitySheet(const std::vector<LabelledCombination> &tickets,
    const PopularityEstimate &estimate, const TicketValuer &valuer, const ValueSpectrum &spectrum);

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

// What the model cannot do, one sentence each, for the command line's help and output.
extern const char *const ChanceCaveat;
extern const char *const SharingCaveat;
extern const char *const EstimateCaveat;

} // namespace loto6::popularity
