#pragma once

#include "Platform/Linux/DesktopEntries.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// What a window tells about the application that owns it; empty texts are absent properties.
struct WindowIdentity
{
    std::string gtkApplicationID; // _GTK_APPLICATION_ID
    std::string kdeDesktopFile;   // _KDE_NET_WM_DESKTOP_FILE
    std::string flatpakID;        // [Application] name= of the process's .flatpak-info
    std::string wmClassInstance;  // WM_CLASS, first part
    std::string wmClassClass;     // WM_CLASS, second part
};

// The application as Kestrove's tables know it.
struct AppIdentity
{
    std::optional<std::string> bundleID; // lower-cased, mapped through the aliases
    std::optional<std::string> name;     // the desktop entry's Name, else the WM_CLASS class

    bool operator==(const AppIdentity&) const = default;
};

namespace AppAliases {
// "alias identifier" per line, "#" comments; aliases are lower-cased.
std::map<std::string, std::string> parse(std::string_view text);
// The table that ships with Kestrove.
const std::map<std::string, std::string>& shipped();
} // namespace AppAliases

// The application id from the text of a Flatpak sandbox's .flatpak-info ("" when none).
std::string flatpakApplicationID(std::string_view flatpakInfo);

// Turns a window's properties into an application identity: the first of the GTK application id,
// the KDE desktop file, the Flatpak id, a desktop entry matching WM_CLASS, and the WM_CLASS class.
class AppIdentityResolver
{
public:
    explicit AppIdentityResolver(
        std::vector<DesktopEntry> entries = {},
        std::map<std::string, std::string> aliases = AppAliases::shipped());

    void setEntries(std::vector<DesktopEntry> entries);
    AppIdentity resolve(const WindowIdentity& window) const;
    // Kestrove's identifier of the application a desktop entry (or a declared application id)
    // names: lower-cased and mapped through the aliases. A window of that application resolves
    // to the same identifier, so installed and running applications meet.
    std::string identifierForDesktopID(std::string_view desktopID) const;

private:
    const DesktopEntry* entryByID(std::string_view id) const;
    const DesktopEntry* entryForWMClass(const WindowIdentity& window) const;

    std::vector<DesktopEntry> m_entries;
    std::map<std::string, std::size_t> m_byLowerID;
    std::map<std::string, std::size_t> m_byWMClass;
    std::map<std::string, std::string> m_aliases;
};

} // namespace kestrove
