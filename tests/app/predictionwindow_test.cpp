#include "commands/corereasons.h"
#include "prediction/predictionengine.h"
#include "prediction/predictionsheets.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "tickets/ticketbook.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/aboutwindow.h"
#include "windows/predictionwindow.h"
#include "windows/recordpredictiondialog.h"
#include "windows/ticketwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include "recordingdialogs.h"
#include "scratchfolder.h"

#include <fstream>
#include <sstream>

using namespace Qt::StringLiterals;

using namespace loto6;

namespace {

constexpr int Weights[PredictionOptions::Count] = {1, 15, 6, 9, 10, 4, 8, 2, 11, 7, 16, 3};

// Every cell text of a sheet, row by row.
QStringList texts(const Sheet &s)
{
    QStringList out;
    for (int r = 1; r <= s.rows(); ++r)
        for (int c = 1; c <= s.columns(); ++c) {
            const std::string_view t = s.text(c, r);
            out.append(QString::fromUtf8(t.data(), qsizetype(t.size())));
        }
    return out;
}

QStringList texts(const SheetView *view) { return texts(view->sheetModel()->sheet()); }

std::string readAll(const char *file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A started main window with the prediction window installed, working in a scratch folder
// that holds the settings file.
struct Fixture
{
    ScratchFolder folder;
    std::unique_ptr<MainFrm> frame;

    explicit Fixture(const std::string &settings = {})
    {
        if (!settings.empty())
            std::ofstream(PredictionOptions::FileName, std::ios::binary) << settings;
        frame = std::make_unique<MainFrm>();
        frame->setDialogs(RecordingDialogs::make());
        PredictionWindow::openOnActivation(*frame);
    }
    // The window goes first, while its folder and what it reports to are still there.
    ~Fixture() { frame.reset(); }
    bool start() { return frame->startUp("draws.db", SHARED_HISTORY).ok(); }
    QMdiSubWindow *subWindow() const
    {
        return frame->childWindow(QString::fromUtf8(windowclass::Prediction));
    }
    PredictionWindow *window() const
    {
        QMdiSubWindow *w = subWindow();
        return w ? qobject_cast<PredictionWindow *>(w->widget()) : nullptr;
    }
    PredictionWindow *open()
    {
        frame->action(u"mnuYoso"_s)->trigger();
        return window();
    }
    // What the grids should show for the switches, from an engine of its own.
    std::array<Sheet, PredictionGridCount> expected() const
    {
        PredictionEngine engine;
        engine.scan(frame->document().history());
        return buildPredictionSheets(engine.predict(
            frame->document().totals().latestDrawNo, frame->document().predictionOptions()));
    }
};

void checkButtons(PredictionWindow *w, const PredictionOptions &options)
{
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        const bool on = options.on[static_cast<std::size_t>(i)];
        QVERIFY2(w->reflectButton(i)->isChecked() == on, qPrintable(QString::number(i)));
        QVERIFY(w->ignoreButton(i)->isChecked() == !on);
        QVERIFY(w->reflectButton(i)->isEnabled() && w->ignoreButton(i)->isEnabled());
    }
}

} // namespace

class PredictionWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void switchButtons_data();
    void switchButtons();
    void reopenKeepsSwitchesAndEngine();
    void shownOnActivation();
    void contentsFitTheFont();
    void smallWindowScrollsItsPage();
    void recordsTheShownLines();
    void recordDialogListsTheRows();
};

