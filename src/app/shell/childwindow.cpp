#include "shell/childwindow.h"

#include "shell/busycursor.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "views/sheetview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStringList>
#include <QTabWidget>

#include <algorithm>

namespace loto6 {

ChildWindow::ChildWindow(MainFrm &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
}

QSize ChildWindow::sizeTwips() const
{
    const ChildKind *kind = m_frame.kindOf(objectName());
    return kind ? kind->sizeTwips : UsualSizeTwips;
}

void ChildWindow::load()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_frame.setPropEnd(false);

    // The designed size is the outer size, frame and caption included.
    QWidget *window = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!window)
        window = this;
    const QSize size = sizeTwips();
    window->setGeometry(QRect(QPoint(0, 0), twipsToPixels(size.width(), size.height())));

    compute();
    // Never smaller than the layout needs to show every control: a design drawn for another
    // font would otherwise squeeze them.
    window->resize(window->size().expandedTo(window->minimumSizeHint()));
    m_loaded = true;
    QApplication::restoreOverrideCursor();
}

void ChildWindow::refresh()
{
    BusyCursor busy;
    struct Place
    {
        QAbstractScrollArea *area;
        int x;
        int y;
    };
    QList<Place> places;
    for (QAbstractScrollArea *area : findChildren<QAbstractScrollArea *>())
        places.append(
            {area, area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()});
    compute();
    for (const Place &place : places) {
        // The scroll ranges follow the new contents only after a layout pass.
        if (auto *view = qobject_cast<QAbstractItemView *>(place.area))
            view->doItemsLayout();
        place.area->horizontalScrollBar()->setValue(place.x);
        place.area->verticalScrollBar()->setValue(place.y);
    }
    emit refreshed();
}

// The state is the tab sets' indexes, then '|', then each scrolling part's "x/y", both in the
// order of findChildren, which is the order the window's constructor made them in.
QString ChildWindow::viewState() const
{
    QStringList tabs;
    for (const QTabWidget *set : findChildren<QTabWidget *>())
        tabs << QString::number(set->currentIndex());
    QStringList scrolls;
    for (const QAbstractScrollArea *area : findChildren<QAbstractScrollArea *>())
        scrolls << QStringLiteral("%1/%2")
                       .arg(area->horizontalScrollBar()->value())
                       .arg(area->verticalScrollBar()->value());
    return tabs.join(u',') + u'|' + scrolls.join(u',');
}

void ChildWindow::restoreViewState(const QString &state)
{
    const QStringList parts = state.split(u'|');
    if (parts.size() != 2)
        return;
    const QList<QTabWidget *> sets = findChildren<QTabWidget *>();
    const QStringList tabs = parts[0].split(u',', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min(sets.size(), tabs.size()); ++i) {
        bool ok = false;
        const int index = tabs[i].toInt(&ok);
        if (ok && index >= 0 && index < sets[i]->count())
            sets[i]->setCurrentIndex(index);
    }
    // What the user left in sight wins over opening at the newest draw.
    for (SheetView *grid : findChildren<SheetView *>())
        grid->stopFollowingNewestDraw();
    const QList<QAbstractScrollArea *> areas = findChildren<QAbstractScrollArea *>();
    const QStringList scrolls = parts[1].split(u',', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min(areas.size(), scrolls.size()); ++i) {
        const QStringList xy = scrolls[i].split(u'/');
        bool okX = false;
        bool okY = false;
        const int x = xy.value(0).toInt(&okX);
        const int y = xy.value(1).toInt(&okY);
        if (!okX || !okY)
            continue;
        // The scroll ranges follow the window's size only after a layout pass.
        if (auto *view = qobject_cast<QAbstractItemView *>(areas[i]))
            view->doItemsLayout();
        areas[i]->horizontalScrollBar()->setValue(x);
        areas[i]->verticalScrollBar()->setValue(y);
    }
}

void ChildWindow::followBook()
{
    m_followsBook = true;
    connect(&m_frame.document(), &HistoryDocument::ticketsChanged, this, [this] {
        if (m_loaded)
            bookChanged();
    });
}

void ChildWindow::unload()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void ChildWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (m_grown || !frame || !frame->mdiArea())
        return;
    m_grown = true;
    // The frame's layout first: it gives this window its size, and this window's layout then
    // places its parts, whose wants are read after that.
    if (frame->layout())
        frame->layout()->activate();
    if (layout())
        layout()->activate();
    const QSize wanted = roomWanted().expandedTo(QSize(0, 0));
    if (wanted.isNull())
        return;
    const QSize area = frame->mdiArea()->viewport()->size();
    const QSize room(area.width() - frame->x(), area.height() - frame->y());
    frame->resize((frame->size() + wanted).boundedTo(room).expandedTo(frame->size()));
}

QSize ChildWindow::wholeWidthFor(const SheetView &grid)
{
    // More than any screen: the growth stops at the client area's edge.
    constexpr int AnyScreen = 1 << 14;
    return {AnyScreen, grid.missingSize().height()};
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && m_loaded && !m_unloaded) {
        m_unloaded = true;
        m_frame.setPropEnd(true);
    }
}

} // namespace loto6
