#include "grid/sheetsearch.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "store/database.h"
#include "tickets/ticketbook.h"
#include "views/sheetfinder.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/chancewindow.h"
#include "windows/ticketwindow.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"
#include "ticketsupport.h"

using namespace loto6;
using namespace Qt::Literals::StringLiterals;

namespace {

// The main window on a fresh database from the bundled history, sized as on a screen of the
// given size less a panel, its messages collected.
struct Fixture
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    std::shared_ptr<RecordingDialogs> dialogs = recordTexts(messages);

    explicit Fixture(QSize screen)
    {
        frame.setDialogs(dialogs);
        if (!frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY))
            qFatal("cannot start on the bundled history");
        frame.setPropEnd(true);
        frame.setWindowState(Qt::WindowNoState);
        frame.resize(screen.width(), screen.height() - 28);
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame))
            qFatal("the main window was not shown");
    }
    QMdiSubWindow *open(const QString &className)
    {
        for (const ChildKind &kind : frame.kinds())
            if (kind.className == className)
                frame.action(kind.action)->trigger();
        QCoreApplication::processEvents();
        return frame.childWindow(className);
    }
};

// With LOTO6_TEST_PICTURES naming a folder, a picture of the window for a person to look at.
void savePicture(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("LOTO6_TEST_PICTURES");
    if (!folder.isEmpty())
        window->grab().save(folder + u'/' + name + u".png"_s);
}

// The largest visible grid or chart of a window.
QWidget *largestView(QWidget *window)
{
    QWidget *best = nullptr;
    for (auto *view : window->findChildren<QAbstractScrollArea *>())
        if (view->isVisible() && view->inherits("QAbstractItemView")
            && (!best || view->width() * view->height() > best->width() * best->height()))
            best = view;
    for (auto *chart : window->findChildren<QWidget *>())
        if (chart->isVisible() && chart->inherits("loto6::ChartView")
            && (!best || chart->width() * chart->height() > best->width() * best->height()))
            best = chart;
    return best;
}

} // namespace

class WindowSpaceTest : public QObject
{
    Q_OBJECT

private slots:
    void maximisedWindowsFillTheArea();
    void tablesNeedNoSidewaysBar();
    void goToADrawAndFindANumber();
    void wrappedVerdictIsWholeAt1366();
    void narrowWindowShowsItsNotesWhole();
};

// Maximised, a window's grid fills the area; back to normal, it has the size it opened with.
void WindowSpaceTest::maximisedWindowsFillTheArea()
{
    Fixture f({1920, 1080});
    const QSize area = f.frame.mdiArea()->viewport()->size();
    for (const ChildKind &kind : f.frame.kinds()) {
        // The prediction's grids keep their designed place on a page that scrolls; the
        // summary's tables, each as large as its cells, are on such a page too.
        if (kind.className == u"一発ズンベル予想"_s || kind.className == u"今回の結果"_s)
            continue;
        QMdiSubWindow *window = f.open(kind.className);
        QVERIFY2(window, qPrintable(kind.className));
        const QSize opened = window->size();
        // Every control shows whole: no window opens below its layout's minimum.
        QVERIFY2(
            opened.expandedTo(window->minimumSizeHint()) == opened, qPrintable(kind.className));
        window->showMaximized();
        QCoreApplication::processEvents();
        const QWidget *view = largestView(window);
        QVERIFY2(view, qPrintable(kind.className));
        savePicture(window, u"maximised-"_s + kind.className);
        QVERIFY2(view->width() > area.width() * 3 / 4 && view->height() > area.height() / 2,
            qPrintable(kind.className + u": "_s + QString::number(view->width()) + u"x"_s
                + QString::number(view->height())));
        window->showNormal();
        QCoreApplication::processEvents();
        QVERIFY2(window->size() == opened, qPrintable(kind.className));
        window->close();
        QCoreApplication::processEvents();
    }
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(u'\n')));
}

// The analyses whose table is about as wide as their window open wide enough for the table and
// its vertical scroll bar: no sideways bar with nothing to scroll.
void WindowSpaceTest::tablesNeedNoSidewaysBar()
{
    Fixture f({1920, 1080});
    for (const QString &name : {u"数字合計分析"_s, u"分割6データ分析"_s, u"回数別出現分析"_s}) {
        QMdiSubWindow *window = f.open(name);
        QVERIFY2(window, qPrintable(name));
        auto *grid = window->findChild<SheetView *>();
        QVERIFY(grid);
        QVERIFY2(grid->horizontalHeader()->length() <= grid->viewport()->width(),
            qPrintable(name + u": table "_s + QString::number(grid->horizontalHeader()->length())
                + u", room "_s + QString::number(grid->viewport()->width())));
        QVERIFY2(!grid->horizontalScrollBar()->isVisible(), qPrintable(name));
        window->close();
    }
}

