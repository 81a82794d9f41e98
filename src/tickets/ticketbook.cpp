#include "tickets/ticketbook.h"

#include "store/sqlstatement.h"

namespace loto6 {

namespace {

constexpr const char *Schema = R"(
CREATE TABLE IF NOT EXISTS 予想記録 (
    番号 INTEGER PRIMARY KEY AUTOINCREMENT,
    記録日時 TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    基準回 INTEGER NOT NULL, 反映シフト INTEGER NOT NULL, 設定 TEXT NOT NULL,
    履歴ハッシュ TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS 購入番号 (
    番号 INTEGER PRIMARY KEY AUTOINCREMENT,
    数字1 INTEGER NOT NULL, 数字2 INTEGER NOT NULL, 数字3 INTEGER NOT NULL,
    数字4 INTEGER NOT NULL, 数字5 INTEGER NOT NULL, 数字6 INTEGER NOT NULL,
    開始回 INTEGER NOT NULL, 継続回数 INTEGER NOT NULL, 口数 INTEGER NOT NULL,
    メモ TEXT NOT NULL DEFAULT '', 入手 TEXT NOT NULL,
    登録日時 TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    予想記録 INTEGER);
CREATE TRIGGER IF NOT EXISTS 予想記録の変更禁止 BEFORE UPDATE ON 予想記録
BEGIN SELECT RAISE(ABORT, 'a recorded prediction cannot be edited, only deleted'); END;
CREATE TRIGGER IF NOT EXISTS 記録済み購入番号の変更禁止 BEFORE UPDATE ON 購入番号
WHEN OLD.予想記録 IS NOT NULL
BEGIN SELECT RAISE(ABORT, 'a recorded prediction cannot be edited, only deleted'); END;
)";

constexpr const char *TicketColumns = "番号, 数字1, 数字2, 数字3, 数字4, 数字5, 数字6, 開始回, "
                                      "継続回数, 口数, メモ, 入手, 登録日時, 予想記録";

Ticket readTicket(const SqlStatement &st)
{
    Ticket t;
    t.id = st.integer(0);
    for (int i = 0; i < Ticket::Size; ++i)
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
    for (int i = 0; i < Ticket::Size; ++i)
        st.bind(1 + i, ticket.numbers[static_cast<std::size_t>(i)]);
    st.bind(7, ticket.firstDraw);
    st.bind(8, ticket.draws);
    st.bind(9, ticket.units);
    st.bind(10, std::string_view(ticket.memo));
}

} // namespace

bool TicketBook::hasTables() const
{
    SqlStatement st(m_db.handle(),
        "select count(*) from sqlite_master where type = 'table' and name in ('購入番号', "
        "'予想記録')");
    return st.ok() && st.step() == SQLITE_ROW && st.integer(0) == 2;
}

Status TicketBook::createTables()
{
    if (Status s = m_db.exec(Schema); !s)
        return Status::failure("cannot create the ticket tables: " + s.message());
    return Status::success();
}

Status TicketBook::tickets(std::vector<Ticket> &out) const
{
    out.clear();
    if (!hasTables())
        return Status::success();
    SqlStatement st(
        m_db.handle(), std::string("select ") + TicketColumns + " from 購入番号 order by 番号");
    if (!st.ok())
        return Status::failure(m_db.path().string() + ": cannot read the tickets");
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        Ticket t = readTicket(st);
        // A row changed behind the program's back is checked like typed input.
        if (Status s = validateTicket(t); !s)
            return Status::failure(
                m_db.path().string() + ": ticket " + std::to_string(t.id) + ": " + s.message());
        out.push_back(std::move(t));
    }
    if (rc != SQLITE_DONE)
        return Status::failure(m_db.path().string() + ": cannot read the tickets");
    return Status::success();
}

