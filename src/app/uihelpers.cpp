#include "uihelpers.h"

#include "sheetmodel.h"

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

} // namespace loto6
