#include "Platform/Linux/XdgAutostart.h"

#include "Platform/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrove {

namespace {

const Log kLog("app");

// The Exec key quotes an argument that holds a reserved character, escapes `"`, `` ` ``, `$`
// and `\` inside the quotes, and doubles every backslash once more as a string value; `%`
// introduces a field code and is written `%%`.
std::string execArgument(const std::string& program)
{
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`=";
    const bool quote = program.find_first_of(reserved) != std::string::npos;
    std::string quoted;
    for (const char c : program) {
        if (c == '%') {
            quoted += "%%";
        } else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            quoted += '\\';
            quoted += c;
        } else {
            quoted += c;
        }
    }
    if (quote) {
        quoted = '"' + quoted + '"';
    }
    std::string escaped;
    for (const char c : quoted) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return escaped;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

XdgAutostart::XdgAutostart(std::filesystem::path folder, std::string program)
    : m_folder(std::move(folder)), m_program(std::move(program))
{}

std::filesystem::path XdgAutostart::defaultFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') {
        return std::filesystem::path(config) / "autostart";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".config" / "autostart";
}

std::string XdgAutostart::currentProgram()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("kestrove") : path.string();
}

std::string XdgAutostart::entryText(const std::string& program)
{
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Kestrove\n"
                       "Comment=Start tracking as soon as you sign in.\n";
    text += "Exec=" + execArgument(program) + "\n";
    text += "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

bool XdgAutostart::isEnabled() const
{
    std::ifstream file(entryPath());
    if (!file) {
        return false;
    }
    bool inEntry = false;
    std::string line;
    while (std::getline(file, line)) {
        line = trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inEntry || equals == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return false;
        }
    }
    return true;
}

bool XdgAutostart::setEnabled(bool enabled)
{
    return enabled ? write() : remove();
}

// Written whole into a temporary file that is then renamed over the entry, so the desktop
// never reads half an entry.
bool XdgAutostart::write()
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (error) {
        kLog.error("cannot create the autostart folder: " + error.message());
        return false;
    }
    const std::string text = entryText(m_program);
    std::string temporary = (m_folder / ".kestrove.desktop.XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        kLog.error(std::string("cannot write the autostart entry: ") + std::strerror(errno));
        return false;
    }
    bool ok = ::fchmod(fd, 0644) == 0;
    std::size_t written = 0;
    while (ok && written < text.size()) {
        const auto n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        written += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), entryPath().c_str()) == 0;
    if (!ok) {
        kLog.error(std::string("cannot write the autostart entry: ") + std::strerror(errno));
        ::unlink(temporary.c_str());
    }
    return ok;
}

bool XdgAutostart::remove()
{
    if (::unlink(entryPath().c_str()) == 0 || errno == ENOENT) {
        return true;
    }
    // Removing fails when the entry is a folder or its folder is not ours; an entry that
    // is not there at all is what was asked.
    if (errno == ENOTDIR) {
        return true;
    }
    kLog.error(std::string("cannot remove the autostart entry: ") + std::strerror(errno));
    return false;
}

} // namespace kestrove
