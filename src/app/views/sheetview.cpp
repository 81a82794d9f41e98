#include "views/sheetview.h"

#include "grid/sheetsearch.h"

#include "shell/appfonts.h"
#include "views/sheetclipboard.h"
#include "views/sheetdelegate.h"
#include "views/sheetexporter.h"
#include "views/sheetfinder.h"
#include "views/sheetmodel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

namespace loto6 {

namespace {
// The grid keeps this much space per character beside the digit itself; with it the designed
// window widths hold the columns they were made for.
constexpr double CharacterSpacing = 1.5;

// The frozen rows or columns are left to scroll with the rest when they would take more than
// this share of the viewport, so that a small window still shows the table's body.
constexpr double MaxFrozenShare = 0.5;

void hideHeaders(QTableView *view)
{
    for (QHeaderView *header : {view->horizontalHeader(), view->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setHighlightSections(false);
    }
}

// Edge of the first `count` sections in unscrolled pixels.
int frozenExtent(const QHeaderView *header, int count)
{
    count = std::min(count, header->count());
    return count > 0 ? header->sectionPosition(count - 1) + header->sectionSize(count - 1) : 0;
}

} // namespace

SheetView::SheetView(QWidget *parent)
    : QTableView(parent)
    , m_exporter(new SheetExporter(this))
    , m_finder(new SheetFinder(this))
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
    // Sideways only when the table is wider than the window; up and down always, so that the
    // width the table has does not change with its length.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // By pixels, so that the body's first row lines up under frozen rows of any height.
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    hideHeaders(this);

    m_topPane = createPane();
    m_leftPane = createPane();
    m_cornerPane = createPane();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &SheetView::followScrolling);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &SheetView::followScrolling);
    for (QTableView *pane : {m_topPane, m_leftPane})
        for (QScrollBar *bar : {pane->horizontalScrollBar(), pane->verticalScrollBar()})
            connect(bar, &QScrollBar::rangeChanged, this, &SheetView::followScrolling);
    // Rows or columns a window hides or resizes on the grid after filling it do the same on the
    // panes, which would otherwise show other rows than the grid beside them.
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
        [this](int section) { mirrorSection(Qt::Vertical, section); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
        [this](int section) { mirrorSection(Qt::Horizontal, section); });
}

void SheetView::mirrorSection(Qt::Orientation orientation, int section)
{
    auto headerOf = [orientation](const QTableView *view) {
        return orientation == Qt::Vertical ? view->verticalHeader() : view->horizontalHeader();
    };
    const QHeaderView *mine = headerOf(this);
    const bool hidden = mine->isSectionHidden(section);
    for (QTableView *pane : {m_topPane, m_leftPane, m_cornerPane}) {
        QHeaderView *header = headerOf(pane);
        if (pane->model() != m_model || section >= header->count())
            continue;
        header->setSectionHidden(section, hidden);
        if (!hidden)
            header->resizeSection(section, mine->sectionSize(section));
    }
}

QTableView *SheetView::createPane()
{
    // A child of the grid, not of its viewport: the viewport's children move when it scrolls.
    auto *pane = new QTableView(this);
    pane->setFont(font());
    pane->setItemDelegate(new SheetDelegate(pane));
    pane->setEditTriggers(NoEditTriggers);
    pane->setSelectionMode(ExtendedSelection);
    pane->setFocusPolicy(Qt::NoFocus);
    pane->setFrameShape(QFrame::NoFrame);
    pane->setShowGrid(false);
    pane->setWordWrap(false);
    pane->setAutoScroll(false); // it follows the grid only
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollMode(ScrollPerPixel);
    pane->setHorizontalScrollMode(ScrollPerPixel);
    hideHeaders(pane);
    // Clicks, drags and the wheel go through to the grid's viewport beneath.
    pane->setAttribute(Qt::WA_TransparentForMouseEvents);
    pane->hide();
    return pane;
}

int SheetView::columnPixels(double units) const { return columnPixels(units, font()); }

int SheetView::rowPixels(double points) const { return rowPixels(points, logicalDpiY()); }

int SheetView::columnPixels(double units, const QFont &font)
{
    const double digit = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    return static_cast<int>(std::lround(units * (digit + CharacterSpacing)));
}

