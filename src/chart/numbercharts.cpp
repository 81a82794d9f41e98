#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace loto6 {

namespace {

std::vector<std::string> numberLabels()
{
    std::vector<std::string> labels;
    for (int n = 1; n <= HighestNumber; ++n)
        labels.push_back(twoDigitText(n));
    return labels;
}

Chart appearances(const ChartInput &input, bool withBonus)
{
    const std::vector<ChartDraw> draws = chartDraws(input.history);
    std::vector<double> counts(HighestNumber, 0.0);
    for (const ChartDraw &d : draws) {
        for (int n = 1; n <= HighestNumber; ++n)
            counts[static_cast<std::size_t>(n - 1)] += static_cast<double>((d.mainMask >> n) & 1u);
        if (withBonus)
            counts[static_cast<std::size_t>(d.bonus - 1)] += 1;
    }
    const int picks = withBonus ? MainNumberCount + 1 : MainNumberCount;
    const double p = static_cast<double>(picks) / HighestNumber;
    const auto n = static_cast<long long>(draws.size());
    Chart c;
    ChartPanel panel = countsAgainstLaw(
        numberLabels(), counts, std::vector<double>(HighestNumber, p), n, 0.95, HighestNumber);
    panel.xAxis.label = "数字";
    // The counts lie far from zero: the axis starts near them, so that the bands show.
    panel.yAxis.min = std::numeric_limits<double>::quiet_NaN();
    panel.yAxis.label = withBonus ? "本数字＋ボーナス数字の出現回数" : "本数字の出現回数";
    panel.yAxis.unit = "回";
    c.title = std::string(withBonus ? "本数字＋ボーナス数字" : "本数字") + "の出現回数　"
        + historyRangeText(input.history);
    c.note = "黒い横線は公平な抽選での期待値（" + std::to_string(n) + "回×" + std::to_string(picks)
        + "/" + std::to_string(HighestNumber) + " = " + fixedText(static_cast<double>(n) * p, 1)
        + "回）。濃い帯は各数字が95%の確率で入る範囲、薄い帯は43個すべてが同時に95%の確率で入る範囲"
          "です。43個のうち2個ほどが濃い帯の外に出るのは偶然でも普通のことで、薄い帯の外に出た数字"
          "（赤）だけが偶然では説明しにくい偏りです。";
    c.panels.push_back(std::move(panel));
    return c;
}

} // namespace

ChartPanel countsAgainstLaw(std::vector<std::string> categories,
    const std::vector<double> &observed, const std::vector<double> &chance, long long n,
    double probability, int jointItems)
{
    ChartPanel panel;
    panel.xAxis.categories = std::move(categories);
    ChartBand joint{"全体で" + fixedText(probability * 100, 0) + "%の帯", probability,
        chartcolors::WideBand, {}, {}, {}};
    ChartBand each{"各々" + fixedText(probability * 100, 0) + "%の帯", probability,
        chartcolors::Band, {}, {}, {}};
    ChartSeries seen{"観測", ChartSeries::Role::Observed, ChartSeries::Mark::Bars,
        chartcolors::Observed, {}, observed};
    ChartSeries expected{"期待値", ChartSeries::Role::Expected, ChartSeries::Mark::Points,
        chartcolors::Expected, {}, {}};
    const double jointProbability = jointBandProbability(probability, jointItems);
    CountBand b, j;
    for (std::size_t i = 0; i < chance.size(); ++i) {
        const auto x = static_cast<double>(i);
        // Categories of the same chance (the 43 numbers) share their bands.
        if (i == 0 || chance[i] != chance[i - 1]) {
            b = binomialBand(n, chance[i], probability);
            j = binomialBand(n, chance[i], jointProbability);
        }
        each.x.push_back(x);
        each.low.push_back(static_cast<double>(b.low));
        each.high.push_back(static_cast<double>(b.high));
        joint.x.push_back(x);
        joint.low.push_back(static_cast<double>(j.low));
        joint.high.push_back(static_cast<double>(j.high));
        seen.x.push_back(x);
        expected.x.push_back(x);
        expected.y.push_back(static_cast<double>(n) * chance[i]);
    }
    if (jointItems > 1)
        panel.bands.push_back(std::move(joint));
    panel.bands.push_back(std::move(each));
    panel.series.push_back(std::move(seen));
    panel.series.push_back(std::move(expected));
    panel.flagOutside = true;
    panel.yAxis.min = 0;
    return panel;
}

Chart buildAppearancesChart(const ChartInput &input) { return appearances(input, false); }

