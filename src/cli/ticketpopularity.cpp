#include "cli/ticketpopularity.h"

#include "grid/sheetwriter.h"
#include "popularity/observations.h"
#include "popularity/storedestimate.h"

#include <sstream>

namespace loto6::cli {

using namespace loto6::popularity;

const char *const NoPopularityReason
    = "no stored draw has its payouts and sales, so popularity cannot be learnt; import a "
      "history with prizes (import FILE)";

std::shared_ptr<const PopularityEstimate> fittedPopularity(
    Context &ctx, const std::map<int, DrawPrizes> &prizes)
{
    auto estimate = storedEstimate(ctx.db, observationsOf(ctx.history, prizes)).estimate;
    if (!estimate || !estimate->fitted())
        return nullptr;
    return estimate;
}

std::string conditionsJson(const PopularityEstimate &estimate, const TicketValuer &valuer)
{
    const NextDrawConditions &next = estimate.nextDraw();
    return "{\"sales\": " + jsonNumber(valuer.sales())
        + ", \"carryOver\": " + jsonNumber(valuer.carryOver()) + ", \"carryOverFromDraw\": "
        + (next.fromDraw > 0 && valuer.carryOver() == next.carryOver ? std::to_string(next.fromDraw)
                                                                     : std::string("null"))
        + "}";
}

std::string rangeJson(const ValueContext &c)
{
    return "\"valueInterval\": [" + jsonNumber(c.range.low) + ", " + jsonNumber(c.range.high)
        + "], \"againstAverageInterval\": [" + jsonNumber(c.range.gainLow) + ", "
        + jsonNumber(c.range.gainHigh)
        + "], \"expectedValueWithoutCarryOver\": " + jsonNumber(c.withoutCarryOver)
        + ", \"extrapolated\": " + (c.range.extrapolated ? "true" : "false");
}

LinePopularity linePopularity(const std::vector<LabelledCombination> &lines,
    const PopularityEstimate &estimate, const PatternFamily &patterns)
{
    const TicketValuer valuer = estimate.nextDrawValuer();
    const ValueSpectrum spectrum = estimate.spectrum(valuer);
    const std::string conditions = conditionsJson(estimate, valuer);
    std::ostringstream o;
    o << "{\"sales\": " << jsonNumber(valuer.sales())
      << ", \"averageTicketExpectedValue\": " << jsonNumber(spectrum.averageTicketValue)
      << ", \"averageTicketInterval\": [" << jsonNumber(spectrum.averageRange.low) << ", "
      << jsonNumber(spectrum.averageRange.high) << ']'
      << ", \"averageBoughtTicketExpectedValue\": " << jsonNumber(spectrum.averageBoughtValue)
      << ", \"conditions\": " << conditions << ", \"tickets\": [";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TicketValue v = valuer.value(lines[i].numbers);
        const PatternInfo *pattern = patterns.infoOf(lines[i].numbers);
        const double value = shownValue(v, pattern, spectrum);
        o << (i ? ",\n  " : "\n  ") << "{\"label\": " << jsonString(lines[i].label)
          << ", \"numbers\": [";
        for (std::size_t k = 0; k < v.numbers.size(); ++k)
            o << (k ? ", " : "") << v.numbers[k];
        o << "], \"relativePopularity\": " << (pattern ? "null" : jsonNumber(v.relativePopularity))
          << ", \"percentile\": "
          << (pattern ? "null" : jsonNumber(estimate.percentile(v.relativePopularity)))
          << ", \"expectedValue\": " << jsonNumber(value)
          << ", \"againstAverage\": " << jsonNumber(value - spectrum.averageTicketValue)
          << ", \"pattern\": " << (pattern ? jsonString(pattern->english) : "null") << ",\n   "
          << rangeJson(valueContext(estimate, valuer, v, spectrum, pattern))
          << ", \"conditions\": " << conditions << '}';
    }
    o << "]}";
    return {ticketPopularitySheet(lines, estimate, valuer, spectrum, patterns), o.str()};
}

} // namespace loto6::cli
