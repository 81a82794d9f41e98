// Wall time of the desktop's popularity figures on the bundled history, offscreen (or under
// Xvfb with QT_QPA_PLATFORM=xcb), each from the user's action to its content painted:
//   人気度と期待値 opened, and its 計算 pressed again;
//   番号の設計 → 条件から選ぶ (5 tickets, least popular 10%) until the tickets show their
//   popularity and yen;
//   購入番号の照合 (a book of 100 tickets) → its 人気度と期待値 tab;
//   a prediction switch toggled with five windows open, until the prediction window is repainted;
// first with the estimate stored in the database, then while it is still being made (where
// each place must paint 計算中… at once). Start-up is timed against a bare Qt MDI program, each
// in a process of its own, side by side: the main window painted, and the prediction window's
// tables painted, with the estimate stored and while it is being made.
// Usage: loto6_popularitywindows_bench [RUNS [startup]]  (default 5 runs, their median shown;
// with "startup", start-up alone)

#include "analysis/catalog.h"
#include "document/historydocument.h"
#include "document/popularitysource.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/database.h"
#include "tickets/ticketbook.h"
#include "views/sheetview.h"
#include "windows/designwindow.h"
#include "windows/predictionwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace loto6;

namespace {

using Painted = std::function<bool(QWidget *)>;

// Sees every paint of the program and notes the first that `done` accepts.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(Painted done)
        : m_done(std::move(done))
    {
        qApp->installEventFilter(this);
    }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool seen() const { return m_seen; }

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && target->isWidgetType())
            m_seen = m_done(static_cast<QWidget *>(target));
        return false;
    }

private:
    Painted m_done;
    bool m_seen = false;
};

// Milliseconds from `act` until a paint that `done` accepts has been made; -1 after 60 s.
qint64 timeToPaint(const std::function<void()> &act, const Painted &done)
{
    PaintWatch watch(done);
    QElapsedTimer timer;
    timer.start();
    act();
    while (!watch.seen()) {
        if (timer.elapsed() > 60000)
            return -1;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    QApplication::processEvents(); // the paint itself
    return timer.elapsed();
}

// Whether `w` is the viewport of the grid named `grid` inside the window of class `window`
// (or any window when empty), showing more than `rows` rows.
bool gridPainted(
    QWidget *w, const char *window, const char *grid, int rows, const QString &without = QString())
{
    auto *view = qobject_cast<SheetView *>(w->parentWidget());
    if (!view || view->viewport() != w || view->objectName() != QLatin1String(grid)
        || view->model()->rowCount() <= rows)
        return false;
    if (!without.isEmpty())
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c)
                if (view->model()->index(r, c).data().toString().contains(without))
                    return false;
    for (QWidget *p = view; *window && p; p = p->parentWidget())
        if (p->objectName() == QString::fromUtf8(window))
            return true;
    return !*window;
}

bool labelPainted(QWidget *w, const char *name, const QString &with)
{
    auto *label = qobject_cast<QLabel *>(w);
    return label && label->objectName() == QLatin1String(name) && label->text().contains(with);
}

QWidget *openWindow(MainFrm &frame, const char *className)
{
    frame.openCommand(qs(className))->trigger();
    QMdiSubWindow *sub = frame.childWindow(qs(className));
    return sub ? sub->widget() : nullptr;
}

// A book of 100 tickets: 50 over the whole history, 50 for the next draw.
bool addTickets(MainFrm &frame)
{
    std::vector<Ticket> tickets;
    const int latest = frame.document().totals().latestDrawNo;
    for (int i = 0; i < 100; ++i) {
        Ticket t;
        for (int k = 0; k < MainNumberCount; ++k)
            t.numbers[static_cast<std::size_t>(k)] = 1 + (i + 7 * k) % HighestNumber;
        std::sort(t.numbers.begin(), t.numbers.end());
        t.firstDraw = i < 50 ? 1 : latest + 1;
        t.draws = i < 50 ? latest : 1;
        tickets.push_back(t);
    }
    return frame.document().addTickets(tickets).ok();
}

// A copy of `db` without its stored estimates: the program makes one as it starts.
QString copyWithoutEstimate(const QString &db, const QString &copy)
{
    QFile::remove(copy);
    QFile::copy(db, copy);
    Database d;
    if (!d.open(copy.toStdString()) || !d.exec("DELETE FROM 人気度推定"))
        std::fprintf(stderr, "popularitywindows: %s keeps its estimate\n", qPrintable(copy));
    return copy;
}

struct Figures
{
    std::vector<qint64> open, evaluate, pick, bookTab, toggle;
};

