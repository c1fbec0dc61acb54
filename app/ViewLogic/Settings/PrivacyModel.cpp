#include "ViewLogic/Settings/PrivacyModel.h"

#include "Engine/PrivacyStore.h"
#include "Platform/InstalledApps.h"
#include "core/ContextClassifier.h"
#include "core/PrivacyPolicy.h"
#include "core/Text.h"

#include <algorithm>

namespace kestrove {

std::string PrivacyCard::recordingTitle(bool paused)
{
    return paused ? "Paused" : "Recording now";
}

std::string PrivacyCard::recordingLine(bool paused, const std::optional<Segment>& open)
{
    if (paused) {
        return "nothing is written until you resume";
    }
    if (!open) {
        return "—";
    }
    std::string site = open->domain;
    if (site.empty()) {
        site = ContextClassifier::isBrowser(open->bundleID) ? "site not stored" : "no site";
    }
    const std::string title = open->windowTitle.empty() ? "title not stored" : open->windowTitle;
    return open->appName + " · " + site + " · " + title + " · " +
           Text::lowercased(displayName(open->kind));
}

std::vector<PrivacyCard::RetentionOption> PrivacyCard::retentionOptions()
{
    return {{7, "7 days"}, {30, "30 days"}, {90, "90 days"}, {0, "Forever"}};
}

int PrivacyCard::retentionTag(std::optional<int> days)
{
    return days && *days >= 1 ? *days : 0;
}

std::vector<std::string>
PrivacyCard::orderedApps(const std::set<std::string>& ids,
                         const std::function<std::string(const std::string&)>& name)
{
    std::vector<std::pair<std::string, std::string>> named;
    for (const std::string& id : ids) {
        named.emplace_back(Text::caseFolded(name(id)), id);
    }
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> ordered;
    for (auto& [folded, id] : named) {
        ordered.push_back(std::move(id));
    }
    return ordered;
}

bool PrivacyCard::differsFromDefaults(const std::set<std::string>& ids)
{
    return ids != PrivacyPolicy::defaultPrivateBundleIDs();
}

std::string PrivateAppNames::operator()(const std::string& bundleID)
{
    if (const auto known = m_names.find(bundleID); known != m_names.end()) {
        return known->second;
    }
    ++m_lookUps;
    const InstalledApp* app = m_apps.find(bundleID);
    if (!app || app->name.empty()) {
        return bundleID;
    }
    m_names.emplace(bundleID, app->name);
    return app->name;
}

bool PrivateSiteField::mayAdd() const
{
    return !PrivacyStore::normalizedDomain(m_text).empty();
}

bool PrivateSiteField::submit(PrivacyStore& store)
{
    if (!mayAdd()) {
        return false;
    }
    store.addPrivateDomain(m_text);
    m_text.clear();
    return true;
}

} // namespace kestrove
