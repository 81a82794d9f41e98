#include "analysis/catalog.h"
#include "grid/numbertext.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "summary/buyingnote.h"
#include "views/printpreview.h"
#include "views/sheetpages.h"
#include "views/sheetprinter.h"
#include "views/sheetview.h"
#include "windows/predictionwindow.h"
#include "windows/printbutton.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;
using namespace loto6;

class PrintTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void runsCoverEveryItemOnce();
    void wideSheetGoesAcrossWithLabelsRepeated();
    void scaleAndOrderOfPages();
    void smallSheetsShareAPage();
    void notesPrintUnderTheTable();
    void printedPagesRepeatTheHeadings();
    void wideAnalysisPrintsOnSeveralPages();
    void pdfHoldsEveryPage();
    void pdfFailureLeavesNoFile();
    void printButtonsOpenThePreview();
    void footerNamesTheDraws();
    void predictionPrintsTheBuyingNote();
    void longPreviewDrawsOnlyThePagesShown();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MainFrm> m_frame;
    std::shared_ptr<RecordingDialogs> m_dialogs = RecordingDialogs::make();
};

namespace {

constexpr Rgb HeadBack = rgb(255, 0, 0);
constexpr Rgb LabelBack = rgb(0, 0, 255);

// 200 columns behind one label column and 30 rows under one heading row; only the label
// column has texts, so that the colours of the cells show in the page pictures.
Sheet wideSheet()
{
    Sheet s("wide", "広い表");
    s.prepare(200, 30, 200, 30, 12, 4);
    s.setFrozen(1, 1);
    s.setBackColor(1, 1, 200, 1, HeadBack);
    s.setBackColor(1, 2, 1, 30, LabelBack);
    for (int r = 2; r <= 30; ++r)
        s.setText(1, r, r);
    return s;
}

SheetSizes sizes(std::vector<int> columns, std::vector<int> rows, int frozenColumns = 0,
    int frozenRows = 0, int captionHeight = 0)
{
    return {std::move(columns), std::move(rows), frozenColumns, frozenRows, captionHeight};
}

// A4 across inside 12 mm margins, in layout units.
QSizeF landscapeA4()
{
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
        QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    return layout.paintRect(QPageLayout::Inch).size() * SheetPrintDocument::LayoutDpi;
}

QImage pageImage(const SheetPrintDocument &document, int page, QSizeF size)
{
    QImage image(size.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.paintPage(painter, page);
    return image;
}

// The share of the pixels of line y, left of right, that have the colour.
double shareOf(const QImage &image, int y, int right, Rgb color)
{
    const QRgb wanted = qRgb(red(color), green(color), blue(color));
    int hits = 0;
    for (int x = 0; x < right; ++x)
        hits += image.pixel(x, y) == wanted ? 1 : 0;
    return static_cast<double>(hits) / right;
}

// Pages of a PDF file: its page objects.
int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression Page(u"/Type\\s*/Page(?!s)"_s);
    return static_cast<int>(QString::fromLatin1(pdf).count(Page));
}

} // namespace

void PrintTest::initTestCase()
{
    m_frame = std::make_unique<MainFrm>();
    m_frame->setDialogs(m_dialogs);
    QVERIFY(m_frame->startUp(m_dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY).ok());
    m_frame->setPropEnd(true);
}

void PrintTest::runsCoverEveryItemOnce()
{
    // The repeated items are in no run; each run fills the room.
    QCOMPARE(splitRuns({10, 10, 10, 10, 10}, 1, 25), (std::vector<Span>{{2, 3}, {4, 5}}));
    // An item larger than the room stands alone, and is not merged with the next.
    QCOMPARE(splitRuns({10, 50, 10}, 0, 30), (std::vector<Span>{{1, 1}, {2, 2}, {3, 3}}));
    QCOMPARE(splitRuns({10, 10, 10}, 0, 30), (std::vector<Span>{{1, 3}}));
    QVERIFY(splitRuns({10, 10}, 2, 30).empty());
    QVERIFY(splitRuns({}, 0, 30).empty());
    // No room at all still makes progress, one item a run.
    QCOMPARE(splitRuns({5, 5}, 0, 0), (std::vector<Span>{{1, 1}, {2, 2}}));
}

