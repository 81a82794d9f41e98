#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace loto6 {

// Edits the cells of the entry grid: centred; digits only, at most two, in a number cell, where a
// decimal point is kept so that the cell shows as wrong instead of "1.0" becoming 10. Outlines
// the current cell. Keeps track of its open editor so that the window can commit the typing
// before it saves or closes.
class DrawCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int NumberDigits = 2;
    static constexpr int DrawNoDigits = 9;

    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    // Hands the open editor's text to the model and closes the editor.
    void commitOpenEditor();

signals:
    // Enter was pressed in an editor, after its text went to the model.
    void enterPressed();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    mutable QPointer<QWidget> m_editor;
};

} // namespace loto6
