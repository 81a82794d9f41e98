#pragma once

#include "grid/sheet.h"

#include <QHash>
#include <QString>

#include <utility>

class QFont;
class QFontMetrics;
class QPainter;
class QRect;

namespace loto6 {

// Where the columns of a sheet stand while it is drawn, in the painter's coordinates (columns
// from 1). A column that is not placed (left off a printed page) is not drawn: texts do not run
// into it or across it.
class SheetColumnPlaces
{
public:
    virtual ~SheetColumnPlaces() = default;
    virtual int left(int col) const = 0;
    virtual int width(int col) const = 0;
    virtual bool placed(int /*col*/) const { return true; }
};

// Paints one cell of a sheet as the result grid shows it: background, text with the overflow of
// long texts into empty neighbours, and the cell's own borders in their colours. Every cell
// paints only inside its own rectangle, so partial repaints stay correct. The screen's grid and
// the printed pages both draw through it.
class SheetCellPainter
{
public:
    static constexpr int TextPadding = 2;
    // How far a cell looks for a neighbour whose text runs into it.
    static constexpr int MaxOverflowCells = 64;

    // padding: the room between a text and the cell's side (the grid's TextPadding, more on
    // paper).
    explicit SheetCellPainter(const SheetColumnPlaces &columns, int padding = TextPadding)
        : m_columns(columns)
        , m_padding(padding)
    {
    }

    void paint(QPainter *painter, const QFont &font, const QRect &rect, const Sheet &sheet, int col,
        int row) const;

    // Horizontal extent [first, last] of a text of the given width in a cell spanning
    // [left, right], as the grid places it: left-aligned texts start after the padding and run
    // right, centred texts spread both ways, right-aligned ones run left.
    static std::pair<int, int> textExtent(
        HAlign align, int left, int right, int textWidth, int padding = TextPadding);
    // Left and right edges of the empty cells around a cell that its text may run into: as far
    // as the nearest text, line between cells or column not placed on each side.
    std::pair<int, int> overflowBounds(const Sheet &sheet, int col, int row) const;

private:
    int textWidth(const QString &text, const QFontMetrics &metrics) const;
    // Draws the part of the text of cell (sourceCol, row) that falls inside target.
    void drawTextPart(QPainter *painter, const QFont &font, const QRect &target, const Sheet &sheet,
        int sourceCol, int row) const;
    void drawBorders(
        QPainter *painter, const QRect &rect, const Sheet &sheet, int col, int row) const;

    const SheetColumnPlaces &m_columns;
    int m_padding;
    // Sheets repeat few distinct texts ("●", small numbers), so widths are kept; a painter
    // draws in one font.
    mutable QHash<QString, int> m_widths;
};

} // namespace loto6
