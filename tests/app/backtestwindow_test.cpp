#include "document/backtestcache.h"
#include "prediction/reflectionshift.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "store/database.h"
#include "views/chartview.h"
#include "views/elidedlabel.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/backtestwindow.h"
#include "windows/predictionwindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "recordingdialogs.h"
#include "scratchfolder.h"

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace loto6;

namespace {

const QString ClassName = QString::fromUtf8(windowclass::Backtest);

// A started main window working in a scratch folder (closing it writes the settings file).
struct Fixture
{
    ScratchFolder folder;
    std::unique_ptr<MainFrm> frame;
    QStringList messages;

    Fixture()
    {
        frame = std::make_unique<MainFrm>();
        frame->setDialogs(recordTexts(messages));
    }
    // The window goes first, while its folder and what it reports to are still there.
    ~Fixture() { frame.reset(); }
    bool start()
    {
        const bool ok = frame->startUp("draws.db", SHARED_HISTORY).ok();
        frame->setPropEnd(true);
        return ok;
    }
    void setSwitches(std::initializer_list<int> on)
    {
        frame->document().predictionOptions() = PredictionOptions{};
        for (int i : on)
            frame->document().predictionOptions().on[static_cast<std::size_t>(i)] = true;
    }
    QAction *command() const
    {
        return frame->openCommand(QString::fromUtf8(windowclass::Backtest));
    }
    BacktestWindow *window() const
    {
        QMdiSubWindow *w = frame->childWindow(ClassName);
        return w ? qobject_cast<BacktestWindow *>(w->widget()) : nullptr;
    }
    // Opens the window and waits for its check, watching that no modal box shows meanwhile.
    BacktestWindow *open()
    {
        command()->trigger();
        BacktestWindow *w = window();
        if (!w)
            return nullptr;
        waitForCheck(w);
        return w;
    }
    bool modalSeen = false;
    void waitForCheck(BacktestWindow *w)
    {
        QElapsedTimer timer;
        timer.start();
        while ((w->checking() || !w->hasReport()) && timer.elapsed() < 60000) {
            modalSeen = modalSeen || QApplication::activeModalWidget();
            QTest::qWait(5);
            if (!w->checking() && !w->hasReport())
                break;
        }
    }
};

// Column 1 and the シフト column of the main table's method rows.
QStringList methodRows(const SheetView *grid)
{
    QStringList rows;
    const QAbstractItemModel *m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        const QString method = m->index(r, 0).data().toString();
        if (method.contains(u"周期法"_s) || method == u"消去法"_s || method == u"連発予想"_s
            || method == u"１発予想"_s)
            rows << method.trimmed() + u':' + m->index(r, 1).data().toString();
    }
    return rows;
}

} // namespace

class BacktestWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void opensFromLastAnalysisItem();
    void shiftFollowsSwitches();
    void opensAtOnceAndChecksInTheBackground();
    void tooShortHistoryIsReported();
    void predictionWindowButtonOpensIt();
    void reloadRunsTheCheckAgain();
};

// The chart: three methods over every shift, each with its band, marked at the shift.
static void checkChart(BacktestWindow &window, int shift)
{
    ChartView *chart = window.chart();
    auto *tabs = window.findChild<QTabWidget *>(u"tabTables"_s);
    QCOMPARE(tabs->tabText(tabs->indexOf(chart)), u"一致数平均のグラフ"_s);
    tabs->setCurrentWidget(chart);
    QCOMPARE(chart->chart().panels.size(), std::size_t(3));
    for (const ChartPanel &p : chart->chart().panels) {
        const ChartSeries &seen = p.series[0];
        const ChartSeries &expected = p.series[1];
        QCOMPARE(seen.y.size(), std::size_t(93));
        QCOMPARE(p.bands[0].low.size(), std::size_t(93));
        for (std::size_t k = 0; k < 93; ++k)
            QVERIFY(p.bands[0].low[k] <= expected.y[k] && expected.y[k] <= p.bands[0].high[k]);
        QCOMPARE(p.markedX, double(shift));
    }
    QCOMPARE(chart->chart().panels[0].title, std::string("消去法"));
}

