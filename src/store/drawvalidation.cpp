#include "store/drawvalidation.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
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

bool allDigits(std::string_view s)
{
    return !s.empty()
        && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool inNumberRange(long long v) { return v >= 1 && v <= HighestNumber; }

std::string isoText(const std::chrono::year_month_day &date)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", int(date.year()), unsigned(date.month()),
        unsigned(date.day()));
    return buf;
}

// YYYY-MM-DD or YYYY/M/D, one kind of separator, a real date from year 1000 on.
std::optional<std::chrono::year_month_day> parseDate(std::string_view text)
{
    text = trimmed(text);
    const std::size_t first = text.find_first_of("-/");
    if (first != 4)
        return std::nullopt;
    const std::size_t second = text.find(text[first], first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view m = text.substr(first + 1, second - first - 1);
    const std::string_view d = text.substr(second + 1);
    if (m.size() > 2 || d.size() > 2)
        return std::nullopt;
    const auto year = parseWholeNumber(text.substr(0, first)), month = parseWholeNumber(m),
               day = parseWholeNumber(d);
    if (!year || !month || !day || *year < 1000)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(int(*year)),
        std::chrono::month(unsigned(*month)), std::chrono::day(unsigned(*day))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

// A date exactly as a stored one is written: YYYY-MM-DD, a real date from year 1000 on. The
// same as parseDrawDate(text) == text, without building the text (it runs for every draw read).
bool isStoredDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    unsigned parts[3] = {}; // year, month, day
    for (std::size_t i = 0, part = 0; i < text.size(); ++i) {
        if (i == 4 || i == 7) {
            ++part;
        } else if (text[i] >= '0' && text[i] <= '9') {
            parts[part] = parts[part] * 10 + unsigned(text[i] - '0');
        } else {
            return false;
        }
    }
    const std::chrono::year_month_day date{
        std::chrono::year(int(parts[0])), std::chrono::month(parts[1]), std::chrono::day(parts[2])};
    return parts[0] >= 1000 && date.ok();
}

} // namespace

