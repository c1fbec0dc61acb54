#include "ViewLogic/Settings/ClassificationModel.h"

#include "core/ContextClassifier.h"
#include "core/Duration.h"
#include "core/Text.h"

namespace kestrove {

std::vector<SeenContext> ClassificationCard::filtered(const std::vector<SeenContext>& seen,
                                                      std::string_view filter)
{
    const std::string lowered = Text::lowercased(filter);
    std::vector<SeenContext> shown;
    for (const SeenContext& entry : seen) {
        if (shown.size() >= static_cast<std::size_t>(kShownLimit)) {
            break;
        }
        if (filter.empty() || Text::containsIgnoringCase(entry.displayName, filter) ||
            entry.key.find(lowered) != std::string::npos) {
            shown.push_back(entry);
        }
    }
    return shown;
}

ContextKind ClassificationCard::defaultKind(const SeenContext& entry)
{
    if (entry.isDomain) {
        return ContextClassifier::defaultKind(std::nullopt, entry.key);
    }
    return ContextClassifier::defaultKind(entry.key, "");
}

ClassificationCard::Row ClassificationCard::row(const SeenContext& entry,
                                                const Overrides& overrides)
{
    const auto found = overrides.find(entry.key);
    const bool custom = found != overrides.end();
    const ContextKind kind = custom ? found->second : defaultKind(entry);
    std::string detail = DurationFormat::hm(entry.seconds);
    if (custom) {
        detail += " · custom";
    }
    return {entry, kind, custom, std::move(detail)};
}

std::optional<ContextKind> ClassificationCard::overrideFor(const SeenContext& entry,
                                                           ContextKind chosen)
{
    if (chosen == defaultKind(entry)) {
        return std::nullopt;
    }
    return chosen;
}

bool ClassificationCard::mayAddSiteRule(std::string_view text)
{
    return !Text::trimmedSpacesAndTabs(text).empty();
}

std::optional<std::string> ClassificationCard::siteRuleKey(std::string_view text)
{
    std::string key = Text::lowercased(Text::trimmed(text));
    if (const auto scheme = key.find("://"); scheme != std::string::npos) {
        key.erase(0, scheme + 3);
    }
    if (key.starts_with("www.")) {
        key.erase(0, 4);
    }
    while (!key.empty() && key.back() == '/') {
        key.pop_back();
    }
    if (key.find('.') == std::string::npos) {
        return std::nullopt;
    }
    return key;
}

std::vector<std::string> ClassificationCard::siteRules(const Overrides& overrides)
{
    std::vector<std::string> rules;
    for (const auto& [key, kind] : overrides) {
        if (key.find('/') != std::string::npos) {
            rules.push_back(key);
        }
    }
    return rules; // a std::map iterates in text order
}

} // namespace kestrove
