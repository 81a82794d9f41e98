// The charts against independent exact computations: the binomial bands from the pmf summed
// by hand, the sum and pattern laws by enumerating every combination, the bands' coverage on
// simulated fair histories, and the command line's chart command.

#include "testsupport.h"
#include "ticketsupport.h"

#include "analysis/chance.h"
#include "analysis/probability.h"
#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "chart/chartdraw.h"
#include "chart/chartwriter.h"
#include "grid/numbertext.h"
#include "popularity/popularitybacktest.h"
#include "store/database.h"
#include "store/drawprizes.h"
#include "store/prizestore.h"
#include "tickets/ticketgrading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

using namespace loto6;

namespace {

// A ticket of 01 02 03 04 05 06 bought from `first` for `draws` draws, `units` units a draw.
Ticket lowLine(int first, int draws, int units = 1)
{
    return test::ticket({1, 2, 3, 4, 5, 6}, first, draws, units);
}

// P(X = k) for k = 0..n by the product formula, in long double.
std::vector<long double> binomialPmf(int n, double p)
{
    std::vector<long double> pmf(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        long double c = 1;
        for (int i = 1; i <= k; ++i)
            c = c * (n - k + i) / i;
        pmf[static_cast<std::size_t>(k)]
            = c * std::pow(static_cast<long double>(p), k) * std::pow(1.0L - p, n - k);
    }
    return pmf;
}

long double below(const std::vector<long double> &pmf, long long k)
{
    long double s = 0;
    for (long long i = 0; i < k && i < static_cast<long long>(pmf.size()); ++i)
        s += pmf[static_cast<std::size_t>(i)];
    return s;
}

long double above(const std::vector<long double> &pmf, long long k)
{
    long double s = 0;
    for (long long i = k + 1; i < static_cast<long long>(pmf.size()); ++i)
        s += pmf[static_cast<std::size_t>(i)];
    return s;
}

const ChartPanel &panel(const Chart &c, std::size_t i = 0) { return c.panels.at(i); }

const ChartSeries &series(const ChartPanel &p, ChartSeries::Role role)
{
    for (const ChartSeries &s : p.series)
        if (s.role == role)
            return s;
    throw std::runtime_error("no such series");
}

Chart build(Chart (*builder)(const ChartInput &), const DrawHistory &h, int number = 1)
{
    const Totals totals = computeTotals(h);
    return builder(ChartInput{h, totals, number, nullptr, nullptr});
}

// The bundled history with its payouts, read through a database as the programs read them.
void bundledHistory(DrawHistory &h, std::map<int, DrawPrizes> &prizes)
{
    test::TempDir dir;
    Database db;
    ASSERT_TRUE(db.openOrCreate(dir / "h.db", SHARED_HISTORY));
    ASSERT_TRUE(db.loadHistory(h, Database::NoCut));
    ASSERT_TRUE(readPrizes(db, prizes));
}

} // namespace

TEST(ChartBands, AreTheTightestBoundsOfTheExactBinomialLaw)
{
    for (double p : {6.0 / 43, 7.0 / 43, 0.5, 0.02}) {
        for (int n : {1, 2, 7, 30, 61}) {
            const auto pmf = binomialPmf(n, p);
            for (double level : {0.95, 0.99}) {
                const long double tail = (1 - level) / 2;
                const CountBand b = binomialBand(n, p, level);
                SCOPED_TRACE(testing::Message() << "n=" << n << " p=" << p << " level=" << level);
                EXPECT_LE(below(pmf, b.low), tail + 1e-12);
                EXPECT_LE(above(pmf, b.high), tail + 1e-12);
                // One step tighter would leave more than the tail outside.
                EXPECT_GT(below(pmf, b.low + 1), tail - 1e-12);
                if (b.high > 0) {
                    EXPECT_GT(above(pmf, b.high - 1), tail - 1e-12);
                }
            }
        }
    }
}

