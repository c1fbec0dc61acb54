#pragma once

#include "Platform/IdleTimeSource.h"

#include <optional>

namespace kestrove {

// Seconds since the last keyboard or pointer input. The input source (the X server's screen-saver
// extension) comes first; the session's idle monitor on D-Bus stands in when it cannot answer.
class SystemIdle
{
public:
    // A year: anything at or above it is not a believable idle time.
    static constexpr double kImplausibleSeconds = 31'536'000.0;

    SystemIdle(IdleTimeSource& input, IdleTimeSource& fallback)
        : m_input(input), m_fallback(fallback)
    {}

    std::optional<double> secondsSinceLastInput() { return m_input.idleSeconds(); }
    std::optional<double> hidIdleSeconds() { return m_fallback.idleSeconds(); }

    // The input source's value when it is finite, not negative and below a year; otherwise the
    // fallback's; otherwise 0.
    double secondsSinceInput();

private:
    IdleTimeSource& m_input;
    IdleTimeSource& m_fallback;
};

} // namespace kestrove
