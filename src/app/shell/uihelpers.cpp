#include "shell/uihelpers.h"

#include "views/sheetmodel.h"
#include "views/sheetnotes.h"
#include "views/sheetview.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace loto6 {

QPushButton *colouredButton(const QString &text, Rgb color, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, SheetModel::toColor(color));
    button->setPalette(palette);
    button->setAutoFillBackground(true);
    return button;
}

QLabel *notesLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("LabelNotes"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // As tall as its wrapped lines need at the width it gets (a Maximum policy would cap it at
    // the height of a wide window and cut the last notes of a narrow one).
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    return label;
}

void moveNotesToLabel(SheetView &grid, QLabel &label)
{
    const SheetNotes notes = sheetNotes(grid.sheetModel()->sheet());
    for (int row : notes.rows)
        grid.setRowHidden(row - 1, true);
    label.setText(notes.texts.join(QLatin1Char('\n')));
    label.setVisible(!notes.texts.isEmpty());
}

QIcon programIcon() { return QIcon(QStringLiteral(":/icons/loto6zumvel.svg")); }

} // namespace loto6
