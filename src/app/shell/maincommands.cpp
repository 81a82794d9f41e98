#include "shell/maincommands.h"

#include "shell/uihelpers.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QToolBar>

namespace loto6 {

namespace {

// A command of the main window itself: where its handle goes, its object name, text and keys.
struct CommandEntry
{
    QAction *MainCommands::*handle;
    const char *name;
    const char *text;
    QKeyCombination key = Qt::Key_unknown;
    QKeyCombination otherKey = Qt::Key_unknown;
};

const CommandEntry Commands[] = {
    {&MainCommands::end, "mnuEnd", "終了(&X)", Qt::CTRL | Qt::Key_Q},
    {&MainCommands::update, "mnuMasterUpdate", "当選データ最新化(&U)", Qt::Key_F5},
    {&MainCommands::csvImport, "mnuCsvTorikomi", "CSVから取り込み...", Qt::CTRL | Qt::Key_O},
    {&MainCommands::csvExport, "mnuCsvKakidashi", "CSVへ書き出し..."},
    {&MainCommands::asOf, "mnuKijunkai", "基準回を指定..."},
    {&MainCommands::asOfClear, "mnuKijunkaiKaijo", "最新の回に戻す"},
    {&MainCommands::print, "mnuPrint", "印刷(&P)...", Qt::CTRL | Qt::Key_P},
    {&MainCommands::tileHorizontal, "mnuWindowHorizontal", "上下に並べて表示(&H)"},
    {&MainCommands::tileVertical, "mnuWindowVertical", "左右に並べて表示(&V)"},
    {&MainCommands::cascade, "mnuWindowCascade", "重ねて表示(&C)"},
    {&MainCommands::arrangeIcons, "mnuWindowArrangeIcon", "アイコンの整列(&A)"},
    {&MainCommands::nextChild, "actNextChild", "次のウィンドウ(&N)", Qt::CTRL | Qt::Key_Tab},
    // The key arrives as Backtab; the menu names it as printed on the keyboard.
    {&MainCommands::previousChild, "actPreviousChild", "前のウィンドウ(&P)\tCtrl+Shift+Tab",
        Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab},
    {&MainCommands::closeChild, "actCloseChild", "閉じる(&O)", Qt::CTRL | Qt::Key_F4,
        Qt::CTRL | Qt::Key_W},
    {&MainCommands::help, "mnuHelpFile", "ヘルプ(&H)", Qt::Key_F1},
    {&MainCommands::about, "mnuAbout", "バージョン情報(&A)"},
};

// The menus: object name, text and the menu they sit in (none: the menu bar).
struct MenuEntry
{
    const char *name;
    const char *text;
    const char *parent = nullptr;
};

const MenuEntry Menus[] = {
    {"mnuMain", "データ分析(&S)"},
    {"mnuHindo", "頻度分析", "mnuMain"},
    {"mnuKankaku", "間隔分析", "mnuMain"},
    {"mnuPattern", "組合せパターン分析", "mnuMain"},
    {"mnuBunkatsuData", "分割データ分析", "mnuMain"},
    {"mnuGraphMenu", "グラフ(&G)"},
    {"mnuHosyu", "データ管理(&M)"},
    {"mnuWindow", "ウィンドウ(&W)"},
    {"mnuHelp", "ヘルプ(&H)"},
};

// Where each command sits, in order: the menu (none: the menu bar itself) and the command's
// object name; "-" is a line between groups. Submenus take the place of their first item.
struct Placement
{
    const char *menu;
    const char *command;
};

const Placement Layout[] = {{nullptr, "mnuEnd"}, {nullptr, "mnuYoso"},
    {"mnuHindo", "mnuSyutugenHindo"}, {"mnuHindo", "mnuSyutugenKaisu"},
    {"mnuKankaku", "mnuSyutugenKankaku"}, {"mnuKankaku", "mnuNumberKankaku"},
    {"mnuMain", "mnuZenkaiSyutugen"}, {"mnuMain", "mnuBaratsuki"}, {"mnuMain", "mnuHippari"},
    {"mnuMain", "mnuRenbanTobiishi"}, {"mnuMain", "mnuHonsuji"},
    {"mnuPattern", "mnuLowHightPattern"}, {"mnuPattern", "mnuKisuGusuPattern"},
    {"mnuMain", "mnu5BunkatsuKeiko"}, {"mnuBunkatsuData", "mnu6BunkatsuData"},
    {"mnuBunkatsuData", "mnu7BunkatsuData"}, {"mnuBunkatsuData", "mnu11BunkatsuData"},
    {"mnuMain", "mnuLastChar"}, {"mnuMain", "mnuLastCharRenzoku"}, {"mnuMain", "*analyses"},
    {"mnuMain", "mnuGuzenHikaku"}, {"mnuMain", "mnuYosoKensyo"}, {"mnuMain", "-"},
    {"mnuMain", "mnuKijunkai"}, {"mnuMain", "mnuKijunkaiKaijo"}, {"mnuGraphMenu", "mnuGraph"},
    {"mnuHosyu", "mnuMasterUpdate"}, {"mnuHosyu", "mnuMasterInput"}, {"mnuHosyu", "mnuKonkaiKekka"},
    {"mnuHosyu", "mnuCsvTorikomi"}, {"mnuHosyu", "mnuCsvKakidashi"}, {"mnuHosyu", "mnuKonyuBango"},
    {"mnuHosyu", "mnuBangoSekkei"}, {"mnuHosyu", "mnuNinkido"}, {"mnuHosyu", "-"},
    {"mnuHosyu", "mnuPrint"}, {"mnuMain", "*windows"}, {"mnuWindow", "mnuWindowHorizontal"},
    {"mnuWindow", "mnuWindowVertical"}, {"mnuWindow", "mnuWindowCascade"},
    {"mnuWindow", "mnuWindowArrangeIcon"}, {"mnuWindow", "-"}, {"mnuWindow", "actNextChild"},
    {"mnuWindow", "actPreviousChild"}, {"mnuWindow", "actCloseChild"}, {"mnuWindow", "mnuToolbar"},
    {"mnuHelp", "mnuHelpFile"}, {"mnuHelp", "mnuAbout"}};

// The everyday commands on the toolbar; "-" is a gap.
const char *const ToolbarCommands[] = {"mnuMasterUpdate", "mnuCsvTorikomi", "mnuMasterInput",
    "mnuKonkaiKekka", "-", "mnuYoso", "mnuKonyuBango", "-", "mnuPrint"};

// Marks the items of the window list, which are made again each time the menu opens.
constexpr const char *WindowListItem = "windowListItem";

// A window's title as its frame shows it: Qt's "[*]" mark of unsaved changes as "*" or
// nothing.
QString shownTitle(const QWidget &window)
{
    QString title = window.windowTitle();
    return title.replace(
        QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
}

// The list of open windows under the window commands: the first nine with their access keys,
// the others in a submenu, so that the menu fits any screen however many are open.
void fillWindowList(QMenu &menu, QMdiArea &area)
{
    constexpr int Listed = 9;
    for (QAction *item : menu.actions()) {
        if (!item->property(WindowListItem).toBool())
            continue;
        if (QMenu *sub = item->menu())
            delete sub; // its own action and its items go with it
        else
            delete item;
    }
    QMenu *more = nullptr;
    int number = 0;
    for (QMdiSubWindow *window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden())
            continue;
        ++number;
        const QString title = shownTitle(window->widget() ? *window->widget() : *window);
        const QString caption = number <= Listed ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                 : QStringLiteral("%1 %2").arg(number).arg(title);
        if (number == 1)
            menu.addSeparator()->setProperty(WindowListItem, true);
        if (number == Listed + 1) {
            more = new QMenu(QObject::tr("その他のウィンドウ(&M)"), &menu);
            more->menuAction()->setObjectName(QStringLiteral("mnuWindowListMore"));
            more->menuAction()->setProperty(WindowListItem, true);
            menu.addMenu(more);
        }
        QMenu &into = more ? *more : menu;
        auto *item = new QAction(caption, &into);
        item->setObjectName(QStringLiteral("mnuWindowList%1").arg(number));
        item->setCheckable(true);
        item->setChecked(window == area.activeSubWindow());
        QObject::connect(item, &QAction::triggered, &area, [&area, window = QPointer(window)] {
            if (window) {
                area.setActiveSubWindow(window);
                window->raise();
            }
        });
        item->setProperty(WindowListItem, true);
        into.addAction(item);
    }
}

QAction *makeAction(QMainWindow &window, const QString &name, const QString &text)
{
    auto *action = new QAction(text, &window);
    action->setObjectName(name);
    // Window-wide, so that the keys work wherever the focus is inside the main window.
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

void createCommands(QMainWindow &window, const std::vector<ChildKind> &kinds, MainCommands &out,
    QHash<QString, QAction *> &byName)
{
    for (const CommandEntry &entry : Commands) {
        QAction *action = makeAction(window, qs(entry.name), qs(entry.text));
        QList<QKeySequence> keys;
        for (QKeyCombination key : {entry.key, entry.otherKey})
            if (key.key() != Qt::Key_unknown)
                keys << QKeySequence(key);
        action->setShortcuts(keys);
        out.*entry.handle = action;
        byName.insert(action->objectName(), action);
    }
    for (const ChildKind &kind : kinds) {
        QAction *action = makeAction(window, kind.action, kind.menuText);
        if (!kind.shortcut.isEmpty())
            action->setShortcut(kind.shortcut);
        out.open.insert(kind.className, action);
        byName.insert(kind.action, action);
    }
}

void createToolBar(QMainWindow &window, MainCommands &out, QHash<QString, QAction *> &byName)
{
    out.toolBar = new QToolBar(QStringLiteral("ツールバー"), &window);
    out.toolBar->setObjectName(QStringLiteral("toolBar"));
    out.toolBar->setMovable(false);
    window.addToolBar(out.toolBar);
    out.toolbar = out.toolBar->toggleViewAction();
    out.toolbar->setObjectName(QStringLiteral("mnuToolbar"));
    out.toolbar->setText(QStringLiteral("ツールバーを表示(&T)"));
    byName.insert(out.toolbar->objectName(), out.toolbar);
    for (const char *name : ToolbarCommands) {
        if (qs(name) == QStringLiteral("-"))
            out.toolBar->addSeparator();
        else if (QAction *action = byName.value(qs(name)))
            out.toolBar->addAction(action);
    }
}

// Places the commands in the menus as the layout says; a menu comes into its parent (or the
// menu bar) where its first item is placed.
class MenuBuilder
{
public:
    explicit MenuBuilder(QMainWindow &window)
        : m_window(window)
    {
        for (const MenuEntry &entry : Menus) {
            QMenu *parent = entry.parent ? m_menus.value(qs(entry.parent)) : nullptr;
            auto *menu = new QMenu(
                qs(entry.text), parent ? static_cast<QWidget *>(parent) : window.menuBar());
            menu->setObjectName(qs(entry.name));
            menu->menuAction()->setObjectName(qs(entry.name));
            m_menus.insert(menu->objectName(), menu);
        }
    }
    QMenu *menu(const QString &name) const { return m_menus.value(name); }
    // Adds the command (a line for nullptr) unless it is placed already.
    void add(const QString &menuName, QAction *action)
    {
        if (action && m_placed.contains(action))
            return;
        m_placed.insert(action);
        QMenu *target = m_menus.value(menuName);
        if (!target) {
            m_window.menuBar()->addAction(action);
            return;
        }
        for (QMenu *m = target; m && !m_shown.contains(m);) {
            m_shown.insert(m);
            QMenu *parent = qobject_cast<QMenu *>(m->parentWidget());
            if (parent)
                parent->addMenu(m);
            else
                m_window.menuBar()->addMenu(m);
            m = parent;
        }
        if (action)
            target->addAction(action);
        else
            target->addSeparator();
    }

private:
    QMainWindow &m_window;
    QHash<QString, QMenu *> m_menus;
    QSet<QAction *> m_placed;
    QSet<QMenu *> m_shown;
};

} // namespace

MainCommands createMainCommands(
    QMainWindow &window, QMdiArea &area, const std::vector<ChildKind> &kinds)
{
    MainCommands out;
    QHash<QString, QAction *> byName;
    createCommands(window, kinds, out, byName);
    createToolBar(window, out, byName);

    MenuBuilder menus(window);
    for (const Placement &p : Layout) {
        const QString name = qs(p.command);
        const QString menu = p.menu ? qs(p.menu) : QString();
        const bool analyses = name == QStringLiteral("*analyses");
        if (name == QStringLiteral("-"))
            menus.add(menu, nullptr);
        else if (analyses || name == QStringLiteral("*windows")) {
            for (const ChildKind &kind : kinds)
                if (kind.analysis || !analyses)
                    menus.add(menu, out.open.value(kind.className));
        } else if (QAction *action = byName.value(name))
            menus.add(menu, action);
    }
    out.windowMenu = menus.menu(QStringLiteral("mnuWindow"));
    out.chartMenu = menus.menu(QStringLiteral("mnuGraphMenu"));
    QObject::connect(out.windowMenu, &QMenu::aboutToShow, out.windowMenu,
        [menu = out.windowMenu, &area] { fillWindowList(*menu, area); });
    return out;
}

} // namespace loto6