Status TicketBook::records(std::vector<PredictionRecord> &out) const
{
    out.clear();
    if (!hasTables())
        return Status::success();
    SqlStatement st(m_db.handle(),
        "select 番号, 記録日時, 基準回, 反映シフト, 設定, 履歴ハッシュ "
        "from 予想記録 order by 番号");
    if (!st.ok())
        return Status::failure(m_db.path().string() + ": cannot read the recorded predictions");
    while (st.step() == SQLITE_ROW) {
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
    SqlStatement st(m_db.handle(),
        "insert into 購入番号 (数字1, 数字2, 数字3, 数字4, 数字5, 数字6, 開始回, 継続回数, 口数, "
        "メモ, 入手, 予想記録) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!st.ok())
        return Status::failure(m_db.path().string() + ": cannot store the ticket");
    bindTicketFields(st, ticket);
    st.bind(11, Ticket::sourceKey(ticket.source));
    if (ticket.recordId)
        st.bind(12, ticket.recordId);
    else
        st.bindNull(12);
    if (st.step() != SQLITE_DONE)
        return Status::failure(m_db.path().string() + ": cannot store the ticket "
            + ticket.numbersText() + ": " + m_db.reason());
    ticket.id = sqlite3_last_insert_rowid(m_db.handle());
    SqlStatement added(m_db.handle(), "select 登録日時 from 購入番号 where 番号 = ?");
    added.bind(1, ticket.id);
    if (added.ok() && added.step() == SQLITE_ROW)
        ticket.addedAt = added.text(0);
    return Status::success();
}

Status TicketBook::add(std::vector<Ticket> &tickets)
{
    for (std::size_t i = 0; i < tickets.size(); ++i)
        if (Status s = validateTicket(tickets[i]); !s)
            return Status::failure(tickets.size() > 1
                    ? "line " + std::to_string(i + 1) + ": " + s.message()
                    : s.message());
    Transaction tx(m_db);
    if (!tx.begun())
        return tx.begun();
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
        return Status::failure("ticket " + std::to_string(ticket.id)
            + " is a recorded prediction: it cannot be edited, only deleted");
    if (Status s = validateTicket(ticket); !s)
        return s;
    if (!hasTables())
        return Status::failure("there is no ticket " + std::to_string(ticket.id));
    SqlStatement st(m_db.handle(),
        "update 購入番号 set 数字1 = ?, 数字2 = ?, 数字3 = ?, 数字4 = ?, 数字5 = ?, 数字6 = ?, "
        "開始回 = ?, 継続回数 = ?, 口数 = ?, メモ = ? where 番号 = ?");
    if (!st.ok())
        return Status::failure(m_db.path().string() + ": cannot change the ticket");
    bindTicketFields(st, ticket);
    st.bind(11, ticket.id);
    if (st.step() != SQLITE_DONE)
        return Status::failure(
            "ticket " + std::to_string(ticket.id) + " was not changed: " + m_db.reason());
    if (sqlite3_changes(m_db.handle()) == 0)
        return Status::failure("there is no ticket " + std::to_string(ticket.id));
    return Status::success();
}

Status TicketBook::remove(long long id)
{
    if (!hasTables())
        return Status::failure("there is no ticket " + std::to_string(id));
    SqlStatement st(m_db.handle(), "delete from 購入番号 where 番号 = ?");
    st.bind(1, id);
    if (!st.ok() || st.step() != SQLITE_DONE)
        return Status::failure(m_db.path().string() + ": cannot delete ticket " + std::to_string(id)
            + ": " + m_db.reason());
    if (sqlite3_changes(m_db.handle()) == 0)
        return Status::failure("there is no ticket " + std::to_string(id) + " (see tickets list)");
    return Status::success();
}

Status TicketBook::record(PredictionRecord &entry, const std::vector<std::array<int, 6>> &lines,
    std::vector<Ticket> &made)
{
    made.clear();
    if (lines.empty())
        return Status::failure("the prediction shows no line of six numbers to record");
    if (entry.latestDrawNo >= MaxDrawNumber)
        return Status::failure("no draw can follow draw " + std::to_string(entry.latestDrawNo));
    Transaction tx(m_db);
    if (!tx.begun())
        return tx.begun();
    if (Status s = createTables(); !s)
        return s;
    SqlStatement st(m_db.handle(),
        "insert into 予想記録 (基準回, 反映シフト, 設定, 履歴ハッシュ) "
        "values (?, ?, ?, ?)");
    if (!st.ok())
        return Status::failure(m_db.path().string() + ": cannot record the prediction");
    st.bind(1, entry.latestDrawNo);
    st.bind(2, entry.reflectionShift);
    st.bind(3, std::string_view(entry.switches));
    st.bind(4, std::string_view(entry.historyHash));
    if (st.step() != SQLITE_DONE)
        return Status::failure(
            m_db.path().string() + ": cannot record the prediction: " + m_db.reason());
    entry.id = sqlite3_last_insert_rowid(m_db.handle());
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
