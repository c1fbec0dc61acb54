#pragma once

#include "core/Date.h"

namespace kestrove {

// The current time; injected so that every rule can run on a virtual clock.
class Clock
{
public:
    virtual ~Clock() = default;
    // Wall-clock time: what is recorded and shown.
    virtual Date now() const = 0;
    // Seconds from an arbitrary origin that never jump when the wall clock is set: for deadlines.
    virtual TimeInterval monotonic() const = 0;
};

class SystemClock final : public Clock
{
public:
    Date now() const override;
    TimeInterval monotonic() const override;
};

} // namespace kestrove
