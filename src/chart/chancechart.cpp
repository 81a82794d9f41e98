#include "analysis/chance.h"
#include "analysis/probability.h"
#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"

#include <algorithm>
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
    std::vector<double> p;
    for (const ChanceReport::Test &t : report.tests)
        p.push_back(t.pValue);
    // Holm's whole step-down: each test's band at the level the step-down judges it at.
    const std::vector<double> levels = holmLevels(p, report.alpha);
    ChartBand wide{"全体で95%（Holm法）", 1 - report.alpha, chartcolors::WideBand, {}, {}, {}};
    ChartBand each{"各々95%", 1 - report.alpha, chartcolors::Band, {}, {}, {}};
    double widest = plain, narrowest = NotANumber;
    for (std::size_t i = 0; i < report.tests.size(); ++i) {
        const ChanceReport::Test &t = report.tests[i];
        const auto x = static_cast<double>(panel.xAxis.categories.size());
        const double holm = t.available() ? normalUpperQuantile(levels[i] / 2) : plain;
        widest = std::max(widest, holm);
        narrowest = std::isnan(narrowest) ? holm : std::min(narrowest, holm);
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
    const double low = std::isnan(narrowest) ? plain : narrowest;
    c.note = "各統計の期待値からの偏りを標準正規の値 z で表します（カイ二乗検定は同じp値の z）。"
             "濃い帯は1つの検定が95%の確率で入る ±"
        + fixedText(plain, 2) + "、薄い帯は" + std::to_string(family)
        + "個の検定をまとめて見たときの Holm 法の段階的な境界です：p値の小さいほうから k 番目の"
          "検定は ±z(α/("
        + std::to_string(family)
        + "−k+1))、最初に外れなかった検定から先は"
          "その境界のままです（"
        + (widest - low > 0.005 ? "±" + fixedText(widest, 2) + "～±" + fixedText(low, 2)
                                : "この履歴ではどれも ±" + fixedText(widest, 2))
        + "）。薄い帯の外の検定が【注目】（Holm 補正後の p 値が " + fixedText(report.alpha, 2)
        + " 未満）です。";
    c.panels.push_back(std::move(panel));
    return c;
}

} // namespace loto6