int SheetView::rowPixels(double points, double dpi)
{
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

void SheetView::setSheet(Sheet sheet)
{
    SheetModel *old = m_model;
    m_model = new SheetModel(std::move(sheet), this);
    showSheetOn(this);
    showOnPanes();
    delete old;
    m_finder->updateActions();
    fitColumnsToText();
    fillWithLastColumn();
}

void SheetView::setColumnsFitText(bool fit)
{
    m_columnsFitText = fit;
    fitColumnsToText();
}

void SheetView::fitColumnsToText()
{
    if (!m_columnsFitText || !m_model)
        return;
    const Sheet &s = m_model->sheet();
    const QFontMetrics metrics(font());
    const int padding = 2 * metrics.averageCharWidth();
    for (int c = 1; c <= s.columns(); ++c) {
        int widest = 0;
        for (int r = 1; r <= s.rows(); ++r)
            widest = std::max(widest,
                metrics.horizontalAdvance(QString::fromUtf8(
                    s.text(c, r).data(), static_cast<qsizetype>(s.text(c, r).size()))));
        if (widest + padding > horizontalHeader()->sectionSize(c - 1))
            horizontalHeader()->resizeSection(c - 1, widest + padding);
    }
}

QSize SheetView::missingSize() const
{
    const int frame = 2 * frameWidth();
    const int wide = horizontalHeader()->length() + frame
        + (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0);
    const int tall = verticalHeader()->length() + frame
        + (horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0);
    return QSize(std::max(0, wide - width()), std::max(0, tall - height()));
}

void SheetView::setLastColumnFills(bool fills)
{
    m_lastColumnFills = fills;
    fillWithLastColumn();
}

void SheetView::fillWithLastColumn()
{
    if (!m_lastColumnFills || !m_model || m_model->sheet().columns() == 0)
        return;
    const Sheet &s = m_model->sheet();
    const int last = s.columns() - 1;
    const int designed = columnPixels(s.colWidth(s.columns()));
    const int room = viewport()->width() - horizontalHeader()->sectionPosition(last);
    horizontalHeader()->resizeSection(last, std::max(designed, room));
}

void SheetView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fillWithLastColumn();
    // Until the table is first seen, the window's last sizing keeps the newest draw in sight.
    if (m_followNewestDraw && !m_painted)
        showNewestDraw();
}

void SheetView::showSheetOn(QTableView *view) const
{
    // Index 0 is outside the sheet and reports the sizes set for every row or column; only the
    // exceptions get a section size of their own, which keeps big sheets fast.
    const Sheet &s = m_model->sheet();
    const double defaultWidth = s.colWidth(0);
    const double defaultHeight = s.rowHeight(0);
    view->horizontalHeader()->setDefaultSectionSize(columnPixels(defaultWidth));
    view->verticalHeader()->setDefaultSectionSize(rowPixels(defaultHeight));
    view->setModel(m_model);
    for (int c = 1; c <= s.columns(); ++c)
        if (s.colWidth(c) != defaultWidth)
            view->horizontalHeader()->resizeSection(c - 1, columnPixels(s.colWidth(c)));
    for (int r = 1; r <= s.rows(); ++r)
        if (s.rowHeight(r) != defaultHeight)
            view->verticalHeader()->resizeSection(r - 1, rowPixels(s.rowHeight(r)));
}

void SheetView::showOnPanes()
{
    const Sheet &s = m_model->sheet();
    const bool frozen = s.frozenRows() > 0 || s.frozenColumns() > 0;
    for (QTableView *pane : {m_topPane, m_leftPane, m_cornerPane}) {
        if (!frozen) {
            pane->setModel(nullptr);
            continue;
        }
        showSheetOn(pane);
        // One selection for the grid and its panes.
        QItemSelectionModel *own = pane->selectionModel();
        pane->setSelectionModel(selectionModel());
        delete own;
    }
    layoutPanes();
}

void SheetView::updateGeometries()
{
    QTableView::updateGeometries();
    layoutPanes();
}

void SheetView::layoutPanes()
{
    if (!m_cornerPane)
        return; // still being built
    const Sheet *s = m_model ? &m_model->sheet() : nullptr;
    const QRect area = viewport()->geometry();
    const int height = s ? frozenExtent(verticalHeader(), s->frozenRows()) : 0;
    const int width = s ? frozenExtent(horizontalHeader(), s->frozenColumns()) : 0;
    m_frozenHeight = height <= area.height() * MaxFrozenShare ? height : 0;
    m_frozenWidth = width <= area.width() * MaxFrozenShare ? width : 0;

    auto place = [](QTableView *pane, bool shown, const QRect &rect) {
        pane->setVisible(shown);
        if (shown)
            pane->setGeometry(rect);
    };
    const QPoint origin = area.topLeft();
    place(m_topPane, m_frozenHeight > 0, QRect(origin, QSize(area.width(), m_frozenHeight)));
    place(m_leftPane, m_frozenWidth > 0, QRect(origin, QSize(m_frozenWidth, area.height())));
    place(m_cornerPane, m_frozenHeight > 0 && m_frozenWidth > 0,
        QRect(origin, QSize(m_frozenWidth, m_frozenHeight)));
    followScrolling();
}

