#include "grid/sheet.h"

#include <algorithm>

namespace loto6 {

Sheet::Sheet(std::string name, std::string caption)
    : m_name(std::move(name))
    , m_caption(std::move(caption))
{
}

void Sheet::setSize(int columns, int rows)
{
    if (columns > MaxColumns || rows > MaxRows)
        m_cut = true;
    columns = std::clamp(columns, 0, MaxColumns);
    rows = std::clamp(rows, 0, MaxRows);
    if (columns == m_cols && rows == m_rows)
        return;
    std::vector<Cell> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    const int keepCols = std::min(columns, m_cols);
    const int keepRows = std::min(rows, m_rows);
    for (int r = 1; r <= keepRows; ++r)
        for (int c = 1; c <= keepCols; ++c)
            cells[static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(columns)
                + static_cast<std::size_t>(c - 1)]
                = std::move(at(c, r));
    m_cells = std::move(cells);
    m_cols = columns;
    m_rows = rows;
    m_rowHeights.resize(static_cast<std::size_t>(rows) + 1, 0.0);
    m_colWidths.resize(static_cast<std::size_t>(columns) + 1, 0.0);
}

void Sheet::setVisible(int columns, int rows)
{
    m_visibleCols = std::max(columns, 0);
    m_visibleRows = std::max(rows, 0);
}

void Sheet::prepare(int columns, int rows, int visibleColumns, int visibleRows,
    double rowHeight, double colWidth)
{
    setSize(columns, rows);
    setVisible(visibleColumns, visibleRows);
    setRowHeight(-1, rowHeight);
    setColWidth(-1, colWidth);
    selectCell(-1, -1);
    setHAlign(HAlign::Center);
    setVAlign(VAlign::Center);
}

void Sheet::setRowHeight(int row, double height)
{
    if (row == -1) {
        m_defaultRowHeight = height;
        std::fill(m_rowHeights.begin(), m_rowHeights.end(), 0.0);
    } else if (row >= 1 && row <= m_rows) {
        m_rowHeights[static_cast<std::size_t>(row)] = height;
    }
}

void Sheet::setColWidth(int col, double width)
{
    if (col == -1) {
        m_defaultColWidth = width;
        std::fill(m_colWidths.begin(), m_colWidths.end(), 0.0);
    } else if (col >= 1 && col <= m_cols) {
        m_colWidths[static_cast<std::size_t>(col)] = width;
    }
}

double Sheet::rowHeight(int row) const
{
    if (row >= 1 && row <= m_rows && m_rowHeights[static_cast<std::size_t>(row)] > 0)
        return m_rowHeights[static_cast<std::size_t>(row)];
    return m_defaultRowHeight;
}

double Sheet::colWidth(int col) const
{
    if (col >= 1 && col <= m_cols && m_colWidths[static_cast<std::size_t>(col)] > 0)
        return m_colWidths[static_cast<std::size_t>(col)];
    return m_defaultColWidth;
}

void Sheet::selectCell(int col, int row)
{
    m_col = col;
    m_row = row;
    m_blockMode = false;
}

void Sheet::selectBlock(int col, int row, int col2, int row2)
{
    m_col = col;
    m_row = row;
    m_col2 = col2;
    m_row2 = row2;
    m_blockMode = true;
}

void Sheet::endBlock() { m_blockMode = false; }

Sheet::Range Sheet::selection() const
{
    // -1 stands for every column or row; a block is the rectangle between its two corners.
    auto span = [](int a, int b, bool block, int size) {
        if (a == -1 || (block && b == -1))
            return std::pair{1, size};
        if (!block)
            return std::pair{a, a};
        return std::pair{std::min(a, b), std::max(a, b)};
    };
    auto [c1, c2] = span(m_col, m_col2, m_blockMode, m_cols);
    auto [r1, r2] = span(m_row, m_row2, m_blockMode, m_rows);
    return {std::max(c1, 1), std::max(r1, 1), std::min(c2, m_cols), std::min(r2, m_rows)};
}

template<typename F> void Sheet::forSelection(F &&f)
{
    const Range r = selection();
    if (r.empty())
        return;
    for (int row = r.r1; row <= r.r2; ++row)
        for (int col = r.c1; col <= r.c2; ++col)
            f(at(col, row));
}

void Sheet::setHAlign(HAlign align)
{
    forSelection([align](Cell &c) { c.hAlign = align; });
}

void Sheet::setVAlign(VAlign align)
{
    forSelection([align](Cell &c) { c.vAlign = align; });
}

void Sheet::setForeColor(Rgb color)
{
    forSelection([color](Cell &c) {
        c.fg = color;
        c.fgSet = true;
    });
}

void Sheet::setBackColor(Rgb color)
{
    forSelection([color](Cell &c) {
        c.bg = color;
        c.bgSet = true;
    });
}

void Sheet::setSide(int col, int row, Cell::Side side, BorderStyle style, Rgb color)
{
    if (!contains(col, row))
        return;
    Cell &c = at(col, row);
    c.borderStyle[side] = style;
    c.borderColor[side] = style == BorderStyle::None ? colors::black : color;
}

void Sheet::setBorder(int sides, BorderStyle style, Rgb color)
{
    const Range r = selection();
    if (r.empty())
        return;
    if (sides & border::Outline) {
        for (int col = r.c1; col <= r.c2; ++col) {
            setSide(col, r.r1, Cell::SideTop, style, color);
            setSide(col, r.r2, Cell::SideBottom, style, color);
        }
        for (int row = r.r1; row <= r.r2; ++row) {
            setSide(r.c1, row, Cell::SideLeft, style, color);
            setSide(r.c2, row, Cell::SideRight, style, color);
        }
    }
    forSelection([&](Cell &c) {
        auto apply = [&](int bit, Cell::Side side) {
            if (sides & bit) {
                c.borderStyle[side] = style;
                c.borderColor[side] = style == BorderStyle::None ? colors::black : color;
            }
        };
        apply(border::Left, Cell::SideLeft);
        apply(border::Top, Cell::SideTop);
        apply(border::Right, Cell::SideRight);
        apply(border::Bottom, Cell::SideBottom);
    });
}

void Sheet::removeBorder(int sides) { setBorder(sides, BorderStyle::None); }

void Sheet::setText(std::string_view text)
{
    if (contains(m_col, m_row))
        at(m_col, m_row).text = text;
}

void Sheet::setText(int col, int row, std::string_view text)
{
    if (contains(col, row))
        at(col, row).text = text;
}

void Sheet::setText(int col, int row, long long number)
{
    if (contains(col, row))
        at(col, row).text = std::to_string(number);
}

std::string_view Sheet::text(int col, int row) const
{
    return contains(col, row) ? std::string_view(cell(col, row).text) : std::string_view();
}

void Sheet::setForeColor(int col, int row, int col2, int row2, Rgb color)
{
    selectBlock(col, row, col2, row2);
    setForeColor(color);
    endBlock();
}

void Sheet::setBackColor(int col, int row, int col2, int row2, Rgb color)
{
    selectBlock(col, row, col2, row2);
    setBackColor(color);
    endBlock();
}

void Sheet::setColors(int col, int row, int col2, int row2, Rgb fg, Rgb bg)
{
    selectBlock(col, row, col2, row2);
    setForeColor(fg);
    setBackColor(bg);
    endBlock();
}

void Sheet::setBorder(int col, int row, int col2, int row2, int sides, Rgb color,
    BorderStyle style)
{
    selectBlock(col, row, col2, row2);
    setBorder(sides, style, color);
    endBlock();
}

void Sheet::activateCell(int col, int row)
{
    m_activeCol = col;
    m_activeRow = row;
}

} // namespace loto6