// One run of every window figure on a fresh main window over `db`.
bool windowRun(const std::string &db, bool stored, Figures &out)
{
    MainFrm frame;
    if (!frame.startUp(db, BUNDLED_HISTORY))
        return false;
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return false;
    PopularitySource &source = frame.document().popularity();
    if (stored) {
        // As in the program, a while after start-up: the stored estimate has been read.
        QSignalSpy ready(&source, &PopularitySource::ready);
        if (source.pending() && !ready.wait(60000))
            return false;
    }
    // 計算中… while the estimate is being made; the values once it has come.
    const QString pending = QStringLiteral("計算中");
    auto shown = [&](const char *window, const char *grid, int rows) {
        return [&, window, grid, rows](QWidget *w) {
            return stored ? gridPainted(w, window, grid, rows, pending)
                          : gridPainted(w, window, grid, 0);
        };
    };
    // The window's values, or its line saying 計算中….
    auto valuesOrPending = [&](QWidget *w) {
        return stored ? gridPainted(w, windowclass::Popularity, "gridPopularity", 1, pending)
                      : labelPainted(w, "lblStatus", pending);
    };
    out.open.push_back(
        timeToPaint([&] { openWindow(frame, windowclass::Popularity); }, valuesOrPending));
    auto *evaluate = frame.findChild<QPushButton *>(QStringLiteral("cmdEvaluate"));
    if (stored) {
        out.evaluate.push_back(timeToPaint([&] { evaluate->click(); }, valuesOrPending));
    } else { // the line says 計算中… already: nothing changes to paint
        QElapsedTimer timer;
        timer.start();
        evaluate->click();
        QApplication::processEvents();
        out.evaluate.push_back(timer.elapsed());
    }

    auto *design = qobject_cast<DesignWindow *>(openWindow(frame, windowclass::Design));
    QApplication::processEvents();
    if (stored) {
        design->leastPopularBox()->setChecked(true);
        design->leastPopularPercent()->setValue(10);
    }
    design->findChild<QSpinBox *>(QStringLiteral("spnPickCount"))->setValue(5);
    QTest::qWait(400); // the count of the new conditions is shown before the button is pressed
    out.pick.push_back(timeToPaint([&] { design->pickButton()->click(); },
        [&](QWidget *w) {
            return !design->busy() && gridPainted(w, windowclass::Design, "grdTickets", 1)
                && (!stored || design->ticketGrid()->model()->rowCount() == 10);
        }));

    QWidget *book = openWindow(frame, windowclass::Tickets);
    auto *tabs = book->findChild<QTabWidget *>();
    auto *grid = book->findChild<SheetView *>(QStringLiteral("gridPopularity"));
    out.bookTab.push_back(timeToPaint(
        [&] { tabs->setCurrentWidget(grid); }, shown(windowclass::Tickets, "gridPopularity", 1)));

    // Five windows: these three, the prediction window and 出現回数.
    openWindow(frame, findAnalysis("frequency")->className.data());
    auto *prediction = qobject_cast<PredictionWindow *>(openWindow(frame, windowclass::Prediction));
    QApplication::processEvents();
    QAbstractButton *toggle = prediction->ignoreButton(0)->isChecked()
        ? static_cast<QAbstractButton *>(prediction->reflectButton(0))
        : prediction->ignoreButton(0);
    out.toggle.push_back(timeToPaint([&] { toggle->click(); },
        [&](QWidget *w) {
            return labelPainted(w, "lblPopularity", stored ? QStringLiteral("円") : QString());
        }));
    frame.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    return true;
}

