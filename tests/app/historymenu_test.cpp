#include "../core/testserver.h"
#include "commands/backgroundjob.h"
#include "commands/historymenucommands.h"
#include "commands/updatemessages.h"
#include "entry/drawtablemodel.h"
#include "shell/childkind.h"
#include "shell/lastfolder.h"
#include "shell/mainfrm.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/historyfile.h"
#include "store/historyupdater.h"
#include "views/sheetexporter.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/entrywindow.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "recordingdialogs.h"

#include <fstream>
#include <string>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace loto6;

namespace {

using Message = Dialogs::Message;

QByteArray fileBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeText(const QString &file, const char *text)
{
    std::ofstream(file.toStdString(), std::ios::binary) << text;
}

// Every cell text of a window's grid, row by row.
QString sheetText(QWidget *window)
{
    QString out;
    const Sheet &sheet = window->findChild<SheetView *>()->sheetModel()->sheet();
    for (int r = 1; r <= sheet.rows(); ++r)
        for (int c = 1; c <= sheet.columns(); ++c)
            out += QString::fromUtf8(sheet.text(c, r))
                + QLatin1Char(c == sheet.columns() ? '\n' : '\t');
    return out;
}

// A started main window over a three-draw database in a temporary folder, with its message
// boxes recorded and its file dialogs answered by the test.
struct Fixture
{
    QTemporaryDir dir;
    std::shared_ptr<RecordingDialogs> recorder = RecordingDialogs::make();
    MainFrm frame;
    QList<Message> &messages = recorder->messages; // what was told; questions apart
    QString &chosenFile = recorder->chosenFile;

    Fixture()
    {
        recorder->questionsApart = true;
        frame.setDialogs(recorder);
        const QString seed = path(u"seed.csv"_s);
        writeText(seed,
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
            "1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n3,4,5,6,7,8,9,10\n");
        if (!frame.startUp(path(u"Loto6Zumvel.db"_s).toStdString(), seed.toStdString()))
            qFatal("cannot start the main window");
        commands()->setProgramFolder(dir.path().toStdString());
    }
    // The answer to every yes-or-no question.
    void answerAll(bool yes) { recorder->answer = yes ? QMessageBox::Yes : QMessageBox::No; }
    int fileDialogs() const { return int(recorder->files.size()); }
    int questionCount() const { return int(recorder->questions.size()); }
    QString lastQuestion() const { return recorder->questions.value(questionCount() - 1); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString database() const { return path(u"Loto6Zumvel.db"_s); }
    HistoryCommands *commands() const { return frame.findChild<HistoryCommands *>(); }
    void trigger(const char *name) { frame.action(QString::fromUtf8(name))->trigger(); }
    std::vector<DrawRecord> storedDraws() const
    {
        Database db;
        std::vector<DrawRecord> draws;
        if (!db.open(database().toStdString()) || !db.readDraws(draws))
            return {};
        return draws;
    }
};

// Keeps the update variables of the environment out of a test and restores them after.
struct CleanUpdateEnvironment
{
    QByteArray url = qgetenv(UpdateUrlVariable);
    QByteArray server = qgetenv(UpdateServerVariable);
    CleanUpdateEnvironment()
    {
        qunsetenv(UpdateUrlVariable);
        qunsetenv(UpdateServerVariable);
    }
    ~CleanUpdateEnvironment()
    {
        restore(UpdateUrlVariable, url);
        restore(UpdateServerVariable, server);
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
};

} // namespace

class HistoryMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void update_data();
    void update();
    void droppedFileIsImportedWithTheEntryWindowOpen();
    void updateFromServer_data();
    void updateFromServer();
    void updateCancelled();
    void cancelWaitsForTheJob();
    void drawRuns_data();
    void drawRuns();
    void importRefusesBadFile_data();
    void importRefusesBadFile();
    void importAddsDraws();
    void droppedFileIsImported();
    void droppedFileKeepsTheBytesOfItsName();
    void chosenNameThatIsNotTextIsRefused();
    void updateSettingsThatAreNoFileAreRefused();
    void layoutSettingsThatAreNoFileAreNotRead();
    void exportRoundTrip();
    void savesNeverReplaceTheOpenDatabase();
    void cancelledDialogDoesNothing();
};

void HistoryMenuTest::update_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("configured");

