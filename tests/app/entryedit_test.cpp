#include "entryfixture.h"

#include "commands/corereasons.h"
#include "store/drawvalidation.h"

// Typing in the entry grid: new rows, the checks of each cell, proposed dates, pasting.
class EntryEditTest : public QObject
{
    Q_OBJECT

private slots:
    void addLine_data();
    void addLine();
    void newDrawNumber_data();
    void newDrawNumber();
    void farDrawNumberAsksAndNoKeepsTheNext();
    void addLineWithoutCurrentCellAppends();
    void emptyNewRowIsNeverStored();
    void decimalPointIsRefusedNotDropped();
    void repeatedNumbersAreWrong();
    void wrongCellNamesDrawAndColumn();
    void cellReasonIsTheCommonCheck();
    void proposedDate_data();
    void proposedDate();
    void typedDatesAreChecked();
    void paste_data();
    void paste();
    void pasteSeveralLinesAddsRows();
    void wrongCellReasonShownOnceEntered();
    void undoPutsTheLastEditBack();
};

void EntryEditTest::addLine_data()
{
    QTest::addColumn<int>("activeRow");
    QTest::addColumn<int>("newDrawNo");
    // Always at the end and numbered after the latest draw, whichever row is selected.
    QTest::newRow("on the last row") << 2 << 6;
    QTest::newRow("in the middle") << 1 << 6;
    QTest::newRow("on the first row") << 0 << 6;
}

void EntryEditTest::addLine()
{
    QFETCH(int, activeRow);
    QFETCH(int, newDrawNo);
    Fixture f;
    f.setCurrent(activeRow, 4);
    f.window->addLine();

    // Nothing is asked: an added row is written only once complete.
    QVERIFY(f.messages.isEmpty());

    const int added = 3;
    QCOMPARE(f.model()->rowCount(), 4);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(added, 1));
    QCOMPARE(f.model()->drawNumber(added), newDrawNo);
    for (int r = 0; r < added; ++r)
        QCOMPARE(f.model()->drawNumber(r), std::vector<int>({1, 2, 5})[std::size_t(r)]);
    for (int c = 1; c < 8; ++c)
        QVERIFY(f.model()->index(added, c).data().toString().isEmpty());
    // The unsaved row is marked after its 回数, as no row header repeats it.
    QCOMPARE(f.model()->index(added, 0).data().toString(), u"6*"_s);
    QCOMPARE(f.model()->index(added, 0).data(Qt::EditRole).toString(), u"6"_s);
    QVERIFY(f.grid()->verticalHeader()->isHidden());
    QVERIFY(f.window->isWindowModified());

    // A new row missing a number is not written, even when left.
    f.type(added, 1, u"30"_s);
    f.setCurrent(activeRow, 1);
    QVERIFY(!f.isStored(newDrawNo));
    QVERIFY(f.window->isWindowModified());
    QVERIFY(f.model()->index(added, 2).data(Qt::ToolTipRole).toString().contains(u"そろうまで"_s));
    // Complete, it is written when it is left.
    for (int c = 2; c <= 7; ++c)
        QVERIFY(f.type(added, c, QString::number(29 + c)));
    f.setCurrent(added, 1);
    f.setCurrent(activeRow, 1);
    QCOMPARE(f.storedField(newDrawNo, 0), std::optional<long long>(30));
    QCOMPARE(f.storedField(newDrawNo, 6), std::optional<long long>(36));
    QVERIFY(!f.window->isWindowModified());
    QVERIFY(!(f.model()->flags(f.model()->index(added, 0)) & Qt::ItemIsEditable));
}

void EntryEditTest::newDrawNumber_data()
{
    const QString notWhole = u"回数には1から999999999までの整数を入力してください。"_s;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<bool>("far");
    QTest::newRow("used") << u"5"_s << u"回数 5 はすでに使われています。"_s << false;
    QTest::newRow("zero") << u"0"_s << notWhole << false;
    QTest::newRow("empty") << QString() << notWhole << false;
    QTest::newRow("letters") << u"abc"_s << notWhole << false;
    QTest::newRow("beyond the limit")
        << u"1000000000"_s << u"回数が大きすぎます。回数は999999999までです。"_s << false;
    QTest::newRow("the next, as proposed") << u"6"_s << QString() << false;
    QTest::newRow("a gap below the latest") << u"3"_s << QString() << true;
    QTest::newRow("far above") << u"12"_s << QString() << true;
}

