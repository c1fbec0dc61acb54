#include "Engine/LinuxDesktopServices.h"

#include "Platform/DesktopEntries.h"
#include "Platform/Log.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <thread>

extern char** environ;

namespace kestrove {

namespace {

const Log log("app");

// Enough for any desktop; a longer client list is cut, not refused.
constexpr long kMaxClients = 4096;

} // namespace

LinuxDesktopServices::LinuxDesktopServices() : LinuxDesktopServices(Options{}) {}

LinuxDesktopServices::LinuxDesktopServices(Options options)
    : m_options(std::move(options)), m_connection(m_options.displayName)
{}

bool LinuxDesktopServices::ensureConnected()
{
    if (m_connection.isLost()) {
        m_connection.close();
    }
    if (!m_connection.isOpen() && !m_connection.open()) {
        return false;
    }
    if (!m_resolver) {
        const auto folders =
            m_options.dataFolders.empty() ? DesktopEntries::dataFolders() : m_options.dataFolders;
        m_resolver.emplace(DesktopEntries::scan(folders));
    }
    return true;
}

std::vector<RunningApplication> LinuxDesktopServices::runningApplications()
{
    if (!ensureConnected()) {
        return {};
    }
    Display* display = m_connection.display();
    const LinuxX11Connection::ErrorTrap trap(m_connection);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_CLIENT_LIST", False), 0, kMaxClients, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    std::vector<unsigned long> windows;
    if (data && format == 32) {
        const auto* ids = reinterpret_cast<const unsigned long*>(data);
        windows.assign(ids, ids + count);
    }
    if (data) {
        XFree(data);
    }
    if (trap.failed()) {
        return {};
    }
    std::vector<RunningApplication> running;
    for (const unsigned long window : windows) {
        const auto app = application(window);
        if (app && std::find(running.begin(), running.end(), *app) == running.end()) {
            running.push_back(*app);
        }
    }
    return running;
}

std::optional<RunningApplication> LinuxDesktopServices::application(unsigned long window)
{
    Display* display = m_connection.display();
    const LinuxX11Connection::ErrorTrap trap(m_connection);
    WindowIdentity identity;
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display, window, &hint)) {
        identity.wmClassInstance = hint.res_name ? hint.res_name : "";
        identity.wmClassClass = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    identity.gtkApplicationID = textProperty(window, "_GTK_APPLICATION_ID");
    identity.kdeDesktopFile = textProperty(window, "_KDE_NET_WM_DESKTOP_FILE");
    if (trap.failed()) {
        return std::nullopt; // the window went away meanwhile
    }
    const AppIdentity resolved = m_resolver->resolve(identity);
    if (!resolved.name) {
        return std::nullopt;
    }
    return RunningApplication{resolved.bundleID, *resolved.name};
}

std::string LinuxDesktopServices::textProperty(unsigned long window, const char* name)
{
    Display* display = m_connection.display();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    std::string text;
    if (data && format == 8) {
        text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data) {
        XFree(data);
    }
    return text;
}

void LinuxDesktopServices::playSound(std::string_view name)
{
    // Run without a shell; a missing player is not an error worth more than a line.
    std::string program = "canberra-gtk-play";
    std::string argument = "--id=" + std::string(name);
    char* argv[] = {program.data(), argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        log.info("no sound player for " + std::string(name));
        return;
    }
    // Reaped on the side so that no zombie is left behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

} // namespace kestrove
