#include "windows/designwindow.h"

#include "commands/corereasons.h"
#include "design/designbook.h"
#include "design/designsheets.h"
#include "design/generator.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "grid/numbertext.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/drawvalidation.h"
#include "summary/buyingnote.h"
#include "views/printpreview.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <tuple>

namespace loto6 {

using namespace design;

// One pick or wheel with its odds, run on the worker; the window reads the results once the
// worker has finished.
struct DesignWindow::Job
{
    bool wheel = false;
    DesignFilter filter;
    FilterContext context;
    int count = 0;
    std::uint64_t seed = 0;
    WheelRequest request;
    std::shared_ptr<const PrizeModel> prizes;

    std::atomic<int> bestSize{0};
    std::atomic<bool> weighing{false};

    Status status;
    std::uint64_t combinations = 0;
    Wheel made;
    std::vector<Combination> tickets;
    std::optional<TicketOdds> odds;
    std::string memo;
    // A wheel's tickets that miss the ticked conditions (the wheel does not use them).
    int missingConditions = 0;
    std::optional<Combination> missedExample;

    void checkConditions()
    {
        for (const Combination &c : tickets)
            if (!passes(
                    filter, maskOf(c), context.latest, context.drawn, context.popularity.get())) {
                if (!missedExample)
                    missedExample = c;
                ++missingConditions;
            }
    }

    // Progress in thousandths.
    void run(JobProgress &progress)
    {
        if (wheel) {
            status = buildWheel(request, made, [this, &progress](const WheelProgress &p) {
                bestSize = p.bestSize;
                progress.setSteps(static_cast<int>(p.fraction * 1000), 1000);
                return !progress.cancelRequested();
            });
            tickets = made.tickets;
            memo = wheelMemo(made, request.pool);
            checkConditions();
        } else {
            PickResult picked;
            status = pickTickets(filter, context, count, seed, picked);
            combinations = picked.combinations;
            tickets = std::move(picked.tickets);
            memo = pickMemo(filter, seed);
        }
        if (!status || progress.cancelRequested()
            || tickets.size() > static_cast<std::size_t>(MaxOddsTickets))
            return;
        weighing = true;
        TicketOdds o;
        if (ticketOdds(tickets, *prizes, o, [&progress](double f) {
                progress.setSteps(static_cast<int>(f * 1000), 1000);
                return !progress.cancelRequested();
            }))
            odds = o;
    }
};

DesignWindow::DesignWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_tickets(new SheetView(this))
    , m_odds(new SheetView(this))
{
    setObjectName(QString::fromUtf8(windowclass::Design));
    setWindowTitle(tr("番号の設計"));
    setFont(gridFont());
    // The popularity choices open, and the tickets shown get their popularity and yen, once
    // the document's estimate has come.
    connect(&frame.document().popularity(), &PopularitySource::ready, this, [this] {
        compute();
        if (!m_shown.empty())
            showTickets();
    });
    auto *leftPane = new QWidget(this);
    auto *left = new QVBoxLayout(leftPane);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(createFilters());
    left->addWidget(createActions());
    left->addStretch(1);
    // The pane keeps the width of its controls: the messages in it wrap, never widen it.
    leftPane->setFixedWidth(leftPane->sizeHint().width());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(leftPane, 0);
    layout->addWidget(createResults(), 1);
    m_countTimer.setSingleShot(true);
    m_countTimer.setInterval(120);
    connect(&m_countTimer, &QTimer::timeout, this, &DesignWindow::updateCount);
    connect(&m_runner.progress(), &JobProgress::stepsDone, this, &DesignWindow::showProgress);
    connect(&m_runner, &JobRunner::finished, this, &DesignWindow::finish);
}

// The runner asks a running job to stop and waits for it.
DesignWindow::~DesignWindow() = default;

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

namespace {

// The numbers of a list field; empty, or the Japanese problem naming the field and the bad
// item.
QString readList(const QLineEdit *edit, const QString &label, std::vector<int> &out)
{
    const std::string text
        = edit->text().replace(QStringLiteral("、"), QStringLiteral(",")).trimmed().toStdString();
    const Status s = text.empty() ? Status::success() : parseNumberList(text, out);
    if (s)
        return {};
    return DesignWindow::tr("「%1」の「%2」は1〜%3の数字ではありません。カンマで区切った数字を"
                            "入れてください。")
        .arg(label, qs(s.fault().value))
        .arg(HighestNumber);
}

NumberMask maskOfNumbers(const std::vector<int> &numbers)
{
    NumberMask m = 0;
    for (int n : numbers)
        m |= NumberMask{1} << n;
    return m;
}

// Why the designer refused, in Japanese, as a sentence of the status line.
QString refusalText(const Status &status) { return CoreReasons::japanese(status) + u'。'; }

} // namespace

DesignWindow::FilterFields DesignWindow::filter() const
{
    DesignFilter f;
    std::optional<Range> DesignFilter::*const fields[]
        = {&DesignFilter::sum, &DesignFilter::odd, &DesignFilter::low, &DesignFilter::consecutive,
            &DesignFilter::lastDigits, &DesignFilter::carryOver};
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        const RangeRow &r = m_ranges[i];
        if (!r.on->isChecked())
            continue;
        if (r.low->value() > r.high->value())
            return {
                std::nullopt, tr("「%1」の下限が上限より大きくなっています。").arg(r.on->text())};
        f.*fields[i] = Range{r.low->value(), r.high->value()};
    }
    std::vector<int> include, exclude, pool;
    for (const auto &[edit, label, numbers] :
        {std::tuple(m_include, tr("必ず含める数字"), &include),
            std::tuple(m_exclude, tr("除外する数字"), &exclude),
            std::tuple(m_pool, tr("この中から選ぶ"), &pool)})
        if (QString problem = readList(edit, label, *numbers); !problem.isEmpty())
            return {std::nullopt, problem};
    f.include = maskOfNumbers(include);
    f.exclude = maskOfNumbers(exclude);
    f.pool = maskOfNumbers(pool);
    f.notDrawn = m_notDrawn->isChecked();
    if (m_leastPopular->isChecked())
        f.leastPopular = m_leastPercent->value();
    f.includePatterns = m_includePatterns->isChecked();
    if (const Status s = f.check(); !s)
        return {std::nullopt, refusalText(s)};
    return {f, {}};
}

