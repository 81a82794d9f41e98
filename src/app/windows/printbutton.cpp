#include "windows/printbutton.h"

#include "shell/childwindow.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "views/printpreview.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace loto6 {

namespace {

constexpr const char *PrintCommandProperty = "printsWindow";

} // namespace

void markPrintCommand(QPushButton *button) { button->setProperty(PrintCommandProperty, true); }

void printActiveWindow(MainFrm &frame)
{
    if (QMdiSubWindow *active = frame.mdiArea()->activeSubWindow())
        for (QPushButton *button : active->widget()->findChildren<QPushButton *>())
            if (button->property(PrintCommandProperty).toBool() && button->isEnabled()) {
                button->click();
                return;
            }
    frame.statusBar()->showMessage(
        QObject::tr("前にあるウィンドウには印刷できるものがありません。"
                    "表やグラフのウィンドウを前に出してから印刷してください。"),
        8000);
}

void enablePrint(QPushButton *button, ChildWindow &window, PrintGrids grids)
{
    button->setEnabled(true);
    markPrintCommand(button);
    button->setToolTip(QObject::tr("表の印刷プレビューを開きます。PDF にも保存できます。"));
    QObject::connect(button, &QPushButton::clicked, &window, [&window, grids = std::move(grids)] {
        QList<const Sheet *> sheets;
        for (const SheetView *grid : grids())
            if (grid && grid->sheetModel())
                sheets.append(&grid->sheetModel()->sheet());
        printSheets(&window, sheets, window.windowTitle(), historyRange(window.mainFrm()));
    });
}

QPushButton *printButton(ChildWindow &window, QWidget *parent, PrintGrids grids)
{
    QPushButton *button
        = colouredButton(QObject::tr("印刷"), PrintButtonColor, QStringLiteral("Command2"), parent);
    enablePrint(button, window, std::move(grids));
    return button;
}

QPushButton *printNoteButton(ChildWindow &window, QWidget *parent, std::function<void()> print)
{
    QPushButton *button
        = colouredButton(QObject::tr("印刷"), PrintButtonColor, QStringLiteral("Command2"), parent);
    markPrintCommand(button);
    button->setToolTip(QObject::tr("印刷用のページのプレビューを開きます。PDF にも保存できます。"));
    QObject::connect(button, &QPushButton::clicked, &window, std::move(print));
    return button;
}

QList<SheetView *> gridsOfShownTab(const QTabWidget &tabs)
{
    if (QWidget *shown = tabs.currentWidget()) {
        if (auto *grid = qobject_cast<SheetView *>(shown))
            return {grid};
        if (const QList<SheetView *> inside
            = shown->findChildren<SheetView *>(QString(), Qt::FindDirectChildrenOnly);
            !inside.isEmpty())
            return inside;
    }
    QList<SheetView *> every;
    for (int i = 0; i < tabs.count(); ++i) {
        if (auto *grid = qobject_cast<SheetView *>(tabs.widget(i)))
            every.append(grid);
        else
            every.append(
                tabs.widget(i)->findChildren<SheetView *>(QString(), Qt::FindDirectChildrenOnly));
    }
    return every;
}

QString historyRange(const MainFrm &frame)
{
    const DrawHistory &history = frame.document().history();
    if (history.empty())
        return QObject::tr("当選データなし");
    const QString range = QObject::tr("第%1回～第%2回")
                              .arg(history.records().front().drawNo)
                              .arg(history.records().back().drawNo);
    if (frame.document().asOf() == DrawHistory::NoCut)
        return range;
    return QObject::tr("基準回 第%1回（%2）").arg(frame.document().asOf()).arg(range);
}

} // namespace loto6