void PrintTest::wideSheetGoesAcrossWithLabelsRepeated()
{
    // 40 + 30 x 20 wide: too wide for 300 even at the smallest scale.
    const PagePlan plan = planPages(
        {sizes(std::vector<int>(31, 20), std::vector<int>(12, 10), 1, 2)}, 300, 1000, 0.7);
    QCOMPARE(plan.size(), std::size_t{2});
    int next = 2;
    for (const auto &page : plan) {
        QCOMPARE(page.size(), std::size_t{1});
        const PagePart &part = page.front();
        QCOMPARE(part.scale, 0.7);
        QCOMPARE(part.frozenColumns, 1);
        QCOMPARE(part.frozenRows, 2);
        QCOMPARE(part.rows, (Span{3, 12}));
        QCOMPARE(part.columns.first, next);
        QVERIFY((1 + part.columns.count()) * 20 * part.scale <= 300);
        next = part.columns.last + 1;
    }
    QCOMPARE(next, 32);

    // Label columns that alone take over half the page are not repeated: they scroll on.
    const PagePlan wideLabels
        = planPages({sizes({300, 20, 20, 20, 20, 20, 20, 20, 20}, {10, 10}, 1, 1)}, 300, 1000, 1.0);
    QCOMPARE(wideLabels.front().front().frozenColumns, 0);
    QCOMPARE(wideLabels.front().front().columns.first, 1);
    QCOMPARE(wideLabels.back().front().columns.last, 9);
}

void PrintTest::scaleAndOrderOfPages()
{
    // A table a little wider than the page is shrunk to fit it on one page across.
    const PagePlan shrunk = planPages({sizes({200, 200}, {10})}, 300, 1000, 0.7);
    QCOMPARE(shrunk.size(), std::size_t{1});
    QCOMPARE(shrunk.front().front().scale, 0.75);
    // A narrow one keeps its size, or grows to the page width up to the largest scale.
    QCOMPARE(planPages({sizes({100}, {10})}, 300, 1000, 0.7).front().front().scale, 1.0);
    QCOMPARE(planPages({sizes({250}, {10})}, 300, 1000, 0.7, 1.5).front().front().scale, 1.2);
    QCOMPARE(planPages({sizes({100}, {10})}, 300, 1000, 0.7, 1.5).front().front().scale, 1.5);

    // Wide and tall: pages go down first, every piece with the heading row, and the heights
    // stay inside the page.
    const PagePlan plan = planPages(
        {sizes(std::vector<int>(6, 100), std::vector<int>(50, 20), 0, 1, 18)}, 300, 400, 1.0);
    QVERIFY(plan.size() > 4);
    QCOMPARE(plan[0].front().columns, plan[1].front().columns);
    QVERIFY(plan[1].front().rows.first == plan[0].front().rows.last + 1);
    QCOMPARE(plan[0].front().rows.first, 2);
    for (const auto &page : plan) {
        QCOMPARE(page.front().frozenRows, 1);
        QVERIFY(page.front().height <= 400);
    }
    QCOMPARE(plan.back().front().columns.last, 6);
    QCOMPARE(plan.back().front().rows.last, 50);
}

