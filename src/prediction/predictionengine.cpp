#include "prediction/predictionengine.h"

#include "prediction/reflectionshift.h"
#include "store/drawrecord.h"

#include <algorithm>

namespace loto6 {

namespace {

// Numbers far outside 1..43 come only from a damaged store; bounding them keeps the offsets
// and comparisons free of overflow.
int boundedNumber(long long n)
{
    return static_cast<int>(std::clamp<long long>(n, -1000000, 1000000));
}

constexpr int WindowDraws = 4;

} // namespace

int PredictionEngine::scan(const DrawHistory &history)
{
    int last = 0;
    for (const DrawRecord &r : history)
        if (addDraw(r))
            last = r.drawNo;
    return last;
}

bool PredictionEngine::addDraw(const DrawRecord &record)
{
    if (!record.isComplete())
        return false;
    DrawTable::Numbers numbers{};
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        numbers[static_cast<std::size_t>(f)] = boundedNumber(record.number(f));
    return addDraw(record.drawNo, numbers);
}

bool PredictionEngine::addDraw(int drawNo, const DrawTable::Numbers &numbers)
{
    if (drawNo < 1)
        return false;
    m_draws.set(drawNo, numbers);
    for (int p = 1; p <= DrawTable::Positions; ++p) {
        const int v = numbers[static_cast<std::size_t>(p - 1)];
        if (const int m = m_draws.previousOccurrence(v, drawNo); m > 0)
            m_cycles.offer(p, drawNo - m, v);
    }
    return true;
}

std::vector<int> PredictionEngine::singles(long long firstSourceDrawNo, int limit) const
{
    std::vector<int> out;
    const long long s0 = firstSourceDrawNo;
    for (int k = 0; k < WindowDraws && static_cast<int>(out.size()) < limit; ++k) {
        for (int p = 1; p <= DrawTable::Positions; ++p) {
            const int v = m_draws.at(p, s0 - k);
            if (v == 0)
                break;
            bool once = true;
            for (int i = 0; i < WindowDraws && once; ++i)
                for (int j = 1; j <= DrawTable::Positions; ++j)
                    if ((i != k || j != p) && m_draws.at(j, s0 - i) == v) {
                        once = false;
                        break;
                    }
            if (!once)
                continue;
            out.push_back(v);
            if (static_cast<int>(out.size()) >= limit)
                break;
        }
    }
    return out;
}

Prediction PredictionEngine::predict(int latestDrawNo, int shift) const
{
    Prediction p;
    p.latestDrawNo = latestDrawNo;
    p.reflectionShift = shift;
    p.cycles = m_cycles;
    p.candidates.compute(m_draws, latestDrawNo, shift);
    const std::vector<int> &distinct = p.candidates.distinct();
    p.elimination.assign(distinct.begin(),
        distinct.begin()
            + std::min<std::ptrdiff_t>(std::ssize(distinct), Prediction::EliminationCells));
    p.consecutive
        = singles(static_cast<long long>(latestDrawNo) - shift - 1, Prediction::ConsecutiveCount);
    p.oneShot.assign(p.consecutive.begin(),
        p.consecutive.begin()
            + std::min<std::ptrdiff_t>(std::ssize(p.consecutive), MainNumberCount));
    return p;
}

Prediction PredictionEngine::predict(int latestDrawNo, const PredictionOptions &options) const
{
    return predict(latestDrawNo, ReflectionShift::of(options));
}

} // namespace loto6
