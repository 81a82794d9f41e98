#include "analysis/chance.h"
#include "analysis/chancelaw.h"
#include "analysis/probability.h"
#include "cli/cli.h"
#include "store/csvhistory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <sstream>

using namespace loto6;
using loto6::test::draw;
using loto6::test::incomplete;

namespace {

// Every k-subset of 1..n as a bit mask (bit v - 1 for number v).
std::vector<unsigned> allSubsets(int n, int k)
{
    std::vector<unsigned> out;
    for (unsigned m = 0; m < (1u << n); ++m)
        if (std::popcount(m) == k)
            out.push_back(m);
    return out;
}

std::vector<int> members(unsigned mask)
{
    std::vector<int> v;
    for (int b = 0; b < 32; ++b)
        if (mask & (1u << b))
            v.push_back(b + 1);
    return v;
}

bool hasNeighbourGap(const std::vector<int> &sorted, int gap)
{
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i] - sorted[i - 1] == gap)
            return true;
    return false;
}

// A fair history: six main numbers and a bonus drawn without replacement from 1..43.
DrawHistory fairHistory(int draws, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<int> pool(43);
    std::vector<DrawRecord> out;
    for (int d = 1; d <= draws; ++d) {
        std::iota(pool.begin(), pool.end(), 1);
        std::shuffle(pool.begin(), pool.end(), rng);
        std::sort(pool.begin(), pool.begin() + 6);
        out.push_back(draw(d, {pool[0], pool[1], pool[2], pool[3], pool[4], pool[5], pool[6]}));
    }
    return DrawHistory(std::move(out));
}

const ChanceReport::Test &testOf(const ChanceReport &r, const std::string &key)
{
    const ChanceReport::Test *t = r.find(key);
    if (!t)
        throw std::runtime_error("no test " + key);
    return *t;
}

double observedIn(const ChanceReport::Test &t, const std::string &label)
{
    for (const auto &c : t.categories)
        if (c.label == label)
            return c.observed;
    return -1;
}

} // namespace

TEST(Probability, BinomialCoefficients)
{
    struct Row
    {
        const char *name;
        int n, k;
        std::uint64_t expected;
    };
    const Row rows[] = {
        {"loto6", 43, 6, 6096454},
        {"loto6 no neighbours", 38, 6, 2760681},
        {"zero of zero", 0, 0, 1},
        {"negative k", 5, -1, 0},
        {"k above n", 5, 6, 0},
        {"largest exact without reduction", 62, 31, 465428353255261088ULL},
        {"needs the common factor divided out", 67, 33, 14226520737620288370ULL},
    };
    for (const Row &r : rows)
        EXPECT_EQ(binomialCoefficient(r.n, r.k), r.expected) << r.name;
    EXPECT_NEAR(std::exp(logBinomialCoefficient(43, 6)), 6096454.0, 1e-4);
}

TEST(Probability, HypergeometricSumsToOneAndMatchesKnownValues)
{
    struct Row
    {
        const char *name;
        int population, successes, draws;
    };
    const Row rows[] = {
        {"carry-over", 43, 6, 6},
        {"odd numbers", 43, 22, 6},
        {"low numbers", 43, 21, 6},
        {"draws exceed failures", 10, 8, 5},
        {"large population (log path)", 500, 120, 60},
        {"nothing marked", 20, 0, 4},
    };
    for (const Row &r : rows) {
        const std::vector<double> pmf
            = hypergeometricDistribution(r.population, r.successes, r.draws);
        EXPECT_NEAR(std::accumulate(pmf.begin(), pmf.end(), 0.0), 1.0, 1e-12) << r.name;
        for (int k = 0; k <= r.draws; ++k) {
            const double cdf = hypergeometricCdf(r.population, r.successes, r.draws, k);
            const double sf = hypergeometricSf(r.population, r.successes, r.draws, k);
            EXPECT_NEAR(cdf + sf - pmf[static_cast<std::size_t>(k)], 1.0, 1e-12) << r.name << k;
        }
    }
    EXPECT_DOUBLE_EQ(hypergeometricPmf(43, 6, 6, 0), 2324784.0 / 6096454.0);
    EXPECT_DOUBLE_EQ(hypergeometricPmf(43, 6, 6, 6), 1.0 / 6096454.0);
    EXPECT_EQ(hypergeometricPmf(10, 8, 5, 2), 0.0); // at least three marked ones must come
    EXPECT_TRUE(std::isnan(hypergeometricPmf(10, 11, 5, 2)));
}

