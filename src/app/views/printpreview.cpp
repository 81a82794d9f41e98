#include "views/printpreview.h"

#include "commands/corereasons.h"
#include "shell/dialogs.h"
#include "shell/uihelpers.h"
#include "store/outputfile.h"
#include "views/sheetprinter.h"

#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace loto6 {

bool PrintPages::print(QPagedPaintDevice &device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scaleX = device.logicalDpiX() / LayoutDpi;
    const double scaleY = device.logicalDpiY() / LayoutDpi;
    layOut(QSizeF(device.width() / scaleX, device.height() / scaleY));
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0 && !device.newPage())
            return false;
        painter.save();
        painter.scale(scaleX, scaleY);
        paintPage(painter, page);
        painter.restore();
    }
    return painter.end();
}

Status PrintPages::savePdf(const QString &file, const QPageLayout &layout, const QString &title)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(qs(ProgramTitle));
        if (!print(writer))
            return Status::failure(Fault{.kind = FaultKind::PdfNotMade});
    }
    // Through the one protected writer: the open database is never replaced by a PDF.
    const QByteArray &bytes = pdf.data();
    return writeOutputFile(std::filesystem::path(file.toStdU16String()),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

namespace {

constexpr double MarginMillimetres = 12;
constexpr int PageGap = 16; // screen pixels between pages in the preview

QString suggestedPdf(const QString &title)
{
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("印刷");
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(name + QStringLiteral(".pdf"));
}

QSizeF inLayoutUnits(const QRectF &inches) { return inches.size() * PrintPages::LayoutDpi; }

} // namespace

// One page of the preview: white paper of the page's size at the zoom, drawn when shown.
class PreviewPage : public QWidget
{
public:
    PreviewPage(PrintPreview &preview, int page, QWidget *parent)
        : QWidget(parent)
        , m_preview(preview)
        , m_page(page)
    {
        setObjectName(QStringLiteral("previewPage"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QPen(Qt::darkGray, 0));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        const QRectF inside = m_preview.m_layout.paintRect(QPageLayout::Inch);
        painter.scale(m_preview.m_zoom, m_preview.m_zoom);
        painter.translate(inside.topLeft() * PrintPages::LayoutDpi);
        m_preview.m_pages->paintPage(painter, m_page);
        if (!m_drawn) {
            m_drawn = true;
            ++m_preview.m_drawn;
        }
    }

private:
    PrintPreview &m_preview;
    int m_page;
    bool m_drawn = false;
};

PrintPreview::PrintPreview(std::shared_ptr<PrintPages> pages, const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_pages(std::move(pages))
    , m_title(title)
    , m_layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
          QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
          QPageLayout::Millimeter)
{
    setObjectName(QStringLiteral("printPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("印刷プレビュー - %1").arg(title));
    if (m_pages->prefersLandscape(inLayoutUnits(m_layout.paintRect(QPageLayout::Inch))))
        m_layout.setOrientation(QPageLayout::Landscape);

    QToolBar *bar = makeToolBar();
    m_scroll = new QScrollArea(this);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll);

    if (const QScreen *screen = parent ? parent->screen() : nullptr) {
        const QRect room = screen->availableGeometry();
        resize(room.width() * 4 / 5, room.height() * 9 / 10);
    }
    // The whole first page in view, as it will be on paper.
    const QSizeF sheet = paperSize();
    m_zoom = std::min((width() - 60) / sheet.width(), (height() - 100) / sheet.height());
    m_zoom = std::max(m_zoom, 0.2);
    rebuildPages();
}

QToolBar *PrintPreview::makeToolBar()
{
    auto *bar = new QToolBar(this);
    QAction *printAction = bar->addAction(tr("印刷..."), this, &PrintPreview::print);
    printAction->setObjectName(QStringLiteral("actionPrint"));
    QAction *pdf = bar->addAction(tr("PDFに保存..."), this, &PrintPreview::savePdf);
    pdf->setObjectName(QStringLiteral("actionSavePdf"));
    pdf->setToolTip(tr("プレビューのとおりの各ページを PDF ファイルに保存します"));
    bar->addSeparator();
    auto *orientation = new QActionGroup(this);
    for (const auto &[text, value] :
        {std::pair{tr("縦"), QPageLayout::Portrait}, std::pair{tr("横"), QPageLayout::Landscape}}) {
        QAction *a = bar->addAction(text, this, [this, value] { setOrientation(value); });
        a->setCheckable(true);
        a->setChecked(m_layout.orientation() == value);
        a->setActionGroup(orientation);
    }
    auto *paper = new QComboBox(bar);
    paper->setObjectName(QStringLiteral("paperSize"));
    for (const QPageSize::PageSizeId id :
        {QPageSize::A4, QPageSize::B5, QPageSize::A3, QPageSize::Letter})
        paper->addItem(QPageSize::name(id), static_cast<int>(id));
    connect(paper, &QComboBox::currentIndexChanged, this, [this, paper] {
        m_layout.setPageSize(
            QPageSize(static_cast<QPageSize::PageSizeId>(paper->currentData().toInt())));
        rebuildPages();
    });
    bar->addWidget(paper);
    bar->addSeparator();
    bar->addAction(tr("拡大"), this, [this] {
        m_zoom *= 1.25;
        placePages();
    });
    bar->addAction(tr("縮小"), this, [this] {
        m_zoom /= 1.25;
        placePages();
    });
    auto *count = new QLabel(bar);
    count->setObjectName(QStringLiteral("pageCount"));
    bar->addSeparator();
    bar->addWidget(count);
    bar->addSeparator();
    bar->addAction(tr("閉じる"), this, &QDialog::reject);

    return bar;
}

QSizeF PrintPreview::paperSize() const
{
    return inLayoutUnits(m_layout.fullRect(QPageLayout::Inch));
}

void PrintPreview::setOrientation(QPageLayout::Orientation orientation)
{
    if (m_layout.orientation() == orientation)
        return;
    m_layout.setOrientation(orientation);
    rebuildPages();
}

void PrintPreview::rebuildPages()
{
    m_pages->layOut(inLayoutUnits(m_layout.paintRect(QPageLayout::Inch)));
    // Only the pages in view are ever drawn: each is a widget that paints when shown.
    m_sheet = new QWidget;
    m_column = new QVBoxLayout(m_sheet);
    m_column->setSpacing(PageGap);
    m_column->setContentsMargins(PageGap, PageGap, PageGap, PageGap);
    for (int page = 0; page < m_pages->pageCount(); ++page)
        m_column->addWidget(new PreviewPage(*this, page, m_sheet), 0, Qt::AlignHCenter);
    m_scroll->setWidget(m_sheet);
    m_drawn = 0;
    if (auto *count = findChild<QLabel *>(QStringLiteral("pageCount")))
        count->setText(tr("%1 ページ").arg(m_pages->pageCount()));
    placePages();
}

void PrintPreview::placePages()
{
    const QSize size = (paperSize() * m_zoom).toSize();
    for (QWidget *page : m_sheet->findChildren<QWidget *>(QStringLiteral("previewPage")))
        page->setFixedSize(size);
    m_sheet->adjustSize();
}

void PrintPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_layout);
    printer.setDocName(m_title);
    printer.setCreator(qs(ProgramTitle));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_pages->print(printer))
        dialogsOf(this).message(this,
            {QMessageBox::Warning, qs(MessageTitle),
                tr("印刷できませんでした。プリンターの設定を確かめてやり直してください。")});
    rebuildPages();
}

