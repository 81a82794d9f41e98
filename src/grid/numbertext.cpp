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

std::string oneInText(double p)
{
    if (!(p > 0))
        return "0";
    if (p >= 1)
        return "1分の1（必ず）";
    const double n = 1 / p;
    // Three significant figures of a count of 万 or 億, without trailing zeros after the point.
    const auto inUnit = [](double count, const char *unit) {
        const int decimals = count >= 100 ? 0 : count >= 10 ? 1 : 2;
        std::string text = fixedText(count, decimals);
        if (text.find('.') != std::string::npos) {
            while (text.back() == '0')
                text.pop_back();
            if (text.back() == '.')
                text.pop_back();
        }
        return "約" + text + unit + "分の1";
    };
    if (n >= 1e8 * 0.9995)
        return inUnit(n / 1e8, "億");
    if (n >= 1e4 * 0.9995 && std::llround(n) >= 100000)
        return inUnit(n / 1e4, "万");
    if (n < 10)
        return "約" + fixedText(n, 1) + "分の1";
    return "約" + groupedText(std::llround(n)) + "分の1";
}

} // namespace loto6
