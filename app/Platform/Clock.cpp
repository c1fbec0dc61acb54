#include "Platform/Clock.h"

#include <chrono>

namespace kestrove {

Date SystemClock::now() const
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

TimeInterval SystemClock::monotonic() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace kestrove
