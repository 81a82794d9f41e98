#include "entryfixture.h"

#include <sqlite3.h>

// What the entry window writes to the database, and draws changed by another program meanwhile.
class EntryWriteTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsWrittenOnLeavingAndOnClose();
    void deletedRowsLeaveTheDatabase();
    void changingAStoredDrawAsksOncePerRow();
    void failedWriteKeepsTheTyping();
    void drawAddedElsewhereIsNotOverwrittenUnasked();
    void drawChangedOrDeletedElsewhereAsksFirst();
};

void EntryWriteTest::rowsWrittenOnLeavingAndOnClose()
{
    Fixture f;
    // Each write tells the main window at once, the window staying open.
    QSignalSpy written(f.window.data(), &EntryWindow::historyChanged);
    f.setCurrent(0, 1);
    QVERIFY(f.type(0, 1, u"40"_s));
    QVERIFY(f.window->isWindowModified());
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(1));
    f.setCurrent(0, 2); // same row: nothing written yet
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(1));
    QCOMPARE(written.size(), 0);
    f.setCurrent(1, 2);
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(40));
    QVERIFY(!f.window->isWindowModified());
    QCOMPARE(written.size(), 1);

    QCOMPARE(f.changeQuestions.size(), 1);

    // Emptying a number of a stored draw is not written; closing asks and No keeps the window.
    QVERIFY(f.type(1, 7, QString()));
    QSignalSpy changed(f.window.data(), &EntryWindow::historyChanged);
    QVERIFY(!f.window->close());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text,
        u"7つの数字がそろっていない行は保存されていません。破棄して閉じますか？"_s);
    QCOMPARE(f.storedField(2, 6), std::optional<long long>(14));
    QCOMPARE(changed.size(), 0);
    f.answers = {QMessageBox::Yes};
    QVERIFY(f.window->close());
    QCOMPARE(f.storedField(2, 6), std::optional<long long>(14));
    // Nothing more was written on the way out.
    QCOMPARE(changed.size(), 0);
}

void EntryWriteTest::deletedRowsLeaveTheDatabase()
{
    Fixture f;
    f.setCurrent(1, 1);
    f.answers = {QMessageBox::Yes};
    f.window->deleteLine();
    QCOMPARE(f.model()->rowCount(), 2);
    QVERIFY(!f.isStored(2));
    QCOMPARE(f.stored().size(), std::size_t(2));

    // An added row deleted before it was written never reaches the database.
    f.setCurrent(1, 1);
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(2), 6);
    f.window->deleteLine();
    QCOMPARE(f.model()->rowCount(), 2);
    QVERIFY(!f.isStored(6));
    QVERIFY(!f.window->isWindowModified());
}

