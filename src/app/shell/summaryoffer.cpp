#include "shell/summaryoffer.h"

#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>

namespace loto6 {

void installSummaryOffer(MainFrm &frame)
{
    auto *offer = new QPushButton(&frame);
    offer->setObjectName(QStringLiteral("cmdSummaryOffer"));
    offer->setToolTip(QObject::tr("新しい回の抽せん結果と、購入番号・予想記録の当せん、"
                                  "次の回の予想をまとめて見ます。"));
    offer->hide();
    frame.statusBar()->addPermanentWidget(offer);
    const QString summary = qs(windowclass::Summary);
    QObject::connect(offer, &QPushButton::clicked, &frame, [&frame, offer, summary] {
        offer->hide();
        frame.openChild(summary);
    });
    QObject::connect(
        &frame.document(), &HistoryDocument::newDrawArrived, offer, [offer](int drawNo) {
            offer->setText(QObject::tr("第%1回の結果を見る（今回の結果）").arg(drawNo));
            offer->show();
        });
    // Opened another way, the window is what the offer offered.
    QObject::connect(frame.mdiArea(), &QMdiArea::subWindowActivated, offer,
        [offer, summary](QMdiSubWindow *window) {
            if (window && window->widget() && window->widget()->objectName() == summary)
                offer->hide();
        });
}

} // namespace loto6
