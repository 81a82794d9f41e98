#include "prediction/predictionengine.h"
#include "prediction/predictionsheets.h"

#include <gtest/gtest.h>

namespace {

using namespace loto6;

bool hasSide(const Sheet &s, int col, int row, Cell::Side side)
{
    return s.cell(col, row).hasBorder(side);
}

// A line between two horizontally neighbouring cells, drawn by either of them.
bool lineRightOf(const Sheet &s, int col, int row)
{
    return hasSide(s, col, row, Cell::SideRight)
        || (col < s.columns() && hasSide(s, col + 1, row, Cell::SideLeft));
}

bool lineBelow(const Sheet &s, int col, int row)
{
    return hasSide(s, col, row, Cell::SideBottom)
        || (row < s.rows() && hasSide(s, col, row + 1, Cell::SideTop));
}

TEST(PredictionSheets, NamesSizesLabelsAndHeading)
{
    struct Row
    {
        PredictionGrid grid;
        const char *name;
        const char *caption;
        int rows;
        std::vector<std::pair<int, const char *>> labels; // row, text of column 1
    };
    const std::vector<Row> rows = {
        {CycleGrid, "cycle", "●周期法による予想", 5,
            {{2, " 7回周期法"}, {3, " 9回周期法"}, {4, "11回周期法"}, {5, "12回周期法"}}},
        {EliminationGrid, "elimination", "●消去法による予想(この予想数字を組合わせて購入します)", 4,
            {{2, ""}, {3, "消去法"}, {4, ""}}},
        {ConsecutiveGrid, "consecutive", "●連発ズンベル予想(この予想数字を組合わせて購入します)", 3,
            {{2, "連発予想"}, {3, ""}}},
        {OneShotGrid, "one-shot", "●一発ズンベル予想", 2, {{2, "１発予想"}}},
    };
    const std::string heading = std::string(25, ' ') + "本 数 字" + std::string(26, ' ');
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Sheet s = predictionSheet(row.grid);
        EXPECT_EQ(s.name(), row.name);
        EXPECT_EQ(s.caption(), row.caption);
        ASSERT_EQ(s.columns(), 7);
        ASSERT_EQ(s.rows(), row.rows);
        EXPECT_EQ(s.colWidth(1), 8);
        for (int c = 2; c <= 7; ++c)
            EXPECT_EQ(s.colWidth(c), 5);
        for (int r = 1; r <= row.rows; ++r)
            EXPECT_EQ(s.rowHeight(r), 10);
        for (auto [r, text] : row.labels)
            EXPECT_EQ(s.text(1, r), text) << "row " << r;

        EXPECT_EQ(s.text(1, 1), "");
        EXPECT_EQ(s.text(2, 1), heading);
        EXPECT_EQ(s.cell(2, 1).hAlign, HAlign::Left);
        EXPECT_TRUE(s.allowOverflow());
        for (int c = 1; c <= 7; ++c) {
            EXPECT_EQ(s.cell(c, 1).fg, colors::blue);
            EXPECT_EQ(s.cell(c, 1).bg, colors::lightPink);
            EXPECT_TRUE(s.cell(c, 1).fgSet && s.cell(c, 1).bgSet);
        }
        for (int r = 2; r <= row.rows; ++r)
            for (int c = 1; c <= 7; ++c) {
                EXPECT_EQ(s.cell(c, r).hAlign, HAlign::Center);
                EXPECT_EQ(s.cell(c, r).vAlign, VAlign::Center);
                EXPECT_FALSE(s.cell(c, r).fgSet || s.cell(c, r).bgSet);
                if (c > 1) {
                    EXPECT_EQ(s.text(c, r), "");
                }
            }
    }
}

TEST(PredictionSheets, Borders)
{
    const Sheet cycle = predictionSheet(CycleGrid);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_TRUE(lineRightOf(cycle, 1, r)) << "row " << r;
        for (int c = 2; c < 7; ++c)
            EXPECT_FALSE(lineRightOf(cycle, c, r)) << "cycle " << c << "," << r;
    }
    for (int r = 1; r < 5; ++r)
        for (int c = 1; c <= 7; ++c)
            EXPECT_TRUE(lineBelow(cycle, c, r)) << "cycle " << c << "," << r;

    for (PredictionGrid g : {EliminationGrid, ConsecutiveGrid, OneShotGrid}) {
        const Sheet s = predictionSheet(g);
        SCOPED_TRACE(s.name());
        const int rows = s.rows();
        // The heading row is one box over the number columns.
        EXPECT_TRUE(lineRightOf(s, 1, 1));
        for (int c = 2; c < 7; ++c)
            EXPECT_FALSE(lineRightOf(s, c, 1)) << "heading column " << c;
        // Number cells have all four sides.
        for (int r = 2; r <= rows; ++r)
            for (int c = 2; c <= 7; ++c)
                for (Cell::Side side :
                    {Cell::SideLeft, Cell::SideTop, Cell::SideRight, Cell::SideBottom})
                    EXPECT_TRUE(hasSide(s, c, r, side)) << c << "," << r << " side " << side;
        // The label stands in one tall box.
        const bool tallLabel = g != OneShotGrid;
        for (int r = 2; r < rows; ++r)
            EXPECT_EQ(lineBelow(s, 1, r), !tallLabel) << "label row " << r;
        EXPECT_TRUE(lineBelow(s, 1, 1));
        EXPECT_TRUE(hasSide(s, 1, rows, Cell::SideBottom));
    }
}

TEST(PredictionSheets, NumbersGoRowByRowFromColumnTwo)
{
    Prediction p;
    for (int position = 1; position <= 7; ++position)
        p.cycles.offerToMethod(position, 2, 30 + position);
    for (int n = 1; n <= 18; ++n)
        p.elimination.push_back(n);
    p.consecutive = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
    p.oneShot = {11, 12, 13, 14, 15, 16};
    const auto sheets = buildPredictionSheets(p);

    const Sheet &cycle = sheets[CycleGrid];
    for (int c = 2; c <= 7; ++c) {
        EXPECT_EQ(cycle.text(c, 4), std::to_string(29 + c)) << "11-draw row, column " << c;
        EXPECT_EQ(cycle.text(c, 2), "");
    }
    EXPECT_EQ(sheets[EliminationGrid].text(2, 2), "1");
    EXPECT_EQ(sheets[EliminationGrid].text(7, 2), "6");
    EXPECT_EQ(sheets[EliminationGrid].text(2, 3), "7");
    EXPECT_EQ(sheets[EliminationGrid].text(7, 4), "18");
    EXPECT_EQ(sheets[ConsecutiveGrid].text(7, 2), "16");
    EXPECT_EQ(sheets[ConsecutiveGrid].text(2, 3), "17");
    EXPECT_EQ(sheets[ConsecutiveGrid].text(7, 3), "22");
    EXPECT_EQ(sheets[OneShotGrid].text(2, 2), "11");
    EXPECT_EQ(sheets[OneShotGrid].text(7, 2), "16");
}

} // namespace
