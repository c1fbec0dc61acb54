#pragma once

#include <stdexcept>
#include <string>

namespace kestrove {

// The one error the store reports: which step failed, with the database's own message.
class DatabaseError : public std::runtime_error
{
public:
    enum class Kind
    {
        openFailed,
        prepareFailed,
        executeFailed
    };

    // The message for every operation tried without an open connection.
    static constexpr const char* kNoConnection = "no db";

    static DatabaseError openFailed(const std::string& path) { return {Kind::openFailed, path}; }
    static DatabaseError prepareFailed(const std::string& message)
    {
        return {Kind::prepareFailed, message};
    }
    static DatabaseError executeFailed(const std::string& message)
    {
        return {Kind::executeFailed, message};
    }

    Kind kind() const { return m_kind; }
    // The path or the database's message, without the prefix.
    const std::string& detail() const { return m_detail; }

private:
    DatabaseError(Kind kind, const std::string& detail)
        : std::runtime_error(prefix(kind) + detail), m_kind(kind), m_detail(detail)
    {}

    static std::string prefix(Kind kind)
    {
        switch (kind) {
        case Kind::openFailed:
            return "DB open failed: ";
        case Kind::prepareFailed:
            return "DB prepare failed: ";
        case Kind::executeFailed:
            return "DB execute failed: ";
        }
        return {};
    }

    Kind m_kind;
    std::string m_detail;
};

} // namespace kestrove
