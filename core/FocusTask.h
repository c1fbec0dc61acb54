#pragma once

#include "core/AppIdentity.h"
#include "core/Date.h"
#include "core/JsonCoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// One focus task ("lock-in") from start to end: a named piece of work with an estimate, an
// allowlist of applications and addresses, and optionally a lockdown of everything else.
struct FocusTask
{
    enum class EndReason
    {
        completed,
        brokeOut,
        crashed
    };

    // Kestrove's own windows are always allowed.

    std::string id; // upper-case UUID, also stamped on the task's segments and rows
    std::string name;
    double estimatedSeconds = 0;
    std::vector<std::string> allowedBundleIDs; // lower case
    std::vector<std::string> allowedURLPatterns;
    Date startedAt = 0;
    std::optional<Date> endedAt;
    double cumulativeOnTaskSeconds = 0;
    std::vector<double> scoreSamples;
    bool isLockdown = false;
    std::optional<bool> isAway; // work away from the computer; lives in memory only
    std::int64_t breakoutAttempts = 0;
    std::optional<EndReason> endedReason;
    std::optional<std::string> projectID;
    std::optional<std::string> projectName;

    // The mean of the score samples; 0 without any.
    double avgScore() const;
    // Whether the application, or the browser's address, is inside the task's allowlist.
    bool matches(const std::optional<std::string>& bundleID, std::string_view browserURL) const;

    // Keys in field order; absent optionals and isAway are left out.
    JsonCoding::Json toJson() const;
    // Throws JsonCoding::DecodeError; isAway is never restored.
    static FocusTask fromJson(const JsonCoding::Json& json);

    static std::string_view rawValue(EndReason reason);
    static std::optional<EndReason> endReasonFromRawValue(std::string_view text);

    bool operator==(const FocusTask&) const = default;
};

} // namespace kestrove
