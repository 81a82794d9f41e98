#pragma once

#include "grid/sheet.h"
#include "views/printpreview.h"
#include "views/sheetpages.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

namespace loto6 {

// Sheets laid out on printed pages: the title at the head of every page, each sheet's caption
// over it when it says more than the title, the cells as the grid shows them (colours,
// alignment, borders) with the heading rows and label columns repeated on every page, and the
// footer (the history's range) beside the page number at the foot. Drawing is in layout units,
// 1/96 inch, the size of a screen pixel of the grid. Each table fills the page width: shrunk
// down to MinScale, or grown up to MaxScale; its cells keep CellPadding on each side.
class SheetPrintDocument : public PrintPages
{
public:
    // The smallest scale a table is shrunk to to fit the page width: the 9 pt grid font stays
    // over 6 pt.
    static constexpr double MinScale = 0.7;
    // The largest a narrow table is grown to: the 9 pt grid font at most 13.5 pt.
    static constexpr double MaxScale = 1.5;
    // The room added between a printed cell's text and its side lines, each side (beside the
    // grid's own), and the height added to each printed row, in layout units.
    static constexpr int CellPadding = 2;
    static constexpr int RowPadding = 2;

    // The sheets are copied: the document stays whole whatever the windows do meanwhile.
    SheetPrintDocument(const QList<const Sheet *> &sheets, QString title, QString footer);

    // Lays the sheets out on pages of this size (the area inside the margins, layout units).
    void layOut(QSizeF page) override;
    int pageCount() const override { return static_cast<int>(m_plan.size()); }
    const PagePlan &plan() const { return m_plan; }
    // Where the sheets go on every page, in layout units.
    QRect bodyRect() const;
    // The width of the widest sheet at full size, in layout units.
    int widestSheet() const;

    // Draws page `page` (from 0); the painter draws in layout units from the top left of the
    // area inside the margins.
    void paintPage(QPainter &painter, int page) const override;
    // Across when the widest table would not fit the upright page.
    bool prefersLandscape(QSizeF uprightPage) const override
    {
        return widestSheet() > uprightPage.width();
    }
    const QString &title() const { return m_title; }

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
