#include "design/filters.h"
#include "store/csvhistory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

using namespace loto6;
using namespace loto6::design;

namespace {

NumberMask sixOf(const int *c)
{
    NumberMask m = 0;
    for (int i = 0; i < 6; ++i)
        m |= NumberMask{1} << c[i];
    return m;
}

NumberMask maskOfList(std::initializer_list<int> numbers)
{
    NumberMask m = 0;
    for (int n : numbers)
        m |= NumberMask{1} << n;
    return m;
}

int sumOf(const int *c) { return c[0] + c[1] + c[2] + c[3] + c[4] + c[5]; }

} // namespace

// The next draw is judged against the latest draw, not the first: with the sum limited the
// count of combinations sharing three or more depends on which draw it is.
TEST(FilterCount, CarryOverOfTheNextDrawIsAgainstTheLatestDraw)
{
    const DrawHistory h = test::history({test::draw(1, {1, 2, 3, 4, 5, 6, 7}),
        test::draw(2, {8, 15, 22, 29, 36, 43, 1}), test::draw(3, {30, 35, 38, 40, 42, 43, 1})});
    DesignFilter f;
    f.carryOver = Range{3, 6};
    f.sum = Range{150, 243};
    const NumberMask latest = maskOfList({30, 35, 38, 40, 42, 43});
    std::uint64_t expected = 0;
    test::forEachSixOf43([&](const int *c) {
        expected += sumOf(c) >= 150 && std::popcount(sixOf(c) & latest) >= 3 ? 1 : 0;
    });
    EXPECT_EQ(countFilter(f, h).combinations, expected);
    EXPECT_EQ(countPassing(f, FilterContext::fromHistory(h, f)), expected);
}

// Each past draw in its own context: its previous draw for the carry-over, the combinations
// drawn before it for --not-drawn. The expected count is the sum of each draw's chance,
// against the tests' own enumeration of every combination for every draw.
TEST(FilterCount, ExpectedCountJudgesEachDrawInItsOwnContext)
{
    const std::vector<DrawRecord> draws = test::makeDraws(6, 21);
    const DrawHistory h = test::history(draws);
    const std::vector<NumberMask> masks = drawMasks(h);
    ASSERT_EQ(masks.size(), 6u);
    for (const bool notDrawn : {false, true}) {
        DesignFilter f;
        f.carryOver = Range{1, 2};
        f.sum = Range{100, 160};
        f.notDrawn = notDrawn;
        std::vector<std::uint64_t> counts(masks.size(), 0);
        test::forEachSixOf43([&](const int *c) {
            const NumberMask m = sixOf(c);
            if (sumOf(c) < 100 || sumOf(c) > 160)
                return;
            for (std::size_t d = 0; d < masks.size(); ++d) {
                const int shared = d ? std::popcount(m & masks[d - 1]) : 0;
                bool drawnBefore = false;
                for (std::size_t e = 0; e < d; ++e)
                    drawnBefore = drawnBefore || masks[e] == m;
                counts[d] += shared >= 1 && shared <= 2 && !(notDrawn && drawnBefore) ? 1 : 0;
            }
        });
        double expected = 0, variance = 0;
        for (std::uint64_t n : counts) {
            const double p = static_cast<double>(n) / static_cast<double>(AllCombinations);
            expected += p;
            variance += p * (1 - p);
        }
        const FilterCount c = countFilter(f, h);
        EXPECT_NEAR(c.expected, expected, 1e-12) << notDrawn;
        EXPECT_NEAR(c.sd, std::sqrt(variance), 1e-12) << notDrawn;
        EXPECT_LE(c.low, c.high);
        EXPECT_LE(c.high, 6);
    }
}

// The repeated draw is new on draw 1 and not new on draw 3: the expected count of new
// combinations loses one chance in 6,096,454 on draw 2 and two on draw 3.
TEST(FilterCount, NotDrawnCountsWhatWasDrawnBeforeEachDraw)
{
    const DrawHistory h = test::history({test::draw(1, {1, 2, 3, 4, 5, 6, 7}),
        test::draw(2, {1, 2, 3, 10, 11, 12, 13}), test::draw(3, {1, 2, 3, 4, 5, 6, 7})});
    DesignFilter f;
    f.notDrawn = true;
    const FilterCount c = countFilter(f, h);
    EXPECT_EQ(c.passed, 2);
    EXPECT_EQ(c.combinations, AllCombinations - 2);
    EXPECT_NEAR(c.expected, 3 - 3.0 / static_cast<double>(AllCombinations), 1e-12);
    EXPECT_EQ(c.low, 3);
    EXPECT_EQ(c.high, 3);
}

// The real history: 14 draws shared three or more with the draw before and summed to 150 or
// more, where about 16.1 are expected (today's context alone gave 8.84).
TEST(FilterCount, CarryOverAndSumOverTheRealHistory)
{
    std::vector<DrawRecord> draws;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, draws));
    const DrawHistory h(std::move(draws));
    DesignFilter f;
    f.carryOver = Range{3, 6};
    f.sum = Range{150, 243};
    const FilterCount c = countFilter(f, h);
    EXPECT_EQ(c.passed, 14);
    EXPECT_NEAR(c.expected, 16.12, 0.01);
    EXPECT_LT(c.low, 14);
    EXPECT_GT(c.high, 20);
    EXPECT_NEAR(c.sd, std::sqrt(c.expected), 0.05); // rare events: nearly Poisson
}