void PrintTest::smallSheetsShareAPage()
{
    const SheetSizes small = sizes({50}, {50, 50}, 0, 0, 18);
    const SheetSizes tall = sizes({50}, std::vector<int>(40, 20));
    const PagePlan plan = planPages({small, small, small, tall, small}, 300, 400, 0.7);
    // Three of 118 with gaps fit 400; the tall one starts a page; the last fits under it.
    QCOMPARE(plan.size(), std::size_t{4});
    QCOMPARE(plan[0].size(), std::size_t{3});
    QCOMPARE(plan[0][1].top, 118 + SheetGap);
    QCOMPARE(plan[0][2].sheet, 2);
    QCOMPARE(plan[1].front().sheet, 3);
    QCOMPARE(plan[2].front().sheet, 3);
    QCOMPARE(plan[3].front().sheet, 4);
    QCOMPARE(plan[3].front().top, 0);
}

void PrintTest::notesPrintUnderTheTable()
{
    // As in the window: the note rows and the empty row above them leave the grid, and the
    // notes follow the table as paragraphs, here on the same page.
    Sheet sheet("report", "報告");
    sheet.prepare(3, 5, 3, 5, 12, 6);
    sheet.setText(1, 1, "検定");
    sheet.setText(1, 2, "出現回数");
    sheet.setText(1, 4, "注");
    sheet.setText(2, 4, "p値は Holm の方法で補正しています。");
    sheet.setText(1, 5, "注　期待値は公平な抽せんのものです。");
    SheetPrintDocument document({&sheet}, u"偶然との比較"_s, QString());
    document.layOut(landscapeA4());
    QCOMPARE(document.pageCount(), 1);
    const auto &parts = document.plan().front();
    QCOMPARE(parts.size(), std::size_t{2});
    const int rowHeight
        = SheetView::rowPixels(12, SheetPrintDocument::LayoutDpi) + SheetPrintDocument::RowPadding;
    // The table part holds two rows' height at its scale (and its caption line); the notes two
    // paragraphs.
    QCOMPARE(parts[0].height, 18 + static_cast<int>(std::ceil(2 * rowHeight * parts[0].scale)));
    QCOMPARE(parts[1].rows, (Span{1, 2}));
    QCOMPARE(parts[1].top, parts[0].height + SheetGap);
}

void PrintTest::printedPagesRepeatTheHeadings()
{
    const Sheet sheet = wideSheet();
    SheetPrintDocument document({&sheet}, u"広い表"_s, u"第1回～第9回"_s);
    const QSizeF page = landscapeA4();
    document.layOut(page);
    QVERIFY(document.pageCount() >= 3);
    const QRect body = document.bodyRect();
    const double scale = document.plan()[1].front().scale;
    const int rowHeight
        = SheetView::rowPixels(12, SheetPrintDocument::LayoutDpi) + SheetPrintDocument::RowPadding;
    const int headingLine = body.top() + static_cast<int>(rowHeight * scale / 2);
    const int bodyLine = body.top() + static_cast<int>(rowHeight * scale * 2.5);
    const int right = body.width() * 9 / 10;

    const QImage first = pageImage(document, 0, page);
    const QImage second = pageImage(document, 1, page);
    // Page 2 has the heading row across its top and the label column at its left, as page 1.
    QVERIFY(shareOf(second, headingLine, right, HeadBack) > 0.95);
    QVERIFY(shareOf(second, bodyLine, right, colors::white) > 0.8);
    QCOMPARE(second.pixel(2, bodyLine), qRgb(0, 0, 255));
    const QRect labels(0, body.top(), 6, static_cast<int>(rowHeight * scale * 10));
    QCOMPARE(second.copy(labels), first.copy(labels));
    // The pages differ in their footers: each has its own number.
    const QRect foot(0, static_cast<int>(page.height()) - 18, static_cast<int>(page.width()), 18);
    QVERIFY(first.copy(foot) != second.copy(foot));
}