qint64 median(std::vector<qint64> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void printFigures(const char *when, const Figures &f)
{
    std::printf("%s\n", when);
    std::printf("  人気度と期待値 opened        %6lld ms  (target 150)\n",
        static_cast<long long>(median(f.open)));
    std::printf("  人気度と期待値 計算          %6lld ms  (target 150)\n",
        static_cast<long long>(median(f.evaluate)));
    std::printf("  条件から選ぶ 5, least 10%%    %6lld ms  (target 500)\n",
        static_cast<long long>(median(f.pick)));
    std::printf("  ticket book 人気度と期待値 tab %6lld ms  (target 200)\n",
        static_cast<long long>(median(f.bookTab)));
    std::printf("  switch toggled, 5 windows    %6lld ms  (target 150)\n",
        static_cast<long long>(median(f.toggle)));
}

// In a process of its own: start-up until the main window (bare: a QMainWindow with an MDI
// area and a menu) and then the prediction window's tables are painted. Prints both in ms.
int startupChild(const QString &mode, const QString &db)
{
    QElapsedTimer timer;
    timer.start();
    int argc = 1;
    char name[] = "startup";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (mode == QLatin1String("bare")) {
        QMainWindow window;
        auto *area = new QMdiArea(&window);
        window.setCentralWidget(area);
        window.menuBar()->addMenu(QStringLiteral("ファイル"));
        window.statusBar()->showMessage(QStringLiteral("準備完了"));
        window.resize(1366, 768);
        timeToPaint([&] { window.show(); }, [&](QWidget *w) { return w == area->viewport(); });
        const auto ms = static_cast<long long>(timer.elapsed());
        std::printf("%lld %lld\n", ms, ms);
        return 0;
    }
    PopularitySource::setInBackground(true);
    MainFrm frame;
    PredictionWindow::openOnActivation(frame);
    qint64 main = -1;
    timeToPaint(
        [&] {
            frame.startUp(db.toStdString(), BUNDLED_HISTORY);
            timeToPaint([&] { frame.show(); },
                [&](QWidget *w) { return w == frame.mdiArea()->viewport(); });
            main = timer.elapsed();
            frame.activateWindow();
        },
        [](QWidget *w) { return gridPainted(w, windowclass::Prediction, "fpSpread1", 1); });
    std::printf(
        "%lld %lld\n", static_cast<long long>(main), static_cast<long long>(timer.elapsed()));
    return 0;
}

// Wall milliseconds of a start-up child and its own two figures.
struct Startup
{
    qint64 wall = -1, main = -1, tables = -1;
};

Startup runStartup(const QString &mode, const QString &db)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup"), mode, db});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return {};
    Startup s;
    s.wall = timer.elapsed();
    const QStringList f = QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
    if (f.size() == 2) {
        s.main = f[0].trimmed().toLongLong();
        s.tables = f[1].trimmed().toLongLong();
    }
    return s;
}

void startupFigures(const QTemporaryDir &dir, const QString &stored, int runs)
{
    std::vector<qint64> bare, withEstimate, making, bareWall, appWall, mainPaint;
    for (int i = 0; i < runs; ++i) {
        const Startup b = runStartup(QStringLiteral("bare"), stored);
        const Startup a = runStartup(QStringLiteral("app"), stored);
        // A database of its own each time, so that the estimate is made during start-up.
        const QString fresh
            = copyWithoutEstimate(stored, dir.filePath(QStringLiteral("fresh%1.db").arg(i)));
        const Startup m = runStartup(QStringLiteral("app"), fresh);
        bare.push_back(b.main);
        bareWall.push_back(b.wall);
        appWall.push_back(a.wall);
        mainPaint.push_back(a.main);
        withEstimate.push_back(a.tables);
        making.push_back(m.tables);
    }
    std::printf("start-up, each in a process of its own (in-process figures from QApplication)\n");
    std::printf("  bare Qt MDI window painted    %6lld ms  (process %lld ms)\n",
        static_cast<long long>(median(bare)), static_cast<long long>(median(bareWall)));
    std::printf(
        "  main window painted           %6lld ms\n", static_cast<long long>(median(mainPaint)));
    std::printf("  prediction tables painted     %6lld ms  (process %lld ms, %.2fx bare)\n",
        static_cast<long long>(median(withEstimate)), static_cast<long long>(median(appWall)),
        static_cast<double>(median(appWall)) / static_cast<double>(median(bareWall)));
    std::printf(
        "  ... while the estimate is made %5lld ms\n", static_cast<long long>(median(making)));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::string_view(argv[1]) == "--startup")
        return startupChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QTemporaryDir home;
    // Nothing of the user's: the session and settings go to a private home.
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString db = home.filePath(QStringLiteral("bench.db"));
    {
        // The database with the bundled history, its payouts, a book and the stored estimate.
        PopularitySource::setInBackground(true);
        MainFrm frame;
        QSignalSpy ready(&frame.document().popularity(), &PopularitySource::ready);
        if (!frame.startUp(db.toStdString(), BUNDLED_HISTORY) || !addTickets(frame)
            || (frame.document().popularity().pending() && !ready.wait(120000))) {
            std::fprintf(stderr, "popularitywindows: the database could not be made\n");
            return 1;
        }
    }
    Figures stored, making;
    const bool windows = argc < 3 || std::string_view(argv[2]) != "startup";
    for (int i = 0; windows && i < runs; ++i) {
        const QString fresh
            = copyWithoutEstimate(db, home.filePath(QStringLiteral("making%1.db").arg(i)));
        if (!windowRun(db.toStdString(), true, stored)
            || !windowRun(fresh.toStdString(), false, making)) {
            std::fprintf(stderr, "popularitywindows: a window did not paint\n");
            return 1;
        }
    }
    if (windows) {
        printFigures("with the estimate stored", stored);
        printFigures("while the estimate is being made (計算中… painted)", making);
    }
    startupFigures(home, db, runs);
    return 0;
}
