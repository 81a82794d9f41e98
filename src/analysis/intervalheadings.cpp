#include "analysis/intervalheadings.h"

namespace loto6 {

namespace {

using namespace intervalsheet;

constexpr const char *NumberHeadings[7]
    = {"第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字", "ボ数字"};

void writeColumnHeadings(Sheet &s, int row, IntervalKind kind)
{
    const char *valueHeading = kind == IntervalKind::Appearance ? "出現" : "差分";
    s.setText(1, row, "回数");
    for (int k = 1; k <= 7; ++k) {
        s.setText(numberColumn(k), row, NumberHeadings[k - 1]);
        s.setText(numberColumn(k) + 1, row, valueHeading);
    }
}

void writeCaptionBand(Sheet &s, int row, IntervalKind kind)
{
    if (kind == IntervalKind::Appearance) {
        s.setText(7, row, "    当 選 数 字     ");
        s.setText(14, row, "");
        s.selectBlock(2, row, 14, row);
        s.removeBorder();
        s.setBorder(border::Outline);
        s.selectBlock(14, row, 15, row);
        s.removeBorder();
        s.setBorder(border::Outline);
        s.endBlock();
    } else {
        s.setText(7, row, "    本 数 字     ");
        s.setText(14, row, "     ボ数字   　   ");
        s.selectBlock(2, row, 15, row);
        s.removeBorder();
        s.endBlock();
    }
    s.setBorder(14, row, 14, row, border::Left);
    s.setBorder(15, row, 15, row, border::Right);
}

// One heading pair: column headings and caption band, black on pink over columns 2..15.
void writeHeadingPair(Sheet &s, int headingRow, int bandRow, IntervalKind kind)
{
    s.setColors(2, headingRow, Columns, headingRow, colors::black, colors::lightPink);
    s.setColors(2, bandRow, Columns, bandRow, colors::black, colors::lightPink);
    writeCaptionBand(s, bandRow, kind);
    writeColumnHeadings(s, headingRow, kind);
}

} // namespace

Sheet makeIntervalSheet(int latestDrawNo, IntervalKind kind)
{
    const int rows = latestDrawNo + 4;
    Sheet s;
    s.prepare(Columns, rows, Columns, 52, 10, 5);
    s.setFrozen(1, 2); // the top heading pair; the bottom one stays below the draws
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 12);
    s.setAllowOverflow(true);

    // Column colours first; the heading pairs drawn afterwards overwrite the bottom rows.
    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    for (int k = 1; k <= 7; ++k)
        s.setBackColor(numberColumn(k), FirstDataRow, numberColumn(k), rows, colors::lightCyan);
    s.setBorder(1, 1, Columns, rows, border::AllSides);

    // The bottom pair mirrors the top one: headings above the caption band.
    writeHeadingPair(s, 2, 1, kind);
    writeHeadingPair(s, lastDataRow(latestDrawNo) + 1, lastDataRow(latestDrawNo) + 2, kind);
    return s;
}

} // namespace loto6
