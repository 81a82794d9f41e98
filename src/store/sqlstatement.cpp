#include "store/sqlstatement.h"

#include <sqlite3.h>

#include <charconv>

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

void SqlStatement::bindBlob(int index, std::string_view bytes)
{
    sqlite3_bind_blob64(m_stmt, index, bytes.empty() ? "" : bytes.data(),
        static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
}

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

bool SqlStatement::isNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }

long long SqlStatement::integer(int col) const { return sqlite3_column_int64(m_stmt, col); }

double SqlStatement::real(int col) const { return sqlite3_column_double(m_stmt, col); }

std::string_view SqlStatement::blob(int col) const
{
    const void *data = sqlite3_column_blob(m_stmt, col);
    const int size = sqlite3_column_bytes(m_stmt, col);
    return data && size > 0
        ? std::string_view(static_cast<const char *>(data), static_cast<std::size_t>(size))
        : std::string_view();
}

std::string SqlStatement::text(int col) const { return std::string(textView(col)); }

std::string_view SqlStatement::textView(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col)))
             : std::string_view();
}

SqlStatement::Type SqlStatement::type(int col) const
{
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

void SqlStatement::wholeNumber(int col, std::optional<long long> &out, bool &malformed) const
{
    // One locked call for the value rather than one for the type and another for the value.
    sqlite3_value *value = sqlite3_column_value(m_stmt, col);
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return;
    case SQLITE_INTEGER:
        out = sqlite3_value_int64(value);
        return;
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(value);
        if (d == static_cast<double>(static_cast<long long>(d)) && d > -1e15 && d < 1e15)
            out = static_cast<long long>(d);
        else
            malformed = true;
        return;
    }
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(value));
        std::string_view s = p
            ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(value)))
            : std::string_view();
        while (!s.empty() && s.front() == ' ')
            s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ')
            s.remove_suffix(1);
        if (s.empty())
            return;
        long long v = 0;
        const char *first = s.data();
        if (*first == '+')
            ++first;
        auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), v);
        if (ec == std::errc() && ptr == s.data() + s.size())
            out = v;
        else
            malformed = true;
    }
    }
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
