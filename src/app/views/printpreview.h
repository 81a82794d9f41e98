#pragma once

#include "grid/sheet.h"

#include <QList>
#include <QString>

class QPrintPreviewDialog;
class QWidget;

namespace loto6 {

// The print preview of sheets, one after another, under the title, with the footer (the
// history's range) and the page number at the foot of every page. The preview shows the pages
// as they print; paper size and orientation are chosen in it, and its PDF command saves the
// same pages as a PDF file, asking for it and telling the outcome through the dialogs of the
// main window `parent` sits in. The dialog deletes itself when closed.
QPrintPreviewDialog *createPrintPreview(QWidget *parent, const QList<const Sheet *> &sheets,
    const QString &title, const QString &footer);

// Opens the preview and waits until it is closed. With no sheet it says that there is nothing
// to print yet.
void printSheets(QWidget *parent, const QList<const Sheet *> &sheets, const QString &title,
    const QString &footer);

} // namespace loto6
