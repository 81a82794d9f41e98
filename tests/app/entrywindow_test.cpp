#include "entry/drawtablemodel.h"
#include "entry/drawtableview.h"
#include "shell/twips.h"
#include "windows/entrywindow.h"

#include "store/database.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace loto6;
using namespace Qt::Literals::StringLiterals;

namespace {

DrawRecord draw(int no, std::initializer_list<long long> numbers, const char *date = "")
{
    DrawRecord r;
    r.drawNo = no;
    r.date = date;
    std::size_t i = 0;
    for (long long n : numbers)
        r.fields[i++] = n;
    return r;
}

// A database file in a temporary folder, and the window over it with its message boxes and
// pop-up menu answered by the test.
struct Fixture
{
    QTemporaryDir dir;
    QString path;
    QPointer<EntryWindow> window;
    QList<EntryWindow::Message> messages;
    QList<QMessageBox::StandardButton> answers; // for Yes/No questions, in order; No when empty
    // The answer to "change this stored draw?", kept apart from the other messages.
    QMessageBox::StandardButton changeAnswer = QMessageBox::Yes;
    QStringList changeQuestions;
    int popups = 0;

    explicit Fixture(
        const std::vector<DrawRecord> &draws = {draw(1, {1, 2, 3, 4, 5, 6, 7}),
            draw(2, {8, 9, 10, 11, 12, 13, 14}), draw(5, {15, 16, 17, 18, 19, 20, 21})})
        : path(dir.filePath(u"draws.db"_s))
    {
        sqlite3 *db = nullptr;
        sqlite3_open(path.toStdString().c_str(), &db);
        Database::createSchema(db);
        sqlite3_close(db);
        Database store;
        if (!store.open(path.toStdString()) || !store.importDraws(draws, true))
            qFatal("cannot prepare the test database");
        openWindow();
    }
    ~Fixture() { delete window.data(); }

    void openWindow()
    {
        window = new EntryWindow(path);
        window->setMessageFunction([this](const EntryWindow::Message &m) {
            if (m.text.endsWith(u"の当選数字を変更します。よろしいですか？"_s)) {
                changeQuestions.append(m.text);
                return changeAnswer;
            }
            messages.append(m);
            if (!(m.buttons & QMessageBox::Yes))
                return QMessageBox::Ok;
            return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
        });
        window->setPopupFunction([this](QMenu *, const QPoint &) { ++popups; });
    }

    DrawTableModel *model() const { return window->model(); }
    QTableView *grid() const { return window->grid(); }
    QPushButton *closeButton() const { return window->closeButton(); }
    void setCurrent(int row, int col) { grid()->setCurrentIndex(model()->index(row, col)); }
    bool type(int row, int col, const QString &text)
    {
        return model()->setData(model()->index(row, col), text);
    }

    std::vector<DrawRecord> stored() const
    {
        Database store;
        std::vector<DrawRecord> draws;
        if (!store.open(path.toStdString()) || !store.readDraws(draws))
            qFatal("cannot read the test database");
        return draws;
    }
    std::optional<long long> storedField(int drawNo, int field) const
    {
        for (const DrawRecord &r : stored())
            if (r.drawNo == drawNo)
                return r.fields[std::size_t(field)];
        return std::nullopt;
    }
    bool isStored(int drawNo) const
    {
        const auto draws = stored();
        return std::any_of(draws.begin(), draws.end(),
            [drawNo](const DrawRecord &r) { return r.drawNo == drawNo; });
    }
};

} // namespace

class EntryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void opensOverItsOwnConnection();
    void closeCheck_data();
    void closeCheck();
    void closeCheckStopsAtFirstWrongCellRowByRow();
    void addLine_data();
    void addLine();
    void noToEitherConfirmationChangesNothing();
    void popupOnlyOnDrawNumberOfSingleRowSelection();
    void rowsWrittenOnLeavingAndOnClose();
    void deletedRowsLeaveTheDatabase();
    void newDrawNumber_data();
    void newDrawNumber();
    void farDrawNumberAsksAndNoKeepsTheNext();
    void addLineWithoutCurrentCellAppends();
    void emptyNewRowIsNeverStored();
    void opensOnTheLatestDraw();
    void keyboardMovesAlongTheRow();
    void decimalPointIsRefusedNotDropped();
    void currentCellIsOutlinedWithoutFocus();
    void changingAStoredDrawAsksOncePerRow();
    void repeatedNumbersAreWrong();
    void wrongCellNamesDrawAndColumn();
    void proposedDate_data();
    void proposedDate();
    void typedDatesAreChecked();
    void paste_data();
    void paste();
    void pasteSeveralLinesAddsRows();
    void readOnlyDatabaseOpensForViewing();
    void failedWriteKeepsTheTyping();
    void closeBoxAsksBeforeDiscardingWrongRows();
    void closeButtonClosesTheSubWindow();
    void latestDrawInViewOnceFittedIntoTheArea();
    void wrongCellReasonShownOnceEntered();
    void drawAddedElsewhereIsNotOverwrittenUnasked();
    void drawChangedOrDeletedElsewhereAsksFirst();
};

void EntryWindowTest::opensOverItsOwnConnection()
{
    Fixture f;
    QVERIFY(f.window->loadStatus());
    QCOMPARE(f.window->windowTitle(), u"当選データ入力[*]"_s);
    QVERIFY(!f.window->isWindowModified());
    QCOMPARE(f.model()->rowCount(), 3);
    QCOMPARE(f.model()->columnCount(), 9);
    QCOMPARE(f.model()->headerData(8, Qt::Horizontal).toString(), u"抽選日"_s);
    QCOMPARE(f.model()->index(2, 0).data().toString(), u"5"_s);
    QCOMPARE(f.model()->index(2, 7).data().toString(), u"21"_s);
    QCOMPARE(
        f.model()->index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    QCOMPARE(
        f.model()->index(0, 7).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    QCOMPARE(f.model()->index(0, 7).data(Qt::BackgroundRole).value<QBrush>().color(),
        QColor(197, 255, 255));
    // Stored draw numbers are display-only; the numbers are editable.
    QVERIFY(!(f.model()->flags(f.model()->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(f.model()->flags(f.model()->index(0, 1)) & Qt::ItemIsEditable);
    QCOMPARE(f.window->editMenu()->title(), u"編集(&E)"_s);

    Fixture missing;
    delete missing.window.data();
    missing.path = missing.dir.filePath(u"none.db"_s);
    missing.openWindow();
    QVERIFY(!missing.window->loadStatus());
    QCOMPARE(missing.model()->rowCount(), 0);
}

void EntryWindowTest::closeCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("right");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("lowest") << u"1"_s << true;
    QTest::newRow("highest") << u"43"_s << true;
    QTest::newRow("zero") << u"0"_s << false;
    QTest::newRow("above range") << u"44"_s << false;
    QTest::newRow("decimal point on a whole number") << u"7.0"_s << false;
    QTest::newRow("fraction") << u"4.5"_s << false;
    QTest::newRow("letters") << u"abc"_s << false;
}

void EntryWindowTest::closeCheck()
{
    QFETCH(QString, text);
    QFETCH(bool, right);
    Fixture f;
    f.setCurrent(1, 3);
    QVERIFY(f.type(1, 3, text));
    f.setCurrent(0, 1);

    QCOMPARE(f.window->closeAfterCheck(), right && !text.isEmpty());
    if (right && text.isEmpty()) {
        // Not wrong, but a draw missing a number is not written: closing asks, No keeps it open.
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].text,
            u"7つの数字がそろっていない行は保存されていません。破棄して閉じますか？"_s);
        QCOMPARE(f.storedField(2, 2), std::optional<long long>(10));
        return;
    }
    if (right) {
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.storedField(2, 2), std::optional<long long>(text.toInt()));
        return;
    }
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"結果マスタの数字に誤りがあります。"_s);
    QCOMPARE(f.messages[0].title, u"メッセ－ジ"_s);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 3));
    QVERIFY(f.window->isWindowModified());
    // The wrong row never reaches the database, not even by leaving it.
    QCOMPARE(f.storedField(2, 2), std::optional<long long>(10));
    QCOMPARE(f.model()->index(1, 3).data(Qt::BackgroundRole).value<QBrush>().color(),
        QColor(255, 150, 150));
}

