#include "mainfrmfixture.h"

// The child windows in the main window: opening, one per class, arranging, refreshing, closing.
class ChildWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void propEndFollowsOpenAndClose();
    void oneInstancePerWindow();
    void windowArrangement();
    void reloadRebuildsOpenWindowsInPlace();
    void entryOpensBesideOthersAndEveryWindowShowsWhatItSaves();
    void openWindowsComeBackWhereTheyStood();
    void tablesOpenAtTheNewestDrawAndComeBackAsLeft();
    void exitKeepsUnsavedEntryRowsWhenTheAnswerIsNo();
    void everyWindowCommandOpensItsWindow();
    void cascadeKeepsSizes();
    void closeKeysCloseTheActiveChild_data();
    void closeKeysCloseTheActiveChild();
    void windowMenuListsWindows();
    void everyWindowOfTheBookRefreshesWhenItChanges();
};

void ChildWindowsTest::propEndFollowsOpenAndClose()
{
    Fixture f;
    g_builds = 0;
    f.open(FirstInfo);
    QCOMPARE(f.frame.propEnd(), false);
    f.open(SecondInfo);
    QCOMPARE(f.frame.propEnd(), false);

    // Closing one of two open windows sets it to true: it follows the latest load or unload.
    f.frame.childWindow(u"二番目の分析"_s)->close();
    QCOMPARE(f.frame.propEnd(), true);

    // The close button unloads too; reopening recomputes and clears it again.
    auto *close = f.child(FirstInfo)->findChild<QPushButton *>(u"Command1"_s);
    QVERIFY(close);
    close->click();
    QCOMPARE(f.frame.propEnd(), true);
    QVERIFY(!f.frame.childWindow(u"最初の分析"_s));
    f.open(FirstInfo);
    QCOMPARE(f.frame.propEnd(), false);
    QCOMPARE(g_builds, 3);

    // Every real analysis command opens its window the same way.
    int opened = 0;
    for (const AnalysisInfo &info : analyses()) {
        f.open(info);
        QVERIFY2(f.child(info), info.name.data());
        ++opened;
    }
    QCOMPARE(opened, static_cast<int>(analyses().size()));
    QCOMPARE(f.frame.mdiArea()->subWindowList().size(), opened + 1);
}

void ChildWindowsTest::oneInstancePerWindow()
{
    Fixture f;
    g_builds = 0;
    f.open(FirstInfo);
    QWidget *first = f.child(FirstInfo);
    f.open(SecondInfo);
    f.frame.setPropEnd(true);

    // Showing it again raises the open window without reloading it.
    f.open(FirstInfo);
    QCOMPARE(f.child(FirstInfo), first);
    QCOMPARE(g_builds, 2);
    QCOMPARE(f.frame.propEnd(), true);
    QCOMPARE(f.frame.mdiArea()->activeSubWindow()->widget(), first);
    QCOMPARE(f.frame.mdiArea()->subWindowList().size(), 2);

    auto *window = qobject_cast<AnalysisWindow *>(first);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), u"最初"_s);
    QVERIFY(window->findChild<QPushButton *>(u"Command2"_s)->isEnabled());
    QVERIFY(!f.child(SecondInfo)->findChild<QPushButton *>(u"Command2"_s));
    QCOMPARE(f.frame.mdiArea()->activeSubWindow()->pos(), QPoint(0, 0));
}

void ChildWindowsTest::windowArrangement()
{
    Fixture f;
    f.frame.show();
    f.open(FirstInfo);
    f.open(SecondInfo);
    f.open(analyses()[1]);
    QMdiSubWindow *first = f.frame.childWindow(u"最初の分析"_s);
    QMdiSubWindow *second = f.frame.childWindow(u"二番目の分析"_s);
    const QSize area = f.frame.mdiArea()->viewport()->size();

    // A minimised window lines up at the bottom and is left out of the tiling.
    f.frame.childWindow(u"回数別出現分析"_s)->showMinimized();
    f.frame.commands().tileHorizontal->trigger();
    const int iconTop = f.frame.childWindow(u"回数別出現分析"_s)->y();
    QCOMPARE(f.frame.childWindow(u"回数別出現分析"_s)->geometry().bottom(), area.height() - 1);
    QCOMPARE(first->geometry(), QRect(0, 0, area.width(), iconTop / 2));
    QCOMPARE(second->geometry(), QRect(0, iconTop / 2, area.width(), iconTop - iconTop / 2));

    f.frame.commands().tileVertical->trigger();
    QCOMPARE(first->geometry(), QRect(0, 0, area.width() / 2, iconTop));
    QCOMPARE(second->geometry().left(), area.width() / 2);
}