TEST(ChartBands, StepwiseBandsEqualTheBandOfEachCount)
{
    const std::vector<CountBand> all = binomialBandsUpTo(400, 6.0 / 43, 0.95);
    for (long long k = 1; k <= 400; ++k) {
        const CountBand one = binomialBand(k, 6.0 / 43, 0.95);
        ASSERT_EQ(all[static_cast<std::size_t>(k)].low, one.low) << k;
        ASSERT_EQ(all[static_cast<std::size_t>(k)].high, one.high) << k;
    }
    EXPECT_NEAR(normalUpperQuantile(0.025), 1.959964, 1e-5);
}

TEST(ChartLaws, SumAndPatternExpectationsMatchEveryCombination)
{
    // Every one of the 6,096,454 combinations, counted directly.
    std::vector<double> sums(300, 0), odd(7, 0), low(7, 0);
    double total = 0;
    for (int a = 1; a <= 38; ++a)
        for (int b = a + 1; b <= 39; ++b)
            for (int c = b + 1; c <= 40; ++c)
                for (int d = c + 1; d <= 41; ++d)
                    for (int e = d + 1; e <= 42; ++e)
                        for (int f = e + 1; f <= 43; ++f) {
                            const int six[] = {a, b, c, d, e, f};
                            int s = 0, o = 0, l = 0;
                            for (int x : six) {
                                s += x;
                                o += x % 2;
                                l += x <= 21;
                            }
                            sums[static_cast<std::size_t>(s)] += 1;
                            odd[static_cast<std::size_t>(o)] += 1;
                            low[static_cast<std::size_t>(l)] += 1;
                            total += 1;
                        }
    ASSERT_EQ(total, 6096454);
    const DrawHistory h = test::history(test::makeDraws(50, 3));
    const Chart sum = build(buildSumChart, h);
    const ChartSeries &expected = series(panel(sum), ChartSeries::Role::Expected);
    ASSERT_EQ(panel(sum).xAxis.categories.front(), "21～30");
    for (std::size_t bin = 0; bin < expected.y.size(); ++bin) {
        double ways = 0;
        for (int s = 21 + 10 * static_cast<int>(bin);
             s < 31 + 10 * static_cast<int>(bin) && s < 300; ++s)
            ways += sums[static_cast<std::size_t>(s)];
        EXPECT_NEAR(expected.y[bin], 50 * ways / total, 1e-9) << panel(sum).xAxis.categories[bin];
    }
    const Chart evenOdd = build(buildEvenOddChart, h);
    const Chart lowHigh = build(buildLowHighChart, h);
    const ChartSeries &oddExpected = series(panel(evenOdd), ChartSeries::Role::Expected);
    const ChartSeries &lowExpected = series(panel(lowHigh), ChartSeries::Role::Expected);
    for (std::size_t k = 0; k <= 6; ++k) {
        EXPECT_NEAR(oddExpected.y[k], 50 * odd[k] / total, 1e-9) << k;
        EXPECT_NEAR(lowExpected.y[k], 50 * low[k] / total, 1e-9) << k;
    }
}

