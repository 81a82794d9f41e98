#include "design/filters.h"

#include "analysis/probability.h"
#include "grid/numbertext.h"

#include <bit>
#include <charconv>
#include <sstream>

namespace loto6::design {

namespace {

constexpr int LowestHigh = 22; // 01..21 are the low numbers

// The walk over every combination that the filters may pass. Per-number traits are looked up,
// the running sum and counts are carried down, and a branch stops as soon as one of them is
// past the upper end of its range.
class Walker
{
public:
    Walker(const DesignFilter &f, const FilterContext &context)
        : m_f(f)
        , m_context(context)
    {
        NumberMask allowed = f.pool ? f.pool : ~NumberMask{0};
        allowed &= ~f.exclude;
        for (int n = 1; n <= HighestNumber; ++n)
            if (allowed & (NumberMask{1} << n))
                m_numbers[m_count++] = n;
        m_sumMax = f.sum ? f.sum->high : 1000;
        m_oddMax = f.odd ? f.odd->high : 6;
        m_lowMax = f.low ? f.low->high : 6;
        m_consMax = f.consecutive ? f.consecutive->high : 6;
        m_carryMax = f.carryOver ? f.carryOver->high : 6;
        if (f.leastPopular && context.supports(f))
            m_limit = context.popularity.get();
        m_blocked = f.leastPopular && !m_limit; // nothing can be judged
    }

    template<typename Visit>
    void run(Visit &visit) const
    {
        if (m_blocked)
            return;
        if (m_limit)
            step<0, true>(visit, 0, State{});
        else
            step<0, false>(visit, 0, State{});
    }

private:
    struct State
    {
        int sum = 0;
        int odd = 0;
        int low = 0;
        int cons = 0;
        int carry = 0;
        int last = -1;
        unsigned digits = 0;
        NumberMask mask = 0;
        double logWeight = 0; // popularity, only with a limit
    };

    template<int Depth, bool Popularity, typename Visit>
    void step(Visit &visit, int from, const State &s) const
    {
        constexpr int Left = MainNumberCount - Depth; // numbers still to choose, this one included
        for (int i = from; i <= m_count - Left; ++i) {
            const int n = m_numbers[i];
            // The smallest sum this branch can reach grows with n: stop the loop.
            if (s.sum + Left * n + Left * (Left - 1) / 2 > m_sumMax)
                break;
            const NumberMask bit = NumberMask{1} << n;
            // A number to include that lies below n and is not taken can no longer be.
            const NumberMask below = (bit << 1) - 1;
            if ((m_f.include & below & ~(s.mask | bit)) != 0)
                break;
            State t = s;
            t.sum += n;
            t.odd += n & 1;
            t.low += n < LowestHigh ? 1 : 0;
            t.cons += n == s.last + 1 ? 1 : 0;
            t.carry += (m_context.latest & bit) ? 1 : 0;
            t.last = n;
            t.digits |= 1u << (n % 10);
            t.mask = s.mask | bit;
            if constexpr (Popularity)
                t.logWeight = s.logWeight + m_limit->scale.step(s.mask, n);
            if (t.odd > m_oddMax || t.low > m_lowMax || t.cons > m_consMax || t.carry > m_carryMax)
                continue;
            if constexpr (Depth + 1 == MainNumberCount) {
                if (leafPasses(t)
                    && (!Popularity
                        || (t.logWeight <= m_limit->maxLogWeight && !m_limit->isPattern(t.mask))))
                    visit(t.mask);
            } else {
                step<Depth + 1, Popularity>(visit, i + 1, t);
            }
        }
    }

    bool leafPasses(const State &t) const
    {
        const auto in = [](const std::optional<Range> &r, int v) { return !r || r->contains(v); };
        return in(m_f.sum, t.sum) && in(m_f.odd, t.odd) && in(m_f.low, t.low)
            && in(m_f.consecutive, t.cons) && in(m_f.lastDigits, std::popcount(t.digits))
            && in(m_f.carryOver, t.carry) && (t.mask & m_f.include) == m_f.include
            && !(m_f.notDrawn && m_context.drawn.contains(t.mask));
    }

