#include "prediction/predictionengine.h"
#include "prediction/predictionsheets.h"
#include "prediction/reflectionshift.h"
#include "store/csvhistory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace loto6;
using Numbers = DrawTable::Numbers;

// Numbers that occur nowhere else in a test, so they never make an interval of their own.
class Fresh
{
public:
    int next() { return m_next++; }
    Numbers with(std::initializer_list<std::pair<int, int>> placed)
    {
        Numbers n{};
        for (int &x : n)
            x = next();
        for (auto [position, value] : placed)
            n[static_cast<std::size_t>(position - 1)] = value;
        return n;
    }

private:
    int m_next = 100;
};

std::vector<int> cycleRow(const CycleTable &t, int method)
{
    std::vector<int> row;
    for (int p = 1; p <= CycleTable::Positions; ++p)
        row.push_back(t.number(p, method));
    return row;
}

TEST(CycleTable, IntervalSelectsTheMethod)
{
    struct Row
    {
        const char *name;
        int interval;
        int method; // -1: no method takes it
    };
    const Row rows[] = {
        {"six", 6, -1},
        {"seven", 7, 0},
        {"eight", 8, -1},
        {"nine", 9, 1},
        {"ten", 10, -1},
        {"eleven", 11, 2},
        {"twelve", 12, 3},
        {"thirteen", 13, -1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Fresh f;
        PredictionEngine e;
        e.addDraw(20, f.with({{5, 17}}));
        // Draws in between are missing; the search passes over them.
        e.addDraw(20 + row.interval, f.with({{2, 17}}));
        for (int k = 0; k < CycleTable::Methods; ++k)
            EXPECT_EQ(e.cycles().text(2, k), k == row.method ? "17" : "") << "method " << k;
    }
}

TEST(CycleTable, NearestEarlierOccurrenceCountsBonusIncluded)
{
    struct Row
    {
        const char *name;
        std::vector<std::pair<int, int>> earlier; // draw, position of 17 before draw 40
        int method;
    };
    const std::vector<Row> rows = {
        {"bonus nine back", {{31, 7}}, 1},
        {"main nine back", {{31, 4}}, 1},
        {"nine back hides twelve back", {{28, 1}, {31, 7}}, 1},
        {"eight back hides nine back", {{31, 1}, {32, 7}}, -1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Fresh f;
        PredictionEngine e;
        for (auto [draw, position] : row.earlier)
            e.addDraw(draw, f.with({{position, 17}}));
        e.addDraw(40, f.with({{2, 17}}));
        for (int k = 0; k < CycleTable::Methods; ++k)
            EXPECT_EQ(e.cycles().text(2, k), k == row.method ? "17" : "") << "method " << k;
    }
}

TEST(CycleTable, NumberListedAtAnotherPositionIsRefused)
{
    CycleTable t;
    EXPECT_TRUE(t.offerToMethod(4, 0, 17));
    EXPECT_FALSE(t.offerToMethod(2, 0, 17)) << "17 stands at position 4";
    EXPECT_TRUE(t.offerToMethod(2, 1, 17)) << "other methods are not affected";
    EXPECT_TRUE(t.offerToMethod(4, 0, 17)) << "the same position may take it again";
    EXPECT_TRUE(t.offerToMethod(4, 0, 21)) << "a later number overwrites";
    EXPECT_TRUE(t.offerToMethod(2, 0, 17)) << "17 no longer stands elsewhere";
    EXPECT_EQ(cycleRow(t, 0), (std::vector<int>{0, 17, 0, 21, 0, 0, 0}));
    EXPECT_TRUE(t.empty(1, 0));
    EXPECT_EQ(t.text(1, 0), "");
}

TEST(CycleTable, BonusPositionBlocksButHasNoColumn)
{
    Fresh f;
    PredictionEngine e;
    e.addDraw(1, f.with({{1, 17}}));
    e.addDraw(8, f.with({{7, 17}}));  // 7 later, at the bonus position
    e.addDraw(15, f.with({{3, 17}})); // 7 later again, at position 3: refused
    EXPECT_EQ(e.cycles().text(7, 0), "17");
    EXPECT_EQ(e.cycles().text(3, 0), "");

    const auto sheets = buildPredictionSheets(e.predict(15, 0));
    const Sheet &cycle = sheets[CycleGrid];
    ASSERT_EQ(cycle.columns(), 7);
    for (int c = 2; c <= 7; ++c)
        EXPECT_EQ(cycle.text(c, 2), "") << "column " << c;
}

// The cycle table is kept between scans: a scan of the same history can then refuse a
// number the first scan took, and take one it refused.
TEST(PredictionEngine, SecondScanStartsFromTheTablesOfTheFirst)
{
    Fresh f;
    std::vector<DrawRecord> records;
    auto add = [&](int no, Numbers n) {
        DrawRecord r;
        r.drawNo = no;
        for (std::size_t i = 0; i < n.size(); ++i)
            r.fields[i] = n[i];
        records.push_back(r);
    };
    const int v = 27, u = 14, w = 34;
    add(1, f.with({{1, v}, {2, u}}));
    add(8, f.with({{3, v}, {7, u}}));  // v to position 3; u to the bonus position
    add(15, f.with({{4, v}, {1, w}})); // v refused at position 4 while position 3 holds it
    add(22, f.with({{3, w}, {7, v}})); // w replaces v at 3, so v goes to the bonus position
    const DrawHistory history(records);

    PredictionEngine e;
    EXPECT_EQ(e.scan(history), 22);
    EXPECT_EQ(cycleRow(e.cycles(), 0), (std::vector<int>{0, 0, w, 0, 0, 0, v}));
    const auto first = buildPredictionSheets(e.predict(22, 0));
    EXPECT_EQ(first[CycleGrid].text(5, 2), "");

    // Now the carried bonus entry refuses v at position 3, so position 4 takes it and the
    // bonus position keeps u.
    EXPECT_EQ(e.scan(history), 22);
    EXPECT_EQ(cycleRow(e.cycles(), 0), (std::vector<int>{0, 0, w, v, 0, 0, u}));
    const auto second = buildPredictionSheets(e.predict(22, 0));
    EXPECT_EQ(second[CycleGrid].text(5, 2), "27");

    // A new engine, as in a new run, gives the first result again.
    PredictionEngine fresh;
    fresh.scan(history);
    EXPECT_EQ(cycleRow(fresh.cycles(), 0), (std::vector<int>{0, 0, w, 0, 0, 0, v}));
}

TEST(PredictionEngine, ScanSkipsIncompleteRecordsAndDrawNumbersBelowOne)
{
    PredictionEngine e;
    const DrawHistory history = test::history({
        test::draw(0, {17, 1, 2, 3, 4, 5, 6}),
        test::draw(3, {17, 8, 9, 10, 11, 12, 13}),
        test::draw(10, {17, 20, 21, 22, 23, 24, 25}), // 7 after draw 3
        test::draw(17, {31, 17, 32, 33, 34, 35, 36}), // 7 after draw 10 as well
        test::incomplete(24, 3),
    });
    EXPECT_EQ(e.scan(history), 17);
    EXPECT_FALSE(e.draws().contains(0));
    EXPECT_FALSE(e.draws().contains(24));
    EXPECT_EQ(e.draws().at(1, 10), 17);
    EXPECT_EQ(e.cycles().text(1, 0), "17");
    EXPECT_EQ(e.cycles().text(2, 0), "") << "17 already stands at position 1";

    DrawRecord noBonus = test::draw(10, {17, 20, 21, 22, 23, 24, 25});
    noBonus.fields[6].reset();
    PredictionEngine gap;
    gap.scan(test::history({test::draw(3, {17, 8, 9, 10, 11, 12, 13}), noBonus,
        test::draw(17, {31, 17, 32, 33, 34, 35, 36})}));
    EXPECT_EQ(gap.cycles().text(2, 3), "") << "interval 14: the incomplete draw is a gap";
    EXPECT_EQ(gap.cycles().text(2, 0), "");
}

TEST(ReflectionShift, WeightOfEachSwitchAndTheirSum)
{
    const std::pair<const char *, int> rows[] = {
        {"頻度分析Opt", 1},
        {"間隔分析Opt", 15},
        {"出現回数分析Opt", 6},
        {"バラツキ分析Opt", 9},
        {"引っ張り分析Opt", 10},
        {"連番飛び石分析Opt", 4},
        {"数字合計分析Opt", 8},
        {"組合せパターン分析Opt", 2},
        {"5分割傾向分析Opt", 11},
        {"分割データ分析Opt", 7},
        {"下一桁出現傾向分析Opt", 16},
        {"下一桁連続出現回数分析Opt", 3},
    };
    PredictionOptions all;
    for (auto [key, weight] : rows) {
        SCOPED_TRACE(key);
        const int index = PredictionOptions::indexOf(key);
        ASSERT_GE(index, 0);
        PredictionOptions one;
        one.on[static_cast<std::size_t>(index)] = true;
        EXPECT_EQ(ReflectionShift::of(one), weight);
        all.on[static_cast<std::size_t>(index)] = true;
    }
    EXPECT_EQ(ReflectionShift::of(PredictionOptions()), 0);
    EXPECT_EQ(ReflectionShift::of(all), 92);
    EXPECT_EQ(ReflectionShift::Max, 92);
}

TEST(CandidateList, RulesOfTheThreeGroups)
{
    struct Row
    {
        int r, position, offset, lookBack;
    };
    const Row rows[] = {
        {0, 1, 22, 4},
        {1, 2, 16, 5},
        {2, 3, 17, 5},
        {3, 4, 24, 9},
        {4, 5, 32, 12},
        {5, 6, 1, 19},
        {6, 7, 12, 20},
        {7, 1, 22, 5},
        {13, 7, 12, 21},
        {14, 1, 22, 6},
        {19, 6, 1, 21},
        {20, 7, 12, 22},
    };
    for (const Row &row : rows) {
        const CandidateList::Rule rule = CandidateList::rule(row.r);
        EXPECT_EQ(rule.position, row.position) << "row " << row.r;
        EXPECT_EQ(rule.offset, row.offset) << "row " << row.r;
        EXPECT_EQ(rule.lookBack, row.lookBack) << "row " << row.r;
    }
}

// Each rule reads its own cell (position, draw), so any set of candidates can be arranged.
DrawTable tableFor(int latest, int shift, const std::array<int, CandidateList::Count> &wanted)
{
    std::map<int, Numbers> draws;
    for (int r = 0; r < CandidateList::Count; ++r) {
        const CandidateList::Rule rule = CandidateList::rule(r);
        int x = wanted[static_cast<std::size_t>(r)] - rule.offset;
        if (x <= 0)
            x += 43;
        draws[latest - rule.lookBack - shift][static_cast<std::size_t>(rule.position - 1)] = x;
    }
    DrawTable t;
    for (const auto &[no, n] : draws)
        t.set(no, n);
    return t;
}

TEST(CandidateList, SourceDrawsAndTheShift)
{
    const int bare[] = {22, 16, 17, 24, 32, 1, 12};
    struct Row
    {
        const char *name;
        int storedDraw;
        int shift;
        std::vector<int> rowsRead;
    };
    const Row rows[] = {
        {"latest minus 4", 96, 0, {0}},
        {"latest minus 5", 95, 0, {1, 2, 7}},
        {"latest minus 22", 78, 0, {20}},
        {"latest minus 19", 81, 0, {5}},
        {"latest draw is never read", 100, 0, {}},
        {"interval switch moves 15 back", 81, 15, {0}},
        {"all switches move 92 back", 4, 92, {0}},
        {"beyond the reach", 77, 0, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DrawTable t;
        t.set(row.storedDraw, {5, 5, 5, 5, 5, 5, 5});
        CandidateList c;
        c.compute(t, 100, row.shift);
        for (int r = 0; r < CandidateList::Count; ++r) {
            const bool read
                = std::find(row.rowsRead.begin(), row.rowsRead.end(), r) != row.rowsRead.end();
            int expected = bare[r % 7] + (read ? 5 : 0);
            if (expected > 43)
                expected -= 43;
            EXPECT_EQ(c.number(r), expected) << "row " << r;
        }
    }
}

TEST(CandidateList, WrapsOnceIntoTheNumberRange)
{
    struct Row
    {
        const char *name;
        int position;
        int value;
        int candidate;
    };
    const Row rows[] = {
        {"43 plus 22 is 22", 1, 43, 22},
        {"43 plus 1 is 1", 6, 43, 1},
        {"11 plus 32 stays 43", 5, 11, 43},
        {"12 plus 32 is 1", 5, 12, 1},
        {"missing draw gives the bare offset", 2, 0, 16},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DrawTable t;
        Numbers n{1, 1, 1, 1, 1, 1, 1};
        n[static_cast<std::size_t>(row.position - 1)] = row.value;
        if (row.value != 0)
            t.set(100 - CandidateList::rule(row.position - 1).lookBack, n);
        CandidateList c;
        c.compute(t, 100, 0);
        EXPECT_EQ(c.number(row.position - 1), row.candidate);
        EXPECT_EQ(c.text(row.position - 1), std::to_string(row.candidate));
    }
}

TEST(CandidateList, SourceDrawBelowOneIsMissing)
{
    PredictionEngine e;
    for (int n = 1; n <= 30; ++n)
        e.addDraw(n, {n % 43 + 1, 2, 3, 4, 5, 6, 7});
    const Prediction p = e.predict(30, ReflectionShift::Max);
    EXPECT_EQ(p.elimination, (std::vector<int>{22, 16, 17, 24, 32, 1, 12}));
    EXPECT_TRUE(p.consecutive.empty());
    EXPECT_TRUE(p.oneShot.empty());
}

TEST(Elimination, DistinctCandidatesFillTheGridUpToEighteen)
{
    struct Row
    {
        const char *name;
        int distinct;
        int shown;
    };
    const Row rows[] = {{"ten", 10, 10}, {"eighteen", 18, 18}, {"twenty-one", 21, 18}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // Candidates 1..distinct, then repeats of the first ones.
        std::array<int, CandidateList::Count> wanted{};
        for (int r = 0; r < CandidateList::Count; ++r)
            wanted[static_cast<std::size_t>(r)] = r < row.distinct ? r + 1 : r % 3 + 1;
        PredictionEngine e;
        const DrawTable t = tableFor(200, 0, wanted);
        for (int n = 1; n <= t.highestDrawNo(); ++n)
            if (t.contains(n)) {
                Numbers x{};
                for (int p = 1; p <= 7; ++p)
                    x[static_cast<std::size_t>(p - 1)] = t.at(p, n);
                e.addDraw(n, x);
            }
        const Prediction p = e.predict(200, 0);
        ASSERT_EQ(static_cast<int>(p.elimination.size()), row.shown);
        const auto sheets = buildPredictionSheets(p);
        const Sheet &g = sheets[EliminationGrid];
        for (int t2 = 0; t2 < 18; ++t2) {
            const int col = t2 % 6 + 2, r = t2 / 6 + 2;
            EXPECT_EQ(g.text(col, r), t2 < row.shown ? std::to_string(t2 + 1) : "")
                << "cell " << col << "," << r;
        }
    }
}

TEST(Singles, NumbersOnceInTheFourSourceDraws)
{
    struct Row
    {
        const char *name;
        std::vector<std::pair<int, Numbers>> draws;
        int shift;
        std::vector<int> expected;
    };
    const std::vector<Row> rows = {
        {"latest draw is not read",
            {{100, {1, 2, 3, 4, 5, 6, 7}}, {99, {8, 9, 10, 11, 12, 13, 14}}}, 0,
            {8, 9, 10, 11, 12, 13, 14}},
        {"main here, bonus there", {{99, {1, 2, 3, 4, 5, 6, 7}}, {98, {8, 9, 10, 11, 12, 13, 1}}},
            0, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"stops at twelve",
            {{99, {1, 2, 3, 4, 5, 6, 7}}, {98, {8, 9, 10, 11, 12, 13, 14}},
                {97, {15, 16, 17, 18, 19, 20, 21}}},
            0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"missing draws are passed over",
            {{99, {1, 2, 3, 4, 5, 6, 7}}, {96, {1, 30, 31, 32, 33, 34, 35}},
                {95, {40, 41, 42, 43, 36, 37, 38}}},
            0, {2, 3, 4, 5, 6, 7, 30, 31, 32, 33, 34, 35}},
        {"fifth draw back is outside", {{99, {1, 2, 3, 4, 5, 6, 7}}, {95, {1, 2, 3, 4, 5, 6, 8}}},
            0, {1, 2, 3, 4, 5, 6, 7}},
        {"interval switch reads fifteen further back",
            {{99, {1, 2, 3, 4, 5, 6, 7}}, {84, {20, 21, 22, 23, 24, 25, 26}},
                {81, {20, 27, 28, 29, 30, 31, 32}}},
            15, {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PredictionEngine e;
        for (const auto &[no, n] : row.draws)
            e.addDraw(no, n);
        const Prediction p = e.predict(100, row.shift);
        EXPECT_EQ(p.consecutive, row.expected);
        const std::vector<int> six(row.expected.begin(),
            row.expected.begin() + std::min<std::ptrdiff_t>(6, std::ssize(row.expected)));
        EXPECT_EQ(p.oneShot, six);
    }
}

// Every pass fills fresh grids: numbers of a pass with more qualifying numbers do not stay.
TEST(PredictionEngine, FewerNumbersLeaveTheirCellsEmpty)
{
    PredictionEngine few;
    few.addDraw(119, {1, 2, 3, 4, 5, 6, 7});
    few.addDraw(118, {1, 2, 3, 4, 5, 6, 8});
    const auto c = buildPredictionSheets(few.predict(120, 0));
    EXPECT_EQ(c[ConsecutiveGrid].text(2, 2), "7");
    EXPECT_EQ(c[ConsecutiveGrid].text(3, 2), "8");
    for (int col = 4; col <= 7; ++col)
        EXPECT_EQ(c[ConsecutiveGrid].text(col, 2), "");
    for (int col = 2; col <= 7; ++col)
        EXPECT_EQ(c[ConsecutiveGrid].text(col, 3), "");
    EXPECT_EQ(c[OneShotGrid].text(4, 2), "");
}

TEST(PredictionEngine, DrawNumbersAboveFiveThousandWorkLikeAnyOther)
{
    // The last two straddle the end of the dense table and lie far beyond it: a stray huge draw
    // number must cost one entry, not memory for every draw number below it.
    const std::vector<int> bases = {0, 5000, 29990, DrawTable::DenseLimit - 30, 2000000000};
    std::vector<Prediction> results;
    for (int base : bases) {
        PredictionEngine e;
        std::vector<DrawRecord> records;
        for (int n = 1; n <= 60; ++n)
            records.push_back(test::draw(base + n,
                {(n * 5) % 43 + 1, (n * 7 + 3) % 43 + 1, (n * 11 + 5) % 43 + 1,
                    (n * 13 + 7) % 43 + 1, (n * 17 + 9) % 43 + 1, (n * 19 + 11) % 43 + 1,
                    (n * 3 + 40) % 43 + 1}));
        EXPECT_EQ(e.scan(DrawHistory(records)), base + 60);
        Prediction p = e.predict(base + 60, 0);
        p.latestDrawNo -= base;
        results.push_back(p);
    }
    EXPECT_FALSE(results[0].elimination.empty());
    EXPECT_FALSE(results[0].consecutive.empty());
    for (std::size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ(results[i], results[0]) << "base " << bases[i];
}

TEST(PredictionEngine, DrawByDrawFeedMatchesAScanOfEachPrefix)
{
    std::vector<DrawRecord> all;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, all));
    all.resize(std::min<std::size_t>(all.size(), 150));
    PredictionEngine incremental;
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_TRUE(incremental.addDraw(all[i]));
        if (i % 10 != 9)
            continue;
        PredictionEngine fresh;
        fresh.scan(DrawHistory(std::vector<DrawRecord>(
            all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i) + 1)));
        for (int shift : {0, 15, 92})
            EXPECT_EQ(
                incremental.predict(all[i].drawNo, shift), fresh.predict(all[i].drawNo, shift))
                << "after draw " << all[i].drawNo << ", shift " << shift;
    }
}

// Checked by hand against draws 2137..2141 of the real history.
TEST(PredictionEngine, RealHistoryUpToDraw2141)
{
    std::vector<DrawRecord> all;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, all));
    std::erase_if(all, [](const DrawRecord &r) { return r.drawNo > 2141; });
    PredictionEngine e;
    ASSERT_EQ(e.scan(DrawHistory(all)), 2141);
    const Prediction p = e.predict(2141, 0);
    EXPECT_EQ(cycleRow(p.cycles, 0), (std::vector<int>{6, 13, 11, 36, 30, 42, 8}));
    EXPECT_EQ(cycleRow(p.cycles, 3), (std::vector<int>{7, 26, 12, 31, 19, 42, 24}));
    EXPECT_EQ(p.elimination,
        (std::vector<int>{26, 23, 7, 43, 14, 33, 5, 28, 29, 6, 24, 27, 38, 25, 21, 19, 1, 11}));
    EXPECT_EQ(p.consecutive, (std::vector<int>{11, 19, 30, 3, 6, 23, 34, 36, 43, 29, 16, 26}));
    EXPECT_EQ(p.oneShot, (std::vector<int>{11, 19, 30, 3, 6, 23}));

    const Prediction shifted = e.predict(2141, 15);
    EXPECT_EQ(shifted.oneShot, (std::vector<int>{3, 22, 28, 30, 39, 6}));
    EXPECT_EQ(shifted.cycles, p.cycles);
}

} // namespace
