#include "design/generator.h"

#include "analysis/probability.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace loto6::design {

namespace {

// The most passing combinations the pick keeps from its counting walk (16 MB); past it, a
// second walk finds the ones drawn.
constexpr std::uint64_t KeptPassing = std::uint64_t{1} << 21;

// The combination of the given rank among all of them in ascending lexicographic order of the
// sorted six, the order of the walk: the first number is the smallest whose block holds the
// rank, and so on down the places.
Combination combinationAtRank(std::uint64_t rank)
{
    Combination c{};
    int n = 1;
    for (int place = 0; place < MainNumberCount; ++place)
        for (;; ++n) {
            const std::uint64_t block
                = binomialCoefficient(HighestNumber - n, MainNumberCount - 1 - place);
            if (rank < block) {
                c[static_cast<std::size_t>(place)] = n++;
                break;
            }
            rank -= block;
        }
    return c;
}

} // namespace

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
    // Without a condition every combination passes: no walk counts or finds them. Otherwise
    // the counting walk keeps what passes, while it fits, so that no second walk finds them.
    std::vector<NumberMask> kept;
    if (f.empty())
        out.combinations = AllCombinations;
    else if (const std::optional<std::uint64_t> known = knownPassingCount(f, context))
        out.combinations = *known;
    else
        forEachPassing(f, context, [&](NumberMask m) {
            if (out.combinations++ < KeptPassing)
                kept.push_back(m);
        });
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
    if (!kept.empty() && kept.size() == out.combinations) {
        for (std::size_t i = 0; i < ranks.size(); ++i)
            out.tickets[i] = combinationOf(kept[ranks[i]]);
        return Status::success();
    }
    if (f.empty()) {
        for (std::size_t i = 0; i < ranks.size(); ++i)
            out.tickets[i] = combinationAtRank(ranks[i]);
        return Status::success();
    }
    std::uint64_t rank = 0;
    forEachPassing(f, context, [&](NumberMask m) {
        if (auto it = slot.find(rank++); it != slot.end())
            out.tickets[it->second] = combinationOf(m);
    });
    return Status::success();
}

} // namespace loto6::design
