#pragma once

#include "grid/sheet.h"
#include "store/result.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>

#include <optional>

class QAction;
class QMenu;
class QTableView;

namespace loto6 {

class SheetView;

// Saves the table of a SheetView as CSV, standalone HTML or PNG pictures; the grid's context
// menu offers its commands, so every window with a grid can export.
class SheetExporter : public QObject
{
    Q_OBJECT

public:
    enum class CsvEncoding { Utf8WithBom, ShiftJis };

    // Tallest picture page; taller tables are saved in several pages.
    static constexpr int MaxPageHeight = 16000;
    // Widest picture a painter draws reliably; wider tables are cut at this width.
    static constexpr int MaxImageWidth = 32000;

    explicit SheetExporter(SheetView *view);

    // The three commands, in the order of the context menu.
    QList<QAction *> actions() const { return m_actions; }
    void addActionsTo(QMenu *menu) const;

    // File contents; nullopt when a text has no Shift-JIS form.
    static std::optional<QByteArray> csvBytes(const Sheet &sheet, CsvEncoding encoding);
    static QByteArray htmlBytes(const Sheet &sheet);
    // The whole grid as the view draws it, every row and column, in pages no taller than
    // maxPageHeight; a row is never cut between pages.
    static QList<QImage> renderPages(const SheetView &view, int maxPageHeight = MaxPageHeight);
    // Names of the picture pages: the file itself for one page, file-1.png, file-2.png, ...
    static QStringList pageFileNames(const QString &file, int pages);

    Status saveCsv(const QString &file, CsvEncoding encoding) const;
    Status saveHtml(const QString &file) const;
    // Writes the pages; written receives the file names.
    Status savePng(const QString &file, QStringList *written = nullptr) const;

    // Dialog-driven commands: ask for a file, save, report the outcome, through the dialogs of
    // the main window the view sits in.
    void exportCsv(CsvEncoding encoding);
    void exportHtml();
    void exportPng();

signals:
    // A table was saved; the text says what was written where. It shows in the main window's
    // status bar as well.
    void saved(const QString &text);

private:
    void tellSaved(const QString &how, const QStringList &files);
    QString askFile(const QString &caption, const QString &suffix, const QString &filter);
    void report(const Status &status, const QString &title);
    void tell(QMessageBox::Icon icon, const QString &title, const QString &text);

    SheetView *m_view;
    QList<QAction *> m_actions;
};

} // namespace loto6
