#pragma once

#include "grid/sheet.h"

#include <QList>
#include <QString>

#include <functional>

class QPrintPreviewDialog;
class QWidget;

namespace loto6 {

// Asks for the PDF file to write (suggested path); empty when cancelled.
using AskPdfFile = std::function<QString(QWidget *parent, const QString &suggested)>;

// The print preview of sheets, one after another, under the title, with the footer (the
// history's range) and the page number at the foot of every page. The preview shows the pages
// as they print; paper size and orientation are chosen in it, and its PDF command saves the
// same pages as a PDF file. The dialog deletes itself when closed.
QPrintPreviewDialog *createPrintPreview(QWidget *parent, const QList<const Sheet *> &sheets,
    const QString &title, const QString &footer, AskPdfFile askFile = {});

// Opens the preview and waits until it is closed. With no sheet it says that there is nothing
// to print yet.
void printSheets(QWidget *parent, const QList<const Sheet *> &sheets, const QString &title,
    const QString &footer);

} // namespace loto6