void SheetView::followScrolling()
{
    m_topPane->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_leftPane->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

QRect SheetView::onScreenRect(const QModelIndex &index) const
{
    QRect rect = visualRect(index);
    if (!index.isValid())
        return rect;
    if (m_frozenHeight > 0 && index.row() < m_model->sheet().frozenRows())
        rect.translate(0, verticalOffset());
    if (m_frozenWidth > 0 && index.column() < m_model->sheet().frozenColumns())
        rect.translate(horizontalOffset(), 0);
    return rect;
}

void SheetView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    const int x = horizontalScrollBar()->value();
    const int y = verticalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || !m_model)
        return;
    // Frozen cells are always in sight; other cells are brought out from under the panes.
    const Sheet &s = m_model->sheet();
    if (m_frozenHeight > 0) {
        const int top = rowViewportPosition(index.row());
        if (index.row() < s.frozenRows())
            verticalScrollBar()->setValue(y);
        else if (top < m_frozenHeight)
            verticalScrollBar()->setValue(verticalScrollBar()->value() - (m_frozenHeight - top));
    }
    if (m_frozenWidth > 0) {
        const int left = columnViewportPosition(index.column());
        if (index.column() < s.frozenColumns())
            horizontalScrollBar()->setValue(x);
        else if (left < m_frozenWidth)
            horizontalScrollBar()->setValue(
                horizontalScrollBar()->value() - (m_frozenWidth - left));
    }
}

void SheetView::showNewestDraw()
{
    m_followNewestDraw = true;
    const std::optional<SheetCell> cell = m_model ? lastDraw(m_model->sheet()) : std::nullopt;
    if (!cell) {
        scrollToTop();
        return;
    }
    const QModelIndex index = model()->index(cell->row - 1, cell->col - 1);
    setCurrentIndex(index);
    // The rows below the newest draw (totals, notes) come into sight as well.
    doItemsLayout();
    scrollToBottom();
    scrollTo(index);
}

QPoint SheetView::scrolledPosition(QPoint pos) const
{
    if (pos.y() >= 0 && pos.y() < m_frozenHeight)
        pos.ry() -= verticalOffset();
    if (pos.x() >= 0 && pos.x() < m_frozenWidth)
        pos.rx() -= horizontalOffset();
    return pos;
}

void SheetView::forwardMouse(QMouseEvent *event)
{
    QMouseEvent moved(event->type(), QPointF(scrolledPosition(event->position().toPoint())),
        event->scenePosition(), event->globalPosition(), event->button(), event->buttons(),
        event->modifiers(), event->pointingDevice());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        QTableView::mousePressEvent(&moved);
        break;
    case QEvent::MouseMove:
        QTableView::mouseMoveEvent(&moved);
        break;
    case QEvent::MouseButtonRelease:
        QTableView::mouseReleaseEvent(&moved);
        break;
    case QEvent::MouseButtonDblClick:
        QTableView::mouseDoubleClickEvent(&moved);
        break;
    default:
        break;
    }
    event->setAccepted(moved.isAccepted());
}

void SheetView::mousePressEvent(QMouseEvent *event) { forwardMouse(event); }
void SheetView::mouseMoveEvent(QMouseEvent *event) { forwardMouse(event); }
void SheetView::mouseReleaseEvent(QMouseEvent *event) { forwardMouse(event); }
void SheetView::mouseDoubleClickEvent(QMouseEvent *event) { forwardMouse(event); }

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
    // Going to the start of the table or of a row shows the table from there, as the move
    // onto an always visible frozen cell would not scroll by itself.
    using Key = QKeySequence::StandardKey;
    const auto matches = [event](Key a, Key b) { return event->matches(a) || event->matches(b); };
    if (matches(QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument)) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    } else if (matches(QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine)) {
        horizontalScrollBar()->setValue(0);
    }
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
    menu->addSeparator();
    menu->addActions(m_finder->actions());
    const bool hasTable = m_model != nullptr;
    for (QAction *action : menu->actions())
        action->setEnabled(hasTable);
    copy->setEnabled(hasTable && !selectedBlock().isEmpty());
    m_finder->updateActions();
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
