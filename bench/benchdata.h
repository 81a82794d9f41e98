#pragma once

#include "popularity/observations.h"
#include "store/drawhistory.h"
#include "store/totals.h"

namespace loto6::bench {

// The bundled real history, and a generated one of the given length with the same shape.
const DrawHistory &bundledHistory();
const Totals &bundledTotals();
DrawHistory generatedHistory(int draws);
const DrawHistory &largeHistory(); // 30,000 draws
const Totals &largeTotals();
// The bundled history's draws with their bundled payouts, as the popularity model learns them.
const std::vector<popularity::DrawObservation> &bundledObservations();

} // namespace loto6::bench
