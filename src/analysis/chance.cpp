#include "analysis/chance.h"

#include "analysis/chancelaw.h"
#include "analysis/probability.h"
#include "grid/numbertext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numeric>
#include <span>

namespace loto6 {

namespace {

using Test = ChanceReport::Test;
using Category = ChanceReport::Category;

constexpr int Numbers = 43;
constexpr int MainPicks = 6;
constexpr int AllPicks = 7; // six main numbers and the bonus number
constexpr std::string_view VerdictMark = "%V%";

// A complete record whose seven numbers are distinct values in 1..43, main numbers ascending.
struct FairDraw
{
    std::array<int, MainPicks> main{};
    int bonus = 0;
    std::uint64_t mainMask = 0; // bit x set for each main number x
};

// Bit x set for each number x of the draw; 0 when a number lies outside 1..43 or comes twice.
std::uint64_t numberMask(const DrawRecord &r)
{
    std::uint64_t mask = 0;
    for (int i = 0; i < AllPicks; ++i) {
        const long long x = r.number(i);
        if (x < 1 || x > Numbers || ((mask >> x) & 1u) != 0)
            return 0;
        mask |= std::uint64_t{1} << x;
    }
    return mask;
}

std::vector<FairDraw> fairDraws(const DrawHistory &history, int &excluded)
{
    std::vector<FairDraw> out;
    out.reserve(history.size());
    excluded = 0;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        // A record outside the rules of a draw cannot be compared with fair draws.
        std::uint64_t mask = numberMask(r);
        if (mask == 0) {
            ++excluded;
            continue;
        }
        FairDraw d;
        d.bonus = static_cast<int>(r.number(MainPicks));
        // The main numbers in ascending order, read off the bits.
        mask &= ~(std::uint64_t{1} << d.bonus);
        d.mainMask = mask;
        for (int &x : d.main) {
            x = std::countr_zero(mask);
            mask &= mask - 1;
        }
        out.push_back(d);
    }
    return out;
}

std::string signedFixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%+.*f", decimals, v);
    return buf;
}

std::string fixed(double v, int decimals) { return fixedText(v, decimals); }

std::string pText(double p) { return pValueText(p); }

std::string count(double v) { return fixed(v, 0); }

