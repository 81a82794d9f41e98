#pragma once

#include <QKeySequence>
#include <QSize>
#include <QString>

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

class QWidget;

namespace loto6 {

class MainFrm;

// The class names of the program's own windows, by which the main window opens them and finds
// their row in childKinds().
namespace windowclass {
inline constexpr const char *Chance = "偶然との比較";
inline constexpr const char *Backtest = "予想の検証";
inline constexpr const char *Prediction = "一発ズンベル予想";
inline constexpr const char *Tickets = "購入番号の照合";
inline constexpr const char *Popularity = "人気度と期待値";
inline constexpr const char *Chart = "グラフ";
inline constexpr const char *Design = "番号の設計";
inline constexpr const char *Entry = "当選データ入力";
inline constexpr const char *Summary = "今回の結果";
} // namespace windowclass

// The designed size of a window no row names, in twips.
inline constexpr QSize UsualSizeTwips{9870, 13905};

// Makes the widget of a child window; nullptr when it cannot (the reason is reported).
using ChildFactory = std::function<QWidget *(MainFrm &)>;

// A child window the menus open: the menu command (its object name, text and keys), the window
// class (at most one window per class), the designed outer size, how to make the window and
// the help topic F1 opens while it is the active window.
struct ChildKind
{
    QString action;
    QString menuText;
    QString className;
    QSize sizeTwips;
    ChildFactory create;
    QString helpTopic;
    QKeySequence shortcut = {};
    bool analysis = false; // one of the catalog's analyses
};

struct AnalysisInfo;

// How an analysis's window shows on the desktop: the menu command's object name and text
// (empty: the caption), the designed size in twips and whether it has a print button.
struct AnalysisWindowFacts
{
    std::string_view name; // the analysis's command-line name
    std::string_view action;
    std::string_view menuText;
    int sizeTwips[2];
    bool printButton;
};

// The kind of an analysis's window, from its catalog entry and the desktop's table.
ChildKind analysisKind(const AnalysisInfo &info);
ChildKind analysisKind(const AnalysisInfo &info, const AnalysisWindowFacts &facts);

// Every child window the menus open: the analyses of the catalog, in its order, then the
// program's own windows from their table. The main window makes a menu command for each and
// wires it to open the window; nothing else wires a child window. A new window is its class
// and one row of the table in childkind.cpp.
std::vector<ChildKind> childKinds();
// How many of them are the program's own windows (the rows of the table).
std::size_t ownWindowCount();

} // namespace loto6
