#pragma once

#include "document/historydocument.h"
#include "shell/childkind.h"
#include "shell/dialogs.h"
#include "shell/maincommands.h"
#include "store/paths.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QWindow;

namespace loto6 {

class AboutWindow;
class HelpWindow;
class WindowArranger;

// The program's main window: the menus, the toolbar, the MDI area and the status bar. The
// history every window reads is the document's (document()); the menu commands open child
// windows through openChild(), one window per window class; each child (a ChildWindow)
// computes from the document when it loads and again when the history changes. Closing the
// window unloads every child, then writes the settings file once.
class MainFrm : public QMainWindow
{
    Q_OBJECT

public:
    // Designed client area in twips.
    static constexpr int ClientWidthTwips = 13875;
    static constexpr int ClientHeightTwips = 11190;
    static constexpr const char *HelpFileName = "ロト6ズンベル.html";
    static constexpr const char *HelpTopic = "ロト6ズンベルについて";

    // The main window with a command for each kind of child window (tests add stand-ins).
    explicit MainFrm(QWidget *parent = nullptr, std::vector<ChildKind> kinds = childKinds());
    ~MainFrm() override;

    // Start-up: settings file, then the history from the database (created from the seed
    // history when missing). A database that cannot be opened is reported and returned.
    Status startUp(const std::filesystem::path &databaseFile,
        const std::filesystem::path &seedHistory = bundledHistoryPath());

    HistoryDocument &document() { return *m_document; }
    const HistoryDocument &document() const { return *m_document; }
    // Reads the history again (after an update, an import or a saved entry); every open window
    // shows it. A failure is reported and changes nothing.
    Status reloadHistory();

    bool propEnd() const { return m_propEnd; }
    void setPropEnd(bool value);

    static std::filesystem::path helpFile();

    const MainCommands &commands() const { return m_commands; }
    // The command that opens the window of a class.
    QAction *openCommand(const QString &className) const;
    // A command or menu by its object name (mnuSyutugenHindo, mnuHosyu, ...), for tests and
    // the screenshots.
    QAction *action(const QString &objectName) const;
    QMdiArea *mdiArea() const { return m_mdi; }
    WindowArranger &arranger() const { return *m_arranger; }

    // The child windows the menu commands open (childKinds()).
    const std::vector<ChildKind> &kinds() const { return m_kinds; }
    // The kind of a window class, or nullptr.
    const ChildKind *kindOf(const QString &className) const;
    // Opens the window of a class, or brings the open one to the front.
    QMdiSubWindow *openChild(const QString &className);
    // The open window of a class, or nullptr.
    QMdiSubWindow *childWindow(const QString &className) const;
    // Replaces how the window of a class is made (tests put stand-ins in).
    void setChildFactory(const QString &className, ChildFactory create);

    void showAbout();
    // Opens the help at the topic of the active child window (the program's own otherwise).
    void showHelp();
    AboutWindow *aboutWindow() const;
    HelpWindow *helpWindow() const;

    // Where the window layout is kept between runs (session.h): restored by startUp(), the
    // open children by restoreOpenWindows() once the window shows, saved on closing.
    static constexpr const char *LayoutOrganization = "loto6zumvel";
    static constexpr const char *LayoutApplication = "Loto6Zumvel";

    // The dialogs every command and window asks and tells through (Qt's, unless replaced: tests
    // answer in their place).
    Dialogs &dialogs() const { return *m_dialogs; }
    void setDialogs(std::shared_ptr<Dialogs> dialogs) { m_dialogs = std::move(dialogs); }
    // A message box with only OK, shown without the hourglass.
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);

signals:
    void propEndChanged(bool value);
    // The main window became the active one among the program's own top-level windows: right
    // after start-up and, for example, when the About window closes; switching to another
    // application and back does not count. The prediction window hooks in here.
    void activatedAmongOwnWindows();
    // The exit sequence wrote the settings file (successfully or not).
    void settingsWritten(const loto6::Status &status);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void wireCommands();
    void showHistory();
    void trackActivation(QWindow *window);
    // The first-start size, applied before any saved layout is restored.
    void fitToScreen();
    void closeActiveChild();

    QMdiArea *m_mdi;
    HistoryDocument *m_document;
    WindowArranger *m_arranger;
    QLabel *m_historyStatus = nullptr;
    MainCommands m_commands;
    std::vector<ChildKind> m_kinds;
    QHash<QString, QPointer<QMdiSubWindow>> m_children;
    std::shared_ptr<Dialogs> m_dialogs;
    QPointer<AboutWindow> m_about;
    QPointer<HelpWindow> m_help;
    QPointer<QWindow> m_lastOwnWindow;
    bool m_propEnd = false;
    bool m_closed = false;
    bool m_layoutRestored = false;
};

} // namespace loto6
