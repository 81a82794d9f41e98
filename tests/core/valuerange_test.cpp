// The yen of a ticket with its conditions and its range: the carry-over of the latest payouts
// reaching the value (and the 6億 cap), the range covering the true value at its stated rate
// on simulated histories, the mark of a ticket outside the tested popularity, and the level
// of a random ticket against the realized value of the recent draws without a carry-over.
#include "popularity/popularitysheets.h"
#include "popularity/valuerange.h"
#include "popularitysupport.h"
#include "store/database.h"
#include "store/prizestore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <numeric>
#include <random>

using namespace loto6;
using namespace loto6::popularity;

namespace {

const PopularityModel &truth()
{
    static const PopularityModel model = [] {
        std::array<double, HighestNumber> numbers{};
        for (int n = 0; n < HighestNumber; ++n)
            numbers[static_cast<std::size_t>(n)] = n < 10 ? 0.3 : n > 35 ? -0.25 : 0.0;
        return PopularityModel(
            {true, {PairTrait::Birthdays, PairTrait::Neighbours}}, numbers, {0.1, -0.3});
    }();
    return model;
}

const Neighbourhood &truthHood()
{
    static const Neighbourhood hood(truth());
    return hood;
}

using test::randomCombination;

// Draws 1201.. whose winners are Poisson counts around what the true players give, each
// prize its pool shared (1等 carried over when nobody wins); the last draw's carry-over as
// given.
std::vector<DrawObservation> simulatedDraws(int count, unsigned seed, long long lastCarryOver = 0)
{
    std::mt19937 rng(seed);
    std::vector<DrawObservation> draws;
    const PrizeRules rules;
    for (int d = 0; d < count; ++d) {
        DrawObservation o;
        o.drawNo = 1201 + d;
        o.numbers = test::randomDraw(rng, o.bonus);
        o.sales = 1'200'000'000;
        const auto shares = truthHood().winnerShares(o.numbers, o.bonus);
        for (std::size_t t = 0; t < Tiers; ++t) {
            std::poisson_distribution<long long> winners(*o.tickets() * shares[t]);
            o.winners[t] = winners(rng);
            const double pool = t < 4 ? rules.poolShare[t] * 1.2e9 : 0;
            o.prize[t] = o.winners[t] == 0 ? 0
                : t < 4                    ? std::llround(pool / static_cast<double>(o.winners[t]))
                                           : 1000;
        }
        o.carryOver = o.winners[0] == 0 ? std::llround(rules.poolShare[0] * 1.2e9) : 0;
        draws.push_back(o);
    }
    draws.back().carryOver = lastCarryOver;
    return draws;
}

} // namespace

