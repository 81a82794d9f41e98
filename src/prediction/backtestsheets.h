#pragma once

#include "grid/sheet.h"
#include "prediction/backtestreport.h"

#include <span>
#include <string_view>
#include <vector>

namespace loto6 {

inline constexpr std::string_view BacktestSheetName = "backtest";
inline constexpr std::string_view BacktestCaption = "予想の検証";

// The check as tables for a window or a report, each for the given shifts (the cycle methods,
// which no shift changes, appear once):
// backtest — one row per method: mean matches against random picks, range, p-values, verdict;
// backtest-matches — draws with 0..6 matches, observed and expected;
// backtest-prizes — the one-shot six's prize classes, observed and expected;
// backtest-shifts — which switch settings give each shift, and the mean matches per shift
// (the data of a chart over the shifts).
Sheet backtestSheet(const BacktestReport &report, std::span<const int> shifts);
Sheet backtestMatchesSheet(const BacktestReport &report, std::span<const int> shifts);
Sheet backtestPrizesSheet(const BacktestReport &report, std::span<const int> shifts);
Sheet backtestShiftsSheet(const BacktestReport &report, std::span<const int> shifts);
std::vector<Sheet> backtestSheets(const BacktestReport &report, std::span<const int> shifts);

// Every figure of every shown result in one flat table with plain column names (backtest-data),
// for CSV.
Sheet backtestDataSheet(const BacktestReport &report, std::span<const int> shifts);

// The names of the switches that are on, joined by "、"; "なし" when none is.
std::string switchList(const PredictionOptions &options);

} // namespace loto6
