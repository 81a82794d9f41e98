#include "views/sheetprinter.h"

#include "shell/appfonts.h"
#include "shell/uihelpers.h"
#include "views/sheetcellpainter.h"
#include "views/sheetnotes.h"
#include "views/sheetview.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

// Heights of the page's own lines, in layout units.
constexpr int TitleHeight = 24;
constexpr int TitleGap = 8;
constexpr int FootHeight = 18;
constexpr int FootGap = 6;
constexpr int CaptionHeight = 18;
constexpr int NoteSpacing = 2;

// A font sized in layout units, so that it keeps its size under the painter's scale on any
// device.
QFont layoutFont(QFont font, double points)
{
    font.setPixelSize(static_cast<int>(std::lround(points * SheetPrintDocument::LayoutDpi / 72)));
    return font;
}

// The columns of one piece of a sheet side by side: the repeated label columns, then the run.
class PartColumns : public SheetColumnPlaces
{
public:
    PartColumns(const std::vector<int> &widths, const PagePart &part)
        : m_left(widths.size() + 1, -1)
        , m_widths(widths)
    {
        int x = 0;
        auto place = [&](int col) {
            m_left[static_cast<std::size_t>(col)] = x;
            m_order.push_back(col);
            x += width(col);
        };
        for (int c = 1; c <= part.frozenColumns; ++c)
            place(c);
        for (int c = part.columns.first; c <= part.columns.last; ++c)
            place(c);
    }
    int left(int col) const override { return m_left[static_cast<std::size_t>(col)]; }
    int width(int col) const override { return m_widths[static_cast<std::size_t>(col - 1)]; }
    bool placed(int col) const override
    {
        return col >= 1 && col < static_cast<int>(m_left.size())
            && m_left[static_cast<std::size_t>(col)] >= 0;
    }
    const std::vector<int> &order() const { return m_order; }

private:
    std::vector<int> m_left;
    const std::vector<int> &m_widths;
    std::vector<int> m_order;
};

} // namespace

SheetPrintDocument::SheetPrintDocument(
    const QList<const Sheet *> &sheets, QString title, QString footer)
    : m_title(std::move(title))
    , m_footer(std::move(footer))
{
    const QFont grid = gridFont();
    const double points = grid.pointSizeF() > 0 ? grid.pointSizeF() : 9;
    m_gridFont = layoutFont(grid, points);
    m_footFont = layoutFont(grid, points);
    m_titleFont = layoutFont(grid, points * 1.4);
    m_titleFont.setBold(true);
    for (const Sheet *sheet : sheets) {
        if (!sheet)
            continue;
        const SheetNotes notes = sheetNotes(*sheet);
        const int index = static_cast<int>(m_sheets.size());
        m_sheets.push_back(*sheet);
        m_blocks.push_back({index, {}, measure(*sheet, notes.rows)});
        // Measured on the page, whose width they wrap to.
        if (!notes.texts.isEmpty())
            m_blocks.push_back({index, notes.texts, {}});
    }
}

SheetSizes SheetPrintDocument::measure(const Sheet &sheet, const QList<int> &noteRows) const
{
    SheetSizes sizes;
    sizes.columns.reserve(static_cast<std::size_t>(sheet.columns()));
    for (int c = 1; c <= sheet.columns(); ++c)
        sizes.columns.push_back(
            SheetView::columnPixels(sheet.colWidth(c), m_gridFont) + 2 * CellPadding);
    sizes.rows.reserve(static_cast<std::size_t>(sheet.rows()));
    for (int r = 1; r <= sheet.rows(); ++r)
        sizes.rows.push_back(noteRows.contains(r)
                ? 0
                : SheetView::rowPixels(sheet.rowHeight(r), LayoutDpi) + RowPadding);
    sizes.frozenColumns = sheet.frozenColumns();
    sizes.frozenRows = sheet.frozenRows();
    const bool ownCaption = !sheet.caption().empty() && qs(sheet.caption()) != m_title;
    sizes.captionHeight = ownCaption ? CaptionHeight : 0;
    return sizes;
}

QRect SheetPrintDocument::bodyRect() const
{
    const int top = TitleHeight + TitleGap;
    const int bottom = static_cast<int>(m_page.height()) - FootHeight - FootGap;
    return {0, top, static_cast<int>(m_page.width()), std::max(bottom - top, 1)};
}

int SheetPrintDocument::widestSheet() const
{
    int widest = 0;
    for (const Block &block : m_blocks) {
        int width = 0;
        for (int w : block.sizes.columns)
            width += w;
        widest = std::max(widest, width);
    }
    return widest;
}

