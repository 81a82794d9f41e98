#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace loto6 {

class MainFrm;

// Makes the widget of a child window; nullptr when it cannot (the reason is reported).
using ChildFactory = std::function<QWidget *(MainFrm &)>;

// A child window the menus open: the menu command (its object name and text), the window class
// (at most one window per class), the designed outer size and how to make the window. A window
// that stands alone opens only while no other child is open.
struct ChildKind
{
    QString action;
    QString menuText;
    QString className;
    QSize sizeTwips;
    ChildFactory create;
    bool alone = false;
};

// Every child window the menus open: the analyses of the catalog, in its order, then the
// program's own windows. The main window makes a menu command for each and wires it to open
// the window; nothing else wires a child window.
std::vector<ChildKind> childKinds();

} // namespace loto6
