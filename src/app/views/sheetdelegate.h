#pragma once

#include "views/sheetcellpainter.h"

#include <QStyledItemDelegate>

class QTableView;

namespace loto6 {

// Paints the cells of a SheetModel the way the result grid shows them, through a
// SheetCellPainter that finds the columns where the view has them, and the selection over them.
class SheetDelegate : public QStyledItemDelegate, private SheetColumnPlaces
{
    Q_OBJECT

public:
    static constexpr int TextPadding = SheetCellPainter::TextPadding;
    static constexpr int MaxOverflowCells = SheetCellPainter::MaxOverflowCells;

    explicit SheetDelegate(QTableView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;

    static std::pair<int, int> textExtent(HAlign align, int left, int right, int textWidth)
    {
        return SheetCellPainter::textExtent(align, left, right, textWidth);
    }
    std::pair<int, int> overflowBounds(const Sheet &sheet, int col, int row) const
    {
        return m_cells.overflowBounds(sheet, col, row);
    }

private:
    int left(int col) const override;
    int width(int col) const override;

    QTableView *m_view;
    SheetCellPainter m_cells;
};

} // namespace loto6