// Chi-square tails with even df have the closed form of a Poisson sum, and df 1 that of erfc.
static double evenDfTail(double x, int df)
{
    double term = std::exp(-x / 2), sum = 0;
    for (int i = 0; i < df / 2; ++i) {
        sum += term;
        term *= (x / 2) / (i + 1);
    }
    return sum;
}

TEST(Probability, ChiSquareAndNormalTailsAtKnownPoints)
{
    struct Row
    {
        const char *name;
        double x, df, p;
    };
    const Row rows[] = {
        {"df1 5% critical value", 3.841458820694124, 1, 0.05},
        {"df1 1% critical value", 6.634896601021214, 1, 0.01},
        {"df4 5% critical value", 9.487729036781154, 4, 0.05},
        {"df10 5% critical value", 18.30703805327515, 10, 0.05},
        {"df1 closed form", 0.3, 1, std::erfc(std::sqrt(0.15))},
        {"df2 closed form", 7.0, 2, std::exp(-3.5)},
        {"df42 low (series)", 20.0, 42, evenDfTail(20.0, 42)},
        {"df42 near the mean", 41.0, 42, evenDfTail(41.0, 42)},
        {"df42 5% (fraction)", 58.124, 42, evenDfTail(58.124, 42)},
        {"df42 far tail", 200.0, 42, evenDfTail(200.0, 42)},
        {"df6 small x", 0.01, 6, evenDfTail(0.01, 6)},
    };
    for (const Row &r : rows)
        EXPECT_NEAR(chiSquareSf(r.x, r.df) / r.p, 1.0, 1e-9) << r.name;
    EXPECT_NEAR(chiSquareSf(58.12403768086803, 42), 0.05, 1e-9);
    EXPECT_EQ(chiSquareSf(0.0, 5), 1.0);
    EXPECT_NEAR(regularizedGammaP(3.0, 2.0) + regularizedGammaQ(3.0, 2.0), 1.0, 1e-14);
    EXPECT_NEAR(normalTwoSidedP(1.959963984540054), 0.05, 1e-12);
    EXPECT_NEAR(normalTwoSidedP(-2.5758293035489), 0.01, 1e-12);
    EXPECT_NEAR(normalSf(0.0), 0.5, 1e-15);
}

TEST(Probability, HolmAdjustment)
{
    // Sorted 0.005, 0.01, 0.03, 0.04 scale by 4, 3, 2, 1 and are kept non-decreasing.
    const std::vector<double> p = {0.01, 0.04, 0.03, 0.005};
    const std::vector<double> a = holmAdjust(p);
    const std::vector<double> expected = {0.03, 0.06, 0.06, 0.02};
    for (std::size_t i = 0; i < p.size(); ++i)
        EXPECT_NEAR(a[i], expected[i], 1e-15) << i;

    // Unavailable tests stay out of the family; nothing exceeds 1.
    const std::vector<double> q = {0.5, NotANumber, 0.01};
    const std::vector<double> b = holmAdjust(q);
    EXPECT_NEAR(b[0], 0.5, 1e-15);
    EXPECT_TRUE(std::isnan(b[1]));
    EXPECT_NEAR(b[2], 0.02, 1e-15);
    EXPECT_EQ(holmAdjust(std::vector<double>{0.9, 0.8})[0], 1.0);
}

TEST(Probability, PoolsThinCellsIntoNeighbours)
{
    const std::vector<double> o = {1, 2, 3, 4};
    const PooledCells p = poolOrderedCells(o, std::vector<double>{6, 3, 3, 1});
    EXPECT_EQ(p.first, (std::vector<int>{0, 1}));
    EXPECT_EQ(p.last, (std::vector<int>{0, 3}));
    EXPECT_EQ(p.observed, (std::vector<double>{1, 9}));
    EXPECT_EQ(p.expected, (std::vector<double>{6, 7}));
    const PooledCells one = poolOrderedCells(o, std::vector<double>{1, 1, 1, 1});
    EXPECT_EQ(one.observed, (std::vector<double>{10}));
}

