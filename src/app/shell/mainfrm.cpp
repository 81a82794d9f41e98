#include "shell/mainfrm.h"

#include "analysis/catalog.h"
#include "commands/asofcommands.h"
#include "commands/corereasons.h"
#include "commands/historymenucommands.h"
#include "shell/busycursor.h"
#include "shell/childwindow.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "store/drawvalidation.h"
#include "views/elidedlabel.h"
#include "windows/aboutwindow.h"
#include "windows/analysiswindow.h"
#include "windows/backtestwindow.h"
#include "windows/chancewindow.h"
#include "windows/chartwindow.h"
#include "windows/designwindow.h"
#include "windows/entrywindow.h"
#include "windows/helpwindow.h"
#include "windows/popularitywindow.h"
#include "windows/ticketwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace loto6 {

namespace {

QString u8(const char *text) { return QString::fromUtf8(text); }

// The size a child had before it was tiled, which cascading gives back.
constexpr const char *UntiledSize = "untiledSize";

// The history as the analyses read it, with each draw's date from the table beside it (the
// history view has no date column).
Status loadDatedHistory(const Database &db, DrawHistory &history)
{
    DrawHistory plain;
    std::vector<DrawRecord> stored;
    Status status = db.loadHistory(plain);
    if (status)
        status = db.readDraws(stored);
    if (!status)
        return status;
    std::unordered_map<int, std::string> dates;
    for (DrawRecord &draw : stored)
        dates.emplace(draw.drawNo, std::move(draw.date));
    std::vector<DrawRecord> records = plain.records();
    for (DrawRecord &record : records)
        if (auto found = dates.find(record.drawNo); found != dates.end())
            record.date = found->second;
    history = DrawHistory(std::move(records));
    return status;
}

void processPendingEventsOnce()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

MainFrm::MainFrm(QWidget *parent)
    : QMainWindow(parent)
    , m_mdi(new QMdiArea(this))
    , m_historyStatus(nullptr)
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(tr("ロト6ズンベル"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    // Children are taller than the client area; scroll bars reach their lower parts.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    m_message = [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
        QMessageBox box(icon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    createActions();
    createMenus();
    // The commands that act on the history rather than open a window.
    new HistoryCommands(*this);
    AsOfCommands::install(*this);
    // Messages show in a line of their own that ends in "…" when the window is too narrow for
    // them, with the whole text in its tooltip; the status bar's own drawing would cut them off.
    auto *message = new ElidedLabel(QString(), 1, statusBar());
    message->setObjectName(QStringLiteral("statusMessage"));
    statusBar()->addPermanentWidget(message, 1);
    connect(statusBar(), &QStatusBar::messageChanged, message, &ElidedLabel::setText);
    m_historyStatus = new QLabel(statusBar());
    m_historyStatus->setObjectName(QStringLiteral("historyStatus"));
    statusBar()->addPermanentWidget(m_historyStatus);

    createKeyboardCommands();
    fitToScreen();
    setWindowIcon(programIcon());

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainFrm::trackActivation);
}

MainFrm::~MainFrm() = default;

void MainFrm::createActions()
{
    auto add = [this](const char *name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(u8(name));
        m_actions.insert(action->objectName(), action);
        return action;
    };

    connect(add("mnuEnd", tr("終了(&X)")), &QAction::triggered, this, &QWidget::close);
    // Every child window's command, from one list.
    m_kinds = childKinds();
    for (const ChildKind &kind : m_kinds) {
        auto *action = new QAction(kind.menuText, this);
        action->setObjectName(kind.action);
        m_actions.insert(kind.action, action);
        connect(action, &QAction::triggered, this, [this, name = kind.action] { openChild(name); });
    }

    // The update and the CSV commands are enabled by HistoryCommands, the 基準回 commands by
    // AsOfCommands.
    add("mnuMasterUpdate", tr("当選データ最新化(&U)"))->setEnabled(false);
    add("mnuCsvTorikomi", tr("CSVから取り込み..."))->setEnabled(false);
    add("mnuCsvKakidashi", tr("CSVへ書き出し..."))->setEnabled(false);
    add("mnuKijunkai", tr("基準回を指定..."))->setEnabled(false);
    add("mnuKijunkaiKaijo", tr("最新の回に戻す"))->setEnabled(false);

    connect(add("mnuWindowHorizontal", tr("上下に並べて表示(&H)")), &QAction::triggered, this,
        &MainFrm::tileOneAboveTheOther);
    connect(add("mnuWindowVertical", tr("左右に並べて表示(&V)")), &QAction::triggered, this,
        &MainFrm::tileSideBySide);
    connect(add("mnuWindowCascade", tr("重ねて表示(&C)")), &QAction::triggered, this,
        &MainFrm::cascade);
    connect(add("mnuWindowArrangeIcon", tr("アイコンの整列(&A)")), &QAction::triggered, this,
        &MainFrm::arrangeIcons);

    connect(add("mnuHelpFile", tr("ヘルプ(&H)")), &QAction::triggered, this, &MainFrm::showHelp);
    connect(
        add("mnuAbout", tr("バージョン情報(&A)")), &QAction::triggered, this, &MainFrm::showAbout);
}

void MainFrm::createMenus()
{
    QMenuBar *bar = menuBar();
    auto menu = [this](QWidget *parent, const char *name, const QString &caption) {
        auto *m = new QMenu(caption, parent);
        m->setObjectName(u8(name));
        m->menuAction()->setObjectName(u8(name));
        if (auto *parentMenu = qobject_cast<QMenu *>(parent))
            parentMenu->addMenu(m);
        else
            menuBar()->addMenu(m);
        return m;
    };
    QSet<QString> placed;
    auto item = [this, &placed](QMenu *m, const QString &name) {
        if (QAction *a = action(name); a && !placed.contains(name)) {
            m->addAction(a);
            placed.insert(name);
        }
    };

    bar->addAction(action(QStringLiteral("mnuEnd")));
    bar->addAction(action(QStringLiteral("mnuYoso")));
    placed.insert(QStringLiteral("mnuYoso"));

    QMenu *analysis = menu(bar, "mnuMain", tr("データ分析(&S)"));
    // The analyses in their menu order and groups; one the layout does not name yet follows
    // the last of them.
    const std::pair<const char *, const char *> groups[]
        = {{"mnuHindo", "頻度分析"}, {"mnuKankaku", "間隔分析"},
            {"mnuPattern", "組合せパターン分析"}, {"mnuBunkatsuData", "分割データ分析"}};
    const std::pair<int, const char *> layout[] = {{0, "mnuSyutugenHindo"}, {0, "mnuSyutugenKaisu"},
        {1, "mnuSyutugenKankaku"}, {1, "mnuNumberKankaku"}, {-1, "mnuZenkaiSyutugen"},
        {-1, "mnuBaratsuki"}, {-1, "mnuHippari"}, {-1, "mnuRenbanTobiishi"}, {-1, "mnuHonsuji"},
        {2, "mnuLowHighPattern"}, {2, "mnuKisuGusuPattern"}, {-1, "mnu5BunkatsuKeiko"},
        {3, "mnu6BunkatsuData"}, {3, "mnu7BunkatsuData"}, {3, "mnu11BunkatsuData"},
        {-1, "mnuLastChar"}, {-1, "mnuLastCharRenzoku"}};
    QMenu *groupMenus[std::size(groups)] = {};
    for (const auto &[group, name] : layout) {
        QMenu *target = analysis;
        if (group >= 0) {
            QMenu *&sub = groupMenus[group];
            if (!sub)
                sub = menu(analysis, groups[group].first, tr(groups[group].second));
            target = sub;
        }
        item(target, u8(name));
    }
    for (const AnalysisInfo &info : analyses())
        item(analysis, qs(info.menuAction));
    item(analysis, u8(ChanceWindow::MenuAction));
    item(analysis, u8(BacktestWindow::MenuAction));
    analysis->addSeparator();
    item(analysis, QStringLiteral("mnuKijunkai"));
    item(analysis, QStringLiteral("mnuKijunkaiKaijo"));

    QMenu *chartMenu = menu(bar, "mnuGraphMenu", tr("グラフ(&G)"));
    item(chartMenu, u8(ChartWindow::MenuAction));
    ChartWindow::addChartCommands(*this, *chartMenu);

    QMenu *manage = menu(bar, "mnuHosyu", tr("データ管理(&M)"));
    for (const char *name :
        {"mnuMasterUpdate", EntryWindow::MenuAction, "mnuCsvTorikomi", "mnuCsvKakidashi",
            TicketWindow::MenuAction, DesignWindow::MenuAction, PopularityWindow::MenuAction})
        item(manage, u8(name));
    // A window command no menu names yet goes under the analyses rather than nowhere.
    for (const ChildKind &kind : m_kinds)
        item(analysis, kind.action);

    QMenu *window = menu(bar, "mnuWindow", tr("ウィンドウ(&W)"));
    for (const char *name :
        {"mnuWindowHorizontal", "mnuWindowVertical", "mnuWindowCascade", "mnuWindowArrangeIcon"})
        item(window, u8(name));
    m_windowMenu = window;
    connect(window, &QMenu::aboutToShow, this, &MainFrm::fillWindowMenu);

    QMenu *help = menu(bar, "mnuHelp", tr("ヘルプ(&H)"));
    item(help, u8("mnuHelpFile"));
    item(help, u8("mnuAbout"));
}

QAction *MainFrm::action(const QString &objectName) const
{
    if (QAction *a = m_actions.value(objectName))
        return a;
    const auto menus = findChildren<QMenu *>(objectName);
    return menus.isEmpty() ? nullptr : menus.front()->menuAction();
}

AboutWindow *MainFrm::aboutWindow() const { return m_about; }

HelpWindow *MainFrm::helpWindow() const { return m_help; }

std::filesystem::path MainFrm::settingsFile() { return PredictionOptions::FileName; }

std::filesystem::path MainFrm::helpFile() { return findDataFile(HelpFileName, HelpFileName); }

void MainFrm::createKeyboardCommands()
{
    // Window-wide, so that they work wherever the focus is inside the main window.
    auto add
        = [this](const char *name, const QList<QKeySequence> &keys, auto *receiver, auto slot) {
              auto *action = new QAction(this);
              action->setObjectName(u8(name));
              action->setShortcuts(keys);
              action->setShortcutContext(Qt::WindowShortcut);
              connect(action, &QAction::triggered, receiver, slot);
              addAction(action);
              m_actions.insert(action->objectName(), action);
          };
    add("actNextChild", {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, m_mdi,
        &QMdiArea::activateNextSubWindow);
    add("actPreviousChild", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}, m_mdi,
        &QMdiArea::activatePreviousSubWindow);
    add("actCloseChild", {QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)},
        this, &MainFrm::closeActiveChild);
}

std::optional<QSize> MainFrm::firstStartSize(QSize available, QSize frameExtra)
{
    // The designed client area is smaller than the largest children; grow it to hold them all.
    int width = ClientWidthTwips;
    int height = ClientHeightTwips;
    for (const ChildKind &kind : childKinds()) {
        width = std::max(width, kind.sizeTwips.width());
        height = std::max(height, kind.sizeTwips.height());
    }
    // Two pixels beside and under the largest child keep the MDI area's scroll bars away.
    const QSize wanted = twipsToPixels(width, height) + QSize(2, 2) + frameExtra;
    if (wanted.width() > available.width() || wanted.height() > available.height())
        return std::nullopt;
    return wanted;
}

void MainFrm::fitToScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Menu bar, status bar and a window manager's frame around the client area.
    constexpr int FrameAllowance = 40;
    const QSize extra(
        8, menuBar()->sizeHint().height() + statusBar()->sizeHint().height() + FrameAllowance);
    if (const std::optional<QSize> size = firstStartSize(available.size(), extra)) {
        resize(*size - QSize(0, FrameAllowance));
        move(available.topLeft() + QPoint((available.width() - size->width()) / 2, 0));
    } else {
        resize(available.size() - QSize(0, FrameAllowance));
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainFrm::fitIntoArea(QMdiSubWindow *window) const
{
    if (!window || window->isMaximized() || window->isMinimized())
        return;
    const QSize area = m_mdi->viewport()->size();
    QRect r = window->geometry();
    r.setSize(r.size().boundedTo(area));
    if (r.right() >= area.width())
        r.moveRight(area.width() - 1);
    if (r.bottom() >= area.height())
        r.moveBottom(area.height() - 1);
    r.moveTopLeft(QPoint(std::max(r.left(), 0), std::max(r.top(), 0)));
    window->setGeometry(r);
}

void MainFrm::restoreLayout()
{
    m_layoutRestored = true;
    QSettings settings(u8(LayoutOrganization), u8(LayoutApplication));
    settings.beginGroup(QStringLiteral("MainWindow"));
    if (const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
        !geometry.isEmpty())
        restoreGeometry(geometry);
    if (const QByteArray state = settings.value(QStringLiteral("state")).toByteArray();
        !state.isEmpty())
        restoreState(state);
}

void MainFrm::saveLayout() const
{
    QSettings settings(u8(LayoutOrganization), u8(LayoutApplication));
    settings.beginGroup(QStringLiteral("MainWindow"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("state"), saveState());
}

Status MainFrm::startUp(
    const std::filesystem::path &databaseFile, const std::filesystem::path &seedHistory)
{
    readSettings();
    BusyCursor busy;
    processPendingEventsOnce();
    setPropEnd(true);

    Status status = m_database.openOrCreate(databaseFile, seedHistory);
    if (status)
        status = loadDatedHistory(m_database, m_loadedHistory);
    if (!status) {
        m_database.close();
        showMessage(QMessageBox::Critical, u8(MessageTitle),
            tr("当選データのデータベースを開けません。\n%1\n%2")
                .arg(CoreReasons::japanese(status),
                    tr("ファイルが壊れていないか、ほかのプログラムが使っていないか確かめてください"
                       "。")));
        return status;
    }
    rebuildFromHistory();
    return status;
}

Status MainFrm::reloadHistory()
{
    Status status;
    {
        BusyCursor busy;
        // A fresh connection: an update puts a new file in place of the one opened at start-up.
        Database fresh;
        DrawHistory loaded;
        status = m_database.path().empty()
            ? Status::failure(tr("データベースが開かれていません。").toStdString())
            : fresh.open(m_database.path());
        if (status)
            status = loadDatedHistory(fresh, loaded);
        if (status) {
            m_database = std::move(fresh);
            m_loadedHistory = std::move(loaded);
            rebuildFromHistory();
        }
    }
    if (!status)
        showMessage(QMessageBox::Critical, u8(MessageTitle),
            tr("当選データを読み直せませんでした。表示は前のデータのままです。\n%1\n"
               "プログラムを起動し直してください。")
                .arg(CoreReasons::japanese(status)));
    return status;
}

void MainFrm::rebuildFromHistory()
{
    // The one place the history in use is derived from the loaded draws.
    m_history = m_loadedHistory.cutAfter(m_asOf);
    m_totals = computeTotals(m_history);
    // Fresh prediction tables; the switches live in m_options and stay.
    m_engine = PredictionEngine();

    m_historyStatus->setText(m_asOf == DrawHistory::NoCut
            ? historySummary(m_history)
            : tr("基準回 第%1回　").arg(m_asOf) + historySummary(m_history));
    const StoredValuesCheck check = checkStoredValues(m_history.records());
    if (const int skipped = m_history.malformedCount(); skipped > 0)
        statusBar()->showMessage(
            tr("数字欄が正しくない当選データ %1 件を読み飛ばしました。").arg(skipped));
    else if (check.count > 0)
        statusBar()->showMessage(
            tr("取り込みでは受け付けない値を持つ当選データが %1 件あります（最初は第%2回）。")
                .arg(check.count)
                .arg(check.firstDraw));
    for (QMdiSubWindow *window : m_mdi->subWindowList())
        if (auto *child = qobject_cast<ChildWindow *>(window->widget());
            child && child->isLoaded() && !window->isHidden())
            child->refresh();
    emit historyRebuilt();
}

void MainFrm::setAsOf(int drawNo)
{
    m_asOf = drawNo;
    rebuildFromHistory();
}

QString MainFrm::historySummary(const DrawHistory &history)
{
    if (history.empty())
        return tr("当選データがありません");
    const DrawRecord &last = history.records().back();
    const QString date
        = last.date.empty() ? QString() : tr("（%1）").arg(QString::fromStdString(last.date));
    return tr("第%1回%2まで　%3回分").arg(last.drawNo).arg(date).arg(history.size());
}

void MainFrm::readSettings()
{
    // A missing settings file leaves every switch off with nothing to report; any other
    // failure, and lines that were not understood, show in the status bar.
    std::vector<int> notUnderstood;
    std::error_code ec;
    const Status read = readInitFile(settingsFile(), m_options, &notUnderstood);
    if (!read && std::filesystem::exists(settingsFile(), ec))
        statusBar()->showMessage(tr("設定ファイルを読めないため、予想の設定はすべてオフです: %1")
                                     .arg(CoreReasons::japanese(read)));
    else if (!notUnderstood.empty()) {
        QStringList lines;
        for (int line : notUnderstood)
            lines << QString::number(line);
        statusBar()->showMessage(
            tr("設定ファイルの %1 行目を読み取れず、無視しました。").arg(lines.join(u", ")));
    }
    restoreLayout();
}

void MainFrm::writeSettings()
{
    if (m_layoutRestored)
        saveLayout();
    const Status status = writeInitFile(settingsFile(), m_options);
    if (!status)
        qWarning().noquote() << tr("設定ファイルを書き込めません:")
                             << QString::fromStdString(status.message());
    emit settingsWritten(status);
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
    if (m_message)
        m_message(icon, title, text);
    for (const QCursor &cursor : stacked)
        QApplication::setOverrideCursor(cursor);
}

QMdiSubWindow *MainFrm::childWindow(const QString &className) const
{
    QMdiSubWindow *window = m_children.value(className);
    // A closed window is hidden until its deferred deletion; it counts as gone.
    return window && !window->isHidden() ? window : nullptr;
}

QMdiSubWindow *MainFrm::showChild(const QString &className, const ChildFactory &create)
{
    if (QMdiSubWindow *open = childWindow(className)) {
        m_mdi->setActiveSubWindow(open);
        open->raise();
        return open;
    }

    BusyCursor busy;
    processPendingEventsOnce();
    QWidget *widget = create(*this);
    if (!widget)
        return nullptr;
    QMdiSubWindow *window = m_mdi->addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
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
    fitIntoArea(window);
    m_mdi->setActiveSubWindow(window);
    return window;
}

QMdiSubWindow *MainFrm::openChild(const QString &action)
{
    const auto kind = std::find_if(m_kinds.begin(), m_kinds.end(),
        [&action](const ChildKind &k) { return k.action == action; });
    if (kind == m_kinds.end())
        return nullptr;
    if (kind->alone) {
        BusyCursor busy;
        if (!m_propEnd) {
            showMessage(QMessageBox::Critical, u8(MessageTitle),
                tr("表示中のウィンドウを閉じないと実行できません。"));
            return nullptr;
        }
    }
    return showChild(kind->className, kind->create);
}

void MainFrm::setChildFactory(const QString &action, ChildFactory create)
{
    for (ChildKind &kind : m_kinds)
        if (kind.action == action)
            kind.create = std::move(create);
}

void MainFrm::showAnalysis(const AnalysisInfo &info)
{
    showChild(QString::fromUtf8(info.className.data(), qsizetype(info.className.size())),
        [&info](MainFrm &frame) { return new AnalysisWindow(frame, info); });
}

void MainFrm::showAbout()
{
    BusyCursor busy;
    processPendingEventsOnce();
    if (!m_about) {
        m_about = new AboutWindow(this);
        m_about->move(AboutWindow::positionFor(frameGeometry()));
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainFrm::showHelp()
{
    const std::filesystem::path file = helpFile();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        showMessage(QMessageBox::Critical, u8(MessageTitle),
            tr("ヘルプファイルが見つかりません。\n%1").arg(QString::fromStdString(file.string())));
        return;
    }
    if (!m_help)
        m_help = new HelpWindow(QString::fromStdString(file.string()), this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    m_help->showTopic(u8(HelpTopic));
}

int MainFrm::lineUpIcons()
{
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    int bottom = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow *window : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden() || !window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return bottom - rowHeight;
}

void MainFrm::arrangeIcons() { lineUpIcons(); }

void MainFrm::tile(Qt::Orientation orientation)
{
    const int top = lineUpIcons();
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden() && !window->isMinimized())
            windows.append(window);
    if (windows.isEmpty())
        return;

    const QRect area(0, 0, m_mdi->viewport()->width(), std::max(top, 1));
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        if (!window->property(UntiledSize).isValid())
            window->setProperty(UntiledSize, window->size());
        if (orientation == Qt::Vertical) {
            const int y1 = area.height() * i / n;
            const int y2 = area.height() * (i + 1) / n;
            window->setGeometry(0, y1, area.width(), y2 - y1);
        } else {
            const int x1 = area.width() * i / n;
            const int x2 = area.width() * (i + 1) / n;
            window->setGeometry(x1, 0, x2 - x1, area.height());
        }
    }
}

void MainFrm::tileOneAboveTheOther() { tile(Qt::Vertical); }

void MainFrm::tileSideBySide() { tile(Qt::Horizontal); }

void MainFrm::cascade()
{
    // Each window keeps its own size (the one before a tiling), cut to what is left of the
    // area below and right of it.
    const QSize area = m_mdi->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
    int offset = 0;
    for (QMdiSubWindow *window : m_mdi->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        if (offset + step * 4 > area.width() || offset + step * 4 > area.height())
            offset = 0;
        QSize own = window->size();
        if (const QVariant untiled = window->property(UntiledSize); untiled.isValid()) {
            own = untiled.toSize();
            window->setProperty(UntiledSize, QVariant());
        }
        const QSize size = own.boundedTo(area - QSize(offset, offset));
        window->setGeometry(QRect(QPoint(offset, offset), size));
        window->raise();
        offset += step;
    }
}

void MainFrm::closeActiveChild()
{
    if (QMdiSubWindow *window = m_mdi->activeSubWindow())
        window->close();
}

void MainFrm::fillWindowMenu()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    int number = 0;
    for (QMdiSubWindow *window : windows) {
        if (window->isHidden())
            continue;
        ++number;
        const QString caption = number < 10
            ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
            : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
        QAction *item = new QAction(caption, m_windowMenu);
        item->setObjectName(QStringLiteral("mnuWindowList%1").arg(number));
        item->setCheckable(true);
        item->setChecked(window == m_mdi->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, window = QPointer(window)] {
            if (window) {
                m_mdi->setActiveSubWindow(window);
                window->raise();
            }
        });
        if (number == 1)
            m_windowListActions.append(m_windowMenu->addSeparator());
        m_windowMenu->addAction(item);
        m_windowListActions.append(item);
    }
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

    writeSettings();
    m_history = DrawHistory();
    m_database.close();

    BusyCursor busy;
    processPendingEventsOnce();
}

} // namespace loto6
