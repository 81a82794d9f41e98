#include "analysis/chance.h"
#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"

#include <cmath>

namespace loto6 {

namespace {

// The test as a standard normal score: its own z for the tests of a mean or a count (the sign
// says above or below the expectation), for a chi-square test the z with the same two-sided
// p-value (never negative: such a test has no direction).
double standardised(const ChanceReport::Test &t)
{
    if (!t.available())
        return NotANumber;
    if (t.method != ChanceReport::Method::ChiSquare)
        return t.statistic;
    return t.pValue >= 1 ? 0.0 : normalUpperQuantile(std::max(t.pValue, 1e-300) / 2);
}

} // namespace

Chart buildChanceChart(const ChartInput &input)
{
    const ChanceReport report = computeChance(input.history);
    ChartPanel panel;
    ChartSeries z{"標準化した偏り", ChartSeries::Role::Observed, ChartSeries::Mark::Bars,
        chartcolors::Observed, {}, {}};
    const int family = report.availableCount();
    const double plain = normalUpperQuantile(report.alpha / 2);
    const double holm = normalUpperQuantile(report.alpha / 2 / std::max(family, 1));
    ChartBand wide{"全体で95%（Holm補正）", 1 - report.alpha, chartcolors::WideBand, {}, {}, {}};
    ChartBand each{"各々95%", 1 - report.alpha, chartcolors::Band, {}, {}, {}};
    for (const ChanceReport::Test &t : report.tests) {
        const auto x = static_cast<double>(panel.xAxis.categories.size());
        panel.xAxis.categories.push_back((t.notable ? "【注目】" : "") + t.title);
        z.x.push_back(x);
        z.y.push_back(standardised(t));
        wide.x.push_back(x);
        wide.low.push_back(-holm);
        wide.high.push_back(holm);
        each.x.push_back(x);
        each.low.push_back(-plain);
        each.high.push_back(plain);
    }
    ChartSeries zero{"期待値", ChartSeries::Role::Expected, ChartSeries::Mark::Points,
        chartcolors::Expected, z.x, std::vector<double>(z.x.size(), 0.0)};
    panel.bands = {std::move(wide), std::move(each)};
    panel.series = {std::move(z), std::move(zero)};
    panel.flagOutside = true;
    panel.xAxis.label = "検定";
    panel.yAxis.label = "標準化残差（z）";
    Chart c;
    c.title = "偶然との比較：標準化した偏り　" + historyRangeText(input.history);
    c.note = "各統計の期待値からの偏りを標準正規の値 z で表します（カイ二乗検定は同じp値の z）。"
             "濃い帯は1つの検定が95%の確率で入る ±"
        + fixedText(plain, 2) + "、薄い帯は" + std::to_string(family)
        + "個の検定をまとめて見たときの Holm 補正の範囲 ±" + fixedText(holm, 2)
        + "。【注目】は Holm 補正後の p 値が " + fixedText(report.alpha, 2) + " 未満の検定です。";
    c.panels.push_back(std::move(panel));
    return c;
}

} // namespace loto6
