#pragma once

#include "core/ContextKind.h"
#include "core/DomainRules.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrove {

class ContextClassifier
{
public:
    // Lower-cased bundle identifiers and site patterns with the kind the user chose. Sorted
    // keys make prefix and site ties independent of hashing.
    using Overrides = std::map<std::string, ContextKind, std::less<>>;

    // The scored site match: a matching path outweighs any host, a longer host a shorter one,
    // an exact host a subdomain; earlier rules win ties. Patterns without a dot never match.
    // `domain` and `path` come normalised from DomainRules. The result's pattern is a view
    // into `rules`, as written there.
    static std::optional<SiteRule> bestSiteMatch(std::string_view domain, std::string_view path,
                                                 std::span<const SiteRule> rules);
    static std::optional<SiteRule> bestSiteMatch(std::string_view domain, std::string_view path,
                                                 const Overrides& rules);
};

} // namespace kestrove
