#pragma once

#include "analysis/chancelaw.h"
#include "analysis/chancereport.h"
#include "store/drawrecord.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The tests of the chance page, one builder per kind: each fills a test's figures, cells and
// sentence, with a mark where the verdict goes once Holm's adjustment over all of them is
// known. Used by chance.cpp only.
namespace loto6::chancetests {

using Test = ChanceReport::Test;
using Category = ChanceReport::Category;

// The six main numbers and the bonus number.
inline constexpr int AllPicks = MainNumberCount + BonusNumberCount;
inline constexpr std::string_view VerdictMark = "%V%";

// Per-number counts of 1..43, with `picks` numbers of each of n draws counted.
Test appearanceTest(std::string key, std::string title,
    const std::array<double, HighestNumber + 1> &counts, int picks, int n);
// Counts of the categories a number falls in (bands, last digits), over all seven numbers.
Test groupTest(std::string key, std::string title, std::string_view what,
    const std::vector<std::string> &labels, const std::vector<int> &groupSize,
    const std::vector<double> &observed, int n);
// A count of draws with some property against its exact chance p.
Test drawShareTest(
    std::string key, std::string title, std::string_view what, int hits, int n, double p);
// Pattern letters A..G by how many of the six main numbers are odd (or low).
Test patternTest(std::string key, std::string title, std::string_view one, std::string_view other,
    const std::vector<double> &byCount, const std::vector<double> &law, int n);
Test carryOverTest(const std::vector<double> &overlap, int pairs, const ChanceLaw &law);
Test sumMeanTest(double sum, int n, const ChanceLaw &law);
// The sample standard deviation of the sums (divided by n - 1) against the law's.
Test sumSpreadTest(double sum, double sumSq, int n, const ChanceLaw &law);
Test lastDigitTest(const std::vector<double> &digits, int n);
// Gaps between appearances of a number against the geometric law of a 7/43 chance per draw,
// cut off by the length of the history.
Test gapTest(const std::vector<double> &gaps, int n);

// The verdict that replaces the mark in a test's sentence.
std::string verdict(const Test &t, double alpha);

} // namespace loto6::chancetests