void EntryWindowTest::closeCheckStopsAtFirstWrongCellRowByRow()
{
    Fixture f;
    f.type(2, 2, u"0"_s);
    f.type(1, 7, u"44"_s);
    f.type(1, 5, u"abc"_s);
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 5));
}

void EntryWindowTest::addLine_data()
{
    QTest::addColumn<int>("activeRow");
    QTest::addColumn<int>("newDrawNo");
    // Always at the end and numbered after the latest draw, whichever row is selected.
    QTest::newRow("on the last row") << 2 << 6;
    QTest::newRow("in the middle") << 1 << 6;
    QTest::newRow("on the first row") << 0 << 6;
}

void EntryWindowTest::addLine()
{
    QFETCH(int, activeRow);
    QFETCH(int, newDrawNo);
    Fixture f;
    f.setCurrent(activeRow, 4);
    f.answers = {QMessageBox::Yes};
    f.window->addLine();

    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"表の最後に行を追加します。よろしいですか？"_s);
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    QCOMPARE(f.messages[0].title, u"ロト6ズンベル"_s);

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

void EntryWindowTest::noToEitherConfirmationChangesNothing()
{
    Fixture f;
    f.setCurrent(1, 2);
    f.window->addLine();
    f.window->deleteLine();
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[1].text, u"選択された行を削除します。よろしいですか？"_s);
    QCOMPARE(f.messages[1].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[1].defaultButton, QMessageBox::No);
    QCOMPARE(f.model()->rowCount(), 3);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 2));
    QCOMPARE(f.stored().size(), std::size_t(3));
    QVERIFY(!f.window->isWindowModified());
}

void EntryWindowTest::popupOnlyOnDrawNumberOfSingleRowSelection()
{
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window));
    QWidget *viewport = f.grid()->viewport();
    auto rightClick = [viewport](QPoint pos) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &event);
    };
    const QPoint onRow2 = f.grid()->visualRect(f.model()->index(1, 0)).center();

    f.grid()->selectionModel()->select(f.model()->index(1, 3), QItemSelectionModel::ClearAndSelect);
    f.setCurrent(1, 3);
    rightClick(onRow2);
    QCOMPARE(f.popups, 1);

    // A number cell, and the space below the last row, open nothing.
    rightClick(f.grid()->visualRect(f.model()->index(1, 3)).center());
    const QRect last = f.grid()->visualRect(f.model()->index(2, 0));
    rightClick(QPoint(last.center().x(), last.bottom() + 5));
    QCOMPARE(f.popups, 1);

    // A selection over two rows opens nothing.
    f.grid()->selectionModel()->select(
        QItemSelection(f.model()->index(0, 1), f.model()->index(1, 1)),
        QItemSelectionModel::ClearAndSelect);
    rightClick(onRow2);
    QCOMPARE(f.popups, 1);
}

void EntryWindowTest::rowsWrittenOnLeavingAndOnClose()
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

void EntryWindowTest::deletedRowsLeaveTheDatabase()
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
    f.answers = {QMessageBox::Yes, QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(2), 6);
    f.window->deleteLine();
    QCOMPARE(f.model()->rowCount(), 2);
    QVERIFY(!f.isStored(6));
    QVERIFY(!f.window->isWindowModified());
}

void EntryWindowTest::newDrawNumber_data()
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

void EntryWindowTest::newDrawNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    QFETCH(bool, far);
    Fixture f;
    f.setCurrent(0, 0);
    f.answers = {QMessageBox::Yes, QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(3), 6);

    QCOMPARE(f.type(3, 0, text), refusal.isEmpty());
    QCoreApplication::processEvents();
    if (!refusal.isEmpty()) {
        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(f.messages[1].text, refusal);
        QCOMPARE(f.messages[1].icon, QMessageBox::Critical);
        QCOMPARE(f.model()->drawNumber(3), 6);
        return;
    }
    QCOMPARE(f.messages.size(), far ? 2 : 1);
    if (far)
        QCOMPARE(f.messages[1].text,
            u"第%1回は最新の第5回から離れています。よろしいですか？"_s.arg(text));
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(3, c, QString::number(c + 30)));
    f.setCurrent(0, 1);
    QVERIFY(f.isStored(text.toInt()));
    QCOMPARE(f.stored().size(), std::size_t(4));
}

