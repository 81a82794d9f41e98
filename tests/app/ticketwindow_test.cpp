#include "bundledstart.h"
#include "commands/corereasons.h"
#include "shell/mainfrm.h"
#include "tickets/ticketbook.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/ticketwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
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
    void refusedLinesAreToldInJapanese();
    void coreReasonsInJapanese();
    void everyFaultKindHasJapaneseText();
    void addResetsTheEntryAndListsComingDraws();
};

void TicketWindowTest::addsGradesAndChecksTickets()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
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
    const QString summary = window->summaryNotes()->text();
    QVERIFY2(summary.contains(u"まだない"_s), qPrintable(summary));
    QVERIFY(window->summaryGrid()->isRowHidden(14));

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
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    const QList<QAction *> items = frame.findChild<QMenu *>(u"mnuMain"_s)->actions();
    QCOMPARE(items.last(), frame.action(u"mnuKijunkaiKaijo"_s));
    QVERIFY(!items.last()->isEnabled());

    const std::size_t all = frame.document().history().size();
    frame.document().setAsOf(100);
    QCOMPARE(frame.document().history().size(), std::size_t(100));
    QCOMPARE(frame.document().totals().latestDrawNo, 100);
    QVERIFY(frame.findChild<QLabel *>(u"historyStatus"_s)->text().contains(u"基準回 第100回"_s));
    frame.action(u"mnuKijunkaiKaijo"_s)->setEnabled(true);
    frame.action(u"mnuKijunkaiKaijo"_s)->trigger();
    QCOMPARE(frame.document().history().size(), all);
    QVERIFY(!frame.findChild<QLabel *>(u"historyStatus"_s)->text().contains(u"基準回"_s));
}

void TicketWindowTest::resultsMadeWhenTheirTabIsShown()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    Database db;
    QVERIFY(db.open(frame.document().database().path()));
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

// What the window says about a refused line is Japanese: no English word of the core's reason.
void TicketWindowTest::refusedLinesAreToldInJapanese()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    frame.action(QString::fromUtf8(TicketWindow::MenuAction))->trigger();
    auto *window = frame.childWindow(QString::fromUtf8(TicketWindow::ClassName))->widget();
    struct Case
    {
        QString name, lines, expected;
    };
    const Case cases[] = {
        {u"out_of_range"_s, u"1 2 3 4 5 44"_s, u"数字 44 は1～43の範囲にありません"_s},
        {u"twice"_s, u"1 1 2 3 4 5"_s, u"数字 1 が2回あります"_s},
        {u"too_few"_s, u"1 2 3"_s, u"「1 2 3」の数字は3個です"_s},
        {u"too_many"_s, u"1 2 3 4 5 6 7"_s, u"数字が7個以上あります"_s},
        {u"not_numbers"_s, u"a b c"_s, u"6個の数字ではありません"_s},
        {u"second_line"_s, u"1 2 3 4 5 6\n1 2 3 4 5 44"_s, u"2行目: 数字 44"_s},
        {u"nothing"_s, u" "_s, u"番号が入力されていません"_s},
    };
    static const QRegularExpression english(u"[A-Za-z]{3,}"_s);
    for (const Case &c : cases) {
        messages.clear();
        window->findChild<QPlainTextEdit *>(u"txtLines"_s)->setPlainText(c.lines);
        window->findChild<QPushButton *>(u"cmdAdd"_s)->click();
        QVERIFY2(messages.size() == 1, qPrintable(c.name));
        QVERIFY2(
            messages.front().contains(c.expected), qPrintable(c.name + u": "_s + messages.front()));
        QVERIFY2(
            !messages.front().contains(english), qPrintable(c.name + u": "_s + messages.front()));
    }
}

// The reasons an update or a ticket can end with, as the desktop shows them.
void TicketWindowTest::coreReasonsInJapanese()
{
    struct Case
    {
        const char *name;
        std::string reason;
        QString expected;
    };
    const Case cases[] = {
        {"http_status", "\"http://example.org/x\": download failed: the server answered HTTP 404",
            u"\"http://example.org/x\": ダウンロードできませんでした: サーバーの応答は HTTP 404 でした"_s},
        {"scheme",
            "\"ftp://x\": download failed: only http:// and https:// addresses can be downloaded",
            u"\"ftp://x\": ダウンロードできませんでした: 取得できるのは http:// か https:// のアドレスだけです"_s},
        {"short", "\"http://h/\": download failed: received 10 of 20 bytes",
            u"\"http://h/\": ダウンロードできませんでした: 20バイトのうち10バイトしか届いていません"_s},
        {"empty", "\"http://h/\": download failed: the server sent an empty file",
            u"\"http://h/\": ダウンロードできませんでした: サーバーから届いたファイルが空です"_s},
        {"locked",
            "h.db: the database is in use by another program (database is locked); close "
            "it there and try again",
            u"h.db: データベースをほかのプログラムが使っています。そちらを閉じてからやり直してください"_s},
        {"line_column", "f.csv: line 5, column 3: bad", u"f.csv: 5行目 3列目: bad"_s},
        {"ticket_line", "line 2: ticket number 44 is outside 1..43",
            u"2行目: 数字 44 は1～43の範囲にありません"_s},
        {"csv_range", "line 3, column 4: 44 is outside 1..43",
            u"3行目 4列目: 44 は1～43の範囲にありません"_s},
        {"csv_repeat",
            "line 3, column 9: draw 2 has 5 twice (also in 第1数字); a draw's seven numbers all "
            "differ",
            u"3行目 9列目: 第2回に 5 が2回あります（第1数字にも）。1回の7個の数字はすべて異なります"_s},
        {"csv_short_row", "line 4: 7 cells where the header has 9; the row is cut short",
            u"4行目: セルが7個しかありません（見出しは9個）。行が途中で切れています"_s},
        {"csv_date",
            "line 2, column 2: \"2020-02-30\" is not a date of the calendar (YYYY-MM-DD or "
            "YYYY/M/D)",
            u"2行目 2列目: \"2020-02-30\" は暦にある日付ではありません（YYYY-MM-DD か YYYY/M/D）"_s},
        {"csv_twice", "line 5, column 1: 回数 3 occurs twice (also on line 4)",
            u"5行目 1列目: 回数 3 が2回あります（4行目にも）"_s},
        {"official_repeat",
            "line 4: 第2数字: 5 occurs twice (also in 第1数字); a draw's seven numbers all differ",
            u"4行目: 第2数字: 5 が2回あります（第1数字にも）。1回の7個の数字はすべて異なります"_s},
        {"served_twice", "draw 7 occurs twice", u"第7回が2回あります"_s},
        {"signed_number",
            "\"1 2 3 4 5 -6\" has a signed number; a ticket number is a whole number from 1 to 43",
            u"「1 2 3 4 5 -6」に符号のついた数字があります。購入番号の数字は1～43の整数です"_s},
        {"folder_not_writable",
            "h.db: the folder /ro is not writable, so no change can be made safely "
            "(SQLite keeps its journal beside the database); make the folder writable or move "
            "the database to one that is",
            u"h.db: フォルダー /ro に書き込めないため、安全に変更できません（データベースと同じ"
            u"フォルダーに作業用のファイルを作ります）。フォルダーを書き込めるようにするか、書き込"
            u"める"
            u"フォルダーにデータベースを移してください"_s},
        {"unknown", "something else", u"something else"_s},
    };
    for (const Case &c : cases)
        QVERIFY2(CoreReasons::japanese(c.reason) == c.expected,
            qPrintable(QString::fromUtf8(c.name) + u": "_s + CoreReasons::japanese(c.reason)));
}

