#include "design/generator.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace loto6::design {

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
