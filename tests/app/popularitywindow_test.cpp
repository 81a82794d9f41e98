#include "bundledstart.h"
#include "document/historydocument.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/popularitywindow.h"
#include "windows/predictionwindow.h"
#include "windows/ticketwindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace loto6;

class PopularityWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void valuesACombinationAndSaysWhatItCannotDo();
    void ticketBookShowsEachTicketsPopularity();
    void predictedLinesShowTheirPopularity();
    void estimateIsMadeInTheBackground();
};

namespace {

// The main window on the bundled history with propEnd set, opening windows as their menu
// commands do.
struct Started
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    bool ok = startOnBundledHistory(dir, frame, messages);

    Started() { frame.setPropEnd(true); }
    template<typename Window>
    Window *open(const char *className)
    {
        frame.openCommand(QString::fromUtf8(className))->trigger();
        return qobject_cast<Window *>(frame.childWindow(QString::fromUtf8(className))->widget());
    }
};

QString cell(SheetView *grid, int row, int col)
{
    return grid->model()->index(row, col).data().toString();
}

} // namespace

void PopularityWindowTest::valuesACombinationAndSaysWhatItCannotDo()
{
    Started started;
    QVERIFY(started.ok);
    const QStringList &messages = started.messages;
    QElapsedTimer clock;
    clock.start();
    auto *window = started.open<PopularityWindow>(windowclass::Popularity);
    QVERIFY(window);
    // Opened before the estimate exists: it says 計算中… at once, then fills in the values.
    const auto status = [&] { return window->findChild<QLabel *>(u"lblStatus"_s)->text(); };
    QCOMPARE(status(), u"計算中…"_s);
    // The table too, in the place of its values, not an empty page.
    QCOMPARE(cell(window->grid(), 0, 0), u"計算中…"_s);
    qInfo("人気度と期待値: shown in %lld ms", static_cast<long long>(clock.elapsed()));
    QTRY_COMPARE_WITH_TIMEOUT(cell(window->grid(), 1, 0), u"1等"_s, 300000);
    qInfo("人気度と期待値: values after %lld ms (estimate made and stored)",
        static_cast<long long>(clock.elapsed()));
    QVERIFY(!status().contains(u"計算中"_s));
    clock.restart();
    QVERIFY(window->evaluate());
    qInfo("人気度と期待値: 計算 in %lld ms", static_cast<long long>(clock.elapsed()));

    // Opening values the example line: one row per tier, 5等 the fixed 1,000円.
    QCOMPARE(cell(window->grid(), 1, 0), u"1等"_s);
    QCOMPARE(cell(window->grid(), 5, 3), u"1,000円"_s);
    // The value's range, the value without a carry-over and the conditions, in the sheet and
    // the status line.
    QCOMPARE(cell(window->grid(), 11, 0), u"期待値の範囲（95%）"_s);
    QVERIFY(cell(window->grid(), 11, 3).contains(u"円～"_s));
    QCOMPARE(cell(window->grid(), 13, 0), u"キャリーオーバーなし"_s);
    QCOMPARE(cell(window->grid(), 16, 0), u"条件：販売額"_s);
    QVERIFY2(status().contains(u"キャリーオーバー"_s) && status().contains(u"95%の範囲"_s),
        qPrintable(status()));
    const QString caveats = window->findChild<QLabel *>(u"lblCaveats"_s)->text();
    QVERIFY(caveats.contains(u"当選する確率を決して変えません"_s));
    QVERIFY(caveats.contains(u"分け方だけ"_s));
    QVERIFY(caveats.contains(u"過去の当選口数から推定"_s));

    // A pattern ticket: marked, no shares, its value only as a bound below the most popular 1%.
    window->numbersEdit()->setText(u"38 39 40 41 42 43"_s);
    QVERIFY(window->evaluate());
    QCOMPARE(cell(window->grid(), 6, 1), u"よく買われる型（有名な組）"_s);
    QCOMPARE(cell(window->grid(), 6, 3), u"人気は推定できません"_s);
    QCOMPARE(cell(window->grid(), 1, 2), u"-"_s);
    QVERIFY(cell(window->grid(), 7, 3).endsWith(u"円以下"_s));
    const auto yen = [&](int row) {
        const QString text = cell(window->grid(), row, 3).section(u'（', 0, 0);
        return QString(text).remove(u"以下"_s).remove(u'円').remove(u',').toDouble();
    };
    QVERIFY(yen(7) > 0 && yen(7) <= yen(10));
    QVERIFY(cell(window->grid(), 11, 3).section(u'～', 1).remove(u'円').toDouble()
        <= cell(window->grid(), 10, 3).section(u'～', 1).remove(u"円）"_s).toDouble());
    QCOMPARE(cell(window->grid(), 15, 3), u"検証範囲外（外挿）"_s);
    QVERIFY(yen(10) < yen(8)); // the most popular 1% under the average ticket
    QVERIFY(
        window->findChild<QLabel *>(u"lblStatus"_s)->text().contains(u"人気は推定できません"_s));

    // More sales, more others sharing 4等.
    window->numbersEdit()->setText(u"02 08 10 13 27 30"_s);
    window->salesEdit()->setText(u"1,000,000,000"_s);
    QVERIFY(window->evaluate());
    // Counts of thousands and more are grouped: "12,631".
    const auto count = [&] { return cell(window->grid(), 4, 2).remove(u',').toDouble(); };
    const double fewer = count();
    QVERIFY(fewer > 0);
    window->salesEdit()->setText(u"2000000000"_s);
    QVERIFY(window->evaluate());
    QVERIFY(count() > 1.9 * fewer);

    // Bad input keeps the last result and says what to type.
    window->numbersEdit()->setText(u"1 2 3 4 5 44"_s);
    QVERIFY(!window->evaluate());
    QVERIFY(window->findChild<QLabel *>(u"lblStatus"_s)->text().contains(u"1〜43"_s));
    window->numbersEdit()->setText(u"1 2 3 4 5 6"_s);
    window->salesEdit()->setText(u"安い"_s);
    QVERIFY(!window->evaluate());
    QVERIFY(messages.isEmpty());
}