Chart buildAllAppearancesChart(const ChartInput &input) { return appearances(input, true); }

namespace {

// The per-draw band and the whole-path band of a fair number's running count, on the count
// and on its difference from the expectation.
struct RunningBands
{
    ChartBand each{"各回95%の帯", 0.95, chartcolors::Band, {}, {}, {}};
    ChartBand path{"推移全体で95%の帯", 0.95, chartcolors::WideBand, {}, {}, {}};
    ChartBand eachOff = each;
    ChartBand pathOff = path;
    double leaves = 0; // the chance that a fair number leaves the per-draw band somewhere

    RunningBands(const std::vector<ChartDraw> &draws, double p)
    {
        const auto n = static_cast<long long>(draws.size());
        const std::vector<CountBand> each95 = binomialBandsUpTo(n, p, 0.95);
        const std::vector<CountBand> whole = pathBands(n, p, 0.95);
        leaves = 1 - pathInsideProbability(each95, p);
        for (std::size_t k = 0; k < draws.size(); ++k) {
            const auto x = static_cast<double>(draws[k].drawNo);
            const double mean = static_cast<double>(k + 1) * p;
            add(each, eachOff, x, each95[k + 1], mean);
            add(path, pathOff, x, whole[k + 1], mean);
        }
    }

    static void add(ChartBand &band, ChartBand &off, double x, CountBand b, double mean)
    {
        band.x.push_back(x);
        band.low.push_back(static_cast<double>(b.low));
        band.high.push_back(static_cast<double>(b.high));
        off.x.push_back(x);
        off.low.push_back(static_cast<double>(b.low) - mean);
        off.high.push_back(static_cast<double>(b.high) - mean);
    }
};

} // namespace

Chart buildNumberOverTimeChart(const ChartInput &input)
{
    const int number = std::clamp(input.number, 1, HighestNumber);
    const std::vector<ChartDraw> draws = chartDraws(input.history);
    const double p = static_cast<double>(MainNumberCount) / HighestNumber;
    ChartPanel total, deviation;
    ChartSeries seen{"第" + twoDigitText(number) + "の累積出現回数", ChartSeries::Role::Observed,
        ChartSeries::Mark::Steps, chartcolors::Observed, {}, {}};
    ChartSeries expected{"期待値", ChartSeries::Role::Expected, ChartSeries::Mark::Line,
        chartcolors::Expected, {}, {}};
    ChartSeries off = seen;
    off.name = "期待値との差";
    ChartSeries zero{"期待値", ChartSeries::Role::Expected, ChartSeries::Mark::Line,
        chartcolors::Expected, {}, {}};
    RunningBands bands(draws, p);
    double count = 0;
    for (std::size_t k = 0; k < draws.size(); ++k) {
        count += static_cast<double>((draws[k].mainMask >> number) & 1u);
        const double mean = static_cast<double>(k + 1) * p;
        for (ChartSeries *s : {&seen, &off, &expected, &zero})
            s->x.push_back(static_cast<double>(draws[k].drawNo));
        seen.y.push_back(count);
        off.y.push_back(count - mean);
        expected.y.push_back(mean);
        zero.y.push_back(0);
    }
    total.title = "累積出現回数";
    total.bands = {std::move(bands.path), std::move(bands.each)};
    total.series = {std::move(seen), std::move(expected)};
    deviation.title = "期待値との差（＋は多め、－は少なめ）";
    deviation.bands = {std::move(bands.pathOff), std::move(bands.eachOff)};
    deviation.series = {std::move(off), std::move(zero)};
    for (ChartPanel *panel : {&total, &deviation}) {
        panel->xAxis.label = "回";
        panel->yAxis.unit = "回";
    }
    total.yAxis.label = "出現回数";
    deviation.yAxis.label = "差";
    Chart c;
    c.title = "数字" + twoDigitText(number) + "の出現の推移　" + historyRangeText(input.history);
    c.note = "濃い帯は各回ごとに、その回までの回数で公平な抽選なら95%の確率で入る範囲です。"
             "回ごとの帯なので、公平な数字でも推移のどこかで濃い帯を出ることが"
        + fixedText(bands.leaves * 100, 0)
        + "%あります。薄い帯は推移全体が95%の確率でその中に収まる範囲（正確な計算）で、"
          "これを出た推移だけが「ホット」「コールド」として偶然では説明しにくい偏りです。";
    c.panels = {std::move(total), std::move(deviation)};
    return c;
}

} // namespace loto6
