#pragma once

#include "core/Date.h"
#include "core/Segment.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace kestrove {

// What of a sample may be stored. A full page address never is: `url` stays empty.
struct StoredContext
{
    std::string windowTitle;
    std::string url;
    std::string domain;
    std::optional<std::string> hint;

    bool operator==(const StoredContext&) const = default;
};

// The user's choices of what never reaches the disk, applied to every sample before it is stored.
class PrivacyPolicy
{
public:
    // Password managers and the keychain, messaging and mail, photos and contacts.
    static const std::set<std::string>& defaultPrivateBundleIDs();

    PrivacyPolicy() = default;
    // Members of both sets are lower-cased; empty ones are dropped, since an empty site would
    // otherwise make every domain that ends in a dot private.
    PrivacyPolicy(const std::set<std::string>& privateBundleIDs,
                  const std::set<std::string>& privateDomains, bool storeBrowserTitles,
                  std::optional<int> titleRetentionDays = std::nullopt);

    const std::set<std::string>& privateBundleIDs() const { return m_privateBundleIDs; }
    const std::set<std::string>& privateDomains() const { return m_privateDomains; }
    bool storeBrowserTitles() const { return m_storeBrowserTitles; }
    std::optional<int> titleRetentionDays() const { return m_titleRetentionDays; }

    bool isPrivateApp(const std::optional<std::string>& bundleID) const;
    // The domain or any of its parents is private.
    bool isPrivateDomain(std::string_view domain) const;
    StoredContext stored(const ContextSample& sample, const std::optional<std::string>& hint) const;
    // Window titles of segments that ended before this moment are erased; absent keeps them.
    std::optional<Date> titleCutoff(Date now) const;

    // Whether an identifier can go into a script text without escaping: letters and digits of
    // any script, ".", "_" and "-".
    static bool isSafeBundleID(std::string_view bundleID);

    bool operator==(const PrivacyPolicy&) const = default;

private:
    std::set<std::string> m_privateBundleIDs;
    std::set<std::string> m_privateDomains;
    bool m_storeBrowserTitles = false;
    std::optional<int> m_titleRetentionDays;
};

} // namespace kestrove