TEST(ChartLaws, CountsOfASmallHistory)
{
    // Draw 3 is incomplete and draw 4 repeats a number: neither is counted.
    const DrawHistory h = test::history({test::draw(1, {1, 2, 3, 4, 5, 6, 7}),
        test::draw(2, {1, 3, 5, 7, 9, 43, 2}), test::incomplete(3, 2),
        test::draw(4, {1, 1, 2, 3, 4, 5, 6}), test::draw(5, {2, 4, 22, 23, 24, 25, 1})});
    const Chart main = build(buildAppearancesChart, h);
    const ChartSeries &seen = series(panel(main), ChartSeries::Role::Observed);
    EXPECT_EQ(seen.y[0], 2);  // 1 in draws 1 and 2
    EXPECT_EQ(seen.y[1], 2);  // 2 in draws 1 and 5 (a bonus in draw 2)
    EXPECT_EQ(seen.y[42], 1); // 43
    EXPECT_NEAR(series(panel(main), ChartSeries::Role::Expected).y[0], 3 * 6.0 / 43, 1e-12);
    const Chart withBonus = build(buildAllAppearancesChart, h);
    const ChartSeries &all = series(panel(withBonus), ChartSeries::Role::Observed);
    EXPECT_EQ(all.y[0], 3);
    EXPECT_EQ(all.y[1], 3);
    // The band of the most extreme of 43 holds each band of one number.
    const ChartPanel &p = panel(main);
    ASSERT_EQ(p.bands.size(), 2u);
    for (std::size_t i = 0; i < 43; ++i) {
        EXPECT_LE(p.bands[0].low[i], p.bands[1].low[i]);
        EXPECT_GE(p.bands[0].high[i], p.bands[1].high[i]);
    }
    const Chart patterns = build(buildEvenOddChart, h);
    const ChartSeries &odd = series(panel(patterns), ChartSeries::Role::Observed);
    EXPECT_EQ(odd.y, (std::vector<double>{0, 0, 1, 1, 0, 0, 1})); // 3, 6 and 2 odd numbers

    // Number 1 in draws 1 and 2: gap 1; number 3 in draws 1 and 2; number 2 in draws 1 and 5
    // (the third counted draw): gap 2, and so on. The survival starts at 100%.
    const Chart gaps = build(buildGapChart, h);
    const ChartSeries &survival = series(panel(gaps), ChartSeries::Role::Observed);
    ASSERT_FALSE(survival.y.empty());
    EXPECT_EQ(survival.x.front(), 1);
    EXPECT_EQ(survival.y.front(), 100);
    EXPECT_NEAR(series(panel(gaps), ChartSeries::Role::Expected).y.front(), 100, 1e-9);

    const Chart one = build(buildNumberOverTimeChart, h, 2);
    const ChartSeries &cumulative = series(panel(one), ChartSeries::Role::Observed);
    EXPECT_EQ(cumulative.x, (std::vector<double>{1, 2, 5}));
    EXPECT_EQ(cumulative.y, (std::vector<double>{1, 1, 2}));
    const CountBand last = binomialBand(3, 6.0 / 43, 0.95);
    EXPECT_EQ(panel(one).bands[1].high.back(), static_cast<double>(last.high));
    EXPECT_NEAR(
        series(panel(one, 1), ChartSeries::Role::Observed).y.back(), 2 - 3 * 6.0 / 43, 1e-12);
}

TEST(ChartBands, HoldAboutNinetyFivePercentOfFairHistories)
{
    int inside = 0, numbers = 0, allInside = 0;
    constexpr int Histories = 300;
    for (int run = 0; run < Histories; ++run) {
        const DrawHistory h
            = test::history(test::makeDraws(150, 1000u + static_cast<unsigned>(run)));
        const ChartPanel p = panel(build(buildAppearancesChart, h));
        const ChartSeries &seen = series(p, ChartSeries::Role::Observed);
        bool all = true;
        for (std::size_t i = 0; i < 43; ++i) {
            ++numbers;
            inside += seen.y[i] >= p.bands[1].low[i] && seen.y[i] <= p.bands[1].high[i];
            all = all && seen.y[i] >= p.bands[0].low[i] && seen.y[i] <= p.bands[0].high[i];
        }
        allInside += all;
    }
    const double each = static_cast<double>(inside) / numbers;
    const double joint = static_cast<double>(allInside) / Histories;
    // Whole-number bounds hold at least 95%, a little more for so few draws.
    EXPECT_GE(each, 0.945);
    EXPECT_LE(each, 0.985);
    EXPECT_GE(joint, 0.90);
    EXPECT_LE(joint, 0.995);
}

TEST(ChanceChart, ScoresAreTheTestsOwnOrTheirTwoSidedEquivalent)
{
    const DrawHistory h = test::history(test::makeDraws(300, 11));
    const ChanceReport report = computeChance(h);
    const Chart c = build(buildChanceChart, h);
    const ChartSeries &z = series(panel(c), ChartSeries::Role::Observed);
    ASSERT_EQ(z.y.size(), report.tests.size());
    for (std::size_t i = 0; i < report.tests.size(); ++i) {
        const ChanceReport::Test &t = report.tests[i];
        SCOPED_TRACE(t.key);
        if (!t.available())
            EXPECT_TRUE(std::isnan(z.y[i]));
        else if (t.method == ChanceReport::Method::ChiSquare)
            EXPECT_NEAR(normalTwoSidedP(z.y[i]), t.pValue, 1e-9);
        else
            EXPECT_EQ(z.y[i], t.statistic);
        EXPECT_EQ(panel(c).xAxis.categories[i].find("注目") != std::string::npos, t.notable);
    }
    // Holm's first step (the smallest p-value) has the widest band, alpha over the family.
    const ChartBand &holm = panel(c).bands[0];
    const auto widest = std::max_element(holm.high.begin(), holm.high.end());
    EXPECT_NEAR(normalTwoSidedP(*widest), 0.05 / report.availableCount(), 1e-9);
}

