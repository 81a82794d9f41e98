#include "popularity/popularitysheets.h"

#include "grid/numbertext.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace loto6::popularity {

const char *const ChanceCaveat = "Popularity never changes the chance of winning: every "
                                 "combination is drawn with the same chance.";
const char *const SharingCaveat = "It changes only how a prize is shared: a tier's pool is "
                                  "divided among everyone who picked a winning combination.";
const char *const EstimateCaveat
    = "The model is an estimate from past winner counts: fitted on the draws before 1500 and "
      "tested on the 137 later draws with known sales, it explains R² 0.62 (3等), 0.77 (4等) "
      "and 0.85 (5等) of the variation in winners, against 0.49, 0.64 and 0.76 for "
      "per-number preferences alone.";

namespace {

Sheet table(std::string name, std::string caption, int rows, std::span<const char *const> header,
    std::span<const double> widths)
{
    const int cols = static_cast<int>(header.size());
    Sheet s{std::move(name), std::move(caption)};
    s.prepare(cols, rows, cols, std::min(rows, 40), 12, 6);
    s.setFrozen(1, 1);
    for (int c = 1; c <= cols; ++c) {
        s.setText(c, 1, header[static_cast<std::size_t>(c - 1)]);
        s.setColWidth(c, widths[static_cast<std::size_t>(c - 1)]);
    }
    s.setColors(1, 1, cols, 1, colors::black, colors::lightPink);
    s.setBorder(1, 1, cols, rows, border::AllSides, colors::lightBlue);
    return s;
}

std::string yen(double v) { return yenText(std::llround(v)); }

// Two decimals for a few, one for hundreds, whole and grouped by thousands above.
std::string count(double v)
{
    return v < 1000 ? fixedText(v, v < 10 ? 2 : 1) : groupedText(std::llround(v));
}

std::string chanceText(int tier)
{
    return "1/" + groupedText(std::llround(1.0 / tierChance(tier)));
}

// A pattern ticket's mark and kind in one cell, the caveat in another, both wide enough.
void markPattern(Sheet &s, int row, int markCol, int caveatCol, const PatternInfo &pattern)
{
    s.setText(markCol, row, patternText(pattern));
    s.setText(caveatCol, row, PatternCaveat);
    s.setColWidth(markCol, 34);
    s.setColWidth(caveatCol, 22);
}

} // namespace

std::string tierLabel(int tier) { return std::to_string(tier) + "等"; }

std::string popularityText(double r) { return "×" + fixedText(r, 2); }

std::string yenRangeText(double low, double high) { return yen(low) + "～" + yen(high); }

std::string gainRangeText(double low, double high)
{
    const auto signedYen = [](double v) { return (v >= 0 ? "+" : "-") + yen(std::abs(v)); };
    return signedYen(low) + "～" + signedYen(high);
}

std::string withRange(double value, const ValueSpectrum::Range &range)
{
    return yen(value) + "（" + yenRangeText(range.low, range.high) + "）";
}

std::string testedText(bool extrapolated)
{
    return extrapolated ? "検証範囲外（外挿）" : "検証範囲内";
}

std::pair<std::string, std::string> conditionSources(
    const PopularityEstimate &estimate, const TicketValuer &valuer)
{
    const PrizeRules &rules = estimate.rules();
    const NextDrawConditions &next = estimate.nextDraw();
    std::pair<std::string, std::string> out{"指定", "指定"};
    if (valuer.sales() == rules.typicalSales)
        out.first = rules.basedOnDraws > 0
            ? "直近" + std::to_string(rules.basedOnDraws) + "回の中央値"
            : std::string("標準");
    if (next.fromDraw > 0 && valuer.carryOver() == next.carryOver)
        out.second = "第" + std::to_string(next.fromDraw) + "回の払戻金から";
    else if (valuer.carryOver() == 0)
        out.second = "なし";
    return out;
}

std::string conditionsText(const PopularityEstimate &estimate, const TicketValuer &valuer)
{
    const auto [sales, carryOver] = conditionSources(estimate, valuer);
    return "販売額 " + yen(valuer.sales()) + "（" + sales + "）・キャリーオーバー "
        + yen(valuer.carryOver()) + "（" + carryOver + "）";
}

std::string patternText(const PatternInfo &pattern)
{
    return std::string(PatternMark) + "（" + pattern.japanese + "）";
}

double shownValue(const TicketValue &v, const PatternInfo *pattern, const ValueSpectrum &spectrum)
{
    return pattern ? std::min(v.expectedValue, spectrum.mostPopularValue) : v.expectedValue;
}

