#pragma once

#include "shell/childkind.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace loto6 {

// Arranges the child windows of an MDI area: the two tilings, cascading and the icon line-up
// leave QMdiArea's own aside. Cascading gives each window the size it had before a tiling.
class WindowArranger : public QObject
{
    Q_OBJECT

public:
    explicit WindowArranger(QMdiArea &area);

    // The first-start size of the main window: a client area that holds the largest child
    // kind, within the available screen area; nothing when even that is too small (the window
    // is then maximised).
    static std::optional<QSize> firstStartSize(
        const std::vector<ChildKind> &kinds, QSize available, QSize frameExtra);

    void tileOneAboveTheOther();
    void tileSideBySide();
    void cascade();
    void arrangeIcons();
    // Cuts a child to the area and moves it inside: no child is ever partly outside.
    void fitIntoArea(QMdiSubWindow *window) const;

    // Where an open window stands, to be put back on the next start.
    struct Placement
    {
        QString className;
        QRect geometry;
        bool maximized = false;
        bool minimized = false;
        bool active = false;
        // The window's tabs and scroll positions (ChildWindow::viewState).
        QString view;
    };
    // The window class of a child, kept on its frame by whoever opens it.
    static constexpr const char *ClassNameProperty = "childClassName";
    // The open windows with a class name, in the order they were opened.
    std::vector<Placement> placements() const;
    // Puts a window back where it stood (inside the area), with its tabs and scroll positions.
    void place(QMdiSubWindow *window, const Placement &placement) const;
    // The text kept in the layout settings for the placements, and back.
    static QString encode(const std::vector<Placement> &placements);
    static std::vector<Placement> decode(const QString &text);

private:
    void tile(Qt::Orientation orientation);
    // Lines up minimised children along the bottom; returns the top of that strip.
    int lineUpIcons();

    QMdiArea &m_area;
};

} // namespace loto6
