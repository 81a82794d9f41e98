#pragma once

#include "store/drawhistory.h"
#include "store/drawsource.h"
#include "store/result.h"
#include "store/sqlstatement.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace loto6 {

struct StoredValuesCheck;

// The SQLite file that holds the draws: the table 結果マスタ and the view 全データ選択クエリ
// over it. Opening an existing file never changes it; a missing file is created whole from the
// bundled history or not at all.
class Database
{
public:
    static constexpr const char *DrawsTable = "結果マスタ";
    static constexpr const char *HistoryView = "全データ選択クエリ";
    static constexpr const char *HistoryQuery = "select * from 全データ選択クエリ order by 回数";

    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;

    // Opens an existing database; refuses a file that is not one or lacks the history view.
    Status open(const std::filesystem::path &file);
    // Opens the file, creating it from the seed history when it does not exist yet; the
    // payouts file beside the seed (loto6-prizes.csv), when there, is merged onto its draws.
    Status openOrCreate(const std::filesystem::path &file, const std::filesystem::path &seedCsv);
    // A new database file with the schema and no draws, left open; a file that already holds
    // the draws table is refused.
    Status create(const std::filesystem::path &file);
    // An in-memory database with the schema, for tests.
    Status openInMemory();
    void close();

    bool isOpen() const { return m_db != nullptr; }
    const std::filesystem::path &path() const { return m_path; }
    // The file can only be read (write-protected file or medium): every write would fail.
    bool isReadOnly() const;

    // The one read of the history through the view, fields by name, in ascending 回数, each
    // draw with its date (from the table when the view is the program's own). With a
    // cut, the history as it stood after draw asOf (DrawHistory::keeps): no record with a later
    // 回数 is kept, so every table, the prediction and the totals see nothing after it.
    // With `check`, every stored draw of 結果マスタ, cut or not, is checked for values no import
    // would accept (left empty when the draws cannot be read): in the same read when the view is
    // the one this program creates, which shows the table's rows as they are.
    static constexpr int NoCut = DrawHistory::NoCut;
    Status loadHistory(
        DrawHistory &history, int asOf = NoCut, StoredValuesCheck *check = nullptr) const;
    // Every stored draw with its date, for export and editing.
    Status readDraws(std::vector<DrawRecord> &draws) const;
    // The same one draw at a time, so that a large history is never held whole; a failure of
    // `visit` stops the reading and is returned.
    Status forEachDraw(const std::function<Status(const DrawRecord &)> &visit) const;

    // Adds the draws, overwriting stored ones with the same 回数; with replace, the history
    // becomes exactly these draws. One transaction: all or nothing.
    Status importDraws(const std::vector<DrawRecord> &draws, bool replace);
    // The same for `count` draws made one at a time, so that a large history is not copied.
    Status importDraws(
        std::size_t count, const std::function<DrawRecord(std::size_t)> &drawAt, bool replace);
    // The same inside the caller's transaction.
    Status writeDraws(
        std::size_t count, const std::function<DrawRecord(std::size_t)> &drawAt, bool replace);
    // Saves one draw as typed, recording where it came from.
    Status saveDraw(const DrawRecord &draw,
        const DrawSource &source = DrawSource::from(DrawSource::Kind::EntryWindow));
    // Deletes a draw with its payout.
    // Adds one draw not stored yet. `check` sees every stored draw first and refuses with a
    // failure; check and write are one transaction, so nothing is written on any failure.
    using DrawCheck = std::function<Status(const std::vector<DrawRecord> &stored)>;
    Status addDraw(const DrawRecord &draw, const DrawCheck &check,
        const DrawSource &source = DrawSource::from(DrawSource::Kind::AddCommand));
    Status deleteDraw(int drawNo);

    // One row written or removed inside the caller's transaction.
    Status storeDraw(const DrawRecord &draw);
    Status removeDraw(int drawNo);

    // SQLite's reason for the last failure, in words that say what to do (a folder that cannot
    // be written, a full disk or a size limit named as such).
    std::string reason() const;
    // The same as a fault, naming no file.
    Fault failure() const;

    // Every statement SQL runs through one of these. prepare gives a statement to bind and
    // step; exec runs statements without parameters or rows, a failure named as this database's
    // (locked, folder not writable, disk full); runScript does the same with SQLite's own words
    // as the failure (SqliteFailed), for callers that word the failure themselves.
    SqlStatement prepare(std::string_view sql) const;
    Status exec(const std::string &sql);
    Status runScript(const std::string &sql);
    // How long a statement waits for another program's lock before it fails as locked.
    void setBusyTimeout(int milliseconds);
    // SQLite's quick check; every write transaction runs it first and refuses a damaged file.
    Status quickCheck();

private:
    // Where a result row holds each field of a draw; date -1 when it holds none.
    struct DrawColumns
    {
        int drawNo = 0;
        int date = -1;
        int numbers[DrawRecord::FieldCount] = {};
    };
    static const DrawColumns TableColumns; // the columns of the table's own query
    // Opens `file` for reading and writing, creating it when missing, SQLite's words the cause
    // of a failure.
    Status openNew(const std::filesystem::path &file);
    Status verifySchema();
    // The history view is exactly the one createHistorySchema makes.
    bool hasOwnView() const;
    // The failure `kind` of this database with SQLite's reason as its cause.
    Status fail(FaultKind kind, int drawNo = 0) const;
    Status historyColumns(const SqlStatement &st, DrawColumns &columns) const;
    Status readHistory(SqlStatement &st, const DrawColumns &columns, int asOf, DrawHistory &history,
        StoredValuesCheck *check, std::size_t expectedRows = 0) const;
    // False with `failure` set when the row cannot be read.
    bool readDrawRow(const SqlStatement &st, const DrawColumns &columns, DrawRecord &draw,
        Status &failure) const;

    sqlite3 *m_db = nullptr;
    std::filesystem::path m_path;
    bool m_held = false; // registered as a file output must not replace
};

// Begins in the constructor, commits only when asked, rolls back otherwise.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    const Status &begun() const { return m_begun; }
    Status commit();

private:
    Database &m_db;
    Status m_begun;
    bool m_done = false;
};

} // namespace loto6