// The exact laws against enumeration of every draw, for several small games.
TEST(Probability, ExactBinomialTwoSidedP)
{
    struct Case
    {
        const char *name;
        int n, k;
        double p, expected;
    };
    const Case cases[] = {
        {"centre of a fair coin", 10, 5, 0.5, 1.0},
        {"no heads", 10, 0, 0.5, 2.0 / 1024},
        {"all heads", 10, 10, 0.5, 2.0 / 1024},
        {"upper tail", 10, 8, 0.5, 2.0 * 56 / 1024},
        // P(X >= 3) for n = 4, p = 0.1: 4 * 0.001 * 0.9 + 0.0001
        {"skewed upper tail", 4, 3, 0.1, 2 * 0.0037},
        {"no trials", 0, 0, 0.3, 1.0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(binomialTwoSidedP(c.n, c.k, c.p), c.expected, 1e-12) << c.name;
    EXPECT_TRUE(std::isnan(binomialTwoSidedP(3, 4, 0.5)));
    EXPECT_TRUE(std::isnan(binomialTwoSidedP(3, -1, 0.5)));
    // Far in a long history's tail the p-value is tiny but not lost.
    EXPECT_GT(binomialTwoSidedP(100000, 40000, 0.45), 0.0);
    EXPECT_LT(binomialTwoSidedP(100000, 40000, 0.45), 1e-100);
}

TEST(ChanceLaw, MatchesEnumerationOfSmallGames)
{
    const std::pair<int, int> games[] = {{10, 3}, {12, 4}, {9, 5}, {15, 6}, {7, 1}};
    for (auto [n, k] : games) {
        const ChanceLaw law(n, k);
        const std::vector<unsigned> subsets = allSubsets(n, k);
        ASSERT_EQ(subsets.size(), law.combinations());
        std::array<std::uint64_t, 4> avoid{};
        std::vector<std::uint64_t> sums(law.sumWays().size(), 0), odd(k + 1, 0), low(k + 1, 0),
            overlap(k + 1, 0);
        const unsigned fixed = subsets[subsets.size() / 3];
        for (unsigned m : subsets) {
            const std::vector<int> v = members(m);
            for (int gap = 1; gap <= 3; ++gap)
                avoid[static_cast<std::size_t>(gap)] += hasNeighbourGap(v, gap) ? 0 : 1;
            int s = 0, o = 0, l = 0;
            for (int x : v) {
                s += x;
                o += x % 2;
                l += x <= n / 2 ? 1 : 0;
            }
            ++sums[static_cast<std::size_t>(s)];
            ++odd[static_cast<std::size_t>(o)];
            ++low[static_cast<std::size_t>(l)];
            ++overlap[static_cast<std::size_t>(std::popcount(m & fixed))];
        }
        const std::string game = std::to_string(n) + "/" + std::to_string(k);
        for (int gap = 1; gap <= 3; ++gap)
            EXPECT_EQ(
                ChanceLaw::subsetsAvoidingGap(n, k, gap), avoid[static_cast<std::size_t>(gap)])
                << game << " gap " << gap;
        EXPECT_EQ(ChanceLaw::subsetsAvoidingGap(n, k, 1), binomialCoefficient(n - k + 1, k))
            << game;
        EXPECT_EQ(law.sumWays(), sums) << game;
        const auto total = static_cast<double>(law.combinations());
        for (int i = 0; i <= k; ++i) {
            const auto at = static_cast<std::size_t>(i);
            EXPECT_NEAR(law.oddLaw()[at], static_cast<double>(odd[at]) / total, 1e-14) << game;
            EXPECT_NEAR(law.lowLaw()[at], static_cast<double>(low[at]) / total, 1e-14) << game;
            EXPECT_NEAR(law.overlapLaw()[at], static_cast<double>(overlap[at]) / total, 1e-14)
                << game;
        }
        // Closed forms of the mean and variance of the sum of a random k-subset.
        EXPECT_NEAR(law.sumMean(), k * (n + 1) / 2.0, 1e-9) << game;
        EXPECT_NEAR(law.sumVariance(), k * (n + 1.0) * (n - k) / 12.0, 1e-9) << game;
    }
}

// The real game: all 6,096,454 draws of six numbers out of 43.
TEST(ChanceLaw, MatchesEnumerationOfLoto6)
{
    const ChanceLaw &law = ChanceLaw::loto6();
    std::uint64_t total = 0, withConsecutive = 0, withStepping = 0;
    std::vector<std::uint64_t> sums(law.sumWays().size(), 0), odd(7, 0), low(7, 0), overlap(7, 0);
    const std::array<int, MainNumberCount> previous = {3, 9, 17, 22, 30, 41};
    std::array<bool, 44> inPrevious{};
    for (int x : previous)
        inPrevious[static_cast<std::size_t>(x)] = true;
    std::array<int, MainNumberCount> v{};
    for (v[0] = 1; v[0] <= 38; ++v[0])
        for (v[1] = v[0] + 1; v[1] <= 39; ++v[1])
            for (v[2] = v[1] + 1; v[2] <= 40; ++v[2])
                for (v[3] = v[2] + 1; v[3] <= 41; ++v[3])
                    for (v[4] = v[3] + 1; v[4] <= 42; ++v[4])
                        for (v[5] = v[4] + 1; v[5] <= 43; ++v[5]) {
                            ++total;
                            bool c = false, s = false;
                            int sum = 0, o = 0, l = 0, common = 0;
                            for (std::size_t i = 0; i < 6; ++i) {
                                if (i > 0) {
                                    c = c || v[i] - v[i - 1] == 1;
                                    s = s || v[i] - v[i - 1] == 2;
                                }
                                sum += v[i];
                                o += v[i] & 1;
                                l += v[i] <= 21;
                                common += inPrevious[static_cast<std::size_t>(v[i])];
                            }
                            withConsecutive += c;
                            withStepping += s;
                            ++sums[static_cast<std::size_t>(sum)];
                            ++odd[static_cast<std::size_t>(o)];
                            ++low[static_cast<std::size_t>(l)];
                            ++overlap[static_cast<std::size_t>(common)];
                        }
    ASSERT_EQ(total, 6096454u);
    ASSERT_EQ(law.combinations(), total);
    const auto t = static_cast<double>(total);
    EXPECT_DOUBLE_EQ(law.consecutiveChance(), static_cast<double>(withConsecutive) / t);
    EXPECT_DOUBLE_EQ(law.steppingStoneChance(), static_cast<double>(withStepping) / t);
    EXPECT_EQ(withConsecutive, total - 2760681u); // C(38, 6) draws have no neighbours
    EXPECT_EQ(law.sumWays(), sums);
    for (std::size_t k = 0; k <= 6; ++k) {
        EXPECT_DOUBLE_EQ(law.oddLaw()[k], static_cast<double>(odd[k]) / t) << k;
        EXPECT_DOUBLE_EQ(law.lowLaw()[k], static_cast<double>(low[k]) / t) << k;
        EXPECT_DOUBLE_EQ(law.overlapLaw()[k], static_cast<double>(overlap[k]) / t) << k;
    }
    EXPECT_NEAR(law.sumMean(), 132.0, 1e-9);
    EXPECT_NEAR(law.sumVariance(), 814.0, 1e-9);
}

// Expected gap counts against every history of four draws of two numbers out of five.
TEST(ChanceLaw, GapCountsMatchEnumerationOfShortHistories)
{
    constexpr int n = 5, k = 2, draws = 4;
    const std::vector<unsigned> subsets = allSubsets(n, k);
    std::vector<double> gapTotals(draws, 0.0);
    std::size_t histories = 0;
    std::array<std::size_t, draws> idx{};
    while (true) {
        ++histories;
        for (int x = 0; x < n; ++x) {
            int last = -1;
            for (int d = 0; d < draws; ++d) {
                if (subsets[idx[static_cast<std::size_t>(d)]] & (1u << x)) {
                    if (last >= 0)
                        gapTotals[static_cast<std::size_t>(d - last)] += 1;
                    last = d;
                }
            }
        }
        std::size_t d = 0;
        while (d < draws && ++idx[d] == subsets.size())
            idx[d++] = 0;
        if (d == draws)
            break;
    }
    const std::vector<double> expected
        = ChanceLaw::expectedGapCounts(draws, static_cast<double>(k) / n);
    for (int g = 1; g < draws; ++g)
        EXPECT_NEAR(gapTotals[static_cast<std::size_t>(g)] / static_cast<double>(histories),
            n * expected[static_cast<std::size_t>(g)], 1e-12)
            << g;
}

TEST(Chance, CountsFollowTheCompleteRecordsOfAHandHistory)
{
    const DrawHistory h = test::history({
        draw(1, {1, 2, 3, 4, 5, 6, 7}), incomplete(2, 6),
        draw(3, {12, 10, 8, 6, 4, 2, 13}),   // stored out of order
        draw(4, {1, 1, 3, 4, 5, 6, 7}),      // a repeated number: not a draw
        draw(5, {40, 41, 42, 43, 44, 1, 2}), // a number beyond 43
    });
    const ChanceReport r = computeChance(h);
    EXPECT_EQ(r.draws, 2);
    EXPECT_EQ(r.pairs, 1);
    EXPECT_EQ(r.excluded, 2);

    struct Row
    {
        const char *key;
        const char *label;
        double observed;
    };
    const Row rows[] = {
        {"consecutive", "あり", 1},    // 1..6 only
        {"stepping-stone", "あり", 1}, // 2, 4, ..., 12 once sorted
        {"main-appearances", "2", 2},
        {"main-appearances", "7", 0}, // the bonus is not a main number
        {"all-appearances", "7", 1}, {"all-appearances", "13", 1}, {"five-band", "01～09", 11},
        {"five-band", "10～19", 3}, {"last-digit", "2", 3}, // 2 twice, 12 once
    };
    for (const Row &row : rows)
        EXPECT_EQ(observedIn(testOf(r, row.key), row.label), row.observed)
            << row.key << " " << row.label;
    // The previous draw of draw 3 is draw 1, across the incomplete one: 2, 4 and 6 carry over.
    EXPECT_DOUBLE_EQ(testOf(r, "carry-over").observed, 3.0);
    EXPECT_DOUBLE_EQ(testOf(r, "even-odd").observed, 1.5);  // 3 odd, then 0
    EXPECT_DOUBLE_EQ(testOf(r, "sum-mean").observed, 31.5); // 21 and 42
    EXPECT_DOUBLE_EQ(testOf(r, "gap").observed, 1.0);       // 2, 4, 6 return one draw later
}

// Whether a draw holds a consecutive pair (or a stepping stone) is a coin with a known chance,
// so the count of such draws is tested exactly.
TEST(Chance, ConsecutiveAndSteppingStoneUseTheExactBinomial)
{
    const ChanceLaw &law = ChanceLaw::loto6();
    const ChanceReport r = computeChance(fairHistory(300, 11));
    const std::pair<const char *, double> keys[]
        = {{"consecutive", law.consecutiveChance()}, {"stepping-stone", law.steppingStoneChance()}};
    for (auto [key, chance] : keys) {
        const auto &t = testOf(r, key);
        EXPECT_EQ(t.method, ChanceReport::Method::Binomial) << key;
        EXPECT_FALSE(t.rough) << key;
        const int hits = static_cast<int>(t.observed);
        EXPECT_DOUBLE_EQ(t.pValue, binomialTwoSidedP(r.draws, hits, chance)) << key;
    }
    // Two draws, one with a consecutive pair: twice the smaller tail of Binomial(2, q) at 1.
    const ChanceReport two = computeChance(
        test::history({draw(1, {1, 2, 10, 20, 30, 40, 43}), draw(2, {3, 6, 9, 12, 15, 18, 21})}));
    const double q = law.consecutiveChance();
    const double atMostOne = 1 - q * q, atLeastOne = 1 - (1 - q) * (1 - q);
    EXPECT_NEAR(testOf(two, "consecutive").pValue,
        std::min(1.0, 2 * std::min(atMostOne, atLeastOne)), 1e-12);
}

// The spread of the sums is the sample standard deviation: 21, 27 and 33 give 6 (dividing by
// n would give 4.90).
TEST(Chance, SumSpreadIsTheSampleStandardDeviation)
{
    const ChanceReport r = computeChance(test::history({draw(1, {1, 2, 3, 4, 5, 6, 43}),
        draw(2, {1, 2, 3, 4, 5, 12, 43}), draw(3, {1, 2, 3, 4, 5, 18, 43})}));
    const auto &t = testOf(r, "sum-spread");
    EXPECT_DOUBLE_EQ(t.observed, 6.0);
    EXPECT_EQ(t.observedText, "6.00");
}

TEST(Chance, ExpectedValuesOfTheBundledHistory)
{
    std::vector<DrawRecord> records;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, records));
    const ChanceReport r = computeChance(DrawHistory(std::move(records)));
    ASSERT_GT(r.draws, 2000);
    EXPECT_EQ(r.availableCount(), 12);
    const double n = r.draws;
    EXPECT_NEAR(testOf(r, "main-appearances").expected, 6 * n / 43, 1e-9);
    EXPECT_NEAR(testOf(r, "all-appearances").expected, 7 * n / 43, 1e-9);
    EXPECT_NEAR(testOf(r, "carry-over").expected, 36.0 / 43, 1e-12);
    EXPECT_NEAR(testOf(r, "even-odd").expected, 6 * 22.0 / 43, 1e-12);
    EXPECT_NEAR(testOf(r, "low-high").expected, 6 * 21.0 / 43, 1e-12);
    EXPECT_NEAR(testOf(r, "sum-spread").expected, std::sqrt(814.0), 1e-9);
    EXPECT_NEAR(testOf(r, "consecutive").expected, n * (1 - 2760681.0 / 6096454), 1e-9);
    for (const auto &t : r.tests) {
        double o = 0, e = 0;
        for (const auto &c : t.categories) {
            o += c.observed;
            e += c.expected;
        }
        EXPECT_NEAR(o, e, 1e-6 * e) << t.key << ": cells must share the observed total";
        EXPECT_GE(t.adjustedP, t.pValue) << t.key;
        EXPECT_FALSE(t.sentence.empty()) << t.key;
    }
}

