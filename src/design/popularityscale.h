#pragma once

#include "design/combination.h"
#include "design/odds.h"
#include "popularity/patterns.h"
#include "popularity/popularityestimate.h"

#include <array>
#include <optional>
#include <vector>

namespace loto6::design {

// The popularity model read in the designer's numbering (1..43, masks): a combination's log
// pick weight is summed number by number in ascending order, so that the walk over every
// combination and the judgement of a single one add the same terms in the same order and
// agree to the last bit at the edge of a limit.
class PopularityScale
{
public:
    explicit PopularityScale(const popularity::PopularityModel &model);

    // What number n adds to the log weight of the numbers already chosen (all below n).
    double step(NumberMask chosen, int n) const
    {
        double s = m_number[static_cast<std::size_t>(n)];
        for (NumberMask m = chosen; m; m &= m - 1)
            s += m_pair[static_cast<std::size_t>(std::countr_zero(m) * Stride + n)];
        return s;
    }
    // The sum of the steps of a combination's numbers, ascending.
    double logWeight(NumberMask m) const;
    // A log weight as popularity relative to the average ticket (1.0).
    double relative(double logWeight) const;
    // The log weight of a relative popularity.
    double logWeightOf(double relativePopularity) const;

private:
    static constexpr int Stride = HighestNumber + 1;
    std::array<double, Stride> m_number{};
    std::vector<double> m_pair;
    double m_logNormaliser = 0;
};

// "Only the least popular X%": the largest log weight a combination may have, from the sorted
// popularity of every combination, less the pattern tickets of `excluded` (players crowd onto
// them whatever the model says). A copy: it holds nothing of the estimate it came from.
struct PopularityLimit
{
    PopularityScale scale;
    double percent = 0;
    double maxLogWeight = 0;
    double maxRelative = 0; // the same limit as relative popularity
    std::optional<popularity::PatternFamily> excluded;
    // How many of all combinations admits() passes, from the estimate's table when it keeps
    // the count for this share and these excluded patterns (so that the count alone needs no
    // walk).
    std::optional<std::uint64_t> admittedCount;

    PopularityLimit(const popularity::PopularityEstimate &estimate, double share,
        std::optional<popularity::PatternFamily> excludedPatterns);
    bool isPattern(NumberMask m) const { return excluded && excluded->kindOf(m).has_value(); }
    bool admits(NumberMask m) const { return scale.logWeight(m) <= maxLogWeight && !isPattern(m); }
};

// Each ticket's own expected prize per tier from the popularity model: the fewer others
// chose its numbers, the less a shared prize is split. A pattern ticket of `patterns` has its
// prizes scaled down so that its value is at most `patternValueCap` (the most popular 1%'s).
class PopularityPrizeModel : public PrizeModel
{
public:
    PopularityPrizeModel(popularity::TicketValuer valuer, popularity::PatternFamily patterns,
        double patternValueCap);
    double expectedPrize(const Combination &ticket, int tier) const override;
    bool known(int) const override { return true; }
    bool perTicket() const override { return true; }

private:
    popularity::TicketValuer m_valuer;
    popularity::PatternFamily m_patterns;
    double m_patternValueCap;
};

// The tickets ordered from the least to the most popular; ties keep their order. The pattern
// tickets of `patterns` (when given) go last: their popularity cannot be estimated.
void sortByPopularity(std::vector<Combination> &tickets, const popularity::PopularityModel &model,
    const popularity::PatternFamily *patterns);

} // namespace loto6::design
