#include "analysis/builders.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace loto6;
using loto6::test::draw;
using loto6::test::incomplete;

namespace {

constexpr Rgb Grey = rgb(225, 225, 225);
constexpr Rgb MainMark = rgb(62, 158, 255);
constexpr Rgb BonusMark = rgb(255, 128, 192);
constexpr Rgb HeadingCyan = rgb(222, 254, 253);

using Builder = Sheet (*)(const DrawHistory &, const Totals &);

Sheet build(Builder builder, std::vector<DrawRecord> records)
{
    const DrawHistory h = test::history(std::move(records));
    return builder(h, computeTotals(h));
}

std::string text(const Sheet &s, int col, int row) { return std::string(s.text(col, row)); }

// Background of a cell, or white when the window never set it.
Rgb bg(const Sheet &s, int col, int row)
{
    return s.cell(col, row).bgSet ? s.cell(col, row).bg : colors::white;
}

// Texts of a row from column first to last.
std::vector<std::string> rowTexts(const Sheet &s, int row, int first, int last)
{
    std::vector<std::string> out;
    for (int c = first; c <= last; ++c)
        out.push_back(text(s, c, row));
    return out;
}

using Texts = std::vector<std::string>;

} // namespace

// Fixed heading texts, exactly as the windows show them.
TEST(AnalysisHeadings, TextsStandWhereTheWindowsPutThem)
{
    struct Case
    {
        const char *name;
        Builder builder;
        int col, row;
        const char *text;
    };
    // One draw numbered 1 gives N = 1: bottom heading pairs in rows 4 and 5.
    const Case cases[] = {
        {"count-groups 出現", buildCountGroups, 1, 1, "出 現"},
        {"count-groups 数字", buildCountGroups, 2, 1, "数 字"},
        {"appearance-count title", buildAppearanceCount, 4, 1, "       当 選 数 字"},
        {"appearance-count counts title", buildAppearanceCount, 12, 1,
            "前回までの出現回数合計(回)"},
        {"appearance-count bonus", buildAppearanceCount, 15, 2, "ボ数字"},
        {"appearance-interval band", buildAppearanceInterval, 7, 1, "    当 選 数 字     "},
        {"appearance-interval bottom band", buildAppearanceInterval, 7, 5, "    当 選 数 字     "},
        {"appearance-interval bottom heading", buildAppearanceInterval, 15, 4, "出現"},
        {"number-interval band", buildNumberInterval, 7, 1, "    本 数 字     "},
        {"number-interval bonus band", buildNumberInterval, 14, 5, "     ボ数字   　   "},
        {"number-interval heading", buildNumberInterval, 13, 2, "差分"},
        {"spread title", buildSpread, 22, 1, "数　　　　　　　字"},
        {"spread number 43", buildSpread, 44, 2, "43"},
        {"spread right label", buildSpread, 45, 2, "回"},
        {"carry-over band", buildCarryOver, 4, 1, "        本 数 字         "},
        {"carry-over bonus", buildCarryOver, 8, 1, "ボーナス数字"},
        {"consecutive left", buildConsecutive, 4, 1, "連番(本数字)"},
        {"consecutive right", buildConsecutive, 11, 1, "飛び石(本数字)"},
        {"consecutive right draw", buildConsecutive, 8, 1, "回数"},
    };
    for (const Case &c : cases) {
        const Sheet s = build(c.builder, {draw(1, {1, 2, 3, 4, 5, 6, 7})});
        EXPECT_EQ(text(s, c.col, c.row), c.text) << c.name;
    }
}

TEST(CountGroups, RowsFollowTheDistinctCounts)
{
    // Counts: 1..6 twice, 7 and 8 once, every other number never.
    const Sheet s
        = build(buildCountGroups, {draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {1, 2, 3, 4, 5, 6, 8})});
    ASSERT_EQ(s.rows(), 4);
    ASSERT_EQ(s.columns(), 2);
    EXPECT_EQ(rowTexts(s, 2, 1, 2),
        (Texts{"0回",
            "9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,"
            "34,35,36,37,38,39,40,41,42,43"}));
    EXPECT_EQ(rowTexts(s, 3, 1, 2), (Texts{"1回", "7,8"}));
    EXPECT_EQ(rowTexts(s, 4, 1, 2), (Texts{"2回", "1,2,3,4,5,6"}));
    EXPECT_EQ(bg(s, 1, 1), colors::lightPink);
    EXPECT_EQ(bg(s, 1, 4), colors::lightYellow);
    // The blue left-aligned style reaches row MaxAppearance = 2 only.
    EXPECT_EQ(s.cell(2, 2).fg, colors::blue);
    EXPECT_EQ(s.cell(2, 2).hAlign, HAlign::Left);
    EXPECT_FALSE(s.cell(2, 3).fgSet);
    EXPECT_EQ(s.cell(2, 3).hAlign, HAlign::Center);
}

