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
    m_working = false;
    m_syncEventBase = -1;
    m_pauseAlarm = 0;
    m_inputAlarm = 0;
    if (!m_connection.open()) {
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    m_hasExtension = XScreenSaverQueryExtension(m_connection.display(), &eventBase, &errorBase);
    watchInput();
    return true;
}

namespace {

// An alarm on `counter` at `value` milliseconds that reports each crossing of the kind given
// and stays armed for the connection's life.
XSyncAlarm createAlarm(Display* display, XSyncCounter counter, XSyncTestType test, int value)
{
    XSyncAlarmAttributes attributes{};
    attributes.trigger.counter = counter;
    attributes.trigger.value_type = XSyncAbsolute;
    XSyncIntToValue(&attributes.trigger.wait_value, value);
    attributes.trigger.test_type = test;
    XSyncIntToValue(&attributes.delta, 0);
    attributes.events = True;
    return XSyncCreateAlarm(display,
                            XSyncCACounter | XSyncCAValueType | XSyncCAValue | XSyncCATestType |
                                XSyncCADelta | XSyncCAEvents,
                            &attributes);
}

} // namespace

// Two alarms on the IDLETIME counter at the follow-from value: one as it rises to it (a pause),
// one as it falls below it (input after a pause).
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
    const LinuxX11Connection::ErrorTrap trap(m_connection);
    const XSyncAlarm pause =
        createAlarm(display, idleCounter, XSyncPositiveTransition, m_followFromMilliseconds);
    const XSyncAlarm input =
        createAlarm(display, idleCounter, XSyncNegativeTransition, m_followFromMilliseconds);
    XSync(display, False);
    if (!trap.failed() && pause != 0 && input != 0) {
        m_syncEventBase = eventBase;
        m_pauseAlarm = pause;
        m_inputAlarm = input;
    }
}

// Takes the alarms that arrived, without waiting; the last one says what holds now. One that
// came before the latest answer costs at most one more question.
void LinuxScreenSaverIdle::readEvents()
{
    Display* display = m_connection.display();
    while (!m_connection.isLost() && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != m_syncEventBase + XSyncAlarmNotify) {
            continue;
        }
        const XSyncAlarm alarm = reinterpret_cast<const XSyncAlarmNotifyEvent&>(event).alarm;
        if (alarm == m_inputAlarm || alarm == m_pauseAlarm) {
            m_followed.reset();
            m_working = alarm == m_inputAlarm;
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
    const double seconds = static_cast<double>(milliseconds) / 1000.0;
    if (m_syncEventBase >= 0) {
        // Input after an answer this long crosses the input alarm's value, so the clock may
        // carry it on; a shorter one is the user at work until the pause alarm says otherwise.
        if (milliseconds > static_cast<unsigned long>(m_followFromMilliseconds)) {
            m_followed.emplace(seconds, SteadyClock::now());
            m_working = false;
        } else {
            m_working = true;
            return 0.0;
        }
    }
    return seconds;
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
    if (!m_connection.isLost()) {
        if (m_working) {
            return 0.0;
        }
        if (m_followed) {
            const std::chrono::duration<double> since = SteadyClock::now() - m_followed->second;
            return m_followed->first + since.count();
        }
    }
    const auto seconds = query();
    if (!seconds) {
        m_followed.reset();
        m_working = false;
        m_connection.close();
        return std::nullopt;
    }
    m_reportedFailure = false;
    return seconds;
}

} // namespace kestrove