void PrintPreview::savePdf()
{
    Dialogs &dialogs = dialogsOf(this);
    const QString file = dialogs.chooseFile(this, Dialogs::FileDialog::Save, tr("PDFに保存"),
        suggestedPdf(m_title), tr("PDF ファイル (*.pdf)"));
    if (file.isEmpty() || refusedFileName(dialogs, this, file))
        return;
    const Status saved = m_pages->savePdf(file, m_layout, m_title);
    // The PDF's pages were laid out for the writer; the preview's again for its own.
    m_pages->layOut(inLayoutUnits(m_layout.paintRect(QPageLayout::Inch)));
    if (saved) {
        dialogs.message(this,
            {QMessageBox::Information, qs(ProgramTitle),
                tr("PDFを保存しました。\n%1").arg(QDir::toNativeSeparators(file))});
        return;
    }
    dialogs.message(this,
        {QMessageBox::Warning, qs(MessageTitle),
            tr("PDFを保存できませんでした。保存先のフォルダーに書き込めるか確かめるか、"
               "別の場所を選んでやり直してください。\n%1\n%2")
                .arg(QDir::toNativeSeparators(file), CoreReasons::japanese(saved))});
}

PrintPreview *createPrintPreview(QWidget *parent, const QList<const Sheet *> &sheets,
    const QString &title, const QString &footer)
{
    return new PrintPreview(
        std::make_shared<SheetPrintDocument>(sheets, title, footer), title, parent);
}

void showPrintPreview(QWidget *parent, std::shared_ptr<PrintPages> pages, const QString &title)
{
    (new PrintPreview(std::move(pages), title, parent))->exec();
}

void printSheets(QWidget *parent, const QList<const Sheet *> &sheets, const QString &title,
    const QString &footer)
{
    if (sheets.isEmpty()) {
        dialogsOf(parent).message(parent,
            {QMessageBox::Information, qs(MessageTitle),
                QObject::tr(
                    "印刷する表がまだありません。表が表示されてから、もう一度印刷してください。")});
        return;
    }
    createPrintPreview(parent, sheets, title, footer)->exec();
}

void printSheets(
    QWidget *parent, const std::vector<Sheet> &sheets, const QString &title, const QString &footer)
{
    QList<const Sheet *> pointers;
    for (const Sheet &sheet : sheets)
        pointers.append(&sheet);
    // The document copies the sheets, so they need not outlive the call.
    printSheets(parent, pointers, title, footer);
}

} // namespace loto6
