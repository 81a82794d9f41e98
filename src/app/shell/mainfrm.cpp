#include "shell/mainfrm.h"

#include "commands/asofcommands.h"
#include "commands/corereasons.h"
#include "commands/historymenucommands.h"
#include "shell/busycursor.h"
#include "shell/chartcommands.h"
#include "shell/childwindow.h"
#include "shell/session.h"
#include "shell/statusline.h"
#include "shell/summaryoffer.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "shell/windowarranger.h"
#include "windows/aboutwindow.h"
#include "windows/helpwindow.h"
#include "windows/printbutton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace loto6 {

namespace {

void processPendingEventsOnce()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

MainFrm::MainFrm(QWidget *parent, std::vector<ChildKind> kinds)
    : QMainWindow(parent)
    , m_mdi(new QMdiArea(this))
    , m_document(new HistoryDocument(this))
    , m_arranger(new WindowArranger(*m_mdi))
    , m_kinds(std::move(kinds))
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(tr("ロト6ズンベル"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    // Children are taller than the client area; scroll bars reach their lower parts.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    m_dialogs = std::make_shared<QtDialogs>();

    m_commands = createMainCommands(*this, *m_mdi, m_kinds);
    addChartCommands(*this, *m_commands.chartMenu);
    wireCommands();
    // The commands that act on the history rather than open a window.
    new HistoryCommands(*this);
    AsOfCommands::install(*this);
    m_historyStatus = createStatusLine(*statusBar());
    installSummaryOffer(*this);
    connect(m_document, &HistoryDocument::historyChanged, this, &MainFrm::showHistory);

    fitToScreen();
    setWindowIcon(programIcon());
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainFrm::trackActivation);
}

MainFrm::~MainFrm() = default;

void MainFrm::wireCommands()
{
    const MainCommands &c = m_commands;
    connect(c.end, &QAction::triggered, this, &QWidget::close);
    for (const ChildKind &kind : m_kinds)
        connect(c.open.value(kind.className), &QAction::triggered, this,
            [this, name = kind.className] { openChild(name); });
    // The update and the CSV commands are enabled by HistoryCommands, the 基準回 commands by
    // AsOfCommands.
    for (QAction *action : {c.update, c.csvImport, c.csvExport, c.asOf, c.asOfClear})
        action->setEnabled(false);
    connect(
        c.tileHorizontal, &QAction::triggered, m_arranger, &WindowArranger::tileOneAboveTheOther);
    connect(c.tileVertical, &QAction::triggered, m_arranger, &WindowArranger::tileSideBySide);
    connect(c.cascade, &QAction::triggered, m_arranger, &WindowArranger::cascade);
    connect(c.arrangeIcons, &QAction::triggered, m_arranger, &WindowArranger::arrangeIcons);
    connect(c.nextChild, &QAction::triggered, m_mdi, &QMdiArea::activateNextSubWindow);
    connect(c.previousChild, &QAction::triggered, m_mdi, &QMdiArea::activatePreviousSubWindow);
    connect(c.closeChild, &QAction::triggered, this, &MainFrm::closeActiveChild);
    connect(c.help, &QAction::triggered, this, &MainFrm::showHelp);
    connect(c.about, &QAction::triggered, this, &MainFrm::showAbout);
    connect(c.print, &QAction::triggered, this, [this] { printActiveWindow(*this); });
}

QAction *MainFrm::openCommand(const QString &className) const
{
    return m_commands.open.value(className);
}

QAction *MainFrm::action(const QString &objectName) const
{
    for (QAction *a : actions())
        if (a->objectName() == objectName)
            return a;
    if (m_commands.toolbar->objectName() == objectName)
        return m_commands.toolbar;
    const auto menus = findChildren<QMenu *>(objectName);
    return menus.isEmpty() ? nullptr : menus.front()->menuAction();
}

AboutWindow *MainFrm::aboutWindow() const { return m_about; }

HelpWindow *MainFrm::helpWindow() const { return m_help; }

std::filesystem::path MainFrm::helpFile() { return findDataFile(HelpFileName, HelpFileName); }

void MainFrm::fitToScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Menu bar, toolbar, status bar and a window manager's frame around the client area.
    constexpr int FrameAllowance = 40;
    const QSize extra(8,
        menuBar()->sizeHint().height() + m_commands.toolBar->sizeHint().height()
            + statusBar()->sizeHint().height() + FrameAllowance);
    if (const std::optional<QSize> size
        = WindowArranger::firstStartSize(m_kinds, available.size(), extra)) {
        resize(*size - QSize(0, FrameAllowance));
        move(available.topLeft() + QPoint((available.width() - size->width()) / 2, 0));
    } else {
        resize(available.size() - QSize(0, FrameAllowance));
    }
    // The first start uses the whole screen; the size above is the one a restore gives back.
    setWindowState(windowState() | Qt::WindowMaximized);
}

