#include "mainfrmfixture.h"
#include "windows/backtestwindow.h"

#include "store/historyfile.h"

// The main window itself: menus, start-up and exit, settings, About, help, status line, size.
class MainFrmTest : public QObject
{
    Q_OBJECT

private slots:
    void menuTree();
    void startUp_data();
    void startUp();
    void settingsWrittenOnceAfterChildrenUnload();
    void aboutWindowPosition_data();
    void aboutWindowPosition();
    void historySummary_data();
    void historySummary();
    void settingsWriteFailureIsTold();
    void helpKeyOpensTheActiveWindowsTopic();
    void noMessageUnderBusyCursor();
    void firstStartSize_data();
    void firstStartSize();
    void standardButtonsSpeakJapanese();
    void narrowDescriptionElides_data();
    void narrowDescriptionElides();
    void narrowStatusMessageElides_data();
    void narrowStatusMessageElides();
    void reportsReadableAtDefaultSize_data();
    void reportsReadableAtDefaultSize();
};

void MainFrmTest::menuTree()
{
    MainFrm frame;
    QStringList tree;
    describe(frame.menuBar()->actions(), 0, tree);
    const QStringList expected = {
        u"mnuEnd 終了(&X)"_s,
        u"mnuYoso 一発ズンベル予想(&D)"_s,
        u"mnuMain データ分析(&S)"_s,
        u" mnuHindo 頻度分析"_s,
        u"  mnuSyutugenHindo 出現頻度分析"_s,
        u"  mnuSyutugenKaisu 回数別頻度分析"_s,
        u" mnuKankaku 間隔分析"_s,
        u"  mnuSyutugenKankaku 出現間隔分析"_s,
        u"  mnuNumberKankaku 数字間隔分析"_s,
        u" mnuZenkaiSyutugen 出現回数分析"_s,
        u" mnuBaratsuki バラツキ分析"_s,
        u" mnuHippari 引っ張り分析"_s,
        u" mnuRenbanTobiishi 連番・飛び石分析"_s,
        u" mnuHonsuji 数字合計分析"_s,
        u" mnuPattern 組合せパターン分析"_s,
        u"  mnuLowHightPattern 低数字・高数字の組合せパターン分析"_s,
        u"  mnuKisuGusuPattern 偶数・奇数の組合せパターン分析"_s,
        u" mnu5BunkatsuKeiko 5分割傾向分析"_s,
        u" mnuBunkatsuData 分割データ分析"_s,
        u"  mnu6BunkatsuData 6分割データ分析"_s,
        u"  mnu7BunkatsuData 7分割データ分析"_s,
        u"  mnu11BunkatsuData 11分割データ分析"_s,
        u" mnuLastChar 下一桁出現傾向分析"_s,
        u" mnuLastCharRenzoku 下一桁連続出現回数分析"_s,
        u" mnuGuzenHikaku 偶然との比較"_s,
        u" mnuYosoKensyo 予想の検証"_s,
        u"  "_s,
        u" mnuKijunkai 基準回を指定..."_s,
        u" mnuKijunkaiKaijo 最新の回に戻す [off]"_s,
        u"mnuGraphMenu グラフ(&G)"_s,
        u" mnuGraph グラフを開く(&O)..."_s,
        u"  "_s,
        u" mnuGraph-appearances 本数字の出現回数"_s,
        u" mnuGraph-appearances-all 本数字＋ボーナス数字の出現回数"_s,
        u" mnuGraph-number 数字の出現の推移"_s,
        u" mnuGraph-gaps 出現間隔の分布"_s,
        u" mnuGraph-sum 本数字の合計の分布"_s,
        u" mnuGraph-even-odd 偶数・奇数のパターン"_s,
        u" mnuGraph-low-high 低数字・高数字のパターン"_s,
        u" mnuGraph-chance 偶然との比較（標準化した偏り）"_s,
        u" mnuGraph-tickets 購入番号の収支"_s,
        u" mnuGraph-popularity 人気度モデルの検証"_s,
        u"mnuHosyu データ管理(&M)"_s,
        u" mnuMasterUpdate 当選データ最新化(&U)"_s,
        u" mnuMasterInput 当選データ入力(&I)"_s,
        u" mnuKonkaiKekka 今回の結果(&R)..."_s,
        u" mnuCsvTorikomi CSVから取り込み..."_s,
        u" mnuCsvKakidashi CSVへ書き出し..."_s,
        u" mnuKonyuBango 購入番号の照合..."_s,
        u" mnuBangoSekkei 番号の設計..."_s,
        u" mnuNinkido 人気度と期待値..."_s,
        u"  "_s,
        u" mnuPrint 印刷(&P)..."_s,
        u"mnuWindow ウィンドウ(&W)"_s,
        u" mnuWindowHorizontal 上下に並べて表示(&H)"_s,
        u" mnuWindowVertical 左右に並べて表示(&V)"_s,
        u" mnuWindowCascade 重ねて表示(&C)"_s,
        u" mnuWindowArrangeIcon アイコンの整列(&A)"_s,
        u"  "_s,
        u" actNextChild 次のウィンドウ(&N)"_s,
        u" actPreviousChild 前のウィンドウ(&P)\tCtrl+Shift+Tab"_s,
        u" actCloseChild 閉じる(&O)"_s,
        u" mnuToolbar ツールバーを表示(&T)"_s,
        u"mnuHelp ヘルプ(&H)"_s,
        u" mnuHelpFile ヘルプ(&H)"_s,
        u" mnuAbout バージョン情報(&A)"_s,
    };
    QCOMPARE(tree, expected);
    QCOMPARE(QKeySequence::mnemonic(frame.action(u"mnuWindowCascade"_s)->text()),
        QKeySequence(Qt::ALT | Qt::Key_C));
}

