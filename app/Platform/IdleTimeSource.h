#pragma once

#include <optional>

namespace kestrove {

// Seconds since the user last touched keyboard or pointer, from one source; nothing when the
// source cannot tell.
class IdleTimeSource
{
public:
    virtual ~IdleTimeSource() = default;
    virtual std::optional<double> idleSeconds() = 0;
};

} // namespace kestrove
