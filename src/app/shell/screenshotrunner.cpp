#include "shell/screenshotrunner.h"

#include "chart/chartcatalog.h"
#include "shell/chartcommands.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "views/chartview.h"
#include "views/printpreview.h"
#include "views/sheetview.h"
#include "windows/aboutwindow.h"
#include "windows/chartwindow.h"
#include "windows/helpwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

namespace loto6 {

namespace {

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The first grid on show: a window may keep further grids on hidden tabs.
SheetView *firstVisibleGrid(QMdiSubWindow *window)
{
    if (!window)
        return nullptr;
    for (SheetView *view : window->findChildren<SheetView *>())
        if (view->isVisible())
            return view;
    return nullptr;
}

void waitForFirstPaint(SheetView *grid)
{
    if (!grid || grid->hasPainted())
        return;
    QEventLoop loop;
    QObject::connect(grid, &SheetView::firstPainted, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

// A chart window's view: its first paint is the window's.
void waitForFirstPaint(ChartView *view)
{
    if (!view || view->hasPainted())
        return;
    QEventLoop loop;
    QObject::connect(view, &ChartView::firstPainted, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ScreenshotRunner::ScreenshotRunner(MainFrm &frame, QString folder)
    : QObject(&frame)
    , m_frame(frame)
    , m_folder(std::move(folder))
{
}

void ScreenshotRunner::start() { QTimer::singleShot(0, this, &ScreenshotRunner::run); }

void ScreenshotRunner::save(QWidget *widget, const QString &name)
{
    widget->grab().save(QDir(m_folder).filePath(name + QStringLiteral(".png")));
}

void ScreenshotRunner::run()
{
    QDir().mkpath(m_folder);
    QFile timingFile(QDir(m_folder).filePath(QStringLiteral("timings.txt")));
    if (!timingFile.open(QIODevice::WriteOnly | QIODevice::Text))
        qWarning().noquote() << "cannot write" << timingFile.fileName();
    QTextStream timings(&timingFile);

    wait(500);
    save(&m_frame, QStringLiteral("00-main"));
    int number = 1;
    for (const ChildKind &kind : m_frame.kinds())
        shoot(kind, number++, timings);
    shootPrintPreview(
        windowclass::Prediction, QStringLiteral("%1-print-prediction").arg(number++), timings);
    shootPrintPreview("出現間隔分析", QStringLiteral("%1-print-intervals").arg(number++), timings);
    timings.flush();
    shootArrangements(number);
    number += 3;
    shootCharts(number++);

    m_frame.commands().about->trigger();
    wait(300);
    if (m_frame.aboutWindow()) {
        save(m_frame.aboutWindow(), QStringLiteral("%1-about").arg(number++));
        m_frame.aboutWindow()->close();
    }
    m_frame.commands().help->trigger();
    wait(300);
    if (m_frame.helpWindow()) {
        save(m_frame.helpWindow(), QStringLiteral("%1-help").arg(number++));
        m_frame.helpWindow()->close();
    }
    m_frame.close();
}

void ScreenshotRunner::shoot(const ChildKind &kind, int number, QTextStream &timings)
{
    QElapsedTimer timer;
    timer.start();
    QMdiSubWindow *window = m_frame.openChild(kind.className);
    SheetView *grid = firstVisibleGrid(window);
    ChartView *chart = window ? window->findChild<ChartView *>() : nullptr;
    waitForFirstPaint(grid);
    waitForFirstPaint(grid ? nullptr : chart);
    const qint64 elapsed = timer.elapsed();
    const QString name = window ? window->widget()->objectName() : kind.className;
    if (grid)
        timings << name << '\t' << grid->model()->rowCount() << 'x' << grid->model()->columnCount()
                << '\t' << elapsed << " ms\n";
    else if (chart)
        timings << name << '\t' << QString::fromStdString(chart->chart().name) << '\t' << elapsed
                << " ms\n";
    wait(150);
    if (!window)
        return;
    const QString file = QStringLiteral("%1-%2").arg(number, 2, 10, QLatin1Char('0')).arg(name);
    save(window, file);
    // The whole main window too: it shows whether the child fits.
    save(&m_frame, file + QStringLiteral("-main"));
    // Scrolled to the end: the frozen headings stay over the last rows.
    if (grid && grid->verticalScrollBar()->maximum() > 0) {
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        wait(50);
        save(window, file + QStringLiteral("-scrolled"));
    }
    window->close();
    wait(50);
}

void ScreenshotRunner::shootPrintPreview(
    const char *className, const QString &file, QTextStream &timings)
{
    QMdiSubWindow *window = m_frame.openChild(qs(className));
    wait(300);
    auto *print
        = window ? window->widget()->findChild<QPushButton *>(QStringLiteral("Command2")) : nullptr;
    if (!print)
        return;
    QElapsedTimer timer;
    QTimer::singleShot(0, this, [&] {
        auto *preview = qobject_cast<PrintPreview *>(QApplication::activeModalWidget());
        if (!preview)
            return;
        for (int i = 0; i < 1000 && preview->pagesDrawn() == 0; ++i)
            wait(5);
        timings << "印刷プレビュー " << className << '\t' << preview->pageCount() << " pages\t"
                << timer.elapsed() << " ms\n";
        wait(300);
        save(preview, file);
        preview->close();
    });
    timer.start();
    print->click();
    window->close();
    wait(50);
}

void ScreenshotRunner::shootCharts(int number)
{
    for (const ChartInfo &info : charts()) {
        ChartWindow *window = openChart(m_frame, info.name);
        wait(200);
        if (window)
            save(window,
                QStringLiteral("%1-chart-%2")
                    .arg(number, 2, 10, QLatin1Char('0'))
                    .arg(qs(info.name)));
    }
    m_frame.mdiArea()->closeAllSubWindows();
    wait(150);
}

void ScreenshotRunner::shootArrangements(int number)
{
    // Windows of different sizes: two analyses, the chance page and the prediction window.
    for (const char *className :
        {"出現頻度分析", "回数別出現分析", windowclass::Chance, windowclass::Prediction})
        m_frame.openChild(QString::fromUtf8(className));
    wait(300);
    const std::pair<QAction *, const char *> arrangements[] = {
        {m_frame.commands().tileVertical, "side-by-side"},
        {m_frame.commands().tileHorizontal, "one-above"}, {m_frame.commands().cascade, "cascade"}};
    for (const auto &[arrange, name] : arrangements) {
        arrange->trigger();
        wait(300);
        save(&m_frame, QStringLiteral("%1-%2").arg(number++, 2, 10, QLatin1Char('0')).arg(name));
    }
    m_frame.mdiArea()->closeAllSubWindows();
    wait(150);
}

} // namespace loto6
