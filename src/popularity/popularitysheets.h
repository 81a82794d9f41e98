#pragma once

#include "grid/sheet.h"
#include "popularity/patterns.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"
#include "popularity/valuerange.h"

#include <string>
#include <utility>

namespace loto6::popularity {

// The expected value a rating shows: the model's, or for a pattern ticket (pattern not null)
// an upper bound, at most that of the most popular 1%: never above the average ticket's.
double shownValue(
    const TicketValue &value, const PatternInfo *pattern, const ValueSpectrum &spectrum);

// What stands beside a ticket's value: its 95% range and its gain's, whether it lies outside
// what the model was tested on, its value without a carry-over, and the conditions. For a
// pattern ticket every figure is capped as shownValue is (the range's top at the most popular
// 1%'s) and it is always outside what the model was tested on.
struct ValueContext
{
    ValueRange range;
    double withoutCarryOver = 0;
};
ValueContext valueContext(const PopularityEstimate &estimate, const TicketValuer &valuer,
    const TicketValue &value, const ValueSpectrum &spectrum, const PatternInfo *pattern = nullptr);

// Where the conditions of a value come from: the sales ("直近100回の中央値", "指定") and the
// carry-over ("第2144回の払戻金から", "なし", "指定").
std::pair<std::string, std::string> conditionSources(
    const PopularityEstimate &estimate, const TicketValuer &valuer);
// The conditions in words: "販売額 1,500,000,000円（直近100回の中央値）・キャリーオーバー
// 0円（なし）".
std::string conditionsText(const PopularityEstimate &estimate, const TicketValuer &valuer);
// "¥70～¥95", and a gain's "-¥5～+¥10".
std::string yenRangeText(double low, double high);
std::string gainRangeText(double low, double high);
// "83円（75円～90円）": a value with its range.
std::string withRange(double value, const ValueSpectrum::Range &range);
// "検証範囲外（外挿）" for a ticket outside what the model was tested on, else "検証範囲内".
std::string testedText(bool extrapolated);

// A ticket's worth: per tier its chance, the other winners expected to share it and the
// expected prize; then the expected value with its range beside the average ticket's and the
// spectrum, and the conditions. A pattern ticket is marked PatternMark with PatternCaveat and
// its kind, its shares are not shown and its value is shownValue's bound.
Sheet ticketValueSheet(const TicketValue &value, double percentile, const ValueSpectrum &spectrum,
    const ValueContext &context, const PopularityEstimate &estimate, const TicketValuer &valuer,
    const PatternInfo *pattern);

// Tickets side by side: each one's popularity, its place among all combinations, its
// expected value with its range, its gain's range, its value without a carry-over and whether
// it was tested, then the average (random) ticket's, the average bought ticket's and the
// conditions; a pattern ticket of the family is marked as in ticketValueSheet.
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
// "1.23（0～4）", "12,345（11,020～13,710）": a predicted winner count with its 95% interval.
std::string predictedCountText(double mean, std::pair<long long, long long> interval);
// "×1.23": a relative popularity as the command line and the windows show it.
std::string popularityText(double relativePopularity);
// "よく買われる型（4個以上の連番）"
std::string patternText(const PatternInfo &pattern);

// What the model cannot do, one sentence each, for the command line's help and output.
extern const char *const ChanceCaveat;
extern const char *const SharingCaveat;
extern const char *const EstimateCaveat;

} // namespace loto6::popularity
