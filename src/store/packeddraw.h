#pragma once

#include "store/drawrecord.h"

#include <array>
#include <cstdint>
#include <optional>

namespace loto6 {

// A draw as an import holds it on its way in: 16 bytes where a DrawRecord takes 160, so that a
// history file of tens of megabytes is held in a few times its size. It holds what every reader
// accepts: numbers from 1 to 255 or none, a YYYY-MM-DD date or none.
class PackedDraw
{
public:
    PackedDraw() = default;

    // Nothing when the record holds what no reader gives (a number outside 1..255, a date not
    // written YYYY-MM-DD, a malformed field): packing then would lose it.
    static std::optional<PackedDraw> pack(const DrawRecord &draw);
    DrawRecord unpack() const;

    int drawNo() const { return m_drawNo; }
    bool isComplete() const;

private:
    std::int32_t m_drawNo = 0;
    std::uint32_t m_date = 0;                                     // yyyymmdd, 0 for none
    std::array<std::uint8_t, DrawRecord::FieldCount> m_numbers{}; // 0 for none
};

} // namespace loto6
