#pragma once

#include "grid/sheet.h"

#include <QRect>
#include <QString>

class QMimeData;

namespace loto6 {

// A block of a sheet as the clipboard carries it: tab-separated text for plain editors and an
// HTML table with the cells' colours for spreadsheets.
struct SheetClipboard
{
    // block is in 0-based model coordinates (column, row); cells outside the sheet are left out.
    static QString tsv(const Sheet &sheet, const QRect &block);
    static QString html(const Sheet &sheet, const QRect &block);
    // Both forms in one object; the caller owns it.
    static QMimeData *mimeData(const Sheet &sheet, const QRect &block);
};

} // namespace loto6
