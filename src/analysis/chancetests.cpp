#include "analysis/chancetests.h"

#include "analysis/probability.h"
#include "grid/numbertext.h"

#include <cmath>
#include <limits>
#include <numeric>
#include <span>

namespace loto6::chancetests {

namespace {

std::string fixed(double v, int decimals) { return fixedText(v, decimals); }

std::string count(double v) { return fixed(v, 0); }

// Pearson's statistic, degrees of freedom and p-value over the cells already in t.categories.
void settleChiSquare(Test &t, double scale)
{
    t.method = ChanceReport::Method::ChiSquare;
    double totalExpected = 0, minExpected = std::numeric_limits<double>::infinity();
    std::vector<double> o, e;
    for (const Category &c : t.categories) {
        o.push_back(c.observed);
        e.push_back(c.expected);
        totalExpected += c.expected;
        minExpected = std::min(minExpected, c.expected);
    }
    if (t.categories.size() < 2 || !(totalExpected > 0))
        return;
    t.statistic = pearsonStatistic(o, e) * scale;
    t.df = static_cast<double>(t.categories.size() - 1);
    t.pValue = chiSquareSf(t.statistic, t.df);
    t.rough = minExpected < 5.0;
}

// Pearson's test over an ordered law whose thin cells are merged; label(i) names cell i, and
// with `openTail` the last merged cell reads "label以上". Only the merged cells are labelled,
// so a law of many cells (the gaps of a long history) costs no string per cell.
template<typename Label>
void pooledChiSquare(
    Test &t, std::span<const double> o, std::span<const double> e, Label &&label, bool openTail)
{
    const PooledCells p = poolOrderedCells(o, e);
    t.categories.clear();
    for (std::size_t i = 0; i < p.observed.size(); ++i) {
        const bool single = p.first[i] == p.last[i];
        std::string text = label(p.first[i]);
        if (!single && openTail && p.last[i] + 1 == static_cast<int>(o.size()))
            text += "以上";
        else if (!single)
            text += "～" + label(p.last[i]);
        t.categories.push_back({std::move(text), p.observed[i], p.expected[i]});
    }
    settleChiSquare(t, 1.0);
}

// The same over cells that carry their labels.
void pooledChiSquare(Test &t, const std::vector<Category> &cells)
{
    std::vector<double> o, e;
    for (const Category &c : cells) {
        o.push_back(c.observed);
        e.push_back(c.expected);
    }
    pooledChiSquare(
        t, o, e, [&](int i) { return cells[static_cast<std::size_t>(i)].label; }, false);
}

// Pearson's test over the cells of a test; `scale` corrects for numbers that cannot repeat
// within one draw.
void chiSquare(Test &t, std::vector<Category> cells, double scale)
{
    t.categories = std::move(cells);
    settleChiSquare(t, scale);
}

// The observed and expected mean of a count, as the test's figures and texts.
void setMeans(Test &t, double mean, double expectedMean, int decimals, std::string_view unit)
{
    t.observed = mean;
    t.expected = expectedMean;
    t.observedText = "平均 " + fixed(mean, decimals) + std::string(unit);
    t.expectedText = "平均 " + fixed(expectedMean, decimals) + std::string(unit);
}

void normalTest(Test &t, double z, bool rough)
{
    t.method = ChanceReport::Method::Normal;
    if (std::isnan(z) || std::isinf(z))
        return;
    t.statistic = z;
    t.pValue = normalTwoSidedP(z);
    t.rough = rough;
}

} // namespace

// Per-number counts of 1..43, with `picks` numbers of each of n draws counted.
Test appearanceTest(std::string key, std::string title,
    const std::array<double, HighestNumber + 1> &counts, int picks, int n)
{
    Test t;
    t.key = std::move(key);
    t.title = std::move(title);
    const double e = static_cast<double>(picks) * n / HighestNumber;
    std::vector<Category> cells;
    int lo = 1, hi = 1, loTies = 0, hiTies = 0;
    for (int x = 1; x <= HighestNumber; ++x) {
        const double c = counts[static_cast<std::size_t>(x)];
        cells.push_back({std::to_string(x), c, e});
        if (c < counts[static_cast<std::size_t>(lo)]) {
            lo = x;
            loTies = 0;
        } else if (x != lo && c == counts[static_cast<std::size_t>(lo)]) {
            ++loTies;
        }
        if (c > counts[static_cast<std::size_t>(hi)]) {
            hi = x;
            hiTies = 0;
        } else if (x != hi && c == counts[static_cast<std::size_t>(hi)]) {
            ++hiTies;
        }
    }
    const double minC = counts[static_cast<std::size_t>(lo)];
    const double maxC = counts[static_cast<std::size_t>(hi)];
    const std::string loName = std::to_string(lo) + (loTies ? "番ほか" : "番");
    const std::string hiName = std::to_string(hi) + (hiTies ? "番ほか" : "番");
    t.observed = maxC;
    t.expected = e;
    t.observedText = "最少 " + count(minC) + "回（" + loName + "）／最多 " + count(maxC) + "回（"
        + hiName + "）";
    t.expectedText = "各 " + fixed(e, 2) + "回";
    t.sentence = t.title + "は最少" + count(minC) + "回（" + loName + "）から最多" + count(maxC)
        + "回（" + hiName + "）で、公平な抽選での各" + fixed(e, 2) + "回に対して"
        + std::string(VerdictMark) + "。";
    // Numbers do not repeat within a draw, so the counts vary by (43 - picks) / 42 of what a
    // multinomial law would give; scaling back makes the statistic chi-square with 42 df.
    chiSquare(t, std::move(cells), (HighestNumber - 1.0) / (HighestNumber - picks));
    return t;
}

// Counts of the categories a number falls in (bands, last digits), over all seven numbers.
Test groupTest(std::string key, std::string title, std::string_view what,
    const std::vector<std::string> &labels, const std::vector<int> &groupSize,
    const std::vector<double> &observed, int n)
{
    Test t;
    t.key = std::move(key);
    t.title = std::move(title);
    std::vector<Category> cells;
    std::size_t worst = 0;
    double worstResidual = -1;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double e = static_cast<double>(AllPicks) * n * groupSize[i] / HighestNumber;
        cells.push_back({labels[i], observed[i], e});
        const double r = e > 0 ? std::fabs(observed[i] - e) / std::sqrt(e) : 0;
        if (r > worstResidual) {
            worstResidual = r;
            worst = i;
        }
    }
    t.observed = cells[worst].observed;
    t.expected = cells[worst].expected;
    t.observedText = labels[worst] + "：" + count(t.observed) + "回";
    t.expectedText = labels[worst] + "：" + fixed(t.expected, 2) + "回";
    t.sentence = t.title + "は、期待から最も離れた" + std::string(what) + "「" + labels[worst]
        + "」で" + count(t.observed) + "回（期待" + fixed(t.expected, 2) + "回）で、全体として"
        + std::string(VerdictMark) + "。";
    chiSquare(t, std::move(cells), (HighestNumber - 1.0) / (HighestNumber - AllPicks));
    return t;
}