TEST(CountGroups, ShortAndEmptyHistories)
{
    // MaxAppearance 1: the styled range 2..1 is empty and must not reach the heading.
    const Sheet one = build(buildCountGroups, {draw(1, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(one.rows(), 3);
    EXPECT_EQ(text(one, 1, 3), "1回");
    EXPECT_FALSE(one.cell(2, 1).fgSet);
    EXPECT_EQ(one.cell(2, 1).hAlign, HAlign::Center);
    EXPECT_FALSE(one.cell(2, 2).fgSet);

    EXPECT_EQ(build(buildCountGroups, {}).rows(), 0);
}

TEST(AppearanceCount, CountsBeforeEachDraw)
{
    // Draw 3 is incomplete (no row); draw 5 holds 9 as bonus, drawn as main in draws 1 and 2.
    const Sheet s = build(buildAppearanceCount,
        {draw(1, {1, 2, 3, 4, 5, 9, 10}), draw(2, {9, 11, 12, 13, 14, 15, 1}), incomplete(3, 6),
            draw(5, {1, 20, 21, 22, 23, 24, 9})});
    ASSERT_EQ(s.rows(), 7); // L + 2 with L = 5
    EXPECT_EQ(rowTexts(s, 3, 1, 15),
        (Texts{"1", "1", "2", "3", "4", "5", "9", "10", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(rowTexts(s, 4, 9, 15), (Texts{"1", "0", "0", "0", "0", "0", "1"}));
    EXPECT_EQ(rowTexts(s, 5, 1, 15),
        (Texts{"5", "1", "20", "21", "22", "23", "24", "9", "2", "0", "0", "0", "0", "0", "2"}));
    // Rows left over by the skipped record and the gap keep borders and column colours.
    EXPECT_EQ(text(s, 1, 6), "");
    EXPECT_EQ(bg(s, 1, 7), colors::lightYellow);
    EXPECT_TRUE(s.cell(9, 7).hasBorder(Cell::SideBottom));
    EXPECT_EQ(s.cell(2, 2).fg, colors::blue);
    EXPECT_EQ(bg(s, 9, 2), colors::lightGreen);
    EXPECT_FALSE(s.cell(5, 1).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(s.cell(8, 1).hasBorder(Cell::SideRight));
}

TEST(AppearanceInterval, IntervalsLookBackToTheLatestAppearance)
{
    const Sheet s = build(buildAppearanceInterval,
        {
            draw(1, {1, 2, 3, 4, 5, 6, 40}),       // row 3
            draw(2, {7, 8, 9, 10, 11, 12, 13}),    // row 4
            draw(3, {1, 14, 15, 16, 17, 18, 19}),  // row 5
            incomplete(4, 2),                      // row 6 stays blank
            draw(5, {13, 20, 21, 22, 23, 24, 25}), // row 7
            draw(8, {1, 26, 40, 41, 42, 43, 20}),  // row 8, after a gap
        });
    ASSERT_EQ(s.rows(), 12); // N + 4 with N = 8
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(text(s, 2 * k + 1, 3), "初回") << "position " << k;
    EXPECT_EQ(text(s, 3, 5), "2回前"); // 1 again after one draw between
    EXPECT_EQ(text(s, 3, 7), "3回前"); // bonus 13 of draw 2, main in draw 5
    EXPECT_EQ(rowTexts(s, 6, 1, 15), Texts(15, ""));
    EXPECT_EQ(text(s, 1, 8), "8");
    EXPECT_EQ(text(s, 3, 8), "5回前");  // 1 in draws 1 and 3: the latest wins
    EXPECT_EQ(text(s, 7, 8), "7回前");  // 40 was the bonus of draw 1
    EXPECT_EQ(text(s, 15, 8), "3回前"); // bonus 20 was a main number of draw 5
    EXPECT_EQ(text(s, 5, 8), "初回");
    // Row 9 is left over by the gap; the bottom pair follows.
    EXPECT_EQ(text(s, 1, 9), "");
    EXPECT_EQ(text(s, 1, 11), "回数");
    EXPECT_EQ(text(s, 7, 12), "    当 選 数 字     ");
}

TEST(AppearanceInterval, IncompleteRecordIsNoEarlierAppearance)
{
    const Sheet s = build(buildAppearanceInterval,
        {draw(1, {1, 2, 3, 4, 5, 6, 7}), incomplete(2, 6), draw(3, {1, 8, 9, 10, 11, 12, 13})});
    // The incomplete draw 2 holds 1..6 in its filled fields, yet 1 was last seen in draw 1.
    EXPECT_EQ(text(s, 3, 5), "2回前");
    EXPECT_EQ(text(s, 1, 4), "");
}

TEST(AppearanceInterval, ColoursAndHeadingPairs)
{
    const Sheet s = build(buildAppearanceInterval, {draw(1, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(s.rows(), 5);
    EXPECT_EQ(bg(s, 2, 3), colors::lightCyan);
    EXPECT_EQ(bg(s, 3, 3), colors::white);
    EXPECT_EQ(s.cell(1, 3).fg, colors::red);
    EXPECT_EQ(bg(s, 1, 3), colors::lightYellow);
    for (int row : {1, 2, 4, 5})
        for (int col : {2, 3, 14, 15}) {
            EXPECT_EQ(bg(s, col, row), colors::lightPink) << col << "," << row;
            EXPECT_TRUE(s.cell(col, row).fgSet);
            EXPECT_EQ(s.cell(col, row).fg, colors::black);
        }
    // Caption band: the caption runs over open cells, the bonus part is boxed on its own.
    EXPECT_FALSE(s.cell(7, 1).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(s.cell(7, 1).hasBorder(Cell::SideTop));
    EXPECT_TRUE(s.cell(14, 5).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(s.cell(15, 5).hasBorder(Cell::SideRight));
}

TEST(AppearanceInterval, EmptyHistoryKeepsBothHeadingPairs)
{
    const Sheet s = build(buildAppearanceInterval, {});
    ASSERT_EQ(s.rows(), 4);
    EXPECT_EQ(rowTexts(s, 2, 1, 3), (Texts{"回数", "第1数字", "出現"}));
    EXPECT_EQ(rowTexts(s, 3, 1, 3), (Texts{"回数", "第1数字", "出現"}));
    EXPECT_EQ(text(s, 7, 4), "    当 選 数 字     ");
}

TEST(AppearanceInterval, OddNumberingAndLargeDrawNumbers)
{
    // Numbering from 0: three records but N = 2, so the last record has no row of its own and
    // must not overwrite the bottom headings in row 5.
    const Sheet fromZero = build(buildAppearanceInterval,
        {draw(0, {1, 2, 3, 4, 5, 6, 7}), draw(1, {1, 2, 3, 4, 5, 6, 7}),
            draw(2, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(fromZero.rows(), 6);
    EXPECT_EQ(text(fromZero, 3, 4), "初回"); // draw 0 is never searched
    EXPECT_EQ(rowTexts(fromZero, 5, 1, 3), (Texts{"回数", "第1数字", "出現"}));

    // Draw numbers above 5000 work like any other; values outside 1..43 are never found.
    const Sheet large = build(buildAppearanceInterval,
        {draw(6000, {1, 2, 3, 4, 5, 0, 99}), draw(6003, {1, 8, 9, 10, 11, 0, 99})});
    ASSERT_EQ(large.rows(), 6007);
    EXPECT_EQ(text(large, 1, 4), "6003");
    EXPECT_EQ(text(large, 3, 4), "3回前");
    EXPECT_EQ(text(large, 13, 4), "初回");
    EXPECT_EQ(text(large, 15, 4), "初回");
}

TEST(NumberInterval, DifferencesByPosition)
{
    const Sheet s = build(buildNumberInterval,
        {
            draw(1, {20, 3, 10, 30, 31, 40, 5}),  // row 3: no differences
            draw(2, {3, 20, 10, 30, 32, 41, 1}),  // row 4
            incomplete(3, 0),                     // row 5 blank
            draw(4, {4, 21, 11, 31, 33, 42, 43}), // row 6: compared with draw 2
        });
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(text(s, 2 * k + 1, 3), "") << "position " << k;
    EXPECT_EQ(rowTexts(s, 4, 1, 15),
        (Texts{"2", "3", "-17", "20", "+17", "10", "0", "30", "0", "32", "+1", "41", "+1", "1",
            "-4"}));
    EXPECT_EQ(bg(s, 3, 4), colors::lightMagenta);
    EXPECT_EQ(bg(s, 5, 4), colors::white);
    EXPECT_EQ(bg(s, 7, 4), colors::white);
    EXPECT_EQ(bg(s, 15, 4), colors::lightMagenta);
    EXPECT_EQ(bg(s, 2, 4), colors::lightCyan); // the number cell keeps its column colour
    EXPECT_EQ(rowTexts(s, 5, 1, 15), Texts(15, ""));
    EXPECT_EQ(text(s, 3, 6), "+1");
    EXPECT_EQ(text(s, 15, 6), "+42");
    EXPECT_EQ(text(s, 1, 7), "回数"); // bottom headings at N + 3
}

TEST(NumberInterval, IncompleteFirstRecordComparesWithZeros)
{
    const Sheet s = build(buildNumberInterval, {incomplete(1, 6), draw(2, {1, 2, 3, 4, 5, 6, 7})});
    EXPECT_EQ(rowTexts(s, 3, 1, 15), Texts(15, ""));
    EXPECT_EQ(rowTexts(s, 4, 2, 5), (Texts{"1", "+1", "2", "+2"}));
    EXPECT_EQ(text(s, 15, 4), "+7");
    EXPECT_EQ(text(s, 14, 6), "     ボ数字   　   ");
}

TEST(Spread, MarksAndRows)
{
    // Draw 2 is skipped: draw 3 moves up to row 4. With L = 3 the closing heading row (k = 0)
    // is row 5, and row 6 stays empty.
    const Sheet s = build(buildSpread,
        {draw(1, {1, 5, 10, 20, 30, 43, 7}), incomplete(2, 3), draw(3, {2, 3, 4, 5, 6, 7, 0})});
    ASSERT_EQ(s.rows(), 6);
    ASSERT_EQ(s.columns(), 45);
    EXPECT_EQ(text(s, 1, 3), "1");
    EXPECT_EQ(text(s, 45, 3), "1");
    int marks = 0;
    for (int c = 2; c <= 44; ++c)
        if (text(s, c, 3) == "●") {
            ++marks;
            EXPECT_EQ(s.cell(c, 3).fg, c == 8 ? BonusMark : MainMark) << c;
        }
    EXPECT_EQ(marks, 7);
    EXPECT_EQ(text(s, 44, 3), "●");
    // A bonus 0 has no column and leaves the draw number alone.
    EXPECT_EQ(text(s, 1, 4), "3");
    EXPECT_EQ(text(s, 2, 4), "");
    EXPECT_EQ(rowTexts(s, 5, 1, 3), (Texts{"回", "1", "2"}));
    EXPECT_EQ(rowTexts(s, 6, 1, 3), (Texts{"", "", ""}));
    EXPECT_EQ(bg(s, 45, 6), colors::lightYellow);
    EXPECT_EQ(bg(s, 2, 6), colors::white);
    EXPECT_EQ(bg(s, 2, 2), HeadingCyan);
    EXPECT_EQ(s.cell(2, 2).fg, colors::blue);
}

TEST(Spread, ClosingHeadingRowOnlyWhileInsideTheGrid)
{
    // L = 30 gives k = 1: the copy lands in row L + 3, the last row; L = 70 gives k = 2, row 74
    // of a 73-row grid, so the last row stays empty.
    const Sheet inside
        = build(buildSpread, {draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(30, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(inside.rows(), 33);
    EXPECT_EQ(rowTexts(inside, 33, 1, 3), (Texts{"回", "1", "2"}));
    EXPECT_EQ(bg(inside, 3, 33), HeadingCyan);

    const Sheet outside
        = build(buildSpread, {draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(70, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(outside.rows(), 73);
    EXPECT_EQ(rowTexts(outside, 73, 1, 3), (Texts{"", "", ""}));
}

TEST(CarryOver, HighlightsNumbersOfThePreviousValidDraw)
{
    const Sheet s = build(buildCarryOver,
        {
            draw(1, {1, 2, 3, 4, 5, 6, 7}),      // row 2: nothing before it
            draw(2, {7, 10, 11, 12, 13, 14, 6}), // row 3: 7 was a bonus, bonus 6 a main
            incomplete(3, 1),                    // no row, previous list kept
            draw(5, {8, 9, 10, 20, 21, 22, 30}), // row 4: 10 carried over from draw 2
        });
    ASSERT_EQ(s.rows(), 6);
    for (int c = 2; c <= 8; ++c)
        EXPECT_EQ(bg(s, c, 2), colors::white) << c;
    EXPECT_EQ(bg(s, 2, 3), colors::lightCyan);
    EXPECT_EQ(bg(s, 8, 3), colors::lightCyan);
    EXPECT_EQ(bg(s, 3, 3), colors::white);
    EXPECT_EQ(rowTexts(s, 4, 1, 4), (Texts{"5", "8", "9", "10"}));
    EXPECT_EQ(bg(s, 4, 4), colors::lightCyan);
    EXPECT_EQ(bg(s, 2, 4), colors::white);
    EXPECT_EQ(rowTexts(s, 5, 1, 8), Texts(8, ""));
    EXPECT_EQ(bg(s, 1, 6), colors::lightYellow);
    EXPECT_EQ(bg(s, 5, 1), colors::lightPink);
    EXPECT_FALSE(s.cell(4, 1).hasBorder(Cell::SideLeft));
    EXPECT_FALSE(s.cell(7, 1).hasBorder(Cell::SideRight));
    EXPECT_TRUE(s.cell(4, 1).hasBorder(Cell::SideBottom));
    EXPECT_TRUE(s.cell(4, 1).hasBorder(Cell::SideTop)) << "only the lines between go";

    // An empty history leaves the heading row only, "回数" still black on pink.
    const Sheet empty = build(buildCarryOver, {});
    ASSERT_EQ(empty.rows(), 1);
    EXPECT_EQ(empty.cell(1, 1).fg, colors::black);
    EXPECT_EQ(bg(empty, 1, 1), colors::lightPink);
}

TEST(Consecutive, PairsOfNeighbouringFields)
{
    struct Case
    {
        const char *name;
        std::vector<long long> numbers; // six main numbers and the bonus
        std::vector<int> cyan;          // left-table columns
        std::vector<int> green;         // right-table columns
    };
    const Case cases[] = {
        {"overlapping consecutive pairs", {3, 4, 5, 20, 30, 40, 21}, {2, 3, 4}, {}},
        {"five stepping stones", {1, 3, 5, 7, 9, 11, 13}, {}, {9, 10, 11, 12, 13, 14}},
        {"mixed", {10, 12, 13, 20, 22, 40, 41}, {3, 4}, {9, 10, 12, 13}},
        {"stepping stone with middle number", {10, 11, 12, 30, 35, 40, 1}, {2, 3, 4}, {}},
        {"bonus takes no part", {1, 10, 20, 30, 40, 42, 43}, {}, {14, 13}},
    };
    for (const Case &c : cases) {
        DrawRecord r = draw(1, {});
        for (std::size_t i = 0; i < 7; ++i)
            r.fields[i] = c.numbers[i];
        const Sheet s = build(buildConsecutive, {r});
        for (int col = 2; col <= 7; ++col) {
            const bool want = std::find(c.cyan.begin(), c.cyan.end(), col) != c.cyan.end();
            EXPECT_EQ(bg(s, col, 2), want ? colors::lightCyan : colors::white)
                << c.name << " col " << col;
        }
        for (int col = 9; col <= 14; ++col) {
            const bool want = std::find(c.green.begin(), c.green.end(), col) != c.green.end();
            EXPECT_EQ(bg(s, col, 2), want ? colors::lightGreen : colors::white)
                << c.name << " col " << col;
        }
        EXPECT_EQ(bg(s, 1, 2), c.cyan.empty() ? Grey : colors::lightYellow) << c.name;
        EXPECT_EQ(bg(s, 8, 2), c.green.empty() ? Grey : colors::lightYellow) << c.name;
        EXPECT_EQ(rowTexts(s, 2, 8, 9), (Texts{"1", std::to_string(c.numbers[0])})) << c.name;
    }
}

TEST(Consecutive, SkippedRecordsLeaveRowsAtTheBottom)
{
    const Sheet s = build(buildConsecutive,
        {draw(1, {1, 2, 10, 20, 30, 40, 5}), incomplete(2, 0), draw(3, {5, 7, 9, 20, 30, 40, 1})});
    ASSERT_EQ(s.rows(), 4);
    EXPECT_EQ(rowTexts(s, 3, 1, 3), (Texts{"3", "5", "7"}));
    EXPECT_EQ(bg(s, 1, 3), Grey);
    EXPECT_EQ(rowTexts(s, 4, 1, 14), Texts(14, ""));
    EXPECT_EQ(bg(s, 8, 4), colors::lightYellow);
    EXPECT_EQ(bg(s, 4, 1), colors::lightMagenta);
    EXPECT_EQ(bg(s, 12, 1), colors::lightPink);
    EXPECT_FALSE(s.cell(4, 1).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(s.cell(2, 1).hasBorder(Cell::SideLeft));
}