void MainFrmTest::startUp_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("status");

    QTest::newRow("new database from the seed") << u"seed"_s << true << QString();
    QTest::newRow("malformed record skipped")
        << u"malformed"_s << true << u"1 件を読み飛ばしました"_s;
    QTest::newRow("not a database") << u"garbage"_s << false << QString();
}

void MainFrmTest::startUp()
{
    QFETCH(QString, kind);
    QFETCH(bool, ok);
    QFETCH(QString, status);

    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    const auto seed = folder / "seed.csv";
    const auto db = folder / "draws.db";
    std::ofstream(seed) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                           "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n3,4,5,6,7,8,9,10\n";
    if (kind == u"garbage"_s)
        std::ofstream(db) << "this is not a database file, just text\n";
    if (kind == u"malformed"_s) {
        Database prepare;
        QVERIFY(prepare.openOrCreate(db, seed));
        QVERIFY(prepare.exec("UPDATE 結果マスタ SET 第3数字 = 'x' WHERE 回数 = 2"));
    }

    Fixture f;
    f.frame.setPropEnd(false);
    const Status result = f.frame.startUp(db, seed);
    QCOMPARE(result.ok(), ok);
    QVERIFY(!QApplication::overrideCursor());
    if (!ok) {
        QCOMPARE(f.messages.size(), 1);
        QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(f.messages[0].title, u"メッセ－ジ"_s);
        QVERIFY(f.messages[0].text.contains(QString::fromStdString(db.string())));
        return;
    }
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.frame.propEnd(), true);
    QCOMPARE(f.frame.document().totals().latestDrawNo, 3);
    QVERIFY(f.frame.statusBar()->currentMessage().contains(status));
    QCOMPARE(f.frame.statusBar()->currentMessage().isEmpty(), status.isEmpty());
}

