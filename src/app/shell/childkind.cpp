#include "shell/childkind.h"

#include "analysis/catalog.h"
#include "shell/uihelpers.h"
#include "windows/analysiswindow.h"
#include "windows/backtestwindow.h"
#include "windows/chancewindow.h"
#include "windows/chartwindow.h"
#include "windows/designwindow.h"
#include "windows/entrywindow.h"
#include "windows/popularitywindow.h"
#include "windows/predictionwindow.h"
#include "windows/summarywindow.h"
#include "windows/ticketwindow.h"

#include <iterator>

namespace loto6 {

namespace {

// How each analysis of the catalog shows on the desktop, by its command-line name: the menu
// command's object name and text (empty: the caption), the designed size in twips and whether
// it has a print button.
const AnalysisWindowFacts AnalysisWindows[] = {
    {"frequency", "mnuSyutugenHindo", "", {13800, 12530}, true},
    {"count-groups", "mnuSyutugenKaisu", "", {3405, 8355}, true},
    {"appearance-count", "mnuZenkaiSyutugen", "", {9870, 13995}, true},
    {"appearance-interval", "mnuSyutugenKankaku", "", {9850, 13920}, true},
    {"number-interval", "mnuNumberKankaku", "", {9870, 13905}, true},
    {"spread", "mnuBaratsuki", "", {12800, 12750}, true},
    {"carry-over", "mnuHippari", "", {7700, 13600}, true},
    {"consecutive", "mnuRenbanTobiishi", "", {7550, 13500}, true},
    {"sum", "mnuHonsuji", "", {8000, 13800}, true},
    {"low-high", "mnuLowHightPattern", "", {7740, 13700}, true},
    {"even-odd", "mnuKisuGusuPattern", "", {7740, 13700}, true},
    {"five-band", "mnu5BunkatsuKeiko", "", {8750, 13750}, true},
    {"group6", "mnu6BunkatsuData", "", {12365, 12600}, true},
    {"group7", "mnu7BunkatsuData", "", {12365, 12600}, true},
    {"group11", "mnu11BunkatsuData", "", {12365, 12600}, true},
    {"last-digit", "mnuLastChar", "", {7400, 13980}, true},
    {"last-digit-run", "mnuLastCharRenzoku", "", {7400, 13935}, true},
};

} // namespace

ChildKind analysisKind(const AnalysisInfo &info, const AnalysisWindowFacts &facts)
{
    const AnalysisLayout layout{QSize(facts.sizeTwips[0], facts.sizeTwips[1]), facts.printButton};
    // Each analysis has its own topic in the help, named after its window class.
    return {qs(facts.action), qs(facts.menuText.empty() ? info.caption : facts.menuText),
        qs(info.className), layout.sizeTwips,
        [&info, layout](MainFrm &frame) { return new AnalysisWindow(frame, info, layout); },
        qs(info.className), {}, true};
}

ChildKind analysisKind(const AnalysisInfo &info)
{
    for (const AnalysisWindowFacts &facts : AnalysisWindows)
        if (facts.name == info.name)
            return analysisKind(info, facts);
    // An analysis the table does not name yet opens at the usual size under データ分析.
    static const AnalysisWindowFacts Usual{
        {}, {}, {}, {UsualSizeTwips.width(), UsualSizeTwips.height()}, true};
    ChildKind kind = analysisKind(info, Usual);
    kind.action = QStringLiteral("mnu") + qs(info.name);
    return kind;
}

namespace {

template<typename Window>
QWidget *make(MainFrm &frame)
{
    return new Window(frame);
}

// The program's own windows, in menu order: class, menu command (object name, text, keys),
// designed outer size in twips, factory and help topic.
struct OwnWindowFacts
{
    const char *className;
    const char *action;
    const char *menuText;
    int sizeTwips[2];
    QWidget *(*create)(MainFrm &);
    const char *helpTopic;
    QKeyCombination shortcut;
};

const OwnWindowFacts OwnWindows[] = {
    {windowclass::Chance, "mnuGuzenHikaku", "偶然との比較", {18000, 12000}, &make<ChanceWindow>,
        "偶然との比較", {}},
    {windowclass::Backtest, "mnuYosoKensyo", "予想の検証", {18000, 11000}, &BacktestWindow::create,
        "予想の検証", {}},
    {windowclass::Prediction, "mnuYoso", "一発ズンベル予想(&D)", {9360, 8400},
        &make<PredictionWindow>, "一発ズンベル予想", Qt::CTRL | Qt::Key_D},
    {windowclass::Tickets, "mnuKonyuBango", "購入番号の照合...", {13800, 11000},
        &make<TicketWindow>, "購入番号の照合", {}},
    {windowclass::Popularity, "mnuNinkido", "人気度と期待値...", {11000, 9000},
        &make<PopularityWindow>, "人気度と期待値", {}},
    {windowclass::Chart, "mnuGraph", "グラフを開く(&O)...", {15000, 10500}, &make<ChartWindow>,
        "グラフ", {}},
    {windowclass::Design, "mnuBangoSekkei", "番号の設計...", {19000, 9600}, &make<DesignWindow>,
        "番号の設計", {}},
    // The entry window opens at any time beside the others: they all show what it saves.
    {windowclass::Entry, "mnuMasterInput", "当選データ入力(&I)", {7180, 13450},
        &EntryWindow::create, "データの更新", Qt::CTRL | Qt::Key_I},
    // What the newest draw did to the tickets: offered whenever a new draw comes in.
    {windowclass::Summary, "mnuKonkaiKekka", "今回の結果(&R)...", {15000, 11000},
        &make<SummaryWindow>, "今回の結果", Qt::CTRL | Qt::Key_R},
};

} // namespace

std::vector<ChildKind> childKinds()
{
    std::vector<ChildKind> kinds;
    for (const AnalysisInfo &info : analyses())
        kinds.push_back(analysisKind(info));
    for (const OwnWindowFacts &w : OwnWindows)
        kinds.push_back({qs(w.action), qs(w.menuText), qs(w.className),
            QSize(w.sizeTwips[0], w.sizeTwips[1]), w.create, qs(w.helpTopic),
            w.shortcut.toCombined() ? QKeySequence(w.shortcut) : QKeySequence()});
    return kinds;
}

std::size_t ownWindowCount() { return std::size(OwnWindows); }

} // namespace loto6
