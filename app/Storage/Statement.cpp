#include "Storage/Statement.h"

#include "Storage/DatabaseError.h"

#include <sqlite3.h>

#include <cerrno>

namespace kestrove {

namespace {

std::string messageOf(sqlite3* db)
{
    return db ? sqlite3_errmsg(db) : DatabaseError::kNoConnection;
}

} // namespace

DatabaseError Statement::executeError(sqlite3* db, const std::string& message)
{
    if (!db) {
        return DatabaseError::executeFailed(message);
    }
    const int code = sqlite3_extended_errcode(db) & 0xff;
    // SQLite reports most writes into a full disk as SQLITE_FULL, some (a failed sync or a
    // growing shared-memory file) as an I/O error whose system error is ENOSPC.
    const bool outOfSpace =
        code == SQLITE_FULL || (code == SQLITE_IOERR && sqlite3_system_errno(db) == ENOSPC);
    return DatabaseError::executeFailed(message, outOfSpace);
}

Statement::Statement(sqlite3* db, const char* sql) : m_db(db)
{
    if (!db) {
        throw DatabaseError::prepareFailed(DatabaseError::kNoConnection);
    }
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        throw DatabaseError::prepareFailed(messageOf(db));
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::bind(int index, double value)
{
    sqlite3_bind_double(m_statement, index, value);
}

void Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void Statement::bindInt32(int index, int value)
{
    sqlite3_bind_int(m_statement, index, value);
}

void Statement::bind(int index, std::string_view text)
{
    sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

void Statement::bind(int index, const std::optional<std::string>& text)
{
    if (text) {
        bind(index, std::string_view(*text));
    } else {
        bindNull(index);
    }
}

void Statement::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
}

bool Statement::next()
{
    return sqlite3_step(m_statement) == SQLITE_ROW;
}

void Statement::run()
{
    if (sqlite3_step(m_statement) != SQLITE_DONE) {
        throw executeError(m_db, messageOf(m_db));
    }
}

int Statement::step()
{
    return sqlite3_step(m_statement);
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

double Statement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

std::int64_t Statement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::optional<std::string> Statement::columnText(int column) const
{
    const auto* text = sqlite3_column_text(m_statement, column);
    if (!text) {
        return std::nullopt;
    }
    const int length = sqlite3_column_bytes(m_statement, column);
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

std::string_view Statement::columnView(int column) const
{
    const auto* text = sqlite3_column_text(m_statement, column);
    if (!text) {
        return {};
    }
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))};
}

std::string Statement::columnTextOr(int column, std::string_view fallback) const
{
    auto text = columnText(column);
    return text ? std::move(*text) : std::string(fallback);
}

StatementCache::Use StatementCache::use(sqlite3* db, const char* sql)
{
    auto& statement = m_statements[sql];
    if (!statement) {
        try {
            statement = std::make_unique<Statement>(db, sql);
        } catch (...) {
            m_statements.erase(sql);
            throw;
        }
    }
    return Use(*statement);
}

} // namespace kestrove
