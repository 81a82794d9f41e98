#include "commands/asofcommands.h"

#include "shell/mainfrm.h"

#include <QAction>

namespace loto6 {

void AsOfCommands::install(MainFrm &frame)
{
    QAction *choose = frame.commands().asOf;
    QAction *clear = frame.commands().asOfClear;
    choose->setEnabled(true);
    clear->setEnabled(frame.document().asOf() != DrawHistory::NoCut);
    QObject::connect(choose, &QAction::triggered, &frame, [&frame, clear] {
        const auto &all = frame.document().loadedHistory();
        const int latest = all.empty() ? 1 : std::max(1, all.records().back().drawNo);
        const int current
            = frame.document().asOf() == DrawHistory::NoCut ? latest : frame.document().asOf();
        const std::optional<int> n = frame.dialogs().askNumber(&frame, QObject::tr("基準回を指定"),
            QObject::tr("第何回までの当選データで表示しますか（1～%1）。\n"
                        "開いている画面も、これから開く画面も、その回までで計算します。")
                .arg(latest),
            current, 1, latest);
        if (!n)
            return;
        frame.document().setAsOf(*n);
        clear->setEnabled(true);
    });
    QObject::connect(clear, &QAction::triggered, &frame, [&frame, clear] {
        frame.document().setAsOf(DrawHistory::NoCut);
        clear->setEnabled(false);
    });
}

} // namespace loto6