void BacktestWindowTest::opensFromLastAnalysisItem()
{
    Fixture f;
    QVERIFY(f.start());
    f.setSwitches({1, 5}); // weights 15 and 4
    const int shift = 19;
    QCOMPARE(ReflectionShift::of(f.frame->document().predictionOptions()), shift);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));

    const QList<QAction *> items = f.frame->findChild<QMenu *>(u"mnuMain"_s)->actions();
    // The last analysis item, followed only by the 基準回 commands.
    const qsizetype at = items.indexOf(f.frame->action(u"mnuYosoKensyo"_s));
    QCOMPARE(at, items.size() - 4);
    QCOMPARE(items.at(at - 1)->objectName(), u"mnuGuzenHikaku"_s);
    QVERIFY(items.at(at)->text().startsWith(u"予想の検証"_s));

    BacktestWindow *w = f.open();
    QVERIFY(w);
    QMdiSubWindow *sub = f.frame->childWindow(ClassName);
    QCOMPARE(sub->windowTitle(), u"予想の検証"_s);
    QCOMPARE(sub->pos(), QPoint(0, 0));
    QCOMPARE(f.frame->propEnd(), false);
    QVERIFY(!QApplication::overrideCursor());

    QCOMPARE(w->shift(), shift);
    QCOMPARE(w->shiftBox()->minimum(), 0);
    QCOMPARE(w->shiftBox()->maximum(), 92);
    QVERIFY(w->findChild<QLabel *>(u"LabelSwitches"_s)->text().contains(u"19"_s));
    QVERIFY(!w->findChild<QLabel *>(u"LabelSwitches"_s)->text().contains(u"Opt"_s)); // names
    QVERIFY(w->verdictLabel()->text().contains(QString::fromStdString(w->report().verdict)));
    QVERIFY(w->methodVerdictLabel()->text().contains(u"消去法（シフト19）"_s));

    // Four tables for the shift; the cycle methods once, the others at the shift.
    QCOMPARE(w->grids().size(), 4);
    for (const SheetView *grid : w->grids())
        QVERIFY(grid->model()->rowCount() > 1);
    QCOMPARE(methodRows(w->grids().front()),
        QStringList({u"7回周期法:共通"_s, u"9回周期法:共通"_s, u"11回周期法:共通"_s,
            u"12回周期法:共通"_s, u"消去法:19"_s, u"連発予想:19"_s, u"１発予想:19"_s}));

    ChartView *chart = w->chart();
    checkChart(*w, shift);
    if (QTest::currentTestFailed())
        return;

    // Another shift from the spin box, and from a click into the chart.
    w->shiftBox()->setValue(5);
    QCOMPARE(methodRows(w->grids().front()).last(), u"１発予想:5"_s);
    QCOMPARE(chart->chart().panels[2].markedX, 5.0);
    QVERIFY(w->findChild<ElidedLabel *>(u"LabelExample"_s)->text().contains(u"シフト5"_s));
    chart->repaint();
    QVERIFY(!chart->layout().panels.empty());
    const ChartPanelLayout &plot = chart->layout().panels[1];
    const double x = plot.x.map(46, plot.plot.x, plot.plot.x + plot.plot.width);
    QTest::mouseClick(chart, Qt::LeftButton, {},
        QPoint(static_cast<int>(std::lround(x)),
            static_cast<int>(plot.plot.y + plot.plot.height / 2)));
    QCOMPARE(w->shift(), 46);
    w->findChild<QPushButton *>(u"cmdCurrentShift"_s)->click();
    QCOMPARE(w->shift(), shift);

    // Raised when shown again; the close button unloads it.
    f.command()->trigger();
    QCOMPARE(f.frame->childWindow(ClassName), sub);
    auto *close = w->findChild<QPushButton *>(u"Command1"_s);
    QCOMPARE(close->text(), u"閉じる"_s);
    QCOMPARE(close->palette().color(QPalette::Button), QColor(255, 255, 192));
    close->click();
    QCOMPARE(f.frame->propEnd(), true);
    QVERIFY(!f.frame->childWindow(ClassName));
}

void BacktestWindowTest::shiftFollowsSwitches()
{
    Fixture f;
    QVERIFY(f.start());
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
    BacktestWindow *w = f.open();
    QVERIFY(w);
    QCOMPARE(w->shift(), 0);
    QVERIFY(w->findChild<QLabel *>(u"LabelSwitches"_s)->text().contains(u"なし"_s));

    // A shift chosen by hand stays while the switches stay.
    QMdiArea *mdi = f.frame->mdiArea();
    w->setShift(40);
    mdi->setActiveSubWindow(nullptr);
    mdi->setActiveSubWindow(f.frame->childWindow(ClassName));
    QCOMPARE(w->shift(), 40);

    // Switches changed elsewhere (in the prediction window): back in this window, their shift.
    f.setSwitches({10, 11}); // 16 + 3
    mdi->setActiveSubWindow(nullptr);
    mdi->setActiveSubWindow(f.frame->childWindow(ClassName));
    QCOMPARE(w->shift(), 19);
    QCOMPARE(w->chart()->chart().panels[0].markedX, 19.0);
    QCOMPARE(methodRows(w->grids().front()).last(), u"１発予想:19"_s);
}

