// The entry window's side of a command that writes the database while it is open (import,
// 最新化, a dropped file): what it holds unsaved before, and a fresh reading after.

#include "windows/entrywindow.h"

#include "commands/corereasons.h"
#include "entry/drawtablemodel.h"
#include "entry/drawtableview.h"
#include "shell/mainfrm.h"

namespace loto6 {

QStringList EntryWindow::unsavedRowsBeforeCommand()
{
    commitOpenEditor();
    // The rows complete and right are written, as leaving them would.
    if (Status s = m_model->saveAll(); !s)
        reportWriteFailure(s);
    return m_model->unsavedRowTexts();
}

void EntryWindow::rereadDatabase()
{
    commitOpenEditor();
    const QModelIndex current = m_grid->currentIndex();
    const int drawNo = current.isValid() ? m_model->drawNumber(current.row()) : 0;
    const int column = current.isValid() ? current.column() : DrawTableModel::FirstNumberColumn;
    if (Status s = m_model->reopen(mainFrm().document().database().path()); !s) {
        showError(tr("当選データ入力がデータベースを読み直せませんでした。入力内容はそのまま"
                     "残っています。当選データ入力を閉じて開き直してください。\n%1")
                      .arg(CoreReasons::japanese(s)));
        return;
    }
    // The cell in use stays in use, on the same draw.
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (drawNo > 0 && m_model->drawNumber(r) == drawNo) {
            const QModelIndex at = m_model->index(r, column);
            m_grid->setCurrentIndex(at);
            m_grid->scrollTo(at);
            return;
        }
}

} // namespace loto6
