// The draw-day commands (import, 最新化, a dropped file) run with the entry window open: they
// ask only when it holds a half-typed row, and it reads the database again after them.

#include "commands/historymenucommands.h"

#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "windows/entrywindow.h"

#include <QMdiSubWindow>

namespace loto6 {

namespace {

EntryWindow *openEntryWindow(const MainFrm &frame)
{
    QMdiSubWindow *window = frame.childWindow(qs(windowclass::Entry));
    return window ? qobject_cast<EntryWindow *>(window->widget()) : nullptr;
}

} // namespace

bool HistoryCommands::entryLetsRun(const QString &command)
{
    EntryWindow *entry = openEntryWindow(m_frame);
    if (!entry)
        return true;
    const QStringList rows = entry->unsavedRowsBeforeCommand();
    if (rows.isEmpty())
        return true;
    m_frame.openChild(qs(windowclass::Entry));
    return ask(tr("当選データ入力に、まだ保存されていない行があります。\n\n%1\n\n"
                  "このまま%2を実行しますか？\n"
                  "「はい」: 実行します。この行は消えずに当選データ入力に残り、"
                  "数字がそろうと保存されます。\n"
                  "「いいえ」: 何もせずに当選データ入力に戻ります。")
                   .arg(rows.join(QLatin1Char('\n')), command));
}

void HistoryCommands::rereadEntry()
{
    if (EntryWindow *entry = openEntryWindow(m_frame))
        entry->rereadDatabase();
}

} // namespace loto6
