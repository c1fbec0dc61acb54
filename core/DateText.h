#pragma once

#include "core/Date.h"

#include <string>

// Dates in the user's language, in the process's time zone. An empty locale means the user's
// locale for times (LC_ALL, LC_TIME, then LANG), as a desktop user would expect.
namespace kestrove::DateText {

// The locale's short time style: "9:05 AM" in en_US, "09:05" in de_DE.
std::string shortTime(Date date, const std::string& locale = {});
// A fixed date pattern ("EEEE", "EEEE, d MMM yyyy") with the locale's names of days and months.
std::string formatted(Date date, const std::string& pattern, const std::string& locale = {});
// The ICU name of the user's locale for times, e.g. "de_DE"; "en_US" when none is set.
std::string userLocale();

} // namespace kestrove::DateText