// The window opens at once and checks on a worker, saying so; a second opening takes the check
// kept, and closing the window while it checks leaves nothing running.
void BacktestWindowTest::opensAtOnceAndChecksInTheBackground()
{
    Fixture f;
    QVERIFY(f.start());
    BacktestCache::clear();
    QElapsedTimer timer;
    timer.start();
    f.command()->trigger();
    BacktestWindow *w = f.window();
    QVERIFY(w);
    qInfo("予想の検証: opened in %lld ms", static_cast<long long>(timer.elapsed()));
    QVERIFY(timer.elapsed() < 2000); // loose: a timing, not a test of speed
    QVERIFY(w->checking());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(w->checkLabel()->isVisibleTo(w));
    QVERIFY(w->checkLabel()->text().contains(u"計算中…"_s));
    f.waitForCheck(w);
    qInfo("予想の検証: figures after %lld ms (the whole check)",
        static_cast<long long>(timer.elapsed()));
    QVERIFY(w->hasReport());
    QVERIFY(!f.modalSeen);
    QVERIFY(!w->checkLabel()->isVisibleTo(w));
    QCOMPARE(w->report().draws, w->report().completeDraws - 29);
    w->findChild<QPushButton *>(u"Command1"_s)->click();
    QVERIFY(!f.window());

    // Kept: the next opening shows the figures at once.
    timer.restart();
    f.command()->trigger();
    qInfo("予想の検証: opened with its figures in %lld ms (kept)",
        static_cast<long long>(timer.elapsed()));
    QVERIFY(f.window() && f.window()->hasReport() && !f.window()->checking());
    f.window()->findChild<QPushButton *>(u"Command1"_s)->click();
    // Closed while checking another history: the worker stops with the window.
    BacktestCache::clear();
    f.command()->trigger();
    QVERIFY(f.window()->checking());
    f.window()->findChild<QPushButton *>(u"Command1"_s)->click();
    QVERIFY(!f.window());
    QVERIFY(f.messages.isEmpty());
}

void BacktestWindowTest::tooShortHistoryIsReported()
{
    Fixture f; // never started: no draws at all
    f.frame->setPropEnd(true);
    BacktestWindow *w = f.open();
    QVERIFY(w);
    QVERIFY(!w->hasReport());
    QVERIFY(w->checkLabel()->text().startsWith(u"予想の検証ができません。"_s));
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void BacktestWindowTest::predictionWindowButtonOpensIt()
{
    Fixture f;
    QVERIFY(f.start());
    f.setSwitches({0});
    f.frame->action(u"mnuYoso"_s)->trigger();
    QMdiSubWindow *sub = f.frame->childWindow(QString::fromUtf8(windowclass::Prediction));
    QVERIFY(sub);
    auto *button = sub->widget()->findChild<QPushButton *>(u"cmdBacktest"_s);
    QVERIFY(button);
    QCOMPARE(button->text(), u"予想の検証..."_s);
    QVERIFY(button->isEnabled());
    // Inside the prediction frame, under grid 3.
    const QWidget *window = sub->widget();
    const auto place
        = [window](const QWidget *w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); };
    const QWidget *frame = window->findChild<QWidget *>(u"FramePrediction"_s);
    QVERIFY(place(frame).contains(place(button)));
    const auto grids = window->findChildren<SheetView *>(u"fpSpread1"_s);
    QCOMPARE(grids.size(), 4);
    for (const SheetView *grid : grids)
        QVERIFY(place(grid).bottom() < place(button).top());

    button->click();
    BacktestWindow *w = f.window();
    QVERIFY(w);
    QCOMPARE(w->shift(), 1);
    QCOMPARE(f.frame->mdiArea()->activeSubWindow(), f.frame->childWindow(ClassName));
}

// A new draw read from the database is checked at once in the open window, at its shift.
void BacktestWindowTest::reloadRunsTheCheckAgain()
{
    Fixture f;
    QVERIFY(f.start());
    BacktestWindow *w = f.open();
    QVERIFY(w);
    const int last = w->report().lastDrawNo;
    w->setShift(7);
    {
        Database writer;
        QVERIFY(writer.open("draws.db"));
        DrawRecord next;
        next.drawNo = f.frame->document().totals().latestDrawNo + 1;
        next.date = "2099-01-01";
        for (int i = 0; i < DrawRecord::FieldCount; ++i)
            next.fields[static_cast<std::size_t>(i)] = 2 * i + 1;
        QVERIFY(writer.saveDraw(next));
    }
    QVERIFY(f.frame->reloadHistory());
    QCOMPARE(f.window(), w);
    // The old figures stay while the new draw is checked, and no modal box shows.
    QCOMPARE(w->report().lastDrawNo, last);
    QVERIFY(w->checking());
    QVERIFY(w->checkLabel()->text().contains(u"計算中…"_s));
    QElapsedTimer timer;
    timer.start();
    f.waitForCheck(w);
    qInfo("予想の検証: a new draw checked in %lld ms", static_cast<long long>(timer.elapsed()));
    QVERIFY(!f.modalSeen);
    QCOMPARE(w->report().lastDrawNo, last + 1);
    QCOMPARE(w->shift(), 7);
    QVERIFY2(
        w->notes()->text().contains(u"第%1回まで"_s.arg(last + 1)), qPrintable(w->notes()->text()));
    QVERIFY(f.messages.isEmpty());
}

QTEST_MAIN(BacktestWindowTest)
#include "backtestwindow_test.moc"
