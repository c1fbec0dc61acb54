#pragma once

#include <string>

struct _XDisplay;

namespace kestrove {

// One Xlib connection of Kestrove's own, kept apart from Qt's. Protocol errors on it (a window
// that vanished between two requests) are counted instead of ending the program, and a broken
// connection is remembered instead of exiting, so that its owner can close it and reconnect.
// Open it after the QApplication exists: Qt sets Xlib's process-wide handlers when it connects.
class LinuxX11Connection
{
public:
    explicit LinuxX11Connection(std::string displayName = {});
    ~LinuxX11Connection();
    LinuxX11Connection(const LinuxX11Connection&) = delete;
    LinuxX11Connection& operator=(const LinuxX11Connection&) = delete;

    // Whether the display named by DISPLAY accepts a connection (one opened and closed at once);
    // asked before Qt connects, since Qt cannot start without one.
    static bool isDisplayReachable();

    bool open();
    void close();
    _XDisplay* display() const { return m_display; }
    bool isOpen() const { return m_display != nullptr; }
    // The server went away; every request since has failed. The owner should close().
    bool isLost() const { return m_lost; }
    const std::string& displayName() const { return m_displayName; }

    // Protocol errors on this connection since the trap was set; Xlib reports them while it
    // waits for a reply, so a trap around round-trip requests sees all of them.
    class ErrorTrap
    {
    public:
        explicit ErrorTrap(LinuxX11Connection& connection);
        bool failed() const;

    private:
        LinuxX11Connection& m_connection;
        unsigned long m_errorsBefore;
    };

private:
    friend struct LinuxX11Handlers;

    std::string m_displayName;
    _XDisplay* m_display = nullptr;
    bool m_lost = false;
    unsigned long m_errors = 0;
};

} // namespace kestrove
