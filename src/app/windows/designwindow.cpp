#include "windows/designwindow.h"

#include "commands/corereasons.h"
#include "design/designbook.h"
#include "design/designsheets.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "grid/numbertext.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/drawvalidation.h"
#include "views/sheetview.h"
#include "windows/designjob.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <tuple>

namespace loto6 {

using namespace design;

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
        return {std::nullopt, designRefusalText(s)};
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
    // The choice says so itself while it waits, not only in its tool tip.
    m_leastPopular->setText(pending
            ? tr("人気の低い組合せだけ（下位%・%1）").arg(PopularityTexts::pendingText())
            : tr("人気の低い組合せだけ（下位%）"));
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
    auto job = std::make_shared<DesignJob>();
    job->filter = *f;
    job->context = FilterContext::fromHistory(frame().document().history(), *f, popularityModel());
    job->count = m_pickCount->value();
    job->seed = seed;
    start(job);
}

void DesignWindow::startWheel(bool full)
{
    auto job = std::make_shared<DesignJob>();
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
        m_status->setText(designRefusalText(s));
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

void DesignWindow::start(std::shared_ptr<DesignJob> job)
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

void DesignWindow::finish(const QString &failure)
{
    const std::shared_ptr<DesignJob> job = std::move(m_job);
    m_cancelButton->setEnabled(false);
    m_wheel->setEnabled(true);
    m_full->setEnabled(true);
    // The count stands as it was (a change meanwhile counted again): no walk here.
    m_pick->setEnabled(m_pickable);
    m_progress->setValue(job->status ? 1000 : 0);
    m_status->setText(
        failure.isEmpty() ? job->resultText(m_runner.progress().cancelRequested()) : failure);
    // The focus goes back where it was, not to the next control the disabled button left it to.
    if (m_focusBefore && m_focusBefore->isEnabled())
        m_focusBefore->setFocus();
    if (!failure.isEmpty() || !job->status)
        return;
    if (job->wheel)
        m_status->setText(m_status->text() + job->conditionsText());
    m_shown = job->tickets;
    m_shownMemo = job->memo;
    m_shownWheel = job->wheel;
    showTickets();
    m_add->setEnabled(!m_shown.empty());
    showOdds(*job);
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

} // namespace loto6
