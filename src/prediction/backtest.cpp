#include "prediction/backtest.h"

#include "store/drawrecord.h"

#include <algorithm>
#include <bit>
#include <string>

namespace loto6 {

namespace {

constexpr int CycleSlots = 4;
constexpr int SlotCount = CycleSlots + 3 * Backtest::ShiftCount;

std::uint64_t bitOf(long long n)
{
    return n >= 1 && n <= HighestNumber ? std::uint64_t{1} << n : 0;
}

std::uint64_t maskOf(const std::vector<int> &numbers)
{
    std::uint64_t mask = 0;
    for (int n : numbers)
        mask |= bitOf(n);
    return mask;
}

Backtest::Outcome compareMasks(std::uint64_t picks, std::uint64_t mains, std::uint64_t bonus)
{
    Backtest::Outcome o;
    o.picks = static_cast<std::uint8_t>(std::popcount(picks));
    o.matches = static_cast<std::uint8_t>(std::popcount(picks & mains));
    o.bonus = (picks & bonus) != 0;
    return o;
}

std::uint64_t mainMask(const DrawRecord &draw)
{
    std::uint64_t mask = 0;
    for (int f = 0; f < DrawRecord::BonusField; ++f)
        mask |= bitOf(draw.number(f));
    return mask;
}

} // namespace

std::string_view Backtest::title(Method m)
{
    switch (m) {
    case Cycle7:
        return " 7回周期法";
    case Cycle9:
        return " 9回周期法";
    case Cycle11:
        return "11回周期法";
    case Cycle12:
        return "12回周期法";
    case Elimination:
        return "消去法";
    case Consecutive:
        return "連発予想";
    case OneShot:
        return "１発予想";
    }
    return {};
}

std::string_view Backtest::key(Method m)
{
    switch (m) {
    case Cycle7:
        return "cycle-7";
    case Cycle9:
        return "cycle-9";
    case Cycle11:
        return "cycle-11";
    case Cycle12:
        return "cycle-12";
    case Elimination:
        return "elimination";
    case Consecutive:
        return "consecutive";
    case OneShot:
        return "one-shot";
    }
    return {};
}

std::vector<int> Backtest::numbers(const Prediction &prediction, Method m)
{
    switch (m) {
    case Elimination:
        return prediction.elimination;
    case Consecutive:
        return prediction.consecutive;
    case OneShot:
        return prediction.oneShot;
    default:
        break;
    }
    // The bonus position of a cycle row has no cell in the window.
    std::vector<int> row;
    for (int p = 1; p <= MainNumberCount; ++p)
        if (!prediction.cycles.empty(p, m))
            row.push_back(prediction.cycles.number(p, m));
    return row;
}

Backtest::Outcome Backtest::compare(const std::vector<int> &numbers, const DrawRecord &draw)
{
    return compareMasks(maskOf(numbers), mainMask(draw), bitOf(draw.bonus()));
}

Backtest::ShiftSettings Backtest::settingsFor(int shift)
{
    ShiftSettings out;
    int fewest = PredictionOptions::Count + 1;
    for (unsigned mask = 0; mask < (1u << PredictionOptions::Count); ++mask) {
        int sum = 0;
        for (int i = 0; i < PredictionOptions::Count; ++i)
            if (mask & (1u << i))
                sum += ReflectionShift::weight(i);
        if (sum != shift)
            continue;
        ++out.settings;
        if (const int on = std::popcount(mask); on < fewest) {
            fewest = on;
            for (int i = 0; i < PredictionOptions::Count; ++i)
                out.example.on[static_cast<std::size_t>(i)] = (mask & (1u << i)) != 0;
        }
    }
    return out;
}

int Backtest::walk(const DrawHistory &history, int from, const Visitor &visit)
{
    PredictionEngine engine;
    int ordinal = 0;
    int latest = 0;
    int visited = 0;
    for (const DrawRecord &r : history) {
        // Exactly the records the engine's scan takes part in.
        if (!r.isComplete() || r.drawNo < 1)
            continue;
        if (++ordinal >= from) {
            visit(r, latest, engine);
            ++visited;
        }
        engine.addDraw(r);
        latest = r.drawNo;
    }
    return visited;
}

int Backtest::slot(Method m, int shift)
{
    if (!dependsOnShift(m))
        return static_cast<int>(m);
    return CycleSlots + (static_cast<int>(m) - Elimination) * ShiftCount
        + std::clamp(shift, 0, ShiftCount - 1);
}

const std::vector<Backtest::Outcome> &Backtest::outcomes(Method m, int shift) const
{
    static const std::vector<Outcome> none;
    const int s = slot(m, shift);
    return s < std::ssize(m_outcomes) ? m_outcomes[static_cast<std::size_t>(s)] : none;
}

Status Backtest::run(const DrawHistory &history, int from, const Progress &progress)
{
    m_from = from;
    m_drawNos.clear();
    m_outcomes.assign(SlotCount, {});
    return checkNew(history, progress);
}

Status Backtest::extend(const DrawHistory &history, const Progress &progress)
{
    if (m_outcomes.size() != SlotCount)
        return run(history, m_from, progress);
    return checkNew(history, progress);
}

Status Backtest::checkNew(const DrawHistory &history, const Progress &progress)
{
    m_completeDraws = 0;
    if (m_from < 1)
        return Status::failure(Fault{.kind = FaultKind::CheckFromTooEarly});
    for (const DrawRecord &r : history)
        m_completeDraws += r.isComplete() && r.drawNo >= 1 ? 1 : 0;
    if (m_completeDraws < m_from)
        return Status::failure(Fault{.kind = FaultKind::CheckLeavesNone,
            .value = std::to_string(m_completeDraws),
            .limit = m_from});

    // The draws checked before stay; only those after them are predicted and compared.
    const std::size_t kept = m_drawNos.size();
    const std::size_t expected = static_cast<std::size_t>(m_completeDraws - m_from + 1);
    m_drawNos.reserve(expected);
    for (auto &v : m_outcomes)
        v.reserve(expected);

    const int total = static_cast<int>(expected - std::min(kept, expected));
    std::size_t visited = 0;
    bool stopped = false;
    walk(history, m_from, [&](const DrawRecord &draw, int latest, const PredictionEngine &e) {
        if (stopped || visited++ < kept)
            return;
        m_drawNos.push_back(draw.drawNo);
        const std::uint64_t mains = mainMask(draw);
        const std::uint64_t bonus = bitOf(draw.bonus());
        for (int shift = 0; shift < ShiftCount; ++shift) {
            const Prediction p = e.predict(latest, shift);
            if (shift == 0)
                for (int m = Cycle7; m <= Cycle12; ++m)
                    m_outcomes[static_cast<std::size_t>(m)].push_back(
                        compareMasks(maskOf(numbers(p, static_cast<Method>(m))), mains, bonus));
            for (int m = Elimination; m <= OneShot; ++m)
                m_outcomes[static_cast<std::size_t>(slot(static_cast<Method>(m), shift))].push_back(
                    compareMasks(maskOf(numbers(p, static_cast<Method>(m))), mains, bonus));
        }
        if (progress && !progress(checkedCount() - static_cast<int>(kept), total))
            stopped = true;
    });
    if (stopped) {
        // What was checked before stays as it was.
        m_drawNos.resize(kept);
        for (auto &v : m_outcomes)
            v.resize(std::min(v.size(), kept));
        return Status::failure(Fault{.kind = FaultKind::CheckStopped});
    }
    return Status::success();
}

} // namespace loto6
