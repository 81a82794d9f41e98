// The popularity model: its sums over combinations against brute force, equal popularity
// reducing to the exact tier chances, a known picking rule recovered from synthetic winner
// counts, no look-ahead in the backtest, and the command's output.
#include "popularity/methodpopularity.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "popularitysupport.h"
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

// A model with pronounced preferences: low numbers liked, birthdays paired, neighbours avoided.
PopularityModel skewedModel()
{
    std::array<double, HighestNumber> numbers{};
    for (int n = 0; n < HighestNumber; ++n)
        numbers[static_cast<std::size_t>(n)] = n < 10 ? 0.2 : n > 35 ? -0.15 : 0.0;
    ModelTerms terms{true, {PairTrait::Birthdays, PairTrait::Neighbours}};
    return PopularityModel(terms, numbers, {0.12, -0.2});
}

using test::randomDraw;

std::vector<DrawObservation> bundledDraws(test::TempDir &dir)
{
    Database db;
    EXPECT_TRUE(db.openOrCreate(dir / "h.db", SHARED_HISTORY));
    DrawHistory history;
    EXPECT_TRUE(db.loadHistory(history, Database::NoCut));
    std::map<int, DrawPrizes> prizes;
    EXPECT_TRUE(readPrizes(db, prizes));
    return observationsOf(history, prizes);
}

} // namespace

TEST(PopularitySums, InclusionExclusionMatchesBruteForce)
{
    const PopularityModel model = skewedModel();
    const Neighbourhood hood(model);
    // The stored levels alone: the sums over four and five numbers made when asked.
    const Neighbourhood stored(model, hood.levels());
    const Combination c = {3, 9, 10, 22, 31, 40};
    std::array<double, MainNumberCount + 1> brute{};
    const auto in = membership(c);
    double total = 0;
    std::array<double, MainNumberCount> holding{}; // holding the first k numbers of c
    forEachCombination([&](const std::array<int, MainNumberCount> &x) {
        int m = 0;
        for (int n : x)
            m += in[static_cast<std::size_t>(n + 1)] ? 1 : 0;
        const double w = std::exp(model.rawLogWeight(x.data()) - model.logNormaliser());
        brute[static_cast<std::size_t>(m)] += w;
        total += w;
        for (std::size_t k = 1; k < MainNumberCount; ++k)
            if (std::all_of(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(k),
                    [&](int n) { return std::find(x.begin(), x.end(), n - 1) != x.end(); }))
                holding[k] += w;
    });
    // A short list stands for the combinations holding it, six numbers for themselves.
    EXPECT_NEAR(*hood.listPopularity({10, 3, 9}), holding[3] / 9880.0, 1e-9);
    for (const Neighbourhood *h : {&hood, &stored})
        for (std::size_t k = 1; k < MainNumberCount; ++k) {
            const std::vector<int> list(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(k));
            const double mean = holding[k]
                / static_cast<double>(binomial(43 - static_cast<int>(k), 6 - static_cast<int>(k)));
            EXPECT_NEAR(*h->listPopularity(list), mean, 1e-9 * mean) << k << " numbers";
        }
    EXPECT_NEAR(*hood.listPopularity({40, 31, 22, 10, 9, 3}), model.relativePopularity(c), 1e-9);
    EXPECT_FALSE(hood.listPopularity({0, 5}));
    // A longer list: the geometric mean over its six-number subsets.
    const std::vector<int> seven = {3, 9, 10, 22, 31, 40, 41};
    double logSum = 0;
    for (std::size_t skip = 0; skip < seven.size(); ++skip) {
        Combination six{};
        std::size_t n = 0;
        for (std::size_t i = 0; i < seven.size(); ++i)
            if (i != skip)
                six[n++] = seven[i];
        logSum += model.logRelativePopularity(six);
    }
    EXPECT_NEAR(*hood.listPopularity(seven), std::exp(logSum / 7), 1e-9);
    EXPECT_NEAR(total / static_cast<double>(CombinationCount), 1.0, 1e-9)
        << "the normaliser makes the average ticket 1";
    for (const Neighbourhood *h : {&hood, &stored}) {
        const auto shares = h->matchShares(c);
        for (std::size_t j = 0; j <= MainNumberCount; ++j)
            EXPECT_NEAR(shares[j], brute[j] / static_cast<double>(CombinationCount),
                1e-12 + 1e-9 * shares[j])
                << "matching " << j << (h == &stored ? ", stored levels" : "");
    }
    // The closed form of the mean log weight against the same enumeration.
    double sum = 0;
    long long count = 0;
    forEachCombination([&](const std::array<int, MainNumberCount> &x) {
        int m = 0;
        for (int n : x)
            m += in[static_cast<std::size_t>(n + 1)] ? 1 : 0;
        if (m == 4) {
            sum += model.rawLogWeight(x.data());
            ++count;
        }
    });
    EXPECT_EQ(count, 9990);
    EXPECT_NEAR(model.neighbourLogMean(c, 4),
        sum / static_cast<double>(count) - model.meanLogWeight(), 1e-9);
}

