#include "windows/chancewindow.h"

#include "analysis/chance.h"
#include "shell/appfonts.h"
#include "shell/chartcommands.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "views/elidedlabel.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace loto6 {

ChanceWindow::ChanceWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_grid(new SheetView(this))
    , m_notes(notesLabel(this))
{
    setObjectName(QString::fromUtf8(windowclass::Chance));
    setWindowTitle(qs(ChanceCaption));
    setFont(gridFont());

    auto *description = new ElidedLabel(qs(ChanceDescription), 2, this);
    description->setObjectName(QStringLiteral("Label1"));

    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    auto *top = new QHBoxLayout;
    top->addWidget(description, 1);
    top->addWidget(printButton(*this, this, [this] { return QList{m_grid}; }), 0, Qt::AlignTop);
    top->addWidget(chartButton(frame, "chance", this), 0, Qt::AlignTop);
    top->addWidget(close, 0, Qt::AlignTop);

    m_grid->setObjectName(QStringLiteral("fpSpread1"));
    m_grid->setLastColumnFills(true); // 説明 gets the room of a wider window
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_notes);
}

void ChanceWindow::compute()
{
    m_grid->setSheet(buildChance(mainFrm().document().history(), mainFrm().document().totals()));
    moveNotesToLabel(*m_grid, *m_notes);
    m_grid->scrollToTop();
}

} // namespace loto6
