#include "Platform/Linux/DesktopEntries.h"

#include "core/Text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace kestrove::DesktopEntries {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = ".desktop";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "kde4/foo.desktop" under applications/ has the id "kde4-foo".
std::string entryID(const fs::path& relative)
{
    std::string id;
    for (const auto& part : relative) {
        if (!id.empty()) {
            id += '-';
        }
        id += part.string();
    }
    return id.substr(0, id.size() - kSuffix.size());
}

// The "Name[...]" keys that fit a locale, best first.
std::vector<std::string> localizedNameKeys(std::string_view locale)
{
    std::string_view rest = locale;
    std::string modifier;
    if (const auto at = rest.find('@'); at != std::string_view::npos) {
        modifier = std::string(rest.substr(at));
        rest = rest.substr(0, at);
    }
    rest = rest.substr(0, rest.find('.'));
    const auto underscore = rest.find('_');
    const std::string language(rest.substr(0, underscore));
    if (language.empty()) {
        return {};
    }
    std::vector<std::string> keys;
    if (underscore != std::string_view::npos) {
        const std::string withCountry(rest);
        if (!modifier.empty()) {
            keys.push_back(withCountry + modifier);
        }
        keys.push_back(withCountry);
    }
    if (!modifier.empty()) {
        keys.push_back(language + modifier);
    }
    keys.push_back(language);
    for (auto& key : keys) {
        key = "Name[" + key + "]";
    }
    return keys;
}

void scanFolder(const fs::path& applications, std::string_view locale, std::set<std::string>& seen,
                std::vector<DesktopEntry>& entries)
{
    std::error_code error;
    fs::recursive_directory_iterator it(applications, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (!Text::endsWith(path.filename().string(), kSuffix) || !it->is_regular_file(error)) {
            continue;
        }
        std::string id = entryID(path.lexically_relative(applications));
        if (!seen.insert(id).second) {
            continue;
        }
        if (auto entry = parse(readFile(path), std::move(id), locale)) {
            entries.push_back(std::move(*entry));
        }
    }
}

} // namespace

std::optional<DesktopEntry> parse(std::string_view text, std::string id, std::string_view locale)
{
    DesktopEntry entry;
    entry.id = std::move(id);
    const std::vector<std::string> nameKeys = localizedNameKeys(locale);
    std::size_t bestName = nameKeys.size();
    bool inMainGroup = false;
    bool sawMainGroup = false;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        line = Text::trimmed(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos) {
            continue;
        }
        const std::string key = Text::trimmed(line.substr(0, equals));
        const std::string value = Text::trimmed(line.substr(equals + 1));
        if (key == "Name") {
            entry.name = value;
        } else if (key == "StartupWMClass") {
            entry.startupWMClass = value;
        } else if (key == "Icon") {
            entry.icon = value;
        } else if (key == "Type") {
            entry.type = value;
        } else if (key == "NoDisplay") {
            entry.noDisplay = value == "true";
        } else if (key == "Hidden" && value == "true") {
            return std::nullopt;
        } else if (Text::startsWith(key, "Name[")) {
            const auto rank = std::find(nameKeys.begin(), nameKeys.end(), key) - nameKeys.begin();
            if (static_cast<std::size_t>(rank) < bestName) {
                bestName = static_cast<std::size_t>(rank);
                entry.localizedName = value;
            }
        }
    }
    if (!sawMainGroup) {
        return std::nullopt;
    }
    return entry;
}

std::vector<DesktopEntry> scan(const std::vector<std::string>& dataFolders, std::string_view locale)
{
    std::set<std::string> seen;
    std::vector<DesktopEntry> entries;
    for (const auto& folder : dataFolders) {
        scanFolder(fs::path(folder) / "applications", locale, seen, entries);
    }
    return entries;
}

std::string messagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            const std::string locale(value);
            return locale == "C" || locale == "POSIX" || Text::startsWith(locale, "C.")
                       ? std::string()
                       : locale;
        }
    }
    return {};
}

std::vector<std::string> dataFolders()
{
    std::vector<std::string> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome && *dataHome) {
        folders.emplace_back(dataHome);
    } else if (home && *home) {
        folders.push_back(std::string(home) + "/.local/share");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    std::istringstream parts(dirs);
    std::string part;
    while (std::getline(parts, part, ':')) {
        if (!part.empty()) {
            folders.push_back(part);
        }
    }
    return folders;
}

} // namespace kestrove::DesktopEntries
