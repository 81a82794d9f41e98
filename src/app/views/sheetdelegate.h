#pragma once

#include "grid/sheet.h"

#include <QHash>
#include <QStyledItemDelegate>

class QTableView;

namespace loto6 {

// Paints the cells of a SheetModel the way the result grid shows them: background, text with
// the overflow of long texts into empty neighbours, and each cell's own borders in their colours.
// Every cell paints only inside its own rectangle, so partial repaints stay correct.
class SheetDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int TextPadding = 2;
    // How far a cell looks for a neighbour whose text runs into it.
    static constexpr int MaxOverflowCells = 64;

    explicit SheetDelegate(QTableView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;

    // Horizontal extent [first, last] of a text of the given width in a cell spanning
    // [left, right], as the grid places it: left-aligned texts start after the padding and run
    // right, centred texts spread both ways, right-aligned ones run left.
    static std::pair<int, int> textExtent(HAlign align, int left, int right, int textWidth);
    // Left and right pixel edges of the empty cells around a cell that its text may run into:
    // as far as the nearest text or line between cells on each side.
    std::pair<int, int> overflowBounds(const Sheet &sheet, int col, int row) const;

private:
    int textWidth(const QString &text, const QFontMetrics &metrics) const;
    // Draws the part of the text of cell (sourceCol, row) that falls inside target.
    void drawTextPart(QPainter *painter, const QFont &font, const QRect &target, const Sheet &sheet,
        int sourceCol, int row) const;
    void drawBorders(
        QPainter *painter, const QRect &rect, const Sheet &sheet, int col, int row) const;

    QTableView *m_view;
    mutable QHash<QString, int> m_widths;
};

} // namespace loto6