TEST(PopularitySums, EqualPopularityGivesTheExactTierChancesAndPools)
{
    const PopularityModel uniform;
    const Neighbourhood hood(uniform);
    const Combination c = {1, 2, 3, 4, 5, 6};
    EXPECT_NEAR(uniform.relativePopularity(c), 1.0, 1e-12);
    const auto winners = hood.winnerShares({5, 11, 17, 28, 36, 43}, 20);
    const auto sharers = hood.sharerShares(c);
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        EXPECT_NEAR(winners[i] / tierChance(t), 1.0, 1e-9) << tierLabel(t);
        EXPECT_NEAR(sharers[i] / tierChance(t), 1.0, 1e-9) << tierLabel(t);
    }
    PrizeRules rules;
    const double sales = 1.2e9, tickets = sales / 200;
    const TicketValuer valuer(hood, rules, sales);
    const TicketValue v = valuer.value(c);
    double ev = 0;
    for (int t = 1; t <= Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        const double lambda = tickets * tierChance(t);
        EXPECT_NEAR(v.coWinners[i], lambda, 1e-6 * lambda);
        double prize = rules.fifthPrize;
        if (t > 1 && t < Tiers)
            prize = rules.poolShare[i] * sales * (1 - std::exp(-lambda)) / lambda;
        if (t > 1) {
            EXPECT_NEAR(v.expectedPrize[i], prize, 1e-6 * prize) << tierLabel(t);
        }
        ev += tierChance(t) * v.expectedPrize[i];
    }
    EXPECT_NEAR(v.expectedValue, ev, 1e-9);
    // 1等: a lone winner takes the pool up to the cap, shared ones split it.
    const TicketValuer rich(hood, rules, 1e12);
    EXPECT_DOUBLE_EQ(rich.tierPrize(1, 0.0), rules.capWithoutCarryOver);
    // 2等 has no cap: a lone winner of a rich draw takes its whole pool, far above 1等's cap.
    EXPECT_DOUBLE_EQ(rich.tierPrize(2, 0.0), rules.poolShare[1] * 1e12);
    EXPECT_NEAR(rich.tierPrize(2, 1.0), rules.poolShare[1] * 1e12 * (1 - std::exp(-1.0)), 1);
    // With a carry-over in, the higher cap holds: 6億, not 2億.
    const TicketValuer carried(hood, rules, sales, 5e8);
    EXPECT_GT(carried.tierPrize(1, 0.5), valuer.tierPrize(1, 0.5));
    EXPECT_DOUBLE_EQ(carried.tierPrize(1, 0.0), rules.capWithCarryOver);
}

