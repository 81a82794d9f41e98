#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"
#include "popularity/backtestsummary.h"
#include "popularity/popularitysheets.h"
#include "store/drawprizes.h"

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

using popularity::BacktestSummary;

// The 1等 winners of each calibration group, least popular first, against the model's
// prediction, with the bounds of the exact law of their sum under each draw's count law (the
// crowds make it wider than a binomial count's).
ChartPanel firstPrizePanel(const BacktestSummary &b)
{
    ChartPanel panel;
    panel.title = "1等：予想した当せん口数と実際（予想の少ない回から5組）";
    const int groups = static_cast<int>(b.firstPrize.size());
    const double joint = jointBandProbability(0.95, groups);
    ChartBand wide{"全組が95%で入る範囲", 0.95, chartcolors::WideBand, {}, {}, {}};
    ChartBand each{"各組が95%で入る範囲", 0.95, chartcolors::Band, {}, {}, {}};
    ChartSeries seen{"実際の当せん口数", ChartSeries::Role::Observed, ChartSeries::Mark::Bars,
        chartcolors::Observed, {}, {}};
    ChartSeries predicted{"モデルの予想", ChartSeries::Role::Expected, ChartSeries::Mark::Points,
        chartcolors::Expected, {}, {}};
    for (int g = 0; g < groups; ++g) {
        const BacktestSummary::Group &group = b.firstPrize[static_cast<std::size_t>(g)];
        const auto x = static_cast<double>(g);
        panel.xAxis.categories.push_back("組" + std::to_string(g + 1) + "（人気度×"
            + fixedText(group.meanRelativePopularity, 2) + "）");
        const auto plain = popularity::bandOf(group.law, 0.95);
        const auto all = popularity::bandOf(group.law, joint);
        for (ChartBand *band : {&wide, &each})
            band->x.push_back(x);
        wide.low.push_back(static_cast<double>(all.first));
        wide.high.push_back(static_cast<double>(all.second));
        each.low.push_back(static_cast<double>(plain.first));
        each.high.push_back(static_cast<double>(plain.second));
        seen.x.push_back(x);
        seen.y.push_back(static_cast<double>(group.observed));
        predicted.x.push_back(x);
        predicted.y.push_back(group.predicted);
    }
    panel.bands = {std::move(wide), std::move(each)};
    panel.series = {std::move(seen), std::move(predicted)};
    panel.flagOutside = true;
    panel.xAxis.label = "予想した人気度の組";
    panel.yAxis.label = "1等の当せん口数";
    panel.yAxis.unit = "口";
    panel.yAxis.min = 0;
    return panel;
}

// Each checked draw with known sales, tiers 3 to 5: winners observed against predicted, both
// as a multiple of what equally popular combinations would give; on the line the model is
// exactly right.
ChartPanel lowerTiersPanel(const BacktestSummary &b)
{
    ChartPanel panel;
    panel.title = "3等～5等：予想した当せん口数と実際（回ごと、人気が均等な場合を1とする比）";
    static constexpr std::array<Rgb, 3> Colours
        = {chartcolors::Secondary, chartcolors::Observed, rgb(60, 150, 80)};
    double lo = 1, hi = 1;
    for (int t = 3; t <= 5; ++t) {
        ChartSeries tier{popularity::tierLabel(t), ChartSeries::Role::Observed,
            ChartSeries::Mark::Points, Colours[static_cast<std::size_t>(t - 3)], {}, {}};
        for (const BacktestSummary::Point &p : b.lowerTiers[static_cast<std::size_t>(t - 3)]) {
            tier.x.push_back(p.predicted);
            tier.y.push_back(p.observed);
            lo = std::min({lo, tier.x.back(), tier.y.back()});
            hi = std::max({hi, tier.x.back(), tier.y.back()});
        }
        panel.series.push_back(std::move(tier));
    }
    panel.series.push_back({"予想どおり", ChartSeries::Role::Expected, ChartSeries::Mark::Line,
        chartcolors::Expected, {lo, hi}, {lo, hi}});
    panel.xAxis.label = "予想（人気が均等な場合との比）";
    panel.yAxis.label = "実際（人気が均等な場合との比）";
    return panel;
}

std::string validationNote(const BacktestSummary &b)
{
    std::string r2;
    for (int k = 0; k < 3; ++k)
        if (const auto &v = b.r2[static_cast<std::size_t>(k)])
            r2 += (r2.empty() ? "" : "、") + popularity::tierLabel(k + 3) + " " + fixedText(*v, 3);
    return "第" + std::to_string(b.from) + "回以降の" + groupedText(b.checkedDraws)
        + "回を、それぞれ" + std::to_string(popularity::RefitEvery)
        + "回ごとにその前の回だけで学び直したモデルで予想し、当せん口数をどれだけ当てたかを示します"
          "（新しい回の払戻金が入るたびに加わります。最初のモデルは第"
        + std::to_string(b.from) + "回より前の" + groupedText(b.trainingDraws)
        + "回、販売実績額の分かる回 " + groupedText(b.trainingDrawsWithSales)
        + "回で学びました）。1等は予想の少ない回から5組に分け、帯は予想が正しいときに実際の口数が95"
          "%"
          "の確率で入る範囲です。同じ組合せに買う人が集まる回があるため、1等の口数はポアソン分布よ"
          "り"
          "ばらつく法則（負の二項分布と人気の集中の混合）で見ています。"
        + (r2.empty() ? std::string() : "3等～5等の対数の比の決定係数 R²：" + r2 + "。")
        + "人気度は当せんの確率を変えません（どの組合せも同じ確率で抽選されます）。";
}

} // namespace

Chart buildPopularityChart(const ChartInput &input)
{
    Chart c;
    c.title = "人気度モデルの検証　" + historyRangeText(input.history);
    const std::map<int, DrawPrizes> none;
    const std::vector<popularity::DrawObservation> draws
        = popularity::observationsOf(input.history, input.prizes ? *input.prizes : none);
    const int from = popularity::DefaultBacktestFrom;
    const BacktestSummary b = input.popularitySummary
        ? input.popularitySummary(draws, from)
        : popularity::summariseBacktest(popularity::runRunningBacktest(
            draws, from, [&](int before) { return popularity::fitPopularity(draws, before); }));
    if (b.checkedDraws == 0 || b.trainingDrawsWithSales == 0) {
        c.note = "第" + std::to_string(popularity::DefaultBacktestFrom)
            + "回より前の販売実績額と、それ以降の払戻金の保存された回がないため、検証できません。"
              "払戻金を取り込むと表示します。";
        return c;
    }
    c.panels.push_back(firstPrizePanel(b));
    c.panels.push_back(lowerTiersPanel(b));
    c.note = validationNote(b);
    return c;
}

} // namespace loto6
