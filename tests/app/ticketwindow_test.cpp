#include "bundledstart.h"
#include "commands/corereasons.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "store/historyfile.h"
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

    QAction *command = frame.openCommand(QString::fromUtf8(windowclass::Tickets));
    QVERIFY(frame.findChild<QMenu *>(u"mnuHosyu"_s)->actions().contains(command));
    command->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(windowclass::Tickets))->widget());
    QVERIFY(window);

    // Two pasted lines at once, one of them draw 1's numbers; a bad line stores neither.
    QVERIFY(!window->addLines(u"1 2 3 4 5 6\n1 2 3 4 5 44"_s));
    // The empty book says how to fill it.
    QCOMPARE(window->listGrid()->model()->rowCount(), 2);
    QVERIFY2(window->listGrid()->model()->index(1, 0).data().toString().startsWith(
                 u"購入番号はまだありません。"_s),
        qPrintable(window->listGrid()->model()->index(1, 0).data().toString()));
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

    // 基準回を指定 asks for the draw: cancelled, nothing changes; answered, the history is cut
    // there and 最新の回に戻す is offered.
    const std::size_t all = frame.document().history().size();
    auto &dialogs = static_cast<RecordingDialogs &>(frame.dialogs());
    frame.action(u"mnuKijunkai"_s)->trigger();
    QCOMPARE(dialogs.numberQuestions.size(), 1);
    QCOMPARE(frame.document().history().size(), all);
    QVERIFY(!items.last()->isEnabled());
    dialogs.number = 100;
    frame.action(u"mnuKijunkai"_s)->trigger();
    QCOMPARE(frame.document().history().size(), std::size_t(100));
    QCOMPARE(frame.document().totals().latestDrawNo, 100);
    QVERIFY(frame.findChild<QLabel *>(u"historyStatus"_s)->text().contains(u"基準回 第100回"_s));
    QVERIFY(items.last()->isEnabled());
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

    frame.openCommand(QString::fromUtf8(windowclass::Tickets))->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(windowclass::Tickets))->widget());
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
    frame.openCommand(QString::fromUtf8(windowclass::Tickets))->trigger();
    auto *window = frame.childWindow(QString::fromUtf8(windowclass::Tickets))->widget();
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

// The reasons the core gives, as the desktop shows them: each fact where the text names it,
// the place (file, line, column and its heading) first, a wrapped reason inside its wrapper.
void TicketWindowTest::coreReasonsInJapanese()
{
    const std::string header = "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,"
                               "ボーナス数字\n";
    HistoryFile file;
    std::array<int, MainNumberCount> numbers{};
    Ticket ticket;
    ticket.numbers = {1, 2, 3, 4, 5, 44};
    struct Case
    {
        const char *name;
        Status status;
        QString expected;
    };
    const Case cases[] = {
        {"csv_range", readHistoryBytes(header + "1,2020-01-02,44,2,3,4,5,6,7\n", file),
            u"2行目 3列目（「第1数字」）: 第1数字の「44」は1～43の数字ではありません"_s},
        {"csv_repeat", readHistoryBytes(header + "2,2020-01-02,5,2,3,4,5,6,7\n", file),
            u"2行目 7列目（「第5数字」）: 第5数字の 5 が2回あります（第1数字にも）。"
            u"数字はすべて異なる数にしてください"_s},
        {"csv_short_row", readHistoryBytes(header + "1,2020-01-02,1\n", file),
            u"2行目: セルが3個しかありません（見出しは9個）。行が途中で切れています"_s},
        {"signed_number", parseTicketNumbers("1 2 3 4 5 -6", numbers),
            u"「1 2 3 4 5 -6」に符号のついた数字があります。購入番号の数字は1～43の整数です"_s},
        {"ticket_range", validateTicket(ticket), u"数字 44 は1～43の範囲にありません"_s},
        {"in_file",
            inFile(atLine(Status::failure(Fault{.kind = FaultKind::DrawTwice, .draw = 7}), 4),
                "h.csv", true),
            u"h.csv: 4行目: 第7回が2回あります"_s},
        {"download",
            causedBy(Fault{.kind = FaultKind::DownloadFailed, .file = "http://h/"},
                Status::failure(Fault{.kind = FaultKind::HttpStatus, .value = "404"})),
            u"http://h/: ダウンロードできませんでした: サーバーの応答は 404 番でした。"
            u"アドレスを確かめるか、時間をおいてやり直してください"_s},
        {"unknown", Status::failure("something else"),
            u"処理を続けられませんでした（詳しい理由: something else）。"
            u"内容を確かめてからやり直してください"_s},
        // A reason without a kind is the core's, whatever its letters: never passed as Japanese.
        {"unknown_without_latin", Status::failure("第7回: 44"),
            u"処理を続けられませんでした（詳しい理由: 第7回: 44）。"
            u"内容を確かめてからやり直してください"_s},
        // A kind the desktop itself refuses with keeps its own Japanese.
        {"no_database", Status::failure(Fault{.kind = FaultKind::NoDatabaseOpen}),
            u"データベースが開かれていません。"_s},
    };
    for (const Case &c : cases)
        QVERIFY2(CoreReasons::japanese(c.status) == c.expected,
            qPrintable(QString::fromUtf8(c.name) + u": "_s + CoreReasons::japanese(c.status)));
}

// Each kind of failure the core gives as data reads in Japanese on the desktop: once the file
// name, the values and the names of encodings and schemes are taken out, no Latin word is left.
// The facts given reach the text.
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
        f.field = "第1数字";
        f.earlier = "第2数字";
        f.heading = "回数";
        f.line = 3;
        f.draw = 7;
        f.cause = std::make_shared<const Fault>(Fault{.kind = FaultKind::DrawTwice, .draw = 8});
        QVERIFY2(CoreReasons::hasText(f.kind), qPrintable(u"kind "_s + QString::number(k)));
        QString text = CoreReasons::japanese(Status::failure(f));
        // The command line's text may be Japanese itself (a text of the published program).
        const QString english = QString::fromStdString(englishText(f));
        QVERIFY2(!text.isEmpty() && (text != english || !latinWord.match(english).hasMatch()),
            qPrintable(u"kind "_s + QString::number(k)));
        for (const QString &fact : {QString::fromStdString(f.file), QString::fromStdString(f.value),
                 QString::fromStdString(f.detail), u"UTF-8"_s, u"Shift-JIS"_s, u"https://"_s,
                 u"http://"_s, u"PNG"_s, u"PDF"_s, u"CSV"_s})
            text.remove(fact);
        QVERIFY2(!latinWord.match(text).hasMatch(),
            qPrintable(u"kind "_s + QString::number(k) + u": "_s + text));
    }
    Fault damaged;
    damaged.kind = FaultKind::DatabaseDamaged;
    damaged.detail = "row 3 missing from index";
    QVERIFY(
        CoreReasons::japanese(Status::failure(damaged)).contains(u"row 3 missing from index"_s));
}

// After 追加 the next ticket starts afresh: 開始回 the next draw, one draw, no memo; the ticket
// just added shows its draws still to come as 未抽選.
void TicketWindowTest::addResetsTheEntryAndListsComingDraws()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    frame.openCommand(QString::fromUtf8(windowclass::Tickets))->trigger();
    auto *window = qobject_cast<TicketWindow *>(
        frame.childWindow(QString::fromUtf8(windowclass::Tickets))->widget());
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