    // Port 1 on the loopback address refuses the connection at once.
    QTest::newRow("nothing set") << QByteArray() << QByteArray() << false;
    QTest::newRow("variable, connection refused")
        << QByteArray("http://127.0.0.1:1/") << QByteArray() << true;
    QTest::newRow("update.conf, connection refused")
        << QByteArray() << QByteArray("url=http://127.0.0.1:1/\n") << true;
}

void HistoryMenuTest::update()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, config);
    QFETCH(bool, configured);

    CleanUpdateEnvironment clean;
    Fixture f;
    if (!variable.isEmpty())
        qputenv(UpdateUrlVariable, variable);
    if (!config.isEmpty())
        writeText(f.path(QString::fromUtf8(UpdateConfigFileName)), config.constData());
    const QByteArray before = fileBytes(f.database());
    QVERIFY(!before.isEmpty());
    QVERIFY(f.frame.action(u"mnuMasterUpdate"_s)->isEnabled());

    f.trigger("mnuMasterUpdate");

    QCOMPARE(f.messages.size(), 1);
    const Message &m = f.messages[0];
    if (configured) {
        QCOMPARE(m.icon, QMessageBox::Critical);
        QCOMPARE(m.title, u"メッセ－ジ"_s);
        QVERIFY2(m.text.contains(u"接続できませんでした"_s), qPrintable(m.text));
        // The reason in Japanese, and the way round a server that cannot be reached.
        QVERIFY2(
            m.text.contains(u"詳細: サーバーに接続できません（127.0.0.1）"_s), qPrintable(m.text));
        QVERIFY2(m.text.contains(u"ブラウザで保存"_s), qPrintable(m.text));
        QVERIFY2(m.text.split(u'\n').contains(u"http://127.0.0.1:1/"_s), qPrintable(m.text));
    } else {
        QCOMPARE(m.title, u"ロト6ズンベル"_s);
        QVERIFY2(m.text.contains(u"設定されていない"_s), qPrintable(m.text));
        // Where to write the address, on a line of its own; no developer names.
        QVERIFY2(m.text.split(u'\n').contains(QDir::toNativeSeparators(f.path(u"update.conf"_s))),
            qPrintable(m.text));
        QVERIFY2(!m.text.contains(u"LOTO6ZUMVEL"_s), qPrintable(m.text));
    }
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(fileBytes(f.database()), before);
    QVERIFY(!QFile::exists(f.database() + u".bak"_s));
    QCOMPARE(f.frame.document().totals().latestDrawNo, 3);
}

namespace {

// The fixture's three draws and a fourth, or only the first two.
const char *const HistoryHeader
    = "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n";
const char *const FirstTwoDraws
    = "1,2000-10-05,2,8,10,13,27,30,39\n2,2000-10-12,1,9,16,20,21,43,5\n";

} // namespace