void DesignWindow::compute()
{
    std::map<int, DrawPrizes> prizes;
    if (!frame().document().payouts(prizes))
        prizes.clear(); // the expected return then says 不明
    m_prizes = std::make_shared<AveragePrizeModel>(prizes);
    const bool model = popularityModel() != nullptr;
    m_leastPopular->setEnabled(model);
    m_sortPopular->setEnabled(model);
    m_includePatterns->setEnabled(model);
    if (!model)
        m_leastPopular->setChecked(false);
    // While the estimate is being made the popularity choices wait for it (計算中…).
    const bool pending = !model && frame().document().popularity().pending();
    m_leastPopular->setToolTip(model ? QString()
            : pending                ? PopularityTexts::pendingText()
                      : tr("払戻金と販売実績額を取り込むと、人気度が使えます。"));
    updateCount();
}

const popularity::PopularityEstimate *DesignWindow::popularityModel() const
{
    return frame().document().popularity().estimate();
}

void DesignWindow::updateCount()
{
    const auto [f, problem] = filter();
    m_pickable = f.has_value();
    m_pick->setEnabled(m_pickable && !busy());
    if (!f) {
        m_count->setText(QStringLiteral("<span style='color:#c00000'>%1</span>").arg(problem));
        return;
    }
    const FilterCount c = countFilter(*f, frame().document().history(), popularityModel());
    if (c.combinations == 0) {
        m_count->setText(tr("<span style='color:#c00000'>条件に合う組合せがありません。"
                            "条件をゆるめてください。</span>"));
        m_pickable = false;
        m_pick->setEnabled(false);
        return;
    }
    m_count->setText(
        tr("条件に合う組合せ: <b>%1</b> / 6,096,454 通り（次回の確率 %2%）<br>"
           "過去 %3 回のうち条件に合った回: <b>%4</b> 回（偶然なら %5 回、標準偏差 "
           "%6、95%の範囲 %7～%8 回。各回はその前の回までに対して判定）")
            .arg(qs(groupedText(static_cast<long long>(c.combinations))),
                qs(fixedText(c.probability * 100, 3)), qs(groupedText(c.draws)),
                qs(groupedText(c.passed)), qs(fixedText(c.expected, 2)), qs(fixedText(c.sd, 2)),
                qs(groupedText(c.low)), qs(groupedText(c.high)))
        + (c.popularityInSample
                ? tr("<br>人気度の条件は、これらの回の当選口数から学んだモデルで判定しています"
                     "（標本内）。過去の回の数は人気度の条件の検証にはなりません。")
                : QString()));
}

