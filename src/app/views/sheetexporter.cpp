#include "views/sheetexporter.h"

#include "commands/corereasons.h"
#include "grid/sheetwriter.h"
#include "shell/dialogs.h"
#include "shell/lastfolder.h"
#include "store/outputfile.h"
#include "store/textcodec.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QStandardPaths>
#include <QStatusBar>

#include <filesystem>
#include <sstream>

namespace loto6 {

namespace {

// Through the one protected writer: the open database and its companions are never replaced.
Status writeFile(const QString &file, const QByteArray &bytes)
{
    return writeOutputFile(std::filesystem::path(file.toStdU16String()),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Rows [first, last) of one picture page.
struct PageRows
{
    int first;
    int last;
    int height;
};

QList<PageRows> splitRows(const QTableView &view, int rows, int maxHeight)
{
    QList<PageRows> pages;
    PageRows page{0, 0, 0};
    for (int r = 0; r < rows; ++r) {
        if (view.isRowHidden(r))
            continue;
        const int h = view.rowHeight(r);
        if (page.height > 0 && page.height + h > maxHeight) {
            page.last = r;
            pages.append(page);
            page = {r, r, 0};
        }
        page.height += h;
    }
    page.last = rows;
    if (page.height > 0 || pages.isEmpty())
        pages.append(page);
    return pages;
}

} // namespace

SheetExporter::SheetExporter(SheetView *view)
    : QObject(view)
    , m_view(view)
{
    auto add = [this](const QString &text, const char *name, auto slot) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        m_actions.append(action);
    };
    add(tr("CSVで保存..."), "exportCsv", [this] { exportCsv(CsvEncoding::Utf8WithBom); });
    add(tr("CSVで保存（Shift-JIS）..."), "exportCsvShiftJis",
        [this] { exportCsv(CsvEncoding::ShiftJis); });
    add(tr("HTMLで保存..."), "exportHtml", [this] { exportHtml(); });
    add(tr("画像で保存..."), "exportPng", [this] { exportPng(); });
}

void SheetExporter::addActionsTo(QMenu *menu) const
{
    for (QAction *action : m_actions)
        menu->addAction(action);
}

std::optional<QByteArray> SheetExporter::csvBytes(const Sheet &sheet, CsvEncoding encoding)
{
    std::ostringstream out;
    writeSheetCsv(out, sheet);
    const std::string text = out.str();
    if (encoding == CsvEncoding::ShiftJis) {
        const std::optional<std::string> sjis = utf8ToCp932(text);
        if (!sjis)
            return std::nullopt;
        return QByteArray::fromStdString(*sjis);
    }
    // The byte order mark makes spreadsheet programs read the file as UTF-8, not the locale's.
    return QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(text);
}

QByteArray SheetExporter::htmlBytes(const Sheet &sheet)
{
    std::ostringstream out;
    writeSheetHtml(out, sheet);
    return QByteArray::fromStdString(out.str());
}

QList<QImage> SheetExporter::renderPages(const SheetView &view, int maxPageHeight)
{
    QList<QImage> images;
    const SheetModel *model = view.sheetModel();
    if (!model)
        return images;
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    QAbstractItemDelegate *delegate = view.itemDelegate();

    // The delegate places overflowing texts by the columns' viewport positions; painting at
    // those positions, shifted back by the first column's, keeps them where the view has them.
    QList<int> columnX;
    int width = 0;
    const int originX = columns > 0 ? view.columnViewportPosition(0) : 0;
    for (int c = 0; c < columns; ++c) {
        columnX.append(view.columnViewportPosition(c));
        if (!view.isColumnHidden(c))
            width = std::max(width, columnX.back() - originX + view.columnWidth(c));
    }
    width = std::clamp(width, 1, MaxImageWidth);

    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = QFontMetrics(view.font());
    option.state = QStyle::State_Enabled;

    for (const PageRows &page : splitRows(view, rows, maxPageHeight)) {
        QImage image(width, std::max(page.height, 1), QImage::Format_RGB32);
        image.fill(view.palette().color(QPalette::Base));
        QPainter painter(&image);
        painter.setFont(view.font());
        painter.translate(-originX, 0);
        int y = 0;
        for (int r = page.first; r < page.last; ++r) {
            if (view.isRowHidden(r))
                continue;
            const int h = view.rowHeight(r);
            for (int c = 0; c < columns; ++c) {
                if (view.isColumnHidden(c) || columnX[c] - originX >= width)
                    continue;
                option.rect = QRect(columnX[c], y, view.columnWidth(c), h);
                delegate->paint(&painter, option, model->index(r, c));
            }
            y += h;
        }
        painter.end();
        images.append(image);
    }
    return images;
}

QStringList SheetExporter::pageFileNames(const QString &file, int pages)
{
    if (pages <= 1)
        return {file};
    const QFileInfo info(file);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
    const QString base = info.suffix().isEmpty() ? file : file.chopped(info.suffix().size() + 1);
    QStringList names;
    for (int i = 1; i <= pages; ++i)
        names.append(QStringLiteral("%1-%2.%3").arg(base).arg(i).arg(suffix));
    return names;
}

Status SheetExporter::saveCsv(const QString &file, CsvEncoding encoding) const
{
    if (!m_view->sheetModel())
        return Status::failure(Fault{.kind = FaultKind::NoTableShown});
    const std::optional<QByteArray> bytes = csvBytes(m_view->sheetModel()->sheet(), encoding);
    if (!bytes)
        return Status::failure(Fault{.kind = FaultKind::CsvNotShiftJis});
    return writeFile(file, *bytes);
}

Status SheetExporter::saveHtml(const QString &file) const
{
    if (!m_view->sheetModel())
        return Status::failure(Fault{.kind = FaultKind::NoTableShown});
    return writeFile(file, htmlBytes(m_view->sheetModel()->sheet()));
}

Status SheetExporter::savePng(const QString &file, QStringList *written) const
{
    const QList<QImage> pages = renderPages(*m_view);
    if (pages.isEmpty())
        return Status::failure(Fault{.kind = FaultKind::NoTableShown});
    const QStringList names = pageFileNames(file, static_cast<int>(pages.size()));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !pages[i].save(&buffer, "PNG"))
            return Status::failure(
                Fault{.kind = FaultKind::PictureNotMade, .file = names[i].toStdString()});
        if (Status s = writeFile(names[i], png); !s)
            return s;
        if (written)
            written->append(names[i]);
    }
    return Status::success();
}

