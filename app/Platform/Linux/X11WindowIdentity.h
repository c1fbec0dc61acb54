#pragma once

#include "Platform/Linux/AppIdentityResolver.h"
#include "Platform/Workspace.h"

#include <optional>
#include <string>

namespace kestrove {

class LinuxX11Connection;

// What one client window says about the application that owns it.
struct X11WindowReading
{
    WindowIdentity identity;
    std::optional<unsigned long> processID;
    WindowType type = WindowType::normal;
};

// Reads a window's identifying properties on `connection`; nothing when the window has gone.
// The workspace and the hider both go through here, so that they name applications alike.
std::optional<X11WindowReading> readWindowIdentity(LinuxX11Connection& connection,
                                                   unsigned long window);

// The application of a read window: a window of this process is Kestrove itself, any other is
// named by the resolver (with the Flatpak id looked up under `procRoot`).
FrontmostApplication applicationOf(X11WindowReading reading, unsigned long window,
                                   const AppIdentityResolver& resolver,
                                   const std::string& procRoot);

} // namespace kestrove