void ChildWindowsTest::reloadRebuildsOpenWindowsInPlace()
{
    QTemporaryDir dir;
    const std::string db = dir.filePath(u"draws.db"_s).toStdString();
    Fixture f;
    QVERIFY(f.frame.startUp(db, SHARED_HISTORY));
    const int latest = f.frame.document().totals().latestDrawNo;
    f.frame.action(u"mnuSyutugenHindo"_s)->trigger();
    QMdiSubWindow *window = f.frame.mdiArea()->activeSubWindow();
    QVERIFY(window);
    auto *grid = window->widget()->findChild<SheetView *>();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    grid->horizontalScrollBar()->setValue(3);
    const int scrolled = grid->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    const QRect geometry = window->geometry();

    {
        Database writer;
        QVERIFY(writer.open(db));
        DrawRecord next;
        next.drawNo = latest + 1;
        next.date = "2099-01-01";
        for (int i = 0; i < DrawRecord::FieldCount; ++i)
            next.fields[static_cast<std::size_t>(i)] = i + 1;
        QVERIFY(writer.saveDraw(next));
    }
    QVERIFY(f.frame.reloadHistory());

    QCOMPARE(f.frame.document().totals().latestDrawNo, latest + 1);
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), window);
    QCOMPARE(window->geometry(), geometry);
    QCOMPARE(window->widget()->findChild<SheetView *>(), grid);
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QCOMPARE(grid->horizontalScrollBar()->value(), 3);
    const QString status = f.frame.findChild<QLabel *>(u"historyStatus"_s)->text();
    QVERIFY2(status.startsWith(u"第%1回（2099-01-01）まで"_s.arg(latest + 1)), qPrintable(status));
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void ChildWindowsTest::entryOpensBesideOthersAndEveryWindowShowsWhatItSaves()
{
    QTemporaryDir dir;
    const std::string db = dir.filePath(u"draws.db"_s).toStdString();
    Fixture f;
    const QString seed = dir.filePath(u"seed.csv"_s);
    std::ofstream(seed.toStdString())
        << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
           "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n";
    QVERIFY(f.frame.startUp(db, seed.toStdString()));
    // The prediction window and an analysis are open, then the entry window opens beside them;
    // closing one of them and opening another changes nothing about that.
    f.frame.openCommand(QString::fromUtf8(windowclass::Prediction))->trigger();
    f.open(FirstInfo);
    f.open(SecondInfo);
    f.frame.childWindow(u"二番目の分析"_s)->close();
    f.frame.openCommand(QString::fromUtf8(windowclass::Entry))->trigger();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(windowclass::Entry));
    QVERIFY(sub);
    f.open(SecondInfo);
    QVERIFY(f.child(FirstInfo) && f.child(SecondInfo));
    QVERIFY(f.frame.childWindow(QString::fromUtf8(windowclass::Prediction)));
    QVERIFY(f.messages.isEmpty());

    // A draw saved in the entry window shows at once everywhere, the window still open.
    auto *entry = qobject_cast<EntryWindow *>(sub->widget());
    QVERIFY(entry);
    DrawTableModel *model = entry->model();
    const int row = model->insertDrawRow(-1);
    QVERIFY(row >= 0);
    const int numbers[] = {3, 11, 19, 25, 33, 41, 7};
    for (int i = 0; i < DrawRecord::FieldCount; ++i)
        QVERIFY(model->setData(
            model->index(row, DrawTableModel::FirstNumberColumn + i), QString::number(numbers[i])));
    const int builds = g_builds;
    QVERIFY(model->saveRow(row));
    QTRY_COMPARE(f.frame.document().totals().latestDrawNo, 3);
    QCOMPARE(g_builds, builds + 2); // both analyses computed again
    QVERIFY(!sub->isHidden());
    QCOMPARE(f.frame.document().history().records().back().fields[6], 7);
}

