#include "entryfixture.h"

// The entry window as a window: opening, closing, menus, keys, what shows where.
class EntryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void opensOverItsOwnConnection();
    void closeCheck_data();
    void closeCheck();
    void closeCheckStopsAtFirstWrongCellRowByRow();
    void noToEitherConfirmationChangesNothing();
    void popupOnlyOnDrawNumberOfSingleRowSelection();
    void opensOnTheLatestDraw();
    void keyboardMovesAlongTheRow();
    void currentCellIsOutlinedWithoutFocus();
    void readOnlyDatabaseOpensForViewing();
    void closeBoxAsksBeforeDiscardingWrongRows();
    void closeButtonClosesTheSubWindow();
    void latestDrawInViewOnceFittedIntoTheArea();
    void ctrlGGoesToADraw();
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

    // A file gone from under the main window: no window, and the user is told why.
    Fixture missing;
    missing.closeUnsaved();
    QVERIFY(QFile::remove(missing.path));
    missing.openWindow();
    QVERIFY(!missing.window);
    QCOMPARE(missing.messages.size(), 1);
    QVERIFY(missing.messages[0].text.startsWith(u"データベースを開けませんでした。"_s));
    QVERIFY(!missing.frame.childWindow(QString::fromUtf8(windowclass::Entry)));
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

void EntryWindowTest::noToEitherConfirmationChangesNothing()
{
    Fixture f;
    f.setCurrent(1, 2);
    f.window->deleteLine();
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, u"選択された行を削除します。よろしいですか？"_s);
    QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    QCOMPARE(f.messages[0].defaultButton, QMessageBox::No);
    QCOMPARE(f.model()->rowCount(), 3);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(1, 2));
    QCOMPARE(f.stored().size(), std::size_t(3));
    QVERIFY(!f.window->isWindowModified());
}

void EntryWindowTest::popupOnlyOnDrawNumberOfSingleRowSelection()
{
    Fixture f;
    QVERIFY(f.show());
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
    f.closeUnsaved();
    f.frame.resize(1400, 1300);
    QVERIFY(f.show());
    f.openWindow();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(windowclass::Entry));
    QVERIFY(sub);
    QCOMPARE(f.frame.propEnd(), false);
    // The designed size with the date column added, made no higher than the area; a window
    // made shorter gets the scroll bar's width on top.
    const QSize table = f.frame.kindOf(QString::fromUtf8(windowclass::Entry))->sizeTwips;
    QSize designed = twipsToPixels(table.width(), table.height());
    designed.rwidth() += f.grid()->horizontalHeader()->sectionSize(DrawTableModel::DateColumn);
    const int area = f.frame.mdiArea()->viewport()->height();
    if (area < designed.height())
        designed
            = QSize(designed.width() + sub->style()->pixelMetric(QStyle::PM_ScrollBarExtent), area);
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
    QCOMPARE(f.frame.propEnd(), true);
    QTRY_VERIFY(!guard);
    QCOMPARE(f.storedField(1, 2), std::optional<long long>(3));
}

void EntryWindowTest::opensOnTheLatestDraw()
{
    std::vector<DrawRecord> draws;
    for (int no = 1; no <= 300; ++no)
        draws.push_back(draw(no, {1, 2, 3, 4, 5, 6, 7}));
    Fixture f(draws);
    QVERIFY(f.show());
    const QModelIndex latest = f.model()->index(299, 1);
    QCOMPARE(f.grid()->currentIndex(), latest);
    QVERIFY(f.grid()->viewport()->rect().intersects(f.grid()->visualRect(latest)));
}

void EntryWindowTest::keyboardMovesAlongTheRow()
{
    Fixture f;
    QVERIFY(f.showActive());
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
    f.window->addLine();
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 1));
    typeKeys(u"31\n32\n33\n34\n35\n36\n"_s);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 7));
    typeKeys(u"37\n"_s);
    QCOMPARE(f.model()->index(3, 7).data().toString(), u"37"_s);
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(3, 7));
    QCOMPARE(f.storedField(6, 6), std::optional<long long>(37)); // written by that last Enter
    QVERIFY(f.messages.isEmpty());
}

void EntryWindowTest::currentCellIsOutlinedWithoutFocus()
{
    Fixture f;
    QVERIFY(f.show());
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

void EntryWindowTest::readOnlyDatabaseOpensForViewing()
{
    Fixture f;
    f.closeUnsaved();
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
    QVERIFY(f.show());
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
    f.closeUnsaved();
    f.frame.resize(1366, 700);
    QVERIFY(f.show());
    f.openWindow();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(windowclass::Entry));
    QVERIFY(sub);
    QVERIFY(sub->height()
        < twipsToPixels(f.frame.kindOf(QString::fromUtf8(windowclass::Entry))->sizeTwips.height()));
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

void EntryWindowTest::ctrlGGoesToADraw()
{
    Fixture f;
    QVERIFY(f.showActive());
    f.setCurrent(0, 3);
    QVERIFY(f.type(0, 3, u"30"_s));
    f.grid()->setFocus();
    f.recorder->number = 5;
    QTest::keyClick(f.grid(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(f.recorder->numberQuestions, QStringList{u"移動する回数:"_s});
    QCOMPARE(f.grid()->currentIndex(), f.model()->index(2, DrawTableModel::FirstNumberColumn));
    QCOMPARE(f.frame.statusBar()->currentMessage(), u"第5回へ移動しました。"_s);
    // The row left on the way is written, as when the user moves by hand.
    QCOMPARE(f.storedField(1, 2), std::optional<long long>(30));

    // A draw the grid does not hold leaves the cursor where it is; cancelling does nothing.
    QVERIFY(!f.window->goToDraw(4));
    QCOMPARE(f.grid()->currentIndex().row(), 2);
    QCOMPARE(f.frame.statusBar()->currentMessage(), u"第4回はこの表にありません。"_s);
    f.recorder->number.reset();
    QTest::keyClick(f.grid(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(f.recorder->numberQuestions.size(), 2);
    QCOMPARE(f.grid()->currentIndex().row(), 2);
}

QTEST_MAIN(EntryWindowTest)
#include "entrywindow_test.moc"
