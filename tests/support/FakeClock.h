#pragma once

#include "Platform/Clock.h"

namespace kestrove {

class FakeClock final : public Clock
{
public:
    explicit FakeClock(Date start = 800000000.0) : m_now(start) {}
    Date now() const override { return m_now; }
    void set(Date date) { m_now = date; }
    void advance(TimeInterval seconds) { m_now += seconds; }

private:
    Date m_now;
};

} // namespace kestrove