void EntryWindowTest::farDrawNumberAsksAndNoKeepsTheNext()
{
    Fixture f;
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(3), 6);
    QVERIFY(!f.type(3, 0, u"20000"_s));
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[1].text, u"第20000回は最新の第5回から離れています。よろしいですか？"_s);
    QCOMPARE(f.messages[1].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[1].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.messages[1].defaultButton, QMessageBox::No);
    QCOMPARE(f.model()->drawNumber(3), 6);
}

void EntryWindowTest::failedWriteKeepsTheTyping()
{
    Fixture f;
    sqlite3_busy_timeout(f.model()->database().handle(), 50);
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

void EntryWindowTest::closeBoxAsksBeforeDiscardingWrongRows()
{
    Fixture f;
    f.type(0, 2, u"44"_s);
    f.type(1, 2, u"20"_s);
    QVERIFY(!f.window->close());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"数字に誤りがある行は保存されていません。破棄して閉じますか？"_s);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    // The right row was written on the way; the wrong one never is.
    QCOMPARE(f.storedField(2, 1), std::optional<long long>(20));
    QCOMPARE(f.storedField(1, 1), std::optional<long long>(2));

    f.answers = {QMessageBox::Yes};
    QVERIFY(f.window->close());
    QCOMPARE(f.storedField(1, 1), std::optional<long long>(2));
}

void EntryWindowTest::closeButtonClosesTheSubWindow()
{
    Fixture f;
    QMdiArea area;
    area.resize(1200, 1000);
    QMdiSubWindow *sub = area.addSubWindow(f.window);
    area.show();
    sub->show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QSize designed = twipsToPixels(EntryWindow::WidthTwips, EntryWindow::HeightTwips);
    designed.rwidth() += f.grid()->horizontalHeader()->sectionSize(DrawTableModel::DateColumn);
    QCOMPARE(sub->geometry(), QRect(QPoint(0, 0), designed));

    f.type(0, 3, u"abc"_s);
    QVERIFY(sub->isWindowModified());
    QTest::mouseClick(f.window->closeButton(), Qt::LeftButton);
    QVERIFY(sub->isVisible());
    QCOMPARE(f.messages.size(), 1);

    QSignalSpy unloaded(f.window.data(), &EntryWindow::unloaded);
    f.type(0, 3, u"3"_s);
    QVERIFY(sub->isWindowModified());
    QPointer<QMdiSubWindow> guard(sub);
    QTest::mouseClick(f.window->closeButton(), Qt::LeftButton);
    QCOMPARE(unloaded.size(), 1);
    QTRY_VERIFY(!guard);
    QCOMPARE(f.storedField(1, 2), std::optional<long long>(3));
}

void EntryWindowTest::addLineWithoutCurrentCellAppends()
{
    Fixture f;
    f.grid()->setCurrentIndex({});
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.model()->rowCount(), 4);
    QCOMPARE(f.model()->drawNumber(3), 6);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 1));
}

void EntryWindowTest::emptyNewRowIsNeverStored()
{
    Fixture f;
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[1].text,
        u"7つの数字がそろっていない行は保存されていません。破棄して閉じますか？"_s);
    QCOMPARE(f.messages[1].defaultButton, QMessageBox::No);
    QVERIFY(!f.isStored(6));
    f.answers = {QMessageBox::Yes};
    QVERIFY(f.window->closeAfterCheck());
    QVERIFY(!f.isStored(6));
    QCOMPARE(f.stored().size(), std::size_t(3));
}

void EntryWindowTest::opensOnTheLatestDraw()
{
    std::vector<DrawRecord> draws;
    for (int no = 1; no <= 300; ++no)
        draws.push_back(draw(no, {1, 2, 3, 4, 5, 6, 7}));
    Fixture f(draws);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window));
    const QModelIndex latest = f.model()->index(299, 1);
    QCOMPARE(f.grid()->currentIndex(), latest);
    QVERIFY(f.grid()->viewport()->rect().intersects(f.grid()->visualRect(latest)));
}

