#pragma once

#include "Platform/InstalledApps.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// A set of chosen application identifiers, as the picker edits it for its caller.
using AppSelection = std::set<std::string>;

// What the application picker lists and how a tap changes the caller's selection. The picker
// writes identifiers lower-cased and compares them ignoring case, so an identifier the caller
// stored in another case shows chosen and is never added a second time.
namespace AppPickerModel {

// The applications whose name or identifier contains the search, ignoring case (the search is
// not trimmed: a space finds names with a space); an empty search lists them all. The order of
// `apps` is kept.
std::vector<InstalledApp> filtered(const std::vector<InstalledApp>& apps, std::string_view search);

bool isChosen(const AppSelection& selection, std::string_view bundleID);

// Chooses an application not chosen yet (its lower-cased identifier), or takes every form of
// a chosen one out.
void toggle(AppSelection& selection, std::string_view bundleID);

// "3 selected": every identifier in the selection, installed or not.
std::string countText(const AppSelection& selection);

} // namespace AppPickerModel

} // namespace kestrove