void PrintTest::wideAnalysisPrintsOnSeveralPages()
{
    const AnalysisInfo *info = findAnalysis("frequency");
    QVERIFY(info);
    const Sheet sheet
        = buildAnalysis(*info, m_frame->document().history(), m_frame->document().totals());
    SheetPrintDocument document({&sheet}, u"出現頻度分析"_s, historyRange(*m_frame));
    const QSizeF page = landscapeA4();
    document.layOut(page);
    // Hundreds of appearance columns: several pages across, all 45 rows on each.
    QVERIFY2(document.pageCount() >= 3, qPrintable(QString::number(document.pageCount())));
    for (const auto &parts : document.plan()) {
        QCOMPARE(parts.front().frozenRows, 2);
        QCOMPARE(parts.front().frozenColumns, 1);
        QCOMPARE(parts.front().rows.last, 45);
    }

    // The ordinal heading row (row 2, light yellow) runs along the top of page 2 as of page 1.
    const QRect body = document.bodyRect();
    const double scale = document.plan()[1].front().scale;
    const int rowHeight
        = SheetView::rowPixels(15, SheetPrintDocument::LayoutDpi) + SheetPrintDocument::RowPadding;
    // Just inside the top of row 2, above its red ordinals.
    const int ordinalLine = body.top() + static_cast<int>(rowHeight * scale) + 2;
    const int right = body.width() * 9 / 10;
    const QImage first = pageImage(document, 0, page);
    const QImage second = pageImage(document, 1, page);
    QVERIFY(shareOf(first, ordinalLine, right, colors::lightYellow) > 0.5);
    QVERIFY(shareOf(second, ordinalLine, right, colors::lightYellow) > 0.5);
    const QRect corner(0, body.top(), 12, static_cast<int>(rowHeight * scale * 2));
    QCOMPARE(second.copy(corner), first.copy(corner));
}

void PrintTest::pdfHoldsEveryPage()
{
    const Sheet sheet = wideSheet();
    const Sheet small("small", "小さい表");
    SheetPrintDocument document({&sheet, &small}, u"広い表"_s, u"第1回～第9回"_s);
    const QString file = m_dir.filePath(u"wide.pdf"_s);
    const QPageLayout layout(QPageSize(QPageSize::B5), QPageLayout::Portrait,
        QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    const Status saved = document.savePdf(file, layout, u"広い表"_s);
    QVERIFY2(saved, saved.message().c_str());
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    // B5 upright is narrower than A4 across: more pages, all of them in the file.
    QVERIFY(document.pageCount() > 3);
    QCOMPARE(pdfPages(bytes), document.pageCount());
}

void PrintTest::pdfFailureLeavesNoFile()
{
    const Sheet sheet = wideSheet();
    SheetPrintDocument document({&sheet}, u"広い表"_s, QString());
    const QString file = m_dir.filePath(u"no-such-folder/wide.pdf"_s);
    const Status refused = document.savePdf(file,
        QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter),
        u"広い表"_s);
    QVERIFY(!refused);
    QVERIFY(!refused.message().empty());
    QVERIFY(!QFile::exists(file));
}

