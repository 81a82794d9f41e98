#include "chart/chartcatalog.h"
#include "shell/chartcommands.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "views/chartview.h"
#include "views/legendpicture.h"
#include "views/productpicture.h"
#include "views/sheetview.h"
#include "windows/analysiswindow.h"
#include "windows/chartwindow.h"
#include "windows/popularitywindow.h"
#include "windows/ticketwindow.h"

#include <QComboBox>
#include <QFile>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

using namespace Qt::StringLiterals;
using namespace loto6;

class ChartWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyChartDrawsFromTheMenu();
    void opensFromItsTableAndFollowsTheHistory();
    void savesPrintsAndNeverOverwritesTheDatabase();
    void ticketChartFollowsTheBook();
    void popularityChartFromItsWindow();
    void paintedPicturesPrintLikeCharts();

private:
    ChartWindow *openFromMenu();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainFrm> m_frame;
    QStringList m_messages;
    std::shared_ptr<RecordingDialogs> m_dialogs;
};

void ChartWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_frame = std::make_unique<MainFrm>();
    m_messages.clear();
    m_dialogs = recordTexts(m_messages);
    m_frame->setDialogs(m_dialogs);
    QVERIFY(m_frame->startUp(m_dir->filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    m_frame->setPropEnd(true);
    m_frame->resize(1366, 768);
    m_frame->show();
}

void ChartWindowTest::cleanup()
{
    m_frame.reset();
    m_dir.reset();
}

ChartWindow *ChartWindowTest::openFromMenu()
{
    QAction *command = m_frame->openCommand(QString::fromUtf8(windowclass::Chart));
    if (!command)
        return nullptr;
    command->trigger();
    QMdiSubWindow *sub = m_frame->childWindow(QString::fromUtf8(windowclass::Chart));
    return sub ? qobject_cast<ChartWindow *>(sub->widget()) : nullptr;
}

void ChartWindowTest::everyChartDrawsFromTheMenu()
{
    ChartWindow *w = openFromMenu();
    QVERIFY(w);
    QCOMPARE(w->chooser()->count(), static_cast<int>(charts().size()));
    for (const ChartInfo &info : charts()) {
        // Each chart has its command in the グラフ menu.
        auto *command
            = m_frame->findChild<QAction *>(u"mnuGraph-"_s + QString::fromUtf8(info.name));
        QVERIFY2(command, info.name.data());
        command->trigger();
        QCOMPARE(w->view()->chart().name, std::string(info.name));
        QCOMPARE(w->number()->isHidden(), !info.needsNumber);
        w->view()->repaint();
        // Without a book the ticket chart is its title and a note, not empty axes.
        if (info.name == "tickets") {
            QVERIFY(w->view()->chart().panels.empty());
            QVERIFY(w->view()->chart().note.find("ありません") != std::string::npos);
            continue;
        }
        QCOMPARE(w->view()->layout().panels.size(), w->view()->chart().panels.size());
        for (const ChartPanelLayout &p : w->view()->layout().panels)
            QVERIFY2(p.plot.width > 100 && p.plot.height > 50, info.name.data());
        // LOTO6_TEST_PICTURES=folder keeps each chart as the window shows it, to look at.
        if (const QString folder = qEnvironmentVariable("LOTO6_TEST_PICTURES"); !folder.isEmpty())
            w->grab().save(folder + u"/chart-"_s + QString::fromUtf8(info.name) + u".png"_s);
        // Axes, bands and marks were drawn, not just a title on white.
        const QImage picture = w->view()->picture({600, 400});
        int inked = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                inked += picture.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY2(inked > 5000, info.name.data());
    }
    QVERIFY(m_messages.isEmpty());
}

void ChartWindowTest::opensFromItsTableAndFollowsTheHistory()
{
    QAction *frequency = m_frame->action(u"mnuSyutugenHindo"_s);
    frequency->trigger();
    auto *table = qobject_cast<AnalysisWindow *>(m_frame->childWindow(u"出現頻度分析"_s)->widget());
    QVERIFY(table);
    auto *button = table->findChild<QPushButton *>(u"cmdGraph"_s);
    QVERIFY(button);
    button->click();
    QMdiSubWindow *sub = m_frame->childWindow(QString::fromUtf8(windowclass::Chart));
    QVERIFY(sub);
    auto *w = qobject_cast<ChartWindow *>(sub->widget());
    QCOMPARE(w->view()->chart().name, std::string("appearances"));
    QVERIFY(w->view()->chart().title.find("第2144回") != std::string::npos);

    // The chart of one number follows the spin box; 基準回 cuts the history under it.
    w->showChart("number");
    w->setNumber(17);
    QVERIFY(w->view()->chart().title.find("数字17") != std::string::npos);
    m_frame->document().setAsOf(100);
    QVERIFY(w->view()->chart().title.find("第1回～第100回") != std::string::npos);
    QVERIFY(w->view()->chart().title.find("数字17") != std::string::npos);
    QCOMPARE(w->view()->chart().panels[0].series[0].x.back(), 100.0);
    m_frame->document().setAsOf(DrawHistory::NoCut);
    QVERIFY(w->view()->chart().title.find("第2144回") != std::string::npos);
}

void ChartWindowTest::savesPrintsAndNeverOverwritesTheDatabase()
{
    ChartWindow *w = openFromMenu();
    QVERIFY(w);
    w->showChart("sum");
    QString &answer = m_dialogs->chosenFile;
    answer = m_dir->filePath(u"sum.png"_s);
    w->savePicture();
    QImage png(answer);
    QCOMPARE(png.size(), QSize(ChartView::PictureWidth, ChartView::PictureHeight));
    answer = m_dir->filePath(u"sum.svg"_s);
    w->saveSvg();
    QFile svg(answer);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().startsWith("<?xml"));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_dialogs->files.size(), 2);
    for (const RecordingDialogs::FileQuestion &asked : m_dialogs->files)
        QCOMPARE(asked.kind, Dialogs::FileDialog::Save);

    // The database is refused, named in a message, and left as it was.
    answer = m_dir->filePath(u"draws.db"_s);
    QFile db(answer);
    QVERIFY(db.open(QIODevice::ReadOnly));
    const QByteArray before = db.readAll();
    db.close();
    w->saveSvg();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.front().contains(u"保存できませんでした"_s));
    QVERIFY(db.open(QIODevice::ReadOnly));
    QCOMPARE(db.readAll(), before);

    // Printing draws the chart onto the page: a PDF of one page.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir->filePath(u"sum.pdf"_s));
    w->view()->print(printer);
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
        1);
}