QString SheetExporter::askFile(const QString &caption, const QString &suffix, const QString &filter)
{
    QString name;
    if (m_view->sheetModel())
        name = QString::fromStdString(m_view->sheetModel()->sheet().caption());
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("table");
    const QString file = dialogsOf(m_view).chooseFile(m_view, Dialogs::FileDialog::Save, caption,
        QDir(lastFolder()).filePath(name + QLatin1Char('.') + suffix), filter);
    if (file.isEmpty() || refusedFileName(dialogsOf(m_view), m_view, file))
        return {};
    rememberFolder(file);
    return file;
}

void SheetExporter::report(const Status &status, const QString &title)
{
    if (!status)
        tell(QMessageBox::Critical, title,
            tr("保存できませんでした。\n%1").arg(CoreReasons::japanese(status)));
}

void SheetExporter::tell(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    dialogsOf(m_view).message(m_view, {icon, title, text});
}

void SheetExporter::tellSaved(const QString &how, const QStringList &files)
{
    QString table;
    if (m_view->sheetModel())
        table = QString::fromStdString(m_view->sheetModel()->sheet().caption());
    QString text = files.size() > 1
        ? tr("「%1」を%2で%3つのファイルに保存しました: %4 ほか")
              .arg(table, how)
              .arg(files.size())
              .arg(QDir::toNativeSeparators(files.front()))
        : tr("「%1」を%2で保存しました: %3")
              .arg(table, how, QDir::toNativeSeparators(files.value(0)));
    // The main window's status bar, where the menu's own saving reports too.
    if (auto *main = qobject_cast<QMainWindow *>(m_view->window()))
        main->statusBar()->showMessage(text);
    emit saved(text);
}

void SheetExporter::exportCsv(CsvEncoding encoding)
{
    const QString title = tr("CSVで保存");
    const QString file = askFile(title, QStringLiteral("csv"), tr("CSV ファイル (*.csv)"));
    if (file.isEmpty())
        return;
    const Status status = saveCsv(file, encoding);
    report(status, title);
    if (status)
        tellSaved(encoding == CsvEncoding::ShiftJis ? tr("CSV（Shift-JIS）") : tr("CSV"), {file});
}

void SheetExporter::exportHtml()
{
    const QString title = tr("HTMLで保存");
    const QString file = askFile(title, QStringLiteral("html"), tr("HTML ファイル (*.html *.htm)"));
    if (file.isEmpty())
        return;
    const Status status = saveHtml(file);
    report(status, title);
    if (status)
        tellSaved(tr("HTML"), {file});
}

void SheetExporter::exportPng()
{
    const QString title = tr("画像で保存");
    const QString file = askFile(title, QStringLiteral("png"), tr("PNG 画像 (*.png)"));
    if (file.isEmpty())
        return;
    QStringList written;
    const Status status = savePng(file, &written);
    report(status, title);
    if (!status)
        return;
    tellSaved(tr("画像"), written);
    QStringList notes;
    if (written.size() > 1)
        notes.append(tr("表が長いため、%1 枚の画像に分けて保存しました。\n%2")
                         .arg(written.size())
                         .arg(written.join(QLatin1Char('\n'))));
    if (m_view->horizontalHeader()->length() > MaxImageWidth)
        notes.append(tr("表の幅が画像に収まらないため、右端 %1 ピクセルより先は保存していません。")
                         .arg(MaxImageWidth));
    if (!notes.isEmpty())
        tell(QMessageBox::Information, title, notes.join(u"\n\n"));
}

} // namespace loto6
