#include "views/sheetcellpainter.h"

#include "views/sheetmodel.h"

#include <QPainter>

namespace loto6 {

std::pair<int, int> SheetCellPainter::textExtent(
    HAlign align, int left, int right, int textWidth, int padding)
{
    switch (align) {
    case HAlign::Left:
        return {left + padding, left + padding + textWidth - 1};
    case HAlign::Right:
        return {right - padding - textWidth + 1, right - padding};
    case HAlign::Center:
        break;
    }
    const int first = left + (right - left + 1 - textWidth) / 2;
    return {first, first + textWidth - 1};
}

int SheetCellPainter::textWidth(const QString &text, const QFontMetrics &metrics) const
{
    auto it = m_widths.constFind(text);
    if (it != m_widths.constEnd())
        return *it;
    const int width = metrics.horizontalAdvance(text);
    m_widths.insert(text, width);
    return width;
}

void SheetCellPainter::drawTextPart(QPainter *painter, const QFont &font, const QRect &target,
    const Sheet &sheet, int sourceCol, int row) const
{
    const Cell &source = sheet.cell(sourceCol, row);
    const QString text
        = QString::fromUtf8(source.text.data(), static_cast<qsizetype>(source.text.size()));
    const int width = textWidth(text, QFontMetrics(font));
    const int left = m_columns.left(sourceCol);
    const int right = left + m_columns.width(sourceCol) - 1;
    auto [first, last] = textExtent(source.hAlign, left, right, width, m_padding);
    if (source.hAlign == HAlign::Center && sheet.allowOverflow() && width > right - left + 1) {
        // A centred text that cannot spread to one side runs further into the other, as far
        // as the empty cells on that side allow.
        const auto [leftBound, rightBound] = overflowBounds(sheet, sourceCol, row);
        if (first < leftBound) {
            last += leftBound - first;
            first = leftBound;
        } else if (last > rightBound) {
            const int shift = std::min(last - rightBound, first - leftBound);
            first -= shift;
            last -= shift;
        }
    }
    if (last < target.left() || first > target.right())
        return;

    Qt::Alignment vertical = Qt::AlignVCenter;
    if (source.vAlign == VAlign::Top)
        vertical = Qt::AlignTop;
    else if (source.vAlign == VAlign::Bottom)
        vertical = Qt::AlignBottom;

    painter->save();
    painter->setClipRect(target, Qt::IntersectClip);
    painter->setPen(SheetModel::toColor(source.fg));
    const QRect textRect(first, target.top(), width + 1, target.height());
    painter->drawText(textRect,
        static_cast<int>(Qt::AlignLeft | vertical) | Qt::TextSingleLine | Qt::TextDontClip, text);
    painter->restore();
}

namespace {

// Whether a line is drawn between column col and the one to its right.
bool borderAfter(const Sheet &sheet, int col, int row)
{
    return sheet.cell(col, row).hasBorder(Cell::SideRight)
        || sheet.cell(col + 1, row).hasBorder(Cell::SideLeft);
}

} // namespace

std::pair<int, int> SheetCellPainter::overflowBounds(const Sheet &sheet, int col, int row) const
{
    // A text runs into empty neighbours but not across a line drawn between cells: a caption
    // over a framed band stays inside its frame.
    auto open = [&](int c) { return m_columns.placed(c) && sheet.cell(c, row).text.empty(); };
    int firstCol = col;
    while (firstCol > 1 && col - firstCol < MaxOverflowCells && open(firstCol - 1)
        && !borderAfter(sheet, firstCol - 1, row))
        --firstCol;
    int lastCol = col;
    while (lastCol < sheet.columns() && lastCol - col < MaxOverflowCells && open(lastCol + 1)
        && !borderAfter(sheet, lastCol, row))
        ++lastCol;
    return {m_columns.left(firstCol), m_columns.left(lastCol) + m_columns.width(lastCol) - 1};
}

void SheetCellPainter::drawBorders(
    QPainter *painter, const QRect &rect, const Sheet &sheet, int col, int row) const
{
    // A shared edge is drawn once, by the cell to its left or above: its own side or the
    // neighbour's facing side. Only the first column and row draw their left and top edges.
    const Cell &cell = sheet.cell(col, row);
    auto line = [painter](Rgb color, QPoint from, QPoint to) {
        painter->setPen(QPen(SheetModel::toColor(color), 0));
        painter->drawLine(from, to);
    };

    if (cell.hasBorder(Cell::SideRight))
        line(cell.borderColor[Cell::SideRight], rect.topRight(), rect.bottomRight());
    else if (col < sheet.columns() && sheet.cell(col + 1, row).hasBorder(Cell::SideLeft))
        line(sheet.cell(col + 1, row).borderColor[Cell::SideLeft], rect.topRight(),
            rect.bottomRight());

    if (cell.hasBorder(Cell::SideBottom))
        line(cell.borderColor[Cell::SideBottom], rect.bottomLeft(), rect.bottomRight());
    else if (row < sheet.rows() && sheet.cell(col, row + 1).hasBorder(Cell::SideTop))
        line(sheet.cell(col, row + 1).borderColor[Cell::SideTop], rect.bottomLeft(),
            rect.bottomRight());

    if (col == 1 && cell.hasBorder(Cell::SideLeft))
        line(cell.borderColor[Cell::SideLeft], rect.topLeft(), rect.bottomLeft());
    if (row == 1 && cell.hasBorder(Cell::SideTop))
        line(cell.borderColor[Cell::SideTop], rect.topLeft(), rect.topRight());
}

void SheetCellPainter::paint(QPainter *painter, const QFont &font, const QRect &rect,
    const Sheet &sheet, int col, int row) const
{
    const Cell &cell = sheet.cell(col, row);
    if (cell.bgSet)
        painter->fillRect(rect, SheetModel::toColor(cell.bg));

    if (!cell.text.empty()) {
        drawTextPart(painter, font, rect, sheet, col, row);
    } else if (sheet.allowOverflow()) {
        // The nearest text on each side may run into this empty cell.
        const int firstCol = std::max(1, col - MaxOverflowCells);
        for (int c = col - 1; c >= firstCol && m_columns.placed(c); --c) {
            const Cell &left = sheet.cell(c, row);
            if (left.text.empty())
                continue;
            if (left.hAlign != HAlign::Right)
                drawTextPart(painter, font, rect, sheet, c, row);
            break;
        }
        const int lastCol = std::min(sheet.columns(), col + MaxOverflowCells);
        for (int c = col + 1; c <= lastCol && m_columns.placed(c); ++c) {
            const Cell &right = sheet.cell(c, row);
            if (right.text.empty())
                continue;
            if (right.hAlign != HAlign::Left)
                drawTextPart(painter, font, rect, sheet, c, row);
            break;
        }
    }

    drawBorders(painter, rect, sheet, col, row);
}

} // namespace loto6