// Dropped files are imported with the entry window open: at once when it holds nothing
// unsaved; with a half-typed row, after a question that shows the row, which stays either way.
// The entry window then reads the new file, and 今回の結果 is offered for the new draw.
void HistoryMenuTest::droppedFileIsImportedWithTheEntryWindowOpen()
{
    Fixture f;
    f.frame.setPropEnd(true);
    const QString entryClass = QString::fromUtf8(windowclass::Entry);
    f.frame.openCommand(entryClass)->trigger();
    auto *entry = qobject_cast<EntryWindow *>(f.frame.childWindow(entryClass)->widget());
    QVERIFY(entry);
    DrawTableModel *model = entry->model();
    const auto drop = [&](const char *rows) {
        const QString file = f.path(u"dropped.csv"_s);
        writeText(file, (std::string(HistoryHeader) + rows).c_str());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(
            QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.frame, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.frame, &event);
        QTest::qWait(50); // the import starts once the drop is over
    };
    drop("4,2000-10-26,1,2,3,4,5,6,7\n");
    QTRY_COMPARE(f.storedDraws().size(), std::size_t(4));
    QCOMPARE(f.questionCount(), 0);
    QCOMPARE(model->rowCount(), 4); // the entry window reads the new file
    auto *offer = f.frame.findChild<QPushButton *>(u"cmdSummaryOffer"_s);
    QVERIFY(offer && offer->isVisibleTo(&f.frame));
    QVERIFY2(offer->text().contains(u"第4回"_s), qPrintable(offer->text()));

    // Draw 5 half-typed: asked with the row shown; No runs nothing.
    const int row = model->insertDrawRow(-1);
    QVERIFY(model->setData(model->index(row, DrawTableModel::FirstNumberColumn), u"11"_s));
    f.answerAll(false);
    drop("5,2000-11-02,11,12,13,14,15,16,17\n6,2000-11-09,21,22,23,24,25,26,27\n");
    QTRY_COMPARE(f.questionCount(), 1);
    QVERIFY2(f.lastQuestion().contains(u"第5回　11 ＿ ＿ ＿ ＿ ＿　ボーナス ＿"_s),
        qPrintable(f.lastQuestion()));
    QCOMPARE(f.storedDraws().size(), std::size_t(4));
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), f.frame.childWindow(entryClass));
    // Yes imports; the typed row stays as it was, over the stored draw 5.
    f.answerAll(true);
    drop("5,2000-11-02,11,12,13,14,15,16,17\n6,2000-11-09,21,22,23,24,25,26,27\n");
    QTRY_COMPARE(f.storedDraws().size(), std::size_t(6));
    QCOMPARE(f.questionCount(), 2);
    QCOMPARE(model->rowCount(), 6);
    const int typed = 4;
    QCOMPARE(model->drawNumber(typed), 5);
    QVERIFY(model->isPending(typed));
    QCOMPARE(
        model->index(typed, DrawTableModel::FirstNumberColumn + 1).data().toString(), QString());
    QVERIFY(!model->isPending(5));
    QCOMPARE(f.frame.document().totals().latestDrawNo, 6);
    for (const Message &m : f.messages)
        QVERIFY2(!m.text.contains(u"閉じて"_s), qPrintable(m.text));
}

void HistoryMenuTest::updateFromServer_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("draws");

    const auto ok = [](const QByteArray &body) {
        return QByteArray::fromStdString(test::httpReply(200, body.toStdString()));
    };
    const QByteArray two = QByteArray(HistoryHeader) + FirstTwoDraws;
    const QByteArray four = two + "3,2000-10-19,4,5,6,7,8,9,10\n4,2000-10-26,1,2,3,4,5,6,7\n";
    QTest::newRow("a new draw") << ok(four) << false << 0 << u"第4回（2000-10-26）まで"_s << 4;
    QTest::newRow("loses a draw, No") << ok(two) << false << 1 << u"最新化しませんでした"_s << 3;
    QTest::newRow("loses a draw, Yes")
        << ok(two) << true << 1 << u"当選データを最新化しました"_s << 2;
    QTest::newRow("forbidden") << QByteArray::fromStdString(test::httpReply(403, "no robots"))
                               << false << 0 << u"結果ファイルをブラウザで保存し"_s << 3;
    QTest::newRow("not a history")
        << ok("<html>moved</html>\n") << false << 0 << u"当選データとして正しくない"_s << 3;
}

void HistoryMenuTest::updateFromServer()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(QString, said);
    QFETCH(int, draws);

    CleanUpdateEnvironment clean;
    Fixture f;
    test::TestServer server(reply.toStdString());
    const QString url = QString::fromStdString(server.url());
    qputenv(UpdateUrlVariable, url.toUtf8());
    f.answerAll(answer);
    const QByteArray before = fileBytes(f.database());

    f.trigger("mnuMasterUpdate");

    QCOMPARE(f.questionCount(), questions);
    QCOMPARE(f.recorder->busyQuestions, 0);
    if (questions) {
        // How many and which are lost, and from where.
        QVERIFY2(f.lastQuestion().contains(u"保存されている 1 回分がありません: 第3回"_s),
            qPrintable(f.lastQuestion()));
        QVERIFY2(f.lastQuestion().split(u'\n').contains(url), qPrintable(f.lastQuestion()));
    }
    QCOMPARE(f.messages.size(), 1);
    const QString &text = f.messages[0].text;
    QVERIFY2(text.contains(said), qPrintable(text));
    QCOMPARE(f.storedDraws().size(), std::size_t(draws));
    QCOMPARE(f.frame.document().totals().latestDrawNo, draws == 3 ? 3 : draws);
    if (draws == 3) {
        QCOMPARE(fileBytes(f.database()), before);
    } else {
        // The previous file is named on its own line.
        QVERIFY2(text.split(u'\n').contains(QDir::toNativeSeparators(f.database() + u".bak"_s)),
            qPrintable(text));
    }
    if (f.messages[0].icon == QMessageBox::Critical) {
        QVERIFY2(text.split(u'\n').contains(url), qPrintable(text));
    }
    QVERIFY(!QApplication::overrideCursor());
}

