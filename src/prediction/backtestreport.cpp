#include "prediction/backtestreport.h"

#include "analysis/probability.h"
#include "prediction/matchsumlaw.h"
#include "store/drawrecord.h"

#include <algorithm>
#include <map>

namespace loto6 {

namespace {

using Result = BacktestReport::Result;
using Method = Backtest::Method;

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

std::string nameOf(const Result &r)
{
    std::string name = r.title;
    name.erase(0, name.find_first_not_of(' '));
    if (r.shift >= 0)
        name += "（シフト" + std::to_string(r.shift) + "）";
    return name;
}

std::string verdictOf(const Result &r, double alpha)
{
    const std::string name = nameOf(r);
    if (!r.available())
        return name + "は数字を示した回がなく、検証できません。";
    if (r.better())
        return name + "は偶然より多く当たっており、ランダムに選んだ数字より良いと言えます。";
    if (r.worse())
        return name + "は偶然より当たりが少なく、ランダムに選んだ数字より劣ります。";
    if (r.pValue < alpha)
        return name
            + "は単独では差があるように見えますが、比較の数を考えるとランダムに選んだ数字と"
              "区別できません。";
    return name + "はランダムに選んだ数字と区別できません。";
}

} // namespace

std::array<double, BacktestReport::PrizeClasses> prizeChances()
{
    const double all = static_cast<double>(binomialCoefficient(HighestNumber, MainNumberCount));
    const auto c = [](int n, int k) { return static_cast<double>(binomialCoefficient(n, k)); };
    constexpr int m = MainNumberCount;
    constexpr int others = HighestNumber - MainNumberCount; // 37 numbers not drawn as main
    // Five of the six main numbers with the bonus number, or with one of the 36 others.
    return {1 / all, c(m, 5) / all, c(m, 5) * c(others - 1, 1) / all, c(m, 4) * c(others, 2) / all,
        c(m, 3) * c(others, 3) / all};
}

int prizeClass(int matches, bool bonus)
{
    switch (matches) {
    case MainNumberCount:
        return 1;
    case 5:
        return bonus ? 2 : 3;
    case 4:
        return 4;
    case 3:
        return 5;
    default:
        return 0;
    }
}

const Result *BacktestReport::find(Method method, int shift) const
{
    const int s = Backtest::dependsOnShift(method) ? shift : -1;
    for (const Result &r : results)
        if (r.method == method && r.shift == s)
            return &r;
    return nullptr;
}

int BacktestReport::betterCount() const
{
    return static_cast<int>(
        std::count_if(results.begin(), results.end(), [](const Result &r) { return r.better(); }));
}

int BacktestReport::worseCount() const
{
    return static_cast<int>(
        std::count_if(results.begin(), results.end(), [](const Result &r) { return r.worse(); }));
}

std::vector<double> BacktestReport::observedMeans(Method method) const
{
    std::vector<double> out;
    for (int s = 0; s < Backtest::ShiftCount; ++s) {
        const Result *r = find(method, s);
        out.push_back(r ? r->observedMean : Nan);
    }
    return out;
}

std::vector<double> BacktestReport::expectedMeans(Method method) const
{
    std::vector<double> out;
    for (int s = 0; s < Backtest::ShiftCount; ++s) {
        const Result *r = find(method, s);
        out.push_back(r ? r->expectedMean : Nan);
    }
    return out;
}

namespace {

// What a result is compared with: the hypergeometric law of the matches of k random numbers
// for every k, the prize chances of one ticket, and the laws of the match totals already made
// (results with the same list sizes on the same number of draws share one).
struct ChanceBaseline
{
    std::array<std::vector<double>, HighestNumber + 1> hypergeometric;
    std::array<double, BacktestReport::PrizeClasses> prizes = prizeChances();
    std::map<std::array<int, HighestNumber + 1>, MatchSumLaw> laws;

