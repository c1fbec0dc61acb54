#include "Engine/TodaySegments.h"

#include "core/Calendar.h"

#include <algorithm>
#include <string>

namespace kestrove {

namespace {

// The fields today's figures and focus blocks read.
Segment figuresOf(const Segment& segment)
{
    Segment kept;
    kept.start = segment.start;
    kept.end = segment.end;
    kept.appName = segment.appName;
    kept.domain = segment.domain;
    kept.kind = segment.kind;
    kept.project = segment.project;
    kept.area = segment.area;
    kept.detectedProject = segment.detectedProject;
    kept.focusTaskID = segment.focusTaskID;
    return kept;
}

} // namespace

void TodaySegments::readSent()
{
    m_stale = false;
    m_reading = true;
    m_closedDuringRead.clear();
}

void TodaySegments::readFinished(Date dayStart, std::vector<Segment> rows)
{
    m_reading = false;
    m_valid = true;
    m_dayStart = dayStart;
    m_dayEnd = Calendar::addingDays(dayStart, 1);
    m_segments = std::move(rows);
    for (Segment& closed : m_closedDuringRead) {
        fold(std::move(closed));
    }
    m_closedDuringRead.clear();
    m_closedDuringRead.shrink_to_fit();
}

void TodaySegments::readFailed()
{
    m_reading = false;
    m_valid = false;
    m_segments = {};
    m_closedDuringRead = {};
}

void TodaySegments::add(const Segment& closed)
{
    if (m_reading) {
        m_closedDuringRead.push_back(figuresOf(closed));
    } else if (m_valid) {
        fold(figuresOf(closed));
    }
}

void TodaySegments::fold(Segment segment)
{
    // Cut as the read cuts: rows that do not overlap the day are not in it.
    const Date start = std::max(segment.start, m_dayStart);
    const Date end = std::min(segment.end, m_dayEnd);
    if (!(end > start)) {
        return;
    }
    // Rows are ordered by their stored start; those begun before midnight all show midnight,
    // so their order among themselves is known only to the database.
    if (segment.start < m_dayStart ||
        (!m_segments.empty() && segment.start < m_segments.back().start)) {
        m_stale = true;
        return;
    }
    // Equal starts go after: a segment closed now was inserted after every kept one.
    segment.end = end;
    m_segments.push_back(std::move(segment));
}

void TodaySegments::withOpen(const std::optional<Segment>& open, Date now,
                             const std::function<void(const std::vector<Segment>&)>& use)
{
    if (!open || !(now > std::max(open->start, m_dayStart))) {
        use(m_segments);
        return;
    }
    Segment copy = figuresOf(*open);
    copy.start = std::max(open->start, m_dayStart);
    copy.end = now;
    // After every kept segment that starts no later, as a stable sort of an appended copy puts
    // it; nearly always at the end.
    const auto at = std::upper_bound(m_segments.begin(), m_segments.end(), copy.start,
                                     [](Date start, const Segment& s) { return start < s.start; });
    const auto index = at - m_segments.begin();
    m_segments.insert(at, std::move(copy));
    try {
        use(m_segments);
    } catch (...) {
        m_segments.erase(m_segments.begin() + index);
        throw;
    }
    m_segments.erase(m_segments.begin() + index);
}

void TodaySegments::keepFiguresOnly(Segment& segment)
{
    std::string().swap(segment.windowTitle);
    std::string().swap(segment.url);
    segment.bundleID.reset();
}

} // namespace kestrove