void ChildWindowsTest::openWindowsComeBackWhereTheyStood()
{
    const ScratchFolder folder;
    QVERIFY(folder.entered());
    QRect firstPlace;
    {
        Fixture f;
        QVERIFY(f.startShown());
        f.open(FirstInfo);
        f.open(SecondInfo);
        f.frame.childWindow(u"最初の分析"_s)->setGeometry(30, 40, 260, 210);
        firstPlace = f.frame.childWindow(u"最初の分析"_s)->geometry();
        f.frame.childWindow(u"二番目の分析"_s)->showMinimized();
        f.frame.mdiArea()->setActiveSubWindow(f.frame.childWindow(u"最初の分析"_s));
        QVERIFY(f.frame.close());
    }
    {
        Fixture f;
        QVERIFY(f.startShown());
        restoreOpenWindows(f.frame);
        QMdiSubWindow *first = f.frame.childWindow(u"最初の分析"_s);
        QMdiSubWindow *second = f.frame.childWindow(u"二番目の分析"_s);
        QVERIFY(first && second);
        QCOMPARE(first->geometry(), firstPlace);
        QVERIFY(second->isMinimized());
        QCOMPARE(f.frame.mdiArea()->activeSubWindow(), first);
        // Closed with nothing open, the next start opens nothing.
        first->close();
        second->close();
        QVERIFY(f.frame.close());
    }
    Fixture f;
    QVERIFY(f.frame.startUp("draws.db", SHARED_HISTORY));
    restoreOpenWindows(f.frame);
    QVERIFY(f.frame.mdiArea()->subWindowList().isEmpty());
}

// A table opens at its newest draw; a restart brings back the window in front, the tab shown
// and where a table was scrolled.
void ChildWindowsTest::tablesOpenAtTheNewestDrawAndComeBackAsLeft()
{
    const ScratchFolder folder;
    QVERIFY(folder.entered());
    const QString intervals = u"出現間隔分析"_s;
    const QString tickets = QString::fromUtf8(windowclass::Tickets);
    const auto gridOf = [](MainFrm &frame, const QString &name) {
        return frame.childWindow(name)->widget()->findChild<SheetView *>();
    };
    int scrolled = 0;
    {
        Fixture f;
        QVERIFY(f.startShown());
        f.frame.openCommand(intervals)->trigger();
        SheetView *grid = gridOf(f.frame, intervals);
        const std::optional<SheetCell> newest
            = findDraw(grid->sheetModel()->sheet(), f.frame.document().totals().latestDrawNo);
        QVERIFY(newest);
        QCOMPARE(grid->currentIndex().row(), newest->row - 1);
        QCOMPARE(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
        QVERIFY(grid->verticalScrollBar()->maximum() > 0);
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 3);
        scrolled = grid->verticalScrollBar()->value();
        f.frame.openCommand(tickets)->trigger();
        f.frame.childWindow(tickets)->widget()->findChild<QTabWidget *>()->setCurrentIndex(2);
        f.frame.mdiArea()->setActiveSubWindow(f.frame.childWindow(intervals));
        QVERIFY(f.frame.close());
    }
    Fixture f;
    QVERIFY(f.startShown());
    restoreOpenWindows(f.frame);
    QVERIFY(f.frame.childWindow(intervals) && f.frame.childWindow(tickets));
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), f.frame.childWindow(intervals));
    QCOMPARE(f.frame.childWindow(tickets)->widget()->findChild<QTabWidget *>()->currentIndex(), 2);
    QCOMPARE(gridOf(f.frame, intervals)->verticalScrollBar()->value(), scrolled);
    // A line kept by an earlier version, without the view, still puts the window back.
    const std::vector<WindowArranger::Placement> old
        = WindowArranger::decode(u"出現間隔分析\t1\t2\t300\t200\tA"_s);
    QCOMPARE(old.size(), std::size_t{1});
    QVERIFY(old.front().active && old.front().view.isEmpty());
}

