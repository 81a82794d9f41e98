#include "uihelpers.h"

#include "sheetmodel.h"

#include <QIcon>
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

QIcon programIcon() { return QIcon(QStringLiteral(":/icons/loto6zumvel.svg")); }

} // namespace loto6