namespace {

// Two rows from `row` on: the sales and the carry-over, each with where it comes from in
// column `source` and its amount in column `amount`.
void setConditionRows(Sheet &s, int row, int source, int amount, const PopularityEstimate &estimate,
    const TicketValuer &valuer)
{
    const auto [sales, carryOver] = conditionSources(estimate, valuer);
    s.setText(1, row, "条件：販売額");
    s.setText(source, row, sales);
    s.setText(amount, row, yen(valuer.sales()));
    s.setText(1, row + 1, "条件：キャリーオーバー");
    s.setText(source, row + 1, carryOver);
    s.setText(amount, row + 1, yen(valuer.carryOver()));
}

} // namespace

ValueContext valueContext(const PopularityEstimate &estimate, const TicketValuer &valuer,
    const TicketValue &value, const ValueSpectrum &spectrum, const PatternInfo *pattern)
{
    ValueContext c;
    c.range = valueRange(estimate, valuer, value, spectrum.averageTicketValue);
    c.withoutCarryOver = valuer.carryOver() > 0
        ? estimate.valuer(valuer.sales(), 0).value(value.numbers).expectedValue
        : value.expectedValue;
    if (pattern) {
        // Capped as the shown value: at most the most popular 1%, the range's top at theirs.
        // A carry-over only adds to a value, so the bound holds without one too.
        const double shown = shownValue(value, pattern, spectrum);
        const double gain = shown - spectrum.averageTicketValue;
        c.range.high = std::max(shown, std::min(c.range.high, spectrum.mostRange.high));
        c.range.low = std::min({c.range.low, spectrum.mostRange.low, shown});
        c.range.gainHigh = std::max(
            gain, std::min(c.range.gainHigh, c.range.high - spectrum.averageTicketValue));
        c.range.gainLow = std::min(c.range.gainLow, gain);
        c.range.extrapolated = true; // a pattern's popularity cannot be estimated
        c.withoutCarryOver = std::min(c.withoutCarryOver, shown);
    }
    return c;
}

Sheet ticketValueSheet(const TicketValue &v, double percentile, const ValueSpectrum &spectrum,
    const ValueContext &context, const PopularityEstimate &estimate, const TicketValuer &valuer,
    const PatternInfo *pattern)
{
    static constexpr const char *Header[]
        = {"等級", "当選確率", "分け合う他の当選口数", "期待賞金"};
    static constexpr double Widths[] = {24, 20, 20, 22};
    Sheet s = table("popularity", "人気度と期待値", 1 + Tiers + 12, Header, Widths);
    for (int t = 1; t <= Tiers; ++t) {
        const int row = 1 + t;
        const auto i = static_cast<std::size_t>(t - 1);
        s.setText(1, row, tierLabel(t));
        s.setText(2, row, chanceText(t));
        s.setText(3, row, pattern ? std::string("-") : count(v.coWinners[i]));
        s.setText(4, row, pattern ? std::string("-") : yen(v.expectedPrize[i]));
    }
    const int r = 2 + Tiers;
    s.setText(1, r, "人気度");
    if (pattern) {
        markPattern(s, r, 2, 4, *pattern);
    } else {
        s.setText(2, r, popularityText(v.relativePopularity));
        s.setText(3, r, "人気の低い順に");
        s.setText(4, r, fixedText(percentile, 1) + "%");
    }
    s.setText(1, r + 1, "期待値（200円）");
    s.setText(4, r + 1, yen(shownValue(v, pattern, spectrum)) + (pattern ? "以下" : ""));
    s.setText(1, r + 2, "平均的な券の期待値");
    s.setText(4, r + 2, withRange(spectrum.averageTicketValue, spectrum.averageRange));
    s.setText(1, r + 3, "最も人気の低い1%");
    s.setText(2, r + 3, popularityText(spectrum.leastPopularBelow) + "以下");
    if (estimate.extrapolated(spectrum.leastPopularBelow))
        s.setText(3, r + 3, testedText(true));
    s.setText(4, r + 3, withRange(spectrum.leastPopularValue, spectrum.leastRange));
    s.setText(1, r + 4, "最も人気の高い1%");
    s.setText(2, r + 4, popularityText(spectrum.mostPopularAbove) + "以上");
    if (estimate.extrapolated(spectrum.mostPopularAbove))
        s.setText(3, r + 4, testedText(true));
    s.setText(4, r + 4, withRange(spectrum.mostPopularValue, spectrum.mostRange));
    s.setText(1, r + 5, "期待値の範囲（95%）");
    s.setText(4, r + 5, yenRangeText(context.range.low, context.range.high));
    s.setText(1, r + 6, "平均との差の範囲");
    s.setText(4, r + 6, gainRangeText(context.range.gainLow, context.range.gainHigh));
    s.setText(1, r + 7, "キャリーオーバーなし");
    s.setText(4, r + 7, yen(context.withoutCarryOver));
    s.setText(1, r + 8, "平均的な買われ方の券");
    s.setText(2, r + 8, "人気で重み付け");
    s.setText(4, r + 8, withRange(spectrum.averageBoughtValue, spectrum.boughtRange));
    s.setText(1, r + 9, "検証範囲");
    s.setText(4, r + 9, testedText(context.range.extrapolated));
    setConditionRows(s, r + 10, 2, 4, estimate, valuer);
    for (int row = 2; row <= r + 11; ++row)
        for (int c = 2; c <= 4; ++c) {
            s.selectCell(c, row);
            s.setHAlign(HAlign::Right);
        }
    return s;
}

