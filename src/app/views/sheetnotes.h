#pragma once

#include <QList>
#include <QStringList>

namespace loto6 {

class Sheet;

// The notes under a report table: rows with "注" in the first cell and the note beside it, or
// "注　" and the note in the first cell. Windows show them in a label that wraps them instead
// of in the grid, where each runs on along one line out of sight; the printed page does the same.
struct SheetNotes
{
    QStringList texts; // each as "注　" and the note
    QList<int> rows;   // rows (from 1) they leave, with the empty row just above the first
};
SheetNotes sheetNotes(const Sheet &sheet);

} // namespace loto6