Status MainFrm::startUp(
    const std::filesystem::path &databaseFile, const std::filesystem::path &seedHistory)
{
    restoreSession(*this);
    m_layoutRestored = true;
    BusyCursor busy;
    processPendingEventsOnce();
    setPropEnd(true);
    const Status status = m_document->open(databaseFile, seedHistory);
    if (!status)
        showMessage(QMessageBox::Critical, qs(MessageTitle),
            tr("当選データのデータベースを開けません。\n%1\n%2")
                .arg(CoreReasons::japanese(status),
                    tr("ファイルが壊れていないか、ほかのプログラムが使っていないか確かめてください"
                       "。")));
    return status;
}

Status MainFrm::reloadHistory()
{
    // A write at the exit (the entry window saving its rows) needs no new reading.
    if (m_closed)
        return Status::success();
    Status status;
    {
        BusyCursor busy;
        status = m_document->reload();
    }
    if (!status)
        showMessage(QMessageBox::Critical, qs(MessageTitle),
            tr("当選データを読み直せませんでした。表示は前のデータのままです。\n%1\n"
               "プログラムを起動し直してください。")
                .arg(CoreReasons::japanese(status)));
    return status;
}

void MainFrm::showHistory()
{
    showHistoryStatus(*statusBar(), *m_historyStatus, *m_document);
    for (QMdiSubWindow *window : m_mdi->subWindowList())
        if (auto *child = qobject_cast<ChildWindow *>(window->widget());
            child && child->isLoaded() && !window->isHidden())
            child->refresh();
}

void MainFrm::setPropEnd(bool value)
{
    m_propEnd = value;
    emit propEndChanged(value);
}

void MainFrm::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    // No box under the hourglass: the cursors stacked so far are lifted while it shows.
    QList<QCursor> stacked;
    while (const QCursor *cursor = QApplication::overrideCursor()) {
        stacked.prepend(*cursor);
        QApplication::restoreOverrideCursor();
    }
    m_dialogs->message(this, {icon, title, text});
    for (const QCursor &cursor : stacked)
        QApplication::setOverrideCursor(cursor);
}

const ChildKind *MainFrm::kindOf(const QString &className) const
{
    const auto kind = std::find_if(m_kinds.begin(), m_kinds.end(),
        [&className](const ChildKind &k) { return k.className == className; });
    return kind == m_kinds.end() ? nullptr : &*kind;
}

QMdiSubWindow *MainFrm::childWindow(const QString &className) const
{
    QMdiSubWindow *window = m_children.value(className);
    // A closed window is hidden until its deferred deletion; it counts as gone.
    return window && !window->isHidden() ? window : nullptr;
}