void PredictionWindowTest::layout()
{
    Fixture f;
    QVERIFY(f.start());
    QVERIFY(f.frame->action(u"mnuYoso"_s)->isEnabled());
    PredictionWindow *w = f.open();
    QVERIFY(w);
    QCOMPARE(f.frame->propEnd(), false);
    QCOMPARE(w->windowTitle(), u"一発ズンベル予想"_s);

    const auto frames = w->findChildren<QGroupBox *>(Qt::FindChildrenRecursively);
    QStringList captions;
    for (const QGroupBox *box : frames)
        captions.append(box->title());
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        const std::string_view c = PredictionOptions::frameCaption(i);
        QVERIFY(captions.contains(QString::fromUtf8(c.data(), qsizetype(c.size()))));
        // Index 0 stands at the top.
        QCOMPARE(qobject_cast<QGroupBox *>(w->reflectButton(i)->parentWidget())->title(),
            QString::fromUtf8(c.data(), qsizetype(c.size())));
        if (i > 0)
            QVERIFY(w->reflectButton(i)->parentWidget()->y()
                > w->reflectButton(i - 1)->parentWidget()->y());
        QCOMPARE(w->reflectButton(i)->text(), u"反映する"_s);
        QCOMPARE(w->ignoreButton(i)->text(), u"反映しない"_s);
    }
    QVERIFY(captions.contains(u"データ分析オプション"_s));
    // The prediction's heading names the draw it is for.
    const int next = f.frame->document().totals().latestDrawNo + 1;
    QVERIFY2(
        captions.contains(u"当選予想　第%1回の予想"_s.arg(next)), qPrintable(captions.join(u'|')));
    f.frame->document().setAsOf(100);
    QCOMPARE(
        w->findChild<QGroupBox *>(u"FramePrediction"_s)->title(), u"当選予想　第101回の予想"_s);
    f.frame->document().setAsOf(DrawHistory::NoCut);

    // Grid 0 shows the six main positions only; the grids read what the engine predicts.
    const auto expected = f.expected();
    for (int g = 0; g < PredictionGridCount; ++g) {
        const SheetView *view = w->grid(static_cast<PredictionGrid>(g));
        QCOMPARE(view->model()->columnCount(), 7);
        QCOMPARE(texts(view), texts(expected[static_cast<std::size_t>(g)]));
    }

    w->findChild<QPushButton *>(u"Cmd閉じる"_s)->click();
    QVERIFY(!f.subWindow());
    QCOMPARE(f.frame->propEnd(), true);
}

void PredictionWindowTest::switchButtons_data()
{
    QTest::addColumn<int>("index");
    for (int i : {0, 1, 9, 10, 11})
        QTest::addRow("switch %d", i) << i;
}

void PredictionWindowTest::switchButtons()
{
    QFETCH(int, index);
    const std::string settings = "分割データ分析Opt=False\r\n";
    Fixture f(settings);
    QVERIFY(f.start());
    PredictionWindow *w = f.open();
    QVERIFY(w);
    checkButtons(w, PredictionOptions{});

    QStringList before[PredictionGridCount];
    for (int g = 0; g < PredictionGridCount; ++g)
        before[g] = texts(w->grid(static_cast<PredictionGrid>(g)));

    QTest::mouseClick(w->reflectButton(index), Qt::LeftButton);
    PredictionOptions on;
    on.on[static_cast<std::size_t>(index)] = true;
    QVERIFY(f.frame->document().predictionOptions() == on);
    checkButtons(w, on);
    QCOMPARE(w->prediction().reflectionShift, Weights[index]);

    const auto expected = f.expected();
    QCOMPARE(texts(w->grid(CycleGrid)), before[CycleGrid]);
    for (int g = EliminationGrid; g < PredictionGridCount; ++g) {
        const QStringList now = texts(w->grid(static_cast<PredictionGrid>(g)));
        QCOMPARE(now, texts(expected[static_cast<std::size_t>(g)]));
        QVERIFY2(now != before[g], "the pass reads other draws");
    }
    QCOMPARE(readAll(PredictionOptions::FileName), settings);

    // Back off: the grids return to the first pass.
    QTest::mouseClick(w->ignoreButton(index), Qt::LeftButton);
    QVERIFY(f.frame->document().predictionOptions() == PredictionOptions{});
    checkButtons(w, PredictionOptions{});
    for (int g = 0; g < PredictionGridCount; ++g)
        QCOMPARE(texts(w->grid(static_cast<PredictionGrid>(g))), before[g]);
    QCOMPARE(readAll(PredictionOptions::FileName), settings);
}

