// The count laws of the winner counts: their closed forms against direct sums, a planted crowd
// found on a synthetic history with its calibration held, the running backtest's predictions
// that never move when later draws come, and the figures on the bundled history.
#include "analysis/portablerandom.h"
#include "popularity/countlaw.h"
#include "popularity/neighbourhood.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityfit.h"
#include "store/database.h"
#include "store/prizestore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace loto6;
using namespace loto6::popularity;

namespace {

double uniform01(PortableRandom &r) { return static_cast<double>(r.next() >> 11) * 0x1.0p-53; }

long long poisson(PortableRandom &r, double mean)
{
    const double limit = std::exp(-mean);
    long long k = 0;
    for (double p = uniform01(r); p > limit; p *= uniform01(r))
        ++k;
    return k;
}

Combination randomDraw(PortableRandom &r, int &bonus)
{
    std::array<int, HighestNumber> all{};
    for (int i = 0; i < HighestNumber; ++i)
        all[static_cast<std::size_t>(i)] = i + 1;
    for (std::size_t i = 0; i < MainNumberCount + 1; ++i)
        std::swap(all[i], all[i + r.below(HighestNumber - i)]);
    Combination c{};
    std::copy(all.begin(), all.begin() + MainNumberCount, c.begin());
    std::sort(c.begin(), c.end());
    bonus = all[MainNumberCount];
    return c;
}

// A history whose players pick by `truth`, except that every 25th draw (4%) falls on a
// combination a crowd 40 times its model weight chose: its 1等 winners are Poisson about 40
// times the mean. Tiers 2 to 5 as the weights give them.
std::vector<DrawObservation> crowdedHistory(int count, std::vector<int> *crowded = nullptr)
{
    const PopularityModel truth;
    const Neighbourhood hood(truth);
    PortableRandom r(2024);
    std::vector<DrawObservation> draws;
    for (int d = 1; d <= count; ++d) {
        DrawObservation o;
        o.drawNo = d;
        o.numbers = randomDraw(r, o.bonus);
        o.sales = 1'200'000'000;
        const auto shares = hood.winnerShares(o.numbers, o.bonus);
        const bool crowd = d % 25 == 7;
        if (crowd && crowded)
            crowded->push_back(d);
        for (std::size_t t = 1; t < Tiers; ++t)
            o.winners[t] = std::llround(*o.tickets() * shares[t]);
        o.winners[0] = poisson(r, *o.tickets() * shares[0] * (crowd ? 40.0 : 1.0));
        draws.push_back(o);
    }
    return draws;
}

FitSettings fewTerms()
{
    FitSettings settings;
    settings.terms = {true, {PairTrait::Birthdays}};
    settings.halfLife = 0;
    return settings;
}

bool insideJointBands(const PopularityBacktest &b)
{
    const double joint = std::pow(0.95, 1.0 / static_cast<double>(b.firstPrize.size()));
    for (std::size_t g = 0; g < b.firstPrize.size(); ++g) {
        const auto [low, high] = bandOf(b.groupLaw(g), joint);
        if (b.firstPrize[g].observed < low || b.firstPrize[g].observed > high)
            return false;
    }
    return true;
}

} // namespace

TEST(CountLaw, ClosedFormsAgreeWithDirectSums)
{
    const CountLaw poissonLaw;
    const CountLaw crowd{0.9, 2.5, 0.03, 12.0, 0.4};
    for (const CountLaw &law : {poissonLaw, crowd})
        for (double lambda : {0.0, 0.3, 2.7, 40.0}) {
            double mass = 0, mean = 0, share = 0, capped = 0;
            for (long long k = 0; k < 20000; ++k) {
                const double p = law.pmf(k, lambda);
                mass += p;
                mean += static_cast<double>(k) * p;
                share += p / static_cast<double>(k + 1);
                capped += p * std::min(6e8, 4.1e9 / static_cast<double>(k + 1));
            }
            EXPECT_NEAR(mass, 1.0, 1e-9) << lambda;
            EXPECT_NEAR(law.mean(lambda), mean, 1e-6 * (1 + mean)) << lambda;
            EXPECT_NEAR(law.meanShare(lambda), share, 1e-9) << lambda;
            EXPECT_NEAR(law.cappedShare(4.1e9, 6e8, lambda), capped, 1e-9 * 6e8) << lambda;
            for (long long k : {0LL, 1LL, 5LL, 60LL})
                EXPECT_NEAR(law.cdf(k, lambda) + law.tail(k + 1, lambda), 1.0, 1e-9);
        }
    // Poisson keeps today's closed form, and a far tail is summed, not 1 minus almost 1.
    EXPECT_NEAR(poissonLaw.meanShare(2.0), (1 - std::exp(-2.0)) / 2.0, 1e-12);
    EXPECT_NEAR(std::log10(poissonLaw.tail(167, 2.7)), -229, 1);
    // The sum of Poisson counts is Poisson about the summed mean: the same bounds.
    const auto sum = sumLaw({{poissonLaw, 3.0}, {poissonLaw, 4.5}, {poissonLaw, 2.5}});
    const auto band = bandOf(sum, 0.95);
    EXPECT_LE(poissonLaw.cdf(band.first - 1, 10.0), 0.025);
    EXPECT_GT(poissonLaw.cdf(band.first, 10.0), 0.025);
    EXPECT_GE(poissonLaw.cdf(band.second, 10.0), 0.975);
    EXPECT_LT(poissonLaw.cdf(band.second - 1, 10.0), 0.975);
}

