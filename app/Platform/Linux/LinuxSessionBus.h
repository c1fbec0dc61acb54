#pragma once

#include "Platform/StartupSummary.h"

#include <QDBusConnection>

namespace kestrove {

// The user's session bus, used where it exists and never started for us: libdbus "autolaunches"
// a bus daemon when none is advertised, and that daemon outlives the program.
class LinuxSessionBus
{
public:
    // What libdbus is told to use when no session bus is advertised; it refuses the address.
    static constexpr const char* kDisabledAddress = "disabled:";

    // Whether a session bus is advertised: DBUS_SESSION_BUS_ADDRESS, else the per-user bus
    // socket $XDG_RUNTIME_DIR/bus.
    static bool isAdvertised();
    // When none is, points DBUS_SESSION_BUS_ADDRESS at an address libdbus refuses, so that
    // nothing in the process (Qt, libdbus, the accessibility library) starts one; the
    // session-bus services then stay disconnected. Call before anything touches the bus: Qt does
    // while it starts.
    static void preventAutolaunch();
    static SessionBusState state(const QDBusConnection& bus = QDBusConnection::sessionBus());

    // The accessibility switch, asked without starting the accessibility bus.
    static AccessibilityState
    accessibility(const QDBusConnection& bus = QDBusConnection::sessionBus());
};

} // namespace kestrove
