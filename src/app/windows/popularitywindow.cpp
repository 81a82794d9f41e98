#include "windows/popularitywindow.h"

#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "grid/numbertext.h"
#include "popularity/popularitysheets.h"
#include "shell/appfonts.h"
#include "shell/busycursor.h"
#include "shell/chartcommands.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/prizestore.h"
#include "tickets/ticket.h"
#include "views/sheetview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

using namespace popularity;

QString yen(double v) { return PopularityTexts::yen(v); }

} // namespace

PopularityWindow::PopularityWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_numbers(new QLineEdit(this))
    , m_sales(new QLineEdit(this))
    , m_grid(new SheetView(this))
    , m_status(new QLabel(this))
{
    setObjectName(qs(windowclass::Popularity));
    setWindowTitle(qs(windowclass::Popularity));
    setFont(gridFont());
    m_numbers->setObjectName(QStringLiteral("txtNumbers"));
    m_numbers->setPlaceholderText(tr("6つの数字（例: 03 09 10 22 31 40）"));
    m_numbers->setText(QStringLiteral("03 09 10 22 31 40"));
    m_sales->setObjectName(QStringLiteral("txtSales"));
    m_sales->setPlaceholderText(tr("空欄: 最近の中央値"));
    auto *go = new QPushButton(tr("計算"), this);
    go->setObjectName(QStringLiteral("cmdEvaluate"));
    go->setDefault(true);
    connect(go, &QPushButton::clicked, this, [this] { evaluate(); });
    connect(m_numbers, &QLineEdit::returnPressed, this, [this] { evaluate(); });
    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("cmdClose"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("数字"), this));
    top->addWidget(m_numbers, 2);
    top->addWidget(new QLabel(tr("販売実績額"), this));
    top->addWidget(m_sales, 1);
    top->addWidget(go);
    top->addWidget(chartButton(frame, "popularity", this));
    top->addWidget(close);

    // What the document's estimate brings fills the window in when it comes.
    connect(&frame.document().popularity(), &PopularitySource::ready, this, [this] {
        if (m_waiting)
            evaluate();
    });
    auto *caveat = new QLabel(PopularityTexts::caveats(), this);
    caveat->setObjectName(QStringLiteral("lblCaveats"));
    caveat->setWordWrap(true);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_grid->setObjectName(QStringLiteral("gridPopularity"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_status);
    layout->addWidget(caveat);
}

bool PopularityWindow::evaluate()
{
    Ticket t;
    Status s = parseTicketNumbers(m_numbers->text().toStdString(), t.numbers);
    if (s)
        s = validateTicket(t);
    if (!s) {
        m_status->setText(tr("数字を読めませんでした。1〜43の異なる6つの数字を空白で区切って"
                             "入力してください。"));
        return false;
    }
    std::optional<double> sales;
    const QString salesText = m_sales->text().remove(QLatin1Char(',')).trimmed();
    if (!salesText.isEmpty()) {
        bool ok = false;
        const double v = salesText.toDouble(&ok);
        if (!ok || v < 200 || v > 1e15) {
            m_status->setText(tr("販売実績額は200円以上の金額で入力してください（空欄なら最近の"
                                 "中央値で計算します）。"));
            return false;
        }
        sales = v;
    }
    PopularitySource &source = mainFrm().document().popularity();
    const PopularityEstimate *e = source.estimate();
    m_waiting = !e && source.pending();
    if (!e) {
        // The table itself says 計算中… where its values will come.
        m_grid->setSheet(
            m_waiting ? PopularityTexts::pendingSheet() : Sheet("popularity", "人気度と期待値"));
        m_status->setText(
            m_waiting ? PopularityTexts::pendingText() : PopularityTexts::unavailableText());
        return false;
    }
    Combination c{};
    std::copy(t.numbers.begin(), t.numbers.end(), c.begin());
    std::sort(c.begin(), c.end());
    // At the next draw's conditions: the carry-over into it from the latest payouts.
    const TicketValuer valuer = e->valuer(sales, e->nextDraw().carryOver);
    const TicketValue v = valuer.value(c);
    const ValueSpectrum spectrum = e->spectrum(valuer);
    const PatternInfo *pattern = source.patterns().infoOf(c);
    const ValueContext context = valueContext(*e, valuer, v, spectrum, pattern);
    m_grid->setSheet(ticketValueSheet(
        v, e->percentile(v.relativePopularity), spectrum, context, *e, valuer, pattern));
    const QString patternNote = pattern
        ? tr("この組合せは%1です。大勢が選ぶ型は過去の当選口数に現れないため、%2。"
             "期待値は最も人気の高い1%の組合せ以下と見てください。")
              .arg(QString::fromStdString(patternText(*pattern)), QString::fromUtf8(PatternCaveat))
        : QString();
    m_status->setText(patternNote
        + tr("%1 の回として計算しました。期待値 %2（95%の範囲 %3）、キャリーオーバーなしなら %4。"
             "最も人気の低い1%の組合せは %5、最も人気の高い1%は %6、平均的な券は %7、"
             "平均的な買われ方の券（人気で重み付け）は %8 です。")
              .arg(QString::fromStdString(conditionsText(*e, valuer)),
                  yen(shownValue(v, pattern, spectrum)) + (pattern ? tr("以下") : QString()),
                  QString::fromStdString(yenRangeText(context.range.low, context.range.high)),
                  yen(context.withoutCarryOver), yen(spectrum.leastPopularValue),
                  yen(spectrum.mostPopularValue), yen(spectrum.averageTicketValue),
                  yen(spectrum.averageBoughtValue)));
    return true;
}

void PopularityWindow::compute() { evaluate(); }

} // namespace loto6
