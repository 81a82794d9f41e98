#pragma once

#include "prediction/predictionengine.h"
#include "prediction/predictionoptions.h"
#include "shell/childkind.h"
#include "store/database.h"
#include "store/drawhistory.h"
#include "store/paths.h"
#include "store/result.h"
#include "store/totals.h"

#include <QHash>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QMenu;
class QMdiArea;
class QMdiSubWindow;
class QWindow;

namespace loto6 {

struct AnalysisInfo;
class AboutWindow;
class HelpWindow;

// The program's main window. How the parts fit: startUp() reads the prediction switches and
// loads the draw history with its totals; the menu commands open child windows in the MDI area
// through showChild(), one instance per window class; each child (a ChildWindow) loads itself,
// computing from history() and totals(), and reports its load and unload through setPropEnd().
// Closing the window unloads every child, then writes the settings file once.
class MainFrm : public QMainWindow
{
    Q_OBJECT

public:
    // Designed client area in twips.
    static constexpr int ClientWidthTwips = 13875;
    static constexpr int ClientHeightTwips = 11190;
    static constexpr const char *HelpFileName = "ロト6ズンベル.html";
    static constexpr const char *HelpTopic = "ロト6ズンベルについて";

    using ChildFactory = loto6::ChildFactory;
    using MessageFunction
        = std::function<void(QMessageBox::Icon icon, const QString &title, const QString &text)>;

    explicit MainFrm(QWidget *parent = nullptr);
    ~MainFrm() override;

    // Start-up: settings file, then the history and totals from the database (created from the
    // seed history when missing). A database that cannot be opened is reported in a message box
    // and returned as a failure.
    Status startUp(const std::filesystem::path &databaseFile,
        const std::filesystem::path &seedHistory = bundledHistoryPath());

    bool propEnd() const { return m_propEnd; }
    void setPropEnd(bool value);

    // The history every window reads: the draws loaded from the database.
    const DrawHistory &history() const { return m_history; }
    const Totals &totals() const { return m_totals; }
    PredictionOptions &predictionOptions() { return m_options; }
    // The prediction tables, kept for the whole run so that each opening of the prediction
    // window scans on from the entries of the previous one.
    PredictionEngine &predictionEngine() { return m_engine; }
    const Database &database() const { return m_database; }
    // Reads the history again from the database file (after an update, an import or a saved
    // entry) and shows it everywhere: totals, prediction tables (the switches are kept), every
    // open window rebuilt in place, the status bar. A failure is reported and changes nothing.
    Status reloadHistory();
    // Recomputes everything that reads the history from the loaded draws and rebuilds the open
    // windows in place, each keeping its scroll position.
    void rebuildFromHistory();
    // 基準回: the history in use is cut after this draw (DrawHistory::NoCut for none); setting
    // it rebuilds every open window in place.
    int asOf() const { return m_asOf; }
    void setAsOf(int drawNo);
    // Every draw read from the database, before the 基準回 cut.
    const DrawHistory &loadedHistory() const { return m_loadedHistory; }
    // "第N回（YYYY-MM-DD）まで　M回分" for the history in use.
    static QString historySummary(const DrawHistory &history);

    // The settings file, looked up in the working directory.
    static std::filesystem::path settingsFile();
    static std::filesystem::path helpFile();

    // A menu command by its object name (mnuSyutugenHindo, mnuMasterInput, ...).
    QAction *action(const QString &objectName) const;
    QMdiArea *mdiArea() const { return m_mdi; }

    // Shows the one window of a class: brings an open one to the front, otherwise creates it
    // (busy cursor, pending events once, create, load, show, normal cursor).
    QMdiSubWindow *showChild(const QString &className, const ChildFactory &create);
    // The open window of a class, or nullptr.
    QMdiSubWindow *childWindow(const QString &className) const;
    // The child windows the menu commands open (childKinds()), each wired to its command.
    const std::vector<ChildKind> &kinds() const { return m_kinds; }
    // Opens the window of a menu command: a window that stands alone only while no other child
    // is open (otherwise a message says so).
    QMdiSubWindow *openChild(const QString &action);
    // Replaces how the window of a menu command is made (tests put stand-ins in).
    void setChildFactory(const QString &action, ChildFactory create);

    void showAnalysis(const AnalysisInfo &info);
    void showAbout();
    void showHelp();
    AboutWindow *aboutWindow() const;
    HelpWindow *helpWindow() const;

    // The first-start size of the main window: a client area that holds the largest child,
    // within the available screen area; nothing when even that is too small (the window is then
    // maximised).
    static std::optional<QSize> firstStartSize(QSize available, QSize frameExtra);
    // Cuts a child to the MDI area and moves it inside: no child is ever partly outside.
    void fitIntoArea(QMdiSubWindow *window) const;

    // Window arrangement; the two tilings and the icon line-up leave QMdiArea's own aside.
    void tileOneAboveTheOther();
    void tileSideBySide();
    void cascade();
    void arrangeIcons();

    // Window size, position and state, kept between runs in the user's configuration folder
    // (QSettings), apart from the settings file. Restored by startUp(), saved on closing.
    static constexpr const char *LayoutOrganization = "loto6zumvel";
    static constexpr const char *LayoutApplication = "Loto6Zumvel";
    void restoreLayout();
    void saveLayout() const;

    // Message boxes go through this function so that tests can record them.
    void setMessageFunction(MessageFunction show) { m_message = std::move(show); }
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);

signals:
    void propEndChanged(bool value);
    // The main window became the active one among the program's own top-level windows: right
    // after start-up and, for example, when the About window closes; switching to another
    // application and back does not count. The prediction window hooks in here.
    void activatedAmongOwnWindows();
    // The exit sequence wrote the settings file (successfully or not).
    void settingsWritten(const loto6::Status &status);
    // The history in use changed and the open windows show it.
    void historyRebuilt();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    // Ctrl+Tab and Ctrl+Shift+Tab move between children.
    void createKeyboardCommands();
    // The twelve switches from the settings file, and the window layout of the last run.
    void readSettings();
    void writeSettings();
    void tile(Qt::Orientation orientation);
    // Lines up minimised children along the bottom; returns the top of that strip.
    int lineUpIcons();
    void trackActivation(QWindow *window);
    // The first-start size, applied before any saved layout is restored.
    void fitToScreen();
    // Lists the open windows under the ウィンドウ menu's commands.
    void fillWindowMenu();
    void closeActiveChild();

    QMdiArea *m_mdi;
    QLabel *m_historyStatus;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListActions;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QPointer<QMdiSubWindow>> m_children;
    std::vector<ChildKind> m_kinds;
    MessageFunction m_message;
    QPointer<AboutWindow> m_about;
    QPointer<HelpWindow> m_help;
    QPointer<QWindow> m_lastOwnWindow;

    PredictionOptions m_options;
    PredictionEngine m_engine;
    Database m_database;
    DrawHistory m_loadedHistory; // every draw read from the database
    DrawHistory m_history;       // the draws in use, derived from m_loadedHistory
    int m_asOf = DrawHistory::NoCut;
    Totals m_totals;
    bool m_propEnd = false;
    bool m_closed = false;
    bool m_layoutRestored = false;
};

} // namespace loto6