void MainFrmTest::settingsWrittenOnceAfterChildrenUnload()
{
    const ScratchFolder folder;
    QVERIFY(folder.entered());
    {
        std::ofstream(PredictionOptions::FileName) << "バラツキ分析Opt=True\r\n";
        Fixture f;
        QVERIFY(f.frame.startUp("draws.db", SHARED_HISTORY));
        QVERIFY(f.frame.document().predictionOptions().on[3]);
        f.frame.document().predictionOptions().on[11] = true;
        f.open(FirstInfo);
        f.open(SecondInfo);

        int writes = 0;
        bool childrenGone = false;
        QObject::connect(&f.frame, &MainFrm::settingsWritten, &f.frame, [&](const Status &status) {
            ++writes;
            QVERIFY(status.ok());
            childrenGone = f.frame.propEnd() && !f.frame.childWindow(u"最初の分析"_s)
                && !f.frame.childWindow(u"二番目の分析"_s);
        });
        f.frame.close();
        f.frame.close();
        QCOMPARE(writes, 1);
        QVERIFY(childrenGone);
    }
    PredictionOptions written;
    QVERIFY(readInitFile(PredictionOptions::FileName, written).ok());
    PredictionOptions expected;
    expected.on[3] = expected.on[11] = true;
    QVERIFY(written == expected);
}

void MainFrmTest::aboutWindowPosition_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("maximised at the origin") << QRect(0, 0, 1200, 900) << QPoint(400, 300);
    QTest::newRow("moved away from the origin") << QRect(90, 60, 990, 780) << QPoint(300, 240);
    // A third of the way down would run past the bottom of a low main window.
    QTest::newRow("kept inside the main window") << QRect(0, 0, 1366, 700) << QPoint(455, 206);
}

void MainFrmTest::aboutWindowPosition()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QPoint, expected);
    QCOMPARE(AboutWindow::positionFor(mainFrame, QSize(334, 494)), expected);

    Fixture f;
    f.frame.showAbout();
    QVERIFY(f.frame.aboutWindow());
    QVERIFY(f.frame.aboutWindow()->isWindow());
    QCOMPARE(f.frame.aboutWindow()->windowTitle(), u"バージョン情報"_s);
    AboutWindow *about = f.frame.aboutWindow();
    f.frame.showAbout();
    QCOMPARE(f.frame.aboutWindow(), about);
    // Esc closes it.
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!f.frame.aboutWindow());
}

void MainFrmTest::historySummary_data()
{
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("expected");
    const QString head
        = u"回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"_s;
    QTest::newRow("empty") << QString() << u"当選データがありません"_s;
    QTest::newRow("with dates") << head
            + u"1,2000-10-05,2,8,10,13,27,30,39\n"
              u"2,2000-10-12,1,9,16,20,21,43,5\n"_s
                                << u"第2回（2000-10-12）まで　2回分"_s;
    QTest::newRow("no date") << head + u"7,,2,8,10,13,27,30,39\n"_s << u"第7回まで　1回分"_s;
}

void MainFrmTest::historySummary()
{
    QFETCH(QString, csv);
    QFETCH(QString, expected);
    HistoryFile file;
    if (!csv.isEmpty())
        QVERIFY(readHistoryBytes(csv.toStdString(), file));
    QCOMPARE(HistoryDocument::summary(DrawHistory(std::move(file.draws))), expected);
}

void MainFrmTest::settingsWriteFailureIsTold()
{
    const ScratchFolder folder;
    QVERIFY(folder.entered());
    // A folder where the settings file should be: no program can write the file.
    QVERIFY(QDir().mkdir(QString::fromUtf8(PredictionOptions::FileName)));
    {
        Fixture f;
        QVERIFY(f.frame.startUp("draws.db", SHARED_HISTORY));
        f.frame.document().predictionOptions().on[2] = true;
        Status written = Status::success();
        QObject::connect(&f.frame, &MainFrm::settingsWritten, &f.frame,
            [&written](const Status &status) { written = status; });
        f.frame.close();
        QVERIFY(!written.ok());
        QCOMPARE(f.messages.size(), 1);
        const QString text = f.messages[0].text;
        QVERIFY2(text.startsWith(u"予想の設定を保存できませんでした。"_s), qPrintable(text));
        QVERIFY2(text.contains(
                     QDir(folder.path()).filePath(QString::fromUtf8(PredictionOptions::FileName))),
            qPrintable(text));
        QVERIFY2(text.contains(u"確かめて"_s), qPrintable(text));
    }
}