TEST(ChanceChart, HolmBandIsTheWholeStepDown)
{
    // Sorted: 0.001 (level 0.05/4, kept), 0.012 (0.05/3, kept), 0.04 (0.05/2: not rejected, the
    // step-down stops) and 0.3 at the level where it stopped.
    const std::vector<double> p{0.001, 0.04, 0.012, 0.3, NotANumber};
    const std::vector<double> levels = holmLevels(p, 0.05);
    EXPECT_DOUBLE_EQ(levels[0], 0.0125);
    EXPECT_DOUBLE_EQ(levels[1], 0.025);
    EXPECT_DOUBLE_EQ(levels[2], 0.05 / 3);
    EXPECT_DOUBLE_EQ(levels[3], 0.025);
    EXPECT_TRUE(std::isnan(levels[4]));
    // Below its level exactly when the adjusted p-value is below alpha, on random families.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> uniform(0, 1);
    for (int family = 0; family < 200; ++family) {
        std::vector<double> q(1 + family % 12);
        for (double &x : q)
            x = std::pow(uniform(random), 4); // many small ones
        const std::vector<double> lv = holmLevels(q, 0.05);
        const std::vector<double> adjusted = holmAdjust(q);
        for (std::size_t i = 0; i < q.size(); ++i)
            ASSERT_EQ(q[i] < lv[i], adjusted[i] < 0.05) << family << " " << i;
    }
    // On the chart: a normal test is outside its Holm band exactly when it is notable.
    const DrawHistory h = test::history(test::makeDraws(300, 11));
    const ChanceReport report = computeChance(h);
    const Chart chart = build(buildChanceChart, h);
    const ChartPanel &c = panel(chart);
    for (std::size_t i = 0; i < report.tests.size(); ++i) {
        if (report.tests[i].method == ChanceReport::Method::Normal) {
            EXPECT_EQ(std::abs(series(c, ChartSeries::Role::Observed).y[i]) > c.bands[0].high[i],
                report.tests[i].notable)
                << report.tests[i].key;
        }
    }
}

TEST(ChartBands, PathBandsHoldWholeFairPathsAndTheStatedShareLeavesEachDrawBand)
{
    // The exact chance of staying inside, against every path of 12 draws.
    const double p = 6.0 / 43;
    const std::vector<CountBand> small = binomialBandsUpTo(12, p, 0.8);
    double inside = 0;
    for (unsigned path = 0; path < (1u << 12); ++path) {
        long long count = 0;
        bool in = true;
        for (int k = 1; k <= 12; ++k) {
            count += (path >> (k - 1)) & 1u;
            in = in && count >= small[static_cast<std::size_t>(k)].low
                && count <= small[static_cast<std::size_t>(k)].high;
        }
        const int ones = std::popcount(path);
        inside += in ? std::pow(p, ones) * std::pow(1 - p, 12 - ones) : 0;
    }
    EXPECT_NEAR(pathInsideProbability(small, p), inside, 1e-12);

    // The number chart's bands on 400 seeded fair histories of 150 draws, every number's path.
    int paths = 0, leftPath = 0, leftEach = 0;
    double stated = 0;
    for (unsigned run = 0; run < 400; ++run) {
        const DrawHistory h = test::history(test::makeDraws(150, 7000u + run));
        for (int number = 1; number <= 43; number += 6) { // seven numbers of each history
            const Chart c = build(buildNumberOverTimeChart, h, number);
            const ChartPanel &total = panel(c);
            const ChartSeries &seen = series(total, ChartSeries::Role::Observed);
            auto leaves = [&](const ChartBand &b) {
                for (std::size_t k = 0; k < seen.y.size(); ++k)
                    if (seen.y[k] < b.low[k] || seen.y[k] > b.high[k])
                        return true;
                return false;
            };
            ++paths;
            leftPath += leaves(total.bands[0]);
            leftEach += leaves(total.bands[1]);
            if (stated == 0) // "...濃い帯を出ることがN%あります"
                stated = 1 - pathInsideProbability(binomialBandsUpTo(150, p, 0.95), p);
            ASSERT_NE(c.note.find(fixedText(stated * 100, 0) + "%あります"), std::string::npos)
                << c.note;
        }
    }
    const double outPath = static_cast<double>(leftPath) / paths;
    const double outEach = static_cast<double>(leftEach) / paths;
    EXPECT_LE(outPath, 0.065); // 5% at most, with the simulation's error
    EXPECT_GE(outPath, 0.02);
    EXPECT_NEAR(outEach, stated, 0.04);
    EXPECT_GT(outEach, 0.15); // the per-draw band is no path band
}

