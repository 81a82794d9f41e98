#include "shell/statusline.h"

#include "document/historydocument.h"
#include "views/elidedlabel.h"

#include <QLabel>
#include <QStatusBar>

namespace loto6 {

QLabel *createStatusLine(QStatusBar &bar)
{
    // The whole message is in the line's tooltip; the status bar's own drawing would cut it off.
    auto *message = new ElidedLabel(QString(), 1, &bar);
    message->setObjectName(QStringLiteral("statusMessage"));
    bar.addPermanentWidget(message, 1);
    QObject::connect(&bar, &QStatusBar::messageChanged, message, &ElidedLabel::setText);
    auto *history = new QLabel(&bar);
    history->setObjectName(QStringLiteral("historyStatus"));
    bar.addPermanentWidget(history);
    return history;
}

void showHistoryStatus(QStatusBar &bar, QLabel &historyLabel, const HistoryDocument &document)
{
    const DrawHistory &history = document.history();
    const int asOf = document.asOf();
    historyLabel.setText(asOf == DrawHistory::NoCut
            ? HistoryDocument::summary(history)
            : QStatusBar::tr("基準回 第%1回　").arg(asOf) + HistoryDocument::summary(history));
    const StoredValuesCheck &check = document.storedValues();
    if (const int skipped = history.malformedCount(); skipped > 0)
        bar.showMessage(
            QStatusBar::tr("数字欄が正しくない当選データ %1 件を読み飛ばしました。").arg(skipped));
    else if (check.count > 0)
        bar.showMessage(QStatusBar::tr("取り込みでは受け付けない値を持つ当選データが %1 件あります"
                                       "（最初は第%2回）。")
                            .arg(check.count)
                            .arg(check.firstDraw));
}

} // namespace loto6
