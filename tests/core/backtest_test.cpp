#include "analysis/probability.h"
#include "cli/cli.h"
#include "grid/numbertext.h"
#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "prediction/backtestsheets.h"
#include "prediction/matchsumlaw.h"
#include "store/csvhistory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <sstream>

namespace {

using namespace loto6;

std::vector<DrawRecord> realHistory()
{
    std::vector<DrawRecord> all;
    EXPECT_TRUE(test::readDraws(SHARED_HISTORY, all));
    return all;
}

DrawRecord drawOf(int no, const std::array<int, 7> &n)
{
    return test::draw(no, {n[0], n[1], n[2], n[3], n[4], n[5], n[6]});
}

// Seven distinct numbers of 1..43: the given ones first, then random others.
std::array<int, 7> fillDraw(std::mt19937 &rng, std::vector<int> chosen)
{
    std::uniform_int_distribution<int> pick(1, 43);
    while (chosen.size() < 7) {
        const int n = pick(rng);
        if (std::find(chosen.begin(), chosen.end(), n) == chosen.end())
            chosen.push_back(n);
    }
    std::array<int, 7> out{};
    std::copy_n(chosen.begin(), 7, out.begin());
    return out;
}

// Sum of independent hypergeometric variables by plain convolution, for comparison.
std::vector<double> convolved(const std::vector<int> &picksCount)
{
    std::vector<double> law{1.0};
    for (std::size_t k = 0; k < picksCount.size(); ++k) {
        const std::vector<double> one = hypergeometricDistribution(43, 6, static_cast<int>(k));
        for (int i = 0; i < picksCount[k]; ++i) {
            std::vector<double> next(law.size() + 6, 0.0);
            for (std::size_t s = 0; s < law.size(); ++s)
                for (std::size_t m = 0; m < one.size() && m <= 6; ++m)
                    next[s + m] += law[s] * one[m];
            law = std::move(next);
        }
    }
    return law;
}

TEST(Hypergeometric, RandomPicksBaseline)
{
    for (int k = 0; k <= 43; ++k) {
        const std::vector<double> p = hypergeometricDistribution(43, 6, k);
        EXPECT_NEAR(std::accumulate(p.begin(), p.end(), 0.0), 1.0, 1e-12) << "k " << k;
        double mean = 0;
        for (std::size_t m = 0; m < p.size(); ++m)
            mean += static_cast<double>(m) * p[m];
        EXPECT_NEAR(mean, 6.0 * k / 43.0, 1e-12) << "k " << k;
    }
    EXPECT_NEAR(hypergeometricPmf(43, 6, 6, 3), 155400.0 / 6096454.0, 1e-15);
    EXPECT_NEAR(MatchSumLaw(std::vector<int>{0, 0, 0, 0, 0, 0, 1}).mean(), 36.0 / 43.0, 1e-15);

    const auto prizes = prizeChances();
    const double tickets[] = {1, 6, 216, 9990, 155400};
    for (std::size_t c = 0; c < prizes.size(); ++c)
        EXPECT_NEAR(prizes[c], tickets[c] / 6096454.0, 1e-18) << (c + 1) << "等";
}

TEST(MatchSumLaw, AgreesWithPlainConvolution)
{
    struct Row
    {
        const char *name;
        std::vector<int> picksCount; // index = k
    };
    std::vector<int> mixed(19, 0);
    mixed[0] = 40;
    mixed[7] = 300;
    mixed[12] = 150;
    mixed[18] = 600;
    std::vector<int> manySix(7, 0);
    manySix[6] = 2000; // wider than the window the law keeps
    const std::vector<Row> rows = {
        {"no draws", {}},
        {"only empty lists", {5}},
        {"one draw of six", {0, 0, 0, 0, 0, 0, 1}},
        {"few mixed", {2, 1, 0, 3, 0, 0, 2, 0, 0, 0, 0, 0, 1}},
        {"mixed sizes", mixed},
        {"2000 draws of six", manySix},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const MatchSumLaw law(row.picksCount);
        const std::vector<double> exact = convolved(row.picksCount);
        double mean = 0, second = 0, low = 0;
        for (std::size_t s = 0; s < exact.size(); ++s) {
            const auto t = static_cast<long long>(s);
            EXPECT_NEAR(law.pmf(t), exact[s], 1e-13) << "total " << s;
            low += exact[s];
            EXPECT_NEAR(law.cdf(t), low, 1e-12) << "total " << s;
            mean += static_cast<double>(s) * exact[s];
            second += static_cast<double>(s * s) * exact[s];
        }
        EXPECT_NEAR(law.mean(), mean, 1e-9);
        EXPECT_NEAR(law.variance(), second - mean * mean, 1e-6);
        const long long median = law.quantile(0.5);
        EXPECT_GE(law.cdf(median), 0.5);
        EXPECT_LT(law.cdf(median - 1), 0.5);
        EXPECT_NEAR(law.twoSidedP(median),
            std::min(1.0, 2 * std::min(law.cdf(median), law.sf(median))), 1e-15);
    }
}

TEST(Backtest, PrizeClassAndComparison)
{
    const DrawRecord t = test::draw(9, {3, 8, 15, 22, 30, 41, 7});
    struct Row
    {
        const char *name;
        std::vector<int> numbers;
        int picks, matches;
        bool bonus;
        int prize;
    };
    const Row rows[] = {
        {"all six", {41, 3, 8, 15, 22, 30}, 6, 6, false, 1},
        {"five and the bonus", {3, 8, 15, 22, 30, 7}, 6, 5, true, 2},
        {"five", {3, 8, 15, 22, 30, 1}, 6, 5, false, 3},
        {"four", {3, 8, 15, 22, 7, 1}, 6, 4, true, 4},
        {"three", {3, 8, 15, 1, 2, 4}, 6, 3, false, 5},
        {"two", {3, 8, 1, 2, 4, 5}, 6, 2, false, 0},
        {"repeats and strays not counted", {3, 3, 0, 44, -2, 8}, 2, 2, false, 0},
        {"empty", {}, 0, 0, false, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Backtest::Outcome o = Backtest::compare(row.numbers, t);
        EXPECT_EQ(o.picks, row.picks);
        EXPECT_EQ(o.matches, row.matches);
        EXPECT_EQ(o.bonus, row.bonus);
        EXPECT_EQ(prizeClass(o.matches, o.bonus), row.prize);
    }
}

TEST(Backtest, EveryShiftHasSwitchSettings)
{
    int total = 0;
    for (int shift = 0; shift <= ReflectionShift::Max; ++shift) {
        const Backtest::ShiftSettings s = Backtest::settingsFor(shift);
        EXPECT_GE(s.settings, 1) << "shift " << shift;
        EXPECT_EQ(ReflectionShift::of(s.example), shift);
        total += s.settings;
    }
    EXPECT_EQ(total, 4096);
    EXPECT_EQ(switchList(Backtest::settingsFor(0).example), "なし");
    EXPECT_EQ(switchList(Backtest::settingsFor(15).example), "間隔分析");
    EXPECT_EQ(Backtest::settingsFor(92).settings, 1);
}

TEST(Backtest, RefusesAStartThatLeavesNothing)
{
    const DrawHistory h = test::history({test::draw(1, {1, 2, 3, 4, 5, 6, 7}),
        test::incomplete(2, 3), test::draw(3, {1, 2, 3, 4, 5, 6, 7})});
    Backtest b;
    EXPECT_FALSE(b.run(h, 0));
    EXPECT_FALSE(b.run(h, 3)); // the incomplete record does not count
    ASSERT_TRUE(b.run(h, 2));
    EXPECT_EQ(b.drawNos(), std::vector<int>{3});
}

// The engine each checked draw is predicted from holds exactly the draws before it: the same
// predictions, for every shift, as a fresh engine that scanned the history cut there.
TEST(Backtest, PredictionAtEachDrawEqualsAScanOfTheCutHistory)
{
    std::vector<DrawRecord> all = realHistory();
    all.resize(std::min<std::size_t>(all.size(), 400));
    all[200].fields[2].reset(); // an incomplete record is neither checked nor scanned
    const DrawHistory history(all);
    Backtest backtest;
    ASSERT_TRUE(backtest.run(history));

    int visited = 0;
    std::size_t index = 0;
    Backtest::walk(history, Backtest::DefaultFrom,
        [&](const DrawRecord &t, int latest, const PredictionEngine &engine) {
            const std::size_t checked = static_cast<std::size_t>(visited++);
            EXPECT_EQ(backtest.drawNos()[checked], t.drawNo);
            EXPECT_NE(t.drawNo, all[200].drawNo);
            if (checked % 37 != 0)
                return;
            while (all[index].drawNo != t.drawNo)
                ++index;
            PredictionEngine fresh;
            const int last = fresh.scan(DrawHistory(std::vector<DrawRecord>(
                all.begin(), all.begin() + static_cast<std::ptrdiff_t>(index))));
            EXPECT_EQ(latest, last);
            for (int shift = 0; shift < Backtest::ShiftCount; ++shift) {
                const Prediction p = fresh.predict(last, shift);
                ASSERT_EQ(engine.predict(latest, shift), p) << t.drawNo << " shift " << shift;
                for (int m = 0; m < Backtest::MethodCount; ++m) {
                    const auto method = static_cast<Backtest::Method>(m);
                    EXPECT_EQ(backtest.outcomes(method, shift)[checked],
                        Backtest::compare(Backtest::numbers(p, method), t))
                        << t.drawNo << " " << Backtest::key(method) << " shift " << shift;
                }
            }
        });
    EXPECT_EQ(visited, backtest.checkedCount());
    EXPECT_EQ(backtest.checkedCount(), 400 - 1 - (Backtest::DefaultFrom - 1));
}

TEST(Backtest, LaterDrawsNeverChangeAnEarlierCheck)
{
    std::vector<DrawRecord> all = realHistory();
    all.resize(std::min<std::size_t>(all.size(), 300));
    const std::size_t cut = 150;
    std::vector<DrawRecord> changed = all;
    std::mt19937 rng(7);
    for (std::size_t i = cut + 1; i < changed.size(); ++i)
        changed[i] = drawOf(changed[i].drawNo, fillDraw(rng, {}));
    changed.push_back(test::draw(all.back().drawNo + 5, {1, 2, 3, 4, 5, 6, 7}));

    Backtest a, b;
    ASSERT_TRUE(a.run(DrawHistory(all)));
    ASSERT_TRUE(b.run(DrawHistory(changed)));
    const auto upTo = static_cast<std::size_t>(
        std::find(a.drawNos().begin(), a.drawNos().end(), all[cut].drawNo) - a.drawNos().begin());
    ASSERT_LT(upTo, a.drawNos().size());
    for (int m = 0; m < Backtest::MethodCount; ++m)
        for (int shift = 0; shift < Backtest::ShiftCount; ++shift) {
            const auto &x = a.outcomes(static_cast<Backtest::Method>(m), shift);
            const auto &y = b.outcomes(static_cast<Backtest::Method>(m), shift);
            ASSERT_TRUE(
                std::equal(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(upTo) + 1, y.begin()))
                << Backtest::key(static_cast<Backtest::Method>(m)) << " shift " << shift;
        }
}

TEST(Backtest, ExtendingByNewDrawsEqualsAWholeRunAndAStopKeepsWhatWasChecked)
{
    std::vector<DrawRecord> all = realHistory();
    all.resize(std::min<std::size_t>(all.size(), 200));
    const std::vector<DrawRecord> earlier(all.begin(), all.end() - 3);
    Backtest whole, extended;
    ASSERT_TRUE(whole.run(DrawHistory(all)));
    ASSERT_TRUE(extended.run(DrawHistory(earlier)));
    const int before = extended.checkedCount();
    // A stop partway through the new draws leaves the earlier check whole.
    EXPECT_FALSE(extended.extend(DrawHistory(all), [](int done, int) { return done < 2; }));
    EXPECT_EQ(extended.checkedCount(), before);
    EXPECT_EQ(extended.outcomes(Backtest::OneShot, 5).size(), static_cast<std::size_t>(before));
    int asked = 0;
    ASSERT_TRUE(extended.extend(DrawHistory(all), [&](int done, int total) {
        asked = total;
        return done <= total;
    }));
    EXPECT_EQ(asked, 3); // only the new draws are predicted
    EXPECT_EQ(extended.drawNos(), whole.drawNos());
    for (int m = 0; m < Backtest::MethodCount; ++m)
        for (int shift = 0; shift < Backtest::ShiftCount; shift += 7)
            EXPECT_EQ(extended.outcomes(static_cast<Backtest::Method>(m), shift),
                whole.outcomes(static_cast<Backtest::Method>(m), shift));
}

TEST(BacktestReport, ExpectationsAddUpOverTheCheckedDraws)
{
    const DrawHistory history(realHistory());
    Backtest backtest;
    ASSERT_TRUE(backtest.run(history, 1000));
    const BacktestReport report = makeBacktestReport(backtest);
    EXPECT_EQ(report.results.size(), 4u + 3u * Backtest::ShiftCount);
    EXPECT_EQ(report.testCount, static_cast<int>(report.results.size()));
    for (const BacktestReport::Result &r : report.results) {
        SCOPED_TRACE(r.key + " " + std::to_string(r.shift));
        EXPECT_EQ(r.draws, backtest.checkedCount());
        EXPECT_EQ(std::accumulate(r.observedCounts.begin(), r.observedCounts.end(), 0), r.draws);
        EXPECT_NEAR(
            std::accumulate(r.expectedCounts.begin(), r.expectedCounts.end(), 0.0), r.draws, 1e-9);
        double expected = 0;
        long long matches = 0;
        for (const Backtest::Outcome &o : backtest.outcomes(r.method, r.shift)) {
            expected += 6.0 * o.picks / 43.0;
            matches += o.matches;
        }
        EXPECT_NEAR(r.expectedMean, expected / r.draws, 1e-12);
        EXPECT_EQ(r.matches, matches);
        EXPECT_LE(r.rangeLow, r.expectedMean);
        EXPECT_GE(r.rangeHigh, r.expectedMean);
        EXPECT_GE(r.adjustedP, r.pValue);
        if (r.hasPrizes) {
            EXPECT_EQ(r.tickets, r.draws);
            EXPECT_EQ(r.observedPrizes[3], r.observedCounts[4]);
            EXPECT_EQ(r.observedPrizes[4], r.observedCounts[3]);
        }
    }
}

// Payouts stored for the even draws only: each one-shot win gets its draw's yen, or counts as
// unknown on an odd draw; the prize table shows both.
TEST(BacktestReport, OneShotWinsGetTheYenOfTheirDraw)
{
    const DrawHistory history(realHistory());
    Backtest backtest;
    ASSERT_TRUE(backtest.run(history, 1000));
    constexpr std::array<long long, 5> Prize = {200'000'000, 10'000'000, 300'000, 7'000, 1'000};
    std::map<int, DrawPrizes> prizes;
    for (int no : backtest.drawNos())
        if (no % 2 == 0) {
            DrawPrizes &p = prizes[no];
            p.drawNo = no;
            for (int c = 1; c <= 5; ++c)
                p.tiers[static_cast<std::size_t>(c - 1)]
                    = {1, Prize[static_cast<std::size_t>(c - 1)]};
        }
    const BacktestReport report = makeBacktestReport(backtest, prizes);
    bool mixed = false;
    for (int shift = 0; shift < Backtest::ShiftCount; ++shift) {
        const BacktestReport::Result *r = report.find(Backtest::OneShot, shift);
        ASSERT_NE(r, nullptr);
        std::array<int, 5> onOdd{};
        const auto &outcomes = backtest.outcomes(Backtest::OneShot, shift);
        for (std::size_t i = 0; i < outcomes.size(); ++i)
            if (const int c = prizeClass(outcomes[i].matches, outcomes[i].bonus);
                c > 0 && outcomes[i].picks == 6 && backtest.drawNos()[i] % 2 != 0)
                ++onOdd[static_cast<std::size_t>(c - 1)];
        for (std::size_t c = 0; c < 5; ++c) {
            SCOPED_TRACE("shift " + std::to_string(shift) + " class " + std::to_string(c + 1));
            EXPECT_EQ(r->unknownPrizes[c], onOdd[c]);
            EXPECT_EQ(r->prizeYen[c], (r->observedPrizes[c] - onOdd[c]) * Prize[c]);
        }
        if (r->unknownPrizes[4] > 0 && r->prizeYen[4] > 0 && !mixed) {
            mixed = true;
            const int shifts[] = {shift};
            const Sheet sheet = backtestPrizesSheet(report, shifts);
            EXPECT_EQ(sheet.text(17, 2), "当せん金");
            EXPECT_EQ(sheet.text(17, 3),
                groupedText(r->prizeYen[4]) + "円＋不明" + std::to_string(r->unknownPrizes[4])
                    + "回");
        }
    }
    EXPECT_TRUE(mixed) << "no shift won 5等 on both kinds of draw";

    // Without payouts every win is unknown.
    const BacktestReport none = makeBacktestReport(backtest);
    const BacktestReport::Result *r = none.find(Backtest::OneShot, 0);
    EXPECT_EQ(r->unknownPrizes, r->observedPrizes);
    EXPECT_EQ(r->prizeYen, (std::array<long long, 5>{}));
}

// A history whose every draw from the 23rd on holds three numbers of the elimination list
// shown just before it; the same draws in shuffled order carry no such link.
TEST(BacktestReport, FlagsAMethodThatAlwaysHitsAndNotItsShuffle)
{
    std::mt19937 rng(2024);
    PredictionEngine engine;
    std::vector<std::array<int, 7>> draws;
    for (int no = 1; no <= 300; ++no) {
        std::vector<int> chosen;
        if (no > 22) {
            const std::vector<int> list = engine.predict(no - 1, 0).elimination;
            chosen.assign(
                list.begin(), list.begin() + std::min<std::ptrdiff_t>(3, std::ssize(list)));
        }
        draws.push_back(fillDraw(rng, chosen));
        engine.addDraw(no, draws.back());
    }
    const auto reportOf = [](const std::vector<std::array<int, 7>> &d) {
        std::vector<DrawRecord> records;
        for (std::size_t i = 0; i < d.size(); ++i)
            records.push_back(drawOf(static_cast<int>(i) + 1, d[i]));
        Backtest b;
        EXPECT_TRUE(b.run(DrawHistory(records)));
        return makeBacktestReport(b);
    };

    const BacktestReport built = reportOf(draws);
    const BacktestReport::Result *hit = built.find(Backtest::Elimination, 0);
    ASSERT_NE(hit, nullptr);
    EXPECT_GE(hit->observedMean, 3.0);
    EXPECT_TRUE(hit->better());
    EXPECT_LT(hit->adjustedP, 1e-6);
    EXPECT_NE(hit->verdict.find("良い"), std::string::npos);
    EXPECT_GE(built.betterCount(), 1);

    std::shuffle(draws.begin(), draws.end(), rng);
    const BacktestReport shuffled = reportOf(draws);
    EXPECT_FALSE(shuffled.find(Backtest::Elimination, 0)->notable);
    EXPECT_EQ(shuffled.betterCount(), 0);
    EXPECT_NE(shuffled.verdict.find("区別できる予想はありません"), std::string::npos);
}

// Five disjoint draws in turn: the one-shot six always come from the four draws before, so
// they never hit, which is worse than chance.
TEST(BacktestReport, FlagsAMethodThatNeverHits)
{
    std::vector<DrawRecord> records;
    for (int no = 1; no <= 200; ++no) {
        const int base = ((no - 1) % 5) * 7;
        records.push_back(
            test::draw(no, {base + 1, base + 2, base + 3, base + 4, base + 5, base + 6, base + 7}));
    }
    Backtest b;
    ASSERT_TRUE(b.run(DrawHistory(records)));
    const BacktestReport report = makeBacktestReport(b);
    const BacktestReport::Result *r = report.find(Backtest::OneShot, 0);
    EXPECT_EQ(r->matches, 0);
    EXPECT_TRUE(r->worse());
    EXPECT_FALSE(r->better());
}

TEST(BacktestSheets, SummaryAndChartData)
{
    std::vector<DrawRecord> all = realHistory();
    all.resize(200);
    Backtest b;
    ASSERT_TRUE(b.run(DrawHistory(all)));
    const BacktestReport report = makeBacktestReport(b);
    const std::vector<int> shifts = {0, 15};
    const std::vector<Sheet> sheets = backtestSheets(report, shifts);
    ASSERT_EQ(sheets.size(), 4u);
    EXPECT_EQ(sheets[0].name(), "backtest");
    EXPECT_EQ(sheets[0].caption(), "予想の検証");
    EXPECT_EQ(sheets[0].text(1, 2), " 7回周期法");
    EXPECT_EQ(sheets[0].text(2, 2), "共通");
    EXPECT_EQ(sheets[0].text(1, 8), "１発予想");
    EXPECT_EQ(sheets[0].text(2, 8), "0");
    EXPECT_EQ(sheets[0].text(2, 11), "15");
    EXPECT_EQ(sheets[3].text(3, 4), "間隔分析");
    EXPECT_EQ(backtestDataSheet(report, shifts).rows(), 1 + 4 + 3 * 2);
    EXPECT_EQ(report.observedMeans(Backtest::Consecutive).size(),
        static_cast<std::size_t>(Backtest::ShiftCount));
    EXPECT_DOUBLE_EQ(report.observedMeans(Backtest::OneShot)[15],
        report.find(Backtest::OneShot, 15)->observedMean);
}

using CliOutcome = test::CliRun;

CliOutcome runBacktest(const test::TempDir &dir, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--db", (dir / "history.db").string(), "backtest"});
    return test::runCli(std::move(args));
}

TEST(BacktestCommand, UsageErrors)
{
    test::TempDir dir;
    const std::vector<std::vector<std::string>> rows
        = {{"--shift", "93"}, {"--shift", "-1"}, {"--shift", "x"}, {"--from", "0"},
            {"--shift", "3", "--all-shifts"}, {"--format", "xml"}, {"--from"}, {"extra"}};
    for (const auto &args : rows) {
        const CliOutcome o = runBacktest(dir, args);
        EXPECT_EQ(o.code, cli::ExitUsage) << args[0];
        EXPECT_FALSE(o.err.empty());
    }
}

TEST(BacktestCommand, ShiftOfTheSettingsFileInTheWorkingFolder)
{
    test::TempDir dir;
    PredictionOptions options;
    options.on[1] = true; // 間隔分析Opt: shift 15
    ASSERT_TRUE(writeInitFile(dir / PredictionOptions::FileName, options));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const CliOutcome json = runBacktest(dir, {"--from", "1500", "--format", "json"});
    const CliOutcome csv = runBacktest(dir, {"--from", "1500", "--format", "csv", "--shift", "2"});
    const CliOutcome tooLate = runBacktest(dir, {"--from", "100000"});
    std::filesystem::current_path(before);

    ASSERT_EQ(json.code, cli::ExitOk) << json.err;
    EXPECT_NE(json.out.find("\"shifts\": [15]"), std::string::npos);
    EXPECT_NE(json.out.find("\"method\": \"elimination\", \"title\": \"消去法\", \"shift\": 15"),
        std::string::npos);
    EXPECT_NE(json.out.find("\"pValueMethod\": \"exact\""), std::string::npos);
    ASSERT_EQ(csv.code, cli::ExitOk) << csv.err;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 4 + 3);
    EXPECT_NE(csv.out.find("\none-shot,１発予想,2,"), std::string::npos);
    EXPECT_EQ(tooLate.code, cli::ExitFailure);
}

} // namespace