void EntryEditTest::newDrawNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    QFETCH(bool, far);
    Fixture f;
    f.setCurrent(0, 0);
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(3), 6);

    QCOMPARE(f.type(3, 0, text), refusal.isEmpty());
    QCoreApplication::processEvents();
    if (!refusal.isEmpty()) {
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].text, refusal);
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.model()->drawNumber(3), 6);
        return;
    }
    QCOMPARE(f.messages.size(), far ? 1 : 0);
    if (far)
        QCOMPARE(f.messages[0].text,
            u"第%1回は最新の第5回から離れています。よろしいですか？"_s.arg(text));
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(3, c, QString::number(c + 30)));
    f.setCurrent(0, 1);
    QVERIFY(f.isStored(text.toInt()));
    QCOMPARE(f.stored().size(), std::size_t(4));
}

void EntryEditTest::farDrawNumberAsksAndNoKeepsTheNext()
{
    Fixture f;
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(3), 6);
    QVERIFY(!f.type(3, 0, u"20000"_s));
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"第20000回は最新の第5回から離れています。よろしいですか？"_s);
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    QCOMPARE(f.model()->drawNumber(3), 6);
}

void EntryEditTest::addLineWithoutCurrentCellAppends()
{
    Fixture f;
    f.grid()->setCurrentIndex({});
    f.window->addLine();
    QCOMPARE(f.model()->rowCount(), 4);
    QCOMPARE(f.model()->drawNumber(3), 6);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 1));
}

void EntryEditTest::emptyNewRowIsNeverStored()
{
    Fixture f;
    f.window->addLine();
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text,
        u"7つの数字がそろっていない行は保存されていません。破棄して閉じますか？"_s);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    QVERIFY(!f.isStored(6));
    f.answers = {QMessageBox::Yes};
    QVERIFY(f.window->closeAfterCheck());
    QVERIFY(!f.isStored(6));
    QCOMPARE(f.stored().size(), std::size_t(3));
}

void EntryEditTest::decimalPointIsRefusedNotDropped()
{
    Fixture f;
    QVERIFY(f.showActive());
    f.grid()->setFocus();
    f.setCurrent(0, 3);
    typeKeys(u"1.0\n"_s);
    QCOMPARE(f.model()->index(0, 3).data().toString(), u"1.0"_s);
    QVERIFY(f.model()->isWrong(0, 3));
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.storedField(1, 2), std::optional<long long>(3));
}

void EntryEditTest::repeatedNumbersAreWrong()
{
    Fixture f;
    QVERIFY(f.type(0, 2, u"1"_s));
    QVERIFY(f.type(1, 7, u"08"_s));
    QCOMPARE(f.model()->problemText(0, 2),
        u"第1回 第2数字: 1 は第1数字と同じです（1回の7つの数字はすべて異なります）"_s);
    QVERIFY(f.model()->isWrong(1, 7));
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.messages[0].text, u"結果マスタの数字に誤りがあります。"_s);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(0, 2));
    QCOMPARE(f.storedField(1, 1), std::optional<long long>(2));
    QCOMPARE(f.storedField(2, 6), std::optional<long long>(14));
}

void EntryEditTest::wrongCellNamesDrawAndColumn()
{
    Fixture f({draw(2141, {14, 15, 22, 32, 37, 41, 1}, "2026-09-28"),
        draw(2142, {2, 8, 10, 13, 27, 30, 39}, "2026-10-01")});
    QVERIFY(f.type(1, 3, u"44"_s));
    const QString problem = u"第2142回 第3数字: 44 は1～43の範囲外です"_s;
    QCOMPARE(f.model()->problemText(1, 3), problem);
    QVERIFY(f.model()->index(1, 3).data(Qt::ToolTipRole).toString().startsWith(problem));
    f.setCurrent(1, 3);
    QCOMPARE(f.window->statusLine()->text(), problem);
    f.setCurrent(0, 1); // another cell: the first wrong one is still named
    QCOMPARE(f.window->statusLine()->text(), problem);
}