void HistoryMenuTest::updateCancelled()
{
    CleanUpdateEnvironment clean;
    Fixture f;
    // Headers promise a long body; a little of it comes, then nothing.
    const std::string body(200000, 'x');
    test::TestServer server(test::httpReply(200, body).substr(0, 3000), true);
    qputenv(UpdateUrlVariable, QByteArray::fromStdString(server.url()));
    const QByteArray before = fileBytes(f.database());

    BackgroundJob::setDialogDelay(0);
    QString shown;
    QTimer user;
    connect(&user, &QTimer::timeout, &user, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *label = w->findChild<QLabel *>();
            if (w->objectName() != u"progressBackgroundJob"_s || !w->isVisible() || !label
                || !label->text().contains(u"受信済み"_s))
                continue;
            shown = label->text();
            if (auto *cancel = w->findChild<QPushButton *>(u"buttonCancelJob"_s);
                cancel->isEnabled())
                cancel->click();
        }
    });
    user.start(20);
    QElapsedTimer clock;
    clock.start();
    f.trigger("mnuMasterUpdate");
    user.stop();
    BackgroundJob::setDialogDelay(500);

    QVERIFY2(clock.elapsed() < 5000, "the cancel is seen while nothing arrives");
    QVERIFY2(shown.contains(u"KB"_s), qPrintable(shown));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(u"取り消しました"_s), qPrintable(f.messages[0].text));
    QCOMPARE(fileBytes(f.database()), before);
    QVERIFY(!QFile::exists(f.database() + u".bak"_s));
    QVERIFY(!QApplication::overrideCursor());
}

void HistoryMenuTest::cancelWaitsForTheJob()
{
    // A job that writes after its last check must not be left running behind a closed dialog.
    BackgroundJob::setDialogDelay(0);
    std::atomic<bool> ended{false};
    QTimer user;
    connect(&user, &QTimer::timeout, &user, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == u"progressBackgroundJob"_s && w->isVisible())
                QTest::keyClick(w, Qt::Key_Escape);
    });
    user.start(20);
    const bool quiet
        = BackgroundJob::run(nullptr, u"t"_s, u"l"_s, [&](BackgroundJob::Progress &progress) {
              while (!progress.cancelRequested())
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              std::this_thread::sleep_for(std::chrono::milliseconds(300));
              ended = true;
          });
    user.stop();
    BackgroundJob::setDialogDelay(500);
    QVERIFY(!quiet);
    QVERIFY(ended);
}

void HistoryMenuTest::drawRuns_data()
{
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<QString>("text");

    QTest::newRow("one") << QList<int>{5} << u"第5回"_s;
    QTest::newRow("a run and singles") << QList<int>{1, 3, 4, 5, 9} << u"第1回、第3～5回、第9回"_s;
    QTest::newRow("capped after eight runs") << QList<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 18, 19,
        21} << u"第1回、第3回、第5回、第7回、第9回、第11回、第13回、第15回、ほか4回分"_s;
}

void HistoryMenuTest::drawRuns()
{
    QFETCH(QList<int>, draws);
    QFETCH(QString, text);
    QCOMPARE(UpdateMessages::drawRuns(std::vector<int>(draws.begin(), draws.end())), text);
}