    const DesignFilter &m_f;
    const FilterContext &m_context;
    int m_numbers[HighestNumber]{};
    int m_count = 0;
    int m_sumMax, m_oddMax, m_lowMax, m_consMax, m_carryMax;
    const PopularityLimit *m_limit = nullptr;
    bool m_blocked = false;
};

std::uint64_t mix(NumberMask m)
{
    m ^= m >> 31;
    m *= 0x9E3779B97F4A7C15ull;
    return m ^ (m >> 29);
}

} // namespace

std::string combinationText(const Combination &c)
{
    std::string out;
    for (int n : c) {
        if (!out.empty())
            out += ' ';
        out += twoDigitText(n);
    }
    return out;
}

std::string numberListText(NumberMask m)
{
    std::string out;
    for (int n : numbersOf(m))
        out += (out.empty() ? "" : ",") + std::to_string(n);
    return out;
}

DrawnSet::DrawnSet()
    : m_slots(8192, 0)
{
}

void DrawnSet::insert(NumberMask m)
{
    if (m == 0 || contains(m))
        return;
    if ((m_size + 1) * 2 > m_slots.size()) {
        std::vector<NumberMask> old(m_slots.size() * 2, 0);
        old.swap(m_slots);
        m_size = 0;
        for (NumberMask x : old)
            if (x)
                insert(x);
    }
    std::size_t i = mix(m) & (m_slots.size() - 1);
    while (m_slots[i] != 0)
        i = (i + 1) & (m_slots.size() - 1);
    m_slots[i] = m;
    ++m_size;
}

bool DrawnSet::contains(NumberMask m) const
{
    for (std::size_t i = mix(m) & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
        if (m_slots[i] == m)
            return true;
        if (m_slots[i] == 0)
            return false;
    }
}

std::vector<NumberMask> drawMasks(const DrawHistory &history)
{
    std::vector<NumberMask> out;
    out.reserve(history.size());
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        NumberMask m = 0;
        for (int i = 0; i < MainNumberCount; ++i) {
            const long long n = r.mainNumber(i);
            if (n >= 1 && n <= HighestNumber)
                m |= NumberMask{1} << n;
        }
        if (std::popcount(m) == MainNumberCount)
            out.push_back(m);
    }
    return out;
}

FilterContext FilterContext::fromHistory(const DrawHistory &history, const DesignFilter &f,
    const popularity::PopularityEstimate *estimate)
{
    FilterContext c;
    for (NumberMask m : drawMasks(history)) {
        c.drawn.insert(m);
        c.latest = m;
    }
    c.popularity = limitFor(f, estimate, popularity::PatternFamily::fromHistory(history));
    return c;
}

std::shared_ptr<const PopularityLimit> FilterContext::limitFor(const DesignFilter &f,
    const popularity::PopularityEstimate *estimate, const popularity::PatternFamily &patterns)
{
    if (!f.leastPopular || !estimate)
        return nullptr;
    return std::make_shared<const PopularityLimit>(
        *estimate, *f.leastPopular, f.includePatterns ? std::nullopt : std::optional(patterns));
}

Status FilterContext::supports(const DesignFilter &f) const
{
    if (f.leastPopular
        && (!popularity || popularity->percent != *f.leastPopular
            || popularity->excluded.has_value() == f.includePatterns))
        return Status::failure(Fault{.kind = FaultKind::PopularityNotLearnt});
    return Status::success();
}

bool passes(const DesignFilter &f, NumberMask m, NumberMask latest, const DrawnSet &drawn,
    const PopularityLimit *limit)
{
    if (std::popcount(m) != MainNumberCount || (f.pool && (m & ~f.pool)) || (m & f.exclude)
        || (m & f.include) != f.include || (f.notDrawn && drawn.contains(m))
        || (f.leastPopular && (!limit || !limit->admits(m))))
        return false;
    int sum = 0, odd = 0, low = 0, cons = 0;
    unsigned digits = 0;
    for (int n : numbersOf(m)) {
        sum += n;
        odd += n & 1;
        low += n < LowestHigh ? 1 : 0;
        cons += (m >> (n + 1)) & 1;
        digits |= 1u << (n % 10);
    }
    const auto in = [](const std::optional<Range> &r, int v) { return !r || r->contains(v); };
    return in(f.sum, sum) && in(f.odd, odd) && in(f.low, low) && in(f.consecutive, cons)
        && in(f.lastDigits, std::popcount(digits)) && in(f.carryOver, std::popcount(m & latest));
}

void forEachPassing(const DesignFilter &f, const FilterContext &context,
    const std::function<void(NumberMask)> &visit)
{
    auto call = [&visit](NumberMask m) { visit(m); };
    Walker(f, context).run(call);
}

std::optional<std::uint64_t> knownPassingCount(const DesignFilter &f, const FilterContext &context)
{
    // The least popular share alone: counted once with the estimate.
    DesignFilter others = f;
    others.leastPopular.reset();
    others.includePatterns = false;
    if (f.leastPopular && others.empty() && context.supports(f)
        && context.popularity->admittedCount)
        return *context.popularity->admittedCount;
    return std::nullopt;
}

std::uint64_t countPassing(const DesignFilter &f, const FilterContext &context)
{
    if (const std::optional<std::uint64_t> known = knownPassingCount(f, context))
        return *known;
    std::uint64_t n = 0;
    auto add = [&n](NumberMask) { ++n; };
    Walker(f, context).run(add);
    return n;
}

} // namespace loto6::design
