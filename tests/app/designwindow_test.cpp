#include "document/historydocument.h"
#include "document/popularitysource.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "tickets/ticketbook.h"
#include "views/chartview.h"
#include "views/sheetview.h"
#include "windows/designwindow.h"
#include "windows/predictionwindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

using namespace Qt::StringLiterals;
using namespace loto6;

class DesignWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void countsLiveAndTellsBadInput();
    void wheelsOnAWorkerAndAddsToTheBook();
    void cancelStopsASearch();
    void picksTheLeastPopularInOrder();
    void addedTicketsReachTheOpenBookAndChart();

private:
    DesignWindow *open(MainFrm &frame, const QTemporaryDir &dir);
};

DesignWindow *DesignWindowTest::open(MainFrm &frame, const QTemporaryDir &dir)
{
    auto dialogs = RecordingDialogs::make();
    dialogs->intercept = [](const Dialogs::Message &m) {
        qWarning("unexpected message: %s", qPrintable(m.text));
        return std::optional<QMessageBox::StandardButton>(QMessageBox::Ok);
    };
    frame.setDialogs(dialogs);
    if (!frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY))
        return nullptr;
    frame.setPropEnd(true);
    QAction *command = frame.openCommand(QString::fromUtf8(windowclass::Design));
    if (!frame.findChild<QMenu *>(u"mnuHosyu"_s)->actions().contains(command))
        return nullptr;
    command->trigger();
    QMdiSubWindow *sub = frame.childWindow(QString::fromUtf8(windowclass::Design));
    return sub ? qobject_cast<DesignWindow *>(sub->widget()) : nullptr;
}

void DesignWindowTest::countsLiveAndTellsBadInput()
{
    QTemporaryDir dir;
    MainFrm frame;
    DesignWindow *window = open(frame, dir);
    QVERIFY(window);
    QVERIFY(window->countLabel()->text().contains(u"6,096,454</b>"_s));
    // Both tables show their headings before anything is picked.
    QCOMPARE(window->ticketGrid()->model()->rowCount(), 1);
    QCOMPARE(window->oddsGrid()->model()->rowCount(), 1);
    // Three odd numbers: C(22,3) x C(21,3) combinations.
    window->findChild<QCheckBox *>(u"chkRange1"_s)->setChecked(true);
    window->findChild<QSpinBox *>(u"spnLow1"_s)->setValue(3);
    window->findChild<QSpinBox *>(u"spnHigh1"_s)->setValue(3);
    QTRY_VERIFY(window->countLabel()->text().contains(u"2,048,200"_s));
    auto *include = window->findChild<QLineEdit *>(u"txtInclude"_s);
    include->setText(u"7,44"_s);
    QTRY_VERIFY(window->countLabel()->text().contains(u"「44」は1〜43の数字ではありません"_s));
    QVERIFY(!window->pickButton()->isEnabled());
    include->setText(u"7"_s);
    window->findChild<QLineEdit *>(u"txtExclude"_s)->setText(u"7"_s);
    QTRY_VERIFY(window->countLabel()->text().contains(u"両方"_s));
    window->findChild<QLineEdit *>(u"txtExclude"_s)->clear();
    QTRY_VERIFY(window->pickButton()->isEnabled());
    window->pickButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 20000);
    // While the estimate is still being made, each ticket says so where its popularity comes.
    if (frame.document().popularity().pending()) {
        QCOMPARE(window->ticketGrid()->model()->columnCount(), 8);
        QCOMPARE(window->ticketGrid()->model()->index(1, 7).data().toString(), u"計算中…"_s);
    }
    // Five tickets between the heading and the average ticket's popularity and yen, the
    // average bought ticket's and the two conditions, once the document's estimate has come.
    QTRY_COMPARE_WITH_TIMEOUT(window->ticketGrid()->model()->rowCount(), 10, 300000);
    QCOMPARE(window->ticketGrid()->model()->index(6, 0).data().toString(), u"平均的な券"_s);
    QCOMPARE(window->ticketGrid()->model()->index(8, 0).data().toString(), u"条件：販売額"_s);
    for (int row = 1; row < 6; ++row) {
        int odd = 0;
        bool seven = false;
        for (int col = 1; col <= 6; ++col) {
            const int n = window->ticketGrid()->model()->index(row, col).data().toInt();
            odd += n % 2;
            seven = seven || n == 7;
        }
        QCOMPARE(odd, 3);
        QVERIFY(seven);
    }
    // A refusal names its facts in Japanese: one combination holds all six, not five tickets.
    include->setText(u"1,2,3,4,5,6"_s);
    window->findChild<QCheckBox *>(u"chkRange1"_s)->setChecked(false);
    window->pickButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 20000);
    QCOMPARE(window->findChild<QLabel *>(u"lblStatus"_s)->text(),
        u"条件に合う組合せは 1 通りだけで、5口は選べません。口数を減らしてください。"_s);
    // The prediction window leads here too.
    frame.openCommand(QString::fromUtf8(windowclass::Prediction))->trigger();
    QVERIFY(frame.findChild<QPushButton *>(u"cmdDesign"_s));
}