// A cell is judged by the one check of a draw's numbers, and its reason is that check's
// Japanese text after the draw: whatever is typed, digits or not, as written.
void EntryEditTest::cellReasonIsTheCommonCheck()
{
    Fixture f;
    for (const QString &typed : {u"44"_s, u"0"_s, u"044"_s, u"1.5"_s, u"+5"_s, u"４"_s, u"x"_s,
             u"99999999999999999999"_s}) {
        QVERIFY(f.type(0, 3, typed));
        const std::array<std::string, 3> texts{"", "", typed.toStdString()};
        DrawFields fields;
        const Status common = readDrawFields(texts, DrawForm::Entry, 0, fields);
        QVERIFY2(!common, qPrintable(typed));
        QCOMPARE(f.model()->problemText(0, 3), u"第1回 "_s + CoreReasons::japanese(common));
        QVERIFY(f.model()->isWrong(0, 3));
    }
    // A repeat marks the later cell, with the earlier one named.
    QVERIFY(f.type(0, 3, u"1"_s));
    QCOMPARE(f.model()->problemText(0, 3),
        u"第1回 第3数字: 1 は第1数字と同じです（1回の7つの数字はすべて異なります）"_s);
    QVERIFY(f.model()->problemText(0, 1).isEmpty());
    QVERIFY(f.type(0, 3, u"43"_s));
    QVERIFY(!f.model()->isWrong(0, 3));
}

void EntryEditTest::proposedDate_data()
{
    QTest::addColumn<QString>("latestDate");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("thursday to monday") << u"2026-12-03"_s << u"2026-12-07"_s;
    QTest::newRow("monday to thursday") << u"2026-12-07"_s << u"2026-12-10"_s;
    QTest::newRow("across the year end") << u"2026-12-31"_s << u"2027-01-04"_s;
    QTest::newRow("thursdays only before april 2011") << u"2011-03-24"_s << u"2011-03-31"_s;
    QTest::newRow("latest without a date") << QString() << QString();
}

void EntryEditTest::proposedDate()
{
    QFETCH(QString, latestDate);
    QFETCH(QString, proposed);
    const std::string date = latestDate.toStdString();
    Fixture f({draw(1, {1, 2, 3, 4, 5, 6, 7}, "2001-01-04"),
        draw(2, {8, 9, 10, 11, 12, 13, 14}, date.c_str())});
    f.window->addLine();
    QCOMPARE(f.model()->index(2, DrawTableModel::DateColumn).data().toString(), proposed);
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(2, c, QString::number(c + 20)));
    f.setCurrent(0, 1);
    const auto draws = f.stored();
    QCOMPARE(draws.size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(draws[2].date), proposed);
    // The draw number's tip says where the draw came from.
    const QString tip = f.model()->index(2, 0).data(Qt::ToolTipRole).toString();
    QVERIFY2(tip.contains(u"第3回の取得元"_s) && tip.contains(u"当選データ入力（保存）"_s),
        qPrintable(tip));
}

void EntryEditTest::typedDatesAreChecked()
{
    Fixture f({draw(1, {1, 2, 3, 4, 5, 6, 7}, "2026-12-03")});
    f.window->addLine();
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(1, c, QString::number(c + 20)));
    const int date = DrawTableModel::DateColumn;
    QVERIFY(f.type(1, date, u"2026-02-30"_s));
    QCOMPARE(f.model()->problemText(1, date),
        u"第2回 抽選日: 2026-02-30 は日付ではありません（例 2026-12-07）"_s);
    QVERIFY(f.type(1, date, u"2026/12/1"_s));
    QCOMPARE(f.model()->problemText(1, date),
        u"第2回 抽選日: 2026-12-01 は前の第1回の抽選日 2026-12-03 より前です"_s);
    f.setCurrent(0, 1);
    QVERIFY(!f.isStored(2));
    QVERIFY(f.type(1, date, u"2026/12/7"_s));
    QCOMPARE(f.model()->index(1, date).data().toString(), u"2026-12-07"_s);
    QVERIFY(!f.model()->isWrong(1, date));
    f.setCurrent(1, 1);
    f.setCurrent(0, 1);
    QVERIFY(f.isStored(2));
}

void EntryEditTest::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("date");
    QTest::newRow("spaces, bonus in brackets") << u"02 08 10 13 27 30 (39)"_s << QString();
    QTest::newRow("commas") << u"2,8,10,13,27,30,39"_s << QString();
    QTest::newRow("spreadsheet cells") << u"2\t8\t10\t13\t27\t30\t39\r\n"_s << QString();
    QTest::newRow("full-width digits")
        << u"０２　０８　１０　１３　２７　３０　（３９）"_s << QString();
    QTest::newRow("draw number and date in front")
        << u"第6回 2026/12/07 02 08 10 13 27 30 (39)"_s << u"2026-12-07"_s;
    QTest::newRow("cells with draw number and date")
        << u"6\t2026-12-07\t2\t8\t10\t13\t27\t30\t39"_s << u"2026-12-07"_s;
    QTest::newRow("japanese date") << u"６　2026年12月7日　2 8 10 13 27 30 39"_s << u"2026-12-07"_s;
}

