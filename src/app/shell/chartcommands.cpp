#include "shell/chartcommands.h"

#include "chart/chartcatalog.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "windows/chartwindow.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>

namespace loto6 {

namespace {

constexpr Rgb ChartButtonColor = rgb(200, 230, 255);

} // namespace

ChartWindow *openChart(MainFrm &frame, std::string_view chart)
{
    // A new window opens on the chart, so that it is built once.
    ChartWindow::setOpeningChart(chart);
    QMdiSubWindow *sub = frame.openChild(qs(windowclass::Chart));
    ChartWindow::setOpeningChart({});
    auto *window = sub ? qobject_cast<ChartWindow *>(sub->widget()) : nullptr;
    if (window)
        window->showChart(chart);
    return window;
}

QPushButton *chartButton(MainFrm &frame, std::string_view table, QWidget *parent)
{
    const std::vector<const ChartInfo *> offered = chartsOfTable(table);
    if (offered.empty())
        return nullptr;
    auto *button = colouredButton(
        QObject::tr("グラフ"), ChartButtonColor, QStringLiteral("cmdGraph"), parent);
    button->setToolTip(qs(offered.front()->description));
    QObject::connect(button, &QPushButton::clicked, parent,
        [&frame, name = offered.front()->name] { openChart(frame, name); });
    return button;
}

void addChartCommands(MainFrm &frame, QMenu &menu)
{
    menu.addSeparator();
    for (const ChartInfo &info : charts()) {
        QAction *command = menu.addAction(qs(info.caption));
        command->setObjectName(QStringLiteral("mnuGraph-") + qs(info.name));
        command->setStatusTip(qs(info.description));
        QObject::connect(command, &QAction::triggered, &frame,
            [&frame, name = info.name] { openChart(frame, name); });
    }
}

} // namespace loto6
