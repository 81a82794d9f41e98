#pragma once

#include "grid/sheet.h"
#include "store/result.h"
#include "views/sheetpages.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPageLayout;
class QPainter;

namespace loto6 {

// Sheets laid out on printed pages: the title at the head of every page, each sheet's caption
// over it when it says more than the title, the cells as the grid shows them (colours,
// alignment, borders) with the heading rows and label columns repeated on every page, and the
// footer (the history's range) beside the page number at the foot. Drawing is in layout units,
// 1/96 inch, the size of a screen pixel of the grid.
class SheetPrintDocument
{
public:
    static constexpr double LayoutDpi = 96;
    // The smallest scale a table is shrunk to to fit the page width: the 9 pt grid font stays
    // over 6 pt.
    static constexpr double MinScale = 0.7;

    // The sheets are copied: the document stays whole whatever the windows do meanwhile.
    SheetPrintDocument(const QList<const Sheet *> &sheets, QString title, QString footer);

    // Lays the sheets out on pages of this size (the area inside the margins, layout units).
    void layOut(QSizeF page);
    int pageCount() const { return static_cast<int>(m_plan.size()); }
    const PagePlan &plan() const { return m_plan; }
    // Where the sheets go on every page, in layout units.
    QRect bodyRect() const;
    // The width of the widest sheet at full size, in layout units.
    int widestSheet() const;

    // Draws page `page` (from 0); the painter draws in layout units from the top left of the
    // area inside the margins.
    void paintPage(QPainter &painter, int page) const;
    // Lays out for the device's pages and draws every page on it; false when the device could
    // not be drawn on.
    bool print(QPagedPaintDevice &device);
    // The document as a PDF file in the page layout given; the file is replaced whole or not
    // at all; a failure says why (PdfNotMade, or the writer's fault).
    Status savePdf(const QString &file, const QPageLayout &layout);

private:
    // What goes on the pages one after another: a sheet, or the notes under it, which are
    // printed as wrapped paragraphs like the label that shows them beside the grid.
    struct Block
    {
        int sheet = 0;
        QStringList notes;
        SheetSizes sizes;
    };

    SheetSizes measure(const Sheet &sheet, const QList<int> &noteRows) const;
    void paintPart(QPainter &painter, const PagePart &part) const;
    void paintNotes(QPainter &painter, const PagePart &part, int top) const;
    void paintHeadAndFoot(QPainter &painter, int page) const;

    std::vector<Sheet> m_sheets;
    std::vector<Block> m_blocks;
    QString m_title;
    QString m_footer;
    QFont m_gridFont;
    QFont m_titleFont;
    QFont m_footFont;
    QSizeF m_page;
    PagePlan m_plan;
};

} // namespace loto6