void DesignWindowTest::wheelsOnAWorkerAndAddsToTheBook()
{
    QTemporaryDir dir;
    MainFrm frame;
    DesignWindow *window = open(frame, dir);
    QVERIFY(window);
    auto *pool = window->findChild<QLineEdit *>(u"txtWheelPool"_s);
    pool->setText(u"3, 9, 9, 14, 22, 27"_s);
    window->wheelButton()->click();
    QVERIFY(!window->busy());
    QCOMPARE(window->findChild<QLabel *>(u"lblStatus"_s)->text(),
        u"ホイールの数字に 9 が2回あります。"_s);
    pool->setText(u"3, 9, 14, 22, 27, 31, 38, 41"_s);
    window->findChild<QSpinBox *>(u"spnWin"_s)->setValue(5);
    window->findChild<QSpinBox *>(u"spnIf"_s)->setValue(5);
    // A ticked condition the wheel does not use is named with the tickets that miss it.
    window->findChild<QCheckBox *>(u"chkRange0"_s)->setChecked(true);
    window->findChild<QSpinBox *>(u"spnLow0"_s)->setValue(100);
    window->findChild<QSpinBox *>(u"spnHigh0"_s)->setValue(150);
    const int paneWidth = window->findChild<QGroupBox *>()->parentWidget()->width();
    window->wheelButton()->setFocus();
    window->wheelButton()->click();
    QVERIFY(window->busy());
    QVERIFY(window->cancelButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 30000);
    // The heading, 12, the average, the average bought ticket and the two conditions (once the
    // estimate has come).
    QTRY_COMPARE_WITH_TIMEOUT(window->ticketGrid()->model()->rowCount(), 17, 300000);
    // The size beside the best known size and the lower bound, with the gap.
    QVERIFY2(window->findChild<QLabel *>(u"lblStatus"_s)
                 ->text()
                 .contains(u"最良既知 12 口、下限 12 口（最良既知と同じ、最小と証明済み）"_s),
        qPrintable(window->findChild<QLabel *>(u"lblStatus"_s)->text()));
    const QString status = window->statusLabel()->text();
    QVERIFY2(status.contains(u"注意: ホイールはチェックした条件（合計 100〜150）を使いません。"
                             "12口のうち"_s),
        qPrintable(status));
    QVERIFY2(status.contains(u"口が条件に合いません（例: "_s), qPrintable(status));
    // The focus is back on the button pressed; the messages did not widen the left pane.
    QCOMPARE(window->focusWidget(), window->wheelButton());
    QCOMPARE(window->findChild<QGroupBox *>()->parentWidget()->width(), paneWidth);
    // The odds read as a player says them.
    QVERIFY2(window->oddsGrid()->model()->index(1, 1).data().toString().endsWith(u"分の1"_s),
        qPrintable(window->oddsGrid()->model()->index(1, 1).data().toString()));
    QCOMPARE(window->oddsGrid()->model()->index(1, 0).data().toString(), u"1等"_s);
    window->addButton()->click();
    Database db;
    QVERIFY(db.open(frame.document().database().path()));
    std::vector<Ticket> tickets;
    QVERIFY(TicketBook(db).tickets(tickets));
    QCOMPARE(tickets.size(), std::size_t{12});
    QCOMPARE(tickets.front().firstDraw, frame.document().totals().latestDrawNo + 1);
    QCOMPARE(QString::fromStdString(tickets.front().memo),
        u"ホイール（5個出れば5個以上当たる保証、数字 3,9,14,22,27,31,38,41）"_s);
    QCOMPARE(tickets.front().source, Ticket::Source::Designed);
}

