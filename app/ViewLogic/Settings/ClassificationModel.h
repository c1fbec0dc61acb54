#pragma once

#include "Storage/ReportQueries.h"
#include "core/ContextKind.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// The card of applications and sites seen lately, each with the kind it gets, and the site
// rules by path. Every change is an override in the project store.
struct ClassificationCard
{
    using Overrides = std::map<std::string, ContextKind>;

    static constexpr const char* kTitle = "What counts as deep work";
    static constexpr const char* kTrailing = "apps and sites from the last 30 days";
    static constexpr const char* kEmpty = "Nothing tracked yet.";
    static constexpr const char* kRuleExample = "github.com/myteam";
    static constexpr int kSeenDays = 30;
    static constexpr int kLoadLimit = 60;
    static constexpr int kShownLimit = 40;

    struct Row
    {
        SeenContext entry;
        ContextKind kind;
        bool custom;
        // "2h 5m", followed by " · custom" for an override.
        std::string detail;
    };

    // Entries whose name contains the filter (ignoring case) or whose key contains it
    // lower-cased, in the loaded order, at most 40.
    static std::vector<SeenContext> filtered(const std::vector<SeenContext>& seen,
                                             std::string_view filter);
    static ContextKind defaultKind(const SeenContext& entry);
    static Row row(const SeenContext& entry, const Overrides& overrides);
    // What to store when the user picks `chosen`: nothing (no override) for the default kind.
    static std::optional<ContextKind> overrideFor(const SeenContext& entry, ContextKind chosen);

    // "Add" is enabled unless the text is blank after trimming spaces and tabs.
    static bool mayAddSiteRule(std::string_view text);
    // The key a site rule is stored under: trimmed, lower case, without scheme, a leading
    // "www." and trailing slashes. Nothing when no dot remains.
    static std::optional<std::string> siteRuleKey(std::string_view text);
    // Overrides with a path, in text order.
    static std::vector<std::string> siteRules(const Overrides& overrides);
};

} // namespace kestrove