TEST(ChartBands, GapBandsHoldTheirCoverageAtEveryLength)
{
    constexpr int Draws = 150;
    constexpr int Longest = 40;
    const std::vector<ShareBand> bands = gapShareBands(Draws, Longest, 1000, 99);
    std::vector<int> inside(Longest + 1, 0);
    constexpr int Histories = 400;
    for (unsigned run = 0; run < Histories; ++run) {
        const DrawHistory h = test::history(test::makeDraws(Draws, 3000u + run));
        const std::vector<double> share = gapShares(appearanceGaps(chartDraws(h)), Longest);
        for (int g = 1; g <= Longest; ++g)
            inside[static_cast<std::size_t>(g)] += share[static_cast<std::size_t>(g)]
                    >= bands[static_cast<std::size_t>(g)].low - 1e-12
                && share[static_cast<std::size_t>(g)]
                    <= bands[static_cast<std::size_t>(g)].high + 1e-12;
    }
    double mean = 0;
    for (int g = 1; g <= Longest; ++g) {
        const double coverage
            = static_cast<double>(inside[static_cast<std::size_t>(g)]) / Histories;
        EXPECT_GE(coverage, 0.915) << "gap " << g; // 95% less three standard errors
        mean += coverage / Longest;
    }
    EXPECT_GE(mean, 0.94);
    // The chart draws these bands.
    const DrawHistory h = test::history(test::makeDraws(Draws, 3000u));
    const Chart chart = build(buildGapChart, h);
    const ChartPanel &p = panel(chart);
    const std::vector<ShareBand> own
        = gapShareBands(Draws, static_cast<int>(p.bands[0].x.size()), 1000, 20240601);
    EXPECT_NEAR(p.bands[0].high[4], 100 * own[5].high, 1e-9);
}

TEST(TicketChart, CostWinningsAndTheRandomBand)
{
    std::vector<DrawRecord> draws = test::makeDraws(40, 5);
    draws[9] = test::draw(10, {1, 2, 3, 10, 20, 30, 43}); // three of the ticket: 5等
    const DrawHistory h = test::history(draws);
    const Ticket t = lowLine(5, 20, 3);
    std::map<int, DrawPrizes> prizes;
    for (int d = 1; d <= 40; ++d) {
        DrawPrizes p;
        p.drawNo = d;
        p.tiers[3].prize = 5000;
        p.tiers[4].prize = 1000;
        prizes[d] = p;
    }
    const TicketGrading grading({t}, h, prizes);
    const Totals totals = computeTotals(h);
    const ChartInput input{h, totals, 1, &grading, &prizes};
    const Chart c = buildTicketChart(input);
    const ChartPanel &p = panel(c);
    const ChartSeries &spent = p.series[0];
    ASSERT_EQ(spent.x.size(), 20u);
    EXPECT_EQ(spent.x.front(), 5);
    EXPECT_EQ(spent.y.back(), 20 * 3 * 200);
    const ChartSeries &won = series(p, ChartSeries::Role::Observed);
    EXPECT_EQ(won.y.back(), static_cast<double>(grading.summary().winnings));
    EXPECT_GE(won.y.back(), 3000);
    const ChartSeries &expected = series(p, ChartSeries::Role::Expected);
    EXPECT_NEAR(expected.y.back(),
        60 * (TicketGrading::tierChance(4) * 5000 + TicketGrading::tierChance(5) * 1000), 1e-6);
    // The band of random tickets is ordered, grows with the draws and holds its mean.
    for (std::size_t i = 0; i < p.bands[0].x.size(); ++i) {
        EXPECT_LE(p.bands[0].low[i], p.bands[0].high[i]);
        if (i > 0) {
            EXPECT_GE(p.bands[0].high[i], p.bands[0].high[i - 1]);
        }
    }
    EXPECT_LE(p.bands[0].low.back(), expected.y.back());
    EXPECT_GE(p.bands[0].high.back(), expected.y.back());
    // The same book gives the same picture.
    EXPECT_EQ(buildTicketChart(input).panels[0].bands[0].high, p.bands[0].high);
    // No book: no axes to read, only a note that says so.
    const Chart none = buildTicketChart(ChartInput{h, totals, 1, nullptr, nullptr});
    EXPECT_TRUE(none.panels.empty());
    EXPECT_NE(none.note.find("ありません"), std::string::npos);
}

