#include "core/ContextClassifier.h"

#include "core/Text.h"

#include <memory>
#include <vector>

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

} // namespace

const std::array<std::string_view, 13> ContextClassifier::browserBundleIDs = {
    "com.apple.safari",        "com.google.chrome",     "com.google.chrome.canary",
    "com.google.chrome.beta",  "org.mozilla.firefox",   "company.thebrowser.browser",
    "company.thebrowser.dia",  "com.microsoft.edgemac", "com.brave.browser",
    "com.operasoftware.opera", "com.vivaldi.vivaldi",   "org.chromium.chromium",
    "app.zen-browser.zen",
};

const std::array<ContextClassifier::AppRule, 81> ContextClassifier::appDefaults = {{
    {"com.apple.dt.xcode", ContextKind::deep},
    {"com.microsoft.vscode", ContextKind::deep},
    {"com.jetbrains", ContextKind::deep},
    {"com.sublimetext", ContextKind::deep},
    {"com.panic.nova", ContextKind::deep},
    {"com.cursor.ide", ContextKind::deep},
    {"com.todesktop.230313mzl4w4u92", ContextKind::deep},
    {"com.google.antigravity", ContextKind::deep},
    {"dev.zed.zed", ContextKind::deep},
    {"com.exafunction.windsurf", ContextKind::deep},
    {"com.apple.terminal", ContextKind::deep},
    {"com.googlecode.iterm2", ContextKind::deep},
    {"dev.warp.warp", ContextKind::deep},
    {kHandleTerminalBundleID, ContextKind::deep},
    {"com.anthropic.claudefordesktop", ContextKind::deep},
    {"com.openai.chat", ContextKind::deep},
    {"com.figma.desktop", ContextKind::deep},
    {"com.sketch.sketch", ContextKind::deep},
    {"com.adobe", ContextKind::deep},
    {"com.bohemiancoding.sketch3", ContextKind::deep},
    {"com.canva.canvaeditor", ContextKind::deep},
    {"com.timpler.screenstudio", ContextKind::deep},
    {"com.apple.finalcut", ContextKind::deep},
    {"com.blackmagic-design.davinciresolve", ContextKind::deep},
    {"com.apple.logic10", ContextKind::deep},
    {"com.notion.id", ContextKind::deep},
    {"notion.id", ContextKind::deep},
    {"md.obsidian", ContextKind::deep},
    {"net.shinyfrog.bear", ContextKind::deep},
    {"com.microsoft.word", ContextKind::deep},
    {"com.microsoft.excel", ContextKind::deep},
    {"com.microsoft.powerpoint", ContextKind::deep},
    {"com.apple.iwork", ContextKind::deep},
    {"com.apple.dt.instruments", ContextKind::deep},
    {"com.torusknot.sourcefilesprototype", ContextKind::deep},
    {"com.literatureandlatte.scrivener", ContextKind::deep},
    {"com.ulyssesapp.mac", ContextKind::deep},
    {"com.dayoneapp.dayone", ContextKind::deep},
    {"com.tinyapp.tableplus", ContextKind::deep},
    {"com.postmanlabs.mac", ContextKind::deep},
    {"com.docker.docker", ContextKind::deep},
    {"com.apple.mail", ContextKind::shallow},
    {"com.microsoft.outlook", ContextKind::shallow},
    {"com.readdle.smartemail", ContextKind::shallow},
    {"com.tinyspeck.slackmacgap", ContextKind::shallow},
    {"com.microsoft.teams", ContextKind::shallow},
    {"com.apple.messages", ContextKind::shallow},
    {"ru.keepcoder.telegram", ContextKind::shallow},
    {"net.whatsapp.whatsapp", ContextKind::shallow},
    {"com.hnc.discord", ContextKind::shallow},
    {"us.zoom.xos", ContextKind::shallow},
    {"com.cisco.webex", ContextKind::shallow},
    {"com.loom.desktop", ContextKind::shallow},
    {"com.apple.facetime", ContextKind::shallow},
    {"com.apple.ical", ContextKind::shallow},
    {"com.apple.reminders", ContextKind::shallow},
    {"com.apple.notes", ContextKind::shallow},
    {"com.flexibits.fantastical2", ContextKind::shallow},
    {"com.linear.linear", ContextKind::shallow},
    {"com.airtable.airtable", ContextKind::shallow},
    {"com.culturedcode.thingsmac", ContextKind::shallow},
    {"com.apple.finder", ContextKind::neutral},
    {"com.apple.preview", ContextKind::neutral},
    {"com.apple.systempreferences", ContextKind::neutral},
    {"com.apple.appstore", ContextKind::neutral},
    {"com.apple.calculator", ContextKind::neutral},
    {"com.apple.dictionary", ContextKind::neutral},
    {"net.christianbeier.gromit-mpx", ContextKind::neutral}, // screen annotation
    {"com.electron.wispr-flow", ContextKind::neutral},
    {"com.nordvpn", ContextKind::neutral},
    {"com.apple.tv", ContextKind::distraction},
    {"com.apple.music", ContextKind::distraction},
    {"com.spotify.client", ContextKind::distraction},
    {"org.kde.tokodon", ContextKind::distraction}, // a short-message social network client
    {"com.burbn.instagram", ContextKind::distraction},
    {"com.facebook.archon", ContextKind::distraction},
    {"tv.twitch", ContextKind::distraction},
    {"com.netflix", ContextKind::distraction},
    {"com.valvesoftware.steam", ContextKind::distraction},
    {"com.apple.podcasts", ContextKind::distraction},
    {"com.apple.news", ContextKind::distraction},
}};

