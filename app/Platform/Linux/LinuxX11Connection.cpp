#include "Platform/Linux/LinuxX11Connection.h"

#include <X11/Xlib.h>

#include <mutex>
#include <set>

namespace kestrove {

// Xlib's error handlers are process-wide: ours answer for Kestrove's own connections and hand
// every other display (Qt's) to the handler that was there before.
struct LinuxX11Handlers
{
    static std::set<LinuxX11Connection*>& connections()
    {
        static std::set<LinuxX11Connection*> all;
        return all;
    }

    // The hider's connection lives on a thread of its own: the handlers run on either thread.
    static std::mutex& mutex()
    {
        static std::mutex lock;
        return lock;
    }

    static LinuxX11Connection* find(Display* display)
    {
        const std::lock_guard lock(mutex());
        for (auto* connection : connections()) {
            if (connection->m_display == display) {
                return connection;
            }
        }
        return nullptr;
    }

    static inline XErrorHandler previousError = nullptr;
    static inline XIOErrorHandler previousIOError = nullptr;

    static int onError(Display* display, XErrorEvent* event)
    {
        if (auto* connection = find(display)) {
            ++connection->m_errors;
            return 0;
        }
        return previousError ? previousError(display, event) : 0;
    }

    // Returning lets Xlib go on to the connection's exit handler below instead of exiting.
    static int onIOError(Display* display)
    {
        if (find(display)) {
            return 0;
        }
        return previousIOError ? previousIOError(display) : 0;
    }

    static void onConnectionBroken(Display* display, void*)
    {
        if (auto* connection = find(display)) {
            connection->m_lost = true;
        }
    }

    // Called at every open: Qt sets its own handlers when it connects, and whichever came
    // first is kept as the one to hand other displays to.
    static void install()
    {
        if (const XErrorHandler previous = XSetErrorHandler(onError); previous != onError) {
            previousError = previous;
        }
        if (const XIOErrorHandler previous = XSetIOErrorHandler(onIOError); previous != onIOError) {
            previousIOError = previous;
        }
    }
};

LinuxX11Connection::LinuxX11Connection(std::string displayName)
    : m_displayName(std::move(displayName))
{}

LinuxX11Connection::~LinuxX11Connection()
{
    close();
}

bool LinuxX11Connection::open()
{
    close();
    {
        const std::lock_guard lock(LinuxX11Handlers::mutex());
        LinuxX11Handlers::install();
    }
    m_display = XOpenDisplay(m_displayName.empty() ? nullptr : m_displayName.c_str());
    if (!m_display) {
        return false;
    }
    {
        const std::lock_guard lock(LinuxX11Handlers::mutex());
        LinuxX11Handlers::connections().insert(this);
    }
    XSetIOErrorExitHandler(m_display, LinuxX11Handlers::onConnectionBroken, nullptr);
    return true;
}

void LinuxX11Connection::close()
{
    if (!m_display) {
        return;
    }
    XCloseDisplay(m_display);
    {
        const std::lock_guard lock(LinuxX11Handlers::mutex());
        LinuxX11Handlers::connections().erase(this);
    }
    m_display = nullptr;
    m_lost = false;
}

LinuxX11Connection::ErrorTrap::ErrorTrap(LinuxX11Connection& connection)
    : m_connection(connection), m_errorsBefore(connection.m_errors)
{}

bool LinuxX11Connection::ErrorTrap::failed() const
{
    return m_connection.m_errors != m_errorsBefore || m_connection.m_lost;
}

bool LinuxX11Connection::isDisplayReachable()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace kestrove
