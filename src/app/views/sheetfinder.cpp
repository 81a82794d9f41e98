#include "views/sheetfinder.h"

#include "grid/sheetsearch.h"
#include "shell/dialogs.h"
#include "store/drawrecord.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"

#include <QAction>
#include <QMainWindow>
#include <QStatusBar>

#include <climits>

namespace loto6 {

SheetFinder::SheetFinder(SheetView *view)
    : QObject(view)
    , m_view(view)
    , m_goToDraw(addGoToDrawCommand(view))
    , m_findNumber(new QAction(tr("数字を検索..."), view))
{
    m_findNumber->setObjectName(QStringLiteral("actFindNumber"));
    m_findNumber->setShortcut(QKeySequence::Find);
    m_findNumber->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(m_findNumber);
    connect(m_goToDraw, &QAction::triggered, this, &SheetFinder::askDraw);
    connect(m_findNumber, &QAction::triggered, this, &SheetFinder::askNumber);
    updateActions();
}

QAction *SheetFinder::addGoToDrawCommand(QAbstractItemView *grid)
{
    auto *action = new QAction(tr("第N回へ移動..."), grid);
    action->setObjectName(QStringLiteral("actGoToDraw"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    action->setShortcutContext(Qt::WidgetShortcut);
    grid->addAction(action);
    return action;
}

std::optional<int> SheetFinder::askDrawNumber(QWidget *parent)
{
    return dialogsOf(parent).askNumber(
        parent, tr("第N回へ移動"), tr("移動する回数:"), 1, 1, MaxDrawNumber);
}

void SheetFinder::updateActions()
{
    const SheetModel *model = m_view->sheetModel();
    m_goToDraw->setEnabled(model && drawColumn(model->sheet()) > 0);
    m_findNumber->setEnabled(model != nullptr);
}

void SheetFinder::tell(QAbstractItemView *grid, const QString &text)
{
    if (auto *main = qobject_cast<QMainWindow *>(grid->window()))
        main->statusBar()->showMessage(text);
}

void SheetFinder::tell(const QString &text)
{
    tell(m_view, text);
    emit told(text);
}

static void moveTo(QAbstractItemView *view, const QModelIndex &index)
{
    view->setCurrentIndex(index);
    view->scrollTo(index, QAbstractItemView::PositionAtCenter);
    view->setFocus();
}

static void moveTo(SheetView *view, SheetCell cell)
{
    moveTo(view, view->model()->index(cell.row - 1, cell.col - 1));
}

QString SheetFinder::moveToDraw(QAbstractItemView *grid, const QModelIndex &cell, int drawNo)
{
    QString text = tr("第%1回はこの表にありません。").arg(drawNo);
    if (cell.isValid()) {
        moveTo(grid, cell);
        text = tr("第%1回へ移動しました。").arg(drawNo);
    }
    tell(grid, text);
    return text;
}

bool SheetFinder::goToDraw(int drawNo)
{
    const SheetModel *model = m_view->sheetModel();
    const std::optional<SheetCell> cell = model ? findDraw(model->sheet(), drawNo) : std::nullopt;
    const QModelIndex index
        = cell ? m_view->model()->index(cell->row - 1, cell->col - 1) : QModelIndex();
    emit told(moveToDraw(m_view, index, drawNo));
    return index.isValid();
}

bool SheetFinder::findNumber(long long number)
{
    const SheetModel *model = m_view->sheetModel();
    const QModelIndex current = m_view->currentIndex();
    const SheetCell from
        = current.isValid() ? SheetCell{current.column() + 1, current.row() + 1} : SheetCell{};
    const std::optional<SheetCell> cell
        = model ? loto6::findNumber(model->sheet(), from, number) : std::nullopt;
    if (!cell) {
        tell(tr("%1 はこの表にありません。").arg(number));
        return false;
    }
    moveTo(m_view, *cell);
    tell(tr("%1 が見つかりました（%2）。もう一度 Ctrl+F で次を探します。")
             .arg(number)
             .arg(QString::fromStdString(cellPlace(model->sheet(), *cell))));
    return true;
}

void SheetFinder::askDraw()
{
    const SheetModel *model = m_view->sheetModel();
    if (!model || drawColumn(model->sheet()) == 0)
        return;
    if (const std::optional<int> n = askDrawNumber(m_view))
        goToDraw(*n);
}

void SheetFinder::askNumber()
{
    if (!m_view->sheetModel())
        return;
    if (const std::optional<int> n = dialogsOf(m_view).askNumber(
            m_view, tr("数字を検索"), tr("探す数字:"), m_lastNumber, 0, INT_MAX)) {
        m_lastNumber = *n;
        findNumber(*n);
    }
}

} // namespace loto6
