#pragma once

#include "Engine/ChangeObservers.h"
#include "core/PrivacyPolicy.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace kestrove {

class Preferences;

// The user's privacy settings: private applications and sites, whether browser titles are
// kept, and for how many days window titles live. Every operation writes all four keys and
// then calls onChange; observers are told only when a setting really changed.
class PrivacyStore
{
public:
    static constexpr const char* kPrivateBundleIDsKey = "privacy.privateBundleIDs";
    static constexpr const char* kPrivateDomainsKey = "privacy.privateDomains";
    static constexpr const char* kStoreBrowserTitlesKey = "privacy.storeBrowserTitles";
    static constexpr const char* kTitleRetentionDaysKey = "privacy.titleRetentionDays";
    static constexpr int kDefaultTitleRetentionDays = 30;

    explicit PrivacyStore(Preferences& preferences);

    const std::set<std::string>& privateBundleIDs() const { return m_settings.privateBundleIDs; }
    const std::set<std::string>& privateDomains() const { return m_settings.privateDomains; }
    bool storeBrowserTitles() const { return m_settings.storeBrowserTitles; }
    // Absent: titles are kept forever.
    std::optional<int> titleRetentionDays() const { return m_settings.titleRetentionDays; }
    PrivacyPolicy policy() const;

    // Installed by the owner; called at the end of every save.
    std::function<void()> onChange;
    ChangeObservers& observers() { return m_observers; }

    void setPrivateApps(const std::set<std::string>& ids);
    void removePrivateApp(std::string_view id);
    void restoreDefaultPrivateApps();
    // Accepts an address or a host; ignored (no save) when it gives no new dotted host.
    void addPrivateDomain(std::string_view input);
    void removePrivateDomain(std::string_view domain);
    void setStoreBrowserTitles(bool store);
    // Below 1 keeps titles forever.
    void setTitleRetentionDays(int days);
    void save();

    // The host of an address or host name the user typed: no scheme, user, port, path or
    // leading "www.", lower-cased. Empty when nothing dotted remains.
    static std::string normalizedDomain(std::string_view input);

private:
    struct Settings
    {
        std::set<std::string> privateBundleIDs;
        std::set<std::string> privateDomains;
        bool storeBrowserTitles = false;
        std::optional<int> titleRetentionDays = kDefaultTitleRetentionDays;
        bool operator==(const Settings&) const = default;
    };

    void load();
    template <typename Change> void change(Change&& apply);

    Preferences& m_preferences;
    Settings m_settings;
    ChangeObservers m_observers;
};

} // namespace kestrove
