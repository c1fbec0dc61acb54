#include "Platform/Linux/LinuxInstalledApps.h"

#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Linux/DesktopEntries.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>
#include <set>

namespace kestrove::LinuxInstalledApps {

namespace {

// "de_DE.UTF-8@euro" is "de_DE@euro" to ICU.
icu::Locale collationLocale(std::string_view locale)
{
    std::string name(locale.substr(0, locale.find('.')));
    if (const auto at = locale.find('@'); at != std::string_view::npos) {
        name += std::string(locale.substr(at));
    }
    return name.empty() ? icu::Locale::getRoot() : icu::Locale(name.c_str());
}

void sortByName(std::vector<InstalledApp>& apps, std::string_view locale)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(collationLocale(locale), status));
    if (U_FAILURE(status) || !collator) {
        std::stable_sort(apps.begin(), apps.end(),
                         [](const auto& a, const auto& b) { return a.name < b.name; });
        return;
    }
    // Secondary strength: accents count, case does not.
    collator->setStrength(icu::Collator::SECONDARY);
    std::stable_sort(apps.begin(), apps.end(), [&](const InstalledApp& a, const InstalledApp& b) {
        UErrorCode compareStatus = U_ZERO_ERROR;
        return collator->compareUTF8(a.name, b.name, compareStatus) == UCOL_LESS;
    });
}

} // namespace

std::vector<InstalledApp> scan(const std::vector<std::string>& dataFolders, std::string_view locale,
                               const AppIdentityResolver& resolver)
{
    std::vector<InstalledApp> apps;
    std::set<std::string> seen;
    for (const DesktopEntry& entry : DesktopEntries::scan(dataFolders, locale)) {
        if (!entry.isShownApplication()) {
            continue;
        }
        std::string id = resolver.identifierForDesktopID(entry.id);
        if (!seen.insert(id).second) {
            continue;
        }
        apps.push_back({std::move(id), entry.displayName(), entry.icon});
    }
    sortByName(apps, locale);
    return apps;
}

InstalledApps::Scan userScan()
{
    return [] {
        const AppIdentityResolver resolver;
        return scan(DesktopEntries::dataFolders(), DesktopEntries::messagesLocale(), resolver);
    };
}

} // namespace kestrove::LinuxInstalledApps
