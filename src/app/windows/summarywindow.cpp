#include "windows/summarywindow.h"

#include "commands/corereasons.h"
#include "document/popularitysource.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "summary/drawsummary.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace loto6 {

SummaryWindow::SummaryWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_draw(new QSpinBox(this))
    , m_status(new QLabel(this))
    , m_tables(new QVBoxLayout)
{
    setObjectName(qs(windowclass::Summary));
    setWindowTitle(qs(windowclass::Summary));
    setFont(gridFont());
    m_draw->setObjectName(QStringLiteral("spnDraw"));
    m_draw->setPrefix(tr("第"));
    m_draw->setSuffix(tr("回"));
    m_draw->setToolTip(tr("結果を見る回。新しい回が入るとその回に移ります。"));
    connect(m_draw, &QSpinBox::valueChanged, this, &SummaryWindow::showDraw);
    auto *newest = new QPushButton(tr("最新の回"), this);
    newest->setObjectName(QStringLiteral("cmdNewest"));
    connect(newest, &QPushButton::clicked, this, [this] { m_draw->setValue(m_draw->maximum()); });
    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("cmdClose"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("回"), this));
    top->addWidget(m_draw);
    top->addWidget(newest);
    top->addWidget(m_status, 1);
    top->addWidget(printButton(*this, this, [this] { return m_grids; }));
    top->addWidget(close);

    // The tables one below the other, each as tall as its rows, in one scrolling page.
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("summaryPage"));
    page->setLayout(m_tables);
    m_tables->setContentsMargins(0, 0, 0, 0);
    m_tables->setSpacing(2);
    m_tables->addStretch(1);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrollSummary"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(scroll, 1);

    followBook();
    connect(&frame.document().popularity(), &PopularitySource::ready, this, [this] {
        if (m_waiting && isLoaded())
            showDraw(m_draw->value());
    });
}

SheetView *SummaryWindow::gridAt(int index)
{
    while (m_grids.size() <= index) {
        auto *caption = new QLabel(this);
        caption->setWordWrap(true);
        caption->setObjectName(QStringLiteral("lblCaption%1").arg(m_grids.size() + 1));
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        auto *grid = new SheetView(this);
        grid->setObjectName(QStringLiteral("gridSummary%1").arg(m_grids.size() + 1));
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int at = m_tables->count() - 1; // before the stretch
        m_tables->insertWidget(at, caption);
        m_tables->insertWidget(at + 1, grid);
        m_captions.append(caption);
        m_grids.append(grid);
    }
    return m_grids[index];
}

void SummaryWindow::compute()
{
    const int newest = newestCompleteDraw(mainFrm().document().history());
    // A window at the newest draw moves on with it; one at an older draw stays there.
    const bool follow = m_newest == 0 || m_draw->value() == m_newest;
    m_newest = newest;
    {
        const QSignalBlocker block(m_draw);
        m_draw->setRange(newest > 0 ? 1 : 0, newest);
        if (follow || m_draw->value() > newest)
            m_draw->setValue(newest);
    }
    showDraw(m_draw->value());
}

void SummaryWindow::showDraw(int drawNo)
{
    m_waiting = false;
    if (drawNo <= 0) {
        m_status->setText(tr("完全な当選データがまだありません。当選データを入力するか、"
                             "取り込むか、最新化してください。"));
        for (QLabel *caption : m_captions)
            caption->clear();
        for (SheetView *grid : m_grids)
            grid->setSheet(Sheet("summary", ""));
        return;
    }
    DrawSummary summary;
    const Status status = mainFrm().document().summarize(drawNo, summary);
    if (!status) {
        m_status->setText(tr("第%1回の結果をまとめられませんでした。%2")
                              .arg(drawNo)
                              .arg(CoreReasons::japanese(status)));
        return;
    }
    m_waiting = summary.popularity.state == SummaryPopularity::State::Pending;
    m_status->setText(m_waiting ? tr("人気度を計算中…（できしだい表示します）") : QString());
    const std::vector<Sheet> sheets = summarySheets(summary);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        SheetView *grid = gridAt(static_cast<int>(i));
        m_captions[static_cast<int>(i)]->setText(qs(sheets[i].caption()));
        grid->setSheet(sheets[i]);
        // As large as its cells: the page scrolls, never a table inside it.
        grid->setFixedSize(grid->horizontalHeader()->length() + 2 * grid->frameWidth(),
            grid->verticalHeader()->length() + 2 * grid->frameWidth());
    }
}

} // namespace loto6
