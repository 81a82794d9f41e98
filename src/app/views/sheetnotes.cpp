#include "views/sheetnotes.h"

#include "grid/sheet.h"
#include "shell/uihelpers.h"

namespace loto6 {

SheetNotes sheetNotes(const Sheet &sheet)
{
    static const QString Mark = QStringLiteral("注");
    static const QString MarkAndSpace = QStringLiteral("注　");
    SheetNotes notes;
    for (int row = 1; row <= sheet.rows(); ++row) {
        const QString first = qs(sheet.text(1, row));
        QString note;
        if (first == Mark)
            note = qs(sheet.text(2, row));
        else if (first.startsWith(MarkAndSpace))
            note = first.mid(MarkAndSpace.size());
        else
            continue;
        if (notes.texts.isEmpty() && row > 1 && sheet.text(1, row - 1).empty()
            && sheet.text(2, row - 1).empty())
            notes.rows.append(row - 1);
        notes.rows.append(row);
        notes.texts.append(MarkAndSpace + note);
    }
    return notes;
}

} // namespace loto6