void MainFrmTest::helpKeyOpensTheActiveWindowsTopic()
{
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    f.frame.show();
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    QTest::keyClick(f.frame.mdiArea(), Qt::Key_F1);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(f.frame.helpWindow() && f.frame.helpWindow()->isVisible());
    QCOMPARE(f.frame.helpWindow()->topic(), QString::fromUtf8(MainFrm::HelpTopic));

    // With a window in front, the help opens at that window's section.
    f.frame.openCommand(QString::fromUtf8(windowclass::Chance))->trigger();
    QVERIFY(f.frame.childWindow(QString::fromUtf8(windowclass::Chance)));
    f.frame.commands().help->trigger();
    QCOMPARE(f.frame.helpWindow()->topic(), u"偶然との比較"_s);

    // Every window's topic is a section of the help.
    const QString html = f.frame.helpWindow()->toHtml();
    for (const ChildKind &kind : childKinds())
        QVERIFY2(!kind.helpTopic.isEmpty()
                && html.contains(QStringLiteral("name=\"%1\"").arg(kind.helpTopic)),
            qPrintable(kind.className));
}

void MainFrmTest::noMessageUnderBusyCursor()
{
    Fixture f;
    bool cursorWhileShown = true;
    f.recorder->intercept = [&](const Message &) -> std::optional<QMessageBox::StandardButton> {
        cursorWhileShown = QApplication::overrideCursor() != nullptr;
        return QMessageBox::Ok;
    };
    // Reading the history again with no database open fails under the hourglass.
    QVERIFY(!f.frame.reloadHistory());
    QVERIFY(!cursorWhileShown);
    QVERIFY(!QApplication::overrideCursor());
}

void MainFrmTest::firstStartSize_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<bool>("fits");
    QTest::newRow("1366x768 maximises") << QSize(1366, 728) << false;
    QTest::newRow("1920x1080 holds the largest child") << QSize(1920, 1040) << true;
}

void MainFrmTest::firstStartSize()
{
    QFETCH(QSize, available);
    QFETCH(bool, fits);
    const QSize extra(8, 60);
    const std::optional<QSize> size
        = WindowArranger::firstStartSize(childKinds(), available, extra);
    QCOMPARE(size.has_value(), fits);
    if (!size)
        return;
    QVERIFY(size->width() <= available.width() && size->height() <= available.height());
    // The client area holds the tallest window.
    int tallest = 0;
    for (const ChildKind &kind : childKinds())
        tallest = std::max(tallest, kind.sizeTwips.height());
    QVERIFY(size->height() - extra.height() >= twipsToPixels(tallest));
}

void MainFrmTest::standardButtonsSpeakJapanese()
{
    QVERIFY(installJapaneseTranslations(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Question, u"t"_s, u"?"_s, QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(box.button(QMessageBox::Yes)->text().contains(u"はい"_s),
        qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().contains(u"いいえ"_s));
}

void MainFrmTest::narrowDescriptionElides_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("elided");
    QTest::newRow("wide: one line") << 2000 << false;
    QTest::newRow("tiled side by side: two lines, cut") << 60 << true;
}

void MainFrmTest::narrowDescriptionElides()
{
    QFETCH(int, width);
    QFETCH(bool, elided);
    const QString text = u"過去の当選番号の出現回数を数字別に分析します"_s;
    ElidedLabel label(text, 2);
    label.resize(width, label.heightForWidth(width));
    label.show();
    QCOMPARE(label.isElided(), elided);
    QCOMPARE(label.toolTip(), elided ? text : QString());
    QVERIFY(label.heightForWidth(width) <= 2 * label.fontMetrics().lineSpacing());
}

void MainFrmTest::narrowStatusMessageElides_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("elided");
    QTest::newRow("wide: whole") << 1900 << false;
    QTest::newRow("narrow: cut, whole in the tooltip") << 640 << true;
}

