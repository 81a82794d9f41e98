// Time from the menu command to the first paint of the largest analysis windows on the bundled
// history, offscreen. Wall-clock figures belong here rather than in the tests, where a busy
// machine makes them flaky. Usage: loto6_firstpaint_bench [BUDGET_MS]  (default 1000; the
// target is 150 ms on an idle machine); fails when a window takes longer than the budget.

#include "analysis/catalog.h"
#include "mainfrm.h"
#include "sheetview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace loto6;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long budget = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    QTemporaryDir dir;
    MainFrm frame;
    if (Status s = frame.startUp((dir.path() + "/bench.db").toStdString(), BUNDLED_HISTORY); !s) {
        std::fprintf(stderr, "firstpaint: %s\n", s.message().c_str());
        return 1;
    }
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return 1;
    bool withinBudget = true;
    for (const char *name : {"frequency", "group11", "spread", "appearance-interval"}) {
        const AnalysisInfo *info = findAnalysis(name);
        if (!info)
            continue;
        QElapsedTimer timer;
        timer.start();
        frame.showAnalysis(*info);
        auto *view = frame.mdiArea()->activeSubWindow()->findChild<SheetView *>();
        QSignalSpy painted(view, &SheetView::firstPainted);
        if (!view->hasPainted() && !painted.wait(10000))
            return 1;
        const qint64 ms = timer.elapsed();
        std::printf("%-22s %5lld ms from command to first paint\n", name,
            static_cast<long long>(ms));
        withinBudget = withinBudget && ms <= budget;
        frame.mdiArea()->closeAllSubWindows();
        QApplication::processEvents();
    }
    return withinBudget ? 0 : 1;
}