TEST(PopularityFit, RecoversTheRuleOfASyntheticHistory)
{
    const PopularityModel truth = skewedModel();
    const Neighbourhood hood(truth);
    std::mt19937 rng(7);
    std::vector<DrawObservation> draws;
    for (int d = 1; d <= 700; ++d) {
        DrawObservation o;
        o.drawNo = d;
        o.numbers = randomDraw(rng, o.bonus);
        o.sales = 1'000'000'000;
        const auto shares = hood.winnerShares(o.numbers, o.bonus);
        for (std::size_t t = 0; t < Tiers; ++t)
            o.winners[t] = std::llround(*o.tickets() * shares[t]);
        draws.push_back(o);
    }
    FitSettings settings;
    settings.terms = {true,
        {PairTrait::Birthdays, PairTrait::Months, PairTrait::Neighbours, PairTrait::SameColumn}};
    settings.numberPenalty = 0.1;
    settings.traitPenalty = 0.01;
    settings.halfLife = 0;
    const PopularityModel fitted = fitPopularity(draws, 601, settings);
    const auto &w = fitted.traitWeights();
    EXPECT_NEAR(w[0], 0.12, 0.04) << "birthdays";
    EXPECT_NEAR(w[1], 0.0, 0.04) << "months play no part";
    EXPECT_NEAR(w[2], -0.2, 0.05) << "neighbours";
    EXPECT_NEAR(w[3], 0.0, 0.04) << "columns play no part";
    EXPECT_GT(fitted.numberWeights()[2] - fitted.numberWeights()[40], 0.25);
    // Predictions for the draws it never saw follow the truth closely.
    const PopularityBacktest b = runPopularityBacktest(draws, 601, settings);
    ASSERT_EQ(b.draws.size(), 100u);
    for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(b.r2[k]);
        EXPECT_GT(*b.r2[k], 0.9) << tierLabel(static_cast<int>(k) + 3);
    }
}

TEST(PopularityBacktest, NeverReadsTheDrawsItPredicts)
{
    test::TempDir dir;
    const std::vector<DrawObservation> all = bundledDraws(dir);
    ASSERT_EQ(all.size(), 2144u);
    std::vector<DrawObservation> cut(all.begin(), all.begin() + 1800);
    // Later draws altered beyond recognition must not move anything fitted before 1500.
    std::vector<DrawObservation> altered = all;
    for (DrawObservation &o : altered)
        if (o.drawNo >= 1500) {
            o.winners = {9, 99, 999, 99999, 999999};
            o.sales = 200'000;
        }
    const PopularityBacktest a = runPopularityBacktest(all, 1500);
    const PopularityBacktest c = runPopularityBacktest(cut, 1500);
    const PopularityBacktest x = runPopularityBacktest(altered, 1500);
    ASSERT_EQ(c.draws.size(), 301u);
    for (std::size_t i = 0; i < c.draws.size(); ++i) {
        EXPECT_EQ(a.draws[i].predicted, c.draws[i].predicted) << a.draws[i].drawNo;
        if (!a.draws[i].sales)
            continue;
        for (std::size_t t = 0; t < Tiers; ++t) {
            EXPECT_DOUBLE_EQ(a.draws[i].predicted[t] / static_cast<double>(*a.draws[i].sales),
                x.draws[i].predicted[t] / static_cast<double>(*x.draws[i].sales));
        }
    }
    // The measured figures the help quotes: beyond the per-number model and the targets.
    FitSettings plainSettings;
    plainSettings.terms = ModelTerms::perNumberOnly();
    const PopularityBacktest plain = runPopularityBacktest(all, 1500, plainSettings);
    EXPECT_EQ(a.r2Draws[2], 137);
    EXPECT_GE(*a.r2[1], 0.75);
    EXPECT_GE(*a.r2[2], 0.85);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_GT(*a.r2[k], *plain.r2[k] + 0.05);
    // The count laws' targets: every 1等 group inside the joint band of its law, the PIT
    // uniform, each tier's held-out likelihood above the per-number model's and uniform
    // play's, and in the fit on every draw no first-prize count beyond one in a million.
    const double joint = std::pow(0.95, 1.0 / CalibrationGroups);
    for (std::size_t g = 0; g < a.firstPrize.size(); ++g) {
        const auto [low, high] = bandOf(a.groupLaw(g), joint);
        EXPECT_GE(a.firstPrize[g].observed, low) << g;
        EXPECT_LE(a.firstPrize[g].observed, high) << g;
    }
    EXPECT_GE(a.firstPrizePitP.value_or(0), 0.05);
    for (std::size_t t = 0; t < Tiers; ++t) {
        EXPECT_GT(a.likelihood.model[t], plain.likelihood.model[t]) << t;
        EXPECT_GT(a.likelihood.model[t], a.likelihood.uniform[t]) << t;
    }
    const SmallestTail least = smallestFirstPrizeTail(all, fitPopularity(all, 0));
    EXPECT_EQ(least.drawNo, 230);
    EXPECT_GE(least.tail, 1e-6);
}