// A status-bar message too long for the window ends in "…" instead of being cut off, and the
// history summary beside it stays whole.
void MainFrmTest::narrowStatusMessageElides()
{
    QFETCH(int, width);
    QFETCH(bool, elided);
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    f.frame.setWindowState(Qt::WindowNoState);
    f.frame.resize(width, 600);
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    const QString text
        = u"取り込みでは受け付けない値を持つ当選データが 12 件あります（最初は第1234回）。"
          "データ管理メニューから取り込み直してください。"_s;
    f.frame.statusBar()->showMessage(text);
    QTest::qWait(0);
    auto *line = f.frame.findChild<ElidedLabel *>(u"statusMessage"_s);
    QVERIFY(line);
    QCOMPARE(line->text(), text);
    QVERIFY(line->isVisible());
    QCOMPARE(line->isElided(), elided);
    QCOMPARE(line->toolTip(), elided ? text : QString());
    const QLabel *history = f.frame.findChild<QLabel *>(u"historyStatus"_s);
    QVERIFY(history->width() >= history->sizeHint().width());
    f.frame.statusBar()->clearMessage();
    QVERIFY(line->text().isEmpty());
    QVERIFY(line->toolTip().isEmpty());
}

void MainFrmTest::reportsReadableAtDefaultSize_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("columns"); // item to verdict
    QTest::addColumn<bool>("small");
    for (const bool small : {true, false}) {
        const char *screen = small ? "1366x768 maximised" : "1920x1080 first start";
        QTest::addRow("chance, %s", screen)
            << u"mnuGuzenHikaku"_s << u"偶然との比較"_s << 8 << small;
        QTest::addRow("check, %s", screen) << u"mnuYosoKensyo"_s << u"予想の検証"_s << 10 << small;
    }
}

// At its default size, cut to a small screen's area or not, a report window shows every test
// row from its name to its verdict without scrolling, and its notes whole.
void MainFrmTest::reportsReadableAtDefaultSize()
{
    QFETCH(QString, action);
    QFETCH(QString, className);
    QFETCH(int, columns);
    QFETCH(bool, small);
    QTemporaryDir dir;
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    const QSize bars(
        8, f.frame.menuBar()->sizeHint().height() + f.frame.statusBar()->sizeHint().height());
    const std::optional<QSize> large
        = WindowArranger::firstStartSize(childKinds(), QSize(1920, 1040), bars);
    QVERIFY(large);
    // The test screen is smaller than either: the main window starts maximised on it.
    f.frame.setWindowState(Qt::WindowNoState);
    f.frame.resize(small ? QSize(1366, 740) : *large);
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    f.frame.action(action)->trigger();
    QMdiSubWindow *window = f.frame.childWindow(className);
    QVERIFY(window);
    QVERIFY(f.frame.mdiArea()->viewport()->rect().contains(window->geometry()));
    // 予想の検証 opens at once and fills its tables when its check comes.
    if (auto *check = qobject_cast<BacktestWindow *>(window->widget()))
        QTRY_VERIFY_WITH_TIMEOUT(check->hasReport(), 120000);
    QTest::qWait(0);

    SheetView *grid = nullptr;
    for (SheetView *view : window->widget()->findChildren<SheetView *>())
        if (view->isVisible())
            grid = view;
    QVERIFY(grid);
    const int width = grid->viewport()->width();
    for (int c = 0; c < columns; ++c)
        QVERIFY2(grid->columnViewportPosition(c) + grid->columnWidth(c) <= width,
            qPrintable(grid->model()->index(0, c).data().toString()));
    int row = 0;
    for (; row < grid->model()->rowCount() && !grid->isRowHidden(row); ++row)
        QVERIFY2(
            grid->rowViewportPosition(row) + grid->rowHeight(row) <= grid->viewport()->height(),
            qPrintable(grid->model()->index(row, 0).data().toString()));
    QVERIFY(row > 2);

    auto *notes = window->widget()->findChild<QLabel *>(u"LabelNotes"_s);
    QVERIFY(notes && notes->isVisible());
    QVERIFY(notes->text().count(u"注　"_s) >= 4);
    QVERIFY(notes->height() >= notes->heightForWidth(notes->width()));
    QVERIFY(window->widget()->rect().contains(
        QRect(notes->mapTo(window->widget(), QPoint(0, 0)), notes->size())));
    if (auto *button = window->widget()->findChild<QPushButton *>(u"cmdCurrentShift"_s))
        QCOMPARE(button->visibleRegion().boundingRect(), button->rect());
}

QTEST_MAIN(MainFrmTest)
#include "mainfrm_test.moc"
