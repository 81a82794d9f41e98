#include "childwindow.h"

#include "mainfrm.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>

namespace loto6 {

ChildWindow::ChildWindow(MainFrm &frame, QWidget *parent)
    : QWidget(parent)
    , m_frame(frame)
{
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
    m_loaded = true;
    QApplication::restoreOverrideCursor();
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