void SheetPrintDocument::layOut(QSizeF page)
{
    m_page = page;
    const QRect body = bodyRect();
    std::vector<SheetSizes> sizes;
    for (Block &block : m_blocks) {
        if (!block.notes.isEmpty()) {
            block.sizes.columns = {body.width()};
            block.sizes.rows.clear();
            for (const QString &note : block.notes)
                block.sizes.rows.push_back(
                    QFontMetrics(m_gridFont)
                        .boundingRect(
                            QRect(0, 0, body.width(), body.height()), Qt::TextWordWrap, note)
                        .height()
                    + NoteSpacing);
        }
        sizes.push_back(block.sizes);
    }
    m_plan = planPages(sizes, body.width(), body.height(), MinScale, MaxScale);
    // Even nothing to print is one page, with its title and footer.
    if (m_plan.empty())
        m_plan.emplace_back();
}

void SheetPrintDocument::paintHeadAndFoot(QPainter &painter, int page) const
{
    const int width = static_cast<int>(m_page.width());
    painter.setPen(Qt::black);
    painter.setFont(m_titleFont);
    painter.drawText(QRect(0, 0, width, TitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(m_titleFont).elidedText(m_title, Qt::ElideRight, width));
    painter.setFont(m_footFont);
    const QRect foot(0, static_cast<int>(m_page.height()) - FootHeight, width, FootHeight);
    const QString number = QCoreApplication::translate("SheetPrintDocument", "%1 / %2 ページ")
                               .arg(page + 1)
                               .arg(pageCount());
    const int numberWidth = QFontMetrics(m_footFont).horizontalAdvance(number);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, number);
    painter.drawText(foot.adjusted(0, 0, -numberWidth - 12, 0), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(m_footFont).elidedText(m_footer, Qt::ElideRight, width - numberWidth - 12));
    painter.setPen(QPen(Qt::gray, 0));
    painter.drawLine(0, foot.top() - 1, width, foot.top() - 1);
}

void SheetPrintDocument::paintNotes(QPainter &painter, const PagePart &part, int top) const
{
    const Block &block = m_blocks[static_cast<std::size_t>(part.sheet)];
    painter.setPen(Qt::black);
    painter.setFont(m_gridFont);
    for (int r = part.rows.first; r <= part.rows.last; ++r) {
        const int height = block.sizes.rows[static_cast<std::size_t>(r - 1)];
        painter.drawText(QRect(0, top, block.sizes.columns.front(), height),
            static_cast<int>(Qt::AlignLeft | Qt::AlignTop) | Qt::TextWordWrap,
            block.notes[static_cast<qsizetype>(r - 1)]);
        top += height;
    }
}

void SheetPrintDocument::paintPart(QPainter &painter, const PagePart &part) const
{
    const Block &block = m_blocks[static_cast<std::size_t>(part.sheet)];
    const QRect body = bodyRect();
    int top = body.top() + part.top;
    if (!block.notes.isEmpty()) {
        paintNotes(painter, part, top);
        return;
    }
    const Sheet &sheet = m_sheets[static_cast<std::size_t>(block.sheet)];
    const SheetSizes &sizes = block.sizes;
    if (sizes.captionHeight > 0) {
        painter.setPen(Qt::black);
        painter.setFont(m_gridFont);
        painter.drawText(QRect(body.left(), top, body.width(), sizes.captionHeight),
            Qt::AlignLeft | Qt::AlignVCenter, qs(sheet.caption()));
        top += sizes.captionHeight;
    }
    painter.save();
    // A column wider than the page is cut at its edge.
    painter.setClipRect(QRect(body.left(), top, body.width(), body.bottom() - top + 1));
    painter.translate(body.left(), top);
    painter.scale(part.scale, part.scale);
    painter.setFont(m_gridFont);
    const PartColumns columns(sizes.columns, part);
    const SheetCellPainter cells(columns, SheetCellPainter::TextPadding + CellPadding);
    int y = 0;
    auto paintRow = [&](int row) {
        const int height = sizes.rows[static_cast<std::size_t>(row - 1)];
        if (height == 0) // a note row, printed under the table instead
            return;
        for (int col : columns.order())
            cells.paint(&painter, m_gridFont,
                QRect(columns.left(col), y, columns.width(col), height), sheet, col, row);
        y += height;
    };
    for (int r = 1; r <= part.frozenRows; ++r)
        paintRow(r);
    for (int r = part.rows.first; r <= part.rows.last; ++r)
        paintRow(r);
    painter.restore();
}

void SheetPrintDocument::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    paintHeadAndFoot(painter, page);
    for (const PagePart &part : m_plan[static_cast<std::size_t>(page)])
        paintPart(painter, part);
}

} // namespace loto6
