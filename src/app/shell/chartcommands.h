#pragma once

#include <string_view>

class QMenu;
class QPushButton;
class QWidget;

namespace loto6 {

class ChartWindow;
class MainFrm;

// The ways into the chart window, for the menus and the other windows, so that none of them
// calls the chart window itself.

// Opens (or brings up) the chart window on a chart by its catalog name; nullptr when the window
// cannot open.
ChartWindow *openChart(MainFrm &frame, std::string_view chart);

// A グラフ button that opens the first chart of a table's window; nullptr when the table has
// none.
QPushButton *chartButton(MainFrm &frame, std::string_view table, QWidget *parent);

// One command per chart of the catalog under a menu, each opening the chart window on it.
void addChartCommands(MainFrm &frame, QMenu &menu);

} // namespace loto6
