#pragma once

#include "chart/chartcatalog.h"

namespace loto6 {

struct BacktestReport;

// One builder per chart of the catalog.
Chart buildAppearancesChart(const ChartInput &input);
Chart buildAllAppearancesChart(const ChartInput &input);
Chart buildNumberOverTimeChart(const ChartInput &input);
Chart buildGapChart(const ChartInput &input);
Chart buildSumChart(const ChartInput &input);
Chart buildEvenOddChart(const ChartInput &input);
Chart buildLowHighChart(const ChartInput &input);
Chart buildChanceChart(const ChartInput &input);
Chart buildTicketChart(const ChartInput &input);
Chart buildPopularityChart(const ChartInput &input);

// The prediction check's mean matches per reflection shift, one panel per method that depends
// on the shift, against random picks of the same sizes; the chosen shift is marked.
Chart backtestChart(const BacktestReport &report, int markedShift);

// A panel of category bars (observed counts of n draws) against the exact probability of each
// category: the expected count and the band of each category at `probability`, and, when
// `jointItems` > 1, the wider band that holds all of them at once with that probability.
ChartPanel countsAgainstLaw(std::vector<std::string> categories,
    const std::vector<double> &observed, const std::vector<double> &chance, long long n,
    double probability, int jointItems);

} // namespace loto6