namespace {

constexpr std::array<std::string_view, 7> kDeepKeywords = {"ide",      "editor", "studio", "code",
                                                           "terminal", "dev",    "xcode"};
constexpr std::array<std::string_view, 6> kDistractionKeywords = {"social", "game",    "reddit",
                                                                  "tiktok", "youtube", "player"};

bool containsAny(std::string_view text, std::span<const std::string_view> words)
{
    for (std::string_view word : words) {
        if (text.find(word) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool isBrowserID(std::string_view lowered)
{
    for (std::string_view browser : ContextClassifier::browserBundleIDs) {
        if (browser == lowered) {
            return true;
        }
    }
    return false;
}

std::string join(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (std::string_view part : parts) {
        out += part;
    }
    return out;
}

} // namespace

// A site pattern split once into what the match compares.
struct ContextClassifier::PreparedSite
{
    SiteRule rule;         // the pattern as given, and its kind
    std::string_view host; // lower-case
    std::string_view path; // lower-case, without trailing "/"
    long weight = 0;       // 2 × host characters + 100 × path characters

    // `lowered` is the lower-case pattern and must outlive the result.
    static std::optional<PreparedSite> make(SiteRule rule, std::string_view lowered)
    {
        const auto slash = lowered.find('/');
        PreparedSite site{rule, lowered.substr(0, slash), {}, 0};
        // Dotless hosts never match, and "/a.b" would otherwise match any domain ending in a dot.
        if (lowered.find('.') == std::string_view::npos || site.host.empty()) {
            return std::nullopt;
        }
        if (slash != std::string_view::npos) {
            site.path = lowered.substr(slash);
        }
        while (!site.path.empty() && site.path.back() == '/') {
            site.path.remove_suffix(1);
        }
        site.weight = 2 * static_cast<long>(Text::characterCount(site.host)) +
                      100 * static_cast<long>(Text::characterCount(site.path));
        return site;
    }

    // The score for a page, or -1 when the site does not cover it.
    long score(std::string_view domain, std::string_view pagePath) const
    {
        if (domain.size() < host.size() ||
            domain.compare(domain.size() - host.size(), host.size(), host) != 0) {
            return -1;
        }
        const bool exact = domain.size() == host.size();
        if (!exact && domain[domain.size() - host.size() - 1] != '.') {
            return -1;
        }
        // A rule path covers itself and everything below it, never a longer segment.
        if (!path.empty() && pagePath != path &&
            !(Text::startsWith(pagePath, path) && pagePath.size() > path.size() &&
              pagePath[path.size()] == '/')) {
            return -1;
        }
        return weight + (exact ? 1 : 0);
    }
};

struct ContextClassifier::Data
{
    Overrides overrides;
    std::optional<std::string> ownBundleID;
    std::vector<PreparedSite> overrideSites; // views into the keys of `overrides`
};

ContextClassifier::ContextClassifier() : ContextClassifier(Overrides{}) {}

ContextClassifier::ContextClassifier(const Overrides& overrides,
                                     const std::optional<std::string>& ownBundleID)
{
    auto data = std::make_shared<Data>();
    for (const auto& [key, kind] : overrides) {
        if (!key.empty()) {
            // Keys that differ only in case keep the first in sorted order.
            data->overrides.emplace(Text::lowercased(key), kind);
        }
    }
    for (const auto& [key, kind] : data->overrides) {
        if (auto site = PreparedSite::make({key, kind}, key)) {
            data->overrideSites.push_back(*site);
        }
    }
    if (ownBundleID) {
        data->ownBundleID = Text::lowercased(*ownBundleID);
    }
    m_data = std::move(data);
}

const ContextClassifier::Overrides& ContextClassifier::overrides() const
{
    return m_data->overrides;
}

const std::optional<std::string>& ContextClassifier::ownBundleID() const
{
    return m_data->ownBundleID;
}

const std::vector<ContextClassifier::PreparedSite>& ContextClassifier::defaultSites()
{
    static const std::vector<PreparedSite> sites = [] {
        std::vector<PreparedSite> prepared;
        for (const SiteRule& row : DomainRules::defaults) {
            if (auto site = PreparedSite::make(row, row.suffix)) {
                prepared.push_back(*site);
            }
        }
        return prepared;
    }();
    return sites;
}

const ContextClassifier::PreparedSite*
ContextClassifier::bestOf(std::string_view domain, std::string_view path,
                          const std::vector<PreparedSite>& sites)
{
    const PreparedSite* best = nullptr;
    long bestScore = -1;
    for (const PreparedSite& site : sites) {
        if (const long score = site.score(domain, path); score > bestScore) {
            best = &site;
            bestScore = score;
        }
    }
    return best;
}

ContextKind ContextClassifier::classify(const ContextSample& sample) const
{
    return decide(sample).kind;
}

ContextClassifier::Decision ContextClassifier::decide(const ContextSample& sample) const
{
    // An away block counts even while the keyboard is idle; other lock-ins do not.
    if (sample.lockIn == LockInState::away) {
        return {ContextKind::deep, Reason::away, {}, {}};
    }
    if (sample.isIdle) {
        return {ContextKind::idle, Reason::idle, {}, {}};
    }
    if (sample.lockIn == LockInState::onTask) {
        return {ContextKind::deep, Reason::onTask, {}, {}};
    }
    if (sample.lockIn == LockInState::offTask) {
        return {ContextKind::distraction, Reason::offTask, {}, {}};
    }
    if (!sample.bundleID) {
        return {ContextKind::neutral, Reason::unknownApp, {}, {}};
    }
    const std::string id = Text::lowercased(*sample.bundleID);
    if (m_data->ownBundleID && *m_data->ownBundleID == id) {
        return {ContextKind::neutral, Reason::ownApp, {}, {}};
    }
    if (isBrowserID(id)) {
        Decision decision;
        DomainRules::Page page = DomainRules::page(sample.url);
        decision.domain = std::move(page.domain);
        const SiteMatch site = matchSite(decision.domain, page.path, id);
        decision.kind = site.kind;
        decision.pattern = site.pattern;
        if (decision.domain.empty()) {
            decision.reason = Reason::browserWithoutPage;
        } else if (site.pattern.empty()) {
            decision.reason = Reason::browserUnknownSite;
        } else {
            decision.reason = site.fromOverride ? Reason::browserOverride : Reason::browserDefault;
        }
        return decision;
    }
    if (id.empty()) {
        return {ContextKind::neutral, Reason::unknownApp, {}, {}};
    }
    if (const auto kind = overrideFor(id)) {
        return {*kind, Reason::appOverride, {}, {}};
    }
    if (const auto kind = defaultKind(std::string_view(id))) {
        return {*kind, Reason::appDefault, {}, {}};
    }
    if (const auto kind = heuristicKind(id)) {
        return {*kind, Reason::appKeyword, {}, {}};
    }
    return {ContextKind::neutral, Reason::appUnknown, {}, {}};
}

std::optional<ContextKind> ContextClassifier::overrideFor(std::string_view bundleID) const
{
    if (const auto exact = m_data->overrides.find(bundleID); exact != m_data->overrides.end()) {
        return exact->second;
    }
    for (const auto& [key, kind] : m_data->overrides) {
        if (Text::startsWith(bundleID, key)) {
            return kind;
        }
    }
    return std::nullopt;
}

ContextClassifier::SiteMatch ContextClassifier::matchSite(std::string_view domain,
                                                          std::string_view path,
                                                          std::string_view bundleID) const
{
    if (domain.empty()) {
        // A browser's own override speaks only while no page is known.
        const auto own = m_data->overrides.find(bundleID);
        if (!bundleID.empty() && own != m_data->overrides.end()) {
            return {own->second, own->first, true};
        }
        return {};
    }
    if (const PreparedSite* site = bestOf(domain, path, m_data->overrideSites)) {
        return {site->rule.kind, site->rule.suffix, true};
    }
    if (const PreparedSite* site = bestOf(domain, path, defaultSites())) {
        return {site->rule.kind, site->rule.suffix, false};
    }
    return {};
}

ContextClassifier::SiteDecision
ContextClassifier::siteDecision(std::string_view domain, std::string_view path,
                                const std::optional<std::string>& bundleID) const
{
    const SiteMatch match =
        matchSite(domain, path, bundleID ? Text::lowercased(*bundleID) : std::string());
    SiteDecision decision{match.kind, std::nullopt, match.fromOverride};
    if (!match.pattern.empty()) {
        decision.pattern = std::string(match.pattern);
    }
    return decision;
}

std::string ContextClassifier::explain(const ContextSample& sample) const
{
    const Decision decision = decide(sample);
    const std::string_view name = displayName(decision.kind);
    const std::string_view adj = adjective(decision.kind);
    const std::string_view app = sample.appName;
    switch (decision.reason) {
    case Reason::away:
        return "Deep: away block, time counts even off the keyboard";
    case Reason::idle:
        return "Idle";
    case Reason::onTask:
        return "Deep: on task in your lock-in";
    case Reason::offTask:
        return "Distraction: not on your lock-in list";
    case Reason::unknownApp:
        return join({name, ": unknown app"});
    case Reason::ownApp:
        return "Neutral: Kestrove itself never counts";
    case Reason::browserWithoutPage:
        return join({name, ": no page URL yet, browsers count as shallow until a site is known"});
    case Reason::browserOverride:
        return join({name, ": you marked ", decision.pattern, " as ", adj});
    case Reason::browserDefault:
        return join({name, ": ", decision.pattern, " is a ", adj, " site"});
    case Reason::browserUnknownSite:
        return join({name, ": ", decision.domain,
                     " is unknown, sites count as shallow until you change them"});
    case Reason::appOverride:
        return join({name, ": you marked ", app, " as ", adj});
    case Reason::appDefault:
        return join({name, ": ", app, " is a ", adj, " app"});
    case Reason::appKeyword:
        return join({name, ": ", app, " looks like a ", adj, " app"});
    case Reason::appUnknown:
        break;
    }
    return join({"Neutral: ", app, " is unknown, apps count as neutral until you change them"});
}

ContextKind ContextClassifier::defaultKind(const std::optional<std::string>& bundleID,
                                           std::string_view domain)
{
    if (!domain.empty()) {
        return DomainRules::defaultKind(domain).value_or(ContextKind::shallow);
    }
    const std::string id = bundleID ? Text::lowercased(*bundleID) : std::string();
    if (id.empty()) {
        return ContextKind::neutral;
    }
    if (const auto kind = defaultKind(std::string_view(id))) {
        return *kind;
    }
    return heuristicKind(id).value_or(ContextKind::neutral);
}

bool ContextClassifier::isBrowser(const std::optional<std::string>& bundleID)
{
    return bundleID && isBrowserID(Text::lowercased(*bundleID));
}

std::optional<ContextKind> ContextClassifier::defaultKind(std::string_view bundleID)
{
    std::string lowered;
    if (needsLowercasing(bundleID)) {
        lowered = Text::lowercased(bundleID);
        bundleID = lowered;
    }
    const AppRule* best = nullptr;
    for (const AppRule& row : appDefaults) {
        if (Text::startsWith(bundleID, row.prefix) &&
            (!best || row.prefix.size() > best->prefix.size())) {
            best = &row;
        }
    }
    return best ? std::optional(best->kind) : std::nullopt;
}

std::optional<ContextKind> ContextClassifier::heuristicKind(std::string_view bundleID)
{
    std::string lowered;
    if (needsLowercasing(bundleID)) {
        lowered = Text::lowercased(bundleID);
        bundleID = lowered;
    }
    if (containsAny(bundleID, kDeepKeywords)) {
        return ContextKind::deep;
    }
    if (containsAny(bundleID, kDistractionKeywords)) {
        return ContextKind::distraction;
    }
    return std::nullopt;
}

template <typename Rules, typename RuleOf>
std::optional<SiteRule> ContextClassifier::bestSiteMatchOf(std::string_view domain,
                                                           std::string_view path,
                                                           const Rules& rules, RuleOf ruleOf)
{
    std::optional<SiteRule> best;
    long bestScore = -1;
    for (const auto& entry : rules) {
        const SiteRule rule = ruleOf(entry);
        std::string lowered;
        if (needsLowercasing(rule.suffix)) {
            lowered = Text::lowercased(rule.suffix);
        }
        const auto site = PreparedSite::make(rule, lowered.empty() ? rule.suffix : lowered);
        if (const long score = site ? site->score(domain, path) : -1; score > bestScore) {
            best = rule;
            bestScore = score;
        }
    }
    return best;
}

std::optional<SiteRule> ContextClassifier::bestSiteMatch(std::string_view domain,
                                                         std::string_view path,
                                                         std::span<const SiteRule> rules)
{
    return bestSiteMatchOf(domain, path, rules, [](const SiteRule& rule) { return rule; });
}

std::optional<SiteRule> ContextClassifier::bestSiteMatch(std::string_view domain,
                                                         std::string_view path,
                                                         const Overrides& rules)
{
    return bestSiteMatchOf(domain, path, rules, [](const auto& entry) {
        return SiteRule{entry.first, entry.second};
    });
}

} // namespace kestrove
