#pragma once

#include "store/drawhistory.h"
#include "store/totals.h"

namespace loto6::bench {

// The bundled real history, and a generated one of the given length with the same shape.
const DrawHistory &bundledHistory();
const Totals &bundledTotals();
DrawHistory generatedHistory(int draws);
const DrawHistory &largeHistory(); // 30,000 draws
const Totals &largeTotals();

} // namespace loto6::bench