// A count of draws with some property against its exact chance p.
Test drawShareTest(
    std::string key, std::string title, std::string_view what, int hits, int n, double p)
{
    Test t;
    t.key = std::move(key);
    t.title = std::move(title);
    const double e = n * p;
    t.observed = hits;
    t.expected = e;
    t.observedText
        = std::to_string(hits) + "回（" + fixed(n ? 100.0 * hits / n : NotANumber, 1) + "%）";
    t.expectedText = fixed(e, 2) + "回（" + fixed(100.0 * p, 1) + "%）";
    t.sentence = std::string(what) + "を含む回は" + std::to_string(hits)
        + "回で、公平な抽選での期待" + fixed(e, 2) + "回に対して" + std::string(VerdictMark) + "。";
    t.categories
        = {{"あり", static_cast<double>(hits), e}, {"なし", static_cast<double>(n - hits), n - e}};
    // The count of draws with the property is binomial: its exact two-sided p-value, with the
    // z score as the size of the difference.
    t.method = ChanceReport::Method::Binomial;
    const double sd = std::sqrt(n * p * (1 - p));
    if (n > 0 && sd > 0) {
        t.statistic = (hits - e) / sd;
        t.pValue = binomialTwoSidedP(n, hits, p);
    }
    return t;
}

// Pattern letters A..G by how many of the six main numbers are odd (or low).
Test patternTest(std::string key, std::string title, std::string_view one, std::string_view other,
    const std::vector<double> &byCount, const std::vector<double> &law, int n)
{
    Test t;
    t.key = std::move(key);
    t.title = std::move(title);
    std::vector<Category> cells;
    double mean = 0, expectedMean = 0;
    for (int k = 0; k <= MainNumberCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::string label = std::string(1, static_cast<char>('A' + k)) + "（"
            + std::string(one) + std::to_string(k) + "・" + std::string(other)
            + std::to_string(MainNumberCount - k) + "）";
        cells.push_back({label, byCount[i], n * law[i]});
        mean += k * byCount[i];
        expectedMean += k * law[i];
    }
    mean = n ? mean / n : NotANumber;
    t.observed = mean;
    t.expected = expectedMean;
    t.observedText = std::string(one) + " 平均" + fixed(mean, 3) + "個";
    t.expectedText = std::string(one) + " 平均" + fixed(expectedMean, 3) + "個";
    t.sentence = t.title + "は、" + std::string(one) + "が1回あたり平均" + fixed(mean, 3)
        + "個（期待" + fixed(expectedMean, 3) + "個）で、A～Gの分布全体として"
        + std::string(VerdictMark) + "。";
    pooledChiSquare(t, cells);
    return t;
}

