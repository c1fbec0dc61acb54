#pragma once

#include "core/Date.h"
#include "core/Segment.h"

#include <functional>
#include <optional>
#include <vector>

namespace kestrove {

// Today's closed segments as a read of the day returns them (cut to the day, by start then row
// id), kept current from what the tracker closes so that today's figures are rebuilt without
// reading the day again. Only the fields the figures use are kept. Main thread only.
class TodaySegments
{
public:
    // Whether the kept segments are all of the day that starts at `dayStart`.
    bool covers(Date dayStart) const { return m_valid && !m_stale && m_dayStart == dayStart; }
    Date dayStart() const { return m_dayStart; }
    const std::vector<Segment>& segments() const { return m_segments; }

    // The stored history changed under us: the next rebuild reads the day again.
    void invalidate() { m_stale = true; }

    // A read of the day was sent: segments closed from now on are not among its rows.
    void readSent();
    // The read's rows replace what was kept; what closed while it ran is added after them.
    void readFinished(Date dayStart, std::vector<Segment> rows);
    void readFailed();

    // A segment the tracker closed and kept, or a gap it recorded. One that a read would place
    // before a kept segment (the clock went back, or it began before midnight) sends the next
    // rebuild to the database instead.
    void add(const Segment& closed);

    // Calls `use` with the kept segments and `open`, started no earlier than the day and ended
    // at `now`, in the order of a read of the day with the open segment sorted in after it.
    void withOpen(const std::optional<Segment>& open, Date now,
                  const std::function<void(const std::vector<Segment>&)>& use);

    // Drops what the figures never read (titles, addresses), so a busy day stays small.
    static void keepFiguresOnly(Segment& segment);

private:
    void fold(Segment segment);

    bool m_valid = false;
    bool m_stale = false;
    bool m_reading = false;
    Date m_dayStart = 0;
    Date m_dayEnd = 0;
    std::vector<Segment> m_segments;
    std::vector<Segment> m_closedDuringRead;
};

} // namespace kestrove
