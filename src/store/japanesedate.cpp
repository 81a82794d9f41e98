#include "store/japanesedate.h"

#include <array>
#include <cstdio>

namespace loto6 {

namespace {

struct Era
{
    std::string_view name;
    int firstYear;                    // the western year of 元年
    int firstMonth, firstDay;         // the era's first day in its first year
    int lastYear, lastMonth, lastDay; // its last day; lastYear 0 while it runs
};

constexpr std::array<Era, 2> Eras = {{
    {"平成", 1989, 1, 8, 2019, 4, 30},
    {"令和", 2019, 5, 1, 0, 0, 0},
}};

// Reads ASCII digits up to the given marker; 元 stands for 1 where the marker is 年.
bool readPart(std::string_view &s, std::string_view marker, bool allowGan, int &value)
{
    if (allowGan && s.starts_with("元")) {
        s.remove_prefix(std::string_view("元").size());
        value = 1;
    } else {
        std::size_t n = 0;
        value = 0;
        while (n < s.size() && n < 4 && s[n] >= '0' && s[n] <= '9')
            value = value * 10 + (s[n++] - '0');
        if (n == 0)
            return false;
        s.remove_prefix(n);
    }
    if (!s.starts_with(marker))
        return false;
    s.remove_prefix(marker.size());
    return true;
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysIn(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

int dayKey(int y, int m, int d) { return (y * 100 + m) * 100 + d; }

} // namespace

Status parseJapaneseDate(std::string_view text, std::string &iso)
{
    const auto fault = [&text](FaultKind kind, std::string era = {}) {
        return Status::failure(
            Fault{.kind = kind, .field = std::move(era), .value = std::string(text)});
    };
    const Era *era = nullptr;
    for (const Era &e : Eras)
        if (text.starts_with(e.name))
            era = &e;
    if (!era)
        return fault(FaultKind::EraDateUnknown);
    std::string_view s = text.substr(era->name.size());
    int year = 0, month = 0, day = 0;
    if (!readPart(s, "年", true, year) || !readPart(s, "月", false, month)
        || !readPart(s, "日", false, day) || !s.empty() || year < 1)
        return fault(FaultKind::EraDateForm);
    const int y = era->firstYear + year - 1;
    if (month < 1 || month > 12 || day < 1 || day > daysIn(y, month))
        return fault(FaultKind::EraDateNotDay);
    const int key = dayKey(y, month, day);
    if (key < dayKey(era->firstYear, era->firstMonth, era->firstDay)
        || (era->lastYear && key > dayKey(era->lastYear, era->lastMonth, era->lastDay)))
        return fault(FaultKind::EraDateOutside, std::string(era->name));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, month, day);
    iso = buf;
    return Status::success();
}

} // namespace loto6
