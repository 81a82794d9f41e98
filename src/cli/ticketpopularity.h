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

// Each line's popularity and expected yen beside the average ticket's, as a table and as a
// JSON object: {"sales": yen, "averageTicketExpectedValue": yen, "tickets": [{"label": ..,
// "numbers": [..], "relativePopularity": r, "percentile": p, "expectedValue": yen,
// "againstAverage": yen, "pattern": null}, ..]}. A pattern ticket of the family has its
// kind's English name as "pattern", null popularity and percentile (they cannot be
// estimated) and its value's upper bound as expectedValue.
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