TEST(Chance, FlagsAnExtremeHistory)
{
    std::vector<DrawRecord> records;
    for (int d = 1; d <= 300; ++d)
        records.push_back(draw(d, {1, 2, 3, 4, 5, 6, 7}));
    const ChanceReport r = computeChance(DrawHistory(std::move(records)));
    for (const char *key : {"main-appearances", "all-appearances", "carry-over", "consecutive",
             "even-odd", "low-high", "sum-mean", "five-band", "last-digit", "gap"})
        EXPECT_TRUE(testOf(r, key).notable) << key;
    EXPECT_NE(testOf(r, "sum-mean").sentence.find("偶然では説明しにくい"), std::string::npos);

    const Sheet s = chanceSheet(r);
    int marked = 0;
    for (int row = 2; row <= static_cast<int>(r.tests.size()) + 1; ++row)
        marked += s.text(8, row) == "注目" ? 1 : 0;
    EXPECT_EQ(marked, r.notableCount());
}

TEST(Chance, FairHistoriesAreRarelyNotable)
{
    int historiesWithNotable = 0, rawSignificant = 0;
    constexpr int Histories = 20;
    for (unsigned seed = 1; seed <= Histories; ++seed) {
        const ChanceReport r = computeChance(fairHistory(500, seed));
        ASSERT_EQ(r.availableCount(), 12);
        historiesWithNotable += r.notableCount() > 0 ? 1 : 0;
        for (const auto &t : r.tests)
            rawSignificant += t.pValue < 0.05 ? 1 : 0;
    }
    // Holm keeps the family-wise error near 5%; without it about 12 raw hits are expected.
    EXPECT_LE(historiesWithNotable, 3);
    EXPECT_LE(rawSignificant, 30);
}