namespace {

// Pixels of a picture that are not white.
int inkOf(const QImage &picture)
{
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += picture.pixel(x, y) != qRgb(255, 255, 255);
    return inked;
}

int pdfPages(const QString &file)
{
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = pdf.readAll();
    return static_cast<int>(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
}

} // namespace

void ChartWindowTest::ticketChartFollowsTheBook()
{
    ChartWindow *w = openChart(*m_frame, "tickets");
    QVERIFY(w);
    QVERIFY(w->view()->chart().panels.empty());
    // Tickets added in the ticket window show at once in the open chart, and go with them.
    m_frame->openCommand(QString::fromUtf8(windowclass::Tickets))->trigger();
    auto *book = qobject_cast<TicketWindow *>(
        m_frame->childWindow(QString::fromUtf8(windowclass::Tickets))->widget());
    QVERIFY(book);
    book->findChild<QSpinBox *>(u"spnFrom"_s)->setValue(2100);
    book->findChild<QSpinBox *>(u"spnDraws"_s)->setValue(40);
    QVERIFY(book->addLines(u"02 08 10 13 27 30"_s));
    const ChartSeries &spent = w->view()->chart().panels[0].series[0];
    QCOMPARE(spent.x.size(), std::size_t{40});
    QCOMPARE(spent.y.back(), 40 * 200.0);
    book->listGrid()->setCurrentIndex(book->listGrid()->model()->index(1, 0));
    QVERIFY(book->removeCurrent());
    QVERIFY(w->view()->chart().panels.empty());
    QVERIFY(m_messages.isEmpty());
}

void ChartWindowTest::popularityChartFromItsWindow()
{
    m_frame->openCommand(QString::fromUtf8(windowclass::Popularity))->trigger();
    QMdiSubWindow *popularity = m_frame->childWindow(QString::fromUtf8(windowclass::Popularity));
    QVERIFY(popularity);
    auto *button = popularity->widget()->findChild<QPushButton *>(u"cmdGraph"_s);
    QVERIFY(button);
    button->click();
    QMdiSubWindow *sub = m_frame->childWindow(QString::fromUtf8(windowclass::Chart));
    QVERIFY(sub);
    const Chart &chart = qobject_cast<ChartWindow *>(sub->widget())->view()->chart();
    QCOMPARE(chart.name, std::string("popularity"));
    // The stored payouts reach the chart: five 1等 groups and the lower tiers' points.
    QCOMPARE(chart.panels.size(), std::size_t{2});
    QCOMPARE(chart.panels[0].xAxis.categories.size(), std::size_t{5});
    QVERIFY(chart.panels[1].series[1].x.size() > 100);
}

void ChartWindowTest::paintedPicturesPrintLikeCharts()
{
    const LegendItem items[] = {{LegendItem::Shape::Ball, rgb(255, 0, 0), "a"},
        {LegendItem::Shape::Box, rgb(0, 0, 255), "b"}};
    LegendPicture legend(items);
    ProductPicture product;
    for (ChartView *view :
        {static_cast<ChartView *>(&legend), static_cast<ChartView *>(&product)}) {
        QVERIFY(view->showsPicture());
        QCOMPARE(view->sizeHint(), view->size());
        // The picture is drawn at twice its size, whatever size is asked for.
        const QImage picture = view->picture({50, 50});
        QCOMPARE(picture.size(), view->size() * 2);
        if (const QString folder = qEnvironmentVariable("LOTO6_TEST_PICTURES"); !folder.isEmpty())
            picture.save(folder + u'/'
                + QString::fromUtf8(view->metaObject()->className()).remove(u"loto6::"_s)
                + u".png"_s);
        QVERIFY(inkOf(picture) > picture.width() * picture.height() / 20);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->filePath(u"picture.pdf"_s));
        view->print(printer);
        QCOMPARE(pdfPages(printer.outputFileName()), 1);
        QVERIFY(!view->saveSvg(m_dir->filePath(u"p.svg"_s).toStdString(), {}));
    }
}

QTEST_MAIN(ChartWindowTest)
#include "chartwindow_test.moc"
