#include "prediction/backtest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace loto6;

DrawHistory shortHistory(int draws)
{
    std::vector<DrawRecord> records;
    for (int no = 1; no <= draws; ++no) {
        const long long b = (no * 5) % 37;
        records.push_back(test::draw(no, {b + 1, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7}));
    }
    return test::history(std::move(records));
}

TEST(Backtest, ReportsProgressPerCheckedDraw)
{
    const DrawHistory history = shortHistory(12);
    std::vector<std::pair<int, int>> calls;
    Backtest b;
    ASSERT_TRUE(b.run(history, 5, [&](int done, int total) {
        calls.emplace_back(done, total);
        return true;
    }));
    ASSERT_EQ(calls.size(), 8u);
    for (std::size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i], std::make_pair(static_cast<int>(i) + 1, 8));

    Backtest plain;
    ASSERT_TRUE(plain.run(history, 5));
    EXPECT_EQ(plain.drawNos(), b.drawNos());
    EXPECT_EQ(plain.outcomes(Backtest::OneShot, 40), b.outcomes(Backtest::OneShot, 40));
}

TEST(Backtest, StoppedCheckFailsAndKeepsNothing)
{
    const DrawHistory history = shortHistory(12);
    int calls = 0;
    Backtest b;
    const Status status = b.run(history, 1, [&](int done, int) {
        ++calls;
        return done < 3;
    });
    EXPECT_FALSE(status);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(b.checkedCount(), 0);
    EXPECT_TRUE(b.outcomes(Backtest::Cycle7, 0).empty());
    EXPECT_TRUE(b.outcomes(Backtest::Elimination, 17).empty());
}

} // namespace
