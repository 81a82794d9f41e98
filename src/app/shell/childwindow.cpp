#include "shell/childwindow.h"

#include "shell/busycursor.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QScrollBar>

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

void ChildWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && m_loaded && !m_unloaded) {
        m_unloaded = true;
        m_frame.setPropEnd(true);
    }
}

} // namespace loto6
