#include "sheetview.h"

#include "appfonts.h"
#include "sheetdelegate.h"
#include "sheetexporter.h"
#include "sheetclipboard.h"
#include "sheetmodel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHeaderView>
#include <QMenu>

#include <cmath>

namespace loto6 {

namespace {
// The grid keeps this much space per character beside the digit itself; with it the designed
// window widths hold the columns they were made for.
constexpr double CharacterSpacing = 1.5;
} // namespace

SheetView::SheetView(QWidget *parent)
    : QTableView(parent)
    , m_exporter(new SheetExporter(this))
{
    setFont(gridFont());
    setItemDelegate(new SheetDelegate(this));
    setEditTriggers(NoEditTriggers);
    // Cells can be selected (click, drag, Shift+arrows, Ctrl+A) and copied with Ctrl+C.
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setFocusPolicy(Qt::StrongFocus);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setHighlightSections(false);
    }
}

int SheetView::columnPixels(double units) const
{
    const double digit = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    return static_cast<int>(std::lround(units * (digit + CharacterSpacing)));
}

int SheetView::rowPixels(double points) const
{
    return static_cast<int>(std::lround(points * logicalDpiY() / 72.0));
}

void SheetView::setSheet(Sheet sheet)
{
    SheetModel *old = m_model;
    m_model = new SheetModel(std::move(sheet), this);
    const Sheet &s = m_model->sheet();

    // Index 0 is outside the sheet and reports the sizes set for every row or column; only the
    // exceptions get a section size of their own, which keeps big sheets fast.
    const double defaultWidth = s.colWidth(0);
    const double defaultHeight = s.rowHeight(0);
    horizontalHeader()->setDefaultSectionSize(columnPixels(defaultWidth));
    verticalHeader()->setDefaultSectionSize(rowPixels(defaultHeight));
    setModel(m_model);
    for (int c = 1; c <= s.columns(); ++c)
        if (s.colWidth(c) != defaultWidth)
            horizontalHeader()->resizeSection(c - 1, columnPixels(s.colWidth(c)));
    for (int r = 1; r <= s.rows(); ++r)
        if (s.rowHeight(r) != defaultHeight)
            verticalHeader()->resizeSection(r - 1, rowPixels(s.rowHeight(r)));
    delete old;
}

void SheetView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (!m_painted && m_model) {
        m_painted = true;
        emit firstPainted();
    }
}

QRect SheetView::selectedBlock() const
{
    QRect block;
    if (!selectionModel())
        return block;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        block |= QRect(index.column(), index.row(), 1, 1);
    return block;
}

void SheetView::copySelection()
{
    const QRect block = selectedBlock();
    if (!m_model || block.isEmpty())
        return;
    QGuiApplication::clipboard()->setMimeData(SheetClipboard::mimeData(m_model->sheet(), block));
}

void SheetView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QMenu *SheetView::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("sheetContextMenu"));
    QAction *copy = menu->addAction(tr("コピー(&C)"), this, &SheetView::copySelection);
    copy->setObjectName(QStringLiteral("actCopy"));
    copy->setShortcut(QKeySequence::Copy);
    menu->addSeparator();
    m_exporter->addActionsTo(menu);
    const bool hasTable = m_model != nullptr;
    for (QAction *action : menu->actions())
        action->setEnabled(hasTable);
    copy->setEnabled(hasTable && !selectedBlock().isEmpty());
    return menu;
}

void SheetView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace loto6