void EntryWriteTest::failedWriteKeepsTheTyping()
{
    Fixture f;
    f.model()->database().setBusyTimeout(50);
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(f.path.toStdString().c_str(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    f.setCurrent(0, 1);
    f.type(0, 1, u"33"_s);
    f.setCurrent(1, 1);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QVERIFY2(f.messages[0].text.contains(u"ほかのプログラムが使っています"_s),
        qPrintable(f.messages[0].text));
    QCOMPARE(f.model()->index(0, 1).data().toString(), u"33"_s);
    QVERIFY(f.model()->isPending(0));
    QVERIFY(f.window->isWindowModified());

    // Still locked at close: the failure is shown and the window stays open on No.
    QVERIFY(!f.window->close());
    QCOMPARE(f.messages.size(), 3);
    QCOMPARE(f.messages[2].text, u"保存できなかった行があります。破棄して閉じますか？"_s);
    QCOMPARE(f.model()->index(0, 1).data().toString(), u"33"_s);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(f.window->closeAfterCheck());
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(33));
}

void EntryWriteTest::changingAStoredDrawAsksOncePerRow()
{
    Fixture f;
    f.changeAnswer = QMessageBox::No;
    f.setCurrent(0, 1);
    QVERIFY(!f.type(0, 1, u"40"_s));
    QCOMPARE(f.changeQuestions, QStringList{u"第1回の当選数字を変更します。よろしいですか？"_s});
    QCOMPARE(f.model()->index(0, 1).data().toString(), u"1"_s);
    QVERIFY(!f.model()->isPending(0));

    f.changeAnswer = QMessageBox::Yes;
    QVERIFY(f.type(0, 1, u"40"_s));
    QVERIFY(f.type(0, 2, u"41"_s));
    QCOMPARE(f.changeQuestions.size(), 2);
    f.setCurrent(1, 1);
    QCOMPARE(f.storedField(1, 1), std::optional<long long>(41));
    // Typing the value a cell already holds asks nothing.
    QVERIFY(f.type(1, 1, u"8"_s));
    QCOMPARE(f.changeQuestions.size(), 2);
}

void EntryWriteTest::drawAddedElsewhereIsNotOverwrittenUnasked()
{
    Fixture f;
    f.window->addLine();
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(3, c, QString::number(c + 10)));
    // The command line adds draw 6 while the window is open with its own draw 6 typed.
    storeElsewhere(f.path, [](Database &db) {
        return db.importDraws({draw(6, {31, 32, 33, 34, 35, 36, 37}, "2026-12-07")}, false);
    });

    f.setCurrent(0, 1); // leaving the row writes it, but asks first
    QCOMPARE(f.messages.size(), 1);
    const Dialogs::Message &asked = f.messages[0];
    QVERIFY2(asked.text.contains(u"別のプログラムで追加されています"_s), qPrintable(asked.text));
    QVERIFY(asked.text.contains(u"保存されている内容: 31 32 33 34 35 36 (37) 2026-12-07"_s));
    QVERIFY(asked.text.contains(u"このウィンドウの内容: 11 12 13 14 15 16 (17)"_s));
    QCOMPARE(asked.defaultButton, QMessageBox::No);
    // No keeps the other program's draw, and the grid now shows it.
    QCOMPARE(f.storedField(6, 0), std::optional<long long>(31));
    QCOMPARE(f.model()->index(3, 1).data().toString(), u"31"_s);
    QCOMPARE(f.model()->index(3, 8).data().toString(), u"2026-12-07"_s);
    QVERIFY(!f.model()->isPending(3));
    QVERIFY(!f.window->isWindowModified());
    // Closing writes nothing more and asks nothing more.
    QVERIFY(f.window->closeAfterCheck());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.storedField(6, 6), std::optional<long long>(37));
}

void EntryWriteTest::drawChangedOrDeletedElsewhereAsksFirst()
{
    Fixture f;
    // Draw 2 is changed by another program while the user changes it here; Yes writes the
    // window's numbers over it.
    f.setCurrent(1, 1);
    QVERIFY(f.type(1, 1, u"40"_s));
    storeElsewhere(f.path, [](Database &db) {
        return db.importDraws({draw(2, {20, 21, 22, 23, 24, 25, 26})}, false);
    });
    f.answers = {QMessageBox::Yes};
    f.setCurrent(0, 1);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].text.contains(u"別のプログラムで変更されています"_s));
    QVERIFY(f.messages[0].text.contains(u"保存されている内容: 20 21 22 23 24 25 (26)"_s));
    QVERIFY(f.messages[0].text.contains(u"このウィンドウの内容: 40 9 10 11 12 13 (14)"_s));
    QCOMPARE(f.storedField(2, 0), std::optional<long long>(40));
    QCOMPARE(f.storedField(2, 1), std::optional<long long>(9));

    // Draw 1 is deleted elsewhere while changed here; No takes its row out of the grid.
    QCOMPARE(f.grid()->currentIndex().row(), 0);
    QVERIFY(f.type(0, 2, u"41"_s));
    storeElsewhere(f.path, [](Database &db) { return db.deleteDraw(1); });
    f.setCurrent(1, 1);
    QCOMPARE(f.messages.size(), 2);
    QVERIFY(f.messages[1].text.contains(u"別のプログラムで削除されています"_s));
    QVERIFY(f.messages[1].text.contains(u"保存されている内容: なし"_s));
    QVERIFY(!f.isStored(1));
    QCOMPARE(f.model()->rowCount(), 2);
    QCOMPARE(f.model()->drawNumber(0), 2);

    // A draw nobody else touched is written without a question.
    f.setCurrent(1, 1);
    QVERIFY(f.type(1, 7, u"1"_s));
    f.setCurrent(0, 1);
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.storedField(5, 6), std::optional<long long>(1));
}

QTEST_MAIN(EntryWriteTest)
#include "entrywrite_test.moc"
