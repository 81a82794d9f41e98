#include "drawtablemodel.h"
#include "entrywindow.h"
#include "twips.h"

#include "store/database.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace loto6;
using namespace Qt::Literals::StringLiterals;

namespace {

DrawRecord draw(int no, std::initializer_list<long long> numbers)
{
    DrawRecord r;
    r.drawNo = no;
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
    int popups = 0;

    explicit Fixture(
        const std::vector<DrawRecord> &draws = { draw(1, { 1, 2, 3, 4, 5, 6, 7 }),
            draw(2, { 8, 9, 10, 11, 12, 13, 14 }), draw(5, { 15, 16, 17, 18, 19, 20, 21 }) })
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
            messages.append(m);
            if (!(m.buttons & QMessageBox::Yes))
                return QMessageBox::Ok;
            return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
        });
        window->setPopupFunction([this](QMenu *, const QPoint &) { ++popups; });
    }

    DrawTableModel *model() const { return window->model(); }
    QTableView *grid() const { return window->grid(); }
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
    void popupOnlyOnRowHeaderOfSingleRowSelection();
    void rowsWrittenOnLeavingAndOnClose();
    void deletedRowsLeaveTheDatabase();
    void newDrawNumber_data();
    void newDrawNumber();
    void failedWriteKeepsTheTyping();
    void closeBoxAsksBeforeDiscardingWrongRows();
    void closeButtonClosesTheSubWindow();
};

void EntryWindowTest::opensOverItsOwnConnection()
{
    Fixture f;
    QVERIFY(f.window->loadStatus());
    QCOMPARE(f.window->windowTitle(), u"当選データ入力[*]"_s);
    QVERIFY(!f.window->isWindowModified());
    QCOMPARE(f.model()->rowCount(), 3);
    QCOMPARE(f.model()->columnCount(), 8);
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

    QCOMPARE(f.window->closeAfterCheck(), right);
    if (right) {
        QVERIFY(f.messages.isEmpty());
        const auto expected
            = text.isEmpty() ? std::nullopt : std::optional<long long>(text.toInt());
        QCOMPARE(f.storedField(2, 2), expected);
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
    QTest::newRow("on the last row") << 2 << 6;
    QTest::newRow("into a gap") << 1 << 3;
    QTest::newRow("above a taken number") << 0 << 3;
}

void EntryWindowTest::addLine()
{
    QFETCH(int, activeRow);
    QFETCH(int, newDrawNo);
    Fixture f;
    f.setCurrent(activeRow, 4);
    f.answers = { QMessageBox::Yes };
    f.window->addLine();

    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"選択された行のうしろに行を追加します。よろしいですか？"_s);
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    QCOMPARE(f.messages[0].title, u"ロト6ズンベル"_s);

    QCOMPARE(f.model()->rowCount(), 4);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(activeRow + 1, 4));
    QCOMPARE(f.model()->drawNumber(activeRow + 1), newDrawNo);
    for (int c = 1; c < 8; ++c)
        QVERIFY(f.model()->index(activeRow + 1, c).data().toString().isEmpty());
    QVERIFY(f.window->isWindowModified());

    // The new row becomes a record when it is left.
    f.type(activeRow + 1, 1, u"30"_s);
    QVERIFY(!f.isStored(newDrawNo));
    f.setCurrent(activeRow, 1);
    QCOMPARE(f.storedField(newDrawNo, 0), std::optional<long long>(30));
    QVERIFY(!f.window->isWindowModified());
    QVERIFY(!(f.model()->flags(f.model()->index(activeRow + 1, 0)) & Qt::ItemIsEditable));
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

