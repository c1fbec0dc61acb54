#include "core/PrivacyPolicy.h"

#include "core/ContextClassifier.h"
#include "core/DomainRules.h"
#include "core/Text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace kestrove {

namespace {

std::set<std::string> lowercasedMembers(const std::set<std::string>& members)
{
    std::set<std::string> out;
    for (const std::string& member : members) {
        if (!member.empty()) {
            out.insert(Text::lowercased(member));
        }
    }
    return out;
}

} // namespace

const std::set<std::string>& PrivacyPolicy::defaultPrivateBundleIDs()
{
    static const std::set<std::string> ids = {
        "com.1password.1password",
        "com.agilebits.onepassword7",
        "com.agilebits.onepassword-osx",
        "com.bitwarden.desktop",
        "com.dashlane.dashlanephonefinal",
        "com.lastpass.lastpassmac",
        "org.keepassxc.keepassxc",
        "net.antelle.keeweb",
        "com.apple.keychainaccess",
        "com.apple.passwords",
        "com.apple.mobilesms",
        "com.apple.mail",
        "net.whatsapp.whatsapp",
        "ru.keepcoder.telegram",
        "org.whispersystems.signal-desktop",
        "com.hnc.discord",
        "com.tinyspeck.slackmacgap",
        "com.apple.facetime",
        "com.apple.photos",
        "com.apple.addressbook",
    };
    return ids;
}

PrivacyPolicy::PrivacyPolicy(const std::set<std::string>& privateBundleIDs,
                             const std::set<std::string>& privateDomains, bool storeBrowserTitles,
                             std::optional<int> titleRetentionDays)
    : m_privateBundleIDs(lowercasedMembers(privateBundleIDs)),
      m_privateDomains(lowercasedMembers(privateDomains)), m_storeBrowserTitles(storeBrowserTitles),
      m_titleRetentionDays(titleRetentionDays)
{}

bool PrivacyPolicy::isPrivateApp(const std::optional<std::string>& bundleID) const
{
    if (!bundleID) {
        return false;
    }
    const std::string id = Text::lowercased(*bundleID);
    return !id.empty() && m_privateBundleIDs.contains(id);
}

bool PrivacyPolicy::isPrivateDomain(std::string_view domain) const
{
    const std::string lower = Text::lowercased(domain);
    if (lower.empty()) {
        return false;
    }
    for (const std::string& site : m_privateDomains) {
        if (lower == site || (lower.size() > site.size() && Text::endsWith(lower, site) &&
                              lower[lower.size() - site.size() - 1] == '.')) {
            return true;
        }
    }
    return false;
}

StoredContext PrivacyPolicy::stored(const ContextSample& sample,
                                    const std::optional<std::string>& hint) const
{
    // Private applications first: nothing of theirs is kept, not even the hint.
    if (isPrivateApp(sample.bundleID)) {
        return {};
    }
    std::string domain = DomainRules::domain(sample.url);
    if (ContextClassifier::isBrowser(sample.bundleID)) {
        if (isPrivateDomain(domain)) {
            return {};
        }
        return {m_storeBrowserTitles ? sample.windowTitle : std::string(), "", std::move(domain),
                hint};
    }
    return {sample.windowTitle, "", std::move(domain), hint};
}

std::optional<Date> PrivacyPolicy::titleCutoff(Date now) const
{
    if (!m_titleRetentionDays || *m_titleRetentionDays < 1) {
        return std::nullopt;
    }
    return now - static_cast<double>(*m_titleRetentionDays) * 86400.0;
}

bool PrivacyPolicy::isSafeBundleID(std::string_view bundleID)
{
    if (bundleID.empty()) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(bundleID.data());
    const auto length = static_cast<int32_t>(bundleID.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false; // not text at all
        }
        // Letters, marks and digits of every script, as the alphanumeric set has them.
        const bool alphanumeric =
            (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
        if (!alphanumeric && c != '.' && c != '_' && c != '-') {
            return false;
        }
    }
    return true;
}

} // namespace kestrove