void ChildWindowsTest::exitKeepsUnsavedEntryRowsWhenTheAnswerIsNo()
{
    QTemporaryDir dir;
    const std::string seed = dir.filePath(u"seed.csv"_s).toStdString();
    std::ofstream(seed) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                           "1,2,8,10,13,27,30,39\n";
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), seed));
    f.frame.action(u"mnuMasterInput"_s)->trigger();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(windowclass::Entry));
    QVERIFY(sub);
    auto *entry = qobject_cast<EntryWindow *>(sub->widget());
    QVERIFY(entry);
    f.recorder->answers = {QMessageBox::No, QMessageBox::Yes};
    f.recorder->intercept = [](const Message &m) -> std::optional<QMessageBox::StandardButton> {
        if (m.text.endsWith(u"の当選数字を変更します。よろしいですか？"_s))
            return QMessageBox::Yes;
        return std::nullopt;
    };
    const QStringList &asked = f.recorder->questions;
    // A wrong number keeps the row from being saved.
    entry->model()->setData(entry->model()->index(0, 2), u"44"_s);

    QVERIFY(!f.frame.close());
    QCOMPARE(asked.size(), 1);
    QVERIFY(!sub->isHidden());
    QVERIFY(f.frame.childWindow(QString::fromUtf8(windowclass::Entry)));

    QVERIFY(f.frame.close());
    QCOMPARE(asked.size(), 2);
}

// Every window command of the one list sits in a menu, is enabled and opens its window, which
// lies wholly inside the area of a main window maximised on a 1366x768 screen.
void ChildWindowsTest::everyWindowCommandOpensItsWindow()
{
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    f.frame.setWindowState(Qt::WindowNoState);
    f.frame.resize(1366, 740); // less a panel
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    QStringList lines;
    describe(f.frame.menuBar()->actions(), 0, lines);
    QStringList inMenus; // object names
    for (const QString &line : lines)
        inMenus.append(line.trimmed().section(QLatin1Char(' '), 0, 0));
    const QRect area = f.frame.mdiArea()->viewport()->rect();

    QCOMPARE(f.frame.kinds().size(),
        analyses().size() + ownWindowCount() + 2); // and the two of the fixture
    for (const ChildKind &kind : f.frame.kinds()) {
        const QString what = kind.className;
        QAction *command = f.frame.action(kind.action);
        QVERIFY2(command && command->isEnabled(), qPrintable(what));
        QVERIFY2(inMenus.count(kind.action) == 1, qPrintable(what));
        command->trigger();
        QMdiSubWindow *window = f.frame.childWindow(kind.className);
        QVERIFY2(window && window == f.frame.mdiArea()->activeSubWindow(), qPrintable(what));
        QVERIFY2(area.contains(window->geometry()), qPrintable(what));
        window->close();
        QVERIFY2(f.frame.propEnd(), qPrintable(what));
    }
    QVERIFY(f.messages.isEmpty());
}

void ChildWindowsTest::cascadeKeepsSizes()
{
    Fixture f;
    f.frame.resize(1200, 900);
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    f.open(FirstInfo);
    f.open(SecondInfo);
    QMdiSubWindow *first = f.frame.childWindow(u"最初の分析"_s);
    QMdiSubWindow *second = f.frame.childWindow(u"二番目の分析"_s);
    first->resize(400, 300);
    second->resize(500, 350);
    f.frame.commands().cascade->trigger();
    QCOMPARE(first->size(), QSize(400, 300));
    QCOMPARE(second->size(), QSize(500, 350));
    QVERIFY(first->pos() != second->pos());
    // Tiled, then cascaded: the sizes from before the tiling come back.
    f.frame.commands().tileVertical->trigger();
    QCOMPARE(first->height(), second->height());
    f.frame.commands().cascade->trigger();
    QCOMPARE(first->size(), QSize(400, 300));
    QCOMPARE(second->size(), QSize(500, 350));
}

void ChildWindowsTest::closeKeysCloseTheActiveChild_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("focusInChild");
    QTest::newRow("Ctrl+F4, focus in the child") << int(Qt::Key_F4) << true;
    QTest::newRow("Ctrl+F4, focus on the main window") << int(Qt::Key_F4) << false;
    QTest::newRow("Ctrl+W, focus in the child") << int(Qt::Key_W) << true;
    QTest::newRow("Ctrl+W, focus on the main window") << int(Qt::Key_W) << false;
}

void ChildWindowsTest::closeKeysCloseTheActiveChild()
{
    QFETCH(int, key);
    QFETCH(bool, focusInChild);
    Fixture f;
    f.frame.show();
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    f.open(FirstInfo);
    f.open(SecondInfo);
    QWidget *target = focusInChild ? f.child(SecondInfo)->findChild<SheetView *>()
                                   : static_cast<QWidget *>(f.frame.mdiArea());
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
    QTRY_VERIFY(!f.frame.childWindow(u"二番目の分析"_s));
    QVERIFY(f.frame.childWindow(u"最初の分析"_s));
}

