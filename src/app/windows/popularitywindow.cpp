#include "windows/popularitywindow.h"

#include "grid/numbertext.h"
#include "popularity/methodpopularity.h"
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

QString yen(double v) { return QString::fromStdString(yenText(std::llround(v))); }

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

    auto *caveat = new QLabel(caveats(), this);
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

QString PopularityWindow::caveats()
{
    return tr("人気度は当選する確率を決して変えません。どの組合せも同じ確率で抽選されます。\n"
              "変わるのは賞金の分け方だけです。1等〜4等の賞金は、当たった人たちで分け合います。\n"
              "人気度は過去の当選口数から推定したものです。第1500回より前の抽選で学び、"
              "販売実績額のわかるそれ以降の137回で確かめると、当選口数のばらつきの"
              "3等 62%、4等 77%、5等 85% を説明します（数字ごとの人気だけでは 49%・64%・76%）。");
}

const PopularityEstimate *PopularityWindow::estimate(const MainFrm &frame, bool makeIfMissing)
{
    PopularitySource &source = frame.document().popularity();
    if (!makeIfMissing)
        return source.estimate(false);
    BusyCursor busy;
    return source.estimate(true);
}

QString PopularityWindow::linesSummary(
    const MainFrm &frame, const std::vector<std::array<int, 6>> &lines, bool makeIfMissing)
{
    const PopularityEstimate *e = estimate(frame, makeIfMissing);
    if (lines.empty() || !e)
        return {};
    const TicketValuer valuer = e->valuer();
    QStringList out;
    out << tr("人気度・期待値（平均 %1）").arg(yen(e->spectrum(valuer).averageTicketValue));
    for (const std::array<int, 6> &line : lines) {
        QStringList numbers;
        for (int n : line)
            numbers << QString::fromStdString(twoDigitText(n));
        Combination c{};
        std::copy(line.begin(), line.end(), c.begin());
        std::sort(c.begin(), c.end());
        const TicketValue v = valuer.value(c);
        out << QStringLiteral("%1  %2  %3")
                   .arg(numbers.join(QLatin1Char(' ')),
                       QString::fromStdString(popularityText(v.relativePopularity)),
                       yen(v.expectedValue));
    }
    return out.join(QLatin1Char('\n'));
}

std::unique_ptr<Sheet> PopularityWindow::ticketsSheet(
    const MainFrm &frame, const std::vector<LabelledCombination> &tickets)
{
    const PopularityEstimate *e = estimate(frame);
    if (!e)
        return nullptr;
    BusyCursor busy;
    const TicketValuer valuer = e->valuer();
    return std::make_unique<Sheet>(ticketPopularitySheet(tickets, *e, valuer, e->spectrum(valuer)));
}

QString PopularityWindow::methodPopularityText(const MainFrm &frame, int from, int shift)
{
    const PopularityEstimate *e = estimate(frame);
    if (!e)
        return tr("販売実績額のある払戻金データがないため、人気度を推定できません。"
                  "払戻金を含む履歴を取り込んでください。");
    BusyCursor busy;
    const MethodPopularity mp
        = methodPopularity(frame.document().history(), from, shift, e->neighbourhood());
    QStringList lines;
    lines << tr("反映シフト%1で各手法が過去の回に選んだ数字の人気度（ランダムに選んだ数字 = ×1.00、"
                "その回より前の当選データだけで予想）:")
                 .arg(shift);
    for (int m = 0; m < Backtest::MethodCount; ++m) {
        const auto i = static_cast<std::size_t>(m);
        const QString title = qs(Backtest::title(static_cast<Backtest::Method>(m))).trimmed();
        if (!mp.meanPopularity[i]) {
            lines << tr("%1: 数字がありません").arg(title);
            continue;
        }
        const double r = *mp.meanPopularity[i];
        lines << tr("%1: %2（%3、%4回）")
                     .arg(title, QString::fromStdString(popularityText(r)),
                         r > 1.0 ? tr("ランダムより人気が高い") : tr("ランダムより人気が低い"))
                     .arg(mp.draws[i]);
    }
    return lines.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + caveats();
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
    const PopularityEstimate *e = estimate(mainFrm());
    if (!e) {
        m_status->setText(tr("販売実績額のある払戻金データがないため、人気度を推定できません。"
                             "払戻金を含む履歴を取り込んでください。"));
        return false;
    }
    BusyCursor busy;
    Combination c{};
    std::copy(t.numbers.begin(), t.numbers.end(), c.begin());
    std::sort(c.begin(), c.end());
    const TicketValuer valuer = e->valuer(sales);
    const TicketValue v = valuer.value(c);
    const ValueSpectrum spectrum = e->spectrum(valuer);
    m_grid->setSheet(ticketValueSheet(v, e->percentile(v.relativePopularity), spectrum));
    m_status->setText(
        tr("販売実績額 %1、キャリーオーバーなしの回として計算しました。"
           "最も人気の低い1%の組合せは %2、最も人気の高い1%は %3、平均的な券は %4 です。")
            .arg(yen(valuer.sales()), yen(spectrum.leastPopularValue),
                yen(spectrum.mostPopularValue), yen(spectrum.averageTicketValue)));
    return true;
}

void PopularityWindow::compute() { evaluate(); }

} // namespace loto6
