#include "store/database.h"

#include "store/csvhistory.h"
#include "store/drawvalidation.h"
#include "store/outputfile.h"
#include "store/prizestore.h"
#include "store/schema.h"
#include "store/textcodec.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

// Every connection is used by one thread at a time (a worker opens its own), so SQLite need not
// lock a mutex around each call: reading a column is a good part of reading the history.
constexpr int OneThread = SQLITE_OPEN_NOMUTEX;

const char *const NumberColumns[DrawRecord::FieldCount]
    = {"第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字", "ボーナス数字"};

// Every stored draw with its date, its fields where Database::TableColumns says.
constexpr const char *DrawsQuery = "select 回数, 抽選日, 第1数字, 第2数字, 第3数字, 第4数字, "
                                   "第5数字, 第6数字, ボーナス数字 from 結果マスタ order by 回数";

// A stored draw number as the program holds it. One beyond the limit is refused rather than
// cut to an int, where 4,294,967,301 would become a second draw 5. A row read well makes no
// Status: the history read makes none per row.
bool readDrawNumber(const SqlStatement &st, int col, DrawRecord &r, Status &failure)
{
    std::optional<long long> no;
    bool notWhole = false;
    st.wholeNumber(col, no, notWhole);
    if (no && (*no > MaxDrawNumber || *no < -MaxDrawNumber)) {
        Fault f;
        f.kind = FaultKind::DrawNumberBeyond;
        f.value = std::to_string(*no);
        f.limit = MaxDrawNumber;
        failure = Status::failure(std::move(f));
        return false;
    }
    r.drawNo = no ? static_cast<int>(*no) : 0;
    return true;
}

// SQLite's reason for the last failure of a connection on `file`, in words that say what to
// do. A change needs a journal beside the database: in a folder that cannot be written
// (read-only or immutable) that journal can neither be made nor, after an interrupted change,
// rolled back, and the folder is named. A full disk or a file size limit is named as such.
Fault sqliteFault(sqlite3 *db, const fs::path &file)
{
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_CANTOPEN || code == SQLITE_IOERR || code == SQLITE_READONLY) {
        const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
        if (!file.empty() && ::access(folder.c_str(), W_OK) != 0)
            return Fault{.kind = FaultKind::FolderNotWritable, .value = folder.string()};
    }
    const int extended = sqlite3_extended_errcode(db);
    if (code == SQLITE_FULL || extended == SQLITE_IOERR_WRITE || extended == SQLITE_IOERR_TRUNCATE)
        return Fault{.kind = FaultKind::DiskFull, .detail = sqlite3_errmsg(db)};
    return Fault{.kind = FaultKind::SqliteFailed, .detail = sqlite3_errmsg(db)};
}

bool isLockError(sqlite3 *db)
{
    const int code = sqlite3_errcode(db);
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

Status lockedFault(const fs::path &file)
{
    Fault f;
    f.kind = FaultKind::DatabaseLocked;
    f.file = file.string();
    return Status::failure(std::move(f));
}

} // namespace

Database::~Database() { close(); }

Database::Database(Database &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_path(std::move(other.m_path))
    , m_held(std::exchange(other.m_held, false))
{
}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_held = std::exchange(other.m_held, false);
    }
    return *this;
}

void Database::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (std::exchange(m_held, false))
        releaseDatabaseFile(m_path);
}

Status Database::fail(FaultKind kind, int drawNo) const
{
    if (m_db && isLockError(m_db))
        return lockedFault(m_path);
    Fault f{.kind = kind, .file = m_path.string(), .draw = drawNo};
    if (m_db)
        f.cause = std::make_shared<const Fault>(sqliteFault(m_db, m_path));
    return Status::failure(std::move(f));
}

std::string Database::reason() const { return englishText(failure()); }

Fault Database::failure() const
{
    if (!m_db)
        return Fault{.kind = FaultKind::SqliteFailed, .detail = "not open"};
    return sqliteFault(m_db, m_path);
}

SqlStatement Database::prepare(std::string_view sql) const { return SqlStatement(m_db, sql); }

Status Database::runScript(const std::string &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK)
        return Status::success();
    std::string why = err ? err : sqlite3_errmsg(m_db);
    sqlite3_free(err);
    return Status::failure(Fault{.kind = FaultKind::SqliteFailed, .detail = std::move(why)});
}