void DesignWindow::startPick()
{
    const auto [f, problem] = filter();
    bool seedOk = false;
    const std::uint64_t seed = m_seed->text().trimmed().toULongLong(&seedOk);
    if (!f || !seedOk) {
        m_status->setText(f ? tr("シードは0以上の整数で入れてください。") : problem);
        return;
    }
    auto job = std::make_shared<Job>();
    job->filter = *f;
    job->context = FilterContext::fromHistory(frame().document().history(), *f, popularityModel());
    job->count = m_pickCount->value();
    job->seed = seed;
    start(job);
}

void DesignWindow::startWheel(bool full)
{
    auto job = std::make_shared<Job>();
    job->wheel = true;
    job->request.win = m_win->value();
    job->request.ifDrawn = m_if->value();
    job->request.full = full;
    if (const QString problem = readList(m_wheelPool, tr("ホイールの数字"), job->request.pool);
        !problem.isEmpty()) {
        m_status->setText(problem);
        return;
    }
    if (const Status s = checkWheelRequest(job->request); !s) {
        m_status->setText(refusalText(s));
        return;
    }
    // The wheel does not use the conditions; its tickets are checked against those ticked.
    if (const FilterFields fields = filter(); fields.filter && !fields.filter->empty()) {
        job->filter = *fields.filter;
        job->context = FilterContext::fromHistory(
            frame().document().history(), *fields.filter, popularityModel());
    }
    start(job);
}

void DesignWindow::start(std::shared_ptr<Job> job)
{
    if (busy())
        return;
    job->prizes = m_prizes;
    m_job = job;
    m_focusBefore = focusWidget();
    for (QPushButton *b : {m_pick, m_wheel, m_full, m_add})
        b->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_progress->setValue(0);
    m_status->setText(job->wheel ? tr("ホイールを探しています...") : tr("選んでいます..."));
    m_runner.start([job](JobProgress &progress) { job->run(progress); });
}

void DesignWindow::showProgress(int permille)
{
    if (!m_job)
        return;
    m_progress->setValue(permille);
    if (m_job->weighing)
        m_status->setText(tr("当せん確率を数えています（%1通りの抽選）...")
                              .arg(qs(groupedText(CombinationCount))));
    else if (m_job->wheel && m_job->bestSize > 0)
        m_status->setText(
            tr("ホイールを探しています... いまの最小 %1 口").arg(m_job->bestSize.load()));
}

