#pragma once

#include "Storage/DatabaseError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrove {

// One prepared statement, finalized when it goes out of scope. Values are always bound,
// never written into the SQL text.
class Statement
{
public:
    // Throws DatabaseError::prepareFailed with the connection's message, or "no db".
    Statement(sqlite3* db, const char* sql);
    // The error of the connection's last failed write, with its message and whether it failed
    // for lack of space.
    static DatabaseError executeError(sqlite3* db, const std::string& message);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, double value);
    void bind(int index, std::int64_t value);
    // LIMIT counts and flags.
    void bindInt32(int index, int value);
    void bind(int index, std::string_view text);
    void bind(int index, const std::optional<std::string>& text); // absent binds NULL
    void bindNull(int index);

    // Reads: true while a row is ready; anything else ends the rows silently.
    bool next();
    // Writes: throws DatabaseError::executeFailed unless the step finishes the statement.
    void run();
    // The raw result of one step, for callers that ignore failures.
    int step();
    void reset();

    bool isNull(int column) const;
    double columnDouble(int column) const;
    std::int64_t columnInt64(int column) const;
    // NULL reads as absent.
    std::optional<std::string> columnText(int column) const;
    std::string columnTextOr(int column, std::string_view fallback) const;
    // Valid until the next step; NULL reads as empty.
    std::string_view columnView(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// The statements a connection runs over and over, each prepared once. Keyed by the address of
// the SQL text, so callers pass their constants. Clear it before the connection closes.
class StatementCache
{
public:
    // One use of a cached statement: reset when the use ends, so that no read stays open to
    // hold back a checkpoint and every use starts from its first row.
    class Use
    {
    public:
        explicit Use(Statement& statement) : m_statement(statement) {}
        ~Use() { m_statement.reset(); }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        Statement& operator*() const { return m_statement; }
        Statement* operator->() const { return &m_statement; }

    private:
        Statement& m_statement;
    };

    // Throws like Statement's constructor; a failed prepare is not cached.
    Use use(sqlite3* db, const char* sql);
    void clear() { m_statements.clear(); }

private:
    std::unordered_map<const char*, std::unique_ptr<Statement>> m_statements;
};

} // namespace kestrove