void PrintTest::printButtonsOpenThePreview()
{
    const AnalysisInfo *info = findAnalysis("frequency");
    QAction *command = m_frame->openCommand(QString::fromUtf8(info->className));
    QVERIFY(command);
    command->trigger();
    QMdiSubWindow *sub = m_frame->childWindow(QString::fromUtf8(info->className));
    QVERIFY(sub);
    auto *print = sub->widget()->findChild<QPushButton *>(u"Command2"_s);
    QVERIFY(print && print->isEnabled());

    // The button opens the preview over the window, with its PDF command.
    QString title;
    bool hasPdf = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<PrintPreview *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            hasPdf = dialog->findChild<QAction *>(u"actionSavePdf"_s) != nullptr;
            dialog->reject();
        }
    });
    print->click();
    QVERIFY2(title.contains(u"出現頻度分析"_s), qPrintable(title));
    QVERIFY(hasPdf);
    // The main window's 印刷 (Ctrl+P) prints the window in front the same way.
    title.clear();
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<PrintPreview *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    m_frame->commands().print->trigger();
    QVERIFY2(title.contains(u"出現頻度分析"_s), qPrintable(title));

    // The PDF command writes the pages to the file asked for and says so.
    const Sheet sheet = wideSheet();
    const QString file = m_dir.filePath(u"preview.pdf"_s);
    m_dialogs->chosenFile = file;
    m_dialogs->messages.clear();
    PrintPreview *dialog = createPrintPreview(m_frame.get(), {&sheet}, u"広い表"_s, QString());
    dialog->findChild<QAction *>(u"actionSavePdf"_s)->trigger();
    delete dialog;
    m_dialogs->chosenFile.clear();
    QVERIFY(QFile::exists(file));
    QVERIFY(m_dialogs->files.back().suggestion.endsWith(u"広い表.pdf"_s));
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY2(m_dialogs->messages[0].text.contains(u"保存しました"_s),
        qPrintable(m_dialogs->messages[0].text));

    // The chance page has its print button too.
    m_frame->action(u"mnuGuzenHikaku"_s)->trigger();
    QMdiSubWindow *chance = m_frame->childWindow(u"偶然との比較"_s);
    QVERIFY(chance);
    auto *chancePrint = chance->widget()->findChild<QPushButton *>(u"Command2"_s);
    QVERIFY(chancePrint && chancePrint->isEnabled());
}

void PrintTest::footerNamesTheDraws()
{
    const int latest = m_frame->document().history().records().back().drawNo;
    QCOMPARE(historyRange(*m_frame), u"第1回～第%1回"_s.arg(latest));
    m_frame->document().setAsOf(100);
    QCOMPARE(historyRange(*m_frame), u"基準回 第100回（第1回～第100回）"_s);
    m_frame->document().setAsOf(DrawHistory::NoCut);
}