void HistoryMenuTest::importRefusesBadFile_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("where");

    const QByteArray header = "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n";
    QTest::newRow("number out of range on line 3") << header + "4,1,2,3,4,5,6,7\n5,1,2,3,4,5,44,7\n"
                                                   << u"3行目 7列目"_s;
    QTest::newRow("text in a number field") << header + "4,1,2,x,4,5,6,7\n" << u"2行目 4列目"_s;
    QTest::newRow("draw number twice") << header + "4,1,2,3,4,5,6,7\n4,1,2,3,4,5,6,8\n"
                                       << u"3行目 1列目"_s;
    QTest::newRow("no bonus column")
        << QByteArray("回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字\n4,1,2,3,4,5,6\n")
        << u"1行目"_s;
}

void HistoryMenuTest::importRefusesBadFile()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, where);

    Fixture f;
    f.chosenFile = f.path(u"bad.csv"_s);
    writeText(f.chosenFile, csv.constData());
    const QByteArray before = fileBytes(f.database());

    f.trigger("mnuCsvTorikomi");

    QCOMPARE(f.fileDialogs(), 1);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(f.messages[0].title, u"メッセ－ジ"_s);
    QVERIFY2(f.messages[0].text.contains(where), qPrintable(f.messages[0].text));
    QVERIFY2(f.messages[0].text.split(u'\n').contains(QDir::toNativeSeparators(f.chosenFile)),
        qPrintable(f.messages[0].text));
    QCOMPARE(fileBytes(f.database()), before);
    QCOMPARE(f.storedDraws().size(), std::size_t(3));
}

void HistoryMenuTest::droppedFileIsImported()
{
    Fixture f;
    const QString file = f.path(u"dropped.csv"_s);
    writeText(file,
        "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
        "4,2000-10-26,1,2,3,4,5,6,7\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    // Only files are taken; text dropped on the window is not.
    QMimeData text;
    text.setText(u"1,2,3"_s);
    const QPoint at(20, 20);
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.frame, &refused);
    QVERIFY(!refused.isAccepted());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.frame, &drop);
    QTRY_COMPARE(f.storedDraws().size(), std::size_t(4));
    QCOMPARE(f.fileDialogs(), 0); // no file dialog: the dropped file is the choice
    QTRY_COMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(u"1件"_s), qPrintable(f.messages[0].text));
}

void HistoryMenuTest::droppedFileKeepsTheBytesOfItsName()
{
    Fixture f;
    const QByteArray folder = QFile::encodeName(f.dir.path());
    // d\xe9.csv, whose name is not UTF-8, beside a file spelt as its name decodes (U+FFFD).
    const auto write = [&](const QByteArray &name, const char *row) {
        std::ofstream((folder + '/' + name).toStdString(), std::ios::binary)
            << "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
            << row << '\n';
    };
    write("d\xe9.csv", "4,2000-10-26,1,2,3,4,5,6,7");
    write("d\xef\xbf\xbd.csv", "4,2000-10-26,11,12,13,14,15,16,17");
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + folder.toPercentEncoding("/") + "/d%E9.csv")});
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.frame, &drop);
    QTRY_VERIFY2(f.messages.size() == 1, qPrintable(data.urls().value(0).toString()));
    QVERIFY2(f.messages[0].text.contains(u"1件"_s), qPrintable(f.messages[0].text));
    QCOMPARE(f.storedDraws().size(), std::size_t(4));
    QCOMPARE(*f.storedDraws().back().fields[0], 1LL); // the dropped file's numbers
    // Names Qt cannot spell are removed by their bytes.
    for (const char *name : {"d\xe9.csv", "d\xef\xbf\xbd.csv"})
        std::filesystem::remove((folder + '/' + name).toStdString());
}