Sheet ticketPopularitySheet(const std::vector<LabelledCombination> &tickets,
    const PopularityEstimate &estimate, const TicketValuer &valuer, const ValueSpectrum &spectrum,
    const PatternFamily &patterns)
{
    static constexpr const char *Header[] = {"番号", "第1数字", "第2数字", "第3数字", "第4数字",
        "第5数字", "第6数字", "人気度", "人気の低い順", "期待値", "平均との差",
        "期待値の範囲（95%）", "差の範囲（95%）", "キャリーオーバーなし", "検証範囲"};
    static constexpr double Widths[] = {20, 7, 7, 7, 7, 7, 7, 8, 12, 9, 10, 22, 18, 12, 18};
    Sheet s = table("ticket-popularity", "人気度と期待値（200円あたり）",
        5 + static_cast<int>(tickets.size()), Header, Widths);
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        const int row = 2 + static_cast<int>(i);
        const TicketValue v = valuer.value(tickets[i].numbers);
        const PatternInfo *pattern = patterns.infoOf(tickets[i].numbers);
        s.setText(1, row, tickets[i].label);
        for (int k = 0; k < MainNumberCount; ++k)
            s.setText(2 + k, row, tickets[i].numbers[static_cast<std::size_t>(k)]);
        const double value = shownValue(v, pattern, spectrum);
        const std::string atMost = pattern ? "以下" : "";
        if (pattern) {
            markPattern(s, row, 8, 9, *pattern);
        } else {
            s.setText(8, row, popularityText(v.relativePopularity));
            s.setText(9, row, fixedText(estimate.percentile(v.relativePopularity), 1) + "%");
        }
        s.setText(10, row, yen(value) + atMost);
        const double diff = value - spectrum.averageTicketValue;
        s.setText(11, row, (diff >= 0 ? "+" : "-") + yen(std::abs(diff)) + atMost);
        const ValueContext context = valueContext(estimate, valuer, v, spectrum, pattern);
        s.setText(12, row, yenRangeText(context.range.low, context.range.high));
        s.setText(13, row, gainRangeText(context.range.gainLow, context.range.gainHigh));
        s.setText(14, row, yen(context.withoutCarryOver));
        s.setText(15, row, testedText(context.range.extrapolated));
    }
    const int last = 2 + static_cast<int>(tickets.size());
    s.setText(1, last, "平均的な券");
    s.setText(8, last, popularityText(1.0));
    s.setText(10, last, yen(spectrum.averageTicketValue));
    s.setText(12, last, yenRangeText(spectrum.averageRange.low, spectrum.averageRange.high));
    s.setText(1, last + 1, "平均的な買われ方の券");
    s.setText(10, last + 1, yen(spectrum.averageBoughtValue));
    s.setText(12, last + 1, yenRangeText(spectrum.boughtRange.low, spectrum.boughtRange.high));
    setConditionRows(s, last + 2, 12, 10, estimate, valuer);
    return s;
}

std::string predictedCountText(double mean, std::pair<long long, long long> interval)
{
    return count(mean) + "（" + groupedText(interval.first) + "～" + groupedText(interval.second)
        + "）";
}

