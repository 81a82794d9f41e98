// Wheels re-checked by an enumeration of their own, and the exact odds of ticket sets.
#include "design/designsheets.h"
#include "design/odds.h"
#include "design/wheel.h"
#include "design/wheeldesigns.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>

using namespace loto6;
using namespace loto6::design;

namespace {

// Every `size`-subset of the pool, handed to f as a mask of numbers.
void everySubset(const std::vector<int> &pool, int size, std::size_t from, NumberMask m,
    const std::function<void(NumberMask)> &f)
{
    if (size == 0) {
        f(m);
        return;
    }
    for (std::size_t i = from; i + static_cast<std::size_t>(size) <= pool.size(); ++i)
        everySubset(pool, size - 1, i + 1, m | NumberMask{1} << pool[i], f);
}

// The guarantee checked directly: every way that `ifDrawn` of the drawn numbers fall in the
// pool meets some ticket in at least `win` numbers; every ticket lies in the pool.
bool keepsGuarantee(const std::vector<int> &pool, const Wheel &w)
{
    NumberMask poolMask = 0;
    for (int n : pool)
        poolMask |= NumberMask{1} << n;
    for (const Combination &t : w.tickets)
        if ((maskOf(t) & ~poolMask) || std::popcount(maskOf(t)) != 6)
            return false;
    bool ok = true;
    everySubset(pool, w.ifDrawn, 0, 0, [&](NumberMask s) {
        ok = ok && std::any_of(w.tickets.begin(), w.tickets.end(), [&](const Combination &t) {
            return std::popcount(maskOf(t) & s) >= w.win;
        });
    });
    return ok;
}

std::vector<int> firstNumbers(int n)
{
    std::vector<int> pool(static_cast<std::size_t>(n));
    std::iota(pool.begin(), pool.end(), 1);
    return pool;
}

} // namespace

TEST(Wheel, FiveIfFiveReachesTheProvenMinimaOnSevenAndEightNumbers)
{
    for (const auto &[n, minimum] : {std::pair{7, 6}, {8, 12}}) {
        WheelRequest r;
        r.pool = firstNumbers(n);
        r.win = r.ifDrawn = 5;
        r.seconds = 5;
        Wheel w;
        ASSERT_TRUE(buildWheel(r, w));
        EXPECT_TRUE(w.verified);
        EXPECT_TRUE(keepsGuarantee(r.pool, w)) << n;
        EXPECT_EQ(static_cast<int>(w.tickets.size()), minimum) << n;
        EXPECT_GE(static_cast<long long>(w.tickets.size()), w.lowerBound);
    }
}

TEST(Wheel, EveryGuaranteeHoldsAndThreeIfThreeIsNearItsBound)
{
    const std::vector<int> pool{3, 7, 11, 19, 22, 28, 31, 35, 38, 40, 42, 43};
    for (int win = 3; win <= 5; ++win)
        for (int ifDrawn = win; ifDrawn <= 6; ++ifDrawn) {
            WheelRequest r;
            r.pool = pool;
            r.win = win;
            r.ifDrawn = ifDrawn;
            r.seconds = 0.3;
            Wheel w;
            ASSERT_TRUE(buildWheel(r, w)) << win << " if " << ifDrawn;
            EXPECT_TRUE(keepsGuarantee(pool, w)) << win << " if " << ifDrawn;
            if (win == 3 && ifDrawn == 3) {
                EXPECT_LE(static_cast<double>(w.tickets.size()), 1.2 * w.lowerBound);
            }
        }
    WheelRequest full;
    full.pool = firstNumbers(9);
    full.full = true;
    Wheel w;
    ASSERT_TRUE(buildWheel(full, w));
    EXPECT_EQ(w.tickets.size(), 84u);
    EXPECT_TRUE(keepsGuarantee(full.pool, w));
}

TEST(Wheel, BoundsAndCheckedRequests)
{
    EXPECT_EQ(schoenheimBound(10, 5), 44);
    EXPECT_EQ(schoenheimBound(20, 3), 64);
    EXPECT_EQ(schoenheimBound(7, 5), 6);
    EXPECT_EQ(wheelLowerBound(8, 6, 6), 28);
    // A ticket that misses one of the proofs' subsets is caught.
    std::vector<Combination> tickets{{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 7}};
    EXPECT_FALSE(wheelCovers(firstNumbers(7), tickets, 6, 6));
    EXPECT_FALSE(wheelCovers(firstNumbers(7), tickets, 5, 5));
    WheelRequest r;
    r.pool = firstNumbers(21);
    EXPECT_FALSE(checkWheelRequest(r));
    r.pool = firstNumbers(5);
    EXPECT_FALSE(checkWheelRequest(r));
    r.pool = {1, 2, 3, 4, 5, 5, 6};
    EXPECT_FALSE(checkWheelRequest(r));
    r.pool = firstNumbers(8);
    r.win = 5;
    r.ifDrawn = 4;
    EXPECT_FALSE(checkWheelRequest(r));
    r.win = 2;
    r.ifDrawn = 3;
    EXPECT_FALSE(checkWheelRequest(r));
}