void HistoryMenuTest::chosenNameThatIsNotTextIsRefused()
{
    Fixture f;
    const QByteArray before = fileBytes(f.database());
    // A file dialog gives back a name whose bytes were not text with U+FFFD in their place.
    f.chosenFile = f.path(u"d\uFFFD.csv"_s);
    writeText(f.chosenFile,
        "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
        "4,2000-10-26,11,12,13,14,15,16,17\n");
    const QByteArray other = fileBytes(f.chosenFile);
    f.trigger("mnuCsvTorikomi");
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(u"ファイル名に文字として読めない部分"_s),
        qPrintable(f.messages[0].text));
    QCOMPARE(fileBytes(f.database()), before);
    f.trigger("mnuCsvKakidashi");
    QCOMPARE(f.messages.size(), 2);
    QVERIFY2(f.messages[1].text.contains(u"ファイル名に文字として読めない部分"_s),
        qPrintable(f.messages[1].text));
    QCOMPARE(fileBytes(f.chosenFile), other); // the file the name decodes to is not written
}

void HistoryMenuTest::updateSettingsThatAreNoFileAreRefused()
{
    CleanUpdateEnvironment clean;
    Fixture f;
    const QByteArray conf = QFile::encodeName(f.path(QString::fromUtf8(UpdateConfigFileName)));
    QVERIFY(::mkfifo(conf.constData(), 0600) == 0);
    const QByteArray before = fileBytes(f.database());
    f.trigger("mnuMasterUpdate"); // returns: a pipe nobody writes is not read
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    QVERIFY2(f.messages[0].text.contains(u"通常のファイルではありません"_s),
        qPrintable(f.messages[0].text));
    QCOMPARE(fileBytes(f.database()), before);
}

void HistoryMenuTest::layoutSettingsThatAreNoFileAreNotRead()
{
    // The layout of the tests that follow is kept in a folder of their own.
    static QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    const QString kept = QSettings(QString::fromUtf8(MainFrm::LayoutOrganization),
        QString::fromUtf8(MainFrm::LayoutApplication))
                             .fileName();
    QVERIFY(kept.startsWith(config.path()));
    // The file checked is the one Qt reads.
    QCOMPARE(layoutSettings().fileName(), kept);
    QVERIFY(QDir().mkpath(QFileInfo(kept).absolutePath()));
    QVERIFY(::mkfifo(QFile::encodeName(kept).constData(), 0600) == 0);
    // A pipe nobody writes would block the start for ever: it is passed over.
    QVERIFY(layoutSettings().fileName() != kept);
    QVERIFY(!lastFolder().isEmpty());
    QVERIFY(QFile::remove(kept));
}

void HistoryMenuTest::importAddsDraws()
{
    Fixture f;
    f.chosenFile = f.path(u"new.csv"_s);
    // Draw 3 is corrected, draw 4 is new; the others stay.
    writeText(f.chosenFile,
        "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
        "3,2000-10-19,4,5,6,7,8,11,10\n4,2000-10-26,1,2,3,4,5,6,7\n");

    // An open analysis window shows the new draw at once, in the same window.
    f.trigger("mnuSyutugenHindo");
    QMdiSubWindow *window = f.frame.mdiArea()->activeSubWindow();
    QVERIFY(window);
    QWidget *analysis = window->widget();
    const QString before = sheetText(analysis);
    auto *status = f.frame.findChild<QLabel *>(u"historyStatus"_s);
    QCOMPARE(status->text(), u"第3回まで　3回分"_s);

    // Draw 3 held with other numbers is asked about; No (the default) keeps everything.
    f.trigger("mnuCsvTorikomi");
    QCOMPARE(f.questionCount(), 1);
    QVERIFY2(f.lastQuestion().contains(
                 u"第3回: 保存 04 05 06 07 08 09 (10) → 新 04 05 06 07 08 11 (10)"_s),
        qPrintable(f.lastQuestion()));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(
        f.messages[0].text.contains(u"何も取り込みませんでした"_s), qPrintable(f.messages[0].text));
    QCOMPARE(f.storedDraws().size(), std::size_t(3));

    f.messages.clear();
    f.answerAll(true);
    f.trigger("mnuCsvTorikomi");

    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].title, u"ロト6ズンベル"_s);
    QVERIFY2(f.messages[0].text.contains(u"2件"_s), qPrintable(f.messages[0].text));
    const std::vector<DrawRecord> stored = f.storedDraws();
    QCOMPARE(stored.size(), std::size_t(4));
    QCOMPARE(stored[2].fields[5], std::optional<long long>(11));
    QCOMPARE(stored[3].drawNo, 4);
    QCOMPARE(f.frame.document().totals().latestDrawNo, 4);
    QCOMPARE(f.frame.document().history().size(), std::size_t(4));
    QCOMPARE(status->text(), u"第4回（2000-10-26）まで　4回分"_s);
    QCOMPARE(f.frame.mdiArea()->activeSubWindow(), window);
    QCOMPARE(window->widget(), analysis);
    QVERIFY(sheetText(analysis) != before);
    QVERIFY(!QApplication::overrideCursor());

    // The same file again brings nothing new, and the message says what it held.
    f.messages.clear();
    f.trigger("mnuCsvTorikomi");
    QCOMPARE(f.messages.size(), 1);
    QVERIFY2(f.messages[0].text.contains(u"第3～4回: 登録済み"_s), qPrintable(f.messages[0].text));
}