void PredictionWindowTest::reopenKeepsSwitchesAndEngine()
{
    Fixture f("間隔分析Opt=True\r\n");
    QVERIFY(f.start());
    PredictionWindow *w = f.open();
    QVERIFY(w);
    PredictionOptions options;
    options.on[1] = true;
    checkButtons(w, options);
    QCOMPARE(w->prediction().reflectionShift, 15);

    QTest::mouseClick(w->reflectButton(5), Qt::LeftButton);
    options.on[5] = true;
    w->unload();
    QVERIFY(!f.subWindow());
    QVERIFY(f.frame->document().predictionOptions() == options);

    w = f.open();
    QVERIFY(w);
    checkButtons(w, options);
    QCOMPARE(w->prediction().reflectionShift, 15 + 4);
    // The second scan starts from the tables of the first one, which the engine keeps.
    PredictionEngine twice;
    twice.scan(f.frame->document().history());
    twice.scan(f.frame->document().history());
    QCOMPARE(texts(w->grid(CycleGrid)),
        texts(buildPredictionSheets(
            twice.predict(f.frame->document().totals().latestDrawNo, options))[CycleGrid]));
}

void PredictionWindowTest::shownOnActivation()
{
    Fixture f;
    QVERIFY(f.start());
    f.frame->show();
    f.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    // Right after start-up.
    QTRY_VERIFY(f.subWindow());
    QCOMPARE(f.frame->propEnd(), false);

    f.subWindow()->close();
    QTRY_VERIFY(!f.subWindow());
    QCOMPARE(f.frame->propEnd(), true);

    // Another window of the program comes and goes: the main window is active again.
    f.frame->showAbout();
    QWidget *about = f.frame->aboutWindow();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    about->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), about->windowHandle());
    QVERIFY(!f.subWindow());
    about->close();
    f.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    QTRY_VERIFY(f.subWindow());
    QCOMPARE(f.frame->mdiArea()->activeSubWindow(), f.subWindow());

    // Open, it stays where it is: back from バージョン情報, the window in use keeps the front.
    QMdiSubWindow *inUse = f.frame->openChild(u"回数別出現分析"_s);
    QVERIFY(inUse);
    QCOMPARE(f.frame->mdiArea()->activeSubWindow(), inUse);
    f.frame->showAbout();
    about = f.frame->aboutWindow();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    about->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), about->windowHandle());
    about->close();
    f.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
    QTest::qWait(50);
    QCOMPARE(f.frame->mdiArea()->activeSubWindow(), inUse);

    // Exiting never brings it back.
    f.frame->close();
    QTest::qWait(50);
    QVERIFY(!f.subWindow());
}

// The place of a child in the window's own coordinates.
QRect placeIn(const QWidget *window, const QWidget *child)
{
    return QRect(child->mapTo(window, QPoint(0, 0)), child->size());
}

