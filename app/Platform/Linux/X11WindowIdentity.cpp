#include "Platform/Linux/X11WindowIdentity.h"

#include "Platform/Linux/LinuxX11Connection.h"
#include "core/AppIdentity.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace kestrove {

namespace {

constexpr const char* kOwnName = "Kestrove";
constexpr long kMaxIdentityLength = 1024;

std::string textProperty(Display* display, Window window, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom atom = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, atom, 0, kMaxIdentityLength, False, AnyPropertyType,
                           &type, &format, &items, &remaining, &data) != Success) {
        return {};
    }
    std::string result;
    if (data && format == 8) {
        result.assign(reinterpret_cast<const char*>(data), items);
    }
    if (data) {
        XFree(data);
    }
    return result;
}

// The 32-bit items of a property (CARDINAL, ATOM), widened as Xlib returns them.
std::vector<unsigned long> longsProperty(Display* display, Window window, const char* name,
                                         Atom requested)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom atom = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, atom, 0, kMaxIdentityLength, False, requested, &type,
                           &format, &items, &remaining, &data) != Success) {
        return {};
    }
    std::vector<unsigned long> result;
    if (data && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        result.assign(values, values + items);
    }
    if (data) {
        XFree(data);
    }
    return result;
}

WindowType windowType(Display* display, Window window)
{
    const Atom dock = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    const Atom desktop = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    for (const unsigned long type :
         longsProperty(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM)) {
        if (type == dock) {
            return WindowType::dock;
        }
        if (type == desktop) {
            return WindowType::desktop;
        }
    }
    return WindowType::normal;
}

std::string flatpakID(const std::string& procRoot, unsigned long pid)
{
    std::ifstream in(procRoot + "/" + std::to_string(pid) + "/root/.flatpak-info");
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return flatpakApplicationID(text.str());
}

} // namespace

std::optional<X11WindowReading> readWindowIdentity(LinuxX11Connection& connection,
                                                   unsigned long window)
{
    Display* display = connection.display();
    if (!display) {
        return std::nullopt;
    }
    const LinuxX11Connection::ErrorTrap trap(connection);
    X11WindowReading reading;
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display, window, &hint)) {
        reading.identity.wmClassInstance = hint.res_name ? hint.res_name : "";
        reading.identity.wmClassClass = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    reading.identity.gtkApplicationID = textProperty(display, window, "_GTK_APPLICATION_ID");
    reading.identity.kdeDesktopFile = textProperty(display, window, "_KDE_NET_WM_DESKTOP_FILE");
    const auto pid = longsProperty(display, window, "_NET_WM_PID", XA_CARDINAL);
    if (!pid.empty()) {
        reading.processID = pid.front();
    }
    reading.type = windowType(display, window);
    if (trap.failed()) {
        return std::nullopt;
    }
    return reading;
}

FrontmostApplication applicationOf(X11WindowReading reading, unsigned long window,
                                   const AppIdentityResolver& resolver, const std::string& procRoot)
{
    FrontmostApplication result;
    result.window = window;
    result.windowType = reading.type;
    result.processID = reading.processID ? static_cast<int>(*reading.processID) : 0;
    if (reading.processID && static_cast<pid_t>(*reading.processID) == getpid()) {
        result.bundleID = std::string(kOwnBundleID);
        result.localizedName = kOwnName;
        return result;
    }
    if (reading.processID) {
        reading.identity.flatpakID = flatpakID(procRoot, *reading.processID);
    }
    const AppIdentity resolved = resolver.resolve(reading.identity);
    result.bundleID = resolved.bundleID;
    result.localizedName = resolved.name;
    return result;
}

} // namespace kestrove
