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
// Once the user has been away for a while, the server is not asked again each second: the idle
// time grows with the clock until an alarm on the server's IDLETIME counter says that input came
// back. While the user works, each answer costs one round trip, as it must.
class LinuxScreenSaverIdle final : public IdleTimeSource
{
public:
    // Idle times from this many milliseconds on are followed by the clock. Input after them drops
    // the counter below it, which the alarm reports, at most once every two seconds.
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
    int m_syncEventBase = -1; // -1: no alarm, every answer is asked for
    // An idle time that the clock carries on until the alarm fires.
    std::optional<std::pair<double, SteadyClock::time_point>> m_followed;
    long m_queries = 0;
};

} // namespace kestrove
