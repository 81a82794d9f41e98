#include "entry/drawtablemodel.h"
#include "prediction/predictionoptions.h"
#include "shell/childkind.h"
#include "shell/japanesetranslations.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "views/elidedlabel.h"
#include "views/sheetview.h"
#include "windows/aboutwindow.h"
#include "windows/analysiswindow.h"
#include "windows/entrywindow.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

const AnalysisInfo FirstInfo{
    "first", "最初の分析", "最初", "説明", 3000, 3000, true, {}, countingBuilder};
const AnalysisInfo SecondInfo{
    "second", "二番目の分析", "二番目", "説明", 3000, 3000, false, {}, countingBuilder};

struct Message
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A main window whose message boxes are recorded instead of shown.
struct Fixture
{
    MainFrm frame;
    QList<Message> messages;

    Fixture()
    {
        frame.setMessageFunction(
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                messages.append({icon, title, text});
            });
        frame.setPropEnd(true);
    }
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
    void entryCommandRefusesWhileChildOpen();
    void windowArrangement();
    void startUp_data();
    void startUp();
    void settingsWrittenOnceAfterChildrenUnload();
    void aboutWindowPosition_data();
    void aboutWindowPosition();
    void historySummary_data();
    void historySummary();
    void reloadRebuildsOpenWindowsInPlace();
    void savedEntryReloadsHistory();
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
    f.frame.showAnalysis(FirstInfo);
    QCOMPARE(f.frame.propEnd(), false);
    f.frame.showAnalysis(SecondInfo);
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
    f.frame.showAnalysis(FirstInfo);
    QCOMPARE(f.frame.propEnd(), false);
    QCOMPARE(g_builds, 3);

    // Every real analysis command opens its window the same way.
    int opened = 0;
    for (const AnalysisInfo &info : analyses()) {
        f.frame.showAnalysis(info);
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
    f.frame.showAnalysis(FirstInfo);
    QWidget *first = f.child(FirstInfo);
    f.frame.showAnalysis(SecondInfo);
    f.frame.setPropEnd(true);

    // Showing it again raises the open window without reloading it.
    f.frame.showAnalysis(FirstInfo);
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

void MainFrmTest::entryCommandRefusesWhileChildOpen()
{
    Fixture f;
    int created = 0;
    f.frame.setChildFactory(u"mnuMasterInput"_s, [&created](MainFrm &) {
        ++created;
        return new QWidget;
    });
    QVERIFY(f.frame.action(u"mnuMasterInput"_s)->isEnabled());

    f.frame.showAnalysis(FirstInfo);
    f.frame.action(u"mnuMasterInput"_s)->trigger();
    QCOMPARE(created, 0);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.messages[0].title, u"メッセ－ジ"_s);
    QCOMPARE(f.messages[0].text, u"表示中のウィンドウを閉じないと実行できません。"_s);
    QVERIFY(!QApplication::overrideCursor());

    f.frame.childWindow(u"最初の分析"_s)->close();
    f.frame.action(u"mnuMasterInput"_s)->trigger();
    QCOMPARE(created, 1);
    QCOMPARE(f.messages.size(), 1);
}

void MainFrmTest::windowArrangement()
{
    Fixture f;
    f.frame.show();
    f.frame.showAnalysis(FirstInfo);
    f.frame.showAnalysis(SecondInfo);
    f.frame.showAnalysis(analyses()[1]);
    QMdiSubWindow *first = f.frame.childWindow(u"最初の分析"_s);
    QMdiSubWindow *second = f.frame.childWindow(u"二番目の分析"_s);
    const QSize area = f.frame.mdiArea()->viewport()->size();

    // A minimised window lines up at the bottom and is left out of the tiling.
    f.frame.childWindow(u"回数別出現分析"_s)->showMinimized();
    f.frame.tileOneAboveTheOther();
    const int iconTop = f.frame.childWindow(u"回数別出現分析"_s)->y();
    QCOMPARE(f.frame.childWindow(u"回数別出現分析"_s)->geometry().bottom(), area.height() - 1);
    QCOMPARE(first->geometry(), QRect(0, 0, area.width(), iconTop / 2));
    QCOMPARE(second->geometry(), QRect(0, iconTop / 2, area.width(), iconTop - iconTop / 2));

    f.frame.tileSideBySide();
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
        QVERIFY(f.messages[0].text.contains(QString::fromStdString(result.message())));
        return;
    }
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.frame.propEnd(), true);
    QCOMPARE(f.frame.totals().latestDrawNo, 3);
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
        QVERIFY(f.frame.predictionOptions().on[3]);
        f.frame.predictionOptions().on[11] = true;
        f.frame.showAnalysis(FirstInfo);
        f.frame.showAnalysis(SecondInfo);

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
}

