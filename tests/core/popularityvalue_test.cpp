// What the popularity model says about single tickets against what it says about all of them:
// one combination scored alone and in the full enumeration, the percentile scale, the yen of a
// ticket against its tiers, the fit never reading the draws it is cut before, and the
// designer's least-popular limit counted exactly.
#include "design/filters.h"
#include "design/generator.h"
#include "design/odds.h"
#include "design/popularityscale.h"
#include "popularity/popularityestimate.h"
#include "popularitysupport.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace loto6;
using namespace loto6::popularity;

namespace {

// A history whose players like low numbers and birthdays and avoid neighbours, with every
// draw's winners as that rule gives them.
std::vector<DrawObservation> syntheticDraws(int count)
{
    std::array<double, HighestNumber> numbers{};
    for (int n = 0; n < HighestNumber; ++n)
        numbers[static_cast<std::size_t>(n)] = n < 10 ? 0.25 : n > 35 ? -0.2 : 0.0;
    const PopularityModel truth(
        {true, {PairTrait::Birthdays, PairTrait::Neighbours}}, numbers, {0.1, -0.25});
    const Neighbourhood hood(truth);
    std::mt19937 rng(11);
    std::vector<DrawObservation> draws;
    for (int d = 1; d <= count; ++d) {
        std::array<int, HighestNumber> all{};
        for (int i = 0; i < HighestNumber; ++i)
            all[static_cast<std::size_t>(i)] = i + 1;
        std::shuffle(all.begin(), all.end(), rng);
        DrawObservation o;
        o.drawNo = d;
        std::copy(all.begin(), all.begin() + MainNumberCount, o.numbers.begin());
        std::sort(o.numbers.begin(), o.numbers.end());
        o.bonus = all[MainNumberCount];
        o.sales = 1'200'000'000;
        const auto shares = hood.winnerShares(o.numbers, o.bonus);
        for (std::size_t t = 0; t < Tiers; ++t) {
            o.winners[t] = std::llround(*o.tickets() * shares[t]);
            o.prize[t] = 1000;
        }
        draws.push_back(o);
    }
    return draws;
}

const PopularityEstimate &estimate()
{
    static const auto e = PopularityEstimate::build(syntheticDraws(400));
    return *e;
}

using test::randomCombination;

} // namespace

TEST(PopularityScoring, OneCombinationAgreesWithTheFullEnumeration)
{
    const PopularityEstimate &e = estimate();
    ASSERT_TRUE(e.fitted());
    const PopularityModel &model = e.model();
    const std::vector<float> all = model.allRelativePopularities();
    ASSERT_EQ(all.size(), static_cast<std::size_t>(CombinationCount));
    double mean = 0;
    for (float r : all)
        mean += r;
    EXPECT_NEAR(mean / static_cast<double>(all.size()), 1.0, 1e-6) << "1.0 is the average ticket";
    const design::PopularityScale scale(model);
    std::mt19937 rng(3);
    for (int k = 0; k < 2000; ++k) {
        const Combination c = randomCombination(rng);
        const std::array<int, MainNumberCount> x = zeroBased(c);
        const double one = model.relativePopularity(c);
        EXPECT_NEAR(
            all[static_cast<std::size_t>(colexRank(x.data(), MainNumberCount))], one, one * 1e-6);
        EXPECT_NEAR(scale.relative(scale.logWeight(design::maskOf(c))), one, one * 1e-12);
    }
}

TEST(PopularityScoring, PercentileRisesWithPopularityAndInvertsTheThreshold)
{
    const PopularityEstimate &e = estimate();
    double lastPercentile = -1, lastThreshold = 0;
    for (double p = 0.5; p <= 100; p += 0.5) {
        const double threshold = e.leastPopularThreshold(p);
        EXPECT_GE(threshold, lastThreshold) << p;
        const double below = e.percentile(threshold);
        EXPECT_GE(below, lastPercentile) << p;
        // The share strictly under the p% threshold is just under p%.
        EXPECT_LE(below, p + 1e-9) << p;
        EXPECT_GT(below, p - 0.01) << p;
        lastThreshold = threshold;
        lastPercentile = below;
    }
    EXPECT_EQ(e.percentile(0.0), 0.0);
    EXPECT_EQ(e.percentile(1e9), 100.0);
}

