#include "Platform/StartupSummary.h"

namespace kestrove {

namespace {

std::string windowsLine(const StartupFacts& facts)
{
    const std::string display = facts.displayName.empty() ? "X display" : facts.displayName;
    switch (facts.windows) {
    case WindowAccess::readable:
        return "window titles: read from the X display " + display;
    case WindowAccess::noWindowManager:
        return "window titles: not read: the window manager on " + display +
               " does not support EWMH (_NET_ACTIVE_WINDOW); start one that does";
    case WindowAccess::noDisplay:
        return "window titles: not read: the X display " + display +
               " cannot be reached; they are read again once it is back";
    }
    return {};
}

std::string sitesLine(AccessibilityState accessibility)
{
    switch (accessibility) {
    case AccessibilityState::on:
        return "browser sites: read over the accessibility bus";
    case AccessibilityState::off:
        return "browser sites: not read: accessibility is off (org.a11y.Status IsEnabled); turn "
               "it on in the desktop's settings, then restart the browser";
    case AccessibilityState::notRunning:
        return "browser sites: not read: the accessibility bus is not running (no org.a11y.Bus "
               "on the session bus)";
    case AccessibilityState::noAnswer:
        return "browser sites: not read: the accessibility bus does not answer (org.a11y.Bus)";
    case AccessibilityState::noSessionBus:
        return "browser sites: not read: without a session bus the accessibility bus cannot be "
               "found";
    }
    return {};
}

std::string sessionBusLine(SessionBusState state)
{
    const std::string skipped =
        "; notifications, the focus-state signal and screen-lock events are skipped";
    switch (state) {
    case SessionBusState::connected:
        return {};
    case SessionBusState::unreachable:
        return "session bus: cannot connect to DBUS_SESSION_BUS_ADDRESS" + skipped;
    case SessionBusState::missing:
        return "session bus: none (DBUS_SESSION_BUS_ADDRESS is not set), and none is started" +
               skipped;
    }
    return {};
}

} // namespace

std::vector<std::string> startupLines(const StartupFacts& facts)
{
    std::vector<std::string> lines = {
        "database: " + facts.databasePath,
        "settings: " + facts.preferencesPath,
        windowsLine(facts),
    };
    // Without a session bus the accessibility bus cannot be found, whatever was asked.
    lines.push_back(sitesLine(facts.sessionBus == SessionBusState::connected
                                  ? facts.accessibility
                                  : AccessibilityState::noSessionBus));
    if (facts.sessionBus != SessionBusState::connected) {
        lines.push_back(sessionBusLine(facts.sessionBus));
    }
    lines.push_back("stop with Ctrl+C (or SIGTERM)");
    return lines;
}

} // namespace kestrove
