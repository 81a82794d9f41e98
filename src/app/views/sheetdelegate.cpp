#include "views/sheetdelegate.h"

#include "views/sheetmodel.h"

#include <QPainter>
#include <QTableView>

namespace loto6 {

SheetDelegate::SheetDelegate(QTableView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
    , m_cells(*this)
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

int SheetDelegate::left(int col) const { return m_view->columnViewportPosition(col - 1); }

int SheetDelegate::width(int col) const { return m_view->columnWidth(col - 1); }

void SheetDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const SheetModel *>(index.model());
    if (!model)
        return;
    m_cells.paint(
        painter, option.font, option.rect, model->sheet(), index.column() + 1, index.row() + 1);
    if (option.state & QStyle::State_Selected) {
        // Over the cell's own colours, so that they still show through.
        QColor highlight = option.palette.color(QPalette::Highlight);
        highlight.setAlpha(90);
        painter->fillRect(option.rect, highlight);
    }
}

} // namespace loto6
