#include "Engine/PrivacyStore.h"

#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Text.h"

#include <cmath>
#include <limits>

namespace kestrove {

namespace {

std::set<std::string> lowercasedSet(const auto& ids)
{
    std::set<std::string> out;
    for (const auto& id : ids) {
        out.insert(Text::lowercased(id));
    }
    return out;
}

std::vector<std::string> sortedList(const std::set<std::string>& ids)
{
    return {ids.begin(), ids.end()};
}

// Any stored value counts; one that is not a number reads as 0, which keeps titles forever.
std::optional<int> storedRetention(const Preferences& preferences, const char* key)
{
    std::int64_t days = 0;
    if (const auto whole = preferences.integer(key)) {
        days = *whole;
    } else if (const auto number = preferences.doubleValue(key)) {
        days = static_cast<std::int64_t>(std::trunc(*number));
    }
    if (days < 1) {
        return std::nullopt;
    }
    return static_cast<int>(std::min<std::int64_t>(days, std::numeric_limits<int>::max()));
}

} // namespace

PrivacyStore::PrivacyStore(Preferences& preferences) : m_preferences(preferences)
{
    m_settings.privateBundleIDs = lowercasedSet(PrivacyPolicy::defaultPrivateBundleIDs());
    load();
}

void PrivacyStore::load()
{
    assertMainThread();
    if (const auto ids = m_preferences.stringArray(kPrivateBundleIDsKey)) {
        m_settings.privateBundleIDs = lowercasedSet(*ids);
    }
    if (const auto domains = m_preferences.stringArray(kPrivateDomainsKey)) {
        m_settings.privateDomains = lowercasedSet(*domains);
    }
    m_settings.storeBrowserTitles = m_preferences.boolValue(kStoreBrowserTitlesKey).value_or(false);
    if (m_preferences.contains(kTitleRetentionDaysKey)) {
        m_settings.titleRetentionDays = storedRetention(m_preferences, kTitleRetentionDaysKey);
    }
}

PrivacyPolicy PrivacyStore::policy() const
{
    return PrivacyPolicy(m_settings.privateBundleIDs, m_settings.privateDomains,
                         m_settings.storeBrowserTitles, m_settings.titleRetentionDays);
}

template <typename Change> void PrivacyStore::change(Change&& apply)
{
    const Settings before = m_settings;
    apply(m_settings);
    if (m_settings != before) {
        m_observers.notify();
    }
    save();
}

void PrivacyStore::setPrivateApps(const std::set<std::string>& ids)
{
    assertMainThread();
    change([&](Settings& s) { s.privateBundleIDs = lowercasedSet(ids); });
}

void PrivacyStore::removePrivateApp(std::string_view id)
{
    assertMainThread();
    change([&](Settings& s) { s.privateBundleIDs.erase(Text::lowercased(id)); });
}

void PrivacyStore::restoreDefaultPrivateApps()
{
    assertMainThread();
    change([](Settings& s) {
        s.privateBundleIDs = lowercasedSet(PrivacyPolicy::defaultPrivateBundleIDs());
    });
}

void PrivacyStore::addPrivateDomain(std::string_view input)
{
    assertMainThread();
    std::string domain = normalizedDomain(input);
    if (domain.empty() || m_settings.privateDomains.contains(domain)) {
        return;
    }
    change([&](Settings& s) { s.privateDomains.insert(std::move(domain)); });
}

void PrivacyStore::removePrivateDomain(std::string_view domain)
{
    assertMainThread();
    change([&](Settings& s) { s.privateDomains.erase(Text::lowercased(domain)); });
}

void PrivacyStore::setStoreBrowserTitles(bool store)
{
    assertMainThread();
    change([&](Settings& s) { s.storeBrowserTitles = store; });
}

void PrivacyStore::setTitleRetentionDays(int days)
{
    assertMainThread();
    change([&](Settings& s) {
        s.titleRetentionDays = days < 1 ? std::nullopt : std::optional<int>(days);
    });
}

void PrivacyStore::save()
{
    assertMainThread();
    m_preferences.setStringArray(kPrivateBundleIDsKey, sortedList(m_settings.privateBundleIDs));
    m_preferences.setStringArray(kPrivateDomainsKey, sortedList(m_settings.privateDomains));
    m_preferences.setBool(kStoreBrowserTitlesKey, m_settings.storeBrowserTitles);
    m_preferences.setInteger(kTitleRetentionDaysKey, m_settings.titleRetentionDays.value_or(0));
    if (onChange) {
        onChange();
    }
}

std::string PrivacyStore::normalizedDomain(std::string_view input)
{
    std::string text = Text::lowercased(Text::trimmed(input));
    if (const auto scheme = text.find("://"); scheme != std::string::npos) {
        text.erase(0, scheme + 3);
    }
    // Path, query and fragment go; so do a user part and a port, which no visited site's
    // host carries, so that a site typed with them still matches.
    text = text.substr(0, text.find_first_of("/?#"));
    if (const auto at = text.rfind('@'); at != std::string::npos) {
        text.erase(0, at + 1);
    }
    text = text.substr(0, text.find(':'));
    if (Text::startsWith(text, "www.")) {
        text.erase(0, 4);
    }
    return text.find('.') == std::string::npos ? std::string() : text;
}

} // namespace kestrove
