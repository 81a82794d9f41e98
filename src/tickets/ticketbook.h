#pragma once

#include "store/database.h"
#include "store/result.h"
#include "tickets/predictionrecord.h"
#include "tickets/ticket.h"

#include <vector>

namespace loto6 {

// The tickets and the ledger of recorded predictions, kept in tables of their own beside the
// draws (購入番号, 予想記録). Reading a database that never held a ticket finds none and
// changes nothing; the tables are made by the first write. A recorded prediction and its
// tickets refuse every edit, here and in the database itself; they can only be deleted.
class TicketBook
{
public:
    static constexpr const char *TicketsTable = "購入番号";
    static constexpr const char *RecordsTable = "予想記録";

    explicit TicketBook(Database &db)
        : m_db(db)
    {
    }

    // Every ticket in the order added.
    Status tickets(std::vector<Ticket> &out) const;
    Status records(std::vector<PredictionRecord> &out) const;

    // Checks and stores the tickets in one transaction (all or none); sets their ids.
    Status add(std::vector<Ticket> &tickets);
    // The same for tickets made for the next draw, `nextDraw` as the history stood when they
    // were made: inside the write transaction, a history that has moved on since (another
    // program stored a draw) refuses them all, naming both draws (NextDrawMoved).
    Status addForNextDraw(std::vector<Ticket> &tickets, int nextDraw);
    // Changes a typed or pasted ticket; refuses one that belongs to a recorded prediction.
    Status update(Ticket ticket);
    // Deletes a ticket; fails naming the id when there is none.
    Status remove(long long id);
    // Stores the record and one ticket per line for the draw after its latest draw, all at
    // once; sets the ids of the record and the tickets.
    Status record(PredictionRecord &entry,
        const std::vector<std::array<int, MainNumberCount>> &lines, std::vector<Ticket> &made);

private:
    bool hasTables() const;
    Status createTables();
    Status insert(Ticket &ticket);
    // add() with `nextDraw` checked inside the transaction when it is not 0.
    Status store(std::vector<Ticket> &tickets, int nextDraw);

    Database &m_db;
};

} // namespace loto6
