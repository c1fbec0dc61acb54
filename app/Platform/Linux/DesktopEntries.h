#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// What Kestrove needs of one installed application's desktop entry.
struct DesktopEntry
{
    std::string id;             // file name without ".desktop"; sub-folders joined with "-"
    std::string name;           // "Name" of the [Desktop Entry] group
    std::string startupWMClass; // "StartupWMClass", empty when absent

    bool operator==(const DesktopEntry&) const = default;
};

namespace DesktopEntries {

// The entry described by a desktop file's text; an entry marked Hidden (deleted by the user) or
// without a [Desktop Entry] group yields nothing.
std::optional<DesktopEntry> parse(std::string_view text, std::string id);

// Every entry under "<folder>/applications" of the given data folders, most important folder
// first: an id found in an earlier folder hides the same id in later ones.
std::vector<DesktopEntry> scan(const std::vector<std::string>& dataFolders);

// $XDG_DATA_HOME (default ~/.local/share), then $XDG_DATA_DIRS (default /usr/local/share and
// /usr/share), as the environment says now.
std::vector<std::string> dataFolders();

} // namespace DesktopEntries

} // namespace kestrove
