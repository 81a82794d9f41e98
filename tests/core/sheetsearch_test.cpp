#include "grid/sheetsearch.h"

#include <gtest/gtest.h>

using namespace loto6;

namespace {

// Heading 回数 over draw numbers in column 2 of a three-column table, numbers beside them.
Sheet drawTable(const char *heading, bool marked)
{
    Sheet s;
    s.prepare(3, 5, 3, 5, 10, 5);
    s.setText(1, 1, "番号");
    s.setText(2, 1, heading);
    for (int row = 2; row <= 5; ++row) {
        const int drawNo = 2146 + row;
        s.setText(1, row, row);
        s.setText(2, row, marked ? "第" + std::to_string(drawNo) + "回" : std::to_string(drawNo));
        s.setText(3, row, row == 3 || row == 5 ? "07" : "43");
    }
    return s;
}

} // namespace

TEST(SheetSearch, FindsADrawByNumberUnderItsHeading)
{
    for (const bool marked : {false, true}) {
        const Sheet s = drawTable(marked ? "回" : "回数", marked);
        EXPECT_EQ(drawColumn(s), 2) << marked;
        EXPECT_EQ(findDraw(s, 2150), (SheetCell{2, 4})) << marked;
        EXPECT_FALSE(findDraw(s, 2200)) << marked;
        // The row numbers in column 1 are not draw numbers.
        EXPECT_FALSE(findDraw(s, 3)) << marked;
    }
    Sheet noDraws = drawTable("数字", false);
    EXPECT_EQ(drawColumn(noDraws), 0);
    EXPECT_FALSE(findDraw(noDraws, 2150));
}

TEST(SheetSearch, FindsTheNextCellHoldingANumberAndWraps)
{
    const Sheet s = drawTable("回数", false);
    EXPECT_EQ(findNumber(s, SheetCell{}, 7), (SheetCell{3, 3})) << "from nowhere: the first";
    EXPECT_EQ(findNumber(s, SheetCell{3, 3}, 7), (SheetCell{3, 5}));
    EXPECT_EQ(findNumber(s, SheetCell{3, 5}, 7), (SheetCell{3, 3})) << "wraps to the top";
    EXPECT_EQ(findNumber(s, SheetCell{1, 1}, 2), (SheetCell{1, 2}));
    EXPECT_FALSE(findNumber(s, SheetCell{1, 1}, 8));
    EXPECT_FALSE(findNumber(Sheet{}, SheetCell{}, 7));
}

TEST(SheetSearch, OnlyWholeNumbersAreNumbers)
{
    EXPECT_EQ(cellNumber(" 07 "), 7);
    EXPECT_EQ(cellNumber("2149"), 2149);
    for (const char *text : {"", "7回", "第7回", "●", "1.5", "-3", "1e3", "99999999999999999999"})
        EXPECT_FALSE(cellNumber(text)) << text;
}

TEST(SheetSearch, TheNewestDrawIsTheLowestRowWithADraw)
{
    for (const bool marked : {false, true}) {
        Sheet s = drawTable(marked ? "回" : "回数", marked);
        EXPECT_EQ(lastDraw(s), (SheetCell{2, 5})) << marked;
        // A totals row under the draws is not a draw.
        s.setSize(3, 6);
        s.setText(2, 6, "合計");
        EXPECT_EQ(lastDraw(s), (SheetCell{2, 5})) << marked;
    }
    EXPECT_FALSE(lastDraw(drawTable("数字", false)));
    EXPECT_FALSE(lastDraw(Sheet{}));
}

TEST(SheetSearch, ACellIsPlacedByItsDrawAndHeading)
{
    Sheet s = drawTable("回数", false);
    s.setText(3, 1, "第6数字");
    // The first draw row is not taken for a heading row, the number in it not for a heading.
    EXPECT_EQ(cellPlace(s, SheetCell{3, 2}), "第2148回 第6数字");
    EXPECT_EQ(cellPlace(s, SheetCell{3, 5}), "第2151回 第6数字");
    EXPECT_EQ(cellPlace(drawTable("回", true), SheetCell{3, 3}), "第2149回");
    // Without a draw column: the heading alone, or the row and column.
    Sheet plain = drawTable("数字", false);
    EXPECT_EQ(cellPlace(plain, SheetCell{2, 4}), "数字");
    EXPECT_EQ(cellPlace(plain, SheetCell{3, 4}), "4行目 3列目");
}
