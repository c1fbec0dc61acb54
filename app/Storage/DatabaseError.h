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

    // `reason` says what is wrong with the file and what the user can do about it.
    static DatabaseError openFailed(const std::string& path, const std::string& reason = {})
    {
        return {Kind::openFailed, path, reason.empty() ? path : path + ": " + reason};
    }
    static DatabaseError prepareFailed(const std::string& message)
    {
        return {Kind::prepareFailed, message, message};
    }
    // `outOfSpace`: the write failed because the disk (or the database's size limit) is full,
    // so the same write may succeed once space returns.
    static DatabaseError executeFailed(const std::string& message, bool outOfSpace = false)
    {
        DatabaseError error{Kind::executeFailed, message, message};
        error.m_outOfSpace = outOfSpace;
        return error;
    }

    Kind kind() const { return m_kind; }
    // The path or the database's message, without the prefix.
    const std::string& detail() const { return m_detail; }
    bool isOutOfSpace() const { return m_outOfSpace; }
    // The operation found no open connection: the database never opened, or was closed.
    bool isNoConnection() const { return m_detail == kNoConnection; }

private:
    DatabaseError(Kind kind, const std::string& detail, const std::string& text)
        : std::runtime_error(prefix(kind) + text), m_kind(kind), m_detail(detail)
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
    bool m_outOfSpace = false;
};

} // namespace kestrove
