#include "entry/drawcelldelegate.h"

#include "entry/drawtablemodel.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace loto6 {

QWidget *DrawCellDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignCenter);
    editor->setFrame(false);
    QString pattern;
    if (index.column() == DrawTableModel::DrawNoColumn)
        pattern = QStringLiteral("[0-9]{0,%1}").arg(DrawNoDigits);
    else if (index.column() == DrawTableModel::DateColumn)
        pattern = QStringLiteral("[0-9/-]{0,10}");
    else
        pattern = QStringLiteral("[0-9]{0,%1}(\\.[0-9]{0,2})?").arg(NumberDigits);
    editor->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), editor));
    m_editor = editor;
    return editor;
}

void DrawCellDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    // The current cell keeps a visible frame whether or not the grid has the focus.
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (!view || view->currentIndex() != index)
        return;
    painter->save();
    painter->setPen(QPen(Qt::black, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

bool DrawCellDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            emit enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void DrawCellDelegate::commitOpenEditor()
{
    if (QWidget *editor = m_editor.data(); editor && editor->isVisible()) {
        emit commitData(editor);
        emit closeEditor(editor, NoHint);
    }
}

} // namespace loto6
