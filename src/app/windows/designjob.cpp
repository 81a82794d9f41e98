#include "windows/designjob.h"

#include "commands/backgroundjob.h"
#include "commands/corereasons.h"
#include "design/designbook.h"
#include "design/generator.h"
#include "grid/numbertext.h"
#include "shell/uihelpers.h"

#include <QObject>
#include <QStringList>

namespace loto6 {

using namespace design;

void DesignJob::checkConditions()
{
    for (const Combination &c : tickets)
        if (!passes(filter, maskOf(c), context.latest, context.drawn, context.popularity.get())) {
            if (!missedExample)
                missedExample = c;
            ++missingConditions;
        }
}

void DesignJob::run(JobProgress &progress)
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

QString designRefusalText(const Status &status) { return CoreReasons::japanese(status) + u'。'; }

namespace {

// The wheel's size beside the best known size and the lower bound, with the gap:
// "最良既知 132 口、下限 132 口（最良既知と同じ、最小と証明済み）".
QString wheelSizeText(const Wheel &w)
{
    const auto size = static_cast<long long>(w.tickets.size());
    QString text = w.bestKnown ? QObject::tr("最良既知 %1 口、").arg(w.bestKnown) : QString();
    text += QObject::tr("下限 %1 口").arg(w.lowerBound);
    QStringList gaps;
    if (w.bestKnown)
        gaps << (size == w.bestKnown
                ? QObject::tr("最良既知と同じ")
                : QObject::tr("最良既知より %1 口多い").arg(size - w.bestKnown));
    if (w.knownMinimum && size == w.knownMinimum)
        gaps << QObject::tr("最小と証明済み");
    else
        gaps << (size == w.lowerBound ? QObject::tr("下限と同じ")
                                      : QObject::tr("下限より %1 口多い").arg(size - w.lowerBound));
    return text + QObject::tr("（%1）").arg(gaps.join(QObject::tr("、")));
}

// The Japanese line for a finished job: what was made, or why nothing was.
QString jobResultText(
    const Status &status, bool wheel, const Wheel &made, std::uint64_t passed, bool cancelled)
{
    if (!status) {
        if (cancelled)
            return QObject::tr("キャンセルしました。もう一度押すとやり直します。");
        return designRefusalText(status);
    }
    if (!wheel)
        return QObject::tr("条件に合う %1 通りから選びました。")
            .arg(qs(groupedText(static_cast<long long>(passed))));
    QString text = QObject::tr("%1口のホイール: %2個出れば%3個以上当たる口が必ずあります"
                               "（すべての場合を確認済み）。%4、%5秒。")
                       .arg(made.tickets.size())
                       .arg(made.ifDrawn)
                       .arg(made.win)
                       .arg(wheelSizeText(made))
                       .arg(qs(fixedText(made.seconds, 1)));
    if (made.cancelled)
        text += QObject::tr(" 途中でキャンセルしたため、それまでの最良です。");
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
        return QObject::tr(" ホイールは条件を使いませんが、どの口もチェックした条件（%1）に"
                           "合っています。")
            .arg(conditions);
    int sum = 0;
    for (int n : *example)
        sum += n;
    return QObject::tr(" 注意: ホイールはチェックした条件（%1）を使いません。%2口のうち%3口が"
                       "条件に合いません（例: %4、合計 %5）。条件に合う口だけが欲しいときは"
                       "「条件から選ぶ」を使ってください。")
        .arg(conditions)
        .arg(tickets)
        .arg(missing)
        .arg(qs(combinationText(*example)))
        .arg(sum);
}

} // namespace

QString DesignJob::resultText(bool cancelled) const
{
    return jobResultText(status, wheel, made, combinations, cancelled);
}

QString DesignJob::conditionsText() const
{
    return wheelConditionsText(filter, tickets.size(), missingConditions, missedExample);
}

} // namespace loto6