namespace {

// The wheel's size beside the best known size and the lower bound, with the gap:
// "最良既知 132 口、下限 132 口（最良既知と同じ、最小と証明済み）".
QString wheelSizeText(const Wheel &w)
{
    const auto size = static_cast<long long>(w.tickets.size());
    QString text = w.bestKnown ? DesignWindow::tr("最良既知 %1 口、").arg(w.bestKnown) : QString();
    text += DesignWindow::tr("下限 %1 口").arg(w.lowerBound);
    QStringList gaps;
    if (w.bestKnown)
        gaps << (size == w.bestKnown
                ? DesignWindow::tr("最良既知と同じ")
                : DesignWindow::tr("最良既知より %1 口多い").arg(size - w.bestKnown));
    if (w.knownMinimum && size == w.knownMinimum)
        gaps << DesignWindow::tr("最小と証明済み");
    else
        gaps << (size == w.lowerBound
                ? DesignWindow::tr("下限と同じ")
                : DesignWindow::tr("下限より %1 口多い").arg(size - w.lowerBound));
    return text + DesignWindow::tr("（%1）").arg(gaps.join(DesignWindow::tr("、")));
}

// The Japanese line for a finished job: what was made, or why nothing was.
QString jobResultText(
    const Status &status, bool wheel, const Wheel &made, std::uint64_t passed, bool cancelled)
{
    if (!status) {
        if (cancelled)
            return DesignWindow::tr("キャンセルしました。もう一度押すとやり直します。");
        return refusalText(status);
    }
    if (!wheel)
        return DesignWindow::tr("条件に合う %1 通りから選びました。")
            .arg(qs(groupedText(static_cast<long long>(passed))));
    QString text = DesignWindow::tr("%1口のホイール: %2個出れば%3個以上当たる口が必ずあります"
                                    "（すべての場合を確認済み）。%4、%5秒。")
                       .arg(made.tickets.size())
                       .arg(made.ifDrawn)
                       .arg(made.win)
                       .arg(wheelSizeText(made))
                       .arg(qs(fixedText(made.seconds, 1)));
    if (made.cancelled)
        text += DesignWindow::tr(" 途中でキャンセルしたため、それまでの最良です。");
    return text;
}

// What a wheel's tickets make of the ticked conditions, which a wheel does not use; empty
// when none is ticked.
QString wheelConditionsText(const DesignFilter &f, std::size_t tickets, int missing,
    const std::optional<Combination> &example)
{
    if (f.empty())
        return {};
    const QString conditions = qs(f.japaneseText());
    if (missing == 0)
        return DesignWindow::tr(" ホイールは条件を使いませんが、どの口もチェックした条件（%1）に"
                                "合っています。")
            .arg(conditions);
    int sum = 0;
    for (int n : *example)
        sum += n;
    return DesignWindow::tr(" 注意: ホイールはチェックした条件（%1）を使いません。%2口のうち%3口が"
                            "条件に合いません（例: %4、合計 %5）。条件に合う口だけが欲しいときは"
                            "「条件から選ぶ」を使ってください。")
        .arg(conditions)
        .arg(tickets)
        .arg(missing)
        .arg(qs(combinationText(*example)))
        .arg(sum);
}

} // namespace

void DesignWindow::finish(const QString &failure)
{
    const std::shared_ptr<Job> job = std::move(m_job);
    m_cancelButton->setEnabled(false);
    m_wheel->setEnabled(true);
    m_full->setEnabled(true);
    // The count stands as it was (a change meanwhile counted again): no walk here.
    m_pick->setEnabled(m_pickable);
    m_progress->setValue(job->status ? 1000 : 0);
    m_status->setText(failure.isEmpty() ? jobResultText(job->status, job->wheel, job->made,
                          job->combinations, m_runner.progress().cancelRequested())
                                        : failure);
    // The focus goes back where it was, not to the next control the disabled button left it to.
    if (m_focusBefore && m_focusBefore->isEnabled())
        m_focusBefore->setFocus();
    if (!failure.isEmpty() || !job->status)
        return;
    if (job->wheel)
        m_status->setText(m_status->text()
            + wheelConditionsText(
                job->filter, job->tickets.size(), job->missingConditions, job->missedExample));
    m_shown = job->tickets;
    m_shownMemo = job->memo;
    m_shownWheel = job->wheel;
    showTickets();
    m_add->setEnabled(!m_shown.empty());
    if (!job->odds) {
        m_odds->setSheet(ticketOddsSheet(TicketOdds{}));
        m_facts->setText(tr("口数が %1 を超えるため、当せん確率は数えていません。どの組合せも"
                            "1等の確率は同じ 1/%2 です。")
                             .arg(MaxOddsTickets)
                             .arg(qs(groupedText(CombinationCount))));
        return;
    }
    // Each ticket's own prizes from its popularity at the next draw's conditions, read here
    // where the model lives.
    QString conditions;
    if (const popularity::PopularityEstimate *e = popularityModel()) {
        const popularity::TicketValuer valuer = e->nextDrawValuer();
        weighPrizes(m_shown,
            PopularityPrizeModel(valuer, frame().document().popularity().patterns(),
                e->spectrum(valuer).mostPopularValue),
            *job->odds);
        conditions = qs(popularity::conditionsText(*e, valuer));
    }
    m_odds->setSheet(ticketOddsSheet(*job->odds));
    const QString own = job->odds->prizesPerTicket
        ? tr("期待額は人気度から求めた各組合せ自身の額で、%1 の回のものです（当たる確率は"
             "変わりません）。各組合せの期待値の95%の範囲は番号の表にあります。")
              .arg(conditions)
        : QString();
    m_facts->setText(
        tr("どの組合せも1等の確率は同じ 1/6,096,454 です。ホイールは当たりの"
           "まとまり方を変えるだけで、当たる本数の期待値は変えません。期待される"
           "払戻し %1円は購入額 %2 を下回ります（還元率 %3%）。%4")
            .arg(qs(fixedText(job->odds->expectedReturn, 0)), qs(yenText(job->odds->cost)),
                qs(fixedText(job->odds->expectedReturn / job->odds->cost * 100, 1)), own));
}

