#pragma once

#include "design/combination.h"
#include "design/popularityscale.h"
#include "store/drawhistory.h"
#include "store/result.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace loto6::design {

// A closed range of whole numbers, low..high.
struct Range
{
    int low = 0;
    int high = 0;

    bool contains(int v) const { return v >= low && v <= high; }
    bool operator==(const Range &) const = default;
};

// Conditions on a ticket's six numbers; an absent range or an empty mask sets no condition.
struct DesignFilter
{
    std::optional<Range> sum;         // sum of the six, 21..243
    std::optional<Range> odd;         // odd numbers, 0..6
    std::optional<Range> low;         // numbers 01..21, 0..6
    std::optional<Range> consecutive; // sorted neighbours that differ by one, 0..5
    std::optional<Range> lastDigits;  // distinct last digits, 1..6
    std::optional<Range> carryOver;   // numbers shared with the latest draw, 0..6
    NumberMask include = 0;           // every one of these
    NumberMask exclude = 0;           // none of these
    NumberMask pool = 0;              // all six from these (0: any)
    bool notDrawn = false;            // never drawn as a 1等 combination
    // Only the least popular share of all combinations with players, in percent (0..100];
    // needs the popularity model in the filter context.
    std::optional<double> leastPopular;
    // With leastPopular: keep the pattern tickets (popularity/patterns.h), which players crowd
    // onto though the model rates some of them among the least popular; left out otherwise.
    bool includePatterns = false;

    bool operator==(const DesignFilter &) const = default;
    bool empty() const { return *this == DesignFilter{}; }
    // The filters as command-line options ("--sum 100-160 --odd 3"), read back by
    // takeFilterOption; kept with designed tickets in the ticket book.
    std::string optionsText() const;
    // The filters in Japanese words for a player ("合計 100〜160、奇数 3個"); empty when none.
    std::string japaneseText() const;
    // What keeps every combination out before any counting, as its kind with the numbers:
    // include meets exclude (IncludedAndExcluded), include lies outside the pool
    // (IncludedOutsidePool), more than six to include (TooManyIncluded), fewer than six
    // numbers allowed (TooFewAllowed).
    Status check() const;
};

// Numbers 1..43 separated by commas or spaces, appended to `out` in the order given; a
// NumberListItem fault with the item that is not one (the whole text when it holds none).
Status parseNumberList(std::string_view text, std::vector<int> &out);

// Takes the filter option at args[i] and its value into `filter`; moves i past them. Nothing
// when args[i] is no filter option; a failure (the command line's words) for a bad value.
std::optional<Status> takeFilterOption(
    const std::vector<std::string> &args, std::size_t &i, DesignFilter &filter);
// Reads optionsText() back; a failure on anything else.
Status parseFilterOptions(const std::string &text, DesignFilter &filter);

// The 1等 combinations drawn so far, as a hash set of masks.
class DrawnSet
{
public:
    DrawnSet();
    void insert(NumberMask m);
    bool contains(NumberMask m) const;
    std::size_t size() const { return m_size; }

private:
    std::vector<NumberMask> m_slots; // 0 marks an empty slot; a combination is never 0
    std::size_t m_size = 0;
};

// What the filters compare with: the latest draw and the combinations drawn, from a history,
// and the filter's popularity limit taken from the model when one was fitted.
struct FilterContext
{
    NumberMask latest = 0; // main numbers of the latest complete draw (0 when none)
    DrawnSet drawn;
    std::shared_ptr<const PopularityLimit> popularity;

    static FilterContext fromHistory(const DrawHistory &history, const DesignFilter &f = {},
        const popularity::PopularityEstimate *estimate = nullptr);
    // The filter's popularity limit, when it has one and the model is there; it leaves out the
    // family's pattern tickets unless the filter includes them.
    static std::shared_ptr<const PopularityLimit> limitFor(const DesignFilter &f,
        const popularity::PopularityEstimate *estimate, const popularity::PatternFamily &patterns);
    // A popularity limit that the context cannot judge: the model is missing.
    Status supports(const DesignFilter &f) const;
};

// Whether one combination passes, against the given latest draw, drawn set and popularity
// limit (null: the filter has none).
bool passes(const DesignFilter &f, NumberMask combination, NumberMask latest, const DrawnSet &drawn,
    const PopularityLimit *limit = nullptr);

// Calls visit(mask) for every combination that passes, in ascending lexicographic order of
// the sorted six; skips whole branches that include, exclude, pool and the upper ends of the
// ranges rule out.
void forEachPassing(const DesignFilter &f, const FilterContext &context,
    const std::function<void(NumberMask)> &visit);
// How many of the 6,096,454 combinations pass (the counting walk, without a callback).
std::uint64_t countPassing(const DesignFilter &f, const FilterContext &context);
// The count when it is known without a walk (the least popular share alone, from the estimate).
std::optional<std::uint64_t> knownPassingCount(const DesignFilter &f, const FilterContext &context);

// The exact count with its probability, and the past draws that passed against the number
// expected. A past draw is judged as the filters would have judged it before it was drawn:
// against the draw before it and the combinations drawn before it; its chance of passing is
// that of a fair draw in the same context, counted exactly, and the expected number is the sum
// of these chances. Under fair draws the count less that sum has the spread of independent
// draws with those chances (`sd`, and `low`..`high` hold it with at least 95%).
struct FilterCount
{
    std::uint64_t combinations = 0;
    double probability = 0;
    int draws = 0;
    int passed = 0;
    double expected = 0;
    double sd = 0;
    int low = 0;
    int high = 0;
    // The past draws were judged with a popularity limit of the model learnt from these same
    // draws' winners (in-sample): their count is no test of the limit.
    bool popularityInSample = false;
};
// The popularity limit is judged with the one model of the whole history for every draw: it
// says how players choose, not which numbers are drawn. Refitting before each draw would
// take a fit and a pass over every combination per draw, so the count is marked in-sample.
// The pattern tickets left out of the count are the whole history's; a past draw is judged
// against the fixed kinds only (the latest draws' own combinations would otherwise never pass).
FilterCount countFilter(const DesignFilter &f, const DrawHistory &history,
    const popularity::PopularityEstimate *popularity = nullptr);

// The main numbers of each complete draw, in history order.
std::vector<NumberMask> drawMasks(const DrawHistory &history);

} // namespace loto6::design