std::string verdict(const Test &t, double alpha)
{
    std::string v;
    if (t.notable)
        v = "偶然では説明しにくいずれがあります";
    else if (t.pValue < alpha)
        v = "単独ではp＜" + fixed(alpha, 2) + "ですが、検定の数を考えると偶然の範囲です";
    else
        v = "偶然の範囲です";
    if (t.rough)
        v += "（件数が少なく近似は粗めです）";
    return v;
}

Test carryOverTest(const std::vector<double> &overlap, int pairs, const ChanceLaw &law)
{
    Test t;
    t.key = "carry-over";
    t.title = "引っ張り（前回の本数字との重なり）";
    std::vector<Category> cells;
    double observedTotal = 0, expectedMean = 0;
    const std::vector<double> &h = law.overlapLaw();
    for (int k = 0; k <= MainNumberCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        cells.push_back({std::to_string(k) + "個", overlap[i], pairs * h[i]});
        observedTotal += k * overlap[i];
        expectedMean += k * h[i];
    }
    const double mean = pairs ? observedTotal / pairs : NotANumber;
    setMeans(t, mean, expectedMean, 3, "個");
    t.sentence = "前回の本数字と重なった本数字は1回あたり平均" + fixed(mean, 3)
        + "個で、公平な抽選での" + fixed(expectedMean, 3) + "個に対して" + std::string(VerdictMark)
        + "。";
    pooledChiSquare(t, cells);
    return t;
}

Test sumMeanTest(double sum, int n, const ChanceLaw &law)
{
    Test t;
    t.key = "sum-mean";
    t.title = "本数字合計の平均";
    const double mu = law.sumMean();
    const double mean = n ? sum / n : NotANumber;
    t.observed = mean;
    t.expected = mu;
    t.observedText = fixed(mean, 2);
    t.expectedText = fixed(mu, 2);
    t.sentence = "本数字合計の平均は" + fixed(mean, 2) + "で、公平な抽選での" + fixed(mu, 2)
        + "に対して" + std::string(VerdictMark) + "。";
    normalTest(t, n ? (mean - mu) / std::sqrt(law.sumVariance() / n) : NotANumber, n < 30);
    return t;
}

