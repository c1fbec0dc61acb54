#pragma once

#include "Platform/IdleTimeSource.h"
#include "Platform/Linux/LinuxX11Connection.h"

#include <chrono>
#include <optional>
#include <string>

namespace kestrove {

// Input idle time from the X server's screen-saver extension, on a connection of its own that is
// reopened after the display was lost.
//
// The server is not asked each second. Two alarms on its IDLETIME counter say when a pause reaches
// the follow-from value and when input ends one. While the user works, the idle time reads as
// zero; once a pause is reported, one round trip gives its length, and from there it grows with
// the clock until input comes back. Without the alarms every answer is asked for.
class LinuxScreenSaverIdle final : public IdleTimeSource
{
public:
    // Idle times from this many milliseconds on are followed by the clock; shorter ones read as
    // zero. The alarms fire at most once a pause, so at most once every two seconds.
    static constexpr int kFollowFromMilliseconds = 2000;

    explicit LinuxScreenSaverIdle(std::string displayName = {},
                                  int followFromMilliseconds = kFollowFromMilliseconds);
    std::optional<double> idleSeconds() override;

    // Round trips made for idle times so far (a connection's set-up not counted).
    long queries() const { return m_queries; }

private:
    using SteadyClock = std::chrono::steady_clock;

    bool ensureConnected();
    void watchInput();
    void readEvents();
    std::optional<double> query();

    LinuxX11Connection m_connection;
    int m_followFromMilliseconds;
    bool m_hasExtension = false;
    bool m_reportedFailure = false;
    int m_syncEventBase = -1; // -1: no alarms, every answer is asked for
    unsigned long m_pauseAlarm = 0; // the counter rose to the follow-from value
    unsigned long m_inputAlarm = 0; // the counter fell below it: input after a pause
    // What the alarms say between two answers: the user is working (the idle time is short of
    // the follow-from value), or an idle time that the clock carries on; neither: ask.
    bool m_working = false;
    std::optional<std::pair<double, SteadyClock::time_point>> m_followed;
    long m_queries = 0;
};

} // namespace kestrove
