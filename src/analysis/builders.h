#pragma once

#include "grid/sheet.h"
#include "store/drawhistory.h"
#include "store/totals.h"

namespace loto6 {

// One function per analysis window: the draw history and the start-up totals in, the filled
// result grid out.
Sheet buildFrequency(const DrawHistory &history, const Totals &totals);
Sheet buildCountGroups(const DrawHistory &history, const Totals &totals);
Sheet buildAppearanceCount(const DrawHistory &history, const Totals &totals);
Sheet buildAppearanceInterval(const DrawHistory &history, const Totals &totals);
Sheet buildNumberInterval(const DrawHistory &history, const Totals &totals);
Sheet buildSpread(const DrawHistory &history, const Totals &totals);
Sheet buildCarryOver(const DrawHistory &history, const Totals &totals);
Sheet buildConsecutive(const DrawHistory &history, const Totals &totals);
Sheet buildSum(const DrawHistory &history, const Totals &totals);
Sheet buildLowHigh(const DrawHistory &history, const Totals &totals);
Sheet buildEvenOdd(const DrawHistory &history, const Totals &totals);
Sheet buildFiveBand(const DrawHistory &history, const Totals &totals);
Sheet buildGroup6(const DrawHistory &history, const Totals &totals);
Sheet buildGroup7(const DrawHistory &history, const Totals &totals);
Sheet buildGroup11(const DrawHistory &history, const Totals &totals);
Sheet buildLastDigit(const DrawHistory &history, const Totals &totals);
Sheet buildLastDigitRun(const DrawHistory &history, const Totals &totals);

} // namespace loto6
