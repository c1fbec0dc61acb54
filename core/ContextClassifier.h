#pragma once

#include "core/ContextKind.h"
#include "core/DomainRules.h"
#include "core/Segment.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// Turns one sample into a kind, and says in one sentence why.
class ContextClassifier
{
public:
    // Lower-cased bundle identifiers and site patterns with the kind the user chose. Sorted keys
    // make prefix and site ties independent of hashing.
    using Overrides = std::map<std::string, ContextKind, std::less<>>;

    struct AppRule
    {
        std::string_view prefix;
        ContextKind kind = ContextKind::neutral;
    };

    struct SiteDecision
    {
        ContextKind kind = ContextKind::shallow;
        std::optional<std::string> pattern; // the override key or built-in pattern, as written
        bool fromOverride = false;

        bool operator==(const SiteDecision&) const = default;
    };

    // Identifiers of the application terminal and title rules that are ours to choose.
    static constexpr std::string_view kHandleTerminalBundleID = "org.wezfurlong.wezterm";

    static const std::array<std::string_view, 13> browserBundleIDs;
    // Bundle-identifier prefixes by kind: deep, shallow, neutral, distraction.
    static const std::array<AppRule, 81> appDefaults;

    ContextClassifier();
    // Keys and the own identifier are lower-cased; empty keys are dropped, so they never
    // match every application by accident.
    explicit ContextClassifier(const Overrides& overrides,
                               const std::optional<std::string>& ownBundleID = std::nullopt);

    const Overrides& overrides() const;
    const std::optional<std::string>& ownBundleID() const;

    ContextKind classify(const ContextSample& sample) const;
    std::string explain(const ContextSample& sample) const;
    SiteDecision siteDecision(std::string_view domain, std::string_view path,
                              const std::optional<std::string>& bundleID) const;
    // The built-in kind of a seen application or site, ignoring overrides.
    static ContextKind defaultKind(const std::optional<std::string>& bundleID,
                                   std::string_view domain);

    static bool isBrowser(const std::optional<std::string>& bundleID);
    // The longest matching prefix row; earlier rows win ties.
    static std::optional<ContextKind> defaultKind(std::string_view bundleID);
    // Deep keywords before distraction keywords.
    static std::optional<ContextKind> heuristicKind(std::string_view bundleID);

    // The scored site match: a matching path outweighs any host, a longer host a shorter one,
    // an exact host a subdomain; earlier rules win ties. Patterns without a dot never match.
    // `domain` and `path` come normalised from DomainRules. The result's pattern is a view
    // into `rules`, as written there.
    static std::optional<SiteRule> bestSiteMatch(std::string_view domain, std::string_view path,
                                                 std::span<const SiteRule> rules);
    static std::optional<SiteRule> bestSiteMatch(std::string_view domain, std::string_view path,
                                                 const Overrides& rules);

private:
    struct PreparedSite;
    // Immutable once built, so copies of a classifier share it.
    struct Data;

    enum class Reason
    {
        away,
        idle,
        onTask,
        offTask,
        unknownApp,
        ownApp,
        browserWithoutPage,
        browserOverride,
        browserDefault,
        browserUnknownSite,
        appOverride,
        appDefault,
        appKeyword,
        appUnknown,
    };

    // One decision with what explains it; the pattern views the overrides or a static table.
    struct Decision
    {
        ContextKind kind = ContextKind::neutral;
        Reason reason = Reason::appUnknown;
        std::string_view pattern;
        std::string domain;
    };

    struct SiteMatch
    {
        ContextKind kind = ContextKind::shallow;
        std::string_view pattern;
        bool fromOverride = false;
    };

    Decision decide(const ContextSample& sample) const;
    SiteMatch matchSite(std::string_view domain, std::string_view path,
                        std::string_view bundleID) const;
    std::optional<ContextKind> overrideFor(std::string_view bundleID) const;

    static const std::vector<PreparedSite>& defaultSites();
    static const PreparedSite* bestOf(std::string_view domain, std::string_view path,
                                      const std::vector<PreparedSite>& sites);
    template <typename Rules, typename RuleOf>
    static std::optional<SiteRule> bestSiteMatchOf(std::string_view domain, std::string_view path,
                                                   const Rules& rules, RuleOf ruleOf);

    std::shared_ptr<const Data> m_data;
};

} // namespace kestrove
