#include "entry/drawtablemodel.h"
#include "prediction/predictionoptions.h"
#include "shell/childkind.h"
#include "shell/japanesetranslations.h"
#include "shell/mainfrm.h"
#include "shell/session.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "shell/windowarranger.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "views/elidedlabel.h"
#include "views/sheetview.h"
#include "windows/aboutwindow.h"
#include "windows/analysiswindow.h"
#include "windows/chancewindow.h"
#include "windows/entrywindow.h"
#include "windows/helpwindow.h"
#include "windows/predictionwindow.h"

#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace Qt::StringLiterals;

using namespace loto6;

namespace {

int g_builds = 0;

Sheet countingBuilder(const DrawHistory &, const Totals &)
{
    ++g_builds;
    Sheet s;
    s.setSize(3, 3);
    s.setText(1, 1, "x");
    return s;
}

const AnalysisInfo FirstInfo{"first", "最初の分析", "最初", "説明", {}, countingBuilder};
const AnalysisInfo SecondInfo{"second", "二番目の分析", "二番目", "説明", {}, countingBuilder};

struct Message
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// The program's windows and two small stand-in analyses.
std::vector<ChildKind> kindsWithStandIns()
{
    std::vector<ChildKind> kinds = childKinds();
    kinds.push_back(analysisKind(FirstInfo, {"first", "mnuFirst", "", {3000, 3000}, true}));
    kinds.push_back(analysisKind(SecondInfo, {"second", "mnuSecond", "", {3000, 3000}, false}));
    return kinds;
}

// A main window whose message boxes are recorded instead of shown.
struct Fixture
{
    MainFrm frame{nullptr, kindsWithStandIns()};
    QList<Message> messages;

    Fixture()
    {
        frame.setMessageFunction(
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                messages.append({icon, title, text});
            });
        frame.setPropEnd(true);
    }
    // Opens the window of an analysis through its command, as the menu does.
    void open(const AnalysisInfo &info) { frame.openCommand(qs(info.className))->trigger(); }
    QWidget *child(const AnalysisInfo &info) const
    {
        QMdiSubWindow *w = frame.childWindow(QString::fromUtf8(info.className.data()));
        return w ? w->widget() : nullptr;
    }
};

// The menu as indented lines "name caption [off]", in menu order.
void describe(const QList<QAction *> &actions, int depth, QStringList &out)
{
    for (QAction *a : actions) {
        QString line
            = QString(depth, QLatin1Char(' ')) + a->objectName() + QLatin1Char(' ') + a->text();
        if (!a->isEnabled())
            line += QStringLiteral(" [off]");
        out.append(line);
        if (a->menu())
            describe(a->menu()->actions(), depth + 1, out);
    }
}

} // namespace

class MainFrmTest : public QObject
{
    Q_OBJECT

private slots:
    void menuTree();
    void propEndFollowsOpenAndClose();
    void oneInstancePerWindow();
    void windowArrangement();
    void startUp_data();
    void startUp();
    void settingsWrittenOnceAfterChildrenUnload();
    void aboutWindowPosition_data();
    void aboutWindowPosition();
    void historySummary_data();
    void historySummary();
    void reloadRebuildsOpenWindowsInPlace();
    void entryOpensBesideOthersAndEveryWindowShowsWhatItSaves();
    void settingsWriteFailureIsTold();
    void helpKeyOpensTheActiveWindowsTopic();
    void openWindowsComeBackWhereTheyStood();
    void exitKeepsUnsavedEntryRowsWhenTheAnswerIsNo();
    void noMessageUnderBusyCursor();
    void firstStartSize_data();
    void firstStartSize();
    void everyWindowCommandOpensItsWindow();
    void cascadeKeepsSizes();
    void closeKeysCloseTheActiveChild_data();
    void closeKeysCloseTheActiveChild();
    void windowMenuListsWindows();
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
        u"  mnuSyutugenKaisu 回数別出現分析"_s,
        u" mnuKankaku 間隔分析"_s,
        u"  mnuSyutugenKankaku 出現間隔分析"_s,
        u"  mnuNumberKankaku 数字間隔分析"_s,
        u" mnuZenkaiSyutugen 出現回数分析"_s,
        u" mnuBaratsuki バラツキ分析"_s,
        u" mnuHippari 引っ張り分析"_s,
        u" mnuRenbanTobiishi 連番・飛び石分析"_s,
        u" mnuHonsuji 数字合計分析"_s,
        u" mnuPattern 組合せパターン分析"_s,
        u"  mnuLowHighPattern 低数字・高数字の組合せパターン分析"_s,
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
        u" mnuCsvTorikomi CSVから取り込み..."_s,
        u" mnuCsvKakidashi CSVへ書き出し..."_s,
        u" mnuKonyuBango 購入番号の照合..."_s,
        u" mnuBangoSekkei 番号の設計..."_s,
        u" mnuNinkido 人気度と期待値..."_s,
        u"mnuWindow ウィンドウ(&W)"_s,
        u" mnuWindowHorizontal 上下に並べて表示(&H)"_s,
        u" mnuWindowVertical 左右に並べて表示(&V)"_s,
        u" mnuWindowCascade 重ねて表示(&C)"_s,
        u" mnuWindowArrangeIcon アイコンの整列(&A)"_s,
        u"  "_s,
        u" actNextChild 次のウィンドウ(&N)"_s,
        u" actPreviousChild 前のウィンドウ(&P)"_s,
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

void MainFrmTest::propEndFollowsOpenAndClose()
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
    QCOMPARE(opened, 17);
    QCOMPARE(f.frame.mdiArea()->subWindowList().size(), 18);
}

