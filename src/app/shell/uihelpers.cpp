#include "shell/uihelpers.h"

#include "views/sheetmodel.h"
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
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return label;
}

void moveNotesToLabel(SheetView &grid, QLabel &label)
{
    static const QString Mark = QStringLiteral("注");
    static const QString MarkAndSpace = QStringLiteral("注　");
    QStringList notes;
    const Sheet &sheet = grid.sheetModel()->sheet();
    for (int row = 1; row <= sheet.rows(); ++row) {
        const QString first = qs(sheet.text(1, row));
        QString note;
        if (first == Mark)
            note = qs(sheet.text(2, row));
        else if (first.startsWith(MarkAndSpace))
            note = first.mid(MarkAndSpace.size());
        else
            continue;
        if (notes.isEmpty() && row > 1 && sheet.text(1, row - 1).empty()
            && sheet.text(2, row - 1).empty())
            grid.setRowHidden(row - 2, true);
        grid.setRowHidden(row - 1, true);
        notes.append(MarkAndSpace + note);
    }
    label.setText(notes.join(QLatin1Char('\n')));
    label.setVisible(!notes.isEmpty());
}

QIcon programIcon() { return QIcon(QStringLiteral(":/icons/loto6zumvel.svg")); }

} // namespace loto6