// The sample standard deviation of the sums (divided by n - 1) against the law's.
Test sumSpreadTest(double sum, double sumSq, int n, const ChanceLaw &law)
{
    Test t;
    t.key = "sum-spread";
    t.title = "本数字合計のばらつき（標準偏差）";
    const double var = law.sumVariance();
    double z = NotANumber, sd = NotANumber;
    if (n >= 2) {
        const double mean = sum / n;
        const double s2 = std::max(0.0, (sumSq - n * mean * mean) / (n - 1));
        sd = std::sqrt(s2);
        // Variance of the sample variance of n independent sums.
        const double v = law.sumFourthCentralMoment() / n - var * var * (n - 3.0) / (n * (n - 1.0));
        z = (s2 - var) / std::sqrt(v);
    }
    t.observed = sd;
    t.expected = std::sqrt(var);
    t.observedText = fixed(sd, 2);
    t.expectedText = fixed(std::sqrt(var), 2);
    t.sentence = "本数字合計の標準偏差は" + fixed(sd, 2) + "で、公平な抽選での"
        + fixed(std::sqrt(var), 2) + "に対して" + std::string(VerdictMark) + "。";
    normalTest(t, z, n < 30);
    return t;
}

Test lastDigitTest(const std::vector<double> &digits, int n)
{
    std::vector<std::string> labels;
    std::vector<int> sizes(10, 0);
    for (int d = 0; d < 10; ++d)
        labels.push_back(std::to_string(d));
    for (int x = 1; x <= HighestNumber; ++x)
        ++sizes[static_cast<std::size_t>(x % 10)];
    return groupTest("last-digit", "下一桁ごとの出現数", "下一桁", labels, sizes, digits, n);
}

// Gaps between appearances of a number against the geometric law of a 7/43 chance per draw,
// cut off by the length of the history.
Test gapTest(const std::vector<double> &gaps, int n)
{
    Test t;
    t.key = "gap";
    t.title = "出現間隔";
    const double p = static_cast<double>(AllPicks) / HighestNumber;
    const std::vector<double> weight = ChanceLaw::expectedGapCounts(n, p);
    const double observedTotal = std::accumulate(gaps.begin(), gaps.end(), 0.0);
    const double weightTotal = std::accumulate(weight.begin(), weight.end(), 0.0);
    std::vector<double> expected(weight.size(), 0.0);
    double observedSum = 0, expectedSum = 0;
    for (int g = 1; g < n; ++g) {
        const auto i = static_cast<std::size_t>(g);
        const double share = weightTotal > 0 ? weight[i] / weightTotal : 0;
        expected[i] = observedTotal * share;
        observedSum += g * gaps[i];
        expectedSum += g * share;
    }
    const double mean = observedTotal > 0 ? observedSum / observedTotal : NotANumber;
    setMeans(t, mean, weightTotal > 0 ? expectedSum : NotANumber, 2, "回");
    t.sentence = "同じ数字（本数字かボーナス数字）が再び出るまでの間隔は平均" + fixed(mean, 2)
        + "回で、毎回7/43の確率で出る幾何分布での" + fixed(t.expected, 2) + "回に対して"
        + std::string(VerdictMark) + "。";
    // Gap lengths 1..n-1 are the cells; index 0 of both lists is unused.
    const std::span<const double> o(gaps.data() + 1, std::max<std::size_t>(gaps.size(), 1) - 1);
    const std::span<const double> e(expected.data() + 1, o.size());
    if (observedTotal > 0)
        pooledChiSquare(
            t, o, e, [](int i) { return std::to_string(i + 1) + "回"; }, true);
    return t;
}

} // namespace loto6::chancetests
