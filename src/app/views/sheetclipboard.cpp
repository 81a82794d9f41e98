#include "views/sheetclipboard.h"

#include "grid/sheetwriter.h"
#include "shell/uihelpers.h"

#include <QMimeData>

#include <sstream>

namespace loto6 {

namespace {

// The block of the view (0-based rows and columns) as the sheet's cells.
SheetBlock sheetBlock(const QRect &block)
{
    return {block.left() + 1, block.top() + 1, block.right() + 1, block.bottom() + 1};
}

} // namespace

QString SheetClipboard::tsv(const Sheet &sheet, const QRect &block)
{
    std::ostringstream out;
    writeSheetBlockTsv(out, sheet, sheetBlock(block));
    return qs(out.str());
}

QString SheetClipboard::html(const Sheet &sheet, const QRect &block)
{
    std::ostringstream out;
    writeSheetBlockHtml(out, sheet, sheetBlock(block));
    return qs(out.str());
}

QMimeData *SheetClipboard::mimeData(const Sheet &sheet, const QRect &block)
{
    auto *data = new QMimeData;
    data->setText(tsv(sheet, block));
    data->setHtml(html(sheet, block));
    return data;
}

} // namespace loto6
