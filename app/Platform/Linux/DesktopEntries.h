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
    std::string localizedName;  // the "Name[xx]" that best fits the locale; empty when none does
    std::string icon;           // "Icon": a name in the icon theme, or a file's absolute path
    std::string type;           // "Type": "Application", "Link" or "Directory"
    bool noDisplay = false;     // "NoDisplay=true": installed, but not for menus and pickers

    // What a user sees in a menu: the localized name, else the plain one.
    const std::string& displayName() const { return localizedName.empty() ? name : localizedName; }
    // An application the user would choose from a menu.
    bool isShownApplication() const { return type == "Application" && !noDisplay; }

    bool operator==(const DesktopEntry&) const = default;
};

namespace DesktopEntries {

// The entry described by a desktop file's text; an entry marked Hidden (deleted by the user) or
// without a [Desktop Entry] group yields nothing. `locale` ("de_DE.UTF-8@euro", "" for none)
// picks the localized name: lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, then lang.
std::optional<DesktopEntry> parse(std::string_view text, std::string id,
                                  std::string_view locale = {});

// Every entry under "<folder>/applications" of the given data folders, most important folder
// first: an id found in an earlier folder hides the same id in later ones, also when the
// earlier entry is hidden (that is how a user deletes a system entry).
std::vector<DesktopEntry> scan(const std::vector<std::string>& dataFolders,
                               std::string_view locale = {});

// The locale of the user's messages as the environment says now: LC_ALL, LC_MESSAGES, then
// LANG; "" for none and for the untranslated "C" and "POSIX".
std::string messagesLocale();

// $XDG_DATA_HOME (default ~/.local/share), then $XDG_DATA_DIRS (default /usr/local/share and
// /usr/share), as the environment says now.
std::vector<std::string> dataFolders();

} // namespace DesktopEntries

} // namespace kestrove