void PredictionWindowTest::contentsFitTheFont()
{
    Fixture f;
    QVERIFY(f.start());
    PredictionWindow *w = f.open();
    QVERIFY(w);
    const int line = QFontMetrics(w->grid(CycleGrid)->font()).height();
    QRect above = placeIn(w, w->findChild<QLabel *>(u"Label2"_s));
    for (int g = 0; g < PredictionGridCount; ++g) {
        SheetView *view = w->grid(static_cast<PredictionGrid>(g));
        QVERIFY2(view->verticalHeader()->sectionSize(1) > line, qPrintable(QString::number(g)));
        // Every row shows whole, below its heading, which stands below what is above it.
        QCOMPARE(view->verticalHeader()->length() + 2 * view->frameWidth(), view->height());
        const QRect heading = placeIn(w, w->findChild<QLabel *>(u"LabelGrid%1"_s.arg(g)));
        QVERIFY(heading.top() > above.bottom());
        QVERIFY(heading.bottom() < placeIn(w, view).top());
        above = placeIn(w, view);
    }
    // Each description stays inside its frame, clear of the frame's caption and of what follows.
    const QRect options = placeIn(w, w->findChild<QWidget *>(u"FrameOptions"_s));
    const QRect label1 = placeIn(w, w->findChild<QLabel *>(u"Label1"_s));
    QVERIFY(label1.top() >= options.top() + line);
    QVERIFY(label1.bottom() < placeIn(w, w->reflectButton(0)->parentWidget()).top());
    QVERIFY(label1.height() >= w->findChild<QLabel *>(u"Label1"_s)->heightForWidth(label1.width()));
    const QRect prediction = placeIn(w, w->findChild<QWidget *>(u"FramePrediction"_s));
    QVERIFY(placeIn(w, w->findChild<QLabel *>(u"Label2"_s)).top() >= prediction.top() + line);
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        const QRect button = placeIn(w, w->reflectButton(i));
        QVERIFY2(options.contains(button), qPrintable(QString::number(i)));
        QVERIFY(placeIn(w, w->reflectButton(i)->parentWidget()).contains(button));
        QVERIFY(button.height() >= line);
    }
    for (const char *name : {"cmdBacktest", "cmdRecord", "cmdTickets"})
        QVERIFY2(
            prediction.contains(placeIn(w, w->findChild<QPushButton *>(QString::fromUtf8(name)))),
            name);
}

// At its designed size the window shows everything without scroll bars; made smaller (tiled
// side by side or one above the other) it scrolls its page instead of squeezing or cutting it.
void PredictionWindowTest::smallWindowScrollsItsPage()
{
    Fixture f;
    QVERIFY(f.start());
    f.frame->resize(1400, 1000);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
    PredictionWindow *w = f.open();
    QVERIFY(w);
    auto *page = w->findChild<QScrollArea *>(u"page"_s);
    QVERIFY(page);
    QTest::qWait(0);
    QVERIFY(!page->horizontalScrollBar()->isVisible());
    QVERIFY(!page->verticalScrollBar()->isVisible());
    auto *close = w->findChild<QPushButton *>(u"Cmd閉じる"_s);
    const QRect closePlace = close->geometry();

    QMdiSubWindow *sub = f.subWindow();
    sub->resize(sub->width() / 2, sub->height() / 2);
    QTest::qWait(0);
    QVERIFY(page->horizontalScrollBar()->isVisible());
    QVERIFY(page->verticalScrollBar()->isVisible());
    // The page keeps the room its controls take.
    QCOMPARE(page->widget()->size(), page->widget()->minimumSize());
    QCOMPARE(close->geometry(), closePlace);
    // The far corner scrolls into view.
    page->ensureWidgetVisible(close);
    QVERIFY(page->viewport()->rect().contains(
        QRect(close->mapTo(page->viewport(), QPoint(0, 0)), close->size())));
}

