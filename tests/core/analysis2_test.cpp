#include "analysis/builders.h"
#include "grid/sheetwriter.h"
#include "store/csvhistory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace loto6 {
namespace {

using test::draw;
using test::incomplete;
using Builder = Sheet (*)(const DrawHistory &, const Totals &);

constexpr Rgb Lavender = rgb(200, 200, 255);
constexpr Rgb Grey = rgb(210, 210, 210);
constexpr Rgb MainMark = rgb(62, 158, 255);
constexpr Rgb BonusMark = rgb(255, 128, 192);

Sheet build(Builder builder, std::vector<DrawRecord> records)
{
    const DrawHistory h = test::history(std::move(records));
    return builder(h, computeTotals(h));
}

// The background a window set on a cell, or nullopt when it kept the grid's default.
std::optional<Rgb> bgOf(const Sheet &s, int col, int row)
{
    const Cell &c = s.cell(col, row);
    return c.bgSet ? std::optional<Rgb>(c.bg) : std::nullopt;
}

std::optional<Rgb> fgOf(const Sheet &s, int col, int row)
{
    const Cell &c = s.cell(col, row);
    return c.fgSet ? std::optional<Rgb>(c.fg) : std::nullopt;
}

bool rowEmpty(const Sheet &s, int row)
{
    for (int c = 1; c <= s.columns(); ++c)
        if (!s.text(c, row).empty())
            return false;
    return true;
}

// ---- 数字合計分析 ----

TEST(SumTable, SumsHeadingsAndColours)
{
    const Sheet s
        = build(buildSum, {draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {38, 39, 40, 41, 42, 43, 37})});
    ASSERT_EQ(s.columns(), 10);
    ASSERT_EQ(s.rows(), 3);
    EXPECT_EQ(s.text(2, 1), "                       　本 数 字                              ");
    EXPECT_EQ(s.text(8, 1), "本数字合計");
    EXPECT_EQ(s.text(9, 1), "ボ数字");
    EXPECT_EQ(s.text(10, 1), "本数字+ボ数字");
    EXPECT_EQ(s.text(8, 2), "21");
    EXPECT_EQ(s.text(9, 2), "7");
    EXPECT_EQ(s.text(10, 2), "28");
    EXPECT_EQ(s.text(8, 3), "243");
    EXPECT_EQ(s.text(10, 3), "280");
    EXPECT_EQ(fgOf(s, 5, 1), colors::black);
    EXPECT_EQ(bgOf(s, 5, 1), colors::lightPink);
    EXPECT_EQ(bgOf(s, 8, 3), colors::lightCyan);
    EXPECT_EQ(fgOf(s, 10, 3), colors::blue);
    EXPECT_EQ(bgOf(s, 9, 3), std::nullopt);
    EXPECT_EQ(bgOf(s, 4, 3), std::nullopt);
    EXPECT_EQ(s.rowHeight(1), 20);
    EXPECT_EQ(s.colWidth(10), 10);
    // The caption's cells read as one: no lines inside columns 2..7, but one above and below.
    EXPECT_FALSE(s.cell(4, 1).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(s.cell(4, 1).hasBorder(Cell::SideTop));
    EXPECT_TRUE(s.cell(8, 1).hasBorder(Cell::SideLeft));
}

TEST(SumTable, IncompleteRecordLeavesLastRowEmpty)
{
    const Sheet s = build(buildSum,
        {draw(1, {1, 2, 3, 4, 5, 6, 7}), incomplete(2, 6), draw(3, {10, 11, 12, 13, 14, 15, 16})});
    ASSERT_EQ(s.rows(), 4);
    EXPECT_EQ(s.text(1, 3), "3");
    EXPECT_EQ(s.text(8, 3), "75");
    EXPECT_TRUE(rowEmpty(s, 4));
    EXPECT_EQ(bgOf(s, 1, 4), colors::lightYellow);

    const Sheet empty = build(buildSum, {});
    EXPECT_EQ(empty.rows(), 1);
    EXPECT_EQ(empty.text(1, 1), "回数");
}

// ---- 低数字・高数字 and 偶数・奇数: the pattern letter of a count ----

struct LetterCase
{
    int count;
    const char *letter;
    std::optional<Rgb> bg;
};
const LetterCase Letters[] = {{0, "A", std::nullopt}, {1, "B", colors::lightCyan},
    {2, "C", colors::lightGreen}, {3, "D", colors::lightYellow}, {4, "E", colors::white},
    {5, "F", colors::lightMagenta}, {6, "G", colors::lightPink}};

TEST(LowHighTable, LetterByLowCount)
{
    for (const LetterCase &c : Letters) {
        SCOPED_TRACE(c.letter);
        DrawRecord r = draw(1, {});
        for (int k = 0; k < 6; ++k)
            r.fields[static_cast<std::size_t>(k)] = k < c.count ? 21 - k : 22 + k;
        r.fields[6] = 43;
        const Sheet s = build(buildLowHigh, {r});
        EXPECT_EQ(s.text(9, 2), std::to_string(c.count));
        EXPECT_EQ(s.text(10, 2), std::to_string(6 - c.count));
        EXPECT_EQ(s.text(11, 2), c.letter);
        EXPECT_EQ(bgOf(s, 11, 2), c.bg);
    }
}

TEST(LowHighTable, MarksLowNumbersAndBonusWithoutCountingIt)
{
    const Sheet s = build(
        buildLowHigh, {draw(1, {1, 5, 10, 21, 22, 43, 3}), draw(2, {1, 5, 10, 21, 22, 43, 30})});
    EXPECT_EQ(s.text(4, 1), "　　本 数 字");
    EXPECT_EQ(s.text(9, 1), "低数字");
    EXPECT_EQ(s.text(10, 1), "高数字");
    EXPECT_EQ(fgOf(s, 6, 1), colors::blue);
    for (int row : {2, 3}) {
        EXPECT_EQ(s.text(9, row), "4");
        EXPECT_EQ(s.text(11, row), "E");
        EXPECT_EQ(bgOf(s, 5, row), colors::lightCyan); // 21
        EXPECT_EQ(bgOf(s, 6, row), std::nullopt);      // 22
        EXPECT_EQ(bgOf(s, 10, row), colors::white);
        EXPECT_EQ(fgOf(s, 9, row), colors::blue);
    }
    EXPECT_EQ(bgOf(s, 8, 2), colors::lightCyan);   // low bonus
    EXPECT_EQ(bgOf(s, 8, 3), colors::lightYellow); // high bonus keeps the column colour
}

TEST(EvenOddTable, LetterByOddCount)
{
    for (const LetterCase &c : Letters) {
        SCOPED_TRACE(c.letter);
        DrawRecord r = draw(1, {});
        for (int k = 0; k < 6; ++k)
            r.fields[static_cast<std::size_t>(k)] = k < c.count ? 2 * k + 1 : 2 * k + 20;
        r.fields[6] = 42;
        const Sheet s = build(buildEvenOdd, {r});
        EXPECT_EQ(s.text(9, 2), std::to_string(6 - c.count));
        EXPECT_EQ(s.text(10, 2), std::to_string(c.count));
        EXPECT_EQ(s.text(11, 2), c.letter);
        EXPECT_EQ(bgOf(s, 11, 2), c.bg);
    }
}

TEST(EvenOddTable, ParityColoursBonusAndEmptyRow)
{
    const Sheet s = build(buildEvenOdd,
        {draw(1, {2, 3, 4, 5, 40, 43, 10}), incomplete(2, 0), draw(3, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(s.rows(), 4);
    EXPECT_EQ(s.text(4, 1), "    本 数 字      ");
    EXPECT_EQ(s.text(9, 1), "偶数");
    EXPECT_EQ(s.text(10, 1), "奇数");
    EXPECT_EQ(bgOf(s, 2, 2), colors::lightCyan); // 2
    EXPECT_EQ(bgOf(s, 3, 2), colors::white);     // 3, painted explicitly
    EXPECT_EQ(bgOf(s, 8, 2), colors::lightYellow);
    EXPECT_EQ(s.text(11, 2), "D");
    EXPECT_EQ(s.text(1, 3), "3");
    // The row left over keeps the column blocks and no text.
    EXPECT_TRUE(rowEmpty(s, 4));
    EXPECT_EQ(fgOf(s, 10, 4), colors::blue);
    EXPECT_EQ(bgOf(s, 9, 4), colors::lightCyan);
    EXPECT_EQ(bgOf(s, 11, 4), std::nullopt);
}

// ---- 5分割傾向分析 ----

TEST(FiveBandTable, CountsAndBandColours)
{
    const Sheet s = build(
        buildFiveBand, {draw(1, {3, 12, 25, 31, 40, 43, 7}), draw(2, {1, 2, 3, 4, 5, 6, 41})});
    const char *counts1[] = {"2", "1", "1", "1", "2"};
    const char *counts2[] = {"6", "0", "0", "0", "1"};
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(s.text(b + 9, 2), counts1[b]);
        EXPECT_EQ(s.text(b + 9, 3), counts2[b]);
    }
    const Rgb expected[] = {colors::white, colors::lightCyan, colors::lightGreen,
        colors::lightYellow, colors::lightMagenta, colors::lightMagenta, colors::white};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(bgOf(s, k + 2, 2), expected[k]) << "field " << k;
    EXPECT_EQ(bgOf(s, 9, 2), std::nullopt);
    EXPECT_EQ(bgOf(s, 11, 2), colors::lightGreen);
}

TEST(FiveBandTable, BandBoundaries)
{
    const struct
    {
        long long number;
        Rgb bg;
    } cases[] = {{9, colors::white}, {10, colors::lightCyan}, {19, colors::lightCyan},
        {20, colors::lightGreen}, {29, colors::lightGreen}, {30, colors::lightYellow},
        {39, colors::lightYellow}, {40, colors::lightMagenta}, {0, colors::lightMagenta},
        {-5, colors::lightMagenta}, {100000, colors::lightMagenta}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.number);
        const Sheet s = build(buildFiveBand, {draw(1, {c.number, 1, 1, 1, 1, 1, 1})});
        EXPECT_EQ(s.text(2, 2), std::to_string(c.number));
        EXPECT_EQ(bgOf(s, 2, 2), c.bg);
    }
}

TEST(FiveBandTable, HeaderRepeatedUnderTheTable)
{
    const Sheet s = build(buildFiveBand,
        {draw(1, {1, 2, 3, 4, 5, 6, 7}), incomplete(2, 3), draw(3, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(s.rows(), 5);
    for (int row : {1, 5}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(s.text(1, row), "回数");
        EXPECT_EQ(s.text(4, row), "    本 数 字");
        EXPECT_EQ(s.text(8, row), "ボ数");
        EXPECT_EQ(s.text(13, row), "40～43");
        EXPECT_EQ(s.rowHeight(row), 20);
        EXPECT_EQ(bgOf(s, 1, row), colors::lightPink);
        EXPECT_EQ(fgOf(s, 8, row), colors::black);
        EXPECT_EQ(fgOf(s, 9, row), colors::blue);
        EXPECT_EQ(bgOf(s, 13, row), Lavender);
        EXPECT_FALSE(s.cell(3, row).hasBorder(Cell::SideLeft));
        EXPECT_TRUE(s.cell(3, row).hasBorder(Cell::SideBottom));
    }
    EXPECT_TRUE(rowEmpty(s, 4));
    EXPECT_EQ(bgOf(s, 8, 4), colors::lightYellow);
    EXPECT_EQ(s.cell(9, 3).borderColor[Cell::SideLeft], colors::red);

    EXPECT_EQ(build(buildFiveBand, {}).rows(), 2);
    EXPECT_EQ(build(buildFiveBand, {}).text(13, 2), "40～43");
}

TEST(AnalysisTables2, SurplusRecordsNeverOverwriteTheHeaders)
{
    // Draw 0 is complete but below the latest draw number: one record more than data rows.
    const DrawRecord zero = draw(0, {7, 17, 3, 4, 5, 6, 1});
    const DrawRecord one = draw(1, {1, 2, 3, 4, 5, 6, 7});

    const Sheet band = build(buildFiveBand, {zero, one});
    ASSERT_EQ(band.rows(), 3);
    EXPECT_EQ(band.text(1, 2), "0");
    EXPECT_EQ(band.text(1, 3), "回数");

    const Sheet digit = build(buildLastDigit, {zero, one});
    ASSERT_EQ(digit.rows(), 5);
    EXPECT_EQ(digit.text(1, 3), "0");
    EXPECT_EQ(digit.text(1, 4), "");
    EXPECT_EQ(digit.text(9, 4), "7");

    // Draw 0 has no row: its run does not land on the digit heading.
    const Sheet run = build(buildLastDigitRun, {zero, one});
    EXPECT_EQ(run.text(9, 2), "7");
    EXPECT_EQ(run.text(9, 3), "");
}

// ---- 6/7/11分割データ分析 ----

TEST(GroupDivision, SixGroupsGreyEmptyGroups)
{
    const Sheet s = build(buildGroup6, {draw(5, {1, 2, 3, 4, 5, 6, 7})});
    ASSERT_EQ(s.columns(), 45);
    ASSERT_EQ(s.rows(), 8);
    EXPECT_EQ(s.text(1, 4), "5");
    EXPECT_EQ(s.text(45, 4), "5");
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(s.text(n + 1, 4), "●");
    EXPECT_EQ(fgOf(s, 7, 4), MainMark);
    EXPECT_EQ(fgOf(s, 8, 4), BonusMark);
    EXPECT_EQ(bgOf(s, 2, 4), std::nullopt);
    EXPECT_EQ(bgOf(s, 8, 4), std::nullopt);
    for (int col = 9; col <= 44; ++col)
        EXPECT_EQ(bgOf(s, col, 4), Grey) << "column " << col;
    EXPECT_TRUE(rowEmpty(s, 5));
    EXPECT_EQ(bgOf(s, 9, 5), colors::lightCyan); // B keeps its band below
}

TEST(GroupDivision, BonusAloneKeepsItsGroup)
{
    const Sheet s = build(buildGroup6, {draw(1, {1, 2, 3, 4, 5, 6, 43})});
    EXPECT_EQ(bgOf(s, 37, 4), colors::lightCyan);
    EXPECT_EQ(bgOf(s, 44, 4), colors::lightCyan);
    EXPECT_EQ(bgOf(s, 30, 4), Grey);
}

TEST(GroupDivision, GroupBoundaries)
{
    const struct
    {
        const char *name;
        Builder builder;
        long long number;
        int first, last; // columns of the number's group
    } cases[] = {
        {"6: 7 in A", buildGroup6, 7, 2, 8},
        {"6: 8 in B", buildGroup6, 8, 9, 15},
        {"6: 36 in F", buildGroup6, 36, 37, 44},
        {"6: 43 in F", buildGroup6, 43, 37, 44},
        {"7: 36 in F", buildGroup7, 36, 32, 37},
        {"7: 37 in G", buildGroup7, 37, 38, 44},
        {"11: 40 in J", buildGroup11, 40, 38, 41},
        {"11: 41 in K", buildGroup11, 41, 42, 44},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const long long n = c.number;
        const Sheet s = c.builder(test::history({draw(1, {n, n, n, n, n, n, n})}),
            computeTotals(test::history({draw(1, {n, n, n, n, n, n, n})})));
        for (int col = 2; col <= 44; ++col) {
            const bool inGroup = col >= c.first && col <= c.last;
            EXPECT_EQ(bgOf(s, col, 4) == Grey, !inGroup) << "column " << col;
        }
    }
}

TEST(GroupDivision, HeadingsAndShading)
{
    const Sheet s6 = build(buildGroup6, {});
    const Sheet s7 = build(buildGroup7, {});
    const Sheet s11 = build(buildGroup11, {});
    ASSERT_EQ(s6.rows(), 3);
    EXPECT_EQ(s6.text(22, 1), "数　　 字");
    EXPECT_EQ(s7.text(21, 1), "数　　 字");
    EXPECT_EQ(s11.text(21, 1), "数　　 字");
    EXPECT_EQ(s6.text(2, 2), "             Ａ              ");
    EXPECT_EQ(s6.text(37, 2), "                Ｆ              ");
    EXPECT_EQ(s7.text(38, 2), "             Ｇ          ");
    EXPECT_EQ(s11.text(38, 2), "       Ｊ        ");
    EXPECT_EQ(s11.text(42, 2), "   　Ｋ ");
    EXPECT_EQ(s6.text(1, 3), "回");
    EXPECT_EQ(s6.text(45, 3), "回");
    EXPECT_EQ(s6.text(44, 3), "43");
    EXPECT_EQ(fgOf(s6, 44, 3), colors::blue);
    EXPECT_EQ(bgOf(s6, 30, 1), colors::lightPink);
    EXPECT_EQ(fgOf(s6, 45, 1), colors::red);
    // Shaded bands: B, D, F of the 6 and 7 windows, B..J every other one of the 11 window.
    EXPECT_EQ(bgOf(s6, 44, 2), colors::lightCyan);
    EXPECT_EQ(bgOf(s6, 36, 3), std::nullopt);
    EXPECT_EQ(bgOf(s7, 37, 3), colors::lightCyan);
    EXPECT_EQ(bgOf(s7, 38, 3), std::nullopt);
    EXPECT_EQ(bgOf(s11, 41, 3), colors::lightCyan);
    EXPECT_EQ(bgOf(s11, 42, 3), std::nullopt);
    // Each letter is framed over its own columns.
    EXPECT_TRUE(s11.cell(42, 2).hasBorder(Cell::SideLeft));
    EXPECT_FALSE(s11.cell(43, 2).hasBorder(Cell::SideLeft));
    EXPECT_EQ(s6.cell(5, 3).borderColor[Cell::SideTop], colors::lightBlue);
}

TEST(GroupDivision, NumbersOutsideTheRangeGetNoMark)
{
    const Sheet s = build(buildGroup7, {draw(9, {0, 44, -3, 9000000000LL, 1, 2, 43})});
    EXPECT_EQ(s.text(1, 4), "9");
    EXPECT_EQ(s.text(45, 4), "9");
    EXPECT_EQ(s.text(2, 4), "●");
    EXPECT_EQ(fgOf(s, 44, 4), BonusMark);
    EXPECT_EQ(bgOf(s, 14, 4), Grey);
}

TEST(GroupDivision, LabelColumnsHoldTheWidestDrawNumber)
{
    struct Case
    {
        const char *name;
        std::vector<int> drawNos;
        double width;
    };
    const Case cases[] = {
        {"one digit keeps room for the heading", {9}, 3},
        {"three digits", {998, 999}, 4},
        {"four digits", {999, 1000}, 5},
        {"five digits", {12345}, 6},
        {"an incomplete draw is not shown and does not widen it", {9999, -10000}, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> records;
        for (int no : c.drawNos)
            records.push_back(no > 0 ? draw(no, {1, 2, 3, 4, 5, 6, 7}) : incomplete(-no, 3));
        for (Builder builder : {buildGroup6, buildGroup7, buildGroup11}) {
            const Sheet s = build(builder, records);
            EXPECT_EQ(s.colWidth(1), c.width);
            EXPECT_EQ(s.colWidth(45), c.width);
        }
    }
}

// ---- 下一桁出現傾向分析 ----

TEST(LastDigitTable, SlotsAndColours)
{
    const Sheet s = build(buildLastDigit,
        {draw(1, {3, 13, 23, 5, 40, 41, 33}), draw(2, {7, 17, 1, 2, 4, 5, 27}),
            draw(3, {7, 17, 1, 2, 4, 5, 6})});
    ASSERT_EQ(s.rows(), 7);
    const char *slots1[] = {"0", "1", "", "3333", "", "5", "", "", "", ""};
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(s.text(d + 2, 3), slots1[d]) << "digit " << d;
    EXPECT_EQ(bgOf(s, 5, 3), colors::lightPink);
    EXPECT_EQ(bgOf(s, 2, 3), colors::white); // once
    EXPECT_EQ(bgOf(s, 4, 3), colors::white); // never
    EXPECT_EQ(s.text(9, 4), "777");
    EXPECT_EQ(bgOf(s, 9, 4), colors::lightGreen);
    EXPECT_EQ(s.text(9, 5), "77");
    EXPECT_EQ(bgOf(s, 9, 5), colors::lightCyan);
    EXPECT_EQ(fgOf(s, 1, 3), colors::red);
}

TEST(LastDigitTable, MirroredHeaders)
{
    const std::string title = std::string(43, ' ') + "下一桁数字" + std::string(27, ' ') + "　　　"
        + std::string(18, ' ');
    const Sheet empty = build(buildLastDigit, {});
    ASSERT_EQ(empty.rows(), 4);
    for (const auto &[titleRow, digitRow] : {std::pair{1, 2}, std::pair{4, 3}}) {
        EXPECT_EQ(empty.text(1, titleRow), "回数");
        EXPECT_EQ(empty.text(2, titleRow), title);
        EXPECT_EQ(empty.rowHeight(titleRow), 20);
        EXPECT_EQ(empty.text(2, digitRow), "0");
        EXPECT_EQ(empty.text(11, digitRow), "9");
        EXPECT_EQ(bgOf(empty, 11, digitRow), colors::lightPink);
        EXPECT_EQ(fgOf(empty, 6, titleRow), colors::blue);
        EXPECT_EQ(bgOf(empty, 1, titleRow), colors::lightYellow);
    }
    EXPECT_TRUE(empty.cell(1, 1).hasBorder(Cell::SideRight));
    EXPECT_FALSE(empty.cell(5, 1).hasBorder(Cell::SideLeft));
    EXPECT_TRUE(empty.cell(5, 2).hasBorder(Cell::SideLeft));

    // An incomplete record leaves the row above the bottom header empty.
    const Sheet s = build(buildLastDigit,
        {draw(1, {1, 2, 3, 4, 5, 6, 7}), incomplete(2, 6), draw(3, {11, 12, 13, 14, 15, 16, 17})});
    ASSERT_EQ(s.rows(), 7);
    EXPECT_EQ(s.text(1, 4), "3");
    EXPECT_TRUE(rowEmpty(s, 5));
    EXPECT_EQ(s.text(2, 6), "0");
}

TEST(LastDigitTable, OddValuesStayInTheirSlot)
{
    const Sheet s = build(buildLastDigit, {draw(1, {-13, 123, 0, 1, 2, 4, 5})});
    EXPECT_EQ(s.text(5, 3), "33");
    EXPECT_EQ(s.text(2, 3), "0");
}

// ---- 下一桁連続出現回数分析 ----

// A draw whose numbers end in 1, 2 and 4, plus 7 when asked.
DrawRecord drawEndingIn(int no, int digit)
{
    if (digit == 7)
        return draw(no, {7, 11, 12, 14, 21, 22, 24});
    return draw(no, {1, 11, 12, 14, 21, 22, 24});
}

std::vector<std::string> column(const Sheet &s, int col, int fromRow, int toRow)
{
    std::vector<std::string> out;
    for (int r = fromRow; r <= toRow; ++r)
        out.emplace_back(s.text(col, r));
    return out;
}

TEST(LastDigitRunTable, RunsBreakAtGapsAndIncompleteRecords)
{
    const struct
    {
        const char *name;
        std::vector<DrawRecord> records;
        std::vector<std::string> digit7; // draws 1..N
    } cases[] = {
        {"run of three",
            {drawEndingIn(10, 7), drawEndingIn(11, 7), drawEndingIn(12, 7), drawEndingIn(13, 1)},
            {"", "", "", "", "", "", "", "", "", "", "1", "2", ""}},
        {"gap in draw numbers", {drawEndingIn(1, 7), drawEndingIn(2, 7), drawEndingIn(4, 7)},
            {"", "1", "", ""}},
        {"incomplete record", {drawEndingIn(1, 7), incomplete(2, 6), drawEndingIn(3, 7)},
            {"", "", ""}},
        {"same draw twice",
            {draw(1, {7, 17, 11, 12, 14, 21, 22}), draw(2, {27, 11, 12, 14, 21, 22, 24})},
            {"1", "2"}},
        {"bonus counts", {draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {1, 2, 3, 4, 5, 6, 17})},
            {"", "1"}},
        // Two draws allow two comparisons: both are spent inside draw 1's seven entries.
        {"at most N pairs", {draw(1, {7, 17, 27, 37, 7, 17, 27}), drawEndingIn(2, 7)}, {"2", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Sheet s = build(buildLastDigitRun, c.records);
        const int n = static_cast<int>(c.digit7.size());
        ASSERT_EQ(s.rows(), n + 4);
        EXPECT_EQ(column(s, 9, 3, n + 2), c.digit7);
        for (int g = 1; g <= n; ++g)
            EXPECT_EQ(s.text(1, g + 2), std::to_string(g));
    }
}

TEST(LastDigitRunTable, ColourByRunLength)
{
    std::vector<DrawRecord> records;
    for (int no = 1; no <= 15; ++no)
        records.push_back(drawEndingIn(no, 7));
    const Sheet s = build(buildLastDigitRun, records);
    const std::optional<Rgb> expected[] = {std::nullopt, colors::lightCyan, colors::lightCyan,
        colors::lightCyan, colors::lightGreen, colors::lightGreen, colors::lightGreen,
        colors::lightYellow, colors::lightYellow, colors::lightYellow, colors::lightMagenta,
        colors::lightMagenta, colors::lightMagenta, colors::lightPink, colors::lightPink};
    for (int g = 1; g <= 15; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(s.text(9, g + 2), g == 1 ? "" : std::to_string(g - 1));
        EXPECT_EQ(bgOf(s, 9, g + 2), expected[g - 1]);
    }
    EXPECT_EQ(bgOf(s, 10, 5), std::nullopt); // digit 8 never occurs
    EXPECT_EQ(s.text(2, 18), "0");           // mirrored digit row
    EXPECT_EQ(s.text(1, 19), "回数");
}

TEST(LastDigitRunTable, EmptyHistory)
{
    const Sheet s = build(buildLastDigitRun, {});
    ASSERT_EQ(s.rows(), 4);
    EXPECT_EQ(s.text(1, 1), "回数");
    EXPECT_EQ(s.text(2, 3), "0");
    EXPECT_EQ(s.text(1, 4), "回数");
    // The run table's "回数" cell has no outline of its own.
    EXPECT_FALSE(s.cell(1, 1).hasBorder(Cell::SideTop));
}

// ---- The real history ----

TEST(AnalysisTables2, RealHistorySizes)
{
    std::vector<DrawRecord> records;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, records));
    const DrawHistory h(std::move(records));
    const Totals t = computeTotals(h);
    const int n = t.latestDrawNo;
    const struct
    {
        Builder builder;
        int columns, rows;
    } cases[] = {{buildSum, 10, n + 1}, {buildLowHigh, 11, n + 1}, {buildEvenOdd, 11, n + 1},
        {buildFiveBand, 13, n + 2}, {buildGroup6, 45, n + 3}, {buildGroup7, 45, n + 3},
        {buildGroup11, 45, n + 3}, {buildLastDigit, 11, n + 4}, {buildLastDigitRun, 11, n + 4}};
    for (const auto &c : cases) {
        const Sheet s = c.builder(h, t);
        EXPECT_EQ(s.columns(), c.columns);
        EXPECT_EQ(s.rows(), c.rows);
        std::ostringstream json;
        writeSheetJson(json, s);
        EXPECT_GT(json.str().size(), 100u);
    }
}

} // namespace
} // namespace loto6
