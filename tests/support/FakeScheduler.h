#pragma once

#include "Platform/Scheduler.h"
#include "support/FakeClock.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kestrove {

// Timers driven by a fake clock: advance() moves the clock and fires every timer that
// falls due on the way, in time order.
class FakeScheduler final : public Scheduler
{
public:
    explicit FakeScheduler(FakeClock& clock) : m_clock(clock) {}

    std::unique_ptr<ScheduledTimer> repeating(TimeInterval interval,
                                              std::function<void()> fire) override
    {
        return add(interval, true, std::move(fire));
    }
    std::unique_ptr<ScheduledTimer> once(TimeInterval delay, std::function<void()> fire) override
    {
        return add(delay, false, std::move(fire));
    }

    void advance(TimeInterval seconds)
    {
        const Date end = m_clock.now() + seconds;
        while (auto next = nextDue(end)) {
            m_clock.set(next->due);
            next->due += next->interval;
            next->running = next->repeats;
            // A copy: the timer may be destroyed by its own action.
            const auto fire = next->fire;
            fire();
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
        bool repeats;
    };
    struct Handle final : ScheduledTimer
    {
        explicit Handle(std::shared_ptr<Entry> entry) : entry(std::move(entry)) {}
        ~Handle() override { entry->running = false; }
        std::shared_ptr<Entry> entry;
    };

    std::unique_ptr<ScheduledTimer> add(TimeInterval interval, bool repeats,
                                        std::function<void()> fire)
    {
        auto entry = std::make_shared<Entry>(Entry{
            std::max(interval, 0.0), m_clock.now() + interval, std::move(fire), true, repeats});
        m_entries.push_back(entry);
        return std::make_unique<Handle>(entry);
    }

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
