#pragma once

#include "store/drawrecord.h"
#include "store/result.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace loto6 {

// Rules for the numbers and dates of a draw, shared by every way of entering one.

// ASCII digits only, leading zeros allowed; no sign, point or exponent. A value too large for
// 64 bits comes out as the largest one, so every range check refuses it.
std::optional<long long> parseWholeNumber(std::string_view digits);

// A number cell is right when it is empty or a whole number from 1 to 43 written in ASCII digits
// (leading zeros allowed); anything else, "7.0" included, is wrong.
enum class NumberText { Empty, Valid, Wrong };
NumberText checkNumberText(std::string_view text);
// The value of a valid number text; nothing for an empty or wrong one.
std::optional<int> parseNumberText(std::string_view text);

// What no import would accept in a stored draw: a draw number below 1, a number field that is
// not a whole number from 1 to 43, a number twice, a date that is not one. Empty when none.
std::string storedDrawProblem(const DrawRecord &draw);
// How many stored draws no import would accept, and the first of them with its fault.
struct StoredValuesCheck
{
    std::size_t count = 0;
    int firstDraw = 0;
    std::string firstProblem;

    // Counts the draw when it holds such a value; draws are added in ascending 回数.
    void add(const DrawRecord &draw);
};
StoredValuesCheck checkStoredValues(const std::vector<DrawRecord> &draws);
// The same as one line for the history read and export; empty when every draw is acceptable.
std::string storedValuesWarning(const StoredValuesCheck &check);
std::string storedValuesWarning(const std::vector<DrawRecord> &draws);

// A draw number is a whole number from 1 to MaxDrawNumber, used by no other draw.
enum class DrawNumberText { Valid, NotWholeNumber, TooLarge, AlreadyUsed };
DrawNumberText checkDrawNumberText(std::string_view text, const std::vector<int> &usedNumbers);
std::optional<int> parseDrawNumberText(std::string_view text);

// Reads a whole number from `lowest` (0 or more) to `largest` into `value`, or gives why the
// text is not one as the end of a message: "is not a whole number", "is below 1" or "is too
// large: the largest <what> is 43". `what` names the value ("draw number").
std::string wholeNumberProblem(std::string_view text, long long lowest, long long largest,
    std::string_view what, long long &value);
// The same for a draw number, 1 to MaxDrawNumber.
std::string drawNumberProblem(std::string_view text, int &drawNo);

// The seven numbers of a draw (six main numbers, then the bonus): each from 1 to 43 and none
// repeated within the draw, the bonus included. Absent fields are skipped; a field that repeats
// an earlier one is the one marked.
enum class NumberFault { None, OutOfRange, Repeated };
using DrawFields = std::array<std::optional<long long>, DrawRecord::FieldCount>;
std::array<NumberFault, DrawRecord::FieldCount> checkDrawNumbers(const DrawFields &fields);
// The earlier field that a Repeated field repeats; -1 when none.
int repeatedField(const DrawFields &fields, int field);
// The first two fields (0..5 main, 6 bonus) that hold the same number; nothing when every
// filled field differs.
std::optional<std::pair<int, int>> repeatedNumber(const DrawRecord &draw);
// 第1数字..第6数字 or ボーナス数字.
std::string fieldName(int field);

// The one check of the numbers of a draw (seven texts) or a ticket (six), every reader's: each
// a whole number from 1 to HighestNumber written in ASCII digits, none repeating an earlier
// one. An empty text is an absent field in a history CSV and a fault anywhere else. Gives the
// first fault (NumberNotWhole in a history CSV or the entry grid, where an empty text is an
// absent field, else NumberOutOfRange; then NumberRepeated)
// with the field's name, the value as written and the limit, its index to `faultField`; the
// numbers to `fields` when every one is right. `form` says whose words the command line uses.
Status readDrawFields(std::span<const std::string> texts, DrawForm form, int drawNo,
    DrawFields &fields, int *faultField = nullptr);

// A draw date: a real calendar date from year 1000 to 9999 written YYYY-MM-DD or YYYY/M/D.
// Gives it as YYYY-MM-DD; nothing for anything else.
std::optional<std::string> parseDrawDate(std::string_view text);

// The first draw day after a date (YYYY-MM-DD): Mondays and Thursdays from 2011-04-04 on,
// Thursdays only before. Empty when the date is not one.
std::string nextDrawDay(std::string_view isoDate);

// Today's date on this machine (local time) as YYYY-MM-DD.
std::string todayDate();
// What is wrong with the date of a fetched draw: later than the day after `today` (a day's
// grace for time zones), or not later than `previousDate`, the date of the draw before it.
// Empty when neither; an empty date or previous date is not checked against.
std::string fetchedDateProblem(
    std::string_view date, std::string_view previousDate, std::string_view today);
// The same as a kind: DrawFuture, DrawNotAfter, or Other when the date is neither.
FaultKind fetchedDateFault(
    std::string_view date, std::string_view previousDate, std::string_view today);

} // namespace loto6