void EntryWindowTest::popupOnlyOnRowHeaderOfSingleRowSelection()
{
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window));
    QHeaderView *header = f.grid()->verticalHeader();
    auto rightClick = [](QWidget *viewport, QPoint pos) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
        QApplication::sendEvent(viewport, &event);
    };
    const QPoint onRow2(header->width() / 2, header->sectionViewportPosition(1) + 2);

    f.grid()->selectionModel()->select(f.model()->index(1, 3), QItemSelectionModel::ClearAndSelect);
    f.setCurrent(1, 3);
    rightClick(header->viewport(), onRow2);
    QCOMPARE(f.popups, 1);

    // A data cell, and the header below the last data row, open nothing.
    rightClick(f.grid()->viewport(), f.grid()->visualRect(f.model()->index(1, 3)).center());
    rightClick(header->viewport(),
        QPoint(
            header->width() / 2, header->sectionViewportPosition(2) + header->sectionSize(2) + 5));
    QCOMPARE(f.popups, 1);

    // A selection over two rows opens nothing.
    f.grid()->selectionModel()->select(
        QItemSelection(f.model()->index(0, 1), f.model()->index(1, 1)),
        QItemSelectionModel::ClearAndSelect);
    rightClick(header->viewport(), onRow2);
    QCOMPARE(f.popups, 1);
}

void EntryWindowTest::rowsWrittenOnLeavingAndOnClose()
{
    Fixture f;
    f.setCurrent(0, 1);
    QVERIFY(f.type(0, 1, u"40"_s));
    QVERIFY(f.window->isWindowModified());
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(1));
    f.setCurrent(0, 2); // same row: nothing written yet
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(1));
    f.setCurrent(1, 2);
    QCOMPARE(f.storedField(1, 0), std::optional<long long>(40));
    QVERIFY(!f.window->isWindowModified());

    QVERIFY(f.type(1, 7, QString()));
    QVERIFY(f.window->close());
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.storedField(2, 6), std::nullopt);
}

void EntryWindowTest::deletedRowsLeaveTheDatabase()
{
    Fixture f;
    f.setCurrent(1, 1);
    f.answers = { QMessageBox::Yes };
    f.window->deleteLine();
    QCOMPARE(f.model()->rowCount(), 2);
    QVERIFY(!f.isStored(2));
    QCOMPARE(f.stored().size(), std::size_t(2));

    // An added row deleted before it was written never reaches the database.
    f.setCurrent(1, 1);
    f.answers = { QMessageBox::Yes, QMessageBox::Yes };
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(2), 6);
    f.window->deleteLine();
    QCOMPARE(f.model()->rowCount(), 2);
    QVERIFY(!f.isStored(6));
    QVERIFY(!f.window->isWindowModified());
}

void EntryWindowTest::newDrawNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("used") << u"5"_s << u"回数 5 はすでに使われています。"_s;
    QTest::newRow("zero") << u"0"_s << u"回数には1以上の整数を入力してください。"_s;
    QTest::newRow("empty") << QString() << u"回数には1以上の整数を入力してください。"_s;
    QTest::newRow("letters") << u"abc"_s << u"回数には1以上の整数を入力してください。"_s;
    QTest::newRow("free") << u"12"_s << QString();
}

void EntryWindowTest::newDrawNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    Fixture f;
    f.setCurrent(0, 0);
    f.answers = { QMessageBox::Yes };
    f.window->addLine();
    QCOMPARE(f.model()->drawNumber(1), 3);

    QCOMPARE(f.type(1, 0, text), refusal.isEmpty());
    QCoreApplication::processEvents();
    if (!refusal.isEmpty()) {
        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(f.messages[1].text, refusal);
        QCOMPARE(f.messages[1].icon, QMessageBox::Critical);
        QCOMPARE(f.model()->drawNumber(1), 3);
        return;
    }
    QCOMPARE(f.messages.size(), 1);
    f.setCurrent(0, 1);
    QVERIFY(f.isStored(12));
    QVERIFY(!f.isStored(3));
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
    QVERIFY2(f.messages[0].text.contains(u"database is locked"_s), qPrintable(f.messages[0].text));
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

    f.answers = { QMessageBox::Yes };
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
    QCOMPARE(sub->geometry(),
        QRect(QPoint(0, 0), twipsToPixels(EntryWindow::WidthTwips, EntryWindow::HeightTwips)));

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

QTEST_MAIN(EntryWindowTest)
#include "entrywindow_test.moc"
