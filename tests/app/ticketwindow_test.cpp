#include "mainfrm.h"
#include "sheetmodel.h"
#include "sheetview.h"
#include "tickets/ticketbook.h"
#include "ticketwindow.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace loto6;

class TicketWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void addsGradesAndChecksTickets();
    void asOfRebuildsOpenWindows();
    void resultsMadeWhenTheirTabIsShown();
};

void TicketWindowTest::addsGradesAndChecksTickets()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    frame.setMessageFunction(
        [&](QMessageBox::Icon, const QString &, const QString &text) { messages << text; });
    QVERIFY(frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    frame.setPropEnd(true);

    QAction *command = frame.action(QString::fromUtf8(TicketWindow::MenuAction));
    QVERIFY(frame.findChild<QMenu *>(u"mnuHosyu"_s)->actions().contains(command));
    command->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(TicketWindow::ClassName))->widget());
    QVERIFY(window);

    // Two pasted lines at once, one of them draw 1's numbers; a bad line stores neither.
    QVERIFY(!window->addLines(u"1 2 3 4 5 6\n1 2 3 4 5 44"_s));
    QCOMPARE(window->listGrid()->model()->rowCount(), 1);
    QVERIFY(window->addLines(u"02 08 10 13 27 30\n01 02 03 04 05 06"_s));
    QCOMPARE(window->listGrid()->model()->rowCount(), 3);

    // New tickets are for the next draw: nothing to grade yet, and the page says so.
    const QString summary = window->summaryGrid()->model()->index(14, 0).data().toString();
    QVERIFY2(summary.contains(u"まだない"_s), qPrintable(summary));

    QVERIFY(window->checkCombination(u"30 27 13 10 08 02"_s));
    QCOMPARE(window->checkGrid()->model()->index(1, 0).data().toString(), u"第1回"_s);
    QCOMPARE(window->checkGrid()->model()->index(1, 9).data().toString(), u"1等"_s);
    QVERIFY(!window->checkCombination(u"1 2 3"_s));

    window->listGrid()->setCurrentIndex(window->listGrid()->model()->index(1, 0));
    QVERIFY(window->removeCurrent());
    QCOMPARE(window->listGrid()->model()->rowCount(), 2);
    QVERIFY(messages.isEmpty());
}

void TicketWindowTest::asOfRebuildsOpenWindows()
{
    QTemporaryDir dir;
    MainFrm frame;
    frame.setMessageFunction([](QMessageBox::Icon, const QString &, const QString &) {});
    QVERIFY(frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    const QList<QAction *> items = frame.findChild<QMenu *>(u"mnuMain"_s)->actions();
    QCOMPARE(items.last(), frame.action(u"mnuKijunkaiKaijo"_s));
    QVERIFY(!items.last()->isEnabled());

    const std::size_t all = frame.history().size();
    frame.setAsOf(100);
    QCOMPARE(frame.history().size(), std::size_t(100));
    QCOMPARE(frame.totals().latestDrawNo, 100);
    QVERIFY(frame.findChild<QLabel *>(u"historyStatus"_s)->text().contains(u"基準回 第100回"_s));
    frame.action(u"mnuKijunkaiKaijo"_s)->setEnabled(true);
    frame.action(u"mnuKijunkaiKaijo"_s)->trigger();
    QCOMPARE(frame.history().size(), all);
    QVERIFY(!frame.findChild<QLabel *>(u"historyStatus"_s)->text().contains(u"基準回"_s));
}

void TicketWindowTest::resultsMadeWhenTheirTabIsShown()
{
    QTemporaryDir dir;
    MainFrm frame;
    frame.setMessageFunction([](QMessageBox::Icon, const QString &, const QString &) {});
    QVERIFY(frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    Database db;
    QVERIFY(db.open(frame.database().path()));
    Ticket first;
    first.numbers = {2, 8, 10, 13, 27, 30}; // draw 1
    first.firstDraw = 1;
    first.draws = 3;
    std::vector<Ticket> one{first};
    QVERIFY(TicketBook(db).add(one));

    frame.action(QString::fromUtf8(TicketWindow::MenuAction))->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(TicketWindow::ClassName))->widget());
    QVERIFY(window);
    QVERIFY(!window->resultsGrid()->model() || window->resultsGrid()->model()->rowCount() == 0);
    auto *tabs = window->findChild<QTabWidget *>();
    tabs->setCurrentWidget(window->resultsGrid());
    QCOMPARE(window->resultsGrid()->model()->rowCount(), 4);
    QCOMPARE(window->resultsGrid()->model()->index(1, 10).data().toString(), u"1等"_s);

    // While the tab is shown, a refresh shows the new book at once.
    one = {first};
    QVERIFY(TicketBook(db).add(one));
    window->refresh();
    QCOMPARE(window->resultsGrid()->model()->rowCount(), 7);
}

QTEST_MAIN(TicketWindowTest)
#include "ticketwindow_test.moc"