void ChildWindowsTest::windowMenuListsWindows()
{
    Fixture f;
    f.open(FirstInfo);
    f.open(SecondInfo);
    QMenu *menu = f.frame.findChild<QMenu *>(u"mnuWindow"_s);
    emit menu->aboutToShow();
    QStringList items;
    for (QAction *a : menu->actions())
        if (a->objectName().startsWith(u"mnuWindowList"_s))
            items.append(a->text() + (a->isChecked() ? u" *"_s : QString()));
    QCOMPARE(items, QStringList({u"&1 最初"_s, u"&2 二番目 *"_s}));
    // Qt's mark of unsaved changes (the entry window's) is not shown as its placeholder.
    f.frame.childWindow(u"二番目の分析"_s)->widget()->setWindowTitle(u"二番目[*]"_s);
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().constLast()->text(), u"&2 二番目 *"_s.chopped(2));
    menu->actions().constLast()->trigger();
    f.frame.childWindow(u"最初の分析"_s)->close();
    emit menu->aboutToShow();
    menu->actions().constLast()->trigger();
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), f.frame.childWindow(u"二番目の分析"_s));

    // However many are open, nine are listed with their keys and the others in a submenu, so
    // that the menu never runs off the screen.
    for (const AnalysisInfo &info : analyses())
        f.frame.openChild(qs(info.className));
    const QList<QMdiSubWindow *> windows = f.frame.mdiArea()->subWindowList();
    const auto open = static_cast<int>(std::count_if(
        windows.begin(), windows.end(), [](QMdiSubWindow *w) { return !w->isHidden(); }));
    QVERIFY(open > 15);
    emit menu->aboutToShow();
    int listed = 0;
    for (QAction *a : menu->actions())
        listed += a->objectName().startsWith(u"mnuWindowList"_s) && !a->menu() ? 1 : 0;
    QCOMPARE(listed, 9);
    QMenu *submenu = menu->actions().constLast()->menu();
    QVERIFY(submenu);
    QCOMPARE(static_cast<int>(submenu->actions().size()), open - 9);
    for (QAction *a : menu->actions() + submenu->actions())
        QVERIFY2(!a->text().contains(u"[*]"_s), qPrintable(a->text()));
    // Shown again, the list is made afresh, not added to.
    emit menu->aboutToShow();
    QCOMPARE(static_cast<int>(menu->actions().constLast()->menu()->actions().size()), open - 9);
}

// Every window of the table that shows the ticket book computes again, once, when the book
// changes through the document; no other window does.
void ChildWindowsTest::everyWindowOfTheBookRefreshesWhenItChanges()
{
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    f.frame.resize(1366, 740);
    std::vector<std::pair<ChildWindow *, std::unique_ptr<QSignalSpy>>> open;
    for (const ChildKind &kind : f.frame.kinds()) {
        f.frame.action(kind.action)->trigger();
        auto *window = qobject_cast<ChildWindow *>(f.frame.childWindow(kind.className)->widget());
        QVERIFY2(window, qPrintable(kind.className));
        open.emplace_back(window, std::make_unique<QSignalSpy>(window, &ChildWindow::refreshed));
    }
    // The chart window follows the book while it shows a chart of the tickets.
    f.frame.findChild<QAction *>(u"mnuGraph-tickets"_s)->trigger();
    std::vector<Ticket> tickets(1);
    tickets[0].numbers = {2, 8, 10, 13, 27, 30};
    tickets[0].firstDraw = 2100;
    tickets[0].draws = 40;
    QVERIFY(f.frame.document().addTickets(tickets));
    int followers = 0;
    for (const auto &[window, spy] : open) {
        QCOMPARE(spy->count(), window->followsBook() ? 1 : 0);
        followers += window->followsBook() ? 1 : 0;
    }
    QVERIFY(followers >= 2); // the ticket window and the chart window at least
    QVERIFY(f.messages.isEmpty());
}

QTEST_MAIN(ChildWindowsTest)
#include "childwindows_test.moc"
