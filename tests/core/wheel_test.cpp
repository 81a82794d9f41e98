// Wheels re-checked by an enumeration of their own, and the exact odds of ticket sets.
#include "design/odds.h"
#include "design/wheel.h"
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
