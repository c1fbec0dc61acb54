#pragma once

#include "core/AppIdentity.h"

#include <functional>
#include <string>
#include <string_view>

namespace kestrove {

// The program's log: subsystem "com.kestrove.app", one short lower-case category per area
// ("app", "tracker", "plan", "focus", ...). One line per message on standard error:
// time, level, category, message. Values marked private are written as "<private>".
class Log
{
public:
    enum class Level
    {
        debug,
        info,
        error,
        fault
    };

    explicit Log(std::string category) : m_category(std::move(category)) {}

    void debug(std::string_view message) const { write(Level::debug, message); }
    void info(std::string_view message) const { write(Level::info, message); }
    void error(std::string_view message) const { write(Level::error, message); }
    void fault(std::string_view message) const { write(Level::fault, message); }

    const std::string& category() const { return m_category; }

    // A value that must not reach the log (task names, titles): always redacted.
    static std::string privateValue(std::string_view) { return "<private>"; }

    // Where lines go; tests capture them. The default writes to standard error.
    using Sink = std::function<void(Level, const std::string& category, const std::string& line)>;
    static void setSink(Sink sink);
    static constexpr std::string_view kSubsystem = kOwnBundleID;

private:
    void write(Level level, std::string_view message) const;

    std::string m_category;
};

} // namespace kestrove
