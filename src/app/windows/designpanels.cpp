#include "windows/designwindow.h"

#include "design/designsheets.h"
#include "design/generator.h"
#include "shell/uihelpers.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <tuple>

// The designer's controls: the conditions, the pick and wheel buttons, the result tables.

namespace loto6 {

using namespace design;

DesignWindow::RangeRow DesignWindow::addRange(
    QGridLayout *grid, int row, const QString &label, int min, int max)
{
    RangeRow r{new QCheckBox(label), new QSpinBox, new QSpinBox};
    for (QSpinBox *s : {r.low, r.high}) {
        s->setRange(min, max);
        s->setEnabled(false);
        connect(s, &QSpinBox::valueChanged, this, [this] { m_countTimer.start(); });
    }
    r.high->setValue(max);
    connect(r.on, &QCheckBox::toggled, this, [this, r](bool on) {
        r.low->setEnabled(on);
        r.high->setEnabled(on);
        m_countTimer.start();
    });
    grid->addWidget(r.on, row, 0);
    grid->addWidget(r.low, row, 1);
    grid->addWidget(new QLabel(tr("〜")), row, 2);
    grid->addWidget(r.high, row, 3);
    return r;
}

QWidget *DesignWindow::createFilters()
{
    auto *box = new QGroupBox(tr("条件"), this);
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(2);
    const std::tuple<const char *, int, int> ranges[]
        = {{"合計", 21, 243}, {"奇数の個数", 0, 6}, {"低数字(01〜21)の個数", 0, 6},
            {"連番の組数", 0, 5}, {"下一桁の種類", 1, 6}, {"前回との共通(引っ張り)", 0, 6}};
    int row = 0;
    for (const auto &[label, min, max] : ranges) {
        m_ranges.push_back(addRange(grid, row, tr(label), min, max));
        m_ranges.back().on->setObjectName(QStringLiteral("chkRange%1").arg(row));
        m_ranges.back().low->setObjectName(QStringLiteral("spnLow%1").arg(row));
        m_ranges.back().high->setObjectName(QStringLiteral("spnHigh%1").arg(row++));
    }
    const std::tuple<QLineEdit **, const char *, const char *> lists[]
        = {{&m_include, "必ず含める数字", "txtInclude"}, {&m_exclude, "除外する数字", "txtExclude"},
            {&m_pool, "この中から選ぶ", "txtPool"}};
    for (const auto &[edit, label, name] : lists) {
        *edit = new QLineEdit(box);
        (*edit)->setObjectName(QString::fromUtf8(name));
        (*edit)->setPlaceholderText(tr("例: 3,12,27"));
        connect(*edit, &QLineEdit::textChanged, this, [this] { m_countTimer.start(); });
        grid->addWidget(new QLabel(tr(label)), row, 0);
        grid->addWidget(*edit, row++, 1, 1, 3);
    }
    m_notDrawn = new QCheckBox(tr("1等として出たことのない組合せだけ"), box);
    connect(m_notDrawn, &QCheckBox::toggled, this, [this] { m_countTimer.start(); });
    grid->addWidget(m_notDrawn, row++, 0, 1, 4);
    m_leastPopular = new QCheckBox(tr("人気の低い組合せだけ（下位%）"), box);
    m_leastPercent = new QDoubleSpinBox(box);
    m_leastPercent->setRange(0.1, 100);
    m_leastPercent->setValue(10);
    m_leastPercent->setSuffix(QStringLiteral("%"));
    connect(m_leastPopular, &QCheckBox::toggled, this, [this] { m_countTimer.start(); });
    connect(m_leastPercent, &QDoubleSpinBox::valueChanged, this, [this] { m_countTimer.start(); });
    grid->addWidget(m_leastPopular, row, 0, 1, 2);
    grid->addWidget(m_leastPercent, row++, 2, 1, 2);
    // Pattern tickets stay out of the least popular and of the order by popularity unless asked.
    m_includePatterns = new QCheckBox(tr("よく買われる型も含める"), box);
    m_includePatterns->setObjectName(QStringLiteral("chkIncludePatterns"));
    m_includePatterns->setToolTip(
        tr("1 2 3 4 5 6 や連番・等差数列・マークシートの一列・倍数・最近の1等の組は、大勢が選ぶ"
           "のに過去の当選口数に現れないため人気を推定できません。ふだんは人気の低い組合せから"
           "外します。"));
    connect(m_includePatterns, &QCheckBox::toggled, this, [this] {
        m_countTimer.start();
        showTickets();
    });
    grid->addWidget(m_includePatterns, row++, 0, 1, 4);
    m_count = new QLabel(box);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_count->setWordWrap(true);
    m_count->setMinimumHeight(fontMetrics().height() * 4);
    grid->addWidget(m_count, row++, 0, 1, 4);
    return box;
}

QWidget *DesignWindow::createActions()
{
    auto *box = new QGroupBox(tr("選ぶ・ホイール"), this);
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(2);
    m_pickCount = new QSpinBox(box);
    m_pickCount->setRange(1, MaxPick);
    m_pickCount->setValue(5);
    m_pickCount->setObjectName(QStringLiteral("spnPickCount"));
    m_seed = new QLineEdit(QStringLiteral("1"), box);
    m_pick = new QPushButton(tr("条件から選ぶ"), box);
    m_pick->setObjectName(QStringLiteral("cmdPick"));
    grid->addWidget(new QLabel(tr("口数")), 0, 0);
    grid->addWidget(m_pickCount, 0, 1);
    grid->addWidget(new QLabel(tr("シード")), 0, 2);
    grid->addWidget(m_seed, 0, 3);
    grid->addWidget(m_pick, 0, 4);
    m_wheelPool = new QLineEdit(box);
    m_wheelPool->setObjectName(QStringLiteral("txtWheelPool"));
    m_wheelPool->setPlaceholderText(tr("6〜20個の数字 例: 1,5,9,14,22,31,40"));
    grid->addWidget(new QLabel(tr("ホイールの数字")), 1, 0);
    grid->addWidget(m_wheelPool, 1, 1, 1, 4);
    m_win = new QSpinBox(box);
    m_if = new QSpinBox(box);
    m_win->setObjectName(QStringLiteral("spnWin"));
    m_if->setObjectName(QStringLiteral("spnIf"));
    m_win->setRange(3, 6);
    m_if->setRange(3, 6);
    m_win->setPrefix(tr("当たり "));
    m_if->setPrefix(tr("出目 "));
    m_wheel = new QPushButton(tr("ホイールを作る"), box);
    m_wheel->setObjectName(QStringLiteral("cmdWheel"));
    m_full = new QPushButton(tr("フルホイール"), box);
    grid->addWidget(new QLabel(tr("保証")), 2, 0);
    grid->addWidget(m_win, 2, 1);
    grid->addWidget(m_if, 2, 2);
    grid->addWidget(m_wheel, 2, 3);
    grid->addWidget(m_full, 2, 4);
    m_progress = new QProgressBar(box);
    m_progress->setRange(0, 1000);
    m_cancelButton = new QPushButton(tr("キャンセル"), box);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    m_cancelButton->setEnabled(false);
    grid->addWidget(m_progress, 3, 0, 1, 4);
    grid->addWidget(m_cancelButton, 3, 4);
    m_status = new QLabel(box);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 4, 0, 1, 5);
    connect(m_pick, &QPushButton::clicked, this, &DesignWindow::startPick);
    connect(m_wheel, &QPushButton::clicked, this, [this] { startWheel(false); });
    connect(m_full, &QPushButton::clicked, this, [this] { startWheel(true); });
    connect(m_cancelButton, &QPushButton::clicked, &m_runner, &JobRunner::cancel);
    return box;
}

