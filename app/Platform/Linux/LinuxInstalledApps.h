#pragma once

#include "Platform/InstalledApps.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

class AppIdentityResolver;

namespace LinuxInstalledApps {

// The applications of the desktop entries in the data folders (most important first): entries
// of type Application that are neither hidden nor kept out of menus, each under the identifier
// its windows resolve to, once (the first entry of an identifier wins), with the name in
// `locale`, sorted by name as that locale sorts, ignoring case; entries of equal names keep
// their order.
std::vector<InstalledApp> scan(const std::vector<std::string>& dataFolders, std::string_view locale,
                               const AppIdentityResolver& resolver);

// The scan of the user's data folders in the user's language, as the environment says when
// it runs.
InstalledApps::Scan userScan();

} // namespace LinuxInstalledApps

} // namespace kestrove