// A predicted count's 95% interval is the exact law's bounds, from a first prize's few to a
// 5等's hundreds of thousands, and holds simulated counts at its rate.
TEST(CountLaw, IntervalsAreTheLawsBoundsAndHoldSimulatedCounts)
{
    const CountLaw poissonLaw;
    const CountLaw crowd{0.9, 2.5, 0.03, 12.0, 0.4};
    const CountLaw spread{1.0, 23.0, 0.0, 1.0, 1.0};
    for (const CountLaw &law : {poissonLaw, crowd, spread})
        for (double lambda : {0.0, 0.4, 1.2, 8.0, 250.0})
            EXPECT_EQ(law.interval(lambda, 0.95), bandOf(sumLaw({{law, lambda}}), 0.95))
                << lambda << " " << law.shape;
    const CountLaw fifth{1.0, 360.0, 0.0, 1.0, 1.0};
    const auto [low, high] = fifth.interval(190'000, 0.95);
    EXPECT_LE(fifth.cdf(low - 1, 190'000), 0.025);
    EXPECT_GT(fifth.cdf(low, 190'000), 0.025);
    EXPECT_GE(fifth.cdf(high, 190'000), 0.975);
    EXPECT_LT(fifth.cdf(high - 1, 190'000), 0.975);
    // Simulated: a gamma-spread mean (mixed with the crowd's) and a Poisson count about it.
    std::mt19937_64 rng(5);
    for (double lambda : {1.2, 40.0}) {
        const auto band = crowd.interval(lambda, 0.95);
        int inside = 0;
        constexpr int Trials = 40000;
        for (int i = 0; i < Trials; ++i) {
            const bool crowded = std::uniform_real_distribution<double>(0, 1)(rng) < 0.03;
            const double shape = crowded ? 0.4 : 2.5;
            const double mean = lambda * 0.9 * (crowded ? 12.0 : 1.0);
            const double m = std::gamma_distribution<double>(shape, mean / shape)(rng);
            const long long k = std::poisson_distribution<long long>(m)(rng);
            inside += band.first <= k && k <= band.second ? 1 : 0;
        }
        EXPECT_GE(inside, Trials * 95 / 100 - 200) << lambda; // three standard errors
        EXPECT_LE(inside, Trials * 99 / 100) << lambda;       // not wide for its own sake
    }
}

TEST(CountLaw, FindsAPlantedCrowdAndHoldsItsCalibration)
{
    std::vector<int> crowded;
    const std::vector<DrawObservation> draws = crowdedHistory(1000, &crowded);
    const PopularityModel model = fitPopularity(draws, 601, fewTerms());
    const CountLaw &law = model.countLaw(1);
    EXPECT_NEAR(law.crowdWeight, 0.04, 0.025);
    EXPECT_GT(law.crowdWeight * law.crowdFactor * law.scale, 0.8) << "the crowd's share of winners";
    // The crowd part names the planted draws, and hardly any other.
    int named = 0, wrong = 0;
    for (const DrawObservation &o : draws) {
        const double lambda = *o.tickets() * model.expectedWinnerShares(o.numbers, o.bonus)[0];
        const bool planted = std::find(crowded.begin(), crowded.end(), o.drawNo) != crowded.end();
        const bool found = law.crowdChance(o.winners[0], lambda) > 0.5;
        named += planted && found ? 1 : 0;
        wrong += !planted && found ? 1 : 0;
    }
    EXPECT_GE(named, 30) << "of " << crowded.size();
    EXPECT_LE(wrong, 5);
    // Held out: the groups inside the law's joint band, the PIT uniform, the likelihood far
    // above the Poisson law's, which leaves the planted counts beyond any chance.
    const PopularityBacktest b = runPopularityBacktest(draws, 601, model);
    EXPECT_TRUE(insideJointBands(b));
    ASSERT_TRUE(b.firstPrizePitP);
    EXPECT_GE(*b.firstPrizePitP, 0.05);
    EXPECT_GT(b.likelihood.model[0], b.likelihood.poisson[0] + 20);
    PopularityModel poissonModel = model;
    poissonModel.setCountLaw(1, {});
    EXPECT_LT(smallestFirstPrizeTail(draws, poissonModel).tail, 1e-6);
    EXPECT_GT(smallestFirstPrizeTail(draws, model).tail, 1e-6);
}

TEST(CountLaw, RunningPredictionsNeverMoveWhenLaterDrawsCome)
{
    const std::vector<DrawObservation> all = crowdedHistory(420);
    const std::vector<DrawObservation> cut(all.begin(), all.begin() + 350);
    std::vector<DrawObservation> altered = all;
    for (DrawObservation &o : altered)
        if (o.drawNo > 350)
            o.winners = {500, 99, 999, 99999, 999999};
    const auto running = [](const std::vector<DrawObservation> &draws) {
        return runRunningBacktest(
            draws, 200, [&](int before) { return fitPopularity(draws, before, fewTerms()); });
    };
    const PopularityBacktest a = running(all), c = running(cut), x = running(altered);
    ASSERT_EQ(c.draws.size(), 151u);
    ASSERT_EQ(a.draws.size(), 221u);
    for (std::size_t i = 0; i < c.draws.size(); ++i) {
        EXPECT_EQ(a.draws[i].fittedBefore, c.draws[i].drawNo < 300 ? 200 : 300);
        for (const PopularityBacktest *other : {&c, &x}) {
            EXPECT_EQ(a.draws[i].predicted, other->draws[i].predicted) << a.draws[i].drawNo;
            EXPECT_EQ(a.draws[i].law, other->draws[i].law) << a.draws[i].drawNo;
        }
    }
    // Each block's model learnt before the block: its law is the one fitted there.
    EXPECT_EQ(a.draws.back().law[0], fitPopularity(all, 400, fewTerms()).countLaw(1));
}
