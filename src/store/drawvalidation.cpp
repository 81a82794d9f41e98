#include "store/drawvalidation.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace loto6 {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Digits only: no sign, no decimal point, no exponent.
std::optional<long long> parseDigits(std::string_view s)
{
    if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long long v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

} // namespace

NumberText checkNumberText(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return NumberText::Empty;
    return parseNumberText(text) ? NumberText::Valid : NumberText::Wrong;
}

std::optional<int> parseNumberText(std::string_view text)
{
    const auto v = parseDigits(trimmed(text));
    if (!v || *v < 1 || *v > 43)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<int> parseDrawNumberText(std::string_view text)
{
    const auto v = parseDigits(trimmed(text));
    if (!v || *v < 1 || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*v);
}

DrawNumberText checkDrawNumberText(std::string_view text, const std::vector<int> &usedNumbers)
{
    const auto no = parseDrawNumberText(text);
    if (!no)
        return DrawNumberText::NotWholeNumber;
    if (std::find(usedNumbers.begin(), usedNumbers.end(), *no) != usedNumbers.end())
        return DrawNumberText::AlreadyUsed;
    return DrawNumberText::Valid;
}

int nextFreeDrawNumber(int after, const std::vector<int> &usedNumbers)
{
    std::vector<int> used(usedNumbers);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    int candidate = std::max(after, 0) + 1;
    for (auto it = std::upper_bound(used.begin(), used.end(), candidate - 1);
         it != used.end() && *it == candidate; ++it)
        ++candidate;
    return candidate;
}

} // namespace loto6
