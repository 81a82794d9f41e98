#pragma once

#include "cli/cli.h"
#include "grid/sheet.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "store/drawhistory.h"
#include "store/drawprizes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace loto6::cli {

// The popularity model learnt from the loaded history (cut by --as-of) and its payouts: the
// one stored for exactly these draws and payouts, or made and stored; null when no stored
// payout has its sales to learn from.
std::shared_ptr<const popularity::PopularityEstimate> fittedPopularity(
    Context &ctx, const std::map<int, DrawPrizes> &prizes);

// The conditions of a value as a JSON object: {"sales": yen, "carryOver": yen,
// "carryOverFromDraw": N or null (the draw whose payouts gave it)}.
std::string conditionsJson(
    const popularity::PopularityEstimate &estimate, const popularity::TicketValuer &valuer);
// A value's range as JSON fields: "valueInterval": [low, high], "againstAverageInterval":
// [low, high], "expectedValueWithoutCarryOver": yen, "extrapolated": true|false.
std::string rangeJson(const popularity::ValueContext &context);

// Each line's popularity and expected yen at the next draw's conditions beside the average
// ticket's, as a table and as a JSON object: {"sales": yen, "averageTicketExpectedValue": yen,
// "averageBoughtTicketExpectedValue": yen, "conditions": {..}, "tickets": [{"label": ..,
// "numbers": [..], "relativePopularity": r, "percentile": p, "expectedValue": yen,
// "againstAverage": yen, "pattern": null, <rangeJson>, "conditions": {..}}, ..]}. A pattern
// ticket of the family has its kind's English name as "pattern", null popularity and
// percentile (they cannot be estimated) and its value's upper bound as expectedValue, its
// range capped alike and extrapolated true.
struct LinePopularity
{
    Sheet sheet;
    std::string json;
};
LinePopularity linePopularity(const std::vector<popularity::LabelledCombination> &lines,
    const popularity::PopularityEstimate &estimate, const popularity::PatternFamily &patterns);

// Why no popularity is shown, with what the user can do.
extern const char *const NoPopularityReason;

} // namespace loto6::cli
