#include "views/sheetdelegate.h"

#include "views/sheetmodel.h"

#include <QPainter>
#include <QTableView>

namespace loto6 {

SheetDelegate::SheetDelegate(QTableView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{
}

QSize SheetDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    // The view fixes every row height and column width; nothing is measured.
    return {};
}

QWidget *SheetDelegate::createEditor(
    QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const
{
    return nullptr;
}

std::pair<int, int> SheetDelegate::textExtent(HAlign align, int left, int right, int textWidth)
{
    switch (align) {
    case HAlign::Left:
        return {left + TextPadding, left + TextPadding + textWidth - 1};
    case HAlign::Right:
        return {right - TextPadding - textWidth + 1, right - TextPadding};
    case HAlign::Center:
        break;
    }
    const int first = left + (right - left + 1 - textWidth) / 2;
    return {first, first + textWidth - 1};
}

int SheetDelegate::textWidth(const QString &text, const QFontMetrics &metrics) const
{
    // Sheets repeat few distinct texts ("●", small numbers), so widths are cached.
    auto it = m_widths.constFind(text);
    if (it != m_widths.constEnd())
        return *it;
    const int width = metrics.horizontalAdvance(text);
    m_widths.insert(text, width);
    return width;
}

void SheetDelegate::drawTextPart(QPainter *painter, const QFont &font, const QRect &target,
    const Sheet &sheet, int sourceCol, int row) const
{
    const Cell &source = sheet.cell(sourceCol, row);
    const QString text
        = QString::fromUtf8(source.text.data(), static_cast<qsizetype>(source.text.size()));
    const int width = textWidth(text, QFontMetrics(font));
    const int left = m_view->columnViewportPosition(sourceCol - 1);
    const int right = left + m_view->columnWidth(sourceCol - 1) - 1;
    auto [first, last] = textExtent(source.hAlign, left, right, width);
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

std::pair<int, int> SheetDelegate::overflowBounds(const Sheet &sheet, int col, int row) const
{
    // A text runs into empty neighbours but not across a line drawn between cells: a caption
    // over a framed band stays inside its frame.
    int firstCol = col;
    while (firstCol > 1 && col - firstCol < MaxOverflowCells
        && sheet.cell(firstCol - 1, row).text.empty() && !borderAfter(sheet, firstCol - 1, row))
        --firstCol;
    int lastCol = col;
    while (lastCol < sheet.columns() && lastCol - col < MaxOverflowCells
        && sheet.cell(lastCol + 1, row).text.empty() && !borderAfter(sheet, lastCol, row))
        ++lastCol;
    return {m_view->columnViewportPosition(firstCol - 1),
        m_view->columnViewportPosition(lastCol - 1) + m_view->columnWidth(lastCol - 1) - 1};
}

void SheetDelegate::drawBorders(
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

void SheetDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const SheetModel *>(index.model());
    if (!model)
        return;
    const Sheet &sheet = model->sheet();
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    const Cell &cell = sheet.cell(col, row);
    const QRect &rect = option.rect;

    if (cell.bgSet)
        painter->fillRect(rect, SheetModel::toColor(cell.bg));

    if (!cell.text.empty()) {
        drawTextPart(painter, option.font, rect, sheet, col, row);
    } else if (sheet.allowOverflow()) {
        // The nearest text on each side may run into this empty cell.
        const int firstCol = std::max(1, col - MaxOverflowCells);
        for (int c = col - 1; c >= firstCol; --c) {
            const Cell &left = sheet.cell(c, row);
            if (left.text.empty())
                continue;
            if (left.hAlign != HAlign::Right)
                drawTextPart(painter, option.font, rect, sheet, c, row);
            break;
        }
        const int lastCol = std::min(sheet.columns(), col + MaxOverflowCells);
        for (int c = col + 1; c <= lastCol; ++c) {
            const Cell &right = sheet.cell(c, row);
            if (right.text.empty())
                continue;
            if (right.hAlign != HAlign::Left)
                drawTextPart(painter, option.font, rect, sheet, c, row);
            break;
        }
    }

    drawBorders(painter, rect, sheet, col, row);
    if (option.state & QStyle::State_Selected) {
        // Over the cell's own colours, so that they still show through.
        QColor highlight = option.palette.color(QPalette::Highlight);
        highlight.setAlpha(90);
        painter->fillRect(rect, highlight);
    }
}

} // namespace loto6
