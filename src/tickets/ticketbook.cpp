#include "tickets/ticketbook.h"

#include "store/schema.h"
#include "store/totals.h"

namespace loto6 {

namespace {

constexpr const char *TicketColumns = "番号, 数字1, 数字2, 数字3, 数字4, 数字5, 数字6, 開始回, "
                                      "継続回数, 口数, メモ, 入手, 登録日時, 予想記録";

Ticket readTicket(const SqlStatement &st)
{
    Ticket t;
    t.id = st.integer(0);
    for (int i = 0; i < MainNumberCount; ++i)
        t.numbers[static_cast<std::size_t>(i)] = static_cast<int>(st.integer(1 + i));
    t.firstDraw = static_cast<int>(st.integer(7));
    t.draws = static_cast<int>(st.integer(8));
    t.units = static_cast<int>(st.integer(9));
    t.memo = st.text(10);
    Ticket::parseSourceKey(st.text(11), t.source);
    t.addedAt = st.text(12);
    t.recordId = st.integer(13);
    return t;
}

// Parameters 1..10 of the insert and the update: the numbers, 開始回, 継続回数, 口数 and メモ.
void bindTicketFields(SqlStatement &st, const Ticket &ticket)
{
    for (int i = 0; i < MainNumberCount; ++i)
        st.bind(1 + i, ticket.numbers[static_cast<std::size_t>(i)]);
    st.bind(7, ticket.firstDraw);
    st.bind(8, ticket.draws);
    st.bind(9, ticket.units);
    st.bind(10, std::string_view(ticket.memo));
}

// No ticket has the number; `note` says where to look.
Status noTicket(long long id, std::string note = {})
{
    return Status::failure(Fault{
        .kind = FaultKind::TicketMissing, .value = std::to_string(id), .detail = std::move(note)});
}

} // namespace

bool TicketBook::hasTables() const
{
    SqlStatement st = m_db.prepare(
        "select count(*) from sqlite_master where type = 'table' and name in ('購入番号', "
        "'予想記録')");
    return st.next() && st.integer(0) == 2;
}

Status TicketBook::createTables() { return createTicketTables(m_db); }

Status TicketBook::tickets(std::vector<Ticket> &out) const
{
    out.clear();
    if (!hasTables())
        return Status::success();
    SqlStatement st
        = m_db.prepare(std::string("select ") + TicketColumns + " from 購入番号 order by 番号");
    if (!st.ok())
        return Status::failure(
            Fault{.kind = FaultKind::TicketsNotRead, .file = m_db.path().string()});
    while (st.next()) {
        Ticket t = readTicket(st);
        // A row changed behind the program's back is checked like typed input.
        if (Status s = validateTicket(t); !s)
            return causedBy(Fault{.kind = FaultKind::TicketInvalid,
                                .file = m_db.path().string(),
                                .value = std::to_string(t.id)},
                s);
        out.push_back(std::move(t));
    }
    if (!st.done())
        return Status::failure(
            Fault{.kind = FaultKind::TicketsNotRead, .file = m_db.path().string()});
    return Status::success();
}

Status TicketBook::records(std::vector<PredictionRecord> &out) const
{
    out.clear();
    if (!hasTables())
        return Status::success();
    SqlStatement st = m_db.prepare("select 番号, 記録日時, 基準回, 反映シフト, 設定, 履歴ハッシュ "
                                   "from 予想記録 order by 番号");
    if (!st.ok())
        return Status::failure(
            Fault{.kind = FaultKind::PredictionsNotRead, .file = m_db.path().string()});
    while (st.next()) {
        PredictionRecord r;
        r.id = st.integer(0);
        r.recordedAt = st.text(1);
        r.latestDrawNo = static_cast<int>(st.integer(2));
        r.reflectionShift = static_cast<int>(st.integer(3));
        r.switches = st.text(4);
        r.historyHash = st.text(5);
        out.push_back(std::move(r));
    }
    return Status::success();
}

Status TicketBook::insert(Ticket &ticket)
{
    if (Status s = validateTicket(ticket); !s)
        return s;
    SqlStatement st = m_db.prepare(
        "insert into 購入番号 (数字1, 数字2, 数字3, 数字4, 数字5, 数字6, 開始回, 継続回数, 口数, "
        "メモ, 入手, 予想記録) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!st.ok())
        return Status::failure(
            Fault{.kind = FaultKind::TicketNotStored, .file = m_db.path().string()});
    bindTicketFields(st, ticket);
    st.bind(11, Ticket::sourceKey(ticket.source));
    if (ticket.recordId)
        st.bind(12, ticket.recordId);
    else
        st.bindNull(12);
    if (!st.run())
        return Status::failure(Fault{.kind = FaultKind::TicketNotStored,
            .file = m_db.path().string(),
            .value = ticket.numbersText(),
            .detail = m_db.reason()});
    ticket.id = st.lastInsertId();
    SqlStatement added = m_db.prepare("select 登録日時 from 購入番号 where 番号 = ?");
    added.bind(1, ticket.id);
    if (added.next())
        ticket.addedAt = added.text(0);
    return Status::success();
}

Status TicketBook::add(std::vector<Ticket> &tickets) { return store(tickets, 0); }

Status TicketBook::addForNextDraw(std::vector<Ticket> &tickets, int nextDraw)
{
    return store(tickets, nextDraw);
}

Status TicketBook::store(std::vector<Ticket> &tickets, int nextDraw)
{
    for (std::size_t i = 0; i < tickets.size(); ++i)
        if (Status s = validateTicket(tickets[i]); !s)
            return tickets.size() > 1 ? atLine(s, static_cast<int>(i + 1)) : s;
    Transaction tx(m_db);
    if (!tx.begun())
        return tx.begun();
    // Read under the write lock: no draw can be stored between this check and the commit.
    if (nextDraw != 0) {
        DrawHistory history;
        if (Status s = m_db.loadHistory(history); !s)
            return s;
        if (const int now = computeTotals(history).latestDrawNo + 1; now != nextDraw)
            return Status::failure(
                Fault{.kind = FaultKind::NextDrawMoved, .draw = nextDraw, .limit = now});
    }
    if (Status s = createTables(); !s)
        return s;
    for (Ticket &t : tickets)
        if (Status s = insert(t); !s)
            return s;
    return tx.commit();
}

Status TicketBook::update(Ticket ticket)
{
    if (ticket.recordId || ticket.source == Ticket::Source::Prediction)
        return Status::failure(
            Fault{.kind = FaultKind::TicketRecorded, .value = std::to_string(ticket.id)});
    if (Status s = validateTicket(ticket); !s)
        return s;
    if (!hasTables())
        return noTicket(ticket.id);
    SqlStatement st = m_db.prepare(
        "update 購入番号 set 数字1 = ?, 数字2 = ?, 数字3 = ?, 数字4 = ?, 数字5 = ?, 数字6 = ?, "
        "開始回 = ?, 継続回数 = ?, 口数 = ?, メモ = ? where 番号 = ?");
    if (!st.ok())
        return Status::failure(
            Fault{.kind = FaultKind::TicketNotChangedDb, .file = m_db.path().string()});
    bindTicketFields(st, ticket);
    st.bind(11, ticket.id);
    if (!st.run())
        return Status::failure(Fault{.kind = FaultKind::TicketNotChanged,
            .value = std::to_string(ticket.id),
            .detail = m_db.reason()});
    if (st.changes() == 0)
        return noTicket(ticket.id);
    return Status::success();
}

Status TicketBook::remove(long long id)
{
    if (!hasTables())
        return noTicket(id);
    SqlStatement st = m_db.prepare("delete from 購入番号 where 番号 = ?");
    st.bind(1, id);
    if (!st.run())
        return Status::failure(Fault{.kind = FaultKind::TicketNotDeleted,
            .file = m_db.path().string(),
            .value = std::to_string(id),
            .detail = m_db.reason()});
    if (st.changes() == 0)
        return noTicket(id, "(see tickets list)");
    return Status::success();
}

Status TicketBook::record(PredictionRecord &entry,
    const std::vector<std::array<int, MainNumberCount>> &lines, std::vector<Ticket> &made)
{
    made.clear();
    if (lines.empty())
        return Status::failure(Fault{.kind = FaultKind::PredictionEmpty});
    if (entry.latestDrawNo >= MaxDrawNumber)
        return Status::failure(Fault{.kind = FaultKind::NoDrawFollows, .draw = entry.latestDrawNo});
    Transaction tx(m_db);
    if (!tx.begun())
        return tx.begun();
    if (Status s = createTables(); !s)
        return s;
    SqlStatement st = m_db.prepare("insert into 予想記録 (基準回, 反映シフト, 設定, 履歴ハッシュ) "
                                   "values (?, ?, ?, ?)");
    if (!st.ok())
        return Status::failure(
            Fault{.kind = FaultKind::PredictionNotStored, .file = m_db.path().string()});
    st.bind(1, entry.latestDrawNo);
    st.bind(2, entry.reflectionShift);
    st.bind(3, std::string_view(entry.switches));
    st.bind(4, std::string_view(entry.historyHash));
    if (!st.run())
        return Status::failure(Fault{.kind = FaultKind::PredictionNotStored,
            .file = m_db.path().string(),
            .detail = m_db.reason()});
    entry.id = st.lastInsertId();
    for (const auto &line : lines) {
        Ticket t;
        t.numbers = line;
        t.firstDraw = entry.latestDrawNo + 1;
        t.source = Ticket::Source::Prediction;
        t.recordId = entry.id;
        t.memo = "予想記録 " + std::to_string(entry.id);
        if (Status s = insert(t); !s)
            return s;
        made.push_back(t);
    }
    if (Status s = tx.commit(); !s) {
        made.clear();
        return s;
    }
    return Status::success();
}

} // namespace loto6