// A book of the last three draws: its chart is titled with those draws, and its draw axis is
// marked at whole draws only (not 38.0, 38.2, …).
TEST(TicketChart, ABookOfAFewDrawsIsShownOnWholeDraws)
{
    const DrawHistory h = test::history(test::makeDraws(40, 5));
    const Ticket t = lowLine(38, 3);
    const std::map<int, DrawPrizes> prizes;
    const TicketGrading grading({t}, h, prizes);
    const Chart c = buildTicketChart(ChartInput{h, computeTotals(h), 1, &grading, &prizes});
    EXPECT_NE(c.title.find("第38回～第40回（3回分）"), std::string::npos) << c.title;
    struct Blank : ChartCanvas
    {
        void fillRect(const ChartRect &, Rgb) override { }
        void polygon(const std::vector<ChartPoint> &, Rgb) override { }
        void polyline(const std::vector<ChartPoint> &, const Pen &) override { }
        void text(double, double, std::string_view, double, Rgb, Anchor, bool, bool) override { }
    } canvas;
    for (double width : {400.0, 1000.0, 1900.0}) {
        const ChartLayout layout = layoutChart(c, canvas, width, 600);
        ASSERT_FALSE(layout.panels[0].x.ticks.empty());
        for (double tick : layout.panels[0].x.ticks)
            EXPECT_EQ(tick, std::round(tick)) << "at width " << width;
    }
}

// The band of the book's own winnings under fair draws: the 40 units of the one line win
// together, so the band is 40 times the exact binomial band of the line's draws that win the
// tier, not that of 8,000 independent units.
TEST(TicketChart, BandTiesTheUnitsOfALine)
{
    const DrawHistory h = test::history(test::makeDraws(200, 3));
    const Ticket t = lowLine(1, 200, 40);
    const Totals totals = computeTotals(h);
    for (const int tier : {4, 5}) {
        std::map<int, DrawPrizes> prizes;
        for (int d = 1; d <= 200; ++d) {
            prizes[d].drawNo = d;
            prizes[d].tiers[static_cast<std::size_t>(tier - 1)].prize = 1000;
        }
        const TicketGrading grading({t}, h, prizes);
        const Chart c = buildTicketChart(ChartInput{h, totals, 1, &grading, &prizes});
        const ChartBand &band = panel(c).bands[0];
        const CountBand exact = binomialBand(200, TicketGrading::tierChance(tier), 0.95);
        // The 2.5% and 97.5% points of 1,000 histories fall within a draw of the exact ones.
        EXPECT_NEAR(band.low.back() / 40000, static_cast<double>(exact.low), 1.01) << tier;
        EXPECT_NEAR(band.high.back() / 40000, static_cast<double>(exact.high), 1.01) << tier;
        EXPECT_EQ(std::fmod(band.high.back(), 40000), 0) << tier;
    }
}