Status Database::exec(const std::string &sql)
{
    if (runScript(sql))
        return Status::success();
    if (isLockError(m_db))
        return lockedFault(m_path);
    return inFile(Status::failure(sqliteFault(m_db, m_path)), m_path, false);
}

void Database::setBusyTimeout(int milliseconds) { sqlite3_busy_timeout(m_db, milliseconds); }

Status Database::quickCheck()
{
    SqlStatement st = prepare("PRAGMA quick_check");
    const bool row = st.next();
    const std::string first = row ? st.text(0) : std::string();
    if (row && first == "ok")
        return Status::success();
    if (isLockError(m_db))
        return lockedFault(m_path);
    const std::string why = first.empty() ? sqlite3_errmsg(m_db) : first;
    Fault damaged;
    damaged.kind = FaultKind::DatabaseDamaged;
    damaged.file = m_path.string();
    damaged.detail = why;
    return Status::failure(std::move(damaged));
}

Status Database::verifySchema()
{
    SqlStatement st = prepare("select count(*) from sqlite_master where type = 'view' and name = '"
        + std::string(HistoryView) + "'");
    if (!st.ok())
        return fail(FaultKind::DatabaseUnusable);
    if (!st.next())
        return fail(FaultKind::DatabaseUnusable);
    if (st.integer(0) != 1)
        return Status::failure(
            Fault{.kind = FaultKind::NoHistoryView, .file = m_path.string(), .field = HistoryView});
    return Status::success();
}

bool Database::hasOwnView() const
{
    SqlStatement st = prepare("select sql from sqlite_master where type = 'view' and name = '"
        + std::string(HistoryView) + "'");
    return st.next() && st.text(0) == HistoryViewSql;
}

Status Database::open(const fs::path &file)
{
    close();
    m_path = file;
    std::error_code ec;
    Fault fault;
    fault.file = file.string();
    if (file.empty())
        fault.kind = FaultKind::NoDatabaseNamed;
    else if (!fs::exists(file, ec))
        fault.kind = FaultKind::DatabaseMissing;
    else if (fs::is_directory(file, ec))
        fault.kind = FaultKind::DatabaseIsFolder;
    if (fault.kind != FaultKind::Other)
        return Status::failure(std::move(fault));
    int rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | OneThread, nullptr);
    if (rc != SQLITE_OK) {
        close();
        rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READONLY | OneThread, nullptr);
    }
    if (rc != SQLITE_OK) {
        Status s = fail(FaultKind::DatabaseNotOpened);
        close();
        return s;
    }
    sqlite3_busy_timeout(m_db, 2000);
    holdDatabaseFile(m_path);
    m_held = true;
    Status s = verifySchema();
    if (!s)
        close();
    return s;
}

bool Database::isReadOnly() const { return m_db && sqlite3_db_readonly(m_db, "main") == 1; }

