#include "chancewindow.h"

#include "analysis/chance.h"
#include "appfonts.h"
#include "mainfrm.h"
#include "sheetmodel.h"
#include "sheetview.h"
#include "uihelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace loto6 {

ChanceWindow::ChanceWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_grid(new SheetView(this))
{
    setObjectName(QString::fromUtf8(ClassName));
    setWindowTitle(qs(ChanceCaption));
    setFont(gridFont());

    auto *description = new QLabel(qs(ChanceDescription), this);
    description->setObjectName(QStringLiteral("Label1"));
    description->setWordWrap(true);
    // Read one test at a time and a fair history still shows a small p-value now and then.
    auto *note = new QLabel(tr("多くの検定を一度に表示しています。偶然でもどれかのp値は小さくなりやすいため、"
                               "Holm法で補正したp値が基準を下回った検定だけを「注目」としています。"),
        this);
    note->setObjectName(QStringLiteral("Label2"));
    note->setWordWrap(true);

    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(description);
    texts->addWidget(note);
    auto *top = new QHBoxLayout;
    top->addLayout(texts, 1);
    top->addWidget(close, 0, Qt::AlignTop);

    m_grid->setObjectName(QStringLiteral("fpSpread1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
}

QWidget *ChanceWindow::create(MainFrm &frame) { return new ChanceWindow(frame); }

QSize ChanceWindow::sizeTwips() const { return {WidthTwips, HeightTwips}; }

void ChanceWindow::compute()
{
    m_grid->setSheet(buildChance(mainFrm().history(), mainFrm().totals()));
    m_grid->scrollToTop();
}

} // namespace loto6
