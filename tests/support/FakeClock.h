#pragma once

#include "Platform/Clock.h"

#include <algorithm>

namespace kestrove {

class FakeClock final : public Clock
{
public:
    explicit FakeClock(Date start = 800000000.0) : m_now(start) {}
    Date now() const override { return m_now; }
    TimeInterval monotonic() const override { return m_monotonic; }
    // Setting the wall clock back (a user's correction) leaves the monotonic reading alone.
    void set(Date date)
    {
        m_monotonic += std::max(0.0, date - m_now);
        m_now = date;
    }
    void advance(TimeInterval seconds) { set(m_now + seconds); }

private:
    Date m_now;
    TimeInterval m_monotonic = 0;
};

} // namespace kestrove
