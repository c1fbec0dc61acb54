#pragma once

#include "core/Date.h"

namespace kestrove {

// The current time; injected so that every rule can run on a virtual clock.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual Date now() const = 0;
};

class SystemClock final : public Clock
{
public:
    Date now() const override;
};

} // namespace kestrove
