#include "analysis/chance.h"

#include "analysis/chancetests.h"
#include "analysis/probability.h"
#include "grid/numbertext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace loto6 {

namespace {

using namespace chancetests;

// A complete record whose seven numbers are distinct values in 1..43, main numbers ascending.
struct FairDraw
{
    std::array<int, MainNumberCount> main{};
    int bonus = 0;
    std::uint64_t mainMask = 0; // bit x set for each main number x
};

// Bit x set for each number x of the draw; 0 when a number lies outside 1..43 or comes twice.
std::uint64_t numberMask(const DrawRecord &r)
{
    std::uint64_t mask = 0;
    for (int i = 0; i < AllPicks; ++i) {
        const long long x = r.number(i);
        if (x < 1 || x > HighestNumber || ((mask >> x) & 1u) != 0)
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
        d.bonus = static_cast<int>(r.number(MainNumberCount));
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

std::string replaceAll(std::string s, std::string_view what, std::string_view with)
{
    for (std::size_t at = s.find(what); at != std::string::npos;
         at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
    return s;
}

// What the tests count over the fair draws, in one pass.
struct DrawTallies
{
    std::array<double, HighestNumber + 1> mainCount{}, allCount{};
    std::vector<double> overlap = std::vector<double>(MainNumberCount + 1, 0.0);
    std::vector<double> odd = std::vector<double>(MainNumberCount + 1, 0.0);
    std::vector<double> low = std::vector<double>(MainNumberCount + 1, 0.0);
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
    for (int k = 0; k < MainNumberCount; ++k) {
        const int x = d.main[static_cast<std::size_t>(k)];
        ++t.mainCount[static_cast<std::size_t>(x)];
        odds += x % 2;
        lows += x <= HighestNumber / 2 ? 1 : 0;
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
    all[MainNumberCount] = d.bonus;
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
    std::vector<int> lastSeen(HighestNumber + 1, -1);
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

std::vector<Test> chanceTests(const DrawTallies &d, int n, int pairs, const ChanceLaw &law)
{
    std::vector<Test> tests;
    tests.push_back(
        appearanceTest("main-appearances", "本数字の出現回数", d.mainCount, MainNumberCount, n));
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
    const std::string a = fixedText(report.alpha, 2);
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

Sheet buildChance(const DrawHistory &history, const Totals &)
{
    return chanceSheet(computeChance(history));
}

} // namespace loto6
