#include "Platform/Linux/AppIdentityResolver.h"

#include "Platform/Linux/AppAliasesData.h"
#include "core/Text.h"

#include <sstream>

namespace kestrove {

namespace AppAliases {

std::map<std::string, std::string> parse(std::string_view text)
{
    std::map<std::string, std::string> aliases;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string alias;
        std::string identifier;
        if (words >> alias >> identifier) {
            aliases[Text::lowercased(alias)] = Text::lowercased(identifier);
        }
    }
    return aliases;
}

const std::map<std::string, std::string>& shipped()
{
    static const auto table = parse(kShippedAppAliases);
    return table;
}

} // namespace AppAliases

std::string flatpakApplicationID(std::string_view flatpakInfo)
{
    std::istringstream lines{std::string(flatpakInfo)};
    std::string line;
    bool inApplication = false;
    while (std::getline(lines, line)) {
        line = Text::trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inApplication = line == "[Application]";
        } else if (inApplication && Text::startsWith(line, "name=")) {
            return Text::trimmed(line.substr(5));
        }
    }
    return {};
}

namespace {

// The KDE property may hold a bare entry name or a path to the file.
std::string desktopFileID(std::string_view value)
{
    std::string id(value.substr(
        value.find_last_of('/') == std::string_view::npos ? 0 : value.find_last_of('/') + 1));
    if (Text::endsWith(id, ".desktop")) {
        id.resize(id.size() - 8);
    }
    return id;
}

} // namespace

AppIdentityResolver::AppIdentityResolver(std::vector<DesktopEntry> entries,
                                         std::map<std::string, std::string> aliases)
    : m_aliases(std::move(aliases))
{
    setEntries(std::move(entries));
}

void AppIdentityResolver::setEntries(std::vector<DesktopEntry> entries)
{
    m_entries = std::move(entries);
    m_byLowerID.clear();
    m_byWMClass.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        m_byLowerID.emplace(Text::lowercased(m_entries[i].id), i);
        if (!m_entries[i].startupWMClass.empty()) {
            m_byWMClass.emplace(m_entries[i].startupWMClass, i);
        }
    }
}

const DesktopEntry* AppIdentityResolver::entryByID(std::string_view id) const
{
    const auto found = m_byLowerID.find(Text::lowercased(id));
    return found == m_byLowerID.end() ? nullptr : &m_entries[found->second];
}

const DesktopEntry* AppIdentityResolver::entryForWMClass(const WindowIdentity& window) const
{
    if (const auto found = m_byWMClass.find(window.wmClassClass); found != m_byWMClass.end()) {
        return &m_entries[found->second];
    }
    for (const auto& name : {window.wmClassClass, window.wmClassInstance}) {
        if (name.empty()) {
            continue;
        }
        if (const DesktopEntry* entry = entryByID(name)) {
            return entry;
        }
    }
    return nullptr;
}

std::string AppIdentityResolver::identifierForDesktopID(std::string_view desktopID) const
{
    std::string lower = Text::lowercased(desktopID);
    const auto alias = m_aliases.find(lower);
    return alias == m_aliases.end() ? lower : alias->second;
}

AppIdentity AppIdentityResolver::resolve(const WindowIdentity& window) const
{
    std::string identifier;
    const DesktopEntry* entry = nullptr;
    const std::string kdeID = desktopFileID(window.kdeDesktopFile);
    for (const auto& declared : {window.gtkApplicationID, kdeID, window.flatpakID}) {
        if (!declared.empty()) {
            identifier = declared;
            entry = entryByID(declared);
            break;
        }
    }
    if (identifier.empty()) {
        entry = entryForWMClass(window);
        identifier = entry ? entry->id : window.wmClassClass;
    }

    AppIdentity identity;
    if (!identifier.empty()) {
        identity.bundleID = identifierForDesktopID(identifier);
    }
    if (entry && !entry->name.empty()) {
        identity.name = entry->name;
    } else if (!window.wmClassClass.empty()) {
        identity.name = window.wmClassClass;
    }
    return identity;
}

} // namespace kestrove
