#include "prediction/predictionsheets.h"

#include "store/drawrecord.h"

#include <string>

namespace loto6 {

namespace {

constexpr int Columns = 7;
constexpr int NumberColumns = MainNumberCount;

struct GridInfo
{
    const char *name;
    const char *caption;
    int rows;
};

constexpr GridInfo Grids[PredictionGridCount] = {
    {"cycle", "●周期法による予想", 5},
    {"elimination", "●消去法による予想(この予想数字を組合わせて購入します)", 4},
    {"consecutive", "●連発ズンベル予想(この予想数字を組合わせて購入します)", 3},
    {"one-shot", "●一発ズンベル予想", 2},
};

constexpr const char *CycleLabels[CycleTable::Methods]
    = {" 7回周期法", " 9回周期法", "11回周期法", "12回周期法"};

// 25 spaces before and 26 after, so that it reads as one heading over the number columns.
const std::string NumberHeading = std::string(25, ' ') + "本 数 字" + std::string(26, ' ');

void drawBorders(Sheet &s, PredictionGrid grid)
{
    const int rows = s.rows();
    if (grid == CycleGrid) {
        for (int r = 1; r < rows; ++r)
            s.setBorder(1, r, Columns, r, border::Bottom);
        s.setBorder(1, 1, 1, rows, border::Right);
        return;
    }
    s.setBorder(1, 1, Columns, rows, border::AllSides);
    // The heading spans the number columns as one box.
    s.selectBlock(2, 1, Columns - 1, 1);
    s.removeBorder(border::Right);
    s.selectBlock(3, 1, Columns, 1);
    s.removeBorder(border::Left);
    s.endBlock();
    // The label stands in one tall box beside the number rows.
    if (grid == EliminationGrid || grid == ConsecutiveGrid) {
        s.selectBlock(1, 2, 1, rows - 1);
        s.removeBorder(border::Bottom);
        s.selectBlock(1, 3, 1, rows);
        s.removeBorder(border::Top);
        s.endBlock();
    }
}

void writeLabels(Sheet &s, PredictionGrid grid)
{
    switch (grid) {
    case CycleGrid:
        for (int k = 0; k < CycleTable::Methods; ++k)
            s.setText(1, k + 2, CycleLabels[k]);
        break;
    case EliminationGrid:
        s.setText(1, 3, "消去法");
        break;
    case ConsecutiveGrid:
        s.setText(1, 2, "連発予想");
        break;
    case OneShotGrid:
        s.setText(1, 2, "１発予想");
        break;
    }
}

// Numbers go six to a row from column 2, row 2, at most as many as the grid has cells.
void placeNumbers(Sheet &s, const std::vector<int> &numbers)
{
    const int cells = (s.rows() - 1) * NumberColumns;
    for (int t = 0; t < static_cast<int>(numbers.size()) && t < cells; ++t)
        s.setText(
            t % NumberColumns + 2, t / NumberColumns + 2, numbers[static_cast<std::size_t>(t)]);
}

} // namespace

Sheet predictionSheet(PredictionGrid grid)
{
    const GridInfo &info = Grids[grid];
    Sheet s(info.name, info.caption);
    s.prepare(Columns, info.rows, Columns, info.rows, 10, 5);
    s.setColWidth(1, 8);
    drawBorders(s, grid);
    writeLabels(s, grid);

    s.setColors(1, 1, Columns, 1, colors::blue, colors::lightPink);
    s.selectCell(2, 1);
    s.setHAlign(HAlign::Left);
    s.setText(NumberHeading);
    s.setAllowOverflow(true);
    return s;
}

std::array<Sheet, PredictionGridCount> buildPredictionSheets(const Prediction &prediction)
{
    std::array<Sheet, PredictionGridCount> sheets
        = {predictionSheet(CycleGrid), predictionSheet(EliminationGrid),
            predictionSheet(ConsecutiveGrid), predictionSheet(OneShotGrid)};

    // The bonus position takes part in the cycle rule but has no column.
    Sheet &cycle = sheets[CycleGrid];
    for (int k = 0; k < CycleTable::Methods; ++k)
        for (int p = 1; p <= NumberColumns; ++p)
            cycle.setText(p + 1, k + 2, prediction.cycles.text(p, k));

    placeNumbers(sheets[EliminationGrid], prediction.elimination);
    placeNumbers(sheets[ConsecutiveGrid], prediction.consecutive);
    placeNumbers(sheets[OneShotGrid], prediction.oneShot);
    return sheets;
}

} // namespace loto6