Sheet backtestDrawsSheet(const PopularityBacktest &b)
{
    static constexpr const char *Header[] = {"回", "販売実績額", "予想1等", "予想2等", "予想3等",
        "予想4等", "予想5等", "1等", "2等", "3等", "4等", "5等", "学んだ回"};
    static constexpr double Widths[] = {6, 15, 14, 14, 16, 24, 28, 5, 5, 6, 7, 8, 12};
    Sheet s = table("popularity-backtest",
        "人気度モデルの検証（第" + std::to_string(b.from) + "回から）",
        1 + static_cast<int>(b.draws.size()), Header, Widths);
    for (std::size_t i = 0; i < b.draws.size(); ++i) {
        const PopularityBacktest::Draw &d = b.draws[i];
        const int row = 2 + static_cast<int>(i);
        s.setText(1, row, d.drawNo);
        s.setText(2, row, d.sales ? yenText(*d.sales) : std::string("不明"));
        for (std::size_t t = 0; t < Tiers; ++t) {
            s.setText(3 + static_cast<int>(t), row,
                d.sales ? predictedCountText(d.predicted[t], d.interval(t)) : std::string());
            s.setText(8 + static_cast<int>(t), row, d.observed[t]);
        }
        s.setText(13, row, "第" + std::to_string(d.fittedBefore - 1) + "回まで");
    }
    return s;
}

namespace {

void likelihoodRows(Sheet &s, int first, const PopularityBacktest &b, const PopularityBacktest *n)
{
    const PopularityBacktest::Likelihood &l = b.likelihood;
    for (std::size_t t = 0; t < Tiers; ++t) {
        const int row = first + static_cast<int>(t);
        s.setText(1, row, "対数尤度（" + tierLabel(static_cast<int>(t) + 1) + "）");
        s.setText(2, row, fixedText(l.model[t], 1));
        s.setText(3, row, n ? fixedText(n->likelihood.model[t], 1) : std::string("-"));
        s.setText(4, row, fixedText(l.poisson[t], 1));
        s.setText(5, row, fixedText(l.uniform[t], 1));
        s.setText(6, row, l.draws);
    }
    const auto p = [](const std::optional<double> &v) { return v ? pValueText(*v) : "-"; };
    s.setText(1, first + Tiers, "1等のPIT（一様さのKS検定 p値）");
    s.setText(2, first + Tiers, p(b.firstPrizePitP));
    s.setText(3, first + Tiers, n ? p(n->firstPrizePitP) : std::string("-"));
    s.setText(6, first + Tiers, l.draws);
}

} // namespace

Sheet backtestSummarySheet(const PopularityBacktest &b, const PopularityBacktest *perNumber)
{
    static constexpr const char *Header[] = {
        "項目", "このモデル", "数字ごとの人気だけ", "集中なし（ポアソン）", "均等な買い方", "回数"};
    static constexpr double Widths[] = {28, 12, 18, 20, 14, 8};
    const int groups = static_cast<int>(b.firstPrize.size());
    const int rows = 1 + 3 + groups + Tiers + 1;
    Sheet s = table("popularity-summary", "検証の要約", rows, Header, Widths);
    const auto r2
        = [](const std::optional<double> &v) { return v ? fixedText(*v, 3) : std::string("-"); };
    for (std::size_t k = 0; k < 3; ++k) {
        const int row = 2 + static_cast<int>(k);
        s.setText(1, row, "R²（" + tierLabel(static_cast<int>(k) + 3) + "）");
        s.setText(2, row, r2(b.r2[k]));
        s.setText(3, row, perNumber ? r2(perNumber->r2[k]) : std::string("-"));
        s.setText(6, row, b.r2Draws[k]);
    }
    const double joint = std::pow(0.95, 1.0 / std::max(groups, 1));
    for (std::size_t g = 0; g < b.firstPrize.size(); ++g) {
        const PopularityBacktest::CalibrationGroup &c = b.firstPrize[g];
        const int row = 5 + static_cast<int>(g);
        const auto band = bandOf(b.groupLaw(g), joint);
        s.setText(1, row,
            "1等 組" + std::to_string(g + 1) + "（人気度" + popularityText(c.meanRelativePopularity)
                + "）");
        s.setText(2, row, "予想 " + fixedText(c.predicted, 1));
        s.setText(3, row, "実際 " + std::to_string(c.observed));
        s.setText(4, row,
            "全組95%範囲 " + std::to_string(band.first) + "～" + std::to_string(band.second));
        s.setText(6, row, c.draws);
    }
    likelihoodRows(s, 5 + groups, b, perNumber);
    return s;
}

} // namespace loto6::popularity
