#include "Platform/Linux/DesktopEntries.h"

#include "core/Text.h"

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

void scanFolder(const fs::path& applications, std::set<std::string>& seen,
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
        if (auto entry = parse(readFile(path), std::move(id))) {
            entries.push_back(std::move(*entry));
        }
    }
}

} // namespace

std::optional<DesktopEntry> parse(std::string_view text, std::string id)
{
    DesktopEntry entry{std::move(id), {}, {}};
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
        } else if (key == "Hidden" && value == "true") {
            return std::nullopt;
        }
    }
    if (!sawMainGroup) {
        return std::nullopt;
    }
    return entry;
}

std::vector<DesktopEntry> scan(const std::vector<std::string>& dataFolders)
{
    std::set<std::string> seen;
    std::vector<DesktopEntry> entries;
    for (const auto& folder : dataFolders) {
        scanFolder(fs::path(folder) / "applications", seen, entries);
    }
    return entries;
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