// Every text a page shows, drawn through a painter that keeps them.
QStringList pageTexts(const PrintPages &pages, int page)
{
    class Texts : public QPaintEngine
    {
    public:
        Texts()
            : QPaintEngine(AllFeatures)
        {
        }
        QStringList texts;
        bool begin(QPaintDevice *) override { return true; }
        void drawPath(const QPainterPath &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawPolygon(const QPoint *, int, PolygonDrawMode) override { }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawTextItem(const QPointF &, const QTextItem &item) override { texts << item.text(); }
        Type type() const override { return User; }
    };
    class Device : public QPaintDevice
    {
    public:
        mutable Texts engine;
        QPaintEngine *paintEngine() const override { return &engine; }
        int metric(PaintDeviceMetric m) const override
        {
            return m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX || m == PdmPhysicalDpiY ? 96
                : m == PdmDepth                                                                 ? 32
                : m == PdmWidthMM || m == PdmHeightMM ? 300
                                                      : 1200;
        }
    };
    Device device;
    QPainter painter(&device);
    pages.paintPage(painter, page);
    painter.end();
    return device.engine.texts;
}

void PrintTest::predictionPrintsTheBuyingNote()
{
    QMdiSubWindow *sub = m_frame->openChild(qs(windowclass::Prediction));
    QVERIFY(sub);
    auto *window = qobject_cast<PredictionWindow *>(sub->widget());
    QVERIFY(window);
    const int next = m_frame->document().history().records().back().drawNo + 1;

    // The button opens the one preview, titled with the note's heading.
    QString title;
    int pages = 0;
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<PrintPreview *>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            pages = dialog->pageCount();
            QVERIFY(dialog->findChild<QAction *>(u"actionSavePdf"_s));
            dialog->reject();
        }
    });
    sub->widget()->findChild<QPushButton *>(u"Command2"_s)->click();
    QVERIFY2(title.contains(u"第%1回の予想"_s.arg(next)), qPrintable(title));
    QCOMPARE(pages, 1);

    // The printed page holds its heading, every switch with its setting and every line.
    QString heading;
    const std::vector<Sheet> sheets = window->noteSheets(&heading);
    QList<const Sheet *> pointers;
    for (const Sheet &sheet : sheets)
        pointers.append(&sheet);
    SheetPrintDocument document(pointers, heading, historyRange(*m_frame));
    document.layOut(landscapeA4());
    QCOMPARE(document.pageCount(), 1);
    // Texts are drawn in runs of one script each; joined they read as the page does.
    const QString printed = pageTexts(document, 0).join(QString());
    QVERIFY2(printed.startsWith(u"第%1回の予想（"_s.arg(next)), qPrintable(printed));
    const PredictionOptions &options = m_frame->document().predictionOptions();
    for (int i = 0; i < PredictionOptions::Count; ++i)
        QVERIFY2(printed.contains(qs(PredictionOptions::name(i))
                     + (options.on[static_cast<std::size_t>(i)] ? u"反映"_s : u"無視"_s)),
            qPrintable(printed));
    const std::vector<PredictionLine> lines = predictionLineList(window->prediction());
    QCOMPARE(lines.size(), std::size_t{5});
    for (const PredictionLine &line : lines) {
        QString text = qs(line.label);
        for (int n : line.numbers)
            text += qs(twoDigitText(n));
        QVERIFY2(printed.contains(text), qPrintable(text));
    }
    // With the estimate in, every line carries its popularity and yen with their range and
    // the conditions, still on one upright page.
    m_frame->document().popularity().estimate();
    QTRY_VERIFY_WITH_TIMEOUT(!m_frame->document().popularity().pending(), 300000);
    const std::vector<Sheet> valued = window->noteSheets(&heading);
    QList<const Sheet *> valuedPointers;
    for (const Sheet &sheet : valued)
        valuedPointers.append(&sheet);
    SheetPrintDocument valuedDocument(valuedPointers, heading, historyRange(*m_frame));
    QSizeF upright = landscapeA4();
    upright.transpose();
    valuedDocument.layOut(upright);
    QCOMPARE(valuedDocument.pageCount(), 1);
    const QString valuedText = pageTexts(valuedDocument, 0).join(QString());
    for (const QString &part : {u"期待値（95%の範囲）"_s, u"条件：販売額"_s, u"平均的な券"_s})
        QVERIFY2(valuedText.contains(part), qPrintable(part));
    if (const QString folder = qEnvironmentVariable("LOTO6_TEST_PICTURES"); !folder.isEmpty()) {
        document.layOut(upright);
        pageImage(document, 0, upright).save(folder + u"/buying-note.png"_s);
        pageImage(valuedDocument, 0, upright).save(folder + u"/buying-note-valued.png"_s);
    }
    sub->close();
}

void PrintTest::longPreviewDrawsOnlyThePagesShown()
{
    const AnalysisInfo *info = findAnalysis("appearance-interval");
    QVERIFY(info);
    const Sheet sheet
        = buildAnalysis(*info, m_frame->document().history(), m_frame->document().totals());
    QElapsedTimer clock;
    clock.start();
    PrintPreview *dialog
        = createPrintPreview(m_frame.get(), {&sheet}, u"出現間隔分析"_s, QString());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCoreApplication::processEvents();
    qInfo("preview of %d pages shown in %lld ms, %d drawn", dialog->pageCount(), clock.elapsed(),
        dialog->pagesDrawn());
    QVERIFY2(dialog->pageCount() >= 20, qPrintable(QString::number(dialog->pageCount())));
    QVERIFY(dialog->pagesDrawn() >= 1);
    QVERIFY2(dialog->pagesDrawn() <= 3, qPrintable(QString::number(dialog->pagesDrawn())));
    // Turning it across lays the pages out again.
    dialog->setOrientation(QPageLayout::Landscape);
    QVERIFY(dialog->pageLayout().orientation() == QPageLayout::Landscape);
    QVERIFY(dialog->pageCount() >= 1);
    dialog->close();
}

QTEST_MAIN(PrintTest)
#include "print_test.moc"
