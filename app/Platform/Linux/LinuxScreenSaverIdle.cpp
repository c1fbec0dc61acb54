#include "Platform/Linux/LinuxScreenSaverIdle.h"

#include "Platform/Log.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/extensions/sync.h>

#include <cstring>

namespace kestrove {

namespace {
const Log log("tracker");
}

LinuxScreenSaverIdle::LinuxScreenSaverIdle(std::string displayName, int followFromMilliseconds)
    : m_connection(std::move(displayName)), m_followFromMilliseconds(followFromMilliseconds)
{}

bool LinuxScreenSaverIdle::ensureConnected()
{
    if (m_connection.isOpen() && !m_connection.isLost()) {
        return true;
    }
    m_followed.reset();
    m_syncEventBase = -1;
    if (!m_connection.open()) {
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    m_hasExtension = XScreenSaverQueryExtension(m_connection.display(), &eventBase, &errorBase);
    watchInput();
    return true;
}

// An alarm that fires whenever the IDLETIME counter falls from at least the follow-from value
// to below it: input after such a pause. It stays armed for the connection's life.
void LinuxScreenSaverIdle::watchInput()
{
    Display* display = m_connection.display();
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XSyncQueryExtension(display, &eventBase, &errorBase) ||
        !XSyncInitialize(display, &major, &minor)) {
        return;
    }
    int count = 0;
    XSyncSystemCounter* counters = XSyncListSystemCounters(display, &count);
    XSyncCounter idleCounter = 0;
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(counters[i].name, "IDLETIME") == 0) {
            idleCounter = counters[i].counter;
        }
    }
    if (counters) {
        XSyncFreeSystemCounterList(counters);
    }
    if (idleCounter == 0) {
        return;
    }
    XSyncAlarmAttributes attributes{};
    attributes.trigger.counter = idleCounter;
    attributes.trigger.value_type = XSyncAbsolute;
    XSyncIntToValue(&attributes.trigger.wait_value, m_followFromMilliseconds);
    attributes.trigger.test_type = XSyncNegativeTransition;
    XSyncIntToValue(&attributes.delta, 0);
    attributes.events = True;
    const LinuxX11Connection::ErrorTrap trap(m_connection);
    XSyncCreateAlarm(display,
                     XSyncCACounter | XSyncCAValueType | XSyncCAValue | XSyncCATestType |
                         XSyncCADelta | XSyncCAEvents,
                     &attributes);
    XSync(display, False);
    if (!trap.failed()) {
        m_syncEventBase = eventBase;
    }
}

// Takes the alarms that arrived, without waiting: any of them ends the idle time being followed.
void LinuxScreenSaverIdle::readEvents()
{
    Display* display = m_connection.display();
    while (!m_connection.isLost() && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == m_syncEventBase + XSyncAlarmNotify) {
            m_followed.reset();
        }
    }
}

std::optional<double> LinuxScreenSaverIdle::query()
{
    ++m_queries;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    const bool ok = info &&
                    XScreenSaverQueryInfo(m_connection.display(),
                                          DefaultRootWindow(m_connection.display()), info) != 0 &&
                    !m_connection.isLost();
    const unsigned long milliseconds = ok ? info->idle : 0;
    XFree(info);
    if (!ok) {
        return std::nullopt;
    }
    // Input after an answer this long crosses the alarm's value, so the clock may carry it on.
    if (m_syncEventBase >= 0 &&
        milliseconds > static_cast<unsigned long>(m_followFromMilliseconds)) {
        m_followed.emplace(static_cast<double>(milliseconds) / 1000.0, SteadyClock::now());
    }
    return static_cast<double>(milliseconds) / 1000.0;
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
    readEvents();
    if (m_followed && !m_connection.isLost()) {
        const std::chrono::duration<double> since = SteadyClock::now() - m_followed->second;
        return m_followed->first + since.count();
    }
    const auto seconds = query();
    if (!seconds) {
        m_followed.reset();
        m_connection.close();
        return std::nullopt;
    }
    m_reportedFailure = false;
    return seconds;
}

} // namespace kestrove
