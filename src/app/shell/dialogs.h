#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>

#include <filesystem>
#include <optional>

class QMenu;
class QUrl;
class QWidget;

namespace loto6 {

// Every dialog the main window and its commands and windows show to ask or tell the user,
// behind one interface: the program shows Qt's dialogs (QtDialogs), tests answer in their place.
class Dialogs
{
public:
    struct Message
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    enum class FileDialog { Open, OpenMany, Save };

    virtual ~Dialogs() = default;

    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget *parent, const Message &m) = 0;
    // A file dialog (for OpenMany, the files joined by line feeds); empty when cancelled.
    virtual QString chooseFile(QWidget *parent, FileDialog kind, const QString &caption,
        const QString &suggestion, const QString &filter)
        = 0;
    // A whole number between minimum and maximum; nothing when cancelled.
    virtual std::optional<int> askNumber(QWidget *parent, const QString &title,
        const QString &label, int value, int minimum, int maximum)
        = 0;
    // A pop-up menu at a global position.
    virtual void popup(QMenu *menu, const QPoint &globalPos) = 0;

    // A yes-or-no question whose default answer is No; true for Yes.
    bool question(QWidget *parent, const QString &title, const QString &text,
        QMessageBox::Icon icon = QMessageBox::Question);
};

// The file a name from a file dialog stands for, as the bytes of its name. A name whose bytes
// are not text comes back with U+FFFD in their place, which would name another file: nothing
// then, and the choice is refused.
std::optional<std::filesystem::path> chosenFilePath(const QString &name);
// Tells the user that a chosen name cannot be used (chosenFilePath gives nothing for it) and
// returns true; false, telling nothing, for a name that can.
bool refusedFileName(Dialogs &dialogs, QWidget *parent, const QString &name);
// The file a dropped address names, as the exact bytes of its name (kept percent-encoded in the
// address, never decoded to text); nothing when the address is not a local file.
std::optional<std::filesystem::path> droppedFilePath(const QUrl &url);

// The dialogs of the main window a widget sits in, found through its parents (a child window
// knows its main window before it is placed); Qt's own for a widget outside any main window.
Dialogs &dialogsOf(const QWidget *widget);

// The dialogs of the program: Qt's message boxes, file dialogs, input dialog and menus.
class QtDialogs : public Dialogs
{
public:
    QMessageBox::StandardButton message(QWidget *parent, const Message &m) override;
    QString chooseFile(QWidget *parent, FileDialog kind, const QString &caption,
        const QString &suggestion, const QString &filter) override;
    std::optional<int> askNumber(QWidget *parent, const QString &title, const QString &label,
        int value, int minimum, int maximum) override;
    void popup(QMenu *menu, const QPoint &globalPos) override;
};

} // namespace loto6
