#include "core/ContextClassifier.h"

#include "core/Text.h"

namespace kestrove {

namespace {

bool needsLowercasing(std::string_view text)
{
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || c >= 0x80) {
            return true;
        }
    }
    return false;
}

// The score of one site pattern for a page, or -1 when it does not apply.
long siteScore(std::string_view domain, std::string_view path, std::string_view pattern)
{
    std::string lowered;
    if (needsLowercasing(pattern)) {
        lowered = Text::lowercased(pattern);
        pattern = lowered;
    }
    if (pattern.find('.') == std::string_view::npos) {
        return -1;
    }
    const auto slash = pattern.find('/');
    const std::string_view host = pattern.substr(0, slash);
    if (host.empty()) {
        return -1; // "/a.b" would otherwise match any domain that ends in a dot
    }
    std::string_view rulePath =
        slash == std::string_view::npos ? std::string_view{} : pattern.substr(slash);
    while (!rulePath.empty() && rulePath.back() == '/') {
        rulePath.remove_suffix(1);
    }

    const bool exact = domain == host;
    const bool subdomain = !exact && domain.size() > host.size() && Text::endsWith(domain, host) &&
                           domain[domain.size() - host.size() - 1] == '.';
    if (!exact && !subdomain) {
        return -1;
    }
    // A rule path covers itself and everything below it, never a longer segment.
    if (!rulePath.empty() && path != rulePath &&
        !(Text::startsWith(path, rulePath) && path.size() > rulePath.size() &&
          path[rulePath.size()] == '/')) {
        return -1;
    }
    const auto hostLength = static_cast<long>(Text::characterCount(host));
    const auto pathLength = static_cast<long>(Text::characterCount(rulePath));
    return 2 * hostLength + 100 * pathLength + (exact ? 1 : 0);
}

template <typename Rules, typename PatternOf, typename KindOf>
std::optional<SiteRule> bestOf(std::string_view domain, std::string_view path, const Rules& rules,
                               PatternOf patternOf, KindOf kindOf)
{
    std::optional<SiteRule> best;
    long bestScore = -1;
    for (const auto& rule : rules) {
        const long score = siteScore(domain, path, patternOf(rule));
        if (score > bestScore) {
            best = SiteRule{patternOf(rule), kindOf(rule)};
            bestScore = score;
        }
    }
    return best;
}

} // namespace

std::optional<SiteRule> ContextClassifier::bestSiteMatch(std::string_view domain,
                                                         std::string_view path,
                                                         std::span<const SiteRule> rules)
{
    return bestOf(
        domain, path, rules, [](const SiteRule& r) { return r.suffix; },
        [](const SiteRule& r) { return r.kind; });
}

std::optional<SiteRule> ContextClassifier::bestSiteMatch(std::string_view domain,
                                                         std::string_view path,
                                                         const Overrides& rules)
{
    return bestOf(
        domain, path, rules, [](const auto& r) { return std::string_view(r.first); },
        [](const auto& r) { return r.second; });
}

} // namespace kestrove
