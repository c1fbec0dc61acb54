#include "replay/TimelineFeed.h"

#include <cstdio>

namespace kestrove::replay {

namespace {

// Upper-case and well-formed like a generated one, but numbered.
std::string taskID(int number)
{
    char text[40];
    std::snprintf(text, sizeof text, "5EED0000-0000-4000-8000-%012X", number);
    return text;
}

} // namespace

FocusTask focusTask(const TimelineEvent& event, const std::string& taskID, Date now)
{
    FocusTask task;
    task.id = taskID;
    task.name = event.text;
    task.estimatedSeconds = event.seconds;
    task.allowedBundleIDs = event.allowedBundleIDs;
    task.startedAt = now;
    return task;
}

TimelineFeed::TimelineFeed(const Timeline& timeline, Collectors collectors)
    : m_timeline(timeline), m_collectors(collectors)
{}

std::size_t TimelineFeed::advance(Date now)
{
    const std::size_t first = m_next;
    while (m_next < m_timeline.events.size() &&
           m_timeline.start + m_timeline.events[m_next].offset <= now) {
        const TimelineEvent& event = m_timeline.events[m_next++];
        apply(event, m_timeline.start + event.offset);
    }
    m_collectors.input.seconds = m_idleSince ? now - *m_idleSince : 0.0;
    while (!m_collectors.scripting.requests.empty()) {
        m_collectors.scripting.answer(m_url.empty() ? std::nullopt : std::optional(m_url));
    }
    return m_next - first;
}

void TimelineFeed::apply(const TimelineEvent& event, Date at)
{
    using Type = TimelineEvent::Type;
    auto& workspace = m_collectors.workspace;
    switch (event.type) {
    case Type::app:
        m_url.clear();
        workspace.windows[++m_window] = {};
        workspace.activate({event.bundleID, event.text, 1000, m_window});
        break;
    case Type::none:
        m_url.clear();
        workspace.frontmost.reset();
        break;
    case Type::title:
        workspace.windows[m_window].title = event.text;
        break;
    case Type::url:
        m_url = event.text;
        break;
    case Type::input:
        m_idleSince.reset();
        break;
    case Type::idle:
        m_idleSince = at - event.seconds;
        break;
    case Type::sleep:
        m_collectors.events.sleep();
        break;
    case Type::wake:
        m_collectors.events.wake();
        break;
    case Type::lock:
        m_collectors.events.lock(true);
        break;
    case Type::unlock:
        m_collectors.events.lock(false);
        break;
    case Type::task:
        if (onTask) {
            onTask(event, taskID(++m_tasks));
        }
        break;
    case Type::endTask:
        if (onEndTask) {
            onEndTask();
        }
        break;
    }
}

} // namespace kestrove::replay
