#include "views/sheetclipboard.h"

#include "shell/uihelpers.h"
#include "views/sheetmodel.h"

#include <QMimeData>

namespace loto6 {

namespace {

QRect clipped(const Sheet &sheet, const QRect &block)
{
    return block.intersected(QRect(0, 0, sheet.columns(), sheet.rows()));
}

QString cssColor(Rgb color) { return SheetModel::toColor(color).name(); }

} // namespace

QString SheetClipboard::tsv(const Sheet &sheet, const QRect &block)
{
    const QRect b = clipped(sheet, block);
    QString out;
    for (int r = b.top(); r <= b.bottom(); ++r) {
        for (int c = b.left(); c <= b.right(); ++c) {
            if (c > b.left())
                out += QLatin1Char('\t');
            out += qs(sheet.text(c + 1, r + 1));
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString SheetClipboard::html(const Sheet &sheet, const QRect &block)
{
    const QRect b = clipped(sheet, block);
    QString out = QStringLiteral("<table border=\"1\" style=\"border-collapse:collapse\">\n");
    for (int r = b.top(); r <= b.bottom(); ++r) {
        out += QStringLiteral("<tr>");
        for (int c = b.left(); c <= b.right(); ++c) {
            const Cell &cell = sheet.cell(c + 1, r + 1);
            QString style = QStringLiteral("color:%1").arg(cssColor(cell.fg));
            if (cell.bgSet)
                style += QStringLiteral(";background-color:%1").arg(cssColor(cell.bg));
            out += QStringLiteral("<td style=\"%1\">%2</td>")
                       .arg(style, qs(cell.text).toHtmlEscaped());
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table>\n");
    return out;
}

QMimeData *SheetClipboard::mimeData(const Sheet &sheet, const QRect &block)
{
    auto *data = new QMimeData;
    data->setText(tsv(sheet, block));
    data->setHtml(html(sheet, block));
    return data;
}

} // namespace loto6