// Keys go to whatever has the focus: the grid, or the editor that a key opened.
static void typeKeys(const QString &keys)
{
    for (QChar c : keys) {
        if (c == u'\n')
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
}

void EntryWindowTest::keyboardMovesAlongTheRow()
{
    Fixture f;
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window));
    f.grid()->setFocus();
    f.setCurrent(2, 7);
    QTest::keyClick(f.grid(), Qt::Key_Tab);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(2, 8));
    QTest::keyClick(f.grid(), Qt::Key_Tab);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(2, 8)); // no wrap to the top
    QCOMPARE(QApplication::focusWidget(), f.grid());
    f.setCurrent(1, 4);
    QTest::keyClick(f.grid(), Qt::Key_Home);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 1));
    f.setCurrent(0, 7);
    QTest::keyClick(f.grid(), Qt::Key_Return);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 1));

    // A new draw from the keyboard alone: numbers and Enter, then on to the row above.
    f.setCurrent(2, 1);
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 1));
    typeKeys(u"31\n32\n33\n34\n35\n36\n"_s);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 7));
    typeKeys(u"37\n"_s);
    QCOMPARE(f.model()->index(3, 7).data().toString(), u"37"_s);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 7));
    QCOMPARE(f.storedField(6, 6), std::optional<long long>(37)); // written by that last Enter
    QVERIFY(f.messages.size() == 1);
}

void EntryWindowTest::decimalPointIsRefusedNotDropped()
{
    Fixture f;
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window));
    f.grid()->setFocus();
    f.setCurrent(0, 3);
    typeKeys(u"1.0\n"_s);
    QCOMPARE(f.model()->index(0, 3).data().toString(), u"1.0"_s);
    QVERIFY(f.model()->isWrong(0, 3));
    QVERIFY(!f.window->closeAfterCheck());
    QCOMPARE(f.storedField(1, 2), std::optional<long long>(3));
}

void EntryWindowTest::currentCellIsOutlinedWithoutFocus()
{
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window));
    f.closeButton()->setFocus();
    f.setCurrent(1, 3);
    const QImage image = f.grid()->viewport()->grab().toImage();
    auto darkAtLeftEdge = [&](const QModelIndex &index) {
        const QRect cell = f.grid()->visualRect(index);
        for (int x = cell.left(); x <= cell.left() + 2; ++x)
            if (qGray(image.pixel(x, cell.center().y())) < 60)
                return true;
        return false;
    };
    QVERIFY(darkAtLeftEdge(f.model()->index(1, 3)));
    QVERIFY(!darkAtLeftEdge(f.model()->index(1, 4)));
    QVERIFY(!darkAtLeftEdge(f.model()->index(0, 3)));
}

void EntryWindowTest::changingAStoredDrawAsksOncePerRow()
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

void EntryWindowTest::repeatedNumbersAreWrong()
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

void EntryWindowTest::wrongCellNamesDrawAndColumn()
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

void EntryWindowTest::proposedDate_data()
{
    QTest::addColumn<QString>("latestDate");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("thursday to monday") << u"2026-12-03"_s << u"2026-12-07"_s;
    QTest::newRow("monday to thursday") << u"2026-12-07"_s << u"2026-12-10"_s;
    QTest::newRow("across the year end") << u"2026-12-31"_s << u"2027-01-04"_s;
    QTest::newRow("thursdays only before april 2011") << u"2011-03-24"_s << u"2011-03-31"_s;
    QTest::newRow("latest without a date") << QString() << QString();
}

