#pragma once

#include "shell/childwindow.h"
#include "shell/dialogs.h"
#include "store/result.h"

#include <QStringList>

class QLabel;
class QMenu;
class QPushButton;

namespace loto6 {

class MainFrm;
class DrawTableModel;
class DrawCellDelegate;
class DrawTableView;

// The winning-data entry window: the draws of the database file in an editable grid over its
// own connection, never the shared history. It opens on the latest draw. A row is written when
// the user leaves it and at the latest when the window closes, once its seven numbers are all
// there and right; a row with a wrong or missing number is never written. A read-only database
// opens for viewing only. Its messages, questions and menus go through the main window's
// dialogs.
class EntryWindow : public ChildWindow
{
    Q_OBJECT

public:
    // Opens its own connection to the main window's database file.
    explicit EntryWindow(MainFrm &frame, QWidget *parent = nullptr);
    ~EntryWindow() override;

    // The window's kind: opens the window over the main window's database file and has the main
    // window read the history again after each write; reports a file that cannot be read instead.
    static QWidget *create(MainFrm &frame);

    // Whether the database could be opened and read; the window is empty otherwise.
    const Status &loadStatus() const { return m_loadStatus; }

    DrawTableModel *model() const { return m_model; }
    DrawTableView *grid() const { return m_grid; }
    // The line under the grid that names what is wrong with the current cell.
    QLabel *statusLine() const { return m_status; }
    QMenu *editMenu() const { return m_editMenu; }
    QPushButton *closeButton() const { return m_closeButton; }

    // The edit commands; each asks first. A new row always goes at the end.
    void addLine();
    void deleteLine();
    // Ctrl+Z in the grid: the last edit's cell back as it was.
    void undoLastEdit();
    // Fills rows from lines of published results, from the current row on (Ctrl+V).
    void paste(const QString &text);
    // Ctrl+G (第N回へ移動): the current cell goes to the draw's first number; false (and the
    // status bar says so) when the grid has no such draw.
    bool goToDraw(int drawNo);
    // The close button: refuses while a number is wrong, writes the rest, then closes.
    bool closeAfterCheck();
    // Before a command writes the database (import, 最新化, a dropped file): writes the rows
    // that are complete and right and gives those still not saved, one line each.
    QStringList unsavedRowsBeforeCommand();
    // After such a command: reads the database again over a fresh connection, keeping the rows
    // not saved and the cell in use.
    void rereadDatabase();
    // The rows are the window's own, read over its own connection and written by it: a change
    // of the history elsewhere (基準回, what the window itself saved) leaves them as they are.
    void refresh() override { }

signals:
    // The window accepted its close.
    void unloaded();
    // A draw was written or deleted: the history of the database has changed.
    void historyChanged();

protected:
    // The designed size, with the date column added to the designed width.
    QSize sizeTwips() const override;
    void compute() override { }
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createMenus();
    void createGrid();
    QMessageBox::StandardButton message(const Dialogs::Message &m);
    void showError(const QString &text);
    void reportWriteFailure(const Status &status);
    void commitOpenEditor();
    void rowLeft(int row);
    // The edit menu, from the 回数 cell of a single selected row.
    void showRowMenu(const QPoint &pos);
    void updateModified();
    void updateStatus();
    void showStatus(const QString &text);
    void pasteClipboard();
    void askDraw();

    DrawTableModel *m_model;
    DrawTableView *m_grid;
    DrawCellDelegate *m_delegate = nullptr;
    QMenu *m_editMenu = nullptr;
    QPushButton *m_closeButton = nullptr;
    QLabel *m_status = nullptr;
    Status m_loadStatus;
    bool m_removing = false;
    bool m_unloaded = false;
    bool m_shown = false;
    int m_lastEditedRow = -1;
};

} // namespace loto6
