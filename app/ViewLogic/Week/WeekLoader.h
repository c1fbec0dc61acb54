#pragma once

#include "Platform/LifetimeGuard.h"
#include "core/DaySummary.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrove {

class SessionEngine;

// What one load of a week gave the week page.
struct WeekLoad
{
    Date weekStart = 0;
    std::vector<DayTotal> days;           // seven, oldest first
    std::vector<TimeShare> projectTotals; // largest first
    // A read failed: the lists are empty and say nothing about the week.
    bool failed = false;
    std::string error;
};

// Reads a week's day totals and project totals on the database's thread. Jobs run after every
// write sent before them, so a load sees what the tracker wrote until now. Every load carries a
// generation: only the newest one's result is handed back, so the load of a week left behind
// never replaces the week shown. Main thread only.
class WeekLoader
{
public:
    using Apply = std::function<void(WeekLoad)>;

    explicit WeekLoader(SessionEngine& engine);

    // The week from `weekStart` (seven calendar days); its project figures stop at `now` when
    // that comes first.
    void load(Date weekStart, Date now, Apply apply);
    std::uint64_t generation() const { return m_generation; }

private:
    SessionEngine& m_engine;
    std::uint64_t m_generation = 0;
    LifetimeGuard m_guard;
};

} // namespace kestrove