void HistoryMenuTest::exportRoundTrip()
{
    Fixture f;
    f.chosenFile = f.path(u"out.csv"_s);
    f.trigger("mnuCsvKakidashi");
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].title, u"ロト6ズンベル"_s);
    QVERIFY2(f.messages[0].text.contains(u"3件"_s), qPrintable(f.messages[0].text));

    HistoryFile file;
    QVERIFY(readHistoryFile(f.chosenFile.toStdString(), file));
    const std::vector<DrawRecord> &read = file.draws;
    const std::vector<DrawRecord> stored = f.storedDraws();
    QCOMPARE(read.size(), stored.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        QCOMPARE(read[i].drawNo, stored[i].drawNo);
        QVERIFY(read[i].fields == stored[i].fields);
        QVERIFY(read[i].date == stored[i].date);
    }
    QVERIFY(fileBytes(f.chosenFile).startsWith(QByteArray(CanonicalCsvHeader)));

    // A folder that does not exist cannot take the file.
    f.chosenFile = f.path(u"missing/out.csv"_s);
    f.trigger("mnuCsvKakidashi");
    QCOMPARE(f.messages.size(), 2);
    QCOMPARE(f.messages[1].icon, QMessageBox::Critical);
    QVERIFY2(f.messages[1].text.split(u'\n').contains(QDir::toNativeSeparators(f.chosenFile)),
        qPrintable(f.messages[1].text));
    QVERIFY(!QFile::exists(f.chosenFile));
}

// Every save of the desktop, the history export and a grid's four, goes through the protected
// writer: naming the open database or its backup writes nothing and says so.
void HistoryMenuTest::savesNeverReplaceTheOpenDatabase()
{
    Fixture f;
    const QByteArray before = fileBytes(f.database());
    const QString backup = f.database() + u".bak"_s;
    writeText(backup, "the previous database");
    f.answerAll(true); // with the payouts

    f.trigger("mnuSyutugenHindo");
    auto *grid = f.frame.mdiArea()->activeSubWindow()->widget()->findChild<SheetView *>();
    QVERIFY(grid);

    for (const QString &target : {f.database(), backup, f.database() + u"-journal"_s}) {
        f.chosenFile = target;
        f.messages.clear();
        f.trigger("mnuCsvKakidashi");
        QCOMPARE(f.messages.size(), 1);
        for (QAction *save : grid->exporter()->actions())
            save->trigger();
        QCOMPARE(f.messages.size(), 5);
        for (const Message &m : f.messages)
            QCOMPARE(m.icon, QMessageBox::Critical);
    }
    QCOMPARE(fileBytes(f.database()), before);
    QCOMPARE(fileBytes(backup), QByteArray("the previous database"));
    QVERIFY(!QFile::exists(f.database() + u"-journal"_s));
    QCOMPARE(f.storedDraws().size(), std::size_t(3));
}

void HistoryMenuTest::cancelledDialogDoesNothing()
{
    Fixture f;
    const QByteArray before = fileBytes(f.database());
    f.trigger("mnuCsvTorikomi");
    f.trigger("mnuCsvKakidashi");
    QCOMPARE(f.fileDialogs(), 2);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(fileBytes(f.database()), before);
}

QTEST_MAIN(HistoryMenuTest)
#include "historymenu_test.moc"
