#pragma once

#include "store/result.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

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
// opens for viewing only.
class EntryWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *ClassName = "当選データ入力";
    static constexpr const char *MenuAction = "mnuMasterInput";
    static constexpr int WidthTwips = 7180;
    static constexpr int HeightTwips = 13450;

    struct Message
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    // Shows a message box and returns the button pressed; tests answer instead.
    using MessageFunction = std::function<QMessageBox::StandardButton(const Message &)>;
    // Shows the edit menu as a pop-up at a global position.
    using PopupFunction = std::function<void(QMenu *menu, const QPoint &globalPos)>;

    explicit EntryWindow(const QString &databaseFile, QWidget *parent = nullptr);
    ~EntryWindow() override;

    // The main window's factory for the entry command: opens the window over the main window's
    // database file, ties propEnd to its life and has the main window read the history again
    // after each write; reports a file that cannot be read instead.
    static QWidget *create(MainFrm &frame);

    // Whether the database could be opened and read; the window is empty otherwise.
    const Status &loadStatus() const { return m_loadStatus; }

    DrawTableModel *model() const { return m_model; }
    DrawTableView *grid() const { return m_grid; }
    // The line under the grid that names what is wrong with the current cell.
    QLabel *statusLine() const { return m_status; }
    QMenu *editMenu() const { return m_editMenu; }
    QPushButton *closeButton() const { return m_closeButton; }

    void setMessageFunction(MessageFunction show) { m_message = std::move(show); }
    void setPopupFunction(PopupFunction popup) { m_popup = std::move(popup); }

    // The edit commands; each asks first. A new row always goes at the end.
    void addLine();
    void deleteLine();
    // Fills rows from lines of published results, from the current row on (Ctrl+V).
    void paste(const QString &text);
    // The close button: refuses while a number is wrong, writes the rest, then closes.
    bool closeAfterCheck();

signals:
    // The window accepted its close.
    void unloaded();
    // A draw was written or deleted: the history of the database has changed.
    void historyChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createMenus();
    void createGrid();
    QMessageBox::StandardButton message(const Message &m);
    bool confirm(const QString &text);
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

    DrawTableModel *m_model;
    DrawTableView *m_grid;
    DrawCellDelegate *m_delegate = nullptr;
    QMenu *m_editMenu = nullptr;
    QPushButton *m_closeButton = nullptr;
    QLabel *m_status = nullptr;
    MessageFunction m_message;
    PopupFunction m_popup;
    Status m_loadStatus;
    bool m_removing = false;
    bool m_unloaded = false;
    bool m_placed = false;
    int m_lastEditedRow = -1;
};

} // namespace loto6