std::string replaceAll(std::string s, std::string_view what, std::string_view with)
{
    for (std::size_t at = s.find(what); at != std::string::npos;
         at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
    return s;
}

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

// Per-number counts of 1..43, with `picks` numbers of each of n draws counted.
Test appearanceTest(std::string key, std::string title,
    const std::array<double, Numbers + 1> &counts, int picks, int n)
{
    Test t;
    t.key = std::move(key);
    t.title = std::move(title);
    const double e = static_cast<double>(picks) * n / Numbers;
    std::vector<Category> cells;
    int lo = 1, hi = 1, loTies = 0, hiTies = 0;
    for (int x = 1; x <= Numbers; ++x) {
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
    chiSquare(t, std::move(cells), (Numbers - 1.0) / (Numbers - picks));
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
        const double e = static_cast<double>(AllPicks) * n * groupSize[i] / Numbers;
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
    chiSquare(t, std::move(cells), (Numbers - 1.0) / (Numbers - AllPicks));
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
    for (int k = 0; k <= MainPicks; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::string label = std::string(1, static_cast<char>('A' + k)) + "（"
            + std::string(one) + std::to_string(k) + "・" + std::string(other)
            + std::to_string(MainPicks - k) + "）";
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

} // namespace

namespace {

// What the tests count over the fair draws, in one pass.
struct DrawTallies
{
    std::array<double, Numbers + 1> mainCount{}, allCount{};
    std::vector<double> overlap = std::vector<double>(MainPicks + 1, 0.0);
    std::vector<double> odd = std::vector<double>(MainPicks + 1, 0.0);
    std::vector<double> low = std::vector<double>(MainPicks + 1, 0.0);
    std::vector<double> bands = std::vector<double>(5, 0.0);
    std::vector<double> digits = std::vector<double>(10, 0.0);
    int consecutive = 0, stepping = 0;
    double sum = 0, sumSq = 0;
    std::vector<double> gaps; // by length 1..n-1
};

// The six main numbers of one draw: appearances, odd and low counts, sum, and whether
// neighbours in ascending order (as the consecutive window compares them) differ by 1 or 2.
void tallyMainNumbers(const FairDraw &d, DrawTallies &t)
{
    bool hasConsecutive = false, hasStepping = false;
    int odds = 0, lows = 0, s = 0;
    for (int k = 0; k < MainPicks; ++k) {
        const int x = d.main[static_cast<std::size_t>(k)];
        ++t.mainCount[static_cast<std::size_t>(x)];
        odds += x % 2;
        lows += x <= Numbers / 2 ? 1 : 0;
        s += x;
        if (k > 0) {
            const int diff = x - d.main[static_cast<std::size_t>(k - 1)];
            hasConsecutive = hasConsecutive || diff == 1;
            hasStepping = hasStepping || diff == 2;
        }
    }
    t.consecutive += hasConsecutive ? 1 : 0;
    t.stepping += hasStepping ? 1 : 0;
    ++t.odd[static_cast<std::size_t>(odds)];
    ++t.low[static_cast<std::size_t>(lows)];
    t.sum += s;
    t.sumSq += static_cast<double>(s) * s;
}

// All seven numbers of draw i: appearances, bands, last digits and the gap since each number
// was last seen.
void tallyAllNumbers(const FairDraw &d, int i, std::vector<int> &lastSeen, DrawTallies &t)
{
    std::array<int, AllPicks> all{};
    std::copy(d.main.begin(), d.main.end(), all.begin());
    all[MainPicks] = d.bonus;
    for (int x : all) {
        ++t.allCount[static_cast<std::size_t>(x)];
        // The five bands of the tens digit; 40..43 make the last, short band.
        ++t.bands[static_cast<std::size_t>(std::min(x / 10, 4))];
        ++t.digits[static_cast<std::size_t>(x % 10)];
        int &seen = lastSeen[static_cast<std::size_t>(x)];
        if (seen >= 0)
            ++t.gaps[static_cast<std::size_t>(i - seen)];
        seen = i;
    }
}

DrawTallies tallyDraws(const std::vector<FairDraw> &draws)
{
    const int n = static_cast<int>(draws.size());
    DrawTallies t;
    t.gaps.assign(static_cast<std::size_t>(std::max(n, 1)), 0.0);
    std::vector<int> lastSeen(Numbers + 1, -1);
    for (int i = 0; i < n; ++i) {
        const FairDraw &d = draws[static_cast<std::size_t>(i)];
        tallyMainNumbers(d, t);
        if (i > 0) {
            const FairDraw &prev = draws[static_cast<std::size_t>(i - 1)];
            const int common = std::popcount(d.mainMask & prev.mainMask);
            ++t.overlap[static_cast<std::size_t>(common)];
        }
        tallyAllNumbers(d, i, lastSeen, t);
    }
    return t;
}

Test carryOverTest(const std::vector<double> &overlap, int pairs, const ChanceLaw &law)
{
    Test t;
    t.key = "carry-over";
    t.title = "引っ張り（前回の本数字との重なり）";
    std::vector<Category> cells;
    double observedTotal = 0, expectedMean = 0;
    const std::vector<double> &h = law.overlapLaw();
    for (int k = 0; k <= MainPicks; ++k) {
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
    for (int x = 1; x <= Numbers; ++x)
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
    const double p = static_cast<double>(AllPicks) / Numbers;
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

std::vector<Test> chanceTests(const DrawTallies &d, int n, int pairs, const ChanceLaw &law)
{
    std::vector<Test> tests;
    tests.push_back(
        appearanceTest("main-appearances", "本数字の出現回数", d.mainCount, MainPicks, n));
    tests.push_back(appearanceTest(
        "all-appearances", "本数字＋ボーナス数字の出現回数", d.allCount, AllPicks, n));
    tests.push_back(carryOverTest(d.overlap, pairs, law));
    tests.push_back(drawShareTest("consecutive", "連番を含む回", "連番（差が1の本数字の組）",
        d.consecutive, n, law.consecutiveChance()));
    tests.push_back(drawShareTest("stepping-stone", "飛び石を含む回",
        "飛び石（並べて隣り合う本数字の差が2の組）", d.stepping, n, law.steppingStoneChance()));
    tests.push_back(
        patternTest("even-odd", "偶数・奇数のパターン", "奇数", "偶数", d.odd, law.oddLaw(), n));
    tests.push_back(patternTest("low-high", "低数字（01～21）・高数字（22～43）のパターン",
        "低数字", "高数字", d.low, law.lowLaw(), n));
    tests.push_back(sumMeanTest(d.sum, n, law));
    tests.push_back(sumSpreadTest(d.sum, d.sumSq, n, law));
    tests.push_back(groupTest("five-band", "5分割の帯ごとの出現数", "帯",
        {"01～09", "10～19", "20～29", "30～39", "40～43"}, {9, 10, 10, 10, 4}, d.bands, n));
    tests.push_back(lastDigitTest(d.digits, n));
    tests.push_back(gapTest(d.gaps, n));
    return tests;
}

// Holm over every test, then each sentence with its verdict.
void settleVerdicts(ChanceReport &report)
{
    settleHolmFamily(report.tests, report.alpha);
    for (Test &t : report.tests) {
        if (t.available())
            t.sentence = replaceAll(t.sentence, VerdictMark, verdict(t, report.alpha));
        else
            t.sentence = t.title + "はデータが足りないため検定できません。";
    }
}

void writeNotes(ChanceReport &report)
{
    const std::string a = fixed(report.alpha, 2);
    auto &notes = report.notes;
    notes.push_back("対象は7つの数字がそろった記録" + std::to_string(report.draws)
        + "回で、引っ張りは直前のそろった記録と比べた" + std::to_string(report.pairs) + "組です。");
    if (report.excluded > 0)
        notes.push_back("数字が1～43の異なる7つでない記録" + std::to_string(report.excluded)
            + "件は公平な抽選と比べられないため除きました。");
    notes.push_back(std::to_string(report.availableCount())
        + "個の検定を同時に行っているため、偶然でもどれかのp値が" + a
        + "を下回りやすくなります。Holm法で補正したp値が" + a
        + "未満のものだけを「注目」としています。");
    notes.push_back("期待値はすべて公平な抽選（43個から本数字6個、残りからボーナス数字1個）"
                    "での正確な値です。出現回数・5分割・下一桁のカイ二乗値は、"
                    "1回の抽選で数字が重ならない分を補正しています。"
                    "連番と飛び石のp値は二項分布による正確な値です。");
    notes.push_back("5分割と下一桁の出現数は、分析の表と同じく本数字6つとボーナス数字の7つを"
                    "数えています（1回の抽選で7個）。");
    notes.push_back("出現間隔のカイ二乗検定は、同じ数字の続く間隔どうしを独立とみなすため"
                    "保守的です（公平な抽選でも、5%水準で棄却されるのは5%より少なくなります）。");
    notes.push_back(report.notableCount() > 0
            ? "Holm補正後に注目となった検定は" + std::to_string(report.notableCount()) + "個です。"
            : std::string("Holm補正後に注目となった検定はありません。"));
}

} // namespace

ChanceReport computeChance(const DrawHistory &history)
{
    const ChanceLaw &law = ChanceLaw::loto6();
    ChanceReport report;
    const std::vector<FairDraw> draws = fairDraws(history, report.excluded);
    report.draws = static_cast<int>(draws.size());
    report.pairs = std::max(0, report.draws - 1);
    report.tests = chanceTests(tallyDraws(draws), report.draws, report.pairs, law);
    settleVerdicts(report);
    writeNotes(report);
    return report;
}

namespace {

constexpr int ChanceColumns = 9;

std::string methodText(const Test &t)
{
    switch (t.method) {
    case ChanceReport::Method::ChiSquare:
        return "カイ二乗（自由度" + fixed(t.df, 0) + "）";
    case ChanceReport::Method::Binomial:
        return "二項（正確）";
    case ChanceReport::Method::Normal:
        break;
    }
    return "正規近似（z）";
}

// Widths, alignment, and the header row over one row per test.
void writeChanceFrame(Sheet &s, int testRows)
{
    s.setRowHeight(1, 15);
    const double widths[ChanceColumns] = {34, 30, 22, 20, 9, 9, 12, 6, 120};
    for (int c = 1; c <= ChanceColumns; ++c)
        s.setColWidth(c, widths[c - 1]);
    // Names and explanations read from the left; the figures between them are centred.
    for (int c : {1, ChanceColumns}) {
        s.selectCell(c, -1);
        s.setHAlign(HAlign::Left);
    }
    static constexpr const char *Header[ChanceColumns] = {"項目", "観測値", "期待値（公平な抽選）",
        "検定", "統計量", "p値", "Holm補正p値", "判定", "説明"};
    for (int c = 1; c <= ChanceColumns; ++c)
        s.setText(c, 1, Header[c - 1]);
    s.setColors(1, 1, ChanceColumns, 1, colors::black, colors::lightPink);
    s.setBorder(1, 1, ChanceColumns, 1 + testRows, border::AllSides, colors::lightBlue);
}

void writeTestRow(Sheet &s, int row, const Test &t)
{
    s.setText(1, row, t.title);
    s.setText(2, row, t.observedText);
    s.setText(3, row, t.expectedText);
    s.setText(4, row, methodText(t));
    s.setText(5, row, fixed(t.statistic, 2));
    s.setText(6, row, pText(t.pValue));
    s.setText(7, row, pText(t.adjustedP));
    s.setText(8, row, t.notable ? "注目" : t.available() ? "" : "—");
    s.setText(9, row, t.sentence);
    s.setBackColor(1, row, 1, row, colors::lightYellow);
    if (t.notable)
        s.setColors(8, row, 8, row, colors::red, colors::lightMagenta);
}

// The cells of one test under its own heading, from `row`; returns the next free row.
int writeCategoryBlock(Sheet &s, int row, const Test &t)
{
    ++row; // blank line before each block
    s.setText(1, row, "【" + t.title + "】");
    s.setBackColor(1, row, 1, row, colors::lightCyan);
    ++row;
    static constexpr const char *Sub[5] = {"区分", "観測値", "期待値", "差", "標準化残差"};
    for (int c = 1; c <= 5; ++c)
        s.setText(c, row, Sub[c - 1]);
    s.setColors(1, row, 5, row, colors::black, colors::lightPink);
    s.setBorder(1, row, 5, row + static_cast<int>(t.categories.size()), border::AllSides,
        colors::lightBlue);
    ++row;
    for (const Category &c : t.categories) {
        s.setText(1, row, c.label);
        s.setText(2, row, count(c.observed));
        s.setText(3, row, fixed(c.expected, 2));
        s.setText(4, row, signedFixed(c.observed - c.expected, 2));
        s.setText(5, row,
            c.expected > 0 ? signedFixed((c.observed - c.expected) / std::sqrt(c.expected), 2)
                           : std::string("—"));
        ++row;
    }
    return row;
}

} // namespace

Sheet chanceSheet(const ChanceReport &report)
{
    int detailRows = 0;
    for (const Test &t : report.tests)
        if (!t.categories.empty())
            detailRows += 3 + static_cast<int>(t.categories.size());
    const int testRows = static_cast<int>(report.tests.size());
    const int notesTop = testRows + 3;
    const int rows = notesTop - 1 + static_cast<int>(report.notes.size()) + detailRows;

    Sheet s{std::string(ChanceSheetName), std::string(ChanceCaption)};
    s.prepare(ChanceColumns, rows, ChanceColumns, 40, 12, 9);
    s.setFrozen(1, 1);
    writeChanceFrame(s, testRows);
    int row = 2;
    for (const Test &t : report.tests)
        writeTestRow(s, row++, t);

    s.setAllowOverflow(true);
    row = notesTop;
    for (const std::string &note : report.notes) {
        // The note runs on across the empty cells to its right.
        s.setText(1, row, "注");
        s.setText(2, row, note);
        s.selectCell(2, row);
        s.setHAlign(HAlign::Left);
        ++row;
    }
    for (const Test &t : report.tests)
        if (!t.categories.empty())
            row = writeCategoryBlock(s, row, t);
    return s;
}

Sheet buildChance(const DrawHistory &history, const Totals &)
{
    return chanceSheet(computeChance(history));
}

} // namespace loto6