void EntryEditTest::paste()
{
    QFETCH(QString, text);
    QFETCH(QString, date);
    Fixture f;
    f.window->addLine();
    f.window->paste(text);
    QCOMPARE(f.model()->rowCount(), 4);
    const std::vector<long long> expected{2, 8, 10, 13, 27, 30, 39};
    for (int field = 0; field < 7; ++field)
        QCOMPARE(f.storedField(6, field), std::optional<long long>(expected[std::size_t(field)]));
    QCOMPARE(QString::fromStdString(f.stored().back().date), date);
    QVERIFY(f.messages.isEmpty());
}

void EntryEditTest::pasteSeveralLinesAddsRows()
{
    Fixture f;
    f.window->paste(u"6\t2026-12-07\t1\t2\t3\t4\t5\t6\t7\n"
                    "7\t2026-12-10\t8\t9\t10\t11\t12\t13\t13\n"
                    "no result here\n"_s);
    QCoreApplication::processEvents();
    QCOMPARE(f.model()->rowCount(), 5);
    QVERIFY(f.isStored(6));
    QVERIFY(!f.isStored(7)); // a repeated number keeps the row back
    QVERIFY(f.model()->isWrong(4, 7));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].text.contains(u"3行目"_s));

    // Numbers alone over a stored draw ask first; No leaves it.
    f.changeAnswer = QMessageBox::No;
    f.setCurrent(0, 1);
    f.window->paste(u"11 12 13 14 15 16 17"_s);
    QCOMPARE(f.changeQuestions.size(), 1);
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(1));
    QCOMPARE(f.model()->index(0, 1).data().toString(), u"1"_s);
}

void EntryEditTest::wrongCellReasonShownOnceEntered()
{
    Fixture f;
    f.window->addLine();
    QCOMPARE(f.window->statusLine()->text(), u"第6回は7つの数字がそろうまで保存されません。"_s);
    // Enter commits the cell and moves on: the line names what is wrong with the cell just left.
    f.type(3, 1, u"44"_s);
    f.setCurrent(3, 2);
    QCOMPARE(f.window->statusLine()->text(), u"第6回 第1数字: 44 は1～43の範囲外です"_s);
    f.type(3, 2, u"9"_s);
    f.setCurrent(3, 3);
    QCOMPARE(f.window->statusLine()->text(), u"第6回 第1数字: 44 は1～43の範囲外です"_s);
    // Put right, the row is only incomplete again.
    f.type(3, 1, u"8"_s);
    QCOMPARE(f.window->statusLine()->text(), u"第6回は7つの数字がそろうまで保存されません。"_s);
}

// Ctrl+Z in the grid puts the last edited cell back, one edit at a time, and a draw written
// meanwhile is written again when its row is left.
void EntryEditTest::undoPutsTheLastEditBack()
{
    Fixture f;
    auto *undo = f.window->findChild<QAction *>(u"actUndo"_s);
    QVERIFY(undo);
    QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(f.grid()->actions().contains(undo));
    f.setCurrent(1, 3);
    QVERIFY(f.type(1, 3, u"40"_s));
    QVERIFY(f.type(1, 4, u"41"_s));
    f.setCurrent(0, 1); // leaving the row writes it
    QCOMPARE(f.storedField(2, 3), std::optional<long long>(41));

    undo->trigger();
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 4));
    QCOMPARE(f.model()->index(1, 4).data().toString(), u"11"_s);
    QCOMPARE(f.window->statusLine()->text(), u"第2回の第4数字を元に戻しました。"_s);
    undo->trigger();
    QCOMPARE(f.model()->index(1, 3).data().toString(), u"10"_s);
    f.setCurrent(0, 1);
    QCOMPARE(f.storedField(2, 2), std::optional<long long>(10));
    QCOMPARE(f.storedField(2, 3), std::optional<long long>(11));
    undo->trigger();
    QCOMPARE(f.window->statusLine()->text(), u"元に戻す入力はありません。"_s);
    QCOMPARE(f.model()->index(1, 3).data().toString(), u"10"_s);
}

QTEST_MAIN(EntryEditTest)
#include "entryedit_test.moc"