// One line of 100,000 units over the whole history with its payouts: the band is billions
// wide (its units are one bet), and it holds the line's winnings.
TEST(TicketChart, OneLineOfManyUnitsOverTheWholeHistory)
{
    DrawHistory h;
    std::map<int, DrawPrizes> prizes;
    bundledHistory(h, prizes);
    Ticket t;
    t.numbers = {3, 11, 19, 24, 33, 41};
    t.draws = 2144;
    t.units = 100'000;
    const TicketGrading grading({t}, h, prizes);
    const Chart c = buildTicketChart(ChartInput{h, computeTotals(h), 1, &grading, &prizes});
    const ChartBand &band = panel(c).bands[0];
    EXPECT_LT(band.low.back(), 8e9);
    EXPECT_GT(band.high.back(), 4e10);
    EXPECT_LE(band.low.back(), static_cast<double>(grading.summary().winnings));
}

TEST(ChartWriter, SvgCsvAndJsonOfOneChart)
{
    Chart c;
    c.name = "t";
    c.caption = "A <&> \"chart\"";
    c.title = "x < y & z";
    ChartPanel p;
    p.xAxis.categories = {"a,b", "c"};
    p.series.push_back({"seen", ChartSeries::Role::Observed, ChartSeries::Mark::Bars,
        chartcolors::Observed, {0, 1}, {3, std::nan("")}});
    p.bands.push_back({"band", 0.95, chartcolors::Band, {0, 1}, {1, 2}, {4, 5}});
    c.panels.push_back(p);
    std::ostringstream svg, csv, json;
    writeChartSvg(svg, c);
    writeChartCsv(csv, c);
    writeChartJson(json, c);
    EXPECT_NE(
        svg.str().find("<title>A &lt;&amp;&gt; &quot;chart&quot;</title>"), std::string::npos);
    EXPECT_EQ(svg.str().find("x < y"), std::string::npos);
    EXPECT_NE(svg.str().find("x &lt; y &amp; z"), std::string::npos);
    EXPECT_TRUE(svg.str().ends_with("</svg>\n"));
    EXPECT_EQ(
        csv.str(), "\"A <&> \"\"chart\"\"\"\nx,seen,band 下限,band 上限\n\"a,b\",3,1,4\nc,,2,5\n");
    EXPECT_NE(json.str().find("\"y\": [3, null]"), std::string::npos);
    EXPECT_NE(json.str().find("\"categories\": [\"a,b\", \"c\"]"), std::string::npos);
}

TEST(ChartCommand, NamesFormatsNumbersAndProtectedOutput)
{
    test::TempDir dir;
    const std::string db = (dir / "c.db").string();
    test::makeDatabase(db, test::makeDraws(60, 9));
    const test::CliRun list = test::runCli({"--db", db, "chart", "--list"});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.out.find("appearances"), std::string::npos);
    EXPECT_NE(list.out.find("number --number N"), std::string::npos);
    const test::CliRun svg = test::runCli({"--db", db, "chart", "sum"});
    EXPECT_EQ(svg.code, 0) << svg.err;
    EXPECT_TRUE(svg.out.starts_with("<?xml"));
    const test::CliRun asOf = test::runCli(
        {"--db", db, "--as-of", "30", "chart", "number", "--number", "7", "--format", "json"});
    EXPECT_EQ(asOf.code, 0) << asOf.err;
    EXPECT_NE(asOf.out.find("第1回～第30回"), std::string::npos);
    EXPECT_NE(asOf.out.find("数字07"), std::string::npos);
    for (const std::vector<std::string> &bad : {std::vector<std::string>{"chart"},
             {"chart", "nosuch"}, {"chart", "sum", "--format", "png"},
             {"chart", "number", "--number", "44"}, {"chart", "number", "--number", "7x"},
             {"chart", "sum", "--number", "3"}, {"chart", "sum", "-o", ""}}) {
        std::vector<std::string> args = bad;
        args.insert(args.begin(), {"--db", db});
        const test::CliRun r = test::runCli(args);
        EXPECT_EQ(r.code, 2) << bad.back();
        EXPECT_FALSE(r.err.empty());
    }
    // The database is never the output.
    const std::string before = test::readAll(db);
    const test::CliRun over = test::runCli({"--db", db, "chart", "sum", "-o", db});
    EXPECT_EQ(over.code, 1);
    EXPECT_EQ(test::readAll(db), before);
    const test::CliRun file = test::runCli(
        {"--db", db, "chart", "gaps", "--format", "csv", "-o", (dir / "gaps.csv").string()});
    EXPECT_EQ(file.code, 0) << file.err;
    EXPECT_TRUE(test::readAll(dir / "gaps.csv").starts_with("出現間隔の分布"));
}

