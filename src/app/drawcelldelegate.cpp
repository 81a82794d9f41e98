#include "drawcelldelegate.h"

#include "drawtablemodel.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace loto6 {

QWidget *DrawCellDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignCenter);
    editor->setFrame(false);
    const int digits = index.column() == DrawTableModel::DrawNoColumn ? DrawNoDigits : NumberDigits;
    editor->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), editor));
    m_editor = editor;
    return editor;
}

void DrawCellDelegate::commitOpenEditor()
{
    if (QWidget *editor = m_editor.data(); editor && editor->isVisible()) {
        emit commitData(editor);
        emit closeEditor(editor, NoHint);
    }
}

} // namespace loto6