void EntryWindowTest::proposedDate()
{
    QFETCH(QString, latestDate);
    QFETCH(QString, proposed);
    const std::string date = latestDate.toStdString();
    Fixture f({draw(1, {1, 2, 3, 4, 5, 6, 7}, "2001-01-04"),
        draw(2, {8, 9, 10, 11, 12, 13, 14}, date.c_str())});
    f.answers = {QMessageBox::Yes};
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

void EntryWindowTest::typedDatesAreChecked()
{
    Fixture f({draw(1, {1, 2, 3, 4, 5, 6, 7}, "2026-12-03")});
    f.answers = {QMessageBox::Yes};
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

void EntryWindowTest::paste_data()
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

void EntryWindowTest::paste()
{
    QFETCH(QString, text);
    QFETCH(QString, date);
    Fixture f;
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    f.window->paste(text);
    QCOMPARE(f.model()->rowCount(), 4);
    const std::vector<long long> expected{2, 8, 10, 13, 27, 30, 39};
    for (int field = 0; field < 7; ++field)
        QCOMPARE(f.storedField(6, field), std::optional<long long>(expected[std::size_t(field)]));
    QCOMPARE(QString::fromStdString(f.stored().back().date), date);
    QCOMPARE(f.messages.size(), 1);
}

void EntryWindowTest::pasteSeveralLinesAddsRows()
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

void EntryWindowTest::readOnlyDatabaseOpensForViewing()
{
    Fixture f;
    delete f.window.data();
    {
        // A write version above 2 in the file header: SQLite opens the file read-only.
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(18);
        file.write("\x03", 1);
    }
    const QByteArray before = [&] {
        QFile in(f.path);
        in.open(QIODevice::ReadOnly);
        return in.readAll();
    }();
    f.openWindow();
    QVERIFY(f.window->loadStatus());
    QCOMPARE(f.model()->rowCount(), 3);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].text.contains(u"読み取り専用"_s));
    f.window->hide();
    f.window->show();
    QCOMPARE(f.messages.size(), 1); // said once
    QVERIFY(!(f.model()->flags(f.model()->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!f.type(0, 1, u"40"_s));
    for (QAction *action : f.window->editMenu()->actions())
        QVERIFY(!action->isEnabled());
    f.setCurrent(1, 1);
    QVERIFY(f.window->close());
    QCOMPARE(f.messages.size(), 1); // no write errors
    QFile after(f.path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

// The main window shows a child at its designed size and then fits it into its area, which at
// 1366x768 is lower than the entry window: the latest draw must be in view at the final size.
void EntryWindowTest::latestDrawInViewOnceFittedIntoTheArea()
{
    std::vector<DrawRecord> draws;
    for (int no = 1; no <= 400; ++no)
        draws.push_back(draw(no, {1, 2, 3, 4, 5, 6, 7}));
    Fixture f(draws);
    QMdiArea area;
    area.resize(1366, 600);
    QMdiSubWindow *sub = area.addSubWindow(f.window);
    area.show();
    sub->show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    sub->resize(sub->width(), 560);
    QCoreApplication::processEvents();
    const QModelIndex latest = f.model()->index(399, 1);
    QCOMPARE(f.grid()->currentIndex(), latest);
    QVERIFY(f.grid()->viewport()->rect().contains(f.grid()->visualRect(latest)));

    // Once the user has moved, a later resize leaves the scroll position alone.
    f.grid()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    sub->resize(sub->width(), 540);
    QCoreApplication::processEvents();
    QCOMPARE(f.grid()->verticalScrollBar()->value(), 0);
}

void EntryWindowTest::wrongCellReasonShownOnceEntered()
{
    Fixture f;
    f.answers = {QMessageBox::Yes};
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

static void storeElsewhere(const QString &path, const std::function<Status(Database &)> &change)
{
    Database other;
    if (!other.open(path.toStdString()) || !change(other))
        qFatal("the other connection could not write");
}

void EntryWindowTest::drawAddedElsewhereIsNotOverwrittenUnasked()
{
    Fixture f;
    f.answers = {QMessageBox::Yes};
    f.window->addLine();
    for (int c = 1; c <= 7; ++c)
        QVERIFY(f.type(3, c, QString::number(c + 10)));
    // The command line adds draw 6 while the window is open with its own draw 6 typed.
    storeElsewhere(f.path, [](Database &db) {
        return db.importDraws({draw(6, {31, 32, 33, 34, 35, 36, 37}, "2026-12-07")}, false);
    });

    f.setCurrent(0, 1); // leaving the row writes it, but asks first
    QCOMPARE(f.messages.size(), 2);
    const EntryWindow::Message &asked = f.messages[1];
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
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.storedField(6, 6), std::optional<long long>(37));
}

void EntryWindowTest::drawChangedOrDeletedElsewhereAsksFirst()
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

QTEST_MAIN(EntryWindowTest)
#include "entrywindow_test.moc"