TEST(PopularityChart, FirstPrizeGroupsAndLowerTiersOfTheBacktest)
{
    DrawHistory h;
    std::map<int, DrawPrizes> prizes;
    bundledHistory(h, prizes);
    const Totals totals = computeTotals(h);
    // The running calibration's fits, made once for the chart and the check.
    std::map<int, popularity::PopularityModel> fits;
    const auto fit = [&](const std::vector<popularity::DrawObservation> &draws, int before) {
        if (!fits.contains(before))
            fits.emplace(before, popularity::fitPopularity(draws, before));
        return fits.at(before);
    };
    const std::vector<popularity::DrawObservation> draws = popularity::observationsOf(h, prizes);
    const popularity::PopularityBacktest b = popularity::runRunningBacktest(
        draws, popularity::DefaultBacktestFrom, [&](int before) { return fit(draws, before); });
    const auto summary = [&](const std::vector<popularity::DrawObservation> &, int from) {
        EXPECT_EQ(from, popularity::DefaultBacktestFrom);
        return popularity::summariseBacktest(b);
    };
    const Chart c = buildPopularityChart(ChartInput{h, totals, 1, nullptr, &prizes, summary});
    EXPECT_EQ(fits.size(), 7u) << "one fit per block of 100 draws from 1500";
    ASSERT_EQ(c.panels.size(), 2u);
    // 1等: every checked draw's winners fall in exactly one group, beside the prediction.
    const ChartPanel &first = panel(c, 0);
    const ChartSeries &seen = series(first, ChartSeries::Role::Observed);
    const ChartSeries &predicted = series(first, ChartSeries::Role::Expected);
    long long winners = 0;
    for (const auto &d : b.draws)
        winners += d.tickets > 0 ? d.observed[0] : 0;
    double seenTotal = 0;
    for (double y : seen.y)
        seenTotal += y;
    EXPECT_EQ(seenTotal, static_cast<double>(winners));
    ASSERT_EQ(predicted.y.size(), static_cast<std::size_t>(popularity::CalibrationGroups));
    // Each band holds its prediction, the joint band is the wider and holds what was seen,
    // and the groups' mean popularity rises along the axis as the prediction does.
    for (std::size_t g = 0; g < predicted.y.size(); ++g) {
        EXPECT_LE(first.bands[1].low[g], predicted.y[g]);
        EXPECT_GE(first.bands[1].high[g], predicted.y[g]);
        EXPECT_LE(first.bands[0].low[g], first.bands[1].low[g]);
        EXPECT_GE(first.bands[0].high[g], first.bands[1].high[g]);
        EXPECT_LE(first.bands[0].low[g], seen.y[g]);
        EXPECT_GE(first.bands[0].high[g], seen.y[g]);
        // Crowds spread the count beyond a Poisson count's 2 sqrt(m), above more than below.
        EXPECT_GT(first.bands[1].high[g] - predicted.y[g], 2.5 * std::sqrt(predicted.y[g]));
        EXPECT_GT(first.bands[1].high[g] - predicted.y[g], predicted.y[g] - first.bands[1].low[g]);
        if (g > 0) {
            EXPECT_GT(predicted.y[g], predicted.y[g - 1] * 0.5);
            EXPECT_LT(first.xAxis.categories[g - 1], first.xAxis.categories[g]);
        }
    }
    // Tiers 3..5: one point per draw the R² counts, in the same ratio units.
    const ChartPanel &lower = panel(c, 1);
    ASSERT_EQ(lower.series.size(), 4u);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(lower.series[k].x.size(), static_cast<std::size_t>(b.r2Draws[k]));
    // Without payouts there is nothing to check, and the chart says what to do.
    const Chart none = buildPopularityChart(ChartInput{h, totals, 1, nullptr, nullptr});
    EXPECT_TRUE(none.panels.empty());
    EXPECT_NE(none.note.find("払戻金を取り込む"), std::string::npos);
}
