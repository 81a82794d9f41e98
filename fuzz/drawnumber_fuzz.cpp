// Any text as a draw number, a number cell or a date: what is accepted is in range, reads as
// the digits say, and a date gives a later draw day.
#include "fuzzcheck.h"

#include "store/drawvalidation.h"

#include <limits>

using namespace loto6;

namespace {

std::string withoutLeadingZeros(std::string_view digits)
{
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    return std::string(digits);
}

void checkWholeNumber(std::string_view text)
{
    const auto v = parseWholeNumber(text);
    if (!v)
        return;
    FUZZ_CHECK(!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos,
        std::string(text));
    FUZZ_CHECK(*v >= 0, std::string(text));
    if (*v != std::numeric_limits<long long>::max())
        FUZZ_CHECK(std::to_string(*v) == withoutLeadingZeros(text), std::string(text));
}

void checkDrawNumber(std::string_view text)
{
    if (const auto no = parseDrawNumberText(text)) {
        FUZZ_CHECK(*no >= 1 && *no <= MaxDrawNumber, std::string(text));
        FUZZ_CHECK(
            checkDrawNumberText(text, {*no}) == DrawNumberText::AlreadyUsed, std::string(text));
        FUZZ_CHECK(checkDrawNumberText(text, {}) == DrawNumberText::Valid, std::string(text));
    } else {
        FUZZ_CHECK(checkDrawNumberText(text, {}) != DrawNumberText::Valid, std::string(text));
    }
    int drawNo = 0;
    const std::string problem = drawNumberProblem(text, drawNo);
    FUZZ_CHECK(problem.empty() == parseDrawNumberText(text).has_value(), std::string(text));
    if (problem.empty())
        FUZZ_CHECK(drawNo == *parseDrawNumberText(text), std::string(text));
    const bool tooLarge = problem.starts_with("is too large");
    FUZZ_CHECK(
        tooLarge == (checkDrawNumberText(text, {}) == DrawNumberText::TooLarge), std::string(text));
    if (const auto n = parseNumberText(text))
        FUZZ_CHECK(*n >= 1 && *n <= 43, std::string(text));
}

void checkDate(std::string_view text)
{
    const auto date = parseDrawDate(text);
    if (!date)
        return;
    FUZZ_CHECK(date->size() == 10 && (*date)[4] == '-' && (*date)[7] == '-', *date);
    FUZZ_CHECK(parseDrawDate(*date) == date, *date);
    const std::string next = nextDrawDay(*date);
    if (next.empty())
        FUZZ_CHECK(date->starts_with("9999-12"), *date);
    else
        FUZZ_CHECK(parseDrawDate(next) == next && next > *date, *date + " -> " + next);
}

// Seven fields from the bytes: the faults marked agree with the first repeat found.
void checkFields(const unsigned char *data, std::size_t size)
{
    DrawRecord d;
    d.drawNo = 1;
    for (std::size_t f = 0; f < d.fields.size() && f < size; ++f)
        if (data[f] != 0xff)
            d.fields[f] = static_cast<signed char>(data[f]);
    const auto faults = checkDrawNumbers(d.fields);
    const auto twice = repeatedNumber(d);
    bool anyRepeat = false, anyRange = false;
    for (std::size_t f = 0; f < faults.size(); ++f) {
        anyRepeat |= faults[f] == NumberFault::Repeated;
        anyRange |= faults[f] == NumberFault::OutOfRange;
    }
    if (!anyRange)
        FUZZ_CHECK(anyRepeat == twice.has_value(), "repeat marks disagree");
    if (storedDrawProblem(d).empty())
        FUZZ_CHECK(!anyRepeat && !anyRange, "a faulty draw taken as fine");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    checkWholeNumber(text);
    checkDrawNumber(text);
    checkDate(text);
    checkFields(data, size);
    return 0;
}