// Each kind of failure the core gives as data reads in Japanese on the desktop: once the file
// name, the values and the names of encodings are taken out, no Latin word is left. The facts
// given reach the text.
void TicketWindowTest::everyFaultKindHasJapaneseText()
{
    const QRegularExpression latinWord(u"[A-Za-z]{2,}"_s);
    for (int k = 1; k < static_cast<int>(FaultKind::Count); ++k) {
        Fault f;
        f.kind = static_cast<FaultKind>(k);
        f.file = "/tmp/Loto6Zumvel.db";
        f.value = "4294967301";
        f.limit = 99999;
        f.detail = "disk I/O error";
        QString text = CoreReasons::japanese(Status::failure(f));
        QVERIFY2(!text.isEmpty() && text != QString::fromStdString(englishText(f)),
            qPrintable(u"kind "_s + QString::number(k)));
        for (const QString &fact : {QString::fromStdString(f.file), QString::fromStdString(f.value),
                 QString::fromStdString(f.detail), u"UTF-8"_s, u"Shift-JIS"_s})
            text.remove(fact);
        QVERIFY2(!latinWord.match(text).hasMatch(),
            qPrintable(u"kind "_s + QString::number(k) + u": "_s + text));
    }
    Fault damaged;
    damaged.kind = FaultKind::DatabaseDamaged;
    damaged.detail = "row 3 missing from index";
    QVERIFY(
        CoreReasons::japanese(Status::failure(damaged)).contains(u"row 3 missing from index"_s));
    // A reason without a kind still goes through the text rules.
    QCOMPARE(
        CoreReasons::japanese(Status::failure("draw 7 occurs twice")), u"第7回が2回あります"_s);
}

// After 追加 the next ticket starts afresh: 開始回 the next draw, one draw, no memo; the ticket
// just added shows its draws still to come as 未抽選.
void TicketWindowTest::addResetsTheEntryAndListsComingDraws()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    frame.action(QString::fromUtf8(TicketWindow::MenuAction))->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(TicketWindow::ClassName))->widget());
    QVERIFY(window);
    auto *from = window->findChild<QSpinBox *>(u"spnFrom"_s);
    auto *draws = window->findChild<QSpinBox *>(u"spnDraws"_s);
    auto *units = window->findChild<QSpinBox *>(u"spnUnits"_s);
    auto *memo = window->findChild<QLineEdit *>(u"txtMemo"_s);
    const int next = frame.document().totals().latestDrawNo + 1;
    QCOMPARE(from->value(), next);

    from->setValue(next - 1);
    draws->setValue(3);
    units->setValue(2);
    memo->setText(u"いつもの番号"_s);
    QVERIFY(window->addLines(u"01 02 03 04 05 06"_s));
    QCOMPARE(from->value(), next);
    QCOMPARE(draws->value(), 1);
    QCOMPARE(memo->text(), QString());
    QCOMPARE(units->value(), 2);

    window->findChild<QTabWidget *>()->setCurrentWidget(window->resultsGrid());
    const QAbstractItemModel *results = window->resultsGrid()->model();
    QCOMPARE(results->rowCount(), 4);
    QCOMPARE(results->index(1, 1).data().toString(), u"第%1回"_s.arg(next - 1));
    QVERIFY(results->index(1, 10).data().toString() != u"未抽選"_s);
    for (int row = 2; row <= 3; ++row) {
        QCOMPARE(results->index(row, 1).data().toString(), u"第%1回"_s.arg(next + row - 2));
        QCOMPARE(results->index(row, 10).data().toString(), u"未抽選"_s);
    }
    QVERIFY(messages.isEmpty());
}

QTEST_MAIN(TicketWindowTest)
#include "ticketwindow_test.moc"