QMdiSubWindow *MainFrm::openChild(const QString &className)
{
    const ChildKind *kind = kindOf(className);
    if (!kind)
        return nullptr;
    if (QMdiSubWindow *open = childWindow(className)) {
        m_mdi->setActiveSubWindow(open);
        open->raise();
        return open;
    }
    BusyCursor busy;
    processPendingEventsOnce();
    QWidget *widget = kind->create(*this);
    if (!widget)
        return nullptr;
    QMdiSubWindow *window = m_mdi->addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setProperty(WindowArranger::ClassNameProperty, className);
    // The main window's own Ctrl+F4 and Ctrl+W close the active child wherever the focus is;
    // the child's system menu would make the keys ambiguous.
    if (QMenu *system = window->systemMenu())
        for (QAction *item : system->actions())
            item->setShortcuts({});
    window->setWindowTitle(widget->windowTitle());
    m_children.insert(className, window);
    if (auto *child = qobject_cast<ChildWindow *>(widget))
        child->load();
    window->show();
    m_arranger->fitIntoArea(window);
    m_mdi->setActiveSubWindow(window);
    return window;
}

void MainFrm::setChildFactory(const QString &className, ChildFactory create)
{
    for (ChildKind &kind : m_kinds)
        if (kind.className == className)
            kind.create = std::move(create);
}

void MainFrm::showAbout()
{
    BusyCursor busy;
    processPendingEventsOnce();
    if (!m_about)
        m_about = new AboutWindow(this);
    // Not yet shown, the window has no title bar: it is allowed for.
    QSize outer = m_about->frameGeometry().size();
    if (outer == m_about->size())
        outer.rheight() += AboutWindow::TitleBarAllowance;
    m_about->move(AboutWindow::positionFor(frameGeometry(), outer));
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainFrm::showHelp()
{
    const std::filesystem::path file = helpFile();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        showMessage(QMessageBox::Critical, qs(MessageTitle),
            tr("ヘルプファイルが見つかりません。\n%1").arg(QString::fromStdString(file.string())));
        return;
    }
    QString topic = qs(HelpTopic);
    if (QMdiSubWindow *active = m_mdi->currentSubWindow())
        if (const ChildKind *kind
            = kindOf(active->property(WindowArranger::ClassNameProperty).toString()))
            topic = kind->helpTopic;
    if (!m_help) {
        m_help = new HelpWindow(QString::fromStdString(file.string()), this);
        m_help->placeBeside(frameGeometry());
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    m_help->showTopic(topic);
}

void MainFrm::closeActiveChild()
{
    if (QMdiSubWindow *window = m_mdi->activeSubWindow())
        window->close();
}

void MainFrm::trackActivation(QWindow *window)
{
    // Only switches between the program's own normal windows count: focus leaving for another
    // application arrives as a null window, message boxes and menus are not windows of ours.
    if (!window || window->type() != Qt::Window)
        return;
    // The help viewer stands in for an external one: going there and back is no switch.
    if (m_help && window == m_help->windowHandle())
        return;
    if (window == windowHandle() && m_lastOwnWindow != window)
        emit activatedAmongOwnWindows();
    m_lastOwnWindow = window;
}

void MainFrm::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closed)
        return;

    // The open windows as they stand, kept for the next start once the exit goes ahead.
    const QString openWindows = WindowArranger::encode(m_arranger->placements());
    // Every child unloads first and sets propEnd to true on its way out. A child that keeps
    // rows it could not save may refuse (the user answered No): then the exit is cancelled.
    m_mdi->closeAllSubWindows();
    const QList<QMdiSubWindow *> left = m_mdi->subWindowList();
    // A child that closed is hidden; one that refused is not, even while this window is not shown.
    if (std::any_of(left.begin(), left.end(), [](QMdiSubWindow *w) { return !w->isHidden(); })) {
        event->ignore();
        return;
    }
    m_closed = true;
    if (m_about)
        m_about->close();
    if (m_help)
        m_help->close();

    emit settingsWritten(saveSession(*this, openWindows, m_layoutRestored));
    m_document->close();

    BusyCursor busy;
    processPendingEventsOnce();
}

} // namespace loto6
