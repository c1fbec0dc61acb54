#include "Platform/Linux/LinuxScreenSaverIdle.h"

#include "Platform/Log.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace kestrove {

namespace {
const Log log("tracker");
}

LinuxScreenSaverIdle::LinuxScreenSaverIdle(std::string displayName)
    : m_connection(std::move(displayName))
{}

bool LinuxScreenSaverIdle::ensureConnected()
{
    if (m_connection.isOpen() && !m_connection.isLost()) {
        return true;
    }
    if (!m_connection.open()) {
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    m_hasExtension = XScreenSaverQueryExtension(m_connection.display(), &eventBase, &errorBase);
    return true;
}

std::optional<double> LinuxScreenSaverIdle::idleSeconds()
{
    if (!ensureConnected() || !m_hasExtension) {
        if (!m_reportedFailure) {
            log.error("no idle time from the X screen saver extension");
            m_reportedFailure = true;
        }
        return std::nullopt;
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    const bool ok = info &&
                    XScreenSaverQueryInfo(m_connection.display(),
                                          DefaultRootWindow(m_connection.display()), info) != 0 &&
                    !m_connection.isLost();
    const double seconds = ok ? static_cast<double>(info->idle) / 1000.0 : 0.0;
    XFree(info);
    if (!ok) {
        m_connection.close();
        return std::nullopt;
    }
    m_reportedFailure = false;
    return seconds;
}

} // namespace kestrove