// The tickets, least popular first when asked, with each one's popularity and expected yen
// beside the average ticket's when the model is there.
void DesignWindow::showTickets()
{
    const popularity::PopularityEstimate *e = popularityModel();
    std::vector<Combination> shown = m_shown; // the book gets them in the order drawn
    if (e && m_sortPopular->isChecked())
        sortByPopularity(shown, e->model(),
            m_includePatterns->isChecked() ? nullptr : &frame().document().popularity().patterns());
    std::vector<popularity::LabelledCombination> lines;
    for (const Combination &c : shown)
        lines.push_back({std::to_string(lines.size() + 1), c});
    const auto sheet = e && !lines.empty()
        ? PopularityTexts::ticketsSheet(frame().document().popularity(), lines)
        : nullptr;
    if (sheet) {
        m_tickets->setSheet(*sheet);
        return;
    }
    Sheet plain = designTicketsSheet(shown, m_shownWheel ? "ホイール" : "選んだ番号");
    // While the estimate is being made each ticket says so where its popularity will come.
    if (!lines.empty() && frame().document().popularity().pending()) {
        const int column = plain.columns() + 1;
        plain.setSize(column, plain.rows());
        plain.setVisible(column, plain.visibleRows());
        plain.setColWidth(column, 14);
        plain.setText(column, 1, tr("人気度・期待値").toStdString());
        for (int row = 2; row <= plain.rows(); ++row)
            plain.setText(column, row, PopularityTexts::pendingText().toStdString());
    }
    m_tickets->setSheet(plain);
}

void DesignWindow::addToBook()
{
    if (m_shown.empty())
        return;
    if (frame().document().asOf() != DrawHistory::NoCut) {
        m_status->setText(tr("基準回を指定している間は追加できません。最新の回に戻してから"
                             "追加してください。"));
        return;
    }
    std::vector<Ticket> made;
    const int next = frame().document().totals().latestDrawNo + 1;
    // Every window showing the book follows the document's ticketsChanged.
    const Status status
        = frame().document().addDesignedTickets(m_shown, next, m_draws->value(), m_shownMemo, made);
    if (!status) {
        frame().showMessage(QMessageBox::Warning, windowTitle(),
            tr("購入番号に追加できませんでした。何も追加していません。\n%1")
                .arg(CoreReasons::japanese(status)));
        return;
    }
    m_status->setText(tr("%1口を第%2回から%3回分、購入番号に追加しました（作り方はメモに"
                         "残しています）。")
                          .arg(made.size())
                          .arg(next)
                          .arg(m_draws->value()));
}

void DesignWindow::printNote()
{
    HistoryDocument &document = frame().document();
    BuyingNote note;
    note.drawNo = document.totals().latestDrawNo + 1;
    for (const DrawRecord &r : document.history())
        if (r.drawNo == note.drawNo - 1)
            note.date = nextDrawDay(r.date);
    note.conditions = {{tr("作り方").toStdString(),
                           (m_shownWheel ? tr("ホイール") : tr("条件から選ぶ")).toStdString()},
        {tr("抽選日").toStdString(), note.date.empty() ? tr("不明").toStdString() : note.date},
        {tr("条件とシード").toStdString(), m_shownMemo}};
    for (const Combination &c : m_shown)
        note.lines.push_back({std::to_string(note.lines.size() + 1), c});
    printSheets(this,
        buyingNoteSheets(
            note, document.popularity().estimate(false), document.popularity().patterns()),
        qs(buyingNoteTitle(note)), historyRange(frame()));
}

} // namespace loto6
