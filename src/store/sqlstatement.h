#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_mutex;

namespace loto6 {

// A prepared SQLite statement, finalized when it goes out of scope; the one way the program
// runs SQL. Made by Database::prepare. A statement that did not prepare (ok() false) binds
// nothing and steps to a failure, so a caller may test ok() once, at the end.
class SqlStatement
{
public:
    ~SqlStatement();
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;

    bool ok() const { return m_stmt != nullptr; }

    // Parameters from 1.
    void bind(int index, long long value);
    void bind(int index, std::string_view text);
    // Null when empty.
    void bind(int index, const std::optional<long long> &value);
    void bindReal(int index, double value);
    // The bytes as a blob (an empty blob, not null, when there are none).
    void bindBlob(int index, std::string_view bytes);
    void bindNull(int index);

    // Steps to the next row: true when one is ready. After false, done() tells the end of the
    // rows from a failure.
    bool next();
    bool done() const { return m_done; }
    // Runs a statement to its end without rows (an insert, update or delete); false on failure.
    bool run() { return !next() && m_done; }
    // Ready to run again with new parameters.
    void reset();

    // Columns from 0.
    int columnCount() const;
    std::string_view columnName(int col) const;
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type(int col) const;
    bool isNull(int col) const;
    long long integer(int col) const;
    double real(int col) const;
    std::string text(int col) const;
    // The same without a copy, valid until the statement steps again.
    std::string_view textView(int col) const;
    // A blob column's bytes without a copy (text read as its bytes), valid until the statement
    // steps again.
    std::string_view blob(int col) const;
    // The column as a whole number, read with one call to SQLite: null and text that is empty
    // or blank leave `out` empty; a real with a fraction or text that is not a whole number
    // sets `malformed` instead.
    void wholeNumber(int col, std::optional<long long> &out, bool &malformed) const;

    // The rows a run changed, and the id of the row an insert made.
    int changes() const;
    long long lastInsertId() const;
    // SQLite's words for the connection's last failure.
    std::string errorMessage() const;

    // Holds the connection's lock over a whole read, so that the values of each row are not
    // each locked and released in turn.
    class ReadLock
    {
    public:
        explicit ReadLock(const SqlStatement &st);
        ~ReadLock();
        ReadLock(const ReadLock &) = delete;
        ReadLock &operator=(const ReadLock &) = delete;

    private:
        sqlite3_mutex *m_mutex;
    };

private:
    friend class Database;
    SqlStatement(sqlite3 *db, std::string_view sql);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_done = false;
};

} // namespace loto6
