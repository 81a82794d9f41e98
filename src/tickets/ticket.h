#pragma once

#include "store/drawrecord.h"
#include "store/result.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace loto6 {

// One line bought (or recorded): six distinct numbers for a run of consecutive draws, in one
// or more units. A ticket that came from a recorded prediction belongs to that record and
// cannot be edited.
struct Ticket
{
    enum class Source { Typed, Pasted, Prediction, Designed };

    static constexpr int UnitPrice = 200; // yen a unit a draw
    static constexpr int MaxUnits = 100000;
    static constexpr std::size_t MaxMemoBytes = 1000;

    long long id = 0; // 0 until stored
    std::array<int, MainNumberCount> numbers{};
    int firstDraw = 1;
    int draws = 1; // 継続購入: consecutive draws from firstDraw
    int units = 1; // 口数
    std::string memo;
    Source source = Source::Typed;
    std::string addedAt;    // local time as stored, "YYYY-MM-DD HH:MM:SS"
    long long recordId = 0; // the recorded prediction it belongs to, 0 for none

    int lastDraw() const { return firstDraw + draws - 1; }
    bool covers(int drawNo) const { return drawNo >= firstDraw && drawNo <= lastDraw(); }
    // Bit n set for each number n.
    std::uint64_t mask() const;
    // "02 08 10 13 27 30"
    std::string numbersText() const;

    static std::string_view sourceKey(Source s);   // typed, pasted, prediction, designed
    static std::string_view sourceLabel(Source s); // 入力, 貼り付け, 予想記録, 設計
    static bool parseSourceKey(std::string_view key, Source &s);
};

// Checks a ticket before it is stored: the numbers, the draw run, the units and the memo.
// The message names the field that is wrong and what is allowed; the numbers are sorted.
Status validateTicket(Ticket &ticket);

// Reads the six numbers of one line such as "02 08 10 13 27 30", "2,8,10,13,27,30" or with
// full-width digits; separators are spaces, commas, tabs, dots, slashes and hyphens.
Status parseTicketNumbers(std::string_view line, std::array<int, MainNumberCount> &numbers);

} // namespace loto6
