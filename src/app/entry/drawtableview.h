#pragma once

#include <QTableView>

namespace loto6 {

// The entry grid's keyboard: Tab and Enter move along a row's numbers and on to the first number
// of the next row, never wrapping back to the top; Home goes to the first number.
class DrawTableView : public QTableView
{
    Q_OBJECT

public:
    explicit DrawTableView(QWidget *parent = nullptr);

    // Where Enter leads from a cell: the next cell, and after the bonus or the date the first
    // number of the next row; the last row's end stays put.
    QModelIndex cellAfterEnter(const QModelIndex &index) const;
    // Moves the current cell as Enter does.
    void moveAfterEnter();

signals:
    // Enter was pressed on a row's bonus or date: the row is finished, even when it is the last.
    void rowFinished(int row);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    // Until the user first moves around, the current cell is kept in view while the window
    // settles on its size (the main window may fit it into its area after showing it).
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_followCurrent = true;
};

} // namespace loto6
