#pragma once

#include "store/result.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class QMenu;
class QPushButton;
class QTableView;

namespace loto6 {

class MainFrm;
class DrawTableModel;
class DrawCellDelegate;

// The winning-data entry window: the draws of the database file in an editable grid over its
// own connection, never the shared history. A row is written when the user leaves it and at the
// latest when the window closes; a row with a wrong number is never written.
class EntryWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *ClassName = "当選データ入力";
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
    // database file and ties propEnd to its life; reports a file that cannot be read instead.
    static QWidget *create(MainFrm &frame);

    // Whether the database could be opened and read; the window is empty otherwise.
    const Status &loadStatus() const { return m_loadStatus; }

    DrawTableModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QMenu *editMenu() const { return m_editMenu; }
    QPushButton *closeButton() const { return m_closeButton; }

    void setMessageFunction(MessageFunction show) { m_message = std::move(show); }
    void setPopupFunction(PopupFunction popup) { m_popup = std::move(popup); }

    // The edit commands; each asks first.
    void addLine();
    void deleteLine();
    // The close button: refuses while a number is wrong, writes the rest, then closes.
    bool closeAfterCheck();

signals:
    // The window accepted its close.
    void unloaded();

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
    void showRowHeaderMenu(const QPoint &pos);
    void updateModified();

    DrawTableModel *m_model;
    QTableView *m_grid;
    DrawCellDelegate *m_delegate = nullptr;
    QMenu *m_editMenu = nullptr;
    QPushButton *m_closeButton = nullptr;
    MessageFunction m_message;
    PopupFunction m_popup;
    Status m_loadStatus;
    bool m_removing = false;
    bool m_unloaded = false;
    bool m_placed = false;
};

} // namespace loto6