Status Database::openInMemory()
{
    close();
    m_path.clear();
    if (sqlite3_open_v2(
            ":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | OneThread, nullptr)
        != SQLITE_OK)
        return fail(FaultKind::MemoryDatabase);
    return createHistorySchema(*this);
}

Status Database::openNew(const fs::path &file)
{
    close();
    m_path = file;
    if (sqlite3_open_v2(
            file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | OneThread, nullptr)
        == SQLITE_OK)
        return Status::success();
    Status s = Status::failure(Fault{
        .kind = FaultKind::SqliteFailed, .detail = m_db ? sqlite3_errmsg(m_db) : "out of memory"});
    close();
    return s;
}

const Database::DrawColumns Database::TableColumns{0, 1, {2, 3, 4, 5, 6, 7, 8}};

Status Database::historyColumns(const SqlStatement &st, DrawColumns &columns) const
{
    columns.drawNo = -1;
    std::fill(std::begin(columns.numbers), std::end(columns.numbers), -1);
    for (int c = 0; c < st.columnCount(); ++c) {
        const std::string_view name = st.columnName(c);
        if (name == "回数")
            columns.drawNo = c;
        if (name == "抽選日")
            columns.date = c;
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            if (name == NumberColumns[f])
                columns.numbers[f] = c;
    }
    if (columns.drawNo < 0)
        return Status::failure(Fault{.kind = FaultKind::ViewFieldMissing,
            .file = m_path.string(),
            .field = HistoryView,
            .value = "回数"});
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        if (columns.numbers[f] < 0)
            return Status::failure(Fault{.kind = FaultKind::ViewFieldMissing,
                .file = m_path.string(),
                .field = HistoryView,
                .value = NumberColumns[f]});
    return Status::success();
}

bool Database::readDrawRow(
    const SqlStatement &st, const DrawColumns &columns, DrawRecord &r, Status &failure) const
{
    if (!readDrawNumber(st, columns.drawNo, r, failure)) {
        failure = inFile(failure, m_path, false);
        return false;
    }
    if (columns.date >= 0)
        if (const std::string_view date = st.textView(columns.date); !date.empty())
            r.date.assign(date.data(), date.size());
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        st.wholeNumber(columns.numbers[f], r.fields[static_cast<std::size_t>(f)], r.malformed);
    return true;
}

Status Database::readHistory(SqlStatement &st, const DrawColumns &columns, int asOf,
    DrawHistory &history, StoredValuesCheck *check, std::size_t expectedRows) const
{
    std::vector<DrawRecord> records;
    records.reserve(expectedRows);
    const SqlStatement::ReadLock lock(st);
    Status failure;
    while (st.next()) {
        DrawRecord r;
        if (!readDrawRow(st, columns, r, failure))
            return failure;
        if (check)
            check->add(r);
        if (DrawHistory::keeps(r.drawNo, asOf))
            records.push_back(std::move(r));
    }
    if (!st.done())
        return fail(FaultKind::HistoryNotReadDb);
    history = DrawHistory(std::move(records));
    return Status::success();
}

Status Database::loadHistory(DrawHistory &history, int asOf, StoredValuesCheck *check) const
{
    if (check)
        *check = StoredValuesCheck();
    // The program's own view shows the table's rows as they are: one read of the table gives
    // the history with each draw's date and the check of every stored draw.
    if (hasOwnView())
        if (SqlStatement table = prepare(DrawsQuery); table.ok()) {
            // Room for every row at once: a growing history would be copied and touched anew
            // at each doubling.
            SqlStatement count = prepare("select count(*) from 結果マスタ");
            const long long rows = count.next() ? count.integer(0) : 0;
            return readHistory(table, TableColumns, asOf, history, check,
                static_cast<std::size_t>(std::clamp(rows, 0LL, 1LL << 20)));
        }
    SqlStatement st = prepare(HistoryQuery);
    if (!st.ok())
        return fail(FaultKind::HistoryNotReadDb);
    DrawColumns columns;
    if (Status s = historyColumns(st, columns); !s)
        return s;
    if (Status s = readHistory(st, columns, asOf, history, nullptr); !s)
        return s;
    if (std::vector<DrawRecord> draws; check && readDraws(draws))
        *check = checkStoredValues(draws);
    return Status::success();
}

Status Database::readDraws(std::vector<DrawRecord> &draws) const
{
    std::vector<DrawRecord> out;
    Status s = forEachDraw([&](const DrawRecord &r) {
        out.push_back(r);
        return Status::success();
    });
    if (s)
        draws = std::move(out);
    return s;
}

Status Database::forEachDraw(const std::function<Status(const DrawRecord &)> &visit) const
{
    SqlStatement st = prepare(DrawsQuery);
    if (!st.ok())
        return fail(FaultKind::DrawsNotReadDb);
    const SqlStatement::ReadLock lock(st);
    Status failure;
    while (st.next()) {
        DrawRecord r;
        if (!readDrawRow(st, TableColumns, r, failure))
            return failure;
        if (Status s = visit(r); !s)
            return s;
    }
    if (!st.done())
        return fail(FaultKind::DrawsNotReadDb);
    return Status::success();
}

// The columns of a draw in the order bindAndStep binds them.
static constexpr const char *DrawInsertTail
    = " into 結果マスタ (回数, 抽選日, 第1数字, 第2数字, 第3数字, 第4数字, 第5数字, 第6数字, "
      "ボーナス数字) values (?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Writes one draw through the prepared insert; false when SQLite refused it.
static bool bindAndStep(SqlStatement &st, const DrawRecord &r)
{
    st.reset();
    st.bind(1, r.drawNo);
    if (r.date.empty())
        st.bindNull(2);
    else
        st.bind(2, std::string_view(r.date));
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        st.bind(f + 3, r.fields[static_cast<std::size_t>(f)]);
    return st.run();
}

Status Database::importDraws(const std::vector<DrawRecord> &draws, bool replace)
{
    return importDraws(
        draws.size(), [&](std::size_t i) { return draws[i]; }, replace);
}

Status Database::importDraws(
    std::size_t count, const std::function<DrawRecord(std::size_t)> &drawAt, bool replace)
{
    Transaction tx(*this);
    if (!tx.begun())
        return tx.begun();
    if (Status s = writeDraws(count, drawAt, replace); !s)
        return s;
    return tx.commit();
}

Status Database::writeDraws(
    std::size_t count, const std::function<DrawRecord(std::size_t)> &drawAt, bool replace)
{
    if (replace)
        if (Status s = exec("delete from 結果マスタ"); !s)
            return s;
    SqlStatement st = prepare(std::string("insert or replace") + DrawInsertTail);
    if (!st.ok())
        return fail(FaultKind::DrawsNotWritten);
    for (std::size_t i = 0; i < count; ++i)
        if (const DrawRecord &r = drawAt(i); !bindAndStep(st, r))
            return fail(FaultKind::DrawRowFailed, r.drawNo);
    return Status::success();
}

Status Database::addDraw(const DrawRecord &draw, const DrawCheck &check, const DrawSource &source)
{
    Transaction tx(*this);
    if (!tx.begun())
        return tx.begun();
    std::vector<DrawRecord> stored;
    if (Status s = readDraws(stored); !s)
        return s;
    if (Status s = check(stored); !s)
        return s;
    SqlStatement st = prepare(std::string("insert") + DrawInsertTail);
    if (!st.ok())
        return fail(FaultKind::DrawNotWritten);
    if (!bindAndStep(st, draw))
        return fail(FaultKind::DrawRowFailed, draw.drawNo);
    if (Status s = createOwnTables(*this); !s)
        return s;
    if (Status s = recordSource(*this, draw.drawNo, source, DrawSource::Change::Added); !s)
        return s;
    return tx.commit();
}

Status Database::storeDraw(const DrawRecord &draw)
{
    SqlStatement st = prepare(std::string("insert or replace") + DrawInsertTail);
    if (!st.ok())
        return fail(FaultKind::DrawsNotWritten);
    if (!bindAndStep(st, draw))
        return fail(FaultKind::DrawRowFailed, draw.drawNo);
    return Status::success();
}

Status Database::removeDraw(int drawNo)
{
    SqlStatement st = prepare("delete from 結果マスタ where 回数 = ?");
    if (!st.ok())
        return fail(FaultKind::DrawNotDeleted, drawNo);
    st.bind(1, drawNo);
    if (!st.run())
        return fail(FaultKind::DrawNotDeleted, drawNo);
    return Status::success();
}

Status Database::saveDraw(const DrawRecord &draw, const DrawSource &source)
{
    Transaction tx(*this);
    if (!tx.begun())
        return tx.begun();
    if (Status s = createOwnTables(*this); !s)
        return s;
    if (Status s = storeDraw(draw); !s)
        return s;
    if (Status s = recordSource(*this, draw.drawNo, source, DrawSource::Change::Saved); !s)
        return s;
    return tx.commit();
}

Status Database::deleteDraw(int drawNo)
{
    Transaction tx(*this);
    if (!tx.begun())
        return tx.begun();
    if (Status s = removeDraw(drawNo); !s)
        return s;
    if (Status s = deletePrizes(*this, drawNo); !s)
        return s;
    return tx.commit();
}

Transaction::Transaction(Database &db)
    : m_db(db)
    , m_begun(db.exec("BEGIN IMMEDIATE"))
{
    // Writing into a damaged file spreads the damage: refuse before the first write.
    if (m_begun) {
        if (Status s = db.quickCheck(); !s) {
            db.exec("ROLLBACK");
            m_begun = s;
        }
    }
}

Transaction::~Transaction()
{
    if (m_begun && !m_done)
        m_db.exec("ROLLBACK");
}

Status Transaction::commit()
{
    if (!m_begun)
        return m_begun;
    Status s = m_db.exec("COMMIT");
    if (s)
        m_done = true;
    return s;
}

} // namespace loto6