TEST(ValueConditions, TheLatestCarryOverReachesTheValueUpToTheCapWithACarryOver)
{
    const auto e = PopularityEstimate::build(simulatedDraws(300, 5, 3'000'000'000));
    ASSERT_TRUE(e && e->fitted());
    EXPECT_EQ(e->nextDraw().fromDraw, 1500);
    EXPECT_EQ(e->nextDraw().carryOver, 3e9);
    const TicketValuer next = e->nextDrawValuer();
    EXPECT_EQ(next.carryOver(), 3e9);
    EXPECT_EQ(next.sales(), e->rules().typicalSales);
    const TicketValue withCarry = next.value({10, 20, 30, 35, 40, 43});
    const TicketValue without = e->valuer().value({10, 20, 30, 35, 40, 43});
    // 30億 carried in: the few who share 1等 each reach the 6億 cap, never more.
    EXPECT_GT(withCarry.expectedPrize[0], 5.5e8);
    EXPECT_LE(withCarry.expectedPrize[0], 6e8);
    EXPECT_LE(without.expectedPrize[0], 2e8);
    EXPECT_EQ(withCarry.expectedPrize[1], without.expectedPrize[1]);
    // The kept spectrum at the next draw's conditions is the one made from every combination.
    const ValueSpectrum kept = e->spectrum(next);
    EXPECT_GT(kept.averageTicketValue, e->spectrum(e->valuer()).averageTicketValue + 50);
    const auto stored = PopularityEstimate::fromBlob(
        PopularityEstimate::makeBlob(simulatedDraws(300, 5, 3'000'000'000)),
        PopularityEstimate::keyOf(simulatedDraws(300, 5, 3'000'000'000)));
    ASSERT_TRUE(stored);
    EXPECT_EQ(
        stored->spectrum(stored->nextDrawValuer()).averageBoughtValue, kept.averageBoughtValue);
    // The sheet names the conditions and where the carry-over comes from.
    const ValueContext context = valueContext(*e, next, withCarry, kept);
    EXPECT_NEAR(context.withoutCarryOver, without.expectedValue, 1e-9);
    EXPECT_EQ(conditionsText(*e, next).find("第1500回の払戻金から") != std::string::npos, true);
}

TEST(ValueConditions, ATicketOutsideTheTestedPopularityIsMarkedExtrapolated)
{
    const auto e = PopularityEstimate::build(simulatedDraws(400, 9));
    ASSERT_TRUE(e && e->fitted());
    const ValueUncertainty &u = e->uncertainty();
    EXPECT_EQ(u.testedDraws, 101); // draws 1500..1600
    const TicketValuer valuer = e->valuer();
    const double average = e->spectrum(valuer).averageTicketValue;
    // The least popular combination lies below every tested one; a drawn held-out one within.
    const double lowest = e->leastPopularThreshold(0);
    EXPECT_LT(lowest, u.testedLow);
    EXPECT_TRUE(e->extrapolated(lowest));
    std::mt19937 rng(3);
    int inside = 0, outside = 0;
    for (int i = 0; i < 3000; ++i) {
        const TicketValue v = valuer.value(randomCombination(rng));
        const ValueRange r = valueRange(*e, valuer, v, average);
        const bool out = v.relativePopularity < u.testedLow || v.relativePopularity > u.testedHigh;
        EXPECT_EQ(r.extrapolated, out);
        (out ? outside : inside) += 1;
        EXPECT_LE(r.low, v.expectedValue);
        EXPECT_GE(r.high, v.expectedValue);
        EXPECT_LE(r.gainLow, v.expectedValue - average);
        EXPECT_GE(r.gainHigh, v.expectedValue - average);
    }
    EXPECT_GT(inside, 0);
    EXPECT_GT(outside, 0);
    // A history with no held-out draw has tested nothing: every ticket is extrapolated.
    std::vector<DrawObservation> early = simulatedDraws(250, 9);
    const auto untested = PopularityEstimate::build(early);
    EXPECT_EQ(untested->uncertainty().testedDraws, 0);
    EXPECT_TRUE(untested->extrapolated(1.0));
}

// On simulated histories with known players, the 95% range of a ticket's value holds its true
// value (the value under the true popularity, at the same rules) at least at the stated rate.
TEST(ValueConditions, TheRangeCoversTheTrueValueAtTheStatedRate)
{
    constexpr int Histories = 6, Tickets = 200;
    int covered = 0, gainCovered = 0, total = 0;
    double width = 0;
    std::mt19937 rng(17);
    for (int h = 0; h < Histories; ++h) {
        const auto e = PopularityEstimate::build(simulatedDraws(300, 100 + h));
        ASSERT_TRUE(e && e->fitted());
        const TicketValuer valuer = e->valuer();
        const TicketValuer trueValuer(truthHood(), e->rules(), valuer.sales(), 0);
        const double average = e->spectrum(valuer).averageTicketValue;
        double trueAverage = 0;
        std::vector<Combination> sample;
        for (int i = 0; i < 2000; ++i)
            trueAverage += trueValuer.value(randomCombination(rng)).expectedValue / 2000;
        for (int i = 0; i < Tickets; ++i) {
            const Combination c = randomCombination(rng);
            const TicketValue v = valuer.value(c);
            const ValueRange r = valueRange(*e, valuer, v, average);
            const double t = trueValuer.value(c).expectedValue;
            covered += r.low <= t && t <= r.high ? 1 : 0;
            gainCovered += r.gainLow - 2 <= t - trueAverage && t - trueAverage <= r.gainHigh + 2;
            width += r.high - r.low;
            ++total;
        }
    }
    std::cout << "range covers the true value in " << covered << " of " << total
              << " (gain: " << gainCovered << "), mean width " << width / total << " yen\n";
    EXPECT_GE(covered, total * 90 / 100);
    EXPECT_GE(gainCovered, total * 85 / 100);
    // Not wide for its own sake: a range of tens of yen would cover anything.
    EXPECT_LT(width / total, 40);
}

namespace {

// What one more ticket of a random combination would have won on one draw: each tier's pool
// shared with those who won it (1等 up to the cap), the pool itself where nobody won; each
// tier's part added to `tiers`.
double realizedValue(
    const DrawObservation &o, const PrizeRules &rules, std::array<double, Tiers> &tiers)
{
    double value = 0;
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        const auto winners = static_cast<double>(o.winners[i]);
        double pool = winners * static_cast<double>(o.prize[i]);
        if (t == 1)
            pool += static_cast<double>(o.carryOver); // no carry-over came in
        else if (t < Tiers && winners == 0)
            pool = rules.poolShare[i] * static_cast<double>(*o.sales);
        const double prize = t == Tiers ? static_cast<double>(o.prize[i]) : pool / (winners + 1);
        const double part
            = tierChance(t) * (t == 1 ? std::min(rules.capWithoutCarryOver, prize) : prize);
        tiers[i] += part;
        value += part;
    }
    return value;
}

// The level, like for like: on the recent draws with no carry-over coming in, a model learnt
// before them values a random combination at each draw's sales. What a random ticket won on a
// draw depends on which combination was drawn (a drawn combination the players shunned pays
// more), so beside the model's value of any random combination stands its value of a random
// ticket given the drawn numbers: each tier's chance times its prize shared with the winners
// the model expects on that very draw, by the prize rules in force on those draws. That one must
// lie within the realized value's 95% range (the spread of the draws); the unconditional one's
// range must meet it.
struct LevelFigures
{
    std::array<double, Tiers> realized{}, given{}, random{};
    std::vector<double> perDraw;
    double low = 0, high = 0;
};

LevelFigures levelFigures(const std::vector<DrawObservation> &draws)
{
    // The window: the latest 100 draws with sales; the model learns from the draws before it.
    std::vector<std::size_t> window;
    for (std::size_t k = draws.size(); k-- > 1 && window.size() < 100;)
        if (draws[k].sales)
            window.push_back(k);
    const int firstDraw = draws[window.back()].drawNo;
    std::vector<DrawObservation> before;
    for (const DrawObservation &o : draws)
        if (o.drawNo < firstDraw)
            before.push_back(o);
    const auto e = PopularityEstimate::build(before);
    LevelFigures f;
    if (!e || !e->fitted())
        return f;
    // The prizes as the rules in force on the window's draws share them.
    const PrizeRules rules = PrizeRules::fromHistory(draws);
    std::vector<Combination> sample;
    std::mt19937 rng(1);
    for (int i = 0; i < 300; ++i)
        sample.push_back(randomCombination(rng));
    for (std::size_t k : window) {
        const DrawObservation &o = draws[k];
        if (draws[k - 1].carryOver != 0 || draws[k - 1].drawNo != o.drawNo - 1)
            continue;
        f.perDraw.push_back(realizedValue(o, rules, f.realized));
        const TicketValuer valuer(e->neighbourhood(), rules, static_cast<double>(*o.sales));
        const auto shares = e->model().expectedWinnerShares(o.numbers, o.bonus);
        for (int t = 1; t <= Tiers; ++t)
            f.given[static_cast<std::size_t>(t - 1)] += tierChance(t)
                * valuer.tierPrize(t, *o.tickets() * shares[static_cast<std::size_t>(t - 1)]);
        for (const Combination &c : sample) {
            const TicketValue v = valuer.value(c);
            const auto [l, u] = levelRange(valuer, v, e->uncertainty().levelError);
            for (std::size_t t = 0; t < Tiers; ++t)
                f.random[t] += tierChance(static_cast<int>(t) + 1) * v.expectedPrize[t]
                    / static_cast<double>(sample.size());
            f.low += l / static_cast<double>(sample.size());
            f.high += u / static_cast<double>(sample.size());
        }
    }
    const auto n = static_cast<double>(f.perDraw.size());
    for (auto *tiers : {&f.realized, &f.given, &f.random})
        for (double &v : *tiers)
            v /= n;
    f.low /= n;
    f.high /= n;
    return f;
}

double total(const std::array<double, Tiers> &tiers)
{
    return std::accumulate(tiers.begin(), tiers.end(), 0.0);
}

} // namespace

TEST(ValueConditions, TheModelsLevelAgreesWithTheRealizedValueOfRecentDraws)
{
    test::TempDir dir;
    Database db;
    ASSERT_TRUE(db.openOrCreate(dir / "h.db", SHARED_HISTORY));
    DrawHistory h;
    std::map<int, DrawPrizes> prizes;
    ASSERT_TRUE(db.loadHistory(h, Database::NoCut));
    ASSERT_TRUE(readPrizes(db, prizes));
    const LevelFigures f = levelFigures(observationsOf(h, prizes));
    const auto n = static_cast<double>(f.perDraw.size());
    ASSERT_GE(n, 20);
    const double mean = total(f.realized);
    double squares = 0;
    for (double v : f.perDraw)
        squares += (v - mean) * (v - mean);
    const double se = std::sqrt(squares / (n - 1) / n);
    std::cout << f.perDraw.size() << " recent draws without a carry-over: realized " << mean
              << " yen (95% " << mean - 1.96 * se << ".." << mean + 1.96 * se
              << "); the model's random ticket given the drawn numbers " << total(f.given)
              << " yen; any random combination " << total(f.random) << " yen (95% " << f.low << ".."
              << f.high << ")\nby tier (realized / given the draw / any):";
    for (std::size_t t = 0; t < Tiers; ++t)
        std::cout << ' ' << t + 1 << "等 " << f.realized[t] << " / " << f.given[t] << " / "
                  << f.random[t];
    std::cout << '\n';
    RecordProperty("realized", std::to_string(mean));
    RecordProperty("model", std::to_string(total(f.given)));
    // A tier shared wrongly, a cap confused or a pool misread moves the value out of range.
    EXPECT_GE(total(f.given), mean - 1.96 * se);
    EXPECT_LE(total(f.given), mean + 1.96 * se);
    EXPECT_LE(f.low, mean + 1.96 * se);
    EXPECT_GE(f.high, mean - 1.96 * se);
    EXPECT_LT(f.low, total(f.random));
    EXPECT_GT(f.high, total(f.random));
    // The fixed 5等 prize is the same on both sides, to rounding.
    EXPECT_NEAR(f.realized[Tiers - 1], f.given[Tiers - 1], 0.5);
}

// By simulation, with the players known: over many draws, a random ticket given the drawn
// numbers is worth, tier by tier, what one more ticket would have won on them (each pool shared
// with the winners drawn about that mean, 1等 up to its cap).
TEST(ValueConditions, ARandomTicketGivenTheDrawIsWorthWhatItWinsOnSimulatedDraws)
{
    const std::vector<DrawObservation> draws = simulatedDraws(4000, 21);
    const PrizeRules rules;
    const TicketValuer valuer(truthHood(), rules, 1.2e9);
    std::array<double, Tiers> realized{}, given{}, squares{};
    for (const DrawObservation &o : draws) {
        std::array<double, Tiers> won{};
        realizedValue(o, rules, won);
        const auto shares = truthHood().winnerShares(o.numbers, o.bonus);
        for (std::size_t t = 0; t < Tiers; ++t) {
            const double g = tierChance(static_cast<int>(t) + 1)
                * valuer.tierPrize(static_cast<int>(t) + 1, *o.tickets() * shares[t]);
            realized[t] += won[t];
            given[t] += g;
            squares[t] += (won[t] - g) * (won[t] - g);
        }
    }
    const auto n = static_cast<double>(draws.size());
    for (std::size_t t = 0; t < Tiers; ++t) {
        const double se = std::sqrt(squares[t] / n / n);
        EXPECT_NEAR(realized[t] / n, given[t] / n, 3 * se + 1e-9) << "tier " << t + 1;
        EXPECT_LT(se, 0.02 * given[t] / n) << "too few draws to tell a fault";
    }
}