TEST(Wheel, CancellingKeepsTheBestWheelFoundOrFailsBeforeOne)
{
    WheelRequest r;
    r.pool = firstNumbers(14);
    r.win = r.ifDrawn = 4;
    r.seconds = 20;
    Wheel w;
    int calls = 0;
    const Status s = buildWheel(r, w, [&](const WheelProgress &) { return ++calls < 3; });
    if (s) {
        EXPECT_TRUE(w.cancelled);
        EXPECT_TRUE(keepsGuarantee(r.pool, w));
    }
    EXPECT_LT(w.seconds, 10);
}

TEST(Wheel, SteinerSystemHoldsEveryFiveSubsetOfTwelveExactlyOnce)
{
    const std::vector<std::uint32_t> blocks = steinerS5612();
    ASSERT_EQ(blocks.size(), 132u);
    std::vector<int> held(std::size_t{1} << 12, 0);
    for (std::uint32_t b : blocks) {
        ASSERT_EQ(std::popcount(b), 6);
        for (std::uint32_t s = b;; s = (s - 1) & b) { // every subset of the block
            if (std::popcount(s) == 5)
                ++held[s];
            if (s == 0)
                break;
        }
    }
    int fiveSubsets = 0;
    for (std::uint32_t s = 0; s < held.size(); ++s)
        if (std::popcount(s) == 5) {
            ++fiveSubsets;
            EXPECT_EQ(held[s], 1) << s;
        }
    EXPECT_EQ(fiveSubsets, 792);
    EXPECT_EQ(constructedCovering(13, 6, 5).size(), 245u);
    EXPECT_EQ(constructedCovering(10, 3, 2).size(), 17u);
    EXPECT_TRUE(constructedCovering(14, 6, 5).empty());
}

// Every known design, mapped onto a scattered pool, keeps its guarantee on every subset (an
// enumeration of the test's own), comes at once and has the size the tables give.
TEST(Wheel, KnownDesignsAreAtTheBestKnownSizesOnAnyPool)
{
    const std::vector<int> numbers{
        2, 5, 8, 11, 13, 17, 19, 23, 26, 29, 31, 34, 37, 40, 41, 42, 43, 1, 3, 4};
    struct Case
    {
        int n, t, size, bestKnown, lowerBound;
    };
    for (const Case c : {Case{12, 5, 132, 132, 132}, {13, 5, 245, 245, 245}, {11, 5, 100, 100, 92},
             {12, 4, 41, 41, 40}, {12, 3, 15, 15, 15}, {10, 4, 20, 20, 20}, {9, 3, 7, 0, 6}}) {
        WheelRequest r;
        r.pool.assign(numbers.begin(), numbers.begin() + c.n);
        r.win = r.ifDrawn = c.t;
        r.seconds = 30;
        Wheel w;
        ASSERT_TRUE(buildWheel(r, w)) << c.n << " numbers " << c.t;
        EXPECT_TRUE(w.held && keepsGuarantee(r.pool, w)) << c.n << " numbers " << c.t;
        EXPECT_EQ(static_cast<int>(w.tickets.size()), c.size) << c.n << " numbers " << c.t;
        EXPECT_EQ(w.bestKnown, c.bestKnown) << c.n << " numbers " << c.t;
        EXPECT_EQ(w.lowerBound, c.lowerBound) << c.n << " numbers " << c.t;
        EXPECT_EQ(w.knownMinimum, c.bestKnown == c.lowerBound ? c.size : 0) << c.n;
        EXPECT_LT(w.seconds, 5);
    }
    // Every held or constructed design, each checked by the enumeration.
    for (int n = 7; n <= MaxPool; ++n)
        for (int t = 3; t <= 5; ++t) {
            const WheelDesign d = shippedWheel(n, t, t);
            if (d.tickets.empty())
                continue;
            Wheel w;
            w.win = w.ifDrawn = t;
            for (std::uint32_t b : d.tickets) {
                Combination c{};
                std::size_t i = 0;
                for (int p : numbersOf(b))
                    c[i++] = numbers[static_cast<std::size_t>(p)];
                std::sort(c.begin(), c.end());
                w.tickets.push_back(c);
            }
            EXPECT_TRUE(keepsGuarantee({numbers.begin(), numbers.begin() + n}, w)) << n << " " << t;
            EXPECT_TRUE(d.bestKnown == 0 || d.bestKnown == static_cast<int>(w.tickets.size()))
                << n << " " << t;
        }
    // The gap as the command line words it, for a wheel above both and one without a known size.
    Wheel above;
    above.tickets.resize(45);
    above.bestKnown = 41;
    above.lowerBound = 40;
    EXPECT_EQ(wheelGapText(above), "4 above the best known size, 5 above the bound");
    above.bestKnown = 0;
    above.lowerBound = 45;
    EXPECT_EQ(wheelGapText(above), "at the bound");
    // 3 if 3 on 14..20 numbers: no larger than the search gave within its time limit.
    constexpr std::array SearchedSizes{25, 31, 40, 46, 59, 71, 85};
    for (int n = 14; n <= MaxPool; ++n)
        EXPECT_LE(shippedWheel(n, 3, 3).tickets.size(),
            static_cast<std::size_t>(SearchedSizes[static_cast<std::size_t>(n - 14)]))
            << n;
}