    ChanceBaseline()
    {
        for (int k = 0; k <= HighestNumber; ++k)
            hypergeometric[static_cast<std::size_t>(k)]
                = hypergeometricDistribution(HighestNumber, MainNumberCount, k);
    }
};

// One win of class c on a draw: counted, and its yen where the draw's payout is known.
void addPrize(Result &r, int c, const std::map<int, DrawPrizes> &prizes, int drawNo)
{
    const auto i = static_cast<std::size_t>(c - 1);
    ++r.observedPrizes[i];
    const auto found = prizes.find(drawNo);
    if (found != prizes.end() && found->second.tier(c).prize)
        r.prizeYen[i] += *found->second.tier(c).prize;
    else
        ++r.unknownPrizes[i];
}

// The observed side of one result: draws, picks, matches and the one-shot's tickets and
// prizes; byPicks counts the checked draws by the size of the list shown.
void tallyOutcomes(Result &r, const Backtest &backtest, const std::map<int, DrawPrizes> &prizes,
    std::array<int, HighestNumber + 1> &byPicks)
{
    const std::vector<Backtest::Outcome> &outcomes = backtest.outcomes(r.method, r.shift);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const Backtest::Outcome &o = outcomes[i];
        ++r.draws;
        ++byPicks[std::min<std::size_t>(o.picks, HighestNumber)];
        r.picks += o.picks;
        r.matches += o.matches;
        ++r.observedCounts[std::min<std::size_t>(o.matches, BacktestReport::MaxMatches)];
        if (r.method == Backtest::OneShot && o.picks == MainNumberCount) {
            ++r.tickets;
            if (const int c = prizeClass(o.matches, o.bonus); c > 0)
                addPrize(r, c, prizes, backtest.drawNos()[i]);
        }
    }
}

// The expected side under random picks of the same sizes, and the exact p-value.
void compareWithChance(
    Result &r, const std::array<int, HighestNumber + 1> &byPicks, ChanceBaseline &baseline)
{
    for (std::size_t k = 0; k < byPicks.size(); ++k)
        for (std::size_t m = 0; m < baseline.hypergeometric[k].size() && m <= 6; ++m)
            r.expectedCounts[m] += byPicks[k] * baseline.hypergeometric[k][m];
    if (r.method == Backtest::OneShot) {
        r.hasPrizes = true;
        for (std::size_t c = 0; c < baseline.prizes.size(); ++c)
            r.expectedPrizes[c] = r.tickets * baseline.prizes[c];
    }
    if (r.draws == 0)
        return;
    const MatchSumLaw &law = baseline.laws.try_emplace(byPicks, byPicks).first->second;
    const double n = r.draws;
    r.observedMean = static_cast<double>(r.matches) / n;
    r.expectedMean = law.mean() / n;
    r.rangeLow = static_cast<double>(law.quantile(0.025)) / n;
    r.rangeHigh = static_cast<double>(law.quantile(0.975)) / n;
    // Lists that were always empty give nothing to compare.
    r.pValue = law.variance() > 0 ? law.twoSidedP(r.matches) : Nan;
}

Result resultOf(const Backtest &backtest, const std::map<int, DrawPrizes> &prizes, Method method,
    int shift, ChanceBaseline &baseline)
{
    Result r;
    r.method = method;
    r.shift = shift;
    r.key = std::string(Backtest::key(method));
    r.title = std::string(Backtest::title(method));
    std::array<int, HighestNumber + 1> byPicks{};
    tallyOutcomes(r, backtest, prizes, byPicks);
    compareWithChance(r, byPicks, baseline);
    return r;
}

// How the p-values were found, and the whole check in one sentence.
void writeConclusion(BacktestReport &report)
{
    report.pValueMethod
        = "p値は、一致数の合計を、各回の予想個数kで選んだランダムな数字の超幾何分布を"
          "畳み込んだ正確な分布と比べた両側検定で、Holm法で"
        + std::to_string(report.testCount)
        + "件の比較について補正しています。予想個数は履歴によって変わるため、"
          "この分布は実際に示された個数のもとでの正確な分布です。";
    const int better = report.betterCount();
    const int worse = report.worseCount();
    const std::string all = "全" + std::to_string(report.testCount) + "件の比較のうち、";
    if (better == 0 && worse == 0)
        report.verdict = all + "ランダムに選んだ数字と区別できる予想はありません。";
    else if (better == 0)
        report.verdict = all + "ランダムに選んだ数字より良いと言える予想はなく、劣る予想が"
            + std::to_string(worse) + "件あります。";
    else
        report.verdict = all + "ランダムに選んだ数字より良いと言える予想が" + std::to_string(better)
            + "件あります。";
}

} // namespace

BacktestReport makeBacktestReport(
    const Backtest &backtest, const std::map<int, DrawPrizes> &prizes, double alpha)
{
    BacktestReport report;
    report.from = backtest.from();
    report.completeDraws = backtest.completeDraws();
    report.draws = backtest.checkedCount();
    report.alpha = alpha;
    if (!backtest.drawNos().empty()) {
        report.firstDrawNo = backtest.drawNos().front();
        report.lastDrawNo = backtest.drawNos().back();
    }

    ChanceBaseline baseline;
    for (int m = Backtest::Cycle7; m <= Backtest::Cycle12; ++m)
        report.results.push_back(resultOf(backtest, prizes, static_cast<Method>(m), -1, baseline));
    for (int s = 0; s < Backtest::ShiftCount; ++s)
        for (int m = Backtest::Elimination; m <= Backtest::OneShot; ++m)
            report.results.push_back(
                resultOf(backtest, prizes, static_cast<Method>(m), s, baseline));

    report.testCount = settleHolmFamily(report.results, alpha);
    for (Result &r : report.results)
        r.verdict = verdictOf(r, alpha);
    writeConclusion(report);
    return report;
}

} // namespace loto6