void DesignWindowTest::cancelStopsASearch()
{
    QTemporaryDir dir;
    MainFrm frame;
    DesignWindow *window = open(frame, dir);
    QVERIFY(window);
    window->findChild<QLineEdit *>(u"txtWheelPool"_s)
        ->setText(u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"_s);
    window->findChild<QSpinBox *>(u"spnWin"_s)->setValue(4);
    window->findChild<QSpinBox *>(u"spnIf"_s)->setValue(5);
    QElapsedTimer clock;
    clock.start();
    window->wheelButton()->click();
    // Conditions made wrong meanwhile are counted at once; the end of the search leaves
    // 条件から選ぶ as that count says, and a mended condition opens it again.
    auto *include = window->findChild<QLineEdit *>(u"txtInclude"_s);
    include->setText(u"44"_s);
    QTest::qWait(300);
    QVERIFY(window->busy());
    QVERIFY(window->countLabel()->text().contains(u"「44」"_s));
    window->cancelButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 10000);
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(window->wheelButton()->isEnabled());
    QVERIFY(!window->pickButton()->isEnabled());
    include->setText(u"7"_s);
    QTRY_VERIFY(window->pickButton()->isEnabled());
}

void DesignWindowTest::picksTheLeastPopularInOrder()
{
    QTemporaryDir dir;
    MainFrm frame;
    DesignWindow *window = open(frame, dir);
    QVERIFY(window);
    // The bundled payouts hold sales: the choice opens once the document's estimate has come.
    QTRY_VERIFY_WITH_TIMEOUT(window->leastPopularBox()->isEnabled(), 300000);
    window->leastPopularPercent()->setValue(1);
    window->leastPopularBox()->setChecked(true);
    // The least popular 1% less the pattern tickets, unless they are asked for.
    QTRY_VERIFY(window->countLabel()->text().contains(u"54,831</b>"_s));
    window->includePatternsBox()->setChecked(true);
    QTRY_VERIFY(window->countLabel()->text().contains(u"60,964</b>"_s));
    window->includePatternsBox()->setChecked(false);
    QTRY_VERIFY(window->countLabel()->text().contains(u"54,831</b>"_s));
    window->sortByPopularityBox()->setChecked(true);
    window->pickButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 30000);
    QAbstractItemModel *grid = window->ticketGrid()->model();
    QCOMPARE(grid->rowCount(), 10);
    // Below the drawn combinations the model was tested on: each one says it is extrapolated.
    QCOMPARE(grid->index(1, 14).data().toString(), u"検証範囲外（外挿）"_s);
    // 人気度 "×0.45": at most the 1% edge (about ×0.5), least popular first.
    double last = 0;
    for (int row = 1; row < 6; ++row) {
        const double r = grid->index(row, 7).data().toString().mid(1).toDouble();
        QVERIFY2(r > 0 && r < 0.6, qPrintable(grid->index(row, 7).data().toString()));
        QVERIFY(r >= last);
        last = r;
    }
    // Each ticket's own prizes: the expected return says so.
    bool own = false;
    for (const QLabel *label : window->findChildren<QLabel *>())
        own = own || label->text().contains(u"各組合せ自身の額"_s);
    QVERIFY(own);
}

// The designer writes through the document: the open ticket window and the open chart of the
// tickets show the book as it is now, another program's ticket written meanwhile included.
void DesignWindowTest::addedTicketsReachTheOpenBookAndChart()
{
    QTemporaryDir dir;
    MainFrm frame;
    DesignWindow *window = open(frame, dir);
    QVERIFY(window);
    frame.findChild<QAction *>(u"mnuGraph-tickets"_s)->trigger();
    auto *view = frame.findChild<ChartView *>(u"chartView"_s);
    QVERIFY(view);
    QVERIFY(view->chart().panels.empty());
    frame.action(u"mnuKonyuBango"_s)->trigger();
    auto *list = frame.findChild<SheetView *>(u"gridTickets"_s);
    QVERIFY(list);
    QCOMPARE(list->model()->rowCount(), 2); // the heading and the empty book's guidance
    {
        Database other;
        QVERIFY(other.open(frame.document().database().path()));
        std::vector<Ticket> past(1);
        past[0].numbers = {2, 8, 10, 13, 27, 30};
        past[0].firstDraw = 2100;
        past[0].draws = 40;
        QVERIFY(TicketBook(other).add(past));
    }
    QTRY_VERIFY(window->pickButton()->isEnabled());
    window->pickButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->busy(), 20000);
    window->addButton()->click();
    QCOMPARE(list->model()->rowCount(), 1 + 1 + 5);
    QVERIFY(!view->chart().panels.empty());
    const ChartSeries &spent = view->chart().panels[0].series[0];
    QCOMPARE(spent.x.size(), std::size_t{40});
    QCOMPARE(spent.y.back(), 40 * 200.0);
}

QTEST_MAIN(DesignWindowTest)
#include "designwindow_test.moc"
