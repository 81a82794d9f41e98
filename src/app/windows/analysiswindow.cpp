#include "windows/analysiswindow.h"

#include "shell/appfonts.h"
#include "shell/chartcommands.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "views/elidedlabel.h"
#include "views/legendpicture.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace loto6 {

AnalysisWindow::AnalysisWindow(
    MainFrm &frame, const AnalysisInfo &info, AnalysisLayout look, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_info(info)
    , m_layout(look)
    , m_grid(new SheetView(this))
{
    setObjectName(qs(info.className));
    setWindowTitle(qs(info.caption));
    setFont(gridFont());

    auto *description = new ElidedLabel(qs(info.description), 2, this);
    description->setObjectName(QStringLiteral("Label1"));

    auto *controls = new QHBoxLayout;
    controls->setSpacing(4);
    if (!info.legend.empty()) {
        auto *legend = new QGridLayout;
        legend->setSpacing(0);
        legend->setHorizontalSpacing(2);
        auto *picture = new LegendPicture(info.legend, this);
        picture->setObjectName(QStringLiteral("Picture1"));
        legend->addWidget(picture, 0, 0, static_cast<int>(info.legend.size()), 1);
        for (std::size_t i = 0; i < info.legend.size(); ++i) {
            auto *label = new QLabel(qs(info.legend[i].label), this);
            label->setObjectName(QStringLiteral("Label%1").arg(i + 2));
            label->setFixedHeight(LegendPicture::LineHeight);
            legend->addWidget(label, static_cast<int>(i), 1);
        }
        controls->addLayout(legend);
        controls->addSpacing(12);
    }
    if (look.printButton) {
        QPushButton *print = printButton(*this, this, [this] { return QList{m_grid}; });
        controls->addWidget(print, 0, Qt::AlignTop);
    }
    if (QPushButton *chart = chartButton(frame, info.name, this))
        controls->addWidget(chart, 0, Qt::AlignTop);
    QPushButton *close
        = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);
    controls->addWidget(close, 0, Qt::AlignTop);

    // The description sits left of the buttons, wrapped onto a second line if need be; in a
    // window too narrow for that it gets a row of its own under them.
    const int room = twipsToPixels(look.sizeTwips.width()) - controls->sizeHint().width() - 24;
    const int needed = description->fontMetrics().horizontalAdvance(description->text());
    // The label is drawn in the window's font.
    description->setFont(font());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    if (needed <= 2 * room) {
        auto *top = new QHBoxLayout;
        top->addWidget(description, 1);
        top->addLayout(controls);
        layout->addLayout(top);
    } else {
        controls->insertStretch(0, 1);
        layout->addLayout(controls);
        layout->addWidget(description);
    }

    m_grid->setObjectName(QStringLiteral("fpSpread1"));

    layout->addWidget(m_grid, 1);
}

QSize AnalysisWindow::sizeTwips() const { return m_layout.sizeTwips; }

void AnalysisWindow::compute()
{
    Sheet sheet
        = buildAnalysis(m_info, mainFrm().document().history(), mainFrm().document().totals());
    if (sheet.rowsCut())
        mainFrm().statusBar()->showMessage(
            tr("表が大きすぎるため、先頭の%1行だけを表示しています。").arg(Sheet::MaxRows));
    else if (sheet.columnsCut())
        mainFrm().statusBar()->showMessage(
            tr("表が大きすぎるため、先頭の%1列だけを表示しています。").arg(Sheet::MaxColumns));
    m_grid->setSheet(std::move(sheet));
    // A table opens at its newest draw; a refresh keeps where the user was.
    if (!isLoaded())
        m_grid->showNewestDraw();
}

QSize AnalysisWindow::roomWanted() const { return m_grid->missingSize(); }

void AnalysisWindow::showEvent(QShowEvent *event)
{
    ChildWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // Sized at last: the newest draw's row comes into sight at the bottom.
        m_grid->showNewestDraw();
    }
}

} // namespace loto6
