#include "store/sqlstatement.h"

#include <sqlite3.h>

namespace loto6 {

SqlStatement::SqlStatement(sqlite3 *db, std::string_view sql)
    : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr)
        != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqlStatement::~SqlStatement() { sqlite3_finalize(m_stmt); }

void SqlStatement::bind(int index, long long value) { sqlite3_bind_int64(m_stmt, index, value); }

void SqlStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqlStatement::bind(int index, const std::optional<long long> &value)
{
    if (value)
        bind(index, *value);
    else
        bindNull(index);
}

void SqlStatement::bindReal(int index, double value) { sqlite3_bind_double(m_stmt, index, value); }

void SqlStatement::bindNull(int index) { sqlite3_bind_null(m_stmt, index); }

bool SqlStatement::next()
{
    const int rc = m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
    m_done = rc == SQLITE_DONE;
    return rc == SQLITE_ROW;
}

void SqlStatement::reset()
{
    sqlite3_reset(m_stmt);
    m_done = false;
}

int SqlStatement::columnCount() const { return sqlite3_column_count(m_stmt); }

std::string_view SqlStatement::columnName(int col) const
{
    const char *name = sqlite3_column_name(m_stmt, col);
    return name ? std::string_view(name) : std::string_view();
}

bool SqlStatement::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

long long SqlStatement::integer(int col) const { return sqlite3_column_int64(m_stmt, col); }

double SqlStatement::real(int col) const { return sqlite3_column_double(m_stmt, col); }

std::string SqlStatement::text(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col)))
             : std::string();
}

SqlValue SqlStatement::value(int col) const
{
    sqlite3_value *v = sqlite3_column_value(m_stmt, col);
    SqlValue out;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        break;
    case SQLITE_INTEGER:
        out.type = SqlValue::Type::Integer;
        out.integer = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        out.type = SqlValue::Type::Real;
        out.real = sqlite3_value_double(v);
        break;
    default:
        out.type = SqlValue::Type::Text;
        if (const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v)))
            out.text = std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v)));
    }
    return out;
}

int SqlStatement::changes() const { return sqlite3_changes(m_db); }

long long SqlStatement::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

std::string SqlStatement::errorMessage() const { return m_db ? sqlite3_errmsg(m_db) : ""; }

SqlStatement::ReadLock::ReadLock(const SqlStatement &st)
    : m_mutex(sqlite3_db_mutex(st.m_db))
{
    sqlite3_mutex_enter(m_mutex);
}

SqlStatement::ReadLock::~ReadLock() { sqlite3_mutex_leave(m_mutex); }

} // namespace loto6