TEST(PopularityScoring, TicketYenAddsUpOverItsTiers)
{
    const PopularityEstimate &e = estimate();
    const TicketValuer valuer = e.valuer(2e9);
    std::mt19937 rng(5);
    std::vector<Combination> tickets;
    double total = 0;
    for (int k = 0; k < 3; ++k) {
        tickets.push_back(randomCombination(rng));
        const TicketValue v = valuer.value(tickets.back());
        double sum = 0;
        for (int t = 1; t <= Tiers; ++t) {
            const auto i = static_cast<std::size_t>(t - 1);
            if (t <= 2) // the count law is taken about the model's own mean
                EXPECT_DOUBLE_EQ(v.expectedPrize[i],
                    valuer.tierPrize(t, 2e9 / 200 * e.neighbourhood().sharerShares(v.numbers)[i]));
            else
                EXPECT_NEAR(v.expectedPrize[i], valuer.tierPrize(t, v.coWinners[i]), 1e-9);
            sum += tierChance(t) * v.expectedPrize[i];
        }
        EXPECT_NEAR(v.expectedValue, sum, 1e-9);
        total += v.expectedValue;
    }
    // The odds of the set through the prize seam give the same yen, ticket by ticket.
    design::TicketOdds odds;
    ASSERT_TRUE(design::ticketOdds(tickets,
        design::PopularityPrizeModel(
            valuer, PatternFamily{}, std::numeric_limits<double>::infinity()),
        odds));
    EXPECT_TRUE(odds.prizesPerTicket);
    EXPECT_NEAR(odds.expectedReturn, total, 1e-9);
    // A less popular ticket shares less, so it is worth more at the same sales.
    const Combination rare{33, 36, 38, 40, 42, 43}, common{1, 3, 5, 7, 9, 11};
    ASSERT_LT(valuer.value(rare).relativePopularity, valuer.value(common).relativePopularity);
    EXPECT_GT(valuer.value(rare).expectedValue, valuer.value(common).expectedValue);
}

TEST(PopularityFit, NeverReadsTheDrawsItIsCutBefore)
{
    const std::vector<DrawObservation> draws = syntheticDraws(400);
    std::vector<DrawObservation> altered = draws;
    for (DrawObservation &o : altered)
        if (o.drawNo >= 300) {
            o.winners = {7, 77, 777, 7777, 77777};
            o.sales = 400'000;
        }
    const std::vector<DrawObservation> cut(draws.begin(), draws.begin() + 299);
    const PopularityModel a = fitPopularity(draws, 300);
    const PopularityModel b = fitPopularity(altered, 300);
    const PopularityModel c = fitPopularity(cut, 300);
    EXPECT_EQ(a.numberWeights(), b.numberWeights());
    EXPECT_EQ(a.traitWeights(), b.traitWeights());
    EXPECT_EQ(a.numberWeights(), c.numberWeights());
    EXPECT_EQ(a.traitWeights(), c.traitWeights());
    for (int t = 3; t <= Tiers; ++t)
        EXPECT_EQ(a.calibration(t).b, c.calibration(t).b) << t;
    EXPECT_NE(fitPopularity(altered, 0).traitWeights(), a.traitWeights()) << "all draws count";
}

TEST(DesignPopularity, LeastPopularLimitCountsExactly)
{
    using namespace loto6::design;
    const PopularityEstimate &e = estimate();
    DesignFilter f;
    f.leastPopular = 5.0;
    f.odd = Range{2, 4};
    const DrawHistory h = test::history({test::draw(1, {1, 2, 3, 4, 5, 6, 7})});
    const FilterContext context = FilterContext::fromHistory(h, f, &e);
    ASSERT_TRUE(context.popularity);
    // Every combination judged alone, against the walk's count and what it visits. The limit
    // leaves out the pattern tickets (here runs, which this model's players avoid) unless the
    // filter includes them.
    DesignFilter withPatterns = f;
    withPatterns.includePatterns = true;
    const FilterContext all = FilterContext::fromHistory(h, withPatterns, &e);
    const PatternFamily patterns = PatternFamily::fromHistory(h);
    const PopularityLimit &limit = *context.popularity;
    std::uint64_t plain = 0, limitOnly = 0, patternsUnder = 0, wrong = 0, plainAll = 0;
    forEachCombination([&](const std::array<int, MainNumberCount> &x) {
        NumberMask m = 0;
        for (int n : x)
            m |= NumberMask{1} << (n + 1);
        const bool under = limit.scale.logWeight(m) <= limit.maxLogWeight;
        const bool pattern = patterns.kindOf(m).has_value();
        const bool admitted = limit.admits(m);
        wrong += admitted != (under && !pattern);
        limitOnly += under;
        patternsUnder += under && pattern;
        plain += admitted && passes(f, m, context.latest, context.drawn, &limit);
        plainAll += passes(withPatterns, m, all.latest, all.drawn, all.popularity.get());
    });
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(patternsUnder, 1000u);
    EXPECT_EQ(countPassing(withPatterns, all), plainAll);
    EXPECT_GT(plainAll, plain);
    EXPECT_EQ(countPassing(f, context), plain);
    std::uint64_t visited = 0;
    forEachPassing(f, context, [&](NumberMask m) {
        visited += passes(f, m, context.latest, context.drawn, context.popularity.get());
    });
    EXPECT_EQ(visited, plain);
    // The limit keeps 5% of all combinations, give or take ties at its edge.
    EXPECT_NEAR(static_cast<double>(limitOnly), 0.05 * CombinationCount, 2.0);
    EXPECT_EQ(countFilter(f, h, &e).combinations, plain);
    // Without the model the limit is refused, never ignored.
    EXPECT_EQ(countFilter(f, h).combinations, 0u);
    PickResult r;
    EXPECT_FALSE(pickTickets(f, FilterContext::fromHistory(h), 3, 1, r));
    ASSERT_TRUE(pickTickets(f, context, 20, 9, r));
    for (const Combination &c : r.tickets) {
        EXPECT_LE(e.model().relativePopularity(c), context.popularity->maxRelative * (1 + 1e-9));
        EXPECT_FALSE(patterns.kindOf(c));
    }

    // The share alone is counted from the estimate's table, not walked: the same count as
    // every combination judged alone, ties at the edge included; a share between two kept
    // quantiles is walked, and so is a share that leaves out the pattern tickets of a history
    // other than the one the estimate learnt from (its latest draws differ).
    for (const auto &[share, include] :
        {std::pair{5.0, true}, std::pair{10.0, true}, std::pair{0.01, true}, std::pair{99.99, true},
            std::pair{12.345, true}, std::pair{10.0, false}}) {
        DesignFilter alone;
        alone.leastPopular = share;
        alone.includePatterns = include;
        const FilterContext c = FilterContext::fromHistory(h, alone, &e);
        EXPECT_EQ(c.popularity->admittedCount.has_value(), include && share != 12.345) << share;
        std::uint64_t judged = 0;
        forEachCombination([&](const std::array<int, MainNumberCount> &x) {
            NumberMask m = 0;
            for (int n : x)
                m |= NumberMask{1} << (n + 1);
            judged += c.popularity->admits(m);
        });
        EXPECT_EQ(countPassing(alone, c), judged) << share;
        EXPECT_EQ(countFilter(alone, h, &e).combinations, judged) << share;
    }
}

