#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace loto6 {

// Rules for what the user types into the entry window: number cells and draw numbers.

// A number cell is right when it is empty or a whole number from 1 to 43 written in ASCII digits
// (leading zeros allowed); anything else, "7.0" included, is wrong.
enum class NumberText { Empty, Valid, Wrong };
NumberText checkNumberText(std::string_view text);
// The value of a valid number text; nothing for an empty or wrong one.
std::optional<int> parseNumberText(std::string_view text);

// A draw number is a whole number from 1 up, used by no other draw.
enum class DrawNumberText { Valid, NotWholeNumber, AlreadyUsed };
DrawNumberText checkDrawNumberText(std::string_view text, const std::vector<int> &usedNumbers);
std::optional<int> parseDrawNumberText(std::string_view text);

// The lowest draw number above `after` that none of `usedNumbers` takes.
int nextFreeDrawNumber(int after, const std::vector<int> &usedNumbers);

} // namespace loto6
