#pragma once

#include <QList>
#include <QObject>

#include <optional>

class QAbstractItemView;
class QAction;
class QModelIndex;
class QWidget;

namespace loto6 {

class SheetView;

// Ctrl+G (第N回へ移動) and Ctrl+F (数字を検索) for every grid: moves the current cell to a draw's
// row in a table with a draw column, or to the next cell holding a number, and scrolls it into
// view. What was not found is told in the main window's status bar.
class SheetFinder : public QObject
{
    Q_OBJECT

public:
    explicit SheetFinder(SheetView *view);

    // 第N回へ移動 for any grid with a draw in each row (the entry grid uses it too): the command,
    // with Ctrl+G working while the grid has the focus; the question, over `parent` through the
    // dialogs of the main window it sits in; and the move to the draw's cell (invalid: not
    // there), told in the main window's status bar and returned.
    static QAction *addGoToDrawCommand(QAbstractItemView *grid);
    static std::optional<int> askDrawNumber(QWidget *parent);
    static QString moveToDraw(QAbstractItemView *grid, const QModelIndex &cell, int drawNo);

    // The two commands, for the grid's context menu; their shortcuts work in the grid.
    QList<QAction *> actions() const { return {m_goToDraw, m_findNumber}; }
    // Enables the commands for what the grid shows: going to a draw needs a draw column.
    void updateActions();

    // The commands without a dialog; false (and the status bar says so) when not found.
    // askDraw and askNumber ask first, through the dialogs of the main window.
    bool goToDraw(int drawNo);
    bool findNumber(long long number);

    void askDraw();
    void askNumber();

signals:
    // What the last command found or did not find, as shown in the status bar.
    void told(const QString &text);

private:
    void tell(const QString &text);
    static void tell(QAbstractItemView *grid, const QString &text);

    SheetView *m_view;
    QAction *m_goToDraw;
    QAction *m_findNumber;
    int m_lastNumber = 1;
};

} // namespace loto6