void MainFrmTest::aboutWindowPosition()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QPoint, expected);
    QCOMPARE(AboutWindow::positionFor(mainFrame), expected);

    Fixture f;
    f.frame.showAbout();
    QVERIFY(f.frame.aboutWindow());
    QVERIFY(f.frame.aboutWindow()->isWindow());
    QCOMPARE(f.frame.aboutWindow()->windowTitle(), u"バージョン情報"_s);
    AboutWindow *about = f.frame.aboutWindow();
    f.frame.showAbout();
    QCOMPARE(f.frame.aboutWindow(), about);
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
    QCOMPARE(MainFrm::historySummary(DrawHistory(std::move(draws))), expected);
}

void MainFrmTest::reloadRebuildsOpenWindowsInPlace()
{
    QTemporaryDir dir;
    const std::string db = dir.filePath(u"draws.db"_s).toStdString();
    Fixture f;
    QVERIFY(f.frame.startUp(db, SHARED_HISTORY));
    const int latest = f.frame.totals().latestDrawNo;
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

    QCOMPARE(f.frame.totals().latestDrawNo, latest + 1);
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), window);
    QCOMPARE(window->geometry(), geometry);
    QCOMPARE(window->widget()->findChild<SheetView *>(), grid);
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QCOMPARE(grid->horizontalScrollBar()->value(), 3);
    QVERIFY(f.frame.findChild<QLabel *>(u"historyStatus"_s)
                ->text()
                .startsWith(u"第%1回（2099-01-01）まで"_s.arg(latest + 1)));
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void MainFrmTest::savedEntryReloadsHistory()
{
    QTemporaryDir dir;
    const std::string db = dir.filePath(u"draws.db"_s).toStdString();
    Fixture f;
    const QString seed = dir.filePath(u"seed.csv"_s);
    std::ofstream(seed.toStdString())
        << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
           "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n";
    QVERIFY(f.frame.startUp(db, seed.toStdString()));
    f.frame.action(u"mnuMasterInput"_s)->trigger();
    auto *entry = qobject_cast<EntryWindow *>(
        f.frame.childWindow(QString::fromUtf8(EntryWindow::ClassName))->widget());
    QVERIFY(entry);
    f.frame.showAnalysis(FirstInfo);
    const int builds = g_builds;
    {
        Database writer;
        QVERIFY(writer.open(db));
        DrawRecord next;
        next.drawNo = 3;
        for (int i = 0; i < DrawRecord::FieldCount; ++i)
            next.fields[static_cast<std::size_t>(i)] = i + 1;
        QVERIFY(writer.saveDraw(next));
    }
    emit entry->historyChanged();
    QTRY_COMPARE(f.frame.totals().latestDrawNo, 3);
    QCOMPARE(g_builds, builds + 1);
    QVERIFY(f.child(FirstInfo));
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
    // The entry command refuses while a child is open; it sets the hourglass first.
    f.frame.setPropEnd(false);
    f.frame.action(u"mnuMasterInput"_s)->trigger();
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
    const std::optional<QSize> size = MainFrm::firstStartSize(available, extra);
    QCOMPARE(size.has_value(), fits);
    if (!size)
        return;
    QVERIFY(size->width() <= available.width() && size->height() <= available.height());
    // The client area holds the tallest analysis window.
    int tallest = 0;
    for (const AnalysisInfo &info : analyses())
        tallest = std::max(tallest, info.heightTwips);
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

    QCOMPARE(f.frame.kinds().size(), analyses().size() + 8);
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
    f.frame.showAnalysis(FirstInfo);
    f.frame.showAnalysis(SecondInfo);
    QMdiSubWindow *first = f.frame.childWindow(u"最初の分析"_s);
    QMdiSubWindow *second = f.frame.childWindow(u"二番目の分析"_s);
    first->resize(400, 300);
    second->resize(500, 350);
    f.frame.cascade();
    QCOMPARE(first->size(), QSize(400, 300));
    QCOMPARE(second->size(), QSize(500, 350));
    QVERIFY(first->pos() != second->pos());
    // Tiled, then cascaded: the sizes from before the tiling come back.
    f.frame.tileSideBySide();
    QCOMPARE(first->height(), second->height());
    f.frame.cascade();
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
    f.frame.showAnalysis(FirstInfo);
    f.frame.showAnalysis(SecondInfo);
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
    f.frame.showAnalysis(FirstInfo);
    f.frame.showAnalysis(SecondInfo);
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
    const std::optional<QSize> large = MainFrm::firstStartSize(QSize(1920, 1040), bars);
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
