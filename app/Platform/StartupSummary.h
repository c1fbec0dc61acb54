#pragma once

#include <string>
#include <vector>

namespace kestrove {

enum class SessionBusState
{
    connected,
    unreachable, // an address is given, but nothing answers there
    missing      // none is given, and none is started for us
};

// The desktop's accessibility switch (org.a11y.Status IsEnabled), through which browsers'
// addresses are read.
enum class AccessibilityState
{
    on,
    off,
    notRunning, // the accessibility bus's service is not on the session bus
    noAnswer,
    noSessionBus
};

enum class WindowAccess
{
    readable,
    noWindowManager, // the display has no EWMH window manager: no active window to follow
    noDisplay
};

// What the program can see and where it keeps things, as found at start-up.
struct StartupFacts
{
    std::string databasePath;
    std::string preferencesPath;
    std::string displayName;
    WindowAccess windows = WindowAccess::readable;
    SessionBusState sessionBus = SessionBusState::connected;
    AccessibilityState accessibility = AccessibilityState::on;
};

// The first lines of the log: where the record and the settings are kept, whether window titles
// and browser sites can be read (and what to do when not), and how to stop the program.
std::vector<std::string> startupLines(const StartupFacts& facts);

} // namespace kestrove
