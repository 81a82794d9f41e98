// 今回の結果: a new draw read from the database is offered in the status bar; the window opens
// on it and grades the book on it against figures worked by hand (tiers, yen, the running
// 収支), fills in the popularity once the estimate comes, follows the book and prints.

#include "bundledstart.h"
#include "document/historydocument.h"
#include "document/popularitysource.h"
#include "grid/numbertext.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "store/database.h"
#include "store/prizestore.h"
#include "ticketsupport.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/summarywindow.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace loto6;
using loto6::test::ticket;

class SummaryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void aNewDrawIsOfferedAndGradesTheBook();
};

namespace {

// The text of a cell of the grid showing the sheet of that name, "" when none shows it.
QString cellOf(const SummaryWindow &w, const char *sheet, int col, int row)
{
    for (const SheetView *grid : w.grids())
        if (grid->sheetModel() && grid->sheetModel()->sheet().name() == sheet)
            return QString::fromUtf8(grid->sheetModel()->sheet().text(col, row));
    return {};
}

// Stores draw `next` (01 02 03 04 07 08, bonus 09) and its payouts, as another program would.
bool storeDraw(const HistoryDocument &doc, int next)
{
    Database writer;
    if (!writer.open(doc.database().path()))
        return false;
    DrawRecord draw;
    draw.drawNo = next;
    draw.date = "2099-01-01";
    const int numbers[] = {1, 2, 3, 4, 7, 8, 9};
    for (int i = 0; i < DrawRecord::FieldCount; ++i)
        draw.fields[static_cast<std::size_t>(i)] = numbers[i];
    DrawPrizes prizes;
    prizes.drawNo = next;
    const long long winners[] = {0, 5, 200, 10000, 200000};
    const long long yen[] = {0, 12'000'000, 300'000, 6'000, 1'000};
    for (std::size_t t = 0; t < 5; ++t) {
        prizes.tiers[t].winners = winners[t];
        if (winners[t] > 0)
            prizes.tiers[t].prize = yen[t];
    }
    prizes.sales = 1'300'000'000;
    return writer.saveDraw(draw).ok() && writePrizes(writer, prizes).ok();
}

} // namespace

void SummaryWindowTest::aNewDrawIsOfferedAndGradesTheBook()
{
    QTemporaryDir dir;
    MainFrm frame;
    QStringList messages;
    QVERIFY(startOnBundledHistory(dir, frame, messages));
    frame.setPropEnd(true);
    HistoryDocument &doc = frame.document();
    const int latest = doc.totals().latestDrawNo;
    const std::array<int, 6> latestNumbers = [&] {
        std::array<int, 6> n{};
        const DrawRecord &r = doc.history().records().back();
        for (int i = 0; i < 6; ++i)
            n[static_cast<std::size_t>(i)] = r.mainNumber(i);
        return n;
    }();
    // The new draw shares no number with the latest: 01 02 03 04 07 08, bonus 09 (checked).
    const int next = latest + 1;
    for (int n : latestNumbers)
        QVERIFY(n > 9 || n == 5 || n == 6);
    std::vector<Ticket> book = {ticket({1, 2, 3, 4, 7, 9}, next, 1, 2), // 5 and bonus: 2等 ×2
        ticket({1, 2, 3, 4, 40, 41}, next, 1, 1),                       // 4: 4等
        ticket({1, 2, 3, 39, 40, 41}, next, 1, 3),                      // 3: 5等 ×3
        ticket(latestNumbers, latest, 2, 1)}; // 1等 on the latest, nothing on the new draw
    QVERIFY(doc.addTickets(book));
    QVERIFY(storeDraw(doc, next));
    QVERIFY(frame.reloadHistory());

    // Offered in the status bar, without a box and without taking the window in use.
    auto *offer = frame.statusBar()->findChild<QPushButton *>(u"cmdSummaryOffer"_s);
    QVERIFY(offer && offer->isVisibleTo(&frame));
    QCOMPARE(offer->text(), u"第%1回の結果を見る（今回の結果）"_s.arg(next));
    QVERIFY(!frame.childWindow(QString::fromUtf8(windowclass::Summary)));
    QVERIFY(messages.isEmpty());
    offer->click();
    QVERIFY(!offer->isVisibleTo(&frame));
    QMdiSubWindow *sub = frame.childWindow(QString::fromUtf8(windowclass::Summary));
    QVERIFY(sub);
    auto *w = qobject_cast<SummaryWindow *>(sub->widget());
    QVERIFY(w);
    QCOMPARE(w->drawBox()->value(), next);

    // Hand-worked: on the new draw 7 units (1,400円) win 2 × 12,000,000 + 6,000 + 3 × 1,000.
    QCOMPARE(cellOf(*w, "summary-balance", 2, 4), u"1,400円"_s);
    QCOMPARE(cellOf(*w, "summary-balance", 2, 5), u"24,009,000円"_s);
    QCOMPARE(cellOf(*w, "summary-balance", 2, 6), u"24,007,600円"_s);
    // Up to it the latest draw's 1等 (its stored prize) and one more unit bought.
    const std::map<int, DrawPrizes> stored = [&] {
        std::map<int, DrawPrizes> p;
        doc.payouts(p);
        return p;
    }();
    const long long first = *stored.at(latest).tier(1).prize;
    QCOMPARE(cellOf(*w, "summary-balance", 3, 4), u"1,600円"_s);
    QCOMPARE(cellOf(*w, "summary-balance", 3, 6),
        QString::fromStdString(yenText(24'009'000 + first - 1'600)));
    QCOMPARE(cellOf(*w, "summary-tickets", 11, 2), u"2等"_s);
    QCOMPARE(cellOf(*w, "summary-tickets", 11, 3), u"4等"_s);
    QCOMPARE(cellOf(*w, "summary-tickets", 12, 4), u"3,000円"_s);

    // The popularity comes from the document's estimate: 計算中… until it is there.
    QTRY_VERIFY_WITH_TIMEOUT(!doc.popularity().pending(), 300000);
    QTRY_VERIFY(cellOf(*w, "summary-popularity", 2, 2) != u"計算中…"_s);
    QVERIFY(!cellOf(*w, "summary-popularity", 4, 6).isEmpty()); // 5等 actual ÷ expected
    QCOMPARE(cellOf(*w, "summary-popularity", 3, 3), u"5口"_s);

    // A ticket added elsewhere is graded at once; an older draw can be chosen.
    QVERIFY(doc.addTickets(book = {ticket({1, 2, 3, 4, 7, 8}, next, 1, 1)}));
    QCOMPARE(cellOf(*w, "summary-tickets", 11, 6), u"1等"_s);
    w->drawBox()->setValue(latest);
    QCOMPARE(cellOf(*w, "summary-balance", 2, 5), QString::fromStdString(yenText(first)));
    // Printing goes through the one print path.
    auto *print = w->findChild<QPushButton *>(u"Command2"_s);
    QVERIFY(print && print->isEnabled());
}

QTEST_MAIN(SummaryWindowTest)
#include "summarywindow_test.moc"
