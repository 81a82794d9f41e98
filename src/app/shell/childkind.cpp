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
#include "windows/ticketwindow.h"

namespace loto6 {

namespace {

// How each analysis of the catalog shows on the desktop, by its command-line name: the menu
// command's object name and text (empty: the caption), the designed size in twips and whether
// it has a print button.
const AnalysisWindowFacts AnalysisWindows[] = {
    {"frequency", "mnuSyutugenHindo", "", {13800, 12530}, true},
    {"count-groups", "mnuSyutugenKaisu", "回数別出現分析", {3405, 8355}, true},
    {"appearance-count", "mnuZenkaiSyutugen", "", {9870, 13995}, true},
    {"appearance-interval", "mnuSyutugenKankaku", "", {9850, 13920}, true},
    {"number-interval", "mnuNumberKankaku", "", {9870, 13905}, true},
    {"spread", "mnuBaratsuki", "", {12800, 12750}, true},
    {"carry-over", "mnuHippari", "", {7700, 13600}, true},
    {"consecutive", "mnuRenbanTobiishi", "", {7550, 13500}, true},
    {"sum", "mnuHonsuji", "", {8000, 13800}, true},
    {"low-high", "mnuLowHighPattern", "", {7740, 13700}, true},
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
    static const AnalysisWindowFacts Usual{{}, {}, {}, {9870, 13905}, true};
    ChildKind kind = analysisKind(info, Usual);
    kind.action = QStringLiteral("mnu") + qs(info.name);
    return kind;
}

namespace {

// A window of the program's own, described by its class's constants.
template<typename Window>
ChildKind ownKind(const char *menuText, const char *helpTopic, QKeySequence shortcut = {})
{
    return {qs(Window::MenuAction), qs(menuText), qs(Window::ClassName),
        QSize(Window::WidthTwips, Window::HeightTwips), &Window::create, qs(helpTopic), shortcut};
}

} // namespace

std::vector<ChildKind> childKinds()
{
    std::vector<ChildKind> kinds;
    for (const AnalysisInfo &info : analyses())
        kinds.push_back(analysisKind(info));
    kinds.push_back(ownKind<ChanceWindow>("偶然との比較", "偶然との比較"));
    kinds.push_back(ownKind<BacktestWindow>("予想の検証", "予想の検証"));
    kinds.push_back(ownKind<PredictionWindow>(
        "一発ズンベル予想(&D)", "一発ズンベル予想", QKeySequence(Qt::CTRL | Qt::Key_D)));
    kinds.push_back(ownKind<TicketWindow>("購入番号の照合...", "購入番号の照合"));
    kinds.push_back(ownKind<PopularityWindow>("人気度と期待値...", "人気度と期待値"));
    kinds.push_back(ownKind<ChartWindow>("グラフを開く(&O)...", "グラフ"));
    kinds.push_back(ownKind<DesignWindow>("番号の設計...", "番号の設計"));
    // The entry window opens at any time beside the others: they all show what it saves.
    kinds.push_back(ownKind<EntryWindow>(
        "当選データ入力(&I)", "データの更新", QKeySequence(Qt::CTRL | Qt::Key_I)));
    return kinds;
}

} // namespace loto6
