// The count laws of the winner counts: the crowd part found on a synthetic history with a
// planted crowd, calibration held, predictions that never move when later draws come, and the
// figures on the bundled history.
#include "popularity/countlaw.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityfit.h"
#include "store/database.h"
#include "store/prizestore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

using namespace loto6;
using namespace loto6::popularity;

namespace {

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

void print(const char *name, const PopularityBacktest &b)
{
    std::printf("%s: draws %zu r2 %.3f %.3f %.3f pitP %.4f\n", name, b.draws.size(),
        b.r2[0].value_or(-1), b.r2[1].value_or(-1), b.r2[2].value_or(-1),
        b.firstPrizePitP.value_or(-1));
    for (int t = 0; t < Tiers; ++t)
        std::printf("  tier %d ll model %.1f poisson %.1f uniform %.1f (%d)\n", t + 1,
            b.likelihood.model[t], b.likelihood.poisson[t], b.likelihood.uniform[t],
            b.likelihood.draws);
    const double joint = std::pow(0.95, 1.0 / 5);
    for (std::size_t g = 0; g < b.firstPrize.size(); ++g) {
        const auto band = bandOf(b.groupLaw(g), joint);
        std::printf("  group %zu: obs %lld pred %.1f band %lld-%lld\n", g + 1,
            b.firstPrize[g].observed, b.firstPrize[g].predicted, band.first, band.second);
    }
}

} // namespace

TEST(CountLawFigures, Bundled)
{
    test::TempDir dir;
    const std::vector<DrawObservation> all = bundledDraws(dir);
    auto t0 = std::chrono::steady_clock::now();
    const PopularityModel whole = fitPopularity(all, 0);
    auto t1 = std::chrono::steady_clock::now();
    std::printf("fit %.3f s\n", std::chrono::duration<double>(t1 - t0).count());
    for (int t = 1; t <= Tiers; ++t) {
        const CountLaw &l = whole.countLaw(t);
        std::printf("law %d: scale %.4f shape %.4f crowd %.4f factor %.2f shape %.3f\n", t,
            l.scale, l.shape, l.crowdWeight, l.crowdFactor, l.crowdShape);
    }
    const SmallestTail tail = smallestFirstPrizeTail(all, whole);
    std::printf("smallest tail draw %d obs %lld mean %.2f tail %.3g\n", tail.drawNo,
        tail.observed, tail.mean, tail.tail);
    PopularityModel poisson = whole;
    for (int t = 1; t <= Tiers; ++t)
        poisson.setCountLaw(t, {});
    const SmallestTail today = smallestFirstPrizeTail(all, poisson);
    std::printf("today smallest tail draw %d obs %lld mean %.2f tail %.3g\n", today.drawNo,
        today.observed, today.mean, today.tail);
    for (int from : {1500, 2004}) {
        const PopularityBacktest b = runPopularityBacktest(all, from);
        std::printf("from %d ", from);
        print("single", b);
        FitSettings plain;
        plain.terms = ModelTerms::perNumberOnly();
        print("per-number", runPopularityBacktest(all, from, plain));
    }
    t0 = std::chrono::steady_clock::now();
    const PopularityBacktest r
        = runRunningBacktest(all, 1500, [&](int before) { return fitPopularity(all, before); });
    t1 = std::chrono::steady_clock::now();
    std::printf("running %.3f s\n", std::chrono::duration<double>(t1 - t0).count());
    print("running", r);
}

TEST(CountLawFigures, Timing)
{
    test::TempDir dir;
    const std::vector<DrawObservation> all = bundledDraws(dir);
    FitSettings s;
    auto t0 = std::chrono::steady_clock::now();
    const PopularityModel m = fitPopularity(all, 1500, s);
    auto t1 = std::chrono::steady_clock::now();
    std::printf("fit %.3f s\n", std::chrono::duration<double>(t1 - t0).count());
    const PopularityBacktest b = runPopularityBacktest(all, 1500, m);
    auto t2 = std::chrono::steady_clock::now();
    std::printf("backtest %.3f s\n", std::chrono::duration<double>(t2 - t1).count());
    for (std::size_t g = 0; g < 5; ++g)
        bandOf(b.groupLaw(g), 0.99);
    auto t3 = std::chrono::steady_clock::now();
    std::printf("bands %.3f s\n", std::chrono::duration<double>(t3 - t2).count());
    std::vector<CountSample> samples;
    for (const auto &d : b.draws)
        samples.push_back({d.observed[0], d.modelMean[0], 1});
    for (int i = 0; i < 5; ++i)
        fitCountLaw(samples, {true, true});
    auto t4 = std::chrono::steady_clock::now();
    std::printf("law fit x5 %.3f s (%zu samples)\n", std::chrono::duration<double>(t4 - t3).count(), samples.size());
}
