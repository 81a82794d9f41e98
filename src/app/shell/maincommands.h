#pragma once

#include "shell/childkind.h"

#include <QHash>
#include <QString>

#include <vector>

class QAction;
class QMainWindow;
class QMdiArea;
class QMenu;
class QToolBar;

namespace loto6 {

// The main window's commands, each a handle its wiring holds on to.
struct MainCommands
{
    QAction *end = nullptr;
    QAction *update = nullptr;
    QAction *csvImport = nullptr;
    QAction *csvExport = nullptr;
    QAction *asOf = nullptr;
    QAction *asOfClear = nullptr;
    QAction *print = nullptr;
    QAction *tileHorizontal = nullptr;
    QAction *tileVertical = nullptr;
    QAction *cascade = nullptr;
    QAction *arrangeIcons = nullptr;
    QAction *nextChild = nullptr;
    QAction *previousChild = nullptr;
    QAction *closeChild = nullptr;
    QAction *help = nullptr;
    QAction *about = nullptr;
    // Shows or hides the toolbar.
    QAction *toolbar = nullptr;
    // The command that opens each child window, by window class name.
    QHash<QString, QAction *> open;
    QMenu *windowMenu = nullptr;
    // The グラフ menu, where each chart gets a command of its own.
    QMenu *chartMenu = nullptr;
    QToolBar *toolBar = nullptr;
};

// Makes the commands of the window and of every child kind, places them in the menus and the
// toolbar as the desktop's menu table says (a window command the table does not name goes under
// データ分析), and shows the open windows under the ウィンドウ menu's commands.
MainCommands createMainCommands(
    QMainWindow &window, QMdiArea &area, const std::vector<ChildKind> &kinds);

} // namespace loto6
