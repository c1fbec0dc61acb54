#pragma once

#include "Platform/Scheduler.h"
#include "support/FakeClock.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kestrove {

// Repeating timers driven by a fake clock: advance() moves the clock and fires every timer that
// falls due on the way, in time order.
class FakeScheduler final : public Scheduler
{
public:
    explicit FakeScheduler(FakeClock& clock) : m_clock(clock) {}

    std::unique_ptr<ScheduledTimer> repeating(TimeInterval interval,
                                              std::function<void()> fire) override
    {
        auto entry = std::make_shared<Entry>(
            Entry{interval, m_clock.now() + interval, std::move(fire), true});
        m_entries.push_back(entry);
        return std::make_unique<Handle>(entry);
    }

    void advance(TimeInterval seconds)
    {
        const Date end = m_clock.now() + seconds;
        while (auto next = nextDue(end)) {
            m_clock.set(next->due);
            next->due += next->interval;
            next->fire();
        }
        m_clock.set(end);
    }

    int runningTimers() const
    {
        return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                              [](const auto& e) { return e->running; }));
    }

private:
    struct Entry
    {
        TimeInterval interval;
        Date due;
        std::function<void()> fire;
        bool running;
    };
    struct Handle final : ScheduledTimer
    {
        explicit Handle(std::shared_ptr<Entry> entry) : entry(std::move(entry)) {}
        ~Handle() override { entry->running = false; }
        std::shared_ptr<Entry> entry;
    };

    std::shared_ptr<Entry> nextDue(Date end)
    {
        std::erase_if(m_entries, [](const auto& e) { return !e->running; });
        std::shared_ptr<Entry> best;
        for (const auto& e : m_entries) {
            if (e->due <= end && (!best || e->due < best->due)) {
                best = e;
            }
        }
        return best;
    }

    FakeClock& m_clock;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

} // namespace kestrove
