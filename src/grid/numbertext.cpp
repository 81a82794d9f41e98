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

std::string twoDigitText(long long n)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02lld", n);
    return buf;
}

std::string groupedText(long long value)
{
    // Built front to back, so no insert moves the digits already written.
    const std::string digits = std::to_string(value);
    const std::size_t sign = value < 0 ? 1 : 0;
    std::string text = digits.substr(0, sign);
    for (std::size_t i = sign; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

std::string yenText(long long value) { return groupedText(value) + "円"; }

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
