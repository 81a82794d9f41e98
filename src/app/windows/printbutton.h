#pragma once

#include "grid/rgb.h"

#include <QList>
#include <QString>

#include <functional>

class QPushButton;
class QTabWidget;
class QWidget;

namespace loto6 {

class ChildWindow;
class MainFrm;
class SheetView;

inline constexpr Rgb PrintButtonColor = rgb(255, 192, 255);

// The grids a window prints, asked when 印刷 is pressed.
using PrintGrids = std::function<QList<SheetView *>()>;

// Makes a window's 印刷 button open the print preview of the tables its grids show, under the
// window's title, with the history's range at the foot of every page.
void enablePrint(QPushButton *button, ChildWindow &window, PrintGrids grids);
// A 印刷 button for a window frame, wired by enablePrint.
QPushButton *printButton(ChildWindow &window, QWidget *parent, PrintGrids grids);

// A 印刷 button that makes what the window prints itself (a note laid out for paper) and
// shows it in the print preview.
QPushButton *printNoteButton(ChildWindow &window, QWidget *parent, std::function<void()> print);

// Marks a window's 印刷 button as the one the main window's 印刷 command presses.
void markPrintCommand(QPushButton *button);
// The main window's 印刷: presses the 印刷 button of the window in front, or says in the status
// bar that it has none.
void printActiveWindow(MainFrm &frame);

// The grids of the tab shown; every grid of every tab when the tab shown holds none.
QList<SheetView *> gridsOfShownTab(const QTabWidget &tabs);

// The draws the tables are made from, for the foot of the printed pages: 第1回～第N回, with the
// 基準回 when one is set.
QString historyRange(const MainFrm &frame);

} // namespace loto6
