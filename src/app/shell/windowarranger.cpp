#include "shell/windowarranger.h"

#include "shell/childwindow.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <QStyle>

#include <algorithm>

namespace loto6 {

namespace {

// The size a child had before it was tiled, which cascading gives back.
constexpr const char *UntiledSize = "untiledSize";

} // namespace

WindowArranger::WindowArranger(QMdiArea &area)
    : QObject(&area)
    , m_area(area)
{
}

std::optional<QSize> WindowArranger::firstStartSize(
    const std::vector<ChildKind> &kinds, QSize available, QSize frameExtra)
{
    // The designed client area is smaller than the largest children; grow it to hold them all.
    int width = MainFrm::ClientWidthTwips;
    int height = MainFrm::ClientHeightTwips;
    for (const ChildKind &kind : kinds) {
        width = std::max(width, kind.sizeTwips.width());
        height = std::max(height, kind.sizeTwips.height());
    }
    // Two pixels beside and under the largest child keep the MDI area's scroll bars away.
    const QSize wanted = twipsToPixels(width, height) + QSize(2, 2) + frameExtra;
    if (wanted.width() > available.width() || wanted.height() > available.height())
        return std::nullopt;
    return wanted;
}

void WindowArranger::fitIntoArea(QMdiSubWindow *window) const
{
    if (!window || window->isMaximized() || window->isMinimized())
        return;
    const QSize area = m_area.viewport()->size();
    QRect r = window->geometry();
    const int designedHeight = r.height();
    r.setSize(r.size().boundedTo(area));
    // A window made shorter than its design scrolls: it gets the scroll bar's width on top, so
    // that the bar hides nothing and no sideways scrolling is needed.
    if (r.height() < designedHeight)
        r.setWidth(std::min(
            area.width(), r.width() + window->style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
    if (r.right() >= area.width())
        r.moveRight(area.width() - 1);
    if (r.bottom() >= area.height())
        r.moveBottom(area.height() - 1);
    r.moveTopLeft(QPoint(std::max(r.left(), 0), std::max(r.top(), 0)));
    window->setGeometry(r);
}

int WindowArranger::lineUpIcons()
{
    const QRect area = m_area.viewport()->rect();
    int x = 0;
    int bottom = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden() || !window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return bottom - rowHeight;
}

void WindowArranger::arrangeIcons() { lineUpIcons(); }

void WindowArranger::tile(Qt::Orientation orientation)
{
    const int top = lineUpIcons();
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden() && !window->isMinimized())
            windows.append(window);
    if (windows.isEmpty())
        return;

    const QRect area(0, 0, m_area.viewport()->width(), std::max(top, 1));
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        if (!window->property(UntiledSize).isValid())
            window->setProperty(UntiledSize, window->size());
        if (orientation == Qt::Vertical) {
            const int y1 = area.height() * i / n;
            const int y2 = area.height() * (i + 1) / n;
            window->setGeometry(0, y1, area.width(), y2 - y1);
        } else {
            const int x1 = area.width() * i / n;
            const int x2 = area.width() * (i + 1) / n;
            window->setGeometry(x1, 0, x2 - x1, area.height());
        }
    }
}

void WindowArranger::tileOneAboveTheOther() { tile(Qt::Vertical); }

void WindowArranger::tileSideBySide() { tile(Qt::Horizontal); }

void WindowArranger::cascade()
{
    // Each window keeps its own size (the one before a tiling), cut to what is left of the
    // area below and right of it.
    const QSize area = m_area.viewport()->size();
    const int step = m_area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &m_area) + 4;
    int offset = 0;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::StackingOrder)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        if (offset + step * 4 > area.width() || offset + step * 4 > area.height())
            offset = 0;
        QSize own = window->size();
        if (const QVariant untiled = window->property(UntiledSize); untiled.isValid()) {
            own = untiled.toSize();
            window->setProperty(UntiledSize, QVariant());
        }
        const QSize size = own.boundedTo(area - QSize(offset, offset));
        window->setGeometry(QRect(QPoint(offset, offset), size));
        window->raise();
        offset += step;
    }
}

std::vector<WindowArranger::Placement> WindowArranger::placements() const
{
    std::vector<Placement> out;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::CreationOrder)) {
        const QString className = window->property(ClassNameProperty).toString();
        if (window->isHidden() || className.isEmpty())
            continue;
        Placement p;
        p.className = className;
        // A minimised or maximised window keeps no normal place of its own here: it comes
        // back at its designed place.
        if (!window->isMaximized() && !window->isMinimized())
            p.geometry = window->geometry();
        p.maximized = window->isMaximized();
        p.minimized = window->isMinimized();
        p.active = window == m_area.currentSubWindow();
        if (const auto *child = qobject_cast<ChildWindow *>(window->widget()))
            p.view = child->viewState();
        out.push_back(p);
    }
    return out;
}

void WindowArranger::place(QMdiSubWindow *window, const Placement &placement) const
{
    if (!window)
        return;
    if (placement.geometry.isValid())
        window->setGeometry(placement.geometry);
    fitIntoArea(window);
    if (placement.maximized)
        window->showMaximized();
    else if (placement.minimized)
        window->showMinimized();
    if (auto *child = qobject_cast<ChildWindow *>(window->widget()))
        child->restoreViewState(placement.view);
}

// One line per window: class name, then x, y, width, height, the flags M (maximised),
// I (minimised) and A (active) and the view state, separated by tabs. A line of an earlier
// version has no view state.
QString WindowArranger::encode(const std::vector<Placement> &placements)
{
    QStringList lines;
    for (const Placement &p : placements) {
        QString flags;
        if (p.maximized)
            flags += QLatin1Char('M');
        if (p.minimized)
            flags += QLatin1Char('I');
        if (p.active)
            flags += QLatin1Char('A');
        lines << QStringList{p.className, QString::number(p.geometry.x()),
            QString::number(p.geometry.y()), QString::number(p.geometry.width()),
            QString::number(p.geometry.height()), flags, p.view}
                     .join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<WindowArranger::Placement> WindowArranger::decode(const QString &text)
{
    std::vector<Placement> out;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if ((f.size() != 6 && f.size() != 7) || f[0].isEmpty())
            continue;
        int values[4];
        bool ok = true;
        for (int i = 0; i < 4 && ok; ++i)
            values[i] = f[i + 1].toInt(&ok);
        if (!ok)
            continue;
        out.push_back({f[0], QRect(values[0], values[1], values[2], values[3]),
            f[5].contains(QLatin1Char('M')), f[5].contains(QLatin1Char('I')),
            f[5].contains(QLatin1Char('A')), f.value(6)});
    }
    return out;
}

} // namespace loto6