void PredictionWindowTest::recordsTheShownLines()
{
    Fixture f("間隔分析Opt=True\r\n");
    QVERIFY(f.start());
    PredictionWindow *w = f.open();
    QVERIFY(w);
    // The window reaches the ticket book, which is empty and stays open.
    w->findChild<QPushButton *>(u"cmdTickets"_s)->click();
    QMdiSubWindow *ticketSub = f.frame->childWindow(QString::fromUtf8(windowclass::Tickets));
    QVERIFY(ticketSub);
    auto *tickets = qobject_cast<TicketWindow *>(ticketSub->widget());
    // The heading and the line that says how to fill the empty book.
    QCOMPARE(tickets->listGrid()->model()->rowCount(), 2);
    QVERIFY(
        tickets->listGrid()->model()->index(1, 0).data().toString().contains(u"まだありません"_s));

    QVERIFY(w->record({}));
    QVERIFY(w->record({true, true}));
    Database db;
    QVERIFY(db.open(f.frame->document().database().path()));
    std::vector<PredictionRecord> records;
    std::vector<Ticket> stored;
    QVERIFY(TicketBook(db).records(records));
    QVERIFY(TicketBook(db).tickets(stored));
    QCOMPARE(records.size(), std::size_t(2));
    const auto all = predictionLines(w->prediction(), {true, true});
    QVERIFY(all.size() > 1);
    QCOMPARE(stored.size(), 1 + all.size());
    // The one-shot line first, for the next draw, with what the prediction was made from.
    std::array<int, MainNumberCount> oneShot{};
    std::copy_n(w->prediction().oneShot.begin(), 6, oneShot.begin());
    std::sort(oneShot.begin(), oneShot.end());
    QCOMPARE(stored.front().numbers, oneShot);
    QCOMPARE(stored.front().firstDraw, f.frame->document().totals().latestDrawNo + 1);
    QCOMPARE(stored.back().recordId, records.back().id);
    QCOMPARE(records.front().switches, std::string("010000000000"));
    QCOMPARE(records.front().reflectionShift, w->prediction().reflectionShift);
    QCOMPARE(records.front().latestDrawNo, f.frame->document().totals().latestDrawNo);
    QCOMPARE(records.front().historyHash, historyHash(f.frame->document().history()));
    // The open ticket window shows them at once.
    QCOMPARE(tickets->listGrid()->model()->rowCount(), int(1 + stored.size()));

    // With a 基準回 the next draw may be known already: refused, in Japanese, nothing stored.
    f.frame->document().setAsOf(100);
    w = f.window();
    const Status refused = w->record({});
    QVERIFY(!refused);
    QVERIFY(CoreReasons::japanese(refused).contains(u"基準回"_s));
    QVERIFY(TicketBook(db).tickets(stored));
    QCOMPARE(stored.size(), 1 + all.size());
    // The button says so at once, without asking first.
    QStringList messages;
    f.frame->setDialogs(recordTexts(messages));
    w->findChild<QPushButton *>(u"cmdRecord"_s)->click();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.front().contains(u"最新の回に戻す"_s));
}

void PredictionWindowTest::recordDialogListsTheRows()
{
    Prediction p;
    p.latestDrawNo = 10;
    p.oneShot = {30, 2, 8, 10, 13, 27};
    p.elimination = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    p.consecutive = {30, 2, 8, 10, 13, 27, 40, 41};
    RecordPredictionDialog dialog(p, 11);
    QCOMPARE(dialog.linesText(), u"02 08 10 13 27 30"_s);
    QVERIFY(dialog.eliminationBox()->text().contains(u"2組"_s));
    // The consecutive row begins with the one-shot line and adds nothing.
    QVERIFY(dialog.consecutiveBox()->text().contains(u"0組"_s));
    dialog.eliminationBox()->setChecked(true);
    QCOMPARE(dialog.linesText(), u"02 08 10 13 27 30\n01 02 03 04 05 06\n07 08 09 10 11 12"_s);
    QCOMPARE(dialog.rows().elimination, true);
    QCOMPARE(dialog.rows().consecutive, false);

    // Shown on screen, every line listed is seen whole: the dialog grows with the rows ticked.
    dialog.eliminationBox()->setChecked(false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.eliminationBox()->setChecked(true);
    const auto *lines = dialog.findChild<QLabel *>(u"lblLines"_s);
    QTRY_VERIFY2(lines->height() >= lines->sizeHint().height()
            && lines->geometry().bottom() < dialog.height(),
        qPrintable(u"%1 of %2"_s.arg(lines->height()).arg(lines->sizeHint().height())));
}

QTEST_MAIN(PredictionWindowTest)
#include "predictionwindow_test.moc"