// Under fair draws a chi-square statistic averages its degrees of freedom; without the
// correction for numbers that cannot repeat within a draw it would average 37 (or 36) / 42 of it.
TEST(Chance, WithinDrawCorrectionCentresTheStatistics)
{
    const std::pair<const char *, double> keys[]
        = {{"main-appearances", 42}, {"all-appearances", 42}, {"five-band", 4}, {"last-digit", 9}};
    constexpr int Runs = 300;
    std::map<std::string, double> sum;
    for (unsigned seed = 1; seed <= Runs; ++seed) {
        const ChanceReport r = computeChance(fairHistory(60, 1000 + seed));
        for (auto [key, df] : keys)
            sum[key] += testOf(r, key).statistic;
    }
    for (auto [key, df] : keys) {
        const double mean = sum[key] / Runs;
        const double se = std::sqrt(2 * df / Runs);
        EXPECT_NEAR(mean, df, 4 * se) << key;
    }
}

TEST(Chance, EmptyHistoryHasNoTestsButATable)
{
    const ChanceReport r = computeChance(DrawHistory());
    EXPECT_EQ(r.draws, 0);
    EXPECT_EQ(r.availableCount(), 0);
    EXPECT_EQ(r.notableCount(), 0);
    const Sheet s = chanceSheet(r);
    EXPECT_EQ(s.name(), "chance");
    EXPECT_EQ(s.caption(), "偶然との比較");
    EXPECT_EQ(s.text(1, 1), "項目");
    EXPECT_EQ(s.text(6, 1), "p値");
    EXPECT_EQ(s.text(8, 2), "—");
    EXPECT_NE(std::string(s.text(9, 2)).find("検定できません"), std::string::npos);
}