TEST(DesignPopularity, StoredCountsWithAndWithoutPatternsAreTheWalksCounts)
{
    using namespace loto6::design;
    const PopularityEstimate &e = estimate();
    // The history the estimate learnt from: its latest draws make the family left out.
    std::vector<DrawRecord> records;
    for (const DrawObservation &o : syntheticDraws(400))
        if (o.drawNo > 388) {
            const Combination &n = o.numbers;
            records.push_back(test::draw(o.drawNo, {n[0], n[1], n[2], n[3], n[4], n[5], o.bonus}));
        }
    const DrawHistory h = test::history(records);
    const std::array shares = {0.01, 5.0, 10.0, 37.5, 99.99};
    std::vector<std::shared_ptr<const PopularityLimit>> limits;
    for (double share : shares)
        for (bool include : {true, false}) {
            DesignFilter alone;
            alone.leastPopular = share;
            alone.includePatterns = include;
            limits.push_back(FilterContext::fromHistory(h, alone, &e).popularity);
            ASSERT_TRUE(limits.back()->admittedCount) << share << " " << include;
        }
    // Every combination judged alone by each limit, in one walk.
    const PatternFamily family = PatternFamily::fromHistory(h);
    std::vector<std::uint64_t> judged(limits.size(), 0);
    forEachCombination([&](const std::array<int, MainNumberCount> &x) {
        NumberMask m = 0;
        for (int n : x)
            m |= NumberMask{1} << (n + 1);
        const double w = limits.front()->scale.logWeight(m);
        const bool pattern = family.kindOf(m).has_value();
        for (std::size_t i = 0; i < limits.size(); ++i)
            judged[i] += w <= limits[i]->maxLogWeight && !(i % 2 == 1 && pattern);
    });
    for (std::size_t i = 0; i < limits.size(); ++i)
        EXPECT_EQ(*limits[i]->admittedCount, judged[i]) << shares[i / 2] << " " << i % 2;
    EXPECT_GT(judged[3], judged[5] / 3) << "10% less its patterns is most of it";
    EXPECT_LT(judged[5], judged[4]) << "some patterns lie among the least popular 10%";
    // A history with a newer draw (no payouts yet) has another family: its count is walked.
    records.push_back(test::draw(401, {1, 9, 17, 25, 33, 41, 2}));
    DesignFilter alone;
    alone.leastPopular = 10.0;
    const FilterContext newer = FilterContext::fromHistory(test::history(records), alone, &e);
    EXPECT_FALSE(newer.popularity->admittedCount);
    EXPECT_TRUE(e.leastPopularCount(10.0, family));
    EXPECT_FALSE(e.leastPopularCount(10.0, PatternFamily{}));
}

TEST(DesignPopularity, OptionReadsBackAndRefusesBadShares)
{
    using namespace loto6::design;
    DesignFilter f;
    const Status read = parseFilterOptions("--odd 3 --least-popular 0.5", f);
    ASSERT_TRUE(read) << read.message();
    ASSERT_TRUE(f.leastPopular);
    EXPECT_EQ(*f.leastPopular, 0.5);
    EXPECT_EQ(f.optionsText(), "--odd 3 --least-popular 0.5");
    ASSERT_TRUE(parseFilterOptions("--include-patterns --least-popular 2", f));
    EXPECT_TRUE(f.includePatterns);
    EXPECT_EQ(f.optionsText(), "--least-popular 2 --include-patterns");
    for (const char *bad : {"--least-popular 0", "--least-popular 101", "--least-popular x",
             "--least-popular -3", "--least-popular"})
        EXPECT_FALSE(parseFilterOptions(bad, f)) << bad;
}
