#include "views/printpreview.h"

#include "commands/corereasons.h"
#include "shell/dialogs.h"
#include "shell/uihelpers.h"
#include "views/sheetprinter.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>

#include <memory>

namespace loto6 {

namespace {

// Holds the preview's printer for as long as the dialog lives: a child of the dialog is
// deleted after the dialog's own parts that use the printer.
class PrinterOwner : public QObject
{
public:
    explicit PrinterOwner(QObject *parent)
        : QObject(parent)
    {
    }
    QPrinter printer{QPrinter::HighResolution};
};

constexpr double MarginMillimetres = 12;

// A4 with even margins, across when the widest table would not fit a page upright.
QPageLayout firstLayout(const SheetPrintDocument &document)
{
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
        QPageLayout::Millimeter);
    const double uprightWidth
        = layout.paintRect(QPageLayout::Inch).width() * SheetPrintDocument::LayoutDpi;
    if (document.widestSheet() > uprightWidth)
        layout.setOrientation(QPageLayout::Landscape);
    return layout;
}

QString suggestedPdf(const QString &title)
{
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("印刷");
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(name + QStringLiteral(".pdf"));
}

void savePdf(QPrintPreviewDialog *dialog, SheetPrintDocument &document, const QString &title)
{
    Dialogs &dialogs = dialogsOf(dialog);
    const QString file = dialogs.chooseFile(dialog, Dialogs::FileDialog::Save,
        QObject::tr("PDFに保存"), suggestedPdf(title), QObject::tr("PDF ファイル (*.pdf)"));
    if (file.isEmpty() || refusedFileName(dialogs, dialog, file))
        return;
    const Status saved = document.savePdf(file, dialog->printer()->pageLayout());
    if (saved) {
        dialogs.message(dialog,
            {QMessageBox::Information, qs(ProgramTitle),
                QObject::tr("PDFを保存しました。\n%1").arg(QDir::toNativeSeparators(file))});
        return;
    }
    dialogs.message(dialog,
        {QMessageBox::Warning, qs(MessageTitle),
            QObject::tr("PDFを保存できませんでした。保存先のフォルダーに書き込めるか確かめるか、"
                        "別の場所を選んでやり直してください。\n%1\n%2")
                .arg(QDir::toNativeSeparators(file), CoreReasons::japanese(saved))});
}

} // namespace

QPrintPreviewDialog *createPrintPreview(QWidget *parent, const QList<const Sheet *> &sheets,
    const QString &title, const QString &footer)
{
    auto document = std::make_shared<SheetPrintDocument>(sheets, title, footer);
    auto *owner = new PrinterOwner(nullptr);
    QPrinter &printer = owner->printer;
    printer.setDocName(title);
    printer.setCreator(qs(ProgramTitle));
    printer.setPageLayout(firstLayout(*document));

    auto *dialog = new QPrintPreviewDialog(&printer, parent);
    owner->setParent(dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QObject::tr("印刷プレビュー - %1").arg(title));
    if (const QScreen *screen = parent ? parent->screen() : nullptr) {
        const QRect room = screen->availableGeometry();
        dialog->resize(room.width() * 4 / 5, room.height() * 9 / 10);
    }
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
        [document](QPrinter *device) { document->print(*device); });
    // The whole page in view, as it will be on paper.
    if (auto *preview = dialog->findChild<QPrintPreviewWidget *>())
        preview->fitInView();

    if (auto *bar = dialog->findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *pdf = bar->addAction(QObject::tr("PDFに保存..."));
        pdf->setObjectName(QStringLiteral("actionSavePdf"));
        pdf->setToolTip(QObject::tr("プレビューのとおりの各ページを PDF ファイルに保存します"));
        QObject::connect(pdf, &QAction::triggered, dialog,
            [dialog, document, title] { savePdf(dialog, *document, title); });
    }
    return dialog;
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

} // namespace loto6
