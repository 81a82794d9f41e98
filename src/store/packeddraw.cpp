#include "store/packeddraw.h"

namespace loto6 {

namespace {

// YYYY-MM-DD as the number yyyymmdd; nothing for any other text.
std::optional<std::uint32_t> packDate(const std::string &date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return std::nullopt;
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < date.size(); ++i) {
        if (i == 4 || i == 7)
            continue;
        if (date[i] < '0' || date[i] > '9')
            return std::nullopt;
        packed = packed * 10 + static_cast<std::uint32_t>(date[i] - '0');
    }
    return packed == 0 ? std::nullopt : std::optional<std::uint32_t>(packed);
}

} // namespace

std::optional<PackedDraw> PackedDraw::pack(const DrawRecord &draw)
{
    if (draw.malformed)
        return std::nullopt;
    PackedDraw p;
    p.m_drawNo = draw.drawNo;
    if (!draw.date.empty()) {
        const std::optional<std::uint32_t> date = packDate(draw.date);
        if (!date)
            return std::nullopt;
        p.m_date = *date;
    }
    for (std::size_t f = 0; f < p.m_numbers.size(); ++f) {
        const auto &n = draw.fields[f];
        if (!n)
            continue;
        if (*n < 1 || *n > 255)
            return std::nullopt;
        p.m_numbers[f] = static_cast<std::uint8_t>(*n);
    }
    return p;
}

DrawRecord PackedDraw::unpack() const
{
    DrawRecord r;
    r.drawNo = m_drawNo;
    if (m_date) {
        r.date = "0000-00-00";
        std::uint32_t rest = m_date;
        for (std::size_t i = r.date.size(); i-- > 0;) {
            if (i == 4 || i == 7)
                continue;
            r.date[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        }
    }
    for (std::size_t f = 0; f < m_numbers.size(); ++f)
        if (m_numbers[f])
            r.fields[f] = m_numbers[f];
    return r;
}

bool PackedDraw::isComplete() const
{
    for (std::uint8_t n : m_numbers)
        if (!n)
            return false;
    return true;
}

} // namespace loto6
