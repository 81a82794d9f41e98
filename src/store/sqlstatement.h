#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace loto6 {

// A prepared SQLite statement, finalized when it goes out of scope.
class SqlStatement
{
public:
    SqlStatement(sqlite3 *db, const std::string &sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &m_stmt, nullptr);
    }
    ~SqlStatement() { sqlite3_finalize(m_stmt); }
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;
    bool ok() const { return m_rc == SQLITE_OK && m_stmt; }
    sqlite3_stmt *get() const { return m_stmt; }

    // Parameters from 1.
    void bind(int index, long long value) { sqlite3_bind_int64(m_stmt, index, value); }
    void bind(int index, std::string_view text)
    {
        sqlite3_bind_text(
            m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int index) { sqlite3_bind_null(m_stmt, index); }
    // Columns from 0.
    long long integer(int col) const { return sqlite3_column_int64(m_stmt, col); }
    std::string text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col)))
                 : std::string();
    }
    int step() { return sqlite3_step(m_stmt); }
    // Ready to run again with new parameters.
    void reset() { sqlite3_reset(m_stmt); }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

} // namespace loto6