TEST(Chance, SheetHasAHeaderRowAndOneRowPerTest)
{
    const ChanceReport r = computeChance(fairHistory(200, 7));
    const Sheet s = chanceSheet(r);
    EXPECT_EQ(s.columns(), 9);
    for (std::size_t i = 0; i < r.tests.size(); ++i) {
        const int row = static_cast<int>(i) + 2;
        EXPECT_EQ(s.text(1, row), r.tests[i].title);
        EXPECT_EQ(s.text(9, row), r.tests[i].sentence);
    }
    // The notes say that many tests are shown at once; the last row holds the last gap cell.
    bool multipleNote = false;
    for (int row = 1; row <= s.rows(); ++row)
        multipleNote
            = multipleNote || std::string(s.text(2, row)).find("Holm") != std::string::npos;
    EXPECT_TRUE(multipleNote);
    EXPECT_EQ(s.text(1, s.rows()), testOf(r, "gap").categories.back().label);
    // 5分割 and 下一桁 count the bonus number as the tables do, and a note says so.
    for (const char *key : {"five-band", "last-digit"}) {
        double counted = 0;
        for (const auto &c : testOf(r, key).categories)
            counted += c.observed;
        EXPECT_EQ(counted, 7.0 * r.draws) << key;
    }
    bool bonusNote = false;
    for (const std::string &note : r.notes)
        bonusNote = bonusNote
            || (note.find("5分割と下一桁") != std::string::npos
                && note.find("ボーナス数字") != std::string::npos);
    EXPECT_TRUE(bonusNote);
}

TEST(Chance, CommandLineFormats)
{
    test::TempDir dir;
    const std::string db = (dir / "c.db").string();
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", db, "chance"});
        const test::CliRun r = test::runCli(std::move(args));
        return std::make_pair(r.code, r.out);
    };
    auto [jsonCode, json] = run({"--format", "json"});
    EXPECT_EQ(jsonCode, 0);
    EXPECT_TRUE(json.starts_with("{\"name\": \"chance\""));
    EXPECT_NE(json.find("\"key\": \"gap\""), std::string::npos);
    auto [csvCode, csv] = run({"--format", "csv"});
    EXPECT_EQ(csvCode, 0);
    EXPECT_TRUE(csv.starts_with("項目,観測値,"));
    auto [textCode, text] = run({});
    EXPECT_EQ(textCode, 0);
    EXPECT_TRUE(text.starts_with("項目"));
    auto [htmlCode, html] = run({"--format", "html"});
    EXPECT_EQ(htmlCode, 0);
    EXPECT_NE(html.find("<td"), std::string::npos);
    EXPECT_EQ(run({"--format", "xml"}).first, 2);
    EXPECT_EQ(run({"extra"}).first, 2);
}
