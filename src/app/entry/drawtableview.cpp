#include "entry/drawtableview.h"

#include "entry/drawtablemodel.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace loto6 {

namespace {

constexpr int FirstNumber = DrawTableModel::FirstNumberColumn;
constexpr int LastColumn = DrawTableModel::ColumnCount - 1;

} // namespace

DrawTableView::DrawTableView(QWidget *parent)
    : QTableView(parent)
{
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
        [this] { m_followCurrent = false; });
}

void DrawTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (m_followCurrent && currentIndex().isValid())
        scrollTo(currentIndex(), PositionAtBottom);
}

void DrawTableView::mousePressEvent(QMouseEvent *event)
{
    m_followCurrent = false;
    QTableView::mousePressEvent(event);
}

void DrawTableView::wheelEvent(QWheelEvent *event)
{
    m_followCurrent = false;
    QTableView::wheelEvent(event);
}

QModelIndex DrawTableView::cellAfterEnter(const QModelIndex &index) const
{
    if (!index.isValid() || !model())
        return index;
    const int column = index.column();
    if (column != DrawTableModel::BonusColumn && column != DrawTableModel::DateColumn)
        return model()->index(index.row(), std::max(column + 1, FirstNumber));
    if (index.row() + 1 >= model()->rowCount())
        return index;
    return model()->index(index.row() + 1, FirstNumber);
}

void DrawTableView::moveAfterEnter()
{
    const QModelIndex current = currentIndex();
    const QModelIndex next = cellAfterEnter(current);
    if (next.isValid() && next != current) {
        setCurrentIndex(next);
        scrollTo(next);
    }
    if (current.isValid()
        && (current.column() == DrawTableModel::BonusColumn
            || current.column() == DrawTableModel::DateColumn))
        emit rowFinished(current.row());
}

QModelIndex DrawTableView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return QTableView::moveCursor(cursorAction, modifiers);
    const int row = current.row();
    const int column = current.column();
    const int rows = model()->rowCount();
    switch (cursorAction) {
    case MoveNext:
        if (column < LastColumn)
            return model()->index(row, std::max(column + 1, FirstNumber));
        return row + 1 < rows ? model()->index(row + 1, FirstNumber) : current;
    case MovePrevious:
        if (column > FirstNumber)
            return model()->index(row, column - 1);
        return row > 0 ? model()->index(row - 1, LastColumn) : current;
    case MoveHome:
        if (!(modifiers & Qt::ControlModifier))
            return model()->index(row, FirstNumber);
        break;
    default:
        break;
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

void DrawTableView::keyPressEvent(QKeyEvent *event)
{
    m_followCurrent = false;
    // Tab at the end keeps the focus in the grid instead of passing it to the next widget.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && state() != EditingState
        && moveCursor(event->key() == Qt::Key_Tab ? MoveNext : MovePrevious, event->modifiers())
            == currentIndex()) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && state() != EditingState) {
        moveAfterEnter();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace loto6
