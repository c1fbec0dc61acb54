#pragma once

#include "replay/Timeline.h"

#include "core/FocusTask.h"
#include "support/FakeBrowserScripting.h"
#include "support/FakeIdleTimeSource.h"
#include "support/FakeSystemEvents.h"
#include "support/FakeWorkspace.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kestrove::replay {

// Plays a timeline into the collectors' fakes: the workspace's windows, the browser's address,
// the input idle time and the system's sleep and lock. Focus tasks go to the caller.
class TimelineFeed
{
public:
    struct Collectors
    {
        FakeWorkspace& workspace;
        FakeBrowserScripting& scripting;
        FakeIdleTimeSource& input;
        FakeSystemEvents& events;
    };

    TimelineFeed(const Timeline& timeline, Collectors collectors);

    // Applies every event up to `now` and sets what the collectors report at `now`, then answers
    // the browser requests made so far. Returns how many events it applied.
    std::size_t advance(Date now);
    bool isFinished(Date now) const { return now >= m_timeline.start + m_timeline.duration; }

    // A task event, with the task's identifier: the same for the same timeline.
    std::function<void(const TimelineEvent&, const std::string& taskID)> onTask;
    std::function<void()> onEndTask;

private:
    void apply(const TimelineEvent& event, Date at);

    const Timeline& m_timeline;
    Collectors m_collectors;
    std::size_t m_next = 0;
    std::uint64_t m_window = 0;
    std::string m_url;
    std::optional<Date> m_idleSince; // nothing while the user gives input
    int m_tasks = 0;
};

// The focus task that a task event starts at `now`.
FocusTask focusTask(const TimelineEvent& event, const std::string& taskID, Date now);

} // namespace kestrove::replay
