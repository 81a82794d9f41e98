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

#include <QObject>

namespace loto6 {

namespace {

ChildKind analysisKind(const AnalysisInfo &info)
{
    return {qs(info.menuAction), qs(info.menuText.empty() ? info.caption : info.menuText),
        qs(info.className), QSize(info.widthTwips, info.heightTwips),
        [&info](MainFrm &frame) { return new AnalysisWindow(frame, info); }};
}

} // namespace

std::vector<ChildKind> childKinds()
{
    std::vector<ChildKind> kinds;
    for (const AnalysisInfo &info : analyses())
        kinds.push_back(analysisKind(info));
    kinds.push_back(
        {qs(ChanceWindow::MenuAction), QObject::tr("偶然との比較"), qs(ChanceWindow::ClassName),
            QSize(ChanceWindow::WidthTwips, ChanceWindow::HeightTwips), &ChanceWindow::create});
    kinds.push_back({qs(BacktestWindow::MenuAction), QObject::tr("予想の検証"),
        qs(BacktestWindow::ClassName),
        QSize(BacktestWindow::WidthTwips, BacktestWindow::HeightTwips), &BacktestWindow::create});
    kinds.push_back({qs(PredictionWindow::MenuAction), QObject::tr("一発ズンベル予想(&D)"),
        qs(PredictionWindow::ClassName),
        QSize(PredictionWindow::WidthTwips, PredictionWindow::HeightTwips),
        &PredictionWindow::create});
    kinds.push_back({qs(TicketWindow::MenuAction), QObject::tr("購入番号の照合..."),
        qs(TicketWindow::ClassName), QSize(TicketWindow::WidthTwips, TicketWindow::HeightTwips),
        &TicketWindow::create});
    kinds.push_back({qs(PopularityWindow::MenuAction), QObject::tr("人気度と期待値..."),
        qs(PopularityWindow::ClassName),
        QSize(PopularityWindow::WidthTwips, PopularityWindow::HeightTwips),
        &PopularityWindow::create});
    kinds.push_back({qs(ChartWindow::MenuAction), QObject::tr("グラフを開く(&O)..."),
        qs(ChartWindow::ClassName), QSize(ChartWindow::WidthTwips, ChartWindow::HeightTwips),
        &ChartWindow::create});
    kinds.push_back(
        {qs(DesignWindow::MenuAction), QObject::tr("番号の設計..."), qs(DesignWindow::ClassName),
            QSize(DesignWindow::WidthTwips, DesignWindow::HeightTwips), &DesignWindow::create});
    // The entry window edits the database under every other window: it opens alone.
    kinds.push_back(
        {qs(EntryWindow::MenuAction), QObject::tr("当選データ入力(&I)"), qs(EntryWindow::ClassName),
            QSize(EntryWindow::WidthTwips, EntryWindow::HeightTwips), &EntryWindow::create, true});
    return kinds;
}

} // namespace loto6