std::optional<long long> parseWholeNumber(std::string_view s)
{
    if (!allDigits(s))
        return std::nullopt;
    while (s.size() > 1 && s.front() == '0')
        s.remove_prefix(1);
    long long v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range)
        return std::numeric_limits<long long>::max();
    if (ec != std::errc() || ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

NumberText checkNumberText(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return NumberText::Empty;
    return parseNumberText(text) ? NumberText::Valid : NumberText::Wrong;
}

std::optional<int> parseNumberText(std::string_view text)
{
    const auto v = parseWholeNumber(trimmed(text));
    if (!v || !inNumberRange(*v))
        return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<int> parseDrawNumberText(std::string_view text)
{
    const auto v = parseWholeNumber(trimmed(text));
    if (!v || *v < 1 || *v > MaxDrawNumber)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string wholeNumberProblem(std::string_view text, long long lowest, long long largest,
    std::string_view what, long long &value)
{
    text = trimmed(text);
    const bool negative = text.starts_with('-');
    const auto v = parseWholeNumber(negative ? text.substr(1) : text);
    if (!v)
        return "is not a whole number";
    if (negative || *v < lowest)
        return "is below " + std::to_string(lowest);
    if (*v > largest)
        return "is too large: the largest " + std::string(what) + " is " + std::to_string(largest);
    value = *v;
    return {};
}

std::string drawNumberProblem(std::string_view text, int &drawNo)
{
    long long v = 0;
    std::string problem = wholeNumberProblem(text, 1, MaxDrawNumber, "draw number", v);
    if (problem.empty())
        drawNo = static_cast<int>(v);
    return problem;
}

DrawNumberText checkDrawNumberText(std::string_view text, const std::vector<int> &usedNumbers)
{
    const auto no = parseDrawNumberText(text);
    if (!no) {
        const auto v = parseWholeNumber(trimmed(text));
        return v && *v > MaxDrawNumber ? DrawNumberText::TooLarge : DrawNumberText::NotWholeNumber;
    }
    if (std::find(usedNumbers.begin(), usedNumbers.end(), *no) != usedNumbers.end())
        return DrawNumberText::AlreadyUsed;
    return DrawNumberText::Valid;
}

int repeatedField(const DrawFields &fields, int field)
{
    const auto &v = fields[std::size_t(field)];
    if (!v)
        return -1;
    for (int earlier = 0; earlier < field; ++earlier)
        if (fields[std::size_t(earlier)] == v)
            return earlier;
    return -1;
}

std::array<NumberFault, DrawRecord::FieldCount> checkDrawNumbers(const DrawFields &fields)
{
    std::array<NumberFault, DrawRecord::FieldCount> faults{};
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const auto &v = fields[std::size_t(f)];
        if (v && !inNumberRange(*v))
            faults[std::size_t(f)] = NumberFault::OutOfRange;
        else if (repeatedField(fields, f) >= 0)
            faults[std::size_t(f)] = NumberFault::Repeated;
    }
    return faults;
}

std::optional<std::pair<int, int>> repeatedNumber(const DrawRecord &draw)
{
    for (int f = 1; f < DrawRecord::FieldCount; ++f)
        if (const int earlier = repeatedField(draw.fields, f); earlier >= 0)
            return std::make_pair(earlier, f);
    return std::nullopt;
}

std::string fieldName(int field)
{
    if (field == DrawRecord::BonusField)
        return "ボーナス数字";
    return "第" + std::to_string(field + 1) + "数字";
}

namespace {

// The name of a field in the words of the form: the command line's add names its arguments;
// a ticket's numbers are unordered and have none.
std::string fieldNameIn(DrawForm form, int field)
{
    if (form == DrawForm::Ticket)
        return {};
    static constexpr const char *ArgumentNames[DrawRecord::FieldCount]
        = {"N1", "N2", "N3", "N4", "N5", "N6", "BONUS"};
    return form == DrawForm::Command ? ArgumentNames[field] : fieldName(field);
}

Status numberFault(FaultKind kind, DrawForm form, int field, std::string value, int *faultField)
{
    if (faultField)
        *faultField = field;
    return Status::failure(Fault{.kind = kind,
        .field = fieldNameIn(form, field),
        .value = std::move(value),
        .limit = HighestNumber,
        .form = form});
}

} // namespace

Status readDrawFields(std::span<const std::string> texts, DrawForm form, int drawNo,
    DrawFields &fields, int *faultField)
{
    DrawFields read{};
    const int count = static_cast<int>(std::min<std::size_t>(texts.size(), read.size()));
    for (int f = 0; f < count; ++f) {
        const std::string &text = texts[std::size_t(f)];
        // An empty cell of a history CSV or of the entry grid is an absent number.
        const bool absentAllowed = form == DrawForm::HistoryCsv || form == DrawForm::Entry;
        if (text.empty() && absentAllowed)
            continue;
        // The command line's arguments may carry spaces around a number.
        const std::optional<long long> n
            = parseWholeNumber(form == DrawForm::Command ? trimmed(text) : std::string_view(text));
        if (!n)
            return numberFault(
                absentAllowed ? FaultKind::NumberNotWhole : FaultKind::NumberOutOfRange, form, f,
                text, faultField);
        if (!inNumberRange(*n)) {
            // A number is shown as its value; one too long for it, or typed, as written.
            const bool asValue = text.size() < 19 && form != DrawForm::OfficialFile
                && form != DrawForm::Command && form != DrawForm::Entry;
            return numberFault(FaultKind::NumberOutOfRange, form, f,
                asValue ? std::to_string(*n) : text, faultField);
        }
        read[std::size_t(f)] = n;
    }
    for (int f = 1; f < count; ++f)
        if (const int earlier = repeatedField(read, f); earlier >= 0) {
            Status s = numberFault(FaultKind::NumberRepeated, form, f,
                std::to_string(*read[std::size_t(f)]), faultField);
            Fault fault = s.fault();
            fault.earlier = fieldNameIn(form, earlier);
            fault.draw = drawNo;
            return Status::failure(std::move(fault));
        }
    fields = read;
    return Status::success();
}

std::string storedDrawProblem(const DrawRecord &draw)
{
    if (draw.drawNo < 1)
        return "the draw number is below 1";
    if (draw.malformed)
        return "a number field is not a whole number";
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const auto &v = draw.fields[static_cast<std::size_t>(f)];
        if (v && !inNumberRange(*v))
            return fieldName(f) + " " + std::to_string(*v) + " is outside 1.."
                + std::to_string(HighestNumber);
    }
    if (const auto twice = repeatedNumber(draw))
        return fieldName(twice->second) + " repeats " + fieldName(twice->first);
    if (!draw.date.empty() && !isStoredDate(draw.date))
        return "the date is not a YYYY-MM-DD date of the calendar";
    return {};
}

void StoredValuesCheck::add(const DrawRecord &draw)
{
    std::string problem = storedDrawProblem(draw);
    if (problem.empty())
        return;
    if (count++ == 0) {
        firstDraw = draw.drawNo;
        firstProblem = std::move(problem);
    }
}

StoredValuesCheck checkStoredValues(const std::vector<DrawRecord> &draws)
{
    StoredValuesCheck check;
    for (const DrawRecord &d : draws)
        check.add(d);
    return check;
}

std::string storedValuesWarning(const std::vector<DrawRecord> &draws)
{
    return storedValuesWarning(checkStoredValues(draws));
}

std::string storedValuesWarning(const StoredValuesCheck &check)
{
    if (check.count == 0)
        return {};
    return std::to_string(check.count)
        + " stored draw(s) hold values no import accepts (first: draw "
        + std::to_string(check.firstDraw) + ": " + check.firstProblem
        + "); they are shown as stored, and an exported file will be refused by import until "
          "they are corrected";
}

std::optional<std::string> parseDrawDate(std::string_view text)
{
    const auto date = parseDate(text);
    return date ? std::optional<std::string>(isoText(*date)) : std::nullopt;
}

std::string nextDrawDay(std::string_view isoDate)
{
    using namespace std::chrono;
    const auto date = parseDate(isoDate);
    if (!date)
        return {};
    const sys_days twiceWeekly = year(2011) / April / 4;
    for (int i = 1; i <= 7; ++i) {
        const sys_days candidate = sys_days(*date) + days(i);
        const weekday w(candidate);
        if (w == Thursday || (w == Monday && candidate >= twiceWeekly)) {
            const year_month_day next(candidate);
            return int(next.year()) > 9999 ? std::string() : isoText(next);
        }
    }
    return {};
}

std::string todayDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

FaultKind fetchedDateFault(
    std::string_view date, std::string_view previousDate, std::string_view today)
{
    using namespace std::chrono;
    const auto day = parseDate(date);
    if (!day)
        return FaultKind::Other;
    if (const auto now = parseDate(today); now && sys_days(*day) > sys_days(*now) + days(1))
        return FaultKind::DrawFuture;
    if (const auto before = parseDate(previousDate); before && sys_days(*day) <= sys_days(*before))
        return FaultKind::DrawNotAfter;
    return FaultKind::Other;
}

std::string fetchedDateProblem(
    std::string_view date, std::string_view previousDate, std::string_view today)
{
    switch (fetchedDateFault(date, previousDate, today)) {
    case FaultKind::DrawFuture:
        return "is dated " + std::string(date) + ", after today (" + std::string(today) + ")";
    case FaultKind::DrawNotAfter:
        return "is dated " + std::string(date) + ", not after " + std::string(previousDate)
            + ", the date of the draw before it";
    default:
        return {};
    }
}

} // namespace loto6
