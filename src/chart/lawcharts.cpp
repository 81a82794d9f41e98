#include "analysis/chancelaw.h"
#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"

#include <algorithm>
#include <bit>

namespace loto6 {

namespace {

constexpr int SumBin = 10;
// The fair histories simulated for the gap chart's band, and their first seed.
constexpr int GapHistories = 1000;
constexpr std::uint64_t GapSeed = 20240601;

Chart patternChart(const ChartInput &input, bool odd)
{
    const std::vector<ChartDraw> draws = chartDraws(input.history);
    const ChanceLaw &law = ChanceLaw::loto6();
    std::vector<double> counts(MainNumberCount + 1, 0.0);
    // Odd numbers have bit 1, 3, 5...; low numbers are 1..21.
    constexpr std::uint64_t OddBits = 0xAAAA'AAAA'AAAAull;
    constexpr std::uint64_t LowBits = ((std::uint64_t{1} << 22) - 1) & ~std::uint64_t{1};
    for (const ChartDraw &d : draws)
        counts[static_cast<std::size_t>(std::popcount(d.mainMask & (odd ? OddBits : LowBits)))]
            += 1;
    std::vector<std::string> labels;
    for (int k = 0; k <= MainNumberCount; ++k)
        labels.push_back(odd
                ? "奇" + std::to_string(k) + "偶" + std::to_string(MainNumberCount - k)
                : "低" + std::to_string(k) + "高" + std::to_string(MainNumberCount - k));
    const std::vector<double> &chance = odd ? law.oddLaw() : law.lowLaw();
    ChartPanel panel = countsAgainstLaw(std::move(labels), counts, chance,
        static_cast<long long>(draws.size()), 0.95, MainNumberCount + 1);
    panel.xAxis.label = odd ? "奇数・偶数の個数" : "低数字（01～21）・高数字（22～43）の個数";
    panel.yAxis.label = "回数";
    panel.yAxis.unit = "回";
    Chart c;
    c.title = std::string(odd ? "偶数・奇数" : "低数字・高数字") + "のパターン　"
        + historyRangeText(input.history);
    c.note = std::string("期待値は公平な抽選での正確な確率（超幾何分布）×回数です。")
        + "濃い帯は各パターンが、薄い帯は7つすべてが95%の確率で入る範囲です。";
    c.panels.push_back(std::move(panel));
    return c;
}

} // namespace

Chart buildGapChart(const ChartInput &input)
{
    const std::vector<ChartDraw> draws = chartDraws(input.history);
    const std::vector<int> gaps = appearanceGaps(draws);
    const double p = static_cast<double>(MainNumberCount) / HighestNumber;
    const std::vector<double> expected
        = ChanceLaw::expectedGapCounts(static_cast<int>(draws.size()), p);
    const int longest = gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    const std::vector<double> seenShare = gapShares(gaps, longest);
    std::vector<double> expectedAtLeast(expected.size() + 1, 0.0);
    for (std::size_t g = expected.size(); g-- > 1;)
        expectedAtLeast[g] = expectedAtLeast[g + 1] + expected[g];
    const double total = expectedAtLeast.size() > 1 ? expectedAtLeast[1] : 0.0;
    // The band comes from fair histories of the same length: the shares of one history hang
    // together and the count of gaps varies, so no binomial law holds them.
    const std::vector<ShareBand> bands
        = gapShareBands(static_cast<int>(draws.size()), longest, GapHistories, GapSeed);
    ChartPanel panel;
    ChartBand band{"95%の帯", 0.95, chartcolors::Band, {}, {}, {}};
    ChartSeries seen{"観測", ChartSeries::Role::Observed, ChartSeries::Mark::Steps,
        chartcolors::Observed, {}, {}};
    ChartSeries law{"幾何分布（公平な抽選）", ChartSeries::Role::Expected, ChartSeries::Mark::Line,
        chartcolors::Expected, {}, {}};
    for (int g = 1; g <= longest; ++g) {
        const auto i = static_cast<std::size_t>(g);
        const double share
            = total > 0 && i < expectedAtLeast.size() ? expectedAtLeast[i] / total : 0;
        const auto x = static_cast<double>(g);
        band.x.push_back(x);
        band.low.push_back(100.0 * bands[i].low);
        band.high.push_back(100.0 * bands[i].high);
        seen.x.push_back(x);
        seen.y.push_back(100.0 * seenShare[i]);
        law.x.push_back(x);
        law.y.push_back(100.0 * std::clamp(share, 0.0, 1.0));
    }
    panel.bands.push_back(std::move(band));
    panel.series = {std::move(seen), std::move(law)};
    panel.xAxis.label = "出現間隔";
    panel.xAxis.unit = "回";
    panel.yAxis.label = "この間隔以上の割合";
    panel.yAxis.unit = "%";
    panel.yAxis.min = 0;
    panel.yAxis.max = 100;
    Chart c;
    c.title = "出現間隔の分布（生存曲線）　" + historyRangeText(input.history);
    c.note = "本数字が再び出るまでの回数 " + groupedText(static_cast<long long>(gaps.size()))
        + " 件について、その間隔以上だった割合です。破線は公平な抽選での幾何分布（1回ごとに確率6/"
          "43、履歴の長さで補正）、帯は同じ回数の公平な抽選を"
        + groupedText(GapHistories)
        + "通り模擬して求めた、各間隔の割合が95%の確率で入る範囲です（間隔ごとの帯）。";
    c.panels.push_back(std::move(panel));
    return c;
}

Chart buildSumChart(const ChartInput &input)
{
    const std::vector<ChartDraw> draws = chartDraws(input.history);
    const ChanceLaw &law = ChanceLaw::loto6();
    const std::vector<std::uint64_t> &ways = law.sumWays();
    constexpr int Smallest = 1 + 2 + 3 + 4 + 5 + 6;
    const int largest = static_cast<int>(ways.size()) - 1;
    const int bins = (largest - Smallest) / SumBin + 1;
    std::vector<double> counts(static_cast<std::size_t>(bins), 0.0);
    std::vector<double> chance(static_cast<std::size_t>(bins), 0.0);
    std::vector<std::string> labels;
    for (int b = 0; b < bins; ++b) {
        const int from = Smallest + b * SumBin;
        labels.push_back(
            std::to_string(from) + "～" + std::to_string(std::min(largest, from + SumBin - 1)));
    }
    for (int s = Smallest; s <= largest; ++s)
        chance[static_cast<std::size_t>((s - Smallest) / SumBin)]
            += static_cast<double>(ways[static_cast<std::size_t>(s)])
            / static_cast<double>(law.combinations());
    for (const ChartDraw &d : draws) {
        int sum = 0;
        for (std::uint64_t m = d.mainMask; m != 0; m &= m - 1)
            sum += std::countr_zero(m);
        counts[static_cast<std::size_t>((sum - Smallest) / SumBin)] += 1;
    }
    ChartPanel panel = countsAgainstLaw(
        std::move(labels), counts, chance, static_cast<long long>(draws.size()), 0.95, bins);
    panel.xAxis.label = "本数字6個の合計";
    panel.yAxis.label = "回数";
    panel.yAxis.unit = "回";
    Chart c;
    c.title = "本数字の合計の分布　" + historyRangeText(input.history);
    c.note = "期待値は6,096,454通りすべての組合せの合計から数えた正確な分布です（平均 "
        + fixedText(law.sumMean(), 1) + "）。濃い帯は各区間が、薄い帯はすべての区間が95%の確率で"
        + "入る範囲です。";
    c.panels.push_back(std::move(panel));
    return c;
}

Chart buildEvenOddChart(const ChartInput &input) { return patternChart(input, true); }

Chart buildLowHighChart(const ChartInput &input) { return patternChart(input, false); }

} // namespace loto6
