#pragma once

#include "grid/sheet.h"
#include "store/result.h"

#include <QDialog>
#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QScrollArea;
class QToolBar;
class QVBoxLayout;

namespace loto6 {

// Pages to print: laid out for a page of some size, then drawn one at a time, in layout units
// of 1/96 inch (a screen pixel of the grid) from the top left of the area inside the margins.
// Tables, charts and notes print through it, so that one preview shows and saves them all.
class PrintPages
{
public:
    static constexpr double LayoutDpi = 96;

    virtual ~PrintPages() = default;
    virtual void layOut(QSizeF page) = 0;
    virtual int pageCount() const = 0;
    virtual void paintPage(QPainter &painter, int page) const = 0;
    // Whether the pages read better across the paper, the upright page's area being given.
    virtual bool prefersLandscape(QSizeF uprightPage) const
    {
        (void)uprightPage;
        return false;
    }

    // Lays out for the device's pages and draws every page on it; false when the device could
    // not be drawn on.
    bool print(QPagedPaintDevice &device);
    // The pages as a PDF file in the page layout given; the file is replaced whole or not at
    // all, through the one protected writer; a failure says why (PdfNotMade, or the writer's
    // fault).
    Status savePdf(const QString &file, const QPageLayout &layout, const QString &title);
};

// The one print preview: the pages as they print, each drawn only when it comes into view,
// with 印刷..., PDFに保存..., the paper (A4, B5, A3, Letter), 縦/横 and the zoom. Titled
// "印刷プレビュー - what it prints"; the PDF command asks for the file and tells the outcome
// through the dialogs of the main window `parent` sits in. The dialog deletes itself when closed.
class PrintPreview : public QDialog
{
    Q_OBJECT
public:
    PrintPreview(std::shared_ptr<PrintPages> pages, const QString &title, QWidget *parent);

    const QPageLayout &pageLayout() const { return m_layout; }
    void setOrientation(QPageLayout::Orientation orientation);
    int pageCount() const { return m_pages->pageCount(); }
    // The pages drawn so far (a page is drawn when it comes into view).
    int pagesDrawn() const { return m_drawn; }
    void savePdf();
    void print();

private:
    QToolBar *makeToolBar();
    void rebuildPages();
    void placePages();
    QSizeF paperSize() const;
    friend class PreviewPage;

    std::shared_ptr<PrintPages> m_pages;
    QString m_title;
    QPageLayout m_layout;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_sheet = nullptr;
    QVBoxLayout *m_column = nullptr;
    double m_zoom = 1;
    int m_drawn = 0;
};

// The preview of sheets, one after another, under the title, with the footer (the history's
// range) and the page number at the foot of every page.
PrintPreview *createPrintPreview(QWidget *parent, const QList<const Sheet *> &sheets,
    const QString &title, const QString &footer);

// Opens the preview of any pages and waits until it is closed.
void showPrintPreview(QWidget *parent, std::shared_ptr<PrintPages> pages, const QString &title);

// Opens the preview of sheets and waits until it is closed. With no sheet it says that there
// is nothing to print yet.
void printSheets(QWidget *parent, const QList<const Sheet *> &sheets, const QString &title,
    const QString &footer);
// The same for sheets the caller made for printing (a note).
void printSheets(
    QWidget *parent, const std::vector<Sheet> &sheets, const QString &title, const QString &footer);

} // namespace loto6