namespace {

class FixedPrizes : public PrizeModel
{
public:
    double expectedPrize(const Combination &, int tier) const override
    {
        return std::array{2e8, 1e7, 3e5, 7000.0, 1000.0}[static_cast<std::size_t>(tier - 1)];
    }
    bool known(int) const override { return true; }
};

// Ways (draw and bonus) for at least one prize of each tier, counted draw by draw.
std::array<std::uint64_t, 6> plainWays(const std::vector<Combination> &tickets)
{
    std::array<std::uint64_t, 6> ways{};
    test::forEachSixOf43([&](const int *c) {
        Combination d{c[0], c[1], c[2], c[3], c[4], c[5]};
        const NumberMask dm = maskOf(d);
        for (int bonus = 1; bonus <= 43; ++bonus) {
            if (dm >> bonus & 1)
                continue;
            std::array<bool, 6> won{};
            for (const Combination &t : tickets) {
                const NumberMask tm = maskOf(t);
                const int m = std::popcount(tm & dm);
                const bool b = tm >> bonus & 1;
                const int tier = m == 6 ? 1 : m == 5 ? (b ? 2 : 3) : m == 4 ? 4 : m == 3 ? 5 : 0;
                if (tier)
                    won[static_cast<std::size_t>(tier - 1)] = won[5] = true;
            }
            for (std::size_t i = 0; i < 6; ++i)
                ways[i] += won[i];
            if (!won[5])
                break; // no prize with this draw, whatever the bonus
        }
    });
    return ways;
}

} // namespace

TEST(Odds, OneTicketHasTheTierChancesAndSetsMatchAPlainCount)
{
    TicketOdds odds;
    ASSERT_TRUE(ticketOdds({{2, 8, 10, 13, 27, 30}}, FixedPrizes(), odds));
    const std::array<std::uint64_t, 5> single{1, 6, 216, 9990, 155400};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(odds.ways[i], single[i] * 37) << i;
        EXPECT_DOUBLE_EQ(odds.atLeastOne[i], single[i] / 6096454.0);
        EXPECT_DOUBLE_EQ(odds.expectedCount[i], single[i] / 6096454.0);
    }
    EXPECT_EQ(odds.cost, 200);
    EXPECT_LT(odds.expectedReturn, odds.cost);

    // Two tickets five apart, a repeat and a far one: the bonus decides between 2等 and 3等.
    const std::vector<Combination> set{
        {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 7}, {20, 25, 30, 35, 40, 43}};
    ASSERT_TRUE(ticketOdds(set, FixedPrizes(), odds));
    const std::array<std::uint64_t, 6> plain = plainWays(set);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(odds.ways[i], plain[i]) << "tier " << i + 1;
    EXPECT_EQ(odds.distinct, 3);
    EXPECT_DOUBLE_EQ(odds.expectedCount[0], 4 / 6096454.0);

    // A set whose numbers cover nearly all 43 is counted draw by draw (the set above by its
    // numbers alone): against the plain count too.
    const std::vector<Combination> wide{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12},
        {13, 14, 15, 16, 17, 18}, {19, 20, 21, 22, 23, 24}, {25, 26, 27, 28, 29, 30},
        {31, 32, 33, 34, 35, 36}, {37, 38, 39, 40, 41, 42}, {2, 9, 16, 23, 30, 43}};
    ASSERT_TRUE(ticketOdds(wide, FixedPrizes(), odds));
    const std::array<std::uint64_t, 6> expected = plainWays(wide);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(odds.ways[i], expected[i]) << "tier " << i + 1;
}

TEST(Odds, RefusesBadSetsAndAveragesStoredPayouts)
{
    TicketOdds odds;
    EXPECT_FALSE(ticketOdds({}, FixedPrizes(), odds));
    EXPECT_FALSE(ticketOdds({{1, 1, 2, 3, 4, 5}}, FixedPrizes(), odds));
    EXPECT_FALSE(ticketOdds({{0, 1, 2, 3, 4, 5}}, FixedPrizes(), odds));
    std::map<int, DrawPrizes> prizes;
    for (int d : {1, 2}) {
        DrawPrizes p;
        p.drawNo = d;
        p.tiers[4] = {100, 1000 * d};      // 5等 1,000 and 2,000
        p.tiers[0] = {d == 1 ? 0 : 1, {}}; // nobody won / amount missing
        prizes[d] = p;
    }
    const AveragePrizeModel model(prizes);
    EXPECT_DOUBLE_EQ(model.expectedPrize({}, 5), 1500);
    EXPECT_FALSE(model.known(1));
    EXPECT_EQ(model.draws(5), 2);
}
