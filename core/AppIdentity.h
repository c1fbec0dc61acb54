#pragma once

#include <string_view>

namespace kestrove {

// Kestrove's own application identifier: what its windows report as the frontmost application,
// and the log's subsystem.
inline constexpr std::string_view kOwnBundleID = "com.kestrove.app";

} // namespace kestrove
