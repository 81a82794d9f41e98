#pragma once

#include "chart/chart.h"
#include "popularity/backtestsummary.h"
#include "popularity/observations.h"
#include "store/drawhistory.h"
#include "store/totals.h"

#include <functional>
#include <map>
#include <span>
#include <string_view>
#include <vector>

namespace loto6 {

class TicketGrading;
struct DrawPrizes;

// What a chart is built from: the history in use (cut at 基準回) and its totals, the number of
// the chart of one number, and the graded ticket book for the ticket chart.
struct ChartInput
{
    const DrawHistory &history;
    const Totals &totals;
    int number = 1;
    const TicketGrading *tickets = nullptr;
    const std::map<int, DrawPrizes> *prizes = nullptr; // the stored payouts by draw number
    // Gives what the popularity chart draws of the running backtest from a draw (a stored
    // summary); when empty, the popularity chart runs the backtest itself.
    std::function<popularity::BacktestSummary(
        const std::vector<popularity::DrawObservation> &, int from)>
        popularitySummary = {};
};

// A chart of the catalog: its command-line name, caption, one line on what it shows, the
// table whose window offers it (an analysis name, "chance", "tickets" or "popularity"), what
// else it needs
// and its builder.
struct ChartInfo
{
    std::string_view name;
    std::string_view caption;
    std::string_view description;
    std::string_view table;
    bool needsNumber;
    bool needsTickets;
    bool needsPayouts; // the stored payouts by draw, besides the history
    Chart (*build)(const ChartInput &);
};

std::span<const ChartInfo> charts();
// By name; nullptr when unknown.
const ChartInfo *findChart(std::string_view name);
// The charts a table's window offers, in catalog order.
std::vector<const ChartInfo *> chartsOfTable(std::string_view table);

// Builds the chart and names it after its catalog entry.
Chart buildChart(const ChartInfo &info, const ChartInput &input);

} // namespace loto6