QWidget *DesignWindow::createResults()
{
    auto *panel = new QWidget(this);
    m_tickets->setObjectName(QStringLiteral("grdTickets"));
    m_odds->setObjectName(QStringLiteral("grdOdds"));
    // The headings until tickets are picked or wheeled.
    m_tickets->setSheet(designTicketsSheet({}, "選んだ番号"));
    m_odds->setSheet(ticketOddsSheet(TicketOdds{}));
    m_facts = new QLabel(panel);
    m_facts->setWordWrap(true);
    m_facts->setText(tr("どの組合せも1等の確率は同じ 1/6,096,454 です。ホイールは当たりの"
                        "まとまり方を変えるだけで、当たる本数の期待値は変えません。期待される"
                        "払戻しは購入額を下回ります。"));
    m_draws = new QSpinBox(panel);
    m_draws->setRange(1, 1000);
    m_draws->setPrefix(tr("継続回数 "));
    m_add = new QPushButton(tr("購入番号に追加"), panel);
    m_add->setObjectName(QStringLiteral("cmdAddToBook"));
    m_add->setEnabled(false);
    connect(m_add, &QPushButton::clicked, this, &DesignWindow::addToBook);
    m_sortPopular = new QCheckBox(tr("人気の低い順に並べる"), panel);
    connect(m_sortPopular, &QCheckBox::toggled, this, &DesignWindow::showTickets);
    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("cmdClose"), panel);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_draws);
    buttons->addWidget(m_add);
    buttons->addWidget(m_sortPopular);
    buttons->addStretch(1);
    buttons->addWidget(printNoteButton(*this, panel, [this] { printNote(); }));
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tickets, 3);
    layout->addWidget(m_odds, 2);
    layout->addWidget(m_facts);
    layout->addLayout(buttons);
    return panel;
}

} // namespace loto6