TEST(PopularityCommand, GivesTheNamedFieldsAndHonoursAsOf)
{
    test::TempDir dir;
    const std::string db = (dir / "h.db").string();
    auto r = test::runCli(
        {"--db", db, "popularity", "3", "9", "10", "22", "31", "40", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char *field : {"\"numbers\": [3, 9, 10, 22, 31, 40]", "\"relativePopularity\":",
             "\"expectedCoWinners\": {\"1等\":", "\"expectedPrize\": {\"1等\":", "\"5等\": 1000",
             "\"expectedValue\":", "\"averageTicketExpectedValue\":"})
        EXPECT_NE(r.out.find(field), std::string::npos) << field << "\n" << r.out;

    r = test::runCli({"--db", db, "--as-of", "1600", "popularity", "--backtest", "--from", "1590",
        "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"from\": 1590", 0), 0u) << r.out.substr(0, 80);
    EXPECT_NE(r.out.find("{\"draw\": 1600,"), std::string::npos);
    EXPECT_EQ(r.out.find("{\"draw\": 1601,"), std::string::npos) << "--as-of cuts the history";
    EXPECT_NE(r.out.find("\"r2\": {\"3等\":"), std::string::npos);

    r = test::runCli({"--db", db, "popularity", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("never changes the chance of winning"), std::string::npos);
    EXPECT_EQ(test::runCli({"--db", db, "popularity", "1", "2", "3", "4", "5", "44"}).code, 2);
    EXPECT_EQ(
        test::runCli({"--db", db, "popularity", "1", "2", "3", "4", "5", "6", "--sales", "-5"})
            .code,
        2);
    EXPECT_EQ(test::runCli({"--db", db, "popularity", "--backtest", "--format", "html"}).code, 2);

    // The sales and carry-over given are the ones valued at: a carry-over this large lifts every
    // 1等 prize to the 600,000,000 yen cap of a draw with a carry-over.
    r = test::runCli({"--db", db, "popularity", "3", "9", "10", "22", "31", "40", "--sales",
        "2000000000", "--carry-over", "1000000000000", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"sales\": 2000000000,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"carryOver\": 1e+12"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"1等\": 600000000"), std::string::npos) << r.out;
    r = test::runCli({"--db", db, "--as-of", "100", "popularity", "1", "2", "3", "4", "5", "6"});
    EXPECT_EQ(r.code, 1) << "no draw before 100 has its sales";
    EXPECT_NE(r.err.find("import a history with prizes"), std::string::npos) << r.err;
}

TEST(PrizeRules, MeasuredOnTheLatestDrawsWithSales)
{
    std::vector<DrawObservation> draws;
    EXPECT_EQ(PrizeRules::fromHistory(draws).basedOnDraws, 0) << "too few: the built-in shares";
    // 150 draws of 1,000,000,000 yen; every other one carries a 1等 pool over to the next.
    for (int d = 1; d <= 150; ++d) {
        DrawObservation o;
        o.drawNo = d;
        o.sales = d % 10 == 0 ? std::optional<long long>() : 1'000'000'000LL + d;
        o.winners = {d % 2 ? 0 : 1, 10, 200, 10000, 150000};
        o.prize = {d % 2 ? 0 : 170'000'000, 5'000'000, 250'000, 5'500, 1'000};
        o.carryOver = d % 2 ? 170'000'000 : 0;
        draws.push_back(o);
    }
    const PrizeRules r = PrizeRules::fromHistory(draws);
    EXPECT_EQ(r.basedOnDraws, 100);
    EXPECT_NEAR(r.poolShare[1], 0.05, 1e-6);
    EXPECT_NEAR(r.poolShare[2], 0.05, 1e-6);
    EXPECT_NEAR(r.poolShare[3], 0.055, 1e-6);
    // Only the draws with no carry-over coming in show the 1等 pool: paid or carried, 17%.
    EXPECT_NEAR(r.poolShare[0], 0.17, 1e-6);
    EXPECT_NEAR(r.typicalSales, 1e9, 200);
}

TEST(PopularityCommand, CheckAndTheDesignerShowItWhereItCanBeLearnt)
{
    test::TempDir dir;
    const std::string db = (dir / "h.db").string();
    auto r = test::runCli({"--db", db, "check", "3", "9", "10", "22", "31", "40"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("人気度と期待値"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("平均的な券"), std::string::npos);
    // Before any draw with sales: the check as before, unless the popularity is required.
    r = test::runCli({"--db", db, "--as-of", "100", "check", "1", "2", "3", "4", "5", "6"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find("人気度"), std::string::npos);
    for (const std::vector<std::string> &args :
        {std::vector<std::string>{"check", "1", "2", "3", "4", "5", "6", "--popularity"},
            {"design", "--least-popular", "5", "--count"},
            {"design", "--pick", "2", "--sort", "popularity"}}) {
        std::vector<std::string> all{"--db", db, "--as-of", "100"};
        all.insert(all.end(), args.begin(), args.end());
        r = test::runCli(all);
        EXPECT_EQ(r.code, 1) << args.front() << ": no sales before draw 100 to learn from";
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    // The odds take each ticket's own prizes: the set's return is the sum of its tickets'.
    r = test::runCli({"--db", db, "odds", "3", "9", "10", "22", "31", "40", "33", "36", "38", "40",
        "42", "43", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"prizeModel\": \"popularity\""), std::string::npos) << r.out;
    const auto number = [&r](const std::string &key, std::size_t from = 0) {
        const std::size_t at = r.out.find("\"" + key + "\": ", from);
        return at == std::string::npos ? -1.0 : std::stod(r.out.substr(at + key.size() + 4));
    };
    const std::size_t second = r.out.find("\"label\": \"2\"");
    ASSERT_NE(second, std::string::npos) << r.out;
    EXPECT_NEAR(
        number("expectedReturn"), number("expectedValue") + number("expectedValue", second), 1e-6);
}

TEST(PopularityBacktest, MethodPicksOfEquallyPopularCombinationsAreLikeRandom)
{
    std::vector<DrawRecord> records;
    std::mt19937 rng(3);
    for (int d = 1; d <= 80; ++d) {
        int bonus = 0;
        const Combination c = randomDraw(rng, bonus);
        records.push_back(test::draw(d, {c[0], c[1], c[2], c[3], c[4], c[5], bonus}));
    }
    const DrawHistory history = test::history(records);
    const PopularityModel uniform;
    const Neighbourhood hood(uniform);
    const MethodPopularity even = methodPopularity(history, 30, 0, hood);
    const PopularityModel skewed = skewedModel();
    const Neighbourhood skewedHood(skewed);
    const MethodPopularity other = methodPopularity(history, 30, 0, skewedHood);
    for (std::size_t m = 0; m < even.meanPopularity.size(); ++m) {
        EXPECT_EQ(even.draws[m], other.draws[m]);
        if (even.meanPopularity[m]) {
            EXPECT_NEAR(*even.meanPopularity[m], 1.0, 1e-9) << m;
        }
    }
    EXPECT_EQ(even.draws[Backtest::OneShot], 51);
}
