#include "design/designbook.h"

#include "tickets/ticketbook.h"

#include <algorithm>

namespace loto6::design {

std::string pickMemo(const DesignFilter &filter, std::uint64_t seed)
{
    const std::string conditions = filter.japaneseText();
    return "条件から選択（シード " + std::to_string(seed)
        + (conditions.empty() ? "" : "、" + conditions) + "）";
}

std::string wheelMemo(const Wheel &wheel, const std::vector<int> &pool)
{
    NumberMask m = 0;
    for (int n : pool)
        m |= NumberMask{1} << n;
    return "ホイール（" + std::to_string(wheel.ifDrawn) + "個出れば" + std::to_string(wheel.win)
        + "個以上当たる保証、数字 " + numberListText(m) + "）";
}

Status addDesignedTickets(Database &db, const std::vector<Combination> &tickets, int firstDraw,
    int draws, const std::string &memo, std::vector<Ticket> &made)
{
    made.clear();
    if (tickets.empty())
        return Status::failure(Fault{.kind = FaultKind::NoTicketsToAdd});
    for (const Combination &c : tickets) {
        Ticket t;
        std::copy(c.begin(), c.end(), t.numbers.begin());
        t.firstDraw = firstDraw;
        t.draws = draws;
        t.units = 1;
        t.memo = memo;
        t.source = Ticket::Source::Designed;
        made.push_back(t);
    }
    return TicketBook(db).addForNextDraw(made, firstDraw);
}

} // namespace loto6::design
