#pragma once

#include <string>

namespace loto6 {

// Texts of computed figures for the tables: a dash stands for a value that is not defined.
std::string fixedText(double value, int decimals);
// A number of the game in at least two digits: 02, 43 (the one form of every table and text).
std::string twoDigitText(long long n);
// A whole number with thousands separators: 1,234,567.
std::string groupedText(long long value);
// An amount of money: 1,234,567円.
std::string yenText(long long value);
// A p-value: three decimals, or scientific notation below 0.001; below floor (when given) the
// text says "below floor", since rounding there exceeds the value itself.
std::string pValueText(double p, double floor = 0.0);
// A chance as a player reads it, "約122万分の1", "約5,645分の1", "約2.5分の1"; "0" for none and
// "1分の1（必ず）" for certainty. Three significant figures in 万 and 億.
std::string oneInText(double p);

} // namespace loto6