void PopularityWindowTest::ticketBookShowsEachTicketsPopularity()
{
    Started started;
    QVERIFY(started.ok);
    const QStringList &messages = started.messages;
    auto *window = started.open<TicketWindow>(windowclass::Tickets);
    QVERIFY(window->addLines(u"02 08 10 13 27 30\n32 35 38 40 41 43\n05 10 15 20 25 30"_s));
    auto *tabs = window->findChild<QTabWidget *>();
    tabs->setCurrentWidget(window->popularityGrid());
    SheetView *grid = window->popularityGrid();
    QCOMPARE(cell(grid, 0, 0), u"計算中…"_s);
    QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), 8, 300000);
    QCOMPARE(cell(grid, 4, 0), u"平均的な券"_s);
    QCOMPARE(cell(grid, 5, 0), u"平均的な買われ方の券"_s);
    QVERIFY(cell(grid, 1, 7).startsWith(u"×"_s));
    QVERIFY(cell(grid, 1, 9).endsWith(u"円"_s));
    // Each value with its range, and the conditions it holds at.
    QVERIFY(cell(grid, 1, 11).contains(u"円～"_s));
    QVERIFY(cell(grid, 2, 14).startsWith(u"検証範囲"_s));
    QCOMPARE(cell(grid, 6, 0), u"条件：販売額"_s);
    QCOMPARE(cell(grid, 7, 0), u"条件：キャリーオーバー"_s);
    // The pattern line: marked, its value a bound, below the average, and untested.
    QCOMPARE(cell(grid, 3, 7), u"よく買われる型（有名な組）"_s);
    QCOMPARE(cell(grid, 3, 8), u"人気は推定できません"_s);
    QVERIFY(cell(grid, 3, 9).endsWith(u"円以下"_s));
    QVERIFY(cell(grid, 3, 10).startsWith(u"-"_s));
    QCOMPARE(cell(grid, 3, 14), u"検証範囲外（外挿）"_s);
    QVERIFY(messages.isEmpty());
}

void PopularityWindowTest::predictedLinesShowTheirPopularity()
{
    Started started;
    QVERIFY(started.ok);
    const QStringList &messages = started.messages;
    auto *window = started.open<PredictionWindow>(windowclass::Prediction);
    auto *label = window->findChild<QLabel *>(u"lblPopularity"_s);
    QVERIFY(label);
    window->findChild<QPushButton *>(u"cmdPopularity"_s)->click();
    QVERIFY2(label->text().contains(u"計算中…"_s), qPrintable(label->text()));
    QTRY_VERIFY_WITH_TIMEOUT(label->text().contains(u"円"_s), 300000);
    const QStringList lines = label->text().split(u'\n');
    // A heading, the one-shot line and the elimination and consecutive rows cut into sixes.
    QVERIFY2(lines.size() >= 2, qPrintable(label->text()));
    QVERIFY(
        lines[1].contains(u"×"_s) && lines[1].contains(u"円（"_s) && lines[1].contains(u"～"_s));
    QVERIFY(lines[0].contains(u"キャリーオーバー"_s));
    // The estimate is kept: the next pass fills the lines at once.
    window->refresh();
    QCOMPARE(label->text().split(u'\n').size(), lines.size());
    QVERIFY(messages.isEmpty());
}

void PopularityWindowTest::estimateIsMadeInTheBackground()
{
    PopularitySource::setInBackground(true);
    Started started;
    QVERIFY(started.ok);
    MainFrm &frame = started.frame;
    const QStringList &messages = started.messages;
    auto *window = started.open<PredictionWindow>(windowclass::Prediction);
    auto *label = window->findChild<QLabel *>(u"lblPopularity"_s);
    // The lines get their values by themselves once the worker has made the estimate.
    QTRY_VERIFY_WITH_TIMEOUT(label->text().contains(u"円"_s), 300000);
    const popularity::PopularityEstimate *first = frame.document().popularity().estimate(false);
    QVERIFY(first);

    // A new history forgets the estimate of the old one at once; one made on the worker before
    // the change never stands for the new history.
    frame.document().setAsOf(1800);
    QVERIFY(!frame.document().popularity().estimate(false));
    frame.document().setAsOf(DrawHistory::NoCut);
    QTRY_VERIFY_WITH_TIMEOUT(frame.document().popularity().estimate(false), 300000);
    PopularitySource::setInBackground(false);
    QVERIFY(messages.isEmpty());
}

QTEST_MAIN(PopularityWindowTest)
#include "popularitywindow_test.moc"