void MainFrmTest::oneInstancePerWindow()
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

void MainFrmTest::windowArrangement()
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
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
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
    const Status read = readInitFile(PredictionOptions::FileName, written);
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY(read.ok());
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
    std::vector<DrawRecord> draws;
    if (!csv.isEmpty())
        QVERIFY(importCsvBytes(csv.toStdString(), draws));
    QCOMPARE(HistoryDocument::summary(DrawHistory(std::move(draws))), expected);
}

void MainFrmTest::reloadRebuildsOpenWindowsInPlace()
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

void MainFrmTest::entryOpensBesideOthersAndEveryWindowShowsWhatItSaves()
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
    f.frame.openCommand(QString::fromUtf8(PredictionWindow::ClassName))->trigger();
    f.open(FirstInfo);
    f.open(SecondInfo);
    f.frame.childWindow(u"二番目の分析"_s)->close();
    f.frame.openCommand(QString::fromUtf8(EntryWindow::ClassName))->trigger();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(EntryWindow::ClassName));
    QVERIFY(sub);
    f.open(SecondInfo);
    QVERIFY(f.child(FirstInfo) && f.child(SecondInfo));
    QVERIFY(f.frame.childWindow(QString::fromUtf8(PredictionWindow::ClassName)));
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

void MainFrmTest::settingsWriteFailureIsTold()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto back = qScopeGuard([&previous] { QDir::setCurrent(previous); });
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
                     QDir(dir.path()).filePath(QString::fromUtf8(PredictionOptions::FileName))),
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
    f.frame.openCommand(QString::fromUtf8(ChanceWindow::ClassName))->trigger();
    QVERIFY(f.frame.childWindow(QString::fromUtf8(ChanceWindow::ClassName)));
    f.frame.commands().help->trigger();
    QCOMPARE(f.frame.helpWindow()->topic(), u"偶然との比較"_s);

    // Every window's topic is a section of the help.
    const QString html = f.frame.helpWindow()->toHtml();
    for (const ChildKind &kind : childKinds())
        QVERIFY2(!kind.helpTopic.isEmpty()
                && html.contains(QStringLiteral("name=\"%1\"").arg(kind.helpTopic)),
            qPrintable(kind.className));
}

void MainFrmTest::openWindowsComeBackWhereTheyStood()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto back = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    QRect firstPlace;
    {
        Fixture f;
        QVERIFY(f.frame.startUp("draws.db", SHARED_HISTORY));
        f.frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
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
        QVERIFY(f.frame.startUp("draws.db", SHARED_HISTORY));
        f.frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
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

void MainFrmTest::exitKeepsUnsavedEntryRowsWhenTheAnswerIsNo()
{
    QTemporaryDir dir;
    const std::string seed = dir.filePath(u"seed.csv"_s).toStdString();
    std::ofstream(seed) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                           "1,2,8,10,13,27,30,39\n";
    Fixture f;
    QVERIFY(f.frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), seed));
    f.frame.action(u"mnuMasterInput"_s)->trigger();
    QMdiSubWindow *sub = f.frame.childWindow(QString::fromUtf8(EntryWindow::ClassName));
    QVERIFY(sub);
    auto *entry = qobject_cast<EntryWindow *>(sub->widget());
    QVERIFY(entry);
    QList<QMessageBox::StandardButton> answers{QMessageBox::No, QMessageBox::Yes};
    QStringList asked;
    entry->setMessageFunction([&](const EntryWindow::Message &m) {
        if (m.text.endsWith(u"の当選数字を変更します。よろしいですか？"_s))
            return QMessageBox::Yes;
        asked.append(m.text);
        return answers.takeFirst();
    });
    // A wrong number keeps the row from being saved.
    entry->model()->setData(entry->model()->index(0, 2), u"44"_s);

    QVERIFY(!f.frame.close());
    QCOMPARE(asked.size(), 1);
    QVERIFY(!sub->isHidden());
    QVERIFY(f.frame.childWindow(QString::fromUtf8(EntryWindow::ClassName)));

    QVERIFY(f.frame.close());
    QCOMPARE(asked.size(), 2);
}

void MainFrmTest::noMessageUnderBusyCursor()
{
    Fixture f;
    bool cursorWhileShown = true;
    f.frame.setMessageFunction([&](QMessageBox::Icon, const QString &, const QString &) {
        cursorWhileShown = QApplication::overrideCursor() != nullptr;
    });
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

// Every window command of the one list sits in a menu, is enabled and opens its window, which
// lies wholly inside the area of a main window maximised on a 1366x768 screen.
void MainFrmTest::everyWindowCommandOpensItsWindow()
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
        analyses().size() + 8 + 2); // the own windows and the two of the fixture
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

void MainFrmTest::cascadeKeepsSizes()
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

void MainFrmTest::closeKeysCloseTheActiveChild_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("focusInChild");
    QTest::newRow("Ctrl+F4, focus in the child") << int(Qt::Key_F4) << true;
    QTest::newRow("Ctrl+F4, focus on the main window") << int(Qt::Key_F4) << false;
    QTest::newRow("Ctrl+W, focus in the child") << int(Qt::Key_W) << true;
    QTest::newRow("Ctrl+W, focus on the main window") << int(Qt::Key_W) << false;
}

void MainFrmTest::closeKeysCloseTheActiveChild()
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

void MainFrmTest::windowMenuListsWindows()
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
    menu->actions().constLast()->trigger();
    f.frame.childWindow(u"最初の分析"_s)->close();
    emit menu->aboutToShow();
    menu->actions().constLast()->trigger();
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), f.frame.childWindow(u"二番目の分析"_s));
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
