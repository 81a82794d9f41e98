#include "design/generator.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace loto6::design {

namespace {

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

std::uint64_t splitmix64(std::uint64_t &state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

PortableRandom::PortableRandom(std::uint64_t seed)
{
    for (std::uint64_t &s : m_s)
        s = splitmix64(seed);
}

std::uint64_t PortableRandom::next()
{
    const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
    const std::uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = rotl(m_s[3], 45);
    return result;
}

std::uint64_t PortableRandom::below(std::uint64_t bound)
{
    // 2^64 mod bound values at the bottom would be drawn once more often: they are redrawn.
    const std::uint64_t threshold = (0 - bound) % bound;
    for (;;) {
        const std::uint64_t r = next();
        if (r >= threshold)
            return r % bound;
    }
}

Status pickTickets(
    const DesignFilter &f, const FilterContext &context, int k, std::uint64_t seed, PickResult &out)
{
    out = {};
    if (k < 1 || k > MaxPick)
        return Status::failure(Fault{.kind = FaultKind::PickCount, .limit = MaxPick});
    if (Status s = f.check(); !s)
        return s;
    if (Status s = context.supports(f); !s)
        return s;
    out.combinations = countPassing(f, context);
    if (out.combinations == 0)
        return Status::failure(Fault{.kind = FaultKind::NoCombinationPasses});
    if (static_cast<std::uint64_t>(k) > out.combinations)
        return Status::failure(Fault{.kind = FaultKind::FewCombinationsPass,
            .value = std::to_string(out.combinations),
            .limit = k});
    PortableRandom random(seed);
    std::vector<std::uint64_t> ranks;
    std::unordered_set<std::uint64_t> taken;
    while (ranks.size() < static_cast<std::size_t>(k)) {
        const std::uint64_t r = random.below(out.combinations);
        if (taken.insert(r).second)
            ranks.push_back(r);
    }
    std::unordered_map<std::uint64_t, std::size_t> slot; // rank -> place in the drawn order
    for (std::size_t i = 0; i < ranks.size(); ++i)
        slot.emplace(ranks[i], i);
    out.tickets.assign(ranks.size(), Combination{});
    std::uint64_t rank = 0;
    forEachPassing(f, context, [&](NumberMask m) {
        if (auto it = slot.find(rank++); it != slot.end())
            out.tickets[it->second] = combinationOf(m);
    });
    return Status::success();
}

} // namespace loto6::design