void WindowSpaceTest::goToADrawAndFindANumber()
{
    Fixture f({1366, 768});
    QMdiSubWindow *window = f.open(u"数字合計分析"_s);
    QVERIFY(window);
    auto *grid = window->findChild<SheetView *>();
    SheetFinder *finder = grid->finder();
    f.dialogs->numbers = {100, 43};

    // Ctrl+G in the grid asks for the draw and moves there, scrolled into view.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
    QModelIndex at = grid->currentIndex();
    QCOMPARE(at.data().toString(), u"100"_s);
    QVERIFY(grid->viewport()->rect().intersects(grid->onScreenRect(at)));
    const int latest = f.frame.document().totals().latestDrawNo;
    QVERIFY(finder->goToDraw(latest));
    QCOMPARE(grid->currentIndex().data().toString(), QString::number(latest));
    QVERIFY(!finder->goToDraw(latest + 5));
    QCOMPARE(
        f.frame.statusBar()->currentMessage(), u"第%1回はこの表にありません。"_s.arg(latest + 5));

    // Ctrl+F finds the number after the current cell, then the next one.
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    at = grid->currentIndex();
    QCOMPARE(at.data().toString().toInt(), 43);
    QVERIFY(finder->findNumber(43));
    QVERIFY(grid->currentIndex() != at);
    QCOMPARE(grid->currentIndex().data().toString().toInt(), 43);
    // It answers with the draw and the column's heading, not a row and a column.
    const QString found = f.frame.statusBar()->currentMessage();
    const QString drawNo
        = grid->model()
              ->index(grid->currentIndex().row(), drawColumn(grid->sheetModel()->sheet()) - 1)
              .data()
              .toString();
    QVERIFY2(found.startsWith(u"43 が見つかりました（第%1回 "_s.arg(drawNo)), qPrintable(found));
    QVERIFY2(!found.contains(u"行目"_s), qPrintable(found));

    // A table without a draw column offers no Ctrl+G.
    auto *ticketWindow = f.open(QString::fromUtf8(windowclass::Tickets));
    QVERIFY(ticketWindow);
    auto *summary = qobject_cast<TicketWindow *>(ticketWindow->widget())->summaryGrid();
    summary->finder()->updateActions();
    QVERIFY(!summary->finder()->actions().front()->isEnabled());
    QVERIFY(summary->finder()->actions().back()->isEnabled());
}

// The ticket totals' verdict wraps below the table and is read whole in a window fitted into
// the main window of a 1366x768 screen.
void WindowSpaceTest::wrappedVerdictIsWholeAt1366()
{
    Fixture f({1366, 768});
    Database db;
    QVERIFY(db.open(f.frame.document().database().path()));
    std::vector<Ticket> tickets{test::ticket({2, 8, 10, 13, 27, 30}, 1, 500, 3)};
    QVERIFY(TicketBook(db).add(tickets));

    QMdiSubWindow *window = f.open(QString::fromUtf8(windowclass::Tickets));
    QVERIFY(window);
    auto *ticketWindow = qobject_cast<TicketWindow *>(window->widget());
    ticketWindow->findChild<QTabWidget *>()->setCurrentWidget(
        ticketWindow->summaryGrid()->parentWidget());
    QCoreApplication::processEvents();
    QVERIFY(f.frame.mdiArea()->viewport()->rect().contains(window->geometry()));
    QLabel *notes = ticketWindow->summaryNotes();
    QVERIFY(notes->isVisible());
    QVERIFY(notes->wordWrap());
    savePicture(window, u"ticket-summary-1366"_s);
    QVERIFY2(notes->text().size() > 40, qPrintable(notes->text()));
    QVERIFY(notes->height() >= notes->heightForWidth(notes->width()));
    const QRect shown(notes->mapTo(window, QPoint(0, 0)), notes->size());
    QVERIFY(window->rect().contains(shown));
    // Long enough to need wrapping.
    QVERIFY(notes->fontMetrics().horizontalAdvance(notes->text()) > notes->width());
}

// Tiled four side by side at 1366x768, the chance page's notes wrap to many lines: the label
// gets the height they need, the table gives it up.
void WindowSpaceTest::narrowWindowShowsItsNotesWhole()
{
    Fixture f({1366, 768});
    QMdiSubWindow *window = f.open(QString::fromUtf8(windowclass::Chance));
    QVERIFY(window);
    window->resize(333, 640);
    QCoreApplication::processEvents();
    auto *notes = window->widget()->findChild<QLabel *>(u"LabelNotes"_s);
    QVERIFY(notes && notes->isVisible());
    QVERIFY2(notes->height() >= notes->heightForWidth(notes->width()),
        qPrintable(QString::number(notes->height()) + u" < "_s
            + QString::number(notes->heightForWidth(notes->width()))));
}

QTEST_MAIN(WindowSpaceTest)
#include "windowspace_test.moc"
