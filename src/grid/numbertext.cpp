#include "grid/numbertext.h"

#include <cmath>
#include <cstdio>

namespace loto6 {

std::string fixedText(double value, int decimals)
{
    if (std::isnan(value))
        return "—";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

std::string groupedText(long long value)
{
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative)
        digits.erase(0, 1);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return (negative ? "-" : "") + digits;
}

std::string pValueText(double p, double floor)
{
    if (std::isnan(p))
        return "—";
    char buf[64];
    if (floor > 0 && p < floor) {
        std::snprintf(buf, sizeof buf, "%.0e未満", floor);
        return buf;
    }
    std::snprintf(buf, sizeof buf, p >= 0.001 ? "%.3f" : "%.1e", p);
    return buf;
}

} // namespace loto6
